// The duplicates and file-hogs window end to end on real fixture trees: the
// controls of both modes, the seven criteria, the size conditions, bad
// input, the full candidate list, marking, sorting, printing, the clipboard,
// deletion through the confirmation window, placement and the pair
// comparison hook.

#include "browse/ui/TfrmDetails.h"
#include "browse/ui/TfrmView.h"
#include "dup/DupSearch.h"
#include "dup/ui/TfrmDup.h"
#include "platform/Drives.h"
#include "platform/Trash.h"
#include "results/ResultGridModel.h"
#include "results/Savings.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/TfrmReallyDelete.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/WildcardCombo.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QtTest/QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

using namespace vantrel;

namespace {

// One fixture file: its path below the tree, its size and its modification
// time in minutes after a fixed moment.
struct FixtureFile {
    QByteArray path;
    qint64 size = 0;
    int minutes = 0;
};
using FixtureFiles = QList<FixtureFile>;

const QDateTime kBaseTime(QDate(2020, 5, 1), QTime(10, 0), Qt::UTC);

bool exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

QString noMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

// The pair-comparison window as the duplicates window sees it.
class FakeCompareView : public QWidget, public DupCompareView {
public:
    QList<DupCompareSource*> shownFor;
    QList<DupCompareSource*> closing;
    int rowsSeen = -1;
    int modeSeen = -1;
    void showFor(DupCompareSource& source) override {
        shownFor.append(&source);
        rowsSeen = source.dupGrid().rowCounter();
        modeSeen = source.matchMode();
    }
    void sourceClosing(DupCompareSource& source) override { closing.append(&source); }
};

}  // namespace

Q_DECLARE_METATYPE(FixtureFiles)

class TestDup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void controlsOfEachMode_data();
    void controlsOfEachMode();
    void betweenShowsTheSecondNumber();
    void scanDisablesTheInputsAndAbortEndsIt();
    void duplicatesUnderEachCriterion_data();
    void duplicatesUnderEachCriterion();
    void criterionIsTakenWhenTheScanStarts();
    void fileHogsUnderEachSizeCondition_data();
    void fileHogsUnderEachSizeCondition();
    void fileHogsComeLargestFirstAndKeepTheirCase();
    void secondNumberSmallerIsRefused();
    void wildcardThatFindsNothing_data();
    void wildcardThatFindsNothing();
    void fullCandidateListStopsAndShowsWhatWasFound();
    void rowsArriveInBatches_data();
    void rowsArriveInBatches();
    void markSortPrintAndCopy();
    void deleteThroughTheConfirmation_data();
    void deleteThroughTheConfirmation();
    void cancelledDeletionKeepsTheWindowOpen();
    void fileVanishedBeforeMarking();
    void fileVanishedBeforeDeleting();
    void viewAndDetailsOpenTheRowsFile();
    void placementIsKeptPerMode_data();
    void placementIsKeptPerMode();
    void pairsNeedTheCompareWindow();
    void enterInTheGridDoesNotScanAgain();
    void looksRight_data();
    void looksRight();

private:
    std::unique_ptr<TfrmDup> openWindow(bool duplicateMode, DupCompareView* view = nullptr);
    // Clicks Start and waits for the scan to end; false when no scan started.
    bool runScan(TfrmDup& w);
    void makeFiles(const FixtureFiles& files);
    // Every size counts: "Larger or equal to" 0 bytes.
    static void allSizes(TfrmDup& w);
    static QList<QByteArray> rowPaths(const TfrmDup& w);

    std::unique_ptr<test::TempTree> m_files;
    std::unique_ptr<test::TempTree> m_home;
    QByteArray m_oldHome;
};

void TestDup::init() {
    m_files = std::make_unique<test::TempTree>();
    m_home = std::make_unique<test::TempTree>();
    QVERIFY(m_files->isValid() && m_home->isValid());
    m_oldHome = qgetenv("HOME");
    // Settings, trash and the printed PDF of this test live in its own home.
    qputenv("HOME", m_home->root());
    QVERIFY(QStandardPaths::isTestModeEnabled());
    QVERIFY(vantrelIni().path().startsWith(QFile::decodeName(m_home->root()) + QLatin1Char('/')));
    setDriveListOverride(QList<DriveEntry>{DriveEntry{m_files->root(), QStringLiteral("folder")}});
}

void TestDup::cleanup() {
    setDriveListOverride(std::nullopt);
    qputenv("HOME", m_oldHome);
    m_files.reset();
    m_home.reset();
}

std::unique_ptr<TfrmDup> TestDup::openWindow(bool duplicateMode, DupCompareView* view) {
    auto w = std::make_unique<TfrmDup>(duplicateMode, view);
    w->pckDrive->setTickedRoots({m_files->root()});
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        qWarning("the window was not exposed");
    return w;
}

bool TestDup::runScan(TfrmDup& w) {
    QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
    w.btScan->click();
    if (!w.scanFrame().isRunning() && finished.isEmpty())
        return false;
    return !finished.isEmpty() || finished.wait(60000);
}

void TestDup::makeFiles(const FixtureFiles& files) {
    for (const FixtureFile& f : files) {
        if (f.size >= (qint64(1) << 30)) {
            // Large files are sparse: they take no room on the disk.
            const QByteArray path = m_files->file(f.path, 0);
            QVERIFY(::truncate(path.constData(), f.size) == 0);
        } else {
            m_files->file(f.path, f.size);
        }
        const QDateTime t = kBaseTime.addSecs(qint64(f.minutes) * 60);
        m_files->setTimes(f.path, t, t);
    }
}

void TestDup::allSizes(TfrmDup& w) {
    w.rbLarger->setChecked(true);
    w.num1->setValue(0);
    w.cbKB1->setCurrentIndex(0);
}

QList<QByteArray> TestDup::rowPaths(const TfrmDup& w) {
    QList<QByteArray> out;
    for (int row = 1; row <= w.grid->rowCounter(); ++row)
        out.append(w.grid->gridModel()->pathAt(row));
    return out;
}

// ---- Controls -----------------------------------------------------------------

void TestDup::controlsOfEachMode_data() {
    QTest::addColumn<bool>("duplicateMode");
    QTest::newRow("duplicates") << true;
    QTest::newRow("file hogs") << false;
}

void TestDup::controlsOfEachMode() {
    QFETCH(bool, duplicateMode);
    auto w = openWindow(duplicateMode);
    QCOMPARE(w->windowTitle(), duplicateMode ? QStringLiteral("Find and delete duplicate files")
                                             : QStringLiteral("Find and delete file hogs"));
    QCOMPARE(w->btScan->text(), QStringLiteral("&Start"));
    QCOMPARE(w->btScan->toolTip(), duplicateMode ? QStringLiteral("Duplicates on file name only")
                                                 : QStringLiteral("Start scanning for file hogs"));
    QVERIFY(w->btScan->isDefault());
    QVERIFY(w->btScan->isEnabled());
    QCOMPARE(w->btClose->text(), QStringLiteral("Close"));
    QCOMPARE(w->btClose->toolTip(), QStringLiteral("Close window"));
    QCOMPARE(w->btMark->text(), QStringLiteral("&Mark"));
    QCOMPARE(w->btDelete->text(), QStringLiteral("Delete"));
    QCOMPARE(w->btDelete->toolTip(), QStringLiteral("Delete marked files"));
    QCOMPARE(w->btPrint->text(), QStringLiteral("&Print"));
    QCOMPARE(w->btPrint->toolTip(), QStringLiteral("Print list of files"));
    QCOMPARE(w->btClip->text(), QStringLiteral("C&lipboard"));
    QCOMPARE(w->btClip->toolTip(), QStringLiteral("Copy list of files to clipboard"));
    QCOMPARE(w->btDetails->text(), QStringLiteral("&Details"));
    QCOMPARE(w->btDetails->toolTip(), QStringLiteral("View more file details"));
    QCOMPARE(w->btCompare->text(), QStringLiteral("P&airs"));
    QCOMPARE(w->btCompare->toolTip(), QStringLiteral("Compare file pairs"));
    QCOMPARE(w->cbWildCard->toolTip(), QStringLiteral("Wildcard pattern for matching file types"));
    QCOMPARE(noMnemonic(w->rbLarger->text()), QStringLiteral("Larger or equal to"));
    QCOMPARE(noMnemonic(w->rbSmaller->text()), QStringLiteral("Smaller or equal to"));
    QCOMPARE(noMnemonic(w->rbBetween->text()), QStringLiteral("In between"));
    QCOMPARE(noMnemonic(w->lblMatching->text()), QStringLiteral("Matching"));
    QCOMPARE(noMnemonic(w->lblDup->text()), QStringLiteral("Duplicates matching on : "));

    // As the window opens: 250 KB and more, every file, "Filename only".
    QVERIFY(w->rbLarger->isChecked());
    QCOMPARE(w->num1->value(), 250);
    QCOMPARE(w->num2->value(), 250);
    QCOMPARE(w->num1->minimum(), 0);
    QCOMPARE(w->num1->maximum(), 10000);
    QCOMPARE(w->cbKB1->currentText(), QStringLiteral("KB"));
    QCOMPARE(w->cbKB1->count(), 2);
    QCOMPARE(w->cbKB1->itemText(0), QStringLiteral("bytes"));
    QCOMPARE(w->cbWildCard->wildcard(), QStringLiteral("*.*"));
    QCOMPARE(w->lblWild->text(), QStringLiteral("All files"));
    QVERIFY(w->cbWildCard->count() > 1);
    QCOMPARE(w->cbDup->count(), 7);
    QCOMPARE(w->cbDup->itemText(3), QStringLiteral("Size only"));
    QCOMPARE(w->cbDup->currentIndex(), 0);
    QCOMPARE(w->cbDup->isVisible(), duplicateMode);
    QCOMPARE(w->lblDup->isVisible(), duplicateMode);
    QVERIFY(!w->num2->isVisible());
    QVERIFY(!w->lblAnd->isVisible());

    // Only Start and Close before a scan.
    for (QPushButton* b : {w->btAbort, w->btMark, w->btDelete, w->btPrint, w->btClip, w->btBrowse,
                           w->btDetails, w->btCompare})
        QVERIFY2(!b->isVisible(), qPrintable(b->objectName()));
    QVERIFY(w->btClose->isVisible());
    QCOMPARE(w->grid->sortMenuAction()->isVisible(), !duplicateMode);
    QCOMPARE(w->grid->model()->headerData(0, Qt::Horizontal).toString(),
             duplicateMode ? QStringLiteral("Filename") : QStringLiteral("Size"));

    // The buttons stand 3 pixels apart from the left edge.
    QCOMPARE(w->btScan->mapTo(w.get(), QPoint(0, 0)).x(), 3);
    QCOMPARE(w->btClose->geometry().left(), w->btScan->geometry().right() + 1 + 3);
    // The drive list keeps 8 pixels from the right edge, also after a resize.
    QCOMPARE(w->pckDrive->mapTo(w.get(), QPoint(w->pckDrive->width(), 0)).x(), w->width() - 8);
    w->resize(w->width() + 100, w->height());
    QTRY_COMPARE(w->pckDrive->mapTo(w.get(), QPoint(w->pckDrive->width(), 0)).x(), w->width() - 8);

    // Unticking the only drive disables Start.
    w->pckDrive->setTicked(0, false);
    QVERIFY(!w->btScan->isEnabled());
    w->pckDrive->setTicked(0, true);
    QVERIFY(w->btScan->isEnabled());
}

void TestDup::betweenShowsTheSecondNumber() {
    auto w = openWindow(false);
    w->rbBetween->setChecked(true);
    QVERIFY(w->num2->isVisible());
    QVERIFY(w->lblAnd->isVisible());
    QCOMPARE(w->lblAnd->text(), QStringLiteral("and"));
    w->rbSmaller->setChecked(true);
    QVERIFY(!w->num2->isVisible());
    QVERIFY(!w->lblAnd->isVisible());

    w->cbWildCard->setWildcard(QStringLiteral("*.qqz"));
    QCOMPARE(w->lblWild->text(), QStringLiteral("QQZ File"));
    w->cbWildCard->setWildcard(QStringLiteral("*.*"));
    QCOMPARE(w->lblWild->text(), QStringLiteral("All files"));
}

void TestDup::scanDisablesTheInputsAndAbortEndsIt() {
    makeFiles({{"a/x.bin", 300000}, {"b/x.bin", 300000}});
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    QSignalSpy finished(&w->scanFrame(), &ScanFrame::finished);
    w->btScan->click();
    // Until the window's thread hears that the job has ended, the scan runs.
    QVERIFY(w->scanFrame().isRunning());
    QVERIFY(w->btAbort->isVisible());
    QCOMPARE(w->btAbort->text(), QStringLiteral("&Abort"));
    QCOMPARE(w->btAbort->toolTip(), QStringLiteral("Abort scan"));
    for (QWidget* input : std::initializer_list<QWidget*>{
             w->btScan, w->btClose, w->pckDrive, w->num1, w->cbKB1, w->cbWildCard, w->rbLarger,
             w->rbSmaller, w->rbBetween, w->cbDup})
        QVERIFY2(!input->isEnabled(), qPrintable(input->objectName()));
    for (QPushButton* b : {w->btMark, w->btDelete, w->btPrint, w->btClip, w->btDetails})
        QVERIFY(!b->isVisible());
    // The window does not close while it scans.
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());

    w->btAbort->click();
    QCOMPARE(dialogs.messageTexts(),
             QStringList{QStringLiteral("LIST INCOMPLETE ... ABORTED BY USER")});
    QVERIFY(!finished.isEmpty() || finished.wait(60000));
    QVERIFY(w->scanFrame().lastOutcome().abortedByUser);
    // Whatever was found so far is shown as usual (the walk may not have
    // reached a single file before the abort).
    if (w->grid->rowCounter() > 0) {
        QCOMPARE(w->pnlSel->text(),
                 QString::number(w->grid->rowCounter()) + QStringLiteral(" duplicates found"));
    } else {
        QCOMPARE(dialogs.messageTexts().last(), QStringLiteral("No files found."));
    }
    QVERIFY(!w->btAbort->isVisible());
    for (QWidget* input : std::initializer_list<QWidget*>{w->btScan, w->btClose, w->pckDrive,
                                                          w->num1, w->cbWildCard, w->cbDup})
        QVERIFY2(input->isEnabled(), qPrintable(input->objectName()));
}

// ---- Duplicates ---------------------------------------------------------------

void TestDup::duplicatesUnderEachCriterion_data() {
    QTest::addColumn<int>("criterion");
    QTest::addColumn<FixtureFiles>("files");
    QTest::addColumn<QList<QByteArray>>("expected");

    // Three a.txt in three folders: one group, in line order (by name,
    // then by the size text).
    QTest::newRow("filename only")
        << 0 << FixtureFiles{{"a/a.txt", 300}, {"b/a.txt", 100}, {"c/a.txt", 200}, {"c/b.txt", 100}}
        << QList<QByteArray>{"b/a.txt", "c/a.txt", "a/a.txt"};
    // Names compare ignoring case.
    QTest::newRow("filename and size")
        << 1 << FixtureFiles{{"x/README.TXT", 500}, {"y/readme.txt", 500}, {"z/readme.txt", 501}}
        << QList<QByteArray>{"x/README.TXT", "y/readme.txt"};
    QTest::newRow("filename, size and date") << 2
                                             << FixtureFiles{{"p/f.dat", 70, 0},
                                                             {"q/f.dat", 70, 0},
                                                             {"r/f.dat", 70, 5},
                                                             {"s/f.dat", 71, 0}}
                                             << QList<QByteArray>{"p/f.dat", "q/f.dat"};
    // Two of 1,024 bytes and one of 2,048: the odd one is not shown.
    QTest::newRow("size only") << 3 << FixtureFiles{{"one", 1024}, {"two", 1024}, {"three", 2048}}
                               << QList<QByteArray>{"one", "two"};
    // Lines with equal keys are neighbours even when another name of the
    // same size would sort between them.
    QTest::newRow("size and date")
        << 4 << FixtureFiles{{"a", 100, 0}, {"b", 100, 30}, {"c", 100, 0}}
        << QList<QByteArray>{"a", "c"};
    QTest::newRow("size and type")
        << 5 << FixtureFiles{{"a.qqa", 100}, {"b.qqb", 100}, {"c.qqa", 100}}
        << QList<QByteArray>{"a.qqa", "c.qqa"};
    QTest::newRow("type and date")
        << 6 << FixtureFiles{{"d1/x.qqq", 10, 0}, {"d2/y.qqq", 20, 0}, {"d3/z.qqq", 10, 1}}
        << QList<QByteArray>{"d1/x.qqq", "d2/y.qqq"};
}

void TestDup::duplicatesUnderEachCriterion() {
    QFETCH(int, criterion);
    QFETCH(FixtureFiles, files);
    QFETCH(QList<QByteArray>, expected);
    makeFiles(files);
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    allSizes(*w);
    w->cbDup->setCurrentIndex(criterion);
    QVERIFY(runScan(*w));
    QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messageTexts().join('|')));
    QList<QByteArray> want;
    for (const QByteArray& p : expected)
        want.append(m_files->path(p));
    QCOMPARE(rowPaths(*w), want);
    QCOMPARE(w->pnlSel->text(), QString::number(want.size()) + QStringLiteral(" duplicates found"));
    QCOMPARE(int(w->criterion()), criterion);
    QCOMPARE(w->matchMode(), criterion);

    // Whatever the criterion, the columns show name, size and folder.
    const QByteArray first = want.first();
    const qsizetype slash = first.lastIndexOf('/');
    QCOMPARE(w->grid->gridModel()->cellText(1, 0), QString::fromUtf8(first.mid(slash + 1)));
    QCOMPARE(w->grid->gridModel()->cellText(1, 5), QString::fromUtf8(first.left(slash)));
    FixtureFile made;
    for (const FixtureFile& f : files) {
        if (m_files->path(f.path) == first)
            made = f;
    }
    QCOMPARE(w->grid->gridModel()->cellText(1, 1), numberText(made.size));
    QCOMPARE(w->grid->gridModel()->cellText(1, 2),
             fileDateText(packUnixTime(kBaseTime.addSecs(made.minutes * 60).toSecsSinceEpoch())));

    // After the scan: mark, delete, print, clipboard and details are offered,
    // Browse is not (there is no folder browser to open).
    for (QPushButton* b : {w->btMark, w->btDelete, w->btPrint, w->btClip, w->btDetails})
        QVERIFY2(b->isVisible(), qPrintable(b->objectName()));
    QVERIFY(!w->btBrowse->isVisible());
    QVERIFY(!w->btAbort->isVisible());
    QVERIFY(!w->btDelete->isEnabled());
}

void TestDup::criterionIsTakenWhenTheScanStarts() {
    makeFiles({{"one", 1024}, {"two", 1024}, {"a/same", 1}, {"b/same", 2}});
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    allSizes(*w);
    w->cbDup->setCurrentIndex(3);
    QVERIFY(runScan(*w));
    QCOMPARE(rowPaths(*w), (QList<QByteArray>{m_files->path("one"), m_files->path("two")}));
    // Changing the choice afterwards changes nothing until the next scan.
    w->cbDup->setCurrentIndex(0);
    QCOMPARE(w->matchMode(), 3);
    QCOMPARE(w->grid->gridModel()->cellText(1, 0), QStringLiteral("one"));
    QVERIFY(runScan(*w));
    QCOMPARE(w->matchMode(), 0);
    QCOMPARE(rowPaths(*w), (QList<QByteArray>{m_files->path("a/same"), m_files->path("b/same")}));
}

// ---- File hogs ----------------------------------------------------------------

void TestDup::fileHogsUnderEachSizeCondition_data() {
    QTest::addColumn<int>("condition");  // 0 larger, 1 smaller, 2 between
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<bool>("kilobytes");
    QTest::addColumn<QList<QByteArray>>("expected");  // largest first

    // The window's defaults: larger or equal to 250 KB (256,000 bytes).
    QTest::newRow("defaults") << 0 << 250 << 250 << true
                              << QList<QByteArray>{"huge.iso", "exact.bin"};
    QTest::newRow("smaller or equal to 1 KB")
        << 1 << 1 << 0 << true << QList<QByteArray>{"k.bin", "small.bin", "tiny.bin"};
    QTest::newRow("smaller or equal to 100 bytes")
        << 1 << 100 << 0 << false << QList<QByteArray>{"small.bin", "tiny.bin"};
    // In between 100 and 100 KB: only files of exactly 102,400 bytes.
    QTest::newRow("in between 100 and 100 KB")
        << 2 << 100 << 100 << true << QList<QByteArray>{"hundred.bin"};
    QTest::newRow("in between bytes")
        << 2 << 0 << 1024 << false << QList<QByteArray>{"k.bin", "small.bin", "tiny.bin"};
}

void TestDup::fileHogsUnderEachSizeCondition() {
    QFETCH(int, condition);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(bool, kilobytes);
    QFETCH(QList<QByteArray>, expected);
    makeFiles({{"tiny.bin", 1},
               {"small.bin", 100},
               {"k.bin", 1024},
               {"k1.bin", 1025},
               {"hundred.bin", 102400},
               {"below.bin", 255999},
               {"exact.bin", 256000},
               {"huge.iso", qint64(5) << 30}});
    ScriptedDialogs dialogs;
    auto w = openWindow(false);
    QRadioButton* radio[] = {w->rbLarger, w->rbSmaller, w->rbBetween};
    radio[condition]->setChecked(true);
    w->num1->setValue(first);
    w->num2->setValue(second);
    w->cbKB1->setCurrentIndex(kilobytes ? 1 : 0);
    QVERIFY(runScan(*w));
    QList<QByteArray> want;
    for (const QByteArray& p : expected)
        want.append(m_files->path(p));
    QCOMPARE(rowPaths(*w), want);
    QCOMPARE(w->pnlSel->text(), QString::number(want.size()) + QStringLiteral(" file hogs found"));
    if (expected.contains("huge.iso"))
        QCOMPARE(w->grid->gridModel()->cellText(1, 0), QStringLiteral("5,368,709,120"));
}

void TestDup::fileHogsComeLargestFirstAndKeepTheirCase() {
    makeFiles({{"Data/Mixed.ISO", 300000},
               {"Data/Second.Bin", 900000},
               {"Data/third.BIN", 600000},
               {"Other/A.b", 256000}});
    ScriptedDialogs dialogs;
    auto w = openWindow(false);
    QVERIFY(runScan(*w));
    const ResultGridModel* model = w->grid->gridModel();
    QCOMPARE(rowPaths(*w),
             (QList<QByteArray>{m_files->path("Data/Second.Bin"), m_files->path("Data/third.BIN"),
                                m_files->path("Data/Mixed.ISO"), m_files->path("Other/A.b")}));
    // Every path keeps its letters as found.
    for (int row = 1; row <= 4; ++row)
        QCOMPARE(model->cellText(row, 4), QString::fromUtf8(model->pathAt(row)));
    QCOMPARE(model->cellText(1, 0), QStringLiteral("900,000"));
    QCOMPARE(w->grid->checkedSortKey(), 0);
    // The scan left the size key ascending: the first "Size" choice sorts
    // smallest first.
    w->grid->sortAction(0)->trigger();
    QCOMPARE(model->cellText(1, 0), QStringLiteral("256,000"));
    QCOMPARE(model->cellText(4, 0), QStringLiteral("900,000"));
}

// ---- Bad input ----------------------------------------------------------------

void TestDup::secondNumberSmallerIsRefused() {
    makeFiles({{"a.bin", 300000}});
    ScriptedDialogs dialogs;
    auto w = openWindow(false);
    w->rbBetween->setChecked(true);
    w->num1->setValue(500);
    w->num2->setValue(499);
    QVERIFY(!runScan(*w));
    QCOMPARE(dialogs.messageTexts(),
             QStringList{QStringLiteral(
                 "The second number must be larger or equal than the first number")});
    QCOMPARE(dialogs.messages[0].kind, BoxKind::Error);
    QVERIFY(!w->scanFrame().isRunning());
    QCOMPARE(w->grid->rowCounter(), 0);
    // Equal numbers are fine.
    w->num2->setValue(500);
    dialogs.messages.clear();
    QVERIFY(runScan(*w));
    QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("No files found.")});
}

void TestDup::wildcardThatFindsNothing_data() {
    QTest::addColumn<QString>("wildcard");
    QTest::newRow("no match") << QStringLiteral("*.zzz");
    QTest::newRow("unclosed bracket") << QStringLiteral("[a-");
    QTest::newRow("only separators") << QStringLiteral(";;");
    QTest::newRow("empty") << QString();
    QTest::newRow("a path") << QStringLiteral("*/a.txt");
}

void TestDup::wildcardThatFindsNothing() {
    QFETCH(QString, wildcard);
    makeFiles({{"a/a.txt", 300000}, {"b/a.txt", 300000}});
    for (bool duplicateMode : {true, false}) {
        ScriptedDialogs dialogs;
        auto w = openWindow(duplicateMode);
        w->cbWildCard->setWildcard(wildcard);
        QVERIFY(runScan(*w));
        QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("No files found.")});
        QCOMPARE(dialogs.messages[0].kind, BoxKind::Information);
        QCOMPARE(w->grid->rowCounter(), 0);
        QVERIFY(w->pnlSel->text().isEmpty());
        for (QPushButton* b :
             {w->btMark, w->btDelete, w->btPrint, w->btClip, w->btDetails, w->btCompare})
            QVERIFY(!b->isVisible());
        QVERIFY(w->btScan->isEnabled());
        QVERIFY(w->btClose->isEnabled());
        QVERIFY(w->cbWildCard->isEnabled());
    }
}

void TestDup::fullCandidateListStopsAndShowsWhatWasFound() {
    // Sub-folders are walked first, in name order: the files of d1, d2 and
    // d3 fill the list of three, d4's file is refused.
    makeFiles(
        {{"d1/x.dat", 10}, {"d2/x.dat", 10}, {"d3/x.dat", 10}, {"d4/x.dat", 10}, {"d5/x.dat", 10}});
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    allSizes(*w);
    w->setCandidateCapacity(3);
    QVERIFY(runScan(*w));
    QCOMPARE(dialogs.messageTexts(), QStringList{candidateListFullMessage()});
    QCOMPARE(dialogs.messages[0].kind, BoxKind::Warning);
    QVERIFY(candidateListFullMessage().endsWith(QStringLiteral(
        "files.\n\nTry increasing the file size limits or file match and re-scan.")));
    QVERIFY(w->scanFrame().lastOutcome().stoppedByTool);
    QVERIFY(w->scanFrame().lastOutcome().aborted());
    QCOMPARE(rowPaths(*w), (QList<QByteArray>{m_files->path("d1/x.dat"), m_files->path("d2/x.dat"),
                                              m_files->path("d3/x.dat")}));
    QCOMPARE(w->pnlSel->text(), QStringLiteral("3 duplicates found"));
    QVERIFY(w->btMark->isVisible());
    QVERIFY(w->btScan->isEnabled());

    // With room enough the same tree gives all five.
    w->setCandidateCapacity(5);
    dialogs.messages.clear();
    QVERIFY(runScan(*w));
    QVERIFY(dialogs.messages.isEmpty());
    QCOMPARE(w->grid->rowCounter(), 5);
}

void TestDup::rowsArriveInBatches_data() {
    QTest::addColumn<bool>("duplicateMode");
    QTest::newRow("duplicates") << true;
    QTest::newRow("file hogs") << false;
}

void TestDup::rowsArriveInBatches() {
    QFETCH(bool, duplicateMode);
    makeFiles({{"a/n.txt", 5},
               {"b/n.txt", 3},
               {"c/n.txt", 9},
               {"d/n.txt", 1},
               {"e/n.txt", 7},
               {"f/odd.txt", 2}});
    ScriptedDialogs dialogs;
    QList<QList<QByteArray>> seen;
    for (int batch : {100, 2, 1}) {
        auto w = openWindow(duplicateMode);
        allSizes(*w);
        w->setRowBatchSize(batch);
        QVERIFY(runScan(*w));
        seen.append(rowPaths(*w));
    }
    QCOMPARE(seen[0].size(), duplicateMode ? 5 : 6);
    QCOMPARE(seen[1], seen[0]);
    QCOMPARE(seen[2], seen[0]);
    if (!duplicateMode)
        QCOMPARE(seen[0].first(), m_files->path("c/n.txt"));  // largest first
    QVERIFY(dialogs.messages.isEmpty());
}

// ---- Marks, sorting, printing, clipboard --------------------------------------

void TestDup::markSortPrintAndCopy() {
    makeFiles({{"b.bin", 300000}, {"a.bin", 400000}, {"c.bin", 500000}});
    ScriptedDialogs dialogs;
    auto w = openWindow(false);
    QVERIFY(runScan(*w));
    ResultGridModel* model = w->grid->gridModel();
    QCOMPARE(model->cellText(1, 4), QFile::decodeName(m_files->path("c.bin")));

    // Mark the largest: the status counts it and Delete is offered.
    w->grid->setCurrentGridRow(1);
    QTest::mouseClick(w->btMark, Qt::LeftButton);
    QCOMPARE(w->pnlSel->text(), QStringLiteral("1 files 500,000 bytes"));
    QVERIFY(w->btDelete->isEnabled());
    QCOMPARE(w->grid->currentGridRow(), 2);

    // Sorting by name moves the mark with its file.
    w->grid->sortAction(3)->trigger();
    QCOMPARE(model->cellText(1, 4), QFile::decodeName(m_files->path("a.bin")));
    QVERIFY(model->isMarked(3));
    w->grid->deleteOneFile(3);
    QCOMPARE(w->pnlSel->text(), QStringLiteral("0 files 0 bytes"));
    QCOMPARE(model->markedPathCount(), 0);

    // The clipboard holds the candidate lines in the order of the result,
    // not in the grid's present order.
    w->btClip->click();
    const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QStringList fields = lines[i].split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 6);
        QCOMPARE(fields[4], QFile::decodeName(m_files->path(QByteArray("cab").mid(i, 1) + ".bin")));
    }
    QCOMPARE(lines[0].section(QLatin1Char('\t'), 0, 0), QStringLiteral("500,000"));

    // The printed title names the search as it was made.
    const QString root = QFile::decodeName(m_files->root());
    QCOMPARE(w->printTitle(),
             QStringLiteral("File Hogs larger or equal to 250 KB matching *.* on drive(s) ") +
                 root + QLatin1Char(' '));
    w->num1->setValue(9);
    QCOMPARE(w->sizeConditionText(), QStringLiteral("larger or equal to 9 KB"));
    QVERIFY(w->printTitle().contains(QStringLiteral("250 KB")));
    w->rbSmaller->setChecked(true);
    w->cbKB1->setCurrentIndex(0);
    QCOMPARE(w->sizeConditionText(), QStringLiteral("smaller or equal to 9 bytes"));
    w->rbBetween->setChecked(true);
    w->num2->setValue(12);
    QCOMPARE(w->sizeConditionText(), QStringLiteral("in between 9 bytes and 12 bytes"));

    const QString pdf = QDir::home().filePath(QStringLiteral("vantrel-report.pdf"));
    QFile::remove(pdf);
    dialogs.printAnswers = {false};
    w->btPrint->click();
    QVERIFY(!QFile::exists(pdf));
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("a printer is set up here; the test would print on it");
    dialogs.printAnswers = {true};
    w->btPrint->click();
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("%PDF"));
    QVERIFY(dialogs.messages.isEmpty());
}

// ---- Deletion -----------------------------------------------------------------

void TestDup::deleteThroughTheConfirmation_data() {
    QTest::addColumn<bool>("recycle");
    QTest::newRow("delete") << false;
    QTest::newRow("recycle") << true;
}

void TestDup::deleteThroughTheConfirmation() {
    QFETCH(bool, recycle);
    makeFiles({{"a/same.txt", 1000}, {"b/same.txt", 2000}, {"c/same.txt", 3500}});
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    allSizes(*w);
    QVERIFY(runScan(*w));
    QCOMPARE(w->grid->rowCounter(), 3);
    // Double clicks and the Mark button mark rows.
    w->grid->setCurrentGridRow(2);
    w->grid->gridDblClick();
    w->grid->setCurrentGridRow(3);
    w->btMark->click();
    QCOMPARE(w->pnlSel->text(), QStringLiteral("2 files 5,500 bytes"));
    QVERIFY(w->btDelete->isEnabled());

    QList<QByteArray> listed;
    dialogs.answers = {Answer::Yes};
    dialogs.dialogHandlers.push_back([&](QDialog& d) {
        auto& confirm = dynamic_cast<TfrmReallyDelete&>(d);
        listed = confirm.paths();
        QTest::mouseClick(recycle ? confirm.btRecycle : confirm.btDelete, Qt::LeftButton);
        return confirm.result();
    });
    w->btDelete->click();
    QCOMPARE(listed, (QList<QByteArray>{m_files->path("b/same.txt"), m_files->path("c/same.txt")}));
    QVERIFY(exists(m_files->path("a/same.txt")));
    QVERIFY(!exists(m_files->path("b/same.txt")));
    QVERIFY(!exists(m_files->path("c/same.txt")));
    // The window has closed.
    QCOMPARE(w->result(), int(QDialog::Accepted));
    QVERIFY(!w->isVisible());
    const qint64 today = dayNumber(QDate::currentDate());
    if (recycle) {
        QVERIFY(exists(homeTrashFolder() + "/files/same.txt"));
        QCOMPARE(readSavings(), (SavingsTotals{0, 0, 2, 5500, today}));
    } else {
        QCOMPARE(readSavings(), (SavingsTotals{2, 5500, 0, 0, today}));
    }

    // A second window adds to the totals.
    makeFiles({{"d/again.txt", 500}, {"e/again.txt", 500}});
    auto second = openWindow(true);
    allSizes(*second);
    QVERIFY(runScan(*second));
    second->grid->Markall1Click();
    dialogs.answers = {Answer::Yes};
    dialogs.dialogHandlers.push_back([&](QDialog& d) {
        auto& confirm = dynamic_cast<TfrmReallyDelete&>(d);
        QTest::mouseClick(recycle ? confirm.btRecycle : confirm.btDelete, Qt::LeftButton);
        return confirm.result();
    });
    second->btDelete->click();
    if (recycle)
        QCOMPARE(readSavings(), (SavingsTotals{0, 0, 4, 6500, today}));
    else
        QCOMPARE(readSavings(), (SavingsTotals{4, 6500, 0, 0, today}));
}

void TestDup::cancelledDeletionKeepsTheWindowOpen() {
    makeFiles({{"a/k.txt", 10}, {"b/k.txt", 10}});
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    allSizes(*w);
    QVERIFY(runScan(*w));
    // Nothing marked: Delete shows nothing.
    w->btDeleteClick();
    QVERIFY(dialogs.dialogTitles.isEmpty());
    w->grid->Markall1Click();
    dialogs.dialogHandlers.push_back([](QDialog& d) {
        auto& confirm = dynamic_cast<TfrmReallyDelete&>(d);
        QTest::mouseClick(confirm.btClose, Qt::LeftButton);
        return confirm.result();
    });
    w->btDelete->click();
    QCOMPARE(dialogs.dialogTitles,
             QStringList{QStringLiteral("Delete/rename the following files:")});
    QVERIFY(w->isVisible());
    QVERIFY(exists(m_files->path("a/k.txt")));
    QVERIFY(exists(m_files->path("b/k.txt")));
    QCOMPARE(w->grid->gridModel()->markedPathCount(), 2);
    QCOMPARE(readSavings(), SavingsTotals{});
}

void TestDup::fileVanishedBeforeMarking() {
    makeFiles({{"a/gone.txt", 700}, {"b/gone.txt", 700}});
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    allSizes(*w);
    QVERIFY(runScan(*w));
    QVERIFY(QFile::remove(QFile::decodeName(m_files->path("a/gone.txt"))));
    // The mark toggles, but counts nothing, and Delete stays off.
    w->grid->setCurrentGridRow(1);
    w->btMark->click();
    QVERIFY(w->grid->gridModel()->isMarked(1));
    QCOMPARE(w->pnlSel->text(), QStringLiteral("0 files 0 bytes"));
    QVERIFY(!w->btDelete->isEnabled());
    // The other file counts as usual.
    w->btMark->click();
    QCOMPARE(w->pnlSel->text(), QStringLiteral("1 files 700 bytes"));
    QVERIFY(w->btDelete->isEnabled());
    // View and Details do nothing on the vanished file.
    w->grid->setCurrentGridRow(1);
    w->grid->viewAction()->trigger();
    w->btDetails->click();
    QVERIFY(dialogs.dialogTitles.isEmpty());
}

void TestDup::fileVanishedBeforeDeleting() {
    makeFiles({{"a/v.txt", 100}, {"b/v.txt", 100}, {"c/v.txt", 100}});
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    allSizes(*w);
    QVERIFY(runScan(*w));
    w->grid->Markall1Click();
    QCOMPARE(w->pnlSel->text(), QStringLiteral("3 files 300 bytes"));
    QVERIFY(QFile::remove(QFile::decodeName(m_files->path("b/v.txt"))));
    dialogs.answers = {Answer::Yes};
    dialogs.dialogHandlers.push_back([](QDialog& d) {
        auto& confirm = dynamic_cast<TfrmReallyDelete&>(d);
        QTest::mouseClick(confirm.btDelete, Qt::LeftButton);
        return confirm.result();
    });
    w->btDelete->click();
    QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("Couldn't delete file - ") +
                                                 QFile::decodeName(m_files->path("b/v.txt"))});
    QVERIFY(!exists(m_files->path("a/v.txt")));
    QVERIFY(!exists(m_files->path("c/v.txt")));
    QVERIFY(!w->isVisible());
    QCOMPARE(readSavings().deletedCount, 2);
}

// ---- Other windows ------------------------------------------------------------

void TestDup::viewAndDetailsOpenTheRowsFile() {
    makeFiles({{"a/s.txt", 10}, {"b/s.txt", 10}});
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    allSizes(*w);
    QVERIFY(runScan(*w));
    QByteArray viewed;
    QByteArray detailed;
    dialogs.dialogHandlers.push_back([&](QDialog& d) {
        viewed = dynamic_cast<TfrmView&>(d).fileName();
        return int(QDialog::Rejected);
    });
    dialogs.dialogHandlers.push_back([&](QDialog& d) {
        detailed = dynamic_cast<TfrmDetails&>(d).fileName();
        return int(QDialog::Rejected);
    });
    w->grid->setCurrentGridRow(2);
    w->grid->viewAction()->trigger();
    QCOMPARE(viewed, m_files->path("b/s.txt"));
    w->grid->setCurrentGridRow(1);
    w->btDetails->click();
    QCOMPARE(detailed, m_files->path("a/s.txt"));
    QCOMPARE(dialogs.dialogTitles.size(), 2);
    // The grid menu's Details opens the same window.
    dialogs.dialogHandlers.push_back([&](QDialog& d) {
        detailed = dynamic_cast<TfrmDetails&>(d).fileName();
        return int(QDialog::Rejected);
    });
    w->grid->setCurrentGridRow(2);
    w->grid->detailsAction()->trigger();
    QCOMPARE(detailed, m_files->path("b/s.txt"));
}

void TestDup::placementIsKeptPerMode_data() {
    QTest::addColumn<bool>("duplicateMode");
    QTest::newRow("duplicates") << true;
    QTest::newRow("file hogs") << false;
}

void TestDup::placementIsKeptPerMode() {
    QFETCH(bool, duplicateMode);
    const QString mine = duplicateMode ? QStringLiteral("frmDups") : QStringLiteral("frmMods");
    const QString other = duplicateMode ? QStringLiteral("frmMods") : QStringLiteral("frmDups");
    {
        auto w = openWindow(duplicateMode);
        w->resize(w->width() + 40, w->height() + 30);
        QTest::qWait(10);
    }
    IniFile ini = vantrelIni();
    const QString stored = ini.readString(mine, QStringLiteral("frmMods"));
    QCOMPARE(stored.split(QLatin1Char(' '), Qt::SkipEmptyParts).size(), 10);
    QVERIFY(!ini.hasSection(other));

    // The next window of the same mode opens where the last one was.
    const QStringList fields = stored.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const int width = fields[8].toInt() - fields[6].toInt();
    auto again = openWindow(duplicateMode);
    QCOMPARE(again->width(), width);
}

void TestDup::pairsNeedTheCompareWindow() {
    makeFiles({{"a/p.txt", 10}, {"b/p.txt", 10}});
    ScriptedDialogs dialogs;
    {
        // Without a compare window "P&airs" never shows.
        auto w = openWindow(true);
        allSizes(*w);
        QVERIFY(runScan(*w));
        QVERIFY(w->btPrint->isVisible());
        QVERIFY(!w->btCompare->isVisible());
    }
    FakeCompareView view;
    {
        // Not in file-hog mode either.
        auto w = openWindow(false, &view);
        allSizes(*w);
        QVERIFY(runScan(*w));
        QVERIFY(!w->btCompare->isVisible());
    }
    view.closing.clear();
    auto w = openWindow(true, &view);
    allSizes(*w);
    w->cbDup->setCurrentIndex(1);
    QVERIFY(runScan(*w));
    QVERIFY(w->btCompare->isVisible());
    w->btCompare->click();
    QCOMPARE(view.shownFor, QList<DupCompareSource*>{w.get()});
    QCOMPARE(view.rowsSeen, 2);
    QCOMPARE(view.modeSeen, 1);
    QCOMPARE(w->sourceWindow(), w.get());
    // Marking through the interface counts like a double click.
    w->MarkThisFile(2);
    QCOMPARE(w->pnlSel->text(), QStringLiteral("1 files 10 bytes"));
    QVERIFY(w->btDelete->isEnabled());
    w->MarkThisFile(0);
    QCOMPARE(w->grid->gridModel()->markedPathCount(), 1);
    // A scan that finds nothing hides the button again.
    w->cbWildCard->setWildcard(QStringLiteral("*.none"));
    QVERIFY(runScan(*w));
    QVERIFY(!w->btCompare->isVisible());
    DupCompareSource* source = w.get();
    w.reset();
    QCOMPARE(view.closing, QList<DupCompareSource*>{source});
}

void TestDup::enterInTheGridDoesNotScanAgain() {
    makeFiles({{"a/e.txt", 10}, {"b/e.txt", 10}});
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    allSizes(*w);
    QVERIFY(runScan(*w));
    w->grid->gridDblClick();
    QCOMPARE(w->grid->gridModel()->markedPathCount(), 1);
    w->grid->setFocus();
    QTest::keyClick(w->grid, Qt::Key_Return);
    QVERIFY(!w->scanFrame().isRunning());
    QCOMPARE(w->grid->gridModel()->markedPathCount(), 1);
    // The Delete key marks the current row.
    w->grid->setCurrentGridRow(2);
    QTest::keyClick(w->grid, Qt::Key_Delete);
    QCOMPARE(w->grid->gridModel()->markedPathCount(), 2);
}

// ---- Looks --------------------------------------------------------------------

void TestDup::looksRight_data() {
    QTest::addColumn<bool>("duplicateMode");
    QTest::newRow("duplicates") << true;
    QTest::newRow("file hogs") << false;
}

void TestDup::looksRight() {
    QFETCH(bool, duplicateMode);
    makeFiles({{"Documents/report.pdf", 812345, 0},
               {"Backup/Documents/report.pdf", 812345, 0},
               {"Music/song.mp3", 4500000, 60},
               {"Old/song.mp3", 4500000, 120},
               {"Videos/holiday.mkv", qint64(3) << 30, 600},
               {"Copy/holiday.mkv", qint64(3) << 30, 600}});
    ScriptedDialogs dialogs;
    auto w = openWindow(duplicateMode, nullptr);
    if (!duplicateMode) {
        // The second number and "and" take their place in the row.
        w->rbBetween->setChecked(true);
        w->num2->setValue(10000);
        w->cbKB1->setCurrentIndex(1);
    }
    QVERIFY(runScan(*w));
    QVERIFY(w->grid->rowCounter() >= 2);
    w->grid->setCurrentGridRow(1);
    w->btMark->click();

    // Nothing clipped: every visible button and label gets its full width.
    for (QPushButton* b : w->findChildren<QPushButton*>()) {
        if (b->isVisible())
            QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->objectName()));
    }
    for (QLabel* l : {w->lblDup, w->lblMatching, w->lblAnd}) {
        if (l->isVisible())
            QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->objectName()));
    }
    QVERIFY(w->rbBetween->width() >= w->rbBetween->sizeHint().width());
    // The window cannot shrink below the top panel, and opens larger.
    QVERIFY(w->minimumWidth() >= w->Panel1->minimumSizeHint().width());
    QVERIFY(w->minimumHeight() >= w->Panel1->height());
    QVERIFY(w->width() >= w->minimumWidth());
    const QString file = QDir(QDir::tempPath())
                             .filePath(duplicateMode ? QStringLiteral("dupwin-duplicates.png")
                                                     : QStringLiteral("dupwin-filehogs.png"));
    QVERIFY(w->grab().save(file));

    // The last column ends at the right edge of the grid.
    const int last = w->grid->model()->columnCount() - 1;
    const int right = w->grid->columnViewportPosition(last) + w->grid->columnWidth(last);
    const int edge = w->grid->viewport()->width();
    QVERIFY2(right >= edge - 2 && right <= edge,
             qPrintable(QStringLiteral("%1 of %2").arg(right).arg(edge)));
    // Sizes fit their column, also sizes of several GB (the hogs here are
    // at most 10,000 KB).
    const int sizeColumn = duplicateMode ? 1 : 0;
    const QString largest =
        duplicateMode ? QStringLiteral("3,221,225,472") : QStringLiteral("4,500,000");
    if (!duplicateMode)
        QCOMPARE(w->grid->gridModel()->cellText(1, 0), largest);
    QVERIFY(w->grid->columnWidth(sizeColumn) >=
            w->grid->fontMetrics().horizontalAdvance(largest) + 4);
}

VANTREL_QTEST_MAIN(TestDup)
#include "tst_dup.moc"
