#pragma once

#include <QByteArray>
#include <QString>

namespace vantrel {

// Moves one file, folder or link into the freedesktop.org trash: the home
// trash ($XDG_DATA_HOME/Trash, through QStandardPaths so that Qt's test mode
// redirects it) when the entry is on the same file system, otherwise
// "$topdir/.Trash/$uid" (when that folder exists, is sticky and is not a
// link) or "$topdir/.Trash-$uid" at the top of the entry's file system.
// A name clash in the trash is resolved by renaming (" 2", " 3", ...).
// The entry is renamed, never copied, and the path is used as exact bytes.
// Returns true only when the entry is gone from its place and is in the
// trash; on failure `error` says why and nothing has moved.
bool moveToTrash(const QByteArray& path, QString* error = nullptr,
                 QByteArray* pathInTrash = nullptr);

// The home trash folder ("<data>/Trash") as it would be used now.
QByteArray homeTrashFolder();

}  // namespace vantrel
