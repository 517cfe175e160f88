#pragma once
// A vector picture made of square cells in one row or one column (the card faces, the
// numerals, the pattern pictures), rendered cell by cell at the size the board needs.

#include "board/PixelStore.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <span>
#include <vector>

class QSvgRenderer;

class TStripPicture {
public:
    TStripPicture(int cells, Qt::Orientation orientation) : m_cells(cells), m_orientation(orientation) {}

    // Reads the picture; false (and nothing to render) when it is missing or broken.
    bool Load(const QString& path);
    bool Load(const QByteArray& svg);
    bool IsValid() const { return !m_texts.empty(); }
    // True when every cell got a document of its own (see Load).
    bool CellByCell() const { return m_cellByCell; }

    // The whole strip with square cells of cellSize on the ground colour, aspect not kept.
    QImage Render(int cellSize, QRgb ground) const;

    // Several strips at once. Their cells are shared out among as many threads as the machine
    // has cores, the largest first: a re-layout at a large size would otherwise keep the window
    // from following the mouse while it is being resized. The calling thread runs `meanwhile`
    // (if given) in the time, then waits for the cells.
    struct Job {
        const TStripPicture* Picture;
        int CellSize;
        QRgb Ground;
        QImage* Out;
    };
    static void RenderAll(std::span<const Job> jobs, const std::function<void()>& meanwhile = {});

    // Lets go of the read documents; the next render reads them again from their text. They
    // are some megabytes for the three pictures, and needed only when the board changes size.
    void LetGoOfDocuments();
    // True while at least one read document is kept.
    bool HoldsDocuments() const;

    struct Cut; // the picture's text cut at its groups and their elements

private:
    static QString NamedText(const Cut& cut);
    static std::shared_ptr<QSvgRenderer> NewRenderer(const QByteArray& svg);
    std::vector<std::shared_ptr<QSvgRenderer>> CellRenderers(const Cut& cut, QSvgRenderer& named);
    // The renderer of document i, read again from its text if it was let go of.
    QSvgRenderer& Renderer(size_t i) const;
    QImage NewStrip(int cellSize) const;
    QRect CellRect(int cell, int cellSize) const;
    QRectF CellBox(int cell) const;
    // Draws one cell (or, for a picture read as a whole, every cell) into the strip's pixels.
    void RenderCell(int cell, int cellSize, QRgb ground, uchar* bits, qsizetype stride) const;

    int m_cells;
    Qt::Orientation m_orientation;
    QRectF m_viewBox;
    // One document per cell, holding only that cell's group; or a single one for the whole
    // picture when it is not grouped by cell: its text, and its renderer while it is kept. A
    // renderer is only ever used, and made, by one thread at a time.
    std::vector<QByteArray> m_texts;
    mutable std::vector<std::shared_ptr<QSvgRenderer>> m_renderers;
    bool m_cellByCell = false;
    mutable TPixelStore m_store; // the strip's pixels, kept from one size to the next
};
