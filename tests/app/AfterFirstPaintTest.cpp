// Work held back until the board is on the screen: it runs once, after the first paint, also
// when the window is never painted, and not at all once the window is gone.

#include "app/AfterFirstPaint.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class Painted : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
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

} // namespace
