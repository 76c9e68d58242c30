#pragma once

#include <QComboBox>
#include <QPointer>

class QLabel;

namespace vantrel {

// The editable wildcard drop-down (cbWildCard) of the search tools: "*.*" at
// first; when it is first shown its list becomes the extension catalogue
// ("*.*" first unless setIncludeAll(false)), keeping the text. With a
// description label set, every change of the text sets the label to
// wildcardDescription(text): "All files" for "*.*", otherwise the
// description of the text without its first character. The label is not
// owned.
class WildcardCombo : public QComboBox {
    Q_OBJECT
public:
    explicit WildcardCombo(QWidget* parent = nullptr);

    void setIncludeAll(bool withAll) { m_withAll = withAll; }
    void setDescriptionLabel(QLabel* label);

    QString wildcard() const { return currentText(); }
    void setWildcard(const QString& pattern);

    // Fills the list with the catalogue now (once is enough; later calls
    // refill it). The text stays as it was.
    void fillCatalogue();
    bool isFilled() const { return m_filled; }

Q_SIGNALS:
    // The text changed, by typing or by choosing an entry.
    void wildcardChanged(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updateDescription(const QString& text);

    QPointer<QLabel> m_label;
    bool m_withAll = true;
    bool m_filled = false;
};

}  // namespace vantrel
