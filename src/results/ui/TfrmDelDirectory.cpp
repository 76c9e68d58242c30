#include "results/ui/TfrmDelDirectory.h"

#include "results/Deletion.h"
#include "text/Formats.h"
#include "text/ui/Controls.h"
#include "text/ui/Dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vantrel {

namespace {

QLabel* explanation(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

}  // namespace

TfrmDelDirectory::TfrmDelDirectory(const QByteArray& folder, QWidget* parent)
    : QDialog(parent), m_folder(folder), m_directoryText(displayText(folder)) {
    setObjectName(QStringLiteral("frmDelDirectory"));
    setWindowTitle(QStringLiteral("Delete directory, sub-directories and all files"));
    setModal(true);
    const int em = fontMetrics().horizontalAdvance(QLatin1Char('x'));

    auto* caption = new QLabel(QStringLiteral("Folder to delete:"), this);
    caption->setAlignment(Qt::AlignCenter);
    lblDirectory = new QLabel(this);
    lblDirectory->setObjectName(QStringLiteral("lblDirectory"));
    lblDirectory->setAlignment(Qt::AlignCenter);
    lblDirectory->setTextFormat(Qt::PlainText);
    lblDirectory->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblDirectory->setMinimumWidth(em * 30);
    QFont bold = lblDirectory->font();
    bold.setBold(true);
    lblDirectory->setFont(bold);
    lblContents = new QLabel(QStringLiteral("Counting what it holds ..."), this);
    lblContents->setObjectName(QStringLiteral("lblContents"));
    lblContents->setAlignment(Qt::AlignCenter);
    lblContents->setTextFormat(Qt::PlainText);
    lblContents->setWordWrap(true);

    btDelete =
        pushButton(QStringLiteral("&Delete folder"), "btDelete",
                   QStringLiteral("Delete the files shown above.  Cannot be undeleted."), this);
    btRecycle =
        pushButton(QStringLiteral("&Send files to recycle bin"), "btRecycle",
                   QStringLiteral("Send to recycle bin.  Recycle bin can be emptied later.  "
                                  "Files can be recovered."),
                   this);
    btCancel = pushButton(QStringLiteral("Cancel"), "btCancel",
                          QStringLiteral("Cancel. Do not delete."), this);
    // Enter cancels; deleting needs a click or the mnemonic.
    btCancel->setDefault(true);

    auto* choices = new QGridLayout;
    choices->setHorizontalSpacing(em * 2);
    choices->setVerticalSpacing(em * 2);
    choices->addWidget(btDelete, 0, 0);
    choices->addWidget(explanation(QStringLiteral("All files and sub-folders are deleted.  Files "
                                                  "cannot be recovered.  Hard disk space "
                                                  "immediately freed up."),
                                   this),
                       0, 1);
    choices->addWidget(btRecycle, 1, 0);
    choices->addWidget(
        explanation(QStringLiteral("All files sent to the Windows 95 recycle bin which can be "
                                   "emptied later. Files may be recovered.  Hard disk space is "
                                   "not freed up until recycle bin is emptied.."),
                    this),
        1, 1);
    choices->addWidget(btCancel, 2, 0);
    choices->addWidget(explanation(QStringLiteral("Cancel delete operation."), this), 2, 1);
    choices->setColumnStretch(1, 1);
    choices->setColumnMinimumWidth(1, em * 50);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(lblDirectory);
    layout->addWidget(lblContents);
    layout->addSpacing(em);
    layout->addLayout(choices);

    setTabOrder(btDelete, btRecycle);
    setTabOrder(btRecycle, btCancel);

    connect(btDelete, &QPushButton::clicked, this, &TfrmDelDirectory::btDeleteClick);
    connect(btRecycle, &QPushButton::clicked, this, &TfrmDelDirectory::btRecycleClick);
    connect(btCancel, &QPushButton::clicked, this, &TfrmDelDirectory::reject);

    FormShow();

    m_counter = std::thread([this] {
        const FolderTreeContents contents = measureFolderTree(m_folder, &m_stopCounting);
        QMetaObject::invokeMethod(
            this, [this, contents] { contentsCountedAs(contents); }, Qt::QueuedConnection);
    });
}

TfrmDelDirectory::~TfrmDelDirectory() {
    m_stopCounting.store(true, std::memory_order_relaxed);
    if (m_counter.joinable())
        m_counter.join();
}

void TfrmDelDirectory::done(int result) {
    // The answer is in: a count still running is of no use any more (and
    // would walk the tree while it is being deleted).
    m_stopCounting.store(true, std::memory_order_relaxed);
    QDialog::done(result);
}

void TfrmDelDirectory::contentsCountedAs(const FolderTreeContents& contents) {
    m_contents = contents;
    m_counted = true;
    lblContents->setText(folderContentsText(contents));
}

void TfrmDelDirectory::FormShow() {
    lblDirectory->setToolTip(m_directoryText);
    fitDirectoryText();
}

void TfrmDelDirectory::fitDirectoryText() {
    // Until the window is laid out the label has no width of its own yet.
    const int room = lblDirectory->contentsRect().width();
    if (!isVisible() || room <= 0) {
        lblDirectory->setText(m_directoryText);
        return;
    }
    lblDirectory->setText(
        lblDirectory->fontMetrics().elidedText(m_directoryText, Qt::ElideMiddle, room));
}

void TfrmDelDirectory::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmDelDirectory::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    fitDirectoryText();
}

void TfrmDelDirectory::btDeleteClick() {
    m_recycle = false;
    accept();
}

void TfrmDelDirectory::btRecycleClick() {
    if (dialogs().question(recycleBinNote(), QuestionButtons::YesNo, this) == Answer::Yes) {
        m_recycle = true;
        accept();
        return;
    }
    m_recycle = false;
}

}  // namespace vantrel
