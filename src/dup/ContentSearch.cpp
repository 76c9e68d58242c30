#include "dup/ContentSearch.h"

#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <numeric>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vantrel {

namespace {

constexpr qint64 kSample = 4096;         // bytes hashed at each end first
constexpr qint64 kBufferSize = 1 << 20;  // bytes a full read asks for at a time
constexpr qsizetype kChunkBytes = qsizetype(1) << 30;

// One file to read: where it is and what it must still be.
struct Probe {
    QByteArray path;
    qint64 size = 0;
    quint64 device = 0;
    quint64 inode = 0;
    FileTime modified;  // not recorded: not checked
};

// A device number as FileRecord gives it.
quint64 deviceOf(const struct stat& st) {
    return (quint64(major(st.st_dev)) << 32) | quint64(minor(st.st_dev));
}

bool sameHash(const XXH128_hash_t& a, const XXH128_hash_t& b) {
    return a.low64 == b.low64 && a.high64 == b.high64;
}

bool hashLess(const XXH128_hash_t& a, const XXH128_hash_t& b) {
    return a.high64 != b.high64 ? a.high64 < b.high64 : a.low64 < b.low64;
}

// Opens files for reading without blocking, following links or touching
// their access times, and reads them only while they are what the walk saw.
class Reader {
public:
    Reader(const std::atomic<bool>* cancel, const ContentProgress& progress, qint64 total)
        : m_cancel(cancel), m_progress(progress), m_total(total),
          m_buffer(std::size_t(kBufferSize)) {}

    ~Reader() {
        if (m_state)
            XXH3_freeState(m_state);
    }

    bool cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }
    qint64 bytesRead() const { return m_bytesRead; }

    // Tells the progress (bytes read or hashed as holes) after every few
    // megabytes or files, or when `now`.
    void report(bool now = false) {
        ++m_filesSinceReport;
        if (!m_progress)
            return;
        const qint64 done = m_bytesRead + m_bytesSkipped;
        if (now || done - m_reported >= kReportBytes || m_filesSinceReport >= kReportFiles) {
            m_reported = done;
            m_filesSinceReport = 0;
            m_progress(done, m_total);
        }
    }

    // The hash of the two samples (the whole file when it is no larger than
    // both). `complete`: the hash covers every byte.
    bool sampleHash(const Probe& p, XXH128_hash_t& out, bool& complete) {
        const int fd = open(p);
        if (fd < 0)
            return false;
        bool ok = true;
        char* buf = m_buffer.data();
        if (p.size <= 2 * kSample) {
            complete = true;
            ok = readAt(fd, buf, p.size, 0) && atEnd(fd, p.size);
            if (ok)
                out = XXH3_128bits(buf, std::size_t(p.size));
        } else {
            complete = false;
            ok = readAt(fd, buf, kSample, 0) && readAt(fd, buf + kSample, kSample, p.size - kSample);
            if (ok)
                out = XXH3_128bits(buf, std::size_t(2 * kSample));
        }
        ok = ok && unchanged(fd, p);
        ::close(fd);
        report();
        return ok;
    }

    // The hash of every byte, in order; false when the file ends early,
    // grows, changes or cannot be read, or the search is cancelled. Holes
    // of a sparse file (SEEK_DATA / SEEK_HOLE, where the file system tells)
    // are hashed as the zeros they read as, without reading them.
    bool fullHash(const Probe& p, XXH128_hash_t& out) {
        const int fd = open(p);
        if (fd < 0)
            return false;
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        if (!m_state)
            m_state = XXH3_createState();
        XXH3_128bits_reset(m_state);
        bool ok = true;
        bool seekHoles = true;
        qint64 done = 0;
        while (ok && done < p.size) {
            if (cancelled()) {
                ok = false;
                break;
            }
            // Where the next data begins (the end of the file: all hole).
            qint64 data = done;
            if (seekHoles) {
                const off_t at = ::lseek(fd, off_t(done), SEEK_DATA);
                if (at >= 0)
                    data = std::min<qint64>(at, p.size);
                else if (errno == ENXIO)
                    data = p.size;
                else
                    seekHoles = false;
            }
            if (data > done) {
                hashZeros(data - done);
                done = data;
                continue;
            }
            // Data up to the next hole, a buffer at a time.
            qint64 end = p.size;
            if (seekHoles) {
                const off_t hole = ::lseek(fd, off_t(done), SEEK_HOLE);
                if (hole > done)
                    end = std::min<qint64>(hole, p.size);
            }
            const qint64 want = std::min(kBufferSize, end - done);
            ok = readAt(fd, m_buffer.data(), want, done);
            if (ok) {
                XXH3_128bits_update(m_state, m_buffer.data(), std::size_t(want));
                done += want;
                report();
            }
        }
        ok = ok && atEnd(fd, p.size) && unchanged(fd, p);
        ::close(fd);
        if (ok)
            out = XXH3_128bits_digest(m_state);
        return ok;
    }

private:
    // The file as a regular file that is still the one described, or -1.
    int open(const Probe& p) const {
        const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        int fd = ::open(p.path.constData(), flags | O_NOATIME);
        // O_NOATIME is for the file's owner (or a privileged process) only.
        if (fd < 0 && errno == EPERM)
            fd = ::open(p.path.constData(), flags);
        if (fd < 0)
            return -1;
        if (!unchanged(fd, p)) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    static bool unchanged(int fd, const Probe& p) {
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        if (deviceOf(st) != p.device || quint64(st.st_ino) != p.inode)
            return false;
        if (qint64(st.st_size) != p.size)
            return false;
        if (p.modified.recorded &&
            (qint64(st.st_mtim.tv_sec) != p.modified.sec || st.st_mtim.tv_nsec != p.modified.nsec))
            return false;
        return true;
    }

    // Feeds `length` zero bytes to the hash.
    void hashZeros(qint64 length) {
        static const std::vector<char> zeros(std::size_t(kBufferSize), 0);
        while (length > 0) {
            const qint64 n = std::min(length, kBufferSize);
            XXH3_128bits_update(m_state, zeros.data(), std::size_t(n));
            length -= n;
            m_bytesSkipped += n;
        }
        report();
    }

    // Exactly `length` bytes at `offset`.
    bool readAt(int fd, char* to, qint64 length, qint64 offset) {
        while (length > 0) {
            const ssize_t got = ::pread(fd, to, std::size_t(length), off_t(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;  // an error, or the file ended early
            count(got);
            to += got;
            length -= got;
            offset += got;
        }
        return true;
    }

    // Nothing beyond `size`: a file that grew while read is not the one seen.
    static bool atEnd(int fd, qint64 size) {
        char byte = 0;
        ssize_t got = 0;
        do {
            got = ::pread(fd, &byte, 1, off_t(size));
        } while (got < 0 && errno == EINTR);
        return got == 0;
    }

    void count(qint64 bytes) { m_bytesRead += bytes; }

    static constexpr qint64 kReportBytes = 8 << 20;
    static constexpr int kReportFiles = 512;

    const std::atomic<bool>* m_cancel;
    const ContentProgress& m_progress;
    qint64 m_total = 0;
    qint64 m_reported = 0;
    int m_filesSinceReport = 0;
    std::vector<char> m_buffer;
    XXH3_state_t* m_state = nullptr;
    qint64 m_bytesRead = 0;
    qint64 m_bytesSkipped = 0;  // holes hashed as zeros, not read
};

// Splits distinct files of one size into classes of equal contents: a class
// number per probe, counted on from `nextClass`, or -1 (not read). A file
// whose contents no other probe shares gets a class of its own. Probes are
// read in device and inode order, which keeps a cold disk's head moving one
// way on most file systems.
std::vector<int> splitOneSize(const std::vector<Probe>& probes, Reader& reader, int& nextClass) {
    const std::size_t n = probes.size();
    std::vector<int> classes(n, -1);
    if (n == 0)
        return classes;
    if (probes.front().size == 0) {
        // Empty files are equal without a read, but must still be files.
        const int c = nextClass++;
        for (std::size_t i = 0; i < n; ++i) {
            struct stat st {};
            if (lstat(probes[i].path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
                st.st_size == 0 && quint64(st.st_ino) == probes[i].inode)
                classes[i] = c;
        }
        return classes;
    }
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (probes[a].device != probes[b].device)
            return probes[a].device < probes[b].device;
        return probes[a].inode < probes[b].inode;
    });

    struct Hashed {
        XXH128_hash_t hash{};
        std::size_t probe = 0;
    };
    auto byHash = [](const Hashed& a, const Hashed& b) {
        if (!sameHash(a.hash, b.hash))
            return hashLess(a.hash, b.hash);
        return a.probe < b.probe;
    };

    // Samples.
    std::vector<Hashed> sampled;
    sampled.reserve(n);
    bool complete = false;
    for (std::size_t i : order) {
        if (reader.cancelled())
            return std::vector<int>(n, -1);
        Hashed h;
        h.probe = i;
        if (reader.sampleHash(probes[i], h.hash, complete))
            sampled.push_back(h);
    }
    std::sort(sampled.begin(), sampled.end(), byHash);

    // Runs of equal hashes; with whole-file samples they are classes, else
    // their members are read in full.
    std::vector<std::size_t> toRead;
    for (std::size_t i = 0; i < sampled.size();) {
        std::size_t j = i + 1;
        while (j < sampled.size() && sameHash(sampled[j].hash, sampled[i].hash))
            ++j;
        if (j - i == 1 || complete) {
            const int c = nextClass++;
            for (std::size_t k = i; k < j; ++k)
                classes[sampled[k].probe] = c;
        } else {
            for (std::size_t k = i; k < j; ++k)
                toRead.push_back(sampled[k].probe);
        }
        i = j;
    }
    if (toRead.empty())
        return classes;

    std::sort(toRead.begin(), toRead.end(), [&](std::size_t a, std::size_t b) {
        if (probes[a].device != probes[b].device)
            return probes[a].device < probes[b].device;
        return probes[a].inode < probes[b].inode;
    });
    std::vector<Hashed> full;
    full.reserve(toRead.size());
    for (std::size_t i : toRead) {
        if (reader.cancelled())
            return std::vector<int>(n, -1);
        Hashed h;
        h.probe = i;
        if (reader.fullHash(probes[i], h.hash))
            full.push_back(h);
    }
    if (reader.cancelled())
        return std::vector<int>(n, -1);
    std::sort(full.begin(), full.end(), byHash);
    for (std::size_t i = 0; i < full.size();) {
        std::size_t j = i + 1;
        while (j < full.size() && sameHash(full[j].hash, full[i].hash))
            ++j;
        const int c = nextClass++;
        for (std::size_t k = i; k < j; ++k)
            classes[full[k].probe] = c;
        i = j;
    }
    return classes;
}

}  // namespace

ContentSearch::ContentSearch(qsizetype capacity) : m_capacity(capacity) {}

bool ContentSearch::addFile(const FileRecord& record, const QByteArray& folder) {
    QByteArray path;
    path.reserve(folder.size() + 1 + record.name.size());
    path += folder;
    if (!folder.endsWith('/'))
        path += '/';
    path += record.name;
    return addPath(path, record);
}

bool ContentSearch::addPath(const QByteArray& path, const FileRecord& record) {
    if (!record.isRegular())
        return true;
    if (fileCount() >= m_capacity)
        return false;
    if (m_paths.empty() || m_paths.back().size() + path.size() > kChunkBytes) {
        m_paths.emplace_back();
        m_paths.back().reserve(std::min<qsizetype>(kChunkBytes, 1 << 20));
    }
    QByteArray& chunk = m_paths.back();
    if (chunk.size() + path.size() > chunk.capacity())
        chunk.reserve(std::min(kChunkBytes, std::max(chunk.capacity() * 2, chunk.size() + path.size())));
    chunk += path;
    File f;
    f.size = record.size;
    f.device = record.device;
    f.inode = record.inode;
    f.mtimeSec = record.writeTime.recorded ? record.writeTime.sec : 0;
    f.mtimeNsec = record.writeTime.recorded ? record.writeTime.nsec : -1;
    f.packedWrite = record.packedWriteTime();
    f.packedAccess = record.packedAccessTime();
    f.pathChunk = quint32(m_paths.size() - 1);
    f.pathEnd = quint32(chunk.size());
    m_files.push_back(f);
    return true;
}

qint64 ContentSearch::memoryBytes() const {
    qint64 bytes = qint64(m_files.capacity() * sizeof(File));
    for (const QByteArray& chunk : m_paths)
        bytes += chunk.capacity();
    return bytes;
}

QByteArray ContentSearch::path(quint32 file) const {
    const File& f = m_files[file];
    quint32 start = 0;
    if (file > 0 && m_files[file - 1].pathChunk == f.pathChunk)
        start = m_files[file - 1].pathEnd;
    return m_paths[f.pathChunk].mid(start, f.pathEnd - start);
}

ContentSearch::Result ContentSearch::finish(const std::atomic<bool>* cancel,
                                            const ContentProgress& progress) {
    Result result;
    const std::size_t n = m_files.size();
    std::vector<quint32> order(n);
    std::iota(order.begin(), order.end(), quint32(0));
    // By size, then by file, then by path: runs of one size, inside them
    // runs of one file (its hard links), the first path of each first.
    std::sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
        const File& fa = m_files[a];
        const File& fb = m_files[b];
        if (fa.size != fb.size)
            return fa.size > fb.size;
        if (fa.device != fb.device)
            return fa.device < fb.device;
        if (fa.inode != fb.inode)
            return fa.inode < fb.inode;
        return a < b;
    });

    // The runs of one size, each as its distinct files with their paths.
    // Only runs of two files or more are read; their bytes are the total.
    struct Run {
        std::vector<std::vector<quint32>> pathsOf;
    };
    std::vector<Run> runs;
    for (std::size_t i = 0; i < n;) {
        std::size_t j = i + 1;
        while (j < n && m_files[order[j]].size == m_files[order[i]].size)
            ++j;
        Run run;
        for (std::size_t k = i; k < j; ++k) {
            const File& f = m_files[order[k]];
            if (!run.pathsOf.empty()) {
                const File& last = m_files[run.pathsOf.back().front()];
                if (last.device == f.device && last.inode == f.inode) {
                    run.pathsOf.back().push_back(order[k]);
                    continue;
                }
            }
            run.pathsOf.push_back({order[k]});
        }
        if (run.pathsOf.size() >= 2) {
            result.candidateBytes += m_files[order[i]].size * qint64(run.pathsOf.size());
            runs.push_back(std::move(run));
        }
        i = j;
    }

    Reader reader(cancel, progress, result.candidateBytes);
    int nextClass = 0;
    for (Run& run : runs) {
        if (reader.cancelled())
            break;
        std::vector<std::vector<quint32>>& pathsOf = run.pathsOf;
        std::vector<Probe> probes;
        for (auto& file : pathsOf) {
            // The paths of a file in byte order; the first is read.
            std::sort(file.begin(), file.end(),
                      [&](quint32 a, quint32 b) { return path(a) < path(b); });
            const File& f = m_files[file.front()];
            Probe p;
            p.path = path(file.front());
            p.size = f.size;
            p.device = f.device;
            p.inode = f.inode;
            p.modified.recorded = f.mtimeNsec >= 0;
            p.modified.sec = f.mtimeSec;
            p.modified.nsec = f.mtimeNsec;
            probes.push_back(std::move(p));
        }
        const int firstClass = nextClass;
        const std::vector<int> classes = splitOneSize(probes, reader, nextClass);
        if (reader.cancelled())
            break;
        std::vector<std::vector<std::size_t>> members(std::size_t(nextClass - firstClass));
        for (std::size_t k = 0; k < classes.size(); ++k) {
            if (classes[k] < 0)
                ++result.notRead;
            else
                members[std::size_t(classes[k] - firstClass)].push_back(k);
        }
        for (auto& cls : members) {
            if (cls.size() < 2)
                continue;
            std::sort(cls.begin(), cls.end(), [&](std::size_t a, std::size_t b) {
                return probes[a].path < probes[b].path;
            });
            Group g;
            g.size = probes[cls.front()].size;
            g.distinctFiles = int(cls.size());
            for (std::size_t k : cls) {
                bool first = true;
                for (quint32 file : pathsOf[k]) {
                    g.members.push_back(Member{file, !first});
                    first = false;
                }
            }
            result.groups.push_back(std::move(g));
        }
    }
    reader.report(true);
    result.cancelled = reader.cancelled();
    result.bytesRead = reader.bytesRead();
    std::stable_sort(result.groups.begin(), result.groups.end(), [](const Group& a, const Group& b) {
        if (a.wastedBytes() != b.wastedBytes())
            return a.wastedBytes() > b.wastedBytes();
        return a.size > b.size;
    });
    return result;
}

std::vector<int> contentSubsets(const std::vector<ContentCheckFile>& files,
                                const std::atomic<bool>* cancel, const ContentProgress& progress) {
    const std::size_t n = files.size();
    std::vector<int> result(n, -1);
    // What each path is now; one that is no longer the file described is
    // left out at once.
    struct Now {
        std::size_t index = 0;
        Probe probe;
    };
    std::vector<Now> now;
    for (std::size_t i = 0; i < n; ++i) {
        struct stat st {};
        if (lstat(files[i].path.constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
            qint64(st.st_size) != files[i].size)
            continue;
        const FileTime& t = files[i].modified;
        if (t.recorded && (qint64(st.st_mtim.tv_sec) != t.sec || st.st_mtim.tv_nsec != t.nsec))
            continue;
        Now x;
        x.index = i;
        x.probe.path = files[i].path;
        x.probe.size = files[i].size;
        x.probe.device = deviceOf(st);
        x.probe.inode = quint64(st.st_ino);
        x.probe.modified = t;
        now.push_back(std::move(x));
    }
    std::sort(now.begin(), now.end(), [](const Now& a, const Now& b) {
        if (a.probe.size != b.probe.size)
            return a.probe.size < b.probe.size;
        if (a.probe.device != b.probe.device)
            return a.probe.device < b.probe.device;
        if (a.probe.inode != b.probe.inode)
            return a.probe.inode < b.probe.inode;
        return a.index < b.index;
    });
    qint64 total = 0;
    for (const Now& x : now)
        total += x.probe.size;
    Reader reader(cancel, progress, total);
    int nextClass = 0;
    for (std::size_t i = 0; i < now.size();) {
        std::size_t j = i + 1;
        while (j < now.size() && now[j].probe.size == now[i].probe.size)
            ++j;
        // One probe per file; the other paths of a file take its class.
        std::vector<Probe> probes;
        std::vector<std::vector<std::size_t>> pathsOf;
        for (std::size_t k = i; k < j; ++k) {
            if (k > i && now[k].probe.device == now[k - 1].probe.device &&
                now[k].probe.inode == now[k - 1].probe.inode) {
                pathsOf.back().push_back(now[k].index);
                continue;
            }
            probes.push_back(now[k].probe);
            pathsOf.push_back({now[k].index});
        }
        std::vector<int> classes;
        if (probes.size() == 1)
            classes = {nextClass++};  // nothing to compare it with: not read
        else
            classes = splitOneSize(probes, reader, nextClass);
        for (std::size_t k = 0; k < probes.size(); ++k) {
            for (std::size_t index : pathsOf[k])
                result[index] = classes[k];
        }
        i = j;
    }
    if (reader.cancelled())
        return std::vector<int>(n, -1);
    return result;
}

}  // namespace vantrel
