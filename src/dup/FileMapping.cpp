#include "dup/FileMapping.h"

#include <QFile>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

namespace vantrel {

namespace {

const char* const kInvalidParameters = "Invalid parameters. Could not create file mapping object";
const char* const kCannotCreate = "Could not create file mapping object";
const char* const kCannotMap = "Could not map file";
const char* const kCannotUnmap = "Could not unmap file";
const char* const kCannotClose = "Could not close file mapping handle";

}  // namespace

TFileMapping::TFileMapping(int fd) {
    open(fd);
}

TFileMapping::TFileMapping(QFile* stream) {
    open(stream && stream->isOpen() ? stream->handle() : -1);
}

TFileMapping::~TFileMapping() {
    try {
        close();
    } catch (const EFileMappingError&) {
        // A destructor must not throw; close() already released what it could.
    }
}

void TFileMapping::open(int fd) {
    if (fd < 0)
        throw EFileMappingError(kInvalidParameters);

    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size <= 0)
        throw EFileMappingError(kCannotCreate);
    if (static_cast<std::uintmax_t>(st.st_size) > SIZE_MAX)
        throw EFileMappingError(kCannotMap);

    m_handle = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (m_handle < 0)
        throw EFileMappingError(kCannotCreate);

    const std::size_t length = static_cast<std::size_t>(st.st_size);
    void* view = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, m_handle, 0);
    if (view == MAP_FAILED) {
        ::close(m_handle);
        m_handle = -1;
        throw EFileMappingError(kCannotMap);
    }
    // One sequential pass follows. Huge pages let a cached file be mapped with
    // a few hundred page-table entries per GiB instead of a quarter million,
    // which is most of the cost of a checksum; both are only advice.
    ::madvise(view, length, MADV_HUGEPAGE);
    ::madvise(view, length, MADV_SEQUENTIAL);
    m_memory = static_cast<const uchar*>(view);
    m_size = length;
}

void TFileMapping::close() {
    bool unmapFailed = false;
    bool closeFailed = false;
    if (m_memory) {
        unmapFailed = ::munmap(const_cast<uchar*>(m_memory), m_size) != 0;
        m_memory = nullptr;
        m_size = 0;
    }
    if (m_handle >= 0) {
        closeFailed = ::close(m_handle) != 0;
        m_handle = -1;
    }
    if (unmapFailed)
        throw EFileMappingError(kCannotUnmap);
    if (closeFailed)
        throw EFileMappingError(kCannotClose);
}

}  // namespace vantrel
