// Engine tests of the walk with several threads reading ahead: the visitor
// sees the same calls, records and reports as with one thread, whatever the
// scheduling; an abort stops it; no folder is kept open per level; a folder
// swapped under the walk is not entered.
#include "scan/WalkFolder.h"
#include "scan/WalkPool.h"
#include "scan/Walker.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QByteArrayList>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <random>
#include <thread>

namespace vantrel {
namespace {

// Every call the visitor sees, one line each, records in full.
class Log : public WalkVisitor {
public:
    void driveStarted(const DriveEntry& drive) override { lines.append("drive " + drive.root); }
    void folderEntered(const QByteArray& folder, int depth) override {
        lines.append("enter " + folder + " " + QByteArray::number(depth));
    }
    void entry(const QByteArray& folder, const FileRecord& r) override {
        lines.append("entry " + folder + " " + r.name + " " + QByteArray::number(r.size) + " " +
                     QByteArray::number(r.attr) + " " + QByteArray::number(r.inode) + " " +
                     QByteArray::number(r.writeTime.sec));
        if (++entries == abortAt && control)
            control->scanAborted = true;
    }
    void folderDone(const QByteArray& folder, int depth) override {
        lines.append("done " + folder + " " + QByteArray::number(depth));
    }
    void error(const WalkError& e) override {
        lines.append("error " + QByteArray::number(int(e.kind)) + " " + e.path + " " +
                     QByteArray::number(e.errorNumber));
    }

    QByteArrayList lines;
    int entries = 0;
    int abortAt = -1;  // sets the control's abort flag at this entry
    ScanControl* control = nullptr;
};

QByteArray reportText(const WalkReport& r) {
    return QByteArray::number(r.folders) + " " + QByteArray::number(r.entries) + " " +
           QByteArray::number(r.handedOn) + " " + QByteArray::number(r.vanished) + " " +
           QByteArray::number(r.otherFileSystems) + " " + QByteArray::number(r.alreadyWalked) +
           " " + QByteArray::number(r.errors.size()) + " " + QByteArray::number(r.aborted);
}

// While it lives, every worker yields or sleeps a little at random before and
// after each folder it reads, so that they finish in ever other orders.
class ShakenWorkers {
public:
    explicit ShakenWorkers(unsigned seed) {
        setWalkWorkerHook([seed] {
            thread_local std::mt19937 random(
                seed ^ unsigned(std::hash<std::thread::id>()(std::this_thread::get_id())));
            const unsigned roll = random() % 16;
            if (roll < 6)
                std::this_thread::yield();
            else if (roll < 8)
                std::this_thread::sleep_for(std::chrono::microseconds(random() % 300));
        });
    }
    ~ShakenWorkers() { setWalkWorkerHook({}); }
};

// A random tree: folders of varied fan-out and depth, hidden files and
// folders, links to files, folders and nowhere, fifos, and (when permission
// checks apply) a folder that cannot be opened and one that cannot be searched.
void makeTree(test::TempTree& tree, unsigned seed, bool unreadable) {
    std::mt19937 random(seed);
    QByteArrayList folders = {""};
    const int folderCount = 20 + int(random() % 60);
    for (int i = 0; i < folderCount; ++i) {
        const QByteArray parent = folders[int(random() % unsigned(folders.size()))];
        const bool deep = parent.count('/') < 6;
        const QByteArray name =
            (random() % 7 == 0 ? "." : "") + QByteArray("d") + QByteArray::number(i);
        const QByteArray path = parent.isEmpty() ? name : parent + "/" + name;
        tree.mkdir(path);
        if (deep)
            folders.append(path);
    }
    for (const QByteArray& folder : folders) {
        const QByteArray prefix = folder.isEmpty() ? QByteArray() : folder + "/";
        const int fileCount = int(random() % 12);
        for (int i = 0; i < fileCount; ++i) {
            const char* const kinds[] = {"f", ".h", "x.tmp", "Z", "f.txt"};
            const QByteArray name = kinds[random() % 5] + QByteArray::number(i);
            tree.file(prefix + name, qint64(random() % 100));
        }
        if (random() % 4 == 0)
            tree.symlink(prefix + "lf", "f0");
        if (random() % 4 == 0)
            tree.symlink(prefix + "ld", tree.root());
        if (random() % 5 == 0)
            tree.symlink(prefix + "dangling", "nowhere");
        if (random() % 6 == 0)
            tree.fifo(prefix + "fifo");
    }
    // Many small folders side by side: more than the workers may hold ahead.
    tree.mkdir("wide");
    for (int i = 0; i < 300; ++i)
        tree.file("wide/w" + QByteArray::number(i) + "/f", 1);
    if (unreadable) {
        tree.file("locked/x", 1);
        tree.chmod("locked", 0000);
        tree.file("noexec/one", 1);
        tree.file("noexec/sub/two", 1);
        tree.chmod("noexec", 0444);
    }
}

struct Walked {
    QByteArrayList lines;
    QByteArray report;
};

Walked walkWith(int threads, const QList<DriveEntry>& roots, WalkOptions options,
                int abortAt = -1) {
    options.threads = threads;
    Log log;
    ScanControl control;
    log.abortAt = abortAt;
    log.control = &control;
    const WalkReport report = ScanAllDrives(roots, options, log, control);
    return {log.lines, reportText(report)};
}

bool endsWithTmp(const char* name, qsizetype length) {
    return QByteArrayView(name, length).endsWith(".tmp");
}

class ListedKinds {
public:
    explicit ListedKinds(bool ignored) { setListedKindsIgnored(ignored); }
    ~ListedKinds() { setListedKindsIgnored(false); }
};

TEST(WalkThreads, EightThreadsGiveTheVisitorExactlyWhatOneGives) {
    test::PermissionChecks checks;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        test::TempTree tree;
        makeTree(tree, seed, checks.enforced());
        // The tree, a root inside it given again, and one given first.
        const QList<QList<DriveEntry>> rootSets = {
            {{tree.root(), "folder"}},
            {{tree.path("wide"), "folder"}, {tree.root(), "folder"}, {tree.root(), "folder"}},
        };
        QList<WalkOptions> optionSets;
        optionSets.append({.pattern = Wildcard(), .includeMask = 0});
        optionSets.append({.pattern = Wildcard("f*;*.tmp"), .includeMask = kWalkMaskBits});
        optionSets.append(
            {.pattern = Wildcard(), .includeMask = kWalkMaskBits, .enterHiddenFolders = true});
        optionSets.append({.pattern = Wildcard(), .includeMask = faDirectory, .maxDepth = 2});
        optionSets.append({.pattern = Wildcard(), .includeMask = faHidden});
        optionSets.last().nameTest = endsWithTmp;
        for (const bool kindsIgnored : {false, true}) {
            const ListedKinds kinds(kindsIgnored);
            for (int o = 0; o < optionSets.size(); ++o) {
                for (int r = 0; r < rootSets.size(); ++r) {
                    const Walked one = walkWith(1, rootSets[r], optionSets[o]);
                    ASSERT_GT(one.lines.size(), 10);
                    const ShakenWorkers shaken(seed * 100 + unsigned(o));
                    for (const int threads : {2, 8}) {
                        const Walked many = walkWith(threads, rootSets[r], optionSets[o]);
                        const auto where = testing::Message()
                                           << "seed " << seed << " options " << o << " roots "
                                           << r << " threads " << threads << " kinds ignored "
                                           << kindsIgnored;
                        EXPECT_EQ(many.report, one.report) << where;
                        ASSERT_EQ(many.lines, one.lines) << where;
                    }
                }
            }
        }
    }
}

// Whenever the flag is set, the calls seen are those of a one-thread walk up
// to that point, and the walk comes back at once (its workers stopped).
TEST(WalkThreads, AbortStopsTheWalkWhereOneThreadWouldStop) {
    test::TempTree tree;
    makeTree(tree, 7, false);
    const QList<DriveEntry> roots = {{tree.root(), "folder"}};
    const WalkOptions options{.pattern = Wildcard(), .includeMask = kWalkMaskBits};
    const Walked whole = walkWith(1, roots, options);
    const ShakenWorkers shaken(7);
    for (const int abortAt : {1, 2, 40, 150, 333}) {
        const Walked one = walkWith(1, roots, options, abortAt);
        const Walked many = walkWith(8, roots, options, abortAt);
        EXPECT_EQ(many.lines, one.lines) << abortAt;
        EXPECT_TRUE(many.report.endsWith(" 1")) << abortAt;  // aborted
        EXPECT_LT(one.lines.size(), whole.lines.size());
    }
}

// Makes a chain of folders "c/c/c/..." under `root`, each holding a file,
// without ever opening more than two folders at a time.
void makeChain(const QByteArray& root, int depth) {
    int fd = ::open(root.constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < depth; ++i) {
        ASSERT_EQ(::mkdirat(fd, "c", 0755), 0);
        ::close(::openat(fd, "f", O_WRONLY | O_CREAT, 0644));
        const int next = ::openat(fd, "c", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        ASSERT_GE(fd, 0);
    }
    ::close(fd);
}

// Removes the chain a level at a time from the top: the level below is moved
// up in place of the one above it.
void removeChain(const QByteArray& root) {
    const int fd = ::open(root.constData(), O_RDONLY | O_DIRECTORY);
    for (;;) {
        ::unlinkat(fd, "c/f", 0);
        if (::renameat(fd, "c/c", fd, "below") != 0)
            break;
        ::unlinkat(fd, "c", AT_REMOVEDIR);
        ::renameat(fd, "below", fd, "c");
    }
    ::unlinkat(fd, "c", AT_REMOVEDIR);
    ::close(fd);
}

// Lowers the limit of open files while it lives.
class OpenFileLimit {
public:
    explicit OpenFileLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_NOFILE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = std::min(limit, m_saved.rlim_cur);
        ::setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~OpenFileLimit() { ::setrlimit(RLIMIT_NOFILE, &m_saved); }

private:
    rlimit m_saved{};
};

// 2,000 levels, paths past PATH_MAX, with 256 files open at most.
TEST(WalkDepth, AChainOfTwoThousandFoldersUnderALimitOf256OpenFiles) {
    test::TempTree tree;
    constexpr int kDepth = 2000;
    makeChain(tree.root(), kDepth);
    for (const int threads : {1, 8}) {
        Log log;
        ScanControl control;
        WalkReport report;
        {
            const OpenFileLimit limit(256);
            Walker walker({.pattern = Wildcard(), .includeMask = 0, .threads = threads}, log,
                          control);
            walker.walk(tree.root());
            report = walker.report();
        }
        EXPECT_EQ(report.folders, kDepth + 1) << threads;
        EXPECT_EQ(report.handedOn, kDepth) << threads;
        EXPECT_TRUE(report.errors.isEmpty())
            << threads << " " << qPrintable(report.errors.first().message());
        // The deepest file comes first, the root's own last.
        const auto first = std::find_if(log.lines.begin(), log.lines.end(),
                                        [](const QByteArray& l) { return l.startsWith("entry "); });
        ASSERT_NE(first, log.lines.end());
        // Counted below the root, whose own path may hold "/c" too.
        EXPECT_EQ(first->count("/c") - tree.root().count("/c"), kDepth - 1) << threads;
        EXPECT_TRUE(log.lines[log.lines.size() - 2].startsWith("entry " + tree.root() + " f "))
            << threads;
    }
    removeChain(tree.root());
}

// The folder at a path is read only when it is the one that was listed.
TEST(WalkDepth, AFolderSwappedForAnotherIsNotEntered) {
    test::TempTree tree;
    tree.file("a/x", 1);
    tree.file("b/old", 1);
    struct stat st {};
    ASSERT_EQ(::stat(tree.path("b").constData(), &st), 0);
    const quint64 device = (quint64(major(st.st_dev)) << 32) | minor(st.st_dev);
    const int fd = openFolderAt(AT_FDCWD, tree.path("b"), device, st.st_ino);
    EXPECT_GE(fd, 0);
    ::close(fd);

    // A visitor swaps "b" for another folder after the root was listed.
    struct Swapper : Log {
        test::TempTree* tree = nullptr;
        void folderEntered(const QByteArray& folder, int depth) override {
            Log::folderEntered(folder, depth);
            if (folder.endsWith("/a")) {
                ::rename(tree->path("b").constData(), tree->path("b-before").constData());
                tree->file("b/new", 1);
            }
        }
    } swapper;
    swapper.tree = &tree;
    ScanControl control;
    Walker walker({.pattern = Wildcard(), .includeMask = 0, .threads = 1}, swapper, control);
    walker.walk(tree.root());
    EXPECT_EQ(walker.report().vanished, 1);
    for (const QByteArray& line : swapper.lines)
        EXPECT_FALSE(line.contains("new") || line.contains("/b ")) << line.constData();

    EXPECT_EQ(openFolderAt(AT_FDCWD, tree.path("b"), device, st.st_ino), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST(WalkThreads, ThreadCountFromOptionsEnvironmentOrMachine) {
    const QByteArray saved = qgetenv("VANTREL_WALK_THREADS");
    qunsetenv("VANTREL_WALK_THREADS");
    EXPECT_GE(walkThreadCount({}), 1);
    qputenv("VANTREL_WALK_THREADS", "3");
    EXPECT_EQ(walkThreadCount({}), 3);
    EXPECT_EQ(walkThreadCount({.pattern = Wildcard(), .threads = 1}), 1);
    qputenv("VANTREL_WALK_THREADS", "none");
    EXPECT_EQ(walkThreadCount({.pattern = Wildcard(), .threads = 1000}), kMaxWalkThreads);
    EXPECT_EQ(walkThreadCount({}),
              std::clamp(2 * int(std::thread::hardware_concurrency()), 2, 16));
    if (saved.isNull())
        qunsetenv("VANTREL_WALK_THREADS");
    else
        qputenv("VANTREL_WALK_THREADS", saved);
}

// A wildcard decides from the name alone, so (as with a name test) a name it
// refuses is never looked at: in a folder that can be listed but not
// searched only the names it takes cost an error, with any number of threads.
TEST(WalkNames, ANameTheWildcardRefusesIsNeverLookedAt) {
    test::TempTree tree;
    tree.file("noexec/one.txt", 1);
    tree.file("noexec/two.tmp", 1);
    tree.file("noexec/three.TMP", 1);
    tree.chmod("noexec", 0444);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    for (const int threads : {1, 8}) {
        Log log;
        ScanControl control;
        Walker walker({.pattern = Wildcard("*.tmp"), .includeMask = 0, .threads = threads}, log,
                      control);
        walker.walk(tree.root());
        QByteArrayList errors;
        for (const WalkError& e : walker.report().errors)
            errors.append(e.path.mid(tree.root().size() + 1));
        EXPECT_EQ(errors, (QByteArrayList{"noexec/three.TMP", "noexec/two.tmp"})) << threads;
        EXPECT_EQ(walker.report().handedOn, 0);
    }
}

}  // namespace
}  // namespace vantrel
