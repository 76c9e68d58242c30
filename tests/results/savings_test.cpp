// The savings totals in the settings file: growth, restart from stored 0 or
// less, the start day, garbage in the file, 64-bit totals, reset.

#include "results/Savings.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>

#include <limits>

namespace vantrel {
namespace {

class SavingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tree.isValid());
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", tree.mkdir("home"));
    }
    void TearDown() override { qputenv("HOME", m_oldHome); }

    IniFile fileWith(const QByteArray& content) {
        return IniFile(QFile::decodeName(tree.fileWith("vantrel.ini", content)));
    }

    test::TempTree tree;
    const QDate today{2024, 3, 15};

private:
    QByteArray m_oldHome;
};

TEST_F(SavingsTest, ThreeFilesThenOneMore) {
    IniFile ini(QFile::decodeName(tree.path("vantrel.ini")));
    ASSERT_TRUE(addSavings(ini, 3, 1000 + 2000 + 3500, 0, 0, today));
    EXPECT_EQ(ini.readInteger("Vantrel", "Ndelete", -7), 3);
    EXPECT_EQ(ini.readInteger("Vantrel", "SizeDelete", -7), 6500);
    EXPECT_EQ(ini.readInteger("Vantrel", "NWaste", -7), 0);
    EXPECT_EQ(ini.readInteger("Vantrel", "SizeWaste", -7), 0);
    EXPECT_EQ(ini.readInteger("Vantrel", "DelDate", -7), dayNumber(today));
    EXPECT_EQ(dayNumber(today), 45366);

    ASSERT_TRUE(addSavings(ini, 1, 500, 0, 0, today.addDays(9)));
    const SavingsTotals t = readSavings(ini);
    EXPECT_EQ(t, (SavingsTotals{4, 7000, 0, 0, 45366}));
}

TEST_F(SavingsTest, DefaultFileIsTheTestSettingsFile) {
    ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
    EXPECT_TRUE(vantrelIni().path().startsWith(QFile::decodeName(tree.root())));
    ASSERT_TRUE(addSavings(2, 300, 1, 50));
    const SavingsTotals t = readSavings();
    EXPECT_EQ(t.deletedCount, 2);
    EXPECT_EQ(t.deletedBytes, 300);
    EXPECT_EQ(t.recycledCount, 1);
    EXPECT_EQ(t.recycledBytes, 50);
    EXPECT_EQ(t.startDay, dayNumber(QDate::currentDate()));
}

TEST_F(SavingsTest, FreshFileReadsNotAvailable) {
    IniFile ini(QFile::decodeName(tree.path("none.ini")));
    EXPECT_EQ(readSavings(ini), (SavingsTotals{-1, -1, -1, -1, -1}));
}

// One stored value and one amount: the counter afterwards.
struct GrowCase {
    const char* stored;  // the text in the file; nullptr = key missing
    qint64 amount;
    qint64 expected;
};

class SavingsGrowTest : public SavingsTest, public ::testing::WithParamInterface<GrowCase> {};

TEST_P(SavingsGrowTest, RecycledCountFollowsTheRule) {
    const GrowCase c = GetParam();
    QByteArray content = "[Vantrel]\nDelDate=40000\n";
    if (c.stored)
        content += QByteArray("NWaste=") + c.stored + "\n";
    IniFile ini = fileWith(content);
    ASSERT_TRUE(addSavings(ini, 0, 0, c.amount, 0, today));
    EXPECT_EQ(readSavings(ini).recycledCount, c.expected);
    EXPECT_EQ(readSavings(ini).startDay, 40000);
}

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

INSTANTIATE_TEST_SUITE_P(
    Values, SavingsGrowTest,
    ::testing::Values(GrowCase{nullptr, 2, 2},                         // missing: created
                      GrowCase{nullptr, 0, 0},                         // created with 0
                      GrowCase{"0", 2, 2},                             // replacing and adding agree
                      GrowCase{"-5", 2, 2},                            // replaced, not added to
                      GrowCase{"-1", 7, 7},                            // n/a
                      GrowCase{"10", 2, 12},                           // added
                      GrowCase{" 10 ", 2, 12},                         // blanks around a number
                      GrowCase{"abc", 3, 3},                           // garbage reads as -1
                      GrowCase{"", 3, 3},                              // empty
                      GrowCase{"12abc", 3, 3},                         // trailing garbage
                      GrowCase{"0x10", 3, 3},                          // not decimal
                      GrowCase{"1.5", 3, 3},                           // not whole
                      GrowCase{"99999999999999999999999", 4, 4},       // beyond 64 bits
                      GrowCase{"3000000000", 2000000000, 5000000000},  // beyond 32 bits
                      GrowCase{"9223372036854775800", 100, kMax},      // stops at the top
                      GrowCase{"10", -4, 10}));                        // negative adds 0

TEST_F(SavingsTest, EveryCounterIsWrittenOnEveryCall) {
    IniFile ini = fileWith("[Vantrel]\nSizeDelete=100\n");
    ASSERT_TRUE(addSavings(ini, 0, 0, 0, 0, today));
    EXPECT_EQ(readSavings(ini), (SavingsTotals{0, 100, 0, 0, dayNumber(today)}));
}

struct DayCase {
    const char* stored;  // nullptr = missing
    qint64 expected;     // -2 = today's day number
};

class SavingsDayTest : public SavingsTest, public ::testing::WithParamInterface<DayCase> {};

TEST_P(SavingsDayTest, StartDayIsSetOnlyWhenItReadsMinusOne) {
    const DayCase c = GetParam();
    QByteArray content = "[Vantrel]\n";
    if (c.stored)
        content += QByteArray("DelDate=") + c.stored + "\n";
    IniFile ini = fileWith(content);
    ASSERT_TRUE(addSavings(ini, 1, 1, 0, 0, today));
    EXPECT_EQ(readSavings(ini).startDay, c.expected == -2 ? dayNumber(today) : c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, SavingsDayTest,
                         ::testing::Values(DayCase{nullptr, -2}, DayCase{"-1", -2},
                                           DayCase{"garbage", -2}, DayCase{"44000", 44000},
                                           DayCase{"0", 0}, DayCase{"-3", -3}));

TEST_F(SavingsTest, OtherKeysAndSectionsAreKept) {
    IniFile ini = fileWith(
        "; my settings\n[TempFiles]\nNumber=1\nFile1=*.tmp\n\n[Vantrel]\nOther=x\nNdelete=5\n");
    ASSERT_TRUE(addSavings(ini, 1, 10, 0, 0, today));
    EXPECT_EQ(ini.readString("TempFiles", "File1"), QStringLiteral("*.tmp"));
    EXPECT_EQ(ini.readString("Vantrel", "Other"), QStringLiteral("x"));
    EXPECT_EQ(ini.readInteger("Vantrel", "Ndelete", -7), 6);
    QFile f(ini.path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("; my settings\n[TempFiles]\n"));
}

TEST_F(SavingsTest, ResetWritesMinusOneToAllFive) {
    IniFile ini = fileWith(
        "[Vantrel]\nNdelete=4\nSizeDelete=7000\nNWaste=2\nSizeWaste=9\n"
        "DelDate=45000\nOther=keep\n");
    ASSERT_TRUE(resetSavings(ini));
    EXPECT_EQ(readSavings(ini), (SavingsTotals{-1, -1, -1, -1, -1}));
    EXPECT_EQ(ini.readString("Vantrel", "Other"), QStringLiteral("keep"));
    EXPECT_EQ(ini.readString("Vantrel", "Ndelete"), QStringLiteral("-1"));
    // Counting starts again with the next deletion.
    ASSERT_TRUE(addSavings(ini, 0, 0, 3, 30, today));
    EXPECT_EQ(readSavings(ini), (SavingsTotals{0, 0, 3, 30, dayNumber(today)}));
}

TEST_F(SavingsTest, ReadOnlySettingsFileStaysAsItWas) {
    const QByteArray content = "[Vantrel]\nNdelete=4\n";
    IniFile ini = fileWith(content);
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced";
    tree.chmod("vantrel.ini", 0444);
    tree.chmod("", 0555);
    EXPECT_FALSE(addSavings(ini, 1, 1, 0, 0, today));
    tree.chmod("", 0755);
    EXPECT_EQ(readSavings(ini).deletedCount, 4);
}

}  // namespace
}  // namespace vantrel
