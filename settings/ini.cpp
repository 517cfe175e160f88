#include "settings/ini.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QStringDecoder>
#include <QStringList>

#include <limits>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The store's messages are German whatever the player's language is.
QString CannotWrite(const QString& key) { return QStringLiteral("Konnte Daten für '%1' nicht setzen").arg(key); }
QString CannotRead(const QString& key) { return QStringLiteral("Konnte Daten für '%1' nicht holen").arg(key); }
QString CannotCreate(const QString& section) {
    return QStringLiteral("Erzeugung von Schlüssel %1 misslungen").arg(section);
}
QString BadType(const QString& key) { return QStringLiteral("Ungültiger Datentyp für '%1'").arg(key); }

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

// Only blanks and tabs are trimmed: any other white space belongs to the value.
QStringView TrimBlanks(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

bool IsControl(char16_t c) { return c < 0x20 || c == 0x7F; }

QString Hex(char16_t c) {
    static const char digits[] = "0123456789ABCDEF";
    return QStringLiteral("\\x") + QLatin1Char(digits[(c >> 4) & 0xF]) + QLatin1Char(digits[c & 0xF]);
}

int HexDigit(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// The file as lines, without their line ends.
struct TIniText {
    QStringList lines;
    QString eol = QStringLiteral("\n");
};

enum class TLoad { Ok, Missing, Failed };

TLoad Load(const QString& path, TIniText& text) {
    QFileInfo info(path);
    if (!info.exists())
        return TLoad::Missing;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return TLoad::Failed;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return TLoad::Failed;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString all = utf8(bytes);
    if (utf8.hasError()) // a file saved by hand in an 8-bit code page: keep its umlauts
        all = QString::fromLatin1(bytes);
    text.lines = all.split(u'\n');
    if (!text.lines.isEmpty() && text.lines.last().isEmpty())
        text.lines.removeLast();
    if (!text.lines.isEmpty() && text.lines.first().endsWith(u'\r'))
        text.eol = QStringLiteral("\r\n");
    // Every carriage return before a line feed belongs to the line end (the store escapes its
    // own): a file converted to CRLF twice ("\r\r\n") still reads, and a rewrite keeps every
    // other line as it reads.
    for (QString& line : text.lines)
        while (line.endsWith(u'\r'))
            line.chop(1);
    return TLoad::Ok;
}

// What one line of the file is.
struct TLine {
    enum Kind { Other, Section, Value } kind = Other;
    QString name;      // section name or key, unescaped
    QStringView value; // the raw value text, blanks trimmed
};

TLine Classify(const QString& line) {
    TLine r;
    QStringView s = TrimBlanks(line);
    if (s.isEmpty() || s[0] == u';' || s[0] == u'#')
        return r;
    if (s[0] == u'[') {
        qsizetype close = s.indexOf(u']');
        if (close > 0) {
            r.kind = TLine::Section;
            r.name = TLMDIniCtrl::Unescape(TrimBlanks(s.mid(1, close - 1)));
        }
        return r;
    }
    qsizetype eq = s.indexOf(u'=');
    if (eq <= 0)
        return r;
    r.kind = TLine::Value;
    r.name = TLMDIniCtrl::Unescape(TrimBlanks(s.left(eq)));
    r.value = TrimBlanks(s.mid(eq + 1));
    return r;
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Replaces the file at path with bytes, all or nothing: the bytes go to a new file in the
// same folder, reach the disk, and only then take the old file's name. Every error of the
// way is checked (QSaveFile of Qt 6.4 renames a short file over the old one when a buffered
// write fails at commit, which would cost the player the highscores on a full disk).
bool SaveAtomically(const QString& path, const QByteArray& bytes) {
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink()) // a linked settings file stays linked: write where the link points
        target = info.symLinkTarget();
    const QByteArray name = QFile::encodeName(target);
    QByteArray temp = name + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat old {};
    if (::stat(name.constData(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    bool ok = true;
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else
            ok = false;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.constData(), name.constData()) == 0;
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    // The new name itself must reach the disk too.
    const int dir = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

// Where a key stands in the file: every line that holds it (the last one counts) and the
// last line that belongs to the section, -1 when there is none.
struct TFound {
    QList<qsizetype> keyLines;
    qsizetype sectionEnd = -1;
};

TFound Find(const TIniText& text, const QString& section, const QString& key) {
    TFound f;
    bool inSection = false;
    for (qsizetype i = 0; i < text.lines.size(); ++i) {
        const TLine line = Classify(text.lines[i]);
        if (line.kind == TLine::Section) {
            inSection = SameName(line.name, section);
            if (inSection)
                f.sectionEnd = i;
        } else if (inSection && line.kind == TLine::Value) {
            f.sectionEnd = i;
            if (SameName(line.name, key))
                f.keyLines.append(i);
        }
    }
    return f;
}

void SetLine(TIniText& text, const QString& section, const QString& key, const QString& value) {
    const QString line = TLMDIniCtrl::EscapeName(key) + u'=' + TLMDIniCtrl::EscapeValue(value);
    const TFound found = Find(text, section, key);
    if (!found.keyLines.isEmpty()) {
        text.lines[found.keyLines.last()] = line;
        for (qsizetype i = found.keyLines.size() - 2; i >= 0; --i) // older copies of the key
            text.lines.removeAt(found.keyLines[i]);
    } else if (found.sectionEnd >= 0) {
        text.lines.insert(found.sectionEnd + 1, line);
    } else {
        if (!text.lines.isEmpty() && !TrimBlanks(text.lines.last()).isEmpty())
            text.lines.append(QString());
        text.lines.append(u'[' + TLMDIniCtrl::EscapeName(section) + u']');
        text.lines.append(line);
    }
}

enum class TRead { Found, Missing, Failed, BadType };

TRead ReadValue(const QString& path, const QString& section, const QString& key, QString& value) {
    TIniText text;
    switch (Load(path, text)) {
    case TLoad::Missing:
        return TRead::Missing;
    case TLoad::Failed:
        return TRead::Failed;
    case TLoad::Ok:
        break;
    }
    const TFound found = Find(text, section, key);
    if (found.keyLines.isEmpty())
        return TRead::Missing;
    const QStringView raw = Classify(text.lines[found.keyLines.last()]).value;
    for (QChar c : raw)
        if (c != u'\t' && IsControl(c.unicode())) // never written by the store: a damaged value
            return TRead::BadType;
    value = TLMDIniCtrl::Unescape(raw);
    return TRead::Found;
}

} // namespace

std::optional<int> ParseDecimalInt(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

TLMDIniCtrl::TLMDIniCtrl(const QString& path) : m_path(path) {
    OnError = [](const QString& message) {
        qWarning().noquote() << "Zelvano settings:" << message;
        // One box per run is enough: the game goes on without the value either way.
        static bool shown = false;
        auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
        if (shown || !app || QGuiApplication::platformName() == QLatin1String("offscreen"))
            return;
        shown = true;
        QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Zelvano"), message);
    };
}

QString TLMDIniCtrl::DefaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Moxelware/Zelvano/V1.ini");
}

QString TLMDIniCtrl::Path() const { return m_path; }

void TLMDIniCtrl::Report(const QString& message) const {
    if (OnError)
        OnError(message);
}

std::optional<QString> TLMDIniCtrl::Lookup(const QString& section, const QString& key) const {
    QString value;
    switch (ReadValue(m_path, section, key, value)) {
    case TRead::Found:
        return value;
    case TRead::Missing:
        break;
    case TRead::Failed:
        Report(CannotRead(key));
        break;
    case TRead::BadType:
        Report(BadType(key));
        break;
    }
    return std::nullopt;
}

QString TLMDIniCtrl::ReadText(const QString& section, const QString& key, const QString& def) const {
    return Lookup(section, key).value_or(def);
}

int TLMDIniCtrl::ReadInt(const QString& section, const QString& key, int def) const {
    const std::optional<QString> value = Lookup(section, key);
    return value ? ParseDecimalInt(TrimBlanks(*value)).value_or(def) : def;
}

bool TLMDIniCtrl::ReadFlag(const QString& section, const QString& key, bool def) const {
    return ReadInt(section, key, def ? 1 : 0) != 0;
}

void TLMDIniCtrl::WriteInt(const QString& section, const QString& key, int value) {
    WriteText(section, key, QString::number(value));
}

void TLMDIniCtrl::WriteFlag(const QString& section, const QString& key, bool value) {
    WriteText(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TLMDIniCtrl::WriteText(const QString& section, const QString& key, const QString& value) {
    WriteTexts(section, {{key, value}});
}

void TLMDIniCtrl::WriteTexts(const QString& section, const QList<std::pair<QString, QString>>& values) {
    if (values.isEmpty())
        return;
    const QString& firstKey = values.first().first;
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath())) {
        Report(CannotCreate(section));
        return;
    }
    // Two running copies must not lose each other's values between reading and renaming.
    // When the lock cannot be had the write goes ahead anyway, as it would without one.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.tryLock(2000);

    TIniText text;
    if (Load(m_path, text) == TLoad::Failed) { // never replace a file we could not read
        Report(CannotWrite(firstKey));
        return;
    }
    for (const auto& [key, value] : values)
        SetLine(text, section, key, value);
    if (!SaveAtomically(m_path, (text.lines.join(text.eol) + text.eol).toUtf8()))
        Report(CannotWrite(firstKey));
}

QString TLMDIniCtrl::EscapeValue(const QString& value) {
    QString out;
    out.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        switch (c) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u' ':
            if (i == 0 || i == value.size() - 1)
                out += QStringLiteral("\\s");
            else
                out += u' ';
            break;
        default:
            if (IsControl(c))
                out += Hex(c);
            else
                out += QChar(c);
        }
    }
    return out;
}

QString TLMDIniCtrl::EscapeName(const QString& name) {
    QString out = EscapeValue(name);
    QString result;
    for (QChar c : out) {
        if (c == u'=' || c == u'[' || c == u']' || c == u';' || c == u'#')
            result += Hex(c.unicode());
        else
            result += c;
    }
    return result;
}

QString TLMDIniCtrl::Unescape(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar n = text[i + 1];
        if (n == u'\\') {
            out += u'\\';
        } else if (n == u'n') {
            out += u'\n';
        } else if (n == u'r') {
            out += u'\r';
        } else if (n == u't') {
            out += u'\t';
        } else if (n == u's') {
            out += u' ';
        } else if (n == u'x' && i + 3 < text.size() && HexDigit(text[i + 2]) >= 0 &&
                   HexDigit(text[i + 3]) >= 0) {
            out += QChar(char16_t(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3])));
            i += 2;
        } else {
            out += c; // not one of ours: the backslash stays
            continue;
        }
        ++i;
    }
    return out;
}
