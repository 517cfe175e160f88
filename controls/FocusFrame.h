#pragma once
// A frame around whichever of its watched controls was reached with Tab. The game's controls
// draw no focus of their own, and a mouse player never sees this frame: it appears only for a
// focus that came from the keyboard.

#include <QWidget>

class TFocusFrame : public QWidget {
    Q_OBJECT
public:
    explicit TFocusFrame(QWidget* parent);

    // Lets a control be reached with Tab (never by a click) and shows the frame around it
    // while it holds a keyboard focus.
    void Watch(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FrameAround(QWidget* control);
};
