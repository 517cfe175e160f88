#pragma once
// The paint box's canvas: an off-screen image the size of the board in device pixels (on a
// screen scaled by 2 it holds four pixels for every pixel of the board's layout). Everything is
// drawn here; the widget that shows it is told which rectangle changed, in device pixels.

#include <QImage>
#include <QRect>

#include <functional>

class TCanvas {
public:
    QImage Image; // Format_RGB32, the paint box's size times Ratio
    // Device pixels per layout pixel: the screen's scale (1, 1.25, 1.5, 2, ...).
    qreal Ratio = 1.0;

    // Schedules a repaint of the rectangle on the screen (set by the widget showing the canvas).
    std::function<void(const QRect&)> OnChanged;

    void Changed(const QRect& r) const {
        if (OnChanged && !r.isEmpty()) OnChanged(r);
    }
    void ChangedAll() const { Changed(Image.rect()); }
};
