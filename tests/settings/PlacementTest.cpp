// The window placement record and the geometry of the opening effect.

#include "settings/Placement.h"

#include <gtest/gtest.h>

inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "(" << r.left() << "," << r.top() << " " << r.width() << "x" << r.height() << ")";
}

namespace {

TEST(ParsePlacement, TakesOnlyCompleteRecordsOfMark200) {
    struct Case {
        const char* text;
        std::optional<TPlacementRecord> record;
    };
    const Case cases[] = {
        {"200,0,1,10,20,710,520", TPlacementRecord{0, 1, 10, 20, 710, 520}},
        {"200,2,3,-8,-8,1288,808", TPlacementRecord{2, 3, -8, -8, 1288, 808}},
        {"", {}},
        {"200,0,1,10,20,710", {}},          // six fields
        {"200,0,1,10,20,710,520,", {}},     // eight
        {"201,0,1,10,20,710,520", {}},      // another mark
        {" 200,0,1,10,20,710,520", {}},     // the mark must be exactly "200"
        {"0200,0,1,10,20,710,520", {}},
        {"200,0,1,10,x,710,520", {}},       // garbage in a field
        {"200,0,1,10,20,710,", {}},
        {"200,0,1,10,20,710,5e2", {}},
        {"200,0,1,10,20,710,99999999999", {}},
        {"200,0,1,10,20,10,520", {}},       // no width
        {"200,0,1,710,20,10,520", {}},      // right before left
        {"200,0,1,-2147483648,0,2147483647,500", {}}, // wider than any window
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParsePlacement(QString::fromUtf8(c.text)), c.record) << c.text;
}

TEST(FormatPlacement, WritesTheRecordItReads) {
    const TPlacementRecord r{0, 3, -8, -8, 1288, 808};
    EXPECT_EQ(FormatPlacement(r), QStringLiteral("200,0,3,-8,-8,1288,808"));
    EXPECT_EQ(ParsePlacement(FormatPlacement(r)), r);
}

TEST(FitOnScreen, MovesRectanglesBackOntoTheScreen) {
    struct Case {
        const char* name;
        QRect screen;
        int in[4];  // left, top, right, bottom
        int out[4];
    };
    const Case cases[] = {
        {"inside", QRect(0, 0, 800, 600), {10, 20, 710, 520}, {10, 20, 710, 520}},
        {"ends on the edge", QRect(0, 0, 800, 600), {100, 100, 800, 600}, {100, 100, 800, 600}},
        {"100..900 on 800", QRect(0, 0, 800, 600), {100, 50, 900, 450}, {0, 50, 800, 450}},
        {"past the bottom", QRect(0, 0, 800, 600), {10, 500, 710, 900}, {10, 200, 710, 600}},
        {"wider than the screen", QRect(0, 0, 800, 600), {0, 0, 1000, 400}, {-200, 0, 800, 400}},
        {"partly left stays", QRect(0, 0, 800, 600), {-300, -10, 400, 300}, {-300, -10, 400, 300}},
        {"wholly left and above", QRect(0, 0, 800, 600), {-900, -700, -100, -100}, {0, 0, 800, 600}},
        {"second screen", QRect(1280, 0, 1024, 768), {2000, 100, 2700, 600}, {1604, 100, 2304, 600}},
    };
    for (const Case& c : cases) {
        const TPlacementRecord in{0, 1, c.in[0], c.in[1], c.in[2], c.in[3]};
        const TPlacementRecord out = FitOnScreen(in, c.screen);
        EXPECT_EQ((std::array{out.left, out.top, out.right, out.bottom}),
                  (std::array{c.out[0], c.out[1], c.out[2], c.out[3]}))
            << c.name;
    }
}

TEST(CentredOnScreen, HalvesTruncateTowardZero) {
    EXPECT_EQ(CentredOnScreen(QSize(676, 437), QRect(0, 0, 800, 800)), QPoint(62, 181));
    EXPECT_EQ(CentredOnScreen(QSize(100, 100), QRect(0, 0, 801, 801)), QPoint(350, 350));
    EXPECT_EQ(CentredOnScreen(QSize(901, 901), QRect(0, 0, 800, 800)), QPoint(-50, -50));
    EXPECT_EQ(CentredOnScreen(QSize(100, 100), QRect(1280, 10, 800, 800)), QPoint(1630, 360));
}

TEST(ExplodeRects, GrowFromThePointerToTheWindow) {
    const QRect window(100, 60, 400, 200);
    const QList<QRect> rects = ExplodeRects(QPoint(20, 700), window);
    ASSERT_EQ(rects.size(), 40);
    EXPECT_EQ(rects[39], window);
    EXPECT_EQ(rects[0], QRect(22, 684, 10, 5));
    EXPECT_EQ(rects[19], QRect(60, 380, 200, 100));
}

TEST(ExplodeRects, HalvesRoundToEven) {
    // i = 20 puts every coordinate exactly half way.
    const QList<QRect> a = ExplodeRects(QPoint(0, 0), QRect(1, 3, 1, 3));
    EXPECT_EQ(a[19], QRect(0, 2, 0, 2)) << "left 0.5 -> 0, top 1.5 -> 2, right 0 + 0.5 -> 0, bottom 2 + 1.5 -> 4";
    const QList<QRect> b = ExplodeRects(QPoint(0, 0), QRect(5, 7, 5, 7));
    EXPECT_EQ(b[19], QRect(2, 4, 2, 4)) << "left 2.5 -> 2, top 3.5 -> 4, right 2 + 2.5 -> 4, bottom 4 + 3.5 -> 8";
}

} // namespace
