#pragma once

class QWidget;

namespace vantrel {

class ResultGrid;

// What the pair-comparison window needs of the duplicates window that opens
// it: the result grid (its rows and current row), the matching criterion of
// the last scan (0-6) and marking. The duplicates window implements it and
// hands itself over each time "P&airs" is clicked.
class DupCompareSource {
public:
    virtual ~DupCompareSource() = default;

    virtual ResultGrid& dupGrid() = 0;
    virtual int matchMode() const = 0;
    // Toggles the mark of a grid row (1-based; the title row is 0), as a double
    // click on that row would.
    virtual void MarkThisFile(int row) = 0;
    // The duplicates window itself.
    virtual QWidget* sourceWindow() = 0;
};

// The pair-comparison window as the duplicates window sees it. It is made
// once at start-up; the duplicates window finds it among the long-lived
// windows (dynamic_cast of the PairComparison window) and leaves its
// "P&airs" button hidden when there is none.
class DupCompareView {
public:
    virtual ~DupCompareView() = default;

    // Takes a copy of the source's grid, starts at its current row and shows
    // the window, not modally, above the (modal) source window.
    virtual void showFor(DupCompareSource& source) = 0;
    // The source window is going away: hide and forget it.
    virtual void sourceClosing(DupCompareSource& source) = 0;
};

}  // namespace vantrel
