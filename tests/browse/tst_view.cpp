// The file viewer window: opening, status sections, modes, search, go to
// line, clipboard, printing, strings, dropped files and bad files.
#include "browse/ui/FileViewer.h"
#include "browse/ui/TFindDlg.h"
#include "browse/ui/TfrmView.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QtTest/QtTest>

#include <unistd.h>

using namespace vantrel;

namespace {

QByteArray numberedLines(int count) {
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += "line " + QByteArray::number(i) + " of the file\r\n";
    return out;
}

QAction* action(const TfrmView& view, const char* name) {
    return view.findChild<QAction*>(QLatin1String(name));
}

template <class T>
T* child(const TfrmView& view, const char* name) {
    return view.findChild<T*>(QLatin1String(name));
}

// Answers the find dialog with a text and options.
std::function<int(QDialog&)> findAnswer(const QString& text, bool backward = false,
                                        bool matchCase = false, bool global = false) {
    return [=](QDialog& dialog) {
        auto& find = dynamic_cast<TFindDlg&>(dialog);
        find.Edit1->setText(text);
        (backward ? find.RadioButton2 : find.RadioButton1)->setChecked(true);
        find.CheckBox1->setChecked(matchCase);
        find.CheckBox2->setChecked(global);
        return int(QDialog::Accepted);
    };
}

QString selectedText(FileViewer* viewer) {
    QGuiApplication::clipboard()->clear();
    viewer->copyToClipboard();
    return QGuiApplication::clipboard()->text();
}

int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = f.readAll();
    return int(pdf.count("/Type /Page\n")) + int(pdf.count("/Type /Page\r")) +
           int(pdf.count("/Type /Page>")) + int(pdf.count("/Type /Page/"));
}

}  // namespace

class TestView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QGuiApplication::clipboard()->clear(); }

    void showsTheFileWithItsStatus() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        const QByteArray content = numberedLines(120);
        const QByteArray path = tree.fileWith("notes.txt", content);
        TfrmView view;
        view.setFileName(path);
        view.show();
        QCOMPARE(view.windowTitle(), QStringLiteral("View File : ") + QString::fromUtf8(path));
        QTRY_COMPARE(view.statusSection(1), QStringLiteral("Total: 120"));
        QCOMPARE(view.statusSection(0), QStringLiteral("     1:1"));
        QCOMPARE(view.statusSection(2), QStringLiteral("Top:     1"));
        QCOMPARE(view.statusSection(3), QStringLiteral("Bytes: ") + numberText(content.size()));
        QCOMPARE(view.viewer()->lineText(119), QStringLiteral("line 120 of the file"));
        QVERIFY(action(view, "Print1")->isEnabled());
        QVERIFY(action(view, "Find1")->isEnabled());
        QVERIFY(action(view, "GotoLine1")->isEnabled());
        QVERIFY(action(view, "SelectAll1")->isEnabled());
        QVERIFY(!action(view, "Copy1")->isEnabled());
        QVERIFY(child<QRadioButton>(view, "rbAscii")->isChecked());
        QVERIFY(action(view, "TabExpansion1")->isChecked());
        QVERIFY(dialogs.messages.isEmpty());

        // The caret moves with the keys and the status follows.
        view.viewer()->setFocus();
        QTest::keyClick(view.viewer(), Qt::Key_Down);
        QTest::keyClick(view.viewer(), Qt::Key_Right);
        QTest::keyClick(view.viewer(), Qt::Key_Right);
        QCOMPARE(view.statusSection(0), QStringLiteral("     2:3"));
        QTest::keyClick(view.viewer(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view.viewer()->caret().line, qint64(119));
        QVERIFY(view.statusSection(2) != QStringLiteral("Top:     1"));
        QTest::keyClick(view.viewer(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(view.statusSection(0), QStringLiteral("     1:1"));
    }

    void totalIsUnknownUntilCounted() {
        test::TempTree tree;
        QByteArray content;
        const int lines = 2'000'000;
        content.reserve(lines * 12);
        for (int i = 0; i < lines; ++i)
            content += "short line\n";
        const QByteArray path = tree.fileWith("many.txt", content);
        TfrmView view;
        view.setFileName(path);
        view.show();
        // Nothing has come back from the counting thread yet.
        QCOMPARE(view.statusSection(1), QStringLiteral("Total: ?"));
        QVERIFY(!view.viewer()->lineCount().has_value());
        QCOMPARE(view.viewer()->lineText(0), QStringLiteral("short line"));
        QTRY_COMPARE_WITH_TIMEOUT(view.statusSection(1), QStringLiteral("Total: 2,000,000"), 20000);
    }

    void goesToALineNotCountedYet() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        const QByteArray path = tree.fileWith("goto.txt", numberedLines(400'000));
        TfrmView view;
        view.setFileName(path);
        view.show();
        dialogs.texts.push_back(QStringLiteral("399999"));
        view.GotoLine1Click();
        QTRY_COMPARE_WITH_TIMEOUT(view.statusSection(0), QStringLiteral("399999:1"), 20000);
        QCOMPARE(view.viewer()->lineText(399998), QStringLiteral("line 399999 of the file"));
    }

    void goToLine_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("position");
        QTest::newRow("a line") << QStringLiteral("50") << QStringLiteral("    50:1");
        QTest::newRow("blanks around") << QStringLiteral(" 7 ") << QStringLiteral("     7:1");
        QTest::newRow("past the end") << QStringLiteral("5000") << QStringLiteral("   120:1");
        QTest::newRow("zero") << QStringLiteral("0") << QStringLiteral("     1:1");
        QTest::newRow("not a number") << QStringLiteral("fifty") << QStringLiteral("     3:1");
    }
    void goToLine() {
        QFETCH(QString, answer);
        QFETCH(QString, position);
        ScriptedDialogs dialogs;
        test::TempTree tree;
        TfrmView view;
        view.setFileName(tree.fileWith("g.txt", numberedLines(120)));
        view.show();
        QTRY_VERIFY(view.viewer()->lineCount().has_value());
        view.viewer()->moveCaretTo(2, 0);
        dialogs.texts.push_back(answer);
        view.GotoLine1Click();
        QCOMPARE(view.statusSection(0), position);
    }

    void switchesToHexAndBack() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        const QByteArray path = tree.fileWith(
            "h.bin", QByteArray("Hello world\n\0\x01\x02\x03", 16) + QByteArray(20, 'z'));
        TfrmView view;
        view.setFileName(path);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto* rbHex = child<QRadioButton>(view, "rbHex");
        auto* rbAscii = child<QRadioButton>(view, "rbAscii");
        QAction* hexMode = action(view, "HexMode1");

        QTest::mouseClick(rbHex, Qt::LeftButton);
        QVERIFY(view.viewer()->inHexMode());
        QVERIFY(hexMode->isChecked());
        QCOMPARE(view.statusSection(1), QStringLiteral("Total: 3"));
        QVERIFY(view.viewer()->lineText(0).startsWith(
            QStringLiteral("00000000  48 65 6C 6C 6F 20 77 6F  72 6C 64 0A 00 01 02 03  Hello")));

        // The menu item switches back and sets the buttons.
        hexMode->trigger();
        QVERIFY(!view.viewer()->inHexMode());
        QVERIFY(rbAscii->isChecked());
        QVERIFY(!rbHex->isChecked());

        // F8, as the menu's shortcut.
        view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        QTest::keyClick(view.viewer(), Qt::Key_F8);
        QVERIFY(view.viewer()->inHexMode());
        QVERIFY(rbHex->isChecked());
        QTest::mouseClick(rbAscii, Qt::LeftButton);
        QVERIFY(!view.viewer()->inHexMode());
        QVERIFY(!hexMode->isChecked());
    }

    void findsAndReportsWhatIsNotThere() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        const QByteArray path =
            tree.fileWith("find.txt", "alpha Beta gamma\nbeta ALPHA\r\nend beta\n");
        TfrmView view;
        view.setFileName(path);
        view.show();
        QTRY_VERIFY(view.viewer()->lineCount().has_value());
        FileViewer* viewer = view.viewer();

        dialogs.dialogHandlers.push_back(findAnswer(QStringLiteral("beta")));
        view.Find1Click();
        QTRY_VERIFY(!viewer->isSearching() && viewer->hasSelection());
        QCOMPARE(dialogs.dialogTitles.last(), QStringLiteral("Find"));
        QCOMPARE(viewer->caret(), (FileViewer::Position{0, 10}));
        QCOMPARE(selectedText(viewer), QStringLiteral("Beta"));
        QVERIFY(action(view, "Copy1")->isEnabled());
        QVERIFY(action(view, "FindNext1")->isEnabled());

        // Find next goes on forward, never round the end.
        view.FindNext1Click();
        QTRY_COMPARE(viewer->caret(), (FileViewer::Position{1, 4}));
        view.FindNext1Click();
        QTRY_COMPARE(viewer->caret(), (FileViewer::Position{2, 8}));
        view.FindNext1Click();
        QTRY_COMPARE(dialogs.messageTexts(),
                     QStringList{QStringLiteral("Search string 'beta' not found")});
        QCOMPARE(dialogs.messages[0].kind, BoxKind::Information);

        // Backward, matching case, from the end.
        dialogs.dialogHandlers.push_back(findAnswer(QStringLiteral("ALPHA"), true, true));
        view.Find1Click();
        QTRY_COMPARE(viewer->caret(), (FileViewer::Position{1, 5}));
        QCOMPARE(selectedText(viewer), QStringLiteral("ALPHA"));

        // Global search goes round the end of the file.
        viewer->moveCaretTo(2, 5);
        dialogs.dialogHandlers.push_back(findAnswer(QStringLiteral("gamma"), false, false, true));
        view.Find1Click();
        QTRY_COMPARE(viewer->caret(), (FileViewer::Position{0, 16}));

        // Cancelled: nothing searched.
        view.Find1Click();
        QCOMPARE(dialogs.messages.size(), 1);

        dialogs.dialogHandlers.push_back(findAnswer(QStringLiteral("delta"), false, false, true));
        view.Find1Click();
        QTRY_COMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages[1].text, QStringLiteral("Search string 'delta' not found"));
    }

    void findsInHexMode() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        QByteArray content(100, '.');
        content.replace(40, 6, "needle");
        TfrmView view;
        view.setFileName(tree.fileWith("hexfind.bin", content));
        view.show();
        view.rbHexClick();
        dialogs.dialogHandlers.push_back(findAnswer(QStringLiteral("NEEDLE")));
        view.Find1Click();
        QTRY_VERIFY(view.viewer()->hasSelection());
        QCOMPARE(view.viewer()->caret().line, qint64(2));  // byte 45 is in row 2
        const QStringList rows = selectedText(view.viewer()).split(QLatin1Char('\n'));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0], QStringLiteral("6E 65 65 64 6C 65"));
        // Find next moves past the match instead of finding it again.
        view.FindNext1Click();
        QTRY_COMPARE(dialogs.messages.size(), 1);
    }

    void copiesTheSelection() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        const QByteArray content = "first\tline\r\nsecond line\nthird caf\xc3\xa9";
        TfrmView view;
        view.setFileName(tree.fileWith("copy.txt", content));
        view.show();
        FileViewer* viewer = view.viewer();
        QTRY_VERIFY(viewer->lineCount().has_value());
        QVERIFY(!action(view, "Copy1")->isEnabled());

        view.SelectAll1Click();
        QVERIFY(action(view, "Copy1")->isEnabled());
        QGuiApplication::clipboard()->clear();
        view.Copy1Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8(content));

        // Shift and the arrows select; the copy keeps the file's tab.
        viewer->moveCaretTo(0, 3);
        viewer->setFocus();
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(viewer, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(selectedText(viewer), QStringLiteral("st\tl"));  // the tab is 3 columns
        QTest::keyClick(viewer, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(selectedText(viewer), QStringLiteral("st\tline\r\nsecond li"));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void printsAllOrTheSelection() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        TfrmView view;
        view.setFileName(tree.fileWith("print.txt", numberedLines(300)));
        view.show();
        QTRY_VERIFY(view.viewer()->lineCount().has_value());
        const QString pdf = QDir::home().filePath(QStringLiteral("vantrel-view.pdf"));
        QFile::remove(pdf);

        dialogs.printAnswers = {true};
        view.Print1Click();
        QVERIFY(dialogs.messages.isEmpty());
        const int allPages = pdfPages(pdf);
        QVERIFY2(allPages > 1, qPrintable(QString::number(allPages)));

        // Only the selection, when one is chosen.
        view.viewer()->moveCaretTo(10, 2);
        view.viewer()->setFocus();
        QTest::keyClick(view.viewer(), Qt::Key_Down, Qt::ShiftModifier);
        QFile::remove(pdf);
        dialogs.printAnswers = {true};
        dialogs.printSelection = {true};
        view.Print1Click();
        QCOMPARE(pdfPages(pdf), 1);

        // Cancelled: nothing printed.
        QFile::remove(pdf);
        dialogs.printAnswers = {false};
        view.Print1Click();
        QVERIFY(!QFile::exists(pdf));
    }

    void peeksAtStrings() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        const QByteArray content = QByteArray(
                                       "\x7f"
                                       "ELF\0\0Hello world\0Hello\0version 2.7.1\0",
                                       38) +
                                   QByteArray(3000, '\x01') + QByteArray("Copyright holder\0", 17);
        const QByteArray path = tree.fileWith("prog.bin", content);
        TfrmView view;
        view.setFileName(path);
        view.show();
        QString stringsFile;
        QStringList lines;
        bool controlsHidden = false;
        dialogs.dialogHandlers.push_back([&](QDialog& dialog) {
            auto& strings = dynamic_cast<TfrmView&>(dialog);
            stringsFile = QString::fromUtf8(strings.viewer()->fileName());
            for (int i = 0; i < 500 && !strings.viewer()->lineCount(); ++i)
                QTest::qWait(10);
            for (qint64 i = 0; i < *strings.viewer()->lineCount(); ++i)
                lines << strings.viewer()->lineText(i);
            controlsHidden = child<QPushButton>(strings, "btStrings")->isHidden() &&
                             child<QRadioButton>(strings, "rbAscii")->isHidden() &&
                             child<QRadioButton>(strings, "rbHex")->isHidden() &&
                             !action(strings, "HexMode1")->isVisible();
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(child<QPushButton>(view, "btStrings"), Qt::LeftButton);
        QTRY_COMPARE(dialogs.dialogTitles.size(), 1);
        QVERIFY(controlsHidden);
        QCOMPARE(lines, (QStringList{QStringLiteral("Hello world"), QStringLiteral("version 2"),
                                     QStringLiteral("Copyright holder")}));
        QVERIFY(stringsFile.startsWith(QDir::tempPath() + QStringLiteral("/str")));
        QVERIFY(!QFile::exists(stringsFile));  // removed after the window closed
        QVERIFY(child<QPushButton>(view, "btStrings")->isEnabled());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void missingFileShowsTheErrorAndTheWindowStays() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        const QByteArray path = tree.path("gone.txt");
        TfrmView view;
        view.setFileName(path);
        view.show();
        QTRY_COMPARE(dialogs.messageTexts(),
                     QStringList{QStringLiteral("Could not open file ") + QString::fromUtf8(path)});
        QCOMPARE(dialogs.messages[0].kind, BoxKind::Error);
        QVERIFY(view.isVisible());
        QVERIFY(!view.viewer()->isOpen());
        QVERIFY(!action(view, "Find1")->isEnabled());
        QCOMPARE(view.statusSection(3), QStringLiteral("Bytes: 0"));

        // Peeking at its strings: the error, then an empty strings window.
        int shown = 0;
        qint64 size = -1;
        dialogs.dialogHandlers.push_back([&](QDialog& dialog) {
            size = dynamic_cast<TfrmView&>(dialog).viewer()->fileSize();
            ++shown;
            return int(QDialog::Rejected);
        });
        view.btStringsClick();
        QTRY_COMPARE(shown, 1);
        QCOMPARE(size, 0);
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages[1].text, dialogs.messages[0].text);
    }

    void unreadableFileShowsTheError() {
        test::PermissionChecks checks;
        if (!checks.enforced())
            QSKIP("permission checks cannot be enforced here");
        ScriptedDialogs dialogs;
        test::TempTree tree;
        const QByteArray path = tree.fileWith("secret.txt", "top secret\n");
        tree.chmod("secret.txt", 0);
        TfrmView view;
        view.setFileName(path);
        view.show();
        QTRY_COMPARE(dialogs.messageTexts(),
                     QStringList{QStringLiteral("Could not open file ") + QString::fromUtf8(path)});
        QVERIFY(view.isVisible());
        QVERIFY(!view.viewer()->isOpen());
    }

    void oddFilesOpenSafely_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("total");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("Total: 0");
        QTest::newRow("binary") << QByteArray("\0\x01\xff\xfe\x80\x1b[2J\x07\n\x00", 12)
                                << QStringLiteral("Total: 2");
        QTest::newRow("one long line")
            << QByteArray(5 * 1024 * 1024, 'w') << QStringLiteral("Total: 5,120");
    }
    void oddFilesOpenSafely() {
        QFETCH(QByteArray, content);
        QFETCH(QString, total);
        ScriptedDialogs dialogs;
        test::TempTree tree;
        TfrmView view;
        view.setFileName(tree.fileWith("odd", content));
        view.show();
        QTRY_COMPARE(view.statusSection(1), total);
        QVERIFY(view.viewer()->isOpen());
        QVERIFY(!view.grab().isNull());  // paints
        QCOMPARE(action(view, "Find1")->isEnabled(), !content.isEmpty());
        QCOMPARE(action(view, "Print1")->isEnabled(), !content.isEmpty());
        for (qint64 i = 0; i < std::min<qint64>(*view.viewer()->lineCount(), 3); ++i) {
            const QString line = view.viewer()->lineText(i);
            QVERIFY(line.size() <= ViewerDocument::kMaxLineBytes);
            for (QChar c : line)
                QVERIFY2(c.unicode() >= 0x20, qPrintable(line));  // no control characters
        }
        QVERIFY(dialogs.messages.isEmpty());
    }

    void fileCutShortWhileShownDoesNotCrash() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        const QByteArray path = tree.fileWith("cut.txt", numberedLines(50'000));
        TfrmView view;
        view.setFileName(path);
        view.show();
        QTRY_VERIFY(view.viewer()->lineCount().has_value());
        QCOMPARE(::truncate(path.constData(), 100), 0);
        view.viewer()->setFocus();
        QTest::keyClick(view.viewer(), Qt::Key_End, Qt::ControlModifier);
        QVERIFY(!view.grab().isNull());
        view.rbHexClick();
        QTest::keyClick(view.viewer(), Qt::Key_End, Qt::ControlModifier);
        QVERIFY(!view.grab().isNull());
        QVERIFY(view.viewer()->document().truncated());
    }

    void optionsChangeTheDisplay() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        TfrmView view;
        view.setFileName(tree.fileWith("tabs.txt", "a\tb\n"));
        view.show();
        FileViewer* viewer = view.viewer();
        QCOMPARE(viewer->lineText(0), QStringLiteral("a       b"));

        dialogs.texts = {QStringLiteral("4"), QStringLiteral("four"), QStringLiteral("0")};
        view.TabSize1Click();
        QCOMPARE(viewer->tabSize(), 4);
        QCOMPARE(viewer->lineText(0), QStringLiteral("a   b"));
        view.TabSize1Click();  // not a number: ignored
        view.TabSize1Click();  // no tab size 0
        QCOMPARE(viewer->tabSize(), 4);

        action(view, "TabExpansion1")->trigger();
        QVERIFY(!viewer->expandTabs());
        QCOMPARE(viewer->lineText(0), QStringLiteral("a\u00BBb"));

        QFont font(QStringLiteral("DejaVu Sans Mono"), 14);
        dialogs.fonts.push_back(font);
        QTest::mouseClick(child<QPushButton>(view, "btFont"), Qt::LeftButton);
        QCOMPARE(viewer->fixedFont().pointSize(), 14);
        view.Font1Click();  // cancelled
        QCOMPARE(viewer->fixedFont().pointSize(), 14);
    }

    void opensAnotherFileAndDroppedFiles() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        const QByteArray first = tree.fileWith("first.txt", "first\n");
        const QByteArray second = tree.fileWith("second.txt", "second\n");
        const QByteArray third = tree.fileWith("third.txt", "third\n");
        TfrmView view;
        view.setFileName(first);
        view.show();

        dialogs.fileNames.push_back(QString::fromUtf8(second));
        view.Open1Click();
        QCOMPARE(view.viewer()->fileName(), second);
        QCOMPARE(view.windowTitle(), QStringLiteral("View File : ") + QString::fromUtf8(second));
        view.Open1Click();  // cancelled: stays
        QCOMPARE(view.viewer()->fileName(), second);

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromUtf8(third)),
                      QUrl::fromLocalFile(QString::fromUtf8(first))});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &drop);
        QCOMPARE(view.viewer()->fileName(), third);
        // The caption stays as it was.
        QCOMPARE(view.windowTitle(), QStringLiteral("View File : ") + QString::fromUtf8(second));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void buttonsAreLaidOutFromTheRight() {
        test::TempTree tree;
        TfrmView view;
        view.setFileName(tree.fileWith("l.txt", "x\n"));
        view.resize(800, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto* panel = child<QWidget>(view, "Panel1");
        auto* close = child<QPushButton>(view, "btClose");
        QCOMPARE(close->geometry().right() + 1, panel->width() - 15);
        const char* order[] = {"btClose", "btStrings", "BitBtn1", "btPrint", "btFont"};
        for (int i = 1; i < 5; ++i) {
            auto* right = child<QPushButton>(view, order[i - 1]);
            auto* left = child<QPushButton>(view, order[i]);
            QCOMPARE(left->geometry().right() + 1 + 5, right->geometry().left());
        }
        QCOMPARE(child<QPushButton>(view, "btStrings")->toolTip(),
                 QStringLiteral("Peek inside file for ASCII strings"));
        view.resize(1000, 400);
        QTRY_COMPARE(close->geometry().right() + 1, panel->width() - 15);
    }

    void keepsItsPlacement() {
        test::TempTree tree;
        const QString ini = settingsFolder() + QStringLiteral("/vantrel.ini");
        QFile::remove(ini);
        {
            TfrmView view;
            view.setFileName(tree.fileWith("p.txt", "x\n"));
            view.show();
            view.setGeometry(120, 80, 640, 400);
        }
        IniFile file(ini);
        const QString stored =
            file.readString(QCoreApplication::applicationFilePath(), QStringLiteral("frmView"));
        QVERIFY2(stored.contains(QStringLiteral("120 80 760 480")), qPrintable(stored));
    }

    void findDialogIsOneForTheProgram() {
        TFindDlg& lazy = TFindDlg::instance();
        QCOMPARE(&TFindDlg::instance(), &lazy);
        QCOMPARE(lazy.windowTitle(), QStringLiteral("Find"));
        QVERIFY(lazy.RadioButton1->isChecked());
        TFindDlg mine;
        TFindDlg::install(&mine);
        QCOMPARE(&TFindDlg::instance(), &mine);
        TFindDlg::install(nullptr);
        QVERIFY(&TFindDlg::instance() != &mine);
    }
};

VANTREL_QTEST_MAIN(TestView)
#include "tst_view.moc"
