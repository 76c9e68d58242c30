#pragma once

#include "platform/FileRecord.h"
#include "results/RowMemory.h"

#include <QByteArray>
#include <QByteArrayView>

#include <limits>

#include <vector>

namespace vantrel {

// An array that grows in fixed chunks of one large block each (mmap'ed, see
// rowmemory): no regrowth copies, so no moment where an old and a new array
// are both held, no slack beyond the last chunk, and all of it goes back to
// the system when it is cleared. Elements are trivially copyable.
template <typename T>
class ChunkedArray {
public:
    static constexpr std::size_t kChunk = rowmemory::kLargeBlock / sizeof(T);
    static_assert((kChunk & (kChunk - 1)) == 0, "a chunk holds a power of two elements");

    ChunkedArray() = default;
    ChunkedArray(const ChunkedArray&) = delete;
    ChunkedArray& operator=(const ChunkedArray&) = delete;
    ~ChunkedArray() { clear(); }

    std::size_t size() const { return m_size; }
    void push_back(const T& value) {
        if (m_size % kChunk == 0)
            m_chunks.push_back(static_cast<T*>(rowmemory::allocateLarge(rowmemory::kLargeBlock)));
        m_chunks.back()[m_size % kChunk] = value;
        ++m_size;
    }
    const T& operator[](std::size_t i) const { return m_chunks[i / kChunk][i % kChunk]; }
    void clear() {
        for (T* chunk : m_chunks)
            rowmemory::freeLarge(chunk, rowmemory::kLargeBlock);
        std::vector<T*>().swap(m_chunks);
        m_size = 0;
    }
    // Bytes in use (the part of the last chunk not yet written is not
    // touched, so it takes no memory).
    std::size_t bytes() const { return m_size * sizeof(T) + m_chunks.size() * sizeof(T*); }

private:
    std::vector<T*> m_chunks;
    std::size_t m_size = 0;
};

// One kept file as numbers: where its name and folder are stored, its size,
// packed times and attributes. 32 bytes.
struct CandidateRecord {
    qint64 size = 0;
    quint64 name = 0;     // offset into the name bytes (low 48 bits), length (high 16)
    quint32 folder = 0;   // index of the folder in the folder storage
    quint32 modified = 0;  // packed write time
    quint32 accessed = 0;  // packed access time
    quint16 attr = 0;      // FileAttribute bits
    bool plainName = false;  // every byte of the name is printable ASCII
};

// The candidates of one search, compactly: a record per file, the names'
// bytes one after another, and each folder's bytes once for all the files
// listed in it (files arrive folder by folder). Optionally each file's write
// time in whole seconds (kNoTime: not recorded), for the searches that
// compare times. Not thread-safe.
class CandidateStore {
public:
    static constexpr qint64 kNoTime = std::numeric_limits<qint64>::min();

    explicit CandidateStore(bool keepWriteSeconds = false) : m_keepSeconds(keepWriteSeconds) {}

    // Stores a file and returns its index.
    quint32 add(const FileRecord& record, const QByteArray& folder);

    std::size_t size() const { return m_records.size(); }
    const CandidateRecord& at(quint32 index) const { return m_records[index]; }
    QByteArrayView name(const CandidateRecord& r) const {
        return {m_names.data() + (r.name & kOffsetMask), qsizetype(r.name >> 48)};
    }
    QByteArrayView folder(quint32 folderIndex) const;
    qsizetype folderCount() const { return qsizetype(m_folderStarts.size()); }
    bool keepsWriteSeconds() const { return m_keepSeconds; }
    // The write time in whole seconds; only when kept.
    qint64 writeSeconds(quint32 index) const { return m_seconds[index]; }
    // The exact byte path: the folder, a slash unless it ends in one, the name.
    QByteArray path(const CandidateRecord& r) const;

    // Heap bytes held, roughly.
    qint64 bytes() const;
    // Gives all memory back.
    void clear();

private:
    static constexpr quint64 kOffsetMask = (quint64(1) << 48) - 1;

    bool m_keepSeconds = false;
    ChunkedArray<CandidateRecord> m_records;
    ChunkedArray<qint64> m_seconds;
    ByteArena m_names;
    ByteArena m_folderBytes;
    std::vector<quint64> m_folderStarts;  // offsets; a folder ends where the next starts
    QByteArray m_lastFolder;
};

}  // namespace vantrel
