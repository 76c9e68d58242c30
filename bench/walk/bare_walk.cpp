// The floor for the walk benchmark: a bare single-threaded loop that reads
// each folder once and looks at each entry once with fstatat, relative to
// the open folder, and enters sub-folders (not across file systems, no
// symbolic links). It hands nothing on and keeps nothing.
//
//   bare_walk TREE

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

struct Totals {
    unsigned long long files = 0;
    unsigned long long bytes = 0;
};

void walk(int fd, dev_t device, Totals& totals) {
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* d = ::readdir(dir)) {
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        struct stat st;
        if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (st.st_dev != device)
                continue;
            const int sub = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0)
                walk(sub, device, totals);
        } else {
            ++totals.files;
            totals.bytes += static_cast<unsigned long long>(st.st_size);
        }
    }
    ::closedir(dir);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bare_walk TREE\n");
        return 2;
    }
    const int fd = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        std::fprintf(stderr, "bare_walk: cannot open %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    Totals totals;
    walk(fd, st.st_dev, totals);
    std::printf("%llu entries, %llu bytes\n", totals.files, totals.bytes);
    return 0;
}
