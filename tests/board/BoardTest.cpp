#include "board/Board.h"
#include "board/Raster.h"
#include "game/Deal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

class BoardFixture : public ::testing::Test {
protected:
    BoardFixture() : board(canvas, game, random) {
        SetLevel(game, 1);
        GameRandom deal(3);
        StartDeal(game, DealTable(deal));
        board.LoadArtwork();
        canvas.OnChanged = [this](const QRect& r) { changed.push_back(r); };
        EXPECT_TRUE(board.LayoutBoard(700, 500));
        board.Paint();
        changed.clear();
    }

    // The canvas pixels of r, for comparing before and after.
    QImage Region(const QRect& r) const { return canvas.Image.copy(r); }
    QImage BackgroundRegion(const QRect& r) const { return board.BoardBackground.copy(r); }

    TCanvas canvas;
    GameData game;
    GameRandom random{11};
    TBoard board;
    std::vector<QRect> changed;
};

TEST_F(BoardFixture, CardIsFaceAndNumeralWithABlackFrame) {
    const int cs = board.Layout.CardSize;
    const CardCode card = MakeCard(2, 7); // blue 7
    QImage target = NewBitmap(cs + 4, cs + 4);
    board.DrawCard(target, 2, 2, card);

    QImage want = board.CardFaces.copy(2 * cs, 0, cs, cs);
    BitBlt(want, 0, 0, cs, cs, board.ValueGlyphs, 0, 6 * cs, TRop::And);
    for (int y = 1; y < cs - 1; ++y)
        for (int x = 1; x < cs - 1; ++x) ASSERT_EQ(target.pixel(x + 2, y + 2), want.pixel(x, y)) << x << "," << y;
    for (int k = 0; k < cs; ++k) {
        EXPECT_EQ(target.pixel(2 + k, 2), qRgb(0, 0, 0));
        EXPECT_EQ(target.pixel(2 + k, 1 + cs), qRgb(0, 0, 0));
        EXPECT_EQ(target.pixel(2, 2 + k), qRgb(0, 0, 0));
        EXPECT_EQ(target.pixel(1 + cs, 2 + k), qRgb(0, 0, 0));
    }
    EXPECT_EQ(target.pixel(2 + cs, 2 + cs), qRgb(0, 0, 0)); // nothing beyond the square

    // The numeral really darkens the face somewhere, and differs between values.
    QImage seven = NewBitmap(cs, cs), eight = NewBitmap(cs, cs);
    board.DrawCard(seven, 0, 0, card);
    board.DrawCard(eight, 0, 0, MakeCard(2, 8));
    EXPECT_NE(seven, eight);

    QImage untouched = NewBitmap(cs, cs);
    untouched.fill(qRgb(1, 2, 3));
    const QImage before = untouched;
    for (CardCode bad : {64, 78, 80, -1}) board.DrawCard(untouched, 0, 0, bad);
    EXPECT_EQ(untouched, before);
}

TEST_F(BoardFixture, LiftingAndDroppingMoveTheStripsByOneStep) {
    const int s = 2, cs = board.Layout.CardSize, st = board.Layout.StripStep();
    const QRect area = board.Layout.StackArea(s);
    const QImage full10 = Region(area);

    board.DrawStack(s, false); // top card lifted
    const QImage lifted10 = Region(area);
    // The lower cards stay where they were; the lifted card's top strip shows the background.
    EXPECT_EQ(lifted10.copy(0, cs + st, cs, area.height() - cs - st), full10.copy(0, cs + st, cs, area.height() - cs - st));
    EXPECT_EQ(lifted10.copy(0, 0, cs, st), BackgroundRegion(QRect(area.x(), area.y(), cs, st)));
    EXPECT_EQ(changed.back(), area);

    board.DrawStack(s, true); // refused drop: back as it was
    EXPECT_EQ(Region(area), full10);

    --game.StackCount[s]; // accepted drop: nine cards, each a strip higher
    board.DrawStack(s, true);
    const QImage full9 = Region(area);
    const int cards9 = cs + 8 * st; // the top card and eight strips
    EXPECT_EQ(full9.copy(0, 0, cs, cards9), lifted10.copy(0, st, cs, cards9));
    EXPECT_EQ(full9.copy(0, cards9, cs, 2 * st), BackgroundRegion(QRect(area.x(), area.y() + cards9, cs, 2 * st)));
}

TEST_F(BoardFixture, ShortStacks) {
    const int s = 0, cs = board.Layout.CardSize;
    const QRect area = board.Layout.StackArea(s);
    game.StackCount[s] = 1;
    board.DrawStack(s, true);
    QImage one = NewBitmap(cs, cs);
    board.DrawCard(one, 0, 0, game.Stacks[s][0]);
    EXPECT_EQ(Region(QRect(area.x(), area.y(), cs, cs)), one);
    EXPECT_EQ(Region(area.adjusted(0, cs, 0, 0)), BackgroundRegion(area.adjusted(0, cs, 0, 0)));

    board.DrawStack(s, false); // its only card lifted
    EXPECT_EQ(Region(area), BackgroundRegion(area));
    game.StackCount[s] = 0;
    board.DrawStack(s, true);
    EXPECT_EQ(Region(area), BackgroundRegion(area));
}

TEST_F(BoardFixture, ScoreFieldClampsAndCentres) {
    int labelLeft = -1;
    board.OnScoreLabelMoved = [&](int left) { labelLeft = left; };
    const QRect field = board.Layout.ScoreField();
    const QRect wide(field.x() - 40, field.y(), field.width() + 80, field.height());
    auto drawn = [&](std::int32_t score) {
        game.Score = score;
        board.DrawScore();
        return Region(wide);
    };
    EXPECT_EQ(drawn(234567), drawn(99999));
    EXPECT_EQ(drawn(-20000), drawn(-9999));
    EXPECT_NE(drawn(-9999), drawn(99999));
    EXPECT_EQ(game.Score, -9999); // only the display is clamped; the value is the caller's

    drawn(7);
    const int x = (700 - 436) / 2 + 208;
    EXPECT_EQ(labelLeft, x + 5);
    // Everything but the one glyph cell is background again.
    const QRect glyph(x, 22, 20, 27);
    for (int px = field.x(); px < field.right(); ++px) {
        if (px >= glyph.x() && px <= glyph.right()) continue;
        ASSERT_EQ(canvas.Image.pixel(px, 30), board.BoardBackground.pixel(px, 30)) << px;
    }
    EXPECT_NE(Region(glyph), BackgroundRegion(glyph));
}

TEST_F(BoardFixture, PausedBoardShowsOnlyTheBackground) {
    game.GameState = gsPaused;
    board.Paint();
    EXPECT_EQ(canvas.Image, board.BoardBackground);
    game.GameState = gsRunning;
    board.Paint();
    EXPECT_NE(canvas.Image, board.BoardBackground);
}

TEST_F(BoardFixture, OfferedPatternsGlitterOpenOnesStayFramedBlack) {
    game.PatternState[3] = TPatternState::Offered;
    game.PatternState[4] = TPatternState::Claimed;
    for (int i : {3, 4, 5}) board.DrawPattern(i);
    const QRect offered = board.Layout.PatternRect(3), open = board.Layout.PatternRect(5);
    const QImage openBefore = Region(open.adjusted(-1, -1, 1, 1));
    board.FlashFrames();
    for (QPoint p : {offered.topLeft(), offered.topLeft() - QPoint(1, 1), offered.bottomRight() + QPoint(1, 1)}) {
        const QRgb c = canvas.Image.pixel(p);
        EXPECT_GE(qRed(c), 128);
        EXPECT_GE(qGreen(c), 128);
        EXPECT_GE(qBlue(c), 128);
    }
    EXPECT_EQ(Region(open.adjusted(-1, -1, 1, 1)), openBefore);
    EXPECT_EQ(canvas.Image.pixel(open.topLeft()), qRgb(0, 0, 0));
    // A claimed pattern shows the claimed picture, cell 0.
    const QRect claimed = board.Layout.PatternRect(4);
    const int ps = board.Layout.PatternSize;
    EXPECT_EQ(Region(claimed.adjusted(1, 1, -1, -1)), board.PatternPictures.copy(1, 1, ps - 2, ps - 2));
}

TEST_F(BoardFixture, ClaimFlashWritesSixTimesOverTheEmptiedSquare) {
    const QRect sq = board.Layout.PatternRect(6);
    int passes = 0;
    board.ClaimFlash(6, 245, [&] { ++passes; });
    EXPECT_EQ(passes, 6);
    // The corners of the square show the background, the picture is gone.
    EXPECT_EQ(canvas.Image.pixel(sq.topLeft()), board.BoardBackground.pixel(sq.topLeft()));
    EXPECT_EQ(canvas.Image.pixel(sq.bottomRight()), board.BoardBackground.pixel(sq.bottomRight()));
    EXPECT_NE(Region(sq), BackgroundRegion(sq)); // the number is there
}

TEST_F(BoardFixture, ResizeRendersPicturesAnewAtTheNewSize) {
    ASSERT_TRUE(board.LayoutBoard(1400, 1000));
    TCanvas other;
    GameData same = game;
    TBoard fresh(other, same, random);
    fresh.LoadArtwork();
    ASSERT_TRUE(fresh.LayoutBoard(1400, 1000));
    EXPECT_EQ(board.CardFaces.width(), 5 * board.Layout.CardSize);
    EXPECT_EQ(board.CardFaces, fresh.CardFaces);
    EXPECT_EQ(board.ValueGlyphs, fresh.ValueGlyphs);
    EXPECT_EQ(board.PatternPictures, fresh.PatternPictures);
    EXPECT_EQ(board.BoardBackground, fresh.BoardBackground);
}

TEST_F(BoardFixture, EveryBackgroundColourChangesBandBoardAndPanels) {
    const QPoint band(350, 10), field(20, 480), panel = board.Layout.RowPanel().center();
    std::vector<QRgb> seen;
    for (int index = 0; index < BackgroundCount; ++index) {
        board.BackgroundIndex = index;
        ASSERT_TRUE(board.LayoutBoard(700, 500));
        for (QPoint p : {band, field, panel}) seen.push_back(board.BoardBackground.pixel(p));
    }
    for (size_t a = 0; a < seen.size(); a += 3)
        for (size_t b = a + 3; b < seen.size(); b += 3) {
            EXPECT_NE(seen[a], seen[b]);
            EXPECT_NE(seen[a + 1], seen[b + 1]);
            EXPECT_NE(seen[a + 2], seen[b + 2]);
        }
}

TEST_F(BoardFixture, TexturesAreTiledFromTheTopLeftCornerDarkerInTheBandAndPanels) {
    board.BackgroundIndex = 3;
    ASSERT_TRUE(board.LayoutBoard(1001, 707));
    const QImage& t = board.BackTexture;
    const int tw = t.width() / 2, th = t.height() / 5;
    auto tiled = [&](QPoint p, bool darker) { return t.pixel((darker ? tw : 0) + p.x() % tw, 3 * th + p.y() % th); };
    const QRect pp = board.Layout.PatternPanel(), rp = board.Layout.RowPanel();
    for (QPoint p : {QPoint(0, 0), QPoint(999, 57), QPoint(tw, 20), QPoint(2 * tw + 5, 30)})
        EXPECT_EQ(board.BoardBackground.pixel(p), tiled(p, true)) << p.x() << "," << p.y();
    for (QPoint p : {pp.topLeft() + QPoint(1, 1), pp.bottomRight() - QPoint(1, 1), rp.center(), rp.bottomRight() - QPoint(1, 1)})
        EXPECT_EQ(board.BoardBackground.pixel(p), tiled(p, true)) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(20, 70), QPoint(990, 690), QPoint(tw * 3 - 1, th * 4 - 1), QPoint(rp.x() - 8, rp.y())})
        EXPECT_EQ(board.BoardBackground.pixel(p), tiled(p, false)) << p.x() << "," << p.y();
    // The frames: black at 0, 2..4 and 6 pixels inside the board's edge, texture between.
    for (int d : {0, 2, 3, 4, 6}) EXPECT_EQ(board.BoardBackground.pixel(500, 706 - d), qRgb(0, 0, 0)) << d;
    for (int d : {1, 5}) EXPECT_EQ(board.BoardBackground.pixel(500, 706 - d), tiled(QPoint(500, 706 - d), false)) << d;
}

TEST(BoardFallback, WithoutATextureTheBoardIsStillDrawn) {
    TCanvas canvas;
    GameData game;
    SetLevel(game, 2);
    GameRandom random(1);
    TBoard board(canvas, game, random);
    board.LoadArtwork();
    board.BackTexture = QImage(); // as if the texture could not be decoded
    ASSERT_TRUE(board.LayoutBoard(700, 500));
    EXPECT_NE(board.BoardBackground.pixel(300, 300), qRgb(0, 0, 0));
    EXPECT_NE(board.BoardBackground.pixel(300, 10), board.BoardBackground.pixel(300, 300)); // a darker band
}


// On a scaled screen the layout stays in the paint box's pixels and everything drawn is made
// at the screen's resolution: sharp, not the scale-1 board blown up.
class ScaledBoard : public ::testing::TestWithParam<qreal> {};

TEST_P(ScaledBoard, DrawsAtDeviceResolution) {
    const qreal ratio = GetParam();
    TCanvas canvas;
    canvas.Ratio = ratio;
    GameData game;
    SetLevel(game, 1);
    GameRandom deal(3), random(1);
    StartDeal(game, DealTable(deal));
    TBoard board(canvas, game, random);
    board.LoadArtwork();
    ASSERT_TRUE(board.LayoutBoard(700, 500));
    board.Paint();

    // The layout is the one of scale 1; the pictures are ratio times larger.
    EXPECT_EQ(board.Layout.CardSize, 97);
    EXPECT_EQ(canvas.Image.size(), QSize(qRound(700 * ratio), qRound(500 * ratio)));
    const int cs = board.DeviceCardSize();
    EXPECT_EQ(cs, qRound(97 * ratio));
    EXPECT_EQ(board.CardFaces.size(), QSize(5 * cs, cs));
    EXPECT_EQ(board.PatternPictures.height(), qRound(31 * ratio));

    // A row card lies where its layout square lies, whole and framed by one layout pixel.
    const QRect row = board.Layout.RowRect(1);
    QImage card = NewBitmap(cs, cs);
    board.DrawCard(card, 0, 0, game.Row[1]);
    EXPECT_EQ(canvas.Image.copy(qRound(row.x() * ratio), qRound(row.y() * ratio), cs, cs), card);
    const int frame = qRound(ratio);
    for (int d = 0; d < frame; ++d) EXPECT_EQ(card.pixel(cs / 2, d), qRgb(0, 0, 0)) << d;
    EXPECT_NE(card.pixel(cs / 2, frame), qRgb(0, 0, 0));

    // Rendered, not scaled: at scale 2 a board blown up from scale 1 would consist of 2 x 2
    // blocks of one colour; a sharp one has plenty of blocks with detail inside.
    if (ratio == 2.0) {
        int mixed = 0, blocks = 0;
        for (int y = 0; y + 1 < cs; y += 2)
            for (int x = 0; x + 1 < cs; x += 2, ++blocks) {
                const QRgb p = card.pixel(x, y);
                if (card.pixel(x + 1, y) != p || card.pixel(x, y + 1) != p || card.pixel(x + 1, y + 1) != p) ++mixed;
            }
        EXPECT_GT(mixed, blocks / 10);
    }

    // The score's digits, the background's frames and its texture are at device size too.
    const QRect field = board.Dev(board.Layout.ScoreField());
    EXPECT_NE(canvas.Image.copy(field), board.BoardBackground.copy(field));
    EXPECT_EQ(board.BoardBackground.size(), canvas.Image.size());
    const int bottom = canvas.Image.height() - 1;
    EXPECT_EQ(board.BoardBackground.pixel(350, bottom), qRgb(0, 0, 0));
    EXPECT_NE(board.BoardBackground.pixel(350, board.Dev(498)), qRgb(0, 0, 0)); // texture between the frames
}

INSTANTIATE_TEST_SUITE_P(Ratios, ScaledBoard, ::testing::Values(1.25, 1.5, 2.0),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return "Percent" + std::to_string(std::lround(info.param * 100));
                         });

} // namespace
