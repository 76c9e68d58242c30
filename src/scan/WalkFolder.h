#pragma once

#include "platform/FileRecord.h"
#include "scan/Walker.h"

#include <QByteArray>

#include <sys/stat.h>

#include <atomic>
#include <memory>
#include <vector>

namespace vantrel {

// One folder of a walk as it is read ahead of the visitor: its sorted
// listing and the looks at its entries, made by whichever thread reads it,
// so that the walk can hand them on later, in order, exactly as if it had
// made them itself at that moment. Internal to the walk.
//
// A folder is reached by its path, never through a folder kept open by its
// parent, so a walk holds no open folder per level; the folder found at the
// path is read only if it is the one its parent listed (same device and
// inode), so a folder swapped for another meanwhile is not entered.

// An entry of a folder listing: where its name lies in the name buffer, and
// its kind as the listing reports it (DT_*), or as a look resolved it.
struct ListedEntry {
    quint32 offset;
    quint16 length;
    quint8 type;
};

// Marks an entry that turned out gone while its kind was being resolved.
constexpr quint8 kGone = 0xFF;

// The looks made at one entry. Error numbers are errno values; 0 is none.
struct EntryLook {
    int kindError = 0;  // resolving an unknown kind failed (the type is kGone)
    int folderError = 0;  // the look at a sub-folder failed
    bool folderLooked = false;  // the look at a sub-folder was made
    bool isFolder = false;      // what the look found
    quint64 device = 0;
    quint64 inode = 0;
    qint32 child = -1;   // index into WalkFolder::children: the sub-folder to enter
    qint32 record = -1;  // index into WalkFolder::records
    int recordError = 0;  // the look for the entry's record failed
};

// What every reader of a walk shares.
struct WalkContext {
    const WalkOptions* options = nullptr;
    quint32 excluded = 0;  // mask bits that exclude an entry
    quint64 rootDevice = 0;
    bool kindsIgnored = false;
    // Reading stops part way when either is set.
    const std::atomic<bool>* aborted = nullptr;
    const std::atomic<bool>* stopped = nullptr;

    bool stopRequested() const {
        return aborted->load(std::memory_order_relaxed) ||
               stopped->load(std::memory_order_relaxed);
    }
    // Whether sub-folders at `depth` + 1 are entered at all.
    bool descendsFrom(int depth) const {
        return options->maxDepth < 0 || depth < options->maxDepth;
    }
    // Whether the entry is one to be handed on, as far as its name and
    // listed kind tell; resolved kinds of kGone are never.
    bool wanted(const char* name, const ListedEntry& e) const;
};

struct WalkFolder : std::enable_shared_from_this<WalkFolder> {
    enum class State { Pending, Reading, Read };

    QByteArray path;  // exact bytes, no trailing "/" (but "/" itself)
    int depth = 0;
    quint64 device = 0;  // the identity its parent's look found
    quint64 inode = 0;
    std::shared_ptr<WalkFolder> parent;  // for the loop test of readers

    // Guarded by the walk's pool.
    State state = State::Pending;
    bool cancelled = false;  // no longer wanted: dropped when met
    bool counted = false;    // read ahead: counts against the pool's bound

    // The outcome of reading, valid once read.
    int fd = -1;           // kept open by a one-thread walk, else -1
    // Every kAnchorLevels levels a folder stays open until it is released, so
    // that the folders below it are opened by a short path relative to it.
    std::atomic<int> anchor{-1};
    static constexpr int kAnchorLevels = 16;
    int openError = 0;     // the folder could not be opened (or was another)
    int readError = 0;     // reading the listing failed part way
    bool complete = false;       // read to the end (not stopped part way)
    bool entriesLooked = false;  // the records of the wanted entries are made
    std::vector<char> names;     // NUL-terminated names, back to back
    std::vector<ListedEntry> entries;
    std::vector<EntryLook> looks;
    std::vector<FileRecord> records;
    std::vector<std::shared_ptr<WalkFolder>> children;

    // Opens the folder (or takes `fd`), reads and sorts its listing,
    // resolves unknown kinds and looks at the sub-folders to be entered
    // (creating a child for each one on the root's file system that is not
    // one of its own parents); with `lookAtEntries` also makes the records
    // of the entries to be handed on, unless the folder holds more than
    // `lookLimit` entries. Closes the folder unless `keepOpen`. `buffer` is
    // scratch space of the calling thread.
    void read(const WalkContext& context, std::size_t lookLimit, bool keepOpen,
              std::vector<char>& buffer);

    WalkFolder() = default;
    ~WalkFolder();
    WalkFolder(const WalkFolder&) = delete;
    WalkFolder& operator=(const WalkFolder&) = delete;

    // Opens the folder again, relative to the nearest parent kept open.
    [[nodiscard]] int open() const;
    // Frees the listing and the looks, closes the folder.
    void release();
    // Entries the folder holds in memory, for the pool's bound.
    std::size_t heldEntries() const { return entries.size(); }
};

// Opens the folder at `path` (relative to the open folder `base`, or to the
// current folder with AT_FDCWD) without following a final symbolic link,
// also past PATH_MAX; -1 with errno set when it fails, and with ENOENT when
// what is there now is not the folder (device, inode).
int openFolderAt(int base, const QByteArray& path, quint64 device, quint64 inode);

// The device number of a statx result, as FileRecord keeps it.
quint64 deviceOf(const struct ::statx& sx);

}  // namespace vantrel
