#include "scan/ui/TfrmWildCard.h"

#include "scan/Extensions.h"
#include "scan/ui/WildcardCombo.h"
#include "settings/ui/WinPlace.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vantrel {

TfrmWildCard::TfrmWildCard(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmWildCard"));
    setWindowTitle(QStringLiteral("Wildcard pattern"));

    auto* prompt = new QLabel(QStringLiteral("Change the wildcard matching pattern:"), this);
    cbWildCard = new WildcardCombo(this);
    cbWildCard->setObjectName(QStringLiteral("cbWildCard"));
    prompt->setBuddy(cbWildCard);
    lblWild = new QLabel(this);
    lblWild->setObjectName(QStringLiteral("lblWild"));
    lblType = new QLabel(this);
    lblType->setObjectName(QStringLiteral("lblType"));
    const int labelWidth = fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40;
    lblType->setMinimumWidth(labelWidth);

    btOK = new QPushButton(QStringLiteral("OK"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));

    auto* form = new QGridLayout;
    form->addWidget(prompt, 0, 0, 1, 2);
    form->addWidget(cbWildCard, 1, 0);
    form->addWidget(lblWild, 1, 1);
    form->addWidget(lblType, 2, 0, 1, 2);
    form->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cbWildCard, &WildcardCombo::wildcardChanged, this, &TfrmWildCard::cbWildCardClick);
    connect(cbWildCard, &QComboBox::activated, this, &TfrmWildCard::cbWildCardClick);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmWildCard::setWildcard(const QString& pattern) {
    cbWildCard->setWildcard(pattern);
}

QString TfrmWildCard::wildcard() const {
    return cbWildCard->wildcard();
}

void TfrmWildCard::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmWildCard::FormShow() {
    if (!cbWildCard->isFilled())
        cbWildCard->fillCatalogue();
    cbWildCardClick();
    centreOnScreen(*this);
    cbWildCard->setFocus();
}

void TfrmWildCard::cbWildCardClick() {
    const QString text = cbWildCard->currentText();
    lblWild->setText(text == QStringLiteral("*.*") ? QStringLiteral("All files") : QString());
    lblType->setText(wildcardTypeText(text));
}

}  // namespace vantrel
