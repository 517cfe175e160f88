#pragma once
// The handful of raster operations the board, the dragged card and the buttons draw with.
// Images are QImage::Format_RGB32; colours are opaque. The pixel work itself: board/Pixels.h.

#include "board/Pixels.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

class QSvgRenderer;

// Unscaled copy of the w x h block at (sx, sy) of src to (x, y) of dst, combined by rop.
// Whatever lies outside either image is clipped.
void BitBlt(QImage& dst, int x, int y, int w, int h, const QImage& src, int sx, int sy, TRop rop = TRop::Copy);

// dst = a AND b for a w x h block: the same as copying a's block and then combining b's with
// TRop::And, in one pass. Clipped like BitBlt.
void BitBltAnd(QImage& dst, int x, int y, int w, int h, const QImage& a, int ax, int ay, const QImage& b, int bx, int by);

// An RGB32 image of the given size, filled black.
QImage NewBitmap(int w, int h);

// White where the picture's pixel has the key's RGB, black elsewhere.
QImage MonoMask(const QImage& picture, QRgb key);

// The whole picture stretched into the rectangle, aspect not kept.
void StretchDraw(QImage& dst, const QRect& r, QSvgRenderer& picture);

// Outline of the rectangle (left, top, right, bottom), right and bottom exclusive; a wider
// pen is centred on that outline. The inside is left alone.
void FrameRect(QImage& dst, int left, int top, int right, int bottom, QColor colour, int penWidth = 1);

void FillRect(QImage& dst, const QRect& r, QColor colour);

// An outline `width` pixels thick lying just inside r. With width 1 it is the same as
// FrameRect(r.left, r.top, r.left + r.width, r.top + r.height).
void FrameInside(QImage& dst, const QRect& r, QColor colour, int width = 1);

// Text with its top-left at (x, y) on a transparent background.
void TextOut(QImage& dst, int x, int y, const QString& text, const QFont& font, QColor colour);
int TextWidth(const QFont& font, const QString& text);
int TextHeight(const QFont& font, const QString& text);

// A single line centred both ways in the rectangle.
void DrawTextCentred(QImage& dst, const QRect& r, const QString& text, const QFont& font, QColor colour);

QRgb Pixel(const QImage& img, int x, int y);
