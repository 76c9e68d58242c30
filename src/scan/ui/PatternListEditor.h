#pragma once

#include "settings/IniFile.h"

#include <QDialog>
#include <QStringList>

class QBoxLayout;
class QLabel;
class QPushButton;

namespace vantrel {

class TypeListBox;

// What the editors of the pattern lists kept in the settings file share:
// the type-list editor ("File types") and the temporary-file pattern
// editor. A modal dialog with a heading, the sorted multi-select list
// PickList1 of pattern lines (pattern, tab, description) and the buttons
// "&Add", "&Delete", "&Clear all" and "Close":
//
// - Add runs the extension picker (through dialogs().exec) and adds what it
//   hands back, each line only when the list holds no equal line (compared
//   without regard to case).
// - Delete removes the selected lines; more than one only after "Really
//   delete N extensions?" is answered Yes.
// - Clear all empties the list after "Really clear out all extensions?" is
//   answered Yes.
// - Close, Esc and the close box all save the list and end the dialog with
//   Accepted: there is no way to leave without saving. When the settings
//   file cannot be written (a read-only file), nothing is lost: the user is
//   told and asked whether to close without saving; anything but Yes keeps
//   the editor open with the list as it was, to try again.
//
// A subclass says where the list is kept (readList / writeList), adds its
// own controls (buttons under the shared ones, notes under the list) and
// hears of every change of the list (listChanged). The list is read when
// the dialog is shown. Questions go through the dialogs seam.
class PatternListEditor : public QDialog {
    Q_OBJECT
public:
    // `heading`: the bold title over the list.
    explicit PatternListEditor(const QString& heading, QWidget* parent = nullptr);

    // The settings file the list is kept in (vantrel.ini unless set).
    void setSettingsFile(const IniFile& settings) { m_settings = settings; }
    const IniFile& settingsFile() const { return m_settings; }

    // Whether the list was saved when the dialog last closed (false when the
    // user chose to close without saving).
    [[nodiscard]] bool saved() const { return m_saved; }

    // Reads the list and shows it (when the dialog is shown).
    void FormShow();
    void btAddClick();
    void btDeleteClick();
    void btClearClick();
    // Saves the list and ends the dialog (see above for a failed save).
    void btCloseClick();

    // Adds a line unless the list holds an equal one; true when added.
    bool addLine(const QString& line);

    // Closing by Esc or the close box saves like Close does.
    void reject() override;

    QLabel* lblHeading = nullptr;
    TypeListBox* PickList1 = nullptr;
    QPushButton* btAdd = nullptr;
    QPushButton* btDelete = nullptr;
    QPushButton* btClear = nullptr;
    QPushButton* btClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

    // The list as stored.
    [[nodiscard]] virtual QStringList readList() const = 0;
    // Stores `lines`; false when the settings file cannot be written.
    virtual bool writeList(const QStringList& lines) = 0;
    // Called after the list was read and after every change of it.
    virtual void listChanged() {}

    // Where a subclass puts its own controls: a button under "&Clear all"
    // (above "Close"), a widget under the list, a note at the bottom.
    void addButton(QPushButton* button);
    void addUnderList(QWidget* widget);
    void addNote(QWidget* note);

    IniFile& settings() { return m_settings; }

private:
    IniFile m_settings;
    QBoxLayout* m_buttons = nullptr;
    QBoxLayout* m_listColumn = nullptr;
    QBoxLayout* m_notes = nullptr;
    int m_nextButton = 0;
    bool m_saved = false;
};

}  // namespace vantrel
