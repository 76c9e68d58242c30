// The browser's folder tree: read lazily by exact byte path, on the calling
// thread or on a worker (every case runs both ways), links shown and never
// entered, hidden folders behind a switch, refreshes that keep what is known,
// and reveal() down to a folder. A model tester watches every change.

#include "browse/FolderTreeModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest/QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace vantrel {
namespace {

using namespace Qt::StringLiterals;

// Reading on the calling thread (foreground budget) or wholly on a worker (0).
class FolderTree : public ::testing::TestWithParam<qsizetype> {
protected:
    void SetUp() override {
        m_model.setForegroundEntries(GetParam());
        m_tester = std::make_unique<QAbstractItemModelTester>(
            &m_model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    // Reads a folder's sub-folders and waits until they are in.
    void read(const QModelIndex& index) {
        ASSERT_TRUE(index.isValid());
        m_model.refresh(index);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !m_model.isBusy(); }, 20000));
    }

    QStringList names(const QModelIndex& parent) const {
        QStringList out;
        for (int r = 0; r < m_model.rowCount(parent); ++r)
            out.append(m_model.index(r, 0, parent).data().toString());
        return out;
    }

    QModelIndex child(const QModelIndex& parent, const QByteArray& name) const {
        return m_model.indexOf(m_model.pathOf(parent) + '/' + name);
    }

    // Reveals `path` and waits for the answer; returns the path revealed.
    QByteArray reveal(const QByteArray& path) {
        QSignalSpy revealed(&m_model, &FolderTreeModel::revealed);
        m_model.reveal(path);
        if (revealed.isEmpty() && !revealed.wait(20000))
            return "<none>";
        return m_model.pathOf(revealed.last().first().toModelIndex());
    }

    test::TempTree m_tree;
    FolderTreeModel m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

INSTANTIATE_TEST_SUITE_P(ForegroundAndWorker, FolderTree, ::testing::Values(4096, 0));

// Only folders and links to folders are rows, in name order ignoring case;
// a name that is not UTF-8 is shown with a replacement character and keeps
// its bytes; nothing below a folder is read before it is asked for.
TEST_P(FolderTree, ReadsFoldersOnlyWhenAskedInNameOrder) {
    m_tree.mkdir("b/inner");
    m_tree.mkdir("A");
    m_tree.mkdir("caf\xE9");
    m_tree.mkdir(".git/objects");
    m_tree.file("file.txt", 3);
    m_tree.file("b/inner/deep.txt", 3);
    m_tree.symlink("link", m_tree.path("b"));
    m_tree.symlink("filelink", m_tree.path("file.txt"));
    m_tree.symlink("broken", "/no/such/target");
    m_tree.fifo("pipe");
    m_model.setRoot(m_tree.root() + "/");

    const QModelIndex root = m_model.rootIndex();
    EXPECT_EQ(m_model.root(), m_tree.root());
    EXPECT_EQ(root.data().toString(), QString::fromLocal8Bit(m_tree.root()));

    read(root);
    EXPECT_EQ(names(root), (QStringList{"A", "b", u"caf\uFFFD"_s, "link"}));
    const QModelIndex cafe = child(root, "caf\xE9");
    ASSERT_TRUE(cafe.isValid());
    EXPECT_EQ(cafe.data(FolderTreeModel::PathRole).toByteArray(), m_tree.path("caf\xE9"));

    const QModelIndex b = child(root, "b");
    read(b);
    EXPECT_EQ(names(b), QStringList{"inner"});

    // The link is a row that has no children and is never read.
    const QModelIndex link = child(root, "link");
    EXPECT_TRUE(link.data(FolderTreeModel::LinkRole).toBool());
    EXPECT_FALSE(m_model.hasChildren(link));
    EXPECT_FALSE(m_model.canFetchMore(link));
    m_model.refresh(link);
    EXPECT_EQ(m_model.rowCount(link), 0);
    EXPECT_TRUE(link.data(Qt::ToolTipRole).toString().contains("not followed"));
}

// Nothing is read before it is asked for; a view's fetchMore reads once
// control is back in the event loop. (No model tester here: it asks for
// everything.)
TEST(FolderTreeLazy, NothingIsReadBeforeItIsAskedFor) {
    test::TempTree tree;
    tree.mkdir("a/b/c");
    FolderTreeModel model;
    model.setRoot(tree.root());
    const QModelIndex root = model.rootIndex();
    EXPECT_EQ(model.rowCount(root), 0);
    EXPECT_TRUE(model.hasChildren(root));
    EXPECT_TRUE(model.canFetchMore(root));
    EXPECT_FALSE(root.data(FolderTreeModel::ReadRole).toBool());
    model.fetchMore(root);
    EXPECT_FALSE(model.canFetchMore(root));
    EXPECT_EQ(model.rowCount(root), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isBusy(); }, 20000));
    EXPECT_EQ(model.rowCount(root), 1);
    const QModelIndex a = model.index(0, 0, root);
    EXPECT_FALSE(a.data(FolderTreeModel::ReadRole).toBool());
    EXPECT_EQ(model.rowCount(a), 0);
    // Revealing a/b reads the root and a, not b.
    model.reveal(tree.path("a/b"));
    EXPECT_TRUE(a.data(FolderTreeModel::ReadRole).toBool());
    EXPECT_FALSE(model.indexOf(tree.path("a/b")).data(FolderTreeModel::ReadRole).toBool());
}

// Hidden folders are read but shown only when asked for.
TEST_P(FolderTree, HiddenFoldersShowOnlyWhenAsked) {
    m_tree.mkdir(".config/app");
    m_tree.mkdir("Documents");
    m_model.setRoot(m_tree.root());
    read(m_model.rootIndex());
    EXPECT_EQ(names(m_model.rootIndex()), QStringList{"Documents"});
    m_model.setShowHidden(true);
    EXPECT_EQ(names(m_model.rootIndex()), (QStringList{".config", "Documents"}));
    EXPECT_TRUE(child(m_model.rootIndex(), ".config").data(FolderTreeModel::HiddenRole).toBool());
    m_model.setShowHidden(false);
    EXPECT_EQ(names(m_model.rootIndex()), QStringList{"Documents"});
}

// Reading a folder again adds what appeared and drops what went; the
// folders that stayed keep what was read below them.
TEST_P(FolderTree, RefreshKeepsWhatStayedAndWhatWasReadBelowIt) {
    for (const char* name : {"a/x", "b", "c", "e"})
        m_tree.mkdir(name);
    m_model.setRoot(m_tree.root());
    const QModelIndex root = m_model.rootIndex();
    read(root);
    const QModelIndex a = child(root, "a");
    read(a);
    EXPECT_EQ(names(a), QStringList{"x"});

    ASSERT_EQ(::rmdir(m_tree.path("b").constData()), 0);
    ASSERT_EQ(::rmdir(m_tree.path("e").constData()), 0);
    m_tree.mkdir("d");
    m_tree.mkdir("f");
    m_tree.mkdir("0");
    read(root);
    EXPECT_EQ(names(root), (QStringList{"0", "a", "c", "d", "f"}));
    const QModelIndex aAgain = child(root, "a");
    EXPECT_EQ(aAgain.internalPointer(), a.internalPointer());
    EXPECT_TRUE(aAgain.data(FolderTreeModel::ReadRole).toBool());
    EXPECT_EQ(names(aAgain), QStringList{"x"});

    // A folder that went with everything below it loses its rows.
    ASSERT_EQ(::rmdir(m_tree.path("a/x").constData()), 0);
    ASSERT_EQ(::rmdir(m_tree.path("a").constData()), 0);
    read(aAgain);
    EXPECT_EQ(aAgain.data(FolderTreeModel::ErrorRole).toInt(), ENOENT);
    EXPECT_EQ(m_model.rowCount(aAgain), 0);
    EXPECT_FALSE(m_model.hasChildren(aAgain));
}

// reveal() reads down to the folder, or stops at the deepest folder of the
// path that is shown: before a missing folder, a link, a hidden folder
// while hidden ones are not shown, or outside the root at the root.
TEST_P(FolderTree, RevealReadsDownToTheDeepestFolderShown) {
    m_tree.mkdir("a/b/c");
    m_tree.mkdir("a/.hidden/deep");
    m_tree.mkdir("elsewhere/x");
    m_tree.symlink("a/link", m_tree.path("elsewhere"));
    m_model.setRoot(m_tree.root());

    EXPECT_EQ(reveal(m_tree.path("a/b/c")), m_tree.path("a/b/c"));
    EXPECT_EQ(reveal(m_tree.path("a//b/c/")), m_tree.path("a/b/c"));
    EXPECT_EQ(reveal(m_tree.path("a/b/missing/more")), m_tree.path("a/b"));
    EXPECT_EQ(reveal(m_tree.path("a/link/x")), m_tree.path("a/link"));
    EXPECT_EQ(reveal(m_tree.path("a/.hidden/deep")), m_tree.path("a"));
    EXPECT_EQ(reveal("/somewhere/else"), m_tree.root());
    m_model.setShowHidden(true);
    EXPECT_EQ(reveal(m_tree.path("a/.hidden/deep")), m_tree.path("a/.hidden/deep"));
    // What has been read is shown without reading it again.
    EXPECT_TRUE(m_model.indexOf(m_tree.path("a/b/c")).isValid());
}

// A folder that cannot be read has no children and keeps the reason.
TEST_P(FolderTree, UnreadableFolderHasNoChildren) {
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    m_tree.mkdir("locked/inside");
    m_tree.chmod("locked", 0);
    m_model.setRoot(m_tree.root());
    read(m_model.rootIndex());
    const QModelIndex locked = child(m_model.rootIndex(), "locked");
    read(locked);
    m_tree.chmod("locked", 0755);
    EXPECT_EQ(locked.data(FolderTreeModel::ErrorRole).toInt(), EACCES);
    EXPECT_EQ(m_model.rowCount(locked), 0);
    EXPECT_FALSE(m_model.hasChildren(locked));
}

// A folder replaced by a symbolic link after it was listed is not entered
// through the link: nothing of the link's target shows below it.
TEST_P(FolderTree, FolderReplacedByALinkIsNotEntered) {
    m_tree.mkdir("swap");
    m_tree.mkdir("target/secret");
    m_model.setRoot(m_tree.root());
    read(m_model.rootIndex());
    const QModelIndex swap = child(m_model.rootIndex(), "swap");
    ASSERT_EQ(::rmdir(m_tree.path("swap").constData()), 0);
    m_tree.symlink("swap", m_tree.path("target"));
    read(swap);
    EXPECT_EQ(m_model.rowCount(swap), 0);
    EXPECT_EQ(swap.data(FolderTreeModel::ErrorRole).toInt(), ENOTDIR);
}

// A folder bigger than the foreground budget is read on a worker: the call
// returns with the folder still being read and its rows come afterwards.
TEST(FolderTreeWorker, BigFolderIsReadOnAWorker) {
    test::TempTree tree;
    for (int i = 0; i < 60; ++i)
        tree.mkdir("d" + QByteArray::number(i));
    for (int i = 0; i < 200; ++i)
        tree.file("f" + QByteArray::number(i), 0);
    FolderTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setForegroundEntries(20);
    model.setRoot(tree.root());
    QSignalSpy read(&model, &FolderTreeModel::folderRead);
    model.fetchMore(model.rootIndex());
    EXPECT_TRUE(model.isReading(model.rootIndex()));
    EXPECT_EQ(model.rowCount(model.rootIndex()), 0);
    ASSERT_TRUE(read.wait(20000));
    EXPECT_EQ(model.rowCount(model.rootIndex()), 60);
    // The tester asks for every folder below; they are read too.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isBusy(); }, 20000));

    // A model that goes while its worker reads waits for it and is gone.
    auto doomed = std::make_unique<FolderTreeModel>();
    doomed->setForegroundEntries(0);
    doomed->setRoot(tree.root());
    doomed->fetchMore(doomed->rootIndex());
    doomed.reset();
    QCoreApplication::processEvents();
}

}  // namespace
}  // namespace vantrel
