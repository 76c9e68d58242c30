// The freedesktop trash: where entries go, what the information file holds,
// name clashes, other file systems, and that a failure moves nothing.

#include "platform/Trash.h"
#include "platform/FileRecord.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

namespace vantrel {
namespace {

// Reads a whole file by its exact bytes (QFile sees names that are not UTF-8
// only as lossy text).
QByteArray readAll(const QByteArray& path) {
    QByteArray out;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    char buf[4096];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buf, sizeof buf)) > 0;)
        out.append(buf, n);
    if (fd >= 0)
        ::close(fd);
    return out;
}

int entryCount(const QByteArray& folder) {
    const auto all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    return int(QDir(QFile::decodeName(folder)).entryList(all).size());
}

// Every test gets its own home folder inside its temporary tree, so the home
// trash (under Qt's test-mode data folder) is fresh and never the user's.
class TrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", tree.mkdir("home"));
        ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
        ASSERT_TRUE(trash().startsWith(tree.path("home/"))) << trash().constData();
    }
    void TearDown() override { qputenv("HOME", m_oldHome); }

    QByteArray trash() const { return homeTrashFolder(); }
    QByteArray infoOf(const QByteArray& name) const {
        return readAll(trash() + "/info/" + name + ".trashinfo");
    }

    test::TempTree tree;
    QByteArray m_oldHome;
};

TEST_F(TrashTest, MovesAFileAndWritesItsInformationByteExact) {
    const QByteArray name("a b%c#\xE9\xFF.txt");
    const QByteArray file = tree.fileWith("odd/" + name, "contents");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    QString error;
    QByteArray inTrash;
    ASSERT_TRUE(moveToTrash(file, &error, &inTrash)) << error.toStdString();
    EXPECT_FALSE(entryExists(file));
    EXPECT_EQ(inTrash, trash() + "/files/" + name);
    EXPECT_EQ(readAll(inTrash), "contents");

    const QList<QByteArray> lines = infoOf(name).split('\n');
    ASSERT_EQ(lines.size(), 4);  // three lines and the final line break
    EXPECT_EQ(lines[0], "[Trash Info]");
    EXPECT_EQ(lines[1],
              "Path=" + tree.path("odd/").toPercentEncoding("/") + "a%20b%25c%23%E9%FF.txt");
    EXPECT_EQ(QByteArray::fromPercentEncoding(lines[1].mid(5)), file);
    ASSERT_TRUE(lines[2].startsWith("DeletionDate="));
    const QDateTime stamp =
        QDateTime::fromString(QString::fromLatin1(lines[2].mid(13)), Qt::ISODate);
    EXPECT_GE(stamp, before.addMSecs(-before.time().msec()));
    EXPECT_LE(stamp, QDateTime::currentDateTime().addSecs(1));
}

TEST_F(TrashTest, RelativePathIsRecordedAbsoluteAndResolved) {
    tree.fileWith("work/sub/rel.txt", "r");
    tree.symlink("link", "work");
    const QString old = QDir::currentPath();
    ASSERT_EQ(::chdir(tree.path("link/sub").constData()), 0);
    const bool moved = moveToTrash("./rel.txt");
    QDir::setCurrent(old);
    ASSERT_TRUE(moved);
    // The folder part is resolved (no link, no "."), the name kept.
    char real[4096];
    ASSERT_TRUE(::realpath(tree.path("work/sub").constData(), real));
    EXPECT_TRUE(infoOf("rel.txt").contains("Path=" + QByteArray(real).toPercentEncoding("/") +
                                           "/rel.txt\n"));
}

TEST_F(TrashTest, SameNameIsNumbered) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"a.txt", "a 2.txt", "a 3.txt"}, {"x.tar.gz", "x.tar 2.gz", "x.tar 3.gz"}};
    for (const auto& [first, second, third] : rows) {
        for (const char* folder : {"one/", "two/", "three/"})
            ASSERT_TRUE(moveToTrash(tree.fileWith(folder + QByteArray(first), folder)));
        EXPECT_EQ(readAll(trash() + "/files/" + first), "one/");
        EXPECT_EQ(readAll(trash() + "/files/" + second), "two/");
        EXPECT_EQ(readAll(trash() + "/files/" + third), "three/");
        EXPECT_TRUE(infoOf(second).contains("/two/" + QByteArray(first) + "\n"));
    }
    EXPECT_EQ(entryCount(trash() + "/info"), 6);
    // An information file without its entry still reserves the name.
    ASSERT_TRUE(moveToTrash(tree.fileWith("a/README", "1")));
    ASSERT_EQ(::unlink((trash() + "/files/README").constData()), 0);
    ASSERT_TRUE(moveToTrash(tree.fileWith("b/README", "2")));
    EXPECT_EQ(readAll(trash() + "/files/README 2"), "2");
}

TEST_F(TrashTest, LinksFoldersAndLongNames) {
    const QByteArray target = tree.fileWith("outside/keep.txt", "keep");
    ASSERT_TRUE(moveToTrash(tree.symlink("link.txt", target)));
    EXPECT_EQ(readAll(target), "keep");  // the link moved, not its target
    EXPECT_TRUE(QFileInfo(QFile::decodeName(trash() + "/files/link.txt")).isSymLink());

    tree.fileWith("pack/sub/b.txt", "b");
    ASSERT_TRUE(moveToTrash(tree.path("pack/")));
    EXPECT_EQ(readAll(trash() + "/files/pack/sub/b.txt"), "b");
    EXPECT_TRUE(infoOf("pack").contains("Path=" + tree.path("pack") + "\n"));

    // A name too long to carry ".trashinfo" is shortened in the trash only.
    const QByteArray name = QByteArray(246, 'n') + ".data";  // 251 bytes
    QByteArray inTrash;
    ASSERT_TRUE(moveToTrash(tree.fileWith(name, "long"), nullptr, &inTrash));
    const QByteArray shortName = inTrash.mid(inTrash.lastIndexOf('/') + 1);
    EXPECT_LT(shortName.size(), name.size());
    EXPECT_TRUE(infoOf(shortName).contains("/" + name + "\n"));
    ASSERT_TRUE(moveToTrash(tree.fileWith("again/" + name, "second")));
    EXPECT_EQ(entryCount(trash() + "/files"), 4);
}

TEST_F(TrashTest, FailuresMoveNothing) {
    QString error;
    for (const QByteArray& path :
         {tree.path("nothing.txt"), tree.path("no/x.txt"), QByteArray(), QByteArray("/")}) {
        EXPECT_FALSE(moveToTrash(path, &error)) << path.constData();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(entryCount(trash() + "/info"), 0);

    // A plain file where the trash folder would go.
    const QByteArray file = tree.fileWith("stay.txt", "stay");
    tree.fileWith(trash().mid(tree.root().size() + 1), "not a folder");
    EXPECT_FALSE(moveToTrash(file, &error));
    EXPECT_EQ(readAll(file), "stay");
    ::unlink(trash().constData());
    ASSERT_TRUE(moveToTrash(tree.fileWith("first.txt", "1")));  // makes the trash
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced";
    ::chmod((trash() + "/info").constData(), 0500);
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
    // The name must be one component.
    EXPECT_FALSE(moveEntryToTrash(fd, "../moved/item.txt", inside));
    EXPECT_FALSE(moveEntryToTrash(fd, "..", tree.path("..")));
    EXPECT_FALSE(moveEntryToTrash(fd, "item.txt", "relative/item.txt"));
    const bool moved = moveEntryToTrash(fd, "item.txt", inside);
    ::close(fd);
    ASSERT_TRUE(moved);
    EXPECT_FALSE(entryExists(tree.path("moved/item.txt")));
    EXPECT_EQ(readAll(outside), "outside");
    EXPECT_EQ(readAll(trash() + "/files/item.txt"), "inside");
}

// A file on another file system than the home trash goes to ".Trash-$uid" at
// the top of its own file system. /dev/shm is a separate tmpfs on most
// machines; the test removes everything it made there.
TEST_F(TrashTest, OtherFileSystemUsesTheTrashAtItsTop) {
    struct stat shm, home, dev;
    if (::stat("/dev/shm", &shm) != 0 || ::stat(tree.root().constData(), &home) != 0 ||
        ::stat("/dev", &dev) != 0 || shm.st_dev == home.st_dev || dev.st_dev == shm.st_dev ||
        ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no writable second file system at the top of /dev/shm";
    const QByteArray topTrash = "/dev/shm/.Trash-" + QByteArray::number(::getuid());
    const bool hadTopTrash = entryExists(topTrash);
    char folder[] = "/dev/shm/vantrel-trash-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const QByteArray file = QByteArray(folder) + "/shm-file.txt";
    QByteArray inTrash;
    const auto infoFile = [&] {
        return topTrash + "/info/" + inTrash.mid(inTrash.lastIndexOf('/') + 1) + ".trashinfo";
    };
    // Removes only what the test made: the trash may be shared.
    const auto cleanup = qScopeGuard([&] {
        if (!inTrash.isEmpty()) {
            ::unlink(inTrash.constData());
            ::unlink(infoFile().constData());
        }
        if (!hadTopTrash) {
            ::unlink(topTrash.constData());
            for (const char* sub : {"/files", "/info", ""})
                ::rmdir((topTrash + sub).constData());
        }
        QDir(QFile::decodeName(folder)).removeRecursively();
    });
    QFile f(QFile::decodeName(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("shm") == 3);
    f.close();
    QString error;
    ASSERT_TRUE(moveToTrash(file, &error, &inTrash)) << error.toStdString();
    EXPECT_TRUE(inTrash.startsWith(topTrash + "/files/"));
    EXPECT_EQ(readAll(inTrash), "shm");
    // Path= is relative to the top of the file system.
    const QByteArray info = readAll(infoFile());
    EXPECT_TRUE(info.contains("\nPath=" + QByteArray(folder + 9).toPercentEncoding("/") +
                              "/shm-file.txt\n"))
        << info.constData();
    struct stat st;
    ASSERT_EQ(::lstat(topTrash.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_FALSE(entryExists(trash() + "/files/shm-file.txt"));
}

// Which mount holds a path: the longest mount point that is the path or
// one of its ancestors, by whole names.
TEST(TrashTop, TheMountThatHoldsAPath) {
    const QList<QByteArray> mounts = {"/", "/home", "/home/ann/bind", "/media/usb", "/media/usb2",
                                      "/srv/a b"};
    const std::pair<const char*, const char*> rows[] = {
        {"/etc/x", "/"},
        {"/home", "/home"},
        {"/home/ann/file", "/home"},
        {"/home/ann/bind", "/home/ann/bind"},
        {"/home/ann/bind/deep/file", "/home/ann/bind"},
        {"/home/ann/binder/file", "/home"},
        {"/media/usb2/photo", "/media/usb2"},
        {"/media/usb/photo", "/media/usb"},
        {"/srv/a b/c", "/srv/a b"}};
    for (const auto& [path, top] : rows)
        EXPECT_EQ(mountTopOf(path, mounts), top) << path;
    EXPECT_EQ(mountTopOf("/anything", {}), "/");
}

// A bind mount of the home file system: the same device as the home trash,
// but no rename crosses from one mount to another ("Invalid cross-device
// link"). The file goes to ".Trash-$uid" at the top of the bind mount; a
// trash there that is a link is refused, and the file stays.
TEST_F(TrashTest, BindMountOfTheHomeFileSystemUsesTheTrashAtItsTop) {
    tree.fileWith("shown/photo.jpg", "photo");
    tree.fileWith("shown/sub/kept.txt", "kept");
    tree.mkdir("bind");
    tree.mkdir("elsewhere");
    const QByteArray uid = QByteArray::number(::getuid());
    const int result = test::inMountNamespace("moved;photo;700;gone;refused;kept", [&] {
        if (::mount(tree.path("shown").constData(), tree.path("bind").constData(), nullptr,
                    MS_BIND, nullptr) != 0)
            return QByteArray("SKIP");
        QByteArrayList out;
        QString error;
        QByteArray inTrash;
        const bool moved = moveToTrash(tree.path("bind/photo.jpg"), &error, &inTrash);
        out << (moved ? "moved" : "failed: " + error.toUtf8());
        const QByteArray top = tree.path("bind/.Trash-" + uid);
        out << (inTrash == top + "/files/photo.jpg" ? readAll(inTrash) : "misplaced " + inTrash);
        struct stat st;
        out << (::lstat(top.constData(), &st) == 0 ? QByteArray::number(st.st_mode & 0777, 8)
                                                   : "no top trash");
        const bool gone = !entryExists(tree.path("bind/photo.jpg")) &&
                          readAll(top + "/info/photo.jpg.trashinfo").contains("\nPath=photo.jpg\n") &&
                          !entryExists(trash() + "/files/photo.jpg");
        out << (gone ? "gone" : "still there or misfiled");
        // A link in place of the trash folder: refused, nothing moves.
        ::rename(top.constData(), tree.path("bind/old-trash").constData());
        if (::symlink(tree.path("elsewhere").constData(), top.constData()) != 0)
            out << "no link planted";
        else
            out << (moveToTrash(tree.path("bind/sub/kept.txt"), &error) ? "moved through a link"
                                                                        : "refused");
        out << (readAll(tree.path("bind/sub/kept.txt")) == "kept" &&
                        entryCount(tree.path("elsewhere")) == 0
                    ? "kept"
                    : "lost");
        return out.join(';');
    });
    if (result == 2)
        GTEST_SKIP() << "no private mount namespace or bind mounts here";
    EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace vantrel
