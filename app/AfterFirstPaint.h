#pragma once
// Work the first frame does not need waits until the board is on the screen: opening the audio
// device and the synthesizer's soundfont takes longer than laying out and painting the board.

#include <functional>

class QWidget;

// Runs work once, right after widget's first paint has reached the display; or after
// fallbackMs when the widget is not painted by then (a window started hidden or minimized),
// so the work never waits for the player to look. Nothing runs once widget is gone.
void AfterFirstPaint(QWidget* widget, std::function<void()> work, int fallbackMs = 1000);
