#include "platform/Trash.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

QString errnoText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

QByteArray absolutePath(const QByteArray& path) {
    if (path.startsWith('/'))
        return path;
    char buf[PATH_MAX];
    if (!::getcwd(buf, sizeof buf))
        return path;
    QByteArray cwd(buf);
    return cwd.endsWith('/') ? cwd + path : cwd + '/' + path;
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

// The top of the file system that holds `folder` (the last ancestor on the
// same device).
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
    QByteArray path = absolutePath(rawPath);
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    if (path == "/")
        return fail(QStringLiteral("The root folder cannot be moved to the trash"));

    struct stat entry;
    if (::lstat(path.constData(), &entry) != 0)
        return fail(errnoText(errno));

    // Choose the trash: home trash on the same device, else one at the top
    // of the entry's own file system.
    QByteArray trash;
    QByteArray infoPath = path;  // the Path= value: absolute, or relative to the top folder
    const QByteArray dataFolder =
        QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QDir().mkpath(QFile::decodeName(dataFolder));
    struct stat dataStat;
    if (!dataFolder.isEmpty() && ::stat(dataFolder.constData(), &dataStat) == 0 &&
        dataStat.st_dev == entry.st_dev) {
        trash = dataFolder + "/Trash";
        if (!prepareTrash(trash))
            return fail(QStringLiteral("The trash folder cannot be used"));
    } else {
        const QByteArray top = topDirectoryOf(parentOf(path), entry.st_dev);
        const QByteArray uid = QByteArray::number(::getuid());
        const QByteArray shared = (top == "/" ? QByteArray() : top) + "/.Trash";
        struct stat sharedStat;
        bool usable = false;
        if (::lstat(shared.constData(), &sharedStat) == 0 && S_ISDIR(sharedStat.st_mode) &&
            (sharedStat.st_mode & S_ISVTX)) {
            trash = shared + '/' + uid;
            usable = prepareTrash(trash);
        }
        if (!usable) {
            trash = (top == "/" ? QByteArray() : top) + "/.Trash-" + uid;
            usable = prepareTrash(trash);
        }
        if (!usable)
            return fail(QStringLiteral("No trash can be used on this file system"));
        infoPath = top == "/" ? path : path.mid(top.size() + 1);
    }

    // Reserve a unique name by creating its info file exclusively.
    const QByteArray base = baseNameOf(path);
    QByteArray name = base;
    int fd = -1;
    for (int n = 2; n < 100000; ++n) {
        const QByteArray info = trash + "/info/" + name + ".trashinfo";
        struct stat st;
        if (::lstat((trash + "/files/" + name).constData(), &st) != 0) {
            fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0)
                break;
            if (errno != EEXIST)
                return fail(errnoText(errno));
        }
        const qsizetype dot = base.lastIndexOf('.');
        name = dot > 0 ? base.left(dot) + ' ' + QByteArray::number(n) + base.mid(dot)
                       : base + ' ' + QByteArray::number(n);
    }
    if (fd < 0)
        return fail(QStringLiteral("No free name in the trash"));

    const QByteArray infoFile = trash + "/info/" + name + ".trashinfo";
    const QByteArray content =
        "[Trash Info]\nPath=" + percentEncodePath(infoPath) + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() +
        "\n";
    const bool written = ::write(fd, content.constData(), size_t(content.size())) ==
                         ssize_t(content.size());
    ::close(fd);
    if (!written) {
        ::unlink(infoFile.constData());
        return fail(QStringLiteral("The trash information could not be written"));
    }
    const QByteArray target = trash + "/files/" + name;
    if (::rename(path.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(infoFile.constData());
        return fail(errnoText(err));
    }
    if (pathInTrash)
        *pathInTrash = target;
    return true;
}

}  // namespace vantrel
