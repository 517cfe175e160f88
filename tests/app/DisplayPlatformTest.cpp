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

} // namespace
