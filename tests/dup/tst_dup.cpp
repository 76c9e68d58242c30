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
#include "results/ui/TfrmReallyDelete.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/WildcardCombo.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest/QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

using namespace vantrel;

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
    void init();
    void cleanup();

    void abortStopsTheScanThenTheTopPanelShrinks();
    void findMarkAndDelete_data();
    void findMarkAndDelete();
    void fileHogsUnderEachSizeCondition_data();
    void fileHogsUnderEachSizeCondition();
    void secondNumberSmallerIsRefused();
    void wildcardThatFindsNothing();
    void fullCandidateListStopsAndShowsWhatWasFound();
    void fileVanishedBeforeMarking();
    void fileVanishedBeforeDeleting();
    void copyPrintTitleViewAndDetails();

private:
    // Opens with every size counted ("Larger or equal to" 0 KB) unless the
    // window's defaults are asked for.
    std::unique_ptr<TfrmDup> openWindow(bool duplicateMode, bool defaults = false);
    // Clicks Start and waits for the scan to end; false when no scan started.
    bool runScan(TfrmDup& w);
    QList<QByteArray> rowPaths(const TfrmDup& w) const;
    QList<QByteArray> paths(const QList<QByteArray>& relative) const;

    std::unique_ptr<test::TempTree> m_files;
    std::unique_ptr<test::TempTree> m_home;
    QByteArray m_oldHome;
};

void TestDup::init() {
    m_files = std::make_unique<test::TempTree>();
    m_home = std::make_unique<test::TempTree>();
    // Settings and trash of this test live in its own home.
    m_oldHome = qgetenv("HOME");
    qputenv("HOME", m_home->root());
    setDriveListOverride(QList<DriveEntry>{DriveEntry{m_files->root(), QStringLiteral("folder")}});
}

void TestDup::cleanup() {
    setDriveListOverride(std::nullopt);
    qputenv("HOME", m_oldHome);
    m_files.reset();
    m_home.reset();
}

std::unique_ptr<TfrmDup> TestDup::openWindow(bool duplicateMode, bool defaults) {
    auto w = std::make_unique<TfrmDup>(duplicateMode, nullptr);
    w->pckDrive->setTickedRoots({m_files->root()});
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        qWarning("the window was not exposed");
    if (!defaults)
        w->num1->setValue(0);
    return w;
}

bool TestDup::runScan(TfrmDup& w) {
    QSignalSpy finished(&w.scanFrame(), &ScanFrame::finished);
    w.btScan->click();
    if (!w.scanFrame().isRunning() && finished.isEmpty())
        return false;
    return !finished.isEmpty() || finished.wait(60000);
}

QList<QByteArray> TestDup::rowPaths(const TfrmDup& w) const {
    QList<QByteArray> out;
    for (int row = 1; row <= w.grid->rowCounter(); ++row)
        out.append(w.grid->gridModel()->pathAt(row));
    return out;
}

QList<QByteArray> TestDup::paths(const QList<QByteArray>& relative) const {
    QList<QByteArray> out;
    for (const QByteArray& p : relative)
        out.append(m_files->path(p));
    return out;
}

void TestDup::abortStopsTheScanThenTheTopPanelShrinks() {
    m_files->file("a/x.bin", 300000);
    m_files->file("b/x.bin", 300000);
    ScriptedDialogs dialogs;
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
    QCOMPARE(dialogs.messageTexts().value(0),
             QStringLiteral("LIST INCOMPLETE ... ABORTED BY USER"));
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

void TestDup::findMarkAndDelete_data() {
    QTest::addColumn<bool>("recycle");
    QTest::newRow("delete") << false;
    QTest::newRow("recycle") << true;
}

// "Size only": three files of one size and an odd one; the Enter key in the
// grid does not scan again; a cancelled confirmation changes nothing; the
// deletion closes the window and adds to the savings.
void TestDup::findMarkAndDelete() {
    QFETCH(bool, recycle);
    m_files->file("a/one.txt", 1500);
    m_files->file("b/two.txt", 1500);
    m_files->file("c/three.txt", 1500);
    m_files->file("d/odd.txt", 99);
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    w->cbDup->setCurrentIndex(3);
    QVERIFY(runScan(*w));
    QVERIFY(dialogs.messages.isEmpty());
    QCOMPARE(rowPaths(*w), paths({"a/one.txt", "c/three.txt", "b/two.txt"}));
    QCOMPARE(w->pnlSel->text(), QStringLiteral("3 duplicates found"));
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
    QCOMPARE(w->pnlSel->text(), QStringLiteral("2 files 3,000 bytes"));

    dialogs.dialogHandlers.push_back(confirmWith(&TfrmReallyDelete::btClose));
    w->btDelete->click();
    QVERIFY(w->isVisible());
    QVERIFY(exists(m_files->path("b/two.txt")));
    QCOMPARE(readSavings(), SavingsTotals{});

    QList<QByteArray> listed;
    dialogs.answers = {Answer::Yes};
    dialogs.dialogHandlers.push_back(
        confirmWith(recycle ? &TfrmReallyDelete::btRecycle : &TfrmReallyDelete::btDelete, &listed));
    w->btDelete->click();
    QCOMPARE(listed, paths({"b/two.txt", "c/three.txt"}));
    QVERIFY(exists(m_files->path("a/one.txt")) && !exists(m_files->path("b/two.txt")) &&
            !exists(m_files->path("c/three.txt")));
    QCOMPARE(w->result(), int(QDialog::Accepted));
    QVERIFY(!w->isVisible());
    const qint64 today = dayNumber(QDate::currentDate());
    if (recycle) {
        QVERIFY(exists(homeTrashFolder() + "/files/two.txt"));
        QCOMPARE(readSavings(), (SavingsTotals{0, 0, 2, 3000, today}));
    } else {
        QCOMPARE(readSavings(), (SavingsTotals{2, 3000, 0, 0, today}));
    }
}

void TestDup::fileHogsUnderEachSizeCondition_data() {
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
void TestDup::fileHogsUnderEachSizeCondition() {
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
    ScriptedDialogs dialogs;
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
    QCOMPARE(w->pnlSel->text(),
             QString::number(expected.size()) + QStringLiteral(" file hogs found"));
    const ResultGridModel* model = w->grid->gridModel();
    for (int row = 1; row <= model->rowCounter(); ++row)
        QCOMPARE(model->cellText(row, 4), QString::fromUtf8(model->pathAt(row)));
    if (condition < 0)
        QCOMPARE(model->cellText(1, 0), QStringLiteral("5,368,709,120"));
}

void TestDup::secondNumberSmallerIsRefused() {
    m_files->file("a.bin", 300000);
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
    QCOMPARE(w->grid->rowCounter(), 0);
}

void TestDup::wildcardThatFindsNothing() {
    m_files->file("a/a.txt", 300000);
    m_files->file("b/a.txt", 300000);
    // No match, malformed, empty, and a path rather than a name.
    for (const auto& [wildcard, duplicateMode] : {std::pair{"*.zzz", true},
                                                  {"*.zzz", false},
                                                  {"[a-", true},
                                                  {"[a-", false},
                                                  {"", true},
                                                  {"*/a.txt", false}}) {
        ScriptedDialogs dialogs;
        auto w = openWindow(duplicateMode);
        w->cbWildCard->setWildcard(QString::fromUtf8(wildcard));
        QVERIFY(runScan(*w));
        QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("No files found.")});
        QCOMPARE(dialogs.messages[0].kind, BoxKind::Information);
        QCOMPARE(w->grid->rowCounter(), 0);
        QVERIFY(!w->btMark->isVisible() && !w->btDelete->isVisible());
        QVERIFY(w->btScan->isEnabled() && w->cbWildCard->isEnabled());
    }
}

void TestDup::fullCandidateListStopsAndShowsWhatWasFound() {
    // Sub-folders are walked first, in name order: the files of d1, d2 and
    // d3 fill the list of three, d4's file is refused.
    for (const char* f : {"d1/x.dat", "d2/x.dat", "d3/x.dat", "d4/x.dat", "d5/x.dat"})
        m_files->file(f, 10);
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    w->setCandidateCapacity(3);
    QVERIFY(runScan(*w));
    QCOMPARE(dialogs.messageTexts(), QStringList{candidateListFullMessage()});
    QCOMPARE(dialogs.messages[0].kind, BoxKind::Warning);
    QVERIFY(w->scanFrame().lastOutcome().stoppedByTool);
    QCOMPARE(rowPaths(*w), paths({"d1/x.dat", "d2/x.dat", "d3/x.dat"}));
    QCOMPARE(w->pnlSel->text(), QStringLiteral("3 duplicates found"));
    QVERIFY(w->btMark->isVisible() && w->btScan->isEnabled());
}

void TestDup::fileVanishedBeforeMarking() {
    m_files->file("a/gone.txt", 700);
    m_files->file("b/gone.txt", 700);
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    QVERIFY(runScan(*w));
    QVERIFY(QFile::remove(QFile::decodeName(m_files->path("a/gone.txt"))));
    // The mark toggles, but counts nothing, and Delete stays off.
    w->grid->setCurrentGridRow(1);
    w->btMark->click();
    QVERIFY(w->grid->gridModel()->isMarked(1));
    QCOMPARE(w->pnlSel->text(), QStringLiteral("0 files 0 bytes"));
    QVERIFY(!w->btDelete->isEnabled());
    w->btMark->click();
    QCOMPARE(w->pnlSel->text(), QStringLiteral("1 files 700 bytes"));
}

void TestDup::fileVanishedBeforeDeleting() {
    for (const char* f : {"a/v.txt", "b/v.txt", "c/v.txt"})
        m_files->file(f, 100);
    ScriptedDialogs dialogs;
    auto w = openWindow(true);
    QVERIFY(runScan(*w));
    w->grid->Markall1Click();
    QCOMPARE(w->pnlSel->text(), QStringLiteral("3 files 300 bytes"));
    QVERIFY(QFile::remove(QFile::decodeName(m_files->path("b/v.txt"))));
    dialogs.answers = {Answer::Yes};
    dialogs.dialogHandlers.push_back(confirmWith(&TfrmReallyDelete::btDelete));
    w->btDelete->click();
    QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("Couldn't delete file - ") +
                                                 QFile::decodeName(m_files->path("b/v.txt"))});
    QVERIFY(!exists(m_files->path("a/v.txt")));
    QVERIFY(!exists(m_files->path("c/v.txt")));
    QVERIFY(!w->isVisible());
    QCOMPARE(readSavings().deletedCount, 2);
}

// File hogs: the clipboard holds the lines in the order found (not the grid's
// sort), the print title says what was searched even after the inputs change,
// and View and Details, from the buttons and the grid's menu, open the file of
// the current row.
void TestDup::copyPrintTitleViewAndDetails() {
    m_files->file("b.bin", 300000);
    m_files->file("a.bin", 400000);
    m_files->file("c.bin", 500000);
    ScriptedDialogs dialogs;
    auto w = openWindow(false);
    QVERIFY(runScan(*w));
    w->grid->sortAction(3)->trigger();  // by name
    QCOMPARE(w->grid->gridModel()->pathAt(1), m_files->path("a.bin"));
    w->btClip->click();
    const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(lines[i].section(QLatin1Char('\t'), 4, 4),
                 QFile::decodeName(m_files->path(QByteArray("cab").mid(i, 1) + ".bin")));
    QCOMPARE(lines[0].section(QLatin1Char('\t'), 0, 0), QStringLiteral("500,000"));
    w->num1->setValue(9);
    QCOMPARE(w->printTitle(),
             QStringLiteral("File Hogs larger or equal to 0 KB matching *.* on drive(s) ") +
                 QString::fromUtf8(m_files->root()) + QLatin1Char(' '));

    QList<QByteArray> opened;
    const auto record = [&](QDialog& d) {
        if (auto* view = qobject_cast<TfrmView*>(&d))
            opened.append("view " + view->fileName());
        else
            opened.append("details " + dynamic_cast<TfrmDetails&>(d).fileName());
        return int(QDialog::Rejected);
    };
    dialogs.dialogHandlers = {record, record, record};
    w->grid->setCurrentGridRow(2);
    w->grid->viewAction()->trigger();
    w->btDetails->click();
    w->grid->setCurrentGridRow(3);
    w->grid->detailsAction()->trigger();
    QCOMPARE(opened, QList<QByteArray>({"view " + m_files->path("b.bin"),
                                        "details " + m_files->path("b.bin"),
                                        "details " + m_files->path("c.bin")}));
}

VANTREL_QTEST_MAIN(TestDup)
#include "tst_dup.moc"
