#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace vantrel {

// One root that the tools can walk: a mounted file system, the user's home
// folder, or a folder the user added. Its text in a drive list is the root's
// path, two blanks and the type in brackets: "/home  [ext4]", "/home/ann  [folder]".
struct DriveEntry {
    QByteArray root;  // exact bytes of the root's path, never with a trailing "/" (except "/")
    QString type;     // file-system type, or "folder"

    QString text() const;
    bool operator==(const DriveEntry&) const = default;
};

// Parses a mount table in the format of /proc/self/mounts and returns the
// file systems a user keeps files on, each mount point once (with the type of
// its last mount, the one that is seen there), sorted by the bytes of their
// paths, so the order does not depend on the order in which the system
// happened to mount them. Left out: pseudo file systems (proc, sysfs,
// cgroup, devpts, tmpfs-like kernel interfaces, ...), anything mounted at or
// inside /proc, /sys or /dev (/dev/shm included), and at or inside /run (the
// per-user runtime folders /run/user/<uid>, /run/lock, ...), except real
// file systems under /run/media, where some systems mount removable media.
QList<DriveEntry> parseMountTable(const QByteArray& table);

// Every mount point of a mount table, unfiltered, in table order, each once;
// escapes undone. The folder protections use it: a mount point holds files
// that a folder deletion must not reach, whatever its type.
QList<QByteArray> mountPointsOf(const QByteArray& table);

// The drive list made of a mount table and a home folder: parseMountTable's
// file systems that `canEnter` allows (a mount the user cannot enter, such as
// another user's private mount, is no drive of theirs), then `home` (type
// "folder") unless it is listed already.
QList<DriveEntry> drivesOf(const QByteArray& table, const QByteArray& home,
                           const std::function<bool(const QByteArray&)>& canEnter);

// True when the user may enter (search) the folder: an access check with the
// process's effective rights.
bool canEnterFolder(const QByteArray& path);

// The drive list of this machine: drivesOf its mount table, the user's home
// folder and canEnterFolder. Tests can replace the whole list with
// setDriveListOverride.
QList<DriveEntry> systemDrives();
void setDriveListOverride(std::optional<QList<DriveEntry>> drives);

// The index of the entry whose root holds `folder` most closely (the longest
// root that is `folder` itself or one of its ancestors), or -1.
int closestDriveIndex(const QList<DriveEntry>& drives, const QByteArray& folder);

// The root path of a drive-list text ("/home  [ext4]" gives "/home"). The
// exact bytes of a root whose name is not valid UTF-8 travel in DriveEntry;
// this is for texts typed or stored as text.
QByteArray rootOfDriveText(const QString& text);

// Drive geometry from statvfs: cluster = f_frsize, total = f_blocks,
// free = f_bavail (in clusters).
struct DiskGeometry {
    qint64 clusterSize = 0;
    qint64 totalClusters = 0;
    qint64 freeClusters = 0;
    qint64 totalBytes() const { return clusterSize * totalClusters; }
    qint64 freeBytes() const { return clusterSize * freeClusters; }
};
std::optional<DiskGeometry> diskGeometry(const QByteArray& path);

// A drive is ready when its geometry can be read.
bool driveReady(const QByteArray& root);

// True when `path` is a mount point (its device differs from its parent's,
// or it is "/"). Used by the root-folder protection of folder deletion.
bool isMountPoint(const QByteArray& path);

}  // namespace vantrel
