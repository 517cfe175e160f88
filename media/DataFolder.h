#pragma once
// Where the game's music and help lie.

#include <QString>

// The folder, with a trailing separator, that holds the help and the game's music: the program's
// own folder when the help lies beside it (a build tree, an unpacked copy), otherwise the
// installed one reached from the program's folder (/usr/games -> /usr/share/games/zelvano).
// When neither holds the help, the installed one if it exists, else the program's folder, so
// that the help window names a sensible place.
QString DataFolder(const QString& programDir);
