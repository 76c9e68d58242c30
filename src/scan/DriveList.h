#pragma once

#include "platform/Drives.h"
#include "settings/IniFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel {

// The roots the tools offer to walk: the system's drives (mounted real file
// systems, then the user's home folder; see systemDrives()) followed by the
// folders the user added, which the settings file keeps in section
// "Folders" in the pattern-list form (Number, File1 .. FileN).

inline const QString kFoldersSection = QStringLiteral("Folders");

// One entry of a drive list, with whether the user added it (and so may
// remove it again).
struct DriveListEntry {
    DriveEntry drive;
    bool userAdded = false;
    bool operator==(const DriveListEntry&) const = default;
};

// The stored folders, in stored order, as entries of type "folder". Paths
// are cleaned (no trailing "/", no "//" or "/./"); relative or empty paths
// and repeats are left out.
[[nodiscard]] QList<DriveEntry> storedFolders(const IniFile& settings);

// The system's drives followed by the stored folders that are not already
// listed (a folder that is also a system root is listed once, as the system's).
[[nodiscard]] QList<DriveListEntry> driveListEntries(const IniFile& settings);

enum class AddFolderResult {
    Added,
    AlreadyListed,    // the folder is a system root or already stored
    NotAFolder,       // not an absolute path of an existing folder
    NameNotStorable,  // the path is not valid UTF-8, so the settings file cannot hold it
    NotWritten,       // the settings file could not be written
    NameHasLineBreak,  // a line break: the settings file keeps a value on one line
};

// Stores `folder` at the end of the Folders section. `folder` is the exact
// bytes of an absolute path; it is cleaned as storedFolders() cleans. Blanks
// at the end of a name are kept (the value is quoted in the file); a name
// with a line break (CR or LF) anywhere in the path is refused. The check
// for a folder already stored and the write are one change of the file, so
// a folder another running copy added meanwhile is kept.
AddFolderResult addFolder(IniFile& settings, const QByteArray& folder);

// Removes a stored folder (exact root bytes as listed), in one change of the
// file. False when it was not stored or the file could not be written.
bool removeFolder(IniFile& settings, const QByteArray& root);

// The cleaned form of an absolute path: "/a//b/./c/" gives "/a/b/c".
// Empty for a relative or empty path.
[[nodiscard]] QByteArray cleanRootPath(const QByteArray& path);

// What the drive and file-type wizard hands back: the ticked roots in list
// order, exactly one of the three type modes, and (for include and exclude)
// the ticked type lines ("*.doc", a tab, the description).
struct DriveTypeChoice {
    QList<DriveEntry> drives;
    bool allFiles = true;
    bool includeSelected = false;
    bool excludeSelected = false;
    QStringList types;
};

// The index of the entry that holds the process's current folder most
// closely, or -1.
[[nodiscard]] int currentDriveIndex(const QList<DriveListEntry>& entries);

}  // namespace vantrel
