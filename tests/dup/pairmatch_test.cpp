#include "dup/PairMatch.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <vector>

namespace vantrel {
namespace {

using test::TempTree;

// Cells in grid order: name, size, date, time, access, folder, type.
QStringList row(const char* name, const char* size, const char* date, const char* time,
                const char* type, const char* folder = "/data", const char* access = "01/02/24") {
    return {QString::fromUtf8(name), QString::fromUtf8(size),   QString::fromUtf8(date),
            QString::fromUtf8(time), QString::fromUtf8(access), QString::fromUtf8(folder),
            QString::fromUtf8(type)};
}

struct MatchCase {
    const char* what;
    int mode;
    QStringList first;
    QStringList second;
    bool matches;
};

std::ostream& operator<<(std::ostream& os, const MatchCase& c) {
    return os << c.what;
}

class PairMatchesTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(PairMatchesTest, ComparesTheCriterionsCells) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(pairMatches(c.first, c.second, c.mode), c.matches);
    // The comparison is symmetric.
    EXPECT_EQ(pairMatches(c.second, c.first, c.mode), c.matches);
}

const QStringList base = row("Report.doc", "1,024", "03/04/23", "10:20:30 AM", "Word document");

INSTANTIATE_TEST_SUITE_P(
    Modes, PairMatchesTest,
    ::testing::Values(
        // 0 "Filename only"
        MatchCase{"name ignoring case", 0, base,
                  row("REPORT.DOC", "9", "01/01/99", "1:00:00 AM", "x"), true},
        MatchCase{"other name", 0, base,
                  row("Report.docx", "1,024", "03/04/23", "10:20:30 AM", "Word document"), false},
        MatchCase{"only ASCII letters fold", 0, row("\xC3\xA9t\xC3\xA9.txt", "1", "d", "t", "T"),
                  row("\xC3\x89T\xC3\x89.TXT", "1", "d", "t", "T"), false},
        MatchCase{"folders do not count", 0, base,
                  row("report.doc", "1,024", "03/04/23", "10:20:30 AM", "Word document", "/other"),
                  true},
        // 1 "Filename and size"
        MatchCase{"name and size", 1, base, row("report.DOC", "1,024", "x", "y", "z"), true},
        MatchCase{"size differs", 1, base,
                  row("Report.doc", "1,025", "03/04/23", "10:20:30 AM", "Word document"), false},
        // 2 "Filename, size and modify date/time"
        MatchCase{"name, size, date, time", 2, base,
                  row("report.doc", "1,024", "03/04/23", "10:20:30 AM", "other type"), true},
        MatchCase{"time differs", 2, base,
                  row("Report.doc", "1,024", "03/04/23", "10:20:32 AM", "Word document"), false},
        MatchCase{"date differs", 2, base,
                  row("Report.doc", "1,024", "03/05/23", "10:20:30 AM", "Word document"), false},
        // 3 "Size only"
        MatchCase{"size only", 3, base, row("a.txt", "1,024", "x", "y", "z"), true},
        MatchCase{"size text is exact", 3, base, row("a.txt", "1024", "x", "y", "z"), false},
        // 4 "Size and modify date/time"
        MatchCase{"size, date, time", 4, base,
                  row("a.txt", "1,024", "03/04/23", "10:20:30 AM", "z"), true},
        MatchCase{"size and date, time differs", 4, base,
                  row("a.txt", "1,024", "03/04/23", "10:20:31 AM", "z"), false},
        // 5 "Size and type"
        MatchCase{"size and type", 5, base, row("a", "1,024", "x", "y", "Word document"), true},
        MatchCase{"type differs in case", 5, base, row("a", "1,024", "x", "y", "word document"),
                  false},
        // 6 "Type and modify date/time"
        MatchCase{"type, date, time", 6, base,
                  row("a", "7", "03/04/23", "10:20:30 AM", "Word document"), true},
        MatchCase{"type and time, date differs", 6, base,
                  row("a", "1,024", "03/04/22", "10:20:30 AM", "Word document"), false},
        // Any other value matches always.
        MatchCase{"mode 7", 7, base, row("x", "1", "2", "3", "4"), true},
        MatchCase{"mode -1", -1, base, row("x", "1", "2", "3", "4"), true},
        // Short rows: missing cells are empty text.
        MatchCase{"empty rows match on size", 3, {}, {}, true},
        MatchCase{"short row against full", 3, QStringList{QStringLiteral("a")}, base, false}));

// Pairs of a grid whose pair r matches when flags[r] (index 0 unused).
std::function<bool(int)> pairsFrom(std::vector<bool> flags) {
    return [flags](int r) { return r >= 0 && std::size_t(r) < flags.size() && flags[r]; };
}

TEST(PairStepping, NextStopsAtTheFirstMatchingPairAhead) {
    // Rows 1..6 (rowCount 7): pairs 1..5; pairs 3 and 5 match.
    const auto matches = pairsFrom({false, false, false, true, false, true});
    EXPECT_EQ(nextPairRow(1, 7, matches), 3);
    EXPECT_EQ(nextPairRow(3, 7, matches), 5);
    EXPECT_EQ(nextPairRow(5, 7, matches), 5);  // on the last pair: nothing happens
}

TEST(PairStepping, NextFallsBackToTheLastPair) {
    const auto none = pairsFrom({});
    EXPECT_EQ(nextPairRow(1, 7, none), 5);
    // Three data rows (a.txt 100, b.txt 100, c.txt 200 by size): from pair 1
    // nothing matches ahead, so the last pair, 2; then nothing happens.
    const QList<QStringList> rows = {{},
                                     row("a.txt", "100", "d", "t", "T"),
                                     row("b.txt", "100", "d", "t", "T"),
                                     row("c.txt", "200", "d", "t", "T")};
    auto sizeOnly = [&](int r) { return pairMatches(rows[r], rows[r + 1], 3); };
    EXPECT_TRUE(sizeOnly(1));
    EXPECT_EQ(nextPairRow(1, 4, sizeOnly), 2);
    EXPECT_EQ(nextPairRow(2, 4, sizeOnly), 2);
}

TEST(PairStepping, NextDoesNothingWithoutASecondPair) {
    const auto all = [](int) { return true; };
    EXPECT_EQ(nextPairRow(1, 2, all), 1);  // one data row
    EXPECT_EQ(nextPairRow(1, 3, all), 1);  // one pair
    EXPECT_EQ(nextPairRow(2, 3, all), 2);  // beyond the last pair
}

TEST(PairStepping, PreviousStopsAtTheFirstMatchingPairBelow) {
    const auto matches = pairsFrom({false, false, true, false, false, false});
    EXPECT_EQ(prevPairRow(5, matches), 2);
    EXPECT_EQ(prevPairRow(2, matches), 1);  // none below: row 1
    EXPECT_EQ(prevPairRow(1, matches), 1);  // first data row: nothing happens
    EXPECT_EQ(prevPairRow(0, matches), 0);
    // A matching pair 1 is found like any other.
    EXPECT_EQ(prevPairRow(3, pairsFrom({false, true, false})), 1);
}

TEST(PairStepping, PreviousTriesOnlyRowsBelow) {
    std::vector<int> tried;
    const int row4 = prevPairRow(4, [&](int r) {
        tried.push_back(r);
        return false;
    });
    EXPECT_EQ(row4, 1);
    EXPECT_EQ(tried, (std::vector<int>{3, 2}));
}

TEST(PairStepping, OpeningRowKeepsARightHandRow) {
    EXPECT_EQ(openingPairRow(1, 4), 1);
    EXPECT_EQ(openingPairRow(2, 4), 2);
    EXPECT_EQ(openingPairRow(3, 4), 2);  // the last data row: the last pair
    EXPECT_EQ(openingPairRow(1, 2), 1);  // one data row, or none
    EXPECT_EQ(openingPairRow(0, 5), 1);
    EXPECT_EQ(openingPairRow(-1, 5), 1);
}

TEST(GridRowsCopyTest, KeepsCellsAndExactPaths) {
    GridRowsCopy copy;
    copy.append({QStringLiteral("Filename"), QStringLiteral("Size")}, QByteArray());
    copy.append(row("caf\xC3\xA9 \xE2\x82\xAC.txt", "1,024", "d", "t", "T"),
                QByteArray("/data/caf\xE9 \xE2\x82\xAC.txt"));
    copy.append({QString(), QString(), QStringLiteral("x")}, QByteArray("/p"));
    copy.append({}, QByteArray("/only/a/path"));
    copy.append({}, QByteArray());

    ASSERT_EQ(copy.rowCount(), 5);
    EXPECT_EQ(copy.cells(0), (QStringList{QStringLiteral("Filename"), QStringLiteral("Size")}));
    EXPECT_EQ(copy.path(0), QByteArray());
    EXPECT_EQ(copy.cells(1), row("caf\xC3\xA9 \xE2\x82\xAC.txt", "1,024", "d", "t", "T"));
    EXPECT_EQ(copy.cell(1, pcName), QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC.txt"));
    EXPECT_EQ(copy.cell(1, pcType), QStringLiteral("T"));
    EXPECT_EQ(copy.cell(1, 7), QString());
    EXPECT_EQ(copy.path(1), QByteArray("/data/caf\xE9 \xE2\x82\xAC.txt"));  // not UTF-8
    EXPECT_EQ(copy.cells(2), (QStringList{QString(), QString(), QStringLiteral("x")}));
    EXPECT_EQ(copy.cell(2, 2), QStringLiteral("x"));
    EXPECT_EQ(copy.path(2), QByteArray("/p"));
    EXPECT_TRUE(copy.cells(3).isEmpty());
    EXPECT_EQ(copy.path(3), QByteArray("/only/a/path"));
    EXPECT_TRUE(copy.cells(4).isEmpty());
    EXPECT_EQ(copy.path(4), QByteArray());
    // Outside the rows: empty.
    EXPECT_TRUE(copy.cells(5).isEmpty());
    EXPECT_TRUE(copy.cells(-1).isEmpty());
    EXPECT_EQ(copy.path(9), QByteArray());

    copy.clear();
    EXPECT_EQ(copy.rowCount(), 0);
}

struct CrcTextCase {
    quint32 crc;
    const char* text;
};

class CrcTextTest : public ::testing::TestWithParam<CrcTextCase> {};

TEST_P(CrcTextTest, UpperCaseHexRightAlignedInEightBlankPaddedCharacters) {
    EXPECT_EQ(crcText(GetParam().crc), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Values, CrcTextTest,
    ::testing::Values(CrcTextCase{0x1A2Bu, "    1A2B"}, CrcTextCase{0u, "       0"},
                      CrcTextCase{0xCBF43926u, "CBF43926"}, CrcTextCase{0x0FFFFFFFu, " FFFFFFF"},
                      CrcTextCase{0x10000000u, "10000000"}, CrcTextCase{0xabcdefu, "  ABCDEF"}));

TEST(PairCrcTest, IdenticalAndDifferentFiles) {
    TempTree tree;
    const QByteArray a = tree.fileWith("a.txt", "123456789");
    const QByteArray b = tree.fileWith("sub/b.txt", "123456789");
    const QByteArray c = tree.fileWith("c.txt", QByteArray(1, '\0'));

    const PairCrc same = pairCrc(a, b);
    ASSERT_TRUE(same.ok) << same.error.toStdString();
    EXPECT_EQ(same.left, 0xCBF43926u);
    EXPECT_EQ(same.right, 0xCBF43926u);
    EXPECT_EQ(same.leftText(), QStringLiteral("CBF43926 file contents are identical"));
    EXPECT_EQ(same.rightText(), same.leftText());

    const PairCrc differ = pairCrc(a, c);
    ASSERT_TRUE(differ.ok);
    EXPECT_EQ(differ.right, 0xD202EF8Du);
    EXPECT_EQ(differ.leftText(), QStringLiteral("CBF43926 file contents differ"));
    EXPECT_EQ(differ.rightText(), QStringLiteral("D202EF8D file contents differ"));
}

TEST(PairCrcTest, EmptyFileGivesTheMappingMessage) {
    TempTree tree;
    const QByteArray full = tree.fileWith("full.bin", "data");
    const QByteArray empty = tree.fileWith("empty.bin", QByteArray());
    for (const auto& [l, r] : {std::pair{full, empty}, std::pair{empty, full}}) {
        const PairCrc result = pairCrc(l, r);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, QStringLiteral("Could not create file mapping object"));
    }
}

TEST(PairCrcTest, FileThatCannotBeOpened) {
    TempTree tree;
    const QByteArray full = tree.fileWith("full.bin", "data");
    const PairCrc missing = pairCrc(full, tree.path("gone.bin"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error,
              QStringLiteral("Could not open file ") + QString::fromUtf8(tree.path("gone.bin")));
    // The left file fails first and its message is the one given.
    const PairCrc bothBad = pairCrc(tree.path("none1"), tree.fileWith("e", QByteArray()));
    EXPECT_EQ(bothBad.error,
              QStringLiteral("Could not open file ") + QString::fromUtf8(tree.path("none1")));
    EXPECT_FALSE(pairCrc(QByteArray(), full).ok);
}

TEST(PairCrcTest, UnreadableFile) {
    TempTree tree;
    const QByteArray secret = tree.fileWith("secret.bin", "hidden");
    tree.chmod("secret.bin", 0);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks are not enforced here";
    const PairCrc result = pairCrc(secret, secret);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.startsWith(QStringLiteral("Could not open file ")));
}

TEST(PairCrcTest, NameThatIsNotUtf8) {
    TempTree tree;
    const QByteArray odd = tree.fileWith("caf\xE9.bin", "123456789");
    const PairCrc result = pairCrc(odd, odd);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.left, 0xCBF43926u);
}

}  // namespace
}  // namespace vantrel
