#include "settings/Placement.h"

#include <algorithm>
#include <array>
#include <limits>

namespace vantrel {

QString formatPlacement(const Placement& p, const QString& delimiter) {
    const std::array<int, 10> v = {p.flags, p.showCmd, p.minX, p.minY,  p.maxX,
                                   p.maxY,  p.left,    p.top,  p.right, p.bottom};
    QString out;
    for (int n : v)
        out += QString::number(n) + delimiter;
    return out;
}

Placement parsePlacement(const QString& text, const QString& delimiter) {
    std::array<int, 10> v{};
    QString rest = text;
    for (int i = 0; i < 10; ++i) {
        QString part;
        const qsizetype at = delimiter.isEmpty() ? -1 : rest.indexOf(delimiter);
        if (at < 0) {
            part = rest;
            rest.clear();
        } else {
            part = rest.left(at);
            rest = rest.mid(at + delimiter.size());
        }
        bool ok = false;
        const qint64 n = part.trimmed().toLongLong(&ok);
        const bool fits =
            ok && n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max();
        v[std::size_t(i)] = fits ? int(n) : (i == 1 ? 1 : 0);
    }
    Placement p;
    p.flags = v[0];
    p.showCmd = v[1];
    p.minX = v[2];
    p.minY = v[3];
    p.maxX = v[4];
    p.maxY = v[5];
    p.left = v[6];
    p.top = v[7];
    p.right = v[8];
    p.bottom = v[9];
    return p;
}

std::optional<QRect> restoredNormalRect(const Placement& p, const QList<QRect>& screens,
                                        const QSize& minimum) {
    for (int edge : {p.left, p.top, p.right, p.bottom}) {
        if (edge < -kPlacementLimit || edge > kPlacementLimit)
            return std::nullopt;
    }
    if (p.left >= p.right || p.top >= p.bottom)
        return std::nullopt;
    QRect r(p.left, p.top, p.right - p.left, p.bottom - p.top);

    // The screen the window meets most, else the primary one.
    const QRect* home = nullptr;
    qint64 bestArea = 0;
    for (const QRect& screen : screens) {
        const QRect common = screen.intersected(r);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            home = &screen;
        }
    }
    const bool onAScreen = home != nullptr;
    if (!home && !screens.isEmpty())
        home = &screens.first();

    const QSize stored = r.size();
    QSize size = stored.expandedTo(minimum);
    if (home)
        size = size.boundedTo(home->size());
    r.setSize(size);
    if (!home)
        return r;
    if (!onAScreen || !r.intersects(*home)) {
        r.moveCenter(home->center());
    } else if (size.width() < stored.width() || size.height() < stored.height()) {
        // Shrunk to its screen: put it on that screen.
        r.moveLeft(std::clamp(r.left(), home->left(), home->right() - size.width() + 1));
        r.moveTop(std::clamp(r.top(), home->top(), home->bottom() - size.height() + 1));
    }
    return r;
}

}  // namespace vantrel
