#include "app/DisplayPlatform.h"

#include <QDir>
#include <QLibraryInfo>
#include <QStringList>
#include <QtGlobal>

QByteArray ChoosePlatform(const TDisplayEnvironment& env) {
    if (env.platformNamed)
        return {};
    if (env.waylandDisplay && env.waylandInstalled) {
        // Named outright: some Qt versions pass over Wayland on some desktops with a warning.
        // XWayland stays behind it in case the compositor cannot be reached after all.
        return env.x11Display ? QByteArrayLiteral("wayland;xcb") : QByteArrayLiteral("wayland");
    }
    if ((env.waylandDisplay || env.waylandSession) && env.x11Display)
        return QByteArrayLiteral("xcb");
    return {};
}

namespace {

// Where Qt looks for platform plugins: its own folder and the ones the environment adds.
bool WaylandPluginInstalled() {
    QStringList dirs;
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM_PLUGIN_PATH"))
        dirs << qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    for (const QString& path : qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts))
        dirs << path + QStringLiteral("/platforms");
    dirs << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    for (const QString& dir : std::as_const(dirs))
        if (!QDir(dir).entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty())
            return true;
    return false;
}

} // namespace

void SelectDisplayPlatform() {
    TDisplayEnvironment env;
    env.platformNamed = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    env.waylandDisplay = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    env.waylandSession = qgetenv("XDG_SESSION_TYPE") == "wayland";
    env.x11Display = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (env.platformNamed || !(env.waylandDisplay || env.waylandSession))
        return;
    env.waylandInstalled = WaylandPluginInstalled();
    const QByteArray platform = ChoosePlatform(env);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}
