#pragma once

#include "scan/TypeLists.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidgetItem;
class QPushButton;

namespace vantrel {

class TypeListBox;
class WildcardCombo;

// "Select a file extension": the user types one extension into Edit1 or
// selects one or many known types in lBox. Run it through dialogs().exec();
// after Accepted, pick() says what was chosen: several selected lines, or
// one pattern with its description (an empty pattern means nothing to add;
// ExtensionPick::linesToAdd() applies that rule).
//
// OK always closes with Accepted; a double click in the list closes only
// when it yields one pattern. The drop-down cbWildCard looks up a type's
// description; choosing an entry in it also puts that entry into Edit1.
class TfrmSelectExtension : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectExtension(QWidget* parent = nullptr);

    ExtensionPick pick() const { return m_pick; }

    void FormShow();
    void cbWildCardChange();
    void lBoxClick();
    void BitBtn1Click();
    void lBoxDblClick();

    WildcardCombo* cbWildCard = nullptr;
    QLabel* lblWild = nullptr;
    QLineEdit* Edit1 = nullptr;
    TypeListBox* lBox = nullptr;
    QPushButton* BitBtn1 = nullptr;  // OK
    QPushButton* BitBtn2 = nullptr;  // Cancel

protected:
    void showEvent(QShowEvent* event) override;

private:
    ExtensionPick currentPick() const;

    QStringList m_catalogue;  // lBox's patterns, in lBox's order
    ExtensionPick m_pick;
    bool m_shown = false;
};

}  // namespace vantrel
