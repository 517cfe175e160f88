#include "board/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

TPaintBox::TPaintBox(TCanvas& canvas, QWidget* parent) : QWidget(parent), m_canvas(canvas) {
    // The canvas covers every pixel, so Qt need not clear behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    m_canvas.OnChanged = [this](const QRect& r) {
        m_pending += r;
        update(r);
    };
}

void TPaintBox::Flush() {
    if (m_pending.isEmpty()) return;
    const QRegion region = m_pending;
    m_pending = QRegion();
    repaint(region);
}

void TPaintBox::paintEvent(QPaintEvent* event) {
    m_pending -= event->region();
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : event->region()) {
        p.drawImage(r.topLeft(), m_canvas.Image, r);
        // Beyond the canvas (only for a moment while a resize is on its way): black.
        const QRegion outside = QRegion(r) - QRegion(m_canvas.Image.rect());
        for (const QRect& o : outside) p.fillRect(o, Qt::black);
    }
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown) OnMouseDown(event->button(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TPaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // A quick second press is a press like any other.
    mousePressEvent(event);
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) OnMouseMove(event->position().toPoint().x(), event->position().toPoint().y());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    if (OnMouseUp) OnMouseUp(event->button(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TPaintBox::resizeEvent(QResizeEvent*) {
    if (OnResize) OnResize();
}
