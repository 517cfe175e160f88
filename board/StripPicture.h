#pragma once
// A vector picture made of square cells in one row or one column (the card faces, the
// numerals, the pattern pictures), rendered cell by cell at the size the board needs.

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

class QSvgRenderer;

class TStripPicture {
public:
    TStripPicture(int cells, Qt::Orientation orientation) : m_cells(cells), m_orientation(orientation) {}

    // Reads the picture; false (and nothing to render) when it is missing or broken.
    bool Load(const QString& path);
    bool IsValid() const { return !m_bytes.isEmpty(); }

    // The whole strip with square cells of cellSize on the ground colour, aspect not kept.
    // Cells are rendered on several threads at once: a re-layout at a large size would
    // otherwise keep the window from following the mouse while it is being resized.
    QImage Render(int cellSize, QRgb ground) const;

private:
    int m_cells;
    Qt::Orientation m_orientation;
    QByteArray m_bytes;
    QRectF m_viewBox;
    mutable std::vector<std::shared_ptr<QSvgRenderer>> m_renderers; // one per worker, kept between renders
};
