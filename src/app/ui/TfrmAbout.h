#pragma once

#include <QDialog>

namespace vantrel {

// The about box: the program's icon, name, version and maker and what it is
// for, with one OK button (default and cancel button both).
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
};

}  // namespace vantrel
