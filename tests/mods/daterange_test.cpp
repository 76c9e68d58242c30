// The date fields and the range test of the files-by-date search: which
// texts are dates, and which file times lie in which ranges, by calendar day
// in local time, on the files' real times.

#include "mods/DateRange.h"
#include "mods/FieldDate.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QScopeGuard>
#include <QTimeZone>

#include <cstdlib>
#include <ctime>
#include <limits>

namespace vantrel {
namespace {

// Runs the rest of a test in another time zone and the en_US locale,
// restoring UTC afterwards.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone) {
        qputenv("TZ", zone);
        ::tzset();
        localTimeZoneChanged();
    }
    ~ZoneGuard() {
        qputenv("TZ", "UTC");
        ::tzset();
        localTimeZoneChanged();
    }
};

bool zoneInstalled(const char* zone) {
    return QFile::exists(QStringLiteral("/usr/share/zoneinfo/") + QLatin1String(zone));
}

FileTime at(const QDateTime& when) {
    FileTime t;
    t.sec = when.toSecsSinceEpoch();
    t.nsec = 0;
    t.recorded = true;
    return t;
}

FileTime utc(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    return at(QDateTime(QDate(y, m, d), QTime(hh, mm, ss), Qt::UTC));
}

// ---- The date fields -------------------------------------------------------------

TEST(FieldDate, FormatsWriteTheYearInFourDigits) {
    EXPECT_EQ(fourDigitYearFormat("M/d/yy"), "M/d/yyyy");
    EXPECT_EQ(fourDigitYearFormat("dd.MM.yy"), "dd.MM.yyyy");
    EXPECT_EQ(fourDigitYearFormat("dd/MM/yyyy"), "dd/MM/yyyy");
    EXPECT_EQ(fourDigitYearFormat("y-MM-dd"), "yyyy-MM-dd");
    // Quoted text is no field.
    EXPECT_EQ(fourDigitYearFormat("d 'by' M yy"), "d 'by' M yyyy");
    EXPECT_EQ(fieldDateFormat(), "M/d/yyyy");  // en_US
}

TEST(FieldDate, ReadsTheDaysOfTheCalendarOnly) {
    struct Case {
        const char* text;
        QDate expected;  // invalid: refused
    };
    const Case cases[] = {
        {"5/10/2025", QDate(2025, 5, 10)},
        {"05/10/2025", QDate(2025, 5, 10)},
        {"  5/10/2025 ", QDate(2025, 5, 10)},
        {"2/29/2024", QDate(2024, 2, 29)},
        {"1/1/1601", QDate(1601, 1, 1)},
        {"12/31/9999", QDate(9999, 12, 31)},
        {"2/29/2025", QDate()},  // no such day
        {"2/31/2025", QDate()},  // no such day
        {"0/0/0", QDate()},
        {"", QDate()},
        {"   ", QDate()},
        {"12/31/1600", QDate()},  // before 1601
        {"1/1/10000", QDate()},   // after 9999
        {"5/10/-2025", QDate()},
        {"5/10/25", QDate()},  // the year has four digits
        {"5/10/2025x", QDate()},
        {"tomorrow", QDate()},
    };
    for (const Case& c : cases) {
        const std::optional<QDate> date = parseFieldDate(QString::fromLatin1(c.text));
        if (c.expected.isValid()) {
            ASSERT_TRUE(date.has_value()) << c.text;
            EXPECT_EQ(*date, c.expected) << c.text;
        } else {
            EXPECT_FALSE(date.has_value()) << c.text;
        }
    }
}

TEST(FieldDate, FollowsTheUsersOrderOfDayAndMonth) {
    const auto restore =
        qScopeGuard([] { TextLocale::set(QLocale(QLocale::English, QLocale::UnitedStates)); });
    TextLocale::set(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(parseFieldDate("28/02/2025"), QDate(2025, 2, 28));
    EXPECT_FALSE(parseFieldDate("31/02/2025"));
    EXPECT_FALSE(parseFieldDate("02/28/2025"));
    EXPECT_EQ(fieldDateText(QDate(1965, 3, 1)), "01/03/1965");

    TextLocale::set(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(fieldDateFormat(), "dd.MM.yyyy");
    EXPECT_EQ(parseFieldDate("10.05.2025"), QDate(2025, 5, 10));
    EXPECT_EQ(fieldDateText(QDate(2150, 6, 15)), "15.06.2150");
}

TEST(FieldDate, TextsReadBackAsTheirDays) {
    for (const QDate& d : {QDate(1601, 1, 1), QDate(1965, 3, 1), QDate(2025, 12, 31),
                           QDate(2150, 6, 15), QDate(9999, 12, 31)}) {
        EXPECT_EQ(parseFieldDate(fieldDateText(d)), d) << fieldDateText(d).toStdString();
    }
    EXPECT_EQ(fieldDateText(QDate(1965, 3, 1)), "3/1/1965");
    EXPECT_EQ(invalidDateMessage("31/02/2025"), "'31/02/2025' is not a valid date");
    EXPECT_EQ(invalidDateMessage(""), "'' is not a valid date");
}

TEST(FieldDate, HandsDaysOverAsDayCounts) {
    EXPECT_EQ(dayCountOf(QDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(dayCountOf(QDate(1900, 1, 1)), 2.0);
    EXPECT_EQ(dayCountOf(QDate(2000, 1, 1)), 36526.0);
    EXPECT_EQ(dateOfDayCount(36526.75), QDate(2000, 1, 1));  // the time of day does not count
    EXPECT_EQ(dateOfDayCount(dayCountOf(QDate(1601, 1, 1))), QDate(1601, 1, 1));
}

// ---- The range test --------------------------------------------------------------

TEST(DateRange, BothEndsCountWholeDays) {
    struct Case {
        DateRangeMode mode;
        QDate start;
        QDate end;
        FileTime time;
        bool expected;
    };
    const QDate may1(2025, 5, 1);
    const QDate may10(2025, 5, 10);
    const QDate may31(2025, 5, 31);
    const Case cases[] = {
        {DateRangeMode::OnOrBefore, may10, {}, utc(2025, 5, 10, 23, 59, 59), true},
        {DateRangeMode::OnOrBefore, may10, {}, utc(2025, 5, 11), false},
        {DateRangeMode::OnOrBefore, may10, {}, utc(1970, 1, 1), true},
        {DateRangeMode::InBetween, may1, may31, utc(2025, 5, 1), true},
        {DateRangeMode::InBetween, may1, may31, utc(2025, 5, 31, 23, 59, 59), true},
        {DateRangeMode::InBetween, may1, may31, utc(2025, 4, 30, 23, 59, 59), false},
        {DateRangeMode::InBetween, may1, may31, utc(2025, 6, 1), false},
        {DateRangeMode::InBetween, may10, may10, utc(2025, 5, 10, 12), true},
        {DateRangeMode::OnOrAfter, may10, {}, utc(2025, 5, 10), true},
        {DateRangeMode::OnOrAfter, may10, {}, utc(2025, 5, 9, 23, 59, 59), false},
        // The end field counts in "In between" only.
        {DateRangeMode::OnOrAfter, may10, may1, utc(2025, 7, 1), true},
        {DateRangeMode::OnOrBefore, may10, may31, utc(2025, 5, 20), false},
        // The end before the start holds nothing.
        {DateRangeMode::InBetween, may31, may1, utc(2025, 5, 15), false},
    };
    for (const Case& c : cases) {
        const DateRange range(c.mode, c.start, c.end);
        EXPECT_EQ(range.contains(c.time), c.expected)
            << int(c.mode) << " " << c.start.toString().toStdString() << " "
            << QDateTime::fromSecsSinceEpoch(c.time.sec, Qt::UTC).toString().toStdString();
    }
}

TEST(DateRange, ATimeNotRecordedIsInNoRange) {
    FileTime none;  // recorded = false, sec = 0
    for (DateRangeMode mode :
         {DateRangeMode::OnOrBefore, DateRangeMode::InBetween, DateRangeMode::OnOrAfter}) {
        EXPECT_FALSE(DateRange(mode, QDate(1601, 1, 1), QDate(9999, 12, 31)).contains(none));
    }
    EXPECT_FALSE(DateRange(DateRangeMode::OnOrBefore, QDate(9999, 12, 31)).contains(none));
}

TEST(DateRange, FindsFilesByTheirTrueDatesBeyondThePackableYears) {
    // Packed dates hold 1980 to 2107 only; these never pack, but are found.
    const FileTime in1965 = utc(1965, 3, 1, 8);
    const FileTime in2150 = utc(2150, 6, 15, 8);
    const FileTime first = utc(1601, 1, 1);
    const FileTime last = utc(9999, 12, 31, 23, 59, 59);
    EXPECT_EQ(packFileTime(in1965), 0u);
    EXPECT_EQ(packFileTime(in2150), 0u);

    EXPECT_TRUE(DateRange(DateRangeMode::OnOrBefore, QDate(1979, 12, 31)).contains(in1965));
    EXPECT_FALSE(DateRange(DateRangeMode::OnOrBefore, QDate(1965, 2, 28)).contains(in1965));
    EXPECT_TRUE(
        DateRange(DateRangeMode::InBetween, QDate(1965, 3, 1), QDate(1965, 3, 1)).contains(in1965));
    EXPECT_TRUE(DateRange(DateRangeMode::OnOrAfter, QDate(2108, 1, 1)).contains(in2150));
    EXPECT_FALSE(DateRange(DateRangeMode::OnOrAfter, QDate(2150, 6, 16)).contains(in2150));
    EXPECT_FALSE(DateRange(DateRangeMode::OnOrBefore, QDate(2025, 1, 1)).contains(in2150));
    EXPECT_TRUE(DateRange(DateRangeMode::OnOrBefore, QDate(1601, 1, 1)).contains(first));
    EXPECT_TRUE(DateRange(DateRangeMode::OnOrAfter, QDate(9999, 12, 31)).contains(last));
    // A second before the first day of the range, and the nanoseconds of
    // the last second of a day.
    FileTime beforeFirst = first;
    beforeFirst.sec -= 1;
    EXPECT_FALSE(DateRange(DateRangeMode::OnOrAfter, QDate(1601, 1, 1)).contains(beforeFirst));
    FileTime lastNano = utc(2025, 5, 10, 23, 59, 59);
    lastNano.nsec = 999999999;
    EXPECT_TRUE(DateRange(DateRangeMode::OnOrBefore, QDate(2025, 5, 10)).contains(lastNano));
}

TEST(DateRange, DaysAreLocalCalendarDays) {
    if (!zoneInstalled("Europe/Berlin") || !zoneInstalled("Pacific/Kiritimati"))
        GTEST_SKIP() << "no time zone data";
    {
        const ZoneGuard zone("Europe/Berlin");
        // 10 May 2025, 23:30 in Berlin is 21:30 UTC; 00:30 on the 11th is
        // 22:30 UTC on the 10th.
        const DateRange may10(DateRangeMode::InBetween, QDate(2025, 5, 10), QDate(2025, 5, 10));
        EXPECT_TRUE(may10.contains(utc(2025, 5, 10, 21, 30)));
        EXPECT_FALSE(may10.contains(utc(2025, 5, 10, 22, 30)));
        EXPECT_TRUE(may10.contains(utc(2025, 5, 9, 22, 0)));
        EXPECT_FALSE(may10.contains(utc(2025, 5, 9, 21, 59, 59)));
        EXPECT_EQ(localDayOf(utc(2025, 5, 10, 22, 30).sec), QDate(2025, 5, 11));
        // Winter time.
        EXPECT_EQ(startOfLocalDay(QDate(2025, 1, 10)), utc(2025, 1, 9, 23).sec);
    }
    {
        // Fourteen hours ahead of UTC.
        const ZoneGuard zone("Pacific/Kiritimati");
        EXPECT_EQ(startOfLocalDay(QDate(2025, 5, 10)), utc(2025, 5, 9, 10).sec);
    }
}

TEST(DateRange, ADayWithoutMidnightStartsWithItsFirstLocalTime) {
    if (!zoneInstalled("America/Sao_Paulo"))
        GTEST_SKIP() << "no time zone data";
    const ZoneGuard zone("America/Sao_Paulo");
    // On 4 November 2018 the clocks went from 00:00 straight to 01:00 there:
    // the day began at 01:00 -02, 03:00 UTC.
    const qint64 start = startOfLocalDay(QDate(2018, 11, 4));
    EXPECT_EQ(start, utc(2018, 11, 4, 3).sec);
    EXPECT_EQ(localDayOf(start - 1), QDate(2018, 11, 3));
    const DateRange day(DateRangeMode::InBetween, QDate(2018, 11, 4), QDate(2018, 11, 4));
    EXPECT_TRUE(day.contains(utc(2018, 11, 4, 3)));
    EXPECT_FALSE(day.contains(utc(2018, 11, 4, 2, 59, 59)));
}

}  // namespace
}  // namespace vantrel
