// Engine tests of the statistics accumulator: the class boundaries, ages and
// hours from real 64-bit times, attributes, slack, the type table and the
// type choice, hard links, 64-bit totals and 100,000 extensions.
#include "stats/LocalCalendar.h"
#include "stats/StatsAccumulator.h"
#include "stats/TypeTableModel.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <sys/stat.h>
#include <time.h>

#include <cstdlib>

namespace vantrel {
namespace {

constexpr qint64 kDay = 86400;
constexpr qint64 kGiB = qint64(1) << 30;
// Saturday 15 June 2024, 12:00 UTC (the tests run with TZ=UTC).
const qint64 kNow = QDateTime(QDate(2024, 6, 15), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();

FileTime at(qint64 seconds) {
    return FileTime{seconds, 0, true};
}

FileRecord file(const QByteArray& name, qint64 size, qint64 modified = kNow) {
    FileRecord r;
    r.name = name;
    r.size = size;
    r.mode = S_IFREG | 0644;
    r.attr = attributesFor(r.mode, name.constData(), name.size());
    r.writeTime = at(modified);
    r.accessTime = at(modified);
    r.creationTime = at(modified);
    r.links = 1;
    r.allocated = (size + 4095) / 4096 * 4096;
    static quint64 inode = 1000;
    r.inode = ++inode;
    r.device = 7;
    return r;
}

StatsAccumulator started(const TypeSelection& selection = TypeSelection()) {
    StatsAccumulator a;
    a.start(selection, kNow);
    return a;
}

TEST(StatsClasses, SizeClassBoundsAreInclusive) {
    const struct {
        qint64 size;
        int sizeClass;
    } cases[] = {{-1, 0},        {0, 0},         {16384, 0},           {16385, 1},
                 {32768, 1},     {65537, 3},     {1048576, 6},         {16777216, 10},
                 {16777217, 11}, {5 * kGiB, 11}, {qint64(1) << 62, 11}};
    for (const auto& c : cases)
        EXPECT_EQ(sizeClassOf(c.size), c.sizeClass) << c.size;
    EXPECT_EQ(sizeClassLabel(0), "0 - 16K");
    EXPECT_EQ(sizeClassLabel(11), "Over 16MB");
}

TEST(StatsAccumulator, AgeClassesComeFromTheRealTimes) {
    // Days back (or ahead), and the class the modification time falls in.
    const struct {
        qint64 seconds;
        int ageClass;
    } cases[] = {
        {kNow, 1},
        {kNow - 7 * kDay, 1},
        {kNow - 8 * kDay, 2},
        {kNow - 30 * kDay, 2},
        {kNow - 31 * kDay, 3},
        {kNow - 365 * kDay, 5},
        {kNow - 366 * kDay, 6},
        {kNow - 1460 * kDay, 8},
        {kNow - 1461 * kDay, 9},
        {kNow + 10 * kDay, 2},  // a future date counts by its distance
        {0, 9},                 // 1 January 1970
        {QDateTime(QDate(2200, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch(), 9},
        {QDateTime(QDate(1901, 3, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch(), 9},
    };
    for (const auto& c : cases) {
        StatsAccumulator a = started();
        a.add(file("a.txt", 1, c.seconds));
        const auto& modified = a.totals().ageCount[std::size_t(AgeKind::Modified)];
        EXPECT_EQ(modified[std::size_t(c.ageClass)], 1) << c.seconds;
        EXPECT_EQ(a.totals().ageBytes[std::size_t(AgeKind::Modified)][std::size_t(c.ageClass)], 1);
    }
}

TEST(StatsAccumulator, ATimeNotRecordedIsNotRecordedAndHasNoHour) {
    // A file system without birth times.
    StatsAccumulator a = started();
    FileRecord r = file("a.txt", 100, kNow - 40 * kDay);
    r.creationTime = FileTime{};
    a.add(r);
    const StatsTotals& t = a.totals();
    EXPECT_EQ(t.ageCount[std::size_t(AgeKind::Created)][kAgeNotRecorded], 1);
    EXPECT_EQ(t.ageBytes[std::size_t(AgeKind::Created)][kAgeNotRecorded], 100);
    EXPECT_EQ(t.ageCount[std::size_t(AgeKind::Modified)][3], 1);
    EXPECT_EQ(t.ageCount[std::size_t(AgeKind::Accessed)][3], 1);
    qint64 createdHours = 0;
    for (qint64 n : t.hourCount[std::size_t(HourKind::Created)])
        createdHours += n;
    EXPECT_EQ(createdHours, 0);
    EXPECT_EQ(t.hourCount[std::size_t(HourKind::Modified)][12], 1);
}

TEST(StatsAccumulator, HoursWeekdaysAndTheSizeByAgeTable) {
    StatsAccumulator a = started();
    // Monday 10 June 2024 13:30 UTC, 5 days back; Sunday 16 June 00:10, ahead.
    const qint64 monday = QDateTime(QDate(2024, 6, 10), QTime(13, 30), Qt::UTC).toSecsSinceEpoch();
    const qint64 sunday = QDateTime(QDate(2024, 6, 16), QTime(0, 10), Qt::UTC).toSecsSinceEpoch();
    a.add(file("a.txt", 20000, monday));
    a.add(file("b.txt", 30000000, sunday));
    FileRecord c = file("c.txt", 5, monday);
    c.creationTime = at(sunday);
    a.add(c);
    const StatsTotals& t = a.totals();
    EXPECT_EQ(t.hourCount[std::size_t(HourKind::Modified)][13], 2);
    EXPECT_EQ(t.hourCount[std::size_t(HourKind::Modified)][0], 1);
    EXPECT_EQ(t.hourCount[std::size_t(HourKind::Created)][13], 1);
    EXPECT_EQ(t.hourCount[std::size_t(HourKind::Created)][0], 2);
    EXPECT_EQ(t.activityCount[0][13], 2);
    EXPECT_EQ(t.activityBytes[0][13], 20005);
    EXPECT_EQ(t.activityCount[6][0], 1);
    EXPECT_EQ(t.activityBytes[6][0], 30000000);
    EXPECT_EQ(t.sizeAgeCount[1][1], 1);  // 16K - 32K, <= 7 days
    EXPECT_EQ(t.sizeAgeBytes[11][1], 30000000);
    EXPECT_EQ(t.sizeAgeCount[0][1], 1);
}

TEST(LocalCalendar, FollowsTheZoneAcrossASummerTimeChange) {
    const QByteArray oldZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    ::tzset();
    LocalCalendar calendar;
    // Summer time began on 31 March 2024 at 01:00 UTC; check every 7 minutes
    // for four hours around it against the C library, instant by instant.
    const qint64 change = QDateTime(QDate(2024, 3, 31), QTime(1, 0), Qt::UTC).toSecsSinceEpoch();
    for (qint64 s = change - 2 * 3600; s < change + 2 * 3600; s += 7 * 60 + 1) {
        const time_t t = time_t(s);
        tm local{};
        ASSERT_TRUE(localtime_r(&t, &local));
        const LocalMoment m = calendar.moment(s);
        EXPECT_EQ(m.hour, local.tm_hour) << s;
        EXPECT_EQ(m.weekday, (local.tm_wday + 6) % 7) << s;
    }
    qputenv("TZ", oldZone);
    ::tzset();
}

TEST(StatsAccumulator, Attributes) {
    StatsAccumulator a = started();
    FileRecord link = file(".hidden-link", 7);  // hidden and system
    link.mode = S_IFLNK | 0777;
    link.attr = attributesFor(link.mode, link.name.constData(), link.name.size());
    a.add(link);
    FileRecord readOnly = file("ro.txt", 11);
    readOnly.mode = S_IFREG | 0444;
    readOnly.attr = attributesFor(readOnly.mode, "ro.txt", 6);
    a.add(readOnly);
    a.add(file("plain.txt", 13));
    const StatsTotals& t = a.totals();
    const auto n = [&](StatsAttribute at) { return t.attrCount[std::size_t(at)]; };
    const auto b = [&](StatsAttribute at) { return t.attrBytes[std::size_t(at)]; };
    EXPECT_EQ(n(StatsAttribute::Hidden), 1);
    EXPECT_EQ(n(StatsAttribute::System), 1);
    EXPECT_EQ(b(StatsAttribute::System), 7);
    EXPECT_EQ(n(StatsAttribute::ReadOnly), 1);
    EXPECT_EQ(b(StatsAttribute::ReadOnly), 11);
    EXPECT_EQ(n(StatsAttribute::Archive), 0);
    EXPECT_EQ(t.filesFound, 3);
}

TEST(StatsAccumulator, SlackForEveryClusterSize) {
    const struct {
        qint64 size;
        std::array<qint64, 5> slack;
    } cases[] = {
        {0, {0, 0, 0, 0, 0}},
        {1, {4095, 8191, 16383, 32767, 65535}},
        {4096, {0, 4096, 12288, 28672, 61440}},
        {5 * kGiB + 1, {4095, 8191, 16383, 32767, 65535}},
    };
    for (const auto& c : cases) {
        StatsAccumulator a = started();
        a.add(file("f", c.size));
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(a.totals().slackBytes[i], c.slack[i]) << c.size << " " << kClusterSizes[i];
    }
}

TEST(StatsAccumulator, TotalsPastTwoGibibytesStay64Bit) {
    StatsAccumulator a = started();
    for (int i = 0; i < 3; ++i)
        a.add(file("part" + QByteArray::number(i) + ".dat", kGiB));
    a.add(file("disk.dat", 5 * kGiB));
    const StatsTotals& t = a.totals();
    EXPECT_EQ(t.types.value(".DAT"), (TypeTotals{4, 8 * kGiB}));
    EXPECT_EQ(t.sizeBytes[11], 8 * kGiB);
    EXPECT_EQ(t.totalBytes(), 8 * kGiB);
    EXPECT_EQ(t.ageBytes[std::size_t(AgeKind::Modified)][1], 8 * kGiB);
    EXPECT_EQ(t.allocatedBytes, 8 * kGiB);
}

TEST(StatsAccumulator, TheTypeTable) {
    StatsAccumulator a = started();
    for (const char* name :
         {"X.DOC", "y.doc", "README", "notes.", "page.html", "a.class", "archive.tar.gz",
          ".profile", "caf\xc3\xa9.\xc3\xa9t\xc3\xa9", "bad.\xff\x66"})
        a.add(file(name, 10));
    const auto& types = a.totals().types;
    EXPECT_EQ(types.value(".DOC").count, 2);
    EXPECT_EQ(types.value(QByteArray()).count, 2);  // README and "notes."
    EXPECT_EQ(types.value(".HTML").count, 1);
    EXPECT_FALSE(types.contains(".CLASS"));  // longer than 5 characters
    EXPECT_FALSE(types.contains(".PROFILE"));
    EXPECT_EQ(types.value(".GZ").count, 1);
    EXPECT_EQ(types.value(".\xc3\x89T\xc3\x89").count, 1);  // upper-cased as text
    EXPECT_EQ(types.value(".\xff\x46").count, 1);           // bytes kept, ASCII upper-cased
    EXPECT_EQ(types.size(), 6);
    // Files left out of the type table still count everywhere else.
    EXPECT_EQ(a.totals().filesFound, 10);
    EXPECT_EQ(a.totals().sizeCount[0], 10);
}

TEST(StatsAccumulator, TheTypeChoice) {
    const QStringList doc{"*.doc\tWord document"};
    const struct {
        const char* what;
        TypeSelection selection;
        QList<QByteArray> counted;
    } cases[] = {
        {"include", TypeSelection(TypeSelection::Mode::Include, doc), {"X.DOC", "y.doc"}},
        {"exclude", TypeSelection(TypeSelection::Mode::Exclude, doc), {"README", "a.txt", "b.do"}},
        {"include nothing", TypeSelection(TypeSelection::Mode::Include, {}), {}},
        {"no extension",
         TypeSelection(TypeSelection::Mode::Include, {"*.\tNo extension"}),
         {"README"}},
        {"all", TypeSelection(), {"X.DOC", "y.doc", "README", "a.txt", "b.do"}},
    };
    for (const auto& c : cases) {
        StatsAccumulator a = started(c.selection);
        QList<QByteArray> counted;
        for (const char* name : {"X.DOC", "y.doc", "README", "a.txt", "b.do"}) {
            const qint64 before = a.totals().filesFound;
            a.add(file(name, 1));
            if (a.totals().filesFound > before)
                counted.append(name);
        }
        EXPECT_EQ(counted, c.counted) << c.what;
        EXPECT_EQ(a.totals().filesProcessed, 5) << c.what;
    }
}

TEST(StatsAccumulator, IncludedTypesAreListedEvenWithoutFiles) {
    StatsAccumulator a = started(
        TypeSelection(TypeSelection::Mode::Include,
                      {"*.doc\tWord", "*.xyz\tXYZ File", "*.\tNo extension", "*.toolong\tlong"}));
    a.add(file("a.doc", 10));
    const auto& types = a.totals().types;
    EXPECT_EQ(types.value(".DOC"), (TypeTotals{1, 10}));
    EXPECT_TRUE(types.contains(".XYZ"));
    EXPECT_EQ(types.value(".XYZ"), TypeTotals{});
    EXPECT_TRUE(types.contains(QByteArray()));
    EXPECT_EQ(types.size(), 3);
}

TEST(StatsAccumulator, AHardLinkedFileCountsOnce) {
    StatsAccumulator a = started();
    FileRecord first = file("a.bin", 5000);
    first.links = 2;
    FileRecord second = first;
    second.name = "b.bin";
    a.add(first);
    a.add(second);
    // A file with one link is never looked up: an inode number reused by
    // another file system is no repeat.
    FileRecord single = file("c.bin", 10);
    FileRecord other = single;
    other.device = 8;
    a.add(single);
    a.add(other);
    const StatsTotals& t = a.totals();
    EXPECT_EQ(t.filesProcessed, 4);
    EXPECT_EQ(t.filesFound, 3);
    EXPECT_EQ(t.totalBytes(), 5020);
    EXPECT_EQ(t.types.value(".BIN").count, 3);
}

TEST(StatsAccumulator, FoldersArePassedOverAndStartClearsEverything) {
    StatsAccumulator a = started();
    FileRecord folder = file("dir.d", 4096);
    folder.mode = S_IFDIR | 0755;
    folder.attr = faDirectory;
    a.add(folder);
    EXPECT_EQ(a.totals(), StatsTotals{});
    a.add(file("x.txt", 3));
    EXPECT_NE(a.totals(), StatsTotals{});
    a.start(TypeSelection(), kNow);
    EXPECT_EQ(a.totals(), StatsTotals{});
}

TEST(StatsAccumulator, HundredThousandExtensions) {
    StatsAccumulator a = started();
    const QByteArray digits = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int i = 0; i < 100000; ++i) {
        QByteArray ext = ".";
        for (int n = i, d = 0; d < 4; ++d, n /= 36)
            ext.append(digits[n % 36]);
        a.add(file("f" + ext, i));
    }
    ASSERT_EQ(a.totals().types.size(), 100000);
    TypeTableModel model;
    int described = 0;
    model.setDescriber([&](const QString& pattern) {
        ++described;
        return pattern + QStringLiteral(" type");
    });
    model.setTypes(a.totals().types);
    ASSERT_EQ(model.rowCount(), 100000);
    EXPECT_EQ(described, 0);
    model.sortBy(TypeSort::Size);
    EXPECT_EQ(model.bytes(0), 99999);
    EXPECT_EQ(model.bytes(99999), 0);
    EXPECT_EQ(model.data(model.index(0, TypeTableModel::TypeColumn), Qt::DisplayRole).toString(),
              QString::fromLatin1(model.extensionKey(0)) + QStringLiteral(" type"));
    EXPECT_EQ(described, 1);
}

}  // namespace
}  // namespace vantrel
