#include "board/Sprites.h"

#include "board/Raster.h"

#include <QRegion>

#include <cstdlib>
#include <cstring>
#include <utility>

tSprite::tSprite(TCanvas* canvas, int width, int height)
    : Width(std::abs(width)), Height(std::abs(height)), Canvas(canvas) {
    Saved = NewBitmap(Width, Height);
    SavedOk = !Saved.isNull() && Width > 0 && Height > 0;
}

void tSprite::SetImage(const QImage* bitmap, int srcX, int srcY) {
    Image = bitmap;
    ImageX = srcX;
    ImageY = srcY;
    HasImage = bitmap != nullptr;
}

void tSprite::SaveAndPaint() {
    QImage& canvas = Canvas->Image;
    // Row by row, so each canvas row is overwritten while it is still in the cache.
    const QRect r = QRect(X, Y, Width, Height) & canvas.rect();
    // The picture's part that lands on the canvas; a picture smaller than the sprite paints
    // what it has, as a clipped block copy would.
    const QRect from = QRect(ImageX + r.x() - X, ImageY + r.y() - Y, r.width(), r.height()) & Image->rect();
    if (!r.isEmpty() && from.size() == r.size() && Saved.format() == QImage::Format_RGB32 &&
        Image->format() == QImage::Format_RGB32) {
        uchar* const cbits = canvas.bits();
        uchar* const sbits = Saved.bits();
        const qsizetype cbpl = canvas.bytesPerLine(), sbpl = Saved.bytesPerLine();
        const size_t bytes = size_t(r.width()) * 4;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            uchar* const c = cbits + y * cbpl + r.x() * 4;
            std::memcpy(sbits + (y - Y) * sbpl + (r.x() - X) * 4, c, bytes);
            std::memcpy(c, Image->constScanLine(from.y() + y - r.top()) + from.x() * 4, bytes);
        }
    } else {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            BitBlt(Saved, r.x() - X, y - Y, r.width(), 1, canvas, r.x(), y);
            BitBlt(canvas, r.x(), y, r.width(), 1, *Image, ImageX + r.x() - X, ImageY + y - Y);
        }
    }
    Canvas->Changed(QRect(X, Y, Width, Height));
}

void tSprite::RestoreBackground() {
    BitBlt(Canvas->Image, X, Y, Width, Height, Saved, 0, 0);
    Canvas->Changed(QRect(X, Y, Width, Height));
}

void tSprite::MoveTo(int px, int py) {
    const int nx = px - GrabX, ny = py - GrabY;
    const int dx = nx - X, dy = ny - Y;
    if (std::abs(dx) >= Width && std::abs(dy) >= Height) {
        RestoreBackground();
        X = nx;
        Y = ny;
        SaveAndPaint();
        return;
    }
    // Near: the old and the new place are put right on the canvas itself, and the screen is
    // told about their union once, so it never shows the card missing. Only what changes is
    // copied: the background the card uncovers, what it now hides, and the card.
    const QRect oldRect(X, Y, Width, Height), newRect(nx, ny, Width, Height);
    const QRect both = oldRect & newRect;
    if (m_spare.size() != Saved.size()) m_spare = NewBitmap(Width, Height);
    if (m_spare.isNull()) return;
    QImage& canvas = Canvas->Image;
    // What the new place hides: the old saved pixels where the places overlap (the canvas
    // shows the card there), the canvas elsewhere.
    for (const QRect& r : QRegion(newRect) - QRegion(both))
        BitBlt(m_spare, r.x() - nx, r.y() - ny, r.width(), r.height(), canvas, r.x(), r.y());
    if (!both.isEmpty())
        BitBlt(m_spare, both.x() - nx, both.y() - ny, both.width(), both.height(), Saved, both.x() - X, both.y() - Y);
    for (const QRect& r : QRegion(oldRect) - QRegion(newRect))
        BitBlt(canvas, r.x(), r.y(), r.width(), r.height(), Saved, r.x() - X, r.y() - Y);
    BitBlt(canvas, nx, ny, Width, Height, *Image, ImageX, ImageY);
    std::swap(Saved, m_spare);
    X = nx;
    Y = ny;
    Canvas->Changed(oldRect.united(newRect));
}

void tSprite::SetPosition(int x, int y) {
    if (!IsReady() || (x == X && y == Y)) return;
    Grabbed = false;
    GrabX = GrabY = 0;
    if (Visible) {
        MoveTo(x, y);
    } else {
        X = x;
        Y = y;
    }
}

void tSprite::Show() {
    if (IsReady() && !Visible) {
        SaveAndPaint();
        Visible = true;
    }
}

void tSprite::Hide() {
    if (IsReady() && Visible) {
        RestoreBackground();
        Visible = false;
    }
}

void tSprite::Grab(int px, int py) {
    if (IsReady() && Visible && !Grabbed && Contains(px, py)) {
        GrabX = px - X;
        GrabY = py - Y;
        Grabbed = true;
    }
}

void tSprite::DragTo(int px, int py) {
    if (IsReady() && Visible && Grabbed) MoveTo(px, py);
}

bool tSprite::Contains(int px, int py) const {
    return X <= px && px < X + Width && Y <= py && py < Y + Height;
}

void tSprite::Repainted() {
    if (IsReady() && Visible) SaveAndPaint();
}
