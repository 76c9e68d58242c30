#include "scan/WalkFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

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

// The mask-relevant attribute bits that the listing alone tells; of an entry
// of unknown kind only the name tells (hidden).
quint32 listedAttributes(quint8 type, const char* name) {
    quint32 attr = 0;
    if (type == DT_DIR)
        attr |= faDirectory;
    else if (type != DT_REG && type != DT_UNKNOWN)
        attr |= faSysFile;
    if (name[0] == '.')
        attr |= faHidden;  // "." and ".." never reach here
    return attr;
}

// Reads the whole listing of `fd`, sorted by name. False when reading failed
// part way (what was read is kept).
bool readListing(int fd, bool kindsIgnored, std::vector<char>& buffer, WalkFolder& f) {
    if (buffer.empty())
        buffer.resize(64 * 1024);
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
            f.entries.push_back(ListedEntry{quint32(f.names.size()), quint16(length),
                                            kindsIgnored ? quint8(DT_UNKNOWN)
                                                         : quint8(d->d_type)});
            f.names.insert(f.names.end(), name, name + length + 1);
        }
    }
    const char* names = f.names.data();
    std::sort(f.entries.begin(), f.entries.end(),
              [names](const ListedEntry& a, const ListedEntry& b) {
                  return std::strcmp(names + a.offset, names + b.offset) < 0;
              });
    return true;
}

bool isOwnParent(const WalkFolder& f, quint64 device, quint64 inode) {
    for (const WalkFolder* p = &f; p; p = p->parent.get()) {
        if (p->inode == inode && p->device == device)
            return true;
    }
    return false;
}

QByteArray childPath(const QByteArray& folder, const char* name, qsizetype length) {
    QByteArray p;
    p.reserve(folder.size() + 1 + length);
    p.append(folder);
    if (!p.endsWith('/'))
        p.append('/');
    p.append(name, length);
    return p;
}

// Makes the records of the wanted entries through the open folder `fd`.
void makeRecords(const WalkContext& context, int fd, WalkFolder& f) {
    const char* names = f.names.data();
    for (std::size_t i = 0; i < f.entries.size(); ++i) {
        if (context.stopRequested())
            return;
        const ListedEntry& e = f.entries[i];
        const char* name = names + e.offset;
        if (!context.wanted(name, e))
            continue;
        EntryLook& look = f.looks[i];
        FileRecord record;
        if (!statEntry(fd, name, record)) {
            look.recordError = errno;
            continue;
        }
        look.record = qint32(f.records.size());
        f.records.push_back(std::move(record));
    }
    f.entriesLooked = true;
}

}  // namespace

quint64 deviceOf(const struct ::statx& sx) {
    return (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
}

bool WalkContext::wanted(const char* name, const ListedEntry& e) const {
    if (e.type == kGone)
        return false;
    if (listedAttributes(e.type, name) & excluded)
        return false;
    if (!options->pattern.matches(name, e.length))
        return false;
    return !options->nameTest || options->nameTest(name, e.length);
}

int openFolderAt(int base, const QByteArray& path, quint64 device, quint64 inode) {
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    int fd = -1;
    if (path.size() < PATH_MAX) {
        fd = ::openat(base, path.constData(), kFlags | O_NOFOLLOW);
    } else {
        // A path too long for one call: opened a part at a time, each part
        // relative to the folder the one before opened.
        qsizetype at = 0;
        int from = base;
        while (at < path.size()) {
            qsizetype end = path.size();
            if (end - at >= PATH_MAX) {
                end = path.lastIndexOf('/', at + PATH_MAX - 2);
                if (end <= at) {
                    if (from != base)
                        ::close(from);
                    errno = ENAMETOOLONG;
                    return -1;
                }
            }
            const QByteArray part = path.mid(at, end == at ? 1 : end - at);
            const bool last = end == path.size();
            fd = ::openat(from, part.constData(), kFlags | (last ? O_NOFOLLOW : 0));
            const int error = errno;
            if (from != base)
                ::close(from);
            if (fd < 0) {
                errno = error;
                return -1;
            }
            from = fd;
            at = end;
            while (at < path.size() && path[at] == '/')
                ++at;
        }
    }
    if (fd < 0)
        return -1;
    struct statx sx;
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_INO, &sx) != 0 || sx.stx_ino != inode ||
        deviceOf(sx) != device) {
        ::close(fd);
        errno = ENOENT;
        return -1;
    }
    return fd;
}

int WalkFolder::open() const {
    for (const WalkFolder* p = parent.get(); p; p = p->parent.get()) {
        const int base = p->anchor.load(std::memory_order_acquire);
        if (base < 0)
            continue;
        const qsizetype skip = p->path.size() + (p->path.endsWith('/') ? 0 : 1);
        return openFolderAt(base, path.mid(skip), device, inode);
    }
    return openFolderAt(AT_FDCWD, path, device, inode);
}

void WalkFolder::read(const WalkContext& context, std::size_t lookLimit, bool keepOpen,
                      std::vector<char>& buffer) {
    int at = fd;
    if (at < 0) {
        at = open();
        if (at < 0) {
            openError = errno;
            complete = true;
            return;
        }
    }
    if (depth % kAnchorLevels == 0)
        anchor.store(::fcntl(at, F_DUPFD_CLOEXEC, 0), std::memory_order_release);
    if (!readListing(at, context.kindsIgnored, buffer, *this))
        readError = errno;
    looks.resize(entries.size());

    if (context.descendsFrom(depth)) {
        const bool enterHidden = context.options->enterHiddenFolders;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (context.stopRequested())
                break;
            ListedEntry& e = entries[i];
            EntryLook& look = looks[i];
            const char* name = names.data() + e.offset;
            const bool hiddenName = name[0] == '.' && !enterHidden;
            // The kind of a hidden name is not needed here: it is not
            // entered whatever it is (and is looked at later if wanted).
            if (e.type == DT_UNKNOWN && !hiddenName) {
                // Some file systems do not tell the kind in the listing.
                struct stat st;
                if (::fstatat(at, name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) == 0) {
                    e.type = typeOfMode(st.st_mode);
                } else {
                    e.type = kGone;
                    look.kindError = errno;
                }
            }
            if (e.type != DT_DIR || hiddenName)
                continue;
            // Look before opening: a mount point is not opened (no automount
            // is triggered).
            struct statx sx;
            look.folderLooked = true;
            if (::statx(at, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                        STATX_TYPE | STATX_INO, &sx) != 0) {
                look.folderError = errno;
                continue;
            }
            look.isFolder = S_ISDIR(sx.stx_mode);
            look.device = deviceOf(sx);
            look.inode = sx.stx_ino;
            if (!look.isFolder || look.device != context.rootDevice ||
                isOwnParent(*this, look.device, look.inode))
                continue;
            auto child = std::make_shared<WalkFolder>();
            child->path = childPath(path, name, e.length);
            child->depth = depth + 1;
            child->device = look.device;
            child->inode = look.inode;
            child->parent = shared_from_this();
            look.child = qint32(children.size());
            children.push_back(std::move(child));
        }
    }
    if (entries.size() <= lookLimit)
        makeRecords(context, at, *this);
    complete = !context.stopRequested();
    if (keepOpen) {
        fd = at;
    } else {
        ::close(at);
        fd = -1;
    }
}

WalkFolder::~WalkFolder() {
    if (fd >= 0)
        ::close(fd);
    const int kept = anchor.load(std::memory_order_relaxed);
    if (kept >= 0)
        ::close(kept);
}

void WalkFolder::release() {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    const int kept = anchor.exchange(-1, std::memory_order_acq_rel);
    if (kept >= 0)
        ::close(kept);
    std::vector<char>().swap(names);
    std::vector<ListedEntry>().swap(entries);
    std::vector<EntryLook>().swap(looks);
    std::vector<FileRecord>().swap(records);
    children.clear();
    children.shrink_to_fit();
}

}  // namespace vantrel
