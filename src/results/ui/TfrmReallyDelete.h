#pragma once

#include "results/Deletion.h"

#include <QByteArray>
#include <QDialog>
#include <QList>

class QFrame;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace vantrel {

// "Delete/rename the following files:": the confirmation for a tool's marked
// files. It lists the paths (sorted without regard to case; deletion runs
// in that order) with the marked byte total, and deletes them for good
// ("&Delete all files", after "Really delete?") or sends them to the trash
// ("&Send to recycle bin", after the recycle-bin note). A path that cannot
// be deleted is reported with the reason ("Couldn't delete file - " + path +
// " (Permission denied)") and the rest go on; the trash stops at the first
// file it refuses, whose path and reason follow its message. The savings totals grow
// by what really went, then the window closes with Accepted. Cancel or the
// close box: Rejected, nothing deleted. Run it through dialogs().exec().
class TfrmReallyDelete : public QDialog {
    Q_OBJECT
public:
    // `paths`: the marked paths (exact bytes); `total`: the marked byte total.
    TfrmReallyDelete(const QList<QByteArray>& paths, qint64 total, QWidget* parent = nullptr);

    // The paths in the order listed and deleted.
    const QList<QByteArray>& paths() const { return m_paths; }
    qint64 total() const { return m_total; }

    // After the window closed: which paths went and how.
    const DeleteRun& run() const { return m_run; }
    QList<QByteArray> removedPaths() const { return m_run.removedPaths(); }
    bool recycled() const { return m_ran && m_run.mode == DeleteMode::ToTrash; }

    // Groups of copies (duplicates): before deleting, when every path of
    // some group is listed, the user is warned and asked whether to go on.
    void setGroups(const QList<QList<QByteArray>>& groups) { m_groups = groups; }
    // What the files were when they were listed (or marked): one that
    // changed since is not deleted, and the window says so.
    void setListedStates(const ListedStates& states) { m_listed = states; }

    void FormShow();
    void btDeleteAllClick();
    void btRecycleClick();

    QFrame* Panel2 = nullptr;
    QLabel* lblDelete = nullptr;
    QListWidget* lb1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblSavings = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* btDelete = nullptr;
    QPushButton* btRecycle = nullptr;
    QPushButton* btClose = nullptr;
    QProgressBar* bar = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void fillList();
    void runDeletion(DeleteMode mode);
    // True when no group is listed in full, or the user goes on anyway.
    bool lastCopiesConfirmed();

    QList<QByteArray> m_paths;
    QList<QList<QByteArray>> m_groups;
    ListedStates m_listed;
    qint64 m_total = 0;
    DeleteRun m_run;
    bool m_ran = false;
    bool m_running = false;
};

// What a tool learns from the confirmation.
struct MarkedDeletion {
    bool shown = false;     // false: there was nothing marked
    bool accepted = false;  // the window closed with OK (files were worked through)
    bool recycled = false;
    QList<QByteArray> removed;  // the paths that really went
    qint64 removedBytes = 0;
};

// A tool's Delete button: with no marked path nothing happens; otherwise the
// confirmation runs modally over `parent` with the marked paths and total.
MarkedDeletion deleteMarkedFiles(const QList<QByteArray>& markedPaths, qint64 markedBytes,
                                 QWidget* parent);

class ResultGridModel;
// The same for a grid's marked files: files that changed since their tool
// listed them (ResultGridModel::markedStates) are left alone, and `groups`
// (groups of copies) are guarded.
MarkedDeletion deleteMarkedFiles(const ResultGridModel& model, QWidget* parent,
                                 const QList<QList<QByteArray>>& groups = {});

}  // namespace vantrel
