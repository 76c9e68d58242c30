#pragma once

#include "stats/SpaceFigures.h"
#include "stats/VolumeSpace.h"

#include <QWidget>

#include <chrono>
#include <thread>

class QChartView;
class QFrame;
class QLabel;
class QRadioButton;
class QStackedWidget;

namespace vantrel {

class DriveCheckList;
class RotatingPie;

// The "Space" page: the capacity, used, reserved and free space of the roots
// ticked in its own drive list (which starts with the current root ticked),
// as stacked bars per root with a Total bar, or as a used/free pie that
// turns when clicked. Independent of collection runs: it is worked out
// afresh whenever it is shown and whenever the ticks change.
//
// The file systems are asked on a worker thread, each for at most the probe
// timeout; a root that does not answer in time (a hung network mount) is
// left out like one that is not ready, and the window never waits for it.
// A change of ticks while an answer is awaited is worked out once that
// answer has come.
class SpacePage : public QWidget {
    Q_OBJECT
public:
    explicit SpacePage(QWidget* parent = nullptr);
    ~SpacePage() override;

    // doDiskSize: asks for the ticked roots' space and shows it when the
    // answer comes (refreshed() then tells).
    void doDiskSize();
    // rgSpaceClick: pie or bars, when any root is shown.
    void rgSpaceClick();
    [[nodiscard]] bool isRefreshing() const { return m_running; }
    [[nodiscard]] int spaceDriveCount() const { return m_figures.driveCount; }
    [[nodiscard]] const SpaceFigures& figures() const { return m_figures; }
    void setProbeTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    DriveCheckList* pckStatDrive = nullptr;
    QRadioButton* rgSpace1 = nullptr;  // "Pie - percent"
    QRadioButton* rgSpace2 = nullptr;  // "Bar - totals"
    QLabel* lblTotalC = nullptr;
    QLabel* lblTotal = nullptr;
    QLabel* lblTot = nullptr;
    QLabel* lblFreeC = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* lblFree = nullptr;
    QLabel* lblPct = nullptr;
    QLabel* Label26 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* lblUsed = nullptr;
    QLabel* lblPct2 = nullptr;
    QLabel* lblReservedC = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* lblReserved = nullptr;
    QLabel* lblPct3 = nullptr;
    QChartView* chartSpaceBar = nullptr;
    RotatingPie* chartSpacePie = nullptr;

Q_SIGNALS:
    void refreshed();

private:
    void showFigures(const QList<QByteArray>& roots, const QList<VolumeProbe>& probes);
    void showBars();
    void showPie();

    QStackedWidget* m_charts = nullptr;
    QList<QLabel*> m_figureLabels;
    SpaceFigures m_figures;
    std::chrono::milliseconds m_timeout = kVolumeProbeTimeout;
    std::thread m_thread;
    bool m_running = false;
    bool m_again = false;
};

}  // namespace vantrel
