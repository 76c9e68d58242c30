// Window tests of the scan frame, driven through a small tool window that
// uses it the way the search tools do. Jobs walk real fixture trees; a job
// that must be caught mid-scan waits at a gate the test opens.
#include "scan/ui/ScanFrame.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

// Waits until `open` is set or the scan is aborted; never longer than 30 s,
// so that a broken frame fails instead of hanging the test run.
void waitAtGate(const std::atomic<bool>& open, const ScanControl& control) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!open.load() && !control.aborted() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// Keeps every name; with the gate shut it holds the walk at the first one.
// With `limit` set it stops the scan with a message once it holds that many.
class GateVisitor : public WalkVisitor {
public:
    void entry(const QByteArray&, const FileRecord& r) override {
        if (limit > 0 && names.size() == limit) {
            job->stop(BoxKind::Warning, QStringLiteral("The list is full."));
            return;
        }
        names.append(r.name);
        if (names.size() == 1) {
            atFirst.store(true);
            waitAtGate(gateOpen, job->control());
        }
    }
    QByteArrayList names;  // written by the job, read after it ended
    std::atomic<bool> atFirst{false};
    std::atomic<bool> gateOpen{true};
    qsizetype limit = 0;
    ScanJob* job = nullptr;  // the running scan's
};

DriveEntry folderDrive(const QByteArray& root) {
    return DriveEntry{root, QStringLiteral("folder")};
}

class ToolWindow : public QDialog {
public:
    ToolWindow() {
        edOff->setEnabled(false);  // disabled before any scan: stays so after one
        btPrint->hide();
        frame.setAbortButton(btAbort);
        frame.disableDuringScan({btScan, edWild, edOff});
        frame.hideDuringScan({btPrint});
        frame.setProgressLabel(pnlSel);
        frame.setBusyWidget(pnlSel);
    }

    bool scan(const QList<DriveEntry>& drives) {
        visitor.names.clear();
        return frame.start(
            [this, drives](ScanJob& job) {
                visitor.job = &job;
                const WalkReport report =
                    ScanAllDrives(drives, WalkOptions{}, visitor, job.control());
                // Batches posted by the job run on the window's thread before the finish.
                job.post([this] { finishCallsAtPost = finishCalls; });
                return report;
            },
            [this](const ScanOutcome& outcome) {
                ++finishCalls;
                finishedOnGuiThread = QThread::currentThread() == qApp->thread();
                lastOutcome = outcome;
                return int(visitor.names.size());
            });
    }
    // Starts a scan of the folder `root` and waits until it is held at the first name.
    void scanHeld(const QByteArray& root) {
        visitor.gateOpen = false;
        QVERIFY(scan({folderDrive(root)}));
        QTRY_VERIFY(visitor.atFirst.load());
    }

    QPushButton* btScan = new QPushButton(QStringLiteral("&Start"), this);
    QLineEdit* edWild = new QLineEdit(this);
    QLineEdit* edOff = new QLineEdit(this);
    QPushButton* btPrint = new QPushButton(QStringLiteral("&Print"), this);
    QPushButton* btAbort = new QPushButton(this);
    QLabel* pnlSel = new QLabel(this);
    GateVisitor visitor;
    int finishCalls = 0, finishCallsAtPost = -1;
    bool finishedOnGuiThread = false;
    ScanOutcome lastOutcome;
    ScanFrame frame{this};  // last: destroyed first, while the visitor lives
};

// Message boxes that stay "open" while `whileOpen` runs.
class SlowDialogs : public ScriptedDialogs {
public:
    std::function<void()> whileOpen;
    void message(BoxKind kind, const QString& text, QWidget* parent) override {
        ScriptedDialogs::message(kind, text, parent);
        if (whileOpen)
            whileOpen();
    }
    void detailedMessage(BoxKind kind, const QString& text, const QString& details,
                         QWidget* parent) override {
        ScriptedDialogs::detailedMessage(kind, text, details, parent);
        if (whileOpen)
            whileOpen();
    }
};

}  // namespace

class TestScanFrame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void controlsAreLockedDuringTheScanAndRestoredAfter() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        for (const char* name : {"sub/a.txt", "b.txt"})
            tree.file(name, 1);
        ToolWindow w;
        w.show();
        QCOMPARE(w.btAbort->text(), QStringLiteral("&Abort"));
        QVERIFY(!w.btAbort->isVisible());
        QSignalSpy finished(&w.frame, &ScanFrame::finished);

        w.scanHeld(tree.root());
        QVERIFY(!w.btScan->isEnabled() && !w.edWild->isEnabled() && !w.btPrint->isVisible() &&
                w.btAbort->isVisible());
        QCOMPARE(w.focusWidget(), w.btAbort);
        QCOMPARE(w.pnlSel->cursor().shape(), Qt::WaitCursor);
        QTRY_COMPARE(w.pnlSel->text(), displayText(tree.path("sub")));
        // A running scan refuses the close box and Esc, and a second start.
        QVERIFY(!w.close());
        QTest::keyClick(w.btAbort, Qt::Key_Escape);
        QVERIFY(w.isVisible() && w.frame.isRunning());
        QVERIFY(!w.frame.start([](ScanJob&) { return WalkReport{}; },
                               [](const ScanOutcome&) { return 0; }));

        w.visitor.gateOpen = true;
        QTRY_VERIFY(!w.frame.isRunning());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), 2);
        QCOMPARE(w.finishCalls, 1);
        QCOMPARE(w.finishCallsAtPost, 0);
        QVERIFY(w.finishedOnGuiThread);
        QVERIFY(w.btScan->isEnabled() && w.edWild->isEnabled() && !w.edOff->isEnabled() &&
                w.btPrint->isVisible() && !w.btAbort->isVisible());
        QVERIFY(!w.pnlSel->testAttribute(Qt::WA_SetCursor));
        QVERIFY(!w.lastOutcome.aborted());
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(w.close());  // idle again: closes
    }

    // The finish (and with it the rows) waits until the abort box is closed,
    // even when the job ends while the box is open.
    void abortShowsTheMessageThenEndsWithThePartialRows() {
        SlowDialogs dialogs;
        test::TempTree tree;
        for (const char* n : {"1", "2", "3"})
            tree.file(n, 1);
        ToolWindow w;
        w.show();
        QSignalSpy jobEnded(&w.frame, &ScanFrame::jobEnded);
        int finishCallsWhileOpen = -1;
        dialogs.whileOpen = [&] {
            w.visitor.gateOpen = true;
            QTRY_VERIFY(!jobEnded.isEmpty());
            finishCallsWhileOpen = w.finishCalls;
        };
        w.scanHeld(tree.root());
        QTest::mouseClick(w.btAbort, Qt::LeftButton);
        QCOMPARE(dialogs.messageTexts(), QStringList{"LIST INCOMPLETE ... ABORTED BY USER"});
        QCOMPARE(dialogs.messages.first().kind, BoxKind::Warning);
        QCOMPARE(finishCallsWhileOpen, 0);
        QTRY_VERIFY(!w.frame.isRunning());
        QCOMPARE(w.visitor.names, QByteArrayList{"1"});
        QVERIFY(w.lastOutcome.abortedByUser && w.lastOutcome.report.aborted);
        QVERIFY(w.btPrint->isVisible() && w.btScan->isEnabled());
        QCOMPARE(dialogs.messages.size(), 1);  // no "No files found." with a row
    }

    void closeCanAbortQuietlyForToolsThatWantIt() {
        ScriptedDialogs dialogs;
        test::TempTree tree;
        for (const char* name : {"a", "b"})
            tree.file(name, 1);
        ToolWindow w;
        w.frame.setCloseWhileScanning(ScanFrame::CloseWhileScanning::Abort);
        w.show();
        w.scanHeld(tree.root());
        QVERIFY(!w.close() && w.isVisible());
        w.visitor.gateOpen = true;
        QTRY_VERIFY(!w.frame.isRunning());
        QVERIFY(w.lastOutcome.abortedByUser);
        QCOMPARE(w.visitor.names, QByteArrayList{"a"});
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(w.close());  // idle again: closes
    }

    // What the user is told at the end: no rows, a drive that could not be
    // opened (the scan goes on), a job that stopped the scan itself.
    void endMessages() {
        test::TempTree tree;
        tree.mkdir("empty");
        for (const char* name : {"ok/1", "ok/2"})
            tree.file(name, 1);
        const DriveEntry bad{tree.file("plain", 1), QStringLiteral("ext4")};
        const DriveEntry ok = folderDrive(tree.path("ok"));
        struct Row {
            QList<DriveEntry> drives;
            int limit;
            QString text;
            BoxKind kind;
            QByteArrayList names;
        };
        const QList<Row> rows = {
            {{folderDrive(tree.path("empty"))}, 0, "No files found.", BoxKind::Information, {}},
            {{bad, ok}, 0, "Can't open drive " + bad.text(), BoxKind::Error, {"1", "2"}},
            {{ok}, 1, "The list is full.", BoxKind::Warning, {"1"}}};
        for (const Row& row : rows) {
            ScriptedDialogs dialogs;
            ToolWindow w;
            w.visitor.limit = row.limit;
            w.show();
            QVERIFY(w.scan(row.drives));
            QTRY_VERIFY(!w.frame.isRunning());
            QCOMPARE(dialogs.messageTexts(), QStringList{row.text});
            QCOMPARE(int(dialogs.messages.first().kind), int(row.kind));
            QCOMPARE(w.visitor.names, row.names);
            QCOMPARE(w.lastOutcome.stoppedByTool, row.limit > 0);
            QCOMPARE(w.btPrint->isVisible(), !row.names.isEmpty());
        }
    }

    // A folder the user may not read: its files are missing, so the user is
    // told, once, with the folder and the reason in the box's details; the
    // rows found elsewhere stay.
    void unreadableFolderIsToldAfterTheRows() {
        test::TempTree tree;
        for (const char* name : {"ok/1", "locked/2", "3"})
            tree.file(name, 1);
        tree.chmod("locked", 0000);
        test::PermissionChecks checks;  // the scan's thread inherits them
        if (!checks.enforced())
            QSKIP("permission checks cannot be enforced here");
        SlowDialogs dialogs;
        ToolWindow w;
        int rowsWhenTold = -1;
        dialogs.whileOpen = [&] { rowsWhenTold = w.finishCalls; };
        w.show();
        QVERIFY(w.scan({folderDrive(tree.root())}));
        QTRY_VERIFY(!w.frame.isRunning());
        QCOMPARE(w.visitor.names, (QByteArrayList{"1", "3"}));
        QCOMPARE(dialogs.messageTexts(),
                 QStringList{"1 folder could not be read; the result is incomplete."});
        QCOMPARE(dialogs.messages[0].kind, BoxKind::Warning);
        QCOMPARE(dialogs.messages[0].details,
                 displayText(tree.path("locked")) + QStringLiteral(": Permission denied"));
        QCOMPARE(rowsWhenTold, 1);  // over the rows, which are in already
        QVERIFY(w.btPrint->isVisible());
    }

    // Every kind of failure a walk records, whoever runs the test: folders
    // and files that could not be read are counted and listed; a drive that
    // could not be opened has had its own box and a loop loses nothing.
    void whatTheNoticeCountsAndLists() {
        const auto error = [](WalkError::Kind kind, const char* path, int number) {
            WalkError e;
            e.kind = kind;
            e.path = path;
            e.errorNumber = number;
            e.driveText = QStringLiteral("/media/gone  [ext4]");
            return e;
        };
        using K = WalkError::Kind;
        WalkReport report;
        report.errors = {error(K::DriveNotOpened, "/media/gone", ENOENT),
                         error(K::FolderNotOpened, "/data/private", EACCES),
                         error(K::FolderLoop, "/data/loop", ELOOP),
                         error(K::FolderNotRead, "/data/broken", EIO),
                         error(K::EntryNotRead, "/data/x.txt", EACCES)};
        const struct {
            QList<WalkError> errors;
            QString text;
        } rows[] = {
            {report.errors, "2 folders and 1 file could not be read; the result is incomplete."},
            {{report.errors[4]}, "1 file could not be read; the result is incomplete."},
            {{report.errors[0], report.errors[2]}, QString()},  // nothing to tell
        };
        for (const auto& row : rows) {
            ScriptedDialogs dialogs;
            ToolWindow w;
            w.show();
            WalkReport injected;
            injected.errors = row.errors;
            QVERIFY(w.frame.start([injected](ScanJob&) { return injected; },
                                  [](const ScanOutcome&) { return 2; }));
            QTRY_VERIFY(!w.frame.isRunning());
            QCOMPARE(dialogs.messageTexts(),
                     row.text.isEmpty() ? QStringList() : QStringList{row.text});
        }
        ScriptedDialogs dialogs;
        ToolWindow w;
        QVERIFY(w.frame.start([report](ScanJob&) { return report; },
                              [](const ScanOutcome&) { return 0; }));
        QTRY_VERIFY(!w.frame.isRunning());
        // With no rows the notice comes first, then "No files found.".
        QCOMPARE(dialogs.messageTexts().value(1), u"No files found."_s);
        QCOMPARE(dialogs.messages[0].details,
                 u"/data/private: Permission denied\n"
                 u"/data/broken: Input/output error\n"
                 u"/data/x.txt: Permission denied"_s);
    }
};

VANTREL_QTEST_MAIN(TestScanFrame)
#include "tst_scanframe.moc"
