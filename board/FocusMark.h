#pragma once
// The keyboard's focus mark, painted straight onto the board's canvas. It is drawn after
// everything else and never saved: whoever draws over it draws it again, and a full paint of
// the board takes it away.

#include "board/Canvas.h"

#include <QRect>

enum class TFocusMarkShape {
    Ring, // a frame around a card or pattern square, a few pixels outside it
    Bars, // a bar above and one below a toolbar button, which stands on the canvas itself
};

// The rectangle the mark covers for an element at `element`.
QRect FocusMarkBounds(const QRect& element, TFocusMarkShape shape);

// Paints the mark for the element's rectangle and tells the canvas what changed.
void DrawFocusMark(TCanvas& canvas, const QRect& element, TFocusMarkShape shape);
