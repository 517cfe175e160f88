#include "board/StripPicture.h"

#include "board/Raster.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <future>
#include <thread>
#include <vector>

bool TStripPicture::Load(const QString& path) {
    m_bytes.clear();
    m_renderers.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    QSvgRenderer probe(bytes);
    if (!probe.isValid() || probe.viewBoxF().isEmpty()) return false;
    m_bytes = bytes;
    m_viewBox = probe.viewBoxF();
    return true;
}

QImage TStripPicture::Render(int cellSize, QRgb ground) const {
    const bool row = m_orientation == Qt::Horizontal;
    QImage strip = NewBitmap(row ? m_cells * cellSize : cellSize, row ? cellSize : m_cells * cellSize);
    strip.fill(ground);
    if (!IsValid() || cellSize <= 0) return strip;

    // Each worker has a renderer of its own (a renderer must not be used by two threads at
    // once), parsed on the first render and kept, and draws its cells straight into the strip;
    // the cells do not overlap.
    const int workers = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, m_cells);
    if (m_renderers.size() != static_cast<size_t>(workers)) {
        // Made here, on the thread that owns the picture, only the first time.
        m_renderers.clear();
        for (int w = 0; w < workers; ++w) {
            m_renderers.push_back(std::make_shared<QSvgRenderer>(m_bytes));
            m_renderers.back()->setAspectRatioMode(Qt::IgnoreAspectRatio);
        }
    }
    uchar* const bits = strip.bits(); // taken once: the workers do not touch the image object
    const qsizetype stride = strip.bytesPerLine();
    auto renderCells = [&, bits, stride](int first, int step) {
        QSvgRenderer* renderer = m_renderers[static_cast<size_t>(first)].get();
        for (int c = first; c < m_cells; c += step) {
            const double w = m_viewBox.width() / (row ? m_cells : 1), h = m_viewBox.height() / (row ? 1 : m_cells);
            renderer->setViewBox(QRectF(m_viewBox.x() + (row ? c * w : 0), m_viewBox.y() + (row ? 0 : c * h), w, h));
            const int x = row ? c * cellSize : 0, y = row ? 0 : c * cellSize;
            QImage cell(bits + y * stride + x * 4, cellSize, cellSize, stride, QImage::Format_RGB32);
            QPainter p(&cell);
            p.setRenderHint(QPainter::Antialiasing);
            renderer->render(&p, QRectF(0, 0, cellSize, cellSize));
        }
    };

    std::vector<std::future<void>> others;
    for (int w = 1; w < workers; ++w) others.push_back(std::async(std::launch::async, renderCells, w, workers));
    renderCells(0, workers);
    for (auto& f : others) f.get();
    return strip;
}
