#include "results/ui/ReportPrinter.h"

#include "text/ui/Dialogs.h"

#include <QCursor>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace vantrel {

namespace {

QString expandTabs(const QString& line) {
    if (!line.contains(QLatin1Char('\t')))
        return line;
    QString out;
    for (QChar c : line) {
        if (c == QLatin1Char('\t')) {
            const qsizetype pad = 8 - out.size() % 8;
            out += QString(pad, QLatin1Char(' '));
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

bool printReportLines(QPrinter& printer, const QStringList& lines, QWidget* parent) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        alertBox(QStringLiteral("Error printing report ... quitting"), parent);
        return false;
    }
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Courier"),
                      QStringLiteral("DejaVu Sans Mono"), font.family()});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(9);
    painter.setFont(font);
    const QFontMetrics fm(font, &printer);
    const int lineHeight = fm.lineSpacing();
    const int pageHeight = painter.viewport().height();
    bool ok = true;
    int y = fm.ascent();
    for (const QString& line : lines) {
        // A line goes on the next page when its descenders would not fit.
        if (y + fm.descent() > pageHeight && y > fm.ascent()) {
            if (!printer.newPage()) {
                ok = false;
                break;
            }
            y = fm.ascent();
        }
        painter.drawText(0, y, expandTabs(line));
        y += lineHeight;
    }
    ok = painter.end() && ok;
    QGuiApplication::restoreOverrideCursor();
    if (!ok || printer.printerState() == QPrinter::Error) {
        alertBox(QStringLiteral("Error printing report ... quitting"), parent);
        return false;
    }
    return true;
}

bool printReport(const QStringList& lines, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir::home().filePath(QStringLiteral("vantrel-report.pdf")));
    }
    if (!dialogs().printDialog(printer, parent))
        return false;
    return printReportLines(printer, lines, parent);
}

}  // namespace vantrel
