#include "board/Raster.h"

#include <QFontMetrics>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cstdint>

namespace {

// A picture's rows for writing. Taken before any source's rows: a picture that shares its
// pixels with another gets its own copy here, and the other keeps the pixels it had.
TPixels WritableRows(QImage& img) {
    auto* bits = reinterpret_cast<std::uint32_t*>(img.bits());
    return {bits, img.width(), img.height(), img.bytesPerLine() / 4};
}

TConstPixels ReadableRows(const QImage& img) {
    return {reinterpret_cast<const std::uint32_t*>(img.constBits()), img.width(), img.height(),
            img.bytesPerLine() / 4};
}

// Nothing of the block lands on the picture: then the picture is not even asked for its rows,
// which would give a shared one a copy of its own for nothing.
bool Misses(const QImage& img, int x, int y, int w, int h) {
    return w <= 0 || h <= 0 || x >= img.width() || y >= img.height() || x + w <= 0 || y + h <= 0;
}

} // namespace

void BitBlt(QImage& dst, int x, int y, int w, int h, const QImage& src, int sx, int sy, TRop rop) {
    if (Misses(dst, x, y, w, h)) return;
    const TPixels to = WritableRows(dst);
    CopyBlock(to, x, y, w, h, ReadableRows(src), sx, sy, rop);
}

void BitBltAnd(QImage& dst, int x, int y, int w, int h, const QImage& a, int ax, int ay, const QImage& b, int bx,
               int by) {
    if (Misses(dst, x, y, w, h)) return;
    const TPixels to = WritableRows(dst);
    AndBlocks(to, x, y, w, h, ReadableRows(a), ax, ay, ReadableRows(b), bx, by);
}

QImage NewBitmap(int w, int h) {
    QImage img(std::max(w, 0), std::max(h, 0), QImage::Format_RGB32);
    img.fill(Qt::black);
    return img;
}

QImage MonoMask(const QImage& picture, QRgb key) {
    const QImage src = picture.format() == QImage::Format_RGB32 ? picture
                                                                 : picture.convertToFormat(QImage::Format_RGB32);
    QImage mask(src.size(), QImage::Format_RGB32);
    KeyMask(ReadableRows(src), WritableRows(mask), key);
    return mask;
}

void StretchDraw(QImage& dst, const QRect& r, QSvgRenderer& picture) {
    QPainter p(&dst);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    picture.setAspectRatioMode(Qt::IgnoreAspectRatio);
    picture.render(&p, QRectF(r));
}

void FrameRect(QImage& dst, int left, int top, int right, int bottom, QColor colour, int penWidth) {
    if (penWidth < 1) penWidth = 1;
    const int lo = -(penWidth - 1) / 2, hi = penWidth / 2;
    for (int d = lo; d <= hi; ++d) {
        // One-pixel ring d pixels outside (negative: inside) the outline.
        const int l = left - d, t = top - d, r = right - 1 + d, b = bottom - 1 + d;
        if (r < l || b < t) continue;
        FillRect(dst, QRect(l, t, r - l + 1, 1), colour);
        FillRect(dst, QRect(l, b, r - l + 1, 1), colour);
        FillRect(dst, QRect(l, t, 1, b - t + 1), colour);
        FillRect(dst, QRect(r, t, 1, b - t + 1), colour);
    }
}

void FillRect(QImage& dst, const QRect& r, QColor colour) {
    // Straight into the rows: the board frames every card it draws, so this is called often.
    const QRect area = r & dst.rect();
    if (area.isEmpty()) return;
    if (dst.depth() != 32) {
        QPainter p(&dst);
        p.fillRect(area, colour);
        return;
    }
    FillBlock(WritableRows(dst), area.x(), area.y(), area.width(), area.height(), colour.rgb());
}

void FrameInside(QImage& dst, const QRect& r, QColor colour, int width) {
    if (r.isEmpty()) return;
    width = std::clamp(width, 1, std::min(r.width(), r.height()));
    FillRect(dst, QRect(r.x(), r.y(), r.width(), width), colour);
    FillRect(dst, QRect(r.x(), r.bottom() + 1 - width, r.width(), width), colour);
    FillRect(dst, QRect(r.x(), r.y(), width, r.height()), colour);
    FillRect(dst, QRect(r.right() + 1 - width, r.y(), width, r.height()), colour);
}

void TextOut(QImage& dst, int x, int y, const QString& text, const QFont& font, QColor colour) {
    QPainter p(&dst);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(x, y + QFontMetrics(font).ascent(), text);
}

int TextWidth(const QFont& font, const QString& text) { return QFontMetrics(font).horizontalAdvance(text); }

int TextHeight(const QFont& font, const QString&) { return QFontMetrics(font).height(); }

void DrawTextCentred(QImage& dst, const QRect& r, const QString& text, const QFont& font, QColor colour) {
    QPainter p(&dst);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, text);
}

QRgb Pixel(const QImage& img, int x, int y) {
    if (!img.valid(x, y)) return 0;
    return img.pixel(x, y);
}
