// Makes a deterministic, realistic folder tree for the benchmarks:
//
//   make_tree [--files N] [--seed S] [--force] TREE
//
// The tree holds N regular files (default 200,000) in nested folders, with a
// realistic spread of sizes (sparse files, so the tree takes almost no disk
// space; a few are larger than 4 GiB), modification and access times spread
// over thirty years, hidden folders and files, temporary-file extensions,
// the same names in several folders (some of them true duplicates: same name
// and size), a symbolic-link loop, dangling links, a fifo, a socket and names
// that are not valid UTF-8. The same N and seed always give the same tree.
//
// A finished tree carries a marker file ".vantrel-bench-tree" with its
// parameters. An existing tree with the same parameters is kept as it is; a
// folder that exists without the marker is never written into (unless
// --force), so a typing slip cannot litter a real folder.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kMarker = ".vantrel-bench-tree";

// splitmix64: small, fast and the same on every machine.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n).
    std::uint64_t below(std::uint64_t n) { return n == 0 ? 0 : next() % n; }
    // Uniform in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return unit() < p; }
    template <typename T, std::size_t N>
    const T& pick(const std::array<T, N>& a) {
        return a[below(N)];
    }

private:
    std::uint64_t m_state;
};

constexpr std::array<std::string_view, 40> kFolderNames = {
    "src",     "docs",   "include",   "lib",       "build",    "test",    "tests",  "Photos",
    "Music",   "Videos", "Documents", "Downloads", "Projects", "archive", "backup", "old",
    "data",    "images", "assets",    "config",    "scripts",  "tools",   "vendor", "third_party",
    "modules", "share",  "bin",       "man",       "Invoices", "Letters", "2019",   "2020",
    "2021",    "drafts", "export",    "My Stuff",  "résumé",   "reports", "cache",  "tmp"};

constexpr std::array<std::string_view, 8> kHiddenFolderNames = {
    ".git", ".cache", ".config", ".local", ".svn", ".thumbnails", ".npm", ".idea"};

constexpr std::array<std::string_view, 36> kStems = {
    "README",   "index",  "main",     "report",  "notes",     "setup",
    "data",     "config", "Makefile", "LICENSE", "changes",   "summary",
    "invoice",  "letter", "photo",    "track",   "lecture",   "util",
    "helpers",  "module", "test",     "results", "budget",    "draft",
    "image",    "thumb",  "backup",   "export",  "settings",  "schema",
    "manifest", "style",  "script",   "todo",    "Übersicht", "2020-01-31 scan"};

constexpr std::array<std::string_view, 30> kExtensions = {
    ".txt", ".jpg", ".png",    ".c",   ".h",    ".cpp", ".pdf", ".doc", ".mp3", ".zip",
    ".so",  ".o",   ".html",   ".py",  ".json", ".log", ".xml", ".csv", ".gif", ".md",
    ".JPG", ".mp4", ".tar.gz", ".iso", ".exe",  ".dll", ".odt", ".xls", "",     ".TXT"};

// Extensions that mark temporary files.
constexpr std::array<std::string_view, 10> kTempExtensions = {
    ".tmp", ".bak", ".fts", ".$$$", ".~mp", ".chk", ".old", ".wbk", ".gid", ".TMP"};

struct Folder {
    std::string path;  // relative to the tree's root ("" for the root)
    int depth = 0;
    int children = 0;
    bool hidden = false;  // the folder or one above it has a hidden name
};

bool makeFolder(const std::string& full) {
    if (::mkdir(full.c_str(), 0755) == 0 || errno == EEXIST)
        return true;
    std::fprintf(stderr, "make_tree: cannot make %s: %s\n", full.c_str(), std::strerror(errno));
    return false;
}

// A sparse file of `size` bytes with the given times (seconds since 1970).
bool makeFile(const std::string& full, std::uint64_t size, std::int64_t mtime, std::int64_t atime) {
    const int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::fprintf(stderr, "make_tree: cannot make %s: %s\n", full.c_str(), std::strerror(errno));
        return false;
    }
    bool ok = true;
    if (size > 0) {
        // Small files get real content so that they look like files to any
        // tool that reads them; larger ones are sparse.
        if (size <= 512) {
            char buffer[512];
            std::memset(buffer, 'a' + int(size % 26), sizeof buffer);
            ok = ::write(fd, buffer, size_t(size)) == ssize_t(size);
        } else {
            ok = ::ftruncate(fd, off_t(size)) == 0;
        }
    }
    struct timespec times[2];
    times[0].tv_sec = time_t(atime);
    times[0].tv_nsec = 0;
    times[1].tv_sec = time_t(mtime);
    times[1].tv_nsec = 0;
    ::futimens(fd, times);
    ::close(fd);
    if (!ok)
        std::fprintf(stderr, "make_tree: cannot size %s\n", full.c_str());
    return ok;
}

// Sizes spread roughly as on a used desktop disk: mostly small files, a long
// tail of large ones.
std::uint64_t drawSize(Random& rnd) {
    const double u = rnd.unit();
    if (u < 0.03)
        return 0;
    if (u < 0.55)
        return 1 + rnd.below(4096);
    if (u < 0.85)
        return 4096 + rnd.below(256 * 1024);
    if (u < 0.97)
        return 256 * 1024 + rnd.below(8ull << 20);
    if (u < 0.9995)
        return (8ull << 20) + rnd.below(700ull << 20);
    return (2ull << 30) + rnd.below(4ull << 30);  // beyond 2 GiB, some beyond 4 GiB
}

std::int64_t drawTime(Random& rnd) {
    // 1995-01-01 .. 2026-01-01, a few outside the packable years.
    const double u = rnd.unit();
    if (u < 0.001)
        return 100000;  // 1970
    if (u < 0.002)
        return 4354819200;  // 2108
    return 788918400 + std::int64_t(rnd.below(1978473600ull - 788918400ull));
}

struct Options {
    std::uint64_t files = 200000;
    std::uint64_t seed = 20240229;
    bool force = false;
    std::string tree;
};

std::string markerText(const Options& o) {
    return "files " + std::to_string(o.files) + " seed " + std::to_string(o.seed) + "\n";
}

int usage() {
    std::fprintf(stderr, "usage: make_tree [--files N] [--seed S] [--force] TREE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--files" && i + 1 < argc)
            o.files = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--seed" && i + 1 < argc)
            o.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--force")
            o.force = true;
        else if (!a.empty() && a[0] != '-' && o.tree.empty())
            o.tree = std::string(a);
        else
            return usage();
    }
    if (o.tree.empty() || o.files == 0)
        return usage();
    while (o.tree.size() > 1 && o.tree.back() == '/')
        o.tree.pop_back();

    const std::string marker = o.tree + "/" + kMarker;
    struct stat st;
    if (::stat(o.tree.c_str(), &st) == 0) {
        char buffer[128] = {};
        const int fd = ::open(marker.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
            ::close(fd);
            if (n > 0 && std::string_view(buffer, size_t(n)) == markerText(o)) {
                std::printf("tree %s is ready (%s)\n", o.tree.c_str(), markerText(o).c_str());
                return 0;
            }
            std::fprintf(stderr, "make_tree: %s holds a tree made with other parameters\n",
                         o.tree.c_str());
            return 1;
        }
        if (!o.force) {
            std::fprintf(stderr, "make_tree: %s exists and is no benchmark tree (use --force)\n",
                         o.tree.c_str());
            return 1;
        }
    } else if (!makeFolder(o.tree)) {
        return 1;
    }

    Random rnd(o.seed);

    // Folders: about one per 13 files, grown by attaching each new folder to
    // a random earlier one, with a bias to the shallow part of the tree.
    const std::uint64_t folderCount = std::max<std::uint64_t>(8, o.files / 13);
    std::vector<Folder> folders;
    folders.reserve(folderCount + 16);
    folders.push_back(Folder{"", 0, 0, false});
    while (folders.size() < folderCount) {
        const double u = rnd.unit();
        const std::size_t parentIndex =
            std::min(std::size_t(double(folders.size()) * u * u), folders.size() - 1);
        if (folders[parentIndex].depth >= 14)
            continue;
        // Hidden folders hold files and rarely folders of their own, as on a
        // real disk; most of the tree is in plain view.
        if (folders[parentIndex].hidden && !rnd.chance(0.05))
            continue;
        const bool hiddenName = rnd.chance(0.04);
        std::string name = hiddenName ? std::string(rnd.pick(kHiddenFolderNames))
                                      : std::string(rnd.pick(kFolderNames));
        // Half of the folders keep the plain name, so that the same folder
        // names recur all over the tree; the others are numbered.
        if (rnd.chance(0.5))
            name += " " + std::to_string(folders[parentIndex].children);
        const std::string& parentPath = folders[parentIndex].path;
        Folder child{parentPath.empty() ? name : parentPath + "/" + name,
                     folders[parentIndex].depth + 1, 0, hiddenName || folders[parentIndex].hidden};
        if (::mkdir((o.tree + "/" + child.path).c_str(), 0755) != 0) {
            if (errno != EEXIST) {
                std::fprintf(stderr, "make_tree: cannot make %s: %s\n", child.path.c_str(),
                             std::strerror(errno));
                return 1;
            }
            continue;  // that name is taken under this parent: draw again
        }
        ++folders[parentIndex].children;
        folders.push_back(std::move(child));
    }

    // A folder whose name is not valid UTF-8, and one that holds a few
    // files in the same names as elsewhere.
    const std::string latin1 = std::string("Dokumente \xE4lter \xFF");
    if (!makeFolder(o.tree + "/" + latin1))
        return 1;
    folders.push_back(Folder{latin1, 1, 0, false});

    // Files: folders are picked with a skew, so some hold hundreds of files
    // and many only a few.
    std::uint64_t made = 0;
    std::uint64_t serial = 0;
    std::vector<std::string> recentNames;  // for true duplicates (same name and size)
    std::vector<std::uint64_t> recentSizes;
    while (made < o.files) {
        const double u = rnd.unit();
        const std::size_t index = std::size_t(double(folders.size()) * u * u);
        const Folder& folder = folders[std::min(index, folders.size() - 1)];
        std::string name;
        std::uint64_t size = drawSize(rnd);
        const double kind = rnd.unit();
        if (kind < 0.04 && !recentNames.empty()) {
            const std::size_t k = rnd.below(recentNames.size());
            name = recentNames[k];
            size = recentSizes[k];
        } else if (kind < 0.10) {
            name = std::string(rnd.pick(kStems)) + std::string(rnd.pick(kExtensions));
        } else if (kind < 0.15) {
            name = std::string(rnd.pick(kStems)) + "_" + std::to_string(serial++) +
                   std::string(rnd.pick(kTempExtensions));
        } else if (kind < 0.17) {
            name = "." + std::string(rnd.pick(kStems)) + "rc";
        } else if (kind < 0.172) {
            name = "caf\xE9 " + std::to_string(serial++) + ".txt";  // Latin-1, not UTF-8
        } else {
            name = std::string(rnd.pick(kStems)) + "_" + std::to_string(serial++) +
                   std::string(rnd.pick(kExtensions));
        }
        const std::string full =
            folder.path.empty() ? o.tree + "/" + name : o.tree + "/" + folder.path + "/" + name;
        if (::access(full.c_str(), F_OK) == 0)
            continue;  // the same name twice in one folder: draw again
        const std::int64_t mtime = drawTime(rnd);
        const std::int64_t atime = mtime + std::int64_t(rnd.below(86400ull * 400));
        if (!makeFile(full, size, mtime, atime))
            return 1;
        ++made;
        if (recentNames.size() < 512) {
            recentNames.push_back(name);
            recentSizes.push_back(size);
        } else if (rnd.chance(0.01)) {
            const std::size_t k = rnd.below(recentNames.size());
            recentNames[k] = name;
            recentSizes[k] = size;
        }
    }

    // Entries that a walk must neither follow nor open.
    const std::string odd =
        o.tree + "/" + folders[std::min<std::size_t>(3, folders.size() - 1)].path;
    (void)::symlink(".", (odd + "/loop").c_str());
    (void)::symlink("..", (odd + "/up").c_str());
    (void)::symlink("/", (odd + "/to-root").c_str());
    (void)::symlink("no such target", (odd + "/dangling").c_str());
    (void)::mkfifo((odd + "/pipe").c_str(), 0644);
    (void)::mknod((odd + "/socket").c_str(), S_IFSOCK | 0644, 0);
    (void)::symlink("../..", (o.tree + "/" + folders.back().path + "/back to top").c_str());

    const int fd = ::open(marker.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::fprintf(stderr, "make_tree: cannot write %s\n", marker.c_str());
        return 1;
    }
    const std::string text = markerText(o);
    const bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ::close(fd);
    std::printf("made %s: %llu files in %zu folders\n", o.tree.c_str(),
                static_cast<unsigned long long>(made), folders.size());
    return ok ? 0 : 1;
}
