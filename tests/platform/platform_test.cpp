// The platform layer: the mount table and the drive list, file records from
// real entries of a fixture tree, local-time packing of file times in zones
// with odd offsets and daylight saving, disk geometry, and the MIME catalogue.

#include "platform/Drives.h"
#include "platform/FileRecord.h"
#include "platform/MimeTypes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QSet>

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

namespace vantrel {
namespace {

// ---- mount table ----------------------------------------------------------------

TEST(MountTable, RealFileSystemsInTableOrder) {
    const QByteArray table =
        "proc /proc proc rw,nosuid 0 0\n"
        "sysfs /sys sysfs rw 0 0\n"
        "/dev/sda1 / ext4 rw,relatime 0 0\n"
        "devtmpfs /dev devtmpfs rw 0 0\n"
        "tmpfs /sys/fs/cgroup tmpfs rw 0 0\n"
        "cgroup2 /sys/fs/cgroup/unified cgroup2 rw 0 0\n"
        "tmpfs /proc/acpi tmpfs ro 0 0\n"
        "/dev/sda2 /home ext4 rw 0 0\n"
        "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
        "server:/export /mnt/nfs nfs4 rw 0 0\n"
        "tmpfs /dev/shm tmpfs rw 0 0\n"
        "binfmt_misc /proc/sys/fs/binfmt_misc binfmt_misc rw 0 0\n";
    const QList<DriveEntry> drives = parseMountTable(table);
    const QList<DriveEntry> expected = {
        {"/", "ext4"}, {"/home", "ext4"}, {"/mnt/nfs", "nfs4"}, {"/dev/shm", "tmpfs"}};
    EXPECT_EQ(drives, expected);
}

TEST(MountTable, OctalEscapesAreUndone) {
    const QByteArray table =
        "/dev/sdb1 /media/My\\040Disk vfat rw 0 0\n"
        "/dev/sdb2 /media/tab\\011and\\012newline ext4 rw 0 0\n"
        "/dev/sdb3 /media/back\\134slash ext4 rw 0 0\n"
        "/dev/sdb4 /media/end\\040 ext4 rw 0 0\n"
        "/dev/sdb5 /media/not\\09octal ext4 rw 0 0\n"
        "/dev/sdb6 /media/short\\04 ext4 rw 0 0\n";
    const QList<DriveEntry> drives = parseMountTable(table);
    ASSERT_EQ(drives.size(), 6);
    EXPECT_EQ(drives[0].root, QByteArray("/media/My Disk"));
    EXPECT_EQ(drives[1].root, QByteArray("/media/tab\tand\nnewline"));
    EXPECT_EQ(drives[2].root, QByteArray("/media/back\\slash"));
    EXPECT_EQ(drives[3].root, QByteArray("/media/end "));
    EXPECT_EQ(drives[4].root, QByteArray("/media/not\\09octal"));
    EXPECT_EQ(drives[5].root, QByteArray("/media/short\\04"));
}

TEST(MountTable, AMountPointMountedTwiceIsListedOnceWithTheLastType) {
    const QByteArray table =
        "/dev/sda1 / ext4 rw 0 0\n"
        "/dev/sdc1 /mnt/usb vfat rw 0 0\n"
        "/dev/sda2 /home ext4 rw 0 0\n"
        "/dev/sdd1 /mnt/usb/ exfat rw 0 0\n";
    const QList<DriveEntry> expected = {{"/", "ext4"}, {"/mnt/usb", "exfat"}, {"/home", "ext4"}};
    EXPECT_EQ(parseMountTable(table), expected);
}

TEST(MountTable, DamagedLinesAreSkipped) {
    const QByteArray table =
        "\n"
        "garbage\n"
        "two fields\n"
        "none relative ext4 rw 0 0\n"
        "   /dev/sda1    /data   xfs   rw 0 0   \n"
        "/dev/sda1 /nofinal ext4 rw 0 0";
    const QList<DriveEntry> expected = {{"/data", "xfs"}, {"/nofinal", "ext4"}};
    EXPECT_EQ(parseMountTable(table), expected);
}

TEST(DriveEntry, TextAndRootOfText) {
    const DriveEntry home{"/home", QStringLiteral("ext4")};
    EXPECT_EQ(home.text(), QStringLiteral("/home  [ext4]"));
    EXPECT_EQ(rootOfDriveText(home.text()), QByteArray("/home"));
    EXPECT_EQ(rootOfDriveText(QStringLiteral("/media/a  [b]  [vfat]")),
              QByteArray("/media/a  [b]"));
    EXPECT_EQ(rootOfDriveText(QStringLiteral("/typed/path")), QByteArray("/typed/path"));
}

struct ClosestRow {
    const char* folder;
    int index;
};

class ClosestDriveTest : public ::testing::TestWithParam<ClosestRow> {};

TEST_P(ClosestDriveTest, LongestRootThatHoldsTheFolder) {
    const QList<DriveEntry> drives = {
        {"/", "ext4"}, {"/home", "ext4"}, {"/home/ann", "folder"}, {"/media/usb", "vfat"}};
    EXPECT_EQ(closestDriveIndex(drives, GetParam().folder), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(Rows, ClosestDriveTest,
                         ::testing::Values(ClosestRow{"/", 0}, ClosestRow{"/usr/lib", 0},
                                           ClosestRow{"/home", 1}, ClosestRow{"/home/", 1},
                                           ClosestRow{"/home/bob/x", 1}, ClosestRow{"/home/ann", 2},
                                           ClosestRow{"/home/ann/docs/a", 2},
                                           ClosestRow{"/home/anna", 1}, ClosestRow{"/homer", 0},
                                           ClosestRow{"/media/usb/DCIM", 3},
                                           ClosestRow{"relative", -1}));

TEST(ClosestDrive, NoRootHoldsTheFolder) {
    const QList<DriveEntry> drives = {{"/home", "ext4"}};
    EXPECT_EQ(closestDriveIndex(drives, "/usr"), -1);
    EXPECT_EQ(closestDriveIndex({}, "/"), -1);
}

TEST(SystemDrives, OverrideReplacesTheList) {
    const QList<DriveEntry> fixture = {{"/tmp/a", "folder"}, {"/tmp/b", "folder"}};
    setDriveListOverride(fixture);
    EXPECT_EQ(systemDrives(), fixture);
    setDriveListOverride(std::nullopt);
    EXPECT_NE(systemDrives(), fixture);
}

TEST(SystemDrives, RealListHasNoKernelInterfacesAndEndsWithHome) {
    const QList<DriveEntry> drives = systemDrives();
    ASSERT_FALSE(drives.isEmpty());
    for (const DriveEntry& d : drives) {
        EXPECT_FALSE(d.root.startsWith("/proc") || d.root.startsWith("/sys/") || d.root == "/sys")
            << d.root.constData();
        EXPECT_NE(d.type, QStringLiteral("proc"));
        EXPECT_NE(d.type, QStringLiteral("sysfs"));
        EXPECT_TRUE(d.root.startsWith('/'));
    }
    // The test's home folder lies inside the build tree, not on a mount point
    // of its own, so it is added at the end.
    const QByteArray home = QFile::encodeName(QDir::homePath());
    EXPECT_EQ(drives.last(), (DriveEntry{home, QStringLiteral("folder")}));
}

// ---- attributes -----------------------------------------------------------------

struct AttrRow {
    const char* name;
    quint32 mode;
    const char* entryName;
    quint32 attr;
};

class AttributesTest : public ::testing::TestWithParam<AttrRow> {};

TEST_P(AttributesTest, FromTypePermissionsAndName) {
    const AttrRow& r = GetParam();
    EXPECT_EQ(attributesFor(r.mode, r.entryName, qsizetype(strlen(r.entryName))), r.attr);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AttributesTest,
    ::testing::Values(AttrRow{"PlainFile", S_IFREG | 0644, "a.txt", 0},
                      AttrRow{"ReadOnlyFile", S_IFREG | 0444, "a.txt", faReadOnly},
                      AttrRow{"OthersMayWriteOwnerMayNot", S_IFREG | 0466, "a", faReadOnly},
                      AttrRow{"HiddenFile", S_IFREG | 0644, ".profile", faHidden},
                      AttrRow{"Dot", S_IFDIR | 0755, ".", faDirectory},
                      AttrRow{"DotDot", S_IFDIR | 0755, "..", faDirectory},
                      AttrRow{"DotDotDot", S_IFREG | 0644, "...", faHidden},
                      AttrRow{"Folder", S_IFDIR | 0755, "docs", faDirectory},
                      AttrRow{"ReadOnlyHiddenFolder", S_IFDIR | 0555, ".cache",
                              faDirectory | faReadOnly | faHidden},
                      AttrRow{"Fifo", S_IFIFO | 0644, "pipe", faSysFile},
                      AttrRow{"Symlink", S_IFLNK | 0777, "link", faSysFile},
                      AttrRow{"Socket", S_IFSOCK | 0755, "sock", faSysFile},
                      AttrRow{"CharDevice", S_IFCHR | 0666, "null", faSysFile},
                      AttrRow{"BlockDevice", S_IFBLK | 0660, "sda", faSysFile},
                      AttrRow{"EmptyName", S_IFREG | 0644, "", 0}),
    [](const ::testing::TestParamInfo<AttrRow>& row) { return std::string(row.param.name); });

// ---- file records from real entries ----------------------------------------------

class StatEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tree.isValid());
        dirfd = ::open(tree.root().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(dirfd, 0);
    }
    void TearDown() override {
        if (dirfd >= 0)
            ::close(dirfd);
    }
    test::TempTree tree;
    int dirfd = -1;
};

TEST_F(StatEntryTest, SparseFileOfFiveGibibytesKeepsItsSize) {
    const QByteArray path = tree.path("big.img");
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    const qint64 size = qint64(5) << 30;
    const bool grown = ::ftruncate(fd, off_t(size)) == 0;
    ::close(fd);
    if (!grown)
        GTEST_SKIP() << "the file system cannot hold a sparse 5 GiB file";
    FileRecord r;
    ASSERT_TRUE(statEntry(dirfd, "big.img", r));
    EXPECT_EQ(r.size, size);
    EXPECT_LT(r.allocated, qint64(1) << 20);
    EXPECT_TRUE(r.isRegular());
    EXPECT_EQ(r.attr, 0u);
}

TEST_F(StatEntryTest, NameThatIsNotUtf8KeepsItsBytes) {
    const QByteArray name("caf\xe9-\xff.txt");
    tree.fileWith(name, "hello");
    // Found through the folder listing, as the walk finds it.
    DIR* dir = ::opendir(tree.root().constData());
    ASSERT_NE(dir, nullptr);
    QByteArray listed;
    while (dirent* e = ::readdir(dir)) {
        if (QByteArray(e->d_name) == name)
            listed = e->d_name;
    }
    ::closedir(dir);
    ASSERT_EQ(listed, name);
    FileRecord r;
    ASSERT_TRUE(statEntry(dirfd, listed.constData(), r));
    EXPECT_EQ(r.name, name);
    EXPECT_EQ(r.size, 5);
}

TEST_F(StatEntryTest, KindsOfEntries) {
    tree.mkdir("folder");
    tree.file(".hidden", 3);
    tree.file("readonly", 1);
    tree.chmod("readonly", 0444);
    tree.symlink("link", "folder");
    tree.symlink("dangling", "nowhere");
    tree.fifo("pipe");
    struct Expect {
        const char* name;
        quint32 attr;
    };
    for (const Expect& e : {Expect{"folder", faDirectory}, Expect{".hidden", faHidden},
                            Expect{"readonly", faReadOnly}, Expect{"link", faSysFile},
                            Expect{"dangling", faSysFile}, Expect{"pipe", faSysFile}}) {
        FileRecord r;
        ASSERT_TRUE(statEntry(dirfd, e.name, r)) << e.name;
        EXPECT_EQ(r.attr, e.attr) << e.name;
        EXPECT_EQ(r.name, QByteArray(e.name));
    }
    // A symbolic link is described, not followed: its size is its target's length.
    FileRecord link;
    ASSERT_TRUE(statEntry(dirfd, "link", link));
    EXPECT_EQ(link.size, qint64(strlen("folder")));
    EXPECT_TRUE(S_ISLNK(link.mode));
    EXPECT_TRUE(entryExists(tree.path("dangling")));
    EXPECT_FALSE(entryExists(tree.path("missing")));
    FileRecord missing;
    errno = 0;
    EXPECT_FALSE(statEntry(dirfd, "missing", missing));
    EXPECT_EQ(errno, ENOENT);
}

TEST_F(StatEntryTest, SocketIsASystemEntry) {
    const QByteArray path = tree.path("sock");
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof(addr.sun_path))
        GTEST_SKIP() << "temporary folder path too long for a socket";
    memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    FileRecord r;
    EXPECT_TRUE(statEntry(dirfd, "sock", r));
    ::close(s);
    EXPECT_EQ(r.attr, quint32(faSysFile));
}

TEST_F(StatEntryTest, TimesArePackedInLocalTime) {
    tree.file("dated", 10);
    const QDateTime modified(QDate(2019, 3, 4), QTime(5, 6, 8), Qt::UTC);
    const QDateTime accessed(QDate(2020, 7, 8), QTime(22, 33, 44), Qt::UTC);
    tree.setTimes("dated", modified, accessed);
    FileRecord r;
    ASSERT_TRUE(statEntry(dirfd, "dated", r));
    ASSERT_TRUE(r.writeTime.recorded);
    EXPECT_EQ(r.writeTime.sec, modified.toSecsSinceEpoch());
    EXPECT_EQ(r.accessTime.sec, accessed.toSecsSinceEpoch());
    // The tests run in UTC.
    const auto pack = [](int y, int mo, int d, int h, int mi, int s) {
        return (quint32(y - 1980) << 25) | (quint32(mo) << 21) | (quint32(d) << 16) |
               (quint32(h) << 11) | (quint32(mi) << 5) | quint32(s / 2);
    };
    EXPECT_EQ(r.packedWriteTime(), pack(2019, 3, 4, 5, 6, 8));
    EXPECT_EQ(r.time(), r.packedWriteTime());
    EXPECT_EQ(r.packedAccessTime(), pack(2020, 7, 8, 22, 33, 44));
}

TEST_F(StatEntryTest, BirthTimeIsRecordedOnlyWhenTheFileSystemKeepsIt) {
    const time_t before = ::time(nullptr);
    tree.file("born", 1);
    const time_t after = ::time(nullptr);
    struct statx sx;
    ASSERT_EQ(::statx(dirfd, "born", AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx), 0);
    const bool kept = sx.stx_mask & STATX_BTIME;
    FileRecord r;
    ASSERT_TRUE(statEntry(dirfd, "born", r));
    EXPECT_EQ(r.creationTime.recorded, kept);
    if (kept) {
        EXPECT_GE(r.creationTime.sec, qint64(before) - 1);
        EXPECT_LE(r.creationTime.sec, qint64(after) + 1);
        EXPECT_NE(r.packedCreationTime(), 0u);
    } else {
        EXPECT_EQ(r.packedCreationTime(), 0u);
    }
}

TEST_F(StatEntryTest, StatPathNamesTheLastComponent) {
    tree.mkdir("a/b");
    FileRecord r;
    ASSERT_TRUE(statPath(tree.path("a/b/"), r));
    EXPECT_EQ(r.name, QByteArray("b"));
    EXPECT_TRUE(r.isDirectory());
    ASSERT_TRUE(statPath("/", r));
    EXPECT_EQ(r.name, QByteArray("/"));
    EXPECT_EQ(r.attr & faDirectory, quint32(faDirectory));
    tree.file("a/.dot", 1);
    ASSERT_TRUE(statPath(tree.path("a/.dot"), r));
    EXPECT_EQ(r.attr, quint32(faHidden));
}

// ---- packing file times ----------------------------------------------------------

// Packs a Unix time straight through localtime_r, the reference for the
// cached packing.
quint32 referencePack(qint64 t) {
    const time_t tt = time_t(t);
    tm lt{};
    if (!localtime_r(&tt, &lt))
        return 0;
    const int year = lt.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return 0;
    return (quint32(year - 1980) << 25) | (quint32(lt.tm_mon + 1) << 21) |
           (quint32(lt.tm_mday) << 16) | (quint32(lt.tm_hour) << 11) | (quint32(lt.tm_min) << 5) |
           quint32(lt.tm_sec / 2);
}

// Switches the process to a time zone for one test and back to UTC after.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone) {
        qputenv("TZ", zone);
        localTimeZoneChanged();
    }
    ~ZoneGuard() {
        qputenv("TZ", "UTC");
        localTimeZoneChanged();
    }
};

long offsetAt(qint64 t) {
    const time_t tt = time_t(t);
    tm lt{};
    localtime_r(&tt, &lt);
    return lt.tm_gmtoff;
}

// Every instant at which the zone's offset changes between 1980 and 2040.
QList<qint64> transitions() {
    QList<qint64> out;
    const qint64 from = 315532800 - 86400;  // the last day of 1979
    const qint64 to = 2208988800;           // 2040
    long previous = offsetAt(from);
    for (qint64 t = from + 3600; t < to; t += 3600) {
        const long now = offsetAt(t);
        if (now == previous)
            continue;
        qint64 lo = t - 3600;
        qint64 hi = t;  // offset(lo) == previous, offset(hi) != previous
        while (hi - lo > 1) {
            const qint64 mid = lo + (hi - lo) / 2;
            (offsetAt(mid) == previous ? lo : hi) = mid;
        }
        out.append(hi);
        previous = now;
    }
    return out;
}

struct ZoneRow {
    const char* zone;
    int minimumTransitions;  // proves that the zone's data was loaded
};

class PackZoneTest : public ::testing::TestWithParam<ZoneRow> {};

TEST_P(PackZoneTest, MatchesLocaltimeAroundEveryTransitionAndAtRandomInstants) {
    const char* zone = GetParam().zone;
    if (QByteArray(zone) != "UTC" &&
        !QFile::exists(QStringLiteral("/usr/share/zoneinfo/") + QString::fromLatin1(zone)))
        GTEST_SKIP() << "time-zone data for " << zone << " is not installed";
    ZoneGuard guard(zone);
    const QList<qint64> changes = transitions();
    EXPECT_GE(changes.size(), GetParam().minimumTransitions);
    int checked = 0;
    for (qint64 t0 : changes) {
        // Every second from 16 minutes before to 16 minutes after, so that
        // every 15-minute slice touching the transition is crossed.
        for (qint64 t = t0 - 960; t <= t0 + 960; ++t) {
            ASSERT_EQ(packUnixTime(t), referencePack(t)) << zone << " at " << t;
            ++checked;
        }
    }
    // Instants spread over the whole packable range and beyond it.
    quint64 state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 200000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const qint64 t = qint64(state >> 31) % (qint64(1) << 33);
        ASSERT_EQ(packUnixTime(t), referencePack(t)) << zone << " at " << t;
        ++checked;
    }
    EXPECT_GE(checked, 200000);
}

// Lord Howe Island moves its clocks by 30 minutes, Kathmandu sits at +5:45,
// and St. John's changed its clocks at one minute past midnight until 2011.
INSTANTIATE_TEST_SUITE_P(Zones, PackZoneTest,
                         ::testing::Values(ZoneRow{"UTC", 0}, ZoneRow{"Europe/Berlin", 100},
                                           ZoneRow{"Australia/Lord_Howe", 100},
                                           ZoneRow{"Asia/Kathmandu", 1},
                                           ZoneRow{"America/St_Johns", 100}),
                         [](const ::testing::TestParamInfo<ZoneRow>& row) {
                             std::string name(row.param.zone);
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

// The instant of a local time in the current zone.
qint64 localInstant(int year, int month, int day, int hour, int minute, int second) {
    tm lt{};
    lt.tm_year = year - 1900;
    lt.tm_mon = month - 1;
    lt.tm_mday = day;
    lt.tm_hour = hour;
    lt.tm_min = minute;
    lt.tm_sec = second;
    lt.tm_isdst = -1;
    return qint64(mktime(&lt));
}

class PackRangeTest : public ::testing::TestWithParam<const char*> {};

TEST_P(PackRangeTest, YearsBefore1980AndAfter2107PackToZero) {
    if (!QFile::exists(QStringLiteral("/usr/share/zoneinfo/") + QString::fromLatin1(GetParam())))
        GTEST_SKIP() << "time-zone data is not installed";
    ZoneGuard guard(GetParam());
    const qint64 first = localInstant(1980, 1, 1, 0, 0, 0);
    EXPECT_EQ(packUnixTime(first - 1), 0u);
    EXPECT_EQ(packUnixTime(first), (1u << 21) | (1u << 16));
    const qint64 last = localInstant(2107, 12, 31, 23, 59, 59);
    EXPECT_EQ(packUnixTime(last),
              (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u);
    EXPECT_EQ(packUnixTime(last + 1), 0u);
    EXPECT_EQ(packUnixTime(-1), 0u);
    EXPECT_EQ(packUnixTime(std::numeric_limits<qint64>::max()), 0u);
    EXPECT_EQ(packUnixTime(std::numeric_limits<qint64>::min()), 0u);
    EXPECT_EQ(packFileTime(FileTime{}), 0u);
    EXPECT_EQ(packFileTime(FileTime{first, 0, true}), (1u << 21) | (1u << 16));
}

INSTANTIATE_TEST_SUITE_P(Zones, PackRangeTest,
                         ::testing::Values("UTC", "Asia/Kathmandu", "America/St_Johns"),
                         [](const ::testing::TestParamInfo<const char*>& row) {
                             std::string name(row.param);
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST(PackZone, AChangeOfZoneIsSeenAfterLocalTimeZoneChanged) {
    if (!QFile::exists(QStringLiteral("/usr/share/zoneinfo/Asia/Kathmandu")))
        GTEST_SKIP() << "time-zone data is not installed";
    const qint64 t = 1718200000;  // 2024-06-12 13:46:40 UTC
    const quint32 utc = packUnixTime(t);
    {
        ZoneGuard kathmandu("Asia/Kathmandu");
        EXPECT_EQ(packUnixTime(t), referencePack(t));
        EXPECT_NE(packUnixTime(t), utc);
    }
    EXPECT_EQ(packUnixTime(t), utc);
}

// ---- drives: geometry, readiness, mount points ------------------------------------

TEST(DiskGeometry, FromStatvfs) {
    test::TempTree tree;
    struct statvfs vfs;
    ASSERT_EQ(::statvfs(tree.root().constData(), &vfs), 0);
    const auto g = diskGeometry(tree.root());
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(g->clusterSize, qint64(vfs.f_frsize));
    EXPECT_EQ(g->totalClusters, qint64(vfs.f_blocks));
    EXPECT_GT(g->clusterSize, 0);
    EXPECT_GE(g->totalBytes(), g->freeBytes());
    EXPECT_EQ(g->totalBytes(), g->clusterSize * g->totalClusters);
    EXPECT_TRUE(driveReady(tree.root()));
    EXPECT_FALSE(diskGeometry(tree.path("no/such/folder")).has_value());
    EXPECT_FALSE(driveReady(tree.path("no/such/folder")));
}

TEST(MountPoint, RootAndMountedFileSystemsOnly) {
    test::TempTree tree;
    tree.mkdir("sub");
    tree.symlink("toRoot", "/");
    EXPECT_TRUE(isMountPoint("/"));
    EXPECT_TRUE(isMountPoint("//"));
    EXPECT_FALSE(isMountPoint(tree.path("sub")));
    EXPECT_FALSE(isMountPoint(tree.path("toRoot")));
    EXPECT_FALSE(isMountPoint(tree.path("missing")));
    if (QFile::exists(QStringLiteral("/proc/self"))) {
        EXPECT_TRUE(isMountPoint("/proc"));
    }
}

// ---- MIME types -------------------------------------------------------------------

TEST(MimeTypes, DescriptionOfAnExtension) {
    const QString plain = QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment();
    ASSERT_FALSE(plain.isEmpty());
    EXPECT_EQ(mimeDescriptionForExtension(QStringLiteral(".txt")), plain);
    EXPECT_EQ(mimeDescriptionForExtension(QStringLiteral(".TXT")), plain);
    EXPECT_EQ(mimeDescriptionForExtension(QStringLiteral(".qqq")), QString());
    EXPECT_EQ(mimeDescriptionForExtension(QStringLiteral("txt")), QString());
    EXPECT_EQ(mimeDescriptionForExtension(QStringLiteral(".")), QString());
    EXPECT_EQ(mimeDescriptionForExtension(QString()), QString());
}

TEST(MimeTypes, CatalogueRules) {
    const QStringList catalogue = mimeExtensionCatalogue();
    ASSERT_GT(catalogue.size(), 100) << "no MIME database";
    QSet<QString> seen;
    for (const QString& entry : catalogue) {
        EXPECT_TRUE(entry.startsWith(QStringLiteral("*."))) << entry.toStdString();
        const QString ext = entry.mid(1);
        EXPECT_GE(ext.size(), 2) << entry.toStdString();
        EXPECT_LE(ext.size(), 5) << entry.toStdString();
        for (QChar c : ext.mid(1))
            EXPECT_FALSE(c == u'*' || c == u'?' || c == u'[' || c == u'.') << entry.toStdString();
        EXPECT_EQ(entry, entry.toLower());
        EXPECT_FALSE(seen.contains(entry)) << "duplicate " << entry.toStdString();
        seen.insert(entry);
    }
    for (qsizetype i = 1; i < catalogue.size(); ++i)
        EXPECT_LE(QString::compare(catalogue[i - 1], catalogue[i], Qt::CaseInsensitive), 0);
    EXPECT_TRUE(seen.contains(QStringLiteral("*.txt")));
    EXPECT_TRUE(seen.contains(QStringLiteral("*.html")));  // five characters with the dot
    EXPECT_FALSE(seen.contains(QStringLiteral("*.tar.gz")));
    EXPECT_FALSE(seen.contains(QStringLiteral("*.torrent")));  // longer than five
}

}  // namespace
}  // namespace vantrel
