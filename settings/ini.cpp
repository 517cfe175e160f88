#include "settings/ini.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <climits>
#include <limits>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The store's own lines are German whatever the player's language is; Explain() puts the
// player's own words after them.
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

int Fault(TIniStep step) { return TLMDIniCtrl::FaultHook ? TLMDIniCtrl::FaultHook(step) : 0; }

// Splits the file at LF, CRLF and lone CR. A run of carriage returns before a line feed is
// one line end (the store escapes its own), so a file converted to CRLF twice ("\r\r\n")
// reads with no blank lines between.
QList<QByteArray> SplitLines(const QByteArray& all) {
    QList<QByteArray> lines;
    qsizetype begin = 0;
    const qsizetype n = all.size();
    for (qsizetype i = 0; i < n;) {
        const char c = all[i];
        if (c != '\n' && c != '\r') {
            ++i;
            continue;
        }
        lines.append(all.mid(begin, i - begin));
        while (i < n && all[i] == '\r')
            ++i;
        if (i < n && all[i] == '\n' && (c == '\n' || all[i - 1] == '\r'))
            ++i;
        begin = i;
    }
    if (begin < n)
        lines.append(all.mid(begin));
    return lines;
}

// One line of the file as text. Damage stays in its own line: an invalid sequence reads as
// U+FFFD there and nowhere else. A line with no valid multi-byte sequence at all was saved
// by hand in an 8-bit code page and keeps its umlauts.
QString DecodeLine(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    for (QChar c : text)
        if (c.unicode() >= 0x80 && c != QChar::ReplacementCharacter)
            return text;
    return QString::fromLatin1(bytes);
}

enum class TLoad { Ok, Missing, Failed };

TLoad Load(const QString& path, TIniText& text, TIniCause& cause) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        // Also a link whose end is missing (the first write makes it there), and a file where
        // a folder of the path should be (the write will say so).
        if (errno == ENOENT || errno == ENOTDIR)
            return TLoad::Missing;
        cause = TIniCause::Unreadable; // a folder on the way that cannot be entered
        return TLoad::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        cause = TIniCause::NotAFile;
        return TLoad::Failed;
    }
    if (st.st_size > TLMDIniCtrl::MaxFileSize) {
        cause = TIniCause::TooLarge;
        return TLoad::Failed;
    }
    const int injected = Fault(TIniStep::Read);
    const int fd = injected ? -1 : ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        cause = TIniCause::Unreadable;
        return TLoad::Failed;
    }
    // Read at most one byte past the limit: a file that grew since the stat still counts.
    QByteArray bytes(qsizetype(TLMDIniCtrl::MaxFileSize) + 1, Qt::Uninitialized);
    qsizetype done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (got > 0)
            done += got;
        else if (got < 0 && errno == EINTR)
            continue;
        else {
            ok = got == 0;
            break;
        }
    }
    ::close(fd);
    if (!ok) {
        cause = TIniCause::Unreadable;
        return TLoad::Failed;
    }
    if (done > TLMDIniCtrl::MaxFileSize) {
        cause = TIniCause::TooLarge;
        return TLoad::Failed;
    }
    bytes.truncate(done);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    for (const QByteArray& line : SplitLines(bytes))
        text.lines.append(DecodeLine(line));
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

// Follows a chain of links to the file at its end, so that the replacement goes there and
// every link stays a link. A loop or a chain longer than the system's own limit ends at the
// last link reached.
QString ResolveLinks(const QString& path) {
    QString current = path;
    for (int hop = 0; hop < 40; ++hop) {
        const QByteArray name = QFile::encodeName(current);
        struct stat st {};
        if (::lstat(name.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(name.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            return current;
        target.truncate(n);
        const QString next = QFile::decodeName(target);
        current = QDir::isAbsolutePath(next) ? next : QFileInfo(current).absolutePath() + u'/' + next;
    }
    return current;
}

// Replaces the file at target with bytes, all or nothing: the bytes go to a new file in the
// same folder, reach the disk, and only then take the old file's name. Every error of the
// way is checked (QSaveFile of Qt 6.4 renames a short file over the old one when a buffered
// write fails at commit, which would cost the player the highscores on a full disk).
// Returns 0 or the errno of the step that failed.
int SaveAtomically(const QString& target, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(target);
    QByteArray temp = name + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat old {};
    if (::stat(name.constData(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    int err = Fault(TIniStep::TempCreated);
    for (qsizetype done = 0; !err && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else
            err = n < 0 ? errno : ENOSPC;
    }
    if (!err)
        err = Fault(TIniStep::Written);
    if (!err && ::fsync(fd) != 0)
        err = errno;
    if (!err)
        err = Fault(TIniStep::Synced);
    if (::close(fd) != 0 && !err)
        err = errno;
    if (!err && ::rename(temp.constData(), name.constData()) != 0)
        err = errno;
    if (err) {
        ::unlink(temp.constData());
        return err;
    }
    // The new name itself must reach the disk too.
    const int dir = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    Fault(TIniStep::Renamed);
    return 0;
}

// The kernel lock of two running copies on "<file>.lock". It belongs to the open file, so
// it goes with the process however that ends; the lock file itself stays and means nothing.
class TWriteLock {
public:
    explicit TWriteLock(const QString& path) {
        const QByteArray name = QFile::encodeName(path);
        m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (m_fd < 0)
            m_fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0)
            return; // the write itself will fail and say why
        // The other copy holds the lock only while it writes a few kilobytes. One that
        // holds it far longer is stopped or hung: after 5 s the write goes ahead.
        for (int wait = 0; wait < 500; ++wait) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
                return;
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK)
                break;
            Fault(TIniStep::LockBusy);
            ::usleep(10000);
        }
        qWarning().noquote() << "Zelvano settings: writing without the lock on" << path;
    }
    ~TWriteLock() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TWriteLock(const TWriteLock&) = delete;
    TWriteLock& operator=(const TWriteLock&) = delete;

private:
    int m_fd = -1;
};

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

enum class TRead { Found, Missing, BadType };

// A value as stored in the loaded text.
TRead FindValue(const TIniText& text, const QString& section, const QString& key, QString& value) {
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

QString FlagText(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

// A file that has no write permission for anyone was made read-only on purpose; one the
// player cannot write to is read-only for this game either way.
TIniCause ReadOnlyCause(const QString& target) {
    const QByteArray name = QFile::encodeName(target);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return TIniCause::None;
    if ((st.st_mode & 0222) == 0)
        return TIniCause::ReadOnlyFile;
    if (::access(name.constData(), W_OK) != 0)
        return errno == EROFS ? TIniCause::ReadOnlyDisk : TIniCause::ReadOnlyFile;
    return TIniCause::None;
}

// Temporary files of writes that were cut short: "<name>.XXXXXX" as mkostemp makes them.
QStringList LeftoverTemps(const QString& target) {
    const QFileInfo info(target);
    const QRegularExpression pattern(QStringLiteral("^") + QRegularExpression::escape(info.fileName()) +
                                     QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    QStringList found;
    const QStringList names = QDir(info.absolutePath()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        if (pattern.match(name).hasMatch())
            found.append(info.absolutePath() + u'/' + name);
    return found;
}

// Which section and key an edit writes first, to name them in the store's own messages.
struct TFirstWrite {
    QString section = QStringLiteral("common");
    QString key = QStringLiteral("common");
};

TFirstWrite DryRun(const std::function<void(TIniEdit&)>& change) {
    TIniText empty;
    TIniEdit edit(empty);
    change(edit);
    TFirstWrite first;
    for (const QString& line : empty.lines) {
        const TLine l = Classify(line);
        if (l.kind == TLine::Section)
            first.section = l.name;
        else if (l.kind == TLine::Value) {
            first.key = l.name;
            break;
        }
    }
    return first;
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

// ---- TIniEdit ------------------------------------------------------------------------

std::optional<QString> TIniEdit::Text(const QString& section, const QString& key) const {
    QString value;
    if (FindValue(m_text, section, key, value) == TRead::Found)
        return value;
    return std::nullopt;
}

QString TIniEdit::ReadText(const QString& section, const QString& key, const QString& def) const {
    return Text(section, key).value_or(def);
}

int TIniEdit::ReadInt(const QString& section, const QString& key, int def) const {
    const std::optional<QString> value = Text(section, key);
    return value ? ParseDecimalInt(TrimBlanks(*value)).value_or(def) : def;
}

bool TIniEdit::ReadFlag(const QString& section, const QString& key, bool def) const {
    return ReadInt(section, key, def ? 1 : 0) != 0;
}

void TIniEdit::WriteText(const QString& section, const QString& key, const QString& value) {
    SetLine(m_text, section, key, value);
}

void TIniEdit::WriteInt(const QString& section, const QString& key, int value) {
    WriteText(section, key, QString::number(value));
}

void TIniEdit::WriteFlag(const QString& section, const QString& key, bool value) {
    WriteText(section, key, FlagText(value));
}

// ---- TLMDIniCtrl -----------------------------------------------------------------------

std::function<int(TIniStep)> TLMDIniCtrl::FaultHook;

TLMDIniCtrl::TLMDIniCtrl(const QString& path) : m_path(path) {
    OnError = [](const QString& message) {
        LogMessage(message);
        ShowMessage(message);
    };
}

void TLMDIniCtrl::LogMessage(const QString& message) {
    qWarning().noquote() << "Zelvano settings:" << QString(message).replace(u'\n', u' ');
}

void TLMDIniCtrl::ShowMessage(const QString& message) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Zelvano"), message);
}

QString TLMDIniCtrl::DefaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Moxelware/Zelvano/V1.ini");
}

QString TLMDIniCtrl::Path() const { return m_path; }

TIniCause TLMDIniCtrl::CauseOf(int err) {
    switch (err) {
    case 0:
        return TIniCause::None;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return TIniCause::DiskFull;
    case EACCES:
    case EPERM:
        return TIniCause::NoPermission;
    case EROFS:
        return TIniCause::ReadOnlyDisk;
    case EEXIST:
    case ENOTDIR:
    case EISDIR:
        return TIniCause::NotAFile;
    default:
        return TIniCause::Other;
    }
}

void TLMDIniCtrl::Report(const QString& legacy, TIniWhat what, TIniCause cause, TIniAccess access) const {
    // A settings write refused for a reason the player was told already is not told again;
    // a highscore or the statistics not saved is told every time.
    if (what == TIniWhat::Settings && m_reported.contains(int(cause)))
        return;
    m_reported.insert(int(cause));
    if (OnError)
        OnError(Explain(legacy, what, cause, access, m_path));
}

void TLMDIniCtrl::ReadFailed(const QString& key, TIniCause cause) const {
    // Such a file may hold the player's highscores: it is not written over in this run.
    m_blocked = cause;
    Report(CannotRead(key), TIniWhat::Settings, cause, TIniAccess::Read);
}

void TLMDIniCtrl::CheckAtStart() {
    const QString target = ResolveLinks(m_path);
    if (QFileInfo(m_path).absoluteDir().exists()) {
        // Under the lock no other copy is halfway through a write, so every temporary file
        // found is a leftover.
        TWriteLock lock(m_path + QStringLiteral(".lock"));
        for (const QString& temp : LeftoverTemps(target))
            QFile::remove(temp);
    }
    TIniText text;
    TIniCause cause = TIniCause::None;
    if (Load(m_path, text, cause) == TLoad::Failed) {
        ReadFailed(QFileInfo(m_path).fileName(), cause);
        return;
    }
    // Checked again at every write: the player may make it writable while the game runs.
    if (const TIniCause readOnly = ReadOnlyCause(target); readOnly == TIniCause::ReadOnlyFile)
        Report(QString(), TIniWhat::Settings, readOnly, TIniAccess::Start);
}

std::optional<QString> TLMDIniCtrl::Lookup(const QString& section, const QString& key) const {
    TIniText text;
    TIniCause cause = TIniCause::None;
    switch (Load(m_path, text, cause)) {
    case TLoad::Missing:
        return std::nullopt;
    case TLoad::Failed:
        ReadFailed(key, cause);
        return std::nullopt;
    case TLoad::Ok:
        break;
    }
    QString value;
    switch (FindValue(text, section, key, value)) {
    case TRead::Found:
        return value;
    case TRead::Missing:
        break;
    case TRead::BadType:
        if (!m_badKeys.contains(key.toLower())) { // once per value and run, not at every read
            m_badKeys.insert(key.toLower());
            if (OnError)
                OnError(BadType(key));
        }
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
    WriteText(section, key, FlagText(value));
}

void TLMDIniCtrl::WriteText(const QString& section, const QString& key, const QString& value) {
    WriteTexts(section, {{key, value}});
}

bool TLMDIniCtrl::WriteTexts(const QString& section, const QList<std::pair<QString, QString>>& values,
                             TIniWhat what) {
    if (values.isEmpty())
        return true;
    return Update(what, [&](TIniEdit& edit) {
        for (const auto& [key, value] : values)
            edit.WriteText(section, key, value);
    });
}

bool TLMDIniCtrl::Update(TIniWhat what, const std::function<void(TIniEdit&)>& change) {
    if (m_blocked != TIniCause::None) {
        Report(CannotWrite(DryRun(change).key), what, m_blocked, TIniAccess::Write);
        return false;
    }
    const QString target = ResolveLinks(m_path);
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()) || !QDir().mkpath(QFileInfo(target).absolutePath())) {
        const int err = errno;
        Report(CannotCreate(DryRun(change).section), what, err ? CauseOf(err) : TIniCause::Other, TIniAccess::Write);
        return false;
    }
    TWriteLock lock(m_path + QStringLiteral(".lock"));
    if (const int err = Fault(TIniStep::Locked)) {
        Report(CannotWrite(DryRun(change).key), what, CauseOf(err), TIniAccess::Write);
        return false;
    }

    TIniText text;
    TIniCause cause = TIniCause::None;
    if (Load(m_path, text, cause) == TLoad::Failed) { // never replace a file we could not read
        m_blocked = cause;
        Report(CannotWrite(DryRun(change).key), what, cause, TIniAccess::Write);
        return false;
    }
    if (const TIniCause readOnly = ReadOnlyCause(target); readOnly != TIniCause::None) {
        Report(CannotWrite(DryRun(change).key), what, readOnly, TIniAccess::Write);
        return false;
    }
    TIniEdit edit(text);
    change(edit);
    QByteArray bytes;
    for (const QString& line : std::as_const(text.lines))
        bytes += line.toUtf8() + '\n';
    if (const int err = SaveAtomically(target, bytes)) {
        Report(CannotWrite(DryRun(change).key), what, CauseOf(err), TIniAccess::Write);
        return false;
    }
    return true;
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
