#pragma once

#include "dirhog/FolderSurvey.h"
#include "results/ui/ToolServices.h"
#include "scan/ui/ScanFrame.h"

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

// "Folder Hogs": which folders take the space on the chosen drives.
//
// The user ticks drives (or added folders) and clicks "&Main folders" (one
// row per folder directly under each root, measured with everything below
// it) or "&All Folders" (one row per folder, measured by its own entries).
// The survey (FolderSurvey: one walk per drive, hidden folders entered, hard
// links counted once, as du -x counts) runs on a worker thread; Abort stops
// it and the rows gathered so far are shown. Rows come largest first; the
// "Sort" menu and the column titles sort them again. Print prints the list,
// Clipboard copies the survey's lines (headed by "LIST INCOMPLETE ...
// ABORTED BY USER" after an abort), Browse opens the folder browser at the
// row's folder (hidden when the program has none), and Delete (or a double
// click on a row) deletes or trashes the row's folder through the shared
// folder deletion: the protections refuse roots, mount points, system
// folders and folders that hold them; the confirmation says what the whole
// tree holds; what could not be removed is listed. The row's Size cell then
// reads "DELETED" or "RECYCLED", and so do the rows of folders that went
// with it, but only when a folder is really gone.
//
// The status line reads "Folders : " and the number of rows, and names the
// drives mounted noatime, where the latest access dates are not kept.
// Sizes, counts and capacities are 64-bit; paths are kept as exact bytes.
// The window keeps no placement: it opens centred.
class TfrmDirHog : public QDialog {
    Q_OBJECT
public:
    // `services`: the program's services (the browser), or null.
    explicit TfrmDirHog(const ToolServices* services, QWidget* parent = nullptr);
    // As the launcher makes it.
    explicit TfrmDirHog(const ToolRequest& request) : TfrmDirHog(request.services, request.owner) {}
    ~TfrmDirHog() override;

    // Rows a survey keeps before it stops with the resource message.
    void setFolderCapacity(qsizetype capacity) { m_folderCapacity = capacity; }
    // The drives' capacities (tests); statvfs when empty.
    void setCapacityQuery(CapacityQuery query) { m_capacityQuery = std::move(query); }
    // How many rows reach the grid at a time after a survey.
    void setRowBatchSize(int rows) { m_rowBatchSize = rows; }

    // The mode of the last survey.
    [[nodiscard]] SurveyMode mode() const { return m_mode; }
    // "Folder hogs on drive(s) " and every root of the last survey (the
    // ticked ones before the first), each followed by a blank.
    [[nodiscard]] QString printTitle() const;
    // What C&lipboard copies: the abort line first when the user aborted
    // the survey, then one line per folder in the order the rows came
    // (Size, % Used, # Files, # Sub-folders, Latest File Access, Name,
    // tab-separated), separated by CR LF.
    [[nodiscard]] QString clipboardText() const;

    ScanFrame& scanFrame() { return m_scan; }

    // Handlers, named after control and event.
    void FormCreate();
    void FormShow();
    void pckDriveClick(bool anyTicked);
    void btTopClick();
    void btAllClick();
    void btDeleteClick();
    void btBrowseClick();
    void btClipClick();
    // Starts a survey in `mode`; returns at once (finished() of the scan
    // frame tells the end).
    void scan(SurveyMode mode);

    // The controls (owned by the window).
    QFrame* Panel1 = nullptr;
    QLabel* lblMain = nullptr;
    QLabel* lblAll = nullptr;
    DriveCheckList* pckDrive = nullptr;
    QWidget* pnlButtons = nullptr;
    QPushButton* btTop = nullptr;
    QPushButton* btAll = nullptr;
    QPushButton* btClose = nullptr;
    QPushButton* btAbort = nullptr;
    QPushButton* btDelete = nullptr;
    QPushButton* btPrint = nullptr;
    QPushButton* btClip = nullptr;
    QPushButton* btBrowse = nullptr;
    ResultGrid* grid = nullptr;
    QLabel* pnlScan = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildForm();
    void wireControls();
    int fillGrid(const ScanOutcome& outcome);
    void scanEnded(int rows);
    // Marks the rows of `folder` and of the folders inside it that are gone.
    void markGone(const QByteArray& folder, const QString& text);

    const ToolServices* m_services = nullptr;
    ResultWindowGuard* m_guard = nullptr;
    SurveyMode m_mode = SurveyMode::MainFolders;
    qsizetype m_folderCapacity = SurveyOptions{}.capacity;
    CapacityQuery m_capacityQuery;
    int m_rowBatchSize = 20000;
    QString m_printTitle;
    QList<SurveyedRoot> m_roots;  // of the last survey
    bool m_abortedByUser = false;
    bool m_shown = false;

    // Used by the survey's worker thread while it runs; the scan frame is
    // declared after it, so that it is destroyed (and its worker stopped)
    // first.
    std::unique_ptr<FolderSurvey> m_survey;
    ScanFrame m_scan;
};

}  // namespace vantrel
