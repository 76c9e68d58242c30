#include "scan/ui/ScanFrame.h"

#include "scan/ScanSkips.h"
#include "text/Formats.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QWidget>

#include <exception>

namespace vantrel {

namespace {

// Refreshing the progress more often than this only costs repaints.
constexpr int kPollMilliseconds = 33;

}  // namespace

void ScanJob::post(std::function<void()> fn) {
    m_frame.post(std::move(fn));
}

void ScanJob::stop(BoxKind kind, const QString& text) {
    m_control.scanAborted.store(true, std::memory_order_relaxed);
    m_frame.m_stoppedByTool.store(true);
    m_frame.post([frame = &m_frame, kind, text] { frame->showBox(kind, text); });
}

ScanFrame::ScanFrame(QWidget* window) : m_window(window) {
    if (window)
        window->installEventFilter(this);
    m_pollTimer.setInterval(kPollMilliseconds);
    connect(&m_pollTimer, &QTimer::timeout, this, &ScanFrame::pollProgress);
}

ScanFrame::~ScanFrame() {
    if (m_thread.joinable()) {
        m_control.scanAborted.store(true);
        m_thread.join();
    }
    if (m_window)
        m_window->removeEventFilter(this);
}

void ScanFrame::setAbortButton(QAbstractButton* button) {
    m_abortButton = button;
    if (!button)
        return;
    button->setText(tr("&Abort"));
    button->setToolTip(tr("Abort scan"));
    button->setVisible(m_running);
    connect(button, &QAbstractButton::clicked, this, [this] { abort(); });
}

void ScanFrame::disableDuringScan(const QList<QWidget*>& widgets) {
    for (QWidget* w : widgets)
        m_disable.append(SavedState{w, false});
}

void ScanFrame::hideDuringScan(const QList<QWidget*>& widgets) {
    for (QWidget* w : widgets)
        m_hide.append(SavedState{w, false});
}

void ScanFrame::setProgressLabel(QLabel* label) {
    m_progressLabel = label;
    m_progressSink = nullptr;
}

void ScanFrame::setProgressSink(ProgressSink sink) {
    m_progressSink = std::move(sink);
    m_progressLabel = nullptr;
}

void ScanFrame::setBusyWidget(QWidget* widget) {
    m_busyWidget = widget;
}

bool ScanFrame::start(Job job, Finish finish) {
    if (m_running)
        return false;
    m_running = true;
    m_jobDone = false;
    m_finishing = false;
    m_abortedByUser = false;
    m_stoppedByTool.store(false);
    m_jobReport = WalkReport{};
    m_jobFailure.clear();
    m_finish = std::move(finish);
    m_control.scanAborted.store(false);
    m_control.progress.reset();
    m_shownGeneration = m_control.progress.snapshot().generation;
    // A drive that cannot be opened is told at once; the walk goes on.
    m_control.onError = [this](const WalkError& e) {
        if (e.kind == WalkError::Kind::DriveNotOpened)
            post([this, text = e.message()] { showBox(BoxKind::Error, text); });
    };

    setControlsForScan(true, 0);
    m_pollTimer.start();
    Q_EMIT started();

    m_thread = std::thread([this, job = std::move(job)] {
        ScanJob context(*this, m_control);
        try {
            m_jobReport = job(context);
        } catch (const std::exception& e) {
            m_jobFailure = QString::fromLocal8Bit(e.what());
        } catch (...) {
            m_jobFailure = QStringLiteral("The scan failed.");
        }
        QMetaObject::invokeMethod(
            this, [this] { onJobDone(); }, Qt::QueuedConnection);
    });
    return true;
}

void ScanFrame::abort(bool showMessage) {
    if (!m_running || m_jobDone)
        return;
    m_control.scanAborted.store(true);
    if (m_abortButton)
        m_abortButton->hide();
    if (m_abortedByUser)
        return;
    m_abortedByUser = true;
    Q_EMIT abortRequested();
    if (showMessage && !m_abortMessage.isEmpty())
        showBox(BoxKind::Warning, m_abortMessage);
}

void ScanFrame::post(std::function<void()> fn) {
    QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

void ScanFrame::showBox(BoxKind kind, const QString& text) {
    ++m_boxDepth;
    switch (kind) {
        case BoxKind::Error:
            alertBox(text, m_window);
            break;
        case BoxKind::Warning:
            stopBox(text, m_window);
            break;
        case BoxKind::Information:
            infoBox(text, m_window);
            break;
    }
    --m_boxDepth;
    // The job may have ended while the box was open: finish now, outside it.
    if (m_boxDepth == 0 && m_jobDone && m_running && !m_finishing)
        finishNow();
}

void ScanFrame::onJobDone() {
    if (m_thread.joinable())
        m_thread.join();  // the job has returned; this only reaps the thread
    m_jobDone = true;
    m_pollTimer.stop();
    Q_EMIT jobEnded();
    if (m_boxDepth == 0)
        finishNow();
}

void ScanFrame::finishNow() {
    m_finishing = true;
    m_outcome = ScanOutcome{};
    m_outcome.report = m_jobReport;
    m_outcome.abortedByUser = m_abortedByUser;
    m_outcome.stoppedByTool = m_stoppedByTool.load();
    m_outcome.failure = m_jobFailure;
    if (!m_jobFailure.isEmpty())
        showBox(BoxKind::Error, m_jobFailure);

    const int rows = m_finish ? m_finish(m_outcome) : 0;
    m_finish = nullptr;
    setControlsForScan(false, rows);
    m_running = false;
    m_control.onError = nullptr;
    // Folders the walk could not read leave holes in a result that would
    // otherwise look complete: said once, over the rows, which stay.
    const ScanSkips skips = ScanSkips::of(m_outcome.report);
    if (!skips.isEmpty())
        detailsBox(BoxKind::Warning, skips.message(), skips.details(), m_window);
    if (rows == 0 && !m_noRowsMessage.isEmpty())
        showBox(BoxKind::Information, m_noRowsMessage);
    m_finishing = false;
    Q_EMIT finished(rows);
}

void ScanFrame::pollProgress() {
    const ScanProgress::Snapshot s = m_control.progress.snapshot();
    if (s.generation == m_shownGeneration)
        return;
    m_shownGeneration = s.generation;
    if (m_progressSink)
        m_progressSink(s);
    else if (m_progressLabel && !s.folder.isEmpty())
        m_progressLabel->setText(displayText(s.folder));
}

void ScanFrame::setControlsForScan(bool scanning, int rows) {
    if (scanning) {
        m_focusBefore = QApplication::focusWidget();
        for (SavedState& s : m_disable) {
            if (!s.widget)
                continue;
            s.flag = s.widget->testAttribute(Qt::WA_ForceDisabled);
            s.widget->setEnabled(false);
        }
        for (SavedState& s : m_hide) {
            if (s.widget)
                s.widget->hide();
        }
        if (m_abortButton) {
            m_abortButton->show();
            m_abortButton->setFocus();
        }
        if (m_busyWidget) {
            m_busyHadCursor = m_busyWidget->testAttribute(Qt::WA_SetCursor);
            m_busyCursor = m_busyWidget->cursor();
            m_busyWidget->setCursor(Qt::WaitCursor);
        }
        return;
    }
    if (m_busyWidget) {
        if (m_busyHadCursor)
            m_busyWidget->setCursor(m_busyCursor);
        else
            m_busyWidget->unsetCursor();
    }
    if (m_abortButton)
        m_abortButton->hide();
    for (const SavedState& s : m_disable) {
        if (s.widget)
            s.widget->setEnabled(!s.flag);
    }
    for (const SavedState& s : m_hide) {
        if (s.widget)
            s.widget->setVisible(rows > 0);
    }
    if (m_focusBefore && m_focusBefore->isEnabled() && m_focusBefore->isVisible())
        m_focusBefore->setFocus();
}

bool ScanFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window || !m_running)
        return QObject::eventFilter(watched, event);
    const bool closeRequest =
        event->type() == QEvent::Close || (event->type() == QEvent::KeyPress &&
                                           static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape);
    if (!closeRequest)
        return QObject::eventFilter(watched, event);
    if (m_closeMode == CloseWhileScanning::Abort)
        abort(false);
    event->ignore();
    return true;
}

}  // namespace vantrel
