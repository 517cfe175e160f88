#pragma once
// How the desktop ends the game, and what happens when there is no desktop at all.

#include <functional>

class QGuiApplication;
class QWidget;

// SIGTERM, SIGINT, SIGHUP, SIGQUIT and the end of the desktop session (the session manager's
// commitDataRequest) call close on the event loop's thread, never inside a signal handler:
// the handler only writes a byte into a pipe that the event loop watches.
void InstallDesktopEndHandlers(QGuiApplication& app, std::function<void()> close);

// Another program may destroy the main window under the game (xdotool windowclose, a desktop
// tool), on X where any client may: then close is called, as on the session's end, instead of
// the game running on without a window. Qt's own replacing of a window does not count.
void EndWhenWindowDestroyed(QWidget& window, std::function<void()> close);

// Around the construction of the application: when the platform cannot reach a display,
// one line saying so goes to stderr and the program ends with status 1 instead of Qt's
// abort. Qt's own messages of that moment are passed on only when the start succeeds.
void BeginDisplayCheck();
void EndDisplayCheck();

// The line printed when no display can be reached, from the environment's display names.
const char* NoDisplayLine();
