#include "app/StartReport.h"

#include <QByteArray>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget* board, long long launchedNs) : QObject(board), m_launchedNs(launchedNs) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Measured once the paint has been handled and the window's contents sent off,
            // which is what the player sees, not when it began.
            QTimer::singleShot(0, this, [this, watched] {
                const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count();
                // The processor time of every thread so far, beside the wall clock: work moved
                // onto other threads still counts.
                timespec cpu{};
                clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
                std::fprintf(stderr, "first-paint-ms %.1f\nfirst-paint-cpu-ms %.1f\n",
                             double(now - m_launchedNs) / 1e6, double(cpu.tv_sec) * 1e3 + double(cpu.tv_nsec) / 1e6);
                std::fflush(stderr);
                watched->removeEventFilter(this);
            });
        }
        return false;
    }

private:
    long long m_launchedNs;
    bool m_seen = false;
};

} // namespace

void ReportFirstPaint(QWidget* board) {
    bool ok = false;
    const long long launched = qgetenv("ZELVANO_START_REPORT").toLongLong(&ok);
    if (!ok || !board) return;
    board->installEventFilter(new FirstPaintWatch(board, launched));
}
