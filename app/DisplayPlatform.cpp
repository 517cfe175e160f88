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

// Where Qt looks for platform plugins: its own folder and the ones the environment adds. A
// plugin's file carries the platform's name ("libqxcb.so", "libqwayland-generic.so").
bool PlatformPluginInstalled(const QByteArray& name) {
    QStringList dirs;
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM_PLUGIN_PATH"))
        dirs << qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    for (const QString& path : qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts))
        dirs << path + QStringLiteral("/platforms");
    dirs << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    const QString pattern = QStringLiteral("libq") + QString::fromLocal8Bit(name) + QLatin1Char('*');
    for (const QString& dir : std::as_const(dirs))
        if (!QDir(dir).entryList({pattern}, QDir::Files).isEmpty())
            return true;
    return false;
}

std::string DisplayFailureLine(const TDisplayFailure& failure) {
    bool anyInstalled = failure.named.isEmpty();
    std::string missing;
    bool waylandMissing = false;
    for (const TDisplayFailure::TNamed& platform : failure.named) {
        anyInstalled = anyInstalled || platform.installed;
        if (platform.installed)
            continue;
        missing += (missing.empty() ? "" : ", ") + platform.name.toStdString();
        waylandMissing = waylandMissing || platform.name.startsWith("wayland");
    }
    if (!anyInstalled) {
        std::string line = "zelvano: QT_QPA_PLATFORM asks for " + missing +
                           ", and Qt's platform plugin for it is not installed";
        if (waylandMissing)
            line += " (the qt6-wayland package)";
        return line + "; install it, or start the game without QT_QPA_PLATFORM";
    }
    std::string names;
    if (!failure.x11Display.isEmpty())
        names += "DISPLAY=" + failure.x11Display.toStdString();
    if (!failure.waylandDisplay.isEmpty())
        names += (names.empty() ? "" : ", ") + ("WAYLAND_DISPLAY=" + failure.waylandDisplay.toStdString());
    if (names.empty())
        names = "neither DISPLAY nor WAYLAND_DISPLAY is set";
    return "zelvano: cannot connect to the display (" + names +
           "); start the game inside a desktop session, or set DISPLAY to a running X server";
}

std::string DisplayFailureLine() {
    TDisplayFailure failure;
    failure.x11Display = qgetenv("DISPLAY");
    failure.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    for (const QByteArray& name : qgetenv("QT_QPA_PLATFORM").split(';')) {
        // "wayland:option" passes options to the plugin; the name is before the colon.
        const QByteArray bare = name.split(':').first().trimmed();
        if (!bare.isEmpty())
            failure.named.append({bare, PlatformPluginInstalled(bare)});
    }
    return DisplayFailureLine(failure);
}

void SelectDisplayPlatform() {
    TDisplayEnvironment env;
    env.platformNamed = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    env.waylandDisplay = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    env.waylandSession = qgetenv("XDG_SESSION_TYPE") == "wayland";
    env.x11Display = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (env.platformNamed || !(env.waylandDisplay || env.waylandSession))
        return;
    env.waylandInstalled = PlatformPluginInstalled("wayland");
    const QByteArray platform = ChoosePlatform(env);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}
