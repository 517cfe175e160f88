#pragma once
// A sprite on a canvas it does not own: it saves what it covers, and a move to a nearby
// place reaches the canvas in one block copy, so the moving picture is never seen missing.

#include "board/Canvas.h"

#include <QImage>

class tSprite {
public:
    tSprite(TCanvas* canvas, int width, int height);
    virtual ~tSprite() = default; // callers hide first: destroying does not restore the canvas

    // The picture is the Width x Height block at (srcX, srcY) of bitmap, which the caller keeps alive.
    void SetImage(const QImage* bitmap, int srcX, int srcY);
    void SetPosition(int x, int y);
    void Show();
    void Hide();
    // Starts following the pointer, keeping the offset at which it took hold.
    void Grab(int px, int py);
    void DragTo(int px, int py);
    int GetX() const { return X; }
    int GetY() const { return Y; }
    // Right and bottom edges excluded.
    bool Contains(int px, int py) const;
    bool IsReady() const { return HasImage && SavedOk; }

    bool IsVisible() const { return Visible; }
    bool IsGrabbed() const { return Grabbed; }
    // The canvas under a visible sprite has been painted anew (a full repaint of the board):
    // take that as the saved background and paint the sprite over it again.
    void Repainted();

private:
    void SaveAndPaint();
    void RestoreBackground();
    void MoveTo(int px, int py);

    int X = 0, Y = 0;
    int Width, Height;
    int GrabX = 0, GrabY = 0;
    bool Visible = false;
    bool Grabbed = false;
    const QImage* Image = nullptr;
    int ImageX = 0, ImageY = 0;
    bool HasImage = false;
    QImage Saved;
    bool SavedOk = false;
    TCanvas* Canvas;
    QImage m_spare; // the next Saved, built during a near move; kept between moves
};
