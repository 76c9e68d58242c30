#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

namespace vantrel {

// The fixed classes the statistics count files into, with their row labels.
// Every index here is 0-based; arrays of figures are indexed by these.

// Size classes, smallest first: class 0 "0 - 16K" holds sizes up to and
// including 16384 bytes (an empty file, and a negative size should one ever
// come, too), class 1 "16K - 32K" up to 32768, ... class 10 "8MB - 16MB" up
// to 16777216, class 11 "Over 16MB" everything larger, 64-bit.
inline constexpr int kSizeClasses = 12;
[[nodiscard]] int sizeClassOf(qint64 size);
[[nodiscard]] QString sizeClassLabel(int sizeClass);

// Age classes of a file time, by whole local days between today and the
// day of the time (a time in the future counts by its distance too): 0 "Not
// recorded" (the file system keeps no such time), 1 "<= 7 days" (0..7),
// 2 "8 - 30 days", 3 "31 - 60 days", 4 "61 - 120 days", 5 "121 - 365 days",
// 6 "1 - 2 years" (366..730), 7 "2 - 3 years" (731..1095), 8 "3 - 4 years"
// (1096..1460), 9 "Over 4 years" (1461 and more).
inline constexpr int kAgeClasses = 10;
inline constexpr int kAgeNotRecorded = 0;
// The class of an age in days; a negative age means "not recorded".
[[nodiscard]] int ageClassOfDays(qint64 days);
[[nodiscard]] QString ageClassLabel(int ageClass);

// Which file time an age table is about.
enum class AgeKind { Accessed = 0, Created = 1, Modified = 2 };
inline constexpr int kAgeKinds = 3;

// Which file time an hour-of-day histogram is about (the access time has none).
enum class HourKind { Modified = 0, Created = 1 };
inline constexpr int kHourKinds = 2;
inline constexpr int kHours = 24;
// Days of the week, Monday first (index 0) to Sunday (index 6).
inline constexpr int kWeekdays = 7;

// The attribute rows of the statistics, in page order. Archive is never set
// on this platform: its row stays so the page reads like its peers, always 0.
enum class StatsAttribute { Hidden = 0, ReadOnly = 1, System = 2, Archive = 3 };
inline constexpr int kStatsAttributes = 4;
[[nodiscard]] QString attributeLabel(StatsAttribute attribute);

// The cluster sizes whose rounding waste the overhang page compares.
inline constexpr std::array<qint64, 5> kClusterSizes = {4096, 8192, 16384, 32768, 65536};
inline constexpr int kClusterSizeCount = int(kClusterSizes.size());
// What rounding `size` up to whole clusters of `cluster` bytes would add: 0
// for a whole multiple (an empty file included) and for a negative size.
[[nodiscard]] qint64 slackFor(qint64 size, qint64 cluster);
// The index of a cluster size in kClusterSizes, or -1.
[[nodiscard]] int clusterSizeIndex(qint64 clusterSize);

}  // namespace vantrel
