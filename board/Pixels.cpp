#include "board/Pixels.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t Opaque = 0xFF000000u;

// Moves both corners of a block together until the block lies inside both pictures; false
// when nothing is left of it.
bool Clip(int& x, int& y, int& w, int& h, int dstWidth, int dstHeight, int& sx, int& sy, int srcWidth,
          int srcHeight) {
    if (sx < 0) {
        x -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        y -= sy;
        h += sy;
        sy = 0;
    }
    if (x < 0) {
        sx -= x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        sy -= y;
        h += y;
        y = 0;
    }
    w = std::min({w, srcWidth - sx, dstWidth - x});
    h = std::min({h, srcHeight - sy, dstHeight - y});
    return w > 0 && h > 0;
}

void CombineRow(std::uint32_t* d, const std::uint32_t* s, int w, TRop rop) {
    switch (rop) {
    case TRop::Copy:
        std::memmove(d, s, static_cast<std::size_t>(w) * 4);
        break;
    case TRop::And:
        for (int i = 0; i < w; ++i)
            d[i] &= s[i];
        break;
    case TRop::Or:
        for (int i = 0; i < w; ++i)
            d[i] |= s[i];
        break;
    case TRop::AndNot:
        // The alpha byte stays opaque whatever the source holds.
        for (int i = 0; i < w; ++i)
            d[i] = (d[i] & ~s[i]) | Opaque;
        break;
    }
}

} // namespace

void CopyBlock(const TPixels& dst, int x, int y, int w, int h, const TConstPixels& src, int sx, int sy,
               TRop rop) {
    if (!Clip(x, y, w, h, dst.width, dst.height, sx, sy, src.width, src.height)) return;
    if (dst.bits == src.bits) {
        // One picture: the source block is taken aside first, so no row is read after it was written.
        std::vector<std::uint32_t> block(static_cast<std::size_t>(w) * h);
        for (int row = 0; row < h; ++row)
            std::copy_n(src.Row(sy + row) + sx, w, block.begin() + std::ptrdiff_t(row) * w);
        CopyBlock(dst, x, y, w, h, TConstPixels{block.data(), w, h, w}, 0, 0, rop);
        return;
    }
    for (int row = 0; row < h; ++row)
        CombineRow(dst.Row(y + row) + x, src.Row(sy + row) + sx, w, rop);
}

void AndBlocks(const TPixels& dst, int x, int y, int w, int h, const TConstPixels& a, int ax, int ay,
               const TConstPixels& b, int bx, int by) {
    // Clip against the destination, moving all three corners together, then the sources.
    if (x < 0) {
        ax -= x;
        bx -= x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        ay -= y;
        by -= y;
        h += y;
        y = 0;
    }
    if (ax < 0 || ay < 0 || bx < 0 || by < 0 || dst.bits == a.bits || dst.bits == b.bits) {
        // Unusual: fall back to the two steps, which clip each source on its own.
        CopyBlock(dst, x, y, w, h, a, ax, ay);
        CopyBlock(dst, x, y, w, h, b, bx, by, TRop::And);
        return;
    }
    w = std::min({w, dst.width - x, a.width - ax, b.width - bx});
    h = std::min({h, dst.height - y, a.height - ay, b.height - by});
    if (w <= 0 || h <= 0) return;
    for (int row = 0; row < h; ++row) {
        const std::uint32_t* s = a.Row(ay + row) + ax;
        const std::uint32_t* t = b.Row(by + row) + bx;
        std::uint32_t* d = dst.Row(y + row) + x;
        for (int i = 0; i < w; ++i)
            d[i] = s[i] & t[i];
    }
}

void FillBlock(const TPixels& dst, int x, int y, int w, int h, std::uint32_t pixel) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + w, dst.width), bottom = std::min(y + h, dst.height);
    for (int row = top; row < bottom; ++row)
        std::fill(dst.Row(row) + left, dst.Row(row) + right, pixel);
}

void KeyMask(const TConstPixels& src, const TPixels& mask, std::uint32_t key) {
    const std::uint32_t rgb = key & 0xFFFFFFu;
    for (int y = 0; y < std::min(src.height, mask.height); ++y) {
        const std::uint32_t* s = src.Row(y);
        std::uint32_t* m = mask.Row(y);
        for (int x = 0; x < std::min(src.width, mask.width); ++x)
            m[x] = (s[x] & 0xFFFFFFu) == rgb ? 0xFFFFFFFFu : Opaque;
    }
}

void RgbToPixels(const std::uint8_t* rgb, int count, std::uint32_t* out) {
    for (int i = 0; i < count; ++i, rgb += 3)
        out[i] = Opaque | std::uint32_t(rgb[0]) << 16 | std::uint32_t(rgb[1]) << 8 | rgb[2];
}
