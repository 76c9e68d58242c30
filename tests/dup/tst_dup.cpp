// The duplicates and file-hogs window end to end on real fixture trees: the
// controls while scanning, a search through to deletion or the trash, the
// size conditions, bad input, the full candidate list and files that vanish
// between the scan and the marking or deletion.

#include "browse/ui/TfrmDetails.h"
#include "browse/ui/TfrmView.h"
#include "dup/DupSearch.h"
#include "dup/ui/TfrmDup.h"
#include "platform/Drives.h"
#include "platform/Trash.h"
#include "results/ResultGridModel.h"
#include "results/Savings.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/ResultGridDelegate.h"
#include "results/ui/TfrmReallyDelete.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/WildcardCombo.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QClipboard>
#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest/QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

bool exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// Answers the deletion confirmation with one of its buttons.
std::function<int(QDialog&)> confirmWith(QPushButton* TfrmReallyDelete::*button,
                                         QList<QByteArray>* listed = nullptr) {
    return [button, listed](QDialog& d) {
        auto& confirm = dynamic_cast<TfrmReallyDelete&>(d);
        if (listed)
            *listed = confirm.paths();
        QTest::mouseClick(confirm.*button, Qt::LeftButton);
        return confirm.result();
    };
}

}  // namespace

class TestDup : public QObject {
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

    // As the window opens, five drives show whole in the drive list, and
    // after a scan the grid's columns fit their texts: sizes, dates, times
    // and types whole, a long folder shortened in the middle; a wider window
    // widens name and folder too.
    void defaultSizeFitsTheDrivesAndTheColumns() {
        const QByteArray deep =
            "Holidays 2023/Summer trip to the mountains with the whole "
            "family/Day 3 - the lake/and one folder more";
        m_files->file(deep + "/IMG_0001.jpg", 300000);
        m_files->file("b/IMG_0001.jpg", 300000);
        QList<DriveEntry> drives{{m_files->root(), u"folder"_s}};
        for (const char* name : {"/", "/home", "/media/ann/backup", "/srv"})
            drives.append(DriveEntry{name, u"ext4"_s});
        setDriveListOverride(drives);
        auto w = openWindow(true);
        // The size it opens with on a 1280 x 1024 screen (the test's screen
        // is smaller).
        w->resize(1100, 720);
        QCOMPARE(w->pckDrive->count(), 5);
        QVERIFY(!w->pckDrive->horizontalScrollBar()->isVisible());
        for (int i = 0; i < 5; ++i) {
            QVERIFY2(w->pckDrive->viewport()->rect().contains(
                         w->pckDrive->visualItemRect(w->pckDrive->item(i))),
                     qPrintable(w->pckDrive->item(i)->text()));
        }

        QVERIFY(runScan(*w));
        QCoreApplication::processEvents();
        ResultGrid& grid = *w->grid;
        QCOMPARE(grid.rowCounter(), 2);
        auto* delegate = qobject_cast<ResultGridDelegate*>(grid.itemDelegate());
        QVERIFY(delegate);
        const auto shown = [&](int row, int column) {
            const QModelIndex index = grid.model()->index(row - 1, column);
            return delegate->shownText(grid.fontMetrics(), grid.visualRect(index), index);
        };
        int total = 0;
        for (int c = 0; c < 7; ++c)
            total += grid.columnWidth(c);
        QCOMPARE(total, grid.viewport()->width());
        int deepRow = 0;
        for (int row = 1; row <= 2; ++row) {
            for (int c : {0, 1, 2, 3, 4, 6})
                QCOMPARE(shown(row, c), grid.gridModel()->cellText(row, c));
            if (grid.gridModel()->pathAt(row).contains("Holidays"))
                deepRow = row;
        }
        const QString folder = grid.gridModel()->cellText(deepRow, 5);
        const QString cut = shown(deepRow, 5);
        QVERIFY2(cut.contains(QChar(0x2026)) && cut.endsWith(u"one folder more"_s),
                 qPrintable(cut));
        QVERIFY(folder.startsWith(cut.left(cut.indexOf(QChar(0x2026)))));

        const int name = grid.columnWidth(0), place = grid.columnWidth(5),
                  size = grid.columnWidth(1);
        w->resize(w->width() + 300, w->height());
        QTRY_VERIFY(grid.columnWidth(5) > place);  // the shortened folder first
        QCOMPARE(grid.columnWidth(1), size);
        // Once every text is whole, the room to spare is shared, not left to
        // the last column.
        w->resize(3000, w->height());
        QTRY_COMPARE(shown(deepRow, 5), folder);
        QVERIFY(grid.columnWidth(0) > name);
        QCOMPARE(grid.columnWidth(1), size);
    }

    void abortStopsTheScanThenTheTopPanelShrinks() {
        makeFiles({"a/x.bin", "b/x.bin"}, 300000);
        auto w = openWindow(true);
        QSignalSpy finished(&w->scanFrame(), &ScanFrame::finished);
        w->btScan->click();
        // Until the window's thread hears that the job has ended, the scan runs:
        // the inputs are off and the window does not close.
        QVERIFY(w->scanFrame().isRunning());
        QVERIFY(w->btAbort->isVisible() && !w->btScan->isEnabled() && !w->btClose->isEnabled() &&
                !w->cbDup->isEnabled());
        QVERIFY(!w->close());

        w->btAbort->click();
        QCOMPARE(m_dialogs->messageTexts().value(0), u"LIST INCOMPLETE ... ABORTED BY USER"_s);
        QVERIFY(!finished.isEmpty() || finished.wait(60000));
        QVERIFY(w->scanFrame().lastOutcome().abortedByUser);
        QVERIFY(!w->btAbort->isVisible() && w->btScan->isEnabled() && w->cbDup->isEnabled());

        // The grid's menu shrinks the top panel away and restores its height.
        const int topHeight = w->Panel1->height();
        QVERIFY(topHeight > 0 && !w->grid->growAction()->isEnabled());
        w->grid->shrinkAction()->trigger();
        QTRY_COMPARE(w->Panel1->height(), 0);
        QVERIFY(!w->grid->shrinkAction()->isEnabled() && w->grid->growAction()->isEnabled());
        w->grid->growAction()->trigger();
        QTRY_COMPARE(w->Panel1->height(), topHeight);
        QVERIFY(w->grid->shrinkAction()->isEnabled() && !w->grid->growAction()->isEnabled());
    }

    void findMarkAndDelete_data() {
        QTest::addColumn<bool>("recycle");
        QTest::newRow("delete") << false;
        QTest::newRow("recycle") << true;
    }

    // "Size only": three files of one size and an odd one; the Enter key in the
    // grid does not scan again; a cancelled confirmation changes nothing; the
    // deletion closes the window and adds to the savings.
    void findMarkAndDelete() {
        QFETCH(bool, recycle);
        makeFiles({"a/one.txt", "b/two.txt", "c/three.txt"}, 1500);
        m_files->file("d/odd.txt", 99);
        auto w = openWindow(true);
        w->cbDup->setCurrentIndex(3);
        QVERIFY(runScan(*w));
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(rowPaths(*w), paths({"a/one.txt", "c/three.txt", "b/two.txt"}));
        QCOMPARE(w->pnlSel->text(), u"3 duplicates found"_s);
        for (QPushButton* b : {w->btMark, w->btDelete, w->btPrint, w->btClip, w->btDetails})
            QVERIFY2(b->isVisible(), qPrintable(b->objectName()));
        QVERIFY(!w->btDelete->isEnabled());

        // A double click and the Mark button mark rows.
        w->grid->setCurrentGridRow(2);
        w->grid->gridDblClick();
        w->grid->setFocus();
        QTest::keyClick(w->grid, Qt::Key_Return);
        QVERIFY(!w->scanFrame().isRunning());
        w->grid->setCurrentGridRow(3);
        w->btMark->click();
        QCOMPARE(w->pnlSel->text(), u"2 files 3,000 bytes"_s);

        m_dialogs->dialogHandlers.push_back(confirmWith(&TfrmReallyDelete::btClose));
        w->btDelete->click();
        QVERIFY(w->isVisible());
        QCOMPARE(existing(), paths({"a/one.txt", "b/two.txt", "c/three.txt", "d/odd.txt"}));
        QCOMPARE(readSavings(), SavingsTotals{});

        QList<QByteArray> listed;
        m_dialogs->answers = {Answer::Yes};
        m_dialogs->dialogHandlers.push_back(confirmWith(
            recycle ? &TfrmReallyDelete::btRecycle : &TfrmReallyDelete::btDelete, &listed));
        w->btDelete->click();
        QCOMPARE(listed, paths({"b/two.txt", "c/three.txt"}));
        QCOMPARE(existing(), paths({"a/one.txt", "d/odd.txt"}));
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QVERIFY(!w->isVisible());
        const qint64 today = dayNumber(QDate::currentDate());
        QCOMPARE(readSavings(), (recycle ? SavingsTotals{0, 0, 2, 3000, today}
                                         : SavingsTotals{2, 3000, 0, 0, today}));
        QVERIFY(!recycle || exists(homeTrashFolder() + "/files/two.txt"));
    }

    void fileHogsUnderEachSizeCondition_data() {
        QTest::addColumn<int>("condition");  // 0 larger, 1 smaller, 2 between
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<bool>("kilobytes");
        QTest::addColumn<QList<QByteArray>>("expected");  // largest first

        // The window's defaults (not set by the test): larger or equal to 250 KB.
        QTest::newRow("defaults") << -1 << 0 << 0 << true
                                  << QList<QByteArray>{"Data/Huge.ISO", "Data/Exact.Bin"};
        QTest::newRow("smaller or equal to 1 KB")
            << 1 << 1 << 0 << true << QList<QByteArray>{"k.bin", "small.bin", "tiny.bin"};
        QTest::newRow("smaller or equal to 100 bytes")
            << 1 << 100 << 0 << false << QList<QByteArray>{"small.bin", "tiny.bin"};
        // In between 100 and 100 KB: only files of exactly 102,400 bytes.
        QTest::newRow("in between 100 and 100 KB")
            << 2 << 100 << 100 << true << QList<QByteArray>{"hundred.bin"};
    }

    // Rows reach the grid in batches of two; the sizes sort by number, a file
    // of 5 GiB first, and paths keep their case.
    void fileHogsUnderEachSizeCondition() {
        QFETCH(int, condition);
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(bool, kilobytes);
        QFETCH(QList<QByteArray>, expected);
        for (const QByteArray& f :
             QByteArray("tiny.bin:1 small.bin:100 k.bin:1024 k1.bin:1025 hundred.bin:102400 "
                        "below.bin:255999 Data/Exact.Bin:256000")
                 .split(' '))
            m_files->file(f.left(f.indexOf(':')), f.mid(f.indexOf(':') + 1).toLongLong());
        // Sparse: it takes no room on the disk.
        QVERIFY(::truncate(m_files->file("Data/Huge.ISO", 0).constData(), qint64(5) << 30) == 0);
        auto w = openWindow(false, true);
        w->setRowBatchSize(2);
        if (condition >= 0) {
            QRadioButton* radio[] = {w->rbLarger, w->rbSmaller, w->rbBetween};
            radio[condition]->setChecked(true);
            w->num1->setValue(first);
            w->num2->setValue(second);
            w->cbKB1->setCurrentIndex(kilobytes ? 1 : 0);
        }
        QVERIFY(runScan(*w));
        QCOMPARE(rowPaths(*w), paths(expected));
        QCOMPARE(w->pnlSel->text(), QString::number(expected.size()) + u" file hogs found"_s);
        const ResultGridModel* model = w->grid->gridModel();
        for (int row = 1; row <= model->rowCounter(); ++row)
            QCOMPARE(model->cellText(row, 4), QString::fromUtf8(model->pathAt(row)));
        if (condition < 0)
            QCOMPARE(model->cellText(1, 0), u"5,368,709,120"_s);
    }

    void secondNumberSmallerIsRefused() {
        m_files->file("a.bin", 300000);
        auto w = openWindow(false);
        w->rbBetween->setChecked(true);
        w->num1->setValue(500);
        w->num2->setValue(499);
        QVERIFY(!runScan(*w));
        QCOMPARE(shown(), QStringList{"Error: The second number must be larger or equal than "
                                      "the first number"});
        QCOMPARE(w->grid->rowCounter(), 0);
    }

    void wildcardThatFindsNothing() {
        makeFiles({"a/a.txt", "b/a.txt"}, 300000);
        // No match, malformed, empty, and a path rather than a name.
        const std::pair<const char*, bool> cases[] = {{"*.zzz", true}, {"*.zzz", false},
                                                      {"[a-", true},   {"[a-", false},
                                                      {"", true},      {"*/a.txt", false}};
        for (const auto& [wildcard, duplicateMode] : cases) {
            m_dialogs->messages.clear();
            auto w = openWindow(duplicateMode);
            w->cbWildCard->setWildcard(QString::fromUtf8(wildcard));
            QVERIFY(runScan(*w));
            QCOMPARE(shown(), QStringList{"Information: No files found."});
            QCOMPARE(w->grid->rowCounter(), 0);
            QVERIFY(!w->btMark->isVisible() && !w->btDelete->isVisible());
            QVERIFY(w->btScan->isEnabled() && w->cbWildCard->isEnabled());
        }
    }

    void fullCandidateListStopsAndShowsWhatWasFound() {
        // Sub-folders are walked first, in name order: the files of d1, d2 and
        // d3 fill the list of three, d4's file is refused.
        makeFiles({"d1/x.dat", "d2/x.dat", "d3/x.dat", "d4/x.dat", "d5/x.dat"}, 10);
        auto w = openWindow(true);
        w->setCandidateCapacity(3);
        QVERIFY(runScan(*w));
        QCOMPARE(shown(), QStringList{"Warning: " + candidateListFullMessage()});
        QVERIFY(w->scanFrame().lastOutcome().stoppedByTool);
        QCOMPARE(rowPaths(*w), paths({"d1/x.dat", "d2/x.dat", "d3/x.dat"}));
        QCOMPARE(w->pnlSel->text(), u"3 duplicates found"_s);
        QVERIFY(w->btMark->isVisible() && w->btScan->isEnabled());
    }

    void fileVanishedBeforeMarking() {
        makeFiles({"a/gone.txt", "b/gone.txt"}, 700);
        auto w = openWindow(true);
        QVERIFY(runScan(*w));
        QVERIFY(QFile::remove(QFile::decodeName(m_files->path("a/gone.txt"))));
        // The mark toggles, but counts nothing, and Delete stays off.
        w->grid->setCurrentGridRow(1);
        w->btMark->click();
        QVERIFY(w->grid->gridModel()->isMarked(1));
        QCOMPARE(w->pnlSel->text(), u"0 files 0 bytes"_s);
        QVERIFY(!w->btDelete->isEnabled());
        w->btMark->click();
        QCOMPARE(w->pnlSel->text(), u"1 files 700 bytes"_s);
    }

    void fileVanishedBeforeDeleting() {
        makeFiles({"a/v.txt", "b/v.txt", "c/v.txt"}, 100);
        auto w = openWindow(true);
        QVERIFY(runScan(*w));
        w->grid->Markall1Click();
        QCOMPARE(w->pnlSel->text(), u"3 files 300 bytes"_s);
        QVERIFY(QFile::remove(QFile::decodeName(m_files->path("b/v.txt"))));
        // Every copy is marked: Yes to that warning, then to "Really delete?".
        m_dialogs->answers = {Answer::Yes, Answer::Yes};
        m_dialogs->dialogHandlers.push_back(confirmWith(&TfrmReallyDelete::btDelete));
        w->btDelete->click();
        QCOMPARE(
            m_dialogs->messageTexts(),
            QStringList{u"Couldn't delete file - "_s + QFile::decodeName(m_files->path("b/v.txt")) +
                        u" (No such file or directory)"_s});
        QCOMPARE(existing(), QList<QByteArray>());
        QVERIFY(!w->isVisible());
        QCOMPARE(readSavings().deletedCount, 2);
    }

    void fileChangedBeforeMarking_data() {
        QTest::addColumn<bool>("timeOnly");
        QTest::newRow("grown") << false;
        QTest::newRow("touched") << true;
    }

    // A file that changes between the scan and its marking is no longer
    // what its row shows: the confirmation leaves it alone and says so,
    // while an unchanged file marked with it goes.
    void fileChangedBeforeMarking() {
        QFETCH(bool, timeOnly);
        makeFiles({"a/x.txt", "b/x.txt", "c/x.txt"}, 1500);
        auto w = openWindow(true);
        w->cbDup->setCurrentIndex(3);
        QVERIFY(runScan(*w));
        QCOMPARE(w->grid->rowCounter(), 3);
        const QByteArray changed = m_files->path("b/x.txt");
        if (timeOnly) {
            const struct timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
            QCOMPARE(::utimensat(AT_FDCWD, changed.constData(), times, 0), 0);
        } else {
            m_files->file("b/x.txt", 1501);
        }
        const QList<QByteArray> rows = rowPaths(*w);
        for (const QByteArray& path : {changed, m_files->path("c/x.txt")}) {
            w->grid->setCurrentGridRow(int(rows.indexOf(path)) + 1);
            w->btMark->click();
        }
        // Marking counts the files as they are now.
        QCOMPARE(w->pnlSel->text(), timeOnly ? u"2 files 3,000 bytes"_s : u"2 files 3,001 bytes"_s);

        m_dialogs->answers = {Answer::Yes};
        m_dialogs->dialogHandlers.push_back(confirmWith(&TfrmReallyDelete::btDelete));
        w->btDelete->click();
        QCOMPARE(m_dialogs->messageTexts(),
                 QStringList{u"Not deleted, because it changed since it was listed - "_s +
                             QFile::decodeName(changed)});
        QCOMPARE(existing(), paths({"a/x.txt", "b/x.txt"}));
        QCOMPARE(readSavings().deletedCount, 1);
    }

    // File hogs: the clipboard holds the lines in the order found (not the
    // grid's sort), the print title says what was searched even after the
    // inputs change, and View and Details, from the buttons and the grid's
    // menu, open the file of the current row.
    void copyPrintTitleViewAndDetails() {
        for (const auto& [name, size] : {std::pair{"b.bin", 3}, {"a.bin", 4}, {"c.bin", 5}})
            m_files->file(name, size * 100000);
        auto w = openWindow(false);
        QVERIFY(runScan(*w));
        w->grid->sortAction(3)->trigger();  // by name
        QCOMPARE(w->grid->gridModel()->pathAt(1), m_files->path("a.bin"));
        w->btClip->click();
        QStringList found;  // size and path of each line
        for (const QString& line : QGuiApplication::clipboard()->text().split(u"\r\n"_s))
            found << line.section('\t', 0, 0) + ' ' + line.section('\t', 4, 4);
        const QString root = QFile::decodeName(m_files->root());
        QCOMPARE(found, (QStringList{"500,000 " + root + "/c.bin", "400,000 " + root + "/a.bin",
                                     "300,000 " + root + "/b.bin"}));
        w->num1->setValue(9);
        QCOMPARE(w->printTitle(), u"File Hogs larger or equal to 0 KB matching *.* on drive(s) "_s +
                                      root + QLatin1Char(' '));

        QList<QByteArray> opened;
        const auto record = [&](QDialog& d) {
            if (auto* view = qobject_cast<TfrmView*>(&d))
                opened.append("view " + view->fileName());
            else
                opened.append("details " + dynamic_cast<TfrmDetails&>(d).fileName());
            return int(QDialog::Rejected);
        };
        m_dialogs->dialogHandlers = {record, record, record};
        w->grid->setCurrentGridRow(2);
        w->grid->viewAction()->trigger();
        w->btDetails->click();
        w->grid->setCurrentGridRow(3);
        w->grid->detailsAction()->trigger();
        QCOMPARE(opened, QList<QByteArray>({"view " + m_files->path("b.bin"),
                                            "details " + m_files->path("b.bin"),
                                            "details " + m_files->path("c.bin")}));
    }

    // Names with blanks at either end: the grid shows them trimmed, the
    // clipboard copies the exact lines, and " a.txt " is another name than
    // "a.txt".
    void clipboardKeepsTheBlanksOfNames() {
        makeFiles({"a/ spaced.txt ", "b/ spaced.txt ", "c/spaced.txt"}, 10);
        auto w = openWindow(true);
        QVERIFY(runScan(*w));
        QCOMPARE(rowPaths(*w), paths({"a/ spaced.txt ", "b/ spaced.txt "}));
        QCOMPARE(w->grid->gridModel()->cellText(1, 0), u"spaced.txt"_s);
        w->btClip->click();
        const QStringList lines = QGuiApplication::clipboard()->text().split(u"\r\n"_s);
        QCOMPARE(lines.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(lines[i].section('\t', 0, 0), u" spaced.txt "_s);
            QCOMPARE(lines[i].section('\t', 5, 5),
                     QFile::decodeName(m_files->path(i == 0 ? "a" : "b")));
        }
    }

private:
    // Opens with every size counted ("Larger or equal to" 0 KB) unless the
    // window's defaults are asked for.
    std::unique_ptr<TfrmDup> openWindow(bool duplicateMode, bool defaults = false) {
        auto w = std::make_unique<TfrmDup>(duplicateMode, nullptr);
        w->pckDrive->setTickedRoots({m_files->root()});
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("the window was not exposed");
        if (!defaults)
            w->num1->setValue(0);
        return w;
    }

    // Clicks Start and waits for the scan to end; false when no scan started.
    bool runScan(TfrmDup& w) {
        QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
        w.btScan->click();
        return !finished.isEmpty() || (w.scanFrame().isRunning() && finished.wait(60000));
    }

    void makeFiles(std::initializer_list<const char*> relative, qint64 size) {
        for (const char* f : relative)
            m_files->file(f, size);
    }

    QList<QByteArray> rowPaths(const TfrmDup& w) const {
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

    // The files left in the tree, sorted.
    QList<QByteArray> existing() const {
        QList<QByteArray> out;
        QDirIterator it(QFile::decodeName(m_files->root()), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            out.append(QFile::encodeName(it.next()));
        std::sort(out.begin(), out.end());
        return out;
    }

    // Each message shown so far, as "<caption>: <text>".
    QStringList shown() const {
        QStringList out;
        for (const ScriptedDialogs::Shown& m : m_dialogs->messages)
            out << boxCaption(m.kind) + u": "_s + m.text;
        return out;
    }

    std::unique_ptr<test::TempTree> m_files;
    std::unique_ptr<test::TempTree> m_home;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    QByteArray m_oldHome;
};

VANTREL_QTEST_MAIN(TestDup)
#include "tst_dup.moc"
