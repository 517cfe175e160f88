#include "app/AfterFirstPaint.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace {

// Owned by the widget, so the work dies with it; removes itself once the work has run.
class FirstPaintHook : public QObject {
public:
    FirstPaintHook(QWidget* widget, std::function<void()> work, int fallbackMs)
        : QObject(widget), m_work(std::move(work)) {
        widget->installEventFilter(this);
        QTimer::singleShot(fallbackMs, this, &FirstPaintHook::Run);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // Queued, so the paint finishes and its pixels are handed to the window system
            // before the work blocks the loop; the sync waits until the display has them.
            QTimer::singleShot(0, this, [this] {
                QGuiApplication::sync();
                Run();
            });
        }
        return false;
    }

private:
    void Run() {
        if (!m_work) return;
        const std::function<void()> work = std::move(m_work);
        m_work = nullptr;
        deleteLater();
        work();
    }

    std::function<void()> m_work;
    bool m_painted = false;
};

} // namespace

void AfterFirstPaint(QWidget* widget, std::function<void()> work, int fallbackMs) {
    if (!widget || !work) return;
    new FirstPaintHook(widget, std::move(work), fallbackMs);
}
