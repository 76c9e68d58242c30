#include "browse/ui/TfrmBrowse.h"

#include "browse/ui/FileWindows.h"
#include "results/ResultGridModel.h"
#include "results/SortDirections.h"
#include "results/ui/FolderDeletion.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/TfrmReallyDelete.h"
#include "scan/ui/TfrmWildCard.h"
#include "settings/ui/WinPlace.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"
#include "text/ui/ElidedLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTreeView>

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

// The window's size when it opens, before a stored placement applies (at 96
// pixels per inch; less when the screen is smaller).
constexpr int kDesignWidth = 1000;
constexpr int kDesignHeight = 640;
constexpr int kTreeWidth = 280;
constexpr int kScreenMargin = 40;

// The process's current folder, or the home folder when it has none (it
// was deleted, say).
QByteArray startFolder() {
    QByteArray cwd(4096, '\0');
    if (::getcwd(cwd.data(), size_t(cwd.size())) != nullptr && cwd.startsWith('/')) {
        cwd.resize(qsizetype(std::strlen(cwd.constData())));
        return cwd;
    }
    return QFile::encodeName(QDir::homePath());
}

// The folder that holds `path` ("/" for a folder in "/").
QByteArray parentFolder(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

// Whether a folder name on the way from `root` down to `path` is hidden.
bool passesHiddenFolder(const QByteArray& root, const QByteArray& path) {
    const QByteArray prefix = root.endsWith('/') ? root : root + '/';
    if (!path.startsWith(prefix))
        return false;
    for (const QByteArray& name : path.mid(prefix.size()).split('/')) {
        if (name.startsWith('.'))
            return true;
    }
    return false;
}

}  // namespace

TfrmBrowse::TfrmBrowse(const ToolRequest& request) : QDialog(request.owner) {
    setObjectName(QStringLiteral("frmBrowse"));
    setWindowTitle(QStringLiteral("Browse through folders"));
    setModal(true);
    setSizeGripEnabled(true);
    buildForm();
    wireControls();
    FormCreate();
    if (request.browseAt) {
        m_pendingFolder = request.browseAt->folder;
        m_selectFile = request.browseAt->file;
        if (!request.browseAt->mask.trimmed().isEmpty())
            m_mask = request.browseAt->mask.trimmed();
    }
    if (m_pendingFolder.isEmpty())
        m_pendingFolder = startFolder();
}

TfrmBrowse::~TfrmBrowse() {
    FormDestroy();
}

void TfrmBrowse::wireControls() {
    connect(DriveComboBox1, &QComboBox::activated, this, &TfrmBrowse::DriveComboBox1Change);
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { treeCurrentChanged(current); });
    connect(&m_tree, &FolderTreeModel::revealed, this, &TfrmBrowse::treeRevealed);
    connect(cbHidden, &QCheckBox::clicked, this, &TfrmBrowse::cbHiddenClick);
    connect(&m_lister, &FolderLister::rowsReady, this, &TfrmBrowse::rowsArrived);
    connect(&m_lister, &FolderLister::finished, this, &TfrmBrowse::listingFinished);

    connect(btDeleteDirectory, &QPushButton::clicked, this, &TfrmBrowse::btDeleteDirectoryClick);
    connect(btView, &QPushButton::clicked, this, &TfrmBrowse::btViewClick);
    connect(btMark, &QPushButton::clicked, this, &TfrmBrowse::btMarkClick);
    connect(btDeleteFiles, &QPushButton::clicked, this, &TfrmBrowse::btDeleteFilesClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmBrowse::reject);
    connect(btLaunch, &QPushButton::clicked, this, &TfrmBrowse::btLaunchClick);
    connect(btDetails, &QPushButton::clicked, this, &TfrmBrowse::Details1Click);

    grid->setStatusLabel(pnlScan);
    grid->viewport()->installEventFilter(this);
    grid->installEventFilter(this);
    pnlWild->installEventFilter(this);
    connect(grid, &ResultGrid::viewRequested, this, &TfrmBrowse::showFile);
    connect(grid, &ResultGrid::detailsRequested, this, &TfrmBrowse::showDetails);
    connect(grid->gridModel(), &ResultGridModel::marksChanged, this,
            &TfrmBrowse::updateDeleteButton);
    connect(grid, &ResultGrid::sorted, this, [this] {
        if (m_lister.isRunning())
            m_sortedWhileListing = true;
    });
    btDeleteFiles->setEnabled(false);
}

// ---- Life of the window -------------------------------------------------------

void TfrmBrowse::FormCreate() {
    m_winPlace = new TWinPlace(this);
    m_winPlace->IniFileName = QStringLiteral("vantrel.ini");
    m_winPlace->Identifier = QStringLiteral("frmBrowse");
    if (!m_winPlace->hasStoredPlacement())
        centreOnScreen(*this);
    fillDriveBox();
}

void TfrmBrowse::showEvent(QShowEvent* event) {
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmBrowse::FormShow() {
    pnlWild->setText(QStringLiteral("Wildcard : ") + m_mask);
    const double scale = logicalDpiX() / 96.0;
    QSize size(qRound(kDesignWidth * scale), qRound(kDesignHeight * scale));
    if (const QScreen* s = screen())
        size = size.boundedTo(s->availableGeometry().size() - QSize(kScreenMargin, kScreenMargin));
    layout()->activate();
    resize(size.expandedTo(minimumSize()));
    const int tree = std::min(qRound(kTreeWidth * scale), width() / 3);
    splitter->setSizes({tree, std::max(width() - tree, 1)});
    centreOnScreen(*this);
    m_winPlace->RestorePlacement();
    openAt(m_pendingFolder, m_selectFile);
    DirectoryListBox1->setFocus();
}

void TfrmBrowse::FormDestroy() {
    m_lister.cancel();
    if (m_shown && m_winPlace)
        m_winPlace->SavePlacement();
    // The tree view lets go of the model while both are whole: the model is
    // a member and goes before the view, and nothing may reach this window
    // from the view on the way out.
    disconnect(DirectoryListBox1->selectionModel(), nullptr, this, nullptr);
    DirectoryListBox1->setModel(nullptr);
}

bool TfrmBrowse::FormCloseQuery() {
    const qint64 marked = grid->gridModel()->markedCount();
    if (marked <= 0)
        return true;
    const QString question = QStringLiteral("You have ") + QString::number(marked) +
                             QStringLiteral(" files marked for deletion. ") +
                             QStringLiteral("Do you really wish to exit without deleting?");
    return dialogs().question(question, QuestionButtons::YesNo, this) == Answer::Yes;
}

void TfrmBrowse::reject() {
    // Close, Esc and the close box all come here.
    if (FormCloseQuery())
        QDialog::reject();
}

bool TfrmBrowse::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pnlWild && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            pnlScanClick();
        return true;
    }
    if (watched == grid->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // A double click marks only a file whose type is known; a file
        // without an extension is marked with the Mark button.
        const auto* e = static_cast<QMouseEvent*>(event);
        const QModelIndex index = grid->indexAt(e->position().toPoint());
        const int row = index.row() + 1;
        if (!index.isValid() || !hasFileRow(row) ||
            grid->gridModel()->cellText(row, kColType).isEmpty())
            return true;
    }
    if (watched == grid && event->type() == QEvent::KeyPress) {
        // Enter in the grid presses no button.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---- Drives and folders -------------------------------------------------------

void TfrmBrowse::fillDriveBox() {
    m_drives = driveListEntries(vantrelIni());
    DriveComboBox1->clear();
    for (const DriveListEntry& entry : std::as_const(m_drives))
        DriveComboBox1->addItem(entry.drive.text());
}

void TfrmBrowse::DriveComboBox1Change(int index) {
    if (index >= 0 && index < m_drives.size())
        openAt(m_drives[index].drive.root);
}

void TfrmBrowse::openAt(const QByteArray& folder, const QByteArray& file) {
    QByteArray clean = cleanRootPath(folder);
    if (clean.isEmpty())
        clean = QByteArrayLiteral("/");
    QList<DriveEntry> drives;
    for (const DriveListEntry& entry : std::as_const(m_drives))
        drives.append(entry.drive);
    const int drive = closestDriveIndex(drives, clean);
    const QByteArray root = drive >= 0 ? drives[drive].root : QByteArrayLiteral("/");
    {
        const QSignalBlocker block(DriveComboBox1);
        DriveComboBox1->setCurrentIndex(drive);
    }
    // A folder inside a hidden one is shown with the hidden folders.
    if (!cbHidden->isChecked() && passesHiddenFolder(root, clean))
        cbHidden->setChecked(true);
    m_tree.setShowHidden(cbHidden->isChecked());
    m_lister.cancel();
    m_pendingFolder = clean;
    m_selectFile = file;
    m_waitingForTree = true;
    m_tree.setRoot(root);
    m_tree.reveal(clean);
}

void TfrmBrowse::treeRevealed(const QModelIndex& index) {
    m_waitingForTree = false;
    if (!index.isValid())
        return;
    if (m_tree.pathOf(index) != m_pendingFolder)
        m_selectFile.clear();
    // The folder has just been read: selecting it does not read it again.
    m_revealing = true;
    if (DirectoryListBox1->currentIndex() == index)
        treeCurrentChanged(index);
    else
        DirectoryListBox1->setCurrentIndex(index);
    m_revealing = false;
    DirectoryListBox1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    m_treeLater = index;
    m_expandLater = true;
    if (!m_lister.isRunning())
        readTreeLater();
}

void TfrmBrowse::readTreeLater() {
    // The folder's files come first: its sub-folders are read (and shown)
    // once its first rows are in, so that a big folder is not read twice at
    // the same time.
    const QModelIndex index = m_treeLater;
    const bool expand = m_expandLater;
    const bool refresh = m_refreshLater;
    m_treeLater = QPersistentModelIndex();
    m_expandLater = m_refreshLater = false;
    if (!index.isValid())
        return;
    if (refresh)
        m_tree.refresh(index);
    if (expand)
        DirectoryListBox1->expand(index);
}

void TfrmBrowse::treeCurrentChanged(const QModelIndex& current) {
    if (!current.isValid())
        return;
    const QByteArray path = m_tree.pathOf(current);
    m_treeLater = current;
    m_expandLater = false;
    m_refreshLater = false;
    if (!m_revealing) {
        // A folder chosen by the user shows its sub-folders as they are now.
        m_refreshLater = true;
        m_selectFile.clear();
    }
    if (m_tree.isLink(current)) {
        m_lister.cancel();
        m_folder = path;
        Label1->setText(displayText(path));
        grid->gridModel()->ClearGrid();
        pnlScan->setText(QStringLiteral("Symbolic link to a folder: not followed"));
        pnlSize->setText(QStringLiteral("Total size : 0"));
        btDeleteDirectory->setEnabled(false);
        m_treeLater = QPersistentModelIndex();
        Q_EMIT listed();
        return;
    }
    listFolder(path, current == m_tree.rootIndex());
}

void TfrmBrowse::cbHiddenClick(bool checked) {
    m_tree.setShowHidden(checked);
    // The tree shows the listed folder again (or its nearest shown
    // ancestor), and the list takes or drops the hidden files.
    m_pendingFolder = m_folder;
    m_waitingForTree = true;
    m_tree.reveal(m_folder);
}

// ---- Listing ------------------------------------------------------------------

void TfrmBrowse::DirectoryListBox1Change() {
    if (!m_folder.isEmpty())
        listFolder(m_folder, m_folder == m_tree.root());
}

void TfrmBrowse::listFolder(const QByteArray& folder, bool followLink) {
    m_folder = folder;
    Label1->setText(displayText(folder));
    btDeleteDirectory->setEnabled(true);
    // The marks and the totals of the last listing go with it; the sort
    // choice and its direction stay.
    ResultGridModel* model = grid->gridModel();
    model->ClearGrid();
    btDeleteFiles->setEnabled(false);
    pnlScan->setText(QStringLiteral("Number of files : 0"));
    pnlSize->setText(QStringLiteral("Total size : 0"));
    grid->viewport()->setCursor(Qt::BusyCursor);
    m_sortedWhileListing = false;

    FolderListingRequest request;
    request.folder = folder;
    request.mask = Wildcard(QFile::encodeName(m_mask));
    request.showHidden = cbHidden->isChecked();
    request.followLink = followLink;
    request.namesDescending = model->sortDirections().descending(kSortName);
    m_lister.start(request);
}

void TfrmBrowse::rowsArrived(quint64 id, const std::vector<GridRow>& rows) {
    if (id != m_lister.runningId())
        return;
    ResultGridModel* model = grid->gridModel();
    model->beginBatch();
    for (const GridRow& row : rows)
        model->addToGrid(row);
    model->endBatch();
    if (model->markedPathCount() == 0)
        pnlScan->setText(QStringLiteral("Number of files : ") + numberText(model->rowCounter()));
    readTreeLater();
}

void TfrmBrowse::listingFinished(const ListingSummary& summary) {
    grid->viewport()->unsetCursor();
    ResultGridModel* model = grid->gridModel();
    if (summary.error != 0) {
        // Nothing of another folder may stay: no row, no mark.
        model->ClearGrid();
        pnlScan->setText(QStringLiteral("Can't read this folder: ") +
                         QString::fromLocal8Bit(std::strerror(summary.error)));
        pnlSize->setText(QStringLiteral("Total size : 0"));
    } else {
        // The rows came in name order; any other choice sorts them again,
        // without changing its direction.
        const int key = grid->checkedSortKey();
        if (key >= 0 && (key != kSortName || m_sortedWhileListing))
            model->sortByKeyAgain(key);
        if (model->markedPathCount() == 0)
            pnlScan->setText(QStringLiteral("Number of files : ") + numberText(summary.files));
        pnlSize->setText(QStringLiteral("Total size : ") + numberText(summary.bytes));
    }
    if (!m_selectFile.isEmpty() && m_folder == m_pendingFolder)
        selectFile(m_selectFile);
    else
        grid->setCurrentGridRow(1);
    m_selectFile.clear();
    Q_EMIT listed();
    readTreeLater();
}

void TfrmBrowse::selectFile(const QByteArray& name) {
    const QByteArray path = joinPath(m_folder, name);
    const ResultGridModel* model = grid->gridModel();
    for (int row = 1; row <= model->rowCounter(); ++row) {
        if (model->pathAt(row) == path) {
            grid->setCurrentGridRow(row);
            return;
        }
    }
    grid->setCurrentGridRow(1);
}

// ---- Marks --------------------------------------------------------------------

bool TfrmBrowse::hasFileRow(int row) const {
    const ResultGridModel* model = grid->gridModel();
    return row >= 1 && row <= model->rowCounter() && !model->pathAt(row).isEmpty() &&
           !model->cellText(row, kColFilename).isEmpty();
}

void TfrmBrowse::updateDeleteButton() {
    btDeleteFiles->setEnabled(grid->gridModel()->markedCount() > 0);
}

void TfrmBrowse::btMarkClick() {
    if (hasFileRow(grid->currentGridRow()))
        grid->DeleteAllFiles();
    updateDeleteButton();
}

// ---- Files --------------------------------------------------------------------

void TfrmBrowse::btViewClick() {
    grid->View1Click();
}

void TfrmBrowse::btLaunchClick() {
    grid->Run1Click();
}

void TfrmBrowse::Details1Click() {
    grid->Details1Click();
}

void TfrmBrowse::showFile(const QByteArray& path) {
    showFileView(this, path);
}

void TfrmBrowse::showDetails(const QByteArray& path) {
    showFileDetails(this, path);
}

void TfrmBrowse::pnlScanClick() {
    TfrmWildCard picker(this);
    picker.setWildcard(m_mask);
    if (dialogs().exec(picker) == QDialog::Accepted) {
        const QString chosen = picker.wildcard().trimmed();
        m_mask = chosen.isEmpty() ? QStringLiteral("*.*") : chosen;
        DirectoryListBox1Change();
    }
    pnlWild->setText(QStringLiteral("Wildcard : ") + m_mask);
}

// ---- Deleting -----------------------------------------------------------------

void TfrmBrowse::btDeleteFilesClick() {
    const ResultGridModel* model = grid->gridModel();
    const MarkedDeletion done = deleteMarkedFiles(*model, this);
    if (!done.shown)
        return;
    // Whatever happened, the folder is read again.
    DirectoryListBox1Change();
}

void TfrmBrowse::btDeleteDirectoryClick() {
    const QModelIndex current = m_tree.indexOf(m_folder);
    if (m_folder.isEmpty() || m_tree.isLink(current))
        return;
    const QByteArray folder = m_folder;
    const FolderDeletionOutcome outcome =
        deleteFolderInteractively(folder, FolderDeleteCaller::Browse, this);
    if (outcome.status == FolderDeletionStatus::Refused ||
        outcome.status == FolderDeletionStatus::NotConfirmed)
        return;
    // The tree shows the parent folder, read again without the folder that
    // went.
    const QByteArray parent = parentFolder(folder);
    const QModelIndex parentIndex = m_tree.indexOf(parent);
    if (!parentIndex.isValid()) {
        openAt(parent);
        return;
    }
    m_selectFile.clear();
    m_pendingFolder = parent;
    m_revealing = true;
    DirectoryListBox1->setCurrentIndex(parentIndex);
    m_revealing = false;
    m_tree.refresh(parentIndex);
}

}  // namespace vantrel
