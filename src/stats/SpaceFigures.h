#pragma once

#include "stats/VolumeSpace.h"

#include <QList>
#include <QString>

namespace vantrel {

// One root the "Space" page shows, with its file system's space.
struct SpaceDrive {
    QString label;  // the root's path
    VolumeSpace space;
};

// One stacked bar of the "Space" page, in the figures' unit.
struct SpaceBar {
    QString label;
    double used = 0;
    double reserved = 0;
    double free = 0;
    [[nodiscard]] double capacity() const { return used + reserved + free; }
};

// What the "Space" page shows for the ticked roots that are ready: a bar per
// root, then a "Total" bar whenever two or more roots are shown; and the
// summed capacity, used, reserved and free space. Roots on one file system
// (the same device: "/" and a folder in it) count once in the sums and the
// Total bar. Every bar and figure shares one unit, chosen by the largest
// bar: KB when it holds less than 10000 KB, else MB (1 KB = 1024 bytes).
struct SpaceFigures {
    enum class Unit { KB, MB };
    Unit unit = Unit::KB;
    QList<SpaceBar> bars;
    int driveCount = 0;
    qint64 capacityBytes = 0;
    qint64 usedBytes = 0;
    qint64 reservedBytes = 0;
    qint64 freeBytes = 0;

    [[nodiscard]] QString unitText() const;  // "KB" or "MB"
    [[nodiscard]] double inUnit(qint64 bytes) const;
    // A figure in the unit, rounded to a whole number, with thousands separators.
    [[nodiscard]] QString amountText(qint64 bytes) const;
    // Free space below 5 percent of the capacity.
    [[nodiscard]] bool lowOnSpace() const;
};

[[nodiscard]] SpaceFigures spaceFigures(const QList<SpaceDrive>& drives);

// The summed capacity of the ready roots, each file system once; what a
// statistics run checks before it starts.
[[nodiscard]] qint64 distinctCapacity(const QList<VolumeSpace>& volumes);

}  // namespace vantrel
