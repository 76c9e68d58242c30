#include "results/FolderProtection.h"

#include "platform/Drives.h"
#include "scan/DriveList.h"
#include "settings/IniFile.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
};

// The folder a path names, following links; nullopt when it is not one.
std::optional<Identity> folderIdentity(const QByteArray& path) {
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return Identity{st.st_dev, st.st_ino};
}

bool sameFolder(const std::optional<Identity>& a, const std::optional<Identity>& b) {
    return a && b && a->device == b->device && a->inode == b->inode;
}

QByteArray homeFolder() {
    return lexicallyNormalPath(QFile::encodeName(QDir::homePath()));
}

QByteArray mountTable() {
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    return mounts.open(QIODevice::ReadOnly) ? mounts.readAll() : QByteArray();
}

bool markedAsMountRoot(const QByteArray& path) {
#ifdef STATX_ATTR_MOUNT_ROOT
    struct statx sx;
    if (::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE,
                &sx) != 0)
        return false;
    return (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
           (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
#else
    Q_UNUSED(path);
    return false;
#endif
}

// The real name of a path (links, "." and ".." resolved), or empty when it
// cannot be resolved (it does not exist).
QByteArray realPath(const QByteArray& path) {
    char buf[PATH_MAX];
    return ::realpath(path.constData(), buf) ? QByteArray(buf) : QByteArray();
}

// The names by which a folder is known: as given (made absolute and clean)
// and, when different, its real name.
QList<QByteArray> namesOf(const QByteArray& path) {
    QList<QByteArray> names{lexicallyNormalPath(path)};
    const QByteArray real = realPath(path);
    if (!real.isEmpty() && real != names.first())
        names.append(real);
    return names;
}

// True when `inner` is `outer` or lies inside it, by their clean names.
bool holds(const QByteArray& outer, const QByteArray& inner) {
    return outer == inner || outer == "/" ||
           (inner.startsWith(outer) && inner.size() > outer.size() && inner[outer.size()] == '/');
}

bool anyHolds(const QList<QByteArray>& outerNames, const QList<QByteArray>& innerNames) {
    for (const QByteArray& outer : outerNames) {
        for (const QByteArray& inner : innerNames) {
            if (holds(outer, inner))
                return true;
        }
    }
    return false;
}

// Whether `folder` is one of `guarded` or holds one: by name as given, by
// real name, and (for the folder itself) by identity. The guarded folders'
// real names are looked up too, when `resolve` allows it (not for mount
// points: resolving one could wait on a network file system that hangs).
bool holdsAnyOf(const QList<QByteArray>& folderNames, const std::optional<Identity>& identity,
                const QList<QByteArray>& guarded, bool resolve) {
    for (const QByteArray& g : guarded) {
        if (g.isEmpty())
            continue;
        const QList<QByteArray> names = resolve ? namesOf(g) : QList<QByteArray>{g};
        if (anyHolds(folderNames, names))
            return true;
        if (resolve && sameFolder(identity, folderIdentity(g)))
            return true;
    }
    return false;
}

bool isListedOrMarkedMountPoint(const QByteArray& folder, const QList<QByteArray>& folderNames,
                                const QList<QByteArray>& mountPoints) {
    if (folderNames.first() == "/")
        return true;
    // Another name for "/" (a link to it, for instance).
    if (sameFolder(folderIdentity(folder), folderIdentity("/")))
        return true;
    if (isMountPoint(folder) || markedAsMountRoot(folder))
        return true;
    for (const QByteArray& name : folderNames) {
        if (mountPoints.contains(name))
            return true;
    }
    return false;
}

}  // namespace

ProtectedFolders ProtectedFolders::current() {
    ProtectedFolders p;
    p.systemFolders = vantrel::systemFolders();
    p.home = homeFolder();
    p.mountPoints = mountPointsOf(mountTable());
    for (const DriveListEntry& e : driveListEntries(vantrelIni()))
        p.driveRoots.append(e.drive.root);
    return p;
}

QByteArray lexicallyNormalPath(const QByteArray& path) {
    QByteArray absolute = path;
    if (!absolute.startsWith('/')) {
        char buf[PATH_MAX];
        const QByteArray cwd = ::getcwd(buf, sizeof buf) ? QByteArray(buf) : QByteArray("/");
        absolute = cwd + '/' + path;
    }
    return cleanRootPath(absolute);
}

const QList<QByteArray>& systemFolders() {
    static const QList<QByteArray> folders = {
        "/bin",  "/boot", "/dev", "/etc",  "/lib", "/lib32", "/lib64", "/libx32", "/opt",
        "/proc", "/root", "/run", "/sbin", "/srv", "/sys",   "/usr",   "/var"};
    return folders;
}

QString rootFolderMessage(FolderDeleteCaller caller) {
    if (caller == FolderDeleteCaller::Browse)
        return QStringLiteral(
            "Cannot delete the root folder! To delete a folder including all files and "
            "sub-folders double click on the desired folder shown in the left panel.");
    return QStringLiteral("You cannot delete the root folder using Vantrel");
}

QString systemFolderMessage() {
    return QStringLiteral("You cannot delete the Windows folder using Vantrel");
}

bool isProtectedMountPoint(const QByteArray& folder) {
    return isListedOrMarkedMountPoint(folder, namesOf(folder), mountPointsOf(mountTable()));
}

std::optional<QString> folderProtectionMessage(const QByteArray& folder,
                                               FolderDeleteCaller caller) {
    return folderProtectionMessage(folder, caller, ProtectedFolders::current());
}

std::optional<QString> folderProtectionMessage(const QByteArray& folder, FolderDeleteCaller caller,
                                               const ProtectedFolders& guarded) {
    if (folder.isEmpty())
        return std::nullopt;
    const QList<QByteArray> names = namesOf(folder);
    const auto identity = folderIdentity(folder);
    // A mount point itself is a root. Then the system folders and the home
    // folder, the folder itself or one it holds (so /home above the home
    // folder gets the system message, as the home folder itself does); then
    // the drive list's roots and the mount points, itself or held.
    if (isListedOrMarkedMountPoint(folder, names, guarded.mountPoints))
        return rootFolderMessage(caller);
    QList<QByteArray> system = guarded.systemFolders;
    system.append(guarded.home);
    if (holdsAnyOf(names, identity, system, true))
        return systemFolderMessage();
    if (holdsAnyOf(names, identity, guarded.driveRoots, true) ||
        holdsAnyOf(names, identity, guarded.mountPoints, false))
        return rootFolderMessage(caller);
    return std::nullopt;
}

}  // namespace vantrel
