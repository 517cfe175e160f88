#pragma once
// The settings store: one small INI file per user, opened for every single access.
//
// Nothing is cached, so a second running copy of the game always sees the last written
// value. Every value is text; integers are kept as decimal text and flags as "0" / "1".
//
// File format (UTF-8, a BOM is skipped):
//   [common]
//   level=3
//   hsa0=...
// Sections and keys are matched without regard to case. Blank lines and lines starting
// with ';' or '#' are comments. Blanks around keys and values are ignored, so a file
// edited by hand as "level = 3" reads fine. Values are escaped so that any text survives:
//   \\  backslash        \n  line feed        \r  carriage return     \t  tab
//   \s  a blank at the very start or end of a value (inner blanks stay as they are)
//   \xHH  any other control character, and in section names and keys also = [ ] ; #
// Commas, quotes, "=" and umlauts inside a value need no escaping. A backslash before
// any other character is kept as it is (a hand-typed "C:\Games" stays intact).
// Lines may end in LF, CRLF or a lone CR (an old Mac editor); the store writes LF. A byte
// sequence that is not UTF-8 spoils only the line it stands in (it reads as U+FFFD there);
// a line that is wholly 8-bit text (saved by hand in Latin-1) keeps its umlauts.
//
// A write replaces just the lines it changes and keeps every other line as it reads. It
// writes a temporary file next to the real one, flushes it to disk and renames it over the
// old one, so a crash or a full disk never leaves a half-written file behind. A settings
// file reached through links stays linked: the last file of the chain is replaced.
//
// Two running copies: every write is a read-merge-write under a kernel lock on "<file>.lock"
// (flock, so it dies with its process and a crash never leaves a lock behind). Update() hands
// the caller what is stored at that moment, so values that two copies both add to (the
// highscore lists, the statistics) are merged rather than overwritten.
//
// A file the store cannot safely replace is never written over in that run: one that exists
// but cannot be read, and one larger than MaxFileSize (not even parsed). A read-only file is
// respected: the store never replaces it (until the player makes it writable).
//
// Why not QSettings: it quotes values with commas and reads unquoted ones as lists, which
// would break the stored highscore rows and placement records.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <utility>

// A signed 32-bit decimal integer: an optional sign and at least one digit, nothing else.
std::optional<int> ParseDecimalInt(QStringView text);

// What a save was about, for the player's message when it fails.
enum class TIniWhat { Settings, Highscore, Statistics };

// Why an access failed, in the terms a player can act on.
enum class TIniCause {
    None,
    DiskFull,      // ENOSPC, EDQUOT, EFBIG: no room for the new file
    NoPermission,  // EACCES, EPERM on the folder or the file
    ReadOnlyFile,  // the settings file has no write permission: respected, never replaced
    ReadOnlyDisk,  // EROFS
    Unreadable,    // the file exists but cannot be read
    TooLarge,      // more than MaxFileSize: not parsed, never replaced
    NotAFile,      // a folder or a device where the file should be
    Other,
};

// What the store was doing when it failed: reading, writing, or looking at the file at
// start (then nothing was lost yet; the player learns what will not be saved).
enum class TIniAccess { Read, Write, Start };

// The steps of an access, named for the fault-injection hook of the tests.
enum class TIniStep { Read, LockBusy, Locked, TempCreated, Written, Synced, Renamed };

// The file as lines, without their line ends.
struct TIniText {
    QStringList lines;
};

// The stored file as it is inside an Update(): reads see what is stored now, writes change
// only this copy until Update() replaces the file with it.
class TIniEdit {
public:
    explicit TIniEdit(TIniText& text) : m_text(text) {}

    std::optional<QString> Text(const QString& section, const QString& key) const;
    QString ReadText(const QString& section, const QString& key, const QString& def) const;
    int ReadInt(const QString& section, const QString& key, int def) const;
    bool ReadFlag(const QString& section, const QString& key, bool def) const;

    void WriteText(const QString& section, const QString& key, const QString& value);
    void WriteInt(const QString& section, const QString& key, int value);
    void WriteFlag(const QString& section, const QString& key, bool value);

private:
    TIniText& m_text;
};

class TLMDIniCtrl {
public:
    // Larger files are no settings file of ours (ours is a few kilobytes): they are neither
    // parsed nor written over.
    static constexpr qint64 MaxFileSize = 1 << 20;

    explicit TLMDIniCtrl(const QString& path = DefaultPath());

    // $XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini, XDG_CONFIG_HOME falling back to ~/.config.
    static QString DefaultPath();
    QString Path() const;

    // Once at start: removes temporary files that a crashed write left behind, and reports a
    // settings file that cannot be read, is too large or is read-only (the game then goes on
    // with defaults, or without saving, and never writes over that file in this run).
    void CheckAtStart();

    int ReadInt(const QString& section, const QString& key, int def) const;
    bool ReadFlag(const QString& section, const QString& key, bool def) const;
    QString ReadText(const QString& section, const QString& key, const QString& def) const;

    void WriteInt(const QString& section, const QString& key, int value);
    void WriteFlag(const QString& section, const QString& key, bool value);
    void WriteText(const QString& section, const QString& key, const QString& value);
    // Several texts of one section in a single replacement of the file: all of them are
    // stored or, when the write fails, none (reported with the first key).
    bool WriteTexts(const QString& section, const QList<std::pair<QString, QString>>& values,
                    TIniWhat what = TIniWhat::Settings);

    // The locked read-merge-write: takes the lock, reads the file, lets change() read and
    // alter it, and replaces the file with the result in one step before the lock is let go.
    // change() must not touch the store itself, and may be run once more on an empty file
    // to name the first value in a failure message. True when the file was written; a
    // failure has been reported (every time for highscores and statistics).
    bool Update(TIniWhat what, const std::function<void(TIniEdit& edit)>& change);

    // Called with a message whenever an access fails: the store's own German line, then in
    // the player's language what was not saved or read, why, and what to do. A read then
    // gives the default and a failed write is lost; the game goes on. A failing read is
    // reported once per run, a failing write every time (a settings write refused for a
    // reason already reported is not reported again). The default handler logs the message
    // and shows it in a message box.
    std::function<void(const QString& message)> OnError;
    // The default handler's two halves, for callers that may not open a window.
    static void LogMessage(const QString& message);
    static void ShowMessage(const QString& message);

    // Why the file is not written in this run, or None.
    TIniCause Blocked() const { return m_blocked; }

    // For tests: called at every step of an access; a non-zero result is taken as the errno
    // of that step failing.
    static std::function<int(TIniStep step)> FaultHook;

    // The message for a failure, open for tests. legacy is the store's German line (empty
    // when there is none); file is the settings file's path.
    static QString Explain(const QString& legacy, TIniWhat what, TIniCause cause, TIniAccess access,
                           const QString& file);
    static TIniCause CauseOf(int err);

    // The escaping of the file format, open for tests.
    static QString EscapeValue(const QString& value);
    static QString EscapeName(const QString& name);
    static QString Unescape(QStringView text);

private:
    void Report(const QString& legacy, TIniWhat what, TIniCause cause, TIniAccess access) const;
    void ReadFailed(const QString& key, TIniCause cause) const;
    // The stored text, or nothing when it is missing or cannot be read (that is reported).
    std::optional<QString> Lookup(const QString& section, const QString& key) const;

    QString m_path;
    // Per run: what stops writes, and which read problems were reported already.
    mutable TIniCause m_blocked = TIniCause::None;
    mutable QSet<int> m_reported; // TIniCause values
    mutable QSet<QString> m_badKeys;
};
