#pragma once

#include <QByteArray>
#include <QDialog>

class QLabel;
class QPushButton;

namespace vantrel {

// "Delete directory, sub-directories and all files": asks how a folder is
// to be deleted. "&Delete folder" closes with Accepted and recycle() false;
// "&Send files to recycle bin" asks the recycle-bin note and on Yes closes
// with Accepted and recycle() true (No leaves it open); Cancel, Escape or the
// close box: Rejected. Deletes nothing itself. Run it through dialogs().exec().
class TfrmDelDirectory : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDelDirectory(const QByteArray& folder, QWidget* parent = nullptr);

    const QByteArray& folder() const { return m_folder; }
    // The folder's full path as shown (lblDirectory shortens it in the
    // middle when it is wider than the window; its tooltip holds it whole).
    QString directoryText() const { return m_directoryText; }
    bool recycle() const { return m_recycle; }

    void FormShow();
    void btDeleteClick();
    void btRecycleClick();

    QLabel* lblDirectory = nullptr;
    QPushButton* btDelete = nullptr;
    QPushButton* btRecycle = nullptr;
    QPushButton* btCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitDirectoryText();

    QByteArray m_folder;
    QString m_directoryText;
    bool m_recycle = false;
};

}  // namespace vantrel
