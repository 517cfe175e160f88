// The pixel work under the raster operations, on plain memory: built into the core, so these
// also run on other processors.
#include "board/Pixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uint32_t Pad = 0x12345678u; // the words past each row's end, never touched

// A picture whose rows are one word longer than its width.
struct Picture {
    Picture(int w, int h, std::uint32_t fill) : width(w), height(h), words(std::size_t(w + 1) * h, fill) {
        for (int y = 0; y < h; ++y)
            words[std::size_t(y) * (w + 1) + w] = Pad;
    }
    TPixels Rows() { return {words.data(), width, height, width + 1}; }
    TConstPixels Const() const { return {words.data(), width, height, width + 1}; }
    std::uint32_t& At(int x, int y) { return words[std::size_t(y) * (width + 1) + x]; }
    bool PaddingIntact() const {
        for (int y = 0; y < height; ++y)
            if (words[std::size_t(y) * (width + 1) + width] != Pad) return false;
        return true;
    }
    int width, height;
    std::vector<std::uint32_t> words;
};

TEST(Pixels, BlockCopyCombinesByOperation) {
    const std::uint32_t d = 0xFFF00FAAu, s = 0xFF3C3C0Fu;
    struct {
        TRop rop;
        std::uint32_t want;
    } cases[] = {
        {TRop::Copy, s},
        {TRop::And, 0xFF300C0Au},
        {TRop::Or, 0xFFFC3FAFu},
        {TRop::AndNot, 0xFFC003A0u}, // stays opaque
    };
    for (auto c : cases) {
        Picture dst(4, 4, d);
        const Picture src(4, 4, s);
        CopyBlock(dst.Rows(), 1, 1, 2, 2, src.Const(), 0, 0, c.rop);
        EXPECT_EQ(dst.At(1, 1), c.want) << int(c.rop);
        EXPECT_EQ(dst.At(2, 2), c.want) << int(c.rop);
        EXPECT_EQ(dst.At(0, 0), d) << int(c.rop);
        EXPECT_EQ(dst.At(3, 3), d) << int(c.rop);
    }
}

TEST(Pixels, BlockCopyClipsAtEveryEdge) {
    Picture src(3, 3, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            src.At(x, y) = 0xFF000001u | std::uint32_t(x * 10) << 16 | std::uint32_t(y * 10) << 8;
    Picture dst(4, 4, 0xFF090909u);
    CopyBlock(dst.Rows(), -1, -1, 3, 3, src.Const(), 0, 0); // source pixel (1,1) lands on (0,0)
    EXPECT_EQ(dst.At(0, 0), 0xFF0A0A01u);
    EXPECT_EQ(dst.At(1, 1), 0xFF141401u);
    EXPECT_EQ(dst.At(2, 2), 0xFF090909u);
    CopyBlock(dst.Rows(), 3, 3, 3, 3, src.Const(), 0, 0); // only (3,3) is inside
    EXPECT_EQ(dst.At(3, 3), 0xFF000001u);
    CopyBlock(dst.Rows(), 0, 3, 3, 3, src.Const(), 2, -1); // source starts above its top edge
    EXPECT_EQ(dst.At(0, 3), 0xFF090909u);
    FillBlock(dst.Rows(), 2, -5, 10, 10, 0xFF000000u);
    EXPECT_EQ(dst.At(3, 0), 0xFF000000u);
    EXPECT_EQ(dst.At(1, 0), 0xFF140A01u); // left of the fill, from the first copy
    EXPECT_TRUE(dst.PaddingIntact());
}

// Within one picture, overlapping blocks moved either way: every pixel comes from before the copy.
TEST(Pixels, BlockCopyWithinOnePicture) {
    const Picture ones(6, 6, 0xFFFFFFFFu);
    for (const bool anded : {false, true})
        for (const int shift : {-1, 1}) {
            Picture pic(6, 6, 0);
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 6; ++x)
                    pic.At(x, y) = std::uint32_t(y * 6 + x);
            if (anded)
                AndBlocks(pic.Rows(), 2 + shift, 2 + shift, 3, 3, pic.Const(), 2, 2, ones.Const(), 0, 0);
            else
                CopyBlock(pic.Rows(), 2 + shift, 2 + shift, 3, 3, pic.Const(), 2, 2);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 3; ++x)
                    EXPECT_EQ(pic.At(2 + shift + x, 2 + shift + y), std::uint32_t((2 + y) * 6 + 2 + x))
                        << (anded ? "and " : "copy ") << shift << " at " << x << "," << y;
            EXPECT_TRUE(pic.PaddingIntact());
        }
}

TEST(Pixels, MaskKeyedByColour) {
    Picture pic(2, 1, 0xFFFFFFFFu);
    pic.At(1, 0) = 0xFFFFFFFEu;
    Picture mask(2, 1, 0);
    KeyMask(pic.Const(), mask.Rows(), 0x02FFFFFFu); // the top byte does not count
    EXPECT_EQ(mask.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(mask.At(1, 0), 0xFF000000u);
    EXPECT_TRUE(mask.PaddingIntact());
}

// Bytes with their top bit set, at an odd address: the words come out the same on any processor.
TEST(Pixels, RgbBytesBecomeOpaquePixels) {
    const std::uint8_t bytes[] = {0, 0xFF, 0x80, 0x01, 0xC0, 0x7F, 0xFE};
    std::uint32_t out[2] = {};
    RgbToPixels(bytes + 1, 2, out);
    EXPECT_EQ(out[0], 0xFFFF8001u);
    EXPECT_EQ(out[1], 0xFFC07FFEu);
}

} // namespace
