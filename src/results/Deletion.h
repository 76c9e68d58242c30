#pragma once

#include "platform/FileRecord.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

namespace vantrel {

// Deleting marked files, for good or into the trash. Paths are exact bytes;
// only a file that really went is counted, with the bytes a stat showed just
// before it was removed (0 for an entry that is not a regular file, such as
// a symbolic link, which is removed itself and never followed).

enum class DeleteMode { ForGood, ToTrash };

// What became of one path.
struct DeleteOutcome {
    QByteArray path;
    bool removed = false;
    qint64 bytes = 0;  // counted only when removed
    QString error;     // why it was not removed; empty when removed
    bool changed = false;  // left alone: not the file that was listed any more
};

// How exactly a listing knew a file's modification time.
enum class TimeResolution : quint8 {
    Exact,         // seconds and nanoseconds
    WholeSeconds,  // seconds; the nanoseconds were not kept
    PackedDate,    // only as a packed file date (packFileTime): two-second
                   // steps of local time, 0 outside 1980..2107
};

// What a file was when it was listed (or marked): a file whose size or
// modification time differs now is not deleted. The size is always
// compared exactly; the time as exactly as the listing knew it.
struct ListedState {
    qint64 size = 0;
    FileTime modified;  // Exact, WholeSeconds; not recorded: only the size is compared
    TimeResolution resolution = TimeResolution::Exact;
    quint32 packedTime = 0;  // PackedDate: the value packFileTime gave the listing

    static ListedState exact(qint64 size, const FileTime& modified) {
        return {size, modified, TimeResolution::Exact, 0};
    }
    static ListedState wholeSeconds(qint64 size, qint64 seconds) {
        return {size, FileTime{seconds, 0, true}, TimeResolution::WholeSeconds, 0};
    }
    static ListedState packedDate(qint64 size, quint32 packed) {
        return {size, FileTime{}, TimeResolution::PackedDate, packed};
    }

    // Whether a file of `nowSize` modified at `now` (as a stat gives it now)
    // is still the file listed: the same size, and a time that the listing
    // could not have told from the listed one (the same instant, the same
    // second, or the same packed value, packed as the listing packed).
    bool matches(qint64 nowSize, const FileTime& now) const;
};
using ListedStates = QHash<QByteArray, ListedState>;

// Whether `path` still has the size and modification time of `listed` (a
// path that is gone counts as unchanged: deleting it fails on its own).
bool unchangedSinceListed(const QByteArray& path, const ListedState& listed);

// The reason given for a file left alone because it changed.
QString changedSinceListedText();

// What became of a list.
struct DeleteRun {
    DeleteMode mode = DeleteMode::ForGood;
    QList<DeleteOutcome> outcomes;  // one per path tried, in the order tried
    qint64 removedCount = 0;
    qint64 removedBytes = 0;
    // Moving to the trash stops at the first path the trash refuses; the
    // paths after it are not tried (and have no outcome).
    bool stopped = false;

    QList<QByteArray> removedPaths() const;
    QList<DeleteOutcome> failures() const;
};

// Deletes one file for good. Refused (and left alone): a folder, a regular
// file whose owner has no write permission (it is treated as protected, as
// the folder deletion asks before removing one), a path that no longer
// exists, a file whose folder does not allow removing it.
DeleteOutcome deleteFileForGood(const QByteArray& path);

// Moves one file into the trash (platform/Trash.h). Refused: a folder, a
// path that no longer exists, a file the trash cannot take.
DeleteOutcome moveFileToTrash(const QByteArray& path);

// Calls made while a list is worked through: `starting(i)` before path i is
// tried, `finished(outcome)` after it. Both are optional.
struct DeleteProgress {
    std::function<void(qsizetype index)> starting;
    std::function<void(const DeleteOutcome& outcome)> finished;
};

// Works through `paths` in the given order. ForGood goes on after a
// failure; ToTrash stops at the first failure. A path of `listed` whose file
// changed since then is left alone, its outcome marked `changed`, and the
// run goes on in either mode.
DeleteRun deleteFiles(const QList<QByteArray>& paths, DeleteMode mode,
                      const DeleteProgress& progress = {}, const ListedStates& listed = {});

// `paths` sorted without regard to case (by their display text; equal texts
// keep a stable order by their bytes), the order the confirmation lists and
// deletes them in.
QList<QByteArray> sortedForDeletion(QList<QByteArray> paths);

// The question asked before anything is sent to the trash (Yes / No).
QString recycleBinNote();

// ---- Deleting a folder tree ---------------------------------------------

// A question about one entry that carries the read-only, hidden or system
// attribute (platform/FileRecord.h: faReadOnly, faHidden, faSysFile). Return
// true to remove it and go on; false (No or Cancel) cancels the whole run.
using AttributeQuestion = std::function<bool(const QByteArray& path, quint32 attribute)>;

// The text of that question: the entry's path, " is read-only, ",
// " is hidden, " or " is a system file, ", then
// "delete this file and continue deleting other files? ".
QString attributeQuestionText(const QByteArray& path, quint32 attribute);

struct FolderDeletionCallbacks {
    AttributeQuestion confirmAttribute;  // no function: every question is answered No
    std::function<void()> progress;      // after each entry, to keep a window painting
};

struct DeletionFailure {
    QByteArray path;
    QString error;
    bool folder = false;  // a folder that could not be entered or removed
};

struct FolderDeletionResult {
    qint64 files = 0;            // entries (not folders) that really went
    qint64 bytes = 0;            // their bytes
    bool finished = true;        // false when a question was answered No or Cancel
    bool folderRemoved = false;  // the folder itself is gone
    QList<DeletionFailure> failures;
};

// Empties and removes `folder`, depth first, the folder itself last. Works
// relative to open folder handles: a folder is opened without following a
// symbolic link, and its entries are examined and removed relative to it, so
// nothing outside the folder is ever touched. A symbolic link inside the
// tree is an entry of its own (a "system" entry) and is removed itself, never
// followed; `folder` itself being a link or a mount point is refused. A
// sub-folder where another file system is mounted is left alone (recorded
// in `failures`). Entries are
// visited in byte order of their names, so the questions come in the same
// order on every run. Before an entry with the read-only, hidden or system
// attribute is removed, `confirmAttribute` is asked once per attribute it
// has; a No stops the run at once on every level and leaves the rest, its
// folders included. An entry that cannot be removed is recorded in
// `failures` and not counted; its folders stay. With `recycle`, entries go
// to the trash one by one (the emptied folders are removed), and the home
// trash folder is never walked into.
FolderDeletionResult deleteFolderTree(const QByteArray& folder, bool recycle,
                                      const FolderDeletionCallbacks& callbacks);

// Removes `folder` when it is an empty folder (not a link). True when it went.
bool removeEmptyFolder(const QByteArray& folder);

// What a folder tree holds, counted the way deleteFolderTree goes through
// it, so that a confirmation can say what would go: the entries that are
// not folders (files, links, fifos, ...) with the bytes of the regular files
// among them (every name of a hard-linked file counts), and the folders
// below it. Never follows a symbolic link; a sub-folder of another file
// system or a mount is neither entered nor counted.
struct FolderTreeContents {
    qint64 files = 0;
    qint64 bytes = 0;
    qint64 folders = 0;     // sub-folders at any depth
    qint64 unreadable = 0;  // sub-folders whose listing could not be read (not counted inside)
    bool opened = false;    // the folder itself could be opened as a folder
    int error = 0;          // why not (an errno value; ELOOP for a symbolic link)
    bool cancelled = false;
};

// Counts `folder`'s tree. `cancel`, when given, is tested before every
// entry; a cancelled count returns what it had counted.
FolderTreeContents measureFolderTree(const QByteArray& folder,
                                     const std::atomic<bool>* cancel = nullptr);

// The sentence a confirmation shows about the contents: "It holds 12 files
// and 3 sub-folders, 1,234,567 bytes in all." ("at least" and how many
// sub-folders could not be read when some could not; why when the folder
// itself cannot be read).
QString folderContentsText(const FolderTreeContents& contents);

}  // namespace vantrel
