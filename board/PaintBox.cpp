#include "board/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

TPaintBox::TPaintBox(TCanvas& canvas, QWidget* parent) : QWidget(parent), m_canvas(canvas) {
    // The canvas covers every pixel, so Qt need not clear behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    m_canvas.OnChanged = [this](const QRect& r) {
        const QRect logical = ToLogical(r);
        m_pending += logical;
        update(logical);
    };
}

QRect TPaintBox::ToLogical(const QRect& device) const {
    const qreal ratio = m_canvas.Ratio;
    if (ratio == 1.0) return device;
    // Every layout pixel that holds any of the device pixels.
    const int l = static_cast<int>(std::floor(device.x() / ratio)), t = static_cast<int>(std::floor(device.y() / ratio));
    const int r = static_cast<int>(std::ceil((device.x() + device.width()) / ratio));
    const int b = static_cast<int>(std::ceil((device.y() + device.height()) / ratio));
    return QRect(l, t, r - l, b - t);
}

QRect TPaintBox::ToDevice(const QRect& logical) const {
    const qreal ratio = m_canvas.Ratio;
    if (ratio == 1.0) return logical;
    const int l = qRound(logical.x() * ratio), t = qRound(logical.y() * ratio);
    return QRect(l, t, qRound((logical.x() + logical.width()) * ratio) - l,
                 qRound((logical.y() + logical.height()) * ratio) - t);
}

void TPaintBox::Flush() {
    if (m_pending.isEmpty()) return;
    const QRegion region = m_pending;
    m_pending = QRegion();
    repaint(region);
}

void TPaintBox::paintEvent(QPaintEvent* event) {
    m_pending -= event->region();
    // A screen of another scale (the window moved, or the desktop's scale changed): the board
    // is laid out and rendered anew for it once, before anything old is shown.
    if (devicePixelRatioF() != m_canvas.Ratio && OnRatioChanged) OnRatioChanged();
    const qreal ratio = m_canvas.Ratio;
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect logicalCanvas = ToLogical(m_canvas.Image.rect());
    for (const QRect& r : event->region()) {
        if (ratio == 1.0) {
            p.drawImage(r.topLeft(), m_canvas.Image, r);
        } else {
            // Device pixels one to one: the source rectangle and the target cover the same
            // screen pixels, so nothing is scaled.
            const QRect source = ToDevice(r);
            p.drawImage(QRectF(source.x() / ratio, source.y() / ratio, source.width() / ratio, source.height() / ratio),
                        m_canvas.Image, source);
        }
        // Beyond the canvas (only for a moment while a resize is on its way): black.
        const QRegion outside = QRegion(r) - QRegion(logicalCanvas);
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
