#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <sys/types.h>

namespace vantrel {

// Attribute bits of a directory entry. A file name here is bytes, so these
// are derived from the entry's type, permission bits and name (see
// attributesFor); volume label and archive are never set on this platform.
enum FileAttribute : quint32 {
    faReadOnly = 0x01,   // the owner has no write permission
    faHidden = 0x02,     // the name begins with "." (not "." or "..")
    faSysFile = 0x04,    // neither a regular file nor a folder
    faVolumeID = 0x08,   // never set
    faDirectory = 0x10,  // a folder
    faArchive = 0x20,    // never set
    faAnyFile = 0x3F,
};

// One instant of a file time, seconds and nanoseconds since the Unix epoch,
// or "not recorded" (a file system without birth times, for instance).
struct FileTime {
    qint64 sec = 0;
    qint32 nsec = 0;
    bool recorded = false;
};

// What one directory entry yields: filled from a single statx/fstatat of the
// entry, never following a symbolic link.
struct FileRecord {
    QByteArray name;   // the entry's name, exact bytes (no folder)
    qint64 size = 0;   // bytes, 64-bit
    quint32 attr = 0;  // FileAttribute bits
    FileTime writeTime;
    FileTime accessTime;
    FileTime creationTime;  // birth time when the file system records it
    quint32 mode = 0;       // st_mode
    quint64 device = 0;
    quint64 inode = 0;
    quint64 links = 0;
    qint64 allocated = 0;  // bytes the file occupies on disk (st_blocks * 512)

    bool isDirectory() const { return attr & faDirectory; }
    bool isRegular() const { return !(attr & (faDirectory | faSysFile)); }

    // The three times as packed local file dates; 0 when not recorded or
    // outside the packable years 1980..2107. time() is the write time, the
    // record's "time of last change".
    quint32 packedWriteTime() const;
    quint32 packedAccessTime() const;
    quint32 packedCreationTime() const;
    quint32 time() const { return packedWriteTime(); }
};

// Attribute bits for an entry of the given st_mode, st_uid-independent write
// bit and name (hidden = leading dot).
quint32 attributesFor(quint32 mode, const char* name, qsizetype nameLength);

// Packs a Unix time as a local-time file date: bits 31-25 year-1980, 24-21
// month, 20-16 day, 15-11 hour, 10-5 minute, 4-0 seconds/2. Times before 1980
// or after 2107 (and unrecorded times) pack to 0. Thread-safe.
quint32 packFileTime(const FileTime& t);
quint32 packUnixTime(qint64 secondsSinceEpoch);

// Re-reads the time zone (TZ) and forgets the local times that packing has
// cached. For a process that changes its time zone while it runs (tests do).
void localTimeZoneChanged();

// Fills `out` from one fstatat(dirfd, name, AT_SYMLINK_NOFOLLOW) (statx where
// available, for the birth time). Returns false and leaves errno set when the
// entry cannot be read (vanished, permission). `out.name` is set to `name`.
bool statEntry(int dirfd, const char* name, FileRecord& out);

// The same for a whole path (relative to the current folder when relative).
// The record's name is the last component of the path.
bool statPath(const QByteArray& path, FileRecord& out);

// True when something (any kind of entry, symbolic links included) exists
// at the path; does not follow a final symbolic link.
bool entryExists(const QByteArray& path);

}  // namespace vantrel
