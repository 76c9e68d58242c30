#include "results/ui/ResultGridDelegate.h"

#include "results/ResultGridModel.h"

#include <QAbstractItemView>
#include <QBitmap>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QToolTip>

namespace vantrel {

QPixmap markPicture() {
    const QColor purple(128, 0, 128);
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(purple);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A red cross with a dark rim: "this one goes".
    const QPoint a[] = {{2, 2}, {13, 13}};
    const QPoint b[] = {{13, 2}, {2, 13}};
    p.setPen(QPen(QColor(96, 0, 0), 5, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(a[0], a[1]);
    p.drawLine(b[0], b[1]);
    p.setPen(QPen(QColor(230, 20, 20), 3, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(a[0], a[1]);
    p.drawLine(b[0], b[1]);
    p.end();
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(pixmap.createMaskFromColor(purple, Qt::MaskInColor));
    return pixmap;
}

ResultGridDelegate::ResultGridDelegate(QObject* parent)
    : QStyledItemDelegate(parent), m_mark(markPicture()) {}

void ResultGridDelegate::setMargins(int left, int right) {
    m_left = left;
    m_right = right;
}

QRect ResultGridDelegate::textRect(const QRect& cell, const QModelIndex& index) const {
    const int top = cell.top() + 2;
    const int height = cell.height() - 2;
    if (index.data(ResultGridModel::MarkedRole).toBool())
        return {cell.left() + 18, top, std::max(cell.width() - 18, 0), height};
    if (index.data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight)
        return {cell.left(), top, std::max(cell.width() - m_right, 0), height};
    return {cell.left() + m_left, top, std::max(cell.width() - m_left, 0), height};
}

QString ResultGridDelegate::shownText(const QFontMetrics& fm, const QRect& cell,
                                      const QModelIndex& index) const {
    return fm.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle,
                         textRect(cell, index).width());
}

void ResultGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const QRect cell = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const bool active = option.state & QStyle::State_Active;
    const QPalette::ColorGroup group = active ? QPalette::Active : QPalette::Inactive;

    painter->save();
    painter->setClipRect(cell);
    painter->fillRect(cell,
                      option.palette.brush(group, selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);

    const bool marked = index.data(ResultGridModel::MarkedRole).toBool();
    if (marked)
        painter->drawPixmap(cell.left() + 2, cell.top() + 2, m_mark);
    const bool right = !marked && (index.data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    painter->drawText(textRect(cell, index),
                      (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop | Qt::TextSingleLine,
                      shownText(QFontMetrics(option.font), cell, index));
    painter->restore();
}

bool ResultGridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                   const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event && view && index.isValid() && event->type() == QEvent::ToolTip) {
        const QString text = index.data(Qt::DisplayRole).toString();
        if (shownText(QFontMetrics(option.font), option.rect, index) != text) {
            QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

QSize ResultGridDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    const int extra = index.data(ResultGridModel::MarkedRole).toBool() ? 18 : m_left;
    return QSize(option.fontMetrics.horizontalAdvance(text) + extra + m_right, 18);
}

}  // namespace vantrel
