// The stored window placement: ten integers, each followed by the delimiter.

#include "settings/Placement.h"

#include <gtest/gtest.h>

#include <array>

namespace vantrel {
namespace {

Placement sample() {
    Placement p;
    p.left = 120;
    p.top = 80;
    p.right = 620;
    p.bottom = 460;
    return p;
}

TEST(Placement, FormatIsTenNumbersEachFollowedByTheDelimiter) {
    EXPECT_EQ(formatPlacement(sample()), QStringLiteral("0 1 -1 -1 -1 -1 120 80 620 460 "));
    EXPECT_EQ(formatPlacement(sample(), QStringLiteral(";")),
              QStringLiteral("0;1;-1;-1;-1;-1;120;80;620;460;"));
    Placement maximised = sample();
    maximised.showCmd = 3;
    maximised.left = -8;
    EXPECT_EQ(formatPlacement(maximised), QStringLiteral("0 3 -1 -1 -1 -1 -8 80 620 460 "));
}

TEST(Placement, RoundTripWithDelimiters) {
    Placement p = sample();
    p.flags = 2;
    p.showCmd = 3;
    p.minX = 10;
    p.maxY = -32000;
    for (const char* delimiter : {" ", ";", ", ", "--", "\t"}) {
        const QString d = QString::fromLatin1(delimiter);
        EXPECT_EQ(parsePlacement(formatPlacement(p, d), d), p) << delimiter;
    }
}

struct ParseRow {
    const char* name;
    const char* text;
    const char* delimiter;
    std::array<int, 10> numbers;  // flags, show, min x/y, max x/y, left, top, right, bottom
    bool applicable;
};

class ParsePlacementTest : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParsePlacementTest, Parse) {
    const ParseRow& r = GetParam();
    const Placement p = parsePlacement(QString::fromUtf8(r.text), QString::fromLatin1(r.delimiter));
    const std::array<int, 10> got = {p.flags, p.showCmd, p.minX, p.minY,  p.maxX,
                                     p.maxY,  p.left,    p.top,  p.right, p.bottom};
    EXPECT_EQ(got, r.numbers);
    EXPECT_EQ(p.applicable(), r.applicable);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParsePlacementTest,
    ::testing::Values(ParseRow{"Stored",
                               "0 1 -1 -1 -1 -1 120 80 620 460 ",
                               " ",
                               {0, 1, -1, -1, -1, -1, 120, 80, 620, 460},
                               true},
                      ParseRow{"WithoutFinalDelimiter",
                               "0 1 -1 -1 -1 -1 120 80 620 460",
                               " ",
                               {0, 1, -1, -1, -1, -1, 120, 80, 620, 460},
                               true},
                      ParseRow{"Empty", "", " ", {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, false},
                      ParseRow{"Garbage", "x y z", " ", {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, false},
                      ParseRow{"GarbageShowState",
                               "0 abc -1 -1 -1 -1 1 2 30 40 ",
                               " ",
                               {0, 1, -1, -1, -1, -1, 1, 2, 30, 40},
                               true},
                      ParseRow{"NumberWithTail",
                               "0 1 -1 -1 -1 -1 12px 80 620 460 ",
                               " ",
                               {0, 1, -1, -1, -1, -1, 0, 80, 620, 460},
                               true},
                      ParseRow{"TooLargeForAnInteger",
                               "0 1 -1 -1 -1 -1 99999999999 80 620 460 ",
                               " ",
                               {0, 1, -1, -1, -1, -1, 0, 80, 620, 460},
                               true},
                      ParseRow{"TwoBlanksMakeAnEmptyPart",
                               "0  1 -1 -1 -1 -1 120 80 620 460 ",
                               " ",
                               {0, 1, 1, -1, -1, -1, -1, 120, 80, 620},
                               true},
                      ParseRow{"TooFewParts", "0 2 5 ", " ", {0, 2, 5, 0, 0, 0, 0, 0, 0, 0}, false},
                      ParseRow{"ExtraPartsIgnored",
                               "0 1 -1 -1 -1 -1 1 2 3 4 5 6 ",
                               " ",
                               {0, 1, -1, -1, -1, -1, 1, 2, 3, 4},
                               true},
                      ParseRow{"RightEqualsLeft",
                               "0 1 -1 -1 -1 -1 300 80 300 460 ",
                               " ",
                               {0, 1, -1, -1, -1, -1, 300, 80, 300, 460},
                               false},
                      ParseRow{"RightLeftOfLeft",
                               "0 1 -1 -1 -1 -1 620 80 120 460 ",
                               " ",
                               {0, 1, -1, -1, -1, -1, 620, 80, 120, 460},
                               false},
                      ParseRow{"OtherDelimiter",
                               "0;3;-1;-1;-1;-1;10;20;30;40;",
                               ";",
                               {0, 3, -1, -1, -1, -1, 10, 20, 30, 40},
                               true},
                      ParseRow{"WrongDelimiter",
                               "0;3;-1;-1;-1;-1;10;20;30;40;",
                               " ",
                               {0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
                               false},
                      ParseRow{"LongDelimiter",
                               "0<>1<>-1<>-1<>-1<>-1<>5<>6<>7<>8<>",
                               "<>",
                               {0, 1, -1, -1, -1, -1, 5, 6, 7, 8},
                               true}),
    [](const ::testing::TestParamInfo<ParseRow>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace vantrel
