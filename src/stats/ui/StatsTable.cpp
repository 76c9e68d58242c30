#include "stats/ui/StatsTable.h"

#include "results/GridClipboard.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QStandardItemModel>

namespace vantrel {

StatsTable::StatsTable(QWidget* parent) : QTableView(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);

    m_copy = new QAction(tr("&Copy table"), this);
    m_copy->setObjectName(QStringLiteral("actCopyTable"));
    m_copy->setShortcut(QKeySequence::Copy);
    m_copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(m_copy);
    connect(m_copy, &QAction::triggered, this, &StatsTable::copyToClipboard);
}

void StatsTable::setMenuActions(const QList<QAction*>& actions) {
    m_menuActions = actions;
    delete m_menu;
    m_menu = nullptr;
}

QStringList StatsTable::titles() const {
    QStringList out;
    if (!model())
        return out;
    for (int c = 0; c < model()->columnCount(); ++c)
        out.append(model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    return out;
}

QList<QStringList> StatsTable::rowTexts() const {
    QList<QStringList> rows;
    const QAbstractItemModel* m = model();
    if (!m)
        return rows;
    const int columns = m->columnCount();
    rows.reserve(m->rowCount());
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        cells.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            const QModelIndex index = m->index(r, c);
            const QVariant copy = m->data(index, CopyTextRole);
            cells.append(copy.isValid() ? copy.toString() : m->data(index).toString());
        }
        rows.append(cells);
    }
    return rows;
}

QString StatsTable::tableText() const {
    return clipboardText(ClipboardForm::TitleAndRowsTabbed, titles(), rowTexts(), {});
}

void StatsTable::copyToClipboard() const {
    QGuiApplication::clipboard()->setText(tableText());
}

QMenu* StatsTable::contextMenu() {
    if (!m_menu) {
        m_menu = new QMenu(this);
        for (QAction* a : m_menuActions)
            m_menu->addAction(a);
        if (!m_menuActions.isEmpty())
            m_menu->addSeparator();
        m_menu->addAction(m_copy);
    }
    return m_menu;
}

void StatsTable::contextMenuEvent(QContextMenuEvent* event) {
    contextMenu()->popup(event->globalPos());
    event->accept();
}

void fillListing(QStandardItemModel& model, const QStringList& titles,
                 const QList<QStringList>& rows) {
    model.clear();
    model.setColumnCount(int(titles.size()));
    model.setHorizontalHeaderLabels(titles);
    for (int c = 1; c < titles.size(); ++c)
        model.setHeaderData(c, Qt::Horizontal, int(Qt::AlignRight | Qt::AlignVCenter),
                            Qt::TextAlignmentRole);
    model.setHeaderData(0, Qt::Horizontal, int(Qt::AlignLeft | Qt::AlignVCenter),
                        Qt::TextAlignmentRole);
    for (const QStringList& row : rows) {
        QList<QStandardItem*> items;
        for (int c = 0; c < row.size(); ++c) {
            auto* item = new QStandardItem(row[c]);
            item->setEditable(false);
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            items.append(item);
        }
        model.appendRow(items);
    }
}

}  // namespace vantrel
