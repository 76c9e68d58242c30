#pragma once

#include <QLabel>

namespace vantrel {

// A one-line label for texts that may be longer than the room it has, such
// as folder paths: when the text does not fit, it is shown shortened in the
// middle with "…" (both ends stay readable), and its tool tip is the whole
// text. text() is always the whole text, so code that compares or copies
// labels never sees the shortened form.
//
// Works however the text is set (also through a QLabel pointer): the
// shortening is worked out when the label is painted or asked for its tool
// tip. Only plain, single-line text is shortened; a tool tip set on the label
// shows while the whole text fits. The label asks for no more width than a
// few characters, so that a long text never widens its window.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // Whether the text is wider than the room for it now.
    [[nodiscard]] bool isElided() const;
    // The text as the label shows it now.
    [[nodiscard]] QString shownText() const;

    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    [[nodiscard]] QRect textRect() const;
};

}  // namespace vantrel
