#include "scan/ui/TfrmStatList.h"

#include "scan/TypeLists.h"
#include "scan/ui/TfrmSelectExtension.h"
#include "scan/ui/TypeListBox.h"
#include "settings/ui/WinPlace.h"
#include "text/ui/Dialogs.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vantrel {

TfrmStatList::TfrmStatList(QWidget* parent)
    : QDialog(parent), m_settings(vantrelIni()), m_section(kIncludeSection) {
    setObjectName(QStringLiteral("frmStatList"));
    setWindowTitle(QStringLiteral("File types"));

    auto* title = new QLabel(QStringLiteral("File Types"), this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    title->setFont(titleFont);

    PickList1 = new TypeListBox(this);
    PickList1->setObjectName(QStringLiteral("PickList1"));
    PickList1->setSorted(true);
    PickList1->setToolTip(QStringLiteral("List of temporary file extensions and types"));
    PickList1->setMinimumSize(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48,
                              fontMetrics().height() * 14);

    lblCount = new QLabel(QStringLiteral("25 available"), this);
    lblCount->setObjectName(QStringLiteral("lblCount"));

    auto* note = new QLabel(
        QStringLiteral("Hint: Drag mouse or use ctrl-click to select multiple file types."), this);
    note->setWordWrap(true);

    btAdd = new QPushButton(QStringLiteral("&Add"), this);
    btAdd->setObjectName(QStringLiteral("btAdd"));
    btAdd->setToolTip(QStringLiteral("Add a file extension to this list"));
    btDelete = new QPushButton(QStringLiteral("&Delete"), this);
    btDelete->setObjectName(QStringLiteral("btDelete"));
    btDelete->setToolTip(QStringLiteral("Delete a file extension"));
    btClear = new QPushButton(QStringLiteral("&Clear all"), this);
    btClear->setObjectName(QStringLiteral("btClear"));
    btClear->setToolTip(QStringLiteral("Clear all extensions"));
    btClose = new QPushButton(QStringLiteral("Close"), this);
    btClose->setObjectName(QStringLiteral("btClose"));
    btClose->setToolTip(QStringLiteral("Close window"));
    for (QPushButton* b : {btAdd, btDelete, btClear, btClose})
        b->setAutoDefault(false);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btAdd);
    buttons->addWidget(btDelete);
    buttons->addWidget(btClear);
    buttons->addStretch(1);
    buttons->addWidget(btClose);

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(PickList1, 1);
    listColumn->addWidget(lblCount);

    auto* body = new QHBoxLayout;
    body->addLayout(listColumn, 1);
    body->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(body, 1);
    layout->addWidget(note);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btAdd, &QPushButton::clicked, this, &TfrmStatList::btAddClick);
    connect(btDelete, &QPushButton::clicked, this, &TfrmStatList::btDeleteClick);
    connect(btClear, &QPushButton::clicked, this, &TfrmStatList::btClearClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmStatList::btCloseClick);
}

void TfrmStatList::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmStatList::FormShow() {
    PickList1->setLines(ReadStatFilesFromDisk(m_settings, m_section));
    refreshCount();
    centreOnScreen(*this);
    PickList1->setFocus();
}

void TfrmStatList::refreshCount() {
    lblCount->setText(QString::number(PickList1->count()) + QStringLiteral(" available"));
}

void TfrmStatList::btAddClick() {
    TfrmSelectExtension picker(this);
    if (dialogs().exec(picker) != QDialog::Accepted)
        return;
    for (const QString& line : picker.pick().linesToAdd())
        PickList1->addLine(line);
    refreshCount();
}

void TfrmStatList::btDeleteClick() {
    const int selected = PickList1->selectedCount();
    if (selected == 0)
        return;
    if (selected > 1) {
        const QString question = QStringLiteral("Really delete ") + QString::number(selected) +
                                 QStringLiteral(" extensions?");
        if (dialogs().question(question, QuestionButtons::YesNoCancel, this) != Answer::Yes)
            return;
    }
    PickList1->removeSelected();
    refreshCount();
}

void TfrmStatList::btClearClick() {
    if (dialogs().question(QStringLiteral("Really clear out all extensions?"),
                           QuestionButtons::YesNoCancel, this) != Answer::Yes)
        return;
    PickList1->clear();
    refreshCount();
}

void TfrmStatList::btCloseClick() {
    if (!WriteStatFilesToDisk(PickList1->lines(), m_settings, m_section))
        alertBox(QStringLiteral("Could not write the settings file ") + m_settings.path(), this);
    accept();
}

void TfrmStatList::reject() {
    btCloseClick();
}

}  // namespace vantrel
