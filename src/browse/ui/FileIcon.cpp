#include "browse/ui/FileIcon.h"

#include "browse/FileDetails.h"
#include "platform/ui/Shell.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vantrel {

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64};

QPixmap canvas(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

// A manila folder: the tab at the back, the body in front, a darker edge.
QPixmap drawFolder(int size) {
    QPixmap pm = canvas(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const QColor edge(0x9A, 0x6B, 0x10);
    p.setPen(QPen(edge, 1.2));

    QPainterPath back;
    back.moveTo(2.5, 8);
    back.lineTo(2.5, 5.5);
    back.quadTo(2.5, 4.5, 3.5, 4.5);
    back.lineTo(11, 4.5);
    back.lineTo(13.5, 7.5);
    back.lineTo(28.5, 7.5);
    back.quadTo(29.5, 7.5, 29.5, 8.5);
    back.lineTo(29.5, 12);
    back.lineTo(2.5, 12);
    back.closeSubpath();
    p.setBrush(QColor(0xE0, 0xA8, 0x30));
    p.drawPath(back);

    QLinearGradient front(0, 10, 0, 28);
    front.setColorAt(0, QColor(0xFF, 0xD8, 0x6A));
    front.setColorAt(1, QColor(0xF2, 0xB8, 0x3A));
    p.setBrush(front);
    p.drawRoundedRect(QRectF(2.5, 10.5, 27, 17), 1.2, 1.2);
    return pm;
}

// A white page with a folded corner and a grey question mark.
QPixmap drawNoIcon(int size) {
    QPixmap pm = canvas(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 32.0, size / 32.0);
    const QColor edge(0x70, 0x70, 0x70);
    p.setPen(QPen(edge, 1.2));

    QPainterPath page;
    page.moveTo(6.5, 2.5);
    page.lineTo(19.5, 2.5);
    page.lineTo(26.5, 9.5);
    page.lineTo(26.5, 29.5);
    page.lineTo(6.5, 29.5);
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(page);

    QPainterPath fold;
    fold.moveTo(19.5, 2.5);
    fold.lineTo(19.5, 9.5);
    fold.lineTo(26.5, 9.5);
    p.setBrush(QColor(0xDD, 0xDD, 0xDD));
    p.drawPath(fold);

    QFont font;
    font.setBold(true);
    font.setPixelSize(16);
    p.setFont(font);
    p.setPen(QColor(0x50, 0x60, 0x90));
    p.drawText(QRectF(6.5, 9, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
    return pm;
}

QIcon makeIcon(QPixmap (*draw)(int)) {
    QIcon icon;
    for (int size : kSizes)
        icon.addPixmap(draw(size));
    return icon;
}

}  // namespace

QIcon programIcon(const QString& name) {
    if (name == QLatin1String("DIRECTORY")) {
        static const QIcon folder = makeIcon(drawFolder);
        return folder;
    }
    if (name == QLatin1String("NOICON")) {
        static const QIcon none = makeIcon(drawNoIcon);
        return none;
    }
    return QIcon();
}

QIcon fileIcon(const QByteArray& path) {
    if (isFolderPath(path))
        return programIcon(QStringLiteral("DIRECTORY"));
    QIcon icon = associatedIcon(path);
    if (icon.isNull() || icon.pixmap(32).isNull())
        return programIcon(QStringLiteral("NOICON"));
    return icon;
}

}  // namespace vantrel
