#pragma once
// Where a player keeps music of their own for the game.

#include <QString>

// $XDG_DATA_HOME/zelvano/music/ (~/.local/share/zelvano/music/ when that is not set), with a
// trailing separator, whether it exists or not. The installed data folder belongs to the
// system, so the player's own *.mid files go here.
QString PlayerMusicFolder();

// The same for people to read: the home folder written as "~", no trailing separator.
QString PlayerMusicFolderForDisplay();
