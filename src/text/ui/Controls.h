#pragma once

#include <QString>

class QPushButton;
class QWidget;

namespace vantrel {

// A push button as the tool windows make them: named (tests and placement
// find it by `name`), with `hint` as its tool tip when given, and never
// auto-default, so Enter in a field does not press whichever button last
// had the focus.
QPushButton* pushButton(const QString& text, const char* name, const QString& hint,
                        QWidget* parent);

}  // namespace vantrel
