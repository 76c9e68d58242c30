#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

namespace vantrel {

// A window's placement as ten integers: flags, show state, minimised x and y,
// maximised x and y, and the normal position's left, top, right and bottom.
struct Placement {
    int flags = 0;
    int showCmd = 1;  // 1 normal, 2 minimised, 3 maximised
    int minX = -1;
    int minY = -1;
    int maxX = -1;
    int maxY = -1;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // Applied only when left < right; an empty or damaged value changes nothing.
    bool applicable() const { return left < right; }
    bool operator==(const Placement&) const = default;
};

// Each of the ten numbers in decimal, each followed by the delimiter (the last
// one too): "0 1 -1 -1 -1 -1 120 80 620 460 ".
QString formatPlacement(const Placement& p, const QString& delimiter = QStringLiteral(" "));

// The reverse: each number is the text up to the next delimiter (the whole
// rest when none is left); a part that is not an integer reads as 1 for the
// show state and 0 for every other field.
Placement parsePlacement(const QString& text, const QString& delimiter = QStringLiteral(" "));

// How far from the origin a stored edge may lie; anything beyond is damage
// (such as -2147483648), not a place on any desktop.
constexpr int kPlacementLimit = 1000000;
// The smallest window a placement restores.
constexpr QSize kMinimumRestoredSize(160, 100);

// The normal rectangle a placement restores on screens with the given
// available areas (the primary screen first), or nullopt when the window is
// to stay where it is: right not greater than left, bottom not greater than
// top, or any of the four edges beyond kPlacementLimit. Otherwise the size
// is at least `minimum` (never more than the screen) and at most the screen
// the rectangle meets most (one shrunk to it is moved onto it); a rectangle
// that meets no screen is centred on the primary one. With no screens the
// rectangle is only sized.
std::optional<QRect> restoredNormalRect(const Placement& p, const QList<QRect>& screens,
                                        const QSize& minimum = kMinimumRestoredSize);

}  // namespace vantrel
