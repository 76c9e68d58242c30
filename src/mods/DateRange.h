#pragma once

#include "platform/FileRecord.h"

#include <QDate>

#include <limits>

namespace vantrel {

// Which of a file's three times the search tests ("Search for files that
// were"), in the order of the window's radio buttons.
enum class DateField { LastAccessed = 0, Created = 1, LastModified = 2 };

// How the time must lie against the days of the date fields, in the order
// of the window's radio buttons.
enum class DateRangeMode { OnOrBefore = 0, InBetween = 1, OnOrAfter = 2 };

// The time of `field` in `record`.
const FileTime& timeOf(const FileRecord& record, DateField field);

// The range test of the files-by-date search: whether a file time lies on
// or before a day, between two days, or on or after a day. Both ends are
// inclusive and count whole calendar days in local time: "on or before
// 10 May" takes 10 May 23:59:59, "on or after 10 May" takes 10 May 00:00.
//
// It compares the file's real 64-bit time with the first instant of the
// start day and the first instant after the end day, so a file of 1965 or
// of 2150 is found by its true date, and one test costs two comparisons. A
// time that is not recorded (the birth time on a file system without one)
// lies in no range at all.
//
// The end day counts in InBetween only; the single-day modes test against
// the start day. A range whose end lies before its start holds nothing (the
// window refuses to search one).
class DateRange {
public:
    DateRange(DateRangeMode mode, const QDate& start, const QDate& end = QDate());

    [[nodiscard]] bool contains(const FileTime& time) const {
        return time.recorded && time.sec >= m_from && time.sec < m_until;
    }

    DateRangeMode mode() const { return m_mode; }
    // The first instant in range (seconds since 1970), or the smallest value
    // for OnOrBefore.
    qint64 from() const { return m_from; }
    // The first instant after the range, or the largest value for OnOrAfter.
    qint64 until() const { return m_until; }

private:
    DateRangeMode m_mode;
    qint64 m_from = std::numeric_limits<qint64>::min();
    qint64 m_until = std::numeric_limits<qint64>::max();
};

// The first instant (seconds since 1970) whose local date is `day` or later:
// local midnight, or the first local time of that day when midnight falls
// into a change of the clocks.
qint64 startOfLocalDay(const QDate& day);

// The local calendar day of a time (seconds since 1970); invalid when the
// system cannot convert it.
QDate localDayOf(qint64 secondsSinceEpoch);

}  // namespace vantrel
