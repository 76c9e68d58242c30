#include "mods/DateRange.h"

#include <time.h>

namespace vantrel {

namespace {

constexpr qint64 kDay = 86400;

// Whether the local day of `t` is `day` or later; a time the system cannot
// convert counts as later (it lies beyond every date of the fields).
bool onOrAfterDay(qint64 t, const QDate& day) {
    const QDate local = localDayOf(t);
    return !local.isValid() || local >= day;
}

}  // namespace

const FileTime& timeOf(const FileRecord& record, DateField field) {
    switch (field) {
        case DateField::LastAccessed:
            return record.accessTime;
        case DateField::Created:
            return record.creationTime;
        case DateField::LastModified:
            break;
    }
    return record.writeTime;
}

QDate localDayOf(qint64 secondsSinceEpoch) {
    const time_t t = time_t(secondsSinceEpoch);
    tm lt{};
    if (!localtime_r(&t, &lt))
        return QDate();
    return QDate(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday);
}

qint64 startOfLocalDay(const QDate& day) {
    // Local time lies within a day and a half of UTC, so the day starts
    // somewhere in the four days around its UTC midnight; the local date
    // only grows with time, so the first instant of the day is found by
    // halving that stretch (some twenty conversions, once per search). This
    // is exact also where midnight itself does not exist (a change of the
    // clocks at 00:00) and for zones with odd historic offsets.
    const qint64 utcMidnight = QDate(1970, 1, 1).daysTo(day) * kDay;
    qint64 low = utcMidnight - 2 * kDay;   // before the day everywhere
    qint64 high = utcMidnight + 2 * kDay;  // within or after it everywhere
    while (low < high) {
        const qint64 mid = low + (high - low) / 2;
        if (onOrAfterDay(mid, day))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

DateRange::DateRange(DateRangeMode mode, const QDate& start, const QDate& end) : m_mode(mode) {
    switch (mode) {
        case DateRangeMode::OnOrBefore:
            m_until = startOfLocalDay(start.addDays(1));
            break;
        case DateRangeMode::InBetween:
            m_from = startOfLocalDay(start);
            m_until = startOfLocalDay(end.addDays(1));
            break;
        case DateRangeMode::OnOrAfter:
            m_from = startOfLocalDay(start);
            break;
    }
}

}  // namespace vantrel
