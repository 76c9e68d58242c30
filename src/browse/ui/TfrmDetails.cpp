#include "browse/ui/TfrmDetails.h"

#include "browse/FileDetails.h"
#include "browse/ui/FileIcon.h"
#include "browse/ui/TfrmView.h"
#include "platform/ui/Shell.h"
#include "results/Report.h"
#include "results/ui/ReportPrinter.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTextDocument>
#include <QTextOption>
#include <QVBoxLayout>

#include <cmath>

namespace vantrel {

namespace {

constexpr int kMargin = 10;
constexpr int kIconSize = 32;

QLabel* valueLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(320);
    return label;
}

QLabel* captionLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// A path may be one long word: let the label break it after each "/".
QString breakablePath(const QString& path) {
    QString out = path;
    out.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    return out;
}

}  // namespace

TfrmDetails::TfrmDetails(QWidget* parent)
    : QDialog(parent), m_launcher(&openWithAssociatedApplication) {
    setObjectName(QStringLiteral("frmDetails"));
    setWindowTitle(QStringLiteral("File Details"));
    buildForm();
}

TfrmDetails::~TfrmDetails() = default;

void TfrmDetails::buildForm() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kMargin);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(kIconSize, kIconSize);
    top->addWidget(Image1, 0, Qt::AlignTop);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    lblFileName = valueLabel(this, "lblFileName");
    lblFileName->setWordWrap(true);
    lblFileType = valueLabel(this, "lblFileType");
    lblSizeBytes = valueLabel(this, "lblSizeBytes");
    lblSizeK = valueLabel(this, "lblSizeK");
    lblDiskUse = valueLabel(this, "lblDiskUse");
    lblCreate = valueLabel(this, "lblCreate");
    lblModify = valueLabel(this, "lblModify");
    lblAccess = valueLabel(this, "lblAccess");
    int row = 0;
    auto addRow = [&](const QString& caption, QLabel* value) {
        if (!caption.isEmpty())
            grid->addWidget(captionLabel(caption, this), row, 0);
        grid->addWidget(value, row++, 1);
    };
    addRow(QStringLiteral("Name of file:"), lblFileName);
    addRow(QStringLiteral("Type of file:"), lblFileType);
    grid->setRowMinimumHeight(row++, 4);
    addRow(QStringLiteral("Size:"), lblSizeBytes);
    addRow(QString(), lblSizeK);
    addRow(QString(), lblDiskUse);
    grid->setRowMinimumHeight(row++, 4);
    addRow(QStringLiteral("Creation date:"), lblCreate);
    addRow(QStringLiteral("Modification date:"), lblModify);
    addRow(QStringLiteral("Access date:"), lblAccess);
    grid->setColumnStretch(1, 1);
    top->addLayout(grid, 1);
    outer->addLayout(top);

    Panel4 = new QFrame(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFrameShape(QFrame::StyledPanel);
    Panel4->setFrameShadow(QFrame::Sunken);
    auto* panel = new QHBoxLayout(Panel4);
    panel->setContentsMargins(8, 4, 8, 4);
    panel->addWidget(captionLabel(QStringLiteral("Attributes:"), Panel4));
    lblAttributes = valueLabel(Panel4, "lblAttributes");
    panel->addWidget(lblAttributes, 1);
    outer->addWidget(Panel4);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    alignMemoTabs();
    const int lineHeight = QFontMetrics(Memo1->font()).lineSpacing();
    Memo1->setMinimumHeight(lineHeight * 11 + 2 * Memo1->frameWidth() + 8);
    outer->addWidget(Memo1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btClose = new QPushButton(QStringLiteral("Close"), this);
    btClose->setObjectName(QStringLiteral("btClose"));
    btPrint = new QPushButton(QStringLiteral("Print"), this);
    btPrint->setObjectName(QStringLiteral("btPrint"));
    btPrint->setToolTip(QStringLiteral("Print file details"));
    btView = new QPushButton(QStringLiteral("&View"), this);
    btView->setObjectName(QStringLiteral("btView"));
    btView->setToolTip(QStringLiteral("View file"));
    btLaunch = new QPushButton(QStringLiteral("&Run"), this);
    btLaunch->setObjectName(QStringLiteral("btLaunch"));
    btLaunch->setToolTip(QStringLiteral("Run/launch associated application"));
    for (QPushButton* b : {btClose, btPrint, btView, btLaunch})
        buttons->addWidget(b);
    outer->addLayout(buttons);
    btClose->setDefault(true);

    setTabOrder(Memo1, btClose);
    setTabOrder(btClose, btPrint);
    setTabOrder(btPrint, btView);
    setTabOrder(btView, btLaunch);

    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(btPrint, &QPushButton::clicked, this, &TfrmDetails::btPrintClick);
    connect(btView, &QPushButton::clicked, this, &TfrmDetails::btViewClick);
    connect(btLaunch, &QPushButton::clicked, this, &TfrmDetails::btLaunchClick);
}

void TfrmDetails::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmDetails::FormShow() {
    const auto details = readFileDetails(m_fileName, QDateTime::currentDateTime());
    if (!details)
        return;  // gone: the labels stay as they are

    Image1->setPixmap(fileIcon(m_fileName).pixmap(kIconSize, kIconSize));

    const QStringList lines = versionLines(m_fileName, true);
    if (lines.isEmpty()) {
        hideMemo();
    } else {
        Memo1->setPlainText(lines.join(QLatin1Char('\n')));
        Memo1->moveCursor(QTextCursor::Start);
    }

    lblFileType->setText(details->fileType);
    lblFileName->setText(breakablePath(details->fileName));
    lblFileName->setToolTip(details->fileName);
    fitFileName();
    lblSizeBytes->setText(details->sizeBytes);
    lblSizeK->setText(details->sizeK);
    lblDiskUse->setText(details->diskUse);
    lblAccess->setText(details->accessed);
    lblCreate->setText(details->created);
    lblModify->setText(details->modified);
    lblAttributes->setText(details->attributes);
}

void TfrmDetails::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    fitFileName();
}

void TfrmDetails::fitFileName() {
    // A wrapped label does not tell the window's layout how tall it gets at
    // its final width; give it that height once the width is known.
    layout()->activate();
    const int needed = lblFileName->heightForWidth(lblFileName->width());
    if (needed > 0 && needed != lblFileName->minimumHeight()) {
        lblFileName->setMinimumHeight(needed);
        layout()->activate();
        if (height() < minimumSizeHint().height())
            resize(width(), minimumSizeHint().height());
    }
}

void TfrmDetails::alignMemoTabs() {
    // Every version line is label, tab, value, except "Copyright: ", which
    // has two tabs. One stop just past the longest label and a second one a
    // pixel further put every value in the same column.
    const QFontMetricsF fm(Memo1->font());
    qreal widest = 0;
    for (const char* label :
         {"Company: ", "File description: ", "File version: ", "Internal name: ", "Copyright: ",
          "Trademarks: ", "Original filename: ", "Private build info: ", "Product name: ",
          "Product version: ", "Special build info: "})
        widest = qMax(widest, fm.horizontalAdvance(QLatin1String(label)));
    const qreal stop = std::ceil(widest + fm.averageCharWidth());
    QTextOption option = Memo1->document()->defaultTextOption();
    option.setTabs({QTextOption::Tab(stop, QTextOption::LeftTab),
                    QTextOption::Tab(stop + 1, QTextOption::LeftTab)});
    Memo1->document()->setDefaultTextOption(option);
}

void TfrmDetails::hideMemo() {
    if (Memo1->isHidden())
        return;
    Memo1->hide();
    // The buttons close up under the attribute panel and the window shrinks
    // to them.
    layout()->activate();
    resize(width(), sizeHint().height());
}

void TfrmDetails::btLaunchClick() {
    if (!m_launcher || !m_launcher(m_fileName))
        alertBox(QStringLiteral("Couldn't run ") + displayText(m_fileName), this);
}

void TfrmDetails::btViewClick() {
    TfrmView view(this);
    view.setFileName(m_fileName);
    dialogs().exec(view);
}

void TfrmDetails::btPrintClick() {
    FileDetails shown;
    shown.fileName = displayText(m_fileName);
    shown.fileType = lblFileType->text();
    shown.sizeBytes = lblSizeBytes->text();
    shown.sizeK = lblSizeK->text();
    shown.diskUse = lblDiskUse->text();
    shown.created = lblCreate->text();
    shown.modified = lblModify->text();
    shown.accessed = lblAccess->text();
    shown.attributes = lblAttributes->text();
    const QStringList memo = Memo1->toPlainText().isEmpty()
                                 ? QStringList()
                                 : Memo1->toPlainText().split(QLatin1Char('\n'));
    lb = detailsPrintLines(shown, memo);
    printReport(
        tabListReportLines(detailsPrintTitle(shown.fileName), QDateTime::currentDateTime(), lb),
        this);
}

}  // namespace vantrel
