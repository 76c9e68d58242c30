#include "mods/ui/TfrmMods.h"

#include "browse/ui/FileWindows.h"
#include "mods/FieldDate.h"
#include "mods/ui/TfrmPickDate.h"
#include "results/ListCapacity.h"
#include "results/ResultGridModel.h"
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

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace vantrel {

namespace {

const char* const kEndBeforeStart = "The ending date must not lie before the start date";

// The window's size when it opens, before a stored placement applies (at 96
// pixels per inch; less when the screen is smaller).
constexpr int kDesignWidth = 1100;
constexpr int kDesignHeight = 720;
constexpr int kScreenMargin = 40;

// A walk that finds few files still shows them this often.
constexpr qint64 kBatchMilliseconds = 250;

// Hands every listed file to the search on the walking thread and sends the
// rows it makes to the grid in batches. The first file the search refuses
// ends the scan with the resource message.
class ModsFeeder final : public WalkVisitor {
public:
    ModsFeeder(ModsSearch& search, ScanJob& job, ResultGridModel& model, qsizetype batchSize)
        : m_search(search), m_job(job), m_model(model), m_batchSize(batchSize) {
        m_sinceSent.start();
    }

    void entry(const QByteArray& folder, const FileRecord& record) override {
        if (m_full)
            return;
        if (m_search.addFile(record, folder) == ModsSearch::Added::Full) {
            m_full = true;
            m_job.stop(BoxKind::Warning, resultListFullMessage());
        }
        if (m_search.pendingRows() >= m_batchSize)
            send();
    }

    void folderDone(const QByteArray&, int) override {
        if (m_search.pendingRows() > 0 && m_sinceSent.elapsed() >= kBatchMilliseconds)
            send();
    }

    void send() {
        if (m_search.pendingRows() == 0)
            return;
        auto rows = std::make_shared<std::vector<GridRow>>(m_search.takeRows());
        ResultGridModel* model = &m_model;
        m_job.post([model, rows] {
            model->beginBatch();
            for (const GridRow& row : *rows)
                model->addToGrid(row);
            model->endBatch();
            rows->clear();
        });
        m_sinceSent.restart();
    }

private:
    ModsSearch& m_search;
    ScanJob& m_job;
    ResultGridModel& m_model;
    const qsizetype m_batchSize;
    QElapsedTimer m_sinceSent;
    bool m_full = false;
};

}  // namespace

TfrmMods::TfrmMods(const ToolServices* services, QWidget* parent)
    : QDialog(parent), m_services(services), m_rootTimes(rootTimesOf), m_scan(this) {
    setObjectName(QStringLiteral("frmMods"));
    setModal(true);
    setSizeGripEnabled(true);
    buildForm();
    wireControls();
    FormCreate();
}

TfrmMods::~TfrmMods() {
    FormDestroy();
}

void TfrmMods::wireControls() {
    for (QRadioButton* rb : {rbBefore, rbBetween, rbAfter})
        connect(rb, &QRadioButton::toggled, this, &TfrmMods::rgWhenClick);
    connect(cbWildCard, &WildcardCombo::wildcardChanged, this, &TfrmMods::cbWildCardChange);
    connect(pckDrive, &DriveCheckList::tickedChanged, this, &TfrmMods::pckDriveClick);
    connect(popStartDate, &QToolButton::clicked, this, &TfrmMods::popStartDateClick);
    connect(popEndDate, &QToolButton::clicked, this, &TfrmMods::popEndDateClick);
    connect(btOK, &QPushButton::clicked, this, &TfrmMods::btOKClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmMods::reject);
    connect(btDelete, &QPushButton::clicked, this, &TfrmMods::btDeleteClick);
    dtStart->installEventFilter(this);
    dtEnd->installEventFilter(this);

    grid->setStatusLabel(pnlScan);
    grid->setTopPanel(Panel1);
    m_guard = new ResultWindowGuard(this, grid);
    relayToGrid(m_resultButtons, grid, [this] { return printTitle(); });
    openFileWindowsFrom(grid, this);
    connect(grid, &ResultGrid::browseRequested, this, [this](const QByteArray& path) {
        browseToFile(m_services, this, path, QStringLiteral("*.*"));
    });

    m_scan.setAbortButton(btAbort);
    m_scan.disableDuringScan({btOK, btClose, pckDrive, dtStart, dtEnd, popStartDate, popEndDate,
                              rgWhat, rgWhen, cbWildCard});
    m_scan.hideDuringScan({btMark, btDelete, btPrint, btClip, btDetails});
    m_scan.setProgressLabel(pnlScan);
    m_scan.setBusyWidget(grid);
    connect(&m_scan, &ScanFrame::started, this, &TfrmMods::scanStarted);
    connect(&m_scan, &ScanFrame::finished, this, &TfrmMods::scanEnded);
}

// ---- Life of the window -------------------------------------------------------

void TfrmMods::FormCreate() {
    setWindowTitle(QStringLiteral("Files in a range of dates"));
    m_winPlace = new TWinPlace(this);
    m_winPlace->IniFileName = QStringLiteral("vantrelm");
    m_winPlace->Identifier = QStringLiteral("frmMods");
    if (!m_winPlace->hasStoredPlacement())
        centreOnScreen(*this);
    pckDrive->fillDriveList();
}

void TfrmMods::showEvent(QShowEvent* event) {
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
    QDialog::showEvent(event);
}

void TfrmMods::FormShow() {
    for (QPushButton* b : {btPrint, btClip, btBrowse, btDetails, btMark, btDelete, btAbort})
        b->hide();
    m_search.reset();
    pnlScan->clear();
    grid->ClearGrid();
    const QString today = fieldDateText(QDate::currentDate());
    dtStart->setText(today);
    dtEnd->setText(today);
    btOK->setEnabled(pckDrive->hasTicked());
    btClose->setEnabled(true);
    rgWhenClick();
    cbWildCard->fillCatalogue();
    cbWildCardChange(cbWildCard->wildcard());

    // The smallest window shows the whole top panel and at least as much
    // grid as panel; it opens larger.
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
    grid->FormResize();
    m_winPlace->RestorePlacement();
    btOK->setFocus();
}

void TfrmMods::FormDestroy() {
    if (m_shown && m_winPlace)
        m_winPlace->SavePlacement();
}

bool TfrmMods::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == dtStart || watched == dtEnd) && event->type() == QEvent::FocusOut) {
        // Leaving a field for another control checks its date. Not when the
        // window loses the focus (a box, the calendar pop-up), not for Start,
        // which checks both fields itself, and not for Close, which must
        // always close. (A click on a calendar button leaves the focus in
        // the field; the button checks the field before it opens.)
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const QWidget* next = QApplication::focusWidget();
        const bool checksItself = next == btOK || next == btClose;
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            !checksItself) {
            // Checked once the focus has moved: a box shown (and the focus
            // put back) in the middle of a change of focus would upset it.
            const bool start = watched == dtStart;
            QMetaObject::invokeMethod(
                this,
                [this, start] {
                    if (!isVisible() || m_scan.isRunning())
                        return;
                    if (start)
                        dtStartExit();
                    else
                        dtEndExit();
                },
                Qt::QueuedConnection);
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- Inputs -------------------------------------------------------------------

DateField TfrmMods::dateField() const {
    if (rbCreated->isChecked())
        return DateField::Created;
    if (rbModified->isChecked())
        return DateField::LastModified;
    return DateField::LastAccessed;
}

DateRangeMode TfrmMods::rangeMode() const {
    if (rbBefore->isChecked())
        return DateRangeMode::OnOrBefore;
    if (rbAfter->isChecked())
        return DateRangeMode::OnOrAfter;
    return DateRangeMode::InBetween;
}

void TfrmMods::pckDriveClick(bool anyTicked) {
    btOK->setEnabled(anyTicked);
}

void TfrmMods::rgWhenClick() {
    const bool between = rbBetween->isChecked();
    lblAnd->setVisible(between);
    dtEnd->setVisible(between);
    popEndDate->setVisible(between);
}

void TfrmMods::cbWildCardChange(const QString& text) {
    lblWild->setText(wildcardDescription(text));
}

bool TfrmMods::fieldExit(QLineEdit* field, const QString& message) {
    if (m_reportingField || parseFieldDate(field->text()))
        return true;
    m_reportingField = true;
    alertBox(message, this);
    field->setFocus();
    field->selectAll();
    m_reportingField = false;
    return false;
}

void TfrmMods::dtStartExit() {
    fieldExit(dtStart, QStringLiteral("Invalid start date"));
}

void TfrmMods::dtEndExit() {
    fieldExit(dtEnd, QStringLiteral("Invalid ending date"));
}

std::optional<QDate> TfrmMods::checkedDate(QLineEdit* field) {
    const std::optional<QDate> date = parseFieldDate(field->text());
    if (date)
        return date;
    m_reportingField = true;
    alertBox(invalidDateMessage(field->text()), this);
    field->setFocus();
    field->selectAll();
    m_reportingField = false;
    return std::nullopt;
}

// ---- The calendar -------------------------------------------------------------

void TfrmMods::popStartDateClick() {
    pickDate(dtStart, dtEnd, true);
}

void TfrmMods::popEndDateClick() {
    pickDate(dtEnd, dtStart, false);
}

void TfrmMods::pickDate(QLineEdit* field, QLineEdit* other, bool pickingStart) {
    field->setFocus();
    if (field->text().trimmed().isEmpty())
        field->setText(fieldDateText(QDate::currentDate()));
    const std::optional<QDate> current = checkedDate(field);
    if (!current)
        return;

    TfrmPickDate picker(this);
    picker.setDay(*current);
    picker.placeBelow(field);
    if (dialogs().exec(picker) != QDialog::Accepted)
        return;
    field->setText(fieldDateText(picker.selectedDate()));
    field->selectAll();

    // A start after the end moves the other field along with the one picked.
    const std::optional<QDate> picked = parseFieldDate(field->text());
    const std::optional<QDate> otherDate = parseFieldDate(other->text());
    if (!picked || !otherDate)
        return;
    const bool crossed = pickingStart ? *picked > *otherDate : *picked < *otherDate;
    if (crossed)
        other->setText(field->text());
}

// ---- The search ---------------------------------------------------------------

QString TfrmMods::printTitle() const {
    if (!m_printTitle.isEmpty())
        return m_printTitle;
    return filesByDatePrintTitle(dateField(), rangeMode(), dtStart->text().trimmed(),
                                 dtEnd->text().trimmed());
}

QList<DriveEntry> TfrmMods::searchableDrives(DateField field) {
    QList<DriveEntry> drives;
    QStringList noBirth;
    QStringList noAtime;
    for (const DriveEntry& drive : pckDrive->tickedDrives()) {
        const RootTimes times = m_rootTimes ? m_rootTimes(drive.root) : RootTimes{};
        if (field == DateField::Created && !times.birthTimes) {
            // Nothing there could ever match: say so rather than show an
            // empty list as if no file had been made in the range.
            noBirth.append(noBirthTimeMessage(drive.root));
            continue;
        }
        if (field == DateField::LastAccessed && times.noAtime)
            noAtime.append(noAtimeMessage(drive.root));
        drives.append(drive);
    }
    if (!noBirth.isEmpty())
        alertBox(noBirth.join(QLatin1Char('\n')), this);
    if (!noAtime.isEmpty())
        infoBox(noAtime.join(QLatin1Char('\n')), this);
    return drives;
}

void TfrmMods::btOKClick() {
    if (m_scan.isRunning())
        return;
    const DateRangeMode mode = rangeMode();
    const std::optional<QDate> start = checkedDate(dtStart);
    if (!start)
        return;
    QDate end = *start;
    if (mode == DateRangeMode::InBetween) {
        const std::optional<QDate> typedEnd = checkedDate(dtEnd);
        if (!typedEnd)
            return;
        if (*typedEnd < *start) {
            m_reportingField = true;
            alertBox(QString::fromLatin1(kEndBeforeStart), this);
            dtEnd->setFocus();
            dtEnd->selectAll();
            m_reportingField = false;
            return;
        }
        end = *typedEnd;
    }
    const DateField field = dateField();
    const QList<DriveEntry> drives = searchableDrives(field);
    if (drives.isEmpty())
        return;

    ModsSearchOptions options;
    options.field = field;
    options.range = DateRange(mode, *start, end);
    options.capacity = m_capacity;
    // The title describes the list, so it is taken now, in the fields' own
    // form of the days.
    m_printTitle = filesByDatePrintTitle(field, mode, fieldDateText(*start), fieldDateText(end));
    m_guard->setHintsShown(false);
    scan(drives, options);
}

void TfrmMods::scan(const QList<DriveEntry>& drives, const ModsSearchOptions& options) {
    if (m_scan.isRunning())
        return;
    grid->ClearGrid();
    m_search = std::make_unique<ModsSearch>(options);
    pnlScan->clear();

    WalkOptions walk;
    walk.pattern = Wildcard(QFile::encodeName(cbWildCard->wildcard()));
    walk.includeMask = 0;  // no hidden files, no system entries, no folders
    ModsSearch* search = m_search.get();
    ResultGridModel* model = grid->gridModel();
    const qsizetype batchSize = std::max(m_rowBatchSize, 1);
    m_scan.start(
        [search, model, drives, walk, batchSize](ScanJob& job) {
            ModsFeeder feeder(*search, job, *model, batchSize);
            WalkReport report = ScanAllDrives(drives, walk, feeder, job.control());
            feeder.send();
            return report;
        },
        [this](const ScanOutcome& outcome) { return fillGrid(outcome); });
}

void TfrmMods::scanStarted() {
    btBrowse->hide();
}

int TfrmMods::fillGrid(const ScanOutcome&) {
    // The rows are in the grid already, in walk order (see scan).
    m_search.reset();
    const int count = grid->gridModel()->rowCounter();
    grid->FormResize();
    pnlScan->setText(QStringLiteral("Found : ") + QString::number(count));
    grid->setCurrentGridRow(1);
    return count;
}

void TfrmMods::scanEnded(int rows) {
    m_guard->setHintsShown(true);
    btBrowse->setVisible(rows > 0 && canBrowse());
}

// ---- Buttons ------------------------------------------------------------------

bool TfrmMods::canBrowse() const {
    return m_services && m_services->canBrowse();
}

void TfrmMods::btDeleteClick() {
    const ResultGridModel* model = grid->gridModel();
    const MarkedDeletion done = deleteMarkedFiles(*model, this);
    if (done.shown && done.accepted)
        accept();
}

}  // namespace vantrel
