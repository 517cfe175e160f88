#pragma once
// The paint box's canvas: an off-screen image the size of the board in device pixels (on a
// screen scaled by 2 it holds four pixels for every pixel of the board's layout). Everything is
// drawn here; the widget that shows it is told which rectangle changed, in device pixels.

#include <QImage>
#include <QRect>
#include <QRegion>

#include <functional>

class TCanvas {
public:
    QImage Image; // Format_RGB32, the paint box's size times Ratio
    // Device pixels per layout pixel: the screen's scale (1, 1.25, 1.5, 2, ...).
    qreal Ratio = 1.0;

    // Schedules a repaint of the rectangle on the screen (set by the widget showing the canvas).
    std::function<void(const QRect&)> OnChanged;

    // Everything drawn on the canvas since the board last put its background back: the board
    // restores only this before a full paint instead of copying the whole background.
    QRegion Drawn;

    void Changed(const QRect& r) {
        if (r.isEmpty()) return;
        Drawn += r;
        // A long drag leaves many small rectangles; their bounding box serves as well.
        if (Drawn.rectCount() > 64) Drawn = Drawn.boundingRect();
        if (OnChanged) OnChanged(r);
    }
    void ChangedAll() { Changed(Image.rect()); }
    // The whole canvas to the screen, without counting it as drawn (after a full paint, whose
    // drawing has been counted piece by piece).
    void ShowAll() const {
        if (OnChanged && !Image.isNull()) OnChanged(Image.rect());
    }
};
