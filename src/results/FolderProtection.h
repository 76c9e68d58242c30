#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace vantrel {

// Which window asks to delete a folder; each words the root-folder refusal
// its own way.
enum class FolderDeleteCaller { Browse, FolderHogs };

// What the protections guard, as it stands on this machine now, or as a
// test gives it.
struct ProtectedFolders {
    QList<QByteArray> systemFolders;  // systemFolders()
    QByteArray home;                  // the user's home folder
    QList<QByteArray> mountPoints;    // every mount point of the mount table
    QList<QByteArray> driveRoots;     // every root of the drive list (systemDrives, added folders)

    // From the system: /proc/self/mounts, the home folder and the drive list
    // of the program's settings file.
    static ProtectedFolders current();
};

// The refusal to delete `folder`, or nullopt when it may be deleted.
// Refused as a root folder (the caller's root message): "/", every mount
// point (a folder whose device differs from its parent's, that the kernel
// marks as the root of a mount, or that the mount table lists), every root
// of the drive list, and every folder that contains one of these.
// Refused as a system folder ("You cannot delete the Windows folder using
// Vantrel"): one of systemFolders() or the user's home folder, and every
// folder that contains one (`/home` above the home folder). Folders are
// compared by their name as given, by their real name (links resolved) and
// by identity (device and inode), so another name for the same folder (a
// link, "..", doubled slashes) is refused as well. Sub-folders of the
// protected folders are allowed. Where both refusals apply, a mount point
// itself gets the root message, and otherwise a folder that is or holds a
// system folder or the home folder (itself also a drive-list entry) gets the
// system message.
std::optional<QString> folderProtectionMessage(const QByteArray& folder, FolderDeleteCaller caller);
std::optional<QString> folderProtectionMessage(const QByteArray& folder, FolderDeleteCaller caller,
                                               const ProtectedFolders& guarded);

// The two refusals' texts.
QString rootFolderMessage(FolderDeleteCaller caller);
QString systemFolderMessage();

// /bin /boot /dev /etc /lib /lib32 /lib64 /libx32 /opt /proc /root /run
// /sbin /srv /sys /usr /var.
const QList<QByteArray>& systemFolders();

// True when `folder` is "/" or a mount point (see above).
bool isProtectedMountPoint(const QByteArray& folder);

// `path` made absolute (against the current folder) with doubled slashes,
// "." and ".." removed by their text alone, without a trailing "/".
QByteArray lexicallyNormalPath(const QByteArray& path);

}  // namespace vantrel
