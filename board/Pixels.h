#pragma once
// The pixel work under the board's raster operations, on plain memory: block copies combined
// bit by bit, fills, colour-keyed masks, and the texture's RGB bytes turned into pixels.
//
// A pixel is a 32-bit word 0xAARRGGBB in the processor's own byte order, the way a 32-bit
// picture stores it, so the operations work on whole words and never on the bytes inside one.

#include <cstddef>
#include <cstdint>

enum class TRop {
    Copy,   // source
    And,    // source AND destination
    Or,     // source OR destination
    AndNot, // destination AND NOT source
};

// Rows of `width` pixels, `stride` pixels apart (the stride may exceed the width).
template <typename Word> struct TPixelRows {
    Word* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    Word* Row(int y) const { return bits + y * stride; }
};
using TPixels = TPixelRows<std::uint32_t>;
using TConstPixels = TPixelRows<const std::uint32_t>;

// The w x h block at (sx, sy) of src onto (x, y) of dst, combined by rop; whatever lies
// outside either picture is clipped. src and dst may be the same picture, blocks overlapping.
void CopyBlock(const TPixels& dst, int x, int y, int w, int h, const TConstPixels& src, int sx, int sy,
               TRop rop = TRop::Copy);

// dst = a AND b for a w x h block, clipped like CopyBlock: the same as copying a's block and
// then combining b's with TRop::And, in one pass.
void AndBlocks(const TPixels& dst, int x, int y, int w, int h, const TConstPixels& a, int ax, int ay,
               const TConstPixels& b, int bx, int by);

// The w x h block at (x, y), clipped, set to `pixel`.
void FillBlock(const TPixels& dst, int x, int y, int w, int h, std::uint32_t pixel);

// mask (of src's size) white where src's pixel has the key's RGB, black elsewhere; the top
// byte of either does not count.
void KeyMask(const TConstPixels& src, const TPixels& mask, std::uint32_t key);

// `count` pixels from RGB bytes (three a pixel, red first), opaque.
void RgbToPixels(const std::uint8_t* rgb, int count, std::uint32_t* out);
