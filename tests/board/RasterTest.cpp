#include "board/Raster.h"

#include <gtest/gtest.h>

namespace {

QImage Filled(int w, int h, QRgb colour) {
    QImage img = NewBitmap(w, h);
    img.fill(colour);
    return img;
}

TEST(Raster, BlockCopyCombinesByOperation) {
    const QRgb d = qRgb(0xF0, 0x0F, 0xAA), s = qRgb(0x3C, 0x3C, 0x0F);
    struct { TRop rop; QRgb want; } cases[] = {
        {TRop::Copy, s},
        {TRop::And, qRgb(0x30, 0x0C, 0x0A)},
        {TRop::Or, qRgb(0xFC, 0x3F, 0xAF)},
        {TRop::AndNot, qRgb(0xC0, 0x03, 0xA0)},
    };
    for (auto c : cases) {
        QImage dst = Filled(4, 4, d);
        const QImage src = Filled(4, 4, s);
        BitBlt(dst, 1, 1, 2, 2, src, 0, 0, c.rop);
        EXPECT_EQ(dst.pixel(1, 1), c.want) << int(c.rop);
        EXPECT_EQ(dst.pixel(2, 2), c.want) << int(c.rop);
        EXPECT_EQ(dst.pixel(0, 0), d) << int(c.rop);
        EXPECT_EQ(dst.pixel(3, 3), d) << int(c.rop);
        EXPECT_EQ(qAlpha(dst.pixel(1, 1)), 255); // stays opaque
    }
}

TEST(Raster, BlockCopyClipsAtEveryEdge) {
    QImage src = NewBitmap(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) src.setPixel(x, y, qRgb(x * 10, y * 10, 1));
    QImage dst = Filled(4, 4, qRgb(9, 9, 9));
    BitBlt(dst, -1, -1, 3, 3, src, 0, 0); // source pixel (1,1) lands on (0,0)
    EXPECT_EQ(dst.pixel(0, 0), qRgb(10, 10, 1));
    EXPECT_EQ(dst.pixel(1, 1), qRgb(20, 20, 1));
    EXPECT_EQ(dst.pixel(2, 2), qRgb(9, 9, 9));
    BitBlt(dst, 3, 3, 3, 3, src, 0, 0); // only (3,3) is inside
    EXPECT_EQ(dst.pixel(3, 3), qRgb(0, 0, 1));
    BitBlt(dst, 0, 3, 3, 3, src, 2, -1); // source starts above its top edge
    EXPECT_EQ(dst.pixel(0, 3), qRgb(9, 9, 9));
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

TEST(Raster, MaskKeyedByColour) {
    QImage img = Filled(2, 1, qRgb(255, 255, 255));
    img.setPixel(1, 0, qRgb(255, 255, 254));
    const QImage mask = MonoMask(img, 0x02FFFFFFu); // the flag byte does not count
    EXPECT_EQ(mask.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(mask.pixel(1, 0), qRgb(0, 0, 0));
}

} // namespace
