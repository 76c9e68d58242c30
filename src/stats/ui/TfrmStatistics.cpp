#include "stats/ui/TfrmStatistics.h"

#include "results/Report.h"
#include "results/ui/ReportPrinter.h"
#include "scan/ui/DriveCheckList.h"
#include "settings/ui/WinPlace.h"
#include "stats/StatsTables.h"
#include "stats/ui/ActivityPage.h"
#include "stats/ui/AttributePage.h"
#include "stats/ui/ClassPage.h"
#include "stats/ui/CombinedPage.h"
#include "stats/ui/DeletedPage.h"
#include "stats/ui/OverhangPage.h"
#include "stats/ui/PagePrinter.h"
#include "stats/ui/SizeAgePage.h"
#include "stats/ui/SpacePage.h"
#include "stats/ui/StatsTable.h"
#include "stats/ui/TimePage.h"
#include "stats/ui/TypesPage.h"
#include "text/Formats.h"
#include "text/ui/Controls.h"

#include <QAction>
#include <QDateTime>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vantrel {

namespace {

const char* const kNotYetText = "Statistics haven't been collected yet!";

// The window's size when it first opens, at 96 pixels per inch.
constexpr int kDesignWidth = 1060;
constexpr int kDesignHeight = 720;

ClassPageSetup sizesSetup() {
    return {QStringLiteral("pageSizes"),
            QStringLiteral("gridSizes"),
            QStringLiteral("Chart1"),
            QStringLiteral("rgSize"),
            QStringLiteral("File size"),
            QStringLiteral("File Sizes in MB"),
            QStringLiteral("Number of Files"),
            QString(),
            QString()};
}

ClassPageSetup ageSetup(const QString& page, const QString& grid, const QString& chart,
                        const QString& choice, const QString& title, const QString& chartTitle,
                        const QString& info, const QString& infoText) {
    return {page,
            grid,
            chart,
            choice,
            title,
            chartTitle + QStringLiteral(" (file sizes in MB)"),
            chartTitle + QStringLiteral(" (Number of files)"),
            info,
            infoText};
}

}  // namespace

TfrmStatistics::TfrmStatistics(QWidget* parent)
    : QDialog(parent), m_settings(vantrelIni()), m_scan(this) {
    setObjectName(QStringLiteral("frmStatistics"));
    setModal(false);
    setSizeGripEnabled(true);
    setWindowTitle(QStringLiteral("File Statistics Not Yet Collected"));
    buildForm();
    wireControls();
    refreshPages(StatsTotals{});
    const double scale = logicalDpiX() / 96.0;
    resize(qMax(qRound(kDesignWidth * scale), minimumSizeHint().width()),
           qMax(qRound(kDesignHeight * scale), minimumSizeHint().height()));
    centreOnScreen(*this);
}

TfrmStatistics::~TfrmStatistics() {
    if (m_probeThread.joinable())
        m_probeThread.join();
}

void TfrmStatistics::buildForm() {
    OvcNotebook1 = new QTabWidget(this);
    OvcNotebook1->setObjectName(QStringLiteral("OvcNotebook1"));
    OvcNotebook1->setUsesScrollButtons(true);

    pageSpace = new SpacePage(OvcNotebook1);
    pageDeleted = new DeletedPage(OvcNotebook1);
    pageTypes = new TypesPage(OvcNotebook1);
    pageSizes = new ClassPage(sizesSetup(), OvcNotebook1);
    pageOverhang = new OverhangPage(OvcNotebook1);
    pageAccess = new ClassPage(
        ageSetup(QStringLiteral("pageAccess"), QStringLiteral("gridAccess"),
                 QStringLiteral("chartAccess"), QStringLiteral("rgAccess"),
                 QStringLiteral("Accessed Date"), QStringLiteral("Access Date"),
                 QStringLiteral("SpeedButton1"),
                 QStringLiteral("Note: prior versions of Windows and DOS did not store the file "
                                "access date.  Files never recorded as being accessed are "
                                "probably old files that were converted to Windows 95.")),
        OvcNotebook1);
    pageCreated = new ClassPage(
        ageSetup(QStringLiteral("pageCreated"), QStringLiteral("gridCreate"),
                 QStringLiteral("chartCreate"), QStringLiteral("rgCreate"),
                 QStringLiteral("Created Date"), QStringLiteral("Created Date"),
                 QStringLiteral("SpeedButton2"),
                 QStringLiteral("Files never recorded as being created are probably old files "
                                "that were converted to Windows 95.  Note: prior versions of "
                                "Windows and DOS did not store the file creation date "
                                "independent of the last file modification or file write "
                                "date.")),
        OvcNotebook1);
    pageModified = new ClassPage(
        ageSetup(QStringLiteral("pageModified"), QStringLiteral("gridModify"),
                 QStringLiteral("chartModify"), QStringLiteral("rgModify"),
                 QStringLiteral("Modified Date"), QStringLiteral("Modified Date"),
                 QStringLiteral("SpeedButton3"),
                 QStringLiteral("Note: prior versions of Windows and DOS treated the file "
                                "creation date synonomously  with the last file modification "
                                "date.  Therefore all files have a file modification date.")),
        OvcNotebook1);
    pageCombined = new CombinedPage(OvcNotebook1);
    pageAttribute = new AttributePage(OvcNotebook1);
    pageTime = new TimePage(OvcNotebook1);
    pageActivity = new ActivityPage(OvcNotebook1);
    pageSizeAge = new SizeAgePage(OvcNotebook1);
    const struct {
        QWidget* page;
        const char* title;
    } pages[] = {{pageSpace, "Space"},
                 {pageDeleted, "Deleted"},
                 {pageTypes, "Types"},
                 {pageSizes, "Sizes"},
                 {pageOverhang, "Overhang"},
                 {pageAccess, "Access"},
                 {pageCreated, "Created"},
                 {pageModified, "Modified"},
                 {pageCombined, "Combined"},
                 {pageAttribute, "Attribute"},
                 {pageTime, "Time"},
                 {pageActivity, "Activity"},
                 {pageSizeAge, "Size \u00D7 age"}};
    for (const auto& p : pages)
        OvcNotebook1->addTab(p.page, QString::fromUtf8(p.title));

    // Covers the result pages until a collection has finished.
    pnlNotYet = new QFrame(OvcNotebook1);
    pnlNotYet->setObjectName(QStringLiteral("pnlNotYet"));
    pnlNotYet->setAutoFillBackground(true);
    lblNotYet = new QLabel(QString::fromLatin1(kNotYetText), pnlNotYet);
    lblNotYet->setObjectName(QStringLiteral("lblNotYet"));
    lblNotYet->setWordWrap(true);
    QFont big = lblNotYet->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.5);
    lblNotYet->setFont(big);
    btAbort = pushButton(QStringLiteral("&Abort"), "btAbort", QString(), pnlNotYet);
    btAbort->hide();
    auto* notYet = new QVBoxLayout(pnlNotYet);
    notYet->setContentsMargins(24, 24, 24, 24);
    notYet->addWidget(lblNotYet);
    auto* abortRow = new QHBoxLayout;
    abortRow->addWidget(btAbort);
    abortRow->addStretch(1);
    notYet->addLayout(abortRow);
    notYet->addStretch(1);

    btOK = pushButton(QStringLiteral("&Collect statistics"), "btOK",
                      QStringLiteral("Start collecting statistics"), this);
    btOK->setAutoDefault(true);
    btOK->setDefault(true);
    btPrint = pushButton(QStringLiteral("&Print page"), "btPrint",
                         QStringLiteral("Print this page only"), this);
    btCancel = pushButton(QStringLiteral("Close"), "btCancel",
                          QStringLiteral("Cancel operation or close window"), this);
    StatusBar1 = new QLabel(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFrameShape(QFrame::Panel);
    StatusBar1->setFrameShadow(QFrame::Sunken);
    StatusBar1->setMinimumWidth(100);
    StatusBar1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btOK);
    buttons->addWidget(btPrint);
    buttons->addStretch(1);
    buttons->addWidget(btCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(OvcNotebook1, 1);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar1);
}

void TfrmStatistics::wireControls() {
    connect(OvcNotebook1, &QTabWidget::currentChanged, this,
            &TfrmStatistics::OvcNotebook1PageChanged);
    connect(btOK, &QPushButton::clicked, this, &TfrmStatistics::btOKClick);
    connect(btPrint, &QPushButton::clicked, this, &TfrmStatistics::btPrintClick);
    connect(btCancel, &QPushButton::clicked, this, &TfrmStatistics::btCancelClick);
    OvcNotebook1->installEventFilter(this);

    m_scan.setAbortButton(btAbort);
    m_scan.setAbortMessage(QString());
    m_scan.setNoRowsMessage(QString());
    m_scan.setCloseWhileScanning(ScanFrame::CloseWhileScanning::Abort);
    QList<QWidget*> locked = {btPrint,
                              btOK,
                              pageSpace->rgSpace1,
                              pageSpace->rgSpace2,
                              pageSpace->pckStatDrive,
                              pageDeleted->Button1};
    locked += pageTypes->viewControls();
    for (ClassPage* p : {pageSizes, pageAccess, pageCreated, pageModified})
        locked += p->viewControls();
    locked += pageCombined->viewControls();
    m_scan.disableDuringScan(locked);
    m_scan.setProgressSink([this](const ScanProgress::Snapshot& s) { showProgress(s); });
    m_scan.setBusyWidget(OvcNotebook1);
    // The listing is not sorted while its figures change.
    const auto setSortsEnabled = [this](bool on) {
        for (TypeSort sort : {TypeSort::Extension, TypeSort::Type, TypeSort::Size, TypeSort::Count,
                              TypeSort::Average})
            pageTypes->sortAction(sort)->setEnabled(on);
    };
    connect(&m_scan, &ScanFrame::started, this, [setSortsEnabled] { setSortsEnabled(false); });
    connect(&m_scan, &ScanFrame::finished, this, [this, setSortsEnabled] {
        setSortsEnabled(true);
        Q_EMIT runEnded();
    });
}

void TfrmStatistics::setSettingsFile(const IniFile& settings) {
    m_settings = settings;
    pageDeleted->setSettingsFile(settings);
    pageSpace->pckStatDrive->setSettingsFile(settings);
    pageSpace->pckStatDrive->fillDriveList();
}

void TfrmStatistics::setProbeTimeout(std::chrono::milliseconds timeout) {
    m_probeTimeout = timeout;
    pageSpace->setProbeTimeout(timeout);
}

void TfrmStatistics::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmStatistics::FormShow() {
    m_shown = true;
    if (OvcNotebook1->currentIndex() != SpaceTab)
        pageSpace->doDiskSize();
    OvcNotebook1PageChanged(OvcNotebook1->currentIndex());
}

bool TfrmStatistics::eventFilter(QObject* watched, QEvent* event) {
    if (watched == OvcNotebook1 &&
        (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        placeNotYetPanel();
    return QDialog::eventFilter(watched, event);
}

void TfrmStatistics::placeNotYetPanel() {
    QWidget* page = OvcNotebook1->currentWidget();
    if (!page)
        return;
    pnlNotYet->setGeometry(QRect(page->mapTo(OvcNotebook1, QPoint(0, 0)), page->size()));
    pnlNotYet->raise();
}

void TfrmStatistics::updateNotYetPanel() {
    const int page = OvcNotebook1->currentIndex();
    const bool resultPage = page != SpaceTab && page != DeletedTab;
    pnlNotYet->setVisible(resultPage && !m_collected);
    placeNotYetPanel();
}

void TfrmStatistics::OvcNotebook1PageChanged(int page) {
    if (page == SpaceTab)
        pageSpace->doDiskSize();
    else if (page == DeletedTab)
        pageDeleted->showFilesDeleted();
    updateNotYetPanel();
}

void TfrmStatistics::refreshPages(const StatsTotals& totals) {
    m_totals = totals;
    pageTypes->setTypes(totals.types);
    pageSizes->setRows(sizeRows(totals));
    pageAccess->setRows(ageRows(totals, AgeKind::Accessed));
    pageCreated->setRows(ageRows(totals, AgeKind::Created));
    pageModified->setRows(ageRows(totals, AgeKind::Modified));
    pageCombined->setTotals(totals);
    pageAttribute->setTotals(totals);
    pageTime->setTotals(totals);
    pageActivity->setTotals(totals);
    pageSizeAge->setTotals(totals);
}

QString TfrmStatistics::typesPrintTitle() const {
    QString title = QStringLiteral("File types for drive(s) ");
    for (const DriveEntry& d : m_walked)
        title += displayText(d.root) + QLatin1Char(' ');
    return title;
}

void TfrmStatistics::btPrintClick() {
    if (isCollecting())
        return;
    QWidget* page = OvcNotebook1->currentWidget();
    if (page == pageTypes && pageTypes->listingShown()) {
        printGridReport(
            GridReport{typesPrintTitle(), QDateTime::currentDateTime(), pageTypes->reportRows()},
            this);
        return;
    }
    printPageImage(*page, this);
}

void TfrmStatistics::btCancelClick() {
    if (m_scan.isRunning()) {
        m_scan.abort(false);
        return;
    }
    reject();
}

}  // namespace vantrel
