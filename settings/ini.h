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
//
// A write replaces just the one line and keeps every other line of the file as it was.
// It writes a temporary file next to the real one, flushes it to disk and renames it over
// the old one, so a crash or a full disk never leaves a half-written file behind.

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>
#include <utility>

// A signed 32-bit decimal integer: an optional sign and at least one digit, nothing else.
std::optional<int> ParseDecimalInt(QStringView text);

class TLMDIniCtrl {
public:
    explicit TLMDIniCtrl(const QString& path = DefaultPath());

    // $XDG_CONFIG_HOME/Moxelware/Zelvano/V1.ini, XDG_CONFIG_HOME falling back to ~/.config.
    static QString DefaultPath();
    QString Path() const;

    int ReadInt(const QString& section, const QString& key, int def) const;
    bool ReadFlag(const QString& section, const QString& key, bool def) const;
    QString ReadText(const QString& section, const QString& key, const QString& def) const;

    void WriteInt(const QString& section, const QString& key, int value);
    void WriteFlag(const QString& section, const QString& key, bool value);
    void WriteText(const QString& section, const QString& key, const QString& value);
    // Several texts of one section in a single replacement of the file: all of them are
    // stored or, when the write fails, none (reported with the first key).
    void WriteTexts(const QString& section, const QList<std::pair<QString, QString>>& values);

    // Called with the store's German message whenever an access fails (the read then gives
    // the default, the write is lost, and the game goes on). The default handler logs every
    // message and shows the first one of a run in a message box.
    std::function<void(const QString& message)> OnError;

    // The escaping of the file format, open for tests.
    static QString EscapeValue(const QString& value);
    static QString EscapeName(const QString& name);
    static QString Unescape(QStringView text);

private:
    void Report(const QString& message) const;
    // The stored text, or nothing when it is missing or cannot be read (that is reported).
    std::optional<QString> Lookup(const QString& section, const QString& key) const;

    QString m_path;
};
