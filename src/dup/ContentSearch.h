#pragma once

#include "platform/FileRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace vantrel {

// Bytes read so far, and the total that may have to be read.
using ContentProgress = std::function<void(qint64 read, qint64 total)>;

// Finds files of identical contents among the files a walk lists.
//
// The files handed in are kept compactly (their paths back to back, a few
// numbers each). finish() then narrows them down in stages, reading as
// little as it can:
// 1. files of equal size: a file whose size no other file has is never read;
// 2. a hash of a 4 KiB sample at the start and one at the end of the file
//    (a file of at most 8 KiB is read whole here, and is done);
// 3. a hash of all of its bytes (XXH3, 128 bits); the holes of a sparse
//    file are hashed as the zeros they read as, without reading them.
// Files whose full hashes are equal form a group. A group is shown as equal
// contents on the strength of that hash: it is not cryptographic, so two
// files made on purpose to collide could be taken as equal, but files that
// differ by chance are told apart with a probability of error far below
// that of a disk's undetected read error. Files of 0 bytes are equal without
// being read (they reach the search only when the caller's size condition
// lets them through).
//
// Hard links: paths with the same device and inode are one file. They are
// read once, never form a group of their own, and follow the first path of
// their file in its group, flagged as hard links.
//
// A file is left out ("not read") when it cannot be opened or read, when it
// is no longer the regular file the walk saw (a fifo or device under the
// same name, another inode), or when its size or modification time differs
// from the walk's, before or after it is read, or it ends early while read.
// Opening never blocks (a fifo) and never follows a symbolic link. Reads
// keep the file's access time where the process may (O_NOATIME; a file of
// another owner is read without it).
//
// Cancelling (the flag, tested between reads) stops the search; the groups
// confirmed so far are returned. Not thread-safe: one search belongs to one
// job.
class ContentSearch {
public:
    // How many files it keeps before addFile refuses more.
    explicit ContentSearch(qsizetype capacity = 8'000'000);

    // Keeps one listed regular file (anything else is skipped). False: the
    // capacity is reached and the file was not kept.
    bool addFile(const FileRecord& record, const QByteArray& folder);
    // The same for a whole path whose record the caller has.
    bool addPath(const QByteArray& path, const FileRecord& record);

    qsizetype fileCount() const { return qsizetype(m_files.size()); }
    // Heap bytes the kept files take (for the memory figure).
    qint64 memoryBytes() const;

    // A kept file's path and what the walk saw of it.
    QByteArray path(quint32 file) const;
    qint64 size(quint32 file) const { return m_files[file].size; }
    quint32 packedWriteTime(quint32 file) const { return m_files[file].packedWrite; }
    quint32 packedAccessTime(quint32 file) const { return m_files[file].packedAccess; }
    FileTime writeTime(quint32 file) const {
        const File& f = m_files[file];
        return f.mtimeNsec >= 0 ? FileTime{f.mtimeSec, f.mtimeNsec, true} : FileTime{};
    }

    struct Member {
        quint32 file = 0;
        bool hardLink = false;  // another path of the member just before it
    };
    // Files of identical contents: one member per path, the distinct files in
    // path byte order, each followed by its hard links. At least two
    // distinct files.
    struct Group {
        qint64 size = 0;
        int distinctFiles = 0;
        std::vector<Member> members;
        qint64 wastedBytes() const { return size * (distinctFiles - 1); }
    };
    struct Result {
        std::vector<Group> groups;  // by wasted bytes, largest first
        qint64 candidateBytes = 0;  // bytes of the files that share their size with another
        qint64 bytesRead = 0;  // read from files (holes skipped are not counted)
        qint64 notRead = 0;  // files left out as unreadable or changed
        bool cancelled = false;
    };

    // Runs the stages. `cancel` may be null. `progress`, when given, hears
    // the bytes read so far and the candidates' bytes now and then (after
    // some megabytes or some files, and at the end). Call once.
    Result finish(const std::atomic<bool>* cancel = nullptr,
                  const ContentProgress& progress = {});

private:
    struct File {
        qint64 size = 0;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 mtimeSec = 0;
        qint32 mtimeNsec = 0;
        quint32 packedWrite = 0;
        quint32 packedAccess = 0;
        quint32 pathEnd = 0;  // end of the path in m_paths (start: the previous end)
        quint32 pathChunk = 0;
    };

    std::vector<File> m_files;
    // Paths back to back, in chunks so that no offset passes 32 bits and no
    // chunk is copied on growth.
    std::vector<QByteArray> m_paths;
    qsizetype m_capacity;
};

// The identical subsets of a set of files, for checking a group that other
// means (names, sizes, dates) put together. Each input file gets a subset
// number (equal numbers: equal contents, by the stages above; -1: not read);
// a file whose contents no other input shares gets a number of its own.
// `expected` gives, per file, the size and modification time the caller saw
// (a file that differs from it now is not read); paths of one device and
// inode share a number without being read twice.
struct ContentCheckFile {
    QByteArray path;
    qint64 size = 0;
    FileTime modified;  // not recorded: the time is not checked
};
std::vector<int> contentSubsets(const std::vector<ContentCheckFile>& files,
                                const std::atomic<bool>* cancel = nullptr,
                                const ContentProgress& progress = {});

}  // namespace vantrel
