#include "controls/FocusFrame.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int Outset = 4; // the frame's width, all of it outside the control

// Whether the player's last press was a key rather than a mouse button: a window opened from
// the keyboard shows its first focus at once, one opened with the mouse stays as it looks.
class TLastInput : public QObject {
public:
    static TLastInput& Instance() {
        static TLastInput* input = [] {
            auto* i = new TLastInput;
            qApp->installEventFilter(i);
            return i;
        }();
        return *input;
    }
    bool Keyboard() const { return m_keyboard; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress: m_keyboard = true; break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: m_keyboard = false; break;
        default: break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TLastInput() : QObject(qApp) {}
    bool m_keyboard = false;
};

} // namespace

TFocusFrame::TFocusFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    TLastInput::Instance();
}

bool TFocusFrame::Framing(const QWidget* control) const { return isVisible() && m_framed == control; }

void TFocusFrame::Watch(QWidget* control) {
    control->setFocusPolicy(Qt::TabFocus);
    control->installEventFilter(this);
}

void TFocusFrame::WatchOnly(QWidget* control) { control->installEventFilter(this); }

bool TFocusFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
        const bool opened = why == Qt::ActiveWindowFocusReason && TLastInput::Instance().Keyboard();
        if (why == Qt::TabFocusReason || why == Qt::BacktabFocusReason || opened)
            FrameAround(static_cast<QWidget*>(watched));
        else
            hide();
    } else if (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide) {
        hide();
    }
    return QWidget::eventFilter(watched, event);
}

void TFocusFrame::FrameAround(QWidget* control) {
    m_framed = control;
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

// ---- a grid walked by the arrow keys -------------------------------------------------------

TCellWalk::TCellWalk(QWidget* panel, TFocusFrame* frame, std::vector<std::vector<QWidget*>> cells)
    : QObject(panel), m_panel(panel), m_cells(std::move(cells)) {
    panel->setFocusPolicy(Qt::TabFocus);
    panel->installEventFilter(this);
    for (const auto& row : m_cells)
        for (QWidget* cell : row) {
            cell->setFocusPolicy(Qt::NoFocus); // only the panel is a Tab stop
            cell->installEventFilter(this);
            frame->WatchOnly(cell);
        }
}

QWidget* TCellWalk::Current() const {
    if (m_cells.empty() || m_cells[size_t(m_row)].empty()) return nullptr;
    return m_cells[size_t(m_row)][size_t(m_column)];
}

void TCellWalk::MoveTo(int row, int column, Qt::FocusReason why) {
    if (m_cells.empty()) return;
    m_row = std::clamp(row, 0, int(m_cells.size()) - 1);
    m_column = std::clamp(column, 0, int(m_cells[size_t(m_row)].size()) - 1);
    if (QWidget* cell = Current()) cell->setFocus(why);
}

bool TCellWalk::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_panel && event->type() == QEvent::FocusIn) {
        // The panel only passes the focus on; a Tab onto it lands on the cell last visited.
        MoveTo(m_row, m_column, static_cast<QFocusEvent*>(event)->reason());
        return false;
    }
    if (event->type() == QEvent::KeyPress && watched != m_panel) {
        const auto* key = static_cast<QKeyEvent*>(event);
        int row = m_row, column = m_column;
        switch (key->key()) {
        case Qt::Key_Up: --row; break;
        case Qt::Key_Down: ++row; break;
        case Qt::Key_Left: --column; break;
        case Qt::Key_Right: ++column; break;
        case Qt::Key_Home: column = 0; break;
        case Qt::Key_End: column = int(m_cells[size_t(m_row)].size()) - 1; break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: {
            // From a cell, Tab goes on past the panel, not back onto it.
            QWidget* w = m_panel;
            const bool forward = key->key() == Qt::Key_Tab;
            do {
                w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
            } while (w != m_panel && !(w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)));
            if (w != m_panel) w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
        default: return false;
        }
        // As a step of the keyboard, the frame follows it.
        MoveTo(row, column, Qt::TabFocusReason);
        return true;
    }
    return false;
}
