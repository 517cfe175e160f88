#include "app/DesktopEnd.h"

#include "app/DisplayPlatform.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QList>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int signal) {
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1); // a full pipe has one waiting already
    errno = saved;
}

struct TQueued {
    QtMsgType type;
    QByteArray text;
};
QList<TQueued>* queued = nullptr;

void Queue(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        // Qt gives up: no platform plugin could reach a display.
        std::fputs(NoDisplayLine(), stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    queued->append({type, message.toLocal8Bit()});
}

} // namespace

void InstallDesktopEndHandlers(QGuiApplication& app, std::function<void()> close) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) {
        std::perror("zelvano: no pipe for signals");
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [close] {
        char bytes[16];
        while (::read(signalPipe[1], bytes, sizeof bytes) > 0) {
        }
        close();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // SIGHUP comes when the terminal the game was started from closes, SIGQUIT from Ctrl+\ in
    // it: both would end the game on the spot and lose the session's settings, so they end it
    // as SIGTERM does. A game started with nohup keeps running when its terminal closes. (A
    // shell starts background programs with SIGINT and SIGQUIT ignored; those are taken anyway,
    // as a kill -INT is meant for the game.)
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        struct sigaction before {};
        if (signal == SIGHUP && ::sigaction(SIGHUP, nullptr, &before) == 0 && before.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
    // Direct: the session may be gone once the event loop would come round to it.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [close](QSessionManager&) { close(); },
                     Qt::DirectConnection);
}

namespace {

// X's DestroyNotify as Qt's xcb platform hands it over, straight off the wire: the event's
// code, then the window it was reported to and the window destroyed.
struct TDestroyNotify {
    std::uint8_t responseType;
    std::uint8_t pad;
    std::uint16_t sequence;
    std::uint32_t event;
    std::uint32_t window;
};
constexpr std::uint8_t DestroyNotify = 17;

// Owned by the window: it goes with it, and its destructor takes it off Qt's list.
class TWindowDestroyedFilter : public QObject, public QAbstractNativeEventFilter {
public:
    TWindowDestroyedFilter(QWidget& window, std::function<void()> close)
        : QObject(&window), m_window(window), m_close(std::move(close)) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t" || !m_close)
            return false;
        const auto* event = static_cast<const TDestroyNotify*>(message);
        // The high bit marks an event another client sent; a real destruction never has it.
        if (event->responseType != DestroyNotify)
            return false;
        // When Qt destroys the window itself (at the end, or to make a new one) the widget has
        // let go of it before the notice comes back.
        if (m_window.internalWinId() != WId(event->window) || !m_window.isVisible())
            return false;
        // Not inside the platform's event handling: the close writes the settings and ends the loop.
        QTimer::singleShot(0, qApp, std::exchange(m_close, nullptr));
        return false;
    }

private:
    QWidget& m_window;
    std::function<void()> m_close;
};

} // namespace

void EndWhenWindowDestroyed(QWidget& window, std::function<void()> close) {
    QCoreApplication::instance()->installNativeEventFilter(
        new TWindowDestroyedFilter(window, std::move(close)));
}

const char* NoDisplayLine() {
    static const std::string line = DisplayFailureLine();
    return line.c_str();
}

void BeginDisplayCheck() {
    NoDisplayLine(); // worked out now: in Qt's fatal moment as little as possible is done
    queued = new QList<TQueued>;
    qInstallMessageHandler(Queue);
}

void EndDisplayCheck() {
    qInstallMessageHandler(nullptr);
    for (const TQueued& m : std::as_const(*queued))
        qt_message_output(m.type, QMessageLogContext(), QString::fromLocal8Bit(m.text));
    delete queued;
    queued = nullptr;
}
