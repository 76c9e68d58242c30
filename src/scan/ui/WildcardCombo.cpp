#include "scan/ui/WildcardCombo.h"

#include "scan/Extensions.h"

#include <QLabel>
#include <QLineEdit>

namespace vantrel {

WildcardCombo::WildcardCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(14);
    setMinimumContentsLength(12);
    setToolTip(QStringLiteral("Wildcard pattern for matching file types"));
    // Typed text must not be completed into a catalogue entry behind the user's back.
    setCompleter(nullptr);
    setEditText(QStringLiteral("*.*"));
    connect(this, &QComboBox::editTextChanged, this, &WildcardCombo::updateDescription);
}

void WildcardCombo::setDescriptionLabel(QLabel* label) {
    m_label = label;
    updateDescription(currentText());
}

void WildcardCombo::setWildcard(const QString& pattern) {
    if (pattern != currentText())
        setEditText(pattern);
    else
        updateDescription(pattern);  // keeps the label right even when nothing changed
}

void WildcardCombo::fillCatalogue() {
    const QString text = currentText();
    blockSignals(true);
    clear();
    addItems(registryExtensions(m_withAll));
    setEditText(text);
    blockSignals(false);
    m_filled = true;
}

void WildcardCombo::showEvent(QShowEvent* event) {
    if (!m_filled)
        fillCatalogue();
    QComboBox::showEvent(event);
}

void WildcardCombo::updateDescription(const QString& text) {
    if (m_label)
        m_label->setText(wildcardDescription(text));
    Q_EMIT wildcardChanged(text);
}

}  // namespace vantrel
