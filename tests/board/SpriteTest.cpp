#include "board/Raster.h"
#include "board/Sprites.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

class SpriteFixture : public ::testing::Test {
protected:
    SpriteFixture() {
        canvas.Image = NewBitmap(200, 150);
        // Every pixel different, so a misplaced copy cannot go unnoticed.
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) canvas.Image.setPixel(x, y, qRgb(x, y, (x * 7 + y * 13) & 0xFF));
        picture = NewBitmap(20, 20);
        picture.fill(qRgb(255, 0, 255));
        canvas.OnChanged = [this](const QRect& r) { changed.push_back(r); };
    }

    TCanvas canvas;
    QImage picture;
    std::vector<QRect> changed;
};

TEST_F(SpriteFixture, AfterAnyMovesAndAHideTheCanvasIsAsBefore) {
    const QImage before = canvas.Image;
    tSprite sprite(&canvas, 20, -20); // sizes are taken as absolute values
    sprite.SetImage(&picture, 0, 0);
    sprite.SetPosition(50, 40);
    sprite.Show();
    EXPECT_EQ(canvas.Image.pixel(55, 45), qRgb(255, 0, 255));
    sprite.Grab(55, 45);
    std::mt19937 rng(5);
    for (int step = 0; step < 300; ++step) {
        // Mostly small steps (the union path), some far jumps, some partly off the canvas.
        const int reach = step % 10 == 0 ? 120 : 15;
        std::uniform_int_distribution<int> d(-reach, reach);
        const int px = std::clamp(sprite.GetX() + 5 + d(rng), -15, 215);
        const int py = std::clamp(sprite.GetY() + 5 + d(rng), -15, 165);
        sprite.DragTo(px, py);
        ASSERT_EQ(sprite.GetX(), px - 5);
        ASSERT_EQ(sprite.GetY(), py - 5);
        if (px - 5 >= 0 && py - 5 >= 0 && px + 15 <= 200 && py + 15 <= 150) {
            ASSERT_EQ(canvas.Image.pixel(px - 5, py - 5), qRgb(255, 0, 255));
        }
    }
    sprite.Hide();
    EXPECT_EQ(canvas.Image, before);
}

TEST_F(SpriteFixture, ANearMoveReachesTheCanvasInOneCopyOfTheUnion) {
    tSprite sprite(&canvas, 20, 20);
    sprite.SetImage(&picture, 0, 0);
    sprite.SetPosition(50, 40);
    sprite.Show();
    sprite.Grab(50, 40);
    changed.clear();
    sprite.DragTo(57, 35);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], QRect(50, 35, 27, 25));
    changed.clear();
    sprite.DragTo(157, 135); // apart in both directions: restore, then paint
    EXPECT_EQ(changed.size(), 2u);
}

TEST_F(SpriteFixture, ContainsExcludesRightAndBottomEdgesSoAnEdgePressDoesNotGrab) {
    tSprite sprite(&canvas, 20, 20);
    sprite.SetImage(&picture, 0, 0);
    sprite.SetPosition(50, 40);
    EXPECT_TRUE(sprite.Contains(50, 40));
    EXPECT_TRUE(sprite.Contains(69, 59));
    EXPECT_FALSE(sprite.Contains(70, 45));
    EXPECT_FALSE(sprite.Contains(55, 60));
    sprite.Show();
    sprite.Grab(70, 45);
    EXPECT_FALSE(sprite.IsGrabbed());
    sprite.DragTo(120, 90); // not grabbed: stays put
    EXPECT_EQ(sprite.GetX(), 50);
}

TEST_F(SpriteFixture, WithoutAPictureNothingHappens) {
    const QImage before = canvas.Image;
    tSprite sprite(&canvas, 20, 20);
    EXPECT_FALSE(sprite.IsReady());
    sprite.SetPosition(10, 10);
    sprite.Show();
    EXPECT_FALSE(sprite.IsVisible());
    EXPECT_EQ(sprite.GetX(), 0);
    EXPECT_EQ(canvas.Image, before);
}

TEST_F(SpriteFixture, RepaintedTakesTheFreshCanvasAsItsBackground) {
    tSprite sprite(&canvas, 20, 20);
    sprite.SetImage(&picture, 0, 0);
    sprite.SetPosition(50, 40);
    sprite.Show();
    canvas.Image.fill(qRgb(1, 2, 3)); // a full repaint of the board under the card
    const QImage repainted = canvas.Image;
    sprite.Repainted();
    EXPECT_EQ(canvas.Image.pixel(55, 45), qRgb(255, 0, 255));
    sprite.Hide();
    EXPECT_EQ(canvas.Image, repainted);
}

} // namespace
