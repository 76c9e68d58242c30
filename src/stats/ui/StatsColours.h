#pragma once

#include <QColor>
#include <QList>

namespace vantrel {

// The named colours of the statistics charts. The palette was first given
// as blue-green-red values; the names say which colour is meant, so none is
// ever read the wrong way round.
namespace StatsColour {
inline const QColor Red{Qt::red};         // red 255
inline const QColor Maroon{Qt::darkRed};  // red 128
inline const QColor Blue{Qt::blue};
inline const QColor Yellow{Qt::yellow};
inline const QColor Green{Qt::darkGreen};  // green 128
inline const QColor Lime{Qt::green};       // green 255
inline const QColor Fuchsia{Qt::magenta};
inline const QColor Teal{Qt::darkCyan};
inline const QColor Navy{Qt::darkBlue};
inline const QColor Aqua{Qt::cyan};
inline const QColor White{Qt::white};
inline const QColor Gray{Qt::darkGray};  // 128 of each
}  // namespace StatsColour

// The twelve colour slots of the pie slices and of bars that have a colour
// each (the standard fill): red, maroon, blue, yellow, green, lime, fuchsia,
// teal, navy, aqua, white, gray.
[[nodiscard]] const QList<QColor>& standardFill();
// Slot `slot` of the standard fill (wrapping round past 11).
[[nodiscard]] QColor slotColour(int slot);

}  // namespace vantrel
