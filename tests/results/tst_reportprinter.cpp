// Printing report lines: into a PDF through the print dialog (cancelled and
// confirmed), over several pages, and the error box of a printer that cannot
// be opened.
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
