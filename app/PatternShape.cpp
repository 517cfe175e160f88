#include "app/PatternShape.h"

#include <QMouseEvent>

TPatternShape::TPatternShape(int position, QWidget* parent) : QWidget(parent), m_position(position) {
    // Paints nothing: the pattern picture on the board shows through.
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TPatternShape::mousePressEvent(QMouseEvent*) {
    if (OnMouseDown) OnMouseDown(m_position);
}

void TPatternShape::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }
