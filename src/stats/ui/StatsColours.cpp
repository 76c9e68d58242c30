#include "stats/ui/StatsColours.h"

namespace vantrel {

const QList<QColor>& standardFill() {
    static const QList<QColor> fill = {
        StatsColour::Red,   StatsColour::Maroon, StatsColour::Blue,    StatsColour::Yellow,
        StatsColour::Green, StatsColour::Lime,   StatsColour::Fuchsia, StatsColour::Teal,
        StatsColour::Navy,  StatsColour::Aqua,   StatsColour::White,   StatsColour::Gray};
    return fill;
}

QColor slotColour(int slot) {
    const QList<QColor>& fill = standardFill();
    return fill[((slot % fill.size()) + fill.size()) % fill.size()];
}

}  // namespace vantrel
