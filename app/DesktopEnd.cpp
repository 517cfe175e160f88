#include "app/DesktopEnd.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QList>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

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
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    // Direct: the session may be gone once the event loop would come round to it.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [close](QSessionManager&) { close(); },
                     Qt::DirectConnection);
}

const char* NoDisplayLine() {
    static const std::string line = [] {
        const char* x = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        std::string names;
        if (x && *x)
            names += std::string("DISPLAY=") + x;
        if (wayland && *wayland)
            names += (names.empty() ? "" : ", ") + std::string("WAYLAND_DISPLAY=") + wayland;
        if (names.empty())
            names = "neither DISPLAY nor WAYLAND_DISPLAY is set";
        return "zelvano: cannot connect to the display (" + names +
               "); start the game inside a desktop session, or set DISPLAY to a running X server";
    }();
    return line.c_str();
}

void BeginDisplayCheck() {
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
