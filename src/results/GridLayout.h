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

// A column's minimum width (at 96 pixels per inch) when its layout gives none.
inline constexpr int kDefaultColumnMinimum = 96;

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

    // Column widths (see fitColumnWidths): each column is at least its base
    // width (at 96 dpi; kDefaultColumnMinimum past the list) and wants what
    // its title and texts need. The stretching columns share the width to
    // spare and give way first when the grid is narrow (their texts are then
    // shortened in the middle); the others are always as wide as they want.
    // An empty stretch list: every column stretches.
    QList<int> baseWidths;
    QList<int> stretchColumns;

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
    int minimumWidth(int column) const;   // at 96 dpi
    bool stretches(int column) const;
};

// One column's claim on the grid's width, in pixels.
struct ColumnClaim {
    int minimum = 0;  // never narrower (the grid scrolls sideways instead)
    int wanted = 0;   // what its title and texts need
    bool stretches = false;
};

// The widths of columns that share `available` pixels:
// - a column that does not stretch gets max(minimum, wanted), always;
// - the stretching ones share the rest: with room to spare each gets what it
//   wants plus a share of the spare width in proportion to that; with too
//   little the widest give way first: each is cut to one common width (the
//   largest with which they fit), but never below its minimum, so a column
//   of short texts keeps them whole while a long folder is shortened;
// - when no column stretches, every column stretches.
// Unless the minimums are too wide (the grid then scrolls sideways), the
// widths add up to `available` exactly, so the last column ends at the edge.
QList<int> fitColumnWidths(const QList<ColumnClaim>& columns, int available);

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
