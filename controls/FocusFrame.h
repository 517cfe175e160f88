#pragma once
// A frame around whichever of its watched controls was reached with Tab. The game's controls
// draw no focus of their own, and a mouse player never sees this frame: it appears only for a
// focus that came from the keyboard, by Tab, or on opening a window the keyboard opened.

#include <QPointer>
#include <QWidget>

#include <vector>

class TFocusFrame : public QWidget {
    Q_OBJECT
public:
    explicit TFocusFrame(QWidget* parent);

    // Lets a control be reached with Tab (never by a click) and shows the frame around it
    // while it holds a keyboard focus.
    void Watch(QWidget* control);
    // Shows the frame around a control whose focus is given to it by code, not by Tab.
    void WatchOnly(QWidget* control);
    // Whether the frame shows around the control now.
    bool Framing(const QWidget* control) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FrameAround(QWidget* control);
    QWidget* m_framed = nullptr;
};

// A grid of controls that Tab reaches as one stop and the arrow keys walk cell by cell, as a
// screen reader's table or list is read: the panel takes the Tab focus and hands it on to the
// cell last visited, which the frame then shows. The cells themselves are never reached by a
// click or by Tab.
class TCellWalk : public QObject {
    Q_OBJECT
public:
    // cells[row][column], all children of panel.
    TCellWalk(QWidget* panel, TFocusFrame* frame, std::vector<std::vector<QWidget*>> cells);

    QWidget* Current() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MoveTo(int row, int column, Qt::FocusReason why);

    QPointer<QWidget> m_panel;
    std::vector<std::vector<QWidget*>> m_cells;
    int m_row = 0, m_column = 0;
};
