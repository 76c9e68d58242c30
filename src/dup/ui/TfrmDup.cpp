#include "dup/ui/TfrmDup.h"

#include "browse/ui/FileWindows.h"
#include "dup/ContentRows.h"
#include "dup/ContentSearch.h"
#include "results/ResultGridModel.h"
#include "results/SortDirections.h"
#include "results/ui/ButtonRow.h"
#include "results/ui/ResultGrid.h"
#include "results/ui/ResultWindowGuard.h"
#include "results/ui/TfrmReallyDelete.h"
#include "scan/Extensions.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/WildcardCombo.h"
#include "settings/ui/WinPlace.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>

#include <memory>
#include <optional>

namespace vantrel {

namespace {

const char* const kBetweenError = "The second number must be larger or equal than the first number";

// The window's size when it opens, before a stored placement applies (at 96
// pixels per inch; more when the controls need it, less when the screen is
// smaller): room for the seven columns of a duplicates list with a folder
// of about 60 characters on a 1280 x 1024 screen.
constexpr int kDesignWidth = 1100;
constexpr int kDesignHeight = 720;
// What the window leaves of the screen's free area around it.
constexpr int kScreenMargin = 40;

// Hands every listed file to the search on the walking thread. The first
// file the search refuses ends the scan with the resource message.
class DupFeeder final : public WalkVisitor {
public:
    DupFeeder(DupSearch& search, ScanJob& job) : m_search(search), m_job(job) {}

    void entry(const QByteArray& folder, const FileRecord& record) override {
        if (m_full)
            return;
        if (m_search.addFile(record, folder) == DupSearch::Added::Full) {
            m_full = true;
            m_job.stop(BoxKind::Warning, candidateListFullMessage());
        }
    }

private:
    DupSearch& m_search;
    ScanJob& m_job;
    bool m_full = false;
};

// Hands every listed file whose size passes to the contents search.
class ContentFeeder final : public WalkVisitor {
public:
    ContentFeeder(const DupSearch& sizes, ContentSearch& search, ScanJob& job)
        : m_sizes(sizes), m_search(search), m_job(job) {}

    void entry(const QByteArray& folder, const FileRecord& record) override {
        if (m_full || !m_sizes.passes(record.size))
            return;
        if (!m_search.addFile(record, folder)) {
            m_full = true;
            m_job.stop(BoxKind::Warning, candidateListFullMessage());
        }
    }

private:
    const DupSearch& m_sizes;
    ContentSearch& m_search;
    ScanJob& m_job;
    bool m_full = false;
};

// The progress place while contents are read: the bytes read of those that
// may have to be.
QByteArray readingText(qint64 read, qint64 total) {
    return (QStringLiteral("Reading contents: ") + numberText(read) + QStringLiteral(" of ") +
            numberText(total) + QStringLiteral(" bytes"))
        .toUtf8();
}

}  // namespace

TfrmDup::TfrmDup(bool duplicateMode, DupCompareView* compareView, QWidget* parent)
    : QDialog(parent), m_duplicateMode(duplicateMode), m_compareView(compareView), m_scan(this) {
    setObjectName(QStringLiteral("frmDup"));
    setModal(true);
    setSizeGripEnabled(true);
    buildForm();
    wireControls();
    FormCreate();
}

TfrmDup::~TfrmDup() {
    FormDestroy();
}

void TfrmDup::wireControls() {
    for (QRadioButton* rb : {rbLarger, rbSmaller, rbBetween})
        connect(rb, &QRadioButton::toggled, this, &TfrmDup::rbLargerClick);
    connect(cbWildCard, &WildcardCombo::wildcardChanged, this, &TfrmDup::cbWildCardChange);
    connect(pckDrive, &DriveCheckList::tickedChanged, this, &TfrmDup::pckDriveClick);
    connect(btScan, &QPushButton::clicked, this, &TfrmDup::btScanClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmDup::reject);
    connect(btDelete, &QPushButton::clicked, this, &TfrmDup::btDeleteClick);
    connect(btCompare, &QPushButton::clicked, this, &TfrmDup::btCompareClick);
    connect(btVerify, &QPushButton::clicked, this, &TfrmDup::btVerifyClick);

    grid->setStatusLabel(pnlSel);
    grid->setTopPanel(Panel1);
    m_guard = new ResultWindowGuard(this, grid);
    relayToGrid(m_resultButtons, grid, [this] { return printTitle(); });
    openFileWindowsFrom(grid, this);
    // The browser lists the folder with this window's wildcard.
    connect(grid, &ResultGrid::browseRequested, this, [this](const QByteArray& path) {
        browseToFile(m_services, this, path, cbWildCard->wildcard());
    });

    m_scan.setAbortButton(btAbort);
    m_scan.disableDuringScan({btScan, btClose, pckDrive, num1, num2, cbKB1, cbWildCard, rbLarger,
                              rbSmaller, rbBetween, cbDup});
    m_scan.hideDuringScan({btMark, btDelete, btPrint, btClip, btDetails, btVerify});
    m_scan.setProgressLabel(pnlSel);
    m_scan.setBusyWidget(grid);
    connect(&m_scan, &ScanFrame::finished, this, &TfrmDup::scanEnded);
}

// ---- Life of the window -------------------------------------------------------

void TfrmDup::FormCreate() {
    // The caption is there from the start, so that the window is known by
    // it before it is shown.
    if (m_duplicateMode) {
        m_criterion = DupCriterion::FilenameOnly;
        cbDup->setCurrentIndex(0);
        setWindowTitle(QStringLiteral("Find and delete duplicate files"));
        btScan->setToolTip(QStringLiteral("Duplicates on file name only"));
    } else {
        setWindowTitle(QStringLiteral("Find and delete file hogs"));
        btScan->setToolTip(QStringLiteral("Start scanning for file hogs"));
    }
    m_winPlace = new TWinPlace(this);
    m_winPlace->IniFileName = QStringLiteral("vantrel.ini");
    m_winPlace->Section = m_duplicateMode ? QStringLiteral("frmDups") : QStringLiteral("frmMods");
    m_winPlace->Identifier = QStringLiteral("frmMods");
    if (!m_winPlace->hasStoredPlacement())
        centreOnScreen(*this);
    pckDrive->fillDriveList();
}

void TfrmDup::showEvent(QShowEvent* event) {
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmDup::FormShow() {
    cbKB1->setCurrentIndex(1);
    grid->ClearGrid();
    num1->setValue(250);
    num2->setValue(250);
    for (QPushButton* b :
         {btPrint, btClip, btBrowse, btDetails, btCompare, btVerify, btAbort, btMark, btDelete})
        b->hide();
    m_search.reset();
    pnlSel->clear();
    grid->clearAllMarks();
    btScan->setEnabled(pckDrive->hasTicked());
    btClose->setEnabled(true);
    cbDup->setVisible(m_duplicateMode);
    lblDup->setVisible(m_duplicateMode);
    rbLargerClick();
    cbWildCard->fillCatalogue();
    cbWildCardChange(cbWildCard->wildcard());

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

void TfrmDup::FormDestroy() {
    if (m_compareView)
        m_compareView->sourceClosing(*this);
    if (m_shown && m_winPlace)
        m_winPlace->SavePlacement();
}

void TfrmDup::FormResize() {
    // The grid fits its columns to its width and texts by itself (sizes of
    // any length included); this refits it at once.
    grid->FormResize();
}

// ---- Inputs -------------------------------------------------------------------

void TfrmDup::rbLargerClick() {
    const bool between = rbBetween->isChecked();
    num2->setVisible(between);
    lblAnd->setVisible(between);
}

void TfrmDup::cbWildCardChange(const QString& text) {
    lblWild->setText(wildcardDescription(text));
}

void TfrmDup::pckDriveClick(bool anyTicked) {
    btScan->setEnabled(anyTicked);
}

QString TfrmDup::sizeConditionText() const {
    const QString unit = cbKB1->currentText();
    const QString first = QString::number(num1->value()) + QLatin1Char(' ') + unit;
    if (rbSmaller->isChecked())
        return QStringLiteral("smaller or equal to ") + first;
    if (rbBetween->isChecked())
        return QStringLiteral("in between ") + first + QStringLiteral(" and ") +
               QString::number(num2->value()) + QLatin1Char(' ') + unit;
    return QStringLiteral("larger or equal to ") + first;
}

QString TfrmDup::printTitle() const {
    if (!m_printTitle.isEmpty())
        return m_printTitle;
    QString title = m_duplicateMode ? QStringLiteral("Duplicates ") : QStringLiteral("File Hogs ");
    title += sizeConditionText() + QStringLiteral(" matching ") + cbWildCard->wildcard() +
             QStringLiteral(" on drive(s) ");
    for (const DriveEntry& drive : pckDrive->tickedDrives())
        title += displayText(drive.root) + QLatin1Char(' ');
    return title;
}

DupSearchOptions TfrmDup::searchOptions() const {
    DupSearchOptions o;
    o.duplicateMode = m_duplicateMode;
    o.criterion = m_criterion;
    if (rbSmaller->isChecked())
        o.condition = SizeCondition::SmallerOrEqual;
    else if (rbBetween->isChecked())
        o.condition = SizeCondition::Between;
    else
        o.condition = SizeCondition::LargerOrEqual;
    const qint64 unit = cbKB1->currentIndex() == 1 ? 1024 : 1;
    o.limit1 = qint64(num1->value()) * unit;
    o.limit2 = qint64(num2->value()) * unit;
    o.capacity = m_capacity;
    return o;
}

// ---- The scan -----------------------------------------------------------------

void TfrmDup::btScanClick() {
    if (m_scan.isRunning())
        return;
    if (rbBetween->isChecked() && num2->value() < num1->value()) {
        alertBox(QString::fromLatin1(kBetweenError), this);
        return;
    }
    if (m_duplicateMode)
        m_criterion = DupCriterion(std::clamp(cbDup->currentIndex(), 0, 7));
    m_guard->setHintsShown(false);
    scan();
}

void TfrmDup::scan() {
    if (m_scan.isRunning())
        return;
    // The grid takes the field order of the criterion; a new layout clears
    // the grid, the same layout is only cleared.
    if (m_duplicateMode) {
        const GridLayout wanted = duplicatesLayout(int(m_criterion));
        if (grid->gridLayout().lineFields != wanted.lineFields) {
            grid->setGridLayout(wanted);
            FormResize();
        }
    }
    grid->ClearGrid();
    m_search = std::make_unique<DupSearch>(searchOptions());
    // The title describes the list, so it is taken now, while the inputs
    // still say how the list was made.
    m_printTitle.clear();
    m_printTitle = printTitle();
    pnlSel->clear();
    btCompare->hide();
    btVerify->hide();
    btBrowse->hide();

    const QList<DriveEntry> drives = pckDrive->tickedDrives();
    WalkOptions walk;
    walk.pattern = Wildcard(QFile::encodeName(cbWildCard->wildcard()));
    walk.includeMask = 0;
    DupSearch* search = m_search.get();
    const std::size_t batchSize = std::size_t(std::max(m_rowBatchSize, 1));
    const bool byContents = m_duplicateMode && m_criterion == DupCriterion::SameContents;
    const DupCriterion criterion = m_criterion;
    const bool duplicateMode = m_duplicateMode;
    m_groupSizes.clear();
    m_rowFiles.clear();
    m_verified = false;
    m_scan.start(
        [this, search, drives, walk, batchSize, byContents, criterion,
         duplicateMode](ScanJob& job) {
            std::vector<DupCandidate> rows;
            std::vector<int> groupSizes;
            std::vector<ContentCheckFile> rowFiles;
            WalkReport report;
            if (byContents) {
                ContentSearch contents(search->options().capacity);
                ContentFeeder feeder(*search, contents, job);
                report = ScanAllDrives(drives, walk, feeder, job.control());
                ScanControl& control = job.control();
                const ContentSearch::Result found =
                    contents.finish(&control.scanAborted, [&control](qint64 read, qint64 total) {
                        control.progress.showFolder(readingText(read, total));
                    });
                rows = contentRows(contents, found, groupSizes);
            } else {
                DupFeeder feeder(*search, job);
                report = ScanAllDrives(drives, walk, feeder, job.control());
                rows = search->finish();
                if (duplicateMode) {
                    groupSizes = search->groupSizes();
                    noteHardLinks(rows, groupSizes, criterion, &rowFiles);
                }
            }
            job.post([this, groupSizes, files = std::move(rowFiles)]() mutable {
                m_groupSizes = groupSizes;
                m_rowFiles = std::move(files);
            });

            for (std::size_t first = 0; first < rows.size(); first += batchSize) {
                const auto begin = rows.begin() + std::ptrdiff_t(first);
                const auto end =
                    rows.begin() + std::ptrdiff_t(std::min(rows.size(), first + batchSize));
                auto batch = std::make_shared<std::vector<DupCandidate>>(
                    std::make_move_iterator(begin), std::make_move_iterator(end));
                job.post([this, batch] {
                    addDupRows(*grid->gridModel(), *batch, m_duplicateMode);
                    batch->clear();
                });
            }
            return report;
        },
        [this](const ScanOutcome& outcome) { return fillGrid(outcome); });
}

int TfrmDup::fillGrid(const ScanOutcome&) {
    // The rows are in the grid already (see scan).
    m_search.reset();
    ResultGridModel* model = grid->gridModel();
    const int count = model->rowCounter();
    if (m_duplicateMode)
        grid->setRowGroups(m_groupSizes);
    FormResize();

    if (!m_duplicateMode && count > 0) {
        // Largest first: the size key sorts descending and is left ascending
        // for the user's next choice.
        model->sortDirections().set(0, true);
        grid->Sortbysize1Click(0);
    }
    if (count > 0) {
        pnlSel->setText(numberText(count) + (m_duplicateMode ? QStringLiteral(" duplicates found")
                                                             : QStringLiteral(" file hogs found")));
    } else {
        pnlSel->clear();
    }
    grid->setCurrentGridRow(1);
    return count;
}

void TfrmDup::scanEnded(int rows) {
    m_guard->setHintsShown(true);
    btCompare->setVisible(m_duplicateMode && m_compareView && rows > 0);
    btVerify->setVisible(m_duplicateMode && m_criterion != DupCriterion::SameContents &&
                         !m_verified && rows > 0);
    btBrowse->setVisible(canBrowse() && rows > 0);
}

// ---- Buttons ------------------------------------------------------------------

void TfrmDup::MarkThisFile(int row) {
    grid->MarkThisFile(row);
}

void TfrmDup::btDeleteClick() {
    const ResultGridModel* model = grid->gridModel();
    const MarkedDeletion done = deleteMarkedFiles(*model, this, grid->rowGroupPaths());
    if (done.shown && done.accepted)
        accept();
}

void TfrmDup::btCompareClick() {
    if (m_compareView)
        m_compareView->showFor(*this);
}

void TfrmDup::btVerifyClick() {
    ResultGridModel* model = grid->gridModel();
    const int rows = model->rowCounter();
    if (m_scan.isRunning() || m_groupSizes.empty() || int(m_rowFiles.size()) != rows)
        return;
    // The list as it stands; the job reads the files, the finish lays the
    // rows out anew.
    auto lines = std::make_shared<QStringList>(model->resultLines());
    auto paths = std::make_shared<QList<QByteArray>>();
    auto listed = std::make_shared<std::vector<std::optional<ListedState>>>();
    for (int row = 1; row <= rows; ++row) {
        paths->append(model->pathAt(row));
        listed->push_back(model->listedStateAt(row));
    }
    auto checks = std::make_shared<std::vector<GroupCheck>>();
    const QString status = pnlSel->text();
    m_scan.start(
        [files = m_rowFiles, sizes = m_groupSizes, checks](ScanJob& job) {
            ScanControl& control = job.control();
            qint64 total = 0;
            for (const ContentCheckFile& f : files)
                total += std::max<qint64>(f.size, 0);
            qint64 before = 0;
            std::size_t at = 0;
            for (const int size : sizes) {
                const std::vector<ContentCheckFile> group(
                    files.begin() + std::ptrdiff_t(at), files.begin() + std::ptrdiff_t(at) + size);
                const std::vector<int> subsets =
                    contentSubsets(group, &control.scanAborted, [&](qint64 read, qint64) {
                        control.progress.showFolder(readingText(before + read, total));
                    });
                if (control.aborted())
                    break;
                checks->push_back(checkGroup(subsets));
                for (const ContentCheckFile& f : group)
                    before += std::max<qint64>(f.size, 0);
                at += std::size_t(size);
            }
            return WalkReport{};
        },
        [this, lines, paths, listed, checks, status](const ScanOutcome& outcome) {
            ResultGridModel* m = grid->gridModel();
            if (outcome.aborted() || checks->size() != m_groupSizes.size()) {
                pnlSel->setText(status);
                return m->rowCounter();
            }
            std::vector<int> sizes;
            std::vector<ContentCheckFile> files;
            int confirmed = 0;
            grid->ClearGrid();
            m->beginBatch();
            std::size_t at = 0;
            for (std::size_t g = 0; g < checks->size(); ++g) {
                const GroupCheck& check = (*checks)[g];
                for (std::size_t k = 0; k < check.order.size(); ++k) {
                    const std::size_t row = at + std::size_t(check.order[k]);
                    m->addToGrid(
                        lineWithNote(lines->at(qsizetype(row)), m_criterion, check.notes[k]),
                        paths->at(qsizetype(row)), {}, listed->at(row));
                    files.push_back(m_rowFiles[row]);
                }
                sizes.insert(sizes.end(), check.groupSizes.begin(), check.groupSizes.end());
                confirmed += check.confirmed ? 1 : 0;
                at += std::size_t(m_groupSizes[g]);
            }
            m->endBatch();
            m_groupSizes = sizes;
            m_rowFiles = std::move(files);
            grid->setRowGroups(m_groupSizes);
            m_verified = true;
            FormResize();
            grid->setCurrentGridRow(1);
            pnlSel->setText(numberText(confirmed) + QStringLiteral(" of ") +
                            numberText(qint64(checks->size())) +
                            QStringLiteral(" groups confirmed by contents"));
            return m->rowCounter();
        });
}

}  // namespace vantrel
