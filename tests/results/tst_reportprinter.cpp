// Printing report lines: into a PDF through the print dialog (cancelled and
// confirmed), over several pages, and the error box of a printer that cannot
// be opened.
#include "results/Report.h"
#include "results/ui/ReportPrinter.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QtTest/QtTest>

using namespace vantrel;

class TestReportPrinter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void printDialogCancelledThenConfirmed() {
        ScriptedDialogs dialogs;
        const QString pdf = QDir::home().filePath(QStringLiteral("vantrel-report.pdf"));
        QFile::remove(pdf);
        QStringList lines{"Title", "Printed : now", {}, {}};
        for (int i = 0; i < 400; ++i)
            lines.append(QStringLiteral("row %1\twith a tab").arg(i));
        dialogs.printAnswers = {false, true};
        QVERIFY(!printReport(lines, nullptr));
        QVERIFY(!QFile::exists(pdf));
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is set up here; the test would print on it");
        QVERIFY(printReport(lines, nullptr));
        QVERIFY(dialogs.printAnswers.empty());
        QVERIFY(dialogs.messages.isEmpty());
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        QVERIFY(data.startsWith("%PDF"));
        // 400 lines do not fit on one page.
        QVERIFY(QString::fromLatin1(data).count(
                    QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))) > 1);
        file.remove();
    }

    // A grid report goes on the paper upright when it fits, turned when it
    // is wider; the page widths it is fitted to follow the paper.
    void gridReportTurnsThePaperWhenItIsWide() {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is set up here; the test would print on it");
        QPrinter a4;
        a4.setPageSize(QPageSize(QPageSize::A4));
        const ReportPageWidth width = reportPageWidth(a4);
        QVERIFY2(
            width.portraitChars >= 80 && width.landscapeChars > width.portraitChars,
            qPrintable(QStringLiteral("%1 %2").arg(width.portraitChars).arg(width.landscapeChars)));
        const auto pageOf = [](const QString& folder) {
            ScriptedDialogs dialogs;
            dialogs.printAnswers = {true};
            const QString pdf = QDir::home().filePath(QStringLiteral("vantrel-report.pdf"));
            QFile::remove(pdf);
            const GridReport report{
                "Duplicates",
                QDateTime::currentDateTime(),
                {{"Filename", "Size", "Modified", "Time", "Access", "Folder", "Type"},
                 {"a.jpg", "300,000", "8/1/23", "9:15:00 AM", "8/2/23", folder, "JPEG image"}}};
            if (!printGridReport(report, nullptr))
                return QSizeF();
            QFile file(pdf);
            if (!file.open(QIODevice::ReadOnly))
                return QSizeF();
            const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
            const QRegularExpressionMatch m = box.match(QString::fromLatin1(file.readAll()));
            file.remove();
            return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble())
                                : QSizeF();
        };
        const QSizeF upright = pageOf(QStringLiteral("/home/ann"));
        const QSizeF turned = pageOf("/home/ann/" + QString(120, QLatin1Char('x')));
        QVERIFY(upright.isValid() && turned.isValid());
        QVERIFY(upright.width() < upright.height());
        QVERIFY(turned.width() > turned.height());
    }

    void printerThatCannotBeOpenedShowsTheError() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromUtf8(tree.path("no-such-folder/report.pdf")));
        QVERIFY(!printReportLines(printer, {QStringLiteral("Title")}, nullptr));
        QCOMPARE(dialogs.messageTexts(), QStringList{"Error printing report ... quitting"});
        QCOMPARE(dialogs.messages[0].kind, BoxKind::Error);
    }
};

VANTREL_QTEST_MAIN(TestReportPrinter)
#include "tst_reportprinter.moc"
