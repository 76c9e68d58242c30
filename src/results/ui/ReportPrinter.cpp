#include "results/ui/ReportPrinter.h"

#include "results/Report.h"
#include "text/ui/Dialogs.h"

#include <QCursor>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>
#include <memory>

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

// A printer on the system's printer, or on a PDF file in the home folder
// when there is none.
std::unique_ptr<QPrinter> reportPrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QDir::home().filePath(QStringLiteral("vantrel-report.pdf")));
    }
    return printer;
}

}  // namespace

QFont reportFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Courier"),
                      QStringLiteral("DejaVu Sans Mono"), font.family()});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(9);
    return font;
}

ReportPageWidth reportPageWidth(QPrinter& printer) {
    const QFontMetricsF fm(reportFont(), &printer);
    // The widest character a line may hold decides, so that nothing is cut
    // at the right edge even where the font falls back for a character.
    const qreal advance =
        std::max(fm.horizontalAdvance(QLatin1Char('M')), fm.horizontalAdvance(QChar(0x2026)));
    if (advance <= 0)
        return {};
    QPageLayout layout = printer.pageLayout();
    const auto chars = [&](QPageLayout::Orientation orientation) {
        layout.setOrientation(orientation);
        return int(std::floor(layout.paintRectPixels(printer.resolution()).width() / advance));
    };
    return {chars(QPageLayout::Portrait), chars(QPageLayout::Landscape)};
}

bool printReportLines(QPrinter& printer, const QStringList& lines, QWidget* parent) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        alertBox(QStringLiteral("Error printing report ... quitting"), parent);
        return false;
    }
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const QFont font = reportFont();
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
    const std::unique_ptr<QPrinter> printer = reportPrinter();
    if (!dialogs().printDialog(*printer, parent))
        return false;
    return printReportLines(*printer, lines, parent);
}

bool printGridReport(const GridReport& report, QWidget* parent) {
    const std::unique_ptr<QPrinter> printer = reportPrinter();
    if (!dialogs().printDialog(*printer, parent))
        return false;
    const ReportPageWidth page = reportPageWidth(*printer);
    // A user who turned the paper keeps it turned.
    const bool turned = printer->pageLayout().orientation() == QPageLayout::Landscape;
    const FittedReport fitted = fitGridReport(
        report, turned ? page.landscapeChars : page.portraitChars, page.landscapeChars);
    printer->setPageOrientation(turned || fitted.landscape ? QPageLayout::Landscape
                                                           : QPageLayout::Portrait);
    return printReportLines(*printer, fitted.lines, parent);
}

}  // namespace vantrel
