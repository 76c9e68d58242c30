#include "browse/FolderStream.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

DIR* asDir(void* dir) {
    return static_cast<DIR*>(dir);
}

FolderStream::Kind kindOf(unsigned char type) {
    switch (type) {
        case DT_DIR:
            return FolderStream::Kind::Folder;
        case DT_REG:
            return FolderStream::Kind::File;
        case DT_LNK:
            return FolderStream::Kind::Link;
        case DT_UNKNOWN:
            return FolderStream::Kind::Unknown;
        default:
            return FolderStream::Kind::Other;
    }
}

}  // namespace

std::unique_ptr<FolderStream> FolderStream::open(const QByteArray& path, bool followLink,
                                                 int* error) {
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;
    if (!followLink)
        flags |= O_NOFOLLOW;
    const int fd = ::open(path.constData(), flags);
    if (fd < 0) {
        if (error)
            *error = errno;
        return nullptr;
    }
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int e = errno;
        ::close(fd);
        if (error)
            *error = e;
        return nullptr;
    }
    if (error)
        *error = 0;
    return std::unique_ptr<FolderStream>(new FolderStream(dir));
}

FolderStream::~FolderStream() {
    if (m_dir)
        ::closedir(asDir(m_dir));
}

int FolderStream::fd() const {
    return ::dirfd(asDir(m_dir));
}

bool FolderStream::next(Entry& entry) {
    while (true) {
        errno = 0;
        const dirent* d = ::readdir(asDir(m_dir));
        if (!d) {
            m_error = errno;
            return false;
        }
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        entry.name = QByteArrayView(name, qsizetype(std::strlen(name)));
        entry.kind = kindOf(d->d_type);
        return true;
    }
}

}  // namespace vantrel
