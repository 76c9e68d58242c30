#pragma once

#include <QString>

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

}  // namespace vantrel
