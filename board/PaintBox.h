#pragma once
// `box`: the widget that shows the board's canvas and passes the mouse on.

#include "board/Canvas.h"

#include <QRegion>
#include <QWidget>

#include <functional>

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    TPaintBox(TCanvas& canvas, QWidget* parent);

    // Pushes every rectangle changed since the last paint to the screen now (for the blocking
    // waits, which handle no events).
    void Flush();

    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseDown;
    std::function<void(int x, int y)> OnMouseMove;
    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseUp;
    std::function<void()> OnResize;
    // The screen's scale differs from the canvas's: lay out and paint anew.
    std::function<void()> OnRatioChanged;

    // Canvas (device) rectangles and the widget's own ones.
    QRect ToLogical(const QRect& device) const;
    QRect ToDevice(const QRect& logical) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TCanvas& m_canvas;
    QRegion m_pending;
};
