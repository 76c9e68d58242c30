#pragma once

#include <QProxyStyle>

class QApplication;

namespace vantrel {

// The program's hint (tooltip) settings: hints on, a pure yellow background
// and a delay of one second before a hint appears.
constexpr int kHintDelayMs = 1000;

// The application style with the hint delay.
class HintStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

// Installs the hint settings on the application: the style (wrapping the
// current one, once) and the yellow hint palette. Safe to call again.
void applyHintSettings();

}  // namespace vantrel
