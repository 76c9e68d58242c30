#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace vantrel {

// Which window asks to delete a folder; each words the root-folder refusal
// its own way.
enum class FolderDeleteCaller { Browse, FolderHogs };

// The refusal to delete `folder`, or nullopt when it may be deleted.
// Refused as a root folder: "/" and every mount point (a folder whose device
// differs from its parent's, that the kernel marks as the root of a mount,
// or that the mount table lists). Refused as a system folder ("You cannot
// delete the Windows folder using Vantrel"): exactly one of systemFolders()
// or the user's home folder itself, named directly or through another name
// for the same folder (a link, "..", doubled slashes); their sub-folders are
// allowed.
std::optional<QString> folderProtectionMessage(const QByteArray& folder, FolderDeleteCaller caller);

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
