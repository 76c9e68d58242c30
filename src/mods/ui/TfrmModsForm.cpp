// The controls of the files-by-date window and their places: the top panel
// with the time, the range and its two date fields, and the wildcard on the
// left, the drive list on the right; the row of buttons; the grid; the status
// line.

#include "mods/ModsSearch.h"
#include "mods/ui/TfrmMods.h"
#include "results/ui/ButtonRow.h"
#include "results/ui/ResultGrid.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/WildcardCombo.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {

// The drive list keeps this distance from the window's right edge.
constexpr int kDriveListRightGap = 10;

// A small wall calendar: a dark band over a grid of days.
QIcon calendarIcon(const QPalette& palette) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(palette.color(QPalette::ButtonText));
    p.setBrush(palette.color(QPalette::Base));
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, QColor(0, 0, 128));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col)
            p.fillRect(3 + col * 3, 7 + row * 2, 2, 1, palette.color(QPalette::ButtonText));
    }
    p.end();
    return QIcon(pixmap);
}

QLineEdit* dateEdit(const char* name, const QString& hint, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setToolTip(hint);
    field->setMaxLength(24);
    // Room for the widest date of the format, with a little to spare.
    const int text = field->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000"));
    field->setMinimumWidth(text + 16);
    field->setMaximumWidth(text + 40);
    return field;
}

QToolButton* calendarButton(const char* name, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(QStringLiteral("Popup Calendar"));
    b->setAccessibleName(QStringLiteral("Popup Calendar"));
    b->setIcon(calendarIcon(b->palette()));
    b->setAutoRaise(false);
    return b;
}

QRadioButton* radio(const QString& text, const char* name, QWidget* parent) {
    auto* rb = new QRadioButton(text, parent);
    rb->setObjectName(QLatin1String(name));
    return rb;
}

}  // namespace

void TfrmMods::buildForm() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::NoFrame);

    // --- which time ---------------------------------------------------------
    rgWhat = new QGroupBox(QStringLiteral("Search for files that were"), Panel1);
    rgWhat->setObjectName(QStringLiteral("rgWhat"));
    rbAccessed = radio(QStringLiteral("Last accessed"), "rbAccessed", rgWhat);
    rbCreated = radio(QStringLiteral("Created"), "rbCreated", rgWhat);
    rbModified = radio(QStringLiteral("Last modified"), "rbModified", rgWhat);
    auto* whatGroup = new QButtonGroup(rgWhat);
    whatGroup->addButton(rbAccessed, int(DateField::LastAccessed));
    whatGroup->addButton(rbCreated, int(DateField::Created));
    whatGroup->addButton(rbModified, int(DateField::LastModified));
    rbAccessed->setChecked(true);
    {
        auto* row = new QHBoxLayout(rgWhat);
        row->setSpacing(12);
        row->addWidget(rbAccessed);
        row->addWidget(rbCreated);
        row->addWidget(rbModified);
        row->addStretch(1);
    }

    // --- which range --------------------------------------------------------
    rgWhen = new QGroupBox(Panel1);
    rgWhen->setObjectName(QStringLiteral("rgWhen"));
    rbBefore = radio(QStringLiteral("On or Before"), "rbBefore", rgWhen);
    rbBetween = radio(QStringLiteral("In between"), "rbBetween", rgWhen);
    rbAfter = radio(QStringLiteral("On or After"), "rbAfter", rgWhen);
    auto* whenGroup = new QButtonGroup(rgWhen);
    whenGroup->addButton(rbBefore, int(DateRangeMode::OnOrBefore));
    whenGroup->addButton(rbBetween, int(DateRangeMode::InBetween));
    whenGroup->addButton(rbAfter, int(DateRangeMode::OnOrAfter));
    rbBetween->setChecked(true);

    dtStart = dateEdit("dtStart", QStringLiteral("Start date"), rgWhen);
    popStartDate = calendarButton("popStartDate", rgWhen);
    lblAnd = new QLabel(QStringLiteral("and"), rgWhen);
    lblAnd->setObjectName(QStringLiteral("lblAnd"));
    dtEnd = dateEdit("dtEnd", QStringLiteral("Ending date"), rgWhen);
    popEndDate = calendarButton("popEndDate", rgWhen);
    {
        auto* modes = new QHBoxLayout;
        modes->setSpacing(12);
        modes->addWidget(rbBefore);
        modes->addWidget(rbBetween);
        modes->addWidget(rbAfter);
        modes->addStretch(1);

        auto* days = new QHBoxLayout;
        days->setSpacing(4);
        days->addWidget(dtStart);
        days->addWidget(popStartDate);
        days->addSpacing(6);
        days->addWidget(lblAnd);
        days->addSpacing(6);
        days->addWidget(dtEnd);
        days->addWidget(popEndDate);
        days->addStretch(1);

        auto* box = new QVBoxLayout(rgWhen);
        box->setSpacing(6);
        box->addLayout(modes);
        box->addLayout(days);
    }

    // --- the wildcard -------------------------------------------------------
    lblWildMatch = new QLabel(QStringLiteral("Wildcard match"), Panel1);
    lblWildMatch->setObjectName(QStringLiteral("lblWildMatch"));
    cbWildCard = new WildcardCombo(Panel1);
    cbWildCard->setObjectName(QStringLiteral("cbWildCard"));
    cbWildCard->setToolTip(QStringLiteral("Wildcard pattern for matching file types"));
    cbWildCard->setMinimumContentsLength(12);
    cbWildCard->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblWildMatch->setBuddy(cbWildCard);
    lblWild = new QLabel(Panel1);
    lblWild->setObjectName(QStringLiteral("lblWild"));
    lblWild->setMinimumWidth(lblWild->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24);
    lblWild->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    // --- the drive list -----------------------------------------------------
    pckDrive = new DriveCheckList(Panel1);
    pckDrive->setObjectName(QStringLiteral("pckDrive"));
    pckDrive->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);

    {
        auto* wildcard = new QHBoxLayout;
        wildcard->setSpacing(6);
        wildcard->addWidget(lblWildMatch);
        wildcard->addWidget(cbWildCard);
        wildcard->addWidget(lblWild, 1);

        auto* inputs = new QVBoxLayout;
        inputs->setSpacing(5);
        inputs->addWidget(rgWhat);
        inputs->addWidget(rgWhen);
        inputs->addLayout(wildcard);
        inputs->addStretch(1);

        auto* panel = new QHBoxLayout(Panel1);
        panel->setContentsMargins(kButtonGap, 4, kDriveListRightGap, 4);
        panel->setSpacing(16);
        panel->addLayout(inputs, 1);
        panel->addWidget(pckDrive);
    }

    // --- the button row -----------------------------------------------------
    ButtonRow row(this);
    pnlButtons = row.panel();
    btOK = row.addStart("btOK", QStringLiteral("Start searching for files in the range of dates"));
    btClose = row.addClose();
    btAbort = row.addAbort();
    m_resultButtons = row.addResultButtons();
    btMark = m_resultButtons.mark;
    btDelete = m_resultButtons.remove;
    btPrint = m_resultButtons.print;
    btClip = m_resultButtons.clipboard;
    btBrowse = m_resultButtons.browse;
    btDetails = m_resultButtons.details;

    // --- the grid and the status line ---------------------------------------
    grid = new ResultGrid(filesByDateLayout(), this);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setToolTip(QStringLiteral("Double click to mark for deletion, right click for options"));
    pnlScan = new QLabel(this);
    pnlScan->setObjectName(QStringLiteral("pnlScan"));
    pnlScan->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlScan->setMargin(1);
    pnlScan->setIndent(3);
    pnlScan->setTextFormat(Qt::PlainText);
    pnlScan->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    pnlScan->setMinimumHeight(pnlScan->fontMetrics().height() + 6);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kButtonGap);
    layout->addWidget(Panel1);
    layout->addWidget(pnlButtons);
    layout->addWidget(grid, 1);
    layout->addWidget(pnlScan);

    // The keyboard goes through the inputs from the top left, then the
    // drive list, the buttons and the grid.
    QWidget* order[] = {rbAccessed, rbCreated,    rbModified, rbBefore,   rbBetween,  rbAfter,
                        dtStart,    popStartDate, dtEnd,      popEndDate, cbWildCard, pckDrive,
                        btOK,       btClose,      btAbort,    btMark,     btDelete,   btPrint,
                        btClip,     btBrowse,     btDetails,  grid};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

}  // namespace vantrel
