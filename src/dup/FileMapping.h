#pragma once

#include <QtGlobal>

#include <cstddef>
#include <stdexcept>

class QFile;

namespace vantrel {

// Raised when a file cannot be mapped or a mapping cannot be released. The
// message is one of the fixed texts listed at TFileMapping.
class EFileMappingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A read-only mapping of a whole open file into memory, in one piece.
//
// The mapping owns a duplicate of the file descriptor (its "mapping handle")
// and the mapped view; it does not own the file it was built from, which the
// caller may close at any time after construction.
//
// Construction raises EFileMappingError with
//   "Invalid parameters. Could not create file mapping object"
//        when there is no file (null QFile, a QFile that is not open, fd < 0);
//   "Could not create file mapping object"
//        when the mapping object cannot be made: the file is empty, its size
//        cannot be read, or the descriptor cannot be duplicated;
//   "Could not map file"
//        when mmap refuses the file (a pipe or a device, an address space
//        too small for the file).
// What was already acquired is released before the exception leaves.
//
// The length is the file's size when it was mapped (64-bit: files past
// 4 GiB map in one piece on a 64-bit system). A file truncated by someone
// else while it is mapped makes reads past its new end fault; the mapping
// lives only for one checksum to keep that window short.
class TFileMapping {
public:
    explicit TFileMapping(int fd);
    explicit TFileMapping(QFile* stream);
    ~TFileMapping();  // releases; errors on release are swallowed here

    TFileMapping(const TFileMapping&) = delete;
    TFileMapping& operator=(const TFileMapping&) = delete;

    // Unmaps the view, then closes the mapping handle. Raises
    // "Could not unmap file" or "Could not close file mapping handle"; the
    // object is released either way and close() may be called again.
    void close();

    [[nodiscard]] const uchar* memory() const { return m_memory; }
    [[nodiscard]] std::size_t size() const { return m_size; }

private:
    void open(int fd);

    int m_handle = -1;  // duplicate of the file's descriptor, or -1
    const uchar* m_memory = nullptr;
    std::size_t m_size = 0;
};

}  // namespace vantrel
