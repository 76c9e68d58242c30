// The savings totals in the settings file: growth, restart from stored 0 or
// less, the start day, garbage in the file, 64-bit totals, reset.

#include "results/Savings.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <gtest/gtest.h>

#include <QFile>

#include <limits>

namespace vantrel {
namespace {

class SavingsTest : public ::testing::Test {
protected:
    IniFile fileWith(const QByteArray& content) {
        return IniFile(QFile::decodeName(tree.fileWith("vantrel.ini", content)));
    }

    test::TempTree tree;
    const QDate today{2024, 3, 15};  // day 45366
};

TEST_F(SavingsTest, ThreeFilesThenOneMore) {
    IniFile ini(QFile::decodeName(tree.path("vantrel.ini")));
    EXPECT_EQ(readSavings(ini), (SavingsTotals{-1, -1, -1, -1, -1}));
    ASSERT_TRUE(addSavings(ini, 3, 1000 + 2000 + 3500, 0, 0, today));
    // Every counter is written, NWaste and SizeWaste with 0.
    EXPECT_EQ(readSavings(ini), (SavingsTotals{3, 6500, 0, 0, 45366}));
    ASSERT_TRUE(addSavings(ini, 1, 500, 0, 0, today.addDays(9)));
    EXPECT_EQ(readSavings(ini), (SavingsTotals{4, 7000, 0, 0, 45366}));
}

// The stored NWaste and DelDate, what is added: the values afterwards.
struct GrowCase {
    const char* stored;  // NWaste in the file; nullptr = key missing
    qint64 amount;
    qint64 expected;
    const char* storedDay = nullptr;  // DelDate in the file; nullptr = key missing
    qint64 expectedDay = 45366;
};

class SavingsGrowTest : public SavingsTest, public ::testing::WithParamInterface<GrowCase> {};

TEST_P(SavingsGrowTest, CounterAndStartDay) {
    const GrowCase c = GetParam();
    QByteArray content = "[Vantrel]\n";
    if (c.stored)
        content += QByteArray("NWaste=") + c.stored + "\n";
    if (c.storedDay)
        content += QByteArray("DelDate=") + c.storedDay + "\n";
    IniFile ini = fileWith(content);
    ASSERT_TRUE(addSavings(ini, 0, 0, c.amount, 0, today));
    EXPECT_EQ(readSavings(ini).recycledCount, c.expected);
    EXPECT_EQ(readSavings(ini).startDay, c.expectedDay);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SavingsGrowTest,
    ::testing::Values(GrowCase{"0", 2, 2},                             // replacing and adding agree
                      GrowCase{"-5", 2, 2, "-1"},                      // replaced, not added to
                      GrowCase{" 10 ", 2, 12, "44000", 44000},         // added; the day is kept
                      GrowCase{"abc", 3, 3, "garbage"},                // garbage reads as -1
                      GrowCase{"12abc", 3, 3, "-3", -3},               // trailing garbage
                      GrowCase{"99999999999999999999999", 4, 4},       // beyond 64 bits
                      GrowCase{"3000000000", 2000000000, 5000000000},  // beyond 32 bits
                      GrowCase{"9223372036854775800", 100, std::numeric_limits<qint64>::max()},
                      GrowCase{"10", -4, 10}));  // a negative amount adds 0

TEST_F(SavingsTest, ResetKeepsOtherKeysAndCountingStartsAgain) {
    IniFile ini = fileWith(
        "; my settings\n[TempFiles]\nNumber=1\n\n[Vantrel]\nNdelete=4\nSizeDelete=7000\n"
        "NWaste=2\nSizeWaste=9\nDelDate=45000\nOther=keep\n");
    ASSERT_TRUE(resetSavings(ini));
    EXPECT_EQ(readSavings(ini), (SavingsTotals{-1, -1, -1, -1, -1}));
    ASSERT_TRUE(addSavings(ini, 0, 0, 3, 30, today));
    EXPECT_EQ(readSavings(ini), (SavingsTotals{0, 0, 3, 30, 45366}));
    EXPECT_EQ(ini.readString("Vantrel", "Other"), QStringLiteral("keep"));
    EXPECT_EQ(ini.readString("TempFiles", "Number"), QStringLiteral("1"));
}

TEST_F(SavingsTest, ReadOnlySettingsFileStaysAsItWas) {
    IniFile ini = fileWith("[Vantrel]\nNdelete=4\n");
    test::PermissionChecks checks;
    if (!checks.enforced())
        GTEST_SKIP() << "permission checks cannot be enforced";
    tree.chmod("vantrel.ini", 0444);
    tree.chmod("", 0555);
    EXPECT_FALSE(addSavings(ini, 1, 1, 0, 0, today));
    tree.chmod("", 0755);
    EXPECT_EQ(readSavings(ini).deletedCount, 4);
}

// Two running copies each record deletions many times: the totals are the
// sum of all of them, none lost between a read and a write of the other.
TEST_F(SavingsTest, TwoProcessesAddingAtOnceAddUp) {
    constexpr int kTimes = 300;
    IniFile ini(QFile::decodeName(tree.path("vantrel.ini")));
    ASSERT_TRUE(test::inConcurrentProcesses(2, [&](int copy) {
        bool allWritten = true;
        for (int i = 0; i < kTimes; ++i)
            allWritten = addSavings(ini, 1, 100 + copy, 2, 50, today) && allWritten;
        return allWritten;
    }));
    EXPECT_EQ(readSavings(ini),
              (SavingsTotals{2 * kTimes, kTimes * (100 + 101), 4 * kTimes, 2 * kTimes * 50, 45366}));
}

}  // namespace
}  // namespace vantrel
