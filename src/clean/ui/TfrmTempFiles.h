#pragma once

#include "scan/ui/PatternListEditor.h"

class QLabel;
class QPushButton;

namespace vantrel {

// "Temporary file extensions": the editor of quick clean's pattern list
// (section TempFiles of the settings file), opened by the search window's
// "Add/Delete". The user adds extensions through the extension picker,
// deletes selected lines, clears the list, or lets "D&efaults" add the six
// default patterns that the list lacks (nothing is removed). Close, Esc and
// the close box always save (PatternListEditor: a save that fails asks
// before anything is lost).
//
// Two notes stand under the list. A pattern whose extension key can match
// no file ("*" gives the empty key, which would match every name without a
// point) is left out by the search; while the list holds such patterns a
// third note names them.
class TfrmTempFiles : public PatternListEditor {
    Q_OBJECT
public:
    explicit TfrmTempFiles(QWidget* parent = nullptr);

    void btDefaultsClick();

    QPushButton* btDefaults = nullptr;
    QLabel* lblNote1 = nullptr;
    QLabel* lblNote2 = nullptr;
    QLabel* lblSkipped = nullptr;  // hidden while every pattern can match

protected:
    QStringList readList() const override;
    bool writeList(const QStringList& lines) override;
    void listChanged() override;
};

}  // namespace vantrel
