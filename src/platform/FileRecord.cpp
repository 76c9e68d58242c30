#include "platform/FileRecord.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <limits>

namespace vantrel {

namespace {

// Packing goes through localtime_r, which is slow enough to matter when a walk
// packs three times for each of millions of files. Within one 15-minute
// slice of UTC the local time runs in step with UTC unless the zone's offset
// changes inside it, so each thread caches the packed local time of recently
// used slices. A slice is cached only when its first and last second have the
// same UTC offset and it starts on a whole local quarter hour; every other
// slice (a transition at an odd minute, historic offsets) is packed exactly.
struct SliceCache {
    static constexpr qint64 kSlice = 900;
    struct Entry {
        qint64 slice = std::numeric_limits<qint64>::min();
        quint32 generation = 0;
        bool exact = false;       // pack every instant of this slice on its own
        quint32 packedStart = 0;  // packed local time of the slice start, 0 = out of range
        int minute = 0;           // local minute of the slice start (0, 15, 30 or 45)
    };
    std::array<Entry, 256> entries;
};

std::atomic<quint32> zoneGeneration{1};

quint32 packBroken(const tm& lt) {
    const int year = lt.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return 0;
    return (quint32(year - 1980) << 25) | (quint32(lt.tm_mon + 1) << 21) |
           (quint32(lt.tm_mday) << 16) | (quint32(lt.tm_hour) << 11) | (quint32(lt.tm_min) << 5) |
           quint32(lt.tm_sec / 2);
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
        const bool dotOrDotDot = nameLength == 1 || (nameLength == 2 && name[1] == '.');
        if (!dotOrDotDot)
            attr |= faHidden;
    }
    return attr;
}

quint32 packUnixTime(qint64 secondsSinceEpoch) {
    // Instants before 1970 or centuries ahead are outside 1980..2107 in every
    // zone; leaving them out also keeps the slice arithmetic from overflowing.
    if (secondsSinceEpoch < 0 || secondsSinceEpoch > (qint64(1) << 33))
        return 0;
    thread_local SliceCache cache;
    const quint32 generation = zoneGeneration.load(std::memory_order_relaxed);
    const qint64 slice = secondsSinceEpoch / SliceCache::kSlice;
    auto& e = cache.entries[std::size_t(quint64(slice) & 255u)];
    if (e.slice != slice || e.generation != generation) {
        const time_t start = time_t(slice * SliceCache::kSlice);
        const time_t last = time_t(slice * SliceCache::kSlice + SliceCache::kSlice - 1);
        tm lt{};
        tm ltLast{};
        if (!localtime_r(&start, &lt) || !localtime_r(&last, &ltLast))
            return 0;
        e.slice = slice;
        e.generation = generation;
        e.exact = lt.tm_gmtoff != ltLast.tm_gmtoff || lt.tm_sec != 0 || lt.tm_min % 15 != 0;
        e.packedStart = packBroken(lt);
        e.minute = lt.tm_min;
    }
    if (e.exact) {
        const time_t exact = time_t(secondsSinceEpoch);
        tm lt{};
        if (!localtime_r(&exact, &lt))
            return 0;
        return packBroken(lt);
    }
    if (e.packedStart == 0)
        return 0;
    const int into = int(secondsSinceEpoch - slice * SliceCache::kSlice);  // 0..899
    const int minute = e.minute + into / 60;
    const int second = into % 60;
    return (e.packedStart & ~quint32(0x7FF)) | (quint32(minute) << 5) | quint32(second / 2);
}

void localTimeZoneChanged() {
    ::tzset();
    zoneGeneration.fetch_add(1, std::memory_order_relaxed);
}

quint32 packFileTime(const FileTime& t) {
    return t.recorded ? packUnixTime(t.sec) : 0;
}

quint32 FileRecord::packedWriteTime() const {
    return packFileTime(writeTime);
}
quint32 FileRecord::packedAccessTime() const {
    return packFileTime(accessTime);
}
quint32 FileRecord::packedCreationTime() const {
    return packFileTime(creationTime);
}

bool statEntry(int dirfd, const char* name, FileRecord& out) {
    struct statx sx;
    if (::statx(dirfd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_BASIC_STATS | STATX_BTIME,
                &sx) != 0)
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
