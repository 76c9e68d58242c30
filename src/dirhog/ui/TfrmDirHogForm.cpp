// The controls of the folder-hogs window and their places: the top panel
// with the two modes explained on the left and the drive list on the right;
// the row of buttons; the grid; the status line.

#include "dirhog/FolderHogGrid.h"
#include "dirhog/ui/TfrmDirHog.h"
#include "results/ui/ButtonRow.h"
#include "results/ui/ResultGrid.h"
#include "scan/ui/DriveCheckList.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {

// The drive list keeps this distance from the window's right edge.
constexpr int kDriveListRightGap = 10;

QLabel* modeText(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

void TfrmDirHog::buildForm() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::NoFrame);

    // --- the two modes, explained -------------------------------------------
    auto* mainTitle = modeText(QStringLiteral("Main -"), Panel1);
    lblMain = modeText(
        QStringLiteral(
            "only main folders are displayed (those folders directly under the main folder)"),
        Panel1);
    lblMain->setObjectName(QStringLiteral("lblMain"));
    auto* allTitle = modeText(QStringLiteral("All -"), Panel1);
    lblAll = modeText(
        QStringLiteral("all folders including sub-folders are individually displayed"), Panel1);
    lblAll->setObjectName(QStringLiteral("lblAll"));
    QFont bold = mainTitle->font();
    bold.setBold(true);
    mainTitle->setFont(bold);
    allTitle->setFont(bold);
    const int em = fontMetrics().horizontalAdvance(QLatin1Char('x'));
    lblMain->setMinimumWidth(em * 30);

    // --- the drive list -----------------------------------------------------
    pckDrive = new DriveCheckList(Panel1);
    pckDrive->setObjectName(QStringLiteral("pckDrive"));
    pckDrive->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);

    {
        auto* modes = new QGridLayout;
        modes->setHorizontalSpacing(6);
        modes->setVerticalSpacing(8);
        modes->addWidget(mainTitle, 0, 0, Qt::AlignTop);
        modes->addWidget(lblMain, 0, 1, Qt::AlignTop);
        modes->addWidget(allTitle, 1, 0, Qt::AlignTop);
        modes->addWidget(lblAll, 1, 1, Qt::AlignTop);
        modes->setColumnStretch(1, 1);
        modes->setRowStretch(2, 1);

        auto* panel = new QHBoxLayout(Panel1);
        panel->setContentsMargins(kButtonGap + 4, 6, kDriveListRightGap, 4);
        panel->setSpacing(16);
        panel->addLayout(modes, 1);
        panel->addWidget(pckDrive);
    }

    // --- the button row -----------------------------------------------------
    ButtonRow row(this);
    pnlButtons = row.panel();
    btTop = row.add(QStringLiteral("&Main folders"), "btTop",
                    QStringLiteral("Only topmost folders. Does not display sub-folders."));
    btAll = row.add(QStringLiteral("&All Folders"), "btAll",
                    QStringLiteral("ALL folders including sub-folders are displayed"));
    btClose = row.addClose();
    btAbort = row.addAbort();
    btDelete = row.add(QStringLiteral("&Delete"), "btDelete", QStringLiteral("Delete the folder"));
    btPrint =
        row.add(QStringLiteral("&Print"), "btPrint", QStringLiteral("Print list of directories"));
    btClip = row.add(QStringLiteral("C&lipboard"), "btClip",
                     QStringLiteral("Copy list of directories to clipboard"));
    btBrowse = row.add(QStringLiteral("&Browse"), "btBrowse", QStringLiteral("Browse this folder"));

    // --- the grid and the status line ---------------------------------------
    grid = new ResultGrid(folderHogsLayout(), this);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setToolTip(QStringLiteral("Double click to delete the folder, right click for options"));
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

    QWidget* order[] = {btTop,   btAll,  btClose,  btAbort, btDelete,
                        btPrint, btClip, btBrowse, grid,    pckDrive};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

}  // namespace vantrel
