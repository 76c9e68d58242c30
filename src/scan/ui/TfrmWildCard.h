#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vantrel {

class WildcardCombo;

// "Wildcard pattern": lets the user change the wildcard of a file listing.
// The caller sets the pattern, runs the dialog through dialogs().exec() and,
// on Accepted, reads wildcard(). lblWild says "All files" for "*.*";
// lblType describes the pattern's type.
class TfrmWildCard : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWildCard(QWidget* parent = nullptr);

    void setWildcard(const QString& pattern);
    QString wildcard() const;

    void FormShow();
    void cbWildCardClick();

    WildcardCombo* cbWildCard = nullptr;
    QLabel* lblWild = nullptr;
    QLabel* lblType = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace vantrel
