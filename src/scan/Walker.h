#pragma once

#include "platform/Drives.h"
#include "platform/FileRecord.h"
#include "scan/ScanProgress.h"
#include "scan/Wildcard.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

namespace vantrel {

// The one folder walk that every search tool runs, configured per tool.
//
// Order: a folder's sub-folders are walked first, depth first, in bytewise
// order of their names; then the folder's own entries are handed on, in
// bytewise order of their names. So the deepest folders come first and the
// root comes last, and the order never depends on the order in which the
// file system lists a folder.
//
// What is never done (unless the options say otherwise): entering a hidden
// folder (name with a leading dot). What is never done at all: entering a
// folder on another file system than the root's, entering the
// same folder twice along one path (a bind-mount loop), following a
// symbolic link, opening anything but a folder (fifos, sockets and devices
// are only looked at). The root itself is opened as named, so a root given
// as a path through a symbolic link is walked.
//
// One walker walks each folder at most once, whatever its roots: it keeps
// the identity (device, inode) of every folder it has walked, and neither
// enters a sub-folder nor walks a root that it has walked already (a root
// inside an earlier root, the same root given twice, a folder that a bind
// mount shows a second time). So no entry is handed on twice. Whichever
// root comes first is walked and the other skips what it holds: with the
// roots {tree/Photos, tree}, tree/Photos is walked first and tree then
// leaves it out. A root inside a hidden folder of another root was never
// walked and so is walked as a root.
//
// Threads: folders are listed and their entries looked at by a few threads
// ahead of the walk (see WalkOptions::threads), with a bound on what is held
// ahead; the visitor sees the same calls in the same order on the calling
// thread whatever their number. No folder is kept open per level: each is
// opened by its path, and read only if it is still the folder its parent
// listed (device, inode), so trees of any depth are walked with few files
// open. What a visitor changes in the tree while it is called may or may not
// be seen by the walk (it may have looked already), unless it has one thread.
//
// Failures are data: a folder that cannot be opened or read is recorded as
// a WalkError and skipped, and the walk goes on. Entries that disappear
// between the listing and the look at them are counted as vanished, not as
// errors.

// Which entries of a folder listing are handed on besides plain files: any
// of faHidden, faSysFile and faDirectory. An entry that carries one of
// these bits that the mask lacks is skipped. Examples: the duplicates tool
// uses 0, quick clean faHidden, folder hogs and statistics all three.
constexpr quint32 kWalkMaskBits = faHidden | faSysFile | faDirectory;

struct WalkOptions {
    Wildcard pattern;         // names of the entries handed on ("*.*" by default)
    quint32 includeMask = 0;  // see kWalkMaskBits
    // Deepest level of folders entered: -1 for the whole tree, 0 for the
    // root's own entries only, 1 for the root and its direct sub-folders, ...
    int maxDepth = -1;
    // Enter hidden folders too. The tools that list files for deletion keep
    // out of them (they hold live application data); the tools that measure
    // space enter them, so that ~/.cache and .git count where they lie.
    bool enterHiddenFolders = false;
    // A test of an entry's name, made before the entry is looked at, so that
    // a name that cannot be wanted costs no stat (quick clean wants a few
    // extensions out of every name). Applied after the mask and the pattern
    // to the entries that would be handed on, never to the folders walked.
    // Called on the threads that read folders, several at once: it must not
    // change shared state. Empty: every name passes.
    std::function<bool(const char* name, qsizetype length)> nameTest{};
    // Threads that read folders and look at entries ahead of the visitor: 0
    // for the default (the environment variable VANTREL_WALK_THREADS, else
    // two a processor, 2 to 16), 1 for a walk on the calling thread alone.
    int threads = 0;
};

constexpr int kMaxWalkThreads = 64;

// The number of threads a walk with these options uses (see
// WalkOptions::threads); 1 means no thread besides the calling one.
int walkThreadCount(const WalkOptions& options);

struct WalkError {
    enum class Kind {
        DriveNotOpened,   // the root of a drive could not be opened
        FolderNotOpened,  // a sub-folder could not be opened (permissions, too many open files)
        FolderNotRead,    // reading a folder's listing failed part way
        EntryNotRead,     // an entry was listed but could not be looked at
        FolderLoop,       // a folder that is also one of its own parents (bind mounts)
    };
    Kind kind = Kind::FolderNotOpened;
    QByteArray path;  // exact bytes of the folder or entry; a drive's root
    int errorNumber = 0;
    QString driveText;  // DriveNotOpened: the drive list text of the drive

    // "Can't open drive " followed by the drive text for a drive; otherwise
    // the path (as display text), a colon and the system's error text.
    [[nodiscard]] QString message() const;
};

struct WalkReport {
    qint64 folders = 0;           // folders whose listing was read
    qint64 entries = 0;           // entries listed in them
    qint64 handedOn = 0;          // entries handed to the visitor
    qint64 vanished = 0;          // entries gone (or changed kind) before they could be read
    qint64 otherFileSystems = 0;  // folders not entered because they are on another file system
    qint64 alreadyWalked = 0;     // folders and roots not walked because this walker walked them
    QList<WalkError> errors;
    bool aborted = false;  // the walk stopped because scanAborted was set

    void add(const WalkReport& other);
};

// What a tool does with the walk. Every call comes on the thread that called
// walk, in walk order. After scanAborted is seen set, no further call is made.
class WalkVisitor {
public:
    virtual ~WalkVisitor() = default;

    // ScanAllDrives: a drive's root has been opened and is about to be walked.
    virtual void driveStarted(const DriveEntry& drive) { Q_UNUSED(drive) }
    // A folder's listing has been read; its sub-folders come next. `depth` is
    // 0 for the root.
    virtual void folderEntered(const QByteArray& folder, int depth) {
        Q_UNUSED(folder)
        Q_UNUSED(depth)
    }
    // One entry of `folder` that passed the mask and the pattern, after all
    // sub-folders of `folder` have been walked. The record is reused for the
    // next entry: copy what must be kept.
    virtual void entry(const QByteArray& folder, const FileRecord& record) = 0;
    // All entries of `folder` have been handed on.
    virtual void folderDone(const QByteArray& folder, int depth) {
        Q_UNUSED(folder)
        Q_UNUSED(depth)
    }
    // A failure the walk recorded and went past (also in the WalkReport).
    virtual void error(const WalkError& error) { Q_UNUSED(error) }
};

// Shared between a tool window and the thread that walks for it.
struct ScanControl {
    // Set by Abort (or by a tool that must stop); tested before every entry.
    std::atomic<bool> scanAborted{false};
    ScanProgress progress;
    // Called on the walking thread for every recorded failure; may be empty.
    std::function<void(const WalkError&)> onError;

    bool aborted() const { return scanAborted.load(std::memory_order_relaxed); }
};

// Walks roots one after the other with the same options; keeps one report
// over all of them. Not thread-safe itself: one walker belongs to one thread.
class Walker {
public:
    Walker(const WalkOptions& options, WalkVisitor& visitor, ScanControl& control);
    ~Walker();
    Walker(const Walker&) = delete;
    Walker& operator=(const Walker&) = delete;

    // Walks the tree under `root` (exact bytes; a trailing "/" is dropped, so
    // folders reach the visitor without one, "/" itself excepted).
    // False when the root cannot be opened as a folder: then a DriveNotOpened
    // error with `driveText` (or the root as text when empty) is recorded.
    // A root this walker has walked already is counted in alreadyWalked and
    // not walked again (true: it is no failure).
    bool walk(const QByteArray& root, const QString& driveText = QString());
    // The same for a drive of the drive list; calls the visitor's
    // driveStarted once the root is open, before the walk (not for a root
    // that is skipped as walked already).
    bool walk(const DriveEntry& drive);

    [[nodiscard]] const WalkReport& report() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The drive loop over the drives a tool's user ticked, in list order: a
// drive that is not ready (driveReady) is skipped without a word; a root
// that cannot be opened is recorded as DriveNotOpened ("Can't open drive "
// and the drive text) and the loop goes on; before each walk the visitor's
// driveStarted is called. One walker walks all of them, so a folder that two
// ticked drives hold (the home folder inside "/") is walked once. Stops
// early when scanAborted is set.
// For tests: while set, every walk reads its listings as a file system
// that tells no entry kinds (DT_UNKNOWN, as some network and older file
// systems do), so that each kind comes from a look at the entry.
void setListedKindsIgnored(bool ignored);

WalkReport ScanAllDrives(const QList<DriveEntry>& drives, const WalkOptions& options,
                         WalkVisitor& visitor, ScanControl& control);

}  // namespace vantrel
