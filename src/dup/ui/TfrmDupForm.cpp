// The controls of the duplicates window and their places: the top panel with
// the size condition, the wildcard and the matching criterion on the left and
// the drive list on the right; the row of buttons; the grid; the status line.

#include "dup/ui/TfrmDup.h"

#include "results/GridLayout.h"
#include "results/ui/ButtonRow.h"
#include "results/ui/ResultGrid.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/WildcardCombo.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vantrel {

namespace {

// The drive list keeps this distance from the window's right edge.
constexpr int kDriveListRightGap = 8;

QSpinBox* sizeField(const char* name, QWidget* parent) {
    auto* n = new QSpinBox(parent);
    n->setObjectName(QLatin1String(name));
    n->setRange(0, 10000);
    n->setValue(250);
    n->setAccelerated(true);
    n->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return n;
}

}  // namespace

void TfrmDup::buildForm() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::NoFrame);

    // --- the size condition -------------------------------------------------
    rbLarger = new QRadioButton(QStringLiteral("Lar&ger or equal to"), Panel1);
    rbLarger->setObjectName(QStringLiteral("rbLarger"));
    rbSmaller = new QRadioButton(QStringLiteral("Smalle&r or equal to"), Panel1);
    rbSmaller->setObjectName(QStringLiteral("rbSmaller"));
    rbBetween = new QRadioButton(QStringLiteral("In bet&ween"), Panel1);
    rbBetween->setObjectName(QStringLiteral("rbBetween"));
    auto* sizeGroup = new QButtonGroup(Panel1);
    sizeGroup->addButton(rbLarger);
    sizeGroup->addButton(rbSmaller);
    sizeGroup->addButton(rbBetween);
    rbLarger->setChecked(true);

    num1 = sizeField("num1", Panel1);
    lblAnd = new QLabel(QStringLiteral("and"), Panel1);
    lblAnd->setObjectName(QStringLiteral("lblAnd"));
    num2 = sizeField("num2", Panel1);
    cbKB1 = new QComboBox(Panel1);
    cbKB1->setObjectName(QStringLiteral("cbKB1"));
    cbKB1->addItems({QStringLiteral("bytes"), QStringLiteral("KB")});
    cbKB1->setCurrentIndex(1);
    const int fieldWidth = num1->fontMetrics().horizontalAdvance(QStringLiteral("100000")) +
                           num1->sizeHint().width() -
                           num1->fontMetrics().horizontalAdvance(QStringLiteral("10000"));
    num1->setMinimumWidth(fieldWidth);
    num2->setMinimumWidth(fieldWidth);

    // --- the wildcard -------------------------------------------------------
    lblMatching = new QLabel(QStringLiteral("Matc&hing"), Panel1);
    lblMatching->setObjectName(QStringLiteral("lblMatching"));
    cbWildCard = new WildcardCombo(Panel1);
    cbWildCard->setObjectName(QStringLiteral("cbWildCard"));
    cbWildCard->setToolTip(QStringLiteral("Wildcard pattern for matching file types"));
    cbWildCard->setMinimumContentsLength(12);
    cbWildCard->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblMatching->setBuddy(cbWildCard);
    lblWild = new QLabel(Panel1);
    lblWild->setObjectName(QStringLiteral("lblWild"));
    lblWild->setMinimumWidth(lblWild->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24);
    lblWild->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    // --- the matching criterion --------------------------------------------
    lblDup = new QLabel(QStringLiteral("Duplicates matching &on : "), Panel1);
    lblDup->setObjectName(QStringLiteral("lblDup"));
    cbDup = new QComboBox(Panel1);
    cbDup->setObjectName(QStringLiteral("cbDup"));
    cbDup->addItems(dupCriterionTexts());
    lblDup->setBuddy(cbDup);

    // --- the drive list -----------------------------------------------------
    pckDrive = new DriveCheckList(Panel1);
    pckDrive->setObjectName(QStringLiteral("pckDrive"));
    // As wide as its longest entry (within limits) and as high as its
    // entries, so that every drive shows whole; the panel grows with it.
    pckDrive->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);

    {
        auto* condition = new QHBoxLayout;
        condition->setSpacing(8);
        condition->addWidget(rbLarger);
        condition->addWidget(rbSmaller);
        condition->addWidget(rbBetween);
        condition->addStretch(1);

        auto* limits = new QHBoxLayout;
        limits->setSpacing(6);
        limits->addWidget(num1);
        limits->addWidget(lblAnd);
        limits->addWidget(num2);
        limits->addWidget(cbKB1);
        limits->addStretch(1);

        auto* inputs = new QGridLayout;
        inputs->setHorizontalSpacing(6);
        inputs->setVerticalSpacing(5);
        inputs->addLayout(condition, 0, 0, 1, 3);
        inputs->addLayout(limits, 1, 0, 1, 3);
        inputs->addWidget(lblMatching, 2, 0);
        inputs->addWidget(cbWildCard, 2, 1);
        inputs->addWidget(lblWild, 2, 2);
        inputs->addWidget(lblDup, 3, 0);
        inputs->addWidget(cbDup, 3, 1, 1, 2, Qt::AlignLeft);
        inputs->setColumnStretch(2, 1);
        inputs->setRowStretch(4, 1);

        auto* panel = new QHBoxLayout(Panel1);
        panel->setContentsMargins(kButtonGap, 4, kDriveListRightGap, 4);
        panel->setSpacing(16);
        panel->addLayout(inputs, 1);
        panel->addWidget(pckDrive);
    }

    // --- the button row -----------------------------------------------------
    ButtonRow row(this);
    pnlButtons = row.panel();
    btScan = row.addStart("btScan");
    btClose = row.addClose();
    btAbort = row.addAbort();
    m_resultButtons = row.addResultButtons();
    btMark = m_resultButtons.mark;
    btDelete = m_resultButtons.remove;
    btPrint = m_resultButtons.print;
    btClip = m_resultButtons.clipboard;
    btBrowse = m_resultButtons.browse;
    btDetails = m_resultButtons.details;
    btCompare =
        row.add(QStringLiteral("P&airs"), "btCompare", QStringLiteral("Compare file pairs"));
    btVerify = row.add(QStringLiteral("&Verify contents"), "btVerify",
                       QStringLiteral("Check each group by the files' contents"));

    // --- the grid and the status line ---------------------------------------
    grid = new ResultGrid(m_duplicateMode ? duplicatesLayout(int(m_criterion)) : fileHogsLayout(),
                          this);
    grid->setObjectName(QStringLiteral("grid"));
    pnlSel = new QLabel(this);
    pnlSel->setObjectName(QStringLiteral("pnlSel"));
    pnlSel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlSel->setMargin(1);
    pnlSel->setIndent(3);
    pnlSel->setTextFormat(Qt::PlainText);
    pnlSel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    pnlSel->setMinimumHeight(pnlSel->fontMetrics().height() + 6);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kButtonGap);
    layout->addWidget(Panel1);
    layout->addWidget(pnlButtons);
    layout->addWidget(grid, 1);
    layout->addWidget(pnlSel);

    // The keyboard goes through the inputs from the top left, then the
    // drive list, the buttons and the grid.
    QWidget* order[] = {rbLarger, rbSmaller, rbBetween, num1,      num2,      cbKB1,    cbWildCard,
                        cbDup,    pckDrive,  btScan,    btClose,   btAbort,   btMark,   btDelete,
                        btPrint,  btClip,    btBrowse,  btDetails, btCompare, btVerify, grid};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

}  // namespace vantrel
