#include "board/FocusMark.h"

#include <QPainter>
#include <QtMath>

namespace {

// Light yellow inside two dark lines: it stands out on every board colour, on the cards and
// on the pattern pictures alike. The yellow is striped with dark across: the hint's frame is
// solid yellow, and the two must differ by more than a colour some players cannot tell apart.
const QColor MarkLight(255, 214, 0);
const QColor MarkDark(20, 20, 20);
constexpr int Stripe = 4; // the width of a yellow and of a dark stripe, along the frame

// Diagonal stripes, yellow and dark, tiled from the canvas's corner.
const QBrush& Striped() {
    static const QBrush brush = [] {
        QImage tile(2 * Stripe, 2 * Stripe, QImage::Format_RGB32);
        for (int y = 0; y < tile.height(); ++y)
            for (int x = 0; x < tile.width(); ++x)
                tile.setPixelColor(x, y, ((x + y) / Stripe) % 2 == 0 ? MarkLight : MarkDark);
        return QBrush(tile);
    }();
    return brush;
}
constexpr int Gap = 1;   // between the element and the mark
constexpr int Width = 5; // dark, three light, dark
constexpr int BarWidth = 4; // the toolbar band leaves four pixels above and below a button

void FillFrame(QPainter& p, const QRect& outer, int inset, const QBrush& brush) {
    const QRect r = outer.adjusted(inset, inset, -inset, -inset);
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawRect(r.x(), r.y(), r.width(), 1);
    p.drawRect(r.x(), r.bottom(), r.width(), 1);
    p.drawRect(r.x(), r.y(), 1, r.height());
    p.drawRect(r.right(), r.y(), 1, r.height());
}

void FillBar(QPainter& p, const QRect& bar) {
    p.fillRect(bar, MarkDark);
    p.fillRect(bar.adjusted(0, 1, 0, -1), Striped());
}

} // namespace

QRect FocusMarkBounds(const QRect& element, TFocusMarkShape shape) {
    if (shape == TFocusMarkShape::Ring) {
        const int out = Gap + Width;
        return element.adjusted(-out, -out, out, out);
    }
    return element.adjusted(0, -BarWidth, 0, BarWidth);
}

void DrawFocusMark(TCanvas& canvas, const QRect& element, TFocusMarkShape shape) {
    if (canvas.Image.isNull() || element.isEmpty()) return;
    const QRect bounds = FocusMarkBounds(element, shape);
    const qreal ratio = canvas.Ratio > 0 ? canvas.Ratio : 1.0;
    QPainter p(&canvas.Image);
    // Drawn in the board's layout pixels; on a scaled screen each of them covers several of
    // the canvas's device pixels.
    p.scale(ratio, ratio);
    if (shape == TFocusMarkShape::Ring) {
        FillFrame(p, bounds, 0, MarkDark);
        for (int k = 1; k < Width - 1; ++k) FillFrame(p, bounds, k, Striped());
        FillFrame(p, bounds, Width - 1, MarkDark);
    } else {
        FillBar(p, QRect(bounds.x(), bounds.y(), bounds.width(), BarWidth));
        FillBar(p, QRect(bounds.x(), bounds.bottom() - BarWidth + 1, bounds.width(), BarWidth));
    }
    p.end();
    const QRect device(qFloor(bounds.x() * ratio), qFloor(bounds.y() * ratio), qCeil(bounds.width() * ratio) + 1,
                       qCeil(bounds.height() * ratio) + 1);
    canvas.Changed(device.intersected(canvas.Image.rect()));
}
