// Deleting marked files and folder trees, for good and into the trash, on
// real temporary trees; and the folder protections.

#include "results/Deletion.h"
#include "HomeTree.h"
#include "platform/FileRecord.h"
#include "platform/Trash.h"
#include "results/FolderProtection.h"
#include "scan/DriveList.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QStandardPaths>

#include <sys/mount.h>
#include <unistd.h>

#include <optional>
#include <utility>

namespace vantrel {
namespace {

using test::exists;

int entryCount(const QByteArray& folder) {
    return int(QDir(QFile::decodeName(folder))
                   .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                   .size());
}

// Names each instance of a parameterised test by the label of its case.
const auto byLabel = [](const auto& row) { return std::string(row.param.label); };

// Each test has its own home (so its own trash and settings) in its tree.
class DeletionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
        ASSERT_TRUE(homeTrashFolder().startsWith(tree.path("home/")));
    }

    test::HomeTree tree;
};

// ---- Marked files ---------------------------------------------------------

// One bad path in the middle of a list: it is reported and not counted, and
// the files around it still go.
struct BadFileCase {
    const char* label;
    const char* made;    // a file made first, or ""
    const char* locked;  // then made read-only (0555 / 0444 for a folder / file), or ""
    const char* bad;     // the bad path; "" is an empty path
    bool staysOnDisk;
};

class BadFileTest : public DeletionTest, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(BadFileTest, IsReportedNotCountedAndTheRestGoesOn) {
    const BadFileCase c = GetParam();
    const QByteArray before = tree.file("0-before.bin", 100);
    const QByteArray after = tree.file("9-after.bin", 300);
    if (*c.made)
        tree.file(c.made, 200);
    const bool lockedFolder = *c.locked && QByteArray(c.locked) != c.made;
    if (*c.locked)
        tree.chmod(c.locked, lockedFolder ? 0555 : 0444);
    const QByteArray bad = *c.bad ? tree.path(c.bad) : QByteArray();
    std::optional<test::PermissionChecks> checks;
    if (lockedFolder && !checks.emplace().enforced())
        GTEST_SKIP() << "permission checks cannot be enforced";
    const DeleteRun run = deleteFiles({before, bad, after}, DeleteMode::ForGood);
    checks.reset();
    ASSERT_EQ(run.outcomes.size(), 3);
    EXPECT_FALSE(run.outcomes[1].error.isEmpty());
    EXPECT_EQ(run.removedBytes, 400);
    EXPECT_EQ(run.removedPaths(), (QList<QByteArray>{before, after}));
    EXPECT_EQ(exists(bad), c.staysOnDisk);
}

const BadFileCase kBadFiles[] = {
    {"ReadOnlyFile", "5.bin", "5.bin", "5.bin", true},
    {"InReadOnlyFolder", "locked/5.bin", "locked", "locked/5.bin", true},
    {"AlreadyGone", "", "", "nowhere/5.bin", false},
    {"IsAFolder", "folder/5.bin", "", "folder", true},
    {"Empty", "", "", "", false}};
INSTANTIATE_TEST_SUITE_P(Cases, BadFileTest, ::testing::ValuesIn(kBadFiles), byLabel);

TEST_F(DeletionTest, LinkGoesItselfNotItsTarget) {
    const QByteArray target = tree.file("outside/big.bin", 5000);
    const DeleteRun run = deleteFiles({tree.symlink("link.bin", target)}, DeleteMode::ForGood);
    EXPECT_EQ(run.removedCount, 1);
    EXPECT_EQ(run.removedBytes, 0);
    EXPECT_TRUE(exists(target) && !exists(tree.path("link.bin")));
}

// ---- Folder trees -----------------------------------------------------------

using Asked = std::pair<QByteArray, quint32>;  // a question's path and attribute

// Answers from a script (true = Yes; No once it runs out); records every question.
struct QuestionScript {
    QList<bool> answers;
    QList<Asked> asked;
    FolderDeletionCallbacks callbacks() {
        return {[this](const QByteArray& path, quint32 attribute) {
                    asked.append({path, attribute});
                    return !answers.isEmpty() && answers.takeFirst();
                },
                {}};
    }
};

// A tree deletion's counts and flags, joined for one comparison.
std::string summary(const FolderDeletionResult& r) {
    return std::to_string(r.files) + " files " + std::to_string(r.bytes) + " bytes " +
           std::to_string(r.failures.size()) + " failures" + (r.finished ? "" : ", stopped") +
           (r.folderRemoved ? ", removed" : "");
}

TEST_F(DeletionTest, LinksToOutsideAreRemovedAsEntriesAndOutsideIsUntouched) {
    tree.file("outside/keep1.bin", 111);
    tree.file("outside/inner/keep2.bin", 222);
    tree.file("victim/own.bin", 10);
    tree.mkdir("victim/sub/empty");
    tree.symlink("victim/to-folder", tree.path("outside"));
    tree.symlink("victim/sub/to-file", tree.path("outside/keep1.bin"));
    tree.symlink("victim/sub/relative", "../../outside/inner");
    tree.symlink("victim/dangling", tree.path("nothing"));
    QuestionScript script{{true, true, true, true}, {}};
    const FolderDeletionResult r =
        deleteFolderTree(tree.path("victim/"), false, script.callbacks());
    EXPECT_EQ(summary(r), "5 files 10 bytes 0 failures, removed");  // own.bin and four links
    EXPECT_EQ(entryCount(tree.path("outside")), 2);
    EXPECT_EQ(entryCount(tree.path("outside/inner")), 1);
    // Every link was a system entry, asked about in name order.
    EXPECT_EQ(script.asked, (QList<Asked>{{tree.path("victim/dangling"), faSysFile},
                                          {tree.path("victim/sub/relative"), faSysFile},
                                          {tree.path("victim/sub/to-file"), faSysFile},
                                          {tree.path("victim/to-folder"), faSysFile}}));
}

TEST_F(DeletionTest, RefusedFolders) {
    tree.file("real/keep.bin", 5);
    const QByteArray link = tree.symlink("link", tree.path("real"));
    for (const QByteArray& folder : {link, tree.path("missing"), tree.path("x/..")}) {
        const FolderDeletionResult r = deleteFolderTree(folder, false, {});
        EXPECT_EQ(r.files, 0) << folder.constData();
        EXPECT_EQ(r.failures.size(), 1) << folder.constData();
    }
    EXPECT_TRUE(exists(tree.path("real/keep.bin")) && exists(link));
    EXPECT_FALSE(removeEmptyFolder(link));
    EXPECT_FALSE(removeEmptyFolder(tree.path("real")));
    EXPECT_TRUE(removeEmptyFolder(tree.mkdir("empty") + "/"));
    EXPECT_FALSE(exists(tree.path("empty")));

    struct stat proc;
    if (::stat("/proc/self", &proc) != 0)
        GTEST_SKIP() << "no /proc";
    const FolderDeletionResult mount = deleteFolderTree("/proc", false, {});
    ASSERT_EQ(summary(mount), "0 files 0 bytes 1 failures");
    EXPECT_EQ(mount.failures[0].error, QStringLiteral("Another file system is mounted here"));
}

struct AttributeCase {
    const char* label;
    const char* entry;  // the special entry, after victim/a-first.bin
    char kind;          // 'f' a file (with `mode` unless 0), 'p' a fifo, 'l' a link to /etc
    mode_t mode;
    QList<quint32> questions;
};

class AttributeTest : public DeletionTest, public ::testing::WithParamInterface<AttributeCase> {};

// Yes to every question removes it all; a No to the last question stops the
// run at once and leaves the rest.
TEST_P(AttributeTest, AskedOncePerAttributeAndNoStopsTheRun) {
    const AttributeCase c = GetParam();
    for (const bool yes : {true, false}) {
        tree.file("victim/a-first.bin", 100);
        tree.file("victim/z-last/after.bin", 300);
        tree.mkdir(QByteArray(c.entry).left(QByteArray(c.entry).lastIndexOf('/')));
        const QByteArray special = c.kind == 'p'   ? tree.fifo(c.entry)
                                   : c.kind == 'l' ? tree.symlink(c.entry, "/etc")
                                                   : tree.file(c.entry, 5);
        if (c.mode)
            tree.chmod(c.entry, c.mode);
        QList<bool> answers(c.questions.size(), true);
        answers.last() = yes;
        QuestionScript script{answers, {}};
        const FolderDeletionResult r =
            deleteFolderTree(tree.path("victim"), false, script.callbacks());
        QList<Asked> expected;
        for (quint32 attribute : c.questions)
            expected.append({special, attribute});
        EXPECT_EQ(script.asked, expected);
        EXPECT_EQ(r.finished, yes);
        EXPECT_EQ(r.files, yes ? 3 : 1);  // a-first.bin went before the question
        EXPECT_TRUE(r.failures.isEmpty());
        EXPECT_EQ(exists(special), !yes);
        EXPECT_EQ(exists(tree.path("victim/z-last/after.bin")), !yes);
    }
}

const AttributeCase kAttributes[] = {
    {"ReadOnly", "victim/m.bin", 'f', 0444, {faReadOnly}},
    {"ReadOnlyAndHidden", "victim/m/.both", 'f', 0400, {faReadOnly, faHidden}},
    {"Fifo", "victim/m-fifo", 'p', 0, {faSysFile}},
    {"HiddenLink", "victim/m/.link", 'l', 0, {faHidden, faSysFile}}};
INSTANTIATE_TEST_SUITE_P(Cases, AttributeTest, ::testing::ValuesIn(kAttributes), byLabel);

TEST_F(DeletionTest, ReadOnlyAndUnreadableSubFoldersAreReportedAndTheRestGoes) {
    tree.file("victim/a.bin", 10);
    tree.file("victim/closed/in.bin", 20);
    tree.file("victim/locked/in.bin", 20);
    tree.file("victim/z.bin", 30);
    tree.chmod("victim/closed", 0);
    tree.chmod("victim/locked", 0555);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced";
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim"), false, {});
    ASSERT_EQ(summary(r), "2 files 40 bytes 2 failures");
    EXPECT_EQ(r.failures[0].path, tree.path("victim/closed"));
    EXPECT_TRUE(r.failures[0].folder);
    EXPECT_EQ(r.failures[1].path, tree.path("victim/locked/in.bin"));
    EXPECT_FALSE(r.failures[1].folder);
}

TEST_F(DeletionTest, RecyclingNeverWalksIntoTheTrashItself) {
    // Recycling the folder that holds the trash: the trash stays whole.
    tree.file("t/earlier.bin", 1);
    ASSERT_EQ(deleteFiles({tree.path("t/earlier.bin")}, DeleteMode::ToTrash).removedCount, 1);
    const QByteArray data = homeTrashFolder().left(homeTrashFolder().lastIndexOf('/'));
    tree.fileWith(data.mid(tree.root().size() + 1) + "/extra.bin", "12345");
    const FolderDeletionResult r = deleteFolderTree(data, true, {});
    EXPECT_EQ(summary(r), "1 files 5 bytes 0 failures");
    EXPECT_EQ(entryCount(homeTrashFolder() + "/files"), 2);
}

// The confirmation window test trashes a list into a trash that cannot be
// used; a folder tree must not count what it could not recycle either.
TEST_F(DeletionTest, RecyclingIntoARefusingTrashCountsNothing) {
    tree.fileWith(homeTrashFolder().mid(tree.root().size() + 1), "blocked");  // no trash folder
    tree.file("t/1.bin", 10);
    tree.file("t/sub/2.bin", 20);
    const FolderDeletionResult r = deleteFolderTree(tree.path("t"), true, {});
    EXPECT_EQ(summary(r), "0 files 0 bytes 2 failures");
    EXPECT_TRUE(exists(tree.path("t/1.bin")) && exists(tree.path("t/sub/2.bin")));
}

// ---- Protections --------------------------------------------------------------

enum class Expect { Allowed, Root, System };

struct ProtectionCase {
    const char* label;
    const char* folder;  // "~" stands for the home folder of the test
    Expect expected;
};

class ProtectionTest : public DeletionTest, public ::testing::WithParamInterface<ProtectionCase> {};

TEST_P(ProtectionTest, Message) {
    const QByteArray home = QFile::encodeName(QDir::homePath());
    tree.mkdir("home/sub/projects");
    tree.symlink("home/sub/home-again", home);
    const QByteArray folder = QByteArray(GetParam().folder).replace("~", home);
    const QString browseRoot = QStringLiteral(
        "Cannot delete the root folder! To delete a folder including all files and sub-folders "
        "double click on the desired folder shown in the left panel.");
    const QString expected[][2] = {
        {QString(), QString()},
        {browseRoot, QStringLiteral("You cannot delete the root folder using Vantrel")},
        {QStringLiteral("You cannot delete the Windows folder using Vantrel"),
         QStringLiteral("You cannot delete the Windows folder using Vantrel")}};
    const int e = int(GetParam().expected);
    EXPECT_EQ(folderProtectionMessage(folder, FolderDeleteCaller::Browse).value_or(QString()),
              expected[e][0]);
    EXPECT_EQ(folderProtectionMessage(folder, FolderDeleteCaller::FolderHogs).value_or(QString()),
              expected[e][1]);
}

const ProtectionCase kFolders[] = {{"Root", "/", Expect::Root},
                                   {"RootByDots", "//usr/..", Expect::Root},
                                   {"MountPoint", "/proc", Expect::Root},
                                   {"UsrOddly", "//usr/./share/..", Expect::System},
                                   {"Lib32Missing", "/libx32", Expect::System},
                                   {"UnderUsr", "/usr/share/doc", Expect::Allowed},
                                   {"Home", "~/sub/../", Expect::System},
                                   {"HomeByLink", "~/sub/home-again", Expect::System},
                                   {"UnderHome", "~/sub/projects", Expect::Allowed},
                                   {"NotThere", "/no/such/folder", Expect::Allowed}};
INSTANTIATE_TEST_SUITE_P(Folders, ProtectionTest, ::testing::ValuesIn(kFolders), byLabel);

// A folder that holds a protected one is refused as that one is: the folder
// above the home folder, above a system folder, above a mount point or a
// drive of the list. What is protected is given as data here; the names are
// those of a fixture tree, so links and ".." resolve as on a real system.
struct HoldsCase {
    const char* label;
    const char* folder;  // relative to the tree; "" is the tree itself
    Expect expected;
};

void PrintTo(const HoldsCase& c, std::ostream* os) {
    *os << c.label;
}

class HoldsProtectedTest : public DeletionTest, public ::testing::WithParamInterface<HoldsCase> {};

TEST_P(HoldsProtectedTest, Message) {
    for (const char* f : {"users/ann/docs", "sysroot/usr/lib", "mnt/disk/photos", "data/added/sub",
                          "other/deeper", "links"})
        tree.mkdir(f);
    tree.symlink("links/users", tree.path("users"));
    tree.symlink("links/mnt", "../mnt");
    ProtectedFolders guarded;
    guarded.systemFolders = {tree.path("sysroot/usr")};
    guarded.home = tree.path("users/ann");
    guarded.mountPoints = {"/", tree.path("mnt/disk")};
    guarded.driveRoots = {tree.path("data/added"), guarded.home};
    const QByteArray folder = tree.path(GetParam().folder);
    const auto browse = folderProtectionMessage(folder, FolderDeleteCaller::Browse, guarded);
    const auto hogs = folderProtectionMessage(folder, FolderDeleteCaller::FolderHogs, guarded);
    switch (GetParam().expected) {
        case Expect::Allowed:
            EXPECT_EQ(browse, std::nullopt);
            EXPECT_EQ(hogs, std::nullopt);
            break;
        case Expect::Root:
            EXPECT_EQ(browse, rootFolderMessage(FolderDeleteCaller::Browse));
            EXPECT_EQ(hogs, rootFolderMessage(FolderDeleteCaller::FolderHogs));
            break;
        case Expect::System:
            EXPECT_EQ(browse, systemFolderMessage());
            EXPECT_EQ(hogs, systemFolderMessage());
            break;
    }
}

const HoldsCase kHolds[] = {
    {"AboveHome", "users", Expect::System},
    {"AboveHomeByLink", "links/users", Expect::System},
    {"AboveHomeByDots", "users/ann/docs/../..", Expect::System},
    {"Home", "users/ann", Expect::System},
    {"UnderHome", "users/ann/docs", Expect::Allowed},
    {"AboveSystemFolder", "sysroot", Expect::System},
    {"UnderSystemFolder", "sysroot/usr/lib", Expect::Allowed},
    {"AboveMountPoint", "mnt", Expect::Root},
    {"AboveMountPointByLink", "links/mnt", Expect::Root},
    {"MountPointFromTheTable", "mnt/disk", Expect::Root},
    {"InsideMount", "mnt/disk/photos", Expect::Allowed},
    {"AboveAddedFolder", "data", Expect::Root},
    {"AddedFolder", "data/added", Expect::Root},
    {"InsideAddedFolder", "data/added/sub", Expect::Allowed},
    {"Unrelated", "other", Expect::Allowed},
    {"HoldsAll", "", Expect::System}};
INSTANTIATE_TEST_SUITE_P(Folders, HoldsProtectedTest, ::testing::ValuesIn(kHolds), byLabel);

// The protections as the program reads them: the home folder (HOME), the
// drive list (a drive given by the list, a folder added in the settings
// file), and the mount table of the process.
TEST_F(DeletionTest, WhatTheSystemProtectsIsReadFromIt) {
    const auto message = [](const QByteArray& folder) {
        return folderProtectionMessage(folder, FolderDeleteCaller::FolderHogs).value_or("allowed");
    };
    const QString root = rootFolderMessage(FolderDeleteCaller::FolderHogs);
    tree.mkdir("home/projects");
    tree.mkdir("listed/drive");
    tree.mkdir("kept/added");
    tree.mkdir("m/point");
    EXPECT_EQ(message(tree.root()), systemFolderMessage());  // holds HOME
    EXPECT_EQ(message(tree.path("home/projects")), "allowed");
    setDriveListOverride(QList<DriveEntry>{{tree.path("listed/drive"), "ext4"}});
    const auto restore = qScopeGuard([] { setDriveListOverride(std::nullopt); });
    IniFile settings = vantrelIni();
    ASSERT_TRUE(writePatternList(settings, "Folders", {QFile::decodeName(tree.path("kept/added"))}));
    EXPECT_EQ(message(tree.path("listed")), root);
    EXPECT_EQ(message(tree.path("kept")), root);
    EXPECT_EQ(message(tree.path("kept/added")), root);
    EXPECT_EQ(message(tree.path("m")), "allowed");

    const int result = test::inMountNamespace("root", [&]() -> QByteArray {
        if (::mount("vantrel-test", tree.path("m/point").constData(), "tmpfs", 0, "size=1m") != 0)
            return "SKIP";
        return message(tree.path("m")) == root ? "root" : message(tree.path("m")).toUtf8();
    });
    if (result == 2)
        GTEST_SKIP() << "no private mount namespace or tmpfs here";
    EXPECT_EQ(result, 0);
}

// ---- What a tree holds ----------------------------------------------------

// The count a confirmation shows is what the deletion would go through: the
// entries that are not folders (a link as itself, its target untouched and
// uncounted), the bytes of regular files, and every folder below.
TEST_F(DeletionTest, TreeContentsAreCountedAsTheDeletionGoes) {
    tree.file("victim/a.bin", 1000);
    tree.file("victim/.hidden/b.bin", 2000);
    tree.file("victim/deep/er/c.bin", 30);
    tree.fifo("victim/deep/pipe");
    tree.file("outside/big.bin", 99999);
    tree.symlink("victim/to-outside", tree.path("outside"));
    ASSERT_EQ(::link(tree.path("victim/a.bin").constData(),
                     tree.path("victim/deep/a-again.bin").constData()),
              0);
    const FolderTreeContents c = measureFolderTree(tree.path("victim") + "/");
    EXPECT_TRUE(c.opened);
    EXPECT_EQ(c.files, 6);
    EXPECT_EQ(c.bytes, 4030);  // each name of the hard-linked file, as the deletion counts
    EXPECT_EQ(c.folders, 3);
    EXPECT_EQ(c.unreadable, 0);
    EXPECT_EQ(folderContentsText(c), "It holds 6 files and 3 sub-folders, 4,030 bytes in all.");

    QuestionScript yes{QList<bool>(8, true), {}};
    const FolderDeletionResult gone = deleteFolderTree(tree.path("victim"), false, yes.callbacks());
    EXPECT_TRUE(gone.folderRemoved);
    EXPECT_EQ(gone.files, c.files);
    EXPECT_EQ(gone.bytes, c.bytes);
}

TEST_F(DeletionTest, TreeContentsOfWhatCannotBeCounted) {
    tree.file("victim/a.bin", 10);
    tree.file("victim/locked/b.bin", 20);
    tree.symlink("link", tree.path("victim"));

    const FolderTreeContents link = measureFolderTree(tree.path("link"));
    EXPECT_FALSE(link.opened);
    EXPECT_EQ(folderContentsText(link), "It is a symbolic link, not a folder.");
    const FolderTreeContents none = measureFolderTree(tree.path("nothing"));
    EXPECT_EQ(folderContentsText(none), "What it holds cannot be read: No such file or directory");

    std::atomic<bool> cancel{true};
    const FolderTreeContents stopped = measureFolderTree(tree.path("victim"), &cancel);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.files, 0);

    tree.chmod("victim/locked", 0);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced";
    const FolderTreeContents partly = measureFolderTree(tree.path("victim"));
    EXPECT_EQ(partly.unreadable, 1);
    EXPECT_EQ(folderContentsText(partly),
              "It holds at least 1 files and 1 sub-folders, 10 bytes in all. 1 folder in it "
              "cannot be read.");
}

TEST_F(DeletionTest, TreeContentsLeaveAMountAlone) {
    tree.file("victim/a.bin", 10);
    tree.mkdir("victim/mnt");
    const int result = test::inMountNamespace("1 10 1", [&]() -> QByteArray {
        if (::mount("vantrel-test", tree.path("victim/mnt").constData(), "tmpfs", 0, "size=1m") !=
            0)
            return "SKIP";
        QFile inside(QFile::decodeName(tree.path("victim/mnt/inside.bin")));
        if (!inside.open(QIODevice::WriteOnly) || inside.write("xyz") != 3)
            return "no file on the mount";
        inside.close();
        const FolderTreeContents c = measureFolderTree(tree.path("victim"));
        return QByteArray::number(c.files) + " " + QByteArray::number(c.bytes) + " " +
               QByteArray::number(c.folders + 1);
    });
    if (result == 2)
        GTEST_SKIP() << "no private mount namespace or tmpfs here";
    EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace vantrel
