// The folder browser as a user works it, on fixture trees: where it opens,
// the list and its status texts, sorting, marking, deleting files and
// folders, the protections, and the bad inputs: unreadable folders, a
// folder deleted while it is shown, names that are not UTF-8, fifos and
// sockets, links to folders and hidden entries.

#include "browse/BrowseListing.h"
#include "browse/FolderTreeModel.h"
#include "browse/ui/TfrmBrowse.h"
#include "browse/ui/TfrmDetails.h"
#include "browse/ui/TfrmView.h"
#include "platform/Drives.h"
#include "results/FolderProtection.h"
#include "results/ResultGridModel.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/TfrmDelDirectory.h"
#include "results/ui/TfrmReallyDelete.h"
#include "scan/ui/TfrmWildCard.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"
#include "text/ui/ElidedLabel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
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

bool waitListed(TfrmBrowse& w) {
    return QTest::qWaitFor([&w] { return !w.isListing(); }, 20000);
}

QStringList rowNames(const TfrmBrowse& w) {
    QStringList out;
    const ResultGridModel* model = w.grid->gridModel();
    for (int row = 1; row <= model->rowCounter(); ++row)
        out.append(model->cellText(row, kColFilename));
    return out;
}

// The names in order of name, whichever direction the Name sort has now
// (its direction lasts for the whole run).
QStringList sortedNames(const TfrmBrowse& w) {
    QStringList names = rowNames(w);
    names.sort();
    return names;
}

int rowOf(const TfrmBrowse& w, const QString& name) {
    return int(rowNames(w).indexOf(name)) + 1;
}

// Clicks a title of the grid as a user does.
void clickTitle(ResultGrid& grid, int column) {
    QHeaderView* titles = grid.horizontalHeader();
    const QPoint at(titles->sectionViewportPosition(column) + 5, titles->height() / 2);
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, at);
}

void doubleClickRow(ResultGrid& grid, int row) {
    const QRect cell = grid.visualRect(grid.model()->index(row - 1, kColFilename));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
}

}  // namespace

class TestBrowse : public QObject {
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
    }

    void cleanup() {
        m_dialogs.reset();
        setDriveListOverride(std::nullopt);
        qputenv("HOME", m_oldHome);
        m_files.reset();
        m_home.reset();
    }

    // Opened at a file: that folder is listed with the wildcard, the file is
    // the current row, and the status bar tells the count, the total and the
    // wildcard. A fifo in the folder is neither listed nor opened.
    void opensAtAFileWithTheWildcard() {
        const QByteArray docs = m_files->mkdir("docs");
        m_files->file("docs/a.txt", 10);
        m_files->file("docs/b.txt", 20);
        m_files->file("docs/c.doc", 30);
        m_files->mkdir("docs/sub");
        m_files->fifo("docs/pipe.txt");
        auto w = open(docs, "b.txt", u"*.txt"_s);

        QCOMPARE(w->windowTitle(), u"Browse through folders"_s);
        QCOMPARE(w->currentFolder(), docs);
        QCOMPARE(w->Label1->text(), displayText(docs));
        QCOMPARE(sortedNames(*w), (QStringList{"a.txt", "b.txt"}));
        QCOMPARE(w->grid->currentPath(), m_files->path("docs/b.txt"));
        QCOMPARE(w->pnlScan->text(), u"Number of files : 2"_s);
        QCOMPARE(w->pnlSize->text(), u"Total size : 30"_s);
        QCOMPARE(w->pnlWild->text(), u"Wildcard : *.txt"_s);
        const DriveEntry drive{m_files->root(), u"folder"_s};
        QCOMPARE(w->DriveComboBox1->currentText(), drive.text());
        QCOMPARE(w->folderModel().pathOf(w->DirectoryListBox1->currentIndex()), docs);
        QVERIFY(w->DirectoryListBox1->isExpanded(w->DirectoryListBox1->currentIndex()));
        QVERIFY(!w->btDeleteFiles->isEnabled());

        // The grid: titles, the sort menu with "Name" checked, no "Resize".
        const ResultGridModel* model = w->grid->gridModel();
        QStringList titles;
        for (int c = 0; c < model->columnCount(); ++c)
            titles.append(model->headerData(c, Qt::Horizontal).toString());
        QCOMPARE(titles, (QStringList{"Modified", "Time", "Access", "Size", "Filename", "Type"}));
        QStringList sorts;
        for (int k = 0; k < 5; ++k)
            sorts.append(w->grid->sortAction(k)->text());
        QCOMPARE(sorts, (QStringList{"Name", "Modified &Date", "&Access Date", "&Size", "&Type"}));
        QCOMPARE(w->grid->checkedSortKey(), int(kSortName));
        QStringList menu;
        for (const QAction* a : w->grid->popupMenu()->actions()) {
            if (a->isVisible())
                menu.append(a->isSeparator() ? u"-"_s : a->text());
        }
        QCOMPARE(menu, (QStringList{"Details", "Sort", "Mark", "-", "Run", "View"}));
    }

    // From the launcher it opens at the process's current folder.
    void opensAtTheCurrentFolder() {
        const QByteArray here = m_files->mkdir("here");
        m_files->file("here/x.txt", 1);
        const QByteArray before = QFile::encodeName(QDir::currentPath());
        QVERIFY(::chdir(here.constData()) == 0);
        TfrmBrowse w(ToolRequest{});
        w.show();
        const bool listed = waitListed(w);
        QVERIFY(::chdir(before.constData()) == 0);
        QVERIFY(listed);
        QCOMPARE(w.currentFolder(), here);
        QCOMPARE(rowNames(w), QStringList{"x.txt"});
    }

    // An empty folder shows one empty row and a count of 0; neither Mark nor
    // Mark all marks that row, and Delete stays disabled.
    void emptyFolderHasNothingToMark() {
        auto w = open(m_files->mkdir("empty"));
        QCOMPARE(w->grid->gridRowCount(), 2);
        QCOMPARE(w->grid->rowCounter(), 0);
        QCOMPARE(w->pnlScan->text(), u"Number of files : 0"_s);
        w->btMark->click();
        w->grid->Markall1Click();
        QCOMPARE(w->grid->gridModel()->markedPathCount(), 0);
        QVERIFY(!w->btDeleteFiles->isEnabled());
    }

    // A sort choice flips its direction each time; listing another folder
    // keeps the choice and its direction; the "Time" title does not sort.
    void sortChoicesKeepTheirDirection() {
        m_files->file("one/x", 30);
        m_files->file("one/y", 10);
        m_files->file("one/z", 20);
        m_files->file("two/p", 15);
        m_files->file("two/q", 5);
        auto w = open(m_files->path("one"));
        w->grid->Sortbysize1Click(kSortSize);
        const QStringList first = rowNames(*w);
        w->grid->Sortbysize1Click(kSortSize);
        const QStringList second = rowNames(*w);
        QVERIFY2((first == QStringList{"x", "z", "y"} && second == QStringList{"y", "z", "x"}) ||
                     (first == QStringList{"y", "z", "x"} && second == QStringList{"x", "z", "y"}),
                 qPrintable(first.join(' ') + " / " + second.join(' ')));
        const bool ascendingLast = second.first() == u"y"_s;

        w->openAt(m_files->path("two"));
        QVERIFY(waitListed(*w));
        QCOMPARE(w->grid->checkedSortKey(), int(kSortSize));
        QCOMPARE(rowNames(*w), ascendingLast ? (QStringList{"q", "p"}) : (QStringList{"p", "q"}));

        clickTitle(*w->grid, kColTime);
        QCOMPARE(w->grid->checkedSortKey(), int(kSortSize));
        clickTitle(*w->grid, kColFilename);
        QCOMPARE(w->grid->checkedSortKey(), int(kSortName));
        QCOMPARE(rowNames(*w), (QStringList{"q", "p"}));  // names came ascending
    }

    // Mark works on any file, a double click only on one whose type is
    // known; the status shows the marks; closing with marks asks first.
    void marksAndTheQuestionOnClosing() {
        m_files->file("m/Makefile", 5);
        m_files->file("m/notes.txt", 10);
        m_files->file("m/photo.jpg", 100);
        auto w = open(m_files->path("m"));
        ResultGridModel* model = w->grid->gridModel();
        const int makefile = rowOf(*w, u"Makefile"_s);
        QVERIFY(model->cellText(makefile, kColType).isEmpty());
        doubleClickRow(*w->grid, makefile);
        QVERIFY(!model->isMarked(makefile));
        w->grid->setCurrentGridRow(makefile);
        w->btMark->click();
        QVERIFY(model->isMarked(makefile));
        QCOMPARE(w->pnlScan->text(), u"Marked for deletion: 1 files 5 bytes"_s);
        QVERIFY(w->btDeleteFiles->isEnabled());
        doubleClickRow(*w->grid, rowOf(*w, u"notes.txt"_s));
        QCOMPARE(w->pnlScan->text(), u"Marked for deletion: 2 files 15 bytes"_s);

        w->grid->Markall1Click();
        QCOMPARE(model->markedCount(), 3);
        const QString question =
            u"You have 3 files marked for deletion. Do you really wish to exit without deleting?"_s;
        m_dialogs->answers = {Answer::No, Answer::Yes};
        w->btClose->click();
        QVERIFY(w->isVisible());
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(m_dialogs->questions, (QStringList{question, question}));
    }

    // Marked files go through the confirmation (a name that is not UTF-8 by
    // its exact bytes), then the folder is listed again without them.
    void deletesMarkedFilesAndListsAgain() {
        const QByteArray folder = m_files->mkdir("dir\xFF");
        const QByteArray odd = m_files->file("dir\xFF/caf\xE9.txt", 1000);
        const QByteArray plain = m_files->file("dir\xFF/plain.txt", 2000);
        m_files->file("dir\xFF/keep.txt", 5);
        auto w = open(m_files->root());
        QTreeView* tree = w->DirectoryListBox1;
        const QModelIndex node = w->folderModel().indexOf(folder);
        QVERIFY(node.isValid());
        QCOMPARE(node.data().toString(), u"dir\uFFFD"_s);
        tree->setCurrentIndex(node);
        QVERIFY(waitListed(*w));
        QCOMPARE(w->currentFolder(), folder);

        for (const QString& name : {u"caf\uFFFD.txt"_s, u"plain.txt"_s}) {
            w->grid->setCurrentGridRow(rowOf(*w, name));
            w->btMark->click();
        }
        QList<QByteArray> listed;
        m_dialogs->answers = {Answer::Yes};  // "Really delete?"
        m_dialogs->dialogHandlers.push_back([&listed](QDialog& d) {
            auto& confirm = dynamic_cast<TfrmReallyDelete&>(d);
            listed = confirm.paths();
            QTest::mouseClick(confirm.btDelete, Qt::LeftButton);
            return confirm.result();
        });
        w->btDeleteFiles->click();
        QCOMPARE(listed, (QList<QByteArray>{odd, plain}));
        QVERIFY(!exists(odd) && !exists(plain));
        QVERIFY(waitListed(*w));
        QCOMPARE(rowNames(*w), QStringList{"keep.txt"});
        QCOMPARE(w->grid->gridModel()->markedPathCount(), 0);
        QVERIFY(!w->btDeleteFiles->isEnabled());
    }

    // A folder that cannot be read clears the list and its marks and says
    // why, so nothing of the folder before can be deleted by mistake (a file
    // of the same name there included).
    void unreadableFolderClearsTheListAndItsMarks() {
        test::PermissionChecks checks;
        if (!checks.enforced())
            QSKIP("permission checks cannot be enforced here");
        m_files->file("open/same.txt", 10);
        m_files->file("locked/same.txt", 10);
        m_files->chmod("locked", 0);
        auto w = open(m_files->path("open"));
        w->grid->Markall1Click();
        QCOMPARE(w->grid->gridModel()->markedCount(), 1);
        w->openAt(m_files->path("locked"));
        QVERIFY(waitListed(*w));
        m_files->chmod("locked", 0755);
        QCOMPARE(w->currentFolder(), m_files->path("locked"));
        QCOMPARE(w->grid->rowCounter(), 0);
        QCOMPARE(w->grid->gridModel()->markedPathCount(), 0);
        QCOMPARE(w->pnlScan->text(), u"Can't read this folder: Permission denied"_s);
        QVERIFY(!w->btDeleteFiles->isEnabled());
        w->btDeleteFiles->click();
        QVERIFY(m_dialogs->dialogTitles.isEmpty());
        QVERIFY(exists(m_files->path("open/same.txt")));
    }

    // The folder shown is deleted by someone else: listing it again clears
    // the list and says why; its parent, chosen again, no longer shows it.
    void folderDeletedWhileItIsShown() {
        const QByteArray doomed = m_files->mkdir("doomed");
        const QByteArray file = m_files->file("doomed/f.txt", 3);
        auto w = open(doomed);
        w->grid->Markall1Click();
        QVERIFY(::unlink(file.constData()) == 0 && ::rmdir(doomed.constData()) == 0);
        w->DirectoryListBox1Change();
        QVERIFY(waitListed(*w));
        QCOMPARE(w->grid->rowCounter(), 0);
        QCOMPARE(w->grid->gridModel()->markedPathCount(), 0);
        QCOMPARE(w->pnlScan->text(), u"Can't read this folder: No such file or directory"_s);

        w->DirectoryListBox1->setCurrentIndex(w->folderModel().rootIndex());
        QVERIFY(waitListed(*w));
        QTRY_VERIFY(!w->folderModel().indexOf(doomed).isValid());
        QCOMPARE(w->currentFolder(), m_files->root());
    }

    // Delete Folder on the folder shown: the folder goes with everything in
    // it, the tree shows the parent without it, and the marks go too.
    void deletesTheFolderItShows() {
        const QByteArray project = m_files->mkdir("project");
        m_files->file("project/a.txt", 100);
        m_files->file("project/sub/b.txt", 200);
        m_files->file("top.txt", 1);
        auto w = open(project);
        w->grid->Markall1Click();
        m_dialogs->dialogHandlers.push_back([](QDialog& d) {
            QTest::mouseClick(dynamic_cast<TfrmDelDirectory&>(d).btDelete, Qt::LeftButton);
            return d.result();
        });
        w->btDeleteDirectory->click();
        QVERIFY(!exists(project));
        QCOMPARE(m_dialogs->messageTexts(),
                 QStringList{u"Deleted 2 files for a savings of 300 bytes."_s});
        QVERIFY(waitListed(*w));
        QCOMPARE(w->currentFolder(), m_files->root());
        QCOMPARE(w->folderModel().pathOf(w->DirectoryListBox1->currentIndex()), m_files->root());
        QTRY_VERIFY(!w->folderModel().indexOf(project).isValid());
        QCOMPARE(rowNames(*w), QStringList{"top.txt"});
        QCOMPARE(w->grid->gridModel()->markedPathCount(), 0);
    }

    // Folders the protections keep are refused before anything is asked.
    void protectedFoldersAreRefused_data() {
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QString>("message");
        QTest::newRow("mount point")
            << QByteArray("/proc") << rootFolderMessage(FolderDeleteCaller::Browse);
        QTest::newRow("drive root")
            << QByteArray() << rootFolderMessage(FolderDeleteCaller::Browse);
        QTest::newRow("above the home folder") << QByteArray("..") << systemFolderMessage();
    }
    void protectedFoldersAreRefused() {
        QFETCH(QByteArray, folder);
        QFETCH(QString, message);
        if (folder.isEmpty())
            folder = m_files->root();
        else if (folder == "..")
            folder = QFile::encodeName(QFileInfo(QDir::homePath()).absolutePath());
        auto w = open(folder);
        QCOMPARE(w->currentFolder(), folder);
        w->btDeleteDirectory->click();
        QCOMPARE(m_dialogs->messageTexts(), QStringList{message});
        QVERIFY(m_dialogs->dialogTitles.isEmpty());
        QVERIFY(exists(folder));
    }

    // Hidden files and folders show with "Show hidden"; a folder inside a
    // hidden one turns it on.
    void hiddenEntriesShowWhenAsked() {
        m_files->file("h/.secret.txt", 1);
        m_files->file("h/shown.txt", 1);
        m_files->file("h/.cache/x.txt", 1);
        auto w = open(m_files->path("h"));
        QCOMPARE(rowNames(*w), QStringList{"shown.txt"});
        QVERIFY(!w->cbHidden->isChecked());
        QVERIFY(!w->folderModel().indexOf(m_files->path("h/.cache")).isValid());
        w->cbHidden->click();
        QVERIFY(waitListed(*w));
        QCOMPARE(sortedNames(*w), (QStringList{".secret.txt", "shown.txt"}));
        QCOMPARE(w->currentFolder(), m_files->path("h"));
        QVERIFY(w->folderModel().indexOf(m_files->path("h/.cache")).isValid());

        auto inside = open(m_files->path("h/.cache"));
        QVERIFY(inside->cbHidden->isChecked());
        QCOMPARE(inside->currentFolder(), m_files->path("h/.cache"));
        QCOMPARE(rowNames(*inside), QStringList{"x.txt"});
    }

    // A link to a folder is in the tree but never entered.
    void linkToAFolderIsNotEntered() {
        m_files->file("real/inside.txt", 1);
        m_files->symlink("lnk", m_files->path("real"));
        auto w = open(m_files->root());
        const QModelIndex link = w->folderModel().indexOf(m_files->path("lnk"));
        QVERIFY(link.isValid() && w->folderModel().isLink(link));
        w->DirectoryListBox1->setCurrentIndex(link);
        QVERIFY(waitListed(*w));
        QCOMPARE(w->grid->rowCounter(), 0);
        QCOMPARE(w->pnlScan->text(), u"Symbolic link to a folder: not followed"_s);
        QVERIFY(!w->btDeleteDirectory->isEnabled());
        QCOMPARE(w->folderModel().rowCount(link), 0);
    }

    // A click on the wildcard panel changes the wildcard; cancelled, it stays.
    void wildcardPanelChangesTheWildcard() {
        m_files->file("w/a.txt", 1);
        m_files->file("w/b.doc", 1);
        auto w = open(m_files->path("w"));
        m_dialogs->dialogHandlers.push_back([](QDialog& d) {
            auto& picker = dynamic_cast<TfrmWildCard&>(d);
            if (picker.wildcard() != u"*.*"_s)
                return int(QDialog::Rejected);
            picker.setWildcard(u"*.doc"_s);
            return int(QDialog::Accepted);
        });
        QTest::mouseClick(w->pnlWild, Qt::LeftButton);
        QVERIFY(waitListed(*w));
        QCOMPARE(w->mask(), u"*.doc"_s);
        QCOMPARE(w->pnlWild->text(), u"Wildcard : *.doc"_s);
        QCOMPARE(rowNames(*w), QStringList{"b.doc"});
        QTest::mouseClick(w->pnlWild, Qt::LeftButton);  // no handler left: cancelled
        QCOMPARE(w->mask(), u"*.doc"_s);
    }

    // View, Details and Run act on the current file.
    void viewDetailsAndRun() {
        const QByteArray file = m_files->file("v/readme.txt", 12);
        auto w = open(m_files->path("v"));
        QByteArray viewed, detailed;
        m_dialogs->dialogHandlers.push_back([&viewed](QDialog& d) {
            viewed = dynamic_cast<TfrmView&>(d).fileName();
            return int(QDialog::Rejected);
        });
        m_dialogs->dialogHandlers.push_back([&detailed](QDialog& d) {
            detailed = dynamic_cast<TfrmDetails&>(d).fileName();
            return int(QDialog::Rejected);
        });
        w->btView->click();
        w->btDetails->click();
        QCOMPARE(viewed, file);
        QCOMPARE(detailed, file);
        w->grid->setOpener([](const QByteArray&) { return false; });
        w->btLaunch->click();
        QCOMPARE(m_dialogs->messageTexts(), QStringList{u"Couldn't run "_s + displayText(file)});
    }

    // Another drive: the tree shows its root and the list its files; the
    // window keeps its place under "frmBrowse".
    void driveBoxAndPlacement() {
        m_files->file("first/one.txt", 1);
        m_files->file("second/two.txt", 1);
        setDriveListOverride(QList<DriveEntry>{{m_files->path("first"), u"folder"_s},
                                               {m_files->path("second"), u"folder"_s}});
        auto w = open(m_files->path("first"));
        QCOMPARE(w->DriveComboBox1->count(), 2);
        QCOMPARE(w->DriveComboBox1->currentIndex(), 0);
        w->DriveComboBox1->setCurrentIndex(1);
        Q_EMIT w->DriveComboBox1->activated(1);
        QVERIFY(waitListed(*w));
        QCOMPARE(w->folderModel().root(), m_files->path("second"));
        QCOMPARE(rowNames(*w), QStringList{"two.txt"});
        w.reset();
        QVERIFY(!vantrelIni()
                     .readString(QCoreApplication::applicationFilePath(), u"frmBrowse"_s)
                     .isEmpty());
    }

private:
    std::unique_ptr<TfrmBrowse> open(const QByteArray& folder, const QByteArray& file = {},
                                     const QString& mask = u"*.*"_s) {
        auto w = std::make_unique<TfrmBrowse>(
            ToolRequest{nullptr, false, nullptr, BrowseRequest{folder, file, mask}});
        w->show();
        if (!waitListed(*w))
            qWarning("the listing did not end");
        return w;
    }

    std::unique_ptr<test::TempTree> m_files;
    std::unique_ptr<test::TempTree> m_home;
    QByteArray m_oldHome;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

VANTREL_QTEST_MAIN(TestBrowse)
#include "tst_browse.moc"
