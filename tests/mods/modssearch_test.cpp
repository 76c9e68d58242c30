// The files-by-date search on records and on real fixture trees: the rows it
// makes, their order, its capacity, the grid it fills and what it learns of
// a root's file system.

#include "mods/ModsSearch.h"
#include "mods/FieldDate.h"
#include "mods/RootTimes.h"
#include "results/GridSort.h"
#include "results/ResultGridModel.h"
#include "results/SortDirections.h"
#include "scan/Walker.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>

#include <sys/mount.h>

namespace vantrel {
namespace {

FileTime utc(int y, int m, int d, int hh = 12) {
    FileTime t;
    t.sec = QDateTime(QDate(y, m, d), QTime(hh, 0), Qt::UTC).toSecsSinceEpoch();
    t.recorded = true;
    return t;
}

FileRecord file(const QByteArray& name, qint64 size, FileTime accessed, FileTime created,
                FileTime modified) {
    FileRecord r;
    r.name = name;
    r.size = size;
    r.accessTime = accessed;
    r.creationTime = created;
    r.writeTime = modified;
    return r;
}

ModsSearchOptions options(DateField field, DateRangeMode mode, QDate start, QDate end = {}) {
    ModsSearchOptions o;
    o.field = field;
    o.range = DateRange(mode, start, end.isValid() ? end : start);
    return o;
}

// Walks roots with a search as the window does and returns its rows.
class Collect final : public WalkVisitor {
public:
    explicit Collect(ModsSearch& search) : m_search(search) {}
    void entry(const QByteArray& folder, const FileRecord& record) override {
        if (m_search.addFile(record, folder) == ModsSearch::Added::Full)
            full = true;
    }
    bool full = false;

private:
    ModsSearch& m_search;
};

TEST(ModsSearch, MakesTheRowOfAFileInRange) {
    ModsSearch search(
        options(DateField::LastModified, DateRangeMode::OnOrAfter, QDate(2025, 1, 1)));
    const FileRecord r =
        file("report.txt", 1234567, utc(2025, 6, 2), utc(1965, 3, 1), utc(2025, 5, 10));
    EXPECT_EQ(search.addFile(r, "/data/docs"), ModsSearch::Added::Kept);
    std::vector<GridRow> rows = search.takeRows();
    ASSERT_EQ(rows.size(), 1u);
    const GridRow& row = rows[0];
    EXPECT_EQ(row.cells, (QStringList{"report.txt", "6/2/2025", "3/1/1965", "5/10/2025",
                                      "1,234,567", "/data/docs", fileTypeDescription(".txt")}));
    EXPECT_EQ(row.path, "/data/docs/report.txt");
    ASSERT_EQ(row.values.size(), 4);
    EXPECT_EQ(row.values[0].column, 1);
    EXPECT_EQ(row.values[0].value, dateSortValue(QDate(2025, 6, 2)));
    // A creation in 1965 (which no packed date holds) has its true day.
    EXPECT_EQ(row.values[1].value, dateSortValue(QDate(1965, 3, 1)));
    EXPECT_GT(row.values[1].value, kNoDateSortValue);
    EXPECT_EQ(row.values[2].value, dateSortValue(QDate(2025, 5, 10)));
    EXPECT_EQ(row.values[3].column, 4);
    EXPECT_EQ(row.values[3].value, 1234567.0);
    EXPECT_EQ(search.found(), 1);
    EXPECT_TRUE(search.takeRows().empty());
}

TEST(ModsSearch, LeavesOutFilesOutOfRangeAndTimesNotRecorded) {
    const FileTime none;
    ModsSearch created(options(DateField::Created, DateRangeMode::OnOrBefore, QDate(2100, 1, 1)));
    // "Created on or before" must not take a file whose creation is unknown.
    EXPECT_EQ(created.addFile(file("a", 1, utc(2020, 1, 1), none, utc(2020, 1, 1)), "/x"),
              ModsSearch::Added::Skipped);
    EXPECT_EQ(created.addFile(file("b", 1, none, utc(2020, 1, 1), none), "/x"),
              ModsSearch::Added::Kept);
    std::vector<GridRow> rows = created.takeRows();
    ASSERT_EQ(rows.size(), 1u);
    // Times not recorded: empty cells that sort as no date.
    EXPECT_EQ(rows[0].cells[1], "");
    EXPECT_EQ(rows[0].cells[3], "");
    EXPECT_EQ(rows[0].values[0].value, kNoDateSortValue);

    ModsSearch accessed(options(DateField::LastAccessed, DateRangeMode::InBetween,
                                QDate(2020, 1, 1), QDate(2020, 12, 31)));
    EXPECT_EQ(
        accessed.addFile(file("c", 1, utc(2021, 1, 1), utc(2020, 5, 5), utc(2020, 5, 5)), "/x"),
        ModsSearch::Added::Skipped);
    // Folders and system entries are never rows, whatever their times.
    FileRecord folder = file("d", 1, utc(2020, 5, 5), utc(2020, 5, 5), utc(2020, 5, 5));
    folder.attr = faDirectory;
    EXPECT_EQ(accessed.addFile(folder, "/x"), ModsSearch::Added::Skipped);
    FileRecord fifo = folder;
    fifo.attr = faSysFile;
    EXPECT_EQ(accessed.addFile(fifo, "/x"), ModsSearch::Added::Skipped);
    EXPECT_EQ(accessed.found(), 0);
}

TEST(ModsSearch, KeepsExactPathsOfNamesThatAreNotText) {
    ModsSearch search(
        options(DateField::LastModified, DateRangeMode::OnOrAfter, QDate(2000, 1, 1)));
    const FileTime t = utc(2025, 5, 10);
    search.addFile(file("caf\xe9 .doc", 10, t, t, t), "/data/\xff");
    search.addFile(file("two\nlines\t.txt", 10, t, t, t), "/");
    const std::vector<GridRow> rows = search.takeRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].path, QByteArray("/data/\xff/caf\xe9 .doc"));
    EXPECT_EQ(rows[0].cells[0], QStringLiteral("caf\uFFFD .doc"));
    EXPECT_EQ(rows[0].cells[5], QStringLiteral("/data/\uFFFD"));
    EXPECT_EQ(rows[1].path, QByteArray("/two\nlines\t.txt"));
    EXPECT_EQ(rows[1].cells[0], QStringLiteral("two\uFFFDlines\uFFFD.txt"));
    EXPECT_EQ(rows[1].cells[5], "/");
}

// Each row takes three days from a cache that grows as new days come; the
// days taken first must survive the later insertions.
TEST(ModsSearch, RowsKeepTheirDaysWhileTheCacheGrows) {
    ModsSearch search(
        options(DateField::LastModified, DateRangeMode::OnOrBefore, QDate(9999, 1, 1)));
    const QDate first(1970, 1, 1);
    for (int i = 0; i < 3000; ++i) {
        const QDate a = first.addDays(3 * i), c = a.addDays(1), m = a.addDays(2);
        search.addFile(file("f", 1, utc(a.year(), a.month(), a.day()),
                            utc(c.year(), c.month(), c.day()), utc(m.year(), m.month(), m.day())),
                       "/x");
    }
    const std::vector<GridRow> rows = search.takeRows();
    ASSERT_EQ(rows.size(), 3000u);
    for (int i = 0; i < 3000; ++i) {
        const QDate a = first.addDays(3 * i);
        ASSERT_EQ(rows[size_t(i)].cells[1], fieldDateText(a)) << i;
        ASSERT_EQ(rows[size_t(i)].cells[2], fieldDateText(a.addDays(1))) << i;
        ASSERT_EQ(rows[size_t(i)].cells[3], fieldDateText(a.addDays(2))) << i;
        ASSERT_EQ(rows[size_t(i)].values[2].value, dateSortValue(a.addDays(2))) << i;
    }
}

TEST(ModsSearch, StopsAtItsCapacity) {
    const FileTime t = utc(2025, 5, 10);
    ModsSearchOptions o =
        options(DateField::LastModified, DateRangeMode::OnOrAfter, QDate(2000, 1, 1));
    o.capacity = 3;
    ModsSearch byCount(o);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(byCount.addFile(file("f" + QByteArray::number(i), 1, t, t, t), "/x"),
                  ModsSearch::Added::Kept);
    EXPECT_EQ(byCount.addFile(file("f3", 1, t, t, t), "/x"), ModsSearch::Added::Full);
    // Files out of range are no row and so never fill it.
    EXPECT_EQ(byCount.addFile(file("old", 1, t, t, utc(1990, 1, 1)), "/x"),
              ModsSearch::Added::Skipped);
    EXPECT_EQ(byCount.found(), 3);

    o.capacity = 1000;
    o.memoryCapacity = 1;  // the first row takes more than that
    ModsSearch byMemory(o);
    EXPECT_EQ(byMemory.addFile(file("a", 1, t, t, t), "/x"), ModsSearch::Added::Kept);
    EXPECT_EQ(byMemory.addFile(file("b", 1, t, t, t), "/x"), ModsSearch::Added::Full);
}

TEST(ModsSearch, RowsComeInWalkOrder) {
    test::TempTree tree;
    const QDateTime when(QDate(2025, 5, 10), QTime(12, 0), Qt::UTC);
    for (const QByteArray& f :
         {QByteArray("b.txt"), QByteArray("a.txt"), QByteArray("Top/x.txt"),
          QByteArray("Top/Mid/Low/deep.txt"), QByteArray("Top/Mid/m.txt"),
          QByteArray(".hidden/h.txt"), QByteArray(".dot.txt"), QByteArray("Top/old.txt")}) {
        tree.file(f, 5);
        tree.setTimes(f, f.endsWith("old.txt") ? when.addYears(-30) : when);
    }
    tree.symlink("link.txt", "a.txt");
    tree.fifo("pipe.txt");

    ModsSearch search(options(DateField::LastModified, DateRangeMode::InBetween, QDate(2025, 5, 10),
                              QDate(2025, 5, 10)));
    Collect collect(search);
    ScanControl control;
    WalkOptions walk;  // as the window: no hidden entries, no system entries
    ScanAllDrives({{tree.root(), "folder"}}, walk, collect, control);
    QList<QByteArray> paths;
    for (const GridRow& row : search.takeRows())
        paths.append(row.path.mid(tree.root().size() + 1));
    EXPECT_EQ(paths, (QList<QByteArray>{"Top/Mid/Low/deep.txt", "Top/Mid/m.txt", "Top/x.txt",
                                        "a.txt", "b.txt"}));
}

TEST(ModsSearch, FillsTheGridWithRowsThatSortByTrueDates) {
    ModsSearch search(
        options(DateField::LastModified, DateRangeMode::OnOrBefore, QDate(2200, 1, 1)));
    const FileTime none;
    search.addFile(file("new", 2000, utc(2025, 1, 1), none, utc(2025, 1, 1)), "/x");
    search.addFile(file("ancient", 30, utc(1965, 1, 1), none, utc(1965, 1, 1)), "/x");
    search.addFile(file("future", 1000, utc(2150, 1, 1), none, utc(2150, 1, 1)), "/x");
    ResultGridModel model(filesByDateLayout());
    SortDirections directions(model.gridLayout());
    model.setSortDirections(&directions);
    for (const GridRow& row : search.takeRows())
        model.addToGrid(row);
    ASSERT_EQ(model.rowCounter(), 3);

    const auto names = [&model] {
        QStringList out;
        for (int row = 1; row <= model.rowCounter(); ++row)
            out.append(model.cellText(row, 0));
        return out;
    };
    // "&Modification Date" sorts newest first at first.
    ASSERT_TRUE(model.sortByKey(3));
    EXPECT_EQ(names(), (QStringList{"future", "new", "ancient"}));
    ASSERT_TRUE(model.sortByKey(3));
    EXPECT_EQ(names(), (QStringList{"ancient", "new", "future"}));
    // "&Size" by number, smallest first at first.
    ASSERT_TRUE(model.sortByKey(4));
    EXPECT_EQ(names(), (QStringList{"ancient", "future", "new"}));
    EXPECT_EQ(model.clipboardText(),
              "ancient\t1/1/1965\t\t1/1/1965\t30\t\r\n"
              "future\t1/1/2150\t\t1/1/2150\t1,000\t\r\n"
              "new\t1/1/2025\t\t1/1/2025\t2,000\t");
}

TEST(ModsSearch, PrintTitles) {
    EXPECT_EQ(filesByDatePrintTitle(DateField::LastAccessed, DateRangeMode::InBetween, "5/1/2025",
                                    "5/30/2025"),
              "Files Last accessed between 5/1/2025 and 5/30/2025");
    EXPECT_EQ(filesByDatePrintTitle(DateField::Created, DateRangeMode::OnOrBefore, "1/2/2020", "x"),
              "Files Created before 1/2/2020");
    EXPECT_EQ(
        filesByDatePrintTitle(DateField::LastModified, DateRangeMode::OnOrAfter, "3/4/2021", "x"),
        "Files Modified after 3/4/2021");
}

// ---- What a root records ------------------------------------------------------------

TEST(RootTimes, AFileSystemWithoutBirthTimesIsTold) {
    FileRecord procRoot;
    if (!statPath("/proc", procRoot))
        GTEST_SKIP() << "no /proc";
    // procfs keeps no birth times.
    EXPECT_FALSE(rootTimesOf("/proc").birthTimes);
    EXPECT_EQ(noBirthTimeMessage("/mnt/nfs"), "/mnt/nfs does not record when files were created");
    // A root that cannot be looked at is left to the walk to report.
    EXPECT_TRUE(rootTimesOf("/no/such/root").birthTimes);
    EXPECT_FALSE(rootTimesOf("/no/such/root").noAtime);

    test::TempTree tree;
    FileRecord own;
    ASSERT_TRUE(statPath(tree.root(), own));
    EXPECT_EQ(rootTimesOf(tree.root()).birthTimes, own.creationTime.recorded);
}

TEST(RootTimes, AMountWithoutAccessTimesIsTold) {
    test::TempTree tree;
    const QByteArray point = tree.mkdir("mnt");
    EXPECT_EQ(noAtimeMessage("/mnt/data"),
              "/mnt/data is mounted noatime: opening a file there does not change its date of "
              "last access");
    const int result = test::inMountNamespace("noatime;atime", [&]() -> QByteArray {
        if (::mount("vantrel-test", point.constData(), "tmpfs", MS_NOATIME, "size=1m") != 0)
            return "SKIP";
        QByteArray out = rootTimesOf(point).noAtime ? "noatime" : "atime";
        ::umount(point.constData());
        if (::mount("vantrel-test", point.constData(), "tmpfs", 0, "size=1m") != 0)
            return "SKIP";
        out += rootTimesOf(point).noAtime ? ";noatime" : ";atime";
        return out;
    });
    if (result == 2)
        GTEST_SKIP() << "no private mount namespace or tmpfs here";
    EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace vantrel
