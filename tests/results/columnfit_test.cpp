// How the result grid shares its width among its columns.
#include "results/GridLayout.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace vantrel;

namespace {

int sum(const QList<int>& widths) {
    return std::accumulate(widths.cbegin(), widths.cend(), 0);
}

// A duplicates grid in miniature: name (stretches), size (fixed), folder
// (stretches), type (stretches).
const QList<ColumnClaim> kColumns{
    {.minimum = 90, .wanted = 150, .stretches = true},
    {.minimum = 60, .wanted = 80, .stretches = false},
    {.minimum = 180, .wanted = 450, .stretches = true},
    {.minimum = 90, .wanted = 100, .stretches = true},
};

TEST(ColumnFit, RoomToSpareIsSharedAndTheColumnsEndAtTheEdge) {
    // Wanted: 150 + 80 + 450 + 100 = 780. At 780 each has what it wants; at
    // 1,080 the 300 to spare go to the stretching columns in proportion to
    // what they want (150 : 450 : 100), the fixed size column keeps 80.
    EXPECT_EQ(fitColumnWidths(kColumns, 780), (QList<int>{150, 80, 450, 100}));
    const QList<int> wide = fitColumnWidths(kColumns, 1080);
    EXPECT_EQ(wide, (QList<int>{215, 80, 643, 142}));  // 2 pixels over: to the widest
    EXPECT_EQ(sum(wide), 1080);
    // Widening by one more pixel widens more than the last column.
    const QList<int> wider = fitColumnWidths(kColumns, 1280);
    EXPECT_GT(wider[0], wide[0]);
    EXPECT_GT(wider[2], wide[2]);
    EXPECT_EQ(wider[1], 80);
    EXPECT_EQ(sum(wider), 1280);
}

TEST(ColumnFit, TooNarrowTheWidestGiveWayFirstButNotBelowTheirMinimum) {
    // 620 pixels leave the stretching columns 540 of the 700 they want: the
    // folder alone is cut (to 290), name and type keep their texts whole.
    EXPECT_EQ(fitColumnWidths(kColumns, 620), (QList<int>{150, 80, 290, 100}));
    // 450 leave 370: the folder is at its minimum, name and type are cut to
    // one width; the size column never gives way.
    EXPECT_EQ(fitColumnWidths(kColumns, 450), (QList<int>{95, 80, 180, 95}));
    // Below the sum of the minimums every column keeps its minimum (the
    // grid scrolls sideways) and none is lost.
    EXPECT_EQ(fitColumnWidths(kColumns, 300), (QList<int>{90, 80, 180, 90}));
}

TEST(ColumnFit, WithoutStretchingColumnsEveryColumnShares) {
    const QList<ColumnClaim> fixed{{.minimum = 50, .wanted = 100, .stretches = false},
                                   {.minimum = 50, .wanted = 300, .stretches = false}};
    EXPECT_EQ(fitColumnWidths(fixed, 800), (QList<int>{200, 600}));
    // A fixed column that wants less than its minimum gets the minimum.
    EXPECT_EQ(
        fitColumnWidths(
            {{.minimum = 64, .wanted = 20}, {.minimum = 10, .wanted = 10, .stretches = true}}, 100),
        (QList<int>{64, 36}));
}

TEST(ColumnFit, LayoutsSayWhichColumnsStretch) {
    const GridLayout dup = duplicatesLayout(0);
    // Filename, Folder and Type share; sizes, dates and times keep their width.
    for (int c = 0; c < dup.columnCount(); ++c)
        EXPECT_EQ(dup.stretches(c), c == 0 || c == 5 || c == 6) << c;
    const GridLayout hogs = fileHogsLayout();
    for (int c = 0; c < hogs.columnCount(); ++c)
        EXPECT_EQ(hogs.stretches(c), c == 4 || c == 5) << c;
    // Every column has a minimum; the one past the listed widths a default.
    EXPECT_EQ(dup.minimumWidth(0), 93);
    EXPECT_EQ(dup.minimumWidth(6), kDefaultColumnMinimum);
}

}  // namespace
