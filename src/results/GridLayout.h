#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel {

// How the grid sorts a column: by the upper-cased text, by the number the
// text shows (thousands separators ignored), or by the date it shows.
enum class SortKind { Text, Number, Date };

// What a column holds. Number and date columns keep one sort value per row,
// computed when the row is added (see GridRow), so that a sort never has to
// read a date back from a two-digit-year text.
enum class ColumnKind { Text, Number, Date };

// One entry of the grid's "Sort" menu.
struct GridSortKey {
    QString menuText;  // "&Size"
    SortKind kind = SortKind::Text;
    int column = 0;          // the key column
    bool initialDescending;  // the direction flag at program start: set sorts descending
};

// What "C&lipboard" copies; lines are separated by CR LF.
enum class ClipboardForm {
    ResultLines,           // the result's tab-separated lines, in the order they were added
    TitleAndRowsTabbed,    // the title row, then every row in grid order, cells joined by tabs
    FirstFiveCellsTabbed,  // every row in grid order, its first five cells each followed by a tab
    None,
};

// How the columns that have no base width are sized by FormResize.
enum class RestWidthRule {
    ClientMinusOffset,        // last column = client width - restOffset
    ClientMinusScaledWidths,  // last column = client width - sum of scaled widths - restOffset
    LastTwoShareRest,         // last two columns share (client width - sum of scaled widths
                              // - restOffset) equally
};

// Everything in which one tool's result grid differs from another's. A tool
// builds one of these (the duplicates window takes duplicatesLayout or
// fileHogsLayout) and hands it to ResultGridModel / ResultGrid.
struct GridLayout {
    // Names the tool's sort direction flags, which live for the whole run
    // (see SortDirections::forRun).
    QString id;
    QStringList titles;       // the title row; its size is the column count
    QList<ColumnKind> kinds;  // per column; missing entries are Text
    // addToGrid(line): the 1-based field of the tab-separated line that fills
    // each column; empty means column c takes field c + 1.
    QList<int> lineFields;
    int markColumn = -1;      // the cell that carries the mark picture; -1: no marks
    QList<int> rightAligned;  // columns drawn right-aligned (sizes)
    int leftMargin = 2;       // text inset from the cell's left edge
    int rightMargin = 2;      // right-aligned text inset from the cell's right edge

    QList<GridSortKey> sortKeys;
    int defaultSortKey = 0;       // the entry ClearGrid checks
    bool sortingOffered = true;   // the "Sort" menu is shown and title clicks sort
    QList<int> titleClickKeys;    // per column: the sort key a title click runs, or -1
    bool flipBeforeSort = false;  // flip the direction flag before sorting instead of after

    QString statusFormat = QStringLiteral("%d files %s bytes");  // %d count, %s bytes

    QList<int> baseWidths;  // widths at 96 dpi of the leading columns
    int restOffset = 0;
    RestWidthRule restRule = RestWidthRule::ClientMinusOffset;

    ClipboardForm clipboard = ClipboardForm::ResultLines;
    // A double click counts only when the last press was not on the title row.
    bool ignoreTitleDoubleClick = false;

    // Popup menu contents.
    bool detailsOffered = true;
    bool marksOffered = true;
    bool resizeOffered = true;
    bool runViewOffered = true;
    QString markAllText = QStringLiteral("Mark all");
    QString unmarkAllText = QStringLiteral("Unmark all");

    int columnCount() const { return int(titles.size()); }
    ColumnKind kind(int column) const;
    bool isRightAligned(int column) const { return rightAligned.contains(column); }
    int fieldOfColumn(int column) const;  // 1-based
    int titleClickKey(int column) const;  // -1 when a click on that title does nothing
};

// The duplicates window in duplicate mode. The criterion (0-6) decides the
// field order of its candidate lines, so it decides which field fills which
// column; titles, widths and the mark column are the same for all criteria.
GridLayout duplicatesLayout(int criterion);
// The duplicates window in file-hog mode.
GridLayout fileHogsLayout();

// The marked-set status text: `format` with "%d" replaced by the count and
// "%s" by numberText of the bytes.
QString markStatusText(const QString& format, qint64 count, qint64 bytes);

}  // namespace vantrel
