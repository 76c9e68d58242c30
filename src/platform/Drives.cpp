#include "platform/Drives.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSet>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>

namespace vantrel {

namespace {

// File systems that hold no user files: kernel interfaces and read-only
// package images.
const QSet<QByteArray>& pseudoFileSystems() {
    static const QSet<QByteArray> types = {
        "proc",        "sysfs",      "cgroup",    "cgroup2",     "devpts",    "devtmpfs",
        "securityfs",  "mqueue",     "debugfs",   "tracefs",     "bpf",       "autofs",
        "fusectl",     "configfs",   "pstore",    "binfmt_misc", "hugetlbfs", "efivarfs",
        "nsfs",        "rpc_pipefs", "selinuxfs", "squashfs",    "ramfs",     "fuse.gvfsd-fuse",
        "fuse.portal", "nfsd"};
    return types;
}

// Undoes the octal escapes (\040 for a blank, \011, \012, \134) of a mount table field.
QByteArray unescapeMountField(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\\' && i + 3 < field.size()) {
            const QByteArray oct = field.mid(i + 1, 3);
            bool ok = oct.size() == 3;
            for (char d : oct)
                ok = ok && d >= '0' && d <= '7';
            if (ok) {
                out.append(char(oct.toInt(nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

bool atOrInside(const QByteArray& root, const char* top) {
    const QByteArray t(top);
    return root == t || (root.startsWith(t) && root.size() > t.size() && root[t.size()] == '/');
}

// Places that hold no user files, whatever is mounted there: the kernel's
// interfaces (/proc, /sys, /dev with /dev/shm) and the runtime folders under
// /run (/run/user/<uid>, /run/lock, /run/credentials, ...). Some systems
// mount removable media under /run/media; a real file system there stays.
bool outsideUserPlaces(const QByteArray& root, const QByteArray& type) {
    for (const char* top : {"/proc", "/sys", "/dev"}) {
        if (atOrInside(root, top))
            return true;
    }
    if (atOrInside(root, "/run"))
        return !atOrInside(root, "/run/media") || root == "/run/media" || type == "tmpfs";
    return false;
}

struct MountLine {
    QByteArray root;
    QByteArray type;
};

// The mount points of a table in table order, each once with the type of
// its last mount (which hides the earlier ones).
QList<MountLine> mountLines(const QByteArray& table) {
    QList<MountLine> mounts;
    for (const QByteArray& line : table.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3)
            continue;
        QByteArray root = unescapeMountField(fields[1]);
        if (root.isEmpty() || root[0] != '/')
            continue;
        while (root.size() > 1 && root.endsWith('/'))
            root.chop(1);
        bool replaced = false;
        for (MountLine& m : mounts) {
            if (m.root == root) {
                m.type = fields[2];
                replaced = true;
            }
        }
        if (!replaced)
            mounts.append(MountLine{root, fields[2]});
    }
    return mounts;
}

QMutex overrideMutex;
std::optional<QList<DriveEntry>> driveOverride;

}  // namespace

QString DriveEntry::text() const {
    return QFile::decodeName(root) + QStringLiteral("  [") + type + QLatin1Char(']');
}

QList<DriveEntry> parseMountTable(const QByteArray& table) {
    QList<DriveEntry> drives;
    for (const MountLine& m : mountLines(table)) {
        if (pseudoFileSystems().contains(m.type) || outsideUserPlaces(m.root, m.type))
            continue;
        drives.append(DriveEntry{m.root, QString::fromUtf8(m.type)});
    }
    std::sort(drives.begin(), drives.end(),
              [](const DriveEntry& a, const DriveEntry& b) { return a.root < b.root; });
    return drives;
}

QList<QByteArray> mountPointsOf(const QByteArray& table) {
    QList<QByteArray> roots;
    for (const MountLine& m : mountLines(table))
        roots.append(m.root);
    return roots;
}

QList<DriveEntry> drivesOf(const QByteArray& table, const QByteArray& homeFolder,
                           const std::function<bool(const QByteArray&)>& canEnter) {
    QList<DriveEntry> drives;
    for (const DriveEntry& d : parseMountTable(table)) {
        if (!canEnter || canEnter(d.root))
            drives.append(d);
    }
    QByteArray home = homeFolder;
    while (home.size() > 1 && home.endsWith('/'))
        home.chop(1);
    bool listed = false;
    for (const DriveEntry& d : std::as_const(drives))
        listed = listed || d.root == home;
    if (!listed && !home.isEmpty())
        drives.append(DriveEntry{home, QStringLiteral("folder")});
    return drives;
}

bool canEnterFolder(const QByteArray& path) {
    // AT_EACCESS: the rights the program runs with, as opening would use them.
    return ::faccessat(AT_FDCWD, path.constData(), X_OK, AT_EACCESS) == 0;
}

QList<DriveEntry> systemDrives() {
    {
        QMutexLocker lock(&overrideMutex);
        if (driveOverride)
            return *driveOverride;
    }
    QByteArray table;
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (mounts.open(QIODevice::ReadOnly))
        table = mounts.readAll();
    return drivesOf(table, QFile::encodeName(QDir::homePath()), canEnterFolder);
}

void setDriveListOverride(std::optional<QList<DriveEntry>> drives) {
    QMutexLocker lock(&overrideMutex);
    driveOverride = std::move(drives);
}

int closestDriveIndex(const QList<DriveEntry>& drives, const QByteArray& folder) {
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < drives.size(); ++i) {
        const QByteArray& root = drives[i].root;
        const bool holds =
            folder == root || (root == "/" && folder.startsWith('/')) ||
            (folder.startsWith(root) && folder.size() > root.size() && folder[root.size()] == '/');
        if (holds && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

QByteArray rootOfDriveText(const QString& text) {
    const qsizetype cut = text.lastIndexOf(QStringLiteral("  ["));
    return QFile::encodeName(cut < 0 ? text : text.left(cut));
}

std::optional<DiskGeometry> diskGeometry(const QByteArray& path) {
    struct statvfs vfs;
    if (::statvfs(path.constData(), &vfs) != 0)
        return std::nullopt;
    DiskGeometry g;
    g.clusterSize = qint64(vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize);
    g.totalClusters = qint64(vfs.f_blocks);
    g.freeClusters = qint64(vfs.f_bavail);
    return g;
}

bool driveReady(const QByteArray& root) {
    return diskGeometry(root).has_value();
}

bool isMountPoint(const QByteArray& path) {
    QByteArray p = path;
    while (p.size() > 1 && p.endsWith('/'))
        p.chop(1);
    if (p == "/")
        return true;
    struct stat self, parent;
    if (::lstat(p.constData(), &self) != 0 || !S_ISDIR(self.st_mode))
        return false;
    if (::stat((p + "/..").constData(), &parent) != 0)
        return false;
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

}  // namespace vantrel
