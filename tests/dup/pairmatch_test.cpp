#include "dup/PairMatch.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <QDateTime>

#include <optional>
#include <vector>

namespace vantrel {
namespace {

using test::TempTree;

// A row in grid order (name, size, date, time, access, folder, type), its
// path made of folder and name, modified at `modified` (seconds).
constexpr qint64 kTime = 1'000'000'000;  // 9 September 2001
PairRow row(const char* name, const char* size, const char* date, const char* time,
            const char* type, const char* folder = "/data",
            std::optional<qint64> modified = kTime) {
    return {{QString::fromUtf8(name), size, date, time, "01/02/24", folder, type},
            QByteArray(folder) + '/' + name,
            modified};
}

struct MatchCase {
    const char* what;
    int mode;
    PairRow second;  // compared with `base`
    bool matches;
    friend std::ostream& operator<<(std::ostream& os, const MatchCase& c) { return os << c.what; }
};

const PairRow base =
    row("R\xC3\xA9sum\xC3\xA9.doc", "1,024", "03/04/23", "10:20:30 AM", "Word document");
// The same day and time a hundred years later: the date text reads alike.
const qint64 kCenturyLater =
    QDateTime::fromSecsSinceEpoch(kTime, Qt::UTC).addYears(100).toSecsSinceEpoch();

class PairMatchesTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(PairMatchesTest, ComparesTheCriterionsCells) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(pairMatches(base, c.second, c.mode), c.matches);
    EXPECT_EQ(pairMatches(c.second, base, c.mode), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PairMatchesTest,
    ::testing::ValuesIn(std::vector<MatchCase>{
        {"0 name ignoring case, folder aside", 0,
         row("R\xC3\xA9SUM\xC3\xA9.DOC", "9", "01/01/99", "1:00:00 AM", "x", "/other"), true},
        {"1 name and size", 1, row("r\xC3\xA9sum\xC3\xA9.DOC", "1,024", "x", "y", "z"), true},
        {"1 size differs", 1,
         row("R\xC3\xA9sum\xC3\xA9.doc", "1,025", "03/04/23", "10:20:30 AM", "W"), false},
        {"2 name, size, date, time", 2,
         row("r\xC3\xA9SUM\xC3\xA9.doc", "1,024", "03/04/23", "10:20:30 AM", "other type"), true},
        {"3 size only", 3, row("a.txt", "1,024", "x", "y", "z"), true},
        {"3 size text is exact", 3, row("a.txt", "1024", "x", "y", "z"), false},
        {"4 size, date, time", 4, row("a", "1,024", "03/04/23", "10:20:30 AM", "z"), true},
        {"4 date differs", 4,
         row("a", "1,024", "03/05/23", "10:20:30 AM", "z", "/data", kTime + 86400), false},
        {"5 size and type", 5, row("a", "1,024", "x", "y", "Word document"), true},
        {"5 type differs in case", 5, row("a", "1,024", "x", "y", "word document"), false},
        {"6 type, date, time", 6, row("a", "7", "03/04/23", "10:20:30 AM", "Word document"), true},
        {"6 date differs", 6,
         row("a", "7", "03/04/22", "10:20:30 AM", "Word document", "/data", kTime - 86400 * 365),
         false},
        {"other modes match always", 7, row("x", "1", "2", "3", "4"), true},
        {"names fold beyond ASCII letters", 0,
         row("R\xC3\x89SUM\xC3\x89.DOC", "1,024", "x", "y", "z"), true},
        {"a missing cell is empty text", 3, PairRow{{"R\xC3\xA9sum\xC3\xA9.doc"}, {}, {}}, false},
        // Times, not the two-digit-year texts of the date cells.
        {"2 the same texts a century apart", 2,
         row("R\xC3\xA9sum\xC3\xA9.doc", "1,024", "03/04/23", "10:20:30 AM", "Word document",
             "/data", kCenturyLater),
         false},
        {"4 the same texts a century apart", 4,
         row("a", "1,024", "03/04/23", "10:20:30 AM", "z", "/data", kCenturyLater), false},
        {"6 the same texts a century apart", 6,
         row("a", "7", "03/04/23", "10:20:30 AM", "Word document", "/data", kCenturyLater), false},
        {"4 a time not known matches nothing", 4,
         row("a", "1,024", "03/04/23", "10:20:30 AM", "z", "/data", std::nullopt), false}}));

// Names compare by the exact bytes of the paths, as the search groups them:
// names that are not UTF-8 and show alike differ; their ASCII case does not.
TEST(PairMatchesNames, ExactBytesOfThePaths) {
    auto named = [](const QByteArray& name) {
        return PairRow{{QString::fromUtf8(name), "1"}, "/d/" + name, kTime};
    };
    EXPECT_FALSE(pairMatches(named("x\xFF.dat"), named("x\xFE.dat"), 0));
    EXPECT_TRUE(pairMatches(named("X\xFF.DAT"), named("x\xFF.dat"), 0));
    EXPECT_FALSE(pairMatches(named("a.txt "), named("a.txt"), 1));  // blanks count
    EXPECT_TRUE(pairMatches(named("\xC3\xA9t\xC3\xA9"), named("\xC3\x89T\xC3\x89"), 2));
}

// Pairs of a grid whose pair r matches when flags[r] (index 0 unused).
std::function<bool(int)> pairsFrom(std::vector<bool> flags) {
    return [flags](int r) { return r >= 0 && std::size_t(r) < flags.size() && flags[r]; };
}

TEST(PairStepping, NextAndPrevious) {
    // Rows 1..6 (rowCount 7): pairs 1..5; pairs 3 and 5 match.
    const auto some = pairsFrom({false, false, false, true, false, true});
    EXPECT_EQ(nextPairRow(1, 7, some), 3);
    EXPECT_EQ(nextPairRow(3, 7, some), 5);
    EXPECT_EQ(nextPairRow(5, 7, some), 5);           // on the last pair: nothing happens
    EXPECT_EQ(nextPairRow(1, 7, pairsFrom({})), 5);  // none ahead: the last pair
    EXPECT_EQ(nextPairRow(1, 3, some), 1);           // a single pair
    EXPECT_EQ(prevPairRow(5, some), 3);
    EXPECT_EQ(prevPairRow(3, some), 1);  // none below: row 1
    EXPECT_EQ(prevPairRow(1, some), 1);
    // Opening on the last data row shows the last pair.
    EXPECT_EQ(openingPairRow(3, 4), 2);
    EXPECT_EQ(openingPairRow(1, 2), 1);
    EXPECT_EQ(openingPairRow(-1, 5), 1);
}

TEST(GridRowsCopyTest, KeepsCellsAndExactPaths) {
    GridRowsCopy copy;
    copy.append({"Filename", "Size"}, QByteArray());
    copy.append(row("caf\xC3\xA9.txt", "1,024", "d", "t", "T").cells, "/data/caf\xE9.txt");
    copy.append({}, "/only/a/path");
    ASSERT_EQ(copy.rowCount(), 3);
    EXPECT_EQ(copy.cells(1), row("caf\xC3\xA9.txt", "1,024", "d", "t", "T").cells);
    EXPECT_EQ(copy.path(1), QByteArray("/data/caf\xE9.txt"));  // not UTF-8
    EXPECT_TRUE(copy.cells(2).isEmpty());
    EXPECT_EQ(copy.path(2), QByteArray("/only/a/path"));
    EXPECT_EQ(copy.path(-1), QByteArray());
}

TEST(PairCrcTest, CrcTexts) {
    const std::pair<quint32, const char*> cases[] = {{0x1A2Bu, "    1A2B"},
                                                     {0u, "       0"},
                                                     {0x0FFFFFFFu, " FFFFFFF"},
                                                     {0xabcdefu, "  ABCDEF"}};
    for (const auto& [crc, text] : cases)
        EXPECT_EQ(crcText(crc), QString::fromLatin1(text));

    TempTree tree;
    const QByteArray a = tree.fileWith("a.txt", "123456789");
    const PairCrc same = pairCrc(a, tree.fileWith("sub/b\xE9.txt", "123456789"));
    ASSERT_TRUE(same.ok) << same.error.toStdString();
    EXPECT_EQ(same.leftText(), QStringLiteral("CBF43926 file contents are identical"));
    EXPECT_EQ(same.rightText(), same.leftText());
    const PairCrc differ = pairCrc(a, tree.fileWith("c.txt", QByteArray(1, '\0')));
    ASSERT_TRUE(differ.ok);
    EXPECT_EQ(differ.leftText(), QStringLiteral("CBF43926 file contents differ"));
    EXPECT_EQ(differ.rightText(), QStringLiteral("D202EF8D file contents differ"));
}

TEST(PairCrcTest, FilesThatCannotBeChecksummed) {
    TempTree tree;
    const QByteArray full = tree.fileWith("full.bin", "data");
    const QByteArray empty = tree.fileWith("empty.bin", QByteArray());
    const QString gone = QStringLiteral("Could not open file ") + tree.path("gone");
    const struct {
        QByteArray left, right;
        QString error;
    } cases[] = {{full, empty, "Could not create file mapping object"},
                 {empty, full, "Could not create file mapping object"},
                 {full, tree.path("gone"), gone},
                 {tree.path("gone"), empty, gone},  // the left file fails first
                 {QByteArray(), full, "Could not open file "}};
    for (const auto& c : cases) {
        const PairCrc result = pairCrc(c.left, c.right);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, c.error);
    }

    tree.chmod("full.bin", 0);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks are not enforced here";
    EXPECT_EQ(pairCrc(full, full).error, QStringLiteral("Could not open file ") + full);
}

// A listed file replaced by a fifo (with or without a writer), or by a
// folder, is refused at once with a message that says why; nothing waits
// for a writer that never comes.
TEST(PairCrcTest, OnlyRegularFilesAndNothingWaits) {
    TempTree tree;
    const QByteArray full = tree.fileWith("full.bin", "data");
    const QByteArray fed = tree.fifo("fed.bin");
    const int writer = ::open(fed.constData(), O_RDWR | O_CLOEXEC);  // never writes
    ASSERT_GE(writer, 0);
    const QByteArray lonely = tree.fifo("lonely.bin");  // no writer at all
    for (const QByteArray& odd : {fed, tree.mkdir("folder.bin"), lonely}) {
        for (const auto& [left, right] : {std::pair{full, odd}, std::pair{odd, full}}) {
            const PairCrc result = pairCrc(left, right);
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.error,
                      QStringLiteral("Could not open file ") + odd + " (not a regular file)");
        }
    }
    ::close(writer);
}

}  // namespace
}  // namespace vantrel
