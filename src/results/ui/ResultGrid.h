#pragma once

#include "results/GridLayout.h"
#include "results/ResultGridModel.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QTableView>

#include <functional>
#include <vector>

class QAction;
class QLabel;
class QMenu;

namespace vantrel {

class ResultGridDelegate;

// The result grid every tool window shows: a table of result rows under a
// title row, with marks, the three sorts, the popup menu, printing and the
// clipboard. One GridLayout says how the tool's grid differs.
//
// The grid owns its model and popup menu. The window wires its buttons to the
// methods below (which keep the names the windows use: btMark calls
// DeleteAllFiles, btPrint calls btPrintClick, ...) and connects the signals:
// Delete's enabled state, the status text (or gives a label with
// setStatusLabel), and the hooks that open the viewer, the details window and
// the browser, which carry the current row's exact path. Rows are numbered as
// the grid shows them: 0 is the title row, 1 .. rowCounter() the results.
class ResultGrid : public QTableView {
    Q_OBJECT
public:
    explicit ResultGrid(const GridLayout& layout, QWidget* parent = nullptr);
    ~ResultGrid() override;

    ResultGridModel* gridModel() const { return m_model; }
    const GridLayout& gridLayout() const { return m_model->gridLayout(); }
    // Another layout (the duplicates window's criterion of the next scan):
    // rebuilds columns and menu and clears the grid.
    void setGridLayout(const GridLayout& layout);

    // Where marking writes the status text ("%d files %s bytes"); may be null.
    void setStatusLabel(QLabel* label) { m_statusLabel = label; }
    // The window's top panel, shrunk and restored by the "Resize" entries and
    // measured by applyMinimumSize.
    void setTopPanel(QWidget* panel) { m_topPanel = panel; }
    // Remembers the top panel's height (the window calls it when shown).
    void rememberTopPanelHeight();

    // Opening a file with its application; tests replace it.
    void setOpener(std::function<bool(const QByteArray&)> opener);

    QMenu* popupMenu() const { return m_menu; }
    QAction* detailsAction() const { return m_details; }
    QAction* sortMenuAction() const { return m_sortMenu; }
    QAction* sortAction(int key) const { return m_sortActions.value(key); }
    QAction* markAllAction() const { return m_markAll; }
    QAction* unmarkAllAction() const { return m_unmarkAll; }
    // "Mark all but one per group"; shown only while the grid has groups.
    QAction* markAllButOneAction() const { return m_markAllButOne; }
    QAction* shrinkAction() const { return m_shrink; }
    QAction* growAction() const { return m_grow; }
    QAction* runAction() const { return m_run; }
    QAction* viewAction() const { return m_view; }
    // The checked "Sort" entry, or -1.
    int checkedSortKey() const { return m_checkedKey; }

    bool deleteEnabled() const { return m_deleteEnabled; }
    int rowCounter() const { return m_model->rowCounter(); }
    int gridRowCount() const { return m_model->gridRowCount(); }
    // The current (selected) grid row, 1 or more.
    int currentGridRow() const;
    void setCurrentGridRow(int row);
    QByteArray currentPath() const { return m_model->pathAt(currentGridRow()); }

    // ---- The grid family --------------------------------------------------------

    // Empties the grid, its marks and lbDeleted; checks the default sort entry.
    void ClearGrid();
    void addToGrid(const GridRow& row) { m_model->addToGrid(row); }
    void addToGrid(const QString& line, const QByteArray& path,
                   const QList<SortValue>& values = {}) {
        m_model->addToGrid(line, path, values);
    }
    // Toggles a row's mark and shows the status text; deletes nothing.
    bool deleteOneFile(int row);
    // The Mark button: toggles the current row, moves one row down unless on
    // the last row, enables Delete when something is marked.
    void DeleteAllFiles();
    // Toggles the given row (rows below 1 are ignored); used by the pair comparison.
    void MarkThisFile(int row);
    // Toggles the current row.
    void gridDblClick();
    // Marks every row (hour-glass meanwhile) and enables Delete, even when no
    // file was found to count.
    void Markall1Click();
    // Removes every mark, disables Delete, shows the status for 0 files.
    void Unmarkall1Click();
    void clearAllMarks();

    // Groups of rows that are copies of one another (duplicates): the number
    // of rows of each, from row 1 on, in row order. ClearGrid and a new
    // layout forget them. While there are groups the Mark menu offers "Mark
    // all but one per group".
    void setRowGroups(const std::vector<int>& sizes);
    const std::vector<int>& rowGroups() const { return m_rowGroups; }
    // The exact paths of each group's rows.
    QList<QList<QByteArray>> rowGroupPaths() const;
    // Clears every mark, then marks every row of each group but its first
    // (so one copy of each is kept); enables Delete when anything is marked.
    void MarkAllButOne1Click();
    // The "Sort" menu entry `key` (also a title click): nothing when the
    // layout offers no sorting; otherwise sorts with the hour-glass and
    // leaves only that entry checked.
    void Sortbysize1Click(int key);
    // Prints the grid under `title` through the print dialog. False when
    // cancelled or failed (the error box has then been shown).
    bool btPrintClick(const QString& title);
    // Copies the layout's clipboard text.
    void btClipClick();
    // The current row's file: Run opens it with its application ("Couldn't
    // run " + path when that fails); View, Details and Browse emit their
    // signals. Run, View and Details act only when the file exists, Browse
    // when a result row is current.
    void Run1Click();
    void View1Click();
    void Details1Click();
    void BrowseDirectory1Click();
    // Column widths for `clientWidth` pixels (fitColumnWidths): each column
    // at least its layout's base width times widthScale(), as wide as its
    // title and texts need (the longest texts of the column are measured),
    // the layout's stretching columns sharing what is left or giving way
    // first. The grid does this by itself whenever its viewport changes size
    // or rows come in (an empty width means the viewport's width).
    void FormResize(int clientWidth);
    void FormResize();
    // What each column claims now (measured texts, scaled minimums).
    QList<ColumnClaim> columnClaims() const;
    void Shrink1Click();
    void Grow1Click();
    // The window's minimum size: the top panel's right edge + 3 (at most the
    // screen width - 10) by twice the panel's bottom edge, in the window's
    // coordinates; the frame comes on top.
    QSize minimumWindowSize(const QWidget* window) const;
    void applyMinimumSize(QWidget* window) const;

    // Scale of design pixels (96 per inch) to this screen.
    double dpiScale() const;
    // The scale of the base column widths: dpiScale(), times the grid font's
    // digit width over 6 pixels when the font is wider than that.
    double widthScale() const;

Q_SIGNALS:
    void deleteEnabledChanged(bool enabled);
    void statusTextChanged(const QString& text);
    void viewRequested(const QByteArray& path);
    void detailsRequested(const QByteArray& path);
    void browseRequested(const QByteArray& path);
    // After a sort by the key (menu or title click).
    void sorted(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Measures the columns again and refits them once control returns to
    // the event loop (many row batches cost one measuring).
    void scheduleFit();
    void buildMenu();
    void checkSortKey(int key);
    void setDeleteEnabled(bool enabled);
    void showStatus();
    void showMenuAt(const QPoint& globalPos);

    ResultGridModel* m_model = nullptr;
    ResultGridDelegate* m_delegate = nullptr;
    QLabel* m_statusLabel = nullptr;
    QWidget* m_topPanel = nullptr;
    int m_savedTopHeight = -1;
    std::function<bool(const QByteArray&)> m_opener;

    QMenu* m_menu = nullptr;
    QAction* m_details = nullptr;
    QAction* m_sortMenu = nullptr;
    QList<QAction*> m_sortActions;
    QAction* m_markMenu = nullptr;
    QAction* m_markAll = nullptr;
    QAction* m_unmarkAll = nullptr;
    QAction* m_markAllButOne = nullptr;
    std::vector<int> m_rowGroups;
    QAction* m_resizeMenu = nullptr;
    QAction* m_shrink = nullptr;
    QAction* m_grow = nullptr;
    QAction* m_run = nullptr;
    QAction* m_view = nullptr;
    int m_checkedKey = -1;

    bool m_deleteEnabled = false;
    QPoint m_pressPoint{-1, -1};
    bool m_lastPressOnTitle = false;
    bool m_sorting = false;
    mutable QList<ColumnClaim> m_claims;  // measured; empty when out of date
    mutable int m_measuredRows = -1;      // rowCounter() when m_claims was measured
    bool m_fitScheduled = false;
};

}  // namespace vantrel
