#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

namespace vantrel {

// One folder opened for reading its listing, entry by entry: each entry's
// exact name and the kind the listing itself reports (d_type), without
// looking at the entry. "." and ".." are never handed out.
//
// Opening never follows a symbolic link in place of the folder when asked
// not to (O_NOFOLLOW), so a folder replaced by a link between two looks is
// refused instead of entered. A stream belongs to one thread at a time; it
// may be handed to another between reads.
class FolderStream {
public:
    // What the listing says an entry is (d_type); Unknown on file systems
    // that do not tell, where the caller looks at the entry itself.
    enum class Kind { Unknown, Folder, File, Link, Other };

    struct Entry {
        QByteArrayView name;  // valid until the next call of next()
        Kind kind = Kind::Unknown;
    };

    // Opens `path` for listing. `followLink`: whether a final symbolic link
    // is followed (a root is opened as named; a sub-folder is not followed).
    // Null with the errno in `*error` when it cannot be opened as a folder.
    static std::unique_ptr<FolderStream> open(const QByteArray& path, bool followLink, int* error);

    ~FolderStream();
    FolderStream(const FolderStream&) = delete;
    FolderStream& operator=(const FolderStream&) = delete;

    // The folder's descriptor, for looking at entries relative to it.
    [[nodiscard]] int fd() const;

    // The next entry; false at the end of the listing or when reading failed
    // (error() is then the errno, 0 at a clean end).
    bool next(Entry& entry);
    [[nodiscard]] int error() const { return m_error; }

private:
    explicit FolderStream(void* dir) : m_dir(dir) {}
    void* m_dir = nullptr;  // DIR*
    int m_error = 0;
};

}  // namespace vantrel
