#pragma once

#include "mods/DateRange.h"
#include "mods/ModsSearch.h"
#include "mods/RootTimes.h"
#include "results/ui/ButtonRow.h"
#include "results/ui/ToolServices.h"
#include "scan/ui/ScanFrame.h"

#include <QDate>
#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class QWidget;

namespace vantrel {

class DriveCheckList;
class ResultGrid;
class ResultWindowGuard;
class TWinPlace;
class WildcardCombo;

// "Files in a range of dates": lists the files on the chosen roots whose
// date of last access, creation or last change lies on or before a day,
// between two days, or on or after a day, optionally matching a wildcard.
//
// The user picks the time ("Last accessed", "Created", "Last modified"),
// the range ("On or Before", "In between", "On or After") and its days,
// typed in the user's short date format with a four-digit year or picked
// from the calendar beside each field (TfrmPickDate), ticks roots and clicks
// "&Start". Both fields in use are checked then (a text that is no date
// gives "'...' is not a valid date", an end before the start is refused),
// and never is a search made with a bad one; leaving a field with a bad
// date says so too ("Invalid start date", "Invalid ending date"). The walk
// and the range test run on a worker thread (ScanFrame, ModsSearch); rows
// reach the grid in batches, in walk order, and the status line ends with
// "Found : N". Rows are marked, printed, copied, viewed, run, shown in the
// browser and deleted or trashed through the confirmation window, which
// closes this window when it has worked; every action uses the row's exact
// byte path.
//
// Times are compared as the files' real times by calendar day in local
// time, so files before 1980 or after 2107 are found by their true dates; a
// time the file system does not record never matches. Before a search by
// creation, a ticked root whose file system records no birth times is named
// and left out ("/mnt/nfs does not record when files were created"), and
// with no root left there is no search; before a search by last access, a
// root mounted noatime is named, and the search goes on. The grid holds at
// most as many rows as the duplicates search keeps candidates; at that
// point the scan stops with the same resource message, and the rows
// gathered so far stay.
//
// The window keeps its placement in vantrelm, under the program's path,
// key "frmMods"; with none stored it is centred.
class TfrmMods : public QDialog {
    Q_OBJECT
public:
    // `services`: the browser (Browse is offered only when it can browse);
    // may be null.
    explicit TfrmMods(const ToolServices* services, QWidget* parent = nullptr);
    // As the launcher makes it.
    explicit TfrmMods(const ToolRequest& request) : TfrmMods(request.services, request.owner) {}
    ~TfrmMods() override;

    // ---- For tests and the benchmark -----------------------------------------
    // How many rows a search keeps before it stops with the resource message.
    void setRowCapacity(qsizetype rows) { m_capacity = rows; }
    // How many rows reach the grid at a time (at most; a slow walk sends
    // what it has every quarter second).
    void setRowBatchSize(int rows) { m_rowBatchSize = rows; }
    // What the window learns of a root's file system (rootTimesOf unless set).
    void setRootTimesProbe(std::function<RootTimes(const QByteArray&)> probe) {
        m_rootTimes = std::move(probe);
    }
    ScanFrame& scanFrame() { return m_scan; }

    // The criteria as the radio groups set them now.
    [[nodiscard]] DateField dateField() const;
    [[nodiscard]] DateRangeMode rangeMode() const;
    // The printed list's title: that of the last search, or of the fields as
    // they stand when none was made.
    [[nodiscard]] QString printTitle() const;

    // ---- Handlers, named after control and event -----------------------------
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void pckDriveClick(bool anyTicked);
    void rgWhenClick();
    void cbWildCardChange(const QString& text);
    // Leaving a date field: a bad date is reported and the focus goes back.
    void dtStartExit();
    void dtEndExit();
    void popStartDateClick();
    void popEndDateClick();
    void btOKClick();
    void btDeleteClick();

    // ---- The controls (owned by the window) ----------------------------------
    QFrame* Panel1 = nullptr;
    QGroupBox* rgWhat = nullptr;
    QRadioButton* rbAccessed = nullptr;
    QRadioButton* rbCreated = nullptr;
    QRadioButton* rbModified = nullptr;
    QGroupBox* rgWhen = nullptr;
    QRadioButton* rbBefore = nullptr;
    QRadioButton* rbBetween = nullptr;
    QRadioButton* rbAfter = nullptr;
    QLineEdit* dtStart = nullptr;
    QToolButton* popStartDate = nullptr;
    QLabel* lblAnd = nullptr;
    QLineEdit* dtEnd = nullptr;
    QToolButton* popEndDate = nullptr;
    QLabel* lblWildMatch = nullptr;
    WildcardCombo* cbWildCard = nullptr;
    QLabel* lblWild = nullptr;
    DriveCheckList* pckDrive = nullptr;
    QWidget* pnlButtons = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btClose = nullptr;
    QPushButton* btAbort = nullptr;
    QPushButton* btMark = nullptr;
    QPushButton* btDelete = nullptr;
    QPushButton* btPrint = nullptr;
    QPushButton* btClip = nullptr;
    QPushButton* btBrowse = nullptr;
    QPushButton* btDetails = nullptr;
    ResultButtons m_resultButtons;  // Mark .. Details, for the relays to the grid
    ResultGrid* grid = nullptr;
    QLabel* pnlScan = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildForm();
    void wireControls();
    // The day in a field, or an error box ("'...' is not a valid date"), the
    // focus in the field and its text selected.
    std::optional<QDate> checkedDate(QLineEdit* field);
    // The checks of a field being left; false when it holds a bad date.
    bool fieldExit(QLineEdit* field, const QString& message);
    void pickDate(QLineEdit* field, QLineEdit* other, bool pickingStart);
    // The ticked drives that can be searched for `field`, after saying which
    // cannot (creation) or keep stale access times (noatime).
    QList<DriveEntry> searchableDrives(DateField field);
    void scan(const QList<DriveEntry>& drives, const ModsSearchOptions& options);
    int fillGrid(const ScanOutcome& outcome);
    void scanStarted();
    void scanEnded(int rows);
    [[nodiscard]] bool canBrowse() const;

    const ToolServices* m_services = nullptr;
    TWinPlace* m_winPlace = nullptr;
    ResultWindowGuard* m_guard = nullptr;
    std::function<RootTimes(const QByteArray&)> m_rootTimes;
    qsizetype m_capacity = ModsSearchOptions{}.capacity;
    int m_rowBatchSize = 5000;
    QString m_printTitle;
    bool m_shown = false;
    bool m_reportingField = false;  // a field's error box is up

    // Used by the scan's worker thread while a scan runs; the scan frame is
    // declared after it, so that it is destroyed (and its worker stopped)
    // first.
    std::unique_ptr<ModsSearch> m_search;
    ScanFrame m_scan;
};

}  // namespace vantrel
