// The controls of the folder browser and their places: the drive box, the
// folder tree and "Show hidden" on the left; the folder's path and the file
// grid on the right; the buttons below; the status bar at the bottom.

#include "browse/BrowseListing.h"
#include "browse/FolderTreeModel.h"
#include "browse/ui/TfrmBrowse.h"
#include "results/ui/ResultGrid.h"
#include "text/ui/Controls.h"
#include "text/ui/ElidedLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

namespace vantrel {

namespace {

// Buttons stand this far apart.
constexpr int kButtonGap = 5;

// Draws each folder of the tree with a folder icon; a symbolic link with the
// link icon and in italics, since it is never entered. The icons are made
// once (a style makes each anew from its image files).
class FolderTreeDelegate : public QStyledItemDelegate {
public:
    explicit FolderTreeDelegate(QWidget* view)
        : QStyledItemDelegate(view),
          m_folder(view->style()->standardIcon(QStyle::SP_DirIcon)),
          m_link(view->style()->standardIcon(QStyle::SP_DirLinkIcon)) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const bool link = index.data(FolderTreeModel::LinkRole).toBool();
        option->icon = link ? m_link : m_folder;
        option->features |= QStyleOptionViewItem::HasDecoration;
        if (link)
            option->font.setItalic(true);
    }

private:
    QIcon m_folder;
    QIcon m_link;
};

QLabel* statusPanel(const char* name, QWidget* parent) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setMargin(1);
    panel->setIndent(3);
    panel->setTextFormat(Qt::PlainText);
    panel->setMinimumHeight(panel->fontMetrics().height() + 6);
    return panel;
}

}  // namespace

void TfrmBrowse::buildForm() {
    // --- the drive box, the folder tree and "Show hidden" -------------------
    auto* left = new QWidget(this);
    left->setObjectName(QStringLiteral("pnlFolders"));
    DriveComboBox1 = new QComboBox(left);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    DriveComboBox1->setMinimumContentsLength(16);
    DirectoryListBox1 = new QTreeView(left);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setToolTip(QStringLiteral("Double click to select"));
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->setUniformRowHeights(true);
    DirectoryListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    DirectoryListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DirectoryListBox1->setItemDelegate(new FolderTreeDelegate(DirectoryListBox1));
    DirectoryListBox1->setModel(&m_tree);
    // Names longer than the tree is wide are shortened in the middle (the
    // tool tip has the whole path): measuring every row of a folder with
    // thousands of sub-folders for a sideways scroll bar would cost each
    // change of the tree.
    DirectoryListBox1->header()->setStretchLastSection(true);
    DirectoryListBox1->setTextElideMode(Qt::ElideMiddle);
    cbHidden = new QCheckBox(QStringLiteral("Show &hidden"), left);
    cbHidden->setObjectName(QStringLiteral("cbHidden"));
    cbHidden->setToolTip(
        QStringLiteral("Show hidden files and folders (names beginning with a dot)"));
    {
        auto* column = new QVBoxLayout(left);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(4);
        column->addWidget(DriveComboBox1);
        column->addWidget(DirectoryListBox1, 1);
        column->addWidget(cbHidden);
    }

    // --- the folder's path and its files ------------------------------------
    auto* right = new QWidget(this);
    right->setObjectName(QStringLiteral("pnlFiles"));
    Label1 = new ElidedLabel(right);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setMinimumHeight(DriveComboBox1->sizeHint().height());
    grid = new ResultGrid(browseGridLayout(), right);
    grid->setObjectName(QStringLiteral("grid"));
    {
        auto* column = new QVBoxLayout(right);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(4);
        column->addWidget(Label1);
        column->addWidget(grid, 1);
    }

    splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    left->setMinimumWidth(DriveComboBox1->minimumSizeHint().width());

    // --- the buttons --------------------------------------------------------
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    btDeleteDirectory =
        pushButton(QStringLiteral("Delete &Folder"), "btDeleteDirectory",
                   QStringLiteral("Delete folder and all files/folders below"), Panel2);
    btView = pushButton(QStringLiteral("&View"), "btView", QStringLiteral("View file"), Panel2);
    btMark = pushButton(QStringLiteral("&Mark"), "btMark",
                        QStringLiteral("Mark/unmark files for deletion"), Panel2);
    btDeleteFiles = pushButton(QStringLiteral("D&elete marked files"), "btDeleteFiles",
                               QStringLiteral("Delete marked files"), Panel2);
    btClose = pushButton(QStringLiteral("Close"), "btClose", QString(), Panel2);
    btLaunch = pushButton(QStringLiteral("&Run"), "btLaunch",
                          QStringLiteral("Run/launch associated application"), Panel2);
    btDetails = pushButton(QStringLiteral("&Details"), "btDetails",
                           QStringLiteral("View more file details"), Panel2);
    {
        // "Delete Folder" on the left, away from the others; from the right
        // edge leftwards: Close, Delete marked files, Mark, View, Run, Details.
        auto* row = new QHBoxLayout(Panel2);
        row->setContentsMargins(10 - kButtonGap, 0, 12 - kButtonGap, 0);
        row->setSpacing(kButtonGap);
        row->addWidget(btDeleteDirectory);
        row->addStretch(1);
        for (QPushButton* b : {btDetails, btLaunch, btView, btMark, btDeleteFiles, btClose})
            row->addWidget(b);
    }

    // --- the status bar -----------------------------------------------------
    pnlScan2 = new QFrame(this);
    pnlScan2->setObjectName(QStringLiteral("pnlScan2"));
    pnlScan = statusPanel("pnlScan", pnlScan2);
    pnlScan->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    pnlSize = statusPanel("pnlSize", pnlScan2);
    pnlSize->setMinimumWidth(
        pnlSize->fontMetrics().horizontalAdvance(QStringLiteral("Total size : 999,999,999,999")) +
        12);
    pnlWild = statusPanel("pnlWild", pnlScan2);
    pnlWild->setToolTip(QStringLiteral("Click to change the wildcard pattern"));
    pnlWild->setCursor(Qt::PointingHandCursor);
    pnlWild->setMinimumWidth(
        pnlWild->fontMetrics().horizontalAdvance(QStringLiteral("Wildcard : *.jpeg;*.png")) + 12);
    {
        auto* row = new QHBoxLayout(pnlScan2);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(2);
        row->addWidget(pnlScan, 1);
        row->addWidget(pnlSize);
        row->addWidget(pnlWild);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->setSpacing(6);
    layout->addWidget(splitter, 1);
    layout->addWidget(Panel2);
    layout->addWidget(pnlScan2);

    QWidget* order[] = {DriveComboBox1, DirectoryListBox1, cbHidden, grid,   btDeleteDirectory,
                        btDetails,      btLaunch,          btView,   btMark, btDeleteFiles,
                        btClose};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

}  // namespace vantrel
