#pragma once

#include <QtGlobal>

#include <array>
#include <limits>

namespace vantrel {

// The local calendar day, hour and weekday of an instant.
struct LocalMoment {
    qint64 day = 0;   // days since 1 January 1970 in local time (negative before)
    int hour = 0;     // 0 .. 23
    int weekday = 0;  // 0 = Monday .. 6 = Sunday
};

// Turns Unix times (seconds, 64-bit: 1900 and 2200 alike) into local
// calendar facts in the process's time zone. Asking the C library for every
// time of every file would cost more than the walk that finds them, so the
// zone's offset is cached per UTC day (8192 days, some 22 years, are kept;
// file times cluster, so a walk rarely asks the library twice for one day);
// a day in which the offset changes is converted exactly, instant by
// instant. Not thread-safe: one per walking thread.
class LocalCalendar {
public:
    [[nodiscard]] LocalMoment moment(qint64 secondsSinceEpoch);
    // The local day number of an instant (see LocalMoment::day).
    [[nodiscard]] qint64 dayOf(qint64 secondsSinceEpoch) { return moment(secondsSinceEpoch).day; }

private:
    struct Slice {
        qint64 slice = std::numeric_limits<qint64>::min();
        qint64 offset = 0;   // seconds east of UTC
        bool exact = false;  // the offset changes inside the slice
    };
    qint64 offsetAt(qint64 secondsSinceEpoch);

    std::array<Slice, 8192> m_slices;
};

}  // namespace vantrel
