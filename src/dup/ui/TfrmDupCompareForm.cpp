// The controls of the pair-comparison window and their wiring.

#include "dup/ui/TfrmDupCompare.h"

#include "text/ui/ElidedLabel.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {

constexpr int kIconSize = 32;
constexpr int kGap = 3;            // between the window's parts and around them
constexpr int kVersionLines = 11;  // a version resource always has eleven

// Draws the version lines through the window, which knows which lines
// differ from the other side.
class VersionLineDelegate : public QStyledItemDelegate {
public:
    VersionLineDelegate(const TfrmDupCompare* window, QListWidget* list)
        : QStyledItemDelegate(list), m_window(window), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        m_window->tlBox1DrawItem(painter, m_list, index.row(), option.rect);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize text = QStyledItemDelegate::sizeHint(option, index);
        return {text.width() + 4, option.fontMetrics.height() + 2};
    }

private:
    const TfrmDupCompare* m_window;
    const QListWidget* m_list;
};

QLabel* valueLabel(QWidget* parent, const char* name) {
    auto* label = new ElidedLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Long folders are shortened in the middle (the tool tip has them
    // whole) instead of widening the window.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setMinimumWidth(40);
    return label;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QString& hint) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    return b;
}

const char* const kSideNames[2][14] = {
    {"GroupBox1", "Image1", "lblFolder1", "lblType1", "lblSizeBytes1", "lblCreate1", "lblModify1",
     "lblAccess1", "lblAttributes1", "lblCRC1", "tlBox1", "btMark1", "btLaunch1", "btView1"},
    {"GroupBox2", "Image2", "lblFolder2", "lblTYpe2", "lblSizebytes2", "lblCreate2", "lblModify2",
     "lblAccess2", "lblAttributes2", "lblCRC2", "tlBox2", "btMark2", "btLaunch2", "btView2"},
};

}  // namespace

QGroupBox* TfrmDupCompare::buildSide(int index, Side& side) {
    const char* const* names = kSideNames[index];
    side.group = new QGroupBox(this);
    side.group->setObjectName(QLatin1String(names[0]));
    side.group->setAutoFillBackground(true);

    auto* box = new QVBoxLayout(side.group);
    box->setContentsMargins(8, 6, 8, 8);
    box->setSpacing(6);

    auto* top = new QHBoxLayout;
    side.image = new QLabel(side.group);
    side.image->setObjectName(QLatin1String(names[1]));
    side.image->setFixedSize(kIconSize, kIconSize);
    top->addWidget(side.image, 0, Qt::AlignTop);
    top->addStretch(1);
    const QString markHint =
        QStringLiteral("Mark file for deletion (double click on grid also works)");
    const QString runHint = QStringLiteral("Run/launch associated application");
    const QString viewHint = QStringLiteral("View file");
    side.mark = button(side.group, names[11],
                       index == 0 ? QStringLiteral("&Mark") : QStringLiteral("M&ark"), markHint);
    side.launch = button(side.group, names[12],
                         index == 0 ? QStringLiteral("&Run") : QStringLiteral("R&un"), runHint);
    side.view = button(side.group, names[13],
                       index == 0 ? QStringLiteral("&View") : QStringLiteral("Vie&w"), viewHint);
    for (QPushButton* b : {side.mark, side.launch, side.view})
        top->addWidget(b, 0, Qt::AlignTop);
    box->addLayout(top);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    grid->setColumnStretch(1, 1);
    QLabel** values[] = {&side.folder, &side.type,   &side.size,       &side.create,
                         &side.modify, &side.access, &side.attributes, &side.crc};
    const char* captions[] = {"Folder:",      "Type:",        "Size:",       "Creation date:",
                              "Modify date:", "Access date:", "Attributes:", "CRC Value:"};
    for (int i = 0; i < 8; ++i) {
        grid->addWidget(new QLabel(QLatin1String(captions[i]), side.group), i, 0);
        *values[i] = valueLabel(side.group, names[2 + i]);
        grid->addWidget(*values[i], i, 1);
    }
    // Blank-padded hexadecimal digits line up only in a fixed-pitch font.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(side.crc->font().pointSizeF());
    side.crc->setFont(fixed);
    box->addLayout(grid);

    side.versions = new QListWidget(this);
    side.versions->setObjectName(QLatin1String(names[10]));
    side.versions->setFocusPolicy(Qt::NoFocus);
    side.versions->setSelectionMode(QAbstractItemView::NoSelection);
    side.versions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    side.versions->setUniformItemSizes(true);
    side.versions->setItemDelegate(new VersionLineDelegate(this, side.versions));
    const int line = side.versions->fontMetrics().height() + 2;
    side.versions->setFixedHeight(line * kVersionLines + 2 * side.versions->frameWidth() + 2);
    return side.group;
}

void TfrmDupCompare::buildForm() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kGap, kGap, kGap, kGap);
    outer->setSpacing(kGap);

    auto* sides = new QHBoxLayout;
    sides->setSpacing(kGap);
    sides->addWidget(buildSide(0, m_sides[0]), 1);
    sides->addWidget(buildSide(1, m_sides[1]), 1);
    outer->addLayout(sides);

    auto* lists = new QHBoxLayout;
    lists->setSpacing(kGap);
    lists->addWidget(m_sides[0].versions, 1);
    lists->addWidget(m_sides[1].versions, 1);
    outer->addLayout(lists);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Raised);
    auto* panel = new QHBoxLayout(Panel1);
    panel->setContentsMargins(6, 4, 6, 4);
    sbL1 = new QToolButton(Panel1);
    sbL1->setObjectName(QStringLiteral("sbL1"));
    sbL1->setArrowType(Qt::LeftArrow);
    sbL1->setToolTip(QStringLiteral("Display previous match (PgUp)"));
    sbL1->setAccessibleName(QStringLiteral("Previous match"));
    sbR1 = new QToolButton(Panel1);
    sbR1->setObjectName(QStringLiteral("sbR1"));
    sbR1->setArrowType(Qt::RightArrow);
    sbR1->setToolTip(QStringLiteral("Display next match (PgDn)"));
    sbR1->setAccessibleName(QStringLiteral("Next match"));
    btCompute = button(Panel1, "btCompute", QStringLiteral("&Compute CRC values"),
                       QStringLiteral("If CRC values are different the the contents of each file "
                                      "is different"));
    btPrint =
        button(Panel1, "btPrint", QStringLiteral("&Print"), QStringLiteral("Print file details"));
    btClose = button(Panel1, "btClose", QStringLiteral("Close"), QString());
    panel->addWidget(sbL1);
    panel->addWidget(sbR1);
    panel->addStretch(1);
    panel->addWidget(btCompute);
    panel->addWidget(btPrint);
    panel->addWidget(btClose);
    outer->addWidget(Panel1);

    const Side& l = m_sides[0];
    const Side& r = m_sides[1];
    GroupBox1 = l.group;
    GroupBox2 = r.group;
    Image1 = l.image;
    Image2 = r.image;
    lblFolder1 = l.folder;
    lblFolder2 = r.folder;
    lblType1 = l.type;
    lblTYpe2 = r.type;
    lblSizeBytes1 = l.size;
    lblSizebytes2 = r.size;
    lblCreate1 = l.create;
    lblCreate2 = r.create;
    lblModify1 = l.modify;
    lblModify2 = r.modify;
    lblAccess1 = l.access;
    lblAccess2 = r.access;
    lblAttributes1 = l.attributes;
    lblAttributes2 = r.attributes;
    lblCRC1 = l.crc;
    lblCRC2 = r.crc;
    tlBox1 = l.versions;
    tlBox2 = r.versions;
    btMark1 = l.mark;
    btMark2 = r.mark;
    btLaunch1 = l.launch;
    btLaunch2 = r.launch;
    btView1 = l.view;
    btView2 = r.view;

    // Enter clicks the focused button; nothing is pressed by default, so
    // that Enter never computes or prints by surprise.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(true);
    setTabOrder(btMark1, btLaunch1);
    setTabOrder(btLaunch1, btView1);
    setTabOrder(btView1, btMark2);
    setTabOrder(btMark2, btLaunch2);
    setTabOrder(btLaunch2, btView2);
    setTabOrder(btView2, sbL1);
    setTabOrder(sbL1, sbR1);
    setTabOrder(sbR1, btCompute);
    setTabOrder(btCompute, btPrint);
    setTabOrder(btPrint, btClose);
}

void TfrmDupCompare::wireControls() {
    connect(btMark1, &QPushButton::clicked, this, &TfrmDupCompare::btMark1Click);
    connect(btMark2, &QPushButton::clicked, this, &TfrmDupCompare::btMark2Click);
    connect(btLaunch1, &QPushButton::clicked, this, &TfrmDupCompare::btLaunch1Click);
    connect(btLaunch2, &QPushButton::clicked, this, &TfrmDupCompare::btLaunch2Click);
    connect(btView1, &QPushButton::clicked, this, &TfrmDupCompare::btView1Click);
    connect(btView2, &QPushButton::clicked, this, &TfrmDupCompare::btView2Click);
    connect(sbL1, &QToolButton::clicked, this, &TfrmDupCompare::sbL1Click);
    connect(sbR1, &QToolButton::clicked, this, &TfrmDupCompare::sbR1Click);
    connect(btCompute, &QPushButton::clicked, this, &TfrmDupCompare::btComputeClick);
    connect(btPrint, &QPushButton::clicked, this, &TfrmDupCompare::btPrintClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmDupCompare::btCloseClick);
}

void TfrmDupCompare::tlBox1DrawItem(QPainter* painter, const QListWidget* list, int index,
                                    const QRect& rect) const {
    const QColor back = versionLineDiffers(index) ? highlightColor() : m_background;
    painter->fillRect(rect, back);
    const QListWidgetItem* item = list->item(index);
    if (!item)
        return;
    painter->setPen(list->palette().color(QPalette::Text));
    painter->drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, item->text());
}

}  // namespace vantrel
