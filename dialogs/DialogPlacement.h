#pragma once
// Where the game's own dialogs open: centred over the main window, two pixels above its
// centre, wherever the main window stands (partly off the screen too).

class QWidget;

// Moves dialog so that its client area is centred over mainform's outer bounds (frame
// included), 2 pixels higher; halves truncate toward zero. Call it on every activation.
void PlaceOverMainWindow(QWidget* dialog, const QWidget* mainform);
