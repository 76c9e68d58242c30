#pragma once

#include "stats/StatsTotals.h"

#include <QList>
#include <QString>

#include <array>

namespace vantrel {

// The rows of the statistics listings, worked out from the totals, so that
// the pages only show them.

// A class row: its label, bytes and files.
struct ClassRow {
    QString label;
    qint64 bytes = 0;
    qint64 count = 0;
    bool operator==(const ClassRow&) const = default;
};

// The size listing, largest class first: "Over 16MB" down to "0 - 16K".
[[nodiscard]] QList<ClassRow> sizeRows(const StatsTotals& totals);
// An age listing, oldest class first: "Over 4 years" down to "Not recorded".
[[nodiscard]] QList<ClassRow> ageRows(const StatsTotals& totals, AgeKind kind);

// One attribute row with its shares of all files found and of all their
// bytes, in percent (0 when nothing was found: never a division by zero).
// A file can carry several attributes, so the shares need not add up to 100.
struct AttributeRow {
    StatsAttribute attribute = StatsAttribute::Hidden;
    QString label;
    qint64 count = 0;
    qint64 bytes = 0;
    double countPercent = 0;
    double bytesPercent = 0;
};
// Hidden, Read-only, System, Archive, in that order.
[[nodiscard]] QList<AttributeRow> attributeRows(const StatsTotals& totals);

// What the "Overhang" page shows for one walked root.
struct OverhangFigures {
    qint64 totalBytes = 0;  // the files' sizes
    qint64 filesFound = 0;
    std::array<qint64, kClusterSizeCount> slack{};
    // slack x 100 / (slack + total) for each cluster size: the share of the
    // occupied space that is overhang.
    std::array<double, kClusterSizeCount> percentWasted{};
    int clusterIndex = -1;      // the root's cluster size in kClusterSizes, or -1
    qint64 allocatedBytes = 0;  // the real allocation
};
[[nodiscard]] OverhangFigures overhangFigures(const StatsTotals& totals, qint64 clusterSize);

// A byte total as the overhang page words it: whole megabytes (truncated)
// and " MB" from 1048576 bytes on, else whole kilobytes and " KB".
[[nodiscard]] QString kilobyteOrMegabyteText(qint64 bytes);

// A percentage with up to `decimals` decimals (trailing zeros dropped) and
// " %": 12.5 gives "12.5 %", 0 gives "0 %".
[[nodiscard]] QString percentLabel(double percent, int decimals);

}  // namespace vantrel
