#pragma once
// What the player reads when the settings store fails, and what the store tells about damaged
// values and about what gave way to keep the file readable.

#include <QString>
#include <QStringList>

// What a save was about, for the player's message when it fails.
enum class TIniWhat {
    Settings,
    Highscore,
    Statistics,
    Par, // the solver's result for a game already stored: part of that game's statistics
};

// Why an access failed, in the terms a player can act on.
enum class TIniCause {
    None,
    DiskFull,        // ENOSPC, EDQUOT, EFBIG: no room for the new file
    NoPermission,    // EACCES, EPERM on the folder or the file
    ReadOnlyFile,    // the settings file has no write permission: respected, never replaced
    ReadOnlyDisk,    // EROFS
    Unreadable,      // the file exists but cannot be read
    TooLarge,        // more than MaxFileSize: not parsed, never replaced
    WouldBeTooLarge, // the game's own values alone would make the file too large to read again
    NotAFile,        // a folder or a device where the file should be
    Other,
};

// What the store was doing when it failed: reading, writing, or looking at the file at
// start (then nothing was lost yet; the player learns what will not be saved).
enum class TIniAccess { Read, Write, Start };

// The store's own lines name the key or section concerned; they are German whatever the
// player's language is, and the player's own words follow them.
QString StoreCannotWriteLine(const QString& key);
QString StoreCannotReadLine(const QString& key);
QString StoreCannotCreateLine(const QString& section);

// The message for a failure: the store's own line (legacy, empty when there is none), then in
// the player's language what was not saved or read, why, and what to do. file is the settings
// file's path.
QString StoreFailureText(const QString& legacy, TIniWhat what, TIniCause cause, TIniAccess access,
                         const QString& file);
// The player's messages for damaged values and for what gave way to keep the file small
// enough to read again; names are the keys or sections concerned, count how many there were.
QString StoreDamagedText(const QString& file, const QStringList& names);
QString StoreDroppedText(const QString& file, const QStringList& names, qsizetype count);
