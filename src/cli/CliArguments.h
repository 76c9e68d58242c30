#pragma once

#include "dup/DupSearch.h"
#include "mods/DateRange.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace vantrel {

// What `vantrel TOOL [options] ROOT...` asks for, parsed from its arguments.
//
// The tools and the options each takes:
//   dups     --criterion, --min-size, --max-size, --wildcard, --hidden
//   hogs     --min-size, --max-size, --wildcard, --hidden
//   folders  --all-folders
//   dates    --accessed | --created | --modified, --after, --before,
//            --wildcard, --hidden
//   clean    --patterns, --hidden
//   stats    (none)
// and every tool --format tsv|csv|json, --no-header and `--` (the rest are
// roots). An option a tool does not take is a bad argument, not ignored.
// Roots are kept as the exact bytes of the arguments.
enum class CliTool { Dups, Hogs, Folders, Dates, Clean, Stats };
enum class CliFormat { Tsv, Csv, JsonLines };

struct CliRequest {
    CliTool tool = CliTool::Dups;
    CliFormat format = CliFormat::Tsv;
    bool header = true;
    QList<QByteArray> roots;

    // dups, hogs: the size condition of the window (none given: its
    // default, 250 KB or larger).
    DupCriterion criterion = DupCriterion::FilenameOnly;
    std::optional<qint64> minSize;
    std::optional<qint64> maxSize;
    QString wildcard = QStringLiteral("*.*");
    // dups, hogs, dates: enter hidden folders and list hidden files;
    // clean: enter hidden folders (its hidden files are always listed).
    bool hidden = false;
    // folders
    bool allFolders = false;
    // dates (neither bound given: today, as the window starts)
    DateField field = DateField::LastModified;
    std::optional<QDate> after;
    std::optional<QDate> before;
    // clean: the patterns given ("*.tmp"); none: the list the window keeps
    // in the settings file.
    std::optional<QStringList> patterns;
};

// The outcome of parsing: a request to run, a text to print (--help,
// --version), or a bad argument with its message ("unknown option
// '--foo'"), which names the argument.
struct CliParse {
    enum class Kind { Run, Help, Version, Error };
    Kind kind = Kind::Error;
    CliRequest request;
    QString message;
};

// Whether the program was started as a command (its first argument is a
// tool name, --help, -h or --version) rather than to show its windows.
[[nodiscard]] bool isCliInvocation(const QList<QByteArray>& arguments);

// Parses the arguments after the program name. Checks the forms of the
// values, not whether the roots exist.
[[nodiscard]] CliParse parseCliArguments(const QList<QByteArray>& arguments);

// "250000", "250K", "1.5M", "2G", "1T" (K = 1024; an optional "B" or "iB"
// after the unit; case ignored) as bytes; nothing for anything else (empty,
// negative, unknown unit such as "12Q", past 2^63).
[[nodiscard]] std::optional<qint64> parseByteSize(const QString& text);

// A day written YYYY-MM-DD that exists in the calendar; nothing otherwise
// ("2025-13-40", "2025-2-3", "yesterday").
[[nodiscard]] std::optional<QDate> parseIsoDay(const QString& text);

// The criterion by its command-line name: name, name-size, name-size-date,
// size, size-date, size-type, type-date.
[[nodiscard]] std::optional<DupCriterion> parseCriterion(const QString& text);

// The text of `vantrel --help`.
[[nodiscard]] QString cliUsage();

}  // namespace vantrel
