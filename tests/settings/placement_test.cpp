// The stored window placement: ten integers, each followed by the delimiter.

#include "settings/Placement.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

namespace vantrel {
namespace {

TEST(Placement, FormatIsTenNumbersEachFollowedByTheDelimiter) {
    Placement p{.left = 120, .top = 80, .right = 620, .bottom = 460};
    EXPECT_EQ(formatPlacement(p), QStringLiteral("0 1 -1 -1 -1 -1 120 80 620 460 "));
    EXPECT_EQ(formatPlacement(p, QStringLiteral(";")),
              QStringLiteral("0;1;-1;-1;-1;-1;120;80;620;460;"));
    p.showCmd = 3;
    p.maxY = -32000;
    EXPECT_EQ(parsePlacement(formatPlacement(p, QStringLiteral(", ")), QStringLiteral(", ")), p);
}

TEST(Placement, ParseTakesGarbageAsDefaultsAndAppliesOnlyWhenLeftIsLessThanRight) {
    using Numbers = std::array<int, 10>;  // flags, show, min x/y, max x/y, left, top, right, bottom
    const Numbers none = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::tuple<const char*, const char*, Numbers, bool> rows[] = {
        {"0 1 -1 -1 -1 -1 120 80 620 460 ", " ", {0, 1, -1, -1, -1, -1, 120, 80, 620, 460}, true},
        {"0 1 -1 -1 -1 -1 120 80 620 460", " ", {0, 1, -1, -1, -1, -1, 120, 80, 620, 460}, true},
        {"", " ", none, false},
        {"x y z", " ", none, false},
        {"0 abc -1 -1 -1 -1 1 2 30 40 ", " ", {0, 1, -1, -1, -1, -1, 1, 2, 30, 40}, true},
        {"0 1 -1 -1 -1 -1 12px 80 620 460 ", " ", {0, 1, -1, -1, -1, -1, 0, 80, 620, 460}, true},
        {"0 1 -1 -1 -1 -1 99999999999 80 620 460 ",
         " ",
         {0, 1, -1, -1, -1, -1, 0, 80, 620, 460},
         true},
        // Two blanks make an empty part, which shifts the rest.
        {"0  1 -1 -1 -1 -1 120 80 620 460 ", " ", {0, 1, 1, -1, -1, -1, -1, 120, 80, 620}, true},
        {"0 2 5 ", " ", {0, 2, 5, 0, 0, 0, 0, 0, 0, 0}, false},
        {"0 1 -1 -1 -1 -1 1 2 3 4 5 6 ", " ", {0, 1, -1, -1, -1, -1, 1, 2, 3, 4}, true},
        {"0 1 -1 -1 -1 -1 300 80 300 460 ", " ", {0, 1, -1, -1, -1, -1, 300, 80, 300, 460}, false},
        {"0;3;-1;-1;-1;-1;10;20;30;40;", " ", none, false},
        {"0<>3<>-1<>-1<>-1<>-1<>5<>6<>7<>8<>", "<>", {0, 3, -1, -1, -1, -1, 5, 6, 7, 8}, true}};
    for (const auto& [text, delimiter, numbers, applicable] : rows) {
        const Placement p = parsePlacement(QString::fromUtf8(text), QString::fromLatin1(delimiter));
        const Numbers got = {p.flags, p.showCmd, p.minX, p.minY,  p.maxX,
                             p.maxY,  p.left,    p.top,  p.right, p.bottom};
        EXPECT_EQ(got, numbers) << text;
        EXPECT_EQ(p.applicable(), applicable) << text;
    }
}

}  // namespace
}  // namespace vantrel
