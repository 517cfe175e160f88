#include "board/Sprites.h"

#include "board/Raster.h"

#include <cstdlib>

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
    BitBlt(Saved, 0, 0, Width, Height, canvas, X, Y);
    BitBlt(canvas, X, Y, Width, Height, *Image, ImageX, ImageY);
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
    // Work on the union of the old and the new rectangle and put it back in one copy.
    const int ux = std::min(X, nx), uy = std::min(Y, ny);
    const int uw = std::abs(dx) + Width, uh = std::abs(dy) + Height;
    if (m_scratch.width() < uw || m_scratch.height() < uh) m_scratch = NewBitmap(uw, uh);
    if (m_scratch.isNull()) return;
    QImage& canvas = Canvas->Image;
    BitBlt(m_scratch, 0, 0, uw, uh, canvas, ux, uy);
    BitBlt(m_scratch, X - ux, Y - uy, Width, Height, Saved, 0, 0);       // the canvas without the sprite
    BitBlt(Saved, 0, 0, Width, Height, m_scratch, nx - ux, ny - uy);     // what the new place hides
    BitBlt(m_scratch, nx - ux, ny - uy, Width, Height, *Image, ImageX, ImageY);
    BitBlt(canvas, ux, uy, uw, uh, m_scratch, 0, 0);
    X = nx;
    Y = ny;
    Canvas->Changed(QRect(ux, uy, uw, uh));
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
