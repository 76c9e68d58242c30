// The folder-hogs window end to end on real fixture trees: both modes, the
// status line, sorting, print, clipboard after an abort, Browse through the
// program's seam, the resource limit, and deleting or trashing folders (the
// confirmation's account of the tree, refusals, folders that are not gone
// afterwards, a folder replaced by a link).

#include "dirhog/FolderSurvey.h"
#include "dirhog/ui/TfrmDirHog.h"
#include "platform/Drives.h"
#include "platform/Trash.h"
#include "results/ResultGridModel.h"
#include "results/Savings.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/TfrmDelDirectory.h"
#include "scan/ui/DriveCheckList.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPrinterInfo>
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

qint64 ownSize(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 ? qint64(st.st_size) : -1;
}

// The program's services as a test sees them: a browser that records where
// it was asked to open.
class FakeServices : public ToolServices {
public:
    bool browser = true;
    mutable QList<BrowseRequest> browsed;
    QWidget* longLived(LongLivedWindow) const override { return nullptr; }
    bool canBrowse() const override { return browser; }
    void browse(QWidget*, const BrowseRequest& request) const override { browsed.append(request); }
    bool showHelp(int, QWidget*) const override { return false; }
};

// Answers the folder confirmation with one of its buttons, once it has
// counted the tree; keeps what it said about the tree.
std::function<int(QDialog&)> confirmWith(QPushButton* TfrmDelDirectory::*button,
                                         QString* contents = nullptr) {
    return [button, contents](QDialog& d) {
        auto& confirm = dynamic_cast<TfrmDelDirectory&>(d);
        if (!QTest::qWaitFor([&confirm] { return confirm.contentsCounted(); }, 10000))
            return int(QDialog::Rejected);
        if (contents)
            *contents = confirm.lblContents->text();
        QTest::mouseClick(confirm.*button, Qt::LeftButton);
        return confirm.result();
    };
}

}  // namespace

class TestDirHog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_files = std::make_unique<test::TempTree>();
        m_home = std::make_unique<test::TempTree>();
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", m_home->root());
        setDriveListOverride(QList<DriveEntry>{{m_files->root(), u"folder"_s}});
        m_dialogs = std::make_unique<ScriptedDialogs>();
    }

    void cleanup() {
        m_dialogs.reset();
        setDriveListOverride(std::nullopt);
        qputenv("HOME", m_oldHome);
        m_files.reset();
        m_home.reset();
    }

    void opensIdleAndSurveysMainFolders() {
        m_files->file("small/a.bin", 1000);
        m_files->file("big/a.bin", 5000);
        m_files->file("big/sub/b.bin", 3000);
        m_files->file("loose.bin", 1);
        auto w = openWindow();
        QCOMPARE(w->windowTitle(), u"Folder Hogs"_s);
        for (QPushButton* b : {w->btDelete, w->btPrint, w->btClip, w->btBrowse, w->btAbort})
            QVERIFY2(!b->isVisible(), qPrintable(b->objectName()));
        QVERIFY(w->btTop->isEnabled() && w->btAll->isEnabled());
        // No drive ticked: neither mode can start.
        w->pckDrive->setTickedRoots({});
        QVERIFY(!w->btTop->isEnabled() && !w->btAll->isEnabled());
        w->pckDrive->setTickedRoots({m_files->root()});

        QVERIFY(survey(*w, SurveyMode::MainFolders));
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(w->pnlScan->text(), u"Folders : 2"_s);
        QCOMPARE(rowPaths(*w), paths({"big", "small"}));
        const ResultGridModel& m = *w->grid->gridModel();
        const qint64 big = 8000 + ownSize(m_files->path("big")) + ownSize(m_files->path("big/sub"));
        QCOMPARE(m.rowTexts(1).mid(0, 4),
                 (QStringList{numberText(big), m.cellText(1, 1), "2", "1"}));
        QCOMPARE(m.cellText(1, 5), QFile::decodeName(m_files->path("big")));
        for (QPushButton* b : {w->btDelete, w->btPrint, w->btClip})
            QVERIFY2(b->isVisible(), qPrintable(b->objectName()));
        // Without a browser in the program there is no Browse.
        QVERIFY(!w->btBrowse->isVisible());
        QCOMPARE(w->grid->checkedSortKey(), 0);
    }

    // The status counts the folder rows; "No files found." only for none.
    void statusCountsTheRows_data() {
        QTest::addColumn<QByteArrayList>("folders");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("noFiles");
        QTest::newRow("one main folder")
            << QByteArrayList{"only"} << int(SurveyMode::MainFolders) << u"Folders : 1"_s << false;
        QTest::newRow("no main folder")
            << QByteArrayList{} << int(SurveyMode::MainFolders) << u"Folders : 0"_s << true;
        QTest::newRow("all: the root and one folder")
            << QByteArrayList{"only"} << int(SurveyMode::AllFolders) << u"Folders : 2"_s << false;
        QTest::newRow("all: an empty root")
            << QByteArrayList{} << int(SurveyMode::AllFolders) << u"Folders : 0"_s << true;
    }
    void statusCountsTheRows() {
        QFETCH(QByteArrayList, folders);
        QFETCH(int, mode);
        QFETCH(QString, status);
        QFETCH(bool, noFiles);
        for (const QByteArray& f : folders)
            m_files->mkdir(f);
        auto w = openWindow();
        QVERIFY(survey(*w, SurveyMode(mode)));
        QCOMPARE(w->pnlScan->text(), status);
        QCOMPARE(m_dialogs->messageTexts(),
                 noFiles ? QStringList{u"No files found."_s} : QStringList{});
        QCOMPARE(w->btDelete->isVisible(), !noFiles);
        QCOMPARE(w->btClip->isVisible(), !noFiles);
    }

    // A folder the user may not read: the survey goes on, says once which
    // folders it could not read, and still lists the rest.
    void anUnreadableFolderIsToldAndTheRestListed() {
        m_files->file("open/a.bin", 10);
        m_files->file("closed/inner/b.bin", 20);
        m_files->chmod("closed/inner", 0);
        test::PermissionChecks checks;
        if (!checks.enforced())
            QSKIP("permission checks cannot be enforced");
        auto w = openWindow();
        QVERIFY(survey(*w, SurveyMode::AllFolders));
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages[0].kind, BoxKind::Warning);
        QVERIFY(m_dialogs->messages[0].details.contains(
            QFile::decodeName(m_files->path("closed/inner"))));
        QCOMPARE(w->pnlScan->text(), u"Folders : 3"_s);
        QVERIFY(rowPaths(*w).contains(m_files->path("closed")));
    }

    void sortsByTheMenuAndByTitleClicks() {
        m_files->file("few-but-big/a.bin", 90000);
        for (const char* f : {"many/1", "many/2", "many/3", "many/d/4"})
            m_files->file(f, 10);
        m_files->file("mid/1", 20);
        m_files->file("mid/2", 20);
        auto w = openWindow();
        QVERIFY(survey(*w, SurveyMode::MainFolders));
        QCOMPARE(rowPaths(*w), paths({"few-but-big", "many", "mid"}));
        QHeaderView* titles = w->grid->horizontalHeader();
        const auto clickTitle = [&](int column) {
            const QPoint at(titles->sectionViewportPosition(column) + 5, titles->height() / 2);
            QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, at);
        };
        clickTitle(2);  // # Files: most first
        QCOMPARE(rowPaths(*w), paths({"many", "mid", "few-but-big"}));
        QCOMPARE(w->grid->checkedSortKey(), 1);
        clickTitle(2);  // again: fewest first
        QCOMPARE(rowPaths(*w), paths({"few-but-big", "mid", "many"}));
        clickTitle(1);  // "% Used" does not sort
        QCOMPARE(rowPaths(*w), paths({"few-but-big", "mid", "many"}));
        w->grid->sortAction(2)->trigger();  // # Sub-folders: most first
        QCOMPARE(rowPaths(*w).first(), m_files->path("many"));
        w->grid->sortAction(4)->trigger();  // Name: ascending first
        QCOMPARE(rowPaths(*w), paths({"few-but-big", "many", "mid"}));
        w->grid->sortAction(0)->trigger();  // Size: the survey left it ascending
        QCOMPARE(rowPaths(*w), paths({"mid", "many", "few-but-big"}));
    }

    // Abort shows the rows gathered so far and heads the clipboard text.
    void clipboardAfterAnAbort() {
        m_files->file("a/x.bin", 5);
        auto w = openWindow();
        QSignalSpy finished(&w->scanFrame(), &ScanFrame::finished);
        w->btAll->click();
        QVERIFY(w->scanFrame().isRunning());
        QVERIFY(!w->btTop->isEnabled() && !w->btClose->isEnabled() && w->btAbort->isVisible());
        QVERIFY(!w->close());
        w->btAbort->click();
        QCOMPARE(m_dialogs->messageTexts().value(0), u"LIST INCOMPLETE ... ABORTED BY USER"_s);
        QVERIFY(!finished.isEmpty() || finished.wait(60000));
        QVERIFY(w->btTop->isEnabled() && w->btClose->isEnabled());
        const QStringList lines = w->clipboardText().split(u"\r\n"_s);
        QCOMPARE(lines.value(0), u"LIST INCOMPLETE ... ABORTED BY USER"_s);
        QCOMPARE(lines.size(), w->grid->rowCounter() + 1);
        w->btClipClick();
        QCOMPARE(QGuiApplication::clipboard()->text(), w->clipboardText());

        // A survey that ran to its end: one line per folder, largest first.
        m_dialogs->messages.clear();
        QVERIFY(survey(*w, SurveyMode::MainFolders));
        const ResultGridModel& m = *w->grid->gridModel();
        QCOMPARE(w->clipboardText(), m.rowTexts(1).join(u'\t'));
    }

    void aFullSurveyStopsWithTheResourceMessage() {
        for (const char* f : {"a/x", "b/x", "c/x"})
            m_files->file(f, 1);
        auto w = openWindow();
        w->setFolderCapacity(2);
        QVERIFY(survey(*w, SurveyMode::MainFolders));
        QCOMPARE(m_dialogs->messageTexts(), QStringList{surveyFullMessage()});
        QCOMPARE(m_dialogs->messages[0].kind, BoxKind::Warning);
        QCOMPARE(w->pnlScan->text(), u"Folders : 2"_s);
        // Not aborted by the user: no abort line.
        QVERIFY(!w->clipboardText().startsWith(u"LIST INCOMPLETE"_s));
    }

    void printsUnderItsTitle() {
        m_files->file("a/x", 1);
        auto w = openWindow();
        QVERIFY(survey(*w, SurveyMode::MainFolders));
        QCOMPARE(w->printTitle(),
                 "Folder hogs on drive(s) " + QFile::decodeName(m_files->root()) + " ");
        const QString pdf = QDir::home().filePath(u"vantrel-report.pdf"_s);
        m_dialogs->printAnswers = {false};
        w->btPrint->click();
        QVERIFY(!QFile::exists(pdf));
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is set up here; the test would print on it");
        m_dialogs->printAnswers = {true};
        w->btPrint->click();
        QVERIFY(QFile::exists(pdf));
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void browseOpensTheRowsFolder() {
        m_files->file("caf\xE9/x", 1);
        FakeServices services;
        auto w = openWindow(&services);
        QVERIFY(survey(*w, SurveyMode::MainFolders));
        QVERIFY(w->btBrowse->isVisible());
        w->btBrowse->click();
        QCOMPARE(services.browsed.size(), 1);
        QCOMPARE(services.browsed[0].folder, m_files->path("caf\xE9"));
        QCOMPARE(services.browsed[0].file, QByteArray());
        QCOMPARE(services.browsed[0].mask, u"*.*"_s);
    }

    void shrinksAndRestoresTheTopPanel() {
        auto w = openWindow();
        const int height = w->Panel1->height();
        QVERIFY(height > 0);
        w->grid->shrinkAction()->trigger();
        QTRY_COMPARE(w->Panel1->height(), 0);
        QVERIFY(!w->grid->shrinkAction()->isEnabled() && w->grid->growAction()->isEnabled());
        w->grid->growAction()->trigger();
        QTRY_COMPARE(w->Panel1->height(), height);
    }

    // ---- Deleting folders ---------------------------------------------------------

    void deletesOrTrashesARowsFolder_data() {
        QTest::addColumn<bool>("recycle");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QString>("cell");
        QTest::newRow("delete") << false << false << u"DELETED"_s;
        QTest::newRow("recycle") << true << false << u"RECYCLED"_s;
        QTest::newRow("empty, recycle chosen") << true << true << u"DELETED"_s;
    }
    void deletesOrTrashesARowsFolder() {
        QFETCH(bool, recycle);
        QFETCH(bool, empty);
        QFETCH(QString, cell);
        if (empty)
            m_files->mkdir("victim");
        else
            m_files->file("victim/sub/a.bin", 1500);
        m_files->file("kept/b.bin", 10);
        auto w = openWindow();
        QVERIFY(survey(*w, SurveyMode::MainFolders));
        if (recycle)
            m_dialogs->answers = {Answer::Yes};  // the recycle-bin note
        m_dialogs->dialogHandlers.push_back(
            confirmWith(recycle ? &TfrmDelDirectory::btRecycle : &TfrmDelDirectory::btDelete));
        const int row = selectRow(*w, m_files->path("victim"));
        w->btDelete->click();
        QVERIFY(!exists(m_files->path("victim")));
        QCOMPARE(w->grid->gridModel()->cellText(row, 0), cell);
        QCOMPARE(m_dialogs->messageTexts(),
                 empty ? QStringList{}
                       : QStringList{(recycle ? u"Recycled"_s : u"Deleted"_s) +
                                     u" 1 files for a savings of 1,500 bytes."_s});
        const SavingsTotals totals = readSavings();
        QCOMPARE(recycle ? totals.recycledCount : totals.deletedCount, empty ? -1 : 1);

        // Once gone, a row cannot be deleted again; a double click asks too.
        m_dialogs->messages.clear();
        const QPoint at = w->grid->visualRect(w->grid->model()->index(row - 1, 5)).center();
        QTest::mouseClick(w->grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w->grid->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(m_dialogs->messageTexts(), QStringList{u"Folder already deleted/recycled"_s});
        QCOMPARE(m_dialogs->messages[0].kind, BoxKind::Error);
        QVERIFY(m_dialogs->dialogHandlers.empty() && exists(m_files->path("kept/b.bin")));
    }

    // In All Folders mode a row shows the folder's own files; the
    // confirmation says what the whole tree holds, and the rows of the
    // folders inside it go with it.
    void allFoldersConfirmationTellsTheWholeTree() {
        m_files->file("victim/own.bin", 100);
        m_files->file("victim/deep/a.bin", 1000);
        m_files->file("victim/deep/er/b.bin", 2000);
        m_files->file("other/c.bin", 1);
        auto w = openWindow();
        QVERIFY(survey(*w, SurveyMode::AllFolders));
        const int row = selectRow(*w, m_files->path("victim"));
        QCOMPARE(w->grid->gridModel()->cellText(row, 2), u"1"_s);
        QString contents;
        m_dialogs->dialogHandlers.push_back(confirmWith(&TfrmDelDirectory::btDelete, &contents));
        w->btDelete->click();
        QCOMPARE(contents, u"It holds 3 files and 2 sub-folders, 3,100 bytes in all."_s);
        const ResultGridModel& m = *w->grid->gridModel();
        for (const char* gone : {"victim", "victim/deep", "victim/deep/er"})
            QCOMPARE(m.cellText(selectRow(*w, m_files->path(gone)), 0), u"DELETED"_s);
        QVERIFY(m.cellText(selectRow(*w, m_files->path("other")), 0) != u"DELETED"_s);
        QCOMPARE(m_dialogs->messageTexts(),
                 QStringList{u"Deleted 3 files for a savings of 3,100 bytes."_s});
    }

    // A deletion that leaves something behind lists it, and the row keeps
    // its size: the folder is still there.
    void aFolderThatStaysIsNotMarked() {
        m_files->file("victim/a.bin", 10);
        m_files->file("victim/locked/in.bin", 20);
        auto w = openWindow();
        QVERIFY(survey(*w, SurveyMode::MainFolders));
        m_files->chmod("victim/locked", 0555);
        test::PermissionChecks checks;
        if (!checks.enforced())
            QSKIP("permission checks cannot be enforced");
        const int row = selectRow(*w, m_files->path("victim"));
        const QString before = w->grid->gridModel()->cellText(row, 0);
        m_dialogs->dialogHandlers.push_back(confirmWith(&TfrmDelDirectory::btDelete));
        w->btDelete->click();
        QVERIFY(exists(m_files->path("victim")));
        QCOMPARE(w->grid->gridModel()->cellText(row, 0), before);
        QCOMPARE(m_dialogs->messages.size(), 2);
        QCOMPARE(m_dialogs->messages[0].text, u"Deleted 1 files for a savings of 10 bytes."_s);
        QVERIFY(m_dialogs->messages[1].text.startsWith(u"Couldn't delete file - "_s));
    }

    // A folder replaced by a symbolic link between the survey and the
    // deletion: the link is never followed, nothing it points to goes.
    void aFolderReplacedByALinkIsNotFollowed() {
        m_files->file("victim/a.bin", 10);
        const QByteArray precious = m_files->file("precious/keep.bin", 99);
        auto w = openWindow();
        QVERIFY(survey(*w, SurveyMode::MainFolders));
        const int row = selectRow(*w, m_files->path("victim"));
        QVERIFY(QDir(QFile::decodeName(m_files->path("victim"))).removeRecursively());
        m_files->symlink("victim", m_files->path("precious"));
        QString contents;
        m_dialogs->dialogHandlers.push_back(confirmWith(&TfrmDelDirectory::btDelete, &contents));
        w->btDelete->click();
        QCOMPARE(contents, u"It is a symbolic link, not a folder."_s);
        QVERIFY(exists(precious));
        QVERIFY(w->grid->gridModel()->cellText(row, 0) != u"DELETED"_s);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages[0].kind, BoxKind::Error);
        QCOMPARE(readSavings().deletedCount, -1);
    }

    // The drive's root (a row in All Folders mode) and a folder that holds
    // the home folder are refused before anything is asked.
    void protectedRowsAreRefused_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("folder");  // "" is the root
        QTest::addColumn<bool>("homeInside");    // the home folder is home/ann of the drive
        QTest::addColumn<QString>("message");
        QTest::newRow("the drive's root") << int(SurveyMode::AllFolders) << QByteArray() << false
                                          << u"You cannot delete the root folder using Vantrel"_s;
        QTest::newRow("a folder above the home folder")
            << int(SurveyMode::MainFolders) << QByteArray("home") << true
            << u"You cannot delete the Windows folder using Vantrel"_s;
    }
    void protectedRowsAreRefused() {
        QFETCH(int, mode);
        QFETCH(QByteArray, folder);
        QFETCH(bool, homeInside);
        QFETCH(QString, message);
        m_files->file("home/ann/notes.txt", 5);
        if (homeInside)
            qputenv("HOME", m_files->path("home/ann"));
        auto w = openWindow();
        QVERIFY(survey(*w, SurveyMode(mode)));
        m_dialogs->messages.clear();
        selectRow(*w, folder.isEmpty() ? m_files->root() : m_files->path(folder));
        w->btDelete->click();
        QCOMPARE(m_dialogs->messageTexts(), QStringList{message});
        QVERIFY(m_dialogs->dialogTitles.isEmpty());
        QVERIFY(exists(m_files->path("home/ann/notes.txt")));
    }

    // Names that are not UTF-8 and a fifo: listed, counted, and deleted by
    // their exact bytes (the fifo is a "system file" the deletion asks about).
    void oddEntriesAreMeasuredAndDeleted() {
        m_files->file("caf\xE9/\xFF.bin", 10);
        m_files->fifo("caf\xE9/pipe");
        auto w = openWindow();
        QVERIFY(survey(*w, SurveyMode::MainFolders));
        const int row = selectRow(*w, m_files->path("caf\xE9"));
        QCOMPARE(w->grid->gridModel()->cellText(row, 2), u"2"_s);
        QCOMPARE(w->grid->gridModel()->cellText(row, 5), displayText(m_files->path("caf\xE9")));
        m_dialogs->answers = {Answer::Yes};
        m_dialogs->dialogHandlers.push_back(confirmWith(&TfrmDelDirectory::btDelete));
        w->btDelete->click();
        QCOMPARE(m_dialogs->questions.size(), 1);
        QVERIFY(m_dialogs->questions[0].contains(u" is a system file, "_s));
        QVERIFY(!exists(m_files->path("caf\xE9")));
        QCOMPARE(w->grid->gridModel()->cellText(row, 0), u"DELETED"_s);
    }

private:
    std::unique_ptr<TfrmDirHog> openWindow(const ToolServices* services = nullptr) {
        auto w = std::make_unique<TfrmDirHog>(services);
        w->pckDrive->setTickedRoots({m_files->root()});
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("the window was not exposed");
        return w;
    }

    // Clicks the mode's button and waits for the survey to end.
    static bool survey(TfrmDirHog& w, SurveyMode mode) {
        QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
        (mode == SurveyMode::MainFolders ? w.btTop : w.btAll)->click();
        return !finished.isEmpty() || (w.scanFrame().isRunning() && finished.wait(60000));
    }

    static QList<QByteArray> rowPaths(const TfrmDirHog& w) {
        QList<QByteArray> out;
        for (int row = 1; row <= w.grid->rowCounter(); ++row)
            out.append(w.grid->gridModel()->pathAt(row));
        return out;
    }

    QList<QByteArray> paths(const QList<QByteArray>& relative) const {
        QList<QByteArray> out;
        for (const QByteArray& p : relative)
            out.append(m_files->path(p));
        return out;
    }

    // Makes the row of `path` current; returns its grid row (0: none).
    static int selectRow(TfrmDirHog& w, const QByteArray& path) {
        const int row = int(rowPaths(w).indexOf(path)) + 1;
        if (row > 0)
            w.grid->setCurrentGridRow(row);
        return row;
    }

    std::unique_ptr<test::TempTree> m_files;
    std::unique_ptr<test::TempTree> m_home;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    QByteArray m_oldHome;
};

VANTREL_QTEST_MAIN(TestDirHog)
#include "tst_dirhog.moc"
