// The result grid's engine: the three sorts and their direction flags, marks
// and totals, clipboard texts.
#include "results/GridClipboard.h"
#include "results/GridLayout.h"
#include "results/GridSort.h"
#include "results/ResultGridModel.h"
#include "results/RowMemory.h"
#include "results/SortDirections.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <random>

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

// Tag (names the row), Text, Number, Date.
GridLayout testLayout() {
    GridLayout g;
    g.id = QStringLiteral("test.grid");
    g.titles = QStringList{"Tag", "Text", "Number", "Date"};
    g.kinds = {ColumnKind::Text, ColumnKind::Text, ColumnKind::Number, ColumnKind::Date};
    g.markColumn = 0;
    g.sortKeys = {{"&Number", SortKind::Number, 2, true},
                  {"&Date", SortKind::Date, 3, true},
                  {"&Text", SortKind::Text, 1, false}};
    return g;
}

QStringList column(const ResultGridModel& model, int c) {
    QStringList out;
    for (int row = 1; row <= model.rowCounter(); ++row)
        out.append(model.cellText(row, c));
    return out;
}

// Rows whose tag and text are both the given name.
void addTagged(ResultGridModel& model, std::initializer_list<const char*> names) {
    for (const char* n : names)
        model.addToGrid(GridRow{{n, n, QStringLiteral("1"), QString()}, {}, {}});
}

// ---- The sorts ----------------------------------------------------------------

struct SortCase {
    const char* name;
    SortKind kind;
    bool descending;
    const char* keys;   // key cells in the order the rows were added, "|" between
    const char* order;  // the rows (by the order added) after the sort
};

class GridSortTest : public ::testing::TestWithParam<SortCase> {};

const double d99 = dateSortValue(QDate(1999, 12, 31)), d24 = dateSortValue(QDate(2024, 7, 1));

TEST_P(GridSortTest, SortsTheRowsIntoThisExactOrder) {
    const SortCase& c = GetParam();
    ResultGridModel model(testLayout());
    const int key = c.kind == SortKind::Text ? 1 : (c.kind == SortKind::Number ? 2 : 3);
    const QStringList keys = QString::fromUtf8(c.keys).split(QLatin1Char('|'));
    for (qsizetype i = 0; i < keys.size(); ++i) {
        GridRow row{{QString::number(i), QString(), QString(), QString()}, {}, {}};
        row.cells[key] = keys[i];
        // These two dates come with their value; the others are read from the text.
        if (c.kind == SortKind::Date && (keys[i] == u"12/31/99" || keys[i] == u"7/1/24"))
            row.values.append({key, keys[i] == u"7/1/24" ? d24 : d99});
        model.addToGrid(row);
    }
    model.sortRows(c.kind, 1, model.rowCounter(), c.descending, key);
    EXPECT_EQ(column(model, 0).join(QLatin1Char(' ')), QString::fromUtf8(c.order));
}

constexpr SortKind kText = SortKind::Text, kNumber = SortKind::Number, kDate = SortKind::Date;

const SortCase kSorts[] = {
    {"Number1024After999", kNumber, false, "1,024|999|5", "2 1 0"},
    {"NumberDescending", kNumber, true, "1,024|2,147,483,647|999|0", "1 0 2 3"},
    {"NotNumbersSortAsZero", kNumber, false, "12|DELETED|-3|", "2 3 1 0"},
    {"EqualNumbersChangePlaces", kNumber, false, "7|7", "1 0"},
    {"TextPuts1024Before999", kText, false, "999|1,024|5", "1 2 0"},
    {"TextIgnoresCase", kText, false, "beta|Alpha|GAMMA|alpha2|Beta1|delta", "1 3 0 4 5 2"},
    {"TextDescending", kText, true, "b|a|d|c|f|e|g", "6 4 5 2 3 0 1"},
    // Six equal keys go through the quicksort, which swaps them end for
    // end; five or fewer through neighbour swaps, which keep their order.
    {"SixEqualTextsReversed", kText, false, "s|s|s|s|s|s", "5 4 3 2 1 0"},
    {"FiveEqualTextsKept", kText, false, "s|s|s|s|s", "0 1 2 3 4"},
    // Ties over longer ranges, and keys that share their first four characters.
    {"TextTies", kText, false, "b|a|B|abcde|ABCDA|a|\u00e9|abcd|A|", "9 1 8 5 7 4 3 2 0 6"},
    {"TextTiesDescending", kText, true, "b|a|B|abcde|ABCDA|a|\u00e9|abcd|A|",
     "6 0 2 3 4 7 5 1 8 9"},
    {"NumberTies", kNumber, false, "3|1|2|1|3|2|1|2", "3 6 1 5 7 2 0 4"},
    {"NumberTiesDescending", kNumber, true, "3|1|2|1|3|2|1|2", "4 0 5 7 2 6 1 3"},
    {"EmptyDateFirst", kDate, false, "7/1/24||12/31/99|1/2/03", "1 2 3 0"},
    {"UnreadableDateLast", kDate, true, "12/31/99|1/2/80|7/1/24|yesterday", "2 0 1 3"}};

INSTANTIATE_TEST_SUITE_P(Rows, GridSortTest, ::testing::ValuesIn(kSorts),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(GridSortFacts, SortsOnlyTheGivenRangeClamped) {
    ResultGridModel model(testLayout());
    addTagged(model, {"e", "d", "c", "b", "a"});
    model.sortByText(2, 4, false, 1);
    EXPECT_EQ(column(model, 0), QStringList({"e", "b", "c", "d", "a"}));
    model.sortByText(5, 50, false, 1);
    EXPECT_EQ(column(model, 0), QStringList({"e", "b", "c", "d", "a"}));
}

// Sorting every row reads the keys in storage order; the order must be the
// one the range sort gives from the same starting order, ties included.
TEST(GridSortFacts, WholeGridTextSortMatchesTheRangeOrder) {
    const QStringList pool = {u"abc"_s,  u"ABC"_s,  u"Abc"_s,      u"\u00e9t\u00e9"_s,
                              u"\u00c9T\u00c9"_s, u"stra\u00dfe"_s, u"STRASSE"_s,
                              u"\u03c3\u03bf\u03c2"_s, u"\u03a3\u039f\u03a3"_s,
                              u"\u01c5x"_s, u"\u01c4X"_s, u"abcd\u00e9"_s, u"abcdE"_s,
                              u""_s, u"z"_s, u"\U0001F600a"_s, u"a\uFFFDb"_s};
    for (const bool descending : {false, true}) {
        ResultGridModel model(testLayout());
        model.beginBatch();
        const int rows = 3000;
        for (int i = 0; i < rows; ++i) {
            // Every third key comes from a name that is no UTF-8, decoded lossily.
            const QByteArray path = "/x/" + QByteArray::number(i) + (i % 3 == 0 ? "\xff\xfe" : "");
            const QString text = i % 3 == 0 ? QString::fromUtf8(path.mid(path.size() - 3))
                                            : pool[(i * 7 + i / 5) % pool.size()];
            model.addToGrid(QString::number(i) + u'\t' + text + u'\t' +
                                QString::number((i * 7919) % 97) + u'\t',
                            path);
        }
        model.endBatch();
        model.sortByNumber(1, rows, false, 2);  // a scrambled starting order

        // The range sort's own steps on the grid order as it stands.
        TextSortKeys keys;
        std::vector<std::uint32_t> perm(static_cast<size_t>(rows));
        QStringList tags;
        for (int row = 1; row <= rows; ++row) {
            keys.append(model.cellText(row, 1));
            tags.append(model.cellText(row, 0));
            perm[size_t(row - 1)] = std::uint32_t(row - 1);
        }
        sortPermutationByText(perm, keys, descending);
        QStringList expected;
        for (const std::uint32_t p : perm)
            expected.append(tags[p]);

        model.sortByText(1, rows, descending, 1);
        EXPECT_EQ(column(model, 0), expected) << "descending " << descending;
        for (int row = 1; row <= rows; ++row)
            ASSERT_EQ(model.pathAt(row), "/x/" + model.cellText(row, 0).toLatin1() +
                                             (model.cellText(row, 0).toInt() % 3 == 0
                                                  ? QByteArray("\xff\xfe")
                                                  : QByteArray()));
    }
}

// ---- Sort keys and direction flags ----------------------------------------------

TEST(GridSortKeys, FlagsFlipPerKeyAndOutliveTheModel) {
    GridLayout layout = testLayout();
    layout.id = QStringLiteral("test.flags");
    {
        ResultGridModel model(layout);  // takes the flags of the run
        addTagged(model, {"b", "c", "a"});
        model.sortByKey(2);  // the text flag starts clear: ascending
        model.sortByKey(2);
        EXPECT_EQ(column(model, 0), QStringList({"c", "b", "a"}));
        model.sortByKeyAgain(2);  // the last direction again; the flag stays
        EXPECT_EQ(column(model, 0), QStringList({"c", "b", "a"}));
    }
    // A new window of the tool goes on from the flags as they were left.
    EXPECT_FALSE(ResultGridModel(layout).sortDirections().descending(2));
    EXPECT_TRUE(ResultGridModel(layout).sortDirections().descending(0));

    layout.id = QStringLiteral("test.flip");
    layout.flipBeforeSort = true;
    ResultGridModel flipFirst(layout);
    addTagged(flipFirst, {"b", "c", "a"});
    flipFirst.sortByKey(2);  // flipped to set first, so descending
    EXPECT_EQ(column(flipFirst, 0), QStringList({"c", "b", "a"}));

    ResultGridModel dup(duplicatesLayout(0));  // duplicates are never re-sorted
    dup.addToGrid(QStringLiteral("b\t1\t\t\t\t/f\tT"), "/f/b");
    dup.addToGrid(QStringLiteral("a\t1\t\t\t\t/f\tT"), "/f/a");
    EXPECT_FALSE(dup.sortByKey(0));
    EXPECT_EQ(column(dup, 0), QStringList({"b", "a"}));
}

// ---- Marks --------------------------------------------------------------------------

class GridMarks : public ::testing::Test {
protected:
    test::TempTree tree;
    ResultGridModel model{fileHogsLayout()};
    SortDirections flags{fileHogsLayout()};

    void SetUp() override { model.setSortDirections(&flags); }
    void add(const QByteArray& relative, qint64 size) {
        add(tree.file(relative, size), numberText(size));
    }
    void add(const QByteArray& path, const QString& sizeText) {
        model.addToGrid(sizeText + "\t\t\t\t" + displayText(path) + "\tT", path);
    }
};

TEST_F(GridMarks, ToggleCountsFoundFilesAndUnmarkTakesBackWhatItAdded) {
    add("a", 10);
    add("b", 3000);
    add("gone", 50);
    add(tree.mkdir("folder"), QStringLiteral("0"));
    ASSERT_EQ(::unlink(tree.path("gone").constData()), 0);
    // Row 3 vanished and row 4 is a folder: both are marked all the same but count nothing.
    for (int row : {3, 1, 2, 4})
        model.deleteOneFile(row);
    EXPECT_TRUE(model.isMarked(3) && model.isMarked(4));
    EXPECT_EQ(model.statusText(), QStringLiteral("2 files 3,010 bytes"));
    EXPECT_EQ(model.markedPaths(), QList<QByteArray>({tree.path("gone"), tree.path("a"),
                                                      tree.path("b"), tree.path("folder")}));
    model.sortByKey(0);  // largest first: b, gone, a, folder; the marks go along

    // The files change while marked: unmarking takes back what the marks added.
    tree.file("b", 5000);
    ASSERT_EQ(::unlink(tree.path("a").constData()), 0);
    tree.file("gone", 999);
    model.deleteOneFile(2);  // gone, now there again
    EXPECT_EQ(model.markedBytes(), 3010);
    for (int row : {1, 3, 4})
        model.deleteOneFile(row);
    EXPECT_EQ(model.statusText(), QStringLiteral("0 files 0 bytes"));
    EXPECT_TRUE(model.markedPaths().isEmpty());
    EXPECT_FALSE(model.deleteOneFile(0) || model.deleteOneFile(5));  // outside 1 .. rowCounter
    EXPECT_EQ(ResultGridModel(fileHogsLayout()).markAll(), 0);
}

TEST_F(GridMarks, MarkAllCountsOddNamesAndTotalsBeyond32Bits) {
    const QByteArray odd("caf\xe9-\xff.bin");
    add(odd, 77);
    const QByteArray sparse = tree.fileWith("sparse", QByteArray());
    ASSERT_EQ(::truncate(sparse.constData(), 5'000'000'000LL), 0);
    add(sparse, numberText(5'000'000'000LL));
    model.beginBatch();
    for (int i = 0; i < 1000; ++i)
        add(tree.path("missing/" + QByteArray::number(i)), QStringLiteral("1"));
    model.endBatch();
    model.deleteOneFile(1);
    EXPECT_EQ(model.markAll(), 1002);  // row 1 was unmarked first, then all marked
    EXPECT_EQ(model.statusText(), QStringLiteral("2 files 5,000,000,077 bytes"));
    EXPECT_EQ(model.markedPathCount(), 1002);
    EXPECT_EQ(model.markedPaths().first(), tree.path(odd));
    EXPECT_TRUE(model.cellText(1, 4).contains(QChar(QChar::ReplacementCharacter)));
    model.clearAllMarks();
    EXPECT_FALSE(model.isMarked(500));
    EXPECT_EQ(model.markedPathCount(), 0);
    EXPECT_EQ(model.markedBytes(), 0);
}

// Marking all looks the files up on several threads once there are enough
// rows; the marks, totals and marking order must be those of toggling every
// row in turn: files, vanished files (and folders), folders, symbolic links
// (their own size), and one path in two rows.
TEST_F(GridMarks, MarkAllOnManyRowsEqualsTogglingEachRow) {
    ResultGridModel oneByOne{fileHogsLayout()};
    oneByOne.setSortDirections(&flags);
    model.beginBatch();
    oneByOne.beginBatch();
    for (int i = 0; i < 12000; ++i) {
        const QByteArray name = "d" + QByteArray::number(i % 37) + "/f" + QByteArray::number(i);
        QByteArray path;
        switch (i % 5) {
            case 0:
                // Never made: in a folder that is there, below a folder that
                // is not (whose name begins another's that is), below a file.
                path = tree.path(i % 3 == 0   ? name
                                 : i % 3 == 1 ? "gone/x" + QByteArray::number(i)
                                              : "d0/f4/" + QByteArray::number(i));
                if (i % 15 == 0)
                    path = tree.file("gone2/f" + QByteArray::number(i), 7);
                break;
            case 1:
                path = tree.mkdir(name);
                break;
            case 2:
                path = tree.path(name);
                tree.file(name, 0);
                ASSERT_EQ(::unlink(path.constData()), 0);
                ASSERT_EQ(::symlink("target-that-is-longer", path.constData()), 0);
                break;
            case 3:
                path = tree.path("d0/f3");  // the same file again
                break;
            default:
                path = tree.file(name, i);
        }
        add(path, numberText(i));
        oneByOne.addToGrid(numberText(i) + "\t\t\t\t" + displayText(path) + "\tT", path);
    }
    model.endBatch();
    oneByOne.endBatch();
    for (int row = 1; row <= oneByOne.rowCounter(); ++row)
        oneByOne.deleteOneFile(row);
    EXPECT_EQ(model.markAll(), 12000);
    EXPECT_EQ(model.markedCount(), oneByOne.markedCount());
    EXPECT_EQ(model.markedBytes(), oneByOne.markedBytes());
    EXPECT_EQ(model.markedPaths(), oneByOne.markedPaths());
    EXPECT_EQ(model.statusText(), oneByOne.statusText());
    // Unmarking a row takes back what its mark added.
    const qint64 before = model.markedBytes();
    model.deleteOneFile(5);  // f4: 4 bytes
    EXPECT_EQ(model.markedBytes(), before - 4);
}

// ---- Clipboard and row memory -----------------------------------------------------

// The tabbed forms (the result-lines form is the grid window's).
TEST(GridClipboardText, TabbedForms) {
    const QStringList titles{"A", "B", "C", "D", "E", "F"};
    const QList<QStringList> rows{{"1", "2", "3", "4", "5", "6"}, {"x", "", "z"}};
    EXPECT_EQ(clipboardText(ClipboardForm::TitleAndRowsTabbed, titles, rows, {}),
              QStringLiteral("A\tB\tC\tD\tE\tF\r\n1\t2\t3\t4\t5\t6\r\nx\t\tz"));
    EXPECT_EQ(clipboardText(ClipboardForm::FirstFiveCellsTabbed, titles, rows, {}),
              QStringLiteral("1\t2\t3\t4\t5\t\r\nx\t\tz\t\t\t"));
}

// Cells come from lines split eight characters at a time: tabs, blanks and
// non-ASCII characters (surrogate pairs included) at every position of a
// step give the cells tabField gives.
TEST(GridClipboardText, CellsOfRandomLinesAreTheirTabFields) {
    const char16_t pieces[] = {u'a', u'Z', u'\t', u'\t', u' ', u'\u00e9', u'\u4e2d', u'~', u'\x7f'};
    std::mt19937 random(7);
    ResultGridModel model(testLayout());
    QStringList lines;
    for (int i = 0; i < 400; ++i) {
        QString line;
        const int length = int(random() % 40);
        for (int k = 0; k < length; ++k) {
            if (random() % 12 == 0)
                line += u"\U0001D11E"_s;  // a surrogate pair
            else
                line += QChar(pieces[random() % std::size(pieces)]);
        }
        lines.append(line);
        model.addToGrid(line, QByteArray("/p/") + QByteArray::number(i));
    }
    ASSERT_EQ(model.rowCounter(), int(lines.size()));
    for (int row = 1; row <= model.rowCounter(); ++row) {
        for (int c = 0; c < 2; ++c)  // the text columns
            ASSERT_EQ(model.cellText(row, c), tabField(lines[row - 1], c + 1))
                << "line " << row << ": " << qPrintable(lines[row - 1]);
    }
}

// The result lines are the lines the rows were added with: blanks at either
// end of a name survive, though the cell shows the name trimmed. A row whose
// cells change gives the changed cells.
TEST(GridClipboardText, ResultLinesAreExact) {
    ResultGridModel model(duplicatesLayout(0));
    const QStringList lines = {u"  lead.txt\t1,024\t6/1/01\t12:00:00 PM\t6/1/01\t/d\tText"_s,
                               u"trail.txt \t7\t6/1/01\t12:00:00 PM\t6/1/01\t/d \tText"_s,
                               u"plain.txt\t7\t6/1/01\t12:00:00 PM\t6/1/01\t/d\tText"_s,
                               u"changed.txt \t7\t6/1/01\t12:00:00 PM\t6/1/01\t/d\tText"_s};
    for (const QString& line : lines)
        model.addToGrid(line, "/d/" + line.section('\t', 0, 0).toUtf8());
    EXPECT_EQ(model.cellText(1, 0), u"lead.txt"_s);
    EXPECT_EQ(model.cellText(2, 5), u"/d"_s);
    model.setCellText(4, 1, u"DELETED"_s);
    const QStringList expected = {lines[0], lines[1], lines[2],
                                  u"changed.txt\tDELETED\t6/1/01\t12:00:00 PM\t6/1/01\t/d\tText"_s};
    EXPECT_EQ(model.resultLines(), expected);
    EXPECT_EQ(model.clipboardText(), expected.join(u"\r\n"_s));
    model.ClearGrid();
    model.addToGrid(lines[2], "/d/plain.txt");
    EXPECT_EQ(model.resultLines(), QStringList{lines[2]});
}

TEST(GridRowMemory, ArenaKeepsItsBytesPastTheLargeBlocks) {
    ByteArena arena;
    QByteArray expected;
    for (int i = 0; i < 30000; ++i)
        expected += QByteArray::number(i) + "-row-text-";
    for (char fill : {'x', 'y', 'z'})  // into huge pages, then on through mremap moves
        expected += QByteArray(int(3 * rowmemory::kLargeBlock), fill);
    for (qsizetype at = 0; at < expected.size(); at += 7919)
        arena.append(expected.constData() + at,
                     size_t(qMin<qsizetype>(7919, expected.size() - at)));
    EXPECT_EQ(QByteArrayView(arena.data(), qsizetype(arena.size())), QByteArrayView(expected));
    const RowVector<std::uint32_t> large(2'000'000, 7u);
    EXPECT_EQ(RowVector<std::uint32_t>(large)[1'999'999], 7u);
}

// Records survive growth past the large blocks (moved, never copied) and
// erase keeps the order; an arena released while its pages are still being
// warmed ahead goes cleanly.
TEST(GridRowMemory, RowArrayKeepsItsRecordsAcrossMovesAndErase) {
    RowArray<std::uint64_t> records;
    constexpr std::uint64_t kCount = 3 * rowmemory::kLargeBlock / sizeof(std::uint64_t);
    for (std::uint64_t i = 0; i < kCount; ++i)
        records.push_back(i * 3);
    std::uint64_t* tail = records.extend(2);
    tail[0] = 1;
    tail[1] = 2;
    records.erase(records.begin() + 1);
    ASSERT_EQ(records.size(), kCount + 1);
    EXPECT_EQ(records[0], 0u);
    EXPECT_EQ(records[1], 6u);
    EXPECT_EQ(records[kCount - 2], (kCount - 1) * 3);
    EXPECT_EQ(records[kCount], 2u);
    bool inOrder = true;
    for (std::size_t i = 2; i + 1 < kCount; ++i)
        inOrder = inOrder && records[i] == (i + 1) * 3;
    EXPECT_TRUE(inOrder);
    for (int round = 0; round < 20; ++round) {
        ByteArena arena;
        arena.resize(size_t(round + 3) * rowmemory::kLargeBlock);
        arena.data()[arena.size() - 1] = 'x';
        arena.release();
        EXPECT_EQ(arena.size(), 0u);
    }
}

}  // namespace
