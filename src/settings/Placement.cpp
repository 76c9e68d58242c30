#include "settings/Placement.h"

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

}  // namespace vantrel
