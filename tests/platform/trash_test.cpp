// The freedesktop trash: where entries go, what the information file holds,
// name clashes, other file systems, and that a failure moves nothing.

#include "platform/Trash.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace vantrel {
namespace {

// Reads a whole file by its exact bytes (QFile sees names that are not UTF-8
// only as lossy text).
QByteArray readAll(const QByteArray& path) {
    QByteArray out;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return out;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        out.append(buf, n);
    ::close(fd);
    return out;
}

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

// Every test gets its own home folder inside its temporary tree, so the
// home trash (under Qt's test-mode data folder) is fresh and is never the
// user's.
class TrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tree.isValid());
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", tree.mkdir("home"));
        ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
    }
    void TearDown() override { qputenv("HOME", m_oldHome); }

    QByteArray trash() const { return homeTrashFolder(); }
    QByteArray infoOf(const QByteArray& name) const {
        return readAll(trash() + "/info/" + name + ".trashinfo");
    }

    test::TempTree tree;

private:
    QByteArray m_oldHome;
};

TEST_F(TrashTest, HomeTrashLiesInsideTheTestHome) {
    EXPECT_TRUE(trash().startsWith(tree.path("home/"))) << trash().constData();
    EXPECT_TRUE(trash().endsWith("/Trash"));
}

TEST_F(TrashTest, MovesAFileAndWritesItsInformation) {
    const QByteArray file = tree.fileWith("docs/report.txt", "contents");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    QString error;
    QByteArray inTrash;
    ASSERT_TRUE(moveToTrash(file, &error, &inTrash)) << error.toStdString();
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    EXPECT_FALSE(exists(file));
    EXPECT_EQ(inTrash, trash() + "/files/report.txt");
    EXPECT_EQ(readAll(inTrash), "contents");

    const QList<QByteArray> lines = infoOf("report.txt").split('\n');
    ASSERT_EQ(lines.size(), 4);  // three lines and the final line break
    EXPECT_EQ(lines[0], "[Trash Info]");
    EXPECT_EQ(lines[1], "Path=" + file);
    ASSERT_TRUE(lines[2].startsWith("DeletionDate="));
    const QDateTime stamp =
        QDateTime::fromString(QString::fromLatin1(lines[2].mid(13)), Qt::ISODate);
    ASSERT_TRUE(stamp.isValid()) << lines[2].constData();
    EXPECT_GE(stamp, before.addMSecs(-before.time().msec()));
    EXPECT_LE(stamp, after);
    EXPECT_EQ(lines[3], "");
}

TEST_F(TrashTest, PathIsPercentEncodedBytes) {
    const QByteArray name("a b%c#\xE9\xFF.txt");
    const QByteArray file = tree.fileWith("odd/" + name, "x");
    ASSERT_TRUE(exists(file));
    ASSERT_TRUE(moveToTrash(file));
    EXPECT_FALSE(exists(file));
    EXPECT_TRUE(exists(trash() + "/files/" + name));
    const QByteArray info = infoOf(name);
    EXPECT_TRUE(info.contains("/odd/a%20b%25c%23%E9%FF.txt\n")) << info.constData();
    // The decoded value is the exact original path.
    const qsizetype at = info.indexOf("Path=") + 5;
    EXPECT_EQ(QByteArray::fromPercentEncoding(info.mid(at, info.indexOf('\n', at) - at)), file);
}

TEST_F(TrashTest, RelativePathIsRecordedAbsoluteAndResolved) {
    tree.fileWith("work/sub/rel.txt", "r");
    tree.symlink("link", "work");
    char old[4096];
    ASSERT_TRUE(::getcwd(old, sizeof old));
    ASSERT_EQ(::chdir(tree.path("link/sub").constData()), 0);
    const bool moved = moveToTrash("./rel.txt");
    ASSERT_EQ(::chdir(old), 0);
    ASSERT_TRUE(moved);
    // The folder part is resolved (no link, no "."), the name kept.
    char real[4096];
    ASSERT_TRUE(::realpath(tree.path("work/sub").constData(), real));
    EXPECT_TRUE(infoOf("rel.txt").contains("Path=" + QByteArray(real).toPercentEncoding("/") +
                                           "/rel.txt\n"));
}

struct ClashCase {
    const char* name;
    const char* second;
    const char* third;
};

class TrashClashTest : public TrashTest, public ::testing::WithParamInterface<ClashCase> {};

TEST_P(TrashClashTest, SameNameIsNumbered) {
    const ClashCase c = GetParam();
    const QByteArray name(c.name);
    for (const char* folder : {"one/", "two/", "three/"})
        ASSERT_TRUE(moveToTrash(tree.fileWith(folder + name, folder)));
    EXPECT_EQ(readAll(trash() + "/files/" + name), "one/");
    EXPECT_EQ(readAll(trash() + "/files/" + c.second), "two/");
    EXPECT_EQ(readAll(trash() + "/files/" + c.third), "three/");
    EXPECT_TRUE(infoOf(c.second).contains("/two/" + name + "\n"));
    EXPECT_EQ(entryCount(trash() + "/files"), 3);
    EXPECT_EQ(entryCount(trash() + "/info"), 3);
}

INSTANTIATE_TEST_SUITE_P(Names, TrashClashTest,
                         ::testing::Values(ClashCase{"a.txt", "a 2.txt", "a 3.txt"},
                                           ClashCase{"README", "README 2", "README 3"},
                                           ClashCase{".profile", ".profile 2", ".profile 3"},
                                           ClashCase{"x.tar.gz", "x.tar 2.gz", "x.tar 3.gz"}));

TEST_F(TrashTest, ClashWithALeftoverInformationFileIsNumbered) {
    // An information file without its entry still reserves the name.
    ASSERT_TRUE(moveToTrash(tree.fileWith("a/first.txt", "1")));
    ASSERT_EQ(::unlink((trash() + "/files/first.txt").constData()), 0);
    ASSERT_TRUE(moveToTrash(tree.fileWith("b/first.txt", "2")));
    EXPECT_EQ(readAll(trash() + "/files/first 2.txt"), "2");
}

TEST_F(TrashTest, LinkIsMovedItselfAndItsTargetStays) {
    const QByteArray target = tree.fileWith("outside/keep.txt", "keep");
    const QByteArray link = tree.symlink("link.txt", target);
    ASSERT_TRUE(moveToTrash(link));
    EXPECT_FALSE(exists(link));
    EXPECT_EQ(readAll(target), "keep");
    struct stat st;
    ASSERT_EQ(::lstat((trash() + "/files/link.txt").constData(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(TrashTest, FolderIsMovedWhole) {
    tree.fileWith("pack/a.txt", "a");
    tree.fileWith("pack/sub/b.txt", "b");
    ASSERT_TRUE(moveToTrash(tree.path("pack/")));
    EXPECT_FALSE(exists(tree.path("pack")));
    EXPECT_EQ(readAll(trash() + "/files/pack/sub/b.txt"), "b");
    EXPECT_TRUE(infoOf("pack").contains("Path=" + tree.path("pack") + "\n"));
}

TEST_F(TrashTest, LongNameIsShortenedInTheTrashOnly) {
    const QByteArray name = QByteArray(246, 'n') + ".data";  // 251 bytes
    const QByteArray file = tree.fileWith(name, "long");
    ASSERT_TRUE(exists(file));
    QByteArray inTrash;
    QString error;
    ASSERT_TRUE(moveToTrash(file, &error, &inTrash)) << error.toStdString();
    EXPECT_FALSE(exists(file));
    const QByteArray shortName = inTrash.mid(inTrash.lastIndexOf('/') + 1);
    EXPECT_LT(shortName.size(), name.size());
    EXPECT_TRUE(shortName.endsWith(".data"));
    EXPECT_TRUE(infoOf(shortName).contains("/" + name + "\n"));
    // A second one of the same name gets a number within the limit too.
    ASSERT_TRUE(moveToTrash(tree.fileWith("again/" + name, "second")));
    EXPECT_EQ(entryCount(trash() + "/files"), 2);
}

TEST_F(TrashTest, MissingEntryFailsAndLeavesNoInformation) {
    QString error;
    EXPECT_FALSE(moveToTrash(tree.path("nothing-here.txt"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(moveToTrash(tree.path("no-folder/x.txt"), &error));
    EXPECT_FALSE(moveToTrash(QByteArray(), &error));
    EXPECT_FALSE(moveToTrash("/", &error));
    if (exists(trash() + "/info")) {
        EXPECT_EQ(entryCount(trash() + "/info"), 0);
    }
}

TEST_F(TrashTest, UnusableTrashMovesNothing) {
    const QByteArray file = tree.fileWith("stay.txt", "stay");
    QDir().mkpath(QFile::decodeName(trash().left(trash().lastIndexOf('/'))));
    tree.fileWith(trash().mid(tree.root().size() + 1), "not a folder");
    QString error;
    EXPECT_FALSE(moveToTrash(file, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(file), "stay");
}

TEST_F(TrashTest, TrashWithoutRoomForInformationMovesNothing) {
    const QByteArray file = tree.fileWith("stay.txt", "stay");
    ASSERT_TRUE(moveToTrash(tree.fileWith("first.txt", "1")));  // makes the trash
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced";
    ::chmod((trash() + "/info").constData(), 0500);
    QString error;
    const bool moved = moveToTrash(file, &error);
    ::chmod((trash() + "/info").constData(), 0700);
    EXPECT_FALSE(moved);
    EXPECT_EQ(readAll(file), "stay");
    EXPECT_EQ(entryCount(trash() + "/files"), 1);
}

TEST_F(TrashTest, EntryOfAnOpenFolderIsMovedEvenWhenThePathChanged) {
    const QByteArray inside = tree.fileWith("box/item.txt", "inside");
    const QByteArray outside = tree.fileWith("elsewhere/item.txt", "outside");
    const int fd = ::open(tree.path("box").constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    // The folder's path now leads somewhere else.
    ASSERT_EQ(::rename(tree.path("box").constData(), tree.path("moved").constData()), 0);
    tree.symlink("box", tree.path("elsewhere"));
    const bool moved = moveEntryToTrash(fd, "item.txt", inside);
    ::close(fd);
    ASSERT_TRUE(moved);
    EXPECT_FALSE(exists(tree.path("moved/item.txt")));
    EXPECT_EQ(readAll(outside), "outside");
    EXPECT_EQ(readAll(trash() + "/files/item.txt"), "inside");
}

TEST_F(TrashTest, EntryNameMustBeOneComponent) {
    const int fd = ::open(tree.root().constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    tree.fileWith("sub/f", "f");
    EXPECT_FALSE(moveEntryToTrash(fd, "sub/f", tree.path("sub/f")));
    EXPECT_FALSE(moveEntryToTrash(fd, "..", tree.path("..")));
    EXPECT_FALSE(moveEntryToTrash(fd, "sub", "relative/sub"));
    ::close(fd);
    EXPECT_TRUE(exists(tree.path("sub/f")));
}

// A file on another file system than the home trash goes to ".Trash-$uid" at
// the top of its own file system. /dev/shm is a separate tmpfs on most
// machines; the test cleans up everything it made there.
class OtherFileSystemTest : public TrashTest {
protected:
    void SetUp() override {
        TrashTest::SetUp();
        struct stat shm, home;
        if (::stat("/dev/shm", &shm) != 0 || ::stat(tree.root().constData(), &home) != 0 ||
            shm.st_dev == home.st_dev || ::access("/dev/shm", W_OK) != 0)
            GTEST_SKIP() << "no writable second file system at /dev/shm";
        struct stat parent;
        if (::stat("/dev", &parent) != 0 || parent.st_dev == shm.st_dev)
            GTEST_SKIP() << "/dev/shm is not the top of its file system";
        m_topTrash = "/dev/shm/.Trash-" + QByteArray::number(::getuid());
        m_hadTopTrash = exists(m_topTrash);
        char name[] = "/dev/shm/vantrel-trash-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        m_folder = name;
    }
    void TearDown() override {
        if (!m_folder.isEmpty()) {
            for (const QByteArray& made : m_madeInTopTrash) {
                ::unlink((m_topTrash + "/files/" + made).constData());
                ::unlink((m_topTrash + "/info/" + made + ".trashinfo").constData());
            }
            if (!m_hadTopTrash) {
                struct stat st;
                if (::lstat(m_topTrash.constData(), &st) == 0 && !S_ISDIR(st.st_mode)) {
                    ::unlink(m_topTrash.constData());
                } else {
                    ::rmdir((m_topTrash + "/files").constData());
                    ::rmdir((m_topTrash + "/info").constData());
                    ::rmdir(m_topTrash.constData());
                }
            }
            QDir(QFile::decodeName(m_folder)).removeRecursively();
        }
        TrashTest::TearDown();
    }

    QByteArray m_topTrash;
    bool m_hadTopTrash = false;
    QByteArray m_folder;
    QList<QByteArray> m_madeInTopTrash;
};

TEST_F(OtherFileSystemTest, GoesToTheTrashAtTheTopOfItsFileSystem) {
    const QByteArray file = m_folder + "/shm-file.txt";
    QFile f(QFile::decodeName(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("shm");
    f.close();
    QByteArray inTrash;
    QString error;
    ASSERT_TRUE(moveToTrash(file, &error, &inTrash)) << error.toStdString();
    m_madeInTopTrash.append(inTrash.mid(inTrash.lastIndexOf('/') + 1));
    EXPECT_FALSE(exists(file));
    EXPECT_TRUE(inTrash.startsWith(m_topTrash + "/files/"));
    EXPECT_EQ(readAll(inTrash), "shm");
    // Path= is relative to the top of the file system.
    const QByteArray info = readAll(m_topTrash + "/info/" + m_madeInTopTrash.last() + ".trashinfo");
    EXPECT_TRUE(
        info.contains("\nPath=" + m_folder.mid(9).toPercentEncoding("/") + "/shm-file.txt\n"))
        << info.constData();
    struct stat st;
    ASSERT_EQ(::lstat(m_topTrash.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // Nothing went to the home trash.
    EXPECT_FALSE(exists(trash() + "/files/shm-file.txt"));
}

TEST_F(OtherFileSystemTest, UnusableTopTrashIsAClearFailure) {
    if (m_hadTopTrash)
        GTEST_SKIP() << m_topTrash.constData() << " exists already";
    // A plain file where the trash folder would go.
    QFile blocker(QFile::decodeName(m_topTrash));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray file = m_folder + "/kept.txt";
    QFile f(QFile::decodeName(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("kept");
    f.close();
    QString error;
    EXPECT_FALSE(moveToTrash(file, &error));
    EXPECT_EQ(error, QStringLiteral("No trash can be used on this file system"));
    EXPECT_EQ(readAll(file), "kept");
}

}  // namespace
}  // namespace vantrel
