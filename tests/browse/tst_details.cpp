#include "browse/FileDetails.h"
#include "browse/PeFixture.h"
#include "browse/ui/FileIcon.h"
#include "browse/ui/TfrmDetails.h"
#include "browse/ui/TfrmView.h"
#include "platform/FileRecord.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QtTest/QtTest>

using namespace vantrel;

namespace {

QString labelText(const TfrmDetails& w, const char* name) {
    auto* label = w.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text().remove(QChar(0x200B)) : QStringLiteral("<missing %1>").arg(name);
}

QPushButton* button(const TfrmDetails& w, const char* name) {
    return w.findChild<QPushButton*>(QLatin1String(name));
}

QPlainTextEdit* memo(const TfrmDetails& w) {
    return w.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
}

// Saves what the window looks like when VANTREL_SCREENSHOT_DIR is set.
void screenshot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("VANTREL_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

}  // namespace

class TestDetails : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dialogs = std::make_unique<ScriptedDialogs>(); }
    void cleanup() { m_dialogs.reset(); }

    void formHasItsControls() {
        TfrmDetails w;
        QCOMPARE(w.windowTitle(), QStringLiteral("File Details"));
        struct Expected {
            const char* name;
            const char* text;
            const char* tip;
        };
        const Expected buttons[] = {{"btClose", "Close", ""},
                                    {"btPrint", "Print", "Print file details"},
                                    {"btView", "&View", "View file"},
                                    {"btLaunch", "&Run", "Run/launch associated application"}};
        for (const Expected& e : buttons) {
            QPushButton* b = button(w, e.name);
            QVERIFY2(b, e.name);
            QCOMPARE(b->text(), QString::fromUtf8(e.text));
            QCOMPARE(b->toolTip(), QString::fromUtf8(e.tip));
        }
        QVERIFY(memo(w)->isReadOnly());
        for (const char* caption : {"Name of file:", "Type of file:", "Size:", "Creation date:",
                                    "Modification date:", "Access date:", "Attributes:"}) {
            bool found = false;
            for (QLabel* l : w.findChildren<QLabel*>())
                found = found || l->text() == QLatin1String(caption);
            QVERIFY2(found, caption);
        }
    }

    void labelsOfAPlainFile() {
        test::TempTree tree;
        const QByteArray path = tree.file("notes.txt", 1234);
        const QDateTime modified(QDate(2022, 5, 6), QTime(7, 8, 10));
        const QDateTime accessed(QDate(2023, 6, 7), QTime(8, 9, 12));
        tree.setTimes("notes.txt", modified, accessed);
        const auto expected = readFileDetails(path, QDateTime::currentDateTime());
        QVERIFY(expected);

        TfrmDetails w;
        w.setFileName(path);
        w.show();
        QCOMPARE(labelText(w, "lblFileName"), QString::fromUtf8(path));
        QCOMPARE(labelText(w, "lblFileType"), fileTypeDescription(QStringLiteral(".txt")));
        QCOMPARE(labelText(w, "lblSizeBytes"), QStringLiteral("1,234 bytes"));
        QCOMPARE(labelText(w, "lblSizeK"), wastedClusterSpace(path, 1234));
        QVERIFY(labelText(w, "lblSizeK").startsWith(QStringLiteral("Cluster size: ")));
        QCOMPARE(labelText(w, "lblModify"), expected->modified);
        QVERIFY(labelText(w, "lblModify")
                    .startsWith(fileDateText(packUnixTime(modified.toSecsSinceEpoch())) +
                                QStringLiteral("  ")));
        QVERIFY(labelText(w, "lblAccess")
                    .startsWith(fileDateText(packUnixTime(accessed.toSecsSinceEpoch())) +
                                QStringLiteral("  ")));
        QCOMPARE(labelText(w, "lblCreate"), expected->created);
        QCOMPARE(labelText(w, "lblAttributes"), QString());
        QVERIFY(!w.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    // A file that is not a PE image has no version strings: the memo goes
    // and the window closes up under the attribute panel.
    void memoHiddenWithoutVersionStrings() {
        test::TempTree tree;
        TfrmDetails plain;
        plain.setFileName(tree.fileWith("plain.exe", "MZ, but not a program"));
        plain.show();
        QVERIFY(memo(plain)->isHidden());
        screenshot(plain, QStringLiteral("details-plain"));

        TfrmDetails pe;
        pe.setFileName(tree.fileWith("sample.exe", test::samplePeImage()));
        pe.show();
        QVERIFY(memo(pe)->isVisible());
        QVERIFY2(plain.height() < pe.height(),
                 qPrintable(QStringLiteral("%1 vs %2").arg(plain.height()).arg(pe.height())));
        auto* panel = plain.findChild<QWidget*>(QStringLiteral("Panel4"));
        QPushButton* print = button(plain, "btPrint");
        QVERIFY(print->geometry().top() > panel->geometry().bottom());
        QVERIFY(print->geometry().top() - panel->geometry().bottom() <= 12);
        QVERIFY(plain.height() - print->geometry().bottom() <= 12);
    }

    void versionLinesOfTheFixture_data() {
        QTest::addColumn<bool>("pe32Plus");
        QTest::newRow("PE32") << false;
        QTest::newRow("PE32+") << true;
    }

    void versionLinesOfTheFixture() {
        QFETCH(bool, pe32Plus);
        test::TempTree tree;
        const QByteArray path = tree.fileWith("sample.dll", test::samplePeImage(pe32Plus));
        TfrmDetails w;
        w.setFileName(path);
        w.show();
        const QStringList lines = memo(w)->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines, versionLines(path, true));
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines.at(0), QStringLiteral("Company: \tFixture Works Ltd"));
        QCOMPARE(lines.at(4), QStringLiteral("Copyright: \t\tCopyright \u00A9 2001 Fixture Works"));
        QCOMPARE(lines.at(10), QStringLiteral("Special build info: \t"));
        if (!pe32Plus)
            screenshot(w, QStringLiteral("details-pe"));
    }

    void vanishedFileLeavesTheLabels() {
        test::TempTree tree;
        TfrmDetails w;
        w.setFileName(tree.path("gone.txt"));
        w.show();
        for (const char* name : {"lblFileName", "lblFileType", "lblSizeBytes", "lblSizeK",
                                 "lblCreate", "lblModify", "lblAccess", "lblAttributes"})
            QCOMPARE(labelText(w, name), QString());
        QVERIFY(w.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void folderShowsTheDirectoryIcon() {
        test::TempTree tree;
        const QByteArray folder = tree.mkdir("photos");
        QCOMPARE(fileIcon(folder).cacheKey(), programIcon(QStringLiteral("DIRECTORY")).cacheKey());
        TfrmDetails w;
        w.setFileName(folder);
        w.show();
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().toImage(),
                 programIcon(QStringLiteral("DIRECTORY")).pixmap(32, 32).toImage());
        QCOMPARE(labelText(w, "lblAttributes"), QStringLiteral(" Directory"));
        screenshot(w, QStringLiteral("details-folder"));
    }

    void programIcons() {
        const QIcon folder = programIcon(QStringLiteral("DIRECTORY"));
        const QIcon none = programIcon(QStringLiteral("NOICON"));
        QVERIFY(!folder.isNull());
        QVERIFY(!none.isNull());
        QVERIFY(folder.pixmap(32).toImage() != none.pixmap(32).toImage());
        QVERIFY(programIcon(QStringLiteral("OTHER")).isNull());
        // A data file always gets some icon: the theme's, or NOICON.
        test::TempTree tree;
        QVERIFY(!fileIcon(tree.file("blob.qqqz", 10)).pixmap(32).isNull());
    }

    void printsTheDetails() {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is installed; this test prints to a PDF file only");
        const QString pdf = QDir::home().filePath(QStringLiteral("vantrel-report.pdf"));
        QFile::remove(pdf);
        test::TempTree tree;
        const QByteArray path = tree.fileWith("sample.exe", test::samplePeImage());
        tree.setTimes("sample.exe", QDateTime(QDate(2021, 1, 2), QTime(3, 4, 6)),
                      QDateTime(QDate(2022, 7, 8), QTime(9, 10, 12)));
        TfrmDetails w;
        w.setFileName(path);
        w.show();

        // Cancelled: nothing printed.
        m_dialogs->printAnswers = {false};
        button(w, "btPrint")->click();
        QVERIFY(!QFile::exists(pdf));

        m_dialogs->printAnswers = {true};
        button(w, "btPrint")->click();
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(QFileInfo(pdf).size() > 0);
        QFile::remove(pdf);

        const QStringList lines = w.printLines();
        QCOMPARE(lines.size(), 12 + 11);
        QCOMPARE(lines.at(0), QStringLiteral("Name of file : \t") + QString::fromUtf8(path));
        QCOMPARE(lines.at(3), QStringLiteral("Size of file : \t") + labelText(w, "lblSizeBytes"));
        QCOMPARE(lines.at(6), QStringLiteral("Creation date     : \t") + labelText(w, "lblCreate"));
        QCOMPARE(lines.at(7), QStringLiteral("Modification date : \t") + labelText(w, "lblModify"));
        QCOMPARE(lines.at(8), QStringLiteral("Access date       : \t") + labelText(w, "lblAccess"));
        QVERIFY(lines.at(7).contains(fileDateText(
            packUnixTime(QDateTime(QDate(2021, 1, 2), QTime(3, 4, 6)).toSecsSinceEpoch()))));
        QVERIFY(lines.at(8).contains(fileDateText(
            packUnixTime(QDateTime(QDate(2022, 7, 8), QTime(9, 10, 12)).toSecsSinceEpoch()))));
        QCOMPARE(lines.mid(12), versionLines(path, true));
    }

    void runFailureShowsTheMessage() {
        test::TempTree tree;
        const QByteArray path = tree.file("tool.sh", 4);
        QByteArray launched;
        TfrmDetails w;
        w.setFileName(path);
        w.setLauncher([&launched](const QByteArray& p) {
            launched = p;
            return false;
        });
        w.show();
        button(w, "btLaunch")->click();
        QCOMPARE(launched, path);
        QCOMPARE(m_dialogs->messageTexts(),
                 QStringList{QStringLiteral("Couldn't run ") + QString::fromUtf8(path)});
        QCOMPARE(m_dialogs->messages.first().kind, BoxKind::Error);

        m_dialogs->messages.clear();
        w.setLauncher([](const QByteArray&) { return true; });
        button(w, "btLaunch")->click();
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void viewOpensTheViewerOnTheFile() {
        test::TempTree tree;
        const QByteArray path = tree.fileWith("caf\xE9.txt", "some text\n");
        TfrmDetails w;
        w.setFileName(path);
        w.show();
        QByteArray viewed;
        bool isViewer = false;
        m_dialogs->dialogHandlers.push_back([&](QDialog& d) {
            auto* view = qobject_cast<TfrmView*>(&d);
            isViewer = view != nullptr;
            if (view)
                viewed = view->fileName();
            return int(QDialog::Rejected);
        });
        button(w, "btView")->click();
        QVERIFY(isViewer);
        QCOMPARE(viewed, path);
    }

    void escapeCloses() {
        TfrmDetails w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!w.isVisible());
    }

private:
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

VANTREL_QTEST_MAIN(TestDetails)
#include "tst_details.moc"
