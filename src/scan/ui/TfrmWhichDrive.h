#pragma once

#include "scan/DriveList.h"
#include "settings/IniFile.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace vantrel {

class DriveCheckList;
class TypeListBox;

// "Which drives and file types?": a three-page wizard for the statistics
// tool. Page 1 ticks drives; page 2 chooses all files, only the selected
// types, or all files except the selected types ("&All files" ends the
// wizard at once with Accepted); page 3 ticks types from the Include or
// Exclude list and opens the list editor ("&Add/Delete"). Run it through
// dialogs().exec(); after Accepted read choice().
class TfrmWhichDrive : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWhichDrive(QWidget* parent = nullptr);

    void setSettingsFile(const IniFile& settings);

    // Valid after the wizard closed with Accepted.
    DriveTypeChoice choice() const;
    int currentPage() const;  // 0, 1 or 2

    void FormShow();
    void pckDriveClick();
    void btNext1Click();
    void btNext2Click();
    void btPrev2Click();
    void btPrev3Click();
    void PickList1Click();
    void btAddDeleteClick();
    void btOKClick();

    // Page 1
    DriveCheckList* pckDrive = nullptr;
    QPushButton* btNext1 = nullptr;
    QPushButton* btCancel = nullptr;
    // Page 2
    QRadioButton* rbAll = nullptr;
    QRadioButton* rbInclude = nullptr;
    QRadioButton* rbExclude = nullptr;
    QPushButton* btPrev2 = nullptr;
    QPushButton* btNext2 = nullptr;
    // Page 3
    QLabel* lblSelect = nullptr;
    QLabel* lblOf = nullptr;
    TypeListBox* PickList1 = nullptr;
    QPushButton* btAddDelete = nullptr;
    QPushButton* btPrev3 = nullptr;
    QPushButton* btOK = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString typeSection() const;
    void loadTypes();
    void showPage(int page);
    void updateCount();

    IniFile m_settings;
    QStackedWidget* m_pages = nullptr;
    bool m_allFiles = true;
    bool m_include = false;
    bool m_exclude = false;
};

}  // namespace vantrel
