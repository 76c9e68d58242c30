// The file viewer window driven as a user would: opening, modes, search, go
// to line, tabs, clipboard, strings, and files it cannot show normally.
#include "browse/ui/FileViewer.h"
#include "browse/ui/TFindDlg.h"
#include "browse/ui/TfrmView.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QtTest>
#include <QtWidgets>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

QByteArray numberedLines(int count) {
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += "line " + QByteArray::number(i) + " of the file\r\n";
    return out;
}

template <class T = QAction>
T* child(const QWidget& w, const char* name) {
    return w.findChild<T*>(QLatin1String(name));
}

// Searches through the find dialog with a text and options.
void find(TfrmView& view, ScriptedDialogs& dialogs, const QString& text, bool backward = false,
          bool matchCase = false, bool global = false) {
    dialogs.dialogHandlers.push_back([=](QDialog& dialog) {
        auto& find = dynamic_cast<TFindDlg&>(dialog);
        find.Edit1->setText(text);
        (backward ? find.RadioButton2 : find.RadioButton1)->setChecked(true);
        find.CheckBox1->setChecked(matchCase);
        find.CheckBox2->setChecked(global);
        return int(QDialog::Accepted);
    });
    view.Find1Click();
}

// Pages in a PDF written by Qt's PDF printer.
int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = f.readAll();
    int pages = 0;
    for (const char* end : {"\n", "\r", ">", "/"})
        pages += int(pdf.count(QByteArray("/Type /Page") + end));
    return pages;
}

QString copied(FileViewer* viewer) {
    QGuiApplication::clipboard()->clear();
    viewer->copyToClipboard();
    return QGuiApplication::clipboard()->text();
}

}  // namespace

class TestView : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<test::TempTree> m_tree;
    std::unique_ptr<TfrmView> m_view;

    // A shown window on a new file with `content`.
    TfrmView& show(const QByteArray& name, const QByteArray& content) {
        m_view = std::make_unique<TfrmView>();
        m_view->setFileName(m_tree->fileWith(name, content));
        m_view->show();
        return *m_view;
    }

private Q_SLOTS:
    void init() {
        QGuiApplication::clipboard()->clear();
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_tree = std::make_unique<test::TempTree>();
    }
    void cleanup() {
        m_view.reset();
        m_tree.reset();
        m_dialogs.reset();
    }

    void opensMovesAndSwitchesToHex() {
        const QByteArray content = numberedLines(120);
        TfrmView& view = show("notes.txt", content);
        FileViewer* viewer = view.viewer();
        QCOMPARE(view.windowTitle(), u"View File : "_s + QString::fromUtf8(view.fileName()));
        QTRY_COMPARE(view.statusSection(1), u"Total: 120"_s);
        QCOMPARE(view.statusSection(0) + view.statusSection(2) + view.statusSection(3),
                 u"     1:1Top:     1Bytes: "_s + numberText(content.size()));
        QCOMPARE(viewer->lineText(119), u"line 120 of the file"_s);

        viewer->setFocus();
        QTest::keyClick(viewer, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(viewer->caret().line, qint64(119));
        QVERIFY(view.statusSection(2) != u"Top:     1"_s);
        // Go to line trims blanks, stays within the file and ignores what is
        // not a number.
        const QPair<QString, QString> goTo[] = {{u"50"_s, u"    50:1"_s},
                                                {u"fifty"_s, u"    50:1"_s},
                                                {u" 7 "_s, u"     7:1"_s},
                                                {u"5000"_s, u"   120:1"_s},
                                                {u"0"_s, u"     1:1"_s}};
        for (const auto& [answer, position] : goTo) {
            m_dialogs->texts.push_back(answer);
            view.GotoLine1Click();
            QCOMPARE(view.statusSection(0), position);
        }

        // The buttons and the menu item switch modes and stay in step.
        QTest::mouseClick(child<QRadioButton>(view, "rbHex"), Qt::LeftButton);
        QVERIFY(viewer->inHexMode() && child(view, "HexMode1")->isChecked());
        QVERIFY(viewer->lineText(0).startsWith(u"00000000  6C 69 6E 65 20 31 20 6F  66 20"_s));
        child(view, "HexMode1")->trigger();
        QVERIFY(!viewer->inHexMode() && child<QRadioButton>(view, "rbAscii")->isChecked());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    // Printing goes to a PDF here (no printer is set up): the whole file, or
    // only the selection when the print dialog says so; cancelled prints nothing.
    void printsAllOrTheSelection() {
        TfrmView& view = show("print.txt", numberedLines(300));
        QTRY_VERIFY(view.viewer()->lineCount().has_value());
        const QString pdf = QDir::home().filePath(u"vantrel-view.pdf"_s);
        // Pages printed when the print dialog answers `ok`; -1 for no file.
        auto print = [&](bool ok, bool selection) {
            QFile::remove(pdf);
            m_dialogs->printAnswers = {ok};
            m_dialogs->printSelection = {selection};
            view.Print1Click();
            return pdfPages(pdf);
        };
        QVERIFY(print(true, false) > 1);
        QVERIFY(m_dialogs->messages.isEmpty());
        view.viewer()->moveCaretTo(10, 2);
        view.viewer()->setFocus();
        QTest::keyClick(view.viewer(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(print(true, true), 1);
        QCOMPARE(print(false, false), -1);
    }

    void searches() {
        TfrmView& view = show("find.txt", "alpha Beta gamma\nbeta ALPHA\r\nend beta\n");
        FileViewer* viewer = view.viewer();
        QTRY_VERIFY(viewer->lineCount().has_value());
        find(view, *m_dialogs, u"beta"_s);
        QTRY_COMPARE(viewer->caret(), (FileViewer::Position{0, 10}));
        QCOMPARE(copied(viewer), u"Beta"_s);
        // Find next goes on forward, never round the end.
        for (FileViewer::Position next : {FileViewer::Position{1, 4}, FileViewer::Position{2, 8}}) {
            view.FindNext1Click();
            QTRY_COMPARE(viewer->caret(), next);
        }
        view.FindNext1Click();
        QTRY_COMPARE(m_dialogs->messageTexts(), QStringList{u"Search string 'beta' not found"_s});
        QCOMPARE(m_dialogs->messages[0].kind, BoxKind::Information);

        find(view, *m_dialogs, u"ALPHA"_s, true, true);
        QTRY_COMPARE(copied(viewer), u"ALPHA"_s);  // in line 2, not "alpha" in line 1
        viewer->moveCaretTo(2, 5);
        find(view, *m_dialogs, u"gamma"_s, false, false, true);
        QTRY_COMPARE(viewer->caret(), (FileViewer::Position{0, 16}));
        // In hex mode a match selects its bytes in the row.
        view.rbHexClick();
        viewer->moveCaretTo(0, 0);
        find(view, *m_dialogs, u"END"_s);
        QTRY_VERIFY(viewer->hasSelection());
        QCOMPARE(copied(viewer), u"65 6E 64"_s);  // bytes 29 to 31, in row 1
        QCOMPARE(m_dialogs->messages.size(), 1);
    }

    void peeksAtStrings() {
        const QByteArray elf("\177ELF\0\0Hello world\0Hello\0version 2.7.1\0", 38);
        TfrmView& view = show("prog.bin", elf + QByteArray(3000, '\x01') + "Copyright holder");
        QString stringsFile;
        QStringList lines;
        m_dialogs->dialogHandlers.push_back([&](QDialog& dialog) {
            auto& strings = dynamic_cast<TfrmView&>(dialog);
            stringsFile = QString::fromUtf8(strings.viewer()->fileName());
            if (!QTest::qWaitFor([&] { return strings.viewer()->lineCount().has_value(); }))
                return -1;  // never counted: the lines stay empty and the test fails
            for (qint64 i = 0; i < *strings.viewer()->lineCount(); ++i)
                lines << strings.viewer()->lineText(i);
            lines << (child<QPushButton>(strings, "btStrings")->isHidden() ? u"-"_s : u"+"_s);
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(child<QPushButton>(view, "btStrings"), Qt::LeftButton);
        QTRY_COMPARE(m_dialogs->dialogTitles.size(), 1);
        // The last run has no end, so it is not a string.
        // "-": the window hides its mode controls.
        QCOMPARE(lines, (QStringList{u"Hello world"_s, u"version 2"_s, u"-"_s}));
        QVERIFY(stringsFile.startsWith(QDir::tempPath() + u"/str"_s));
        QVERIFY(!QFile::exists(stringsFile));  // removed after the window closed
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void copiesTheSelectionAndExpandsTabs() {
        const QByteArray content = "first\tline\r\nsecond line\nthird caf\xc3\xa9";
        TfrmView& view = show("copy.txt", content);
        FileViewer* viewer = view.viewer();
        QTRY_VERIFY(viewer->lineCount().has_value());
        view.SelectAll1Click();
        QVERIFY(child(view, "Copy1")->isEnabled());
        view.Copy1Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8(content));
        // Shift and the arrows select by columns; the copy keeps the tab.
        viewer->moveCaretTo(0, 3);
        viewer->setFocus();
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(viewer, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(viewer, Qt::Key_Down, Qt::ShiftModifier);  // the tab is 3 columns
        QCOMPARE(copied(viewer), u"st\tline\r\nsecond li"_s);
        // Tab sizes run from 1 to 64; anything else is ignored.
        m_dialogs->texts = {u"3"_s, u"four"_s, u"0"_s, u"65"_s};
        for (int i = 0; i < 4; ++i)
            view.TabSize1Click();
        QCOMPARE(viewer->lineText(0), u"first line"_s);
        child(view, "TabExpansion1")->trigger();
        QCOMPARE(viewer->lineText(0), u"first\u00BBline"_s);
    }

    void oneLineOf100MB() {
        TfrmView& view = show("one.line", QByteArray(100 * 1024 * 1024, 'w'));
        // Shown at once in pieces of 1,024 bytes, counted meanwhile.
        QCOMPARE(view.statusSection(1), u"Total: ?"_s);
        QCOMPARE(view.viewer()->lineText(0), QString(1024, u'w'));
        // Going to a line not counted yet gets there once the count does.
        m_dialogs->texts.push_back(u"102400"_s);
        view.GotoLine1Click();
        QTRY_COMPARE_WITH_TIMEOUT(view.statusSection(0), u"102400:1"_s, 60000);
        QCOMPARE(view.statusSection(1), u"Total: 102,400"_s);
        // A copy stops at 16 MiB and says so.
        view.SelectAll1Click();
        view.Copy1Click();
        QCOMPARE(m_dialogs->messageTexts(),
                 QStringList{u"Only the first 16,777,216 bytes of the selection were copied"_s});
        QCOMPARE(qint64(QGuiApplication::clipboard()->text().size()), FileViewer::kMaxCopyBytes);
    }

    void emptyAndBinaryFilesOpenSafely() {
        TfrmView& empty = show("empty", {});
        QTRY_COMPARE(empty.statusSection(1), u"Total: 0"_s);
        QVERIFY(!child(empty, "Find1")->isEnabled() && !empty.grab().isNull());
        TfrmView& binary = show("binary", QByteArray("\0\x01\xff\xfe\x80\x1b[2J\x07\n\x00", 12));
        QTRY_COMPARE(binary.statusSection(1), u"Total: 2"_s);
        QVERIFY(!binary.grab().isNull());
        for (QChar c : binary.viewer()->lineText(0) + binary.viewer()->lineText(1))
            QVERIFY(c.unicode() >= 0x20);  // no control characters
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void fileItCannotOpenShowsTheErrorAndTheWindowStays_data() {
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << false;
        QTest::newRow("unreadable") << true;
    }
    void fileItCannotOpenShowsTheErrorAndTheWindowStays() {
        QFETCH(bool, exists);
        test::PermissionChecks checks;
        if (exists && !checks.enforced())
            QSKIP("permission checks cannot be enforced here");
        const QByteArray path =
            exists ? m_tree->fileWith("secret.txt", "top secret\n") : m_tree->path("gone.txt");
        if (exists)
            m_tree->chmod("secret.txt", 0);
        TfrmView view;
        view.setFileName(path);
        view.show();
        const QString error = u"Could not open file "_s + QString::fromUtf8(path);
        QTRY_COMPARE(m_dialogs->messageTexts(), QStringList{error});
        QCOMPARE(m_dialogs->messages[0].kind, BoxKind::Error);
        QVERIFY(view.isVisible() && !view.viewer()->isOpen() && !child(view, "Find1")->isEnabled());
        // Peeking at its strings: the error again, then the (empty) strings window.
        view.btStringsClick();
        QTRY_COMPARE(m_dialogs->dialogTitles.size(), 1);
        QCOMPARE(m_dialogs->messageTexts(), (QStringList{error, error}));
    }
};

VANTREL_QTEST_MAIN(TestView)
#include "tst_view.moc"
