#include "stats/ui/PagePrinter.h"

#include "text/ui/Dialogs.h"

#include <QAbstractItemView>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace vantrel {

namespace {

// changeBackgroundColor: the page and its listings on white for the
// printout; restores what it changed when it goes.
class WhiteBackground {
public:
    explicit WhiteBackground(QWidget& page) {
        whiten(&page);
        for (QWidget* w : page.findChildren<QWidget*>()) {
            if (qobject_cast<QAbstractItemView*>(w) || qobject_cast<QChartView*>(w) ||
                w->autoFillBackground())
                whiten(w);
        }
    }
    ~WhiteBackground() {
        for (const Saved& s : m_saved) {
            s.widget->setPalette(s.palette);
            s.widget->setAutoFillBackground(s.autoFill);
        }
    }
    WhiteBackground(const WhiteBackground&) = delete;
    WhiteBackground& operator=(const WhiteBackground&) = delete;

private:
    struct Saved {
        QWidget* widget;
        QPalette palette;
        bool autoFill;
    };
    void whiten(QWidget* w) {
        m_saved.append(Saved{w, w->palette(), w->autoFillBackground()});
        QPalette p = w->palette();
        p.setColor(QPalette::Window, Qt::white);
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Button, Qt::white);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
    QList<Saved> m_saved;
};

}  // namespace

bool printPageImage(QWidget& page, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir::home().filePath(QStringLiteral("vantrel-report.pdf")));
    }
    printer.setPageOrientation(page.width() > page.height() ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
    if (!dialogs().printDialog(printer, parent))
        return false;
    QPixmap image;
    {
        WhiteBackground white(page);
        image = page.grab();
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        alertBox(QStringLiteral("Error printing report ... quitting"), parent);
        return false;
    }
    const QRect area = painter.viewport();
    const QSize size = image.size().scaled(area.size(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(area.topLeft(), size), image);
    const bool ok = painter.end();
    if (!ok || printer.printerState() == QPrinter::Error) {
        alertBox(QStringLiteral("Error printing report ... quitting"), parent);
        return false;
    }
    return true;
}

}  // namespace vantrel
