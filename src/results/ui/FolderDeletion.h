#pragma once

#include "results/Deletion.h"
#include "results/FolderProtection.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QWidget;

namespace vantrel {

// How a request to delete a folder ended.
enum class FolderDeletionStatus {
    Refused,       // a root or system folder: the refusal was shown, nothing done
    NotConfirmed,  // the confirmation window was cancelled
    RemovedEmpty,  // the folder was empty and was removed at once (no message, no totals)
    Finished,      // the tree deletion ran to its end (failures may still have left some)
    Cancelled,     // an attribute question was answered No or Cancel
};

struct FolderDeletionOutcome {
    FolderDeletionStatus status = FolderDeletionStatus::Refused;
    bool recycled = false;      // the user chose the trash
    FolderDeletionResult tree;  // what the tree deletion did (Finished / Cancelled)

    // True when the folder is gone: removed empty, or emptied and removed.
    bool folderGone() const {
        return status == FolderDeletionStatus::RemovedEmpty || tree.folderRemoved;
    }
};

// Deletes a folder the way the folder browser and the folder-hogs tool
// both do: the protections (root message worded for `caller`), the
// confirmation window (TfrmDelDirectory), then an attempt to remove it as an
// empty folder, and otherwise the tree deletion with its attribute
// questions (Yes / No / Cancel) asked over `parent`. Afterwards, when files
// went: the savings totals grow (files sent to the trash as recycled,
// others as deleted) and infoBox shows "Deleted " or "Recycled " + count +
// " files for a savings of " + bytes + " bytes." with the cancellation note
// when a question stopped the run; entries that could not be removed are
// listed in one alertBox. The window stays painted while the tree goes.
// The caller does its own preconditions before and its own refresh after.
FolderDeletionOutcome deleteFolderInteractively(const QByteArray& folder, FolderDeleteCaller caller,
                                                QWidget* parent);

// The summary text of a tree deletion that removed `files` files.
QString folderDeletionSummary(bool recycled, qint64 files, qint64 bytes, bool finished);

// The text listing entries that could not be removed ("Couldn't delete file
// - path (reason)" per line, at most `limit` lines, then "... and N more").
QString failureListText(const QList<DeletionFailure>& failures, int limit = 10);

}  // namespace vantrel
