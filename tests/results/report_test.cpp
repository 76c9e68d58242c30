// The text of printed reports: the grid form and the tab-list form.
#include "results/Report.h"

#include <gtest/gtest.h>

using namespace vantrel;

namespace {

const QDateTime kPrinted(QDate(2024, 3, 5), QTime(14, 7, 9));

TEST(ReportLines, PaddedGridFormAndTabListForm) {
    const QList<QStringList> rows{{"Size", "FileName", "Type"},
                                  {"1,024", "/home/ann/a.txt", "Text"},
                                  {"", "a-name-longer-than-its-column.txt", ""}};
    // 90 pixels give 15 characters, 95 still 15, 61 give 10, 5 none; a
    // column without a width gives none either.
    const QStringList expected{
        "File Hogs larger or equal to 250 KB",
        "Printed : 3/5/24  2:07:09 PM",
        "",
        "",
        "Size            FileName   Type ",
        "1,024           /home/ann/a.txt Text ",
        "                a-name-longer-than-its-column.txt  ",
    };
    EXPECT_EQ(gridReportLines(QStringLiteral("File Hogs larger or equal to 250 KB"), kPrinted, rows,
                              {95, 61, 5}),
              expected);
    // The empty row of an empty grid: blanks only, 15 + 1 and 0 + 1.
    EXPECT_EQ(gridReportLines(QString(), kPrinted, {{"A", "B"}, {"", ""}}, {90}).last(),
              QString(17, QLatin1Char(' ')));

    // The tab-list form indents every line by three blanks.
    const QStringList tabList{
        "   Details of /tmp/x", "   Printed : 3/5/24  2:07:09 PM", "", "", "   Size:\t1,024", "   ",
        "   Type:\tText"};
    EXPECT_EQ(tabListReportLines(QStringLiteral("Details of /tmp/x"), kPrinted,
                                 {"Size:\t1,024", "", "Type:\tText"}),
              tabList);
}

}  // namespace
