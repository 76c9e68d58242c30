// Parsing of the command line: every bad argument is refused with a message
// that names it; good ones give the request the windows would make.

#include "cli/CliArguments.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

QList<QByteArray> args(std::initializer_list<const char*> list) {
    QList<QByteArray> out;
    for (const char* a : list)
        out.append(QByteArray(a));
    return out;
}

struct BadCase {
    std::initializer_list<const char*> arguments;
    const char* named;  // what the message must mention
};

TEST(CliArguments, RefusesBadArgumentsNamingThem) {
    const BadCase cases[] = {
        {{"dups", "--bogus", "/tmp"}, "--bogus"},
        {{"dups", "-x", "/tmp"}, "-x"},
        {{"frobnicate", "/tmp"}, "frobnicate"},
        {{"hogs", "--min-size", "12Q", "/tmp"}, "12Q"},
        {{"hogs", "--max-size=-5", "/tmp"}, "-5"},
        {{"hogs", "--min-size"}, "--min-size"},
        {{"dates", "--after", "2025-13-40", "/tmp"}, "2025-13-40"},
        {{"dates", "--before", "2025-2-3", "/tmp"}, "2025-2-3"},
        {{"dates", "--after", "2025-02-30", "/tmp"}, "2025-02-30"},
        {{"dups", "--criterion", "colour", "/tmp"}, "colour"},
        {{"dups", "--format", "xml", "/tmp"}, "xml"},
        {{"folders", "--criterion", "size", "/tmp"}, "--criterion"},
        {{"stats", "--hidden", "/tmp"}, "--hidden"},
        {{"folders", "--hidden", "/tmp"}, "--hidden"},
        {{"clean", "--min-size", "1", "/tmp"}, "--min-size"},
        {{"dates", "--all-folders", "/tmp"}, "--all-folders"},
        {{"dups", "--hidden=yes", "/tmp"}, "--hidden"},
        {{"dates", "--accessed", "--created", "/tmp"}, "--created"},
        {{"hogs", "--min-size", "2M", "--max-size", "1M", "/tmp"}, "--max-size"},
        {{"dates", "--after", "2025-05-02", "--before", "2025-05-01", "/tmp"}, "--before"},
        {{"clean", "--patterns", ",,", "/tmp"}, "--patterns"},
        {{"dups"}, "dups"},
    };
    for (const BadCase& c : cases) {
        const CliParse p = parseCliArguments(args(c.arguments));
        const QString joined = QString::fromLatin1(args(c.arguments).join(' '));
        EXPECT_EQ(p.kind, CliParse::Kind::Error) << joined.toStdString();
        EXPECT_TRUE(p.message.contains(QLatin1String(c.named)))
            << joined.toStdString() << " -> " << p.message.toStdString();
    }
}

TEST(CliArguments, SizesAreBytesWithBinaryUnits) {
    const std::pair<const char*, qint64> good[] = {
        {"0", 0},           {"250000", 250000},       {"250K", 256000},
        {"250k", 256000},   {"250KB", 256000},        {"250KiB", 256000},
        {"1.5M", 1572864},  {"2G", 2147483648LL},     {"1T", 1099511627776LL},
        {"12B", 12},
    };
    for (const auto& [text, bytes] : good) {
        EXPECT_EQ(parseByteSize(QString::fromLatin1(text)), std::optional<qint64>(bytes)) << text;
    }
    for (const char* bad : {"", "12Q", "-1", "K", "1.5", "1..5K", "9223372036854775808",
                            "9000000T", "12iB", "1 2K", "0x10"})
        EXPECT_FALSE(parseByteSize(QString::fromLatin1(bad))) << bad;
}

TEST(CliArguments, DaysMustExistInTheCalendar) {
    EXPECT_EQ(parseIsoDay(QStringLiteral("2024-02-29")), QDate(2024, 2, 29));
    for (const char* bad : {"2025-13-40", "2023-02-29", "2025-00-10", "2025-1-1", "20250101",
                            "2025-01-01T00:00", "today", ""})
        EXPECT_FALSE(parseIsoDay(QString::fromLatin1(bad))) << bad;
}

TEST(CliArguments, GoodRequestsCarryTheirSettings) {
    CliParse p = parseCliArguments(args({"dups", "--criterion", "size-date", "--min-size=1M",
                                         "--max-size", "2M", "--wildcard", "*.jpg", "--hidden",
                                         "--format", "json", "a", "--", "--odd-root"}));
    ASSERT_EQ(p.kind, CliParse::Kind::Run) << p.message.toStdString();
    EXPECT_EQ(p.request.tool, CliTool::Dups);
    EXPECT_EQ(p.request.criterion, DupCriterion::SizeAndDate);
    EXPECT_EQ(p.request.minSize, std::optional<qint64>(1 << 20));
    EXPECT_EQ(p.request.maxSize, std::optional<qint64>(2 << 20));
    EXPECT_EQ(p.request.wildcard, QStringLiteral("*.jpg"));
    EXPECT_TRUE(p.request.hidden);
    EXPECT_EQ(p.request.format, CliFormat::JsonLines);
    EXPECT_EQ(p.request.roots, args({"a", "--odd-root"}));

    p = parseCliArguments(args({"dates", "--accessed", "--after", "2025-05-01", "r"}));
    ASSERT_EQ(p.kind, CliParse::Kind::Run);
    EXPECT_EQ(p.request.field, DateField::LastAccessed);
    EXPECT_EQ(p.request.after, QDate(2025, 5, 1));
    EXPECT_FALSE(p.request.before);

    p = parseCliArguments(args({"clean", "--patterns", "*.tmp, *.bak", "--no-header", "r"}));
    ASSERT_EQ(p.kind, CliParse::Kind::Run);
    EXPECT_EQ(p.request.patterns, QStringList({QStringLiteral("*.tmp"), QStringLiteral("*.bak")}));
    EXPECT_FALSE(p.request.header);

    EXPECT_EQ(parseCliArguments(args({"--version"})).kind, CliParse::Kind::Version);
    EXPECT_EQ(parseCliArguments(args({"hogs", "--help"})).kind, CliParse::Kind::Help);
}

TEST(CliArguments, OnlyToolNamesAndHelpSelectTheCommandLine) {
    for (const char* a : {"dups", "hogs", "folders", "dates", "clean", "stats", "--help", "-h",
                          "--version"})
        EXPECT_TRUE(isCliInvocation(args({a}))) << a;
    // Qt's own options and no arguments at all start the windows.
    EXPECT_FALSE(isCliInvocation({}));
    EXPECT_FALSE(isCliInvocation(args({"-platform", "offscreen"})));
    EXPECT_FALSE(isCliInvocation(args({"-style=fusion"})));
}

}  // namespace
}  // namespace vantrel
