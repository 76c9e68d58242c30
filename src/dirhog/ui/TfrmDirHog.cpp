#include "dirhog/ui/TfrmDirHog.h"

#include "dirhog/FolderHogGrid.h"
#include "platform/FileRecord.h"
#include "results/ResultGridModel.h"
#include "results/SortDirections.h"
#include "results/ui/ButtonRow.h"
#include "results/ui/FolderDeletion.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/ResultWindowGuard.h"
#include "scan/ui/DriveCheckList.h"
#include "settings/ui/WinPlace.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>

#include <memory>

namespace vantrel {

namespace {

// The window's size when it opens (at 96 pixels per inch; more when the
// controls need it, less when the screen is smaller): room for the six
// columns with a folder of about 70 characters on a 1280 x 1024 screen.
constexpr int kDesignWidth = 1000;
constexpr int kDesignHeight = 680;
// What the window leaves of the screen's free area around it.
constexpr int kScreenMargin = 40;

bool isGoneText(const QString& text) {
    return text == folderGoneText(false) || text == folderGoneText(true);
}

}  // namespace

TfrmDirHog::TfrmDirHog(const ToolServices* services, QWidget* parent)
    : QDialog(parent), m_services(services), m_scan(this) {
    setObjectName(QStringLiteral("frmDirHog"));
    setModal(true);
    setSizeGripEnabled(true);
    buildForm();
    wireControls();
    FormCreate();
}

TfrmDirHog::~TfrmDirHog() = default;

void TfrmDirHog::wireControls() {
    connect(pckDrive, &DriveCheckList::tickedChanged, this, &TfrmDirHog::pckDriveClick);
    connect(btTop, &QPushButton::clicked, this, &TfrmDirHog::btTopClick);
    connect(btAll, &QPushButton::clicked, this, &TfrmDirHog::btAllClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmDirHog::reject);
    connect(btDelete, &QPushButton::clicked, this, &TfrmDirHog::btDeleteClick);
    connect(btClip, &QPushButton::clicked, this, &TfrmDirHog::btClipClick);
    connect(btBrowse, &QPushButton::clicked, this, &TfrmDirHog::btBrowseClick);

    grid->setTopPanel(Panel1);
    m_guard = new ResultWindowGuard(this, grid);
    // Clipboard, Browse and Delete act on folders, not on marked files: only
    // Print is the grid's own.
    relayToGrid({.print = btPrint}, grid, [this] { return printTitle(); });
    // A double click on a row deletes its folder (there are no marks).
    connect(grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            btDeleteClick();
    });

    m_scan.setAbortButton(btAbort);
    m_scan.disableDuringScan({btTop, btAll, btClose, pckDrive});
    QList<QWidget*> results{btDelete, btPrint, btClip};
    if (m_services && m_services->canBrowse())
        results.append(btBrowse);
    m_scan.hideDuringScan(results);
    m_scan.setProgressLabel(pnlScan);
    m_scan.setBusyWidget(grid);
    connect(&m_scan, &ScanFrame::abortRequested, this, [this] { m_abortedByUser = true; });
    connect(&m_scan, &ScanFrame::finished, this, &TfrmDirHog::scanEnded);
}

// ---- Life of the window -------------------------------------------------------

void TfrmDirHog::FormCreate() {
    setWindowTitle(QStringLiteral("Folder Hogs"));
    pckDrive->fillDriveList();
}

void TfrmDirHog::showEvent(QShowEvent* event) {
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmDirHog::FormShow() {
    grid->ClearGrid();
    for (QPushButton* b : {btPrint, btClip, btBrowse, btDelete, btAbort})
        b->hide();
    pnlScan->clear();
    pckDriveClick(pckDrive->hasTicked());
    btClose->setEnabled(true);

    // The smallest window shows the whole top panel and at least as much
    // grid as panel; it opens larger, centred.
    resize(minimumSizeHint().width(), kDesignHeight);
    layout()->activate();
    grid->applyMinimumSize(this);
    const double scale = logicalDpiX() / 96.0;
    QSize size(qRound(kDesignWidth * scale), qRound(kDesignHeight * scale));
    if (const QScreen* s = screen())
        size = size.boundedTo(s->availableGeometry().size() - QSize(kScreenMargin, kScreenMargin));
    resize(size.expandedTo(minimumSize()));
    layout()->activate();
    // The panel's explanations wrap by the width: its height is taken at
    // the width the window opens with.
    grid->rememberTopPanelHeight();
    centreOnScreen(*this);
    grid->FormResize();
    btTop->setFocus();
}

void TfrmDirHog::pckDriveClick(bool anyTicked) {
    btTop->setEnabled(anyTicked);
    btAll->setEnabled(anyTicked);
}

// ---- The survey -----------------------------------------------------------------

void TfrmDirHog::btTopClick() {
    scan(SurveyMode::MainFolders);
}

void TfrmDirHog::btAllClick() {
    scan(SurveyMode::AllFolders);
}

void TfrmDirHog::scan(SurveyMode mode) {
    if (m_scan.isRunning())
        return;
    m_guard->setHintsShown(false);
    m_mode = mode;
    grid->ClearGrid();
    pnlScan->clear();
    m_abortedByUser = false;
    m_roots.clear();
    m_printTitle.clear();
    m_printTitle = printTitle();

    SurveyOptions options;
    options.mode = mode;
    options.capacity = m_folderCapacity;
    options.capacityOf = m_capacityQuery;
    m_survey = std::make_unique<FolderSurvey>(options);
    FolderSurvey* survey = m_survey.get();
    const QList<DriveEntry> drives = pckDrive->tickedDrives();
    const std::size_t batchSize = std::size_t(std::max(m_rowBatchSize, 1));
    m_scan.start(
        [this, survey, drives, batchSize](ScanJob& job) {
            survey->setOnFull([&job] { job.stop(BoxKind::Warning, surveyFullMessage()); });
            WalkReport report = survey->run(drives, job.control());
            // The rows' texts are made here, off the window's thread, and
            // reach the grid in batches, largest first, so that the window
            // keeps painting while a long list fills it.
            const std::vector<qsizetype> order = survey->bySizeDescending();
            FolderHogRows rows(*survey);
            for (std::size_t first = 0; first < order.size(); first += batchSize) {
                auto batch = std::make_shared<QList<GridRow>>();
                const std::size_t end = std::min(order.size(), first + batchSize);
                batch->reserve(qsizetype(end - first));
                for (std::size_t i = first; i < end; ++i)
                    batch->append(rows.row(order[i]));
                job.post([this, batch] {
                    ResultGridModel* model = grid->gridModel();
                    model->beginBatch();
                    for (const GridRow& row : std::as_const(*batch))
                        model->addToGrid(row);
                    model->endBatch();
                    batch->clear();
                });
            }
            return report;
        },
        [this](const ScanOutcome& outcome) { return fillGrid(outcome); });
}

int TfrmDirHog::fillGrid(const ScanOutcome& outcome) {
    m_abortedByUser = outcome.abortedByUser;
    m_roots = m_survey->roots();
    m_survey.reset();
    ResultGridModel* model = grid->gridModel();
    const int rows = model->rowCounter();
    grid->FormResize();
    if (rows > 0) {
        // Largest first; the size entry is left ascending for the user's
        // next choice.
        model->sortDirections().set(0, true);
        grid->Sortbysize1Click(0);
    }
    pnlScan->setText(folderHogsStatus(rows, m_roots));
    grid->setCurrentGridRow(1);
    return rows;
}

void TfrmDirHog::scanEnded(int rows) {
    Q_UNUSED(rows)
    m_guard->setHintsShown(true);
}

// ---- Buttons ------------------------------------------------------------------

QString TfrmDirHog::printTitle() const {
    if (!m_printTitle.isEmpty())
        return m_printTitle;
    QString title = QStringLiteral("Folder hogs on drive(s) ");
    for (const DriveEntry& drive : pckDrive->tickedDrives())
        title += displayText(drive.root) + QLatin1Char(' ');
    return title;
}

QString TfrmDirHog::clipboardText() const {
    QStringList lines;
    if (m_abortedByUser)
        lines.append(QString::fromLatin1(kScanAbortedText));
    lines += grid->gridModel()->resultLines();
    return lines.join(QStringLiteral("\r\n"));
}

void TfrmDirHog::btClipClick() {
    QGuiApplication::clipboard()->setText(clipboardText());
}

void TfrmDirHog::btBrowseClick() {
    const int row = grid->currentGridRow();
    if (!m_services || !m_services->canBrowse() || row < 1 || row > grid->rowCounter())
        return;
    m_services->browse(
        this, BrowseRequest{grid->gridModel()->pathAt(row), QByteArray(), QStringLiteral("*.*")});
}

void TfrmDirHog::btDeleteClick() {
    if (m_scan.isRunning())
        return;
    ResultGridModel* model = grid->gridModel();
    const int row = grid->currentGridRow();
    if (row < 1 || row > model->rowCounter())
        return;
    const QString size = model->cellText(row, 0);
    if (size.isEmpty())
        return;
    if (isGoneText(size)) {
        alertBox(QStringLiteral("Folder already deleted/recycled"), this);
        return;
    }
    const QByteArray folder = model->pathAt(row);
    const FolderDeletionOutcome outcome =
        deleteFolderInteractively(folder, FolderDeleteCaller::FolderHogs, this);
    if (!outcome.folderGone())
        return;
    // An empty folder is removed at once, whichever way was chosen.
    const bool recycled = outcome.recycled && outcome.status != FolderDeletionStatus::RemovedEmpty;
    markGone(folder, folderGoneText(recycled));
}

void TfrmDirHog::markGone(const QByteArray& folder, const QString& text) {
    ResultGridModel* model = grid->gridModel();
    QByteArray inside = folder;
    if (!inside.endsWith('/'))
        inside.append('/');
    for (int row = 1; row <= model->rowCounter(); ++row) {
        const QByteArray path = model->pathAt(row);
        if (path != folder && !path.startsWith(inside))
            continue;
        if (!isGoneText(model->cellText(row, 0)) && !entryExists(path))
            model->setCellText(row, 0, text);
    }
}

}  // namespace vantrel
