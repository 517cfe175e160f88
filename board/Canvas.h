#pragma once
// The paint box's canvas: an off-screen image the size of the board. Everything is drawn
// here; the widget that shows it is told which rectangle changed.

#include <QImage>
#include <QRect>

#include <functional>

class TCanvas {
public:
    QImage Image; // Format_RGB32, the paint box's size

    // Schedules a repaint of the rectangle on the screen (set by the widget showing the canvas).
    std::function<void(const QRect&)> OnChanged;

    void Changed(const QRect& r) const {
        if (OnChanged && !r.isEmpty()) OnChanged(r);
    }
    void ChangedAll() const { Changed(Image.rect()); }
};
