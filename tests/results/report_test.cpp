// The text of printed reports: the grid form, fitted to a page, and the
// tab-list form.
#include "results/Report.h"

#include <gtest/gtest.h>

using namespace vantrel;

namespace {

const QDateTime kPrinted(QDate(2024, 3, 5), QTime(14, 7, 9));

TEST(ReportLines, PaddedGridFormAndTabListForm) {
    const QList<QStringList> rows{{"Size", "FileName", "Type"},
                                  {"1,024", "/home/ann/a.txt", "Text"},
                                  {"", "a-name-longer-than-its-column.txt", ""}};
    // Each column as wide as its widest cell, one blank between columns, no
    // blanks at the end of a line.
    const QStringList expected{
        "File Hogs larger or equal to 250 KB",
        "Printed : 3/5/24  2:07:09 PM",
        "",
        "",
        "Size  FileName                          Type",
        "1,024 /home/ann/a.txt                   Text",
        "      a-name-longer-than-its-column.txt",
    };
    EXPECT_EQ(gridReportLines({"File Hogs larger or equal to 250 KB", kPrinted, rows}), expected);
    // The empty row of an empty grid prints as an empty line.
    EXPECT_EQ(gridReportLines({QString(), kPrinted, {{"A", "B"}, {"", ""}}}).last(), QString());

    // The tab-list form indents every line by three blanks.
    const QStringList tabList{
        "   Details of /tmp/x", "   Printed : 3/5/24  2:07:09 PM", "", "", "   Size:\t1,024", "   ",
        "   Type:\tText"};
    EXPECT_EQ(tabListReportLines(QStringLiteral("Details of /tmp/x"), kPrinted,
                                 {"Size:\t1,024", "", "Type:\tText"}),
              tabList);
}

TEST(ReportLines, ElideMiddle) {
    const struct {
        QString text;
        int width;
        QString shown;
    } cases[] = {
        {"/home/ann/Pictures", 18, "/home/ann/Pictures"},  // fits: unchanged
        {"/home/ann/Pictures", 9, "/hom…ures"},            // 4 + … + 4
        {"/home/ann/Pictures", 8, "/hom…res"},             // the head keeps the odd one
        {"abc", 1, "…"},
        {"abc", 0, ""},
        {QStringLiteral("a\U0001F600bcd"), 5, "a…cd"},  // no half of the emoji
    };
    for (const auto& c : cases)
        EXPECT_EQ(elideMiddle(c.text, c.width), c.shown) << c.text.toStdString() << " " << c.width;
}

// A duplicates list: seven columns, of which Folder is far the widest.
GridReport duplicatesReport(const QString& folder) {
    return {
        "Duplicates larger or equal to 250 KB matching *.* on drive(s) /home/ann ",
        kPrinted,
        {{"Filename", "Size", "Modified", "Time", "Access", "Folder", "Type"},
         {"IMG_0001.jpg", "300,000", "8/1/23", "9:15:00 AM", "8/2/23", folder, "JPEG image"},
         {"IMG_0001.jpg", "300,000", "8/1/23", "9:15:00 AM", "8/2/23", "/home/ann", "JPEG image"}}};
}

TEST(ReportFit, PortraitWhenItFitsLandscapeWhenWiderColumnsShortenedNeverLost) {
    // Every column but Folder takes 12 + 7 + 8 + 10 + 6 + 10 characters and
    // six blanks between the seven: 59; Folder adds its own width.
    const QString shortFolder = "/home/ann/Pictures";                      // 18: 77 in all
    const QString longFolder = "/home/ann/" + QString(60, 'x') + "/last";  // 75: 134
    const QString hugeFolder = "/home/ann/" + QString(200, 'y') + "/end";  // 214: 273
    const struct {
        QString folder;
        int portrait, landscape;
        bool landscapeWanted;
        int lineWidth;  // of the widest row line
    } cases[] = {
        {shortFolder, 95, 150, false, 77},
        {shortFolder, 77, 150, false, 77},  // exactly the portrait line
        {longFolder, 95, 150, true, 134},
        {hugeFolder, 95, 150, true, 150},  // narrowed to the landscape line
        {hugeFolder, 95, 95, false, 95},   // paper no wider turned: stays upright
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder.size());
        const FittedReport fitted =
            fitGridReport(duplicatesReport(c.folder), c.portrait, c.landscape);
        EXPECT_EQ(fitted.landscape, c.landscapeWanted);
        ASSERT_EQ(fitted.lines.size(), 4 + 3);
        int widest = 0;
        for (qsizetype i = 4; i < fitted.lines.size(); ++i)
            widest = std::max(widest, int(fitted.lines[i].size()));
        EXPECT_EQ(widest, c.lineWidth);
        // Every title stays, in order, and the last column's cells are whole.
        const QStringList titles = fitted.lines[4].split(' ', Qt::SkipEmptyParts);
        EXPECT_EQ(titles, (QStringList{"Filename", "Size", "Modified", "Time", "Access", "Folder",
                                       "Type"}));
        EXPECT_TRUE(fitted.lines[5].endsWith("JPEG image"));
        EXPECT_TRUE(fitted.lines[6].contains(" /home/ann "));
    }
    // The narrowed folder keeps both ends around the "…".
    const FittedReport narrowed = fitGridReport(duplicatesReport(hugeFolder), 95, 150);
    const QString cell = narrowed.lines[5].mid(59 - 10 - 1, 150 - 59).trimmed();
    EXPECT_TRUE(cell.startsWith("/home/ann/yyy")) << cell.toStdString();
    EXPECT_TRUE(cell.endsWith("yyy/end")) << cell.toStdString();
    EXPECT_EQ(cell.count(QChar(0x2026)), 1);
}

TEST(ReportFit, WidestColumnsGiveWayFirstDownToAFloor) {
    const QList<QStringList> rows{{"a", "bbbbbbbbbb", "cccccccccccccccccccc", "dd"}};
    // Unlimited, and limits of 30 and 25 characters (3 blanks between the 4).
    EXPECT_EQ(reportColumnWidths(rows, 0), (QList<int>{1, 10, 20, 2}));
    EXPECT_EQ(reportColumnWidths(rows, 30), (QList<int>{1, 10, 14, 2}));
    EXPECT_EQ(reportColumnWidths(rows, 25), (QList<int>{1, 9, 9, 2}));
    // Far too narrow: no column below 3 characters (or its own width), so
    // the line runs over instead of losing a column.
    EXPECT_EQ(reportColumnWidths(rows, 5), (QList<int>{1, 3, 3, 2}));
}

TEST(ReportFit, LongTitleIsBrokenAtBlanks) {
    GridReport report = duplicatesReport("/home/ann");
    report.title =
        "Duplicates larger or equal to 250 KB matching *.* on drive(s) / /home/ann "
        "/media/ann/backup-disk-with-a-long-name ";
    const FittedReport fitted = fitGridReport(report, 80, 120);
    EXPECT_FALSE(fitted.landscape);
    ASSERT_GE(fitted.lines.size(), 2);
    EXPECT_EQ(fitted.lines[0],
              "Duplicates larger or equal to 250 KB matching *.* on drive(s) / /home/ann");
    EXPECT_EQ(fitted.lines[1], "/media/ann/backup-disk-with-a-long-name ");
    EXPECT_TRUE(fitted.lines[2].startsWith("Printed : "));
}

}  // namespace
