#include "board/Geometry.h"

#include <gtest/gtest.h>

namespace {

BoardLayout Layout(int bw, int bh, int n) {
    BoardLayout l;
    EXPECT_TRUE(ComputeLayout(l, bw, bh, n));
    return l;
}

TEST(Geometry, RoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundHalfEven(96.75), 97);
}

struct SizeCase {
    int bw, bh;
    float unit;
    int left, top, card, pattern, strip;
};

TEST(Geometry, BoardAreaAtSeveralSizes) {
    const SizeCase cases[] = {
        {700, 500, 645, 27, 65, 97, 31, 12},   // wider than 3:2: the height decides
        {1024, 700, 945, 39, 65, 142, 45, 17}, // 1014 / 630 > 1.5
        {800, 800, 790, 5, 166, 119, 38, 14},  // taller (118.5 as a float is a hair above): centred vertically below the band
    };
    for (const SizeCase& c : cases) {
        const BoardLayout l = Layout(c.bw, c.bh, 12);
        EXPECT_EQ(l.BoardUnit, c.unit) << c.bw << "x" << c.bh;
        EXPECT_EQ(l.BoardLeft, c.left) << c.bw << "x" << c.bh;
        EXPECT_EQ(l.BoardTop, c.top) << c.bw << "x" << c.bh;
        EXPECT_EQ(l.CardSize, c.card) << c.bw << "x" << c.bh;
        EXPECT_EQ(l.PatternSize, c.pattern) << c.bw << "x" << c.bh;
        EXPECT_EQ(l.StripStep(), c.strip) << c.bw << "x" << c.bh;
    }
}

TEST(Geometry, ElementsAt700x500) {
    const BoardLayout l = Layout(700, 500, 12);
    const int rowX[] = {137, 246, 356, 466};
    for (int j = 0; j < 4; ++j) EXPECT_EQ(l.RowRect(j), QRect(rowX[j], 149, 97, 97)) << j;
    const int stackX[] = {82, 191, 301, 411, 520};
    for (int s = 0; s < 5; ++s) EXPECT_EQ(l.StackTopRect(s), QRect(stackX[s], 271, 97, 97)) << s;
    EXPECT_EQ(l.ScoreField().x(), 300);
    EXPECT_EQ(l.PatternRect(1), QRect(146, 84, 31, 31));
    EXPECT_EQ(l.PatternRect(2).x(), 180);
    EXPECT_EQ(l.PatternRect(3).x(), 214);
    EXPECT_EQ(l.PatternRect(4).x(), 249);
    EXPECT_EQ(l.PatternRect(12).x(), 522);
    for (int i = 2; i <= 12; ++i) {
        const int step = l.PatternRect(i).x() - l.PatternRect(i - 1).x();
        EXPECT_TRUE(step == 34 || step == 35) << i;
    }
    EXPECT_EQ(l.PatternPanel(), QRect(138, 76, 422, 46));
    EXPECT_EQ(l.RowPanel(), QRect(129, 142, 441, 112));
    EXPECT_EQ(l.StackArea(0), QRect(82, 271, 97, 97 + 120));
}

TEST(Geometry, EighteenPatternsAt700x500) {
    const BoardLayout l = Layout(700, 500, 18);
    EXPECT_EQ(l.PatternRect(1).x(), 43);
    EXPECT_EQ(l.PatternRect(18).x(), 625);
    EXPECT_EQ(l.PatternPanel().x(), 36);
    EXPECT_EQ(l.PatternPanel().width(), 628);
}

TEST(Geometry, HitTestsIncludeRightAndBottomEdges) {
    const BoardLayout l = Layout(700, 500, 12);
    // Stack 1's top card is (191, 271, 97); its hit square reaches x 288 and y 368.
    EXPECT_EQ(l.StackAt(191, 271), 1);
    EXPECT_EQ(l.StackAt(191 + 97, 271 + 97), 1);
    EXPECT_EQ(l.StackAt(191 + 98, 300), -1);
    EXPECT_EQ(l.StackAt(200, 271 + 98), -1); // the strips of lower cards hit nothing
    EXPECT_EQ(l.StackAt(190, 300), -1);
    // Row position 2 is (356, 149, 97).
    EXPECT_EQ(l.RowAt(356 + 97, 149 + 97), 2);
    EXPECT_EQ(l.RowAt(356, 149), 2);
    EXPECT_EQ(l.RowAt(355, 149), -1);
    EXPECT_EQ(l.RowAt(400, 148), -1);
}

TEST(Geometry, ATinyPaintBoxKeepsTheOldLayout) {
    BoardLayout l = Layout(700, 500, 12);
    EXPECT_FALSE(ComputeLayout(l, 700, 100, 12));
    EXPECT_EQ(l.CardSize, 97);
    EXPECT_EQ(l.Width, 700);
}

} // namespace
