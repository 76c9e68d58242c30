// The controls of the quick-clean window and their places: the top panel
// with the pattern list and its "Add/Delete" button on the left and the
// drive list on the right; the row of buttons; the grid; the status line.

#include "clean/ui/TfrmClean.h"

#include "results/ui/ButtonRow.h"
#include "results/ui/ResultGrid.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/TypeListBox.h"
#include "text/ui/Controls.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {

// The drive list keeps this distance from the window's right edge.
constexpr int kDriveListRightGap = 8;
// The pattern list shows this many lines and characters without scrolling.
constexpr int kPatternRows = 6;
constexpr int kPatternChars = 40;

}  // namespace

void TfrmClean::buildForm() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::NoFrame);

    // --- the pattern list ---------------------------------------------------
    lblPatterns = new QLabel(QStringLiteral("T&emporary file extensions:"), Panel1);
    lblPatterns->setObjectName(QStringLiteral("lblPatterns"));
    PickList1 = new TypeListBox(Panel1);
    PickList1->setObjectName(QStringLiteral("PickList1"));
    PickList1->setSorted(true);
    PickList1->setSelectAllOffered(true);
    PickList1->setToolTip(QStringLiteral("Right click to select/deselect all"));
    PickList1->setMinimumSize(
        PickList1->fontMetrics().horizontalAdvance(QLatin1Char('x')) * kPatternChars,
        PickList1->fontMetrics().height() * kPatternRows + 2 * PickList1->frameWidth() + 4);
    PickList1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    lblPatterns->setBuddy(PickList1);
    btEdit = pushButton(QStringLiteral("Add/Delete"), "btEdit",
                        QStringLiteral("Add, delete file extensions"), Panel1);

    // --- the drive list -----------------------------------------------------
    pckDrive = new DriveCheckList(Panel1);
    pckDrive->setObjectName(QStringLiteral("pckDrive"));
    pckDrive->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);

    {
        auto* patterns = new QVBoxLayout;
        patterns->setSpacing(3);
        patterns->addWidget(lblPatterns);
        patterns->addWidget(PickList1, 1);

        auto* edit = new QVBoxLayout;
        edit->addSpacing(lblPatterns->sizeHint().height() + 3);
        edit->addWidget(btEdit);
        edit->addStretch(1);

        auto* panel = new QHBoxLayout(Panel1);
        panel->setContentsMargins(kButtonGap, 4, kDriveListRightGap, 4);
        panel->setSpacing(8);
        panel->addLayout(patterns);
        panel->addLayout(edit);
        panel->addStretch(1);
        panel->addSpacing(8);
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

    // --- the grid and the status line ---------------------------------------
    grid = new ResultGrid(cleanLayout(), this);
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

    // The keyboard goes through the pattern list and its button, then the
    // drive list, the buttons and the grid.
    QWidget* order[] = {PickList1, btEdit,  pckDrive, btScan,   btClose,   btAbort, btMark,
                        btDelete,  btPrint, btClip,   btBrowse, btDetails, grid};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

}  // namespace vantrel
