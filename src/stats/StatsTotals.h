#pragma once

#include "stats/StatsClasses.h"

#include <QByteArray>
#include <QHash>
#include <QtGlobal>

#include <array>

namespace vantrel {

// Files and bytes of one extension in the type table.
struct TypeTotals {
    qint64 count = 0;
    qint64 bytes = 0;
    bool operator==(const TypeTotals&) const = default;
};

template <std::size_t N>
using Figures = std::array<qint64, N>;

// Every figure a statistics run accumulates, all 64-bit. Plain data: the
// walking thread hands copies to the window after each root.
//
// "Files" are the entries of the walked trees that are not folders (regular
// files, symbolic links, fifos, sockets, devices). Processed counts every
// one visited; found counts those that passed the type choice and were
// accounted, each hard-linked file once however many names it has.
struct StatsTotals {
    qint64 filesProcessed = 0;
    qint64 filesFound = 0;

    // By size class (StatsClasses.h).
    Figures<kSizeClasses> sizeCount{};
    Figures<kSizeClasses> sizeBytes{};
    // By age class of each file time, indexed by AgeKind.
    std::array<Figures<kAgeClasses>, kAgeKinds> ageCount{};
    std::array<Figures<kAgeClasses>, kAgeKinds> ageBytes{};
    // Files by the local hour of their modification or creation time,
    // indexed by HourKind; a time not recorded counts in no hour.
    std::array<Figures<kHours>, kHourKinds> hourCount{};
    // By StatsAttribute; a file counts under each attribute it carries.
    Figures<kStatsAttributes> attrCount{};
    Figures<kStatsAttributes> attrBytes{};
    // What rounding every file up to whole clusters would add, per cluster
    // size of kClusterSizes.
    Figures<kClusterSizeCount> slackBytes{};
    // The space the files really take on disk (st_blocks x 512), so sparse
    // files, inline data and compression show.
    qint64 allocatedBytes = 0;
    // Modification times by weekday (Monday first) and local hour.
    std::array<Figures<kHours>, kWeekdays> activityCount{};
    std::array<Figures<kHours>, kWeekdays> activityBytes{};
    // Size class (down) by modification age class (across).
    std::array<Figures<kAgeClasses>, kSizeClasses> sizeAgeCount{};
    std::array<Figures<kAgeClasses>, kSizeClasses> sizeAgeBytes{};
    // Extension key (TypeSelection.h) -> files and bytes; only keys the type
    // table takes.
    QHash<QByteArray, TypeTotals> types;

    // The bytes of every file found.
    [[nodiscard]] qint64 totalBytes() const;
    bool operator==(const StatsTotals&) const = default;
};

}  // namespace vantrel
