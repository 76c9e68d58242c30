#pragma once

#include "scan/Walker.h"
#include "text/ui/Dialogs.h"

#include <QCursor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <thread>

class QAbstractButton;
class QLabel;
class QWidget;

namespace vantrel {

class ScanFrame;

// The message shown when the user aborts a scan.
inline constexpr const char* kScanAbortedText = "LIST INCOMPLETE ... ABORTED BY USER";
// The message shown when a scan ends without a single row.
inline constexpr const char* kNoFilesFoundText = "No files found.";

// What a tool's job sees on the worker thread.
class ScanJob {
public:
    // Hand this to ScanAllDrives / Walker: it carries scanAborted and the
    // progress that the window shows, and reports drive errors to the window.
    ScanControl& control() { return m_control; }
    [[nodiscard]] bool aborted() const { return m_control.aborted(); }

    // Runs `fn` later on the window's thread, in the order posted and before
    // the scan's finish. For tools that show rows while the scan runs.
    void post(std::function<void()> fn);

    // Ends the scan because the tool cannot go on (a list is full, say):
    // sets scanAborted, and the window shows `text` in a box of `kind`. The
    // scan then finishes as an aborted one, with the rows gathered so far.
    void stop(BoxKind kind, const QString& text);

private:
    friend class ScanFrame;
    ScanJob(ScanFrame& frame, ScanControl& control) : m_frame(frame), m_control(control) {}
    ScanFrame& m_frame;
    ScanControl& m_control;
};

// How a scan ended.
struct ScanOutcome {
    WalkReport report;  // what the job returned (counts, per-folder errors)
    bool abortedByUser = false;
    bool stoppedByTool = false;  // ScanJob::stop
    QString failure;             // the job threw: its message (shown with alertBox)

    [[nodiscard]] bool aborted() const {
        return abortedByUser || stoppedByTool || report.aborted || !failure.isEmpty();
    }
};

// The scan frame every search tool wraps around its walk. A tool window owns
// one (as a member, declared after everything its jobs use, so that it is
// destroyed first: its destructor aborts a running job and waits for it) and
// only configures it:
//
//   m_scan.setAbortButton(btAbort);
//   m_scan.disableDuringScan({btScan, btClose, pckDrive, cbWildCard});
//   m_scan.hideDuringScan({btMark, btDelete, btPrint, btClip, btBrowse});
//   m_scan.setProgressLabel(pnlSel);
//   m_scan.setBusyWidget(grid);
//   ...
//   m_scan.start([this, drives, options](ScanJob& job) {
//                    return ScanAllDrives(drives, options, m_collector, job.control());
//                },
//                [this](const ScanOutcome& outcome) { return fillGrid(); });
//
// While a scan runs: the Abort button shows (caption "&Abort", hint "Abort
// scan") and has the focus; the "disable" controls are disabled and the
// "hide" controls hidden; the busy widget shows the hour-glass; the progress
// place shows the folder being read, refreshed at most 30 times a second;
// the window refuses to close (its close box and Esc are refused like its
// disabled Close button). The job runs on a worker thread; the window's
// thread never waits for it.
//
// When the job ends (on the window's thread, never inside a message box that
// the frame shows): the finish function fills the grid and returns the
// number of rows; the cursor is restored, Abort hidden, the disabled
// controls enabled again (those that were disabled before the scan stay
// so), the hidden controls shown again when there is at least one row; with
// no row the "No files found." box is shown (unless the tool says
// otherwise); then finished() is emitted.
//
// Messages go through the dialogs seam: the abort box (stopBox), a drive
// that cannot be opened (alertBox "Can't open drive ..." as soon as it
// happens), ScanJob::stop's box, the folders and files that the walk could
// not read (ScanSkips: once per scan, after the rows are in, a warning
// "3 folders could not be read; ..." with their paths and reasons in its
// details area; drives that could not be opened are not told again), and
// "No files found." (infoBox).
class ScanFrame : public QObject {
    Q_OBJECT

public:
    using Job = std::function<WalkReport(ScanJob&)>;
    // Runs on the window's thread after the job; returns the number of rows.
    using Finish = std::function<int(const ScanOutcome&)>;
    using ProgressSink = std::function<void(const ScanProgress::Snapshot&)>;

    // What a close request (close box, Esc) does while a scan runs.
    enum class CloseWhileScanning {
        Refuse,  // ignored
        Abort,   // aborts the scan (without the abort box); the window stays open
    };

    // `window` is the tool window: its close requests are watched. The frame
    // is not a child of it; the window owns the frame as a member.
    explicit ScanFrame(QWidget* window);
    ~ScanFrame() override;
    ScanFrame(const ScanFrame&) = delete;
    ScanFrame& operator=(const ScanFrame&) = delete;

    // --- configuration -------------------------------------------------
    // The Abort button: hidden except during a scan; a click aborts.
    void setAbortButton(QAbstractButton* button);
    // Disabled during a scan and enabled again afterwards.
    void disableDuringScan(const QList<QWidget*>& widgets);
    // Hidden during a scan; shown afterwards when the scan gave rows.
    void hideDuringScan(const QList<QWidget*>& widgets);
    // Where the folder being read is shown (display text of its path).
    void setProgressLabel(QLabel* label);
    // Or any other display of the progress (replaces the label).
    void setProgressSink(ProgressSink sink);
    // The widget that shows the hour-glass cursor during a scan.
    void setBusyWidget(QWidget* widget);
    // Empty: no box when the scan ends without rows.
    void setNoRowsMessage(const QString& text) { m_noRowsMessage = text; }
    // Empty: Abort shows no box.
    void setAbortMessage(const QString& text) { m_abortMessage = text; }
    void setCloseWhileScanning(CloseWhileScanning mode) { m_closeMode = mode; }

    // --- running -------------------------------------------------------
    // Starts a scan; false (and nothing happens) when one runs already.
    bool start(Job job, Finish finish);
    [[nodiscard]] bool isRunning() const { return m_running; }
    // btAbortClick: sets scanAborted, hides Abort and shows the abort box.
    // With showMessage false only the flag is set and the button hidden.
    // Does nothing when no scan runs.
    void abort(bool showMessage = true);
    // The outcome of the last finished scan.
    [[nodiscard]] const ScanOutcome& lastOutcome() const { return m_outcome; }

Q_SIGNALS:
    void started();
    // The user aborted (emitted before the abort box is shown).
    void abortRequested();
    // The job has returned on its thread; the scan finishes now, or when the
    // message box the frame shows is closed.
    void jobEnded();
    // The scan is over and the window is back to normal.
    void finished(int rows);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ScanJob;
    struct SavedState {
        QPointer<QWidget> widget;
        bool flag = false;  // disable list: was disabled before; hide list: unused
    };

    void post(std::function<void()> fn);
    void showBox(BoxKind kind, const QString& text);
    void onJobDone();
    void finishNow();
    void pollProgress();
    void setControlsForScan(bool scanning, int rows);

    QPointer<QWidget> m_window;
    QPointer<QAbstractButton> m_abortButton;
    QList<SavedState> m_disable;
    QList<SavedState> m_hide;
    QPointer<QLabel> m_progressLabel;
    ProgressSink m_progressSink;
    QPointer<QWidget> m_busyWidget;
    QPointer<QWidget> m_focusBefore;
    bool m_busyHadCursor = false;
    QCursor m_busyCursor;
    QString m_noRowsMessage = QString::fromLatin1(kNoFilesFoundText);
    QString m_abortMessage = QString::fromLatin1(kScanAbortedText);
    CloseWhileScanning m_closeMode = CloseWhileScanning::Refuse;

    ScanControl m_control;
    QTimer m_pollTimer;
    quint64 m_shownGeneration = 0;
    std::thread m_thread;
    Finish m_finish;
    WalkReport m_jobReport;  // written by the job's thread, read after join
    QString m_jobFailure;
    ScanOutcome m_outcome;
    bool m_running = false;
    bool m_jobDone = false;
    bool m_finishing = false;
    bool m_abortedByUser = false;
    std::atomic<bool> m_stoppedByTool{false};
    int m_boxDepth = 0;  // message boxes the frame is showing right now
};

}  // namespace vantrel
