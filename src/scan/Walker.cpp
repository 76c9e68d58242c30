#include "scan/Walker.h"

#include "scan/FolderIdSet.h"
#include "text/Formats.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

namespace vantrel {

namespace {

// An entry of a folder listing: where its name lies in the level's name
// buffer, and its kind as the listing reports it (DT_*).
struct ListedEntry {
    quint32 offset;
    quint16 length;
    quint8 type;
};

// The listing of one folder being walked. One per nesting level, reused
// from folder to folder, so that the walk holds only as many listings as
// the tree is deep and reaches a steady state without further allocations.
struct Level {
    std::vector<char> names;  // NUL-terminated names, back to back
    std::vector<ListedEntry> entries;
};

// Marks an entry that turned out gone while its kind was being resolved.
constexpr quint8 kGone = 0xFF;

// What openRoot gives for a root that this walker has walked already.
constexpr int kAlreadyWalked = -2;

quint8 typeOfMode(quint32 mode) {
    switch (mode & S_IFMT) {
        case S_IFDIR:
            return DT_DIR;
        case S_IFREG:
            return DT_REG;
        case S_IFLNK:
            return DT_LNK;
        case S_IFIFO:
            return DT_FIFO;
        case S_IFSOCK:
            return DT_SOCK;
        case S_IFCHR:
            return DT_CHR;
        case S_IFBLK:
            return DT_BLK;
        default:
            return DT_UNKNOWN;
    }
}

// The mask-relevant attribute bits that the listing alone tells.
quint32 listedAttributes(quint8 type, const char* name) {
    quint32 attr = 0;
    if (type == DT_DIR)
        attr |= faDirectory;
    else if (type != DT_REG)
        attr |= faSysFile;
    if (name[0] == '.')
        attr |= faHidden;  // "." and ".." never reach here
    return attr;
}

std::atomic<bool> g_listedKindsIgnored{false};

bool gone(int error) {
    return error == ENOENT || error == ENOTDIR || error == ELOOP;
}

struct FolderId {
    quint64 device;
    quint64 inode;
};

quint64 deviceOf(const struct statx& sx) {
    return (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
}

}  // namespace

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

    QByteArray path;                // the folder being walked, exact bytes
    std::vector<Level> levels;      // by depth
    std::vector<FolderId> parents;  // the folders on the current path, root first
    FolderIdSet walked;             // every folder walked so far, over all roots
    std::vector<char> buffer;       // raw listing data, used while one folder is read
    FileRecord record;              // reused for every entry handed on
    quint64 rootDevice = 0;
    quint32 excluded = 0;  // mask bits that exclude an entry

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

    QByteArray childPath(const char* name, qsizetype length) const {
        QByteArray p;
        p.reserve(path.size() + 1 + length);
        p.append(path);
        if (!p.endsWith('/'))
            p.append('/');
        p.append(name, length);
        return p;
    }

    // Reads the whole listing of `fd` into `level`, sorted by name. False when
    // reading failed part way (what was read is kept).
    bool readListing(int fd, Level& level);
    // Walks the folder open at `fd` (path in `path`) at `depth`; closes nothing.
    void walkFolder(int fd, int depth);
    // Opens and walks the sub-folder `name` of the folder open at `parentFd`.
    void enterSubFolder(int parentFd, const char* name, qsizetype length, int depth);
    // Opens a root and notes its device and identity; -1 (error recorded) when
    // it cannot be opened as a folder, -2 (counted) when it was walked already.
    int openRoot(const QByteArray& root, const QString& driveText);
    // Walks the root open at `fd`, then closes it.
    void walkRoot(int fd, const QByteArray& root);
};

bool Walker::State::readListing(int fd, Level& level) {
    level.names.clear();
    level.entries.clear();
    if (buffer.empty())
        buffer.resize(64 * 1024);
    const bool kindsIgnored = g_listedKindsIgnored.load(std::memory_order_relaxed);
    for (;;) {
        const ssize_t n = ::getdents64(fd, buffer.data(), buffer.size());
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* d = reinterpret_cast<const struct dirent64*>(buffer.data() + at);
            at += d->d_reclen;
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            const std::size_t length = std::strlen(name);
            level.entries.push_back(
                ListedEntry{quint32(level.names.size()), quint16(length),
                            kindsIgnored ? quint8(DT_UNKNOWN) : quint8(d->d_type)});
            level.names.insert(level.names.end(), name, name + length + 1);
        }
    }
    const char* names = level.names.data();
    std::sort(level.entries.begin(), level.entries.end(),
              [names](const ListedEntry& a, const ListedEntry& b) {
                  return std::strcmp(names + a.offset, names + b.offset) < 0;
              });
    return true;
}

void Walker::State::walkFolder(int fd, int depth) {
    if (aborted())
        return;
    control.progress.enterFolder(path);
    if (levels.size() <= std::size_t(depth))
        levels.resize(std::size_t(depth) + 1);
    Level& level = levels[std::size_t(depth)];
    if (!readListing(fd, level))
        recordError(WalkError::Kind::FolderNotRead, path, errno);
    ++report.folders;
    report.entries += qint64(level.entries.size());
    visitor.folderEntered(path, depth);

    // Sub-folders first. `level` may move when deeper levels are added, so
    // it is looked up again after each descent (its buffers stay put).
    bool descended = false;
    if (options.maxDepth < 0 || depth < options.maxDepth) {
        for (std::size_t i = 0; i < levels[std::size_t(depth)].entries.size(); ++i) {
            if (aborted())
                return;
            Level& here = levels[std::size_t(depth)];
            ListedEntry& e = here.entries[i];
            const char* name = here.names.data() + e.offset;
            const bool hiddenName = name[0] == '.' && !options.enterHiddenFolders;
            // The kind of a hidden name is not needed here: it is not
            // entered whatever it is (and is looked at below if wanted).
            if (e.type == DT_UNKNOWN && !hiddenName) {
                // Some file systems do not tell the kind in the listing.
                struct stat st;
                if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) == 0) {
                    e.type = typeOfMode(st.st_mode);
                } else {
                    e.type = kGone;
                    if (gone(errno))
                        ++report.vanished;
                    else
                        recordError(WalkError::Kind::EntryNotRead, childPath(name, e.length),
                                    errno);
                }
            }
            if (e.type != DT_DIR || hiddenName)
                continue;
            const qsizetype length = e.length;
            enterSubFolder(fd, name, length, depth + 1);
            descended = true;
        }
    }
    if (descended)
        control.progress.showFolder(path);

    // Then the folder's own entries.
    Level& here = levels[std::size_t(depth)];
    const char* names = here.names.data();
    qint64 handedOn = 0;
    for (const ListedEntry& e : here.entries) {
        if (aborted())
            return;
        if (e.type == kGone)
            continue;
        const char* name = names + e.offset;
        // What the listing tells excludes the entry before any look at it;
        // of an entry of unknown kind only the name tells (hidden).
        const quint32 listed = e.type != DT_UNKNOWN ? listedAttributes(e.type, name)
                                                    : (name[0] == '.' ? quint32(faHidden) : 0u);
        if (listed & excluded)
            continue;
        if (!options.pattern.matches(name, e.length))
            continue;
        if (options.nameTest && !options.nameTest(name, e.length))
            continue;
        if (!statEntry(fd, name, record)) {
            if (gone(errno))
                ++report.vanished;
            else
                recordError(WalkError::Kind::EntryNotRead, childPath(name, e.length), errno);
            continue;
        }
        // The entry may have been replaced by another kind since it was listed.
        if (record.attr & excluded)
            continue;
        visitor.entry(path, record);
        ++handedOn;
    }
    report.handedOn += handedOn;
    control.progress.addCounts(qint64(here.entries.size()), handedOn);
    visitor.folderDone(path, depth);
}

void Walker::State::enterSubFolder(int parentFd, const char* name, qsizetype length, int depth) {
    // Look before opening: a mount point is not opened (no automount is
    // triggered), and a folder already on the current path is not entered.
    struct statx sx;
    if (::statx(parentFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_INO,
                &sx) != 0) {
        if (gone(errno))
            ++report.vanished;
        else
            recordError(WalkError::Kind::FolderNotOpened, childPath(name, length), errno);
        return;
    }
    if (!S_ISDIR(sx.stx_mode)) {
        ++report.vanished;  // replaced by something else since it was listed
        return;
    }
    const quint64 device = deviceOf(sx);
    if (device != rootDevice) {
        ++report.otherFileSystems;
        return;
    }
    for (const FolderId& p : parents) {
        if (p.inode == sx.stx_ino && p.device == device) {
            recordError(WalkError::Kind::FolderLoop, childPath(name, length), ELOOP);
            return;
        }
    }
    if (walked.contains(device, sx.stx_ino)) {
        ++report.alreadyWalked;  // seen through another root or a bind mount
        return;
    }

    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (gone(errno))
            ++report.vanished;
        else
            recordError(WalkError::Kind::FolderNotOpened, childPath(name, length), errno);
        return;
    }
    const qsizetype parentLength = path.size();
    if (!path.endsWith('/'))
        path.append('/');
    path.append(name, length);
    parents.push_back(FolderId{device, sx.stx_ino});
    walked.insert(device, sx.stx_ino);
    walkFolder(fd, depth);
    parents.pop_back();
    path.truncate(parentLength);
    ::close(fd);
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
    path = root;
    walkFolder(fd, 0);
    parents.clear();
    ::close(fd);
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
