// Work held back until the board is on the screen: it runs once, after the first paint, also
// when the window is never painted, and not at all once the window is gone.

#include "app/AfterFirstPaint.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class Painted : public QWidget {
public:
    int paints = 0;
    int paintMs = 0; // a loaded machine: the first paint takes longer than the fallback's wait

protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        if (paintMs > 0) QThread::msleep(paintMs);
    }
};

TEST(AfterFirstPaint, RunsOnceRightAfterTheFirstPaint) {
    Painted widget;
    widget.resize(100, 100);
    int runs = 0, paintsSeen = -1;
    AfterFirstPaint(&widget, [&] {
        ++runs;
        paintsSeen = widget.paints;
    }, 60000);
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 0) << "nothing before the window is shown";
    widget.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs > 0; }, 5000));
    EXPECT_EQ(paintsSeen, 1) << "after the first paint has been handled, not in place of it";
    widget.update();
    widget.repaint();
    QTest::qWait(50);
    EXPECT_EQ(runs, 1);
}

TEST(AfterFirstPaint, AWindowNeverPaintedStillGetsItsWorkDone) {
    Painted widget; // never shown, as a window started minimized may not be painted for long
    int runs = 0;
    AfterFirstPaint(&widget, [&] { ++runs; }, 30);
    EXPECT_TRUE(QTest::qWaitFor([&] { return runs == 1; }, 5000));
    widget.show();
    QTest::qWait(50);
    EXPECT_EQ(runs, 1) << "a paint after the fallback does not run it again";
}

TEST(AfterFirstPaint, NothingRunsOnceTheWindowIsGone) {
    auto* widget = new Painted;
    int runs = 0;
    AfterFirstPaint(widget, [&] { ++runs; }, 20);
    widget->show();
    delete widget;
    QTest::qWait(100);
    EXPECT_EQ(runs, 0);
}

// The fallback falls due while the first paint is still being drawn; the wait for the display
// after the paint then handles events, and the window goes away in the middle of it, closed by
// the work itself or by something else. The work runs at most once, and nothing is touched of
// what went with the window (the address sanitizer watches for that).
TEST(AfterFirstPaint, AWindowGoneWhileTheFirstPaintIsFinishedIsLeftAlone) {
    enum class Closer { TheWork, SomethingElse };
    for (const Closer closer : {Closer::TheWork, Closer::SomethingElse}) {
        SCOPED_TRACE(closer == Closer::TheWork ? "closed by the work" : "closed meanwhile");
        QPointer<Painted> widget = new Painted;
        widget->resize(200, 200);
        widget->paintMs = 80;
        int runs = 0;
        AfterFirstPaint(widget, [&] {
            ++runs;
            if (closer == Closer::TheWork) delete widget.data();
        }, 10);
        if (closer == Closer::SomethingElse)
            QTimer::singleShot(20, [&] { delete widget.data(); });
        widget->show();
        widget->repaint();
        EXPECT_TRUE(QTest::qWaitFor([&] { return widget.isNull(); }, 5000));
        QTest::qWait(50);
        EXPECT_LE(runs, 1);
        if (closer == Closer::TheWork) EXPECT_EQ(runs, 1);
        delete widget.data();
    }
}

} // namespace

