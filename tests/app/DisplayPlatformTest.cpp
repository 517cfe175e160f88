// Which window system the game asks Qt for, from what the session offers.

#include "app/DisplayPlatform.h"

#include <gtest/gtest.h>

namespace {

TEST(ChoosePlatform, NativeOnWaylandQuietXWaylandWithoutItsPlugin) {
    struct Case {
        const char* name;
        TDisplayEnvironment env; // named, wayland display, wayland session, X display, plugin
        const char* platform;
    };
    const Case cases[] = {
        {"X11 session", {false, false, false, true, true}, ""},
        {"X11 session, plugin missing", {false, false, false, true, false}, ""},
        {"Wayland with the plugin", {false, true, true, true, true}, "wayland;xcb"},
        {"Wayland, no XWayland", {false, true, true, false, true}, "wayland"},
        {"Wayland display without a session type", {false, true, false, true, true}, "wayland;xcb"},
        {"Wayland, plugin missing: XWayland", {false, true, true, true, false}, "xcb"},
        {"session type alone, plugin missing", {false, false, true, true, false}, "xcb"},
        {"session type without a Wayland display", {false, false, true, true, true}, "xcb"},
        {"neither plugin nor XWayland: Qt says why", {false, true, true, false, false}, ""},
        {"the player's choice stands", {true, true, true, true, true}, ""},
        {"the player's choice stands, plugin missing", {true, true, true, true, false}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChoosePlatform(c.env), QByteArray(c.platform)) << c.name;
}

// A platform the player names but Qt cannot load is what is missing, not a display.
TEST(DisplayFailureLine, NamesAMissingPlatformInsteadOfTheDisplay) {
    using Named = QList<TDisplayFailure::TNamed>;
    struct Case {
        const char* name;
        TDisplayFailure failure;
        const char* says;
        const char* never;
    };
    const Case cases[] = {
        {"wayland asked for, its plugin missing, DISPLAY set", {":0", "", Named{{"wayland", false}}},
         "asks for wayland, and Qt's platform plugin for it is not installed (the qt6-wayland package)", "DISPLAY"},
        {"another platform missing", {":0", "", Named{{"vnc", false}}}, "asks for vnc,", "qt6-wayland"},
        {"both named, both missing", {"", "w", Named{{"wayland", false}, {"xcb", false}}}, "asks for wayland, xcb,",
         "connect"},
        {"one named platform there: its display failed", {":4093", "", Named{{"wayland", false}, {"xcb", true}}},
         "cannot connect to the display (DISPLAY=:4093)", "qt6-wayland"},
        {"nothing named", {":4093", "w", Named{}}, "cannot connect to the display (DISPLAY=:4093, WAYLAND_DISPLAY=w)",
         "QT_QPA_PLATFORM"},
        {"no display at all", {"", "", Named{}}, "(neither DISPLAY nor WAYLAND_DISPLAY is set)", "QT_QPA_PLATFORM"},
    };
    for (const Case& c : cases) {
        const std::string line = DisplayFailureLine(c.failure);
        EXPECT_NE(line.find(c.says), std::string::npos) << c.name << ": " << line;
        EXPECT_EQ(line.find(c.never), std::string::npos) << c.name << ": " << line;
        EXPECT_EQ(line.rfind("zelvano: ", 0), 0u) << line;
    }
}

} // namespace

