#include "scan/Walker.h"

#include "scan/FolderIdSet.h"
#include "scan/WalkFolder.h"
#include "scan/WalkPool.h"
#include "text/Formats.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace vantrel {

namespace {

// What openRoot gives for a root that this walker has walked already.
constexpr int kAlreadyWalked = -2;

std::atomic<bool> g_listedKindsIgnored{false};

bool gone(int error) {
    return error == ENOENT || error == ENOTDIR || error == ELOOP;
}

struct FolderId {
    quint64 device;
    quint64 inode;
};

// A folder's descriptor, closed at the end of the scope when it is owned.
struct OpenFolder {
    OpenFolder(int d, bool o) : fd(d), owned(o) {}
    ~OpenFolder() {
        if (owned && fd >= 0)
            ::close(fd);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    int fd;
    bool owned;
};

}  // namespace

int walkThreadCount(const WalkOptions& options) {
    if (options.threads > 0)
        return std::min(options.threads, kMaxWalkThreads);
    if (const char* text = std::getenv("VANTREL_WALK_THREADS")) {
        const int n = std::atoi(text);
        if (n > 0)
            return std::min(n, kMaxWalkThreads);
    }
    // Two a processor: a thread waiting for the disk (a cold cache, a network
    // file system) leaves its processor to another.
    return std::clamp(2 * int(std::thread::hardware_concurrency()), 2, 16);
}

QString WalkError::message() const {
    if (kind == Kind::DriveNotOpened)
        return QStringLiteral("Can't open drive ") + driveText;
    return displayText(path) + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(errorNumber));
}

void WalkReport::add(const WalkReport& other) {
    folders += other.folders;
    entries += other.entries;
    handedOn += other.handedOn;
    vanished += other.vanished;
    otherFileSystems += other.otherFileSystems;
    alreadyWalked += other.alreadyWalked;
    errors += other.errors;
    aborted = aborted || other.aborted;
}

struct Walker::State {
    State(const WalkOptions& o, WalkVisitor& v, ScanControl& c)
        : options(o), visitor(v), control(c) {}

    const WalkOptions options;
    WalkVisitor& visitor;
    ScanControl& control;
    WalkReport report;

    std::vector<FolderId> parents;  // the folders on the current path, root first
    FolderIdSet walked;             // every folder walked so far, over all roots
    quint64 rootDevice = 0;
    quint64 rootInode = 0;
    quint32 excluded = 0;  // mask bits that exclude an entry
    WalkContext context;
    WalkPool* pool = nullptr;  // of the root being walked
    FileRecord own;            // an entry looked at by the walking thread itself

    bool aborted() {
        if (control.scanAborted.load(std::memory_order_relaxed)) {
            report.aborted = true;
            return true;
        }
        return false;
    }

    void recordError(WalkError::Kind kind, const QByteArray& where, int error) {
        WalkError e;
        e.kind = kind;
        e.path = where;
        e.errorNumber = error;
        report.errors.append(e);
        if (control.onError)
            control.onError(e);
        visitor.error(e);
    }

    static QByteArray childPath(const QByteArray& folder, const char* name, qsizetype length) {
        QByteArray p;
        p.reserve(folder.size() + 1 + length);
        p.append(folder);
        if (!p.endsWith('/'))
            p.append('/');
        p.append(name, length);
        return p;
    }

    // A failed look at an entry: vanished when it is gone, else an error.
    void lookFailed(WalkError::Kind kind, const QByteArray& folder, const char* name,
                    qsizetype length, int error) {
        if (gone(error))
            ++report.vanished;
        else
            recordError(kind, childPath(folder, name, length), error);
    }

    // Hands on the read folder `f` and walks its sub-folders, in walk order.
    void walkFolder(WalkFolder& f);
    // Enters the sub-folder of entry `i` of `f`, when it is to be entered.
    void enterSubFolder(WalkFolder& f, std::size_t i);
    // Opens a root and notes its device and identity; -1 (error recorded) when
    // it cannot be opened as a folder, -2 (counted) when it was walked already.
    int openRoot(const QByteArray& root, const QString& driveText);
    // Walks the root open at `fd`; the walk closes it.
    void walkRoot(int fd, const QByteArray& root);
};

void Walker::State::walkFolder(WalkFolder& f) {
    if (aborted())
        return;
    if (!f.complete) {
        // Reading stopped part way: only an abort stops it while the walk
        // still wants the folder.
        report.aborted = true;
        return;
    }
    const QByteArray& path = f.path;
    control.progress.enterFolder(path);
    if (f.readError != 0)
        recordError(WalkError::Kind::FolderNotRead, path, f.readError);
    ++report.folders;
    report.entries += qint64(f.entries.size());
    visitor.folderEntered(path, f.depth);

    // Sub-folders first.
    bool descended = false;
    const char* names = f.names.data();
    if (pool->context().descendsFrom(f.depth)) {
        for (std::size_t i = 0; i < f.entries.size(); ++i) {
            if (aborted())
                return;
            const ListedEntry& e = f.entries[i];
            const EntryLook& look = f.looks[i];
            if (e.type == kGone) {
                lookFailed(WalkError::Kind::EntryNotRead, path, names + e.offset, e.length,
                           look.kindError);
                continue;
            }
            if (!look.folderLooked)
                continue;
            enterSubFolder(f, i);
            descended = true;
        }
    }
    if (descended)
        control.progress.showFolder(path);

    // Then the folder's own entries, looked at ahead or now. A folder that
    // cannot be opened again to look at them has gone (or been replaced)
    // meanwhile, and so have they.
    const bool looked = f.entriesLooked;
    OpenFolder at(looked ? -2 : f.fd >= 0 ? f.fd : f.open(),
                  !looked && f.fd < 0);
    qint64 handedOn = 0;
    for (std::size_t i = 0; i < f.entries.size(); ++i) {
        if (aborted())
            return;
        const ListedEntry& e = f.entries[i];
        const char* name = names + e.offset;
        if (!pool->context().wanted(name, e))
            continue;
        const FileRecord* record = &own;
        if (looked) {
            const EntryLook& look = f.looks[i];
            if (look.record < 0) {
                lookFailed(WalkError::Kind::EntryNotRead, path, name, e.length,
                           look.recordError);
                continue;
            }
            record = &f.records[std::size_t(look.record)];
        } else if (at.fd < 0) {
            ++report.vanished;
            continue;
        } else if (!statEntry(at.fd, name, own)) {
            lookFailed(WalkError::Kind::EntryNotRead, path, name, e.length, errno);
            continue;
        }
        // The entry may have been replaced by another kind since it was listed.
        if (record->attr & excluded)
            continue;
        visitor.entry(path, *record);
        ++handedOn;
    }
    report.handedOn += handedOn;
    control.progress.addCounts(qint64(f.entries.size()), handedOn);
    visitor.folderDone(path, f.depth);
}

void Walker::State::enterSubFolder(WalkFolder& f, std::size_t i) {
    // The look before opening: a mount point is not opened (no automount is
    // triggered), and a folder already on the current path is not entered.
    const ListedEntry& e = f.entries[i];
    const EntryLook& look = f.looks[i];
    const char* name = f.names.data() + e.offset;
    if (look.folderError != 0) {
        lookFailed(WalkError::Kind::FolderNotOpened, f.path, name, e.length, look.folderError);
        return;
    }
    if (!look.isFolder) {
        ++report.vanished;  // replaced by something else since it was listed
        return;
    }
    if (look.device != rootDevice) {
        ++report.otherFileSystems;
        return;
    }
    for (const FolderId& p : parents) {
        if (p.inode == look.inode && p.device == look.device) {
            recordError(WalkError::Kind::FolderLoop, childPath(f.path, name, e.length), ELOOP);
            return;
        }
    }
    const std::shared_ptr<WalkFolder> child = f.children[std::size_t(look.child)];
    if (walked.contains(look.device, look.inode)) {
        ++report.alreadyWalked;  // seen through another root or a bind mount
        pool->drop(*child);
        return;
    }
    pool->obtain(child);
    if (child->openError != 0) {
        lookFailed(WalkError::Kind::FolderNotOpened, f.path, name, e.length, child->openError);
        pool->done(*child);
        return;
    }
    parents.push_back(FolderId{look.device, look.inode});
    walked.insert(look.device, look.inode);
    walkFolder(*child);
    parents.pop_back();
    pool->done(*child);
}

Walker::Walker(const WalkOptions& options, WalkVisitor& visitor, ScanControl& control)
    : m_state(std::make_unique<State>(options, visitor, control)) {
    m_state->excluded = kWalkMaskBits & ~options.includeMask;
}

Walker::~Walker() = default;

const WalkReport& Walker::report() const {
    return m_state->report;
}

int Walker::State::openRoot(const QByteArray& root, const QString& driveText) {
    const int fd = ::open(root.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct statx sx;
    if (fd >= 0 && ::statx(fd, "", AT_EMPTY_PATH, STATX_INO, &sx) == 0) {
        if (!walked.insert(deviceOf(sx), sx.stx_ino)) {
            ::close(fd);
            ++report.alreadyWalked;
            return kAlreadyWalked;
        }
        rootDevice = deviceOf(sx);
        rootInode = sx.stx_ino;
        parents.assign(1, FolderId{rootDevice, sx.stx_ino});
        return fd;
    }
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    WalkError e;
    e.kind = WalkError::Kind::DriveNotOpened;
    e.path = root;
    e.errorNumber = error;
    e.driveText = driveText.isEmpty() ? displayText(root) : driveText;
    report.errors.append(e);
    if (control.onError)
        control.onError(e);
    visitor.error(e);
    return -1;
}

void Walker::State::walkRoot(int fd, const QByteArray& root) {
    auto folder = std::make_shared<WalkFolder>();
    folder->path = root;
    folder->device = rootDevice;
    folder->inode = rootInode;
    folder->fd = fd;
    context.options = &options;
    context.excluded = excluded;
    context.rootDevice = rootDevice;
    context.kindsIgnored = g_listedKindsIgnored.load(std::memory_order_relaxed);
    context.aborted = &control.scanAborted;
    const int threads = walkThreadCount(options);
    {
        WalkPool rootPool(context, threads > 1 ? threads : 0);
        pool = &rootPool;
        if (!aborted()) {
            rootPool.obtain(folder);
            walkFolder(*folder);
        }
        rootPool.done(*folder);
        pool = nullptr;
    }
    parents.clear();
}

bool Walker::walk(const QByteArray& root, const QString& driveText) {
    QByteArray trimmed = root;
    while (trimmed.size() > 1 && trimmed.endsWith('/'))
        trimmed.chop(1);
    const int fd = m_state->openRoot(trimmed, driveText);
    if (fd == kAlreadyWalked)
        return true;
    if (fd < 0)
        return false;
    m_state->walkRoot(fd, trimmed);
    return true;
}

bool Walker::walk(const DriveEntry& drive) {
    const int fd = m_state->openRoot(drive.root, drive.text());
    if (fd == kAlreadyWalked)
        return true;
    if (fd < 0)
        return false;
    m_state->visitor.driveStarted(drive);
    m_state->walkRoot(fd, drive.root);
    return true;
}

void setListedKindsIgnored(bool ignored) {
    g_listedKindsIgnored.store(ignored, std::memory_order_relaxed);
}

WalkReport ScanAllDrives(const QList<DriveEntry>& drives, const WalkOptions& options,
                         WalkVisitor& visitor, ScanControl& control) {
    Walker walker(options, visitor, control);
    for (const DriveEntry& drive : drives) {
        if (control.aborted())
            break;
        if (!driveReady(drive.root))
            continue;
        walker.walk(drive);
    }
    WalkReport report = walker.report();
    if (control.aborted())
        report.aborted = true;
    return report;
}

}  // namespace vantrel
