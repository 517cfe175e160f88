// The window placement record and the geometry of the opening effect.

#include "placement/WindowPlacement.h"

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

// The frame for a record on the screens there are now (available rectangles, primary first).
TEST(PlaceFrame, PutsTheWholeFrameOnTheScreenItLiesOnMost) {
    const QRect laptop(0, 0, 1280, 800);
    const QRect withPanel(0, 30, 1280, 770);          // a panel along the top
    const QRect right(1280, 0, 1920, 1080);           // a bigger monitor to the right
    const QRect leftAbove(-1024, -200, 1024, 768);    // a smaller one left of the primary, higher up
    const QSize minFrame(702, 525);                   // 700 x 500 and a frame of 1, 20, 1, 5
    const QSize defaultFrame(702, 525);
    struct Case {
        const char* name;
        QList<QRect> screens;
        const char* record;
        QRect frame;
    };
    const Case cases[] = {
        {"inside stays", {laptop}, "200,0,1,100,50,802,575", QRect(100, 50, 702, 525)},
        {"no record: centred on the primary", {laptop, right}, "", QRect(289, 137, 702, 525)},
        {"garbage: centred", {laptop}, "200,0,1,10,x,710,520", QRect(289, 137, 702, 525)},
        {"negative size: centred", {laptop}, "200,0,1,500,300,100,100", QRect(289, 137, 702, 525)},
        {"right left of left: centred", {laptop}, "200,0,1,900,50,200,575", QRect(289, 137, 702, 525)},
        {"centred below a panel", {withPanel}, "", QRect(289, 152, 702, 525)},
        {"past the right edge", {laptop}, "200,0,1,700,50,1402,575", QRect(578, 50, 702, 525)},
        {"past the bottom", {laptop}, "200,0,1,10,500,712,1025", QRect(10, 275, 702, 525)},
        {"partly left of the screen", {laptop}, "200,0,1,-300,50,402,575", QRect(0, 50, 702, 525)},
        {"title bar above the screen", {laptop}, "200,0,1,100,-15,802,510", QRect(100, 0, 702, 525)},
        {"title bar under a panel", {withPanel}, "200,0,1,100,10,802,535", QRect(100, 30, 702, 525)},
        {"wholly left and above", {laptop}, "200,0,1,-2000,-2000,-1298,-1475", QRect(0, 0, 702, 525)},
        {"larger than the screen shrinks", {laptop}, "200,0,1,-50,-40,1870,1160", QRect(0, 0, 1280, 800)},
        {"never below the minimum", {QRect(0, 0, 640, 480)}, "200,0,1,0,0,1000,700", QRect(0, 0, 702, 525)},
        {"on the second monitor", {laptop, right}, "200,0,1,2000,100,2900,800", QRect(2000, 100, 900, 700)},
        {"mostly on the second monitor", {laptop, right}, "200,0,1,1000,100,2000,700", QRect(1280, 100, 1000, 600)},
        {"from a big monitor onto a small one", {laptop, leftAbove}, "200,0,1,-1800,-200,-24,1000",
         QRect(-1024, -200, 1024, 768)},
        {"monitor gone: onto the primary", {laptop}, "200,0,1,2000,100,2900,800", QRect(380, 100, 900, 700)},
        {"gone, above it all", {right, laptop}, "200,0,1,100,-3000,900,-2400", QRect(1280, 0, 800, 600)},
        {"maximized keeps its normal rectangle", {laptop}, "200,0,3,100,50,802,575", QRect(100, 50, 702, 525)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceFrame(ParsePlacement(QString::fromUtf8(c.record)), c.screens, minFrame, defaultFrame), c.frame)
            << c.name;
}

TEST(PlaceFrame, WithoutScreensPlacesNothing) {
    EXPECT_EQ(PlaceFrame(ParsePlacement("200,0,1,10,20,710,520"), {}, QSize(1, 1), QSize(700, 500)),
              QRect(10, 20, 700, 500));
    EXPECT_FALSE(PlaceFrame(std::nullopt, {}, QSize(1, 1), QSize(700, 500)).isValid());
}

TEST(FitOnScreen, KeepsTheTitleBarOnATooSmallScreen) {
    // Neither side fits: the frame hangs out to the right and below, never left or above.
    EXPECT_EQ(FitOnScreen(QRect(-500, -500, 400, 300), QRect(10, 20, 300, 200), QSize(600, 400)),
              QRect(10, 20, 600, 400));
    EXPECT_EQ(FitOnScreen(QRect(5000, 5000, 400, 300), QRect(10, 20, 300, 200), QSize(600, 400)),
              QRect(10, 20, 600, 400));
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
