#pragma once

#include "scan/ui/PatternListEditor.h"

class QLabel;

namespace vantrel {

// "File types": the editor of one type list (section Include or Exclude of
// the settings file), with the count of its lines under the list ("12
// available"). It reads the section when shown and writes it back whenever
// it closes, by Close, Esc or the window's close box; there is no way to
// leave without saving (PatternListEditor tells what a failed save does).
class TfrmStatList : public PatternListEditor {
    Q_OBJECT
public:
    explicit TfrmStatList(QWidget* parent = nullptr);

    void setSection(const QString& section) { m_section = section; }
    const QString& section() const { return m_section; }

    void refreshCount();

    QLabel* lblCount = nullptr;

protected:
    QStringList readList() const override;
    bool writeList(const QStringList& lines) override;
    void listChanged() override { refreshCount(); }

private:
    QString m_section;
};

}  // namespace vantrel
