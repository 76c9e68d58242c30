// The quick-clean window end to end on real fixture trees: the pattern list
// and its editor, what a search lists (the extension match, hidden folders
// and files, names that are not UTF-8), the grid's family of buttons, and a
// search through to deletion with files that change between the scan and
// the deletion.

#include "browse/ui/TfrmDetails.h"
#include "browse/ui/TfrmView.h"
#include "clean/TempFileList.h"
#include "clean/ui/TfrmClean.h"
#include "clean/ui/TfrmTempFiles.h"
#include "platform/Drives.h"
#include "results/ResultGridModel.h"
#include "results/Savings.h"
#include "results/SortDirections.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/TfrmReallyDelete.h"
#include "scan/TypeLists.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/TypeListBox.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest/QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

bool exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// A program that has a browser: records where it was asked to open.
class FakeServices : public ToolServices {
public:
    QWidget* longLived(LongLivedWindow) const override { return nullptr; }
    bool canBrowse() const override { return true; }
    void browse(QWidget* parent, const BrowseRequest& request) const override {
        browsed.append({parent, request});
    }
    bool showHelp(int, QWidget*) const override { return false; }
    mutable QList<std::pair<QWidget*, BrowseRequest>> browsed;
};

}  // namespace

class TestClean : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_files = std::make_unique<test::TempTree>();
        m_home = std::make_unique<test::TempTree>();
        // Settings and trash of this test live in its own home.
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", m_home->root());
        setDriveListOverride(QList<DriveEntry>{{m_files->root(), u"folder"_s}});
        m_dialogs = std::make_unique<ScriptedDialogs>();
        IniFile ini = vantrelIni();
        QVERIFY(writePatternList(ini, kTempFilesSection, {"*.tmp", "*.bak", "*.old"}));
    }

    void cleanup() {
        m_dialogs.reset();
        setDriveListOverride(std::nullopt);
        qputenv("HOME", m_oldHome);
        m_files.reset();
        m_home.reset();
    }

    // As the window opens: every pattern line selected, only Start, Close,
    // Add/Delete and the lists to use; the list's menu selects or
    // deselects every line.
    void opensWithEveryLineSelected() {
        auto w = openWindow();
        QCOMPARE(w->windowTitle(), u"Find and delete temporary files"_s);
        QCOMPARE(w->btScan->toolTip(), u"Start scanning for temporary files"_s);
        QCOMPARE(w->PickList1->count(), 3);
        QCOMPARE(w->PickList1->selectedCount(), 3);
        for (QPushButton* b :
             {w->btPrint, w->btClip, w->btBrowse, w->btDetails, w->btAbort, w->btMark, w->btDelete})
            QVERIFY2(b->isHidden(), qPrintable(b->objectName()));
        QVERIFY(w->btScan->isEnabled() && w->btClose->isEnabled() && w->btEdit->isVisible());
        QVERIFY(w->pnlSel->text().isEmpty());

        QMenu* menu = w->PickList1->contextMenu();
        menu->findChild<QAction*>("actDeselectAll")->trigger();
        QCOMPARE(w->PickList1->selectedCount(), 0);
        menu->findChild<QAction*>("actSelectAll")->trigger();
        QCOMPARE(w->PickList1->selectedCount(), 3);

        // Start follows the ticks of the drive list.
        w->pckDrive->setTicked(0, false);
        QVERIFY(!w->btScan->isEnabled());
        w->pckDrive->setTicked(0, true);
        QVERIFY(w->btScan->isEnabled());

        // The grid as quick clean has it.
        const QStringList titles{"Size", "Modified", "Time", "Access", "FileName", "Type"};
        for (int c = 0; c < 6; ++c)
            QCOMPARE(w->grid->model()->headerData(c, Qt::Horizontal).toString(), titles[c]);
        QCOMPARE(w->grid->sortAction(2)->text(), u"&Access date"_s);
        QCOMPARE(w->grid->unmarkAllAction()->text(), u"Unmark All"_s);
    }

    // The extension match, not wildcards; hidden files are seen, hidden
    // folders are not entered; folders, links and fifos are not listed.
    void searchListsTheSelectedExtensionsOnly() {
        m_files->file("a.TMP", 300);
        m_files->file("b.bak", 500);
        m_files->file("c.old", 700);  // its line is not selected
        m_files->file("report.tmp.txt", 900);
        m_files->file(".hidden.tmp", 100);
        m_files->file(".cache/live.tmp", 1000);
        m_files->file("README", 10);
        m_files->file("sub/caf\xe9.tmp", 200);
        m_files->file("dir.tmp/inner.txt", 5);
        m_files->fifo("pipe.tmp");
        m_files->symlink("link.bak", "b.bak");
        auto w = openWindow();
        // The size key's direction as the program starts with it (the flags
        // live for the whole run, other tests may have flipped it).
        w->grid->gridModel()->sortDirections().set(0, true);
        selectOnly(*w, {"*.tmp", "*.bak"});
        QVERIFY(runScan(*w));
        QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messageTexts().join('|')));
        // Largest first.
        QCOMPARE(rowPaths(*w), paths({"b.bak", "a.TMP", "sub/caf\xe9.tmp", ".hidden.tmp"}));
        QCOMPARE(w->grid->rowCounter(), 4);
        QCOMPARE(w->pnlSel->text(), u"4 tempfiles found"_s);
        QCOMPARE(w->grid->checkedSortKey(), 0);
        for (QPushButton* b : {w->btMark, w->btDelete, w->btPrint, w->btClip, w->btDetails})
            QVERIFY2(b->isVisible(), qPrintable(b->objectName()));
        QVERIFY(w->btBrowse->isHidden());  // no browser in this program
        QVERIFY(!w->btDelete->isEnabled());

        // The clipboard: the title row, then every row in grid order.
        w->btClip->click();
        const QStringList lines = QGuiApplication::clipboard()->text().split(u"\r\n"_s);
        QCOMPARE(lines.first(), u"Size\tModified\tTime\tAccess\tFileName\tType"_s);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[1].section('\t', 0, 0), u"500"_s);
        QCOMPARE(lines[1].section('\t', 4, 4), QFile::decodeName(m_files->path("b.bak")));
        QCOMPARE(w->printTitle(),
                 u"Temporary files on drive(s) "_s + QFile::decodeName(m_files->root()) + u" "_s);

        // A click on the Size title twice: smallest first, then largest.
        const int x = w->grid->horizontalHeader()->sectionViewportPosition(0) + 5;
        QTest::mouseClick(w->grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(x, 5));
        QCOMPARE(rowPaths(*w).first(), m_files->path(".hidden.tmp"));
        QTest::mouseClick(w->grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(x, 5));
        QCOMPARE(rowPaths(*w).first(), m_files->path("b.bak"));
    }

    // Lines that can match nothing do not count as a selection.
    void startNeedsALineThatCanMatch() {
        IniFile ini = vantrelIni();
        QVERIFY(writePatternList(ini, kTempFilesSection, {"*", "*.tmp"}));
        m_files->file("README", 10);
        m_files->file("x.tmp", 10);
        auto w = openWindow();
        selectOnly(*w, {});
        w->btScan->click();
        selectOnly(*w, {"*"});
        w->btScan->click();
        QCOMPARE(m_dialogs->messageTexts(), QStringList(2, "Select at least one file extension"));
        QCOMPARE(m_dialogs->messages.first().kind, BoxKind::Error);
        QVERIFY(!w->scanFrame().isRunning());

        // "*" with "*.tmp": the file without a point is not listed.
        w->PickList1->setAllChosen(true);
        QVERIFY(runScan(*w));
        QCOMPARE(rowPaths(*w), paths({"x.tmp"}));
    }

    // Add/Delete opens the editor on the same settings; afterwards the list
    // is read again with no line selected.
    void addDeleteOpensTheEditorAndReloads() {
        m_dialogs->dialogHandlers.push_back([](QDialog& d) {
            auto& editor = dynamic_cast<TfrmTempFiles&>(d);
            editor.btDefaults->click();
            editor.btClose->click();
            return editor.result();
        });
        auto w = openWindow();
        w->btEdit->click();
        QCOMPARE(m_dialogs->dialogTitles, QStringList{u"Temporary file extensions"_s});
        QCOMPARE(w->PickList1->count(), 6);  // "*.old", "*.tmp" and "*.bak" were there
        QCOMPARE(w->PickList1->selectedCount(), 0);
        QCOMPARE(readPatternList(vantrelIni(), kTempFilesSection, {}).size(), 6);
        w->btScan->click();
        QCOMPARE(m_dialogs->messageTexts(), QStringList{u"Select at least one file extension"_s});
    }

    // Two roots, the first without a match: the count and the rows are the
    // second's. None at all: "No files found.".
    void severalRootsAndNone() {
        test::TempTree second;
        second.file("one.tmp", 1);
        second.file("two.tmp", 2);
        second.file("three.bak", 3);
        m_files->file("nothing.txt", 1);
        setDriveListOverride(
            QList<DriveEntry>{{m_files->root(), u"folder"_s}, {second.root(), u"folder"_s}});
        auto w = openWindow();
        w->pckDrive->setTickedRoots({m_files->root()});
        QVERIFY(runScan(*w));
        QCOMPARE(m_dialogs->messageTexts(), QStringList{u"No files found."_s});
        QCOMPARE(m_dialogs->messages.first().kind, BoxKind::Information);
        QVERIFY(w->btMark->isHidden() && w->btPrint->isHidden());

        w->pckDrive->setTickedRoots({m_files->root(), second.root()});
        QVERIFY(runScan(*w));
        QCOMPARE(w->pnlSel->text(), u"3 tempfiles found"_s);
        QCOMPARE(w->grid->rowCounter(), 3);
        QCOMPARE(w->grid->gridRowCount(), 4);
        // Every scan shows the largest first, not the order the last one
        // left the size key in.
        for (int scan = 0; scan < 2; ++scan) {
            QVERIFY(runScan(*w));
            QCOMPARE(rowPaths(*w).first(), second.path("three.bak"));
        }
    }

    // Marks, then files that change before the deletion: one grows after
    // the scan and again after its mark (and is kept), one vanishes after
    // its mark. The totals grow by what really went; a name that is not
    // UTF-8 goes too.
    void markAndDeleteWhatReallyWent() {
        m_files->file("grows.tmp", 100);
        m_files->file("caf\xe9.bak", 200);
        m_files->file("goes.tmp", 300);
        m_files->file("stays.tmp", 400);
        auto w = openWindow();
        QVERIFY(runScan(*w));
        QCOMPARE(w->grid->rowCounter(), 4);
        m_files->file("grows.tmp", 5000);
        for (const char* name : {"grows.tmp", "caf\xe9.bak", "goes.tmp"}) {
            w->grid->setCurrentGridRow(rowOf(*w, name));
            w->btMark->click();
        }
        QCOMPARE(w->pnlSel->text(), u"3 files 5,500 bytes"_s);
        QVERIFY(w->btDelete->isEnabled());
        m_files->file("grows.tmp", 9000);
        QVERIFY(::unlink(m_files->path("goes.tmp").constData()) == 0);

        QList<QByteArray> listed;
        m_dialogs->answers = {Answer::Yes};
        m_dialogs->dialogHandlers.push_back([&listed](QDialog& d) {
            auto& confirm = dynamic_cast<TfrmReallyDelete&>(d);
            listed = confirm.paths();
            QTest::mouseClick(confirm.btDelete, Qt::LeftButton);
            return confirm.result();
        });
        w->btDelete->click();
        QCOMPARE(listed.size(), 3);
        // The file that grew after its mark is no longer the file marked:
        // it stays, and the window says so.
        QVERIFY(exists(m_files->path("grows.tmp")) && !exists(m_files->path("caf\xe9.bak")));
        QVERIFY(m_dialogs->messageTexts().contains(
            u"Not deleted, because it changed since it was listed - "_s +
            QFile::decodeName(m_files->path("grows.tmp"))));
        QVERIFY(exists(m_files->path("stays.tmp")));
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QVERIFY(!w->isVisible());
        const SavingsTotals totals = readSavings();
        QCOMPARE(totals.deletedCount, 1);
        QCOMPARE(totals.deletedBytes, 200);
    }

    // View, Details (menu and button) and Run act on the row's exact path,
    // also for a name that is not UTF-8.
    void viewDetailsAndRunTakeTheExactPath() {
        m_files->file("caf\xe9.tmp", 10);
        auto w = openWindow();
        QVERIFY(runScan(*w));
        QList<QByteArray> opened;
        const auto record = [&](QDialog& d) {
            if (auto* view = qobject_cast<TfrmView*>(&d))
                opened.append("view " + view->fileName());
            else
                opened.append("details " + dynamic_cast<TfrmDetails&>(d).fileName());
            return int(QDialog::Rejected);
        };
        m_dialogs->dialogHandlers = {record, record, record};
        w->grid->viewAction()->trigger();
        w->grid->detailsAction()->trigger();
        w->btDetails->click();
        const QByteArray path = m_files->path("caf\xe9.tmp");
        QCOMPARE(opened, (QList<QByteArray>{"view " + path, "details " + path, "details " + path}));
        QList<QByteArray> run;
        w->grid->setOpener([&run](const QByteArray& p) {
            run.append(p);
            return true;
        });
        w->grid->runAction()->trigger();
        QCOMPARE(run, QList<QByteArray>{path});
    }

    // A cancelled confirmation keeps the window; Browse opens the program's
    // browser at the row's folder and file; the placement is kept under the
    // program's section, key "frmMods".
    void browseCancelAndPlacement() {
        m_files->file("sub/x.tmp", 10);
        FakeServices services;
        auto w = std::make_unique<TfrmClean>(&services);
        w->pckDrive->setTickedRoots({m_files->root()});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(runScan(*w));
        QVERIFY(w->btBrowse->isVisible());
        w->btBrowse->click();
        QCOMPARE(services.browsed.size(), 1);
        QCOMPARE(services.browsed[0].first, w.get());
        QCOMPARE(services.browsed[0].second.folder, m_files->path("sub"));
        QCOMPARE(services.browsed[0].second.file, QByteArray("x.tmp"));
        QCOMPARE(services.browsed[0].second.mask, u"*.*"_s);

        w->grid->Markall1Click();
        m_dialogs->dialogHandlers.push_back([](QDialog& d) {
            auto& confirm = dynamic_cast<TfrmReallyDelete&>(d);
            QTest::mouseClick(confirm.btClose, Qt::LeftButton);
            return confirm.result();
        });
        w->btDelete->click();
        QVERIFY(w->isVisible());
        QVERIFY(exists(m_files->path("sub/x.tmp")));
        w->btClose->click();
        w.reset();
        QVERIFY(!vantrelIni()
                     .readString(QCoreApplication::applicationFilePath(), u"frmMods"_s)
                     .isEmpty());
    }

private:
    std::unique_ptr<TfrmClean> openWindow() {
        auto w = std::make_unique<TfrmClean>(nullptr);
        w->pckDrive->setTickedRoots({m_files->root()});
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("the window was not exposed");
        return w;
    }

    // Selects exactly the lines of the given patterns.
    void selectOnly(TfrmClean& w, const QStringList& patterns) {
        w.PickList1->clearSelection();
        for (int i = 0; i < w.PickList1->count(); ++i) {
            if (patterns.contains(patternOfLine(w.PickList1->item(i)->text())))
                w.PickList1->item(i)->setSelected(true);
        }
    }

    // Clicks Start and waits for the scan to end; false when no scan started.
    bool runScan(TfrmClean& w) {
        QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
        w.btScan->click();
        return !finished.isEmpty() || (w.scanFrame().isRunning() && finished.wait(60000));
    }

    QList<QByteArray> rowPaths(const TfrmClean& w) const {
        QList<QByteArray> out;
        for (int row = 1; row <= w.grid->rowCounter(); ++row)
            out.append(w.grid->gridModel()->pathAt(row));
        return out;
    }

    int rowOf(const TfrmClean& w, const QByteArray& relative) const {
        return int(rowPaths(w).indexOf(m_files->path(relative))) + 1;
    }

    QList<QByteArray> paths(const QList<QByteArray>& relative) const {
        QList<QByteArray> out;
        for (const QByteArray& p : relative)
            out.append(m_files->path(p));
        return out;
    }

    std::unique_ptr<test::TempTree> m_files;
    std::unique_ptr<test::TempTree> m_home;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    QByteArray m_oldHome;
};

VANTREL_QTEST_MAIN(TestClean)
#include "tst_clean.moc"
