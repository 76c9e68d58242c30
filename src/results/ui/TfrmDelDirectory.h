#pragma once

#include "results/Deletion.h"

#include <QByteArray>
#include <QDialog>

#include <atomic>
#include <thread>

class QLabel;
class QPushButton;

namespace vantrel {

// "Delete directory, sub-directories and all files": asks how a folder is
// to be deleted. "&Delete folder" closes with Accepted and recycle() false;
// "&Send files to recycle bin" asks the recycle-bin note and on Yes closes
// with Accepted and recycle() true (No leaves it open); Cancel, Escape or the
// close box: Rejected. Deletes nothing itself. Run it through dialogs().exec().
//
// Under the folder's name it says what the whole tree holds (files, sub-
// folders, bytes: measureFolderTree), so that nobody deletes a tree thinking
// of the few files a list showed for the folder itself. The count runs on a
// thread of its own from the moment the window is made ("Counting what it
// holds ..." meanwhile); the window answers at once whatever the count is
// doing, and closing it (with any answer) stops the count.
class TfrmDelDirectory : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDelDirectory(const QByteArray& folder, QWidget* parent = nullptr);
    ~TfrmDelDirectory() override;

    const QByteArray& folder() const { return m_folder; }
    // The folder's full path as shown (lblDirectory shortens it in the
    // middle when it is wider than the window; its tooltip holds it whole).
    QString directoryText() const { return m_directoryText; }
    bool recycle() const { return m_recycle; }
    // Whether the count of the tree is in, and what it found.
    bool contentsCounted() const { return m_counted; }
    const FolderTreeContents& contents() const { return m_contents; }

    void FormShow();
    void btDeleteClick();
    void btRecycleClick();

    QLabel* lblDirectory = nullptr;
    QLabel* lblContents = nullptr;
    QPushButton* btDelete = nullptr;
    QPushButton* btRecycle = nullptr;
    QPushButton* btCancel = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitDirectoryText();
    void contentsCountedAs(const FolderTreeContents& contents);

    QByteArray m_folder;
    QString m_directoryText;
    bool m_recycle = false;
    FolderTreeContents m_contents;
    bool m_counted = false;
    std::atomic<bool> m_stopCounting{false};
    std::thread m_counter;  // the count; stopped and joined by the destructor
};

}  // namespace vantrel
