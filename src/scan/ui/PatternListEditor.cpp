#include "scan/ui/PatternListEditor.h"

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

PatternListEditor::PatternListEditor(const QString& heading, QWidget* parent)
    : QDialog(parent), m_settings(vantrelIni()) {
    lblHeading = new QLabel(heading, this);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    QFont headingFont = lblHeading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.25);
    lblHeading->setFont(headingFont);

    PickList1 = new TypeListBox(this);
    PickList1->setObjectName(QStringLiteral("PickList1"));
    PickList1->setSorted(true);
    PickList1->setToolTip(QStringLiteral("List of temporary file extensions and types"));
    PickList1->setMinimumSize(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48,
                              fontMetrics().height() * 14);

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
    m_nextButton = buttons->count();
    buttons->addStretch(1);
    buttons->addWidget(btClose);
    m_buttons = buttons;

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(PickList1, 1);
    m_listColumn = listColumn;

    auto* body = new QHBoxLayout;
    body->addLayout(listColumn, 1);
    body->addLayout(buttons);

    auto* notes = new QVBoxLayout;
    m_notes = notes;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHeading);
    layout->addLayout(body, 1);
    layout->addLayout(notes);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btAdd, &QPushButton::clicked, this, &PatternListEditor::btAddClick);
    connect(btDelete, &QPushButton::clicked, this, &PatternListEditor::btDeleteClick);
    connect(btClear, &QPushButton::clicked, this, &PatternListEditor::btClearClick);
    connect(btClose, &QPushButton::clicked, this, &PatternListEditor::btCloseClick);
}

void PatternListEditor::addButton(QPushButton* button) {
    button->setAutoDefault(false);
    m_buttons->insertWidget(m_nextButton++, button);
}

void PatternListEditor::addUnderList(QWidget* widget) {
    m_listColumn->addWidget(widget);
}

void PatternListEditor::addNote(QWidget* note) {
    m_notes->addWidget(note);
}

void PatternListEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void PatternListEditor::FormShow() {
    m_saved = false;
    PickList1->setLines(readList());
    listChanged();
    centreOnScreen(*this);
    PickList1->setFocus();
}

bool PatternListEditor::addLine(const QString& line) {
    const bool added = PickList1->addLine(line);
    if (added)
        listChanged();
    return added;
}

void PatternListEditor::btAddClick() {
    TfrmSelectExtension picker(this);
    if (dialogs().exec(picker) != QDialog::Accepted)
        return;
    for (const QString& line : picker.pick().linesToAdd())
        PickList1->addLine(line);
    listChanged();
}

void PatternListEditor::btDeleteClick() {
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
    listChanged();
}

void PatternListEditor::btClearClick() {
    if (dialogs().question(QStringLiteral("Really clear out all extensions?"),
                           QuestionButtons::YesNoCancel, this) != Answer::Yes)
        return;
    PickList1->clear();
    listChanged();
}

void PatternListEditor::btCloseClick() {
    m_saved = writeList(PickList1->lines());
    if (!m_saved) {
        // The list stays unless the user lets it go: a read-only settings
        // file must not swallow the changes without a word.
        const QString question = QStringLiteral("Could not write the settings file ") +
                                 m_settings.path() +
                                 QStringLiteral("\n\nClose without saving the list?");
        if (dialogs().question(question, QuestionButtons::YesNo, this) != Answer::Yes)
            return;
    }
    accept();
}

void PatternListEditor::reject() {
    btCloseClick();
}

}  // namespace vantrel
