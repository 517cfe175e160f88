#pragma once
// An invisible click target lying exactly on a pattern square of the board.

#include <QWidget>

#include <functional>

class TPatternShape : public QWidget {
    Q_OBJECT
public:
    TPatternShape(int position, QWidget* parent);
    int Position() const { return m_position; }
    std::function<void(int position)> OnMouseDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int m_position;
};
