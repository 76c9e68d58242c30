#pragma once

#include "scan/DriveList.h"
#include "scan/ui/ScanFrame.h"
#include "settings/IniFile.h"
#include "stats/StatsAccumulator.h"
#include "stats/StatsCollection.h"
#include "stats/VolumeSpace.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <chrono>
#include <thread>

class QFrame;
class QLabel;
class QPushButton;
class QTabWidget;

namespace vantrel {

class ActivityPage;
class AttributePage;
class ClassPage;
class CombinedPage;
class DeletedPage;
class OverhangPage;
class SizeAgePage;
class SpacePage;
class TimePage;
class TypesPage;

// "File statistics": where the space of one or more roots has gone, by
// file type, size, age of the access, creation and modification dates,
// hour of day, weekday and hour, size by age and attribute; the space
// cluster rounding would waste; the used and free space of the drives; and
// the running totals of what was deleted. Each page shows a listing or a
// chart.
//
// The user clicks "&Collect statistics", picks roots and file types in the
// wizard, and the roots are walked one after the other on a worker thread
// (hidden folders entered, each hard-linked file once, roots on one file
// system once). After each root every page shows the figures of the roots
// walked so far; Abort, Esc and Close stop the walk, and what was counted
// is still shown. A root that is not ready (a hung network mount answers
// within the probe timeout or counts as not ready) is skipped and named in
// the caption. Every run clears every page first.
//
// Figures are 64-bit throughout; file names are kept as bytes (the type
// table is keyed by the bytes of the extension).
//
// The launcher makes one window at start-up; it is shown without blocking
// and keeps its figures between showings until the next run.
class TfrmStatistics : public QDialog {
    Q_OBJECT
public:
    // The notebook's pages, in tab order.
    enum Page {
        SpaceTab,
        DeletedTab,
        TypesTab,
        SizesTab,
        OverhangTab,
        AccessTab,
        CreatedTab,
        ModifiedTab,
        CombinedTab,
        AttributeTab,
        TimeTab,
        ActivityTab,
        SizeAgeTab,
    };

    // The launcher makes it at start-up with itself as the parent.
    explicit TfrmStatistics(QWidget* parent = nullptr);
    ~TfrmStatistics() override;

    // For tests and tools that keep their settings elsewhere: the file of the
    // wizard's type lists and folders and of the savings totals.
    void setSettingsFile(const IniFile& settings);
    // How long a root's file system may take to answer before it counts as
    // not ready.
    void setProbeTimeout(std::chrono::milliseconds timeout);

    ScanFrame& scanFrame() { return m_scan; }
    [[nodiscard]] bool isCollecting() const { return m_probing || m_scan.isRunning(); }
    [[nodiscard]] bool collected() const { return m_collected; }
    // The figures the pages show.
    [[nodiscard]] const StatsTotals& totals() const { return m_totals; }
    // The roots the last run walked and those it skipped, in list order.
    [[nodiscard]] const QList<DriveEntry>& walkedRoots() const { return m_walked; }
    [[nodiscard]] const QList<DriveEntry>& skippedRoots() const { return m_skipped; }
    // The title of the printed type listing: "File types for drive(s) ",
    // then every walked root followed by a blank.
    [[nodiscard]] QString typesPrintTitle() const;

    // Handlers, named after control and event.
    void FormShow();
    void OvcNotebook1PageChanged(int page);
    void btOKClick();
    void btPrintClick();
    void btCancelClick();

    QTabWidget* OvcNotebook1 = nullptr;
    SpacePage* pageSpace = nullptr;
    DeletedPage* pageDeleted = nullptr;
    TypesPage* pageTypes = nullptr;
    ClassPage* pageSizes = nullptr;
    OverhangPage* pageOverhang = nullptr;
    ClassPage* pageAccess = nullptr;
    ClassPage* pageCreated = nullptr;
    ClassPage* pageModified = nullptr;
    CombinedPage* pageCombined = nullptr;
    AttributePage* pageAttribute = nullptr;
    TimePage* pageTime = nullptr;
    ActivityPage* pageActivity = nullptr;
    SizeAgePage* pageSizeAge = nullptr;
    QFrame* pnlNotYet = nullptr;
    QLabel* lblNotYet = nullptr;
    QPushButton* btAbort = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btPrint = nullptr;
    QPushButton* btCancel = nullptr;
    QLabel* StatusBar1 = nullptr;

Q_SIGNALS:
    // A run has ended (also one that was refused before it walked).
    void runEnded();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildForm();
    void wireControls();
    void placeNotYetPanel();
    void updateNotYetPanel();
    // Every page from these figures.
    void refreshPages(const StatsTotals& totals);

    // The run, in the order it happens (TfrmStatisticsRun.cpp).
    void probeRoots(const DriveTypeChoice& choice);
    void probeDone(const DriveTypeChoice& choice, const QList<VolumeProbe>& probes);
    void startRun(const DriveTypeChoice& choice, const QList<VolumeProbe>& probes);
    void rootStarted(int index);
    void rootEnded(int index, RootOutcome outcome, const StatsTotals& totals);
    int finishRun(const ScanOutcome& outcome);
    void showProgress(const ScanProgress::Snapshot& snapshot);
    QString completedCaption() const;

    IniFile m_settings;
    std::chrono::milliseconds m_probeTimeout = kVolumeProbeTimeout;
    StatsTotals m_totals;
    bool m_collected = false;
    bool m_probing = false;
    bool m_shown = false;
    // The run on view.
    QList<DriveEntry> m_roots;
    QList<VolumeProbe> m_probes;
    QList<DriveEntry> m_walked;
    QList<DriveEntry> m_skipped;
    qint64 m_clusterSize = 0;
    QString m_currentDrive;
    std::thread m_probeThread;

    // Used by the run's worker thread; the scan frame is declared after it,
    // so that it is destroyed (and its worker stopped) first.
    StatsAccumulator m_accumulator;
    ScanFrame m_scan;
};

}  // namespace vantrel
