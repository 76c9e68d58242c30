// The text of printed reports: the grid form and the tab-list form.
#include "results/Report.h"

#include <gtest/gtest.h>

using namespace vantrel;

namespace {

const QDateTime kPrinted(QDate(2024, 3, 5), QTime(14, 7, 9));

TEST(ReportLines, PrintedStampIsShortDateTwoBlanksLongTime) {
    EXPECT_EQ(printedStamp(kPrinted), QStringLiteral("3/5/24  2:07:09 PM"));
}

TEST(ReportLines, GridFormPadsEveryCellToItsColumnWidthPlusOneBlank) {
    const QList<QStringList> rows{{"Size", "FileName"},
                                  {"1,024", "/home/ann/a.txt"},
                                  {"", "a-name-longer-than-its-column.txt"}};
    // 90 pixels give 15 characters, 95 still 15, 61 give 10.
    const QStringList lines = gridReportLines(QStringLiteral("File Hogs larger or equal to 250 KB"),
                                              kPrinted, rows, {90, 61});
    const QStringList expected{
        "File Hogs larger or equal to 250 KB",
        "Printed : 3/5/24  2:07:09 PM",
        "",
        "",
        "Size            FileName   ",
        "1,024           /home/ann/a.txt ",
        "                a-name-longer-than-its-column.txt ",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(gridReportLines(QString(), kPrinted, {{"x"}}, {95}).last(),
              QStringLiteral("x               "));
}

TEST(ReportLines, NarrowAndMissingWidthsOnlyAddTheBlank) {
    const QStringList lines =
        gridReportLines(QStringLiteral("T"), kPrinted, {{"abc", "de", "f"}}, {5, 0});
    EXPECT_EQ(lines.last(), QStringLiteral("abc de f "));
}

TEST(ReportLines, EmptyGridPrintsTitleRowAndTheEmptyRow) {
    const QStringList lines =
        gridReportLines(QStringLiteral("T"), kPrinted, {{"A", "B"}, {"", ""}}, {12, 12});
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[4], QStringLiteral("A  B  "));
    EXPECT_EQ(lines[5], QStringLiteral("      "));
}

TEST(ReportLines, TabListFormIndentsByThreeBlanks) {
    const QStringList lines = tabListReportLines(QStringLiteral("Details of /tmp/x"), kPrinted,
                                                 {"Size:\t1,024", "", "Type:\tText"});
    const QStringList expected{
        "   Details of /tmp/x", "   Printed : 3/5/24  2:07:09 PM", "", "", "   Size:\t1,024", "   ",
        "   Type:\tText",
    };
    EXPECT_EQ(lines, expected);
}

}  // namespace
