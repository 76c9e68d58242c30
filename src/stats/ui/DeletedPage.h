#pragma once

#include "settings/IniFile.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vantrel {

// The "Deleted" page: the running totals of the files deleted for good and
// sent to the trash, as the deletion window keeps them in the settings file,
// with the day counting began; "Reset these numbers" starts counting again.
// Figures are 64-bit. A reset that cannot be written says so, and the page
// shows what the file still holds.
class DeletedPage : public QWidget {
    Q_OBJECT
public:
    explicit DeletedPage(QWidget* parent = nullptr);

    void setSettingsFile(const IniFile& settings) { m_settings = settings; }

    // Reads the totals afresh and shows them ("n/a" for what was not counted).
    void showFilesDeleted();
    // Asks "Reset cumulative totals?" and on Yes writes -1 to every total.
    void Button1Click();

    QLineEdit* edNdelete = nullptr;
    QLineEdit* edSzDelete = nullptr;
    QLineEdit* edNWaste = nullptr;
    QLineEdit* edSzWaste = nullptr;
    QLabel* lblSince1 = nullptr;
    QPushButton* Button1 = nullptr;

private:
    IniFile m_settings;
};

}  // namespace vantrel
