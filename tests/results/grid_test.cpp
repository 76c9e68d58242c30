// The result grid's engine: row store, the three sorts, marks and lbDeleted,
// the duplicates and file-hog layouts, clipboard texts.
#include "results/GridClipboard.h"
#include "results/GridLayout.h"
#include "results/GridSort.h"
#include "results/ResultGridModel.h"
#include "results/RowMemory.h"
#include "results/SortDirections.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <functional>
#include <numeric>

#include <unistd.h>

using namespace vantrel;

namespace {

// A small grid: Name (text, mark column), Size (number, right), Date (date).
GridLayout smallLayout() {
    GridLayout g;
    g.id = QStringLiteral("test.small");
    g.titles = {QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("Date")};
    g.kinds = {ColumnKind::Text, ColumnKind::Number, ColumnKind::Date};
    g.markColumn = 0;
    g.rightAligned = {1};
    g.sortKeys = {{QStringLiteral("&Size"), SortKind::Number, 1, true},
                  {QStringLiteral("&Date"), SortKind::Date, 2, true},
                  {QStringLiteral("&Name"), SortKind::Text, 0, false}};
    g.titleClickKeys = {2, 0, 1};
    return g;
}

QStringList column(const ResultGridModel& model, int c) {
    QStringList out;
    for (int row = 1; row <= model.rowCounter(); ++row)
        out.append(model.cellText(row, c));
    return out;
}

// ---- The sorts ----------------------------------------------------------------

struct SortCase {
    const char* name;
    SortKind kind;
    bool descending;
    QStringList cells;     // key column texts, in the order added
    QList<double> dates;   // date values for a date sort (empty text: none given)
    QStringList expected;  // key column after the sort
};

class GridSortTest : public ::testing::TestWithParam<SortCase> {};

TEST_P(GridSortTest, SortsTheKeyColumn) {
    const SortCase& c = GetParam();
    GridLayout layout = smallLayout();
    ResultGridModel model(layout);
    SortDirections flags(layout);
    model.setSortDirections(&flags);
    const int keyColumn = c.kind == SortKind::Number ? 1 : (c.kind == SortKind::Date ? 2 : 0);
    for (qsizetype i = 0; i < c.cells.size(); ++i) {
        GridRow row;
        row.cells = {QStringLiteral("n%1").arg(i), QStringLiteral("0"), QString()};
        row.cells[keyColumn] = c.cells[i];
        if (c.kind == SortKind::Date && i < c.dates.size() && !c.cells[i].isEmpty())
            row.values.append({2, c.dates[i]});
        model.addToGrid(row);
    }
    model.sortRows(c.kind, 1, model.rowCounter(), c.descending, keyColumn);
    EXPECT_EQ(column(model, keyColumn), c.expected);
}

const QDate d1(1999, 12, 31), d2(2003, 1, 2), d3(2024, 7, 1);

INSTANTIATE_TEST_SUITE_P(
    Rows, GridSortTest,
    ::testing::Values(SortCase{"NumberAscending1024After999",
                               SortKind::Number,
                               false,
                               {"1,024", "999", "5"},
                               {},
                               {"5", "999", "1,024"}},
                      SortCase{"NumberDescending",
                               SortKind::Number,
                               true,
                               {"1,024", "2,147,483,647", "999", "0"},
                               {},
                               {"2,147,483,647", "1,024", "999", "0"}},
                      SortCase{"TextPuts1024Before999",
                               SortKind::Text,
                               false,
                               {"999", "1,024", "5"},
                               {},
                               {"1,024", "5", "999"}},
                      SortCase{"TextIgnoresCase",
                               SortKind::Text,
                               false,
                               {"beta", "Alpha", "GAMMA", "alpha2", "Beta1", "delta"},
                               {},
                               {"Alpha", "alpha2", "beta", "Beta1", "delta", "GAMMA"}},
                      SortCase{"TextDescending",
                               SortKind::Text,
                               true,
                               {"b", "a", "d", "c", "f", "e", "g"},
                               {},
                               {"g", "f", "e", "d", "c", "b", "a"}},
                      SortCase{"NotNumbersSortAsZero",
                               SortKind::Number,
                               false,
                               {"12", "DELETED", "-3", ""},
                               {},
                               {"-3", "", "DELETED", "12"}},
                      SortCase{"EmptyDateBeforeEveryDate",
                               SortKind::Date,
                               false,
                               {"7/1/24", "", "12/31/99", "1/2/03"},
                               {dateSortValue(d3), 0, dateSortValue(d1), dateSortValue(d2)},
                               {"", "12/31/99", "1/2/03", "7/1/24"}},
                      SortCase{"DatesByValueNotByText",
                               SortKind::Date,
                               true,
                               {"12/31/99", "1/2/03", "7/1/24"},
                               {dateSortValue(d1), dateSortValue(d2), dateSortValue(d3)},
                               {"7/1/24", "1/2/03", "12/31/99"}}),
    [](const ::testing::TestParamInfo<SortCase>& p) { return std::string(p.param.name); });

// The sort exactly as the grid has always done it: recursion on both parts,
// 1-based rows, the pivot at (first + last) div 2.
template <typename Key, typename Before>
void referenceQuickSort(std::vector<int>& rows, const std::vector<Key>& keys, int first, int last,
                        Before before, bool swaps) {
    if (swaps && last - first <= 4) {
        bool swapped = true;
        while (swapped) {
            swapped = false;
            for (int k = first; k < last; ++k) {
                if (before(keys[rows[k + 1]], keys[rows[k]])) {
                    std::swap(rows[k], rows[k + 1]);
                    swapped = true;
                }
            }
        }
        return;
    }
    const Key pivot = keys[rows[(first + last) / 2]];
    int i = first;
    int j = last;
    do {
        while (before(keys[rows[i]], pivot))
            ++i;
        while (before(pivot, keys[rows[j]]))
            --j;
        if (i <= j) {
            std::swap(rows[i], rows[j]);
            ++i;
            --j;
        }
    } while (i <= j);
    if (first < j)
        referenceQuickSort(rows, keys, first, j, before, swaps);
    if (i < last)
        referenceQuickSort(rows, keys, i, last, before, swaps);
}

class SortOrderTest : public ::testing::TestWithParam<bool> {};

TEST_P(SortOrderTest, NumbersMatchTheReferenceOrderOnRandomRows) {
    const bool descending = GetParam();
    QRandomGenerator random(1234);
    for (int round = 0; round < 20; ++round) {
        const int n = 1 + int(random.bounded(400));
        std::vector<double> keys(size_t(n) + 1);
        for (int i = 1; i <= n; ++i)
            keys[size_t(i)] = double(random.bounded(n / 3 + 1));  // many equal keys
        std::vector<int> rows(size_t(n) + 1);
        std::iota(rows.begin(), rows.end(), 0);
        if (descending)
            referenceQuickSort(rows, keys, 1, n, std::greater<double>(), false);
        else
            referenceQuickSort(rows, keys, 1, n, std::less<double>(), false);

        std::vector<double> local(keys.begin() + 1, keys.end());
        std::vector<std::uint32_t> perm(static_cast<size_t>(n));
        std::iota(perm.begin(), perm.end(), 0u);
        sortPermutationByValue(perm, local, descending);
        for (int p = 0; p < n; ++p)
            ASSERT_EQ(int(perm[size_t(p)]) + 1, rows[size_t(p) + 1]) << "round " << round;
    }
}

TEST_P(SortOrderTest, TextsMatchTheReferenceOrderOnRandomRows) {
    const bool descending = GetParam();
    QRandomGenerator random(99);
    for (int round = 0; round < 20; ++round) {
        const int n = 1 + int(random.bounded(300));
        std::vector<QString> keys(size_t(n) + 1);
        TextSortKeys textKeys;
        for (int i = 1; i <= n; ++i) {
            QString s;
            const int length = int(random.bounded(3));
            for (int k = 0; k < length; ++k)
                s.append(QChar(u'a' + char16_t(random.bounded(3))));
            keys[size_t(i)] = s.toUpper();
            textKeys.append(s);
        }
        std::vector<int> rows(size_t(n) + 1);
        std::iota(rows.begin(), rows.end(), 0);
        if (descending)
            referenceQuickSort(rows, keys, 1, n, std::greater<QString>(), true);
        else
            referenceQuickSort(rows, keys, 1, n, std::less<QString>(), true);

        std::vector<std::uint32_t> perm(static_cast<size_t>(n));
        std::iota(perm.begin(), perm.end(), 0u);
        sortPermutationByText(perm, textKeys, descending);
        for (int p = 0; p < n; ++p)
            ASSERT_EQ(int(perm[size_t(p)]) + 1, rows[size_t(p) + 1]) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, SortOrderTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return p.param ? "Descending" : "Ascending";
                         });

TEST(GridSortFacts, KeysFromUtf8EqualKeysFromText) {
    const QChar nul(0);
    const QStringList texts{QStringLiteral("abc"),
                            QString(),
                            QStringLiteral("ab"),
                            QStringLiteral("Zz_9-x"),
                            QStringLiteral("stra\u00dfe"),
                            QStringLiteral("\u00e9t\u00e9"),
                            QStringLiteral("a") + nul + QStringLiteral("b"),
                            QStringLiteral("long name with blanks"),
                            QStringLiteral("ab") + nul};
    TextSortKeys fromText;
    TextSortKeys fromUtf8;
    for (const QString& t : texts) {
        fromText.append(t);
        const QByteArray utf8 = t.toUtf8();
        fromUtf8.appendUtf8(utf8.constData(), utf8.size());
    }
    ASSERT_EQ(fromUtf8.size(), texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(fromUtf8.at(i), fromText.at(i)) << i;
        EXPECT_EQ(fromUtf8.at(i), texts[i].toUpper()) << i;
        EXPECT_EQ(fromUtf8.prefix(std::uint32_t(i)), fromText.prefix(std::uint32_t(i))) << i;
    }
    // "AB" against "AB" followed by U+0000: equal prefixes, decided by length.
    EXPECT_EQ(fromText.prefix(2), fromText.prefix(8));
    EXPECT_LT(fromText.compare(2, 8), 0);
    EXPECT_GT(fromText.compare(8, 2), 0);
    EXPECT_GT(fromText.compare(2, 6), 0);  // "AB" after "A", U+0000, "B"
    EXPECT_EQ(fromText.compare(0, 0), 0);
}

TEST(GridSortFacts, EqualKeysAreNotKeptInOrder) {
    ResultGridModel model(smallLayout());
    // Six equal names: the quicksort swaps them end for end.
    for (int i = 1; i <= 6; ++i)
        model.addToGrid(GridRow{{QStringLiteral("same"), QString::number(i), QString()}, {}, {}});
    model.sortByText(1, 6, false, 0);
    EXPECT_EQ(column(model, 1), QStringList({"6", "5", "4", "3", "2", "1"}));

    // Five rows or fewer go through neighbour swaps, which keep equal keys in order.
    ResultGridModel five(smallLayout());
    for (int i = 1; i <= 5; ++i)
        five.addToGrid(GridRow{{QStringLiteral("same"), QString::number(i), QString()}, {}, {}});
    five.sortByText(1, 5, false, 0);
    EXPECT_EQ(column(five, 1), QStringList({"1", "2", "3", "4", "5"}));

    // The number sort has no such rule: two equal sizes change places.
    ResultGridModel two(smallLayout());
    two.addToGrid(GridRow{{QStringLiteral("a"), QStringLiteral("7"), QString()}, {}, {}});
    two.addToGrid(GridRow{{QStringLiteral("b"), QStringLiteral("7"), QString()}, {}, {}});
    two.sortByNumber(1, 2, false, 1);
    EXPECT_EQ(column(two, 0), QStringList({"b", "a"}));
}

TEST(GridSortFacts, SortsOnlyTheGivenRange) {
    ResultGridModel model(smallLayout());
    for (const char* n : {"e", "d", "c", "b", "a"})
        model.addToGrid(GridRow{{QString::fromLatin1(n), QStringLiteral("1"), QString()}, {}, {}});
    model.sortByText(2, 4, false, 0);
    EXPECT_EQ(column(model, 0), QStringList({"e", "b", "c", "d", "a"}));
    // Ranges beyond the result rows are clamped; a range of one row is left alone.
    model.sortByText(5, 50, false, 0);
    EXPECT_EQ(column(model, 0), QStringList({"e", "b", "c", "d", "a"}));
}

TEST(GridSortValues, NumbersAndDates) {
    EXPECT_EQ(numberSortValue(u"1,234,567"), 1234567.0);
    EXPECT_EQ(numberSortValue(u" 42 "), 42.0);
    EXPECT_EQ(numberSortValue(u"DELETED"), 0.0);
    EXPECT_EQ(numberSortValue(u""), 0.0);
    EXPECT_EQ(numberSortValue(u"nan"), 0.0);
    EXPECT_EQ(numberSortValue(u"-5,000"), -5000.0);

    EXPECT_EQ(dateSortValue(QDate(1900, 1, 1)), kNoDateSortValue);
    EXPECT_EQ(dateSortValue(quint32(0)), kNoDateSortValue);
    EXPECT_EQ(dateSortValue(QDate()), kNoDateSortValue);
    // A packed date sorts by its day, whatever its time.
    const quint32 morning = (quint32(2024 - 1980) << 25) | (7u << 21) | (1u << 16) | (6u << 11);
    const quint32 evening = (quint32(2024 - 1980) << 25) | (7u << 21) | (1u << 16) | (23u << 11);
    EXPECT_EQ(dateSortValue(morning), dateSortValue(QDate(2024, 7, 1)));
    EXPECT_EQ(dateSortValue(morning), dateSortValue(evening));

    // Rows added without a date value read the short date (M/d/yy here)
    // with the two-digit year put near the current year.
    EXPECT_EQ(dateSortValueFromText(u"1/2/80"), dateSortValue(QDate(1980, 1, 2)));
    EXPECT_EQ(dateSortValueFromText(u"7/1/24"), dateSortValue(QDate(2024, 7, 1)));
    EXPECT_EQ(dateSortValueFromText(u""), kNoDateSortValue);
    EXPECT_EQ(dateSortValueFromText(u"yesterday"), kNoDateSortValue);
}

// ---- Sort keys and direction flags --------------------------------------------

TEST(GridSortKeys, FlagFlipsAfterEverySort) {
    GridLayout layout = fileHogsLayout();
    ResultGridModel model(layout);
    SortDirections flags(layout);
    model.setSortDirections(&flags);
    for (const char* size : {"300", "1,000", "20"})
        model.addToGrid(QString::fromLatin1(size) + "\t\t\t\t/x/" + size + "\tT", "/x");

    // After a scan: the size flag set, a sort by size: largest first, flag left clear.
    flags.set(0, true);
    ASSERT_TRUE(model.sortByKey(0));
    EXPECT_EQ(column(model, 0), QStringList({"1,000", "300", "20"}));
    EXPECT_FALSE(flags.descending(0));
    // The first "&Size" then sorts smallest first.
    model.sortByKey(0);
    EXPECT_EQ(column(model, 0), QStringList({"20", "300", "1,000"}));
    EXPECT_TRUE(flags.descending(0));
    // Sorting again in the last direction leaves the flag alone.
    model.sortByKeyAgain(0);
    EXPECT_EQ(column(model, 0), QStringList({"20", "300", "1,000"}));
    EXPECT_TRUE(flags.descending(0));
    // Other keys keep their own flags.
    EXPECT_TRUE(flags.descending(1));
    EXPECT_FALSE(flags.descending(3));
}

TEST(GridSortKeys, FlipBeforeSortLayouts) {
    GridLayout layout = smallLayout();
    layout.flipBeforeSort = true;
    ResultGridModel model(layout);
    SortDirections flags(layout);
    model.setSortDirections(&flags);
    for (const char* n : {"b", "c", "a"})
        model.addToGrid(GridRow{{QString::fromLatin1(n), QStringLiteral("1"), QString()}, {}, {}});
    model.sortByKey(2);  // name flag was clear: flipped to set, so descending
    EXPECT_EQ(column(model, 0), QStringList({"c", "b", "a"}));
    model.sortByKeyAgain(2);
    EXPECT_EQ(column(model, 0), QStringList({"c", "b", "a"}));
}

TEST(GridSortKeys, DuplicateModeDoesNotSort) {
    ResultGridModel model(duplicatesLayout(0));
    model.addToGrid(QStringLiteral("b\t1\t\t\t\t/f\tT"), "/f/b");
    model.addToGrid(QStringLiteral("a\t1\t\t\t\t/f\tT"), "/f/a");
    EXPECT_FALSE(model.sortByKey(0));
    EXPECT_EQ(column(model, 0), QStringList({"b", "a"}));
}

TEST(GridSortKeys, DirectionsLiveForTheRun) {
    GridLayout layout = smallLayout();
    layout.id = QStringLiteral("test.run");
    SortDirections::forRun(layout).flip(0);
    {
        ResultGridModel first(layout);
        EXPECT_FALSE(first.sortDirections().descending(0));
        first.addToGrid(GridRow{{QStringLiteral("a"), QStringLiteral("1"), QString()}, {}, {}});
        first.sortByKey(0);
    }
    // A new window of the same tool continues with the flags as left.
    ResultGridModel second(layout);
    EXPECT_TRUE(second.sortDirections().descending(0));
    EXPECT_EQ(&second.sortDirections(), &SortDirections::forRun(layout));
}

// ---- Rows -------------------------------------------------------------------------

TEST(GridRows, RowCounterAndGridRowCount) {
    ResultGridModel model(smallLayout());
    EXPECT_EQ(model.rowCounter(), 0);
    EXPECT_EQ(model.gridRowCount(), 2);
    EXPECT_EQ(model.rowCount(), 1);  // the empty row under the titles
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QString());
    model.addToGrid(GridRow{{QStringLiteral("a"), QStringLiteral("1"), QString()}, {}, {}});
    EXPECT_EQ(model.gridRowCount(), 2);
    EXPECT_EQ(model.rowCount(), 1);
    model.beginBatch();
    for (int i = 0; i < 4; ++i)
        model.addToGrid(GridRow{{QStringLiteral("b"), QStringLiteral("1"), QString()}, {}, {}});
    EXPECT_EQ(model.rowCount(), 1);  // views learn of the batch at its end
    model.endBatch();
    EXPECT_EQ(model.rowCounter(), 5);
    EXPECT_EQ(model.gridRowCount(), 6);
    EXPECT_EQ(model.rowCount(), 5);
    model.ClearGrid();
    EXPECT_EQ(model.rowCounter(), 0);
    EXPECT_EQ(model.gridRowCount(), 2);
    EXPECT_EQ(model.reportRows().size(), 2);  // titles and the empty row
}

struct LineCase {
    int criterion;
    QString line;
    QStringList cells;
};

class DuplicateLinesTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(DuplicateLinesTest, FieldsFillTheirColumnsAndComeBackAsTheLine) {
    const LineCase& c = GetParam();
    ResultGridModel model(duplicatesLayout(c.criterion));
    model.addToGrid(c.line, "/data/x.txt");
    EXPECT_EQ(model.rowTexts(1), c.cells);
    EXPECT_EQ(model.resultLines(), QStringList{c.line});
    EXPECT_EQ(model.pathAt(1), QByteArray("/data/x.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Criteria, DuplicateLinesTest,
    ::testing::Values(
        LineCase{0,
                 "x.txt\t1,024\t1/2/24\t10:00:00 AM\t1/3/24\t/data\tText",
                 {"x.txt", "1,024", "1/2/24", "10:00:00 AM", "1/3/24", "/data", "Text"}},
        LineCase{4,
                 "1,024\tx.txt\t1/2/24\t10:00:00 AM\t1/3/24\t/data\tText",
                 {"x.txt", "1,024", "1/2/24", "10:00:00 AM", "1/3/24", "/data", "Text"}},
        LineCase{6,
                 "Text\t1/2/24\t10:00:00 AM\tx.txt\t1,024\t1/3/24\t/data",
                 {"x.txt", "1,024", "1/2/24", "10:00:00 AM", "1/3/24", "/data", "Text"}}));

TEST(GridRows, FileHogLinesFillColumnsInOrder) {
    ResultGridModel model(fileHogsLayout());
    model.addToGrid(QStringLiteral("2,048\t1/2/24\t9:00:00 AM\t1/3/24\t/a/B.bin\tBinary"),
                    "/a/B.bin");
    EXPECT_EQ(model.rowTexts(1),
              QStringList({"2,048", "1/2/24", "9:00:00 AM", "1/3/24", "/a/B.bin", "Binary"}));
}

TEST(GridRows, SetCellTextKeepsTheRowAndRereadsItsNumber) {
    ResultGridModel model(smallLayout());
    for (const char* s : {"10", "30", "20"})
        model.addToGrid(GridRow{{QString::fromLatin1(s), QString::fromLatin1(s), QString()},
                                QByteArray("/p/") + s,
                                {}});
    model.setCellText(2, 1, QStringLiteral("DELETED"));
    EXPECT_EQ(model.rowTexts(2), QStringList({"30", "DELETED", ""}));
    EXPECT_EQ(model.pathAt(2), QByteArray("/p/30"));
    model.sortByNumber(1, 3, true, 1);
    EXPECT_EQ(column(model, 0), QStringList({"20", "10", "30"}));
}

// ---- Marks --------------------------------------------------------------------------

class GridMarks : public ::testing::Test {
protected:
    test::TempTree tree;
    ResultGridModel model{fileHogsLayout()};
    SortDirections flags{fileHogsLayout()};

    void SetUp() override { model.setSortDirections(&flags); }

    void add(const QByteArray& relative, qint64 size) {
        const QByteArray path = tree.file(relative, size);
        add(path, numberText(size));
    }
    void add(const QByteArray& path, const QString& sizeText) {
        model.addToGrid(sizeText + "\t\t\t\t" + displayText(path) + "\tT", path);
    }
};

TEST_F(GridMarks, MarkSortUnmarkReturnsToNothing) {
    add("small", 10);
    add("big", 3000);
    add("mid", 200);
    ASSERT_TRUE(model.deleteOneFile(1));  // small
    EXPECT_EQ(model.markedCount(), 1);
    EXPECT_EQ(model.markedBytes(), 10);
    EXPECT_EQ(model.statusText(), QStringLiteral("1 files 10 bytes"));

    model.sortByKey(0);  // largest first: small moves to row 3, its mark with it
    EXPECT_FALSE(model.isMarked(1));
    EXPECT_TRUE(model.isMarked(3));
    EXPECT_TRUE(model.data(model.index(2, 4), ResultGridModel::MarkedRole).toBool());
    EXPECT_FALSE(model.data(model.index(2, 0), ResultGridModel::MarkedRole).toBool());
    EXPECT_EQ(model.markedPaths(), QList<QByteArray>{tree.path("small")});

    model.deleteOneFile(3);
    EXPECT_EQ(model.markedCount(), 0);
    EXPECT_EQ(model.markedBytes(), 0);
    EXPECT_TRUE(model.markedPaths().isEmpty());
    EXPECT_EQ(model.statusText(), QStringLiteral("0 files 0 bytes"));
}

TEST_F(GridMarks, MarkedPathsInMarkingOrder) {
    add("a", 1);
    add("b", 2);
    add("c", 3);
    model.deleteOneFile(3);
    model.deleteOneFile(1);
    model.deleteOneFile(2);
    EXPECT_EQ(model.markedPaths(),
              QList<QByteArray>({tree.path("c"), tree.path("a"), tree.path("b")}));
    model.deleteOneFile(1);
    EXPECT_EQ(model.markedPaths(), QList<QByteArray>({tree.path("c"), tree.path("b")}));
    EXPECT_EQ(model.markedBytes(), 5);
}

TEST_F(GridMarks, VanishedFileIsMarkedButNotCounted) {
    add("here", 100);
    add("gone", 50);
    ASSERT_EQ(::unlink(tree.path("gone").constData()), 0);
    model.deleteOneFile(2);
    EXPECT_TRUE(model.isMarked(2));
    EXPECT_EQ(model.markedCount(), 0);
    EXPECT_EQ(model.markedBytes(), 0);
    EXPECT_EQ(model.markedPaths(), QList<QByteArray>{tree.path("gone")});
    model.deleteOneFile(1);
    EXPECT_EQ(model.markedCount(), 1);
    EXPECT_EQ(model.markedBytes(), 100);
    model.deleteOneFile(2);
    EXPECT_FALSE(model.isMarked(2));
    EXPECT_EQ(model.markedCount(), 1);
    EXPECT_EQ(model.markedBytes(), 100);
    EXPECT_EQ(model.markedPaths(), QList<QByteArray>{tree.path("here")});
}

TEST_F(GridMarks, UnmarkTakesBackWhatTheMarkAdded) {
    add("grows", 100);
    add("goes", 40);
    model.deleteOneFile(1);
    model.deleteOneFile(2);
    EXPECT_EQ(model.markedBytes(), 140);
    // The files change while marked: unmarking still returns the totals to 0.
    tree.file("grows", 5000);
    ASSERT_EQ(::unlink(tree.path("goes").constData()), 0);
    model.deleteOneFile(1);
    model.deleteOneFile(2);
    EXPECT_EQ(model.markedCount(), 0);
    EXPECT_EQ(model.markedBytes(), 0);
}

TEST_F(GridMarks, FoldersAndEmptyRowsAreNotCounted) {
    add(tree.mkdir("folder"), QStringLiteral("0"));
    model.deleteOneFile(1);
    EXPECT_TRUE(model.isMarked(1));
    EXPECT_EQ(model.markedCount(), 0);
    // Rows outside 1 .. rowCounter are ignored.
    EXPECT_FALSE(model.deleteOneFile(0));
    EXPECT_FALSE(model.deleteOneFile(2));
    ResultGridModel empty{fileHogsLayout()};
    EXPECT_FALSE(empty.deleteOneFile(1));
    EXPECT_EQ(empty.markAll(), 0);
}

TEST_F(GridMarks, NameThatIsNotUtf8IsShownLossyAndMarkedByItsBytes) {
    const QByteArray name("caf\xe9-\xff.bin");
    add(name, 77);
    const QString shown = model.cellText(1, 4);
    EXPECT_TRUE(shown.contains(QChar(QChar::ReplacementCharacter)));
    EXPECT_EQ(model.pathAt(1), tree.path(name));
    model.deleteOneFile(1);
    EXPECT_EQ(model.markedCount(), 1);
    EXPECT_EQ(model.markedBytes(), 77);
    EXPECT_EQ(model.markedPaths(), QList<QByteArray>{tree.path(name)});
}

TEST_F(GridMarks, MarkAllOnAThousandVanishedFiles) {
    model.beginBatch();
    for (int i = 0; i < 1000; ++i)
        add(tree.path("missing/" + QByteArray::number(i)), QStringLiteral("1"));
    model.endBatch();
    EXPECT_EQ(model.markAll(), 1000);
    EXPECT_TRUE(model.isMarked(1));
    EXPECT_TRUE(model.isMarked(1000));
    EXPECT_EQ(model.markedCount(), 0);
    EXPECT_EQ(model.markedPathCount(), 1000);
    EXPECT_EQ(model.markedPaths().first(), tree.path("missing/0"));
    model.clearAllMarks();
    EXPECT_FALSE(model.isMarked(500));
    EXPECT_EQ(model.markedPathCount(), 0);
}

TEST_F(GridMarks, MarkAllStartsFromNothing) {
    add("a", 5);
    add("b", 7);
    model.deleteOneFile(1);
    EXPECT_EQ(model.markAll(), 2);  // a was unmarked first, then both marked
    EXPECT_EQ(model.markedCount(), 2);
    EXPECT_EQ(model.markedBytes(), 12);
    EXPECT_EQ(model.markedPaths(), QList<QByteArray>({tree.path("a"), tree.path("b")}));
}

TEST_F(GridMarks, TotalsAre64Bit) {
    const QByteArray path = tree.path("sparse");
    tree.fileWith("sparse", QByteArray());
    ASSERT_EQ(::truncate(path.constData(), 5'000'000'000LL), 0);
    add(path, numberText(5'000'000'000LL));
    model.deleteOneFile(1);
    EXPECT_EQ(model.markedBytes(), 5'000'000'000LL);
    EXPECT_EQ(model.statusText(), QStringLiteral("1 files 5,000,000,000 bytes"));
}

TEST(GridStatus, Formats) {
    EXPECT_EQ(markStatusText(QStringLiteral("%d files %s bytes"), 3, 1234567),
              QStringLiteral("3 files 1,234,567 bytes"));
    EXPECT_EQ(markStatusText(QStringLiteral("Marked for deletion: %d files %s bytes"), 0, 0),
              QStringLiteral("Marked for deletion: 0 files 0 bytes"));
}

// ---- Clipboard ------------------------------------------------------------------

TEST(GridClipboardText, Forms) {
    const QStringList titles{"A", "B", "C", "D", "E", "F"};
    const QList<QStringList> rows{{"1", "2", "3", "4", "5", "6"}, {"x", "", "z"}};
    EXPECT_EQ(clipboardText(ClipboardForm::ResultLines, titles, rows, {"l1\tf", "l2\tg"}),
              QStringLiteral("l1\tf\r\nl2\tg"));
    EXPECT_EQ(clipboardText(ClipboardForm::TitleAndRowsTabbed, titles, rows, {}),
              QStringLiteral("A\tB\tC\tD\tE\tF\r\n1\t2\t3\t4\t5\t6\r\nx\t\tz"));
    EXPECT_EQ(clipboardText(ClipboardForm::FirstFiveCellsTabbed, titles, rows, {}),
              QStringLiteral("1\t2\t3\t4\t5\t\r\nx\t\tz\t\t\t"));
    EXPECT_EQ(clipboardText(ClipboardForm::None, titles, rows, {"l"}), QString());
}

TEST(GridClipboardText, DuplicatesCopyTheirLinesInResultOrderNotGridOrder) {
    GridLayout layout = duplicatesLayout(0);
    layout.sortingOffered = true;
    layout.sortKeys = {{QStringLiteral("&Name"), SortKind::Text, 0, false}};
    ResultGridModel model(layout);
    model.addToGrid(QStringLiteral("b\t1\t\t\t\t/f\tT"), "/f/b");
    model.addToGrid(QStringLiteral("a\t2\t\t\t\t/g\tT"), "/g/a");
    model.sortByText(1, 2, false, 0);
    ASSERT_EQ(model.cellText(1, 0), QStringLiteral("a"));
    EXPECT_EQ(model.clipboardText(), QStringLiteral("b\t1\t\t\t\t/f\tT\r\na\t2\t\t\t\t/g\tT"));
}

TEST(GridClipboardText, TabbedFormsFollowTheGridOrder) {
    GridLayout layout = fileHogsLayout();
    layout.clipboard = ClipboardForm::TitleAndRowsTabbed;
    ResultGridModel model(layout);
    SortDirections flags(layout);
    model.setSortDirections(&flags);
    model.addToGrid(QStringLiteral("1\td\tt\ta\t/p\tT"), "/p");
    model.addToGrid(QStringLiteral("2\td\tt\ta\t/q\tT"), "/q");
    model.sortByKey(0);
    EXPECT_EQ(model.clipboardText(),
              QStringLiteral("Size\tModified\tTime\tAccess\tFileName\tType\r\n"
                             "2\td\tt\ta\t/q\tT\r\n1\td\tt\ta\t/p\tT"));
}

// ---- Layouts --------------------------------------------------------------------

TEST(GridLayouts, DuplicatesAndFileHogs) {
    const GridLayout dup = duplicatesLayout(0);
    EXPECT_EQ(dup.columnCount(), 7);
    EXPECT_EQ(dup.markColumn, 0);
    EXPECT_TRUE(dup.isRightAligned(1));
    EXPECT_FALSE(dup.sortingOffered);
    EXPECT_EQ(dup.titleClickKey(0), -1);
    EXPECT_EQ(std::accumulate(dup.baseWidths.begin(), dup.baseWidths.end(), 0) + 25,
              dup.restOffset);

    const GridLayout hog = fileHogsLayout();
    EXPECT_EQ(hog.titles, QStringList({"Size", "Modified", "Time", "Access", "FileName", "Type"}));
    EXPECT_EQ(hog.markColumn, 4);
    EXPECT_TRUE(hog.isRightAligned(0));
    ASSERT_EQ(hog.sortKeys.size(), 5);
    const QStringList menu{"&Size", "&Date", "&Access Date", "&Name", "&Type"};
    const QList<bool> flags{true, true, true, false, false};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(hog.sortKeys[k].menuText, menu[k]);
        EXPECT_EQ(hog.sortKeys[k].initialDescending, flags[k]);
    }
    EXPECT_EQ(hog.titleClickKey(0), 0);
    EXPECT_EQ(hog.titleClickKey(2), -1);  // "Time"
    EXPECT_EQ(hog.titleClickKey(4), 3);
    EXPECT_EQ(hog.statusFormat, QStringLiteral("%d files %s bytes"));
}

}  // namespace

namespace {

TEST(GridRowMemory, ArenaKeepsItsBytesWhileGrowingPastTheLargeBlocks) {
    ByteArena arena;
    QByteArray expected;
    for (int i = 0; i < 30000; ++i) {
        const QByteArray piece = QByteArray::number(i) + "-row-text-";
        arena.append(piece.constData(), size_t(piece.size()));
        expected += piece;
    }
    ASSERT_GT(arena.size(), 400'000u);  // grown on the heap so far
    // Into whole huge pages, then on through mremap moves.
    for (char fill : {'x', 'y', 'z'}) {
        const QByteArray big(int(3 * rowmemory::kLargeBlock), fill);
        arena.append(big.constData(), size_t(big.size()));
        expected += big;
    }
    ASSERT_EQ(arena.size(), size_t(expected.size()));
    EXPECT_EQ(QByteArrayView(arena.data(), qsizetype(arena.size())), QByteArrayView(expected));
    arena.resize(10);
    EXPECT_EQ(QByteArrayView(arena.data(), 10), QByteArrayView(expected).first(10));
    arena.release();
    EXPECT_EQ(arena.size(), 0u);
    arena.append("again", 5);
    EXPECT_EQ(QByteArrayView(arena.data(), 5), QByteArrayView("again"));
}

TEST(GridRowMemory, LargeVectorsWork) {
    RowVector<std::uint32_t> v;
    for (std::uint32_t i = 0; i < 2'000'000; ++i)
        v.push_back(i);
    EXPECT_EQ(v[1'999'999], 1'999'999u);
    RowVector<std::uint32_t> copy = v;
    EXPECT_EQ(copy[123'456], 123'456u);
    RowVector<std::uint32_t>().swap(v);
    EXPECT_EQ(v.capacity(), 0u);
}

}  // namespace
