// Engine tests of the folder walk, on real fixture trees: order, masks,
// hidden folders, links, fifos and sockets, names that are not UTF-8,
// unreadable folders, abort, entries that vanish, other file systems and the
// drive loop.
#include "scan/Walker.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QByteArrayList>
#include <QFile>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

namespace vantrel {
namespace {

// Records every call as a line, with paths relative to the tree's root
// ("." for the root itself), so expectations read like the tree.
class Recorder : public WalkVisitor {
public:
    explicit Recorder(QByteArray root) : m_root(std::move(root)) {}

    void driveStarted(const DriveEntry& drive) override { log.append("drive " + rel(drive.root)); }
    void folderEntered(const QByteArray& folder, int depth) override {
        log.append("enter " + rel(folder) + " " + QByteArray::number(depth));
        if (onEnter)
            onEnter(folder);
    }
    void entry(const QByteArray& folder, const FileRecord& r) override {
        const QByteArray path = rel(folder) == "." ? r.name : rel(folder) + "/" + r.name;
        entries.append(path);
        records.append(r);
        log.append("entry " + path);
        if (onEntry)
            onEntry(folder, r);
    }
    void folderDone(const QByteArray& folder, int depth) override {
        log.append("done " + rel(folder) + " " + QByteArray::number(depth));
    }
    void error(const WalkError& e) override { errors.append(e); }

    QByteArray rel(const QByteArray& path) const {
        if (path == m_root)
            return ".";
        if (path.startsWith(m_root + "/"))
            return path.mid(m_root.size() + 1);
        return path;
    }

    QByteArrayList log;
    QByteArrayList entries;
    QList<FileRecord> records;
    QList<WalkError> errors;
    std::function<void(const QByteArray&)> onEnter;
    std::function<void(const QByteArray&, const FileRecord&)> onEntry;

private:
    QByteArray m_root;
};

struct WalkRun {
    WalkReport report;
    QByteArrayList entries;
    QByteArrayList log;
};

WalkRun walkTree(const QByteArray& root, const WalkOptions& options, Recorder* recorder = nullptr,
                 ScanControl* control = nullptr) {
    Recorder local(root);
    Recorder& r = recorder ? *recorder : local;
    ScanControl ownControl;
    Walker walker(options, r, control ? *control : ownControl);
    walker.walk(root);
    return WalkRun{walker.report(), r.entries, r.log};
}

WalkOptions withMask(quint32 mask, const char* pattern = "*.*") {
    WalkOptions o;
    o.pattern = Wildcard(pattern);
    o.includeMask = mask;
    return o;
}

// ---- Order ----------------------------------------------------------------

TEST(WalkOrder, DeepestFoldersFirstThenEachFoldersOwnFilesRootLast) {
    test::TempTree tree;
    tree.file("root2.txt", 1);
    tree.file("root1.txt", 1);
    tree.file("Top/top.txt", 1);
    tree.file("Top/Mid/mid.txt", 1);
    tree.file("Top/Mid/Low/low.txt", 1);
    tree.file("Other/other.txt", 1);

    const WalkRun run = walkTree(tree.root(), withMask(0));
    EXPECT_EQ(run.log, (QByteArrayList{
                           "enter . 0",
                           "enter Other 1",
                           "entry Other/other.txt",
                           "done Other 1",
                           "enter Top 1",
                           "enter Top/Mid 2",
                           "enter Top/Mid/Low 3",
                           "entry Top/Mid/Low/low.txt",
                           "done Top/Mid/Low 3",
                           "entry Top/Mid/mid.txt",
                           "done Top/Mid 2",
                           "entry Top/top.txt",
                           "done Top 1",
                           "entry root1.txt",
                           "entry root2.txt",
                           "done . 0",
                       }));
    EXPECT_EQ(run.report.folders, 5);
    EXPECT_EQ(run.report.handedOn, 6);
    EXPECT_TRUE(run.report.errors.isEmpty());
    EXPECT_FALSE(run.report.aborted);
}

TEST(WalkOrder, NamesInBytewiseOrderWhateverTheCreationOrder) {
    test::TempTree tree;
    // Created in an order that is neither sorted nor reverse sorted.
    const QByteArrayList names = {"b", "B", "a.txt", "\xc3\xa9t\xc3\xa9", "_x", "A", "10",
                                  "9", "a", "\xff"};
    for (const QByteArray& n : names)
        tree.file(n, 1);
    QByteArrayList sorted = names;
    std::sort(sorted.begin(), sorted.end());  // bytewise
    EXPECT_EQ(walkTree(tree.root(), withMask(0)).entries, sorted);
}

TEST(WalkOrder, FolderWithoutSubFoldersHandsItsFilesOnOnce) {
    test::TempTree tree;
    tree.file("a", 1);
    tree.file("b", 2);
    const WalkRun run = walkTree(tree.root(), withMask(0));
    EXPECT_EQ(run.log, (QByteArrayList{"enter . 0", "entry a", "entry b", "done . 0"}));
}

TEST(WalkOrder, EmptyFolderIsListedOnceAndHandsOnNothing) {
    test::TempTree tree;
    tree.mkdir("empty");
    const WalkRun run = walkTree(tree.path("empty"), withMask(kWalkMaskBits));
    EXPECT_EQ(run.log, (QByteArrayList{"enter . 0", "done . 0"}));
    EXPECT_EQ(run.report.folders, 1);
    EXPECT_EQ(run.report.entries, 0);
}

TEST(WalkOrder, FolderEntriesComeAfterTheWalkOfTheirContents) {
    test::TempTree tree;
    tree.file("sub/inner", 1);
    const WalkRun run = walkTree(tree.root(), withMask(faDirectory));
    EXPECT_EQ(run.entries, (QByteArrayList{"sub/inner", "sub"}));
}

TEST(WalkOrder, MaxDepthLimitsTheFoldersEntered) {
    test::TempTree tree;
    tree.file("r", 1);
    tree.file("a/x", 1);
    tree.file("a/b/y", 1);
    WalkOptions o = withMask(faDirectory);
    o.maxDepth = 0;
    EXPECT_EQ(walkTree(tree.root(), o).entries, (QByteArrayList{"a", "r"}));
    o.maxDepth = 1;
    EXPECT_EQ(walkTree(tree.root(), o).entries, (QByteArrayList{"a/b", "a/x", "a", "r"}));
    o.maxDepth = -1;
    EXPECT_EQ(walkTree(tree.root(), o).entries, (QByteArrayList{"a/b/y", "a/b", "a/x", "a", "r"}));
}

// ---- Masks ----------------------------------------------------------------

// One fixture folder holding one entry of each kind.
struct MaskRow {
    const char* label;
    quint32 mask;
    QByteArrayList expected;
};

class WalkMask : public ::testing::TestWithParam<MaskRow> {};

TEST_P(WalkMask, HandsOnPlainFilesAndWhatTheMaskIncludes) {
    test::TempTree tree;
    tree.file("plain", 3);
    tree.file(".hidden", 3);
    tree.file("folder/inside", 3);
    tree.file(".hiddenfolder/secret", 3);
    tree.symlink("link", "plain");
    tree.fifo("fifo");
    ASSERT_EQ(::mknod(tree.path("socket").constData(), S_IFSOCK | 0644, 0), 0);
    tree.file("readonly", 1);
    tree.chmod("readonly", 0444);

    QByteArrayList top;
    for (const QByteArray& e : walkTree(tree.root(), withMask(GetParam().mask)).entries) {
        if (!e.contains('/'))
            top.append(e);
    }
    EXPECT_EQ(top, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WalkMask,
    ::testing::Values(MaskRow{"duplicates", 0, {"plain", "readonly"}},
                      MaskRow{"quickClean", faHidden, {".hidden", "plain", "readonly"}},
                      MaskRow{
                          "systemOnly", faSysFile, {"fifo", "link", "plain", "readonly", "socket"}},
                      MaskRow{"foldersOnly", faDirectory, {"folder", "plain", "readonly"}},
                      MaskRow{"everything",
                              kWalkMaskBits,
                              {".hidden", ".hiddenfolder", "fifo", "folder", "link", "plain",
                               "readonly", "socket"}}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(WalkAttributes, RecordsCarryTheAttributesOfTheirKind) {
    test::TempTree tree;
    tree.file("plain", 5);
    tree.file("ro", 5);
    tree.chmod("ro", 0444);
    tree.file(".dot", 5);
    tree.symlink("link", "plain");
    tree.fifo("fifo");
    tree.mkdir("dir");
    Recorder r(tree.root());
    walkTree(tree.root(), withMask(kWalkMaskBits), &r);
    QMap<QByteArray, quint32> attr;
    for (const FileRecord& rec : r.records)
        attr[rec.name] = rec.attr;
    EXPECT_EQ(attr.value("plain"), 0u);
    EXPECT_EQ(attr.value("ro"), quint32(faReadOnly));
    EXPECT_EQ(attr.value(".dot"), quint32(faHidden));
    EXPECT_TRUE(attr.value("link") & faSysFile);
    EXPECT_TRUE(attr.value("fifo") & faSysFile);
    EXPECT_TRUE(attr.value("dir") & faDirectory);
}

TEST(WalkRecord, EntriesCarryAFullRecord) {
    test::TempTree tree;
    tree.file("five", 5);
    const QDateTime when(QDate(2004, 2, 29), QTime(13, 14, 16), Qt::UTC);
    tree.setTimes("five", when, when.addDays(1));
    Recorder r(tree.root());
    walkTree(tree.root(), withMask(0), &r);
    ASSERT_EQ(r.records.size(), 1);
    const FileRecord& rec = r.records.first();
    EXPECT_EQ(rec.name, "five");
    EXPECT_EQ(rec.size, 5);
    EXPECT_EQ(rec.writeTime.sec, when.toSecsSinceEpoch());
    EXPECT_EQ(rec.accessTime.sec, when.addDays(1).toSecsSinceEpoch());
    EXPECT_NE(rec.inode, 0u);
}

// ---- Hidden folders, links, fifos, sockets -----------------------------------

TEST(WalkSkips, HiddenFolderIsNeverEnteredWhateverTheMask) {
    test::TempTree tree;
    tree.file(".git/config", 1);
    tree.file(".cache/deep/matching.txt", 1);
    tree.file("seen.txt", 1);
    for (const quint32 mask : {0u, quint32(faHidden), quint32(kWalkMaskBits)}) {
        const WalkRun run = walkTree(tree.root(), withMask(mask));
        for (const QByteArray& line : run.log)
            EXPECT_FALSE(line.contains(".git/") || line.contains(".cache/")) << line.constData();
        EXPECT_TRUE(run.entries.contains("seen.txt"));
    }
}

TEST(WalkSkips, SymbolicLinksAreNeverFollowed) {
    test::TempTree tree;
    tree.file("outside/far.txt", 1);
    tree.file("in/near.txt", 1);
    tree.symlink("in/loop", ".");
    tree.symlink("in/up", "..");
    tree.symlink("in/out", tree.path("outside"));
    tree.symlink("in/dangling", "nothing here");
    const WalkRun run = walkTree(tree.path("in"), withMask(kWalkMaskBits));
    EXPECT_EQ(run.entries, (QByteArrayList{"dangling", "loop", "near.txt", "out", "up"}));
    EXPECT_EQ(run.report.folders, 1);
    EXPECT_TRUE(run.report.errors.isEmpty());
}

TEST(WalkSkips, FifoAndSocketAreListedWithoutBeingOpened) {
    test::TempTree tree;
    // A fifo without a writer blocks whoever opens it for reading: if the
    // walk opened it, this test would hang rather than fail.
    tree.fifo("pipe.txt");
    ASSERT_EQ(::mknod(tree.path("sock.txt").constData(), S_IFSOCK | 0644, 0), 0);
    tree.file("plain.txt", 1);
    Recorder r(tree.root());
    walkTree(tree.root(), withMask(faSysFile, "*.txt"), &r);
    EXPECT_EQ(r.entries, (QByteArrayList{"pipe.txt", "plain.txt", "sock.txt"}));
    EXPECT_TRUE(S_ISFIFO(r.records[0].mode));
    EXPECT_TRUE(S_ISSOCK(r.records[2].mode));
}

TEST(WalkNames, NamesThatAreNotUtf8KeepTheirExactBytes) {
    test::TempTree tree;
    const QByteArray folder = "Dokumente \xe4lter";  // Latin-1
    const QByteArray name = "caf\xe9 \xff\xfe.txt";
    tree.file(folder + "/" + name, 7);
    Recorder r(tree.root());
    QByteArrayList folders;
    r.onEntry = [&](const QByteArray& f, const FileRecord&) { folders.append(f); };
    walkTree(tree.root(), withMask(0), &r);
    ASSERT_EQ(r.records.size(), 1);
    EXPECT_EQ(r.records.first().name, name);
    EXPECT_EQ(r.records.first().size, 7);
    EXPECT_EQ(folders.first(), tree.path(folder));
}

TEST(WalkNames, RootWithATrailingSlashIsWalkedWithoutIt) {
    test::TempTree tree;
    tree.file("sub/x", 1);
    Recorder r(tree.root());
    QByteArrayList folders;
    r.onEnter = [&](const QByteArray& f) { folders.append(f); };
    walkTree(tree.root() + "//", withMask(0), &r);
    EXPECT_EQ(folders, (QByteArrayList{tree.root(), tree.path("sub")}));
}

TEST(WalkNames, RootGivenAsSlashJoinsWithoutDoubleSlash) {
    Recorder r("/");
    QByteArrayList folders;
    r.onEnter = [&](const QByteArray& f) { folders.append(f); };
    ScanControl control;
    WalkOptions o = withMask(0);
    o.maxDepth = 1;
    Walker walker(o, r, control);
    ASSERT_TRUE(walker.walk("/"));
    ASSERT_GT(folders.size(), 1);
    EXPECT_EQ(folders.first(), "/");
    EXPECT_EQ(folders[1].count('/'), 1) << folders[1].constData();
    for (const QByteArray& f : folders)
        EXPECT_FALSE(f.contains("//")) << f.constData();
}

// ---- Failures ----------------------------------------------------------------

TEST(WalkFailures, UnreadableFolderIsSkippedRecordedAndTheWalkGoesOn) {
    test::TempTree tree;
    tree.file("a/before.txt", 1);
    tree.file("locked/hidden.txt", 1);
    tree.file("z/after.txt", 1);
    tree.file("root.txt", 1);
    tree.chmod("locked", 0000);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    Recorder r(tree.root());
    const WalkRun run = walkTree(tree.root(), withMask(0), &r);
    EXPECT_EQ(run.entries, (QByteArrayList{"a/before.txt", "z/after.txt", "root.txt"}));
    ASSERT_EQ(run.report.errors.size(), 1);
    const WalkError& e = run.report.errors.first();
    EXPECT_EQ(e.kind, WalkError::Kind::FolderNotOpened);
    EXPECT_EQ(e.path, tree.path("locked"));
    EXPECT_EQ(e.errorNumber, EACCES);
    EXPECT_TRUE(e.message().startsWith(QFile::decodeName(tree.path("locked")) + ": "));
    EXPECT_EQ(r.errors.size(), 1);
    EXPECT_FALSE(run.report.aborted);
}

TEST(WalkFailures, ListableButNotSearchableFolderRecordsEachEntry) {
    test::TempTree tree;
    tree.file("noexec/one.txt", 1);
    tree.file("noexec/sub/two.txt", 1);
    tree.file("ok.txt", 1);
    tree.chmod("noexec", 0444);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    const WalkRun run = walkTree(tree.root(), withMask(0));
    EXPECT_EQ(run.entries, (QByteArrayList{"ok.txt"}));
    QList<WalkError::Kind> kinds;
    QByteArrayList paths;
    for (const WalkError& e : run.report.errors) {
        kinds.append(e.kind);
        paths.append(e.path);
        EXPECT_EQ(e.errorNumber, EACCES);
    }
    EXPECT_EQ(paths, (QByteArrayList{tree.path("noexec/sub"), tree.path("noexec/one.txt")}));
    EXPECT_EQ(kinds, (QList<WalkError::Kind>{WalkError::Kind::FolderNotOpened,
                                             WalkError::Kind::EntryNotRead}));
}

TEST(WalkFailures, FileThatVanishesDuringTheWalkIsCountedNotHandedOn) {
    test::TempTree tree;
    tree.file("a.txt", 1);
    const QByteArray b = tree.file("b.txt", 1);
    tree.file("c.txt", 1);
    Recorder r(tree.root());
    r.onEntry = [&](const QByteArray&, const FileRecord& rec) {
        if (rec.name == "a.txt")
            ::unlink(b.constData());
    };
    const WalkRun run = walkTree(tree.root(), withMask(0), &r);
    EXPECT_EQ(run.entries, (QByteArrayList{"a.txt", "c.txt"}));
    EXPECT_EQ(run.report.vanished, 1);
    EXPECT_TRUE(run.report.errors.isEmpty());
}

TEST(WalkFailures, FolderThatVanishesBeforeItIsEnteredIsCountedNotRecorded) {
    test::TempTree tree;
    tree.file("a/x", 1);
    tree.mkdir("b");
    tree.file("c/y", 1);
    Recorder r(tree.root());
    r.onEnter = [&](const QByteArray& folder) {
        if (folder.endsWith("/a"))
            ::rmdir(tree.path("b").constData());
    };
    const WalkRun run = walkTree(tree.root(), withMask(0), &r);
    EXPECT_EQ(run.entries, (QByteArrayList{"a/x", "c/y"}));
    EXPECT_EQ(run.report.vanished, 1);
    EXPECT_TRUE(run.report.errors.isEmpty());
}

TEST(WalkFailures, FolderReplacedByALinkIsNotFollowed) {
    test::TempTree tree;
    tree.file("a/x", 1);
    tree.mkdir("b");
    tree.file("elsewhere/secret", 1);
    Recorder r(tree.root());
    r.onEnter = [&](const QByteArray& folder) {
        if (folder.endsWith("/a")) {
            ::rmdir(tree.path("b").constData());
            ::symlink(tree.path("elsewhere").constData(), tree.path("b").constData());
        }
    };
    const WalkRun run = walkTree(tree.root(), withMask(0), &r);
    EXPECT_FALSE(run.entries.contains("b/secret"));
    EXPECT_TRUE(run.entries.contains("elsewhere/secret"));
}

// ---- Abort and progress ------------------------------------------------------

TEST(WalkAbort, NoFurtherEntryOrFolderAfterTheFlagIsSet) {
    test::TempTree tree;
    tree.file("a/1", 1);
    tree.file("a/2", 1);
    tree.file("a/3", 1);
    tree.file("b/4", 1);
    tree.file("5", 1);
    ScanControl control;
    Recorder r(tree.root());
    r.onEntry = [&](const QByteArray&, const FileRecord& rec) {
        if (rec.name == "2")
            control.scanAborted = true;
    };
    const WalkRun run = walkTree(tree.root(), withMask(0), &r, &control);
    EXPECT_EQ(run.entries, (QByteArrayList{"a/1", "a/2"}));
    EXPECT_EQ(run.log.last(), "entry a/2");  // no "done", no further folder
    EXPECT_TRUE(run.report.aborted);
}

TEST(WalkAbort, FlagSetBeforeTheWalkWalksNothing) {
    test::TempTree tree;
    tree.file("a/1", 1);
    ScanControl control;
    control.scanAborted = true;
    const WalkRun run = walkTree(tree.root(), withMask(0), nullptr, &control);
    EXPECT_TRUE(run.log.isEmpty());
    EXPECT_TRUE(run.report.aborted);
}

TEST(WalkProgress, CountsAndFolderFollowTheWalk) {
    test::TempTree tree;
    tree.file("a/1", 1);
    tree.file("a/.2", 1);
    tree.file("3", 1);
    ScanControl control;
    const WalkRun run = walkTree(tree.root(), withMask(0), nullptr, &control);
    const ScanProgress::Snapshot s = control.progress.snapshot();
    EXPECT_EQ(s.folders, 2);
    EXPECT_EQ(s.entries, 4);  // a, 3 in the root; 1, .2 in a
    EXPECT_EQ(s.handedOn, 2);
    EXPECT_EQ(s.folder, tree.root());  // back in the root for its own files
    EXPECT_EQ(run.report.entries, 4);
}

// ---- Other file systems --------------------------------------------------------

// Runs `body` in a child process with a mount namespace of its own, so that
// mounts made there are never seen outside. The child's text comes back;
// "SKIP: ..." when the namespace or the mount cannot be had.
QByteArray inMountNamespace(const std::function<QByteArray()>& body) {
    int fds[2];
    if (::pipe(fds) != 0)
        return "SKIP: no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        QByteArray out;
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            out = "SKIP: no private mount namespace";
        else
            out = body();
        qsizetype done = 0;
        while (done < out.size()) {
            const ssize_t n = ::write(fds[1], out.constData() + done, size_t(out.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray result;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return result;
}

TEST(WalkFileSystems, AnotherFileSystemIsNotEntered) {
    test::TempTree tree;
    tree.file("here.txt", 1);
    tree.mkdir("mnt");
    const QByteArray out = inMountNamespace([&]() -> QByteArray {
        if (::mount("vantrel-test", tree.path("mnt").constData(), "tmpfs", 0, "size=1m") != 0)
            return "SKIP: cannot mount a tmpfs";
        const int fd = ::open(tree.path("mnt/there.txt").constData(), O_WRONLY | O_CREAT, 0644);
        if (fd < 0)
            return "SKIP: cannot write into the tmpfs";
        ::close(fd);
        const WalkRun run = walkTree(tree.root(), withMask(faDirectory));
        return run.entries.join(",") + ";" + QByteArray::number(run.report.otherFileSystems);
    });
    if (out.startsWith("SKIP"))
        GTEST_SKIP() << out.constData();
    EXPECT_EQ(out, "here.txt,mnt;1");
}

TEST(WalkFileSystems, BindMountOfAnAncestorIsRecordedAsALoop) {
    test::TempTree tree;
    tree.file("a/x", 1);
    const QByteArray out = inMountNamespace([&]() -> QByteArray {
        if (::mount(tree.root().constData(), tree.path("a").constData(), nullptr, MS_BIND,
                    nullptr) != 0)
            return "SKIP: cannot bind-mount";
        const WalkRun run = walkTree(tree.root(), withMask(0));
        QByteArray text = run.entries.join(",");
        for (const WalkError& e : run.report.errors)
            text += ";" + QByteArray::number(int(e.kind)) + ":" + Recorder(tree.root()).rel(e.path);
        return text;
    });
    if (out.startsWith("SKIP"))
        GTEST_SKIP() << out.constData();
    // "a" now shows the root itself: it is not entered, and its file is out of sight.
    EXPECT_EQ(out, ";" + QByteArray::number(int(WalkError::Kind::FolderLoop)) + ":a");
}

// ---- The drive loop --------------------------------------------------------------

TEST(DriveLoop, WalksReadyDrivesInOrderAndRecordsOnesThatCannotBeOpened) {
    test::TempTree tree;
    tree.file("one/1.txt", 1);
    tree.file("two/2.txt", 1);
    const QByteArray notAFolder = tree.file("plainfile", 1);
    const QList<DriveEntry> drives = {
        {tree.path("two"), "folder"},
        {tree.path("missing"), "folder"},  // not ready: skipped without a word
        {notAFolder, "ext4"},              // ready but no folder: cannot be opened
        {tree.path("one"), "folder"},
    };
    Recorder r(tree.root());
    ScanControl control;
    QList<WalkError> told;
    control.onError = [&](const WalkError& e) { told.append(e); };
    const WalkReport report = ScanAllDrives(drives, withMask(0), r, control);
    EXPECT_EQ(r.entries, (QByteArrayList{"two/2.txt", "one/1.txt"}));
    QByteArrayList drivesStarted;
    for (const QByteArray& line : r.log) {
        if (line.startsWith("drive "))
            drivesStarted.append(line);
    }
    EXPECT_EQ(drivesStarted, (QByteArrayList{"drive two", "drive one"}));
    ASSERT_EQ(report.errors.size(), 1);
    EXPECT_EQ(report.errors.first().kind, WalkError::Kind::DriveNotOpened);
    EXPECT_EQ(report.errors.first().message(),
              "Can't open drive " + QFile::decodeName(notAFolder) + "  [ext4]");
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(report.folders, 2);
}

TEST(DriveLoop, AbortStopsBeforeTheNextDrive) {
    test::TempTree tree;
    tree.file("one/1.txt", 1);
    tree.file("two/2.txt", 1);
    ScanControl control;
    Recorder r(tree.root());
    r.onEntry = [&](const QByteArray&, const FileRecord&) { control.scanAborted = true; };
    const WalkReport report = ScanAllDrives(
        {{tree.path("one"), "folder"}, {tree.path("two"), "folder"}}, withMask(0), r, control);
    EXPECT_EQ(r.entries, (QByteArrayList{"one/1.txt"}));
    EXPECT_TRUE(report.aborted);
}

}  // namespace
}  // namespace vantrel
