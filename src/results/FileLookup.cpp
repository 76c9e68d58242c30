#include "results/FileLookup.h"

#include <QSet>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace vantrel {

namespace {

// Below this many paths one thread is quicker than starting more.
constexpr std::size_t kPathsPerThread = 4096;
constexpr unsigned kMaxThreads = 8;

// The size of an entry, or -1 where there is none or it is a folder.
qint64 sizeAt(int dirfd, const char* path) {
    struct stat st;
    if (::fstatat(dirfd, path, &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode))
        return -1;
    return qint64(st.st_size);
}

// The look-ups of one thread. Files that vanished mostly went with their
// folder: once a look-up finds nothing, the highest folder on its path that
// is missing is noted, and later paths through it are answered without a
// look-up.
class Looker {
public:
    qint64 size(QByteArrayView path) {
        if (path.isEmpty())
            return -1;
        if (!m_missing.isEmpty() && underMissingFolder(path))
            return -1;
        const qint64 size = sizeAt(AT_FDCWD, terminated(path));
        if (size < 0 && (errno == ENOENT || errno == ENOTDIR))
            noteMissingFolder(path);
        return size;
    }

private:
    const char* terminated(QByteArrayView bytes) {
        m_buffer.assign(bytes.data(), std::size_t(bytes.size()));
        return m_buffer.c_str();
    }

    bool underMissingFolder(QByteArrayView path) const {
        for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1)) {
            if (m_missing.contains(path.first(slash)))
                return true;
        }
        return false;
    }

    // The first folder on the path, from the top, that is missing (or is not
    // a folder), if any.
    void noteMissingFolder(QByteArrayView path) {
        for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1)) {
            struct stat st;
            if (::fstatat(AT_FDCWD, terminated(path.first(slash)), &st, 0) != 0) {
                if (errno == ENOENT || errno == ENOTDIR)
                    m_missing.insert(path.first(slash));
                return;
            }
            if (!S_ISDIR(st.st_mode)) {
                m_missing.insert(path.first(slash));
                return;
            }
        }
    }

    std::string m_buffer;
    QSet<QByteArrayView> m_missing;  // views into the paths, valid for the whole call
};

}  // namespace

void lookUpFileSizes(std::size_t count, const std::function<QByteArrayView(std::size_t)>& pathAt,
                     qint64* sizes) {
    auto run = [&](std::size_t first, std::size_t end) {
        Looker looker;
        for (std::size_t i = first; i < end; ++i)
            sizes[i] = looker.size(pathAt(i));
    };
    // Look-ups mostly wait on the file system's caches and locks, so a few
    // threads more than cores still gain.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const auto threads = std::clamp<std::size_t>(count / kPathsPerThread, 1,
                                                 std::min(kMaxThreads, 2 * cores));
    const std::size_t share = (count + threads - 1) / threads;
    std::vector<std::thread> pool;
    pool.reserve(threads - 1);
    for (std::size_t t = 1; t < threads; ++t)
        pool.emplace_back(run, std::min(count, t * share), std::min(count, (t + 1) * share));
    run(0, std::min(count, share));
    for (std::thread& th : pool)
        th.join();
}

}  // namespace vantrel
