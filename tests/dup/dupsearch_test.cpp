#include "dup/DupSearch.h"

#include "results/GridLayout.h"
#include "results/ResultGridModel.h"
#include "results/SortDirections.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QDateTime>

namespace vantrel {
namespace {

FileRecord record(const QByteArray& name, qint64 size, qint64 mtime = 1'600'000'000) {
    FileRecord r;
    r.name = name;
    r.size = size;
    r.mode = 0100644;
    r.attr = attributesFor(r.mode, name.constData(), name.size());
    r.writeTime = FileTime{mtime, 0, true};
    r.accessTime = FileTime{mtime + 3600, 0, true};
    return r;
}

DupSearchOptions dupOptions(DupCriterion criterion) {
    DupSearchOptions o;
    o.duplicateMode = true;
    o.criterion = criterion;
    o.condition = SizeCondition::LargerOrEqual;
    o.limit1 = 0;
    return o;
}

QList<QByteArray> paths(const std::vector<DupCandidate>& rows) {
    QList<QByteArray> out;
    for (const DupCandidate& c : rows)
        out.append(c.path);
    return out;
}

TEST(DupSearch, SameNameInThreeFoldersIsOneGroupInLineOrder) {
    DupSearch s(dupOptions(DupCriterion::FilenameOnly));
    s.addFile(record("a.txt", 300), "/t/c");
    s.addFile(record("a.txt", 100), "/t/a");
    s.addFile(record("b.txt", 100), "/t/a");
    s.addFile(record("a.txt", 200), "/t/b");
    const auto rows = s.finish();
    // Lines sort by name, then by the size text: "100" < "200" < "300".
    EXPECT_EQ(paths(rows), (QList<QByteArray>{"/t/a/a.txt", "/t/b/a.txt", "/t/c/a.txt"}));
}

TEST(DupSearch, NamesMatchIgnoringCase) {
    DupSearch s(dupOptions(DupCriterion::FilenameAndSize));
    s.addFile(record("README.TXT", 500), "/x");
    s.addFile(record("readme.txt", 500), "/y");
    s.addFile(record("readme.txt", 501), "/z");
    EXPECT_EQ(s.finish().size(), 2u);
}

TEST(DupSearch, SizeOnlyLeavesTheOddFileOut) {
    DupSearch s(dupOptions(DupCriterion::SizeOnly));
    s.addFile(record("one", 1024), "/d");
    s.addFile(record("two", 1024), "/d");
    s.addFile(record("three", 2048), "/d");
    const auto rows = s.finish();
    EXPECT_EQ(paths(rows), (QList<QByteArray>{"/d/one", "/d/two"}));
}

TEST(DupSearch, KeyFieldsStayApart) {
    // "a1" of 23 bytes and "a12" of 3 bytes would give the same key if the
    // fields were joined without a separator.
    DupSearch s(dupOptions(DupCriterion::FilenameAndSize));
    s.addFile(record("a1", 23), "/d");
    s.addFile(record("a12", 3), "/d");
    EXPECT_TRUE(s.finish().empty());
}

// For size with date, and size with type, the name stands between the key
// fields in the line; lines with equal keys must still form one group.
TEST(DupSearch, SizeAndDateGroupsAcrossOtherNames) {
    DupSearch s(dupOptions(DupCriterion::SizeAndDate));
    s.addFile(record("a", 100, 1'600'000'000), "/d");
    s.addFile(record("b", 100, 1'500'000'000), "/d");
    s.addFile(record("c", 100, 1'600'000'000), "/d");
    const auto rows = s.finish();
    EXPECT_EQ(paths(rows), (QList<QByteArray>{"/d/a", "/d/c"}));
}

TEST(DupSearch, SizeAndTypeGroupsAcrossOtherNames) {
    DupSearch s(dupOptions(DupCriterion::SizeAndType));
    s.addFile(record("a.qqa", 100), "/d");
    s.addFile(record("b.qqb", 100), "/d");
    s.addFile(record("c.qqa", 100), "/d");
    const auto rows = s.finish();
    EXPECT_EQ(paths(rows), (QList<QByteArray>{"/d/a.qqa", "/d/c.qqa"}));
}

TEST(DupSearch, TypeAndDateFieldOrder) {
    DupSearch s(dupOptions(DupCriterion::TypeAndDate));
    s.addFile(record("x.qqq", 10), "/d");
    s.addFile(record("y.qqq", 20), "/e");
    const auto rows = s.finish();
    ASSERT_EQ(rows.size(), 2u);
    const QStringList f = rows[0].line.split(QLatin1Char('\t'));
    ASSERT_EQ(f.size(), 7);
    EXPECT_EQ(f[0], QStringLiteral("QQQ File"));
    EXPECT_EQ(f[3], QStringLiteral("x.qqq"));
    EXPECT_EQ(f[4], QStringLiteral("10"));
    EXPECT_EQ(f[6], QStringLiteral("/d"));
    const QStringList cells = dupGridCells(rows[0], true, DupCriterion::TypeAndDate);
    EXPECT_EQ(cells[0], QStringLiteral("x.qqq"));
    EXPECT_EQ(cells[1], QStringLiteral("10"));
    EXPECT_EQ(cells[5], QStringLiteral("/d"));
    EXPECT_EQ(cells[6], QStringLiteral("QQQ File"));
}

struct SizeCase {
    SizeCondition condition;
    qint64 limit1;
    qint64 limit2;
    qint64 size;
    bool passes;
};

class SizeConditionTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeConditionTest, Passes) {
    const SizeCase& c = GetParam();
    DupSearchOptions o;
    o.condition = c.condition;
    o.limit1 = c.limit1;
    o.limit2 = c.limit2;
    EXPECT_EQ(DupSearch(o).passes(c.size), c.passes);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, SizeConditionTest,
    ::testing::Values(SizeCase{SizeCondition::LargerOrEqual, 256000, 0, 256000, true},
                      SizeCase{SizeCondition::LargerOrEqual, 256000, 0, 255999, false},
                      SizeCase{SizeCondition::LargerOrEqual, 256000, 0, 5LL << 30, true},
                      SizeCase{SizeCondition::SmallerOrEqual, 1024, 0, 1024, true},
                      SizeCase{SizeCondition::SmallerOrEqual, 1024, 0, 1025, false},
                      SizeCase{SizeCondition::Between, 102400, 102400, 102400, true},
                      SizeCase{SizeCondition::Between, 102400, 102400, 102399, false},
                      SizeCase{SizeCondition::Between, 102400, 102400, 102401, false}));

TEST(DupSearch, FileHogsComeInReverseLineOrderWithFullPaths) {
    DupSearchOptions o;
    o.duplicateMode = false;
    o.limit1 = 0;
    DupSearch s(o);
    s.addFile(record("Big.ISO", 5LL << 30), "/Data");
    s.addFile(record("small", 2000), "/Data");
    const auto rows = s.finish();
    ASSERT_EQ(rows.size(), 2u);
    // Lines begin with the size text: "2,000" sorts before "5,368,709,120".
    EXPECT_EQ(rows[0].path, QByteArray("/Data/Big.ISO"));
    const QStringList cells = dupGridCells(rows[0], false, DupCriterion::FilenameOnly);
    ASSERT_EQ(cells.size(), 6);
    EXPECT_EQ(cells[0], QStringLiteral("5,368,709,120"));
    EXPECT_EQ(cells[4], QStringLiteral("/Data/Big.ISO"));  // case kept
    EXPECT_EQ(rows[0].size, 5LL << 30);
}

TEST(DupSearch, CapacityRefusesFurtherFilesAndKeepsWhatItHas) {
    DupSearchOptions o = dupOptions(DupCriterion::FilenameOnly);
    o.capacity = 3;
    DupSearch s(o);
    EXPECT_EQ(s.addFile(record("a", 1), "/1"), DupSearch::Added::Kept);
    EXPECT_EQ(s.addFile(record("a", 1), "/2"), DupSearch::Added::Kept);
    EXPECT_EQ(s.addFile(record("b", 1), "/1"), DupSearch::Added::Kept);
    EXPECT_EQ(s.addFile(record("b", 1), "/2"), DupSearch::Added::Full);
    EXPECT_EQ(paths(s.finish()), (QList<QByteArray>{"/1/a", "/2/a"}));
}

TEST(DupSearch, NamesWithControlCharactersKeepTheirFieldsAndBytes) {
    DupSearch s(dupOptions(DupCriterion::FilenameOnly));
    const QByteArray odd("a\tb\nc\xff");
    s.addFile(record(odd, 10), "/p");
    s.addFile(record(odd, 10), "/q");
    const auto rows = s.finish();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].path, QByteArray("/p/") + odd);
    EXPECT_EQ(rows[0].line.split(QLatin1Char('\t')).size(), 7);
}

TEST(DupSearch, LineFieldsHoldTheFormattedTexts) {
    DupSearch s(dupOptions(DupCriterion::FilenameOnly));
    // 2020-09-13 12:26:40 UTC (tests run in UTC).
    s.addFile(record("n.qqq", 1234567, 1'600'000'000), "/");
    s.addFile(record("n.qqq", 1, 1'600'000'000), "/");
    const auto rows = s.finish();
    ASSERT_EQ(rows.size(), 2u);
    const QStringList f = rows[0].line.split(QLatin1Char('\t'));
    EXPECT_EQ(f[0], QStringLiteral("n.qqq"));
    EXPECT_EQ(f[1], QStringLiteral("1"));
    EXPECT_EQ(f[2], fileDateText(rows[0].modified));
    EXPECT_EQ(f[3], fileTimeText(rows[0].modified));
    EXPECT_EQ(f[4], fileDateText(rows[0].accessed));
    EXPECT_EQ(f[5], QStringLiteral("/"));
    EXPECT_EQ(f[6], QStringLiteral("QQQ File"));
    EXPECT_EQ(rows[0].path, QByteArray("/n.qqq"));
}

// The candidate list's order is Qt's case-insensitive order, also where the
// fast path for ASCII meets letters that fold to ASCII (the Kelvin sign,
// the long s), accents and surrogate pairs.
TEST(DupSearch, CompareIgnoringCaseAgreesWithQt) {
    const QStringList texts = {
        QString(),
        QStringLiteral("a"),
        QStringLiteral("A"),
        QStringLiteral("ab"),
        QStringLiteral("abc"),
        QStringLiteral("ABD"),
        QStringLiteral("abc\tz"),
        QStringLiteral("a_b"),
        QStringLiteral("a[b"),
        QStringLiteral("k"),
        QStringLiteral("K1"),
        QString::fromUtf8("\u212A"),  // Kelvin sign, folds to k
        QString::fromUtf8("a\u212Ab"),
        QStringLiteral("akb"),
        QString::fromUtf8("\u017Ft"),  // long s
        QStringLiteral("st"),
        QStringLiteral("su"),
        QString::fromUtf8("\u00E9t\u00E9"),
        QString::fromUtf8("\u00C9T\u00C9"),
        QStringLiteral("z"),
        QString::fromUtf8("\U00010400x"),  // Deseret capital, folds to U+10428
        QString::fromUtf8("\U00010428X"),
        QString::fromUtf8("\U0001F600"),
        QString::fromUtf8("\uE000"),
        QString::fromUtf8("a\U0001F600"),
        QString::fromUtf8("a\uFFFD"),
    };
    for (const QString& a : texts) {
        for (const QString& b : texts) {
            const int qt = QString::compare(a, b, Qt::CaseInsensitive);
            const int ours = compareIgnoringCase(a, b);
            EXPECT_EQ(ours, qt < 0 ? -1 : (qt > 0 ? 1 : 0))
                << a.toStdString() << " / " << b.toStdString();
        }
    }
}

// Thousands of distinct dates make the text caches grow while a line takes
// several texts from them; every line must still carry its own dates.
TEST(DupSearch, DateTextsStayRightWhileTheirCachesGrow) {
    DupSearchOptions o;
    o.duplicateMode = false;
    o.limit1 = 0;
    DupSearch s(o);
    const qint64 day = 86400;
    const qint64 base = 400'000'000;  // 1982
    for (int i = 0; i < 4000; ++i) {
        FileRecord r = record(QByteArray::number(i), i);
        r.writeTime = FileTime{base + i * day + i * 7, 0, true};
        r.accessTime = FileTime{base + (i + 9000) * day, 0, true};
        ASSERT_EQ(s.addFile(r, "/d"), DupSearch::Added::Kept);
    }
    const auto rows = s.finish();
    ASSERT_EQ(rows.size(), 4000u);
    for (const DupCandidate& c : rows) {
        const QStringList f = c.line.split(QLatin1Char('\t'));
        ASSERT_EQ(f.size(), 6);
        EXPECT_EQ(f[1], fileDateText(c.modified));
        EXPECT_EQ(f[2], fileTimeText(c.modified));
        EXPECT_EQ(f[3], fileDateText(c.accessed));
    }
}

// The grid sorts by the values handed over with the rows: sizes beyond 32
// bits by number, and dates whose two-digit year text alone would put 2084
// before 1985.
TEST(DupRows, SortValuesTravelWithTheRows) {
    DupSearchOptions o;
    o.duplicateMode = false;
    o.limit1 = 0;
    DupSearch s(o);
    const qint64 y1985 = QDateTime(QDate(1985, 6, 1), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    const qint64 y2084 = QDateTime(QDate(2084, 6, 1), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    s.addFile(record("huge", 5LL << 30, y1985), "/d");
    s.addFile(record("mid", 1024, y2084), "/d");
    s.addFile(record("small", 999, y1985), "/d");
    const auto rows = s.finish();

    ResultGridModel model(fileHogsLayout());
    SortDirections directions(fileHogsLayout());
    model.setSortDirections(&directions);
    addDupRows(model, rows, false);
    ASSERT_EQ(model.rowCounter(), 3);
    EXPECT_EQ(model.pathAt(1), QByteArray("/d/small"));  // reverse line order

    directions.set(0, true);
    model.sortByKey(0);  // size, descending
    EXPECT_EQ(model.pathAt(1), QByteArray("/d/huge"));
    EXPECT_EQ(model.pathAt(2), QByteArray("/d/mid"));
    EXPECT_EQ(model.pathAt(3), QByteArray("/d/small"));
    EXPECT_FALSE(directions.descending(0));

    directions.set(1, false);
    model.sortByKey(1);  // modified, ascending
    EXPECT_EQ(model.pathAt(3), QByteArray("/d/mid"));
}

TEST(DupRows, DuplicatesFillTheirColumnsByCriterion) {
    DupSearch s(dupOptions(DupCriterion::SizeOnly));
    s.addFile(record("one", 1024), "/a");
    s.addFile(record("two", 1024), "/b");
    const auto rows = s.finish();
    ResultGridModel model(duplicatesLayout(int(DupCriterion::SizeOnly)));
    addDupRows(model, rows, true);
    ASSERT_EQ(model.rowCounter(), 2);
    EXPECT_EQ(model.cellText(1, 0), QStringLiteral("one"));
    EXPECT_EQ(model.cellText(1, 1), QStringLiteral("1,024"));
    EXPECT_EQ(model.cellText(2, 5), QStringLiteral("/b"));
    EXPECT_EQ(model.pathAt(2), QByteArray("/b/two"));
}

}  // namespace
}  // namespace vantrel
