#include "results/ui/ResultGridDelegate.h"

#include "results/ResultGridModel.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>

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

    const QString text = index.data(Qt::DisplayRole).toString();
    const bool marked = index.data(ResultGridModel::MarkedRole).toBool();
    const int top = cell.top() + 2;
    if (marked) {
        painter->drawPixmap(cell.left() + 2, top, m_mark);
        const QRect r(cell.left() + 18, top, std::max(cell.width() - 18, 0), cell.height() - 2);
        painter->drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    } else {
        const int alignment = index.data(Qt::TextAlignmentRole).toInt();
        if (alignment & Qt::AlignRight) {
            const QRect r(cell.left(), top, std::max(cell.width() - m_right, 0), cell.height() - 2);
            painter->drawText(r, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, text);
        } else {
            const QRect r(cell.left() + m_left, top, std::max(cell.width() - m_left, 0),
                          cell.height() - 2);
            painter->drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        }
    }
    painter->restore();
}

QSize ResultGridDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    const int extra = index.data(ResultGridModel::MarkedRole).toBool() ? 18 : m_left;
    return QSize(option.fontMetrics.horizontalAdvance(text) + extra + m_right, 18);
}

}  // namespace vantrel
