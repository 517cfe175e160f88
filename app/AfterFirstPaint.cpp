#include "app/AfterFirstPaint.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace {

// Owned by the widget, so the work dies with it. It has one trigger at a time: until the
// first paint the fallback timer and the paint race, and whichever comes first switches the
// other off for good. The waits for the display handle events, during which anything may
// delete the widget and the hook with it; so the hook is only ever looked at again through a
// guard, and it deletes itself last of all, after the work, from the event loop.
class FirstPaintHook : public QObject {
public:
    FirstPaintHook(QWidget* widget, std::function<void()> work, int fallbackMs)
        : QObject(widget), m_widget(widget), m_work(std::move(work)) {
        widget->installEventFilter(this);
        m_fallback.setSingleShot(true);
        connect(&m_fallback, &QTimer::timeout, this, &FirstPaintHook::Run);
        m_fallback.start(fallbackMs);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            StopWatching();
            // Queued, so the paint finishes and its pixels are handed to the window system
            // before the work blocks the loop; the sync waits until the display has them.
            QMetaObject::invokeMethod(this, &FirstPaintHook::AfterPaint, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void StopWatching() {
        m_fallback.stop();
        m_widget->removeEventFilter(this);
    }

    void AfterPaint() {
        const QPointer<FirstPaintHook> alive(this);
        QGuiApplication::sync(); // handles events: the window may be closed and deleted meanwhile
        if (alive)
            Run();
    }

    void Run() {
        StopWatching();
        std::function<void()> work = std::exchange(m_work, nullptr);
        deleteLater();
        if (work)
            work(); // this hook may be gone once it returns: nothing of it is used after
    }

    QWidget* m_widget; // the parent, alive as long as the hook is
    std::function<void()> m_work;
    QTimer m_fallback;
};

} // namespace

void AfterFirstPaint(QWidget* widget, std::function<void()> work, int fallbackMs) {
    if (!widget || !work) return;
    new FirstPaintHook(widget, std::move(work), fallbackMs);
}
