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

    // Each worker parses the picture itself: a renderer must not be shared between threads.
    auto renderCells = [&](int first, int step) {
        QSvgRenderer renderer(m_bytes);
        renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
        std::vector<std::pair<int, QImage>> done;
        for (int c = first; c < m_cells; c += step) {
            const double w = m_viewBox.width() / (row ? m_cells : 1), h = m_viewBox.height() / (row ? 1 : m_cells);
            renderer.setViewBox(QRectF(m_viewBox.x() + (row ? c * w : 0), m_viewBox.y() + (row ? 0 : c * h), w, h));
            QImage cell(cellSize, cellSize, QImage::Format_RGB32);
            cell.fill(ground);
            QPainter p(&cell);
            p.setRenderHint(QPainter::Antialiasing);
            renderer.render(&p, QRectF(0, 0, cellSize, cellSize));
            p.end();
            done.emplace_back(c, std::move(cell));
        }
        return done;
    };

    const int workers = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, m_cells);
    std::vector<std::future<std::vector<std::pair<int, QImage>>>> others;
    for (int w = 1; w < workers; ++w) others.push_back(std::async(std::launch::async, renderCells, w, workers));
    auto results = renderCells(0, workers);
    for (auto& f : others) {
        auto more = f.get();
        std::move(more.begin(), more.end(), std::back_inserter(results));
    }
    for (const auto& [c, cell] : results)
        BitBlt(strip, row ? c * cellSize : 0, row ? 0 : c * cellSize, cellSize, cellSize, cell, 0, 0);
    return strip;
}
