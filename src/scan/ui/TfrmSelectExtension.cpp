#include "scan/ui/TfrmSelectExtension.h"

#include "scan/Extensions.h"
#include "scan/ui/TypeListBox.h"
#include "scan/ui/WildcardCombo.h"
#include "settings/ui/WinPlace.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vantrel {

TfrmSelectExtension::TfrmSelectExtension(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSelectExtension"));
    setWindowTitle(QStringLiteral("Select a file extension"));

    auto* prompt = new QLabel(
        QStringLiteral("Type in a new file extension or select one or many from the list below:"),
        this);

    auto* editLabel = new QLabel(QStringLiteral("E&xtension:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(6);
    Edit1->setFixedWidth(Edit1->fontMetrics().horizontalAdvance(QStringLiteral("*.mmmmm")) + 16);
    editLabel->setBuddy(Edit1);

    auto* lookupLabel = new QLabel(QStringLiteral("&Look up:"), this);
    cbWildCard = new WildcardCombo(this);
    cbWildCard->setObjectName(QStringLiteral("cbWildCard"));
    cbWildCard->setIncludeAll(false);
    lookupLabel->setBuddy(cbWildCard);
    lblWild = new QLabel(QStringLiteral("All files"), this);
    lblWild->setObjectName(QStringLiteral("lblWild"));
    lblWild->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30);

    lBox = new TypeListBox(this);
    lBox->setObjectName(QStringLiteral("lBox"));
    lBox->setToolTip(QStringLiteral("Double click to select, Ctrl-click to select more than one"));
    lBox->setMinimumSize(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 60,
                         fontMetrics().height() * 16);

    auto* note = new QLabel(
        QStringLiteral("Hint: Drag mouse or use ctrl-click to select multiple file extensions."),
        this);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));

    auto* inputs = new QGridLayout;
    inputs->addWidget(editLabel, 0, 0);
    inputs->addWidget(Edit1, 0, 1, Qt::AlignLeft);
    inputs->addWidget(lookupLabel, 1, 0);
    inputs->addWidget(cbWildCard, 1, 1);
    inputs->addWidget(lblWild, 1, 2);
    inputs->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(inputs);
    layout->addWidget(lBox, 1);
    layout->addWidget(note);
    layout->addLayout(buttons);

    setTabOrder(Edit1, cbWildCard);
    setTabOrder(cbWildCard, lBox);
    setTabOrder(lBox, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);

    connect(cbWildCard, &WildcardCombo::wildcardChanged, this,
            &TfrmSelectExtension::cbWildCardChange);
    connect(cbWildCard, &QComboBox::textActivated, Edit1, &QLineEdit::setText);
    connect(lBox, &QListWidget::currentRowChanged, this, &TfrmSelectExtension::lBoxClick);
    connect(lBox, &QListWidget::itemDoubleClicked, this, &TfrmSelectExtension::lBoxDblClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmSelectExtension::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmSelectExtension::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmSelectExtension::FormShow() {
    if (!cbWildCard->isFilled())
        cbWildCard->fillCatalogue();
    lBox->setLines(registryExtensionLines());
    m_catalogue = registryExtensions(false);
    Edit1->setText(m_catalogue.value(0));
    centreOnScreen(*this);
    Edit1->setFocus();
    Edit1->selectAll();
}

void TfrmSelectExtension::cbWildCardChange() {
    lblWild->setText(wildcardTypeText(cbWildCard->currentText()));
}

void TfrmSelectExtension::lBoxClick() {
    const int row = lBox->currentRow();
    if (row >= 0 && row < m_catalogue.size())
        Edit1->setText(m_catalogue[row]);
}

ExtensionPick TfrmSelectExtension::currentPick() const {
    if (lBox->selectedCount() > 1)
        return ExtensionPick::fromLines(lBox->selectedLines());
    return ExtensionPick::fromTypedText(Edit1->text());
}

void TfrmSelectExtension::BitBtn1Click() {
    m_pick = currentPick();
    accept();
}

void TfrmSelectExtension::lBoxDblClick() {
    const ExtensionPick pick = currentPick();
    if (pick.several || pick.pattern.isEmpty())
        return;
    m_pick = pick;
    accept();
}

}  // namespace vantrel
