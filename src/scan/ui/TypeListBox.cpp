#include "scan/ui/TypeListBox.h"

#include "scan/TypeLists.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace vantrel {

// Draws a type line as pattern and description in two columns; the first
// column is as wide as the widest pattern of the list plus a gap.
class TypeLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    int column = 0;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString line = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        const QString pattern = tab < 0 ? line : line.left(tab);
        const QString description = tab < 0 ? QString() : line.mid(tab + 1);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect area = textRect.adjusted(margin, 0, -margin, 0);

        painter->save();
        const bool selected = opt.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (opt.state & QStyle::State_Active)
                                               ? QPalette::Normal
                                               : QPalette::Inactive;
        painter->setPen(
            opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(opt.font);
        const QFontMetrics fm(opt.font);
        const int split = std::min(column, area.width());
        QRect left = area;
        left.setWidth(split);
        painter->drawText(left, Qt::AlignLeft | Qt::AlignVCenter,
                          fm.elidedText(pattern, Qt::ElideRight, left.width()));
        QRect right = area;
        right.setLeft(area.left() + split);
        painter->drawText(right, Qt::AlignLeft | Qt::AlignVCenter,
                          fm.elidedText(description, Qt::ElideRight, right.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString line = opt.text;
        opt.text = QStringLiteral("X");
        QSize size = QStyledItemDelegate::sizeHint(opt, index);
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        const QString description = tab < 0 ? QString() : line.mid(tab + 1);
        size.setWidth(size.width() + column + opt.fontMetrics.horizontalAdvance(description));
        return size;
    }
};

TypeListBox::TypeListBox(QWidget* parent)
    : QListWidget(parent), m_delegate(new TypeLineDelegate(this)), m_menu(new QMenu(this)) {
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    // Descriptions too long for the list are cut short with an ellipsis.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemChanged, this, &TypeListBox::onItemChanged);
    updateColumn();
}

TypeListBox::~TypeListBox() = default;

void TypeListBox::setSorted(bool sorted) {
    m_sorted = sorted;
    if (sorted)
        setLines(lines());
}

void TypeListBox::setTickable(bool tickable) {
    m_tickable = tickable;
    setSelectionMode(tickable ? QAbstractItemView::SingleSelection
                              : QAbstractItemView::ExtendedSelection);
    setLines(lines());
}

void TypeListBox::setSelectAllOffered(bool offered) {
    m_menu->clear();
    if (!offered)
        return;
    QAction* all = m_menu->addAction(QStringLiteral("Select All"));
    all->setObjectName(QStringLiteral("actSelectAll"));
    connect(all, &QAction::triggered, this, [this] { setAllChosen(true); });
    QAction* none = m_menu->addAction(QStringLiteral("Deselect All"));
    none->setObjectName(QStringLiteral("actDeselectAll"));
    connect(none, &QAction::triggered, this, [this] { setAllChosen(false); });
}

void TypeListBox::setAllChosen(bool chosen) {
    if (m_tickable)
        setAllTicked(chosen);
    else if (chosen)
        selectAll();
    else
        clearSelection();
}

QListWidgetItem* TypeListBox::makeItem(const QString& line) const {
    auto* item = new QListWidgetItem(line);
    if (m_tickable) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    return item;
}

void TypeListBox::setLines(const QStringList& newLines) {
    QStringList ordered = newLines;
    if (m_sorted) {
        std::stable_sort(ordered.begin(), ordered.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
    }
    m_bulkChange = true;
    clear();
    for (const QString& line : std::as_const(ordered))
        addItem(makeItem(line));
    m_bulkChange = false;
    updateColumn();
}

QStringList TypeListBox::lines() const {
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i)
        out.append(item(i)->text());
    return out;
}

bool TypeListBox::addLine(const QString& line) {
    const QStringList current = lines();
    if (containsLineIgnoringCase(current, line))
        return false;
    const int row = m_sorted ? int(sortedInsertPosition(current, line)) : count();
    m_bulkChange = true;
    insertItem(row, makeItem(line));
    m_bulkChange = false;
    updateColumn();
    return true;
}

QStringList TypeListBox::selectedLines() const {
    QStringList out;
    for (int i = 0; i < count(); ++i) {
        if (item(i)->isSelected())
            out.append(item(i)->text());
    }
    return out;
}

int TypeListBox::selectedCount() const {
    return int(selectedLines().size());
}

void TypeListBox::removeSelected() {
    for (int i = count() - 1; i >= 0; --i) {
        if (item(i)->isSelected())
            delete takeItem(i);
    }
    updateColumn();
}

QStringList TypeListBox::tickedLines() const {
    QStringList out;
    for (int i = 0; i < count(); ++i) {
        if (isTicked(i))
            out.append(item(i)->text());
    }
    return out;
}

int TypeListBox::tickedCount() const {
    return int(tickedLines().size());
}

void TypeListBox::setTicked(int row, bool ticked) {
    if (QListWidgetItem* it = item(row))
        it->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

bool TypeListBox::isTicked(int row) const {
    const QListWidgetItem* it = item(row);
    return it && m_tickable && it->checkState() == Qt::Checked;
}

void TypeListBox::setAllTicked(bool ticked) {
    if (!m_tickable)
        return;
    m_bulkChange = true;
    for (int i = 0; i < count(); ++i)
        item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    m_bulkChange = false;
    Q_EMIT tickedChanged();
}

void TypeListBox::updateColumn() {
    const QFontMetrics fm(font());
    int widest = fm.horizontalAdvance(QStringLiteral("*.mmm"));
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, fm.horizontalAdvance(patternOfLine(item(i)->text())));
    m_delegate->column = widest + fm.horizontalAdvance(QStringLiteral("mm"));
    doItemsLayout();
}

void TypeListBox::onItemChanged(QListWidgetItem*) {
    if (!m_bulkChange && m_tickable)
        Q_EMIT tickedChanged();
}

void TypeListBox::contextMenuEvent(QContextMenuEvent* event) {
    if (m_menu->isEmpty()) {
        event->ignore();
        return;
    }
    m_menu->popup(event->globalPos());
    event->accept();
}

}  // namespace vantrel
