#include "text/ui/ElidedLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace vantrel {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

QRect ElidedLabel::textRect() const {
    const int m = margin();
    QRect r = contentsRect().adjusted(m, m, -m, -m);
    if (indent() > 0) {
        if (alignment() & Qt::AlignRight)
            r.setRight(r.right() - indent());
        else
            r.setLeft(r.left() + indent());
    }
    return r;
}

bool ElidedLabel::isElided() const {
    return fontMetrics().horizontalAdvance(text()) > textRect().width();
}

QString ElidedLabel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, std::max(textRect().width(), 0));
}

QSize ElidedLabel::minimumSizeHint() const {
    const QSize full = QLabel::minimumSizeHint();
    const int m = 2 * margin() + std::max(indent(), 0);
    const QMargins frame = contentsMargins();
    const int few = fontMetrics().horizontalAdvance(QStringLiteral("xx…xx"));
    return {std::min(full.width(), few + m + frame.left() + frame.right()), full.height()};
}

bool ElidedLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && isElided()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), text(), this);
        return true;
    }
    return QLabel::event(event);
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
    if (!isElided()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, textRect(), int(alignment()) | Qt::TextSingleLine, palette(),
                          isEnabled(), shownText(), foregroundRole());
}

}  // namespace vantrel
