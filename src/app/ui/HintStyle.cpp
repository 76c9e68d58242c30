#include "app/ui/HintStyle.h"

#include <QApplication>
#include <QPalette>
#include <QToolTip>

namespace vantrel {

int HintStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                         QStyleHintReturn* returnData) const {
    if (hint == SH_ToolTip_WakeUpDelay)
        return kHintDelayMs;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void applyHintSettings() {
    if (!qobject_cast<HintStyle*>(QApplication::style())) {
        // A proxy of the style in use; QApplication takes ownership.
        QApplication::setStyle(new HintStyle(QApplication::style()->name()));
    }
    QPalette palette = QToolTip::palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::ToolTipBase, QColor(255, 255, 0));
        palette.setColor(group, QPalette::ToolTipText, QColor(0, 0, 0));
    }
    QToolTip::setPalette(palette);
}

}  // namespace vantrel
