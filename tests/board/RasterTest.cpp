#include "board/Raster.h"

#include <gtest/gtest.h>

namespace {

QImage Filled(int w, int h, QRgb colour) {
    QImage img = NewBitmap(w, h);
    img.fill(colour);
    return img;
}

// A picture that shares its pixels with a copy gets its own before it is drawn on; the copy
// keeps what it had. (The pixel work itself: PixelsTest.cpp.)
TEST(Raster, DrawingLeavesACopyAlone) {
    QImage dst = Filled(4, 4, qRgb(9, 9, 9));
    const QImage kept = dst;
    const QImage src = Filled(2, 2, qRgb(1, 2, 3));
    BitBlt(dst, 1, 1, 2, 2, src, 0, 0);
    BitBltAnd(dst, 0, 0, 1, 1, src, 0, 0, src, 0, 0);
    FillRect(dst, QRect(3, 3, 1, 1), Qt::white);
    EXPECT_EQ(dst.pixel(1, 1), qRgb(1, 2, 3));
    EXPECT_EQ(dst.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(dst.pixel(3, 3), qRgb(255, 255, 255));
    for (const QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(3, 3)}) EXPECT_EQ(kept.pixel(p), qRgb(9, 9, 9));
    // Within one picture, the overlapping block is read before it is written.
    BitBlt(dst, 0, 0, 3, 3, dst, 1, 1);
    EXPECT_EQ(dst.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(dst.pixel(2, 2), qRgb(255, 255, 255));
}

TEST(Raster, RectangleOutlinesWithPenWidths) {
    QImage img = Filled(12, 12, qRgb(255, 255, 255));
    FrameRect(img, 2, 2, 10, 10, Qt::black); // right and bottom exclusive: last pixels at 9
    EXPECT_EQ(img.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(9, 9), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(10, 9), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(3, 3), qRgb(255, 255, 255)); // the inside is left alone

    QImage wide = Filled(12, 12, qRgb(255, 255, 255));
    FrameRect(wide, 3, 3, 9, 9, Qt::black, 3); // centred on the one-pixel outline
    for (int x : {2, 3, 4}) EXPECT_EQ(wide.pixel(x, 6), qRgb(0, 0, 0)) << x;
    for (int x : {7, 8, 9}) EXPECT_EQ(wide.pixel(x, 6), qRgb(0, 0, 0)) << x;
    EXPECT_EQ(wide.pixel(1, 6), qRgb(255, 255, 255));
    EXPECT_EQ(wide.pixel(5, 6), qRgb(255, 255, 255));
    EXPECT_EQ(wide.pixel(10, 6), qRgb(255, 255, 255));
}

} // namespace
