#pragma once

#include "clean/CleanSearch.h"
#include "results/ui/ButtonRow.h"
#include "results/ui/ToolServices.h"
#include "scan/ui/ScanFrame.h"
#include "settings/IniFile.h"

#include <QDialog>
#include <QString>

#include <memory>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

namespace vantrel {

class DriveCheckList;
class ResultGrid;
class ResultWindowGuard;
class TWinPlace;
class TypeListBox;

// "Find and delete temporary files": quick clean.
//
// The user picks temporary-file extensions in the pattern list (every line
// is selected when the window opens; its menu selects or deselects all),
// edits the list with "Add/Delete" (the pattern editor, after which the list
// is read again with no line selected), ticks the roots to walk and clicks
// "&Start". The walk runs on a worker thread (ScanFrame); every file whose
// extension is one of the selected lines' keys becomes a row at once (see
// TempFileMatcher: "Backup.BAK" is a "*.bak" file, "report.tmp.txt" is not a
// "*.tmp" file). The search keeps out of hidden folders, which hold live
// application data, and sees hidden files. At the end the rows are sorted
// by size and the status line reads "12 tempfiles found". Rows are marked,
// printed, copied, viewed, run, browsed and finally deleted or trashed
// through the confirmation window, which closes this window when it has
// worked; the savings totals grow by what really went.
//
// Sizes are 64-bit; rows carry their exact byte paths, so names that are
// not UTF-8 are listed, marked and deleted like any other.
//
// The window keeps its placement in vantrel.ini under the program's own
// section, key "frmMods"; with none stored it is centred.
class TfrmClean : public QDialog {
    Q_OBJECT
public:
    // `services`: the browser and the other program services; null: no
    // Browse. Not owned.
    explicit TfrmClean(const ToolServices* services, QWidget* parent = nullptr);
    // As the launcher makes it.
    explicit TfrmClean(const ToolRequest& request) : TfrmClean(request.services, request.owner) {}
    ~TfrmClean() override;

    // The settings file of the pattern list (vantrel.ini unless set); the
    // editor gets the same. Set before the window is shown.
    void setSettingsFile(const IniFile& settings) { m_settings = settings; }
    // How many rows reach the grid at a time while a scan runs.
    void setRowBatchSize(int rows) { m_rowBatchSize = rows; }

    ScanFrame& scanFrame() { return m_scan; }
    // The title of the printed list of the last scan: "Temporary files on
    // drive(s) " and every walked root followed by a blank.
    [[nodiscard]] QString printTitle() const;

    // Handlers, named after control and event.
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void FormResize();
    // Loads the pattern list from the settings file (no line selected).
    void ReadInFromDisk();
    void selectAllExtensions();
    void pckDriveClick(bool anyTicked);
    void btScanClick();
    void btEditClick();
    void btDeleteClick();
    // Starts the scan with the selected lines (btScanClick checks them
    // first). Returns at once; the scan frame's finished() tells the end.
    void scan();

    // The controls (owned by the window).
    QFrame* Panel1 = nullptr;
    QLabel* lblPatterns = nullptr;
    TypeListBox* PickList1 = nullptr;
    QPushButton* btEdit = nullptr;
    DriveCheckList* pckDrive = nullptr;
    QWidget* pnlButtons = nullptr;
    QPushButton* btScan = nullptr;
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
    QLabel* pnlSel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildForm();
    void wireControls();
    [[nodiscard]] bool canBrowse() const;
    int fillGrid(const ScanOutcome& outcome);
    void scanEnded(int rows);

    const ToolServices* m_services = nullptr;
    IniFile m_settings;
    TWinPlace* m_winPlace = nullptr;
    ResultWindowGuard* m_guard = nullptr;
    int m_rowBatchSize = 500;
    QString m_printTitle;
    bool m_shown = false;

    // Used by the scan's worker thread while a scan runs; the scan frame is
    // declared after it, so that it is destroyed (and its worker stopped)
    // first.
    std::unique_ptr<CleanSearch> m_search;
    ScanFrame m_scan;
};

}  // namespace vantrel
