#pragma once
// The settings store: one small INI file per user, read anew for every operation.
//
// Nothing is kept between operations, so a second running copy of the game always sees the
// last written value. An operation that needs many values (the statistics, a highscore list)
// takes them from one Snapshot(), a single read of the file. Every value is text; integers
// are kept as decimal text and flags as "0" / "1".
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
// The temporary file is "<file>.zelvano-write.XXXXXX", a name nobody gives a file of their
// own; the start removes such files once they are older than any write could take.
//
// Two running copies: every write is a read-merge-write under a kernel lock on "<file>.lock"
// (flock, so it dies with its process and a crash never leaves a lock behind). Update() hands
// the caller what is stored at that moment, so values that two copies both add to (the
// highscore lists, the statistics) are merged rather than overwritten. Reading takes no lock:
// the file is only ever replaced whole, never changed in place.
//
// A file the store cannot safely replace is never written over in that run: one that exists
// but cannot be read, and one larger than MaxFileSize (not even parsed). A read-only file is
// respected: the store never replaces it (until the player makes it writable). The store
// never writes a file it would refuse to read: when a write would go past MaxFileSize, what
// is not the game's own (see IsGameKey) gives way, the largest first, and the player is told.
//
// Why not QSettings: it quotes values with commas and reads unquoted ones as lists, which
// would break the stored highscore rows and placement records.

#include "texts/StoreTexts.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

// A signed 32-bit decimal integer: an optional sign and at least one digit, nothing else.
std::optional<int> ParseDecimalInt(QStringView text);

// The steps of an access, named for the fault-injection hook of the tests.
enum class TIniStep { Read, LockBusy, Locked, TempCreated, Written, Synced, Renamed };

// The keys the game keeps: [common] back, tongue, level, sound, music, max, MainForm, player
// and the highscore rows hsa0..hsd14, and every key of [statistics]. Anything else in the
// file is someone else's (another tool, a hand edit). Sections and keys without regard to case.
bool IsGameKey(const QString& section, const QString& key);

// The file as lines, without their line ends.
struct TIniText {
    QStringList lines;
};

class TIniStore;
struct TIniIndex;

// The typed reads over a key's stored text: a missing or unreadable value gives the default.
class TIniValues {
public:
    virtual ~TIniValues() = default;

    // The stored text, or nothing when the key is missing or its value damaged.
    virtual std::optional<QString> Text(const QString& section, const QString& key) const = 0;
    QString ReadText(const QString& section, const QString& key, const QString& def) const;
    int ReadInt(const QString& section, const QString& key, int def) const;
    bool ReadFlag(const QString& section, const QString& key, bool def) const;
};

// The typed writes over a class's WriteText: a number or a flag is stored as its decimal text.
template <class Self> class TIniWrites {
public:
    void WriteInt(const QString& section, const QString& key, int value) {
        static_cast<Self*>(this)->WriteText(section, key, QString::number(value));
    }
    void WriteFlag(const QString& section, const QString& key, bool value) {
        WriteInt(section, key, value ? 1 : 0);
    }
};

// The stored file as it is inside an Update(): reads see what is stored now, writes change
// only this copy until Update() replaces the file with it.
class TIniEdit : public TIniValues, public TIniWrites<TIniEdit> {
public:
    explicit TIniEdit(TIniText& text);
    ~TIniEdit() override;
    TIniEdit(const TIniEdit&) = delete;
    TIniEdit& operator=(const TIniEdit&) = delete;

    std::optional<QString> Text(const QString& section, const QString& key) const override;

    void WriteText(const QString& section, const QString& key, const QString& value);

private:
    friend class TIniStore;
    TIniIndex& Index() const;

    TIniText& m_text;
    mutable std::unique_ptr<TIniIndex> m_index; // made at the first access
    QSet<std::pair<QString, QString>> m_written; // case-folded section and key: these stay
};

// What the file held at one moment, from a single read: the values of one operation come from
// here. A damaged value (control characters the store never writes) reads as the default.
class TIniSnapshot : public TIniValues {
public:
    std::optional<QString> Text(const QString& section, const QString& key) const override;

private:
    friend class TIniStore;
    struct TData;
    std::shared_ptr<const TData> m_data;     // null when there is no file at all
    const TIniStore* m_store = nullptr;    // told of a damaged value or a failed read
};

// Each typed read takes a snapshot of its own and each write replaces the file; several
// values of one operation go through Snapshot() or Update() instead.
class TIniStore : public TIniValues, public TIniWrites<TIniStore> {
public:
    // Larger files are no settings file of ours (ours is a few kilobytes): they are neither
    // parsed nor written over.
    static constexpr qint64 MaxFileSize = 1 << 20;
    // How long a write waits for another copy's lock. That copy holds it only while it writes
    // and flushes at most MaxFileSize (never while it asks the player anything): milliseconds,
    // up to a second or so on a badly loaded machine, where going ahead too early could lose
    // what the other copy adds. One that holds it longer is stopped or hung, and the write goes
    // ahead without it (still all or nothing). Kept that short because the close waits too,
    // and a desktop that is logging out gives a program only a few seconds. The start never
    // waits: reading needs no lock.
    static constexpr int LockWaitMs = 2000;
    // A temporary file of ours this old is left over from a write that was cut short: a write
    // takes well under a second.
    static constexpr int LeftoverAgeSeconds = 10 * 60;

    explicit TIniStore(const QString& path = DefaultPath());

    // $XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini, XDG_CONFIG_HOME falling back to ~/.config.
    static QString DefaultPath();
    QString Path() const;

    // Once at start, without waiting for anything: removes temporary files that a crashed
    // write left behind (when no other copy is writing), and reports a settings file that
    // cannot be read, is too large or is read-only (the game then goes on with defaults, or
    // without saving, and never writes over that file in this run), and damaged values.
    void CheckAtStart();

    // One read of the file for all the values of an operation.
    TIniSnapshot Snapshot() const;

    std::optional<QString> Text(const QString& section, const QString& key) const override;
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
    // reported once per run, a failing write every time (a settings or par write refused for
    // a reason already reported is not reported again, and a failure while the player is
    // still reading about another one only goes to the log). Never called while the store
    // holds its lock. Damaged values are told once per run, in the player's language: by
    // CheckAtStart (the language is known by then), or at the first damaged read after it.
    // The default handler logs the message and shows it through MessageWindow.
    std::function<void(const QString& message)> OnError;
    // The default handler's two halves, for callers that may not open a window.
    static void LogMessage(const QString& message);
    static void ShowMessage(const QString& message);
    // Shows a message to the player, for every store of the program; the store itself opens
    // no window. The program installs its message box at start-up; without one, messages
    // only go to the log.
    static std::function<void(const QString& message)> MessageWindow;

    // Why the file is not written in this run, or None.
    TIniCause Blocked() const { return m_blocked; }

    // For tests: called at every step of an access; a non-zero result is taken as the errno
    // of that step failing.
    static std::function<int(TIniStep step)> FaultHook;

    static TIniCause CauseOf(int err);

    // The escaping of the file format, open for tests.
    static QString EscapeValue(const QString& value);
    static QString EscapeName(const QString& name);
    static QString Unescape(QStringView text);

private:
    friend class TIniSnapshot;
    void Report(const QString& legacy, TIniWhat what, TIniCause cause, TIniAccess access) const;
    void Tell(const QString& message) const;
    void ReadFailed(const QString& key, TIniCause cause) const;
    void ValueDamaged(const TIniSnapshot& snapshot, const QString& key) const;
    void TellDamaged(const QStringList& names) const;

    QString m_path;
    // Per run: what stops writes, and which problems were told already.
    mutable TIniCause m_blocked = TIniCause::None;
    mutable QSet<int> m_reported; // TIniCause values
    mutable bool m_startChecked = false;
    mutable bool m_damageTold = false;
    mutable QStringList m_damagedBeforeStart;
    mutable bool m_dropTold = false;
    mutable bool m_telling = false; // OnError is running
};
