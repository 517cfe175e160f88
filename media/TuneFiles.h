#pragma once
// The *.mid files the game plays, and reading one. Anything may lie in a player's music folder
// under that name: a pipe that would keep a reader waiting for a writer, a link to a device
// that never ends, a film renamed by mistake. Only regular files of a tune's size are played,
// each read once, whole, without waiting on anyone; the rest are passed over with one line on
// stderr for each, so a player who wonders why a tune never plays can find out.

#include <QByteArray>
#include <QString>
#include <QStringList>

// A MIDI tune takes kilobytes, a long one a few hundred; nothing larger is read.
inline constexpr qint64 MaxTuneBytes = 8 * 1024 * 1024;

// Why a *.mid file is passed over.
enum class TTuneRefusal {
    None,
    NotAFile,   // a pipe, a device, a socket: after following links
    TooLarge,   // more than MaxTuneBytes
    Unreadable, // missing, a dangling link, no permission, a read error
};

struct TTuneBytes {
    QByteArray bytes; // empty unless accepted
    TTuneRefusal refusal = TTuneRefusal::None;
};

// The folders' *.mid files that may be played, with their paths, folder by folder as the file
// system lists them, hidden ones included; the pattern matches regardless of case, as the game
// always has. A folder that does not exist adds nothing.
QStringList ListMusic(const QStringList& folders);

// The whole file, when it is a regular file of at most MaxTuneBytes at the moment it is read.
// The check is made on the opened file itself, so a name swapped for a pipe after the folder
// was listed cannot make the game wait.
TTuneBytes ReadTuneFile(const QString& path);
