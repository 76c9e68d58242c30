#pragma once

#include "dup/ContentSearch.h"
#include "dup/DupSearch.h"
#include "dup/ui/DupCompareSource.h"
#include "results/ui/ButtonRow.h"
#include "results/ui/ToolServices.h"
#include "scan/ui/ScanFrame.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace vantrel {

class DriveCheckList;
class ResultGrid;
class ResultWindowGuard;
class TWinPlace;
class WildcardCombo;

// "Find and delete duplicate files" / "Find and delete file hogs": one
// window, two tools. The mode is fixed when the window is made.
//
// The user picks a size condition ("Larger or equal to", "Smaller or equal
// to" or "In between", in bytes or KB), a wildcard, the roots to walk and,
// for duplicates, one of seven matching criteria, then clicks "&Start". The
// walk and the search run on a worker thread (ScanFrame); every file that
// passes becomes a candidate (DupSearch). Duplicates are shown as groups of
// rows with equal keys; file hogs every candidate, largest first. Rows are
// marked, printed, copied, viewed, compared in pairs and finally deleted or
// trashed through the confirmation window, which closes this window when it
// has worked.
//
// Sizes and limits are 64-bit; paths are kept exactly as found. When the
// candidate list reaches its capacity the scan stops with the resource
// message and the rows gathered so far are still grouped and shown.
//
// The window keeps its placement in vantrel.ini under "frmDups" (duplicates)
// or "frmMods" (file hogs), key "frmMods"; with none stored it is centred.
class TfrmDup : public QDialog, public DupCompareSource {
    Q_OBJECT
public:
    // `compareView`: the pair-comparison window, or null (then "P&airs" is
    // never offered). Not owned; it outlives this window.
    TfrmDup(bool duplicateMode, DupCompareView* compareView, QWidget* parent = nullptr);
    // As the launcher makes it: the mode, its owner, the long-lived
    // pair-comparison window and the program's services (the browser) from
    // the request.
    explicit TfrmDup(const ToolRequest& request)
        : TfrmDup(request.duplicateMode, compareViewOf(request), request.owner) {
        m_services = request.services;
    }
    ~TfrmDup() override;

    static DupCompareView* compareViewOf(const ToolRequest& request) {
        if (!request.services)
            return nullptr;
        return dynamic_cast<DupCompareView*>(
            request.services->longLived(LongLivedWindow::PairComparison));
    }

    [[nodiscard]] bool duplicateMode() const { return m_duplicateMode; }
    // The criterion of the last scan (the one the grid shows).
    [[nodiscard]] DupCriterion criterion() const { return m_criterion; }

    // What "&Browse" asks for the folder browser; null (the default of the
    // first constructor): "&Browse" is never offered. Not owned.
    void setServices(const ToolServices* services) { m_services = services; }

    // How many candidates a scan keeps before it stops with the resource
    // message (DupSearchOptions::capacity unless set).
    void setCandidateCapacity(qsizetype capacity) { m_capacity = capacity; }
    // How many rows reach the grid at a time after a scan (the window
    // paints between batches).
    void setRowBatchSize(int rows) { m_rowBatchSize = rows; }

    // The size condition as the printed title words it: "larger or equal to
    // 250 KB", "smaller or equal to 10 bytes", "in between 100 bytes and 100 KB".
    [[nodiscard]] QString sizeConditionText() const;
    // The title of the printed list of the last scan: "Duplicates " or "File
    // Hogs ", the size condition, " matching ", the wildcard, " on drive(s) "
    // and every walked root followed by a blank.
    [[nodiscard]] QString printTitle() const;

    ScanFrame& scanFrame() { return m_scan; }

    // DupCompareSource
    ResultGrid& dupGrid() override { return *grid; }
    int matchMode() const override { return int(m_criterion); }
    void MarkThisFile(int row) override;
    QWidget* sourceWindow() override { return this; }

    // Handlers, named after control and event.
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void FormResize();
    void rbLargerClick();
    void cbWildCardChange(const QString& text);
    void pckDriveClick(bool anyTicked);
    void btScanClick();
    void btDeleteClick();
    void btCompareClick();
    // "&Verify contents" (after a search by names, sizes, dates or types):
    // reads the files of each group, splits it into its subsets of identical
    // contents and notes each row "same contents", "differs" or "not read"
    // (unreadable, or changed since the scan). Runs like a scan (Abort
    // stops it, leaving the list as it was); marks are cleared, as the rows
    // are laid out anew. The status line says how many groups were
    // confirmed.
    void btVerifyClick();
    // Starts the scan with the inputs as they are (btScanClick checks them
    // first). Returns at once; the scan frame's finished() tells the end.
    void scan();

    // The controls (owned by the window).
    QFrame* Panel1 = nullptr;
    QRadioButton* rbLarger = nullptr;
    QRadioButton* rbSmaller = nullptr;
    QRadioButton* rbBetween = nullptr;
    QSpinBox* num1 = nullptr;
    QLabel* lblAnd = nullptr;
    QSpinBox* num2 = nullptr;
    QComboBox* cbKB1 = nullptr;
    QLabel* lblMatching = nullptr;
    WildcardCombo* cbWildCard = nullptr;
    QLabel* lblWild = nullptr;
    QLabel* lblDup = nullptr;
    QComboBox* cbDup = nullptr;
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
    QPushButton* btCompare = nullptr;
    QPushButton* btVerify = nullptr;
    ResultGrid* grid = nullptr;
    QLabel* pnlSel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildForm();
    void wireControls();
    [[nodiscard]] DupSearchOptions searchOptions() const;
    int fillGrid(const ScanOutcome& outcome);
    void scanEnded(int rows);
    [[nodiscard]] bool canBrowse() const { return m_services && m_services->canBrowse(); }

    const bool m_duplicateMode;
    DupCompareView* m_compareView = nullptr;
    const ToolServices* m_services = nullptr;
    TWinPlace* m_winPlace = nullptr;
    ResultWindowGuard* m_guard = nullptr;
    DupCriterion m_criterion = DupCriterion::FilenameOnly;
    qsizetype m_capacity = DupSearchOptions{}.capacity;
    int m_rowBatchSize = 20000;
    QString m_printTitle;
    // The rows of each group of the last scan, in row order.
    std::vector<int> m_groupSizes;
    // What each row's file was when the scan ended (metadata criteria).
    std::vector<ContentCheckFile> m_rowFiles;
    bool m_verified = false;
    bool m_shown = false;

    // Used by the scan's worker thread while a scan runs; the scan frame is
    // declared after them, so that it is destroyed (and its worker stopped)
    // first.
    std::unique_ptr<DupSearch> m_search;
    ScanFrame m_scan;
};

}  // namespace vantrel
