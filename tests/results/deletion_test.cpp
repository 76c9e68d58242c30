// Deleting marked files and folder trees, for good and into the trash, on
// real temporary trees; and the folder protections.

#include "results/Deletion.h"
#include "platform/FileRecord.h"
#include "platform/Trash.h"
#include "results/FolderProtection.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {
namespace {

bool exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// Entries of a folder counted by their bytes (QDir skips names that are not UTF-8).
int entryCount(const QByteArray& folder) {
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return -1;
    int n = 0;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..")
            ++n;
    }
    ::closedir(dir);
    return n;
}

// Each test has its own home (so its own trash and settings) in its tree.
class DeletionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tree.isValid());
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", tree.mkdir("home"));
        ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
        ASSERT_TRUE(homeTrashFolder().startsWith(tree.path("home/")));
    }
    void TearDown() override { qputenv("HOME", m_oldHome); }

    int trashedCount() const {
        const QByteArray files = homeTrashFolder() + "/files";
        return exists(files) ? entryCount(files) : 0;
    }

    test::TempTree tree;

private:
    QByteArray m_oldHome;
};

// ---- Marked files ---------------------------------------------------------

TEST_F(DeletionTest, DeletesListForGoodAndCountsRealBytes) {
    const QList<QByteArray> paths = {tree.file("a/one.bin", 1000), tree.file("a/two.bin", 2000),
                                     tree.file("b/three.bin", 3500)};
    QList<qsizetype> started;
    QList<QByteArray> finished;
    const DeleteRun run = deleteFiles(paths, DeleteMode::ForGood,
                                      {[&](qsizetype i) { started.append(i); },
                                       [&](const DeleteOutcome& o) { finished.append(o.path); }});
    EXPECT_EQ(run.removedCount, 3);
    EXPECT_EQ(run.removedBytes, 6500);
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(run.removedPaths(), paths);
    EXPECT_TRUE(run.failures().isEmpty());
    EXPECT_EQ(started, (QList<qsizetype>{0, 1, 2}));
    EXPECT_EQ(finished, paths);
    for (const QByteArray& p : paths)
        EXPECT_FALSE(exists(p));
}

// One bad path in the middle of a list: it is reported and not counted, and
// the files around it still go.
struct BadFileCase {
    const char* label;
    bool needsPermissionChecks;
    std::function<QByteArray(test::TempTree&)> make;  // returns the bad path
    bool staysOnDisk;
};

class BadFileTest : public DeletionTest, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(BadFileTest, IsReportedNotCountedAndTheRestGoesOn) {
    const BadFileCase c = GetParam();
    const QByteArray before = tree.file("list/0-before.bin", 100);
    const QByteArray bad = c.make(tree);
    const QByteArray after = tree.file("list/9-after.bin", 300);
    std::unique_ptr<test::PermissionChecks> checks;
    if (c.needsPermissionChecks) {
        checks = std::make_unique<test::PermissionChecks>();
        if (!checks->enforced())
            GTEST_SKIP() << "permission checks cannot be enforced";
    }
    const DeleteRun run = deleteFiles({before, bad, after}, DeleteMode::ForGood);
    checks.reset();
    ASSERT_EQ(run.outcomes.size(), 3);
    EXPECT_TRUE(run.outcomes[0].removed);
    EXPECT_FALSE(run.outcomes[1].removed);
    EXPECT_FALSE(run.outcomes[1].error.isEmpty());
    EXPECT_EQ(run.outcomes[1].bytes, 0);
    EXPECT_TRUE(run.outcomes[2].removed);
    EXPECT_EQ(run.removedCount, 2);
    EXPECT_EQ(run.removedBytes, 400);
    EXPECT_EQ(run.removedPaths(), (QList<QByteArray>{before, after}));
    EXPECT_EQ(exists(bad), c.staysOnDisk);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadFileTest,
    ::testing::Values(
        BadFileCase{"ReadOnlyFile", false,
                    [](test::TempTree& tt) {
                        const QByteArray p = tt.file("list/5-readonly.bin", 200);
                        tt.chmod("list/5-readonly.bin", 0444);
                        return p;
                    },
                    true},
        BadFileCase{"InReadOnlyFolder", true,
                    [](test::TempTree& tt) {
                        const QByteArray p = tt.file("locked/5-inside.bin", 200);
                        tt.chmod("locked", 0555);
                        return p;
                    },
                    true},
        BadFileCase{"AlreadyGone", false,
                    [](test::TempTree& tt) { return tt.path("list/5-gone.bin"); }, false},
        BadFileCase{"FolderGone", false,
                    [](test::TempTree& tt) { return tt.path("nowhere/5-gone.bin"); }, false},
        BadFileCase{"IsAFolder", false,
                    [](test::TempTree& tt) {
                        tt.file("list/5-folder/inner.bin", 10);
                        return tt.path("list/5-folder");
                    },
                    true},
        BadFileCase{"Empty", false, [](test::TempTree&) { return QByteArray(); }, false}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(DeletionTest, LinkIsRemovedItselfNotItsTarget) {
    const QByteArray target = tree.file("outside/big.bin", 5000);
    tree.mkdir("list");
    const QByteArray link = tree.symlink("list/link.bin", target);
    const DeleteRun run = deleteFiles({link}, DeleteMode::ForGood);
    EXPECT_EQ(run.removedCount, 1);
    EXPECT_EQ(run.removedBytes, 0);
    EXPECT_FALSE(exists(link));
    EXPECT_TRUE(exists(target));
}

TEST_F(DeletionTest, NameThatIsNotUtf8IsDeletedByItsBytes) {
    const QByteArray odd = tree.file("list/caf\xE9-\xFF.txt", 42);
    const QByteArray similar = tree.file("list/caf\xC3\xA9-\xEF\xBF\xBD.txt", 7);
    ASSERT_TRUE(exists(odd));
    const DeleteRun run = deleteFiles({odd}, DeleteMode::ForGood);
    EXPECT_EQ(run.removedBytes, 42);
    EXPECT_FALSE(exists(odd));
    EXPECT_TRUE(exists(similar));  // its display text looks alike; its bytes differ
}

TEST_F(DeletionTest, TrashTakesTheListIntoTheTestTrash) {
    const QList<QByteArray> paths = {tree.file("t/a.bin", 10), tree.file("t/b.bin", 20),
                                     tree.file("t/c\xE9.bin", 30)};
    const DeleteRun run = deleteFiles(paths, DeleteMode::ToTrash);
    EXPECT_EQ(run.removedCount, 3);
    EXPECT_EQ(run.removedBytes, 60);
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(trashedCount(), 3);
    EXPECT_TRUE(exists(homeTrashFolder() + "/files/c\xE9.bin"));
    for (const QByteArray& p : paths)
        EXPECT_FALSE(exists(p));
}

TEST_F(DeletionTest, TrashStopsAtTheFirstRefusal) {
    const QByteArray first = tree.file("t/1.bin", 10);
    const QByteArray gone = tree.path("t/2-gone.bin");
    const QByteArray third = tree.file("t/3.bin", 30);
    const DeleteRun run = deleteFiles({first, gone, third}, DeleteMode::ToTrash);
    ASSERT_EQ(run.outcomes.size(), 2);  // the third is not tried
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.removedCount, 1);
    EXPECT_EQ(run.removedBytes, 10);
    EXPECT_EQ(run.removedPaths(), QList<QByteArray>{first});
    EXPECT_TRUE(exists(third));
    EXPECT_EQ(trashedCount(), 1);
}

TEST_F(DeletionTest, RefusingTrashMovesAndCountsNothing) {
    // A plain file where the trash folder should be.
    QDir().mkpath(QFile::decodeName(homeTrashFolder().left(homeTrashFolder().lastIndexOf('/'))));
    tree.fileWith(homeTrashFolder().mid(tree.root().size() + 1), "blocked");
    const QList<QByteArray> paths = {tree.file("t/1.bin", 10), tree.file("t/2.bin", 20)};
    const DeleteRun run = deleteFiles(paths, DeleteMode::ToTrash);
    ASSERT_EQ(run.outcomes.size(), 1);
    EXPECT_FALSE(run.outcomes[0].error.isEmpty());
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.removedCount, 0);
    EXPECT_EQ(run.removedBytes, 0);
    for (const QByteArray& p : paths)
        EXPECT_TRUE(exists(p));
}

TEST_F(DeletionTest, TrashOfTheLastPathFailingIsNotAStop) {
    const DeleteRun run = deleteFiles({tree.path("gone")}, DeleteMode::ToTrash);
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(run.removedCount, 0);
}

TEST(DeletionOrder, SortsWithoutRegardToCase) {
    const QList<QByteArray> sorted = sortedForDeletion(
        {"/d/b.txt", "/D/a.txt", "/d/A.txt", "/c/Z", "/d/a.txt", "/C/y", "/d/\xC3\xA4.txt"});
    EXPECT_EQ(sorted, (QList<QByteArray>{"/C/y", "/c/Z", "/D/a.txt", "/d/A.txt", "/d/a.txt",
                                         "/d/b.txt", "/d/\xC3\xA4.txt"}));
}

// ---- Folder trees -----------------------------------------------------------

struct Asked {
    QByteArray path;
    quint32 attribute;
    bool operator==(const Asked&) const = default;
};

// Answers from a script (true = Yes); records every question.
struct QuestionScript {
    QList<bool> answers;
    QList<Asked> asked;
    FolderDeletionCallbacks callbacks() {
        FolderDeletionCallbacks cb;
        cb.confirmAttribute = [this](const QByteArray& path, quint32 attribute) {
            asked.append({path, attribute});
            return answers.isEmpty() ? false : answers.takeFirst();
        };
        return cb;
    }
};

TEST_F(DeletionTest, TreeIsRemovedDepthFirstAndCounted) {
    tree.file("victim/a.bin", 100);
    tree.file("victim/sub/b.bin", 200);
    tree.file("victim/sub/deeper/c.bin", 300);
    tree.mkdir("victim/empty");
    tree.file("victim/zero.bin", 0);
    int ticks = 0;
    FolderDeletionCallbacks cb;
    cb.progress = [&] { ++ticks; };
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim/"), false, cb);
    EXPECT_TRUE(r.finished);
    EXPECT_TRUE(r.folderRemoved);
    EXPECT_EQ(r.files, 4);
    EXPECT_EQ(r.bytes, 600);
    EXPECT_TRUE(r.failures.isEmpty());
    EXPECT_FALSE(exists(tree.path("victim")));
    EXPECT_GE(ticks, 4);
}

TEST_F(DeletionTest, LinksToOutsideAreRemovedAsEntriesAndOutsideIsUntouched) {
    tree.file("outside/keep1.bin", 111);
    tree.file("outside/inner/keep2.bin", 222);
    tree.file("victim/own.bin", 10);
    tree.mkdir("victim/sub");
    tree.symlink("victim/to-folder", tree.path("outside"));
    tree.symlink("victim/sub/to-file", tree.path("outside/keep1.bin"));
    tree.symlink("victim/sub/relative", "../../outside/inner");
    tree.symlink("victim/dangling", tree.path("nothing"));
    QuestionScript script{{true, true, true, true}, {}};
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim"), false, script.callbacks());
    EXPECT_TRUE(r.finished);
    EXPECT_TRUE(r.folderRemoved);
    EXPECT_EQ(r.files, 5);  // own.bin and the four links
    EXPECT_EQ(r.bytes, 10);
    EXPECT_TRUE(exists(tree.path("outside/keep1.bin")));
    EXPECT_TRUE(exists(tree.path("outside/inner/keep2.bin")));
    EXPECT_EQ(entryCount(tree.path("outside")), 2);
    // Every link was a system entry, asked about in name order.
    EXPECT_EQ(script.asked, (QList<Asked>{{tree.path("victim/dangling"), faSysFile},
                                          {tree.path("victim/sub/relative"), faSysFile},
                                          {tree.path("victim/sub/to-file"), faSysFile},
                                          {tree.path("victim/to-folder"), faSysFile}}));
}

TEST_F(DeletionTest, FolderThatIsALinkIsRefused) {
    tree.file("real/keep.bin", 5);
    const QByteArray link = tree.symlink("link", tree.path("real"));
    QuestionScript script{{true, true}, {}};
    const FolderDeletionResult r = deleteFolderTree(link, false, script.callbacks());
    EXPECT_EQ(r.files, 0);
    EXPECT_FALSE(r.folderRemoved);
    ASSERT_EQ(r.failures.size(), 1);
    EXPECT_TRUE(r.failures[0].folder);
    EXPECT_TRUE(exists(tree.path("real/keep.bin")));
    EXPECT_TRUE(exists(link));
    EXPECT_FALSE(removeEmptyFolder(link));
    EXPECT_TRUE(exists(link));
}

struct AttributeCase {
    const char* label;
    std::function<QByteArray(test::TempTree&)> make;  // the special entry
    QList<quint32> questions;
};

class AttributeTest : public DeletionTest, public ::testing::WithParamInterface<AttributeCase> {
protected:
    // victim/a-first.bin, the special entry in victim/m..., victim/z-last.bin
    QByteArray build() {
        tree.file("victim/a-first.bin", 100);
        tree.file("victim/z-last/after.bin", 300);
        return GetParam().make(tree);
    }
};

TEST_P(AttributeTest, YesToEveryQuestionRemovesIt) {
    const QByteArray special = build();
    QuestionScript script{QList<bool>(GetParam().questions.size(), true), {}};
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim"), false, script.callbacks());
    EXPECT_TRUE(r.finished);
    EXPECT_TRUE(r.folderRemoved);
    EXPECT_EQ(r.files, 3);
    ASSERT_EQ(script.asked.size(), GetParam().questions.size());
    for (qsizetype i = 0; i < script.asked.size(); ++i) {
        EXPECT_EQ(script.asked[i].path, special);
        EXPECT_EQ(script.asked[i].attribute, GetParam().questions[i]);
    }
}

TEST_P(AttributeTest, NoStopsTheRunAndLeavesTheRest) {
    const QByteArray special = build();
    // Yes to all but the last question.
    QList<bool> answers(GetParam().questions.size(), true);
    answers.last() = false;
    QuestionScript script{answers, {}};
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim"), false, script.callbacks());
    EXPECT_FALSE(r.finished);
    EXPECT_FALSE(r.folderRemoved);
    EXPECT_EQ(r.files, 1);  // a-first.bin went before the question
    EXPECT_EQ(r.bytes, 100);
    EXPECT_TRUE(r.failures.isEmpty());
    EXPECT_EQ(script.asked.size(), GetParam().questions.size());
    EXPECT_FALSE(exists(tree.path("victim/a-first.bin")));
    EXPECT_TRUE(exists(special));
    EXPECT_TRUE(exists(tree.path("victim/z-last/after.bin")));
}

TEST_P(AttributeTest, NoQuestionFunctionMeansNo) {
    const QByteArray special = build();
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim"), false, {});
    EXPECT_FALSE(r.finished);
    EXPECT_TRUE(exists(special));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AttributeTest,
    ::testing::Values(
        AttributeCase{"ReadOnly",
                      [](test::TempTree& tt) {
                          const QByteArray p = tt.file("victim/m-readonly.bin", 5);
                          tt.chmod("victim/m-readonly.bin", 0444);
                          return p;
                      },
                      {faReadOnly}},
        AttributeCase{"Hidden",
                      [](test::TempTree& tt) { return tt.file("victim/m/.hidden", 5); },
                      {faHidden}},
        AttributeCase{"ReadOnlyAndHidden",
                      [](test::TempTree& tt) {
                          const QByteArray p = tt.file("victim/m/.both", 5);
                          tt.chmod("victim/m/.both", 0400);
                          return p;
                      },
                      {faReadOnly, faHidden}},
        AttributeCase{
            "Fifo", [](test::TempTree& tt) { return tt.fifo("victim/m-fifo"); }, {faSysFile}},
        AttributeCase{"HiddenLink",
                      [](test::TempTree& tt) {
                          tt.mkdir("victim/m");
                          return tt.symlink("victim/m/.link", "/etc");
                      },
                      {faHidden, faSysFile}}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(DeletionTest, QuestionTexts) {
    EXPECT_EQ(attributeQuestionText("/d/x.txt", faReadOnly),
              QStringLiteral("/d/x.txt is read-only, delete this file and continue deleting "
                             "other files? "));
    EXPECT_EQ(attributeQuestionText("/d/.x", faHidden),
              QStringLiteral("/d/.x is hidden, delete this file and continue deleting other "
                             "files? "));
    EXPECT_EQ(attributeQuestionText("/d/\xFFx", faSysFile),
              QStringLiteral("/d/\uFFFDx is a system file, delete this file and continue "
                             "deleting other files? "));
}

TEST_F(DeletionTest, CancelledRunLeavesFoldersThatStillHoldSomething) {
    tree.file("victim/a/1.bin", 1);
    tree.file("victim/b/c/2.bin", 2);
    tree.file("victim/b/c/3-locked.bin", 3);
    tree.chmod("victim/b/c/3-locked.bin", 0444);
    tree.file("victim/b/d/4.bin", 4);
    tree.file("victim/e.bin", 5);
    QuestionScript script{{false}, {}};
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim"), false, script.callbacks());
    EXPECT_FALSE(r.finished);
    EXPECT_EQ(r.files, 2);
    EXPECT_EQ(r.bytes, 3);
    EXPECT_FALSE(exists(tree.path("victim/a")));  // emptied and removed before the question
    EXPECT_TRUE(exists(tree.path("victim/b/c/3-locked.bin")));
    EXPECT_TRUE(exists(tree.path("victim/b/d/4.bin")));
    EXPECT_TRUE(exists(tree.path("victim/e.bin")));
}

TEST_F(DeletionTest, NamesThatAreNotUtf8AreDeleted) {
    tree.file("victim-\xE9/\xFF\xFE.bin", 64);
    tree.file("victim-\xE9/sub-\x80/x.bin", 36);
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim-\xE9"), false, {});
    EXPECT_TRUE(r.finished);
    EXPECT_TRUE(r.folderRemoved);
    EXPECT_EQ(r.files, 2);
    EXPECT_EQ(r.bytes, 100);
}

TEST_F(DeletionTest, ReadOnlySubFolderIsReportedAndTheRestGoesOn) {
    tree.file("victim/a.bin", 10);
    tree.file("victim/locked/in.bin", 20);
    tree.file("victim/z.bin", 30);
    tree.chmod("victim/locked", 0555);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced";
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim"), false, {});
    EXPECT_TRUE(r.finished);
    EXPECT_FALSE(r.folderRemoved);
    EXPECT_EQ(r.files, 2);
    EXPECT_EQ(r.bytes, 40);
    ASSERT_EQ(r.failures.size(), 1);
    EXPECT_EQ(r.failures[0].path, tree.path("victim/locked/in.bin"));
    EXPECT_FALSE(r.failures[0].folder);
    EXPECT_TRUE(exists(tree.path("victim/locked/in.bin")));
}

TEST_F(DeletionTest, UnreadableSubFolderIsReported) {
    tree.file("victim/closed/in.bin", 20);
    tree.file("victim/open.bin", 30);
    tree.chmod("victim/closed", 0);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced";
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim"), false, {});
    EXPECT_EQ(r.files, 1);
    ASSERT_EQ(r.failures.size(), 1);
    EXPECT_TRUE(r.failures[0].folder);
    EXPECT_EQ(r.failures[0].path, tree.path("victim/closed"));
}

TEST_F(DeletionTest, RecycledTreeGoesFileByFileToTheTestTrash) {
    tree.file("victim/a.bin", 10);
    tree.file("victim/sub/a.bin", 20);
    tree.file("victim/sub/b.bin", 30);
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim"), true, {});
    EXPECT_TRUE(r.finished);
    EXPECT_TRUE(r.folderRemoved);
    EXPECT_EQ(r.files, 3);
    EXPECT_EQ(r.bytes, 60);
    EXPECT_EQ(trashedCount(), 3);
    EXPECT_TRUE(exists(homeTrashFolder() + "/files/a 2.bin"));
}

TEST_F(DeletionTest, RecyclingWithARefusingTrashCountsNothing) {
    QDir().mkpath(QFile::decodeName(homeTrashFolder().left(homeTrashFolder().lastIndexOf('/'))));
    tree.fileWith(homeTrashFolder().mid(tree.root().size() + 1), "blocked");
    tree.file("victim/a.bin", 10);
    tree.file("victim/sub/b.bin", 20);
    const FolderDeletionResult r = deleteFolderTree(tree.path("victim"), true, {});
    EXPECT_TRUE(r.finished);
    EXPECT_FALSE(r.folderRemoved);
    EXPECT_EQ(r.files, 0);
    EXPECT_EQ(r.bytes, 0);
    EXPECT_EQ(r.failures.size(), 2);
    EXPECT_TRUE(exists(tree.path("victim/sub/b.bin")));
}

TEST_F(DeletionTest, RecyclingNeverWalksIntoTheTrashItself) {
    // Recycling the folder that holds the trash: the trash stays whole.
    ASSERT_TRUE(moveToTrash(tree.file("earlier.bin", 1)));
    const QByteArray data = homeTrashFolder().left(homeTrashFolder().lastIndexOf('/'));
    QFile extra(QFile::decodeName(data + "/extra.bin"));
    ASSERT_TRUE(extra.open(QIODevice::WriteOnly));
    extra.write("12345");
    extra.close();
    const FolderDeletionResult r = deleteFolderTree(data, true, {});
    EXPECT_EQ(r.files, 1);
    EXPECT_EQ(r.bytes, 5);
    EXPECT_TRUE(exists(homeTrashFolder() + "/files/earlier.bin"));
    EXPECT_TRUE(exists(homeTrashFolder() + "/files/extra.bin"));
}

TEST_F(DeletionTest, EmptyFolderIsRemovedAtOnce) {
    const QByteArray empty = tree.mkdir("empty");
    tree.file("full/x", 1);
    EXPECT_TRUE(removeEmptyFolder(empty + "/"));
    EXPECT_FALSE(exists(empty));
    EXPECT_FALSE(removeEmptyFolder(tree.path("full")));
    EXPECT_TRUE(exists(tree.path("full/x")));
}

TEST_F(DeletionTest, MountPointIsRefused) {
    struct stat proc;
    if (::stat("/proc/self", &proc) != 0)
        GTEST_SKIP() << "no /proc";
    const FolderDeletionResult r = deleteFolderTree("/proc", false, {});
    EXPECT_EQ(r.files, 0);
    ASSERT_EQ(r.failures.size(), 1);
    EXPECT_EQ(r.failures[0].error, QStringLiteral("Another file system is mounted here"));
    EXPECT_TRUE(r.finished);
}

TEST_F(DeletionTest, FolderThatIsNotThereIsAFailure) {
    const FolderDeletionResult r = deleteFolderTree(tree.path("missing"), false, {});
    EXPECT_EQ(r.files, 0);
    EXPECT_EQ(r.failures.size(), 1);
    const FolderDeletionResult dots = deleteFolderTree(tree.path("x/.."), false, {});
    EXPECT_EQ(dots.failures.size(), 1);
    EXPECT_TRUE(exists(tree.root()));
}

// ---- Protections --------------------------------------------------------------

enum class Expect { Allowed, Root, System };

struct ProtectionCase {
    const char* label;
    std::function<QByteArray()> folder;
    Expect expected;
};

// The home folder of these tests is a fresh folder in a temporary tree.
class ProtectionTest : public ::testing::TestWithParam<ProtectionCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tree.isValid());
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", m_tree.mkdir("home"));
    }
    void TearDown() override { qputenv("HOME", m_oldHome); }

private:
    test::TempTree m_tree;
    QByteArray m_oldHome;
};

TEST_P(ProtectionTest, Message) {
    const ProtectionCase c = GetParam();
    const QByteArray folder = c.folder();
    if (folder.isEmpty())
        GTEST_SKIP() << "not available on this machine";
    for (const FolderDeleteCaller caller :
         {FolderDeleteCaller::Browse, FolderDeleteCaller::FolderHogs}) {
        const auto message = folderProtectionMessage(folder, caller);
        switch (c.expected) {
            case Expect::Allowed:
                EXPECT_FALSE(message.has_value()) << folder.constData();
                break;
            case Expect::Root:
                EXPECT_EQ(message.value_or(QString()), rootFolderMessage(caller))
                    << folder.constData();
                break;
            case Expect::System:
                EXPECT_EQ(message.value_or(QString()), systemFolderMessage()) << folder.constData();
                break;
        }
    }
}

QByteArray home() {
    return QFile::encodeName(QDir::homePath());
}

// A folder in the test home, made on demand.
QByteArray madeInHome(const QByteArray& relative) {
    QDir().mkpath(QFile::decodeName(home() + "/" + relative));
    return home() + "/" + relative;
}

QByteArray ifLink(const QByteArray& link, const QByteArray& result) {
    struct stat st;
    return ::lstat(link.constData(), &st) == 0 && S_ISLNK(st.st_mode) ? result : QByteArray();
}

QByteArray ifMountPoint(const QByteArray& path) {
    struct stat self, parent;
    if (::stat(path.constData(), &self) != 0 || ::stat((path + "/..").constData(), &parent) != 0)
        return QByteArray();
    return self.st_dev != parent.st_dev ? path : QByteArray();
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ProtectionTest,
    ::testing::Values(
        ProtectionCase{"Root", [] { return QByteArray("/"); }, Expect::Root},
        ProtectionCase{"RootDoubled", [] { return QByteArray("//"); }, Expect::Root},
        ProtectionCase{"RootByDots", [] { return QByteArray("/usr/.."); }, Expect::Root},
        ProtectionCase{"Proc", [] { return QByteArray("/proc"); }, Expect::Root},
        ProtectionCase{"DevShm", [] { return ifMountPoint("/dev/shm"); }, Expect::Root},
        ProtectionCase{"Usr", [] { return QByteArray("/usr"); }, Expect::System},
        ProtectionCase{"UsrSlash", [] { return QByteArray("/usr/"); }, Expect::System},
        ProtectionCase{"UsrOddly", [] { return QByteArray("//usr/./share/.."); }, Expect::System},
        ProtectionCase{"Etc", [] { return QByteArray("/etc"); }, Expect::System},
        ProtectionCase{"Var", [] { return QByteArray("/var"); }, Expect::System},
        ProtectionCase{"Lib32Missing", [] { return QByteArray("/libx32"); }, Expect::System},
        ProtectionCase{"BinLink", [] { return ifLink("/bin", "/bin"); }, Expect::System},
        ProtectionCase{"TargetOfBinLink", [] { return ifLink("/bin", "/usr/bin"); },
                       Expect::System},
        ProtectionCase{"VarTmp",
                       [] {
                           return ifMountPoint("/var/tmp").isEmpty() ? QByteArray("/var/tmp")
                                                                     : QByteArray();
                       },
                       Expect::Allowed},
        ProtectionCase{"UsrShareDoc", [] { return QByteArray("/usr/share/doc"); }, Expect::Allowed},
        ProtectionCase{"Home", [] { return home(); }, Expect::System},
        ProtectionCase{"HomeSlash", [] { return home() + "/"; }, Expect::System},
        ProtectionCase{"HomeBySubAndDots", [] { return madeInHome("sub") + "/.."; },
                       Expect::System},
        ProtectionCase{"HomeSub", [] { return madeInHome("projects/old"); }, Expect::Allowed},
        ProtectionCase{"LinkToHome",
                       [] {
                           const QByteArray link = madeInHome("links") + "/home-again";
                           const int made = ::symlink(home().constData(), link.constData());
                           Q_UNUSED(made);
                           return link;
                       },
                       Expect::System},
        ProtectionCase{"NotThere", [] { return QByteArray("/no/such/folder"); }, Expect::Allowed}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(LexicalPath, Normalises) {
    EXPECT_EQ(lexicallyNormalPath("/"), "/");
    EXPECT_EQ(lexicallyNormalPath("//a///b/"), "/a/b");
    EXPECT_EQ(lexicallyNormalPath("/a/./b/../c"), "/a/c");
    EXPECT_EQ(lexicallyNormalPath("/../.."), "/");
    EXPECT_EQ(lexicallyNormalPath("/a/\xFF/.."), "/a");
    char cwd[4096];
    ASSERT_TRUE(::getcwd(cwd, sizeof cwd));
    EXPECT_EQ(lexicallyNormalPath("rel"), lexicallyNormalPath(QByteArray(cwd) + "/rel"));
}

}  // namespace
}  // namespace vantrel
