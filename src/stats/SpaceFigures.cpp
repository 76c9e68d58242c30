#include "stats/SpaceFigures.h"

#include "text/Formats.h"

#include <QSet>

#include <cmath>

namespace vantrel {

namespace {

constexpr double kKilobyte = 1024.0;
constexpr double kMegabyte = 1024.0 * 1024.0;

}  // namespace

QString SpaceFigures::unitText() const {
    return unit == Unit::KB ? QStringLiteral("KB") : QStringLiteral("MB");
}

double SpaceFigures::inUnit(qint64 bytes) const {
    return double(bytes) / (unit == Unit::KB ? kKilobyte : kMegabyte);
}

QString SpaceFigures::amountText(qint64 bytes) const {
    return numberText(qint64(std::llround(inUnit(bytes))));
}

bool SpaceFigures::lowOnSpace() const {
    return capacityBytes > 0 && double(freeBytes) < double(capacityBytes) * 0.05;
}

SpaceFigures spaceFigures(const QList<SpaceDrive>& drives) {
    SpaceFigures f;
    f.driveCount = int(drives.size());
    QSet<quint64> counted;
    qint64 largest = 0;
    for (const SpaceDrive& d : drives) {
        largest = qMax(largest, d.space.capacityBytes());
        if (counted.contains(d.space.device))
            continue;
        counted.insert(d.space.device);
        f.capacityBytes += d.space.capacityBytes();
        f.usedBytes += d.space.usedBytes();
        f.reservedBytes += d.space.reservedBytes();
        f.freeBytes += d.space.freeBytes();
    }
    const bool withTotal = drives.size() >= 2;
    if (withTotal)
        largest = qMax(largest, f.capacityBytes);
    f.unit =
        double(largest) / kKilobyte < 10000.0 ? SpaceFigures::Unit::KB : SpaceFigures::Unit::MB;
    for (const SpaceDrive& d : drives) {
        f.bars.append(SpaceBar{d.label, f.inUnit(d.space.usedBytes()),
                               f.inUnit(d.space.reservedBytes()), f.inUnit(d.space.freeBytes())});
    }
    if (withTotal) {
        f.bars.append(SpaceBar{QStringLiteral("Total"), f.inUnit(f.usedBytes),
                               f.inUnit(f.reservedBytes), f.inUnit(f.freeBytes)});
    }
    return f;
}

qint64 distinctCapacity(const QList<VolumeSpace>& volumes) {
    QSet<quint64> counted;
    qint64 total = 0;
    for (const VolumeSpace& v : volumes) {
        if (counted.contains(v.device))
            continue;
        counted.insert(v.device);
        total += v.capacityBytes();
    }
    return total;
}

}  // namespace vantrel
