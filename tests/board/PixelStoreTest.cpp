#include "board/PixelStore.h"

#include <gtest/gtest.h>

// A block goes out again only once nobody holds a picture made from it: a copy kept anywhere
// (a test, a drag picture, the screen) must never see its pixels change under it.
TEST(PixelStore, ReusesABlockOnlyWhenNobodyHoldsItsPicture) {
    TPixelStore store;
    QImage first = store.Make(100, 50);
    ASSERT_EQ(first.size(), QSize(100, 50));
    ASSERT_EQ(first.format(), QImage::Format_RGB32);
    const uchar* block = first.constBits();

    first.fill(qRgb(1, 2, 3));
    const QImage kept = first; // shares the block
    first = QImage();
    QImage second = store.Make(100, 50);
    EXPECT_NE(second.constBits(), block);
    second.fill(qRgb(9, 9, 9));
    EXPECT_EQ(kept.pixel(99, 49), qRgb(1, 2, 3));

    // Written to, a shared picture takes a copy of its own and lets the block go.
    QImage writer = second;
    writer.setPixel(0, 0, qRgb(4, 4, 4));
    EXPECT_EQ(second.pixel(0, 0), qRgb(9, 9, 9));
    const uchar* secondBlock = second.constBits();
    second = QImage();
    writer = QImage();
    // Released, it serves a smaller picture or one a little larger again.
    EXPECT_EQ(store.Make(90, 50).constBits(), secondBlock);
    EXPECT_EQ(store.Make(100, 55).constBits(), secondBlock);
    EXPECT_TRUE(store.Make(0, 10).isNull());
}
