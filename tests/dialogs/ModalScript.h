#pragma once
// Driving a modal dialog from inside its own loop: the script runs once the window is up, and a
// watchdog ends a loop that the script failed to end, so a fault fails the test instead of
// hanging it.

#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

inline constexpr int WatchdogResult = 99;

template <class Open> void WhileOpen(QDialog* dialog, std::function<void()> script, Open open) {
    QTimer::singleShot(0, dialog, [dialog, script] {
        if (QTest::qWaitForWindowExposed(dialog))
            script();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, dialog, [dialog] { dialog->done(WatchdogResult); });
    watchdog.start(5000);
    open();
}

// A left click in the middle of control, sent to its window so that it lands on whatever lies
// under that point, as a real click would.
inline void ClickOn(QWidget* control) {
    QWidget* top = control->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, control->mapTo(top, control->rect().center()));
}

// Gives the visible window w the outer bounds (frame included) given; the off-screen platform
// draws a frame around top-level windows, so these differ from its client geometry.
inline void PlaceMain(QWidget* w, const QRect& outer) {
    const QSize frame = w->frameGeometry().size() - w->size();
    w->move(outer.topLeft());
    w->resize(outer.size() - frame);
    QCoreApplication::processEvents();
    QCOMPARE(w->frameGeometry(), outer);
}
