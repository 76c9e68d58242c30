#include "support/TestSupport.h"

#include "text/Formats.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <ftw.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace vantrel::test {

void prepareTestEnvironment() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "UTC");
    ::tzset();
    QStandardPaths::setTestModeEnabled(true);
    TextLocale::set(QLocale(QLocale::English, QLocale::UnitedStates));
}

namespace {

int makeWritable(const char* path, const struct stat* sb, int type, struct FTW*) {
    if (type == FTW_D || type == FTW_DNR || type == FTW_DP)
        ::chmod(path, (sb->st_mode & 07777) | S_IRWXU);
    return 0;
}

// Removes by exact bytes: names that are not UTF-8 cannot be removed through
// QDir, which sees them only as lossy text.
int removeEntry(const char* path, const struct stat*, int, struct FTW*) {
    ::remove(path);
    return 0;
}

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

}  // namespace

TempTree::TempTree() { m_dir.setAutoRemove(true); }

TempTree::~TempTree() {
    // Give every folder back its owner permissions so that removal succeeds.
    if (m_dir.isValid()) {
        ::nftw(root().constData(), makeWritable, 32, FTW_PHYS);
        ::nftw(root().constData(), removeEntry, 32, FTW_PHYS | FTW_DEPTH);
    }
}

QByteArray TempTree::root() const { return QFile::encodeName(m_dir.path()); }

QByteArray TempTree::path(const QByteArray& relative) const {
    return relative.isEmpty() ? root() : root() + '/' + relative;
}

QByteArray TempTree::mkdir(const QByteArray& relative) {
    const QByteArray full = path(relative);
    QByteArray sofar;
    for (const QByteArray& part : full.split('/')) {
        if (part.isEmpty()) {
            sofar += '/';
            continue;
        }
        sofar += (sofar.endsWith('/') ? "" : "/") + part;
        ::mkdir(sofar.constData(), 0755);
    }
    return full;
}

QByteArray TempTree::file(const QByteArray& relative, qint64 size, char fill) {
    return fileWith(relative, QByteArray(size, fill));
}

QByteArray TempTree::fileWith(const QByteArray& relative, const QByteArray& content) {
    const QByteArray full = path(relative);
    const QByteArray parent = parentOf(full);
    if (parent.size() > root().size())
        mkdir(parent.mid(root().size() + 1));
    const int fd = ::open(full.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        qint64 done = 0;
        while (done < content.size()) {
            const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        ::close(fd);
    }
    return full;
}

void TempTree::setTimes(const QByteArray& relative, const QDateTime& modified,
                        const QDateTime& accessed) {
    struct timespec ts[2];
    const QDateTime a = accessed.isValid() ? accessed : modified;
    ts[0].tv_sec = time_t(a.toSecsSinceEpoch());
    ts[0].tv_nsec = 0;
    ts[1].tv_sec = time_t(modified.toSecsSinceEpoch());
    ts[1].tv_nsec = 0;
    ::utimensat(AT_FDCWD, path(relative).constData(), ts, AT_SYMLINK_NOFOLLOW);
}

QByteArray TempTree::symlink(const QByteArray& relative, const QByteArray& target) {
    const QByteArray full = path(relative);
    ::symlink(target.constData(), full.constData());
    return full;
}

QByteArray TempTree::fifo(const QByteArray& relative) {
    const QByteArray full = path(relative);
    ::mkfifo(full.constData(), 0644);
    return full;
}

void TempTree::chmod(const QByteArray& relative, mode_t mode) {
    ::chmod(path(relative).constData(), mode);
}

bool runningAsRoot() { return ::geteuid() == 0; }

namespace {

constexpr unsigned kOverrideCaps =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool changeEffective(bool raise) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    if (raise)
        data[0].effective |= kOverrideCaps & data[0].permitted;
    else
        data[0].effective &= ~kOverrideCaps;
    return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

PermissionChecks::PermissionChecks() {
    if (!runningAsRoot()) {
        m_enforced = true;
        return;
    }
    m_dropped = changeEffective(false);
    m_enforced = m_dropped;
}

PermissionChecks::~PermissionChecks() {
    if (m_dropped)
        changeEffective(true);
}

int inMountNamespace(const QByteArray& expected, const std::function<QByteArray()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(2);
        const QByteArray out = body();
        if (out != expected && out != "SKIP")
            std::fprintf(stderr, "expected \"%s\"\n     got \"%s\"\n", expected.constData(),
                         out.constData());
        ::_exit(out == "SKIP" ? 2 : out == expected ? 0 : 1);
    }
    if (pid < 0)
        return 2;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

bool inConcurrentProcesses(int processes, const std::function<bool(int)>& body) {
    int start[2];
    if (::pipe(start) != 0)
        return false;
    QList<pid_t> children;
    for (int i = 0; i < processes; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(start[1]);
            char go = 0;
            const bool started = ::read(start[0], &go, 1) == 0;  // the parent closed its end
            ::_exit(started && body(i) ? 0 : 1);
        }
        if (pid > 0)
            children.append(pid);
    }
    ::close(start[0]);
    ::close(start[1]);  // all children go
    bool allPassed = children.size() == processes;
    for (const pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        allPassed = allPassed && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return allPassed;
}

}  // namespace vantrel::test
