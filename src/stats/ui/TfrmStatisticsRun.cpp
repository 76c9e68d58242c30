// A statistics run of TfrmStatistics: the wizard, the look at the chosen
// roots' file systems, the walk on the scan frame's worker thread, the
// pages after each root and the captions at the end.
#include "stats/ui/TfrmStatistics.h"

#include "scan/ui/TfrmWhichDrive.h"
#include "stats/SpaceFigures.h"
#include "stats/StatsTables.h"
#include "stats/ui/OverhangPage.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace vantrel {

namespace {

const char* const kCollectingText =
    "Collecting statistics ... standby.  Press Esc or click Abort to stop.";

}  // namespace

void TfrmStatistics::btOKClick() {
    if (isCollecting())
        return;
    DriveTypeChoice choice;
    {
        TfrmWhichDrive wizard(this);
        wizard.setSettingsFile(m_settings);
        if (dialogs().exec(wizard) != QDialog::Accepted)
            return;
        choice = wizard.choice();
    }
    if (choice.drives.isEmpty())
        return;
    probeRoots(choice);
}

void TfrmStatistics::probeRoots(const DriveTypeChoice& choice) {
    // statvfs of a hung network mount must not freeze the window: the file
    // systems are asked on a thread, each for at most the probe timeout.
    m_probing = true;
    btOK->setEnabled(false);
    setCursor(Qt::WaitCursor);
    StatusBar1->setText(QStringLiteral("Checking the drives ..."));
    if (m_probeThread.joinable())
        m_probeThread.join();
    QList<QByteArray> roots;
    for (const DriveEntry& d : choice.drives)
        roots.append(d.root);
    m_probeThread = std::thread([this, choice, roots, timeout = m_probeTimeout] {
        const QList<VolumeProbe> probes = probeVolumes(roots, timeout);
        QMetaObject::invokeMethod(
            this, [this, choice, probes] { probeDone(choice, probes); }, Qt::QueuedConnection);
    });
}

void TfrmStatistics::probeDone(const DriveTypeChoice& choice, const QList<VolumeProbe>& probes) {
    m_probing = false;
    btOK->setEnabled(true);
    unsetCursor();
    StatusBar1->clear();
    QList<VolumeSpace> ready;
    for (const VolumeProbe& p : probes) {
        if (p.ready())
            ready.append(p.space);
    }
    if (distinctCapacity(ready) <= 0) {
        alertBox(QStringLiteral("Could not compute the total size of the disk drives selected.  "
                                "Cannot proceed with statistics."),
                 this);
        Q_EMIT runEnded();
        return;
    }
    if (choice.drives.size() == 1)
        infoBox(QStringLiteral("Disk Drive ") + choice.drives.first().text() +
                    QStringLiteral(" will be scanned.  The analysis may take some time.  You may "
                                   "quit at any time by clicking Abort or pressing ESC."),
                this);
    else
        infoBox(QStringLiteral("Since you selected more than one drive to analyze, the Cluster "
                               "Overhang tab will be disabled.  You may quit the analysis at any "
                               "time by clicking CANCEL or by pressing ESC."),
                this);
    startRun(choice, probes);
}

void TfrmStatistics::startRun(const DriveTypeChoice& choice, const QList<VolumeProbe>& probes) {
    m_roots = choice.drives;
    m_probes = probes;
    m_walked.clear();
    m_skipped.clear();
    m_clusterSize = 0;
    m_currentDrive.clear();
    const TypeSelection::Mode mode = choice.allFiles          ? TypeSelection::Mode::AllFiles
                                     : choice.includeSelected ? TypeSelection::Mode::Include
                                                              : TypeSelection::Mode::Exclude;
    m_accumulator.start(TypeSelection(mode, choice.types), QDateTime::currentSecsSinceEpoch());
    // Every page starts from nothing, whatever the run then finds.
    refreshPages(m_accumulator.totals());
    OvcNotebook1->setTabEnabled(OverhangTab, false);
    lblNotYet->setText(QString::fromLatin1(kCollectingText));
    StatusBar1->clear();

    QList<bool> ready;
    for (const VolumeProbe& p : probes)
        ready.append(p.ready());
    const QList<DriveEntry> roots = m_roots;
    m_scan.start(
        [this, roots, ready](ScanJob& job) {
            StatsRunEvents events;
            events.rootStarted = [this, &job](int i) { job.post([this, i] { rootStarted(i); }); };
            events.rootEnded = [this, &job](int i, RootOutcome outcome, const StatsTotals& t) {
                job.post([this, i, outcome, t] { rootEnded(i, outcome, t); });
            };
            return collectStatistics(roots, ready, m_accumulator, job.control(), events);
        },
        [this](const ScanOutcome& outcome) { return finishRun(outcome); });
}

void TfrmStatistics::rootStarted(int index) {
    m_currentDrive = m_roots.value(index).text();
}

void TfrmStatistics::rootEnded(int index, RootOutcome outcome, const StatsTotals& totals) {
    const DriveEntry root = m_roots.value(index);
    if (outcome == RootOutcome::Walked) {
        m_walked.append(root);
        m_collected = true;
        if (m_walked.size() == 1)
            m_clusterSize = m_probes.value(index).space.blockSize;
    } else {
        m_skipped.append(root);
    }
    refreshPages(totals);
    setWindowTitle(completedCaption());
}

void TfrmStatistics::showProgress(const ScanProgress::Snapshot& snapshot) {
    if (snapshot.folder.isEmpty())
        return;
    StatusBar1->setText(QStringLiteral("Processing drive ") + m_currentDrive +
                        QStringLiteral(" ... standby : ") + displayText(snapshot.folder));
}

QString TfrmStatistics::completedCaption() const {
    QString caption = m_walked.isEmpty() ? QStringLiteral("No statistics collected ")
                                         : QStringLiteral("Statistics completed for drives ");
    for (const DriveEntry& d : m_walked)
        caption += displayText(d.root) + QLatin1Char(' ');
    if (!m_skipped.isEmpty()) {
        caption += QStringLiteral("- not ready: ");
        for (const DriveEntry& d : m_skipped)
            caption += displayText(d.root) + QLatin1Char(' ');
    }
    return caption;
}

int TfrmStatistics::finishRun(const ScanOutcome& outcome) {
    refreshPages(m_accumulator.totals());
    const StatsTotals& t = m_totals;
    const bool aborted = outcome.aborted();
    QString status = QStringLiteral("Finished - ") + numberText(t.filesProcessed) +
                     QStringLiteral(" files processed");
    if (t.filesFound != t.filesProcessed)
        status += QLatin1Char(' ') + numberText(t.filesFound) + QStringLiteral(" files found");
    if (aborted)
        status += QStringLiteral(" INCOMPLETE ... ABORTED");
    StatusBar1->setText(status);
    setWindowTitle(aborted ? QStringLiteral("File Statistics for drive(s) incomplete ... aborted.")
                           : completedCaption());
    // The overhang of one root only: cluster sizes differ between file systems.
    const bool overhang =
        m_walked.size() == 1 && pageOverhang->doOverHang(overhangFigures(t, m_clusterSize));
    OvcNotebook1->setTabEnabled(OverhangTab, overhang);
    lblNotYet->setText(QStringLiteral("Statistics haven't been collected yet!"));
    updateNotYetPanel();
    return 1;
}

}  // namespace vantrel
