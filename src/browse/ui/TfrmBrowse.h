#pragma once

#include "browse/FolderLister.h"
#include "browse/FolderTreeModel.h"
#include "results/ui/ToolServices.h"
#include "scan/DriveList.h"

#include <QByteArray>
#include <QDialog>
#include <QPersistentModelIndex>
#include <QString>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSplitter;
class QTreeView;

namespace vantrel {

class ElidedLabel;
class ResultGrid;
class TWinPlace;

// "Browse through folders": one folder at a time. On the left the drive box
// (the roots of the drive list) and the folder tree under the chosen root;
// on the right the files of the folder selected in the tree that match the
// wildcard, with their dates, sizes and types. Each change of folder lists
// just that folder; the user sorts the list, marks files and deletes the
// marked ones (the confirmation window, after which the folder is listed
// again), deletes the whole selected folder tree (the shared folder
// deletion, after which the tree shows the parent), and runs, views or
// inspects a file. Closing with files marked asks first.
//
// Limits: paths are exact bytes everywhere (names that are not UTF-8 are
// listed, shown with replacement characters, marked and deleted by their
// bytes); sizes and totals are 64-bit. A folder that cannot be read clears
// the list and its marks and says why in the status line. The tree reads a
// folder only when it is expanded, passed through or selected, and big
// folders on a worker thread; symbolic links to folders are shown and never
// entered. Hidden files and folders show only with "Show hidden" (off at
// first). Fifos, sockets and devices are never listed or opened.
//
// Where it opens: at ToolRequest::browseAt (that folder listed with the
// wildcard, its file selected), else at the process's current folder, else
// the home folder. The window keeps its placement under "frmBrowse" in the
// program's section of vantrel.ini; with none stored it is centred.
class TfrmBrowse : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBrowse(const ToolRequest& request);
    ~TfrmBrowse() override;

    // The folder the grid lists (exact bytes), and its wildcard.
    [[nodiscard]] const QByteArray& currentFolder() const { return m_folder; }
    [[nodiscard]] const QString& mask() const { return m_mask; }
    // Whether the folder's files or its sub-folders are still coming in.
    [[nodiscard]] bool isListing() const {
        return m_lister.isRunning() || m_waitingForTree || m_tree.isBusy();
    }
    [[nodiscard]] FolderTreeModel& folderModel() { return m_tree; }
    [[nodiscard]] FolderLister& lister() { return m_lister; }

    // Goes to another folder: picks the drive that holds it, reads the tree
    // down to it and lists it; `file` (a name in it) is selected once listed.
    void openAt(const QByteArray& folder, const QByteArray& file = {});

    // Handlers, named after control and event.
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void DriveComboBox1Change(int index);
    void DirectoryListBox1Change();
    void cbHiddenClick(bool checked);
    void btMarkClick();
    void btViewClick();
    void btLaunchClick();
    void Details1Click();
    void pnlScanClick();
    void btDeleteFilesClick();
    void btDeleteDirectoryClick();
    // Whether the window may close now (asks when files are marked).
    bool FormCloseQuery();

    // The controls (owned by the window).
    QComboBox* DriveComboBox1 = nullptr;
    QTreeView* DirectoryListBox1 = nullptr;
    QCheckBox* cbHidden = nullptr;
    ElidedLabel* Label1 = nullptr;
    ResultGrid* grid = nullptr;
    QFrame* Panel2 = nullptr;
    QPushButton* btDeleteDirectory = nullptr;
    QPushButton* btView = nullptr;
    QPushButton* btMark = nullptr;
    QPushButton* btDeleteFiles = nullptr;
    QPushButton* btClose = nullptr;
    QPushButton* btLaunch = nullptr;
    QPushButton* btDetails = nullptr;
    QFrame* pnlScan2 = nullptr;
    QLabel* pnlScan = nullptr;
    QLabel* pnlSize = nullptr;
    QLabel* pnlWild = nullptr;
    QSplitter* splitter = nullptr;

Q_SIGNALS:
    // A listing has ended (rows, totals and status texts are in).
    void listed();

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildForm();
    void wireControls();
    void fillDriveBox();
    void treeRevealed(const QModelIndex& index);
    void treeCurrentChanged(const QModelIndex& current);
    void readTreeLater();
    void listFolder(const QByteArray& folder, bool followLink);
    void rowsArrived(quint64 id, const std::vector<GridRow>& rows);
    void listingFinished(const ListingSummary& summary);
    void updateDeleteButton();
    void selectFile(const QByteArray& name);
    void showFile(const QByteArray& path);
    void showDetails(const QByteArray& path);
    [[nodiscard]] bool hasFileRow(int row) const;

    FolderTreeModel m_tree;
    FolderLister m_lister;
    QList<DriveListEntry> m_drives;
    TWinPlace* m_winPlace = nullptr;

    QByteArray m_folder;  // the folder listed
    QString m_mask = QStringLiteral("*.*");
    QByteArray m_selectFile;     // selected once the listing is in
    QByteArray m_pendingFolder;  // openAt's folder while the tree reads down to it
    bool m_waitingForTree = false;
    bool m_revealing = false;  // a selection made by reveal: the folder was just read
    bool m_sortedWhileListing = false;
    // The listed folder's sub-folders, read once its first rows are in.
    QPersistentModelIndex m_treeLater;
    bool m_expandLater = false;
    bool m_refreshLater = false;
    bool m_shown = false;
};

}  // namespace vantrel
