// Engine tests of the folder-hogs survey on real fixture trees, with `du`
// as the independent measure: both modes, hidden folders, hard links,
// sparse files of more than 4 GiB, fifos, names that are not UTF-8, a
// folder that cannot be read, a mount inside the tree, the row capacity and
// the texts of a row.
#include "dirhog/FolderHogGrid.h"
#include "dirhog/FolderSurvey.h"
#include "results/FolderProtection.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QByteArrayList>
#include <QMap>
#include <QProcess>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {
namespace {

constexpr qint64 kGiB = qint64(1) << 30;

// `du -b` with the given options over the given paths: path -> bytes, in
// the order du printed them.
QMap<QByteArray, qint64> du(const QStringList& options, const QList<QByteArray>& paths) {
    QProcess p;
    QStringList args = options;
    for (const QByteArray& path : paths)
        args.append(QFile::decodeName(path));
    p.start(QStringLiteral("du"), args);
    p.waitForFinished(60000);
    QMap<QByteArray, qint64> out;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab > 0)
            out.insert(line.mid(tab + 1), line.left(tab).toLongLong());
    }
    return out;
}

qint64 ownSize(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 ? qint64(st.st_size) : -1;
}

struct Survey {
    explicit Survey(SurveyMode mode, qsizetype capacity = 1000) {
        SurveyOptions o;
        o.mode = mode;
        o.capacity = capacity;
        o.capacityOf = [](const QByteArray&) { return std::optional<qint64>(100 * kGiB); };
        survey = std::make_unique<FolderSurvey>(o);
    }
    WalkReport run(const QByteArray& root) {
        ScanControl control;
        return survey->run(root, control);
    }
    // Path (relative to `root`, "." for it) -> row.
    QMap<QByteArray, qsizetype> rows(const QByteArray& root) const {
        QMap<QByteArray, qsizetype> out;
        for (qsizetype r = 0; r < survey->rowCount(); ++r) {
            const QByteArray p = survey->path(r);
            out.insert(p == root ? QByteArray(".") : p.mid(root.size() + 1), r);
        }
        return out;
    }
    std::unique_ptr<FolderSurvey> survey;
};

// The tree of the worked example: "a" holds 1,000 bytes and "a/b" 3,000,
// "c" is empty, and the root holds a file of its own.
void makeExample(test::TempTree& tree) {
    tree.file("a/one.bin", 1000);
    tree.file("a/b/three.bin", 3000);
    tree.mkdir("c");
    tree.file("loose.bin", 7);
}

TEST(FolderSurvey, MainFoldersMeasureTheirWholeTree) {
    test::TempTree tree;
    makeExample(tree);
    Survey s(SurveyMode::MainFolders);
    s.run(tree.root());
    const auto rows = s.rows(tree.root());
    ASSERT_EQ(rows.keys(), (QByteArrayList{"a", "c"}));
    const FolderFigures a = s.survey->figures(rows["a"]);
    EXPECT_EQ(a.bytes, 4000 + ownSize(tree.path("a")) + ownSize(tree.path("a/b")));
    EXPECT_EQ(a.files, 2);
    EXPECT_EQ(a.subFolders, 1);
    const FolderFigures c = s.survey->figures(rows["c"]);
    EXPECT_EQ(c, (FolderFigures{ownSize(tree.path("c")), 0, 0, kNoAccessTime}));
    // The root's own file belongs to no row but to the drive's total.
    const SurveyedRoot& root = s.survey->roots().value(0);
    EXPECT_EQ(root.total.files, 3);
    EXPECT_EQ(root.total.subFolders, 3);
    EXPECT_EQ(root.total.bytes, a.bytes + c.bytes + 7 + ownSize(tree.root()));
    EXPECT_EQ(root.firstRow, 0);
    EXPECT_EQ(root.endRow, 2);
}

TEST(FolderSurvey, AllFoldersMeasureTheirOwnEntries) {
    test::TempTree tree;
    makeExample(tree);
    Survey s(SurveyMode::AllFolders);
    s.run(tree.root());
    // Walk order: a folder before its sub-folders; the root is a row.
    EXPECT_EQ(s.rows(tree.root()),
              (QMap<QByteArray, qsizetype>{{".", 0}, {"a", 1}, {"a/b", 2}, {"c", 3}}));
    EXPECT_EQ(s.survey->figures(0),
              (FolderFigures{7 + ownSize(tree.root()), 1, 2, s.survey->figures(0).latestAccess}));
    EXPECT_EQ(s.survey->figures(1).bytes, 1000 + ownSize(tree.path("a")));
    EXPECT_EQ(s.survey->figures(1).subFolders, 1);
    EXPECT_EQ(s.survey->path(0), tree.root());
}

TEST(FolderSurvey, AnEmptyRootHasNoRowButAFolderDoes) {
    test::TempTree tree;
    tree.mkdir("empty");
    for (SurveyMode mode : {SurveyMode::AllFolders, SurveyMode::MainFolders}) {
        Survey nothing(mode);
        nothing.run(tree.path("empty"));
        EXPECT_EQ(nothing.survey->rowCount(), 0);
        Survey one(mode);
        one.run(tree.root());
        EXPECT_EQ(one.survey->rowCount(), mode == SurveyMode::AllFolders ? 2 : 1);
    }
}

// The same figures as du, on a tree with everything that makes counting
// space hard.
class DuFixture : public ::testing::Test {
protected:
    void SetUp() override {
        tree.file("a/one.bin", 1000);
        tree.file("a/.cache/blob.bin", 5000);  // a hidden folder is measured
        tree.file("a/.hidden-file", 33);       // and a hidden file
        tree.file("a/linked.bin", 4096);
        link("a/linked.bin", "a/linked-again.bin");  // the same folder
        link("a/linked.bin", "b/linked-in-b.bin");   // another main folder
        tree.file("b/caf\xE9/\xFF.bin", 12);         // names that are not UTF-8
        tree.file("b/empty.bin", 0);
        tree.fifo("b/pipe");
        tree.symlink("b/to-a", "../a");  // counted as a link, never followed
        tree.mkdir("c/d/e/f");
        // A sparse file of 5 GiB: counted by what it reads as.
        const QByteArray sparse = tree.path("c/d/sparse.img");
        tree.file("c/d/sparse.img", 0);
        EXPECT_EQ(::truncate(sparse.constData(), 5 * kGiB), 0);
    }
    void link(const char* from, const char* to) {
        tree.mkdir(QByteArray(to).left(QByteArray(to).lastIndexOf('/')));
        ASSERT_EQ(::link(tree.path(from).constData(), tree.path(to).constData()), 0);
    }

    test::TempTree tree;
};

TEST_F(DuFixture, MainFoldersAndTheTotalAreWhatDuSays) {
    Survey s(SurveyMode::MainFolders);
    const WalkReport report = s.run(tree.root());
    EXPECT_TRUE(report.errors.isEmpty());
    const auto rows = s.rows(tree.root());
    ASSERT_EQ(rows.keys(), (QByteArrayList{"a", "b", "c"}));
    // One du over the main folders in the walk's order counts a shared
    // inode under the first, as the survey does.
    const auto expected = du({"-sxb"}, {tree.path("a"), tree.path("b"), tree.path("c")});
    for (const char* p : {"a", "b", "c"})
        EXPECT_EQ(s.survey->figures(rows[p]).bytes, expected.value(tree.path(p))) << p;
    EXPECT_EQ(s.survey->roots().value(0).total.bytes,
              du({"-sxb"}, {tree.root()}).value(tree.root()));
    EXPECT_GT(s.survey->figures(rows["c"]).bytes, 5 * kGiB);

    // Every name counts as a file (the link, the fifo, the hard links).
    EXPECT_EQ(s.survey->figures(rows["a"]).files, 5);
    EXPECT_EQ(s.survey->figures(rows["b"]).files, 5);
    EXPECT_EQ(s.survey->figures(rows["a"]).subFolders, 1);
    EXPECT_EQ(s.survey->figures(rows["b"]).subFolders, 1);
    EXPECT_EQ(s.survey->figures(rows["c"]).subFolders, 3);
}

TEST_F(DuFixture, AllFoldersAreWhatDuSaysForEachFolderSeparately) {
    Survey s(SurveyMode::AllFolders);
    s.run(tree.root());
    const auto rows = s.rows(tree.root());
    ASSERT_EQ(rows.keys(), (QByteArrayList{".", "a", "a/.cache", "b", "b/caf\xE9", "c", "c/d",
                                           "c/d/e", "c/d/e/f"}));
    const auto separate = du({"-Sxb"}, {tree.root()});
    qint64 sum = 0;
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
        const qint64 bytes = s.survey->figures(it.value()).bytes;
        sum += bytes;
        // du may meet the shared inode in b first: those two rows are
        // checked by their sum.
        if (it.key() == "a" || it.key() == "b")
            continue;
        EXPECT_EQ(bytes, separate.value(s.survey->path(it.value()))) << it.key().constData();
    }
    EXPECT_EQ(s.survey->figures(rows["a"]).bytes + s.survey->figures(rows["b"]).bytes,
              separate.value(tree.path("a")) + separate.value(tree.path("b")));
    EXPECT_EQ(sum, du({"-sxb"}, {tree.root()}).value(tree.root()));
    EXPECT_EQ(s.survey->roots().value(0).total.bytes, sum);
}

TEST_F(DuFixture, AMountInsideIsNeitherEnteredNorCounted) {
    tree.mkdir("b/mnt");
    const int result = test::inMountNamespace("same", [&]() -> QByteArray {
        if (::mount("vantrel-test", tree.path("b/mnt").constData(), "tmpfs", 0, "size=1m") != 0)
            return "SKIP";
        QFile inside(QFile::decodeName(tree.path("b/mnt/inside.bin")));
        if (!inside.open(QIODevice::WriteOnly) || inside.write(QByteArray(9000, 'x')) != 9000)
            return "no file on the mount";
        inside.close();
        Survey all(SurveyMode::AllFolders);
        all.run(tree.root());
        Survey main(SurveyMode::MainFolders);
        main.run(tree.root());
        const qint64 expected = du({"-sxb"}, {tree.root()}).value(tree.root());
        if (all.rows(tree.root()).contains("b/mnt"))
            return "the mount has a row";
        if (all.survey->figures(all.rows(tree.root())["b"]).subFolders != 1)
            return "the mount is counted as a sub-folder";
        if (all.survey->roots().value(0).total.bytes != expected ||
            main.survey->roots().value(0).total.bytes != expected)
            return "totals differ from du: " + QByteArray::number(expected);
        return "same";
    });
    if (result == 2)
        GTEST_SKIP() << "no private mount namespace or tmpfs here (needs root)";
    EXPECT_EQ(result, 0);
}

TEST(FolderSurvey, NoatimeMountsAreTold) {
    test::TempTree tree;
    tree.mkdir("fast");
    tree.mkdir("kept");
    const int result = test::inMountNamespace("true false", [&]() -> QByteArray {
        if (::mount("vantrel-test", tree.path("fast").constData(), "tmpfs", MS_NOATIME,
                    "size=1m") != 0 ||
            ::mount("vantrel-test", tree.path("kept").constData(), "tmpfs", MS_RELATIME,
                    "size=1m") != 0)
            return "SKIP";
        return QByteArray(mountedNoAtime(tree.path("fast")) ? "true" : "false") + " " +
               (mountedNoAtime(tree.path("kept")) ? "true" : "false");
    });
    if (result == 2)
        GTEST_SKIP() << "no private mount namespace or tmpfs here (needs root)";
    EXPECT_EQ(result, 0);
}

TEST(FolderSurvey, LatestAccessIsTheLatestAtimeOfTheCountedFiles) {
    test::TempTree tree;
    tree.file("a/old.txt", 1);
    tree.file("a/b/new.txt", 1);
    const QDateTime modified(QDate(2019, 1, 1), QTime(12, 0), Qt::UTC);
    const QDateTime older(QDate(2020, 1, 2), QTime(12, 0), Qt::UTC);
    const QDateTime newer(QDate(2021, 6, 3), QTime(12, 0), Qt::UTC);
    tree.setTimes("a/old.txt", modified, older);
    tree.setTimes("a/b/new.txt", modified, newer);

    Survey main(SurveyMode::MainFolders);
    main.run(tree.root());
    EXPECT_EQ(main.survey->figures(0).latestAccess, newer.toSecsSinceEpoch());
    Survey all(SurveyMode::AllFolders);
    all.run(tree.root());
    const auto rows = all.rows(tree.root());
    EXPECT_EQ(all.survey->figures(rows["a"]).latestAccess, older.toSecsSinceEpoch());
    EXPECT_EQ(all.survey->figures(rows["a/b"]).latestAccess, newer.toSecsSinceEpoch());
    EXPECT_EQ(all.survey->figures(rows["."]).latestAccess, kNoAccessTime);

    // The row's texts: the date of the latest access; none without files.
    FolderHogRows grid(*all.survey);
    const GridRow row = grid.row(rows["a/b"]);
    EXPECT_EQ(row.cells.value(4), fileDateText(packUnixTime(newer.toSecsSinceEpoch())));
    EXPECT_EQ(grid.row(rows["."]).cells.value(4), QString());
}

TEST(FolderSurvey, AFolderThatCannotBeReadIsCountedWithoutARow) {
    test::TempTree tree;
    tree.file("a/kept.bin", 10);
    tree.file("a/locked/secret.bin", 20);
    tree.chmod("a/locked", 0);
    Survey s(SurveyMode::AllFolders);
    WalkReport report;
    {
        test::PermissionChecks checks;
        if (!checks.enforced())
            GTEST_SKIP() << "permission checks cannot be enforced";
        report = s.run(tree.root());
    }
    ASSERT_EQ(report.errors.size(), 1);
    EXPECT_EQ(report.errors[0].path, tree.path("a/locked"));
    const auto rows = s.rows(tree.root());
    EXPECT_EQ(rows.keys(), (QByteArrayList{".", "a"}));
    const FolderFigures a = s.survey->figures(rows["a"]);
    EXPECT_EQ(a.bytes, 10 + ownSize(tree.path("a")) + ownSize(tree.path("a/locked")));
    EXPECT_EQ(a.subFolders, 1);
}

TEST(FolderSurvey, ACapacityStopsTheSurveyOnce) {
    test::TempTree tree;
    for (const char* f : {"a/x", "b/x", "c/x", "d/x"})
        tree.file(f, 1);
    Survey s(SurveyMode::AllFolders, 3);
    int calls = 0;
    s.survey->setOnFull([&calls] { ++calls; });
    const WalkReport report = s.run(tree.root());
    EXPECT_TRUE(s.survey->full());
    EXPECT_TRUE(report.aborted);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(s.rows(tree.root()).keys(), (QByteArrayList{".", "a", "b"}));
}

TEST(FolderSurvey, RowTextsAndPercentages) {
    test::TempTree tree;
    const QByteArray big = tree.file("big/file.img", 0);
    ASSERT_EQ(::truncate(big.constData(), 5 * kGiB), 0);
    tree.file("small/one.bin", 1);
    struct Case {
        qint64 capacity;
        QString bigPercent;
    };
    for (const Case& c : {Case{100 * kGiB, QStringLiteral("5.00")},
                          Case{5 * kGiB, QStringLiteral("???")},  // not below the capacity
                          Case{0, QStringLiteral("???")}}) {      // capacity unknown
        SurveyOptions o;
        o.capacityOf = [&c](const QByteArray&) { return std::optional<qint64>(c.capacity); };
        FolderSurvey survey(o);
        ScanControl control;
        survey.run(tree.root(), control);
        ASSERT_EQ(survey.rowCount(), 2);
        const std::vector<qsizetype> order = survey.bySizeDescending();
        const GridRow row = FolderHogRows(survey).row(order[0]);
        EXPECT_EQ(row.path, tree.path("big"));
        const qint64 bytes = 5 * kGiB + ownSize(tree.path("big"));
        EXPECT_EQ(row.cells.mid(0, 4), (QStringList{numberText(bytes), c.bigPercent, "1", "0"}));
        EXPECT_EQ(row.cells.value(5), QFile::decodeName(tree.path("big")));
        EXPECT_EQ(row.values.value(0).value, double(bytes));
    }
}

TEST(FolderSurvey, TheStatusNamesTheRootsMountedNoatime) {
    SurveyedRoot kept, fast, other;
    kept.drive = DriveEntry{"/home", "ext4"};
    fast.drive = DriveEntry{"/data", "xfs"};
    fast.noAtime = true;
    other.drive = DriveEntry{"/srv/caf\xE9", "folder"};
    other.noAtime = true;
    EXPECT_EQ(folderHogsStatus(12, {kept}), "Folders : 12");
    EXPECT_EQ(folderHogsStatus(1, {kept, fast, other}),
              "Folders : 1    (Latest File Access is not kept up to date on /data, "
              "/srv/caf\uFFFD: mounted noatime)");
}

// A bind mount of a folder of the same file system is walked (once) and
// gets a row; deleting that row is refused as deleting a root.
TEST(FolderSurvey, ABindMountRowIsRefusedAsARoot) {
    test::TempTree tree;
    tree.file("shown/a.bin", 10);
    tree.mkdir("b/mnt");
    const int result = test::inMountNamespace("row refused", [&]() -> QByteArray {
        if (::mount(tree.path("shown").constData(), tree.path("b/mnt").constData(), nullptr,
                    MS_BIND, nullptr) != 0)
            return "SKIP";
        Survey s(SurveyMode::AllFolders);
        s.run(tree.root());
        if (!s.rows(tree.root()).contains("b/mnt"))
            return "no row";
        const auto refusal =
            folderProtectionMessage(tree.path("b/mnt"), FolderDeleteCaller::FolderHogs);
        return refusal == rootFolderMessage(FolderDeleteCaller::FolderHogs) ? "row refused"
                                                                            : "not refused";
    });
    if (result == 2)
        GTEST_SKIP() << "no private mount namespace or bind mounts here (needs root)";
    EXPECT_EQ(result, 0);
}

TEST(FolderSurvey, SeveralDrivesKeepTheirRowsApart) {
    test::TempTree one, two;
    one.file("x/a.bin", 5);
    two.file("y/b.bin", 6);
    two.file("z/c.bin", 7);
    SurveyOptions o;
    o.mode = SurveyMode::MainFolders;
    FolderSurvey survey(o);
    ScanControl control;
    survey.run({DriveEntry{one.root(), "folder"}, DriveEntry{two.root(), "folder"}}, control);
    ASSERT_EQ(survey.roots().size(), 2);
    EXPECT_EQ(survey.rowCount(), 3);
    EXPECT_EQ(survey.path(0), one.path("x"));
    EXPECT_EQ(survey.path(1), two.path("y"));
    EXPECT_EQ(survey.rootOf(2).drive.root, two.root());
    EXPECT_EQ(survey.roots()[1].firstRow, 1);
    EXPECT_EQ(survey.roots()[1].endRow, 3);
}

}  // namespace
}  // namespace vantrel
