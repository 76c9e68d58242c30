#include "results/Deletion.h"

#include "platform/FileRecord.h"
#include "platform/Trash.h"
#include "text/Formats.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

QByteArray withoutTrailingSlashes(QByteArray path) {
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

// Splits a path into its folder and its last component.
void splitPath(const QByteArray& path, QByteArray* folder, QByteArray* name) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) {
        *folder = ".";
        *name = path;
    } else {
        *folder = slash == 0 ? QByteArray("/") : path.left(slash);
        *name = path.mid(slash + 1);
    }
}

// The bytes removing an entry frees as the listing reports them: a regular
// file's size; nothing for links, devices, fifos and sockets.
qint64 countedBytes(const struct stat& st) {
    return S_ISREG(st.st_mode) ? qint64(st.st_size) : 0;
}

// A file about to be removed: its folder opened, the entry examined without
// following a link. Fills `outcome.error` when it cannot be removed at all.
struct Target {
    int folderFd = -1;
    QByteArray name;
    struct stat st {};

    ~Target() {
        if (folderFd >= 0)
            ::close(folderFd);
    }
};

bool openTarget(const QByteArray& rawPath, Target& t, DeleteOutcome& outcome) {
    const QByteArray path = withoutTrailingSlashes(rawPath);
    QByteArray folder;
    splitPath(path, &folder, &t.name);
    if (path.isEmpty() || t.name.isEmpty() || t.name == "." || t.name == "..") {
        outcome.error = QStringLiteral("Not a file");
        return false;
    }
    t.folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (t.folderFd < 0) {
        outcome.error = errnoText(errno);
        return false;
    }
    if (::fstatat(t.folderFd, t.name.constData(), &t.st, AT_SYMLINK_NOFOLLOW) != 0) {
        outcome.error = errnoText(errno);
        return false;
    }
    if (S_ISDIR(t.st.st_mode)) {
        outcome.error = errnoText(EISDIR);
        return false;
    }
    return true;
}

}  // namespace

QList<QByteArray> DeleteRun::removedPaths() const {
    QList<QByteArray> out;
    for (const DeleteOutcome& o : outcomes) {
        if (o.removed)
            out.append(o.path);
    }
    return out;
}

QList<DeleteOutcome> DeleteRun::failures() const {
    QList<DeleteOutcome> out;
    for (const DeleteOutcome& o : outcomes) {
        if (!o.removed)
            out.append(o);
    }
    return out;
}

DeleteOutcome deleteFileForGood(const QByteArray& path) {
    DeleteOutcome outcome;
    outcome.path = path;
    Target t;
    if (!openTarget(path, t, outcome))
        return outcome;
    if (S_ISREG(t.st.st_mode) && !(t.st.st_mode & S_IWUSR)) {
        outcome.error = QStringLiteral("The file is read-only");
        return outcome;
    }
    if (::unlinkat(t.folderFd, t.name.constData(), 0) != 0) {
        outcome.error = errnoText(errno);
        return outcome;
    }
    outcome.removed = true;
    outcome.bytes = countedBytes(t.st);
    return outcome;
}

DeleteOutcome moveFileToTrash(const QByteArray& path) {
    DeleteOutcome outcome;
    outcome.path = path;
    Target t;
    if (!openTarget(path, t, outcome))
        return outcome;
    QString error;
    if (!moveToTrash(withoutTrailingSlashes(path), &error)) {
        outcome.error = error;
        return outcome;
    }
    outcome.removed = true;
    outcome.bytes = countedBytes(t.st);
    return outcome;
}

bool ListedState::matches(qint64 nowSize, const FileTime& now) const {
    if (nowSize != size)
        return false;
    switch (resolution) {
        case TimeResolution::PackedDate:
            return packFileTime(now) == packedTime;
        case TimeResolution::WholeSeconds:
            return !modified.recorded || (now.recorded && now.sec == modified.sec);
        case TimeResolution::Exact:
            break;
    }
    return !modified.recorded ||
           (now.recorded && now.sec == modified.sec && now.nsec == modified.nsec);
}

bool unchangedSinceListed(const QByteArray& path, const ListedState& listed) {
    FileRecord now;
    if (!statPath(path, now))
        return true;
    return listed.matches(now.size, now.writeTime);
}

QString changedSinceListedText() {
    return QStringLiteral("it changed since it was listed");
}

DeleteRun deleteFiles(const QList<QByteArray>& paths, DeleteMode mode,
                      const DeleteProgress& progress, const ListedStates& listed) {
    DeleteRun run;
    run.mode = mode;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        if (progress.starting)
            progress.starting(i);
        const auto was = listed.constFind(paths[i]);
        if (was != listed.cend() && !unchangedSinceListed(paths[i], *was)) {
            DeleteOutcome outcome;
            outcome.path = paths[i];
            outcome.error = changedSinceListedText();
            outcome.changed = true;
            run.outcomes.append(outcome);
            if (progress.finished)
                progress.finished(outcome);
            continue;
        }
        DeleteOutcome outcome =
            mode == DeleteMode::ForGood ? deleteFileForGood(paths[i]) : moveFileToTrash(paths[i]);
        if (outcome.removed) {
            ++run.removedCount;
            run.removedBytes += outcome.bytes;
        }
        run.outcomes.append(outcome);
        if (progress.finished)
            progress.finished(outcome);
        if (!outcome.removed && mode == DeleteMode::ToTrash) {
            run.stopped = i + 1 < paths.size();
            break;
        }
    }
    return run;
}

QList<QByteArray> sortedForDeletion(QList<QByteArray> paths) {
    std::stable_sort(paths.begin(), paths.end(), [](const QByteArray& a, const QByteArray& b) {
        const int c = QString::compare(displayText(a), displayText(b), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return paths;
}

QString recycleBinNote() {
    return QStringLiteral(
        "Note that the recycle bin may be full or that you may have the \"Immediately Remove "
        "Files On Delete\" option turned on in the recycle bin. If either is true, then you will "
        "not be able to recover the deleted files from the recycle bin. \n\nSend to the recycle "
        "bin anyway?");
}

// ---- Folder trees ---------------------------------------------------------

QString attributeQuestionText(const QByteArray& path, quint32 attribute) {
    QString phrase;
    switch (attribute) {
        case faReadOnly:
            phrase = QStringLiteral(" is read-only, ");
            break;
        case faHidden:
            phrase = QStringLiteral(" is hidden, ");
            break;
        default:
            phrase = QStringLiteral(" is a system file, ");
            break;
    }
    return displayText(path) + phrase +
           QStringLiteral("delete this file and continue deleting other files? ");
}

namespace {

class TreeDeleter {
public:
    TreeDeleter(bool recycle, const FolderDeletionCallbacks& callbacks)
        : m_recycle(recycle), m_callbacks(callbacks) {
        if (m_recycle) {
            struct stat st;
            if (::stat(homeTrashFolder().constData(), &st) == 0) {
                m_trashDevice = st.st_dev;
                m_trashInode = st.st_ino;
                m_haveTrash = true;
            }
        }
    }

    FolderDeletionResult run(const QByteArray& folder);

private:
    // Empties the folder `name` of `parentFd` (already examined as `st`).
    void emptyFolder(int parentFd, const QByteArray& name, const QByteArray& path,
                     const struct stat& st);
    void removeEntry(int folderFd, const QByteArray& name, const QByteArray& path,
                     const struct stat& st);
    // Removes the emptied folder `name` of `parentFd`.
    void removeFolder(int parentFd, const QByteArray& name, const QByteArray& path);
    bool isTrashFolder(const struct stat& st) const {
        return m_haveTrash && st.st_dev == m_trashDevice && st.st_ino == m_trashInode;
    }
    void fail(const QByteArray& path, int err, bool folder) {
        m_result.failures.append(DeletionFailure{path, errnoText(err), folder});
    }
    void mountedHere(const QByteArray& path) {
        m_result.failures.append(
            DeletionFailure{path, QStringLiteral("Another file system is mounted here"), true});
    }
    void tick() {
        if (m_callbacks.progress)
            m_callbacks.progress();
    }

    bool m_recycle;
    const FolderDeletionCallbacks& m_callbacks;
    FolderDeletionResult m_result;
    bool m_cancelled = false;
    dev_t m_device = 0;
    bool m_haveTrash = false;
    dev_t m_trashDevice = 0;
    ino_t m_trashInode = 0;
};

QByteArray childPath(const QByteArray& folder, const QByteArray& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// True when the folder `name` of `folderFd` is the root of a mount (a bind
// mount of the same file system included), as far as the kernel tells.
bool isMountRoot(int folderFd, const QByteArray& name) {
#ifdef STATX_ATTR_MOUNT_ROOT
    struct statx sx;
    if (::statx(folderFd, name.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE,
                &sx) != 0)
        return false;
    return (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
           (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
#else
    Q_UNUSED(folderFd);
    Q_UNUSED(name);
    return false;
#endif
}

// The names in an open folder ("." and ".." left out), in byte order.
bool readNames(int folderFd, QList<QByteArray>* names, int* err) {
    const int listFd = ::dup(folderFd);
    if (listFd < 0) {
        *err = errno;
        return false;
    }
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        *err = errno;
        ::close(listFd);
        return false;
    }
    ::rewinddir(dir);
    errno = 0;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..")
            names->append(name);
        errno = 0;
    }
    *err = errno;
    ::closedir(dir);
    std::sort(names->begin(), names->end());
    return *err == 0;
}

FolderDeletionResult TreeDeleter::run(const QByteArray& rawFolder) {
    const QByteArray folder = withoutTrailingSlashes(rawFolder);
    QByteArray parent, name;
    splitPath(folder, &parent, &name);
    if (folder.isEmpty() || name.isEmpty() || name == "." || name == "..") {
        m_result.failures.append(
            DeletionFailure{rawFolder, QStringLiteral("Not a folder that can be deleted"), true});
        return m_result;
    }
    const int parentFd = ::open(parent.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0) {
        fail(folder, errno, true);
        return m_result;
    }
    struct stat st;
    if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        fail(folder, errno, true);
    } else if (!S_ISDIR(st.st_mode)) {
        fail(folder, S_ISLNK(st.st_mode) ? ELOOP : ENOTDIR, true);
    } else if (isMountRoot(parentFd, name)) {
        mountedHere(folder);
    } else {
        m_device = st.st_dev;
        emptyFolder(parentFd, name, folder, st);
        if (!m_cancelled)
            removeFolder(parentFd, name, folder);
    }
    ::close(parentFd);
    m_result.finished = !m_cancelled;
    return m_result;
}

void TreeDeleter::emptyFolder(int parentFd, const QByteArray& name, const QByteArray& path,
                              const struct stat& st) {
    const int fd =
        ::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        fail(path, errno, true);
        return;
    }
    // The folder opened must be the one examined: not swapped in between.
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || opened.st_dev != st.st_dev || opened.st_ino != st.st_ino) {
        fail(path, ESTALE, true);
        ::close(fd);
        return;
    }
    QList<QByteArray> names;
    int err = 0;
    if (!readNames(fd, &names, &err))
        fail(path, err, true);
    for (const QByteArray& entry : std::as_const(names)) {
        if (m_cancelled)
            break;
        const QByteArray entryPath = childPath(path, entry);
        struct stat est;
        if (::fstatat(fd, entry.constData(), &est, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)  // gone already: nothing to do
                fail(entryPath, errno, false);
            continue;
        }
        if (S_ISDIR(est.st_mode)) {
            if (est.st_dev != m_device || isMountRoot(fd, entry)) {
                mountedHere(entryPath);  // another file system: left alone
                continue;
            }
            if (m_recycle && isTrashFolder(est))
                continue;
            emptyFolder(fd, entry, entryPath, est);
            if (!m_cancelled)
                removeFolder(fd, entry, entryPath);
        } else {
            removeEntry(fd, entry, entryPath, est);
        }
        tick();
    }
    ::close(fd);
}

void TreeDeleter::removeEntry(int folderFd, const QByteArray& name, const QByteArray& path,
                              const struct stat& st) {
    const quint32 attr = attributesFor(st.st_mode, name.constData(), name.size());
    for (const quint32 bit : {quint32(faReadOnly), quint32(faHidden), quint32(faSysFile)}) {
        if (!(attr & bit))
            continue;
        if (!m_callbacks.confirmAttribute || !m_callbacks.confirmAttribute(path, bit)) {
            m_cancelled = true;
            return;
        }
    }
    if (m_recycle) {
        QString error;
        if (!moveEntryToTrash(folderFd, name, path, &error)) {
            m_result.failures.append(DeletionFailure{path, error, false});
            return;
        }
    } else if (::unlinkat(folderFd, name.constData(), 0) != 0) {
        fail(path, errno, false);
        return;
    }
    ++m_result.files;
    m_result.bytes += countedBytes(st);
}

void TreeDeleter::removeFolder(int parentFd, const QByteArray& name, const QByteArray& path) {
    if (::unlinkat(parentFd, name.constData(), AT_REMOVEDIR) == 0)
        return;
    // A folder that still holds something stays; what held it was recorded
    // (or was left because the run was cancelled, or is the trash).
    if (errno != ENOTEMPTY && errno != EEXIST)
        fail(path, errno, true);
}

}  // namespace

FolderDeletionResult deleteFolderTree(const QByteArray& folder, bool recycle,
                                      const FolderDeletionCallbacks& callbacks) {
    TreeDeleter deleter(recycle, callbacks);
    FolderDeletionResult result = deleter.run(folder);
    struct stat st;
    result.folderRemoved = ::fstatat(AT_FDCWD, withoutTrailingSlashes(folder).constData(), &st,
                                     AT_SYMLINK_NOFOLLOW) != 0 &&
                           errno == ENOENT;
    return result;
}

namespace {

// Counts the tree of the folder open at `fd` (on `device`) into `c`.
void countTree(int fd, dev_t device, FolderTreeContents& c, const std::atomic<bool>* cancel) {
    QList<QByteArray> names;
    int err = 0;
    if (!readNames(fd, &names, &err))
        ++c.unreadable;
    for (const QByteArray& name : std::as_const(names)) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            c.cancelled = true;
            return;
        }
        struct stat st;
        if (::fstatat(fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;  // gone since it was listed
        if (!S_ISDIR(st.st_mode)) {
            ++c.files;
            c.bytes += countedBytes(st);
            continue;
        }
        if (st.st_dev != device || isMountRoot(fd, name))
            continue;  // the deletion leaves another file system alone
        ++c.folders;
        const int sub =
            ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) {
            ++c.unreadable;
            continue;
        }
        countTree(sub, device, c, cancel);
        ::close(sub);
        if (c.cancelled)
            return;
    }
}

}  // namespace

FolderTreeContents measureFolderTree(const QByteArray& rawFolder, const std::atomic<bool>* cancel) {
    FolderTreeContents c;
    const QByteArray folder = withoutTrailingSlashes(rawFolder);
    struct stat st;
    if (::lstat(folder.constData(), &st) != 0) {
        c.error = errno;
        return c;
    }
    if (S_ISLNK(st.st_mode) || !S_ISDIR(st.st_mode)) {
        c.error = S_ISLNK(st.st_mode) ? ELOOP : ENOTDIR;
        return c;
    }
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        c.error = errno;
        return c;
    }
    c.opened = true;
    countTree(fd, st.st_dev, c, cancel);
    ::close(fd);
    return c;
}

QString folderContentsText(const FolderTreeContents& c) {
    if (!c.opened) {
        if (c.error == ELOOP)
            return QStringLiteral("It is a symbolic link, not a folder.");
        return QStringLiteral("What it holds cannot be read: ") + errnoText(c.error);
    }
    const bool partial = c.unreadable > 0 || c.cancelled;
    QString text =
        QStringLiteral("It holds ") + (partial ? QStringLiteral("at least ") : QString()) +
        numberText(c.files) + QStringLiteral(" files and ") + numberText(c.folders) +
        QStringLiteral(" sub-folders, ") + numberText(c.bytes) + QStringLiteral(" bytes in all.");
    if (c.unreadable > 0)
        text += QLatin1Char(' ') + numberText(c.unreadable) +
                (c.unreadable == 1 ? QStringLiteral(" folder in it cannot be read.")
                                   : QStringLiteral(" folders in it cannot be read."));
    return text;
}

bool removeEmptyFolder(const QByteArray& folder) {
    // rmdir never follows a final link: a link to a folder is refused.
    return ::rmdir(withoutTrailingSlashes(folder).constData()) == 0;
}

}  // namespace vantrel
