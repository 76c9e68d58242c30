#include "platform/FileRecord.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <array>
#include <cerrno>

namespace vantrel {

namespace {

// Local time of one 15-minute slice of UTC. Every time-zone offset and every
// transition since 1980 is a multiple of 15 minutes, so the broken-down local
// time of any instant is that of its slice's start plus the seconds into it.
struct SliceCache {
    static constexpr qint64 kSlice = 900;
    struct Entry {
        qint64 slice = -1;
        quint32 packedStart = 0;  // packed local time of the slice start, 0 = out of range
        int minute = 0;           // local minute of the slice start (0, 15, 30 or 45)
    };
    std::array<Entry, 256> entries;
};

quint32 packBroken(const tm& lt) {
    const int year = lt.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return 0;
    return (quint32(year - 1980) << 25) | (quint32(lt.tm_mon + 1) << 21) |
           (quint32(lt.tm_mday) << 16) | (quint32(lt.tm_hour) << 11) |
           (quint32(lt.tm_min) << 5) | quint32(lt.tm_sec / 2);
}

void fillTime(FileTime& t, qint64 sec, qint64 nsec) {
    t.sec = sec;
    t.nsec = qint32(nsec);
    t.recorded = true;
}

}  // namespace

quint32 attributesFor(quint32 mode, const char* name, qsizetype nameLength) {
    quint32 attr = 0;
    if (S_ISDIR(mode))
        attr |= faDirectory;
    else if (!S_ISREG(mode))
        attr |= faSysFile;
    if (!(mode & S_IWUSR))
        attr |= faReadOnly;
    if (nameLength > 0 && name[0] == '.') {
        const bool dotOrDotDot =
            nameLength == 1 || (nameLength == 2 && name[1] == '.');
        if (!dotOrDotDot)
            attr |= faHidden;
    }
    return attr;
}

quint32 packUnixTime(qint64 secondsSinceEpoch) {
    thread_local SliceCache cache;
    const qint64 slice = secondsSinceEpoch >= 0
                             ? secondsSinceEpoch / SliceCache::kSlice
                             : -((-secondsSinceEpoch + SliceCache::kSlice - 1) / SliceCache::kSlice);
    auto& e = cache.entries[std::size_t(quint64(slice) & 255u)];
    if (e.slice != slice) {
        const time_t start = time_t(slice * SliceCache::kSlice);
        tm lt{};
        if (!localtime_r(&start, &lt))
            return 0;
        e.slice = slice;
        e.packedStart = packBroken(lt);
        e.minute = lt.tm_min;
        // A slice that does not start on a quarter hour locally (historic
        // offsets) is not cached: mark it so the slow path runs every time.
        if (lt.tm_sec != 0 || lt.tm_min % 15 != 0)
            e.slice = -1;
        if (e.slice == -1) {
            const time_t exact = time_t(secondsSinceEpoch);
            tm lt2{};
            if (!localtime_r(&exact, &lt2))
                return 0;
            return packBroken(lt2);
        }
    }
    if (e.packedStart == 0)
        return 0;
    const int into = int(secondsSinceEpoch - slice * SliceCache::kSlice);  // 0..899
    const int minute = e.minute + into / 60;
    const int second = into % 60;
    return (e.packedStart & ~quint32(0x7FF)) | (quint32(minute) << 5) | quint32(second / 2);
}

quint32 packFileTime(const FileTime& t) {
    return t.recorded ? packUnixTime(t.sec) : 0;
}

quint32 FileRecord::packedWriteTime() const { return packFileTime(writeTime); }
quint32 FileRecord::packedAccessTime() const { return packFileTime(accessTime); }
quint32 FileRecord::packedCreationTime() const { return packFileTime(creationTime); }

bool statEntry(int dirfd, const char* name, FileRecord& out) {
    struct statx sx;
    if (::statx(dirfd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return false;
    const qsizetype len = qsizetype(qstrlen(name));
    out.name = QByteArray(name, len);
    out.mode = sx.stx_mode;
    out.size = qint64(sx.stx_size);
    out.attr = attributesFor(sx.stx_mode, name, len);
    out.device = (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
    out.inode = sx.stx_ino;
    out.links = sx.stx_nlink;
    out.allocated = qint64(sx.stx_blocks) * 512;
    fillTime(out.writeTime, sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    fillTime(out.accessTime, sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
    if (sx.stx_mask & STATX_BTIME)
        fillTime(out.creationTime, sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec);
    else
        out.creationTime = FileTime{};
    return true;
}

bool statPath(const QByteArray& path, FileRecord& out) {
    if (!statEntry(AT_FDCWD, path.constData(), out))
        return false;
    QByteArray trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith('/'))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf('/');
    out.name = slash < 0 || trimmed.size() == 1 ? trimmed : trimmed.mid(slash + 1);
    out.attr = attributesFor(out.mode, out.name.constData(), out.name.size());
    return true;
}

bool entryExists(const QByteArray& path) {
    struct stat st;
    return ::fstatat(AT_FDCWD, path.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

}  // namespace vantrel
