#include "platform/Trash.h"

#include "platform/Drives.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

constexpr int kMaxNumberedName = 100000;
// NAME_MAX less ".trashinfo" and room for " 99999".
constexpr qsizetype kMaxTrashName = NAME_MAX - 10 - 6;

QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return "/";
    return path.left(slash);
}

QByteArray baseNameOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

// The absolute form of `path` with its folder part resolved (links, "." and
// ".."), the last component kept as it is so that a final link is moved
// itself. Empty when the folder part cannot be resolved.
QByteArray resolvedPath(const QByteArray& path, int* err) {
    QByteArray p = path;
    while (p.size() > 1 && p.endsWith('/'))
        p.chop(1);
    const QByteArray base = baseNameOf(p);
    const QByteArray folder = p.contains('/') ? parentOf(p) : QByteArray(".");
    char buf[PATH_MAX];
    if (!::realpath(folder.constData(), buf)) {
        *err = errno;
        return QByteArray();
    }
    const QByteArray resolved(buf);
    return resolved == "/" ? "/" + base : resolved + '/' + base;
}

// The top of the file system that holds `folder` (the last ancestor on the
// same device). `folder` has no links, "." or ".." in it.
QByteArray topDirectoryOf(const QByteArray& folder, dev_t device) {
    QByteArray top = folder;
    while (top != "/") {
        const QByteArray up = parentOf(top);
        struct stat st;
        if (::stat(up.constData(), &st) != 0 || st.st_dev != device)
            break;
        top = up;
    }
    return top;
}

bool makePrivateFolder(const QByteArray& path) {
    if (::mkdir(path.constData(), 0700) == 0)
        return true;
    if (errno != EEXIST)
        return false;
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// Prepares "<trash>/files" and "<trash>/info"; false when unusable.
bool prepareTrash(const QByteArray& trash) {
    return makePrivateFolder(trash) && makePrivateFolder(trash + "/files") &&
           makePrivateFolder(trash + "/info");
}

QByteArray percentEncodePath(const QByteArray& path) {
    return path.toPercentEncoding("/");
}

// Cuts `text` to at most `length` bytes without splitting a UTF-8 sequence.
QByteArray cutAtCharacter(const QByteArray& text, qsizetype length) {
    if (text.size() <= length)
        return text;
    qsizetype end = length;
    while (end > 0 && (uchar(text[end]) & 0xC0) == 0x80)
        --end;
    return text.left(end);
}

// The name of the n-th attempt (n = 1 is the entry's own name): the stem,
// " n" and the extension, the stem shortened when the whole would not fit.
QByteArray trashName(const QByteArray& base, int n) {
    const qsizetype dot = base.lastIndexOf('.');
    QByteArray stem = dot > 0 ? base.left(dot) : base;
    QByteArray ext = dot > 0 ? base.mid(dot) : QByteArray();
    if (ext.size() > kMaxTrashName / 2) {
        stem = base;
        ext.clear();
    }
    stem = cutAtCharacter(stem, kMaxTrashName - ext.size());
    return n == 1 ? stem + ext : stem + ' ' + QByteArray::number(n) + ext;
}

}  // namespace

QByteArray homeTrashFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QFile::encodeName(data) + "/Trash";
}

bool moveToTrash(const QByteArray& rawPath, QString* error, QByteArray* pathInTrash) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (rawPath.isEmpty())
        return fail(errnoText(ENOENT));
    int err = 0;
    const QByteArray path = resolvedPath(rawPath, &err);
    if (path.isEmpty())
        return fail(errnoText(err));
    const QByteArray name = baseNameOf(path);
    if (path == "/" || name.isEmpty() || name == "." || name == "..")
        return fail(QStringLiteral("The root folder cannot be moved to the trash"));
    const int folderFd = ::open(parentOf(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return fail(errnoText(errno));
    const bool moved = moveEntryToTrash(folderFd, name, path, error, pathInTrash);
    ::close(folderFd);
    return moved;
}

namespace {

// Moves the entry into one trash folder (prepared already): reserves a free
// name by creating its information file, writes it, renames the entry. On
// failure nothing is left behind, `renameError` holds errno when the rename
// itself failed (0 otherwise).
bool moveInto(int folderFd, const QByteArray& name, const QByteArray& trash,
              const QByteArray& infoPath, QString* error, QByteArray* pathInTrash,
              int* renameError) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    *renameError = 0;
    // Reserve a unique name by creating its information file exclusively.
    QByteArray chosen;
    int fd = -1;
    for (int n = 1; n < kMaxNumberedName && fd < 0; ++n) {
        const QByteArray candidate = trashName(name, n);
        struct stat st;
        if (::lstat((trash + "/files/" + candidate).constData(), &st) == 0)
            continue;
        const QByteArray info = trash + "/info/" + candidate + ".trashinfo";
        fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0)
            chosen = candidate;
        else if (errno != EEXIST)
            return fail(errnoText(errno));
    }
    if (fd < 0)
        return fail(QStringLiteral("No free name in the trash"));

    const QByteArray infoFile = trash + "/info/" + chosen + ".trashinfo";
    const QByteArray content =
        "[Trash Info]\nPath=" + percentEncodePath(infoPath) + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() +
        "\n";
    const bool written =
        ::write(fd, content.constData(), size_t(content.size())) == ssize_t(content.size());
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(infoFile.constData());
        return fail(QStringLiteral("The trash information could not be written"));
    }
    const QByteArray target = trash + "/files/" + chosen;
    if (::renameat(folderFd, name.constData(), AT_FDCWD, target.constData()) != 0) {
        *renameError = errno;
        ::unlink(infoFile.constData());
        return fail(errnoText(*renameError));
    }
    if (pathInTrash)
        *pathInTrash = target;
    return true;
}

QList<QByteArray> currentMountPoints() {
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    return mounts.open(QIODevice::ReadOnly) ? mountPointsOf(mounts.readAll()) : QList<QByteArray>();
}

}  // namespace

QByteArray mountTopOf(const QByteArray& path, const QList<QByteArray>& mountPoints) {
    QByteArray best = "/";
    for (const QByteArray& m : mountPoints) {
        const bool holds = m == "/" || path == m ||
                           (path.startsWith(m) && path.size() > m.size() && path[m.size()] == '/');
        if (holds && m.size() > best.size())
            best = m;
    }
    return best;
}

bool moveEntryToTrash(int folderFd, const QByteArray& name, const QByteArray& originalPath,
                      QString* error, QByteArray* pathInTrash) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/'))
        return fail(QStringLiteral("Not a name of a folder entry"));
    if (!originalPath.startsWith('/'))
        return fail(QStringLiteral("The original path is not absolute"));

    struct stat entry;
    if (::fstatat(folderFd, name.constData(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
        return fail(errnoText(errno));

    // The home trash when the entry is on its device. A bind mount of the
    // home file system is the same device but another mount, which a rename
    // cannot cross (EXDEV): then the entry goes to the trash at the top of
    // its own mount, as on any other file system.
    const QByteArray dataFolder =
        QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    if (!dataFolder.isEmpty())
        QDir().mkpath(QFile::decodeName(dataFolder));
    struct stat dataStat;
    if (!dataFolder.isEmpty() && ::stat(dataFolder.constData(), &dataStat) == 0 &&
        dataStat.st_dev == entry.st_dev) {
        const QByteArray trash = dataFolder + "/Trash";
        if (!prepareTrash(trash))
            return fail(QStringLiteral("The trash folder cannot be used"));
        int renameError = 0;
        if (moveInto(folderFd, name, trash, originalPath, error, pathInTrash, &renameError))
            return true;
        if (renameError != EXDEV)
            return false;
        if (error)
            error->clear();
    }

    // The top of the entry's file system: the deeper of the last ancestor on
    // its device and the mount point that holds it (a bind mount shares the
    // device of what it shows, so only the mount table tells where it ends).
    char buf[PATH_MAX];
    const QByteArray folder =
        ::realpath(parentOf(originalPath).constData(), buf) ? QByteArray(buf) : parentOf(originalPath);
    const QByteArray realPath = folder == "/" ? "/" + name : folder + '/' + name;
    QByteArray top = topDirectoryOf(folder, entry.st_dev);
    const QByteArray mountTop = mountTopOf(folder, currentMountPoints());
    if (mountTop.size() > top.size())
        top = mountTop;
    const QByteArray topPrefix = top == "/" ? QByteArray() : top;
    const QByteArray uid = QByteArray::number(::getuid());
    const QByteArray shared = topPrefix + "/.Trash";
    QByteArray trash;
    struct stat sharedStat;
    bool usable = false;
    if (::lstat(shared.constData(), &sharedStat) == 0 && S_ISDIR(sharedStat.st_mode) &&
        (sharedStat.st_mode & S_ISVTX)) {
        trash = shared + '/' + uid;
        usable = prepareTrash(trash);
    }
    if (!usable) {
        trash = topPrefix + "/.Trash-" + uid;
        usable = prepareTrash(trash);
    }
    if (!usable)
        return fail(QStringLiteral("No trash can be used on this file system"));
    // Path= is relative to the top folder.
    const QByteArray infoPath = top == "/" ? realPath.mid(1) : realPath.mid(top.size() + 1);
    // A trash on another device than the entry cannot take it by renaming.
    struct stat trashStat;
    if (::stat((trash + "/files").constData(), &trashStat) != 0 ||
        trashStat.st_dev != entry.st_dev)
        return fail(QStringLiteral("No trash can be used on this file system"));
    int renameError = 0;
    return moveInto(folderFd, name, trash, infoPath, error, pathInTrash, &renameError);
}

}  // namespace vantrel
