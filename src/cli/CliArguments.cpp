#include "cli/CliArguments.h"

#include <QRegularExpression>

#include <array>
#include <cmath>
#include <limits>

namespace vantrel {

namespace {

struct ToolName {
    const char* name;
    CliTool tool;
};

constexpr std::array<ToolName, 6> kTools{{
    {"dups", CliTool::Dups},
    {"hogs", CliTool::Hogs},
    {"folders", CliTool::Folders},
    {"dates", CliTool::Dates},
    {"clean", CliTool::Clean},
    {"stats", CliTool::Stats},
}};

struct CriterionName {
    const char* name;
    DupCriterion criterion;
};

constexpr std::array<CriterionName, 8> kCriteria{{
    {"name", DupCriterion::FilenameOnly},
    {"name-size", DupCriterion::FilenameAndSize},
    {"name-size-date", DupCriterion::FilenameSizeAndDate},
    {"size", DupCriterion::SizeOnly},
    {"size-date", DupCriterion::SizeAndDate},
    {"size-type", DupCriterion::SizeAndType},
    {"type-date", DupCriterion::TypeAndDate},
    {"contents", DupCriterion::SameContents},
}};

std::optional<CliTool> toolNamed(const QByteArray& name) {
    for (const ToolName& t : kTools) {
        if (name == t.name)
            return t.tool;
    }
    return std::nullopt;
}

QString quoted(const QByteArray& argument) {
    return QLatin1Char('\'') + QString::fromLocal8Bit(argument) + QLatin1Char('\'');
}

CliParse failure(const QString& message) {
    CliParse p;
    p.kind = CliParse::Kind::Error;
    p.message = message;
    return p;
}

// Which options a tool takes (see the header).
bool toolTakes(CliTool tool, const QByteArray& option) {
    const bool sizes = tool == CliTool::Dups || tool == CliTool::Hogs;
    if (option == "--criterion")
        return tool == CliTool::Dups;
    if (option == "--min-size" || option == "--max-size")
        return sizes;
    if (option == "--wildcard")
        return sizes || tool == CliTool::Dates;
    if (option == "--hidden")
        return sizes || tool == CliTool::Dates || tool == CliTool::Clean;
    if (option == "--all-folders")
        return tool == CliTool::Folders;
    if (option == "--accessed" || option == "--created" || option == "--modified" ||
        option == "--after" || option == "--before")
        return tool == CliTool::Dates;
    if (option == "--patterns")
        return tool == CliTool::Clean;
    return option == "--format" || option == "--no-header";
}

bool takesValue(const QByteArray& option) {
    return option == "--criterion" || option == "--min-size" || option == "--max-size" ||
           option == "--wildcard" || option == "--after" || option == "--before" ||
           option == "--patterns" || option == "--format";
}

bool isKnownOption(const QByteArray& option) {
    static const std::array<const char*, 15> known{
        "--criterion", "--min-size", "--max-size", "--wildcard",  "--hidden",
        "--all-folders", "--accessed", "--created", "--modified", "--after",
        "--before",     "--patterns", "--format",  "--no-header", "--help"};
    for (const char* k : known) {
        if (option == k)
            return true;
    }
    return false;
}

}  // namespace

bool isCliInvocation(const QList<QByteArray>& arguments) {
    if (arguments.isEmpty())
        return false;
    const QByteArray& first = arguments.first();
    return toolNamed(first) || first == "--help" || first == "-h" || first == "--version";
}

std::optional<qint64> parseByteSize(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^([0-9]+(?:\\.[0-9]+)?)([KMGT]?)(?:I?B)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    // A unit-less "B" alone ("12B") is bytes; "12iB" is no size.
    const QString unit = m.captured(2).toUpper();
    if (unit.isEmpty() && text.trimmed().endsWith(QLatin1String("ib"), Qt::CaseInsensitive))
        return std::nullopt;
    const QString number = m.captured(1);
    int shift = 0;
    if (unit == QLatin1String("K"))
        shift = 10;
    else if (unit == QLatin1String("M"))
        shift = 20;
    else if (unit == QLatin1String("G"))
        shift = 30;
    else if (unit == QLatin1String("T"))
        shift = 40;
    if (!number.contains(QLatin1Char('.'))) {
        bool ok = false;
        const qulonglong whole = number.toULongLong(&ok);
        if (!ok || whole > (quint64(std::numeric_limits<qint64>::max()) >> shift))
            return std::nullopt;
        return qint64(whole << shift);
    }
    // A fraction needs a unit to mean whole bytes ("1.5M"; not "1.5").
    if (shift == 0)
        return std::nullopt;
    const double value = number.toDouble() * std::ldexp(1.0, shift);
    if (!std::isfinite(value) || value >= 9.2e18)
        return std::nullopt;
    return qint64(std::llround(value));
}

std::optional<QDate> parseIsoDay(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid())
        return std::nullopt;
    return day;
}

std::optional<DupCriterion> parseCriterion(const QString& text) {
    for (const CriterionName& c : kCriteria) {
        if (text == QLatin1String(c.name))
            return c.criterion;
    }
    return std::nullopt;
}

CliParse parseCliArguments(const QList<QByteArray>& arguments) {
    CliParse parse;
    if (arguments.isEmpty())
        return failure(QStringLiteral("no command given (try 'vantrel --help')"));
    const QByteArray& first = arguments.first();
    if (first == "--help" || first == "-h") {
        parse.kind = CliParse::Kind::Help;
        return parse;
    }
    if (first == "--version") {
        parse.kind = CliParse::Kind::Version;
        return parse;
    }
    const std::optional<CliTool> tool = toolNamed(first);
    if (!tool)
        return failure(QStringLiteral("unknown command ") + quoted(first));

    CliRequest& r = parse.request;
    r.tool = *tool;
    const QString toolName = QString::fromLatin1(first);
    int dateFields = 0;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QByteArray& arg = arguments[i];
        if (optionsEnded || !arg.startsWith('-') || arg == "-") {
            r.roots.append(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // --option=value as well as --option value.
        QByteArray option = arg;
        std::optional<QByteArray> inlineValue;
        const qsizetype eq = arg.indexOf('=');
        if (arg.startsWith("--") && eq > 2) {
            option = arg.left(eq);
            inlineValue = arg.mid(eq + 1);
        }
        if (option == "--help" || option == "-h") {
            parse.kind = CliParse::Kind::Help;
            return parse;
        }
        if (!isKnownOption(option))
            return failure(QStringLiteral("unknown option ") + quoted(option));
        if (!toolTakes(r.tool, option))
            return failure(QStringLiteral("option ") + quoted(option) +
                           QStringLiteral(" does not apply to '") + toolName +
                           QLatin1Char('\''));
        QString value;
        if (takesValue(option)) {
            if (inlineValue) {
                value = QString::fromLocal8Bit(*inlineValue);
            } else if (i + 1 < arguments.size()) {
                value = QString::fromLocal8Bit(arguments[++i]);
            } else {
                return failure(QStringLiteral("option ") + quoted(option) +
                               QStringLiteral(" needs a value"));
            }
        } else if (inlineValue) {
            return failure(QStringLiteral("option ") + quoted(option) +
                           QStringLiteral(" takes no value"));
        }
        const QString bad = QStringLiteral("invalid value '") + value + QStringLiteral("' for ") +
                            QString::fromLatin1(option);

        if (option == "--format") {
            if (value == QLatin1String("tsv"))
                r.format = CliFormat::Tsv;
            else if (value == QLatin1String("csv"))
                r.format = CliFormat::Csv;
            else if (value == QLatin1String("json") || value == QLatin1String("jsonl"))
                r.format = CliFormat::JsonLines;
            else
                return failure(bad + QStringLiteral(" (tsv, csv or json)"));
        } else if (option == "--no-header") {
            r.header = false;
        } else if (option == "--criterion") {
            const std::optional<DupCriterion> c = parseCriterion(value);
            if (!c)
                return failure(bad + QStringLiteral(" (name, name-size, name-size-date, size, "
                                                    "size-date, size-type, type-date or "
                                                    "contents)"));
            r.criterion = *c;
        } else if (option == "--min-size" || option == "--max-size") {
            const std::optional<qint64> size = parseByteSize(value);
            if (!size)
                return failure(bad + QStringLiteral(" (a size such as 250000, 250K, 1.5M or 2G)"));
            (option == "--min-size" ? r.minSize : r.maxSize) = *size;
        } else if (option == "--wildcard") {
            if (value.trimmed().isEmpty())
                return failure(bad);
            r.wildcard = value;
        } else if (option == "--hidden") {
            r.hidden = true;
        } else if (option == "--all-folders") {
            r.allFolders = true;
        } else if (option == "--accessed" || option == "--created" || option == "--modified") {
            ++dateFields;
            r.field = option == "--accessed"  ? DateField::LastAccessed
                      : option == "--created" ? DateField::Created
                                              : DateField::LastModified;
        } else if (option == "--after" || option == "--before") {
            const std::optional<QDate> day = parseIsoDay(value);
            if (!day)
                return failure(bad + QStringLiteral(" (a date written YYYY-MM-DD)"));
            (option == "--after" ? r.after : r.before) = *day;
        } else if (option == "--patterns") {
            QStringList patterns;
            for (const QString& p : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                if (!p.trimmed().isEmpty())
                    patterns.append(p.trimmed());
            }
            if (patterns.isEmpty())
                return failure(bad);
            r.patterns = patterns;
        }
    }

    if (dateFields > 1)
        return failure(QStringLiteral("options '--accessed', '--created' and '--modified' "
                                      "exclude each other"));
    if (r.minSize && r.maxSize && *r.maxSize < *r.minSize)
        return failure(QStringLiteral("option '--max-size' is smaller than '--min-size'"));
    if (r.after && r.before && *r.before < *r.after)
        return failure(QStringLiteral("option '--before' is earlier than '--after'"));
    if (r.roots.isEmpty())
        return failure(QStringLiteral("no folder given to ") + toolName);
    parse.kind = CliParse::Kind::Run;
    return parse;
}

QString cliUsage() {
    return QStringLiteral(
        "Usage: vantrel                      show the windows\n"
        "       vantrel TOOL [OPTION]... ROOT...\n"
        "\n"
        "Runs one tool's search over the folders ROOT... without a display and\n"
        "writes its rows to standard output. Nothing is ever deleted.\n"
        "\n"
        "Tools:\n"
        "  dups      duplicate files\n"
        "  hogs      the largest files\n"
        "  folders   the space folders take\n"
        "  dates     files by access, creation or modification date\n"
        "  clean     temporary files (by their extensions)\n"
        "  stats     statistics: files and bytes by type, size and age\n"
        "\n"
        "Options:\n"
        "  --format tsv|csv|json   output format (json: one object per line)\n"
        "  --no-header             no title line (tsv, csv)\n"
        "  --criterion NAME        dups: name, name-size, name-size-date, size,\n"
        "                          size-date, size-type, type-date or contents\n"
        "                          (default name)\n"
        "  --min-size SIZE         dups, hogs: files of at least SIZE (250K, 1.5M, 2G)\n"
        "  --max-size SIZE         dups, hogs: files of at most SIZE\n"
        "                          (neither: at least 250000 bytes)\n"
        "  --wildcard PATTERNS     dups, hogs, dates: names to look at (\"*.jpg;*.png\")\n"
        "  --hidden                dups, hogs, dates, clean: look into hidden folders too\n"
        "  --all-folders           folders: every folder by its own files, not only\n"
        "                          the folders directly under each root\n"
        "  --accessed, --created, --modified\n"
        "                          dates: the file time to test (default --modified)\n"
        "  --after DATE            dates: on or after DATE (YYYY-MM-DD)\n"
        "  --before DATE           dates: on or before DATE (neither: today)\n"
        "  --patterns LIST         clean: patterns such as \"*.tmp,*.bak\" (default:\n"
        "                          the list kept by the Quick Clean window)\n"
        "  -h, --help              this text\n"
        "  --version               the program's version\n"
        "\n"
        "Exit status: 0 rows were written, 1 none were found, 2 bad arguments.\n"
        "See vantrel(1) for the columns and how names are escaped.\n");
}

}  // namespace vantrel
