// Printing report lines: to a PDF file, through the print dialog, and the
// error box of a printer that cannot be opened.
#include "results/ui/ReportPrinter.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QtTest/QtTest>

using namespace vantrel;

class TestReportPrinter : public QObject {
    Q_OBJECT

private:
    static QByteArray readAll(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static int pageCount(const QByteArray& pdf) {
        return int(pdf.count("/Type /Page\n")) + int(pdf.count("/Type /Page\r")) +
               int(pdf.count("/Type /Page>")) + int(pdf.count("/Type /Page/"));
    }

private Q_SLOTS:
    void printsLinesIntoAPdf_data() {
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<bool>("severalPages");
        QTest::newRow("short") << 10 << false;
        QTest::newRow("long") << 400 << true;
    }
    void printsLinesIntoAPdf() {
        QFETCH(int, lineCount);
        QFETCH(bool, severalPages);
        ScriptedDialogs dialogs;
        test::TempTree tree;
        const QString out = QString::fromUtf8(tree.path("report.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out);
        QStringList lines{QStringLiteral("Title"), QStringLiteral("Printed : now"), QString(),
                          QString()};
        for (int i = 0; i < lineCount; ++i)
            lines.append(QStringLiteral("row %1\twith a tab").arg(i));
        QVERIFY(printReportLines(printer, lines, nullptr));
        QVERIFY(dialogs.messages.isEmpty());
        const QByteArray pdf = readAll(out);
        QVERIFY(pdf.startsWith("%PDF"));
        const int pages = pageCount(pdf);
        QVERIFY2(pages >= 1, qPrintable(QString::number(pages)));
        QCOMPARE(pages > 1, severalPages);
    }

    void printerThatCannotBeOpenedShowsTheError() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromUtf8(tree.path("no-such-folder/report.pdf")));
        QVERIFY(!printReportLines(printer, {QStringLiteral("Title")}, nullptr));
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].kind, BoxKind::Error);
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("Error printing report ... quitting"));
        QVERIFY(!QFile::exists(QString::fromUtf8(tree.path("no-such-folder"))));
    }

    void cancelledPrintDialogPrintsNothing() {
        ScriptedDialogs dialogs;
        dialogs.printAnswers = {false};
        const QString pdf = QDir::home().filePath(QStringLiteral("vantrel-report.pdf"));
        QFile::remove(pdf);
        QVERIFY(!printReport({QStringLiteral("Title")}, nullptr));
        QVERIFY(dialogs.printAnswers.empty());  // the dialog was asked
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(!QFile::exists(pdf));
    }

    void confirmedPrintDialogPrintsToPdfWithoutPrinters() {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is set up here; the test would print on it");
        ScriptedDialogs dialogs;
        dialogs.printAnswers = {true};
        const QString pdf = QDir::home().filePath(QStringLiteral("vantrel-report.pdf"));
        QFile::remove(pdf);
        QVERIFY(printReport({QStringLiteral("Title"), QStringLiteral("line")}, nullptr));
        QVERIFY(readAll(pdf).startsWith("%PDF"));
        QFile::remove(pdf);
    }
};

VANTREL_QTEST_MAIN(TestReportPrinter)
#include "tst_reportprinter.moc"
