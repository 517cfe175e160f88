#pragma once
// Which window system the game runs on, chosen before Qt starts.
//
// On a Wayland session the game runs natively when Qt's Wayland support (Debian's qt6-wayland)
// is installed, and under XWayland when it is not. Qt would find that out itself, but says so
// on every start ("Could not find the Qt platform plugin"); asking first keeps the start quiet.
// A platform the player names in QT_QPA_PLATFORM is always kept.

#include <QByteArray>
#include <QList>

#include <string>

struct TDisplayEnvironment {
    bool platformNamed = false;   // QT_QPA_PLATFORM is set
    bool waylandDisplay = false;  // WAYLAND_DISPLAY is set
    bool waylandSession = false;  // XDG_SESSION_TYPE is "wayland"
    bool x11Display = false;      // DISPLAY is set (XWayland on a Wayland session)
    bool waylandInstalled = false; // Qt's Wayland platform plugin is there
};

// The value for QT_QPA_PLATFORM, or empty to leave Qt's own choice.
QByteArray ChoosePlatform(const TDisplayEnvironment& env);

// Looks at the environment and the installed plugins and sets QT_QPA_PLATFORM accordingly.
// Call it before the QApplication is made.
void SelectDisplayPlatform();

// Qt's platform plugin for a platform name as QT_QPA_PLATFORM gives it ("wayland", "xcb") is
// installed where Qt looks for it.
bool PlatformPluginInstalled(const QByteArray& name);

// What the player is told when the game cannot come up on any display.
struct TDisplayFailure {
    QByteArray x11Display;     // DISPLAY
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    struct TNamed {
        QByteArray name;
        bool installed = true;
    };
    QList<TNamed> named; // QT_QPA_PLATFORM's platforms, in its order
};

// A platform named in QT_QPA_PLATFORM whose plugin is missing is named, with the package that
// brings it, when no named platform could have been tried at all; otherwise the line says
// which displays could not be reached.
std::string DisplayFailureLine(const TDisplayFailure& failure);

// The same from the environment and the installed plugins.
std::string DisplayFailureLine();
