#pragma once

#include "results/GridLayout.h"

#include <QList>

namespace vantrel {

// The direction flag of each sort key of one tool: set sorts descending,
// clear ascending. A sort flips its key's flag, so choosing the same entry
// again reverses the order. The flags outlive the tool's window (a new window
// of the same tool continues where the last one left off), so a window takes
// them from forRun(); tests make their own.
class SortDirections {
public:
    SortDirections() = default;
    explicit SortDirections(const GridLayout& layout);

    bool descending(int key) const;
    void set(int key, bool descending);
    void flip(int key);
    int count() const { return int(m_flags.size()); }

    // The flags of the tool named by layout.id, made from the layout's
    // initial flags on first use and kept until the program ends. Not
    // thread-safe: windows call it on the GUI thread.
    static SortDirections& forRun(const GridLayout& layout);

private:
    QList<bool> m_flags;
};

}  // namespace vantrel
