#include "results/FolderProtection.h"

#include "platform/Drives.h"
#include "scan/DriveList.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <limits.h>
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

bool listedInMountTable(const QByteArray& normal) {
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly))
        return false;
    for (const DriveEntry& d : parseMountTable(mounts.readAll())) {
        if (d.root == normal)
            return true;
    }
    return false;
}

}  // namespace

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
    const QByteArray normal = lexicallyNormalPath(folder);
    if (normal == "/")
        return true;
    // Another name for "/" (a link to it, for instance).
    if (sameFolder(folderIdentity(folder), folderIdentity("/")))
        return true;
    if (isMountPoint(folder) || markedAsMountRoot(folder))
        return true;
    if (listedInMountTable(normal))
        return true;
    // The folder's real name may be listed where the given one is not.
    char buf[PATH_MAX];
    if (::realpath(folder.constData(), buf))
        return listedInMountTable(QByteArray(buf));
    return false;
}

std::optional<QString> folderProtectionMessage(const QByteArray& folder,
                                               FolderDeleteCaller caller) {
    if (folder.isEmpty())
        return std::nullopt;
    if (isProtectedMountPoint(folder))
        return rootFolderMessage(caller);
    const QByteArray normal = lexicallyNormalPath(folder);
    const auto identity = folderIdentity(folder);
    QList<QByteArray> guarded = systemFolders();
    guarded.append(homeFolder());
    for (const QByteArray& system : std::as_const(guarded)) {
        if (normal == system || sameFolder(identity, folderIdentity(system)))
            return systemFolderMessage();
    }
    return std::nullopt;
}

}  // namespace vantrel
