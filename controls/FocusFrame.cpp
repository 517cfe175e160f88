#include "controls/FocusFrame.h"

#include <QFocusEvent>
#include <QPainter>

namespace {

constexpr int Outset = 4; // the frame's width, all of it outside the control

} // namespace

TFocusFrame::TFocusFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TFocusFrame::Watch(QWidget* control) {
    control->setFocusPolicy(Qt::TabFocus);
    control->installEventFilter(this);
}

bool TFocusFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
        if (why == Qt::TabFocusReason || why == Qt::BacktabFocusReason)
            FrameAround(static_cast<QWidget*>(watched));
        else
            hide();
    } else if (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide) {
        hide();
    }
    return QWidget::eventFilter(watched, event);
}

void TFocusFrame::FrameAround(QWidget* control) {
    if (control->parentWidget() != parentWidget()) setParent(control->parentWidget());
    const QRect r = control->geometry().adjusted(-Outset, -Outset, Outset, Outset);
    setGeometry(r);
    // Only the frame itself covers anything.
    setMask(QRegion(rect()) - QRegion(rect().adjusted(Outset, Outset, -Outset, -Outset)));
    show();
    raise();
}

void TFocusFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, QColor(20, 20, 20));
    p.fillRect(r.adjusted(1, 1, -1, -1), QColor(255, 214, 0));
    p.fillRect(r.adjusted(3, 3, -3, -3), QColor(20, 20, 20));
}
