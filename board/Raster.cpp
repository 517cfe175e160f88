#include "board/Raster.h"

#include <QFontMetrics>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cstring>

void BitBlt(QImage& dst, int x, int y, int w, int h, const QImage& src, int sx, int sy, TRop rop) {
    // Clip against the source, then the destination, moving both corners together.
    if (sx < 0) { x -= sx; w += sx; sx = 0; }
    if (sy < 0) { y -= sy; h += sy; sy = 0; }
    if (x < 0) { sx -= x; w += x; x = 0; }
    if (y < 0) { sy -= y; h += y; y = 0; }
    w = std::min({w, src.width() - sx, dst.width() - x});
    h = std::min({h, src.height() - sy, dst.height() - y});
    if (w <= 0 || h <= 0) return;
    if (&dst == &src && rop == TRop::Copy) {
        // Overlapping copy inside one image: go in the direction that never reads a written row.
        const QImage copy = src.copy(sx, sy, w, h);
        BitBlt(dst, x, y, w, h, copy, 0, 0, rop);
        return;
    }
    // Taken once: scanLine() on a writable picture checks for sharing at every call.
    uchar* const dbits = dst.bits();
    const qsizetype dbpl = dst.bytesPerLine();
    for (int row = 0; row < h; ++row) {
        const auto* s = reinterpret_cast<const quint32*>(src.constScanLine(sy + row)) + sx;
        auto* d = reinterpret_cast<quint32*>(dbits + (y + row) * dbpl) + x;
        switch (rop) {
        case TRop::Copy:
            std::memcpy(d, s, static_cast<size_t>(w) * 4);
            break;
        case TRop::And:
            for (int i = 0; i < w; ++i) d[i] &= s[i];
            break;
        case TRop::Or:
            for (int i = 0; i < w; ++i) d[i] |= s[i];
            break;
        case TRop::AndNot:
            // The alpha byte stays opaque whatever the source holds.
            for (int i = 0; i < w; ++i) d[i] = (d[i] & ~s[i]) | 0xFF000000u;
            break;
        }
    }
}

void BitBltAnd(QImage& dst, int x, int y, int w, int h, const QImage& a, int ax, int ay, const QImage& b, int bx,
               int by) {
    // Clip against the destination, moving all three corners together, then the sources.
    if (x < 0) { ax -= x; bx -= x; w += x; x = 0; }
    if (y < 0) { ay -= y; by -= y; h += y; y = 0; }
    if (ax < 0 || ay < 0 || bx < 0 || by < 0) {
        // Unusual: fall back to the two steps, which clip each source on its own.
        BitBlt(dst, x, y, w, h, a, ax, ay);
        BitBlt(dst, x, y, w, h, b, bx, by, TRop::And);
        return;
    }
    w = std::min({w, dst.width() - x, a.width() - ax, b.width() - bx});
    h = std::min({h, dst.height() - y, a.height() - ay, b.height() - by});
    if (w <= 0 || h <= 0) return;
    uchar* const dbits = dst.bits();
    const qsizetype dbpl = dst.bytesPerLine();
    for (int row = 0; row < h; ++row) {
        const auto* s = reinterpret_cast<const quint32*>(a.constScanLine(ay + row)) + ax;
        const auto* t = reinterpret_cast<const quint32*>(b.constScanLine(by + row)) + bx;
        auto* d = reinterpret_cast<quint32*>(dbits + (y + row) * dbpl) + x;
        for (int i = 0; i < w; ++i) d[i] = s[i] & t[i];
    }
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
    const quint32 rgb = key & 0xFFFFFFu;
    for (int y = 0; y < src.height(); ++y) {
        const auto* s = reinterpret_cast<const quint32*>(src.constScanLine(y));
        auto* m = reinterpret_cast<quint32*>(mask.scanLine(y));
        for (int x = 0; x < src.width(); ++x) m[x] = (s[x] & 0xFFFFFFu) == rgb ? 0xFFFFFFFFu : 0xFF000000u;
    }
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
    const quint32 value = colour.rgb();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* d = reinterpret_cast<quint32*>(dst.scanLine(y)) + area.left();
        std::fill(d, d + area.width(), value);
    }
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
