#include "settings/MusicFolder.h"

#include <QDir>
#include <QStandardPaths>

QString PlayerMusicFolder()
{
    // GenericDataLocation is $XDG_DATA_HOME, or ~/.local/share when that is unset or not absolute.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/zelvano/music/");
}

QString PlayerMusicFolderForDisplay()
{
    QString folder = PlayerMusicFolder();
    folder.chop(1);
    const QString home = QDir::homePath();
    if (home.size() > 1 && folder.startsWith(home + QLatin1Char('/')))
        folder = QStringLiteral("~") + folder.mid(home.size());
    return folder;
}
