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
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>

namespace vantrel {
namespace {

TEST(MountTable, RealFileSystemsOnceEachWithEscapesUndone) {
    const QByteArray table =
        "proc /proc proc rw,nosuid 0 0\n"
        "sysfs /sys sysfs rw 0 0\n"
        "/dev/sda1 / ext4 rw,relatime 0 0\n"
        "devtmpfs /dev devtmpfs rw 0 0\n"
        "tmpfs /sys/fs/cgroup tmpfs rw 0 0\n"
        "tmpfs /proc/acpi tmpfs ro 0 0\n"
        "/dev/sdc1 /mnt/usb vfat rw 0 0\n"
        "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
        "server:/export /mnt/nfs nfs4 rw 0 0\n"
        "/dev/sdd1 /mnt/usb/ exfat rw 0 0\n"  // mounted over: listed once, last type
        "tmpfs /dev/shm tmpfs rw 0 0\n"
        "/dev/sdb1 /media/My\\040Disk\\040 vfat rw 0 0\n"
        "/dev/sdb2 /media/t\\011n\\012b\\134 ext4 rw 0 0\n"
        "/dev/sdb3 /media/not\\09octal\\04 ext4 rw 0 0\n"
        "\ngarbage\ntwo fields\nnone relative ext4 rw 0 0\n"
        "   /dev/sda2    /data   xfs   rw 0 0   \n"
        "/dev/sda3 /nofinal ext4 rw 0 0";
    // Sorted by path; /dev/shm is no place for a user's files.
    const QList<DriveEntry> expected = {{"/", "ext4"},
                                        {"/data", "xfs"},
                                        {"/media/My Disk ", "vfat"},
                                        {"/media/not\\09octal\\04", "ext4"},
                                        {"/media/t\tn\nb\\", "ext4"},
                                        {"/mnt/nfs", "nfs4"},
                                        {"/mnt/usb", "exfat"},
                                        {"/nofinal", "ext4"}};
    EXPECT_EQ(parseMountTable(table), expected);
}

// What a desktop's table holds besides the user's file systems: runtime
// folders, other users' private mounts, a real disk mounted over by a
// kernel interface. The order of the table does not matter.
TEST(MountTable, OnlyPlacesWhereUsersKeepFilesInPathOrder) {
    QByteArrayList lines = {
        "/dev/nvme0n1p2 / ext4 rw 0 0",
        "tmpfs /run tmpfs rw 0 0",
        "tmpfs /run/lock tmpfs rw 0 0",
        "tmpfs /run/user/1000 tmpfs rw 0 0",
        "tmpfs /run/user/1001 tmpfs rw 0 0",
        "gvfsd-fuse /run/user/1000/gvfs fuse.gvfsd-fuse rw 0 0",
        "/dev/sdb1 /run/media/ann/USB\\040STICK vfat rw 0 0",
        "tmpfs /run/media/ann/scratch tmpfs rw 0 0",
        "/dev/sdc1 /run/credentials ext4 ro 0 0",
        "tmpfs /dev/shm tmpfs rw 0 0",
        "/dev/sdd1 /dev/odd ext4 rw 0 0",
        "/dev/nvme0n1p1 /boot/efi vfat rw 0 0",
        "/dev/nvme0n1p3 /home ext4 rw 0 0",
        "tmpfs /tmp tmpfs rw 0 0",
        "/dev/sde1 /mnt/shadowed ext4 rw 0 0",
        "proc /mnt/shadowed proc rw 0 0",
        "/dev/sdf1 /srv/data xfs rw 0 0",
        "/dev/sdf1 /srv/data xfs rw 0 0"};
    const QList<DriveEntry> expected = {{"/", "ext4"},
                                        {"/boot/efi", "vfat"},
                                        {"/home", "ext4"},
                                        {"/run/media/ann/USB STICK", "vfat"},
                                        {"/srv/data", "xfs"},
                                        {"/tmp", "tmpfs"}};
    EXPECT_EQ(parseMountTable(lines.join('\n')), expected);
    // Mounted in another order (the shadowing pair aside), listed the same.
    lines.removeAll("/dev/sde1 /mnt/shadowed ext4 rw 0 0");
    lines.removeAll("proc /mnt/shadowed proc rw 0 0");
    std::reverse(lines.begin(), lines.end());
    EXPECT_EQ(parseMountTable(lines.join('\n')), expected);
    EXPECT_EQ(mountPointsOf("a /x t 0 0\nb /y\\040z u 0 0\nc /x v 0 0\n"),
              (QByteArrayList{"/x", "/y z"}));
}

// A mount the user cannot enter (another user's private one) is left out;
// the home folder comes last, once.
TEST(Drives, DrivesOfLeaveOutWhatTheUserCannotEnterAndEndWithHome) {
    const QByteArray table =
        "/dev/sda1 / ext4 rw 0 0\n/dev/sda2 /home ext4 rw 0 0\n"
        "/dev/sdb1 /media/bob/private ext4 rw 0 0\n/dev/sdc1 /media/ann/usb vfat rw 0 0\n";
    const auto canEnter = [](const QByteArray& path) { return !path.startsWith("/media/bob"); };
    EXPECT_EQ(drivesOf(table, "/home/ann/", canEnter),
              (QList<DriveEntry>{{"/", "ext4"},
                                 {"/home", "ext4"},
                                 {"/media/ann/usb", "vfat"},
                                 {"/home/ann", "folder"}}));
    EXPECT_EQ(drivesOf(table, "/home", canEnter).size(), 3);  // a home that is a mount point

    test::TempTree tree;
    tree.mkdir("open/inner");
    tree.mkdir("closed/inner");
    tree.chmod("closed", 0700);
    test::PermissionChecks checks;
    EXPECT_TRUE(canEnterFolder(tree.path("open/inner")));
    EXPECT_FALSE(canEnterFolder(tree.path("missing")));
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced here";
    tree.chmod("closed", 0000);
    EXPECT_FALSE(canEnterFolder(tree.path("closed")));
    EXPECT_FALSE(canEnterFolder(tree.path("closed/inner")));
    tree.chmod("closed", 0700);
}

TEST(Drives, TextClosestRootAndOverride) {
    const DriveEntry home{"/home", QStringLiteral("ext4")};
    EXPECT_EQ(home.text(), QStringLiteral("/home  [ext4]"));
    EXPECT_EQ(rootOfDriveText(home.text()), QByteArray("/home"));
    EXPECT_EQ(rootOfDriveText(QStringLiteral("/media/a  [b]  [vfat]")), "/media/a  [b]");

    const QList<DriveEntry> drives = {
        {"/", "ext4"}, {"/home", "ext4"}, {"/home/ann", "folder"}, {"/media/usb", "vfat"}};
    const std::pair<const char*, int> rows[] = {
        {"/usr/lib", 0},   {"/home/", 1}, {"/home/bob/x", 1},     {"/home/ann/docs", 2},
        {"/home/anna", 1}, {"/homer", 0}, {"/media/usb/DCIM", 3}, {"relative", -1}};
    for (const auto& [folder, index] : rows)
        EXPECT_EQ(closestDriveIndex(drives, folder), index) << folder;
    EXPECT_EQ(closestDriveIndex({{"/home", "ext4"}}, "/usr"), -1);

    setDriveListOverride(drives);
    EXPECT_EQ(systemDrives(), drives);
    setDriveListOverride(std::nullopt);
    EXPECT_NE(systemDrives(), drives);
}

TEST(Drives, RealListHasNoKernelInterfacesAndEndsWithHome) {
    const QList<DriveEntry> drives = systemDrives();
    ASSERT_FALSE(drives.isEmpty());
    for (const DriveEntry& d : drives) {
        EXPECT_FALSE(d.root.startsWith("/proc") || d.root.startsWith("/sys/") || d.root == "/sys")
            << d.root.constData();
        EXPECT_TRUE(d.root.startsWith('/'));
    }
    // The test home lies inside the build tree, on no mount point of its own.
    EXPECT_EQ(drives.last(), (DriveEntry{QFile::encodeName(QDir::homePath()), "folder"}));
}

TEST(Drives, ReadinessAndMountPoints) {
    test::TempTree tree;
    tree.symlink("toRoot", "/");
    EXPECT_TRUE(driveReady(tree.root()) && diskGeometry(tree.root()).has_value());
    EXPECT_FALSE(diskGeometry(tree.path("no/such")).has_value() ||
                 driveReady(tree.path("no/such")));
    EXPECT_TRUE(isMountPoint("/") && isMountPoint("//"));
    EXPECT_FALSE(isMountPoint(tree.root()) || isMountPoint(tree.path("toRoot")) ||
                 isMountPoint(tree.path("missing")));
}

class StatEntryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GE(dirfd, 0); }
    void TearDown() override { ::close(dirfd); }
    test::TempTree tree;
    const int dirfd = ::open(tree.root().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
};

TEST_F(StatEntryTest, KindsOfEntriesNamesThatAreNotUtf8AndLargeSizes) {
    tree.mkdir("a/folder");
    tree.fileWith("caf\xe9-\xff.txt", "hello");
    for (const char* name : {".hidden", "readonly", "..."})
        tree.file(name, 1);
    tree.chmod("readonly", 0466);  // others may write, the owner may not
    tree.symlink("link", "a/folder");
    tree.symlink("dangling", "nowhere");
    tree.fifo("pipe");
    const std::pair<const char*, quint32> rows[] = {
        {"caf\xe9-\xff.txt", 0},  {"a", faDirectory},      {".hidden", faHidden},
        {"readonly", faReadOnly}, {"...", faHidden},       {"..", faDirectory},
        {"link", faSysFile},      {"dangling", faSysFile}, {"pipe", faSysFile}};
    for (const auto& [name, attr] : rows) {
        FileRecord r;
        ASSERT_TRUE(statEntry(dirfd, name, r)) << name;
        EXPECT_EQ(r.attr, attr) << name;
        EXPECT_EQ(r.name, QByteArray(name));
    }
    // A symbolic link is described, not followed: its size is its target's length.
    FileRecord r;
    ASSERT_TRUE(statEntry(dirfd, "link", r));
    EXPECT_EQ(r.size, qint64(strlen("a/folder")));
    EXPECT_TRUE(entryExists(tree.path("dangling")) && !entryExists(tree.path("missing")));
    EXPECT_FALSE(statEntry(dirfd, "missing", r));
    // statPath names the last component.
    ASSERT_TRUE(statPath(tree.path("a/folder/"), r));
    EXPECT_EQ(r.name, QByteArray("folder"));
    EXPECT_TRUE(r.isDirectory());
    ASSERT_TRUE(statPath("/", r));
    EXPECT_EQ(r.name, QByteArray("/"));
    // Sizes are 64-bit: a sparse file of 5 GiB.
    if (::truncate(tree.file("big.img", 0).constData(), off_t(5) << 30) != 0)
        GTEST_SKIP() << "the file system cannot hold a sparse 5 GiB file";
    ASSERT_TRUE(statEntry(dirfd, "big.img", r));
    EXPECT_EQ(r.size, qint64(5) << 30);
    EXPECT_LT(r.allocated, qint64(1) << 20);
    EXPECT_TRUE(r.isRegular());
}

TEST_F(StatEntryTest, TimesArePackedInLocalTime) {
    tree.file("dated", 10);
    tree.setTimes("dated", QDateTime(QDate(2019, 3, 4), QTime(5, 6, 8), Qt::UTC),
                  QDateTime(QDate(2020, 7, 8), QTime(22, 33, 44), Qt::UTC));
    FileRecord r;
    ASSERT_TRUE(statEntry(dirfd, "dated", r));
    // The tests run in UTC.
    EXPECT_EQ(r.writeTime.sec, 1551675968);
    EXPECT_EQ(r.packedWriteTime(),
              (39u << 25) | (3u << 21) | (4u << 16) | (5u << 11) | (6u << 5) | 4u);
    EXPECT_EQ(r.packedAccessTime(),
              (40u << 25) | (7u << 21) | (8u << 16) | (22u << 11) | (33u << 5) | 22u);
    // The birth time is recorded only when the file system keeps it.
    struct statx sx;
    ASSERT_EQ(::statx(dirfd, "dated", AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx), 0);
    EXPECT_EQ(r.creationTime.recorded, bool(sx.stx_mask & STATX_BTIME));
    EXPECT_TRUE(r.creationTime.recorded || r.packedCreationTime() == 0);
}

// ---- packing file times in every zone ----------------------------------------------

tm localAt(qint64 t) {
    const time_t tt = time_t(t);
    tm lt{};  // stays year 1900, out of the packable range, if localtime_r fails
    localtime_r(&tt, &lt);
    return lt;
}

// Packs a Unix time straight through localtime_r, the reference for the
// cached packing.
quint32 referencePack(qint64 t) {
    const tm lt = localAt(t);
    if (lt.tm_year < 80 || lt.tm_year > 207)
        return 0;
    return (quint32(lt.tm_year - 80) << 25) | (quint32(lt.tm_mon + 1) << 21) |
           (quint32(lt.tm_mday) << 16) | (quint32(lt.tm_hour) << 11) | (quint32(lt.tm_min) << 5) |
           quint32(lt.tm_sec / 2);
}

// Switches the process to a time zone for one test and back to UTC after.
struct ZoneGuard {
    explicit ZoneGuard(const char* zone) {
        qputenv("TZ", zone);
        localTimeZoneChanged();
    }
    ~ZoneGuard() {
        qputenv("TZ", "UTC");
        localTimeZoneChanged();
    }
};

class PackZoneTest : public ::testing::TestWithParam<std::pair<const char*, int>> {};

// Lord Howe Island moves its clocks by 30 minutes, Kathmandu sits at +5:45,
// and St. John's changed its clocks at one minute past midnight until 2011.
// The zones run one after the other in one process, so packing that kept
// the previous zone after localTimeZoneChanged() fails here too.
TEST_P(PackZoneTest, MatchesLocaltimeAroundEveryTransitionAndAtRandomInstants) {
    const auto [zone, minimumTransitions] = GetParam();
    if (!QFile::exists(QStringLiteral("/usr/share/zoneinfo/") + QString::fromLatin1(zone)))
        GTEST_SKIP() << "time-zone data for " << zone << " is not installed";
    ZoneGuard guard(zone);
    int transitions = 0;
    long previous = localAt(315532800 - 86400).tm_gmtoff;
    for (qint64 t = 315532800 - 86400 + 3600; t < 2208988800; t += 3600) {  // 1980 to 2040
        if (localAt(t).tm_gmtoff == previous)
            continue;
        ++transitions;
        previous = localAt(t).tm_gmtoff;
        // Every second around the change, so that every 15-minute slice that
        // touches it is crossed.
        for (qint64 s = t - 3600 - 960; s <= t + 960; ++s)
            ASSERT_EQ(packUnixTime(s), referencePack(s)) << zone << " at " << s;
    }
    EXPECT_GE(transitions, minimumTransitions);
    // Instants spread over the whole packable range and beyond it.
    quint64 state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 200000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const qint64 t = qint64(state >> 31) % (qint64(1) << 33);
        ASSERT_EQ(packUnixTime(t), referencePack(t)) << zone << " at " << t;
    }
    // The edges of the range, 1980 and 2107 in local time, fall on whole minutes
    // within 14 hours of those instants in UTC.
    for (const qint64 edge : {qint64(315532800), qint64(4354819200)}) {
        for (qint64 t = edge - 50400; t <= edge + 50400; t += 60)
            for (const qint64 s : {t - 1, t})
                ASSERT_EQ(packUnixTime(s), referencePack(s)) << zone << " at " << s;
    }
    EXPECT_EQ(packUnixTime(std::numeric_limits<qint64>::min()), 0u);
    EXPECT_EQ(packUnixTime(std::numeric_limits<qint64>::max()), 0u);
    EXPECT_EQ(packFileTime(FileTime{}), 0u);
    EXPECT_EQ(packFileTime(FileTime{1718200000, 0, true}), packUnixTime(1718200000));
}

INSTANTIATE_TEST_SUITE_P(Zones, PackZoneTest,
                         ::testing::Values(std::pair{"UTC", 0}, std::pair{"Europe/Berlin", 100},
                                           std::pair{"Australia/Lord_Howe", 100},
                                           std::pair{"Asia/Kathmandu", 1},
                                           std::pair{"America/St_Johns", 100}));

// ---- MIME types -------------------------------------------------------------------

TEST(MimeTypes, DescriptionsWithoutRegardToCaseAndTheCatalogue) {
    const QString plain = QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment();
    ASSERT_FALSE(plain.isEmpty()) << "no MIME database";
    EXPECT_EQ(mimeDescriptionForExtension(QStringLiteral(".TXT")), plain);
    EXPECT_EQ(mimeDescriptionForExtension(QStringLiteral(".txt")), plain);
    for (const char* ext : {".qqq", "txt", ".", ""})
        EXPECT_EQ(mimeDescriptionForExtension(QString::fromLatin1(ext)), QString()) << ext;

    // "*." and one to four characters, lower case, sorted, each once.
    const QStringList catalogue = mimeExtensionCatalogue();
    ASSERT_GT(catalogue.size(), 100);
    const QRegularExpression form(QStringLiteral("^\\*\\.[^*?\\[.A-Z]{1,4}$"));
    for (const QString& entry : catalogue)
        EXPECT_TRUE(form.match(entry).hasMatch()) << entry.toStdString();
    for (qsizetype i = 1; i < catalogue.size(); ++i)
        EXPECT_LT(QString::compare(catalogue[i - 1], catalogue[i], Qt::CaseInsensitive), 0);
    EXPECT_TRUE(catalogue.contains(QStringLiteral("*.html")));
}

}  // namespace
}  // namespace vantrel
