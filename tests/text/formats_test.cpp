// Texts for counts, dates, file types and the small parsing helpers, checked
// in the en_US locale that the test main installs.

#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QMimeDatabase>

#include <cmath>
#include <limits>
#include <tuple>

namespace vantrel {
namespace {

// Packs the fields of a file date the way the walk reports them.
quint32 packed(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return (quint32(year - 1980) << 25) | (quint32(month) << 21) | (quint32(day) << 16) |
           (quint32(hour) << 11) | (quint32(minute) << 5) | quint32(second / 2);
}

TEST(NumberText, GroupsThousandsWithTheLocaleSeparator) {
    const std::pair<qint64, const char*> rows[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {1234567, "1,234,567"},
        {2147483647, "2,147,483,647"},
        {-5000, "-5,000"},
        {std::numeric_limits<qint64>::min(), "-9,223,372,036,854,775,808"}};
    for (const auto& [value, text] : rows)
        EXPECT_EQ(numberText(value).toStdString(), text) << value;
}

TEST(TextLocale, SeparatorsComeFromTheLocaleReadAtStart) {
    TextLocale::set(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(numberText(1234567), QStringLiteral("1.234.567"));
    EXPECT_EQ(percentText(1, 3), QStringLiteral("33,33"));
    EXPECT_EQ(fileTimeText(packed(2024, 6, 12, 14, 35, 58)), QStringLiteral("14:35:58"));
    TextLocale::set(QLocale(QLocale::English, QLocale::UnitedStates));
    // A later change of Qt's default locale does not change the texts.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(numberText(1234567), QStringLiteral("1,234,567"));
    EXPECT_EQ(percentText(1, 3), QStringLiteral("33.33"));
    QLocale::setDefault(before);
}

TEST(RelativeDateText, CalendarWeeksMonthsAndYears) {
    // 12 June, 13 November and 11 December 2024 are Wednesdays.
    const QDate wed(2024, 6, 12), wedNov(2024, 11, 13), wedDec(2024, 12, 11);
    const std::tuple<QDate, QDate, const char*> rows[] = {
        {wed, wed, "Today"},
        {wed, {2024, 6, 11}, "Yesterday"},
        {wed, {2024, 6, 13}, "Tomorrow"},
        {wed, {2024, 6, 10}, "This week"},
        {wed, {2024, 6, 8}, "Last week"},

        {wed, {2024, 6, 15}, "This week"},
        {wed, {2024, 6, 16}, "Next week"},
        {wed, {2024, 6, 23}, "2 weeks"},
        {wed, {2024, 7, 17}, "5 weeks"},
        {wed, {2024, 5, 1}, "6 weeks ago"},
        {wed, {2025, 8, 12}, "14 months"},
        {wed, {2022, 4, 20}, "26 months ago"},
        {wedDec, {2022, 1, 15}, "35 months ago"},
        {wed, {2021, 6, 1}, "3 years ago"},
        {wed, {2021, 5, 20}, "3 years 1 month ago"},
        {wed, {2016, 7, 4}, "7 years 11 months ago"},
        {wedNov, {2028, 3, 15}, "3 years 4 months"},
        {wed, {2028, 7, 1}, "4 years 1 month"},
        {wed, {2029, 6, 30}, "5 years"},
        {wed, {2026, 12, 1}, "30 months"},
        {{2025, 1, 1}, {2024, 12, 28}, "Last week"},
        {wed, {1, 1, 1}, "2023 years 5 months ago"},
        {wed, {-5, 3, 1}, ""}};  // before the year 1: no text
    for (const auto& [reference, file, text] : rows) {
        // Times of day do not count, only calendar days.
        const QString got =
            relativeDateText(QDateTime(file, QTime(17, 5)), QDateTime(reference, QTime(9, 30)));
        EXPECT_EQ(got.toStdString(), text) << file.toString(Qt::ISODate).toStdString();
    }
    EXPECT_EQ(relativeDateText(QDateTime(), QDateTime(wed, QTime(12, 0))), QString());
    EXPECT_EQ(relativeDateText(QDateTime(wed, QTime(1, 0)), QDateTime()), QString());
}

TEST(PackedDate, TextsAndSortKeys) {
    const struct {
        quint32 value;
        bool decodable;
        const char *date, *time, *dateKey, *timeKey;
    } rows[] = {
        {packed(2024, 6, 12, 14, 35, 58), true, "6/12/24", "2:35:58 PM", "20240612", "1435"},
        {packed(1980, 1, 1, 0, 5, 3), true, "1/1/80", "12:05:02 AM", "19800101", "0005"},
        {packed(2107, 12, 31, 23, 59, 58), true, "12/31/07", "11:59:58 PM", "21071231", "2359"},
        {packed(2024, 2, 29, 12, 0), true, "2/29/24", "12:00:00 PM", "20240229", "1200"},
        {0, false, "", "", "19800101", "1200"},  // nothing recorded
        // Undecodable values fall back to 1 January 1980 and noon.
        {packed(2024, 13, 5, 10, 0), false, "1/1/80", "12:00:00 PM", "19800101", "1200"},
        {packed(2024, 4, 31, 10, 0), false, "1/1/80", "12:00:00 PM", "19800101", "1200"},
        {packed(2023, 2, 29, 10, 0), false, "1/1/80", "12:00:00 PM", "19800101", "1200"},

        {packed(2024, 3, 5, 10, 60), false, "1/1/80", "12:00:00 PM", "19800101", "1200"},
        {packed(2024, 3, 5, 10, 0) | 30u, false, "1/1/80", "12:00:00 PM", "19800101", "1200"},
        {0xFFFFFFFFu, false, "1/1/80", "12:00:00 PM", "19800101", "1200"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.value);
        EXPECT_EQ(decodeFileDate(r.value, nullptr, nullptr), r.decodable);
        EXPECT_EQ(fileDateText(r.value).toStdString(), r.date);
        EXPECT_EQ(fileTimeText(r.value).toStdString(), r.time);
        EXPECT_EQ(fileDateSortKey(r.value).toStdString(), r.dateKey);
        EXPECT_EQ(fileTimeSortKey(r.value).toStdString(), r.timeKey);
        // Undecodable values are 1 January 1980.
        EXPECT_TRUE(r.decodable || fileDateValue(r.value) == 29221.0);
    }
    // Date-time values count days from 30 December 1899.
    EXPECT_DOUBLE_EQ(fileDateValue(packed(2024, 6, 12, 18, 0)), 45455.75);
    EXPECT_EQ(dayNumber(QDate(1899, 12, 29)), -1);
    EXPECT_EQ(dateTimeFromValue(45455.75), QDateTime(QDate(2024, 6, 12), QTime(18, 0)));
}

TEST(FileTypeDescription, PatternsAndFallbacks) {
    const QString plain = QMimeDatabase().mimeTypeForName("text/plain").comment();
    ASSERT_FALSE(plain.isEmpty()) << "no MIME database";
    EXPECT_EQ(fileTypeDescription(QStringLiteral("*.")), QStringLiteral("No extension"));
    EXPECT_EQ(fileTypeDescription(QStringLiteral(".qqq")), QStringLiteral("QQQ File"));
    EXPECT_EQ(fileTypeDescription(QStringLiteral(".QqQ")), QStringLiteral("QQQ File"));
    EXPECT_EQ(fileTypeDescription(QStringLiteral(".txt")), plain);
    EXPECT_EQ(fileTypeDescription(QStringLiteral(".TXT")), plain);
    // A star pattern has no description, even for a known extension.
    for (const char* pattern : {"*.qqq", "*.txt", "*", ""})
        EXPECT_EQ(fileTypeDescription(QString::fromLatin1(pattern)), QString()) << pattern;
}

TEST(TabField, TrimmedFieldOrEmpty) {
    const std::tuple<const char*, int, const char*> rows[] = {
        {"a\tb\t\tc", 1, "a"}, {"a\tb\t\tc", 2, "b"}, {"a\tb\t\tc", 3, ""},
        {"a\tb\t\tc", 4, "c"}, {"a\tb\t\tc", 5, ""},  {"whole line", 1, "whole line"},
        {"a\tb", 0, ""},       {"", 1, ""},           {"  padded \t\x01 x y\x7f ", 2, "x y"}};
    for (const auto& [line, field, text] : rows)
        EXPECT_EQ(tabField(QString::fromUtf8(line), field).toStdString(), text) << line << field;
}

TEST(PathsAndNames, JoinWithOneSeparatorAndKeepBytes) {
    EXPECT_EQ(joinPath(QStringLiteral("/"), QStringLiteral("x.txt")), QStringLiteral("/x.txt"));
    EXPECT_EQ(joinPath(QStringLiteral("/A"), QStringLiteral("x.txt")), QStringLiteral("/A/x.txt"));
    EXPECT_EQ(joinPath(QStringLiteral("/A/"), QStringLiteral("x")), QStringLiteral("/A/x"));
    EXPECT_EQ(joinPath(QStringLiteral("/A//B"), QStringLiteral("./x")),
              QStringLiteral("/A//B/./x"));
    EXPECT_EQ(joinPath(QByteArray("/tmp/caf\xe9"), QByteArray("n\xff")), "/tmp/caf\xe9/n\xff");
}

TEST(TextToIntOrZero, ValueOrZero) {
    EXPECT_EQ(textToIntOrZero(u"123"), 123);
    EXPECT_EQ(textToIntOrZero(u"-5"), -5);
    EXPECT_EQ(textToIntOrZero(u" 42 "), 42);
    EXPECT_EQ(textToIntOrZero(u"2147483647"), 2147483647);
    EXPECT_EQ(textToIntOrZero(u"-2147483648"), std::numeric_limits<qint32>::min());
    // \xd9\xa3 is an Arabic-Indic digit.
    for (const char* text : {"", "abc", "12abc", "1,000", "1.5", "0x10", "- 5", "2147483648",
                             "-2147483649", "\xd9\xa3"})
        EXPECT_EQ(textToIntOrZero(QString::fromUtf8(text)), 0) << text;
    EXPECT_EQ(textToInt64OrZero(u"5368709120"), 5368709120LL);
    EXPECT_EQ(textToInt64OrZero(u"9223372036854775808"), 0);
}

TEST(PercentText, TwoDecimalsOrQuestionMarks) {
    const std::tuple<double, double, const char*> rows[] = {
        {5, 5, "???"},          {0, 0, "???"},   {-1, 0, "???"},  {std::nan(""), 10, "???"},
        {0, 10, "0.00"},        {1, 3, "33.33"}, {2, 3, "66.67"}, {1, 1000, "0.10"},
        {999999, 1e6, "100.00"}};
    for (const auto& [part, total, text] : rows)
        EXPECT_EQ(percentText(part, total).toStdString(), text) << part << '/' << total;
}

}  // namespace
}  // namespace vantrel
