#pragma once

#include "settings/IniFile.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace vantrel {

class TypeListBox;

// "File types": the editor of one type list (section Include or Exclude of
// the settings file). It reads the section when shown and writes it back
// whenever it closes, by Close, Esc or the window's close box; there is no
// way to leave without saving. Questions go through the dialogs seam; the
// extension picker is run through dialogs().exec().
class TfrmStatList : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStatList(QWidget* parent = nullptr);

    void setSection(const QString& section) { m_section = section; }
    const QString& section() const { return m_section; }
    void setSettingsFile(const IniFile& settings) { m_settings = settings; }

    void FormShow();
    void btAddClick();
    void btDeleteClick();
    void btClearClick();
    void btCloseClick();
    void refreshCount();

    // Closing by Esc or the close box saves like Close does.
    void reject() override;

    QLabel* lblCount = nullptr;
    TypeListBox* PickList1 = nullptr;
    QPushButton* btAdd = nullptr;
    QPushButton* btDelete = nullptr;
    QPushButton* btClear = nullptr;
    QPushButton* btClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    IniFile m_settings;
    QString m_section;
};

}  // namespace vantrel
