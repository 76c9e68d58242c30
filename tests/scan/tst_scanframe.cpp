// Window tests of the scan frame, driven through a small tool window that
// uses it the way the search tools do. Jobs walk real fixture trees; a job
// that must be caught mid-scan waits at a gate the test opens.
#include "scan/ui/ScanFrame.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <QtTest/QtTest>

#include <atomic>
#include <chrono>
#include <thread>

using namespace vantrel;

namespace {

// No gate is held longer than this, so that a broken frame fails instead
// of hanging the test run.
constexpr auto kGateLimit = std::chrono::seconds(30);

// Waits until `open` is set or the scan is aborted (so that a window
// destroyed mid-scan never waits for a gate a failed test left shut).
void waitAtGate(const std::atomic<bool>& open, const ScanControl& control) {
    const auto until = std::chrono::steady_clock::now() + kGateLimit;
    while (!open.load() && !control.aborted() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// Hands on every entry; with the gate shut it holds the walk at the first.
class GateVisitor : public WalkVisitor {
public:
    void entry(const QByteArray&, const FileRecord& r) override {
        names.append(r.name);
        if (names.size() == 1) {
            atFirst.store(true);
            waitAtGate(gateOpen, *control);
        }
    }
    QByteArrayList names;  // written by the job, read after it ended
    std::atomic<bool> atFirst{false};
    std::atomic<bool> gateOpen{true};
    ScanControl* control = nullptr;  // the running scan's
};

class ToolWindow : public QDialog {
public:
    ToolWindow() {
        setWindowTitle(QStringLiteral("Scan frame test"));
        btScan = new QPushButton(QStringLiteral("&Start"), this);
        btClose = new QPushButton(QStringLiteral("Close"), this);
        edWild = new QLineEdit(QStringLiteral("*.*"), this);
        edOff = new QLineEdit(this);
        edOff->setEnabled(false);  // disabled before any scan: stays so after one
        btPrint = new QPushButton(QStringLiteral("&Print"), this);
        btPrint->hide();
        btAbort = new QPushButton(this);
        pnlSel = new QLabel(this);
        grid = new QTableWidget(3, 2, this);

        auto* top = new QHBoxLayout;
        top->addWidget(edWild);
        top->addWidget(edOff);
        top->addWidget(btScan);
        top->addWidget(btAbort);
        top->addWidget(btPrint);
        top->addWidget(btClose);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(top);
        layout->addWidget(grid);
        layout->addWidget(pnlSel);

        frame.setAbortButton(btAbort);
        frame.disableDuringScan({btScan, btClose, edWild, edOff});
        frame.hideDuringScan({btPrint});
        frame.setProgressLabel(pnlSel);
        frame.setBusyWidget(grid);
        connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
    }

    // Walks the given roots with the visitor; the finish counts its names.
    bool scan(const QList<DriveEntry>& drives) {
        visitor.names.clear();
        visitor.atFirst = false;
        finishCalls = 0;
        return frame.start(
            [this, drives](ScanJob& job) {
                visitor.control = &job.control();
                return ScanAllDrives(drives, WalkOptions{}, visitor, job.control());
            },
            [this](const ScanOutcome& outcome) {
                ++finishCalls;
                finishedOnGuiThread = QThread::currentThread() == qApp->thread();
                lastOutcome = outcome;
                return int(visitor.names.size());
            });
    }

    QPushButton* btScan;
    QPushButton* btClose;
    QLineEdit* edWild;
    QLineEdit* edOff;
    QPushButton* btPrint;
    QPushButton* btAbort;
    QLabel* pnlSel;
    QTableWidget* grid;
    GateVisitor visitor;
    int finishCalls = 0;
    bool finishedOnGuiThread = false;
    ScanOutcome lastOutcome;
    ScanFrame frame{this};  // last: destroyed first, while the visitor lives
};

// Message boxes that stay "open" while `whileOpen` runs, with the event
// loop turning as under a real modal box.
class SlowDialogs : public ScriptedDialogs {
public:
    std::function<void()> whileOpen;
    void message(BoxKind kind, const QString& text, QWidget* parent) override {
        ScriptedDialogs::message(kind, text, parent);
        if (whileOpen)
            whileOpen();
    }
};

DriveEntry folderDrive(const QByteArray& root) {
    return DriveEntry{root, QStringLiteral("folder")};
}

}  // namespace

class TestScanFrame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void abortButtonIsLabelledAndHiddenWhenIdle();
    void controlsAreLockedDuringTheScanAndRestoredAfter();
    void abortShowsTheMessageAndEndsWithThePartialRows();
    void finishWaitsUntilTheAbortBoxIsClosed();
    void closeIsRefusedWhileScanning_data();
    void closeIsRefusedWhileScanning();
    void closeCanAbortInsteadForToolsThatWantIt();
    void scanWithoutRowsSaysNoFilesFound_data();
    void scanWithoutRowsSaysNoFilesFound();
    void driveThatCannotBeOpenedIsToldAndTheScanGoesOn();
    void jobCanStopTheScanWithAMessage();
    void postedBatchesRunOnTheWindowThreadBeforeTheFinish();
    void secondStartWhileRunningIsRefused();
};

void TestScanFrame::abortButtonIsLabelledAndHiddenWhenIdle() {
    ToolWindow w;
    w.show();
    QCOMPARE(w.btAbort->text(), QStringLiteral("&Abort"));
    QCOMPARE(w.btAbort->toolTip(), QStringLiteral("Abort scan"));
    QVERIFY(!w.btAbort->isVisible());
    QVERIFY(!w.frame.isRunning());
}

void TestScanFrame::controlsAreLockedDuringTheScanAndRestoredAfter() {
    ScriptedDialogs dialogs;
    test::TempTree tree;
    tree.file("sub/a.txt", 1);
    tree.file("b.txt", 1);
    ToolWindow w;
    w.show();
    w.visitor.gateOpen = false;
    QSignalSpy finished(&w.frame, &ScanFrame::finished);

    QVERIFY(w.scan({folderDrive(tree.root())}));
    QTRY_VERIFY(w.visitor.atFirst.load());
    QVERIFY(w.frame.isRunning());
    QVERIFY(!w.btScan->isEnabled());
    QVERIFY(!w.btClose->isEnabled());
    QVERIFY(!w.edWild->isEnabled());
    QVERIFY(!w.btPrint->isVisible());
    QVERIFY(w.btAbort->isVisible());
    QCOMPARE(w.focusWidget(), w.btAbort);
    QCOMPARE(w.grid->cursor().shape(), Qt::WaitCursor);
    // The progress shows the folder being read (the first file is in "sub").
    QTRY_COMPARE(w.pnlSel->text(), displayText(tree.path("sub")));

    w.visitor.gateOpen = true;
    QTRY_VERIFY(!w.frame.isRunning());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toInt(), 2);
    QCOMPARE(w.finishCalls, 1);
    QVERIFY(w.finishedOnGuiThread);
    QVERIFY(w.btScan->isEnabled());
    QVERIFY(w.btClose->isEnabled());
    QVERIFY(w.edWild->isEnabled());
    QVERIFY(!w.edOff->isEnabled());
    QVERIFY(w.btPrint->isVisible());
    QVERIFY(!w.btAbort->isVisible());
    QVERIFY(!w.grid->testAttribute(Qt::WA_SetCursor));
    QVERIFY(!w.lastOutcome.aborted());
    QCOMPARE(w.lastOutcome.report.handedOn, 2);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestScanFrame::abortShowsTheMessageAndEndsWithThePartialRows() {
    ScriptedDialogs dialogs;
    test::TempTree tree;
    for (const char* n : {"1", "2", "3", "4", "5"})
        tree.file(n, 1);
    ToolWindow w;
    w.show();
    w.visitor.gateOpen = false;  // held until Abort sets the flag
    QSignalSpy aborted(&w.frame, &ScanFrame::abortRequested);
    QVERIFY(w.scan({folderDrive(tree.root())}));
    QTRY_VERIFY(w.visitor.atFirst.load());

    QTest::mouseClick(w.btAbort, Qt::LeftButton);
    QCOMPARE(aborted.size(), 1);
    QVERIFY(!w.btAbort->isVisible());
    QCOMPARE(dialogs.messageTexts(), QStringList{QString::fromLatin1(kScanAbortedText)});
    QCOMPARE(dialogs.messages.first().kind, BoxKind::Warning);

    QTRY_VERIFY(!w.frame.isRunning());
    QCOMPARE(w.visitor.names, QByteArrayList{"1"});
    QVERIFY(w.lastOutcome.abortedByUser);
    QVERIFY(w.lastOutcome.report.aborted);
    QVERIFY(w.btPrint->isVisible());  // one row
    QVERIFY(w.btScan->isEnabled());
    QCOMPARE(dialogs.messages.size(), 1);  // no "No files found." with a row
}

void TestScanFrame::finishWaitsUntilTheAbortBoxIsClosed() {
    SlowDialogs dialogs;
    test::TempTree tree;
    tree.file("1", 1);
    tree.file("2", 1);
    ToolWindow w;
    w.show();
    w.visitor.gateOpen = false;
    int finishCallsWhileOpen = -1;
    bool runningWhileOpen = false;
    QSignalSpy jobEnded(&w.frame, &ScanFrame::jobEnded);
    // While the abort box is open, the job is let go and its end arrives;
    // the finish must wait until the box is closed.
    dialogs.whileOpen = [&] {
        w.visitor.gateOpen = true;
        const auto until = std::chrono::steady_clock::now() + kGateLimit;
        while (jobEnded.isEmpty() && std::chrono::steady_clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        finishCallsWhileOpen = w.finishCalls;
        runningWhileOpen = w.frame.isRunning();
    };
    QVERIFY(w.scan({folderDrive(tree.root())}));
    QTRY_VERIFY(w.visitor.atFirst.load());
    QTest::mouseClick(w.btAbort, Qt::LeftButton);
    QCOMPARE(jobEnded.size(), 1);
    QCOMPARE(finishCallsWhileOpen, 0);
    QVERIFY(runningWhileOpen);
    QTRY_VERIFY(!w.frame.isRunning());
    QCOMPARE(w.finishCalls, 1);
    QCOMPARE(w.visitor.names, QByteArrayList{"1"});
}

void TestScanFrame::closeIsRefusedWhileScanning_data() {
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("close box") << false;
    QTest::newRow("Esc") << true;
}

void TestScanFrame::closeIsRefusedWhileScanning() {
    QFETCH(bool, byEscape);
    ScriptedDialogs dialogs;
    test::TempTree tree;
    tree.file("a", 1);
    ToolWindow w;
    w.show();
    w.visitor.gateOpen = false;
    QVERIFY(w.scan({folderDrive(tree.root())}));
    QTRY_VERIFY(w.visitor.atFirst.load());

    if (byEscape)
        QTest::keyClick(w.btAbort, Qt::Key_Escape);
    else
        QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QVERIFY(w.frame.isRunning());
    QVERIFY(!w.lastOutcome.abortedByUser);

    w.visitor.gateOpen = true;
    QTRY_VERIFY(!w.frame.isRunning());
    QVERIFY(!w.lastOutcome.aborted());
    QVERIFY(w.close());  // idle again: closes
    QVERIFY(dialogs.messages.isEmpty());
}

void TestScanFrame::closeCanAbortInsteadForToolsThatWantIt() {
    ScriptedDialogs dialogs;
    test::TempTree tree;
    tree.file("a", 1);
    tree.file("b", 1);
    ToolWindow w;
    w.frame.setCloseWhileScanning(ScanFrame::CloseWhileScanning::Abort);
    w.show();
    w.visitor.gateOpen = false;
    QVERIFY(w.scan({folderDrive(tree.root())}));
    QTRY_VERIFY(w.visitor.atFirst.load());
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    w.visitor.gateOpen = true;
    QTRY_VERIFY(!w.frame.isRunning());
    QVERIFY(w.lastOutcome.abortedByUser);
    QCOMPARE(w.visitor.names, QByteArrayList{"a"});
    QVERIFY(dialogs.messages.isEmpty());  // a quiet abort: no box
}

void TestScanFrame::scanWithoutRowsSaysNoFilesFound_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("default") << QStringLiteral("default")
                             << QStringList{QString::fromLatin1(kNoFilesFoundText)};
    QTest::newRow("none") << QString() << QStringList{};
}

void TestScanFrame::scanWithoutRowsSaysNoFilesFound() {
    QFETCH(QString, setting);
    QFETCH(QStringList, expected);
    ScriptedDialogs dialogs;
    test::TempTree tree;
    tree.mkdir("empty");
    ToolWindow w;
    if (setting != QStringLiteral("default"))
        w.frame.setNoRowsMessage(setting);
    w.show();
    QSignalSpy finished(&w.frame, &ScanFrame::finished);
    QVERIFY(w.scan({folderDrive(tree.path("empty"))}));
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toInt(), 0);
    QCOMPARE(dialogs.messageTexts(), expected);
    if (!expected.isEmpty())
        QCOMPARE(dialogs.messages.first().kind, BoxKind::Information);
    QVERIFY(!w.btPrint->isVisible());
    QVERIFY(w.btScan->isEnabled());
}

void TestScanFrame::driveThatCannotBeOpenedIsToldAndTheScanGoesOn() {
    ScriptedDialogs dialogs;
    test::TempTree tree;
    tree.file("ok/a", 1);
    const QByteArray notAFolder = tree.file("plain", 1);
    ToolWindow w;
    w.show();
    const DriveEntry bad{notAFolder, QStringLiteral("ext4")};
    QVERIFY(w.scan({bad, folderDrive(tree.path("ok"))}));
    QTRY_VERIFY(!w.frame.isRunning());
    QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("Can't open drive ") + bad.text()});
    QCOMPARE(dialogs.messages.first().kind, BoxKind::Error);
    QCOMPARE(w.visitor.names, QByteArrayList{"a"});
}

void TestScanFrame::jobCanStopTheScanWithAMessage() {
    ScriptedDialogs dialogs;
    test::TempTree tree;
    tree.file("1", 1);
    tree.file("2", 1);
    tree.file("3", 1);
    tree.file("4", 1);
    ToolWindow w;
    w.show();
    QByteArrayList kept;
    const QString full = QStringLiteral("The list is full.");
    struct Limited : WalkVisitor {
        QByteArrayList* kept = nullptr;
        ScanJob* job = nullptr;
        QString text;
        void entry(const QByteArray&, const FileRecord& r) override {
            if (kept->size() == 2) {
                job->stop(BoxKind::Warning, text);
                return;
            }
            kept->append(r.name);
        }
    };
    int rows = -1;
    QVERIFY(w.frame.start(
        [&](ScanJob& job) {
            Limited v;
            v.kept = &kept;
            v.job = &job;
            v.text = full;
            Walker walker(WalkOptions{}, v, job.control());
            walker.walk(tree.root());
            return walker.report();
        },
        [&](const ScanOutcome& o) {
            w.lastOutcome = o;
            rows = int(kept.size());
            return rows;
        }));
    QTRY_VERIFY(!w.frame.isRunning());
    QCOMPARE(rows, 2);
    QCOMPARE(dialogs.messageTexts(), QStringList{full});
    QCOMPARE(dialogs.messages.first().kind, BoxKind::Warning);
    QVERIFY(w.lastOutcome.stoppedByTool);
    QVERIFY(!w.lastOutcome.abortedByUser);
    QVERIFY(w.lastOutcome.report.aborted);  // "4" was never looked at
    QVERIFY(w.lastOutcome.aborted());
}

void TestScanFrame::postedBatchesRunOnTheWindowThreadBeforeTheFinish() {
    ScriptedDialogs dialogs;
    ToolWindow w;
    QStringList order;
    bool allOnGuiThread = true;
    QVERIFY(w.frame.start(
        [&](ScanJob& job) {
            for (int i = 0; i < 3; ++i) {
                job.post([&, i] {
                    allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread();
                    order.append(QString::number(i));
                });
            }
            return WalkReport{};
        },
        [&](const ScanOutcome&) {
            order.append(QStringLiteral("finish"));
            return 3;
        }));
    QTRY_VERIFY(!w.frame.isRunning());
    QCOMPARE(order, (QStringList{"0", "1", "2", "finish"}));
    QVERIFY(allOnGuiThread);
}

void TestScanFrame::secondStartWhileRunningIsRefused() {
    ScriptedDialogs dialogs;
    ToolWindow w;
    std::atomic<bool> gateOpen{false};
    int finishes = 0;
    QVERIFY(w.frame.start(
        [&](ScanJob& job) {
            waitAtGate(gateOpen, job.control());
            return WalkReport{};
        },
        [&](const ScanOutcome&) { return ++finishes; }));
    QVERIFY(!w.frame.start([](ScanJob&) { return WalkReport{}; },
                           [&](const ScanOutcome&) { return finishes += 10; }));
    gateOpen = true;
    QTRY_VERIFY(!w.frame.isRunning());
    QCOMPARE(finishes, 1);
}

VANTREL_QTEST_MAIN(TestScanFrame)
#include "tst_scanframe.moc"
