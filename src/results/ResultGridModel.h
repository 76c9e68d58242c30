#pragma once

#include "results/GridLayout.h"
#include "results/GridSort.h"
#include "results/Deletion.h"
#include "results/RowMemory.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace vantrel {

class SortDirections;

// The sort value of a number or date column, given with a row.
struct SortValue {
    int column = 0;
    double value = 0.0;  // a number, or a day number (dateSortValue)
};

// One result row as a tool hands it over.
struct GridRow {
    GridRow() = default;
    GridRow(QStringList rowCells, QByteArray rowPath = {}, QList<SortValue> rowValues = {},
            std::optional<ListedState> rowListed = std::nullopt)
        : cells(std::move(rowCells)), path(std::move(rowPath)), values(std::move(rowValues)),
          listed(rowListed) {}

    QStringList cells;        // display texts in column order (may be lossy)
    QByteArray path;          // the exact bytes of the row's file; empty: no file
    QList<SortValue> values;  // sort values of number and date columns; a missing
                              // one is read from the cell text (numberSortValue,
                              // dateSortValueFromText)
    std::optional<ListedState> listed;  // the file as the tool's scan saw it, if known
};

// The rows of one result grid, their marks and their order: the engine
// behind ResultGrid, usable without a display.
//
// Rows are numbered as the grid shows them: row 0 is the title row (the
// horizontal header), rows 1 .. rowCounter() are the results; model row r is
// grid row r + 1. An empty grid still shows one empty data row (grid row
// count 2), which holds no file and ignores marks and sorts.
//
// Rows are stored compactly (their texts and paths back to back, sort values
// of number and date columns alongside), so that a grid of a million rows
// stays small; sorting reorders a permutation, and marks belong to the rows,
// so they travel with them.
//
// Marks: toggling a row looks its exact path up (statPath; a folder counts as
// not found). A file that is found adds 1 and its size to the marked count and
// byte total; a vanished file is marked all the same but adds nothing.
// Unmarking takes back exactly what the mark added. The marked paths are kept
// in marking order (lbDeleted); unmarking removes the first equal path.
//
// Listed states: a row may carry the size and modification time its tool's
// scan saw (ListedState). Deletion compares a marked file with that state,
// so a file that changed after the scan is left alone even when it changed
// before it was marked. The states are stored only once some row gives one;
// a grid whose tool gives none costs nothing more per row.
class ResultGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        MarkedRole = Qt::UserRole + 1,  // bool, on the mark column's cell
        PathRole,                       // QByteArray, the row's exact path
    };

    explicit ResultGridModel(const GridLayout& layout, QObject* parent = nullptr);
    ~ResultGridModel() override;

    const GridLayout& gridLayout() const { return m_layout; }
    // Takes another layout (another criterion of the duplicates window, for
    // instance) and clears the grid.
    void setGridLayout(const GridLayout& layout);
    // The direction flags used by sortByKey; SortDirections::forRun(layout)
    // unless set. Not owned; must outlive the model.
    void setSortDirections(SortDirections* directions);
    SortDirections& sortDirections() const { return *m_directions; }

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // ---- Filling -------------------------------------------------------------

    // Empties every row, the marks and lbDeleted; the layout stays.
    void ClearGrid();
    // Appends one row. Views learn of it at once, or at the end of the
    // enclosing batch.
    void addToGrid(const GridRow& row);
    // Appends the row that a tab-separated line gives: column c takes field
    // gridLayout().fieldOfColumn(c) (trimmed, as tabField does). The line
    // itself stays the row's result line (see resultLines), blanks and all.
    void addToGrid(const QString& line, const QByteArray& path,
                   const QList<SortValue>& values = {},
                   const std::optional<ListedState>& listed = std::nullopt);
    // Rows added between beginBatch and the matching endBatch reach views as
    // one insertion (nested batches count).
    void beginBatch();
    void endBatch();

    // Result rows filled so far.
    int rowCounter() const { return int(m_rows.size()); }
    // The grid's row count, title row included: rowCounter() + 1, but at
    // least 2.
    int gridRowCount() const { return std::max(rowCounter(), 1) + 1; }

    // Row access by grid row (1-based); empty results beyond rowCounter().
    QString cellText(int row, int column) const;
    QStringList rowTexts(int row) const;
    QByteArray pathAt(int row) const;
    // Replaces one cell's text (and its sort value when the column is a
    // number or date column, read from the new text).
    void setCellText(int row, int column, const QString& text);
    // The state the row's file was listed with, if its tool gave one.
    std::optional<ListedState> listedStateAt(int row) const;
    // Whether the row's file exists (any kind of entry but a folder).
    bool fileExists(int row) const;
    // The texts of `column` that take the most bytes, at most `count` of
    // them, longest first: what a view measures to size the column, in one
    // pass over the stored lengths instead of decoding every row.
    QStringList longestCells(int column, int count) const;

    // ---- Marks ---------------------------------------------------------------

    bool isMarked(int row) const;
    // Toggles the mark of a grid row; rows outside 1 .. rowCounter() are
    // ignored (returns false).
    bool deleteOneFile(int row);
    // Clears every mark, then toggles rows 1 .. gridRowCount() - 1 in order.
    // Returns the number of rows toggled.
    int markAll();
    // Marked count and byte total to 0, lbDeleted emptied, every mark removed.
    void clearAllMarks();
    qint64 markedCount() const { return m_markedCount; }
    qint64 markedBytes() const { return m_markedBytes; }
    // lbDeleted: the exact paths of the marked rows in marking order.
    QList<QByteArray> markedPaths() const;
    qsizetype markedPathCount() const { return qsizetype(m_marked.size()); }
    // For each marked row, the state its file was listed with; for a row
    // listed without one, the size and modification time its file had when
    // it was marked (left out when it was missing then, or when it was
    // marked by markAll, which looks up sizes only). Deletion leaves alone
    // a file that changed since.
    ListedStates markedStates() const;
    // The layout's status text for the current count and total.
    QString statusText() const;

    // ---- Sorting -------------------------------------------------------------

    // The three grid sorts over grid rows first .. last (clamped to the
    // result rows).
    void sortByText(int first, int last, bool descending, int column);
    void sortByNumber(int first, int last, bool descending, int column);
    void sortByDate(int first, int last, bool descending, int column);
    void sortRows(SortKind kind, int first, int last, bool descending, int column);
    // The "Sort" menu entry `key` of the layout: sorts rows 1 .. gridRowCount()
    // - 1 with the key's direction flag and flips the flag (or flips first,
    // when the layout says so). Returns false, changing nothing, when the
    // layout offers no sorting or the key does not exist.
    bool sortByKey(int key);
    // Sorts by `key` again in the direction of its last sort; the flag stays.
    bool sortByKeyAgain(int key);

    // ---- Exports -------------------------------------------------------------

    // The result's tab-separated lines, in the order the rows were added:
    // the line a row was added with, exactly (a name with blanks at either
    // end keeps them, though its cell is trimmed); for a row added from
    // cells, or whose cells changed since (setCellText), the line rebuilt
    // from its cells (the inverse of the layout's field order).
    QStringList resultLines() const;
    // The data rows 1 .. rowCounter() in grid order.
    QList<QStringList> gridRows() const;
    // The title row and rows 1 .. gridRowCount() - 1 (the empty row of an
    // empty grid included), as a printed report lists them.
    QList<QStringList> reportRows() const;
    // The layout's clipboard text (see clipboardText in GridClipboard.h).
    QString clipboardText() const;

Q_SIGNALS:
    // The marked count, byte total or lbDeleted changed.
    void marksChanged();

private:
    struct Row {
        qsizetype offset = 0;  // the row's bytes in m_text: cells, then the path
        qint64 markBytes = kUnmarked;
    };
    static constexpr qint64 kUnmarked = -1;
    static constexpr qint64 kMarkedUncounted = -2;  // marked while the file was missing

    // A row's listed state, compactly (24 bytes); `kind` 0: none given.
    struct StoredListing {
        qint64 size;
        qint64 time;  // seconds, or the packed value
        qint32 nsec;
        quint8 kind;  // 1 + TimeResolution
        bool recorded;
    };

    void resetStorage();
    void announceRows();
    std::uint32_t storageIndex(int row) const { return m_order[size_t(row) - 1]; }
    bool isResultRow(int row) const { return row >= 1 && row <= rowCounter(); }
    QByteArrayView storedCellBytes(std::uint32_t index, int column) const;
    QString storedCell(std::uint32_t index, int column) const;
    QByteArray storedPath(std::uint32_t index) const;
    bool samePath(std::uint32_t a, std::uint32_t b) const;
    void appendStored(const QStringView* cells, qsizetype cellCount, const QByteArray& path,
                      const QList<SortValue>& values);
    void storeListed(const std::optional<ListedState>& listed);
    std::optional<ListedState> storedListed(std::uint32_t index) const;
    double storedValue(std::uint32_t index, int column) const;
    bool toggle(std::uint32_t index);
    void rowsChanged(int firstRow, int lastRow);
    std::vector<double> valueKeys(SortKind kind, int first, int last, int column) const;
    void applyPermutation(int first, const std::vector<std::uint32_t>& perm);

    GridLayout m_layout;
    int m_columns = 0;
    SortDirections* m_directions = nullptr;

    ByteArena m_text;                 // every row's UTF-8 cells and path
    RowArray<Row> m_rows;            // in the order added
    RowArray<std::uint32_t> m_ends;  // per row: columns + 1 ends relative to offset
    std::vector<int> m_slotOfColumn;  // sort value slot of a column, -1 for text
    std::vector<int> m_fieldOfColumn;  // the layout's line field of each column
    int m_slots = 0;
    RowArray<double> m_values;        // per row: m_slots sort values
    RowArray<std::uint32_t> m_order;  // grid position -> row index
    // Per row index, once any row gave a listed state; empty until then.
    RowArray<StoredListing> m_listed;
    int m_shown = 0;                   // rows views know of
    int m_batchDepth = 0;

    // Lines that their trimmed cells would not give back, by row index (a
    // field with blanks at either end); every other line is rebuilt.
    QHash<std::uint32_t, QString> m_exactLines;

    RowArray<std::uint32_t> m_marked;  // lbDeleted, as row indexes
    QHash<std::uint32_t, FileTime> m_markTimes;  // modification times at marking
    qint64 m_markedCount = 0;
    qint64 m_markedBytes = 0;
};

}  // namespace vantrel
