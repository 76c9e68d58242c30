// Texts for counts, dates, file types and the small parsing helpers, checked
// in the en_US locale that the test main installs.

#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QMimeDatabase>

#include <cmath>
#include <limits>

namespace vantrel {
namespace {

// Packs the fields of a file date the way the walk reports them.
quint32 packed(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return (quint32(year - 1980) << 25) | (quint32(month) << 21) | (quint32(day) << 16) |
           (quint32(hour) << 11) | (quint32(minute) << 5) | quint32(second / 2);
}

// Restores the en_US locale after a test that switched it.
class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale& locale) { TextLocale::set(locale); }
    ~LocaleGuard() { TextLocale::set(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

// ---- numberText ---------------------------------------------------------------

struct NumberRow {
    qint64 value;
    const char* text;
};

class NumberTextTest : public ::testing::TestWithParam<NumberRow> {};

TEST_P(NumberTextTest, GroupsThousandsWithTheLocaleSeparator) {
    EXPECT_EQ(numberText(GetParam().value).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberTextTest,
    ::testing::Values(NumberRow{0, "0"}, NumberRow{7, "7"}, NumberRow{999, "999"},
                      NumberRow{1000, "1,000"}, NumberRow{1234567, "1,234,567"},
                      NumberRow{2147483647, "2,147,483,647"}, NumberRow{-5000, "-5,000"},
                      NumberRow{-999, "-999"}, NumberRow{-1000, "-1,000"},
                      NumberRow{-2147483648LL, "-2,147,483,648"},
                      NumberRow{5368709120LL, "5,368,709,120"}, NumberRow{100000, "100,000"},
                      NumberRow{std::numeric_limits<qint64>::max(), "9,223,372,036,854,775,807"},
                      NumberRow{std::numeric_limits<qint64>::min(), "-9,223,372,036,854,775,808"}));

TEST(TextLocaleTest, SeparatorsComeFromTheLocaleReadAtStart) {
    {
        LocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(numberText(1234567), QStringLiteral("1.234.567"));
        EXPECT_EQ(percentText(1, 3), QStringLiteral("33,33"));
        EXPECT_EQ(fileTimeText(packed(2024, 6, 12, 14, 35, 58)), QStringLiteral("14:35:58"));
    }
    // Changing Qt's default locale later does not change the texts: the
    // locale is the one that was read.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(numberText(1234567), QStringLiteral("1,234,567"));
    EXPECT_EQ(percentText(1, 3), QStringLiteral("33.33"));
    QLocale::setDefault(before);
}

// ---- relativeDateText ---------------------------------------------------------

struct RelativeRow {
    const char* name;
    QDate reference;
    QDate file;
    const char* text;
};

class RelativeDateTest : public ::testing::TestWithParam<RelativeRow> {};

TEST_P(RelativeDateTest, Text) {
    const RelativeRow& row = GetParam();
    // Times of day do not count: only the calendar days do.
    const QDateTime reference(row.reference, QTime(9, 30));
    const QDateTime file(row.file, QTime(17, 5));
    EXPECT_EQ(relativeDateText(file, reference).toStdString(), row.text);
}

// 12 June 2024, 13 November 2024 and 11 December 2024 are Wednesdays.
const QDate kWed(2024, 6, 12);
const QDate kWedNov(2024, 11, 13);
const QDate kWedDec(2024, 12, 11);

INSTANTIATE_TEST_SUITE_P(
    Rows, RelativeDateTest,
    ::testing::Values(
        RelativeRow{"Today", kWed, kWed, "Today"},
        RelativeRow{"Yesterday", kWed, QDate(2024, 6, 11), "Yesterday"},
        RelativeRow{"Tomorrow", kWed, QDate(2024, 6, 13), "Tomorrow"},
        RelativeRow{"MondayBefore", kWed, QDate(2024, 6, 10), "This week"},
        RelativeRow{"SundayBefore", kWed, QDate(2024, 6, 9), "This week"},
        RelativeRow{"SaturdayBefore", kWed, QDate(2024, 6, 8), "Last week"},
        RelativeRow{"SundayWeekBefore", kWed, QDate(2024, 6, 2), "Last week"},
        RelativeRow{"SaturdayTwoWeeksBack", kWed, QDate(2024, 6, 1), "2 weeks ago"},
        RelativeRow{"ComingSaturday", kWed, QDate(2024, 6, 15), "This week"},
        RelativeRow{"ComingSunday", kWed, QDate(2024, 6, 16), "Next week"},
        RelativeRow{"SaturdayNextWeek", kWed, QDate(2024, 6, 22), "Next week"},
        RelativeRow{"SundayAfterNext", kWed, QDate(2024, 6, 23), "2 weeks"},
        RelativeRow{"FiveWeeksAhead", kWed, QDate(2024, 7, 17), "5 weeks"},
        RelativeRow{"SixWeeksBack", kWed, QDate(2024, 5, 1), "6 weeks ago"},
        RelativeRow{"ThreeMonthsBack", kWed, QDate(2024, 3, 12), "3 months ago"},
        RelativeRow{"FourteenMonthsAhead", kWed, QDate(2025, 8, 12), "14 months"},
        RelativeRow{"TwentySixMonthsBack", kWed, QDate(2022, 4, 20), "26 months ago"},
        RelativeRow{"ThirtyMonthsBack", kWedDec, QDate(2022, 6, 15), "30 months ago"},
        RelativeRow{"ThirtyFiveMonthsTwoCalendarYears", kWedDec, QDate(2022, 1, 15),
                    "35 months ago"},
        RelativeRow{"ThreeYearsBack", kWed, QDate(2021, 6, 1), "3 years ago"},
        RelativeRow{"ThreeYearsOneMonthBack", kWed, QDate(2021, 5, 20), "3 years 1 month ago"},
        RelativeRow{"FourYearsOneMonthBack", kWed, QDate(2020, 5, 20), "4 years 1 month ago"},
        RelativeRow{"SevenYearsElevenMonthsBack", kWed, QDate(2016, 7, 4), "7 years 11 months ago"},
        RelativeRow{"FortyMonthsAheadFourYearsLater", kWedNov, QDate(2028, 3, 15),
                    "3 years 4 months"},
        RelativeRow{"FourYearsOneMonthAhead", kWed, QDate(2028, 7, 1), "4 years 1 month"},
        RelativeRow{"FiveYearsAhead", kWed, QDate(2029, 6, 30), "5 years"},
        RelativeRow{"ThreeYearsTwoMonthsAhead", kWed, QDate(2027, 8, 2), "3 years 2 months"},
        RelativeRow{"TwoYearsAheadInMonths", kWed, QDate(2026, 12, 1), "30 months"},
        RelativeRow{"AcrossNewYear", QDate(2025, 1, 1), QDate(2024, 12, 28), "Last week"}),
    [](const ::testing::TestParamInfo<RelativeRow>& row) { return std::string(row.param.name); });

TEST(RelativeDateText, NoTextForDatesBeforeTheYearOneOrInvalidDates) {
    const QDateTime now(kWed, QTime(12, 0));
    EXPECT_EQ(relativeDateText(QDateTime(QDate(-5, 3, 1), QTime(0, 0)), now), QString());
    EXPECT_EQ(relativeDateText(QDateTime(), now), QString());
    EXPECT_EQ(relativeDateText(QDateTime(kWed, QTime(1, 0)), QDateTime()), QString());
    // The year 1 itself still has a text.
    EXPECT_EQ(relativeDateText(QDateTime(QDate(1, 1, 1), QTime(0, 0)), now),
              QStringLiteral("2023 years 5 months ago"));
}

// ---- packed file dates --------------------------------------------------------

TEST(PackedDate, ZeroMeansNotRecorded) {
    EXPECT_EQ(fileDateText(0), QString());
    EXPECT_EQ(fileTimeText(0), QString());
    EXPECT_EQ(fileDateSortKey(0), QStringLiteral("19800101"));
    EXPECT_EQ(fileTimeSortKey(0), QStringLiteral("1200"));
    EXPECT_EQ(fileDateTime(0), QDateTime(QDate(1980, 1, 1), QTime(0, 0)));
    EXPECT_DOUBLE_EQ(fileDateValue(0), 29221.0);  // 1 January 1980
    EXPECT_FALSE(decodeFileDate(0, nullptr, nullptr));
}

TEST(PackedDate, ValidValueGivesItsTextsAndKeys) {
    const quint32 v = packed(2024, 6, 12, 14, 35, 58);
    QDate date;
    QTime time;
    ASSERT_TRUE(decodeFileDate(v, &date, &time));
    EXPECT_EQ(date, QDate(2024, 6, 12));
    EXPECT_EQ(time, QTime(14, 35, 58));
    EXPECT_EQ(fileDateText(v), QStringLiteral("6/12/24"));
    EXPECT_EQ(fileTimeText(v), QStringLiteral("2:35:58 PM"));
    EXPECT_EQ(fileDateSortKey(v), QStringLiteral("20240612"));
    EXPECT_EQ(fileTimeSortKey(v), QStringLiteral("1435"));
    EXPECT_DOUBLE_EQ(fileDateValue(v), 45455.0 + (14 * 3600 + 35 * 60 + 58) / 86400.0);
}

TEST(PackedDate, OddSecondsAreHalvedAndEarlyHoursPadded) {
    const quint32 v = packed(1980, 1, 1, 0, 5, 3);
    EXPECT_EQ(fileTimeText(v), QStringLiteral("12:05:02 AM"));
    EXPECT_EQ(fileTimeSortKey(v), QStringLiteral("0005"));
    EXPECT_EQ(fileDateSortKey(packed(2107, 12, 31, 23, 59, 58)), QStringLiteral("21071231"));
}

struct UndecodableRow {
    const char* name;
    quint32 value;
};

class UndecodableDateTest : public ::testing::TestWithParam<UndecodableRow> {};

TEST_P(UndecodableDateTest, FallsBackTo1980AndNoon) {
    const quint32 v = GetParam().value;
    EXPECT_FALSE(decodeFileDate(v, nullptr, nullptr));
    EXPECT_EQ(fileDateTime(v), QDateTime(QDate(1980, 1, 1), QTime(0, 0)));
    EXPECT_DOUBLE_EQ(fileDateValue(v), 29221.0);
    EXPECT_EQ(fileDateText(v), QStringLiteral("1/1/80"));
    // The whole value is undecodable, so even valid time fields give 12:00:00.
    EXPECT_EQ(fileTimeText(v), QStringLiteral("12:00:00 PM"));
    EXPECT_EQ(fileDateSortKey(v), QStringLiteral("19800101"));
    EXPECT_EQ(fileTimeSortKey(v), QStringLiteral("1200"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, UndecodableDateTest,
    ::testing::Values(UndecodableRow{"MonthZero", packed(2024, 0, 5, 10, 0)},
                      UndecodableRow{"Month13", packed(2024, 13, 5, 10, 0)},
                      UndecodableRow{"DayZero", packed(2024, 3, 0, 10, 0)},
                      UndecodableRow{"April31", packed(2024, 4, 31, 10, 0)},
                      UndecodableRow{"February29NoLeapYear", packed(2023, 2, 29, 10, 0)},
                      UndecodableRow{"Hour24", packed(2024, 3, 5, 24, 0)},
                      UndecodableRow{"Minute60", packed(2024, 3, 5, 10, 60)},
                      UndecodableRow{"Seconds60", packed(2024, 3, 5, 10, 0) | 30u},
                      UndecodableRow{"AllBitsSet", 0xFFFFFFFFu}),
    [](const ::testing::TestParamInfo<UndecodableRow>& row) {
        return std::string(row.param.name);
    });

TEST(PackedDate, LeapDayIsValid) {
    EXPECT_TRUE(decodeFileDate(packed(2024, 2, 29, 12, 0), nullptr, nullptr));
    EXPECT_EQ(fileDateSortKey(packed(2000, 2, 29)), QStringLiteral("20000229"));
}

TEST(DateTimeValue, CountsDaysFrom30December1899) {
    EXPECT_EQ(dayNumber(QDate(1899, 12, 30)), 0);
    EXPECT_EQ(dayNumber(QDate(1900, 1, 1)), 2);
    EXPECT_EQ(dayNumber(QDate(2024, 6, 12)), 45455);
    EXPECT_EQ(dayNumber(QDate(1899, 12, 29)), -1);
    const QDateTime t(QDate(2024, 6, 12), QTime(18, 0));
    EXPECT_DOUBLE_EQ(dateTimeValue(t), 45455.75);
    EXPECT_EQ(dateTimeFromValue(45455.75), t);
    EXPECT_EQ(dateTimeFromValue(0.0), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
}

// ---- fileTypeDescription ------------------------------------------------------

QString plainTextComment() {
    return QMimeDatabase().mimeTypeForName("text/plain").comment();
}

TEST(FileTypeDescription, PatternsAndFallbacks) {
    EXPECT_EQ(fileTypeDescription(QStringLiteral("*.")), QStringLiteral("No extension"));
    EXPECT_EQ(fileTypeDescription(QStringLiteral(".qqq")), QStringLiteral("QQQ File"));
    EXPECT_EQ(fileTypeDescription(QStringLiteral(".QqQ")), QStringLiteral("QQQ File"));
    EXPECT_EQ(fileTypeDescription(QStringLiteral("*.qqq")), QString());
    EXPECT_EQ(fileTypeDescription(QString()), QString());
    // A star pattern gets no description, even for a known extension.
    EXPECT_EQ(fileTypeDescription(QStringLiteral("*.txt")), QString());
    EXPECT_EQ(fileTypeDescription(QStringLiteral("*")), QString());
}

TEST(FileTypeDescription, KnownExtensionGivesTheMimeComment) {
    ASSERT_FALSE(plainTextComment().isEmpty()) << "no MIME database";
    EXPECT_EQ(fileTypeDescription(QStringLiteral(".txt")), plainTextComment());
    EXPECT_EQ(fileTypeDescription(QStringLiteral(".TXT")), plainTextComment());
}

TEST(ExtensionOf, TextFromTheLastDot) {
    EXPECT_EQ(extensionOf(QStringLiteral("a.txt")), QStringLiteral(".txt"));
    EXPECT_EQ(extensionOf(QStringLiteral("a.tar.gz")), QStringLiteral(".gz"));
    EXPECT_EQ(extensionOf(QStringLiteral("README")), QString());
    EXPECT_EQ(extensionOf(QStringLiteral(".bashrc")), QStringLiteral(".bashrc"));
}

// ---- tabField -----------------------------------------------------------------

struct TabRow {
    const char* line;
    int field;
    const char* text;
};

class TabFieldTest : public ::testing::TestWithParam<TabRow> {};

TEST_P(TabFieldTest, Field) {
    EXPECT_EQ(tabField(QString::fromUtf8(GetParam().line), GetParam().field).toStdString(),
              GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TabFieldTest,
    ::testing::Values(TabRow{"a\tb\t\tc", 1, "a"}, TabRow{"a\tb\t\tc", 2, "b"},
                      TabRow{"a\tb\t\tc", 3, ""}, TabRow{"a\tb\t\tc", 4, "c"},
                      TabRow{"a\tb\t\tc", 5, ""}, TabRow{"whole line", 1, "whole line"},
                      TabRow{"whole line", 2, ""}, TabRow{"  padded \t\x01 x y\x7f ", 1, "padded"},
                      TabRow{"  padded \t\x01 x y\x7f ", 2, "x y"}, TabRow{"a\tb", 0, ""},
                      TabRow{"a\tb", -1, ""}, TabRow{"a\t", 2, ""}, TabRow{"", 1, ""},
                      TabRow{"\tb", 1, ""}, TabRow{"\tb", 2, "b"}));

// ---- joinPath -----------------------------------------------------------------

TEST(JoinPath, OneSeparator) {
    EXPECT_EQ(joinPath(QStringLiteral("/"), QStringLiteral("x.txt")), QStringLiteral("/x.txt"));
    EXPECT_EQ(joinPath(QStringLiteral("/A"), QStringLiteral("x.txt")), QStringLiteral("/A/x.txt"));
    EXPECT_EQ(joinPath(QStringLiteral("/A/"), QStringLiteral("x.txt")), QStringLiteral("/A/x.txt"));
    // No other normalisation.
    EXPECT_EQ(joinPath(QStringLiteral("/A//B"), QStringLiteral("./x")),
              QStringLiteral("/A//B/./x"));
}

TEST(JoinPath, BytesStayExact) {
    const QByteArray folder("/tmp/caf\xe9");
    EXPECT_EQ(joinPath(folder, QByteArray("n\xff.txt")), QByteArray("/tmp/caf\xe9/n\xff.txt"));
    EXPECT_EQ(joinPath(QByteArray("/"), QByteArray("x")), QByteArray("/x"));
}

TEST(DisplayText, InvalidUtf8IsShownNotLost) {
    const QString text = displayText(QByteArray("caf\xe9.txt"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("caf")));
    EXPECT_TRUE(text.endsWith(QStringLiteral(".txt")));
    EXPECT_EQ(displayText(QByteArray("plain")), QStringLiteral("plain"));
}

// ---- textToIntOrZero ----------------------------------------------------------

struct IntRow {
    const char* text;
    qint32 value;
};

class TextToIntTest : public ::testing::TestWithParam<IntRow> {};

TEST_P(TextToIntTest, ValueOrZero) {
    EXPECT_EQ(textToIntOrZero(QString::fromUtf8(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextToIntTest,
    ::testing::Values(IntRow{"123", 123}, IntRow{"-5", -5}, IntRow{"+7", 7}, IntRow{" 42 ", 42},
                      IntRow{"0", 0}, IntRow{"", 0}, IntRow{"   ", 0}, IntRow{"abc", 0},
                      IntRow{"12abc", 0}, IntRow{"1,000", 0}, IntRow{"1.5", 0}, IntRow{"0x10", 0},
                      IntRow{"1e3", 0}, IntRow{"- 5", 0}, IntRow{"2147483647", 2147483647},
                      IntRow{"-2147483648", -2147483647 - 1}, IntRow{"2147483648", 0},
                      IntRow{"-2147483649", 0}, IntRow{"99999999999999999999", 0},
                      IntRow{"\xd9\xa3", 0}));

TEST(TextToInt64OrZero, Sizes) {
    EXPECT_EQ(textToInt64OrZero(u"5368709120"), 5368709120LL);
    EXPECT_EQ(textToInt64OrZero(u"-9223372036854775808"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(textToInt64OrZero(u"9223372036854775808"), 0);
    EXPECT_EQ(textToInt64OrZero(u"12 MB"), 0);
}

// ---- percentText --------------------------------------------------------------

struct PercentRow {
    double part;
    double total;
    const char* text;
};

class PercentTextTest : public ::testing::TestWithParam<PercentRow> {};

TEST_P(PercentTextTest, Text) {
    EXPECT_EQ(percentText(GetParam().part, GetParam().total).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Rows, PercentTextTest,
                         ::testing::Values(PercentRow{5, 5, "???"}, PercentRow{6, 5, "???"},
                                           PercentRow{0, 0, "???"}, PercentRow{0, 10, "0.00"},
                                           PercentRow{1, 3, "33.33"}, PercentRow{2, 3, "66.67"},
                                           PercentRow{1, 1000, "0.10"}, PercentRow{1, 1e9, "0.00"},
                                           PercentRow{999999, 1000000, "100.00"},
                                           PercentRow{3e12, 4e12, "75.00"},
                                           PercentRow{-1, 0, "???"},
                                           PercentRow{std::nan(""), 10, "???"}));

}  // namespace
}  // namespace vantrel
