#include "app/ui/Decoration.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

namespace vantrel {

namespace {

QPixmap iconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF disk(s * 0.06, s * 0.10, s * 0.84, s * 0.84);

    QRadialGradient face(disk.center() - QPointF(s * 0.12, s * 0.14), s * 0.6);
    face.setColorAt(0.0, QColor(120, 170, 230));
    face.setColorAt(1.0, QColor(25, 70, 140));
    p.setPen(QPen(QColor(15, 40, 85), qMax(1.0, s / 32.0)));
    p.setBrush(face);
    // The disk without the slice that was won back (the first 60 degrees).
    QPainterPath used;
    used.moveTo(disk.center());
    used.arcTo(disk, 60.0, 300.0);
    used.closeSubpath();
    p.drawPath(used);

    // The slice, lifted out to the upper right.
    QPainterPath slice;
    const QRectF lifted = disk.translated(s * 0.07, -s * 0.07);
    slice.moveTo(lifted.center());
    slice.arcTo(lifted, 0.0, 60.0);
    slice.closeSubpath();
    QLinearGradient gold(lifted.topRight(), lifted.center());
    gold.setColorAt(0.0, QColor(255, 236, 120));
    gold.setColorAt(1.0, QColor(230, 160, 20));
    p.setBrush(gold);
    p.setPen(QPen(QColor(140, 90, 0), qMax(1.0, s / 32.0)));
    p.drawPath(slice);
    return pixmap;
}

}  // namespace

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(iconPixmap(size));
    return icon;
}

void paintBackground(QPainter& painter, const QRect& area) {
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0.0, QColor(46, 98, 160));
    gradient.setColorAt(0.55, QColor(24, 58, 108));
    gradient.setColorAt(1.0, QColor(10, 26, 56));
    painter.fillRect(area, gradient);
}

}  // namespace vantrel
