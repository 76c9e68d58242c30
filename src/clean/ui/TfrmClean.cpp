#include "clean/ui/TfrmClean.h"

#include "browse/ui/FileWindows.h"
#include "clean/TempFileList.h"
#include "clean/ui/TfrmTempFiles.h"
#include "results/ResultGridModel.h"
#include "results/SortDirections.h"
#include "results/ui/ButtonRow.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/ResultWindowGuard.h"
#include "results/ui/TfrmReallyDelete.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/TypeListBox.h"
#include "settings/ui/WinPlace.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>

#include <memory>
#include <vector>

namespace vantrel {

namespace {

// The window's size when it opens, before a stored placement applies (at 96
// pixels per inch; more when the controls need it, less when the screen is
// smaller).
constexpr int kDesignWidth = 1000;
constexpr int kDesignHeight = 680;
// What the window leaves of the screen's free area around it.
constexpr int kScreenMargin = 40;
// Rows found are handed to the window at least this often while a long
// walk finds few of them.
constexpr qint64 kRowHandOverMs = 100;

// Turns every file the walk hands on (only names that passed the extension
// match reach it) into a row, and hands the rows to the window in batches
// while the walk goes on.
class CleanFeeder final : public WalkVisitor {
public:
    CleanFeeder(CleanSearch& search, ScanJob& job, ResultGrid* grid, std::size_t batchSize)
        : m_search(search), m_job(job), m_grid(grid), m_batchSize(batchSize) {
        m_sinceHandOver.start();
    }

    void entry(const QByteArray& folder, const FileRecord& record) override {
        m_rows.push_back(m_search.rowFor(folder, record));
        if (m_rows.size() >= m_batchSize)
            handOver();
    }

    void folderDone(const QByteArray&, int) override {
        if (!m_rows.empty() && m_sinceHandOver.elapsed() >= kRowHandOverMs)
            handOver();
    }

    void handOver() {
        m_sinceHandOver.restart();
        if (m_rows.empty())
            return;
        auto batch = std::make_shared<std::vector<GridRow>>(std::move(m_rows));
        m_rows.clear();
        ResultGrid* grid = m_grid;
        m_job.post([grid, batch] {
            ResultGridModel* model = grid->gridModel();
            model->beginBatch();
            for (const GridRow& row : *batch)
                model->addToGrid(row);
            model->endBatch();
        });
    }

private:
    CleanSearch& m_search;
    ScanJob& m_job;
    ResultGrid* m_grid;
    std::size_t m_batchSize;
    std::vector<GridRow> m_rows;
    QElapsedTimer m_sinceHandOver;
};

}  // namespace

TfrmClean::TfrmClean(const ToolServices* services, QWidget* parent)
    : QDialog(parent), m_services(services), m_settings(vantrelIni()), m_scan(this) {
    setObjectName(QStringLiteral("frmClean"));
    setModal(true);
    setSizeGripEnabled(true);
    buildForm();
    wireControls();
    FormCreate();
}

TfrmClean::~TfrmClean() {
    FormDestroy();
}

void TfrmClean::wireControls() {
    connect(pckDrive, &DriveCheckList::tickedChanged, this, &TfrmClean::pckDriveClick);
    connect(btEdit, &QPushButton::clicked, this, &TfrmClean::btEditClick);
    connect(btScan, &QPushButton::clicked, this, &TfrmClean::btScanClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmClean::reject);
    connect(btDelete, &QPushButton::clicked, this, &TfrmClean::btDeleteClick);

    grid->setStatusLabel(pnlSel);
    grid->setTopPanel(Panel1);
    m_guard = new ResultWindowGuard(this, grid);
    relayToGrid(m_resultButtons, grid, [this] { return printTitle(); });
    openFileWindowsFrom(grid, this);
    connect(grid, &ResultGrid::browseRequested, this, [this](const QByteArray& path) {
        browseToFile(m_services, this, path, QStringLiteral("*.*"));
    });

    m_scan.setAbortButton(btAbort);
    m_scan.disableDuringScan({btScan, btClose, pckDrive, PickList1, btEdit});
    // Browse shows after a scan only when there is a browser to open.
    QList<QWidget*> hidden{btMark, btDelete, btPrint, btClip, btDetails};
    if (canBrowse())
        hidden.append(btBrowse);
    m_scan.hideDuringScan(hidden);
    m_scan.setProgressLabel(pnlSel);
    m_scan.setBusyWidget(grid);
    connect(&m_scan, &ScanFrame::finished, this, &TfrmClean::scanEnded);
}

bool TfrmClean::canBrowse() const {
    return m_services && m_services->canBrowse();
}

// ---- Life of the window -------------------------------------------------------

void TfrmClean::FormCreate() {
    // The caption is there from the start, so that the window is known by
    // it before it is shown.
    setWindowTitle(QStringLiteral("Find and delete temporary files"));
    btScan->setToolTip(QStringLiteral("Start scanning for temporary files"));
    m_winPlace = new TWinPlace(this);
    m_winPlace->IniFileName = QStringLiteral("vantrel.ini");
    m_winPlace->Identifier = QStringLiteral("frmMods");
    if (!m_winPlace->hasStoredPlacement())
        centreOnScreen(*this);
    pckDrive->fillDriveList();
}

void TfrmClean::showEvent(QShowEvent* event) {
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmClean::FormShow() {
    ReadInFromDisk();
    selectAllExtensions();
    grid->ClearGrid();
    for (QPushButton* b : {btPrint, btClip, btBrowse, btDetails, btAbort, btMark, btDelete})
        b->hide();
    m_search.reset();
    pnlSel->clear();
    grid->clearAllMarks();
    btScan->setEnabled(pckDrive->hasTicked());
    btClose->setEnabled(true);

    // The smallest window shows the whole top panel (the panel's right edge
    // plus 3 pixels) and at least as much grid as panel; it opens larger.
    resize(minimumSizeHint().width(), kDesignHeight);
    layout()->activate();
    grid->rememberTopPanelHeight();
    grid->applyMinimumSize(this);
    const double scale = logicalDpiX() / 96.0;
    QSize size(qRound(kDesignWidth * scale), qRound(kDesignHeight * scale));
    if (const QScreen* s = screen())
        size = size.boundedTo(s->availableGeometry().size() - QSize(kScreenMargin, kScreenMargin));
    resize(size.expandedTo(minimumSize()));
    layout()->activate();
    centreOnScreen(*this);
    FormResize();
    m_winPlace->RestorePlacement();
    btScan->setFocus();
}

void TfrmClean::FormDestroy() {
    if (m_shown && m_winPlace)
        m_winPlace->SavePlacement();
}

void TfrmClean::FormResize() {
    grid->FormResize();
}

// ---- Inputs -------------------------------------------------------------------

void TfrmClean::ReadInFromDisk() {
    PickList1->setLines(vantrel::ReadInFromDisk(m_settings));
}

void TfrmClean::selectAllExtensions() {
    PickList1->setAllChosen(true);
}

void TfrmClean::pckDriveClick(bool anyTicked) {
    btScan->setEnabled(anyTicked);
}

void TfrmClean::btEditClick() {
    TfrmTempFiles editor(this);
    editor.setSettingsFile(m_settings);
    dialogs().exec(editor);
    ReadInFromDisk();
}

QString TfrmClean::printTitle() const {
    if (!m_printTitle.isEmpty())
        return m_printTitle;
    QString title = QStringLiteral("Temporary files on drive(s) ");
    for (const DriveEntry& drive : pckDrive->tickedDrives())
        title += displayText(drive.root) + QLatin1Char(' ');
    return title;
}

// ---- The scan -----------------------------------------------------------------

void TfrmClean::btScanClick() {
    if (m_scan.isRunning())
        return;
    // Lines that can match no file (such as "*") do not count: a search by
    // them alone would list nothing, or with "*" every program.
    if (TempFileMatcher(PickList1->selectedLines()).isEmpty()) {
        alertBox(QStringLiteral("Select at least one file extension"), this);
        return;
    }
    m_guard->setHintsShown(false);
    scan();
}

void TfrmClean::scan() {
    if (m_scan.isRunning())
        return;
    grid->ClearGrid();
    m_search = std::make_unique<CleanSearch>(PickList1->selectedLines());
    // The title describes the list, so it is taken now, while the drive
    // list still says where the list was made.
    m_printTitle.clear();
    m_printTitle = printTitle();
    pnlSel->clear();

    const QList<DriveEntry> drives = pckDrive->tickedDrives();
    const WalkOptions walk = m_search->walkOptions();
    CleanSearch* search = m_search.get();
    ResultGrid* rows = grid;
    const std::size_t batchSize = std::size_t(std::max(m_rowBatchSize, 1));
    m_scan.start(
        [search, rows, drives, walk, batchSize](ScanJob& job) {
            CleanFeeder feeder(*search, job, rows, batchSize);
            WalkReport report = ScanAllDrives(drives, walk, feeder, job.control());
            feeder.handOver();
            return report;
        },
        [this](const ScanOutcome& outcome) { return fillGrid(outcome); });
}

int TfrmClean::fillGrid(const ScanOutcome&) {
    // The rows are in the grid already (see scan).
    m_search.reset();
    const int count = grid->gridModel()->rowCounter();
    FormResize();
    if (count > 0)
        pnlSel->setText(numberText(count) + QStringLiteral(" tempfiles found"));
    else
        pnlSel->clear();
    grid->setCurrentGridRow(1);
    return count;
}

void TfrmClean::scanEnded(int rows) {
    m_guard->setHintsShown(true);
    // The "&Size" entry of the sort menu, largest first after every scan (a
    // direction left flipped by the last scan would show the smallest first);
    // the key is then left ascending for the user's next choice.
    if (rows > 0) {
        grid->gridModel()->sortDirections().set(0, true);
        grid->Sortbysize1Click(0);
        grid->setCurrentGridRow(1);
    }
}

// ---- Buttons ------------------------------------------------------------------

void TfrmClean::btDeleteClick() {
    const ResultGridModel* model = grid->gridModel();
    const MarkedDeletion done = deleteMarkedFiles(*model, this);
    if (done.shown && done.accepted)
        accept();
}

}  // namespace vantrel
