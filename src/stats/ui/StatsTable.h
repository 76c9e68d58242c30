#pragma once

#include <QList>
#include <QStringList>
#include <QTableView>

class QAction;
class QMenu;
class QStandardItemModel;

namespace vantrel {

// The read-only listing of a statistics page. Its context menu (and Ctrl+C)
// copies the whole table to the clipboard as tab-separated text: the column
// titles, then every row, cells joined by tabs, lines by CR LF. A page may
// put its own commands above "Copy" (the type listing's sorts).
//
// Rows have one height, so the view never measures rows it does not paint,
// and a model's cells are asked for only when painted or copied.
class StatsTable : public QTableView {
    Q_OBJECT
public:
    // A model may give a cell a different text for copying than for showing
    // (a cell shown on two lines, say) under this role.
    static constexpr int CopyTextRole = Qt::UserRole + 20;

    explicit StatsTable(QWidget* parent = nullptr);

    // Commands shown above "Copy" in the context menu.
    void setMenuActions(const QList<QAction*>& actions);
    QAction* copyAction() const { return m_copy; }

    [[nodiscard]] QStringList titles() const;
    // Every row's cell texts, in view order.
    [[nodiscard]] QList<QStringList> rowTexts() const;
    // What "Copy" puts on the clipboard.
    [[nodiscard]] QString tableText() const;
    void copyToClipboard() const;

    // The menu as it shows; belongs to the table.
    QMenu* contextMenu();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QAction* m_copy = nullptr;
    QList<QAction*> m_menuActions;
    QMenu* m_menu = nullptr;
};

// Fills a small listing: `titles` as the header, then the rows, every column
// after the first right-aligned.
void fillListing(QStandardItemModel& model, const QStringList& titles,
                 const QList<QStringList>& rows);

}  // namespace vantrel
