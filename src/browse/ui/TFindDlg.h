#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace vantrel {

// "Find": the search text and its options. The program has one find dialog,
// so that every viewer window starts from the last search. Start-up creates
// it and installs it; until then instance() makes one on first use.
class TFindDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFindDlg(QWidget* parent = nullptr);
    ~TFindDlg() override;

    // The program's find dialog. install() hands over the one start-up made
    // (the caller keeps ownership and must keep it alive while viewers run;
    // nullptr uninstalls). Without an installed one, instance() creates one
    // on first use, which lives until the application quits.
    static void install(TFindDlg* dialog);
    static TFindDlg& instance();

    QString text() const;
    bool backward() const;
    bool matchCase() const;
    bool globalSearch() const;

    QLineEdit* Edit1 = nullptr;            // in "&Search Text"
    QRadioButton* RadioButton1 = nullptr;  // "Search &Forward" (checked)
    QRadioButton* RadioButton2 = nullptr;  // "Search &Backward"
    QCheckBox* CheckBox1 = nullptr;        // "&Match Case"
    QCheckBox* CheckBox2 = nullptr;        // "&Global Search"

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace vantrel
