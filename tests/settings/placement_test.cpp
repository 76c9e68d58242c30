// The stored window placement: ten integers, each followed by the delimiter.

#include "settings/Placement.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
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

// A damaged value (-2147483648 in a field once overflowed into a 0-pixel
// window) restores nothing; a sane one comes back at least of a usable size,
// at most its screen's, and on a screen.
TEST(Placement, RestoredRectangleIsSaneOrNone) {
    const QList<QRect> screens = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
    const QRect centred = [] {
        QRect r(0, 0, 300, 200);
        r.moveCenter(QRect(0, 0, 1280, 1024).center());
        return r;
    }();
    const std::pair<const char*, std::optional<QRect>> rows[] = {
        {"0 1 -1 -1 -1 -1 120 80 620 460 ", QRect(120, 80, 500, 380)},
        {"0 1 -1 -1 -1 -1 -2147483648 80 620 460 ", std::nullopt},
        {"0 1 -1 -1 -1 -1 120 -2147483648 620 460 ", std::nullopt},
        {"0 1 -1 -1 -1 -1 120 80 2147483647 460 ", std::nullopt},
        {"0 1 -1 -1 -1 -1 -2147483648 -2147483648 2147483647 2147483647 ", std::nullopt},
        {"0 1 -1 -1 -1 -1 120 80 1000001 460 ", std::nullopt},
        {"0 1 -1 -1 -1 -1 620 80 120 460 ", std::nullopt},
        {"0 1 -1 -1 -1 -1 120 460 620 80 ", std::nullopt},
        {"0 1 -1 -1 -1 -1 100 100 101 101 ", QRect(100, 100, 160, 100)},
        {"0 1 -1 -1 -1 -1 0 0 100000 100000 ", QRect(1280, 0, 1920, 1080)},
        {"0 1 -1 -1 -1 -1 -500 -500 1000 900 ", QRect(0, 0, 1280, 1024)},
        {"0 1 -1 -1 -1 -1 1400 100 1900 500 ", QRect(1400, 100, 500, 400)},
        {"0 1 -1 -1 -1 -1 1200 0 4000 2000 ", QRect(1280, 0, 1920, 1080)},
        {"0 1 -1 -1 -1 -1 5000 5000 5300 5200 ", centred},
        {"0 1 -1 -1 -1 -1 -999999 -999999 -999699 -999799 ", centred}};
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(restoredNormalRect(parsePlacement(QString::fromLatin1(text)), screens), expected)
            << text;
    // The window's own minimum counts, and no screen at all still sizes it.
    const Placement small = parsePlacement(QStringLiteral("0 1 -1 -1 -1 -1 10 10 20 20 "));
    EXPECT_EQ(restoredNormalRect(small, screens, QSize(400, 300)), QRect(10, 10, 400, 300));
    EXPECT_EQ(restoredNormalRect(small, {}), QRect(10, 10, 160, 100));
}

}  // namespace
}  // namespace vantrel
