#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace vantrel {

// Moves one file, folder or link into the freedesktop.org trash: the home
// trash ($XDG_DATA_HOME/Trash, through QStandardPaths so that Qt's test mode
// redirects it) when the entry is on the same file system and mount,
// otherwise "$topdir/.Trash/$uid" (when that folder exists, is sticky and is
// not a link) or "$topdir/.Trash-$uid" (made with mode 0700, never a link)
// at the top of the mount that holds the entry. So an entry under a bind
// mount of the home file system, which no rename can take to the home trash
// ("Invalid cross-device link"), goes to the trash at the top of that bind
// mount.
// A name clash in the trash is resolved by renaming ("name 2.ext",
// "name 3.ext", ...); a name too long to carry the ".trashinfo" suffix is
// shortened in the trash (the information file keeps the original path).
// The entry is renamed, never copied, and the path is used as exact bytes; a
// final symbolic link is moved itself, not followed.
// Returns true only when the entry is gone from its place and is in the
// trash; on failure `error` says why and nothing has moved.
bool moveToTrash(const QByteArray& path, QString* error = nullptr,
                 QByteArray* pathInTrash = nullptr);

// The same for the entry `name` (one path component) of the open folder
// `folderFd`. `originalPath` is the entry's absolute path as the user knows
// it: it is written into the trash information and used to find the top of
// the entry's file system. The rename is done relative to `folderFd`, so a
// folder of the path that was swapped for a symbolic link after the folder
// was opened is not followed.
bool moveEntryToTrash(int folderFd, const QByteArray& name, const QByteArray& originalPath,
                      QString* error = nullptr, QByteArray* pathInTrash = nullptr);

// The home trash folder ("<data>/Trash") as it would be used now.
QByteArray homeTrashFolder();

// The top of the mount that holds `path` (absolute, links resolved): the
// longest of `mountPoints` that is `path` or one of its ancestors, "/" when
// none is.
QByteArray mountTopOf(const QByteArray& path, const QList<QByteArray>& mountPoints);

}  // namespace vantrel
