// Engine tests of the folder walk on real fixture trees: order, masks,
// hidden folders, links, fifos and sockets, names that are not UTF-8,
// failures, abort, other file systems and the drive loop.
#include "scan/FolderIdSet.h"
#include "scan/Walker.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QByteArrayList>
#include <QFile>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
        folders.append(folder);
        onEnter(folder);
    }
    void entry(const QByteArray& folder, const FileRecord& r) override {
        const QByteArray path = rel(folder) == "." ? r.name : rel(folder) + "/" + r.name;
        entries.append(path);
        log.append("entry " + path);
        onEntry(r);
    }
    void folderDone(const QByteArray& folder, int depth) override {
        log.append("done " + rel(folder) + " " + QByteArray::number(depth));
    }
    QByteArray rel(const QByteArray& path) const {
        if (path == m_root)
            return ".";
        return path.startsWith(m_root + "/") ? path.mid(m_root.size() + 1) : path;
    }
    // The report's errors as "Kind path" (path as rel() gives it), joined by ";".
    QByteArray errorsOf(const WalkReport& report) const {
        static const char* const kinds[] = {"DriveNotOpened", "FolderNotOpened", "FolderNotRead",
                                            "EntryNotRead", "FolderLoop"};
        QByteArrayList out;
        for (const WalkError& e : report.errors)
            out.append(kinds[int(e.kind)] + (" " + rel(e.path)));
        return out.join(';');
    }

    QByteArrayList log, entries, folders;
    std::function<void(const QByteArray&)> onEnter = [](const QByteArray&) {};
    std::function<void(const FileRecord&)> onEntry = [](const FileRecord&) {};

private:
    QByteArray m_root;
};

WalkOptions withMask(quint32 mask, int maxDepth = -1) {
    return {.pattern = Wildcard(), .includeMask = mask, .maxDepth = maxDepth};
}

WalkReport walkTree(Recorder& r, const QByteArray& root, const WalkOptions& options,
                    ScanControl* control = nullptr) {
    ScanControl own;
    Walker walker(options, r, control ? *control : own);
    walker.walk(root);
    return walker.report();
}

// Files of one byte at the given relative paths.
void files(test::TempTree& tree, std::initializer_list<const char*> paths) {
    for (const char* p : paths)
        tree.file(p, 1);
}

TEST(WalkOrder, SubFoldersDepthFirstThenTheFoldersOwnFilesRootLast) {
    test::TempTree tree;
    files(tree, {"root2.txt", "root1.txt", "Top/top.txt", "Top/Mid/Low/low.txt", "Other/.o"});
    Recorder r(tree.root());
    ScanControl control;
    const WalkReport report = walkTree(r, tree.root(), withMask(0), &control);
    EXPECT_EQ(r.log,
              (QByteArrayList{"enter . 0", "enter Other 1", "done Other 1", "enter Top 1",
                              "enter Top/Mid 2", "enter Top/Mid/Low 3", "entry Top/Mid/Low/low.txt",
                              "done Top/Mid/Low 3", "done Top/Mid 2", "entry Top/top.txt",
                              "done Top 1", "entry root1.txt", "entry root2.txt", "done . 0"}));
    EXPECT_TRUE(report.errors.isEmpty());
    // The progress counts every entry listed and shows the root again for its own files.
    const ScanProgress::Snapshot s = control.progress.snapshot();
    EXPECT_EQ(std::tuple(s.folders, s.entries, s.handedOn, s.folder),
              std::tuple(5, 9, 4, tree.root()));
}

// Names that are not UTF-8 (Latin-1 here) keep their exact bytes.
TEST(WalkOrder, NamesInBytewiseOrderWhateverTheCreationOrder) {
    test::TempTree tree;
    const QByteArrayList names = {"b",  "B", "a.txt", "\xc3\xa9t\xc3\xa9",   "_x", "A",
                                  "10", "9", "a",     "caf\xe9 \xff\xfe.txt"};
    for (const QByteArray& n : names)
        tree.file(n, 1);
    tree.file("Dokumente \xe4lter/x", 1);
    QByteArrayList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    Recorder r(tree.root());
    walkTree(r, tree.root(), withMask(0));
    EXPECT_EQ(r.entries, QByteArrayList{"Dokumente \xe4lter/x"} + sorted);
    EXPECT_EQ(r.folders, (QByteArrayList{tree.root(), tree.path("Dokumente \xe4lter")}));
}

// Folder entries come after the walk of their contents.
TEST(WalkOrder, MaxDepthLimitsTheFoldersEntered) {
    test::TempTree tree;
    files(tree, {"r", "a/x", "a/b/y"});
    Recorder r(tree.root());
    walkTree(r, tree.root(), withMask(faDirectory, 1));
    EXPECT_EQ(r.entries, (QByteArrayList{"a/b", "a/x", "a", "r"}));
}

// A fifo without a writer blocks whoever opens it for reading: if the walk
// opened one, this test would hang rather than fail.
TEST(WalkMask, HandsOnPlainFilesAndWhatTheMaskIncludes) {
    test::TempTree tree;
    files(tree, {"plain", ".hidden", "folder/inside", ".hiddenfolder/secret", "readonly"});
    tree.symlink("link", "plain");
    tree.fifo("fifo");
    ASSERT_EQ(::mknod(tree.path("socket").constData(), S_IFSOCK | 0644, 0), 0);
    tree.chmod("readonly", 0444);
    const QList<std::pair<quint32, QByteArrayList>> rows = {
        {0, {"plain", "readonly"}},
        {faHidden, {".hidden", "plain", "readonly"}},
        {faSysFile, {"fifo", "link", "plain", "readonly", "socket"}},
        {faDirectory, {"folder", "plain", "readonly"}},
        {kWalkMaskBits,
         {".hidden", ".hiddenfolder", "fifo", "folder", "link", "plain", "readonly", "socket"}}};
    for (const auto& [mask, expected] : rows) {
        Recorder r(tree.root());
        walkTree(r, tree.root(), withMask(mask));
        QByteArrayList top;  // the root's own entries
        for (const QByteArray& e : r.entries)
            if (!e.contains('/'))
                top.append(e);
        EXPECT_EQ(top, expected) << mask;
        EXPECT_FALSE(r.folders.contains(tree.path(".hiddenfolder"))) << mask;  // never entered
    }
}

// The measuring tools enter hidden folders (a home's .cache, a project's
// .git); the option changes nothing else about what is handed on.
TEST(WalkMask, HiddenFoldersAreEnteredOnlyWhenAskedFor) {
    test::TempTree tree;
    files(tree, {".cache/big", ".cache/.deeper/x", "seen"});
    for (const bool enter : {false, true}) {
        WalkOptions options = withMask(kWalkMaskBits);
        options.enterHiddenFolders = enter;
        Recorder r(tree.root());
        walkTree(r, tree.root(), options);
        const QByteArrayList expected =
            enter ? QByteArrayList{".cache/.deeper/x", ".cache/.deeper", ".cache/big", ".cache",
                                   "seen"}
                  : QByteArrayList{".cache", "seen"};
        EXPECT_EQ(r.entries, expected) << enter;
    }
}

TEST(WalkSkips, SymbolicLinksAreNeverFollowedNotEvenLoops) {
    test::TempTree tree;
    files(tree, {"outside/far.txt", "in/near.txt"});
    tree.symlink("in/loop", ".");
    tree.symlink("in/up", "..");
    tree.symlink("in/out", tree.path("outside"));
    tree.symlink("in/dangling", "nothing here");
    Recorder r(tree.path("in"));
    const WalkReport report = walkTree(r, tree.path("in"), withMask(kWalkMaskBits));
    EXPECT_EQ(r.entries, (QByteArrayList{"dangling", "loop", "near.txt", "out", "up"}));
    EXPECT_EQ(report.folders, 1);
    EXPECT_TRUE(report.errors.isEmpty());
}

// A root with a trailing slash once gave folder paths with a double slash.
TEST(WalkNames, RootIsJoinedWithoutDoubleSlashes) {
    test::TempTree tree;
    tree.file("sub/x", 1);
    Recorder r(tree.root());
    walkTree(r, tree.root() + "//", withMask(0));
    EXPECT_EQ(r.folders, (QByteArrayList{tree.root(), tree.path("sub")}));

    Recorder slash("/");
    walkTree(slash, "/", withMask(0, 1));
    ASSERT_GT(slash.folders.size(), 1);
    EXPECT_EQ(slash.folders.first(), "/");
    EXPECT_EQ(slash.folders[1].count('/'), 1) << slash.folders[1].constData();
}

// A folder that cannot be opened and one that can be listed but not
// searched: both are recorded and skipped, the walk goes on.
TEST(WalkFailures, UnreadableFoldersAreSkippedRecordedAndTheWalkGoesOn) {
    test::TempTree tree;
    files(tree, {"a/before.txt", "locked/hidden.txt", "noexec/one.txt", "noexec/sub/two.txt",
                 "z/after.txt", "root.txt"});
    tree.chmod("locked", 0000);
    tree.chmod("noexec", 0444);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    Recorder r(tree.root());
    const WalkReport report = walkTree(r, tree.root(), withMask(0));
    EXPECT_EQ(r.entries, (QByteArrayList{"a/before.txt", "z/after.txt", "root.txt"}));
    EXPECT_EQ(r.errorsOf(report),
              "FolderNotOpened locked;FolderNotOpened noexec/sub;EntryNotRead noexec/one.txt");
    for (const WalkError& e : report.errors)
        EXPECT_EQ(e.errorNumber, EACCES);
    EXPECT_TRUE(
        report.errors.first().message().startsWith(QFile::decodeName(tree.path("locked")) + ": "));
    EXPECT_FALSE(report.aborted);
}

// Between the listing and the look at an entry: a file or a folder goes, or
// a folder is replaced by a link to somewhere else.
TEST(WalkFailures, EntriesThatChangeDuringTheWalk) {
    test::TempTree tree;
    files(tree, {"a/x", "a.txt", "b.txt", "c/y", "elsewhere/secret"});
    tree.mkdir("b");
    tree.mkdir("bb");
    Recorder r(tree.root());
    r.onEnter = [&](const QByteArray& folder) {
        if (folder.endsWith("/a")) {
            ::rmdir(tree.path("b").constData());
            ::rmdir(tree.path("bb").constData());
            ::symlink(tree.path("elsewhere").constData(), tree.path("bb").constData());
        }
    };
    r.onEntry = [&](const FileRecord& rec) {
        if (rec.name == "a.txt")
            ::unlink(tree.path("b.txt").constData());
    };
    // Threads reading ahead may look before the visitor changes the tree.
    WalkOptions oneThread = withMask(0);
    oneThread.threads = 1;
    const WalkReport report = walkTree(r, tree.root(), oneThread);
    EXPECT_EQ(r.entries, (QByteArrayList{"a/x", "c/y", "elsewhere/secret", "a.txt"}));
    EXPECT_EQ(report.vanished, 3);
    EXPECT_TRUE(report.errors.isEmpty());
}

TEST(WalkAbort, NoFurtherCallAfterTheFlagIsSet) {
    test::TempTree tree;
    files(tree, {"a/1", "a/2", "a/3", "b/4", "5"});
    ScanControl control;
    Recorder r(tree.root());
    r.onEntry = [&](const FileRecord& rec) {
        if (rec.name == "2")
            control.scanAborted = true;
    };
    EXPECT_TRUE(walkTree(r, tree.root(), withMask(0), &control).aborted);
    EXPECT_EQ(r.entries, (QByteArrayList{"a/1", "a/2"}));
    EXPECT_EQ(r.log.last(), "entry a/2");

    Recorder before(tree.root());
    EXPECT_TRUE(walkTree(before, tree.root(), withMask(0), &control).aborted);
    EXPECT_TRUE(before.log.isEmpty());
}

using test::inMountNamespace;

TEST(WalkFileSystems, AnotherFileSystemIsNotEntered) {
    test::TempTree tree;
    tree.file("here.txt", 1);
    tree.mkdir("mnt");
    const int result = inMountNamespace("here.txt,mnt;1", [&]() -> QByteArray {
        if (::mount("vantrel-test", tree.path("mnt").constData(), "tmpfs", 0, "size=1m") != 0)
            return "SKIP";
        tree.file("mnt/there.txt", 1);
        Recorder r(tree.root());
        const WalkReport report = walkTree(r, tree.root(), withMask(faDirectory));
        return r.entries.join(",") + ";" + QByteArray::number(report.otherFileSystems);
    });
    if (result == 2)
        GTEST_SKIP() << "no private mount namespace or tmpfs here";
    EXPECT_EQ(result, 0);
}

// "a" shows the root itself: it is not entered, and its file is out of sight.
TEST(WalkFileSystems, BindMountOfAnAncestorIsRecordedAsALoop) {
    test::TempTree tree;
    tree.file("a/x", 1);
    const int result = inMountNamespace(";FolderLoop a", [&]() -> QByteArray {
        if (::mount(tree.root().constData(), tree.path("a").constData(), nullptr, MS_BIND,
                    nullptr) != 0)
            return "SKIP";
        Recorder r(tree.root());
        const WalkReport report = walkTree(r, tree.root(), withMask(0));
        return r.entries.join(",") + ";" + r.errorsOf(report);
    });
    if (result == 2)
        GTEST_SKIP() << "no private mount namespace or bind mounts here";
    EXPECT_EQ(result, 0);
}

// One scan walks each folder once, whatever roots it is given and in
// whatever order: the home folder inside "/", a folder added inside the
// home folder, a root ticked twice or spelled another way.
struct NestedRootsCase {
    const char* label;
    QByteArrayList roots;  // relative to the tree; "." is the tree itself
    QByteArrayList entries;
    qint64 alreadyWalked;
};

void PrintTo(const NestedRootsCase& c, std::ostream* os) {
    *os << c.label;
}

class NestedRoots : public ::testing::TestWithParam<NestedRootsCase> {};

TEST_P(NestedRoots, EachFolderIsWalkedOnceAndNoEntryIsHandedOnTwice) {
    test::TempTree tree;
    files(tree, {"top.txt", "Photos/p.jpg", "Photos/Sub/s.jpg", "Docs/d.txt", "home/ann/a.txt",
                 "home/ann/Music/m.mp3", ".hidden/inner/h.txt"});
    QList<DriveEntry> drives;
    for (const QByteArray& r : GetParam().roots)
        drives.append({r == "." ? tree.root() : tree.path(r), "folder"});
    Recorder rec(tree.root());
    ScanControl control;
    const WalkReport report = ScanAllDrives(drives, withMask(0), rec, control);
    EXPECT_EQ(rec.entries, GetParam().entries);
    EXPECT_EQ(report.alreadyWalked, GetParam().alreadyWalked);
    EXPECT_TRUE(report.errors.isEmpty());
    QByteArrayList folders = rec.folders;
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(std::adjacent_find(folders.begin(), folders.end()), folders.end());
}

const QByteArrayList kWholeTree = {"Docs/d.txt",           "Photos/Sub/s.jpg", "Photos/p.jpg",
                                   "home/ann/Music/m.mp3", "home/ann/a.txt",   "top.txt"};

const NestedRootsCase kNestedRoots[] = {
    {"InnerAfterOuter", {".", "Photos"}, kWholeTree, 1},
    {"InnerBeforeOuter",
     {"Photos", "."},
     {"Photos/Sub/s.jpg", "Photos/p.jpg", "Docs/d.txt", "home/ann/Music/m.mp3", "home/ann/a.txt",
      "top.txt"},
     1},
    {"SameRootTwice", {".", "."}, kWholeTree, 1},
    {"RootThenHome", {".", "home/ann"}, kWholeTree, 1},
    {"HomeThenRootThenFolderInHome",
     {"home/ann", ".", "home/ann/Music"},
     {"home/ann/Music/m.mp3", "home/ann/a.txt", "Docs/d.txt", "Photos/Sub/s.jpg", "Photos/p.jpg",
      "top.txt"},
     2},
    {"OneFolderSpelledTwoWays", {"Photos", "Docs/../Photos/Sub/.."}, {"Photos/Sub/s.jpg",
                                                                        "Photos/p.jpg"}, 1},
    // The walk of the tree does not enter .hidden, so a root inside it is new.
    {"RootInsideAHiddenFolder", {".", ".hidden/inner"}, kWholeTree + QByteArrayList{
                                                            ".hidden/inner/h.txt"}, 0},
};
INSTANTIATE_TEST_SUITE_P(Walk, NestedRoots, ::testing::ValuesIn(kNestedRoots),
                         [](const auto& row) { return std::string(row.param.label); });

TEST(FolderIdSet, KeepsEveryPairOnceThroughGrowth) {
    FolderIdSet set;
    // Dense inode runs on a few devices, as a real tree gives them; (0, 0) too.
    for (quint64 device : {0ULL, 2049ULL, 2050ULL << 32}) {
        for (quint64 inode = 0; inode < 50000; ++inode)
            ASSERT_TRUE(set.insert(device, inode));
    }
    EXPECT_EQ(set.size(), 150000u);
    EXPECT_FALSE(set.insert(0, 0) || set.insert(2049, 49999) || set.insert(2050ULL << 32, 7));
    EXPECT_TRUE(set.contains(0, 0) && set.contains(2050ULL << 32, 0));
    EXPECT_FALSE(set.contains(2049, 50000) || set.contains(2051, 1) || set.contains(1, 0));
    set.clear();
    EXPECT_FALSE(set.contains(0, 0) || set.contains(2049, 1));
    EXPECT_EQ(set.size(), 0u);
}

// A folder that a bind mount of the same file system shows a second time:
// walked once inside one root, and once across two roots.
TEST(WalkFileSystems, BindMountOfAWalkedFolderIsNotWalkedAgain) {
    test::TempTree tree;
    tree.file("a/x", 1);
    tree.file("a/sub/y", 1);
    tree.mkdir("b");
    const int result =
        inMountNamespace("a/sub/y,a/x;1;;b/sub/y,b/x;2", [&]() -> QByteArray {
            if (::mount(tree.path("a").constData(), tree.path("b").constData(), nullptr, MS_BIND,
                        nullptr) != 0)
                return "SKIP";
            Recorder one(tree.root());
            const WalkReport inside = walkTree(one, tree.root(), withMask(0));
            Recorder two(tree.root());
            ScanControl control;
            const WalkReport across = ScanAllDrives(
                {{tree.path("b"), "folder"}, {tree.root(), "folder"}}, withMask(0), two, control);
            return one.entries.join(",") + ";" + QByteArray::number(inside.alreadyWalked) + ";" +
                   one.errorsOf(inside) + ";" + two.entries.join(",") + ";" +
                   QByteArray::number(across.alreadyWalked);
        });
    if (result == 2)
        GTEST_SKIP() << "no private mount namespace or bind mounts here";
    EXPECT_EQ(result, 0);
}

TEST(DriveLoop, WalksReadyDrivesInOrderRecordsOnesNotOpenedAndStopsOnAbort) {
    test::TempTree tree;
    files(tree, {"one/1.txt", "two/2.txt"});
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
    EXPECT_EQ(r.log.first(), "drive two");
    EXPECT_TRUE(r.log.contains("drive one"));
    ASSERT_EQ(report.errors.size(), 1);
    EXPECT_EQ(report.errors.first().message(),
              "Can't open drive " + QFile::decodeName(notAFolder) + "  [ext4]");
    EXPECT_EQ(told.size(), 1);
    EXPECT_EQ(report.folders, 2);

    Recorder stopped(tree.root());
    stopped.onEntry = [&](const FileRecord&) { control.scanAborted = true; };
    EXPECT_TRUE(ScanAllDrives(drives, withMask(0), stopped, control).aborted);
    EXPECT_EQ(stopped.entries, QByteArrayList{"two/2.txt"});
}

// The name test: what it refuses is neither handed on nor looked at, the
// folders are walked as before, and on a file system whose listings tell no
// kinds the walk gives the same as on one that tells them.
class ListedKinds {
public:
    explicit ListedKinds(bool ignored) { setListedKindsIgnored(ignored); }
    ~ListedKinds() { setListedKindsIgnored(false); }
};

bool endsWithTmp(const char* name, qsizetype length) {
    return QByteArrayView(name, length).endsWith(".tmp");
}

TEST(WalkNameTest, RefusedNamesAreLeftOutAndTheWalkIsUnchanged) {
    test::TempTree tree;
    files(tree, {"a.tmp", "b.txt", ".c.tmp", "d.tmp/inside.tmp", "d.tmp/no", ".e/f.tmp",
                 "g/h/i.tmp", "g/j.TMP"});
    tree.fifo("k.tmp");
    tree.symlink("l.tmp", "b.txt");
    for (const bool kindsIgnored : {false, true}) {
        for (const quint32 mask : {0u, quint32(faHidden), kWalkMaskBits}) {
            const ListedKinds kinds(kindsIgnored);
            Recorder all(tree.root());
            const WalkReport plain = walkTree(all, tree.root(), withMask(mask));
            WalkOptions options = withMask(mask);
            options.nameTest = endsWithTmp;
            Recorder tested(tree.root());
            const WalkReport report = walkTree(tested, tree.root(), options);

            QByteArrayList expected;
            for (const QByteArray& e : all.entries) {
                if (e.endsWith(".tmp"))
                    expected.append(e);
            }
            EXPECT_EQ(tested.entries, expected) << kindsIgnored << " " << mask;
            EXPECT_EQ(tested.folders, all.folders) << kindsIgnored << " " << mask;
            EXPECT_EQ(report.folders, plain.folders);
            EXPECT_EQ(report.entries, plain.entries);
            EXPECT_EQ(report.handedOn, expected.size());
            EXPECT_TRUE(report.errors.isEmpty());
        }
    }
    // Whether the listing tells kinds changes nothing: the same entries, in
    // the same order, with the same records.
    Recorder told(tree.root()), untold(tree.root());
    QList<quint32> toldAttr, untoldAttr;
    told.onEntry = [&](const FileRecord& rec) { toldAttr.append(rec.attr); };
    untold.onEntry = [&](const FileRecord& rec) { untoldAttr.append(rec.attr); };
    walkTree(told, tree.root(), withMask(kWalkMaskBits));
    {
        const ListedKinds kinds(true);
        walkTree(untold, tree.root(), withMask(kWalkMaskBits));
    }
    EXPECT_EQ(untold.log, told.log);
    EXPECT_EQ(untoldAttr, toldAttr);
}

// In a folder that can be listed but not searched every look at an entry
// fails: a name the test refuses is never looked at, so it costs no error.
// Where the listing tells no kinds, a name must still be looked at to know
// whether it is a folder, except a hidden one that is not entered anyway.
TEST(WalkNameTest, ARefusedNameIsNeverLookedAt) {
    test::TempTree tree;
    files(tree, {"noexec/one.txt", "noexec/two.tmp", "noexec/.three.txt"});
    tree.chmod("noexec", 0444);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    const QList<std::tuple<bool, quint32, QByteArray>> rows = {
        {false, 0, "EntryNotRead noexec/two.tmp"},
        {false, faHidden, "EntryNotRead noexec/two.tmp"},
        {true, 0, "EntryNotRead noexec/one.txt;EntryNotRead noexec/two.tmp"},
        {true, faHidden, "EntryNotRead noexec/one.txt;EntryNotRead noexec/two.tmp"},
    };
    for (const auto& [kindsIgnored, mask, errors] : rows) {
        const ListedKinds kinds(kindsIgnored);
        WalkOptions options = withMask(mask);
        options.nameTest = endsWithTmp;
        Recorder r(tree.root());
        const WalkReport report = walkTree(r, tree.root(), options);
        EXPECT_TRUE(r.entries.isEmpty());
        EXPECT_EQ(r.errorsOf(report), errors) << kindsIgnored << " " << mask;
    }
}

}  // namespace
}  // namespace vantrel
