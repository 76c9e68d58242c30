#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

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
// real file systems in table order (pseudo file systems such as proc, sysfs,
// cgroup, devpts, ... and anything mounted inside /proc or /sys left out; a
// mount point mounted twice listed once, at its first place, with the type of
// the last mount).
QList<DriveEntry> parseMountTable(const QByteArray& table);

// The mounted real file systems of this machine, then the user's home folder
// (type "folder"). Tests can replace the whole list with setDriveListOverride.
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
