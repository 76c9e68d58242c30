#include "scan/ui/DriveCheckList.h"

#include "text/ui/Dialogs.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QStyle>
#include <QStyledItemDelegate>

namespace vantrel {

namespace {

// Entries are never wider than the list, so that their texts are shortened
// (in the list's elide mode) instead of running under the list's edge.
class FitToViewDelegate : public QStyledItemDelegate {
public:
    explicit FitToViewDelegate(QListWidget* list) : QStyledItemDelegate(list), m_list(list) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize hint = QStyledItemDelegate::sizeHint(option, index);
        hint.setWidth(std::min(hint.width(), m_list->viewport()->width()));
        return hint;
    }

private:
    QListWidget* m_list;
};

}  // namespace

DriveCheckList::DriveCheckList(QWidget* parent)
    : QListWidget(parent), m_settings(vantrelIni()), m_menu(new QMenu(this)) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideMiddle);
    setResizeMode(QListView::Adjust);
    setItemDelegate(new FitToViewDelegate(this));

    m_selectAll = m_menu->addAction(QStringLiteral("Select All"));
    m_selectAll->setObjectName(QStringLiteral("actSelectAll"));
    m_deselectAll = m_menu->addAction(QStringLiteral("Deselect All"));
    m_deselectAll->setObjectName(QStringLiteral("actDeselectAll"));
    m_selectSeparator = m_menu->addSeparator();
    m_addFolder = m_menu->addAction(QStringLiteral("&Add folder..."));
    m_addFolder->setObjectName(QStringLiteral("actAddFolder"));
    m_removeFolder = m_menu->addAction(QStringLiteral("&Remove folder"));
    m_removeFolder->setObjectName(QStringLiteral("actRemoveFolder"));
    setSelectAllOffered(false);

    connect(m_selectAll, &QAction::triggered, this, [this] { setAllTicked(true); });
    connect(m_deselectAll, &QAction::triggered, this, [this] { setAllTicked(false); });
    connect(m_addFolder, &QAction::triggered, this, &DriveCheckList::addFolderClick);
    connect(m_removeFolder, &QAction::triggered, this, [this] { removeFolderClick(m_menuRow); });
    connect(this, &QListWidget::itemChanged, this, &DriveCheckList::onItemChanged);
}

void DriveCheckList::setSelectAllOffered(bool offered) {
    m_selectAll->setVisible(offered);
    m_deselectAll->setVisible(offered);
    m_selectSeparator->setVisible(offered);
}

void DriveCheckList::fillDriveList() {
    m_entries = driveListEntries(m_settings);
    const int current = currentDriveIndex(m_entries);
    refill(current < 0 ? QList<QByteArray>() : QList<QByteArray>{m_entries[current].drive.root});
}

void DriveCheckList::refill(const QList<QByteArray>& tickedRoots) {
    m_bulkChange = true;
    clear();
    for (const DriveListEntry& e : std::as_const(m_entries)) {
        auto* item = new QListWidgetItem(e.drive.text());
        item->setToolTip(e.drive.text());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setData(Qt::UserRole, e.drive.root);
        item->setCheckState(tickedRoots.contains(e.drive.root) ? Qt::Checked : Qt::Unchecked);
        addItem(item);
    }
    m_bulkChange = false;
    updateGeometry();  // the size hint follows the entries
    Q_EMIT tickedChanged(hasTicked());
}

int DriveCheckList::heightForRows(int rows) const {
    const int row = count() > 0 ? sizeHintForRow(0) : fontMetrics().height() + 4;
    return rows * (row + 2 * spacing()) + 2 * frameWidth();
}

QSize DriveCheckList::sizeHint() const {
    // The check box, the gaps around it and the item's margins come on top
    // of the text; the measure of the widest text is what can vary.
    const QStyle* s = style();
    const int box = s->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) +
                    2 * s->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8;
    int text = 0;
    for (int i = 0; i < count(); ++i)
        text = std::max(text, fontMetrics().horizontalAdvance(item(i)->text()));
    const int most = fontMetrics().horizontalAdvance(QLatin1Char('x')) * kWidestChars;
    int width = std::min(text, most) + box + 2 * frameWidth();
    if (count() > kShownRows)
        width += s->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return {std::max(width, minimumSizeHint().width()),
            heightForRows(std::clamp(count(), kMinimumRows, kShownRows))};
}

QSize DriveCheckList::minimumSizeHint() const {
    const int width = fontMetrics().horizontalAdvance(QLatin1Char('x')) * 20;
    return {width, heightForRows(std::min(std::max(count(), 1), kMinimumRows))};
}

QList<DriveEntry> DriveCheckList::tickedDrives() const {
    QList<DriveEntry> out;
    for (int i = 0; i < count(); ++i) {
        if (isTicked(i))
            out.append(m_entries[i].drive);
    }
    return out;
}

bool DriveCheckList::hasTicked() const {
    return tickedCount() > 0;
}

int DriveCheckList::tickedCount() const {
    int n = 0;
    for (int i = 0; i < count(); ++i)
        n += isTicked(i) ? 1 : 0;
    return n;
}

bool DriveCheckList::isTicked(int row) const {
    const QListWidgetItem* it = item(row);
    return it && it->checkState() == Qt::Checked;
}

void DriveCheckList::setTicked(int row, bool ticked) {
    if (QListWidgetItem* it = item(row))
        it->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void DriveCheckList::setTickedRoots(const QList<QByteArray>& roots) {
    m_bulkChange = true;
    for (int i = 0; i < count(); ++i)
        item(i)->setCheckState(roots.contains(m_entries[i].drive.root) ? Qt::Checked
                                                                       : Qt::Unchecked);
    m_bulkChange = false;
    Q_EMIT tickedChanged(hasTicked());
}

void DriveCheckList::setAllTicked(bool ticked) {
    QList<QByteArray> roots;
    if (ticked) {
        for (const DriveListEntry& e : std::as_const(m_entries))
            roots.append(e.drive.root);
    }
    setTickedRoots(roots);
}

void DriveCheckList::onItemChanged(QListWidgetItem*) {
    if (!m_bulkChange)
        Q_EMIT tickedChanged(hasTicked());
}

void DriveCheckList::addFolderClick() {
    const QString chosen = dialogs().existingFolder(
        this, QStringLiteral("Add a folder to the drive list"), QDir::homePath());
    if (chosen.isEmpty())
        return;
    const QByteArray root = cleanRootPath(QFile::encodeName(chosen));
    switch (addFolder(m_settings, root)) {
        case AddFolderResult::Added:
        case AddFolderResult::AlreadyListed:
            break;
        case AddFolderResult::NotAFolder:
            alertBox(QStringLiteral("Not a folder: ") + chosen, this);
            return;
        case AddFolderResult::NameNotStorable:
            alertBox(
                QStringLiteral("The name of this folder cannot be kept in the settings: ") + chosen,
                this);
            return;
        case AddFolderResult::NameHasLineBreak:
            alertBox(QStringLiteral("The name of this folder holds a line break, which the "
                                    "settings cannot keep: ") +
                         chosen,
                     this);
            return;
        case AddFolderResult::NotWritten:
            alertBox(QStringLiteral("Could not write the settings file ") + m_settings.path(),
                     this);
            return;
    }
    QList<QByteArray> ticked;
    for (const DriveEntry& d : tickedDrives())
        ticked.append(d.root);
    if (!ticked.contains(root))
        ticked.append(root);
    m_entries = driveListEntries(m_settings);
    refill(ticked);
    for (int i = 0; i < count(); ++i) {
        if (m_entries[i].drive.root == root)
            setCurrentRow(i);
    }
}

void DriveCheckList::removeFolderClick(int row) {
    if (!isUserAdded(row))
        return;
    const QByteArray root = m_entries[row].drive.root;
    if (!removeFolder(m_settings, root)) {
        // Another window may have removed it already; only a folder that is
        // still stored means the settings file could not be written.
        for (const DriveEntry& stored : storedFolders(m_settings)) {
            if (stored.root == root) {
                alertBox(QStringLiteral("Could not write the settings file ") + m_settings.path(),
                         this);
                return;
            }
        }
    }
    QList<QByteArray> ticked;
    for (const DriveEntry& d : tickedDrives()) {
        if (d.root != root)
            ticked.append(d.root);
    }
    m_entries = driveListEntries(m_settings);
    refill(ticked);
}

QMenu* DriveCheckList::prepareContextMenu(int row) {
    m_menuRow = row;
    m_removeFolder->setEnabled(isUserAdded(row));
    return m_menu;
}

void DriveCheckList::contextMenuEvent(QContextMenuEvent* event) {
    // From the keyboard the menu is about the current line; from the mouse
    // about the line under the pointer (none on the empty area).
    int row = currentRow();
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QListWidgetItem* it = itemAt(event->pos());
        row = it ? this->row(it) : -1;
    }
    prepareContextMenu(row)->popup(event->globalPos());
    event->accept();
}

}  // namespace vantrel
