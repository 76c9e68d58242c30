#include "stats/LocalCalendar.h"

#include <time.h>

namespace vantrel {

namespace {

// A UTC day: an offset that changes inside one is found at its ends.
constexpr qint64 kSliceSeconds = 86400;
constexpr qint64 kDaySeconds = 86400;
// Beyond this the C library may not convert; such instants are taken as UTC.
constexpr qint64 kConvertible = qint64(1) << 45;

qint64 floorDiv(qint64 a, qint64 b) {
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

qint64 zoneOffset(qint64 secondsSinceEpoch) {
    if (secondsSinceEpoch > kConvertible || secondsSinceEpoch < -kConvertible)
        return 0;
    const time_t t = time_t(secondsSinceEpoch);
    tm local{};
    if (!localtime_r(&t, &local))
        return 0;
    return qint64(local.tm_gmtoff);
}

}  // namespace

qint64 LocalCalendar::offsetAt(qint64 secondsSinceEpoch) {
    const qint64 slice = floorDiv(secondsSinceEpoch, kSliceSeconds);
    Slice& s = m_slices[std::size_t(quint64(slice) % m_slices.size())];
    if (s.slice != slice) {
        const qint64 start = slice * kSliceSeconds;
        s.slice = slice;
        s.offset = zoneOffset(start);
        s.exact = zoneOffset(start + kSliceSeconds - 1) != s.offset;
    }
    return s.exact ? zoneOffset(secondsSinceEpoch) : s.offset;
}

LocalMoment LocalCalendar::moment(qint64 secondsSinceEpoch) {
    const qint64 local = secondsSinceEpoch + offsetAt(secondsSinceEpoch);
    LocalMoment m;
    m.day = floorDiv(local, kDaySeconds);
    m.hour = int((local - m.day * kDaySeconds) / 3600);
    m.weekday = int(((m.day + 3) % 7 + 7) % 7);  // 1 January 1970 was a Thursday
    return m;
}

}  // namespace vantrel
