#include "text/ui/Controls.h"

#include <QPushButton>

namespace vantrel {

QPushButton* pushButton(const QString& text, const char* name, const QString& hint,
                        QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    if (!hint.isEmpty())
        b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

}  // namespace vantrel
