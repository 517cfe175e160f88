#include "settings/ini.h"

#include "game/Statistics.h"
#include "settings/StatisticsStore.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <ctime>
#include <limits>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

int Fault(TIniStep step) { return TIniStore::FaultHook ? TIniStore::FaultHook(step) : 0; }

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
    if (st.st_size > TIniStore::MaxFileSize) {
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
    QByteArray bytes(qsizetype(TIniStore::MaxFileSize) + 1, Qt::Uninitialized);
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
    if (done > TIniStore::MaxFileSize) {
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
            r.name = TIniStore::Unescape(TrimBlanks(s.mid(1, close - 1)));
        }
        return r;
    }
    qsizetype eq = s.indexOf(u'=');
    if (eq <= 0)
        return r;
    r.kind = TLine::Value;
    r.name = TIniStore::Unescape(TrimBlanks(s.left(eq)));
    r.value = TrimBlanks(s.mid(eq + 1));
    return r;
}

// Sections and keys match without regard to case: each name is compared in its case-folded
// form, code point by code point (a lone surrogate, which no editor should leave, folds to
// U+FFFD).
QString Fold(QStringView name) {
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = name[i].unicode();
        if (c < 0x80) {
            out += QChar(char16_t(c >= u'A' && c <= u'Z' ? c + 32 : c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(name[i], name[i + 1]), ++i;
        else if (QChar::isSurrogate(c))
            c = QChar::ReplacementCharacter;
        const char32_t folded = QChar::toCaseFolded(c);
        if (QChar::requiresSurrogates(folded))
            out += QChar(QChar::highSurrogate(folded)), out += QChar(QChar::lowSurrogate(folded));
        else
            out += QChar(char16_t(folded));
    }
    return out;
}

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

// What a temporary file's name adds to the settings file's, before mkostemp's six characters.
constexpr char TempInfix[] = ".zelvano-write.";

// Replaces the file at target with bytes, all or nothing: the bytes go to a new file in the
// same folder, reach the disk, and only then take the old file's name. Every error of the
// way is checked (QSaveFile of Qt 6.4 renames a short file over the old one when a buffered
// write fails at commit, which would cost the player the highscores on a full disk).
// Returns 0 or the errno of the step that failed.
int SaveAtomically(const QString& target, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(target);
    QByteArray temp = name + TempInfix + "XXXXXX";
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
    // Waits up to waitMs for another copy to let go (see TIniStore::LockWaitMs).
    TWriteLock(const QString& path, int waitMs) {
        const QByteArray name = QFile::encodeName(path);
        m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (m_fd < 0)
            m_fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0)
            return; // the write itself will fail and say why
        for (int waited = 0;;) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                m_held = true;
                return;
            }
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK || waited >= waitMs)
                break;
            Fault(TIniStep::LockBusy);
            ::usleep(10000);
            waited += 10;
        }
        if (waitMs > 0)
            qWarning().noquote() << "Zelvano settings: writing without the lock on" << path;
    }
    ~TWriteLock() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TWriteLock(const TWriteLock&) = delete;
    TWriteLock& operator=(const TWriteLock&) = delete;

    bool Held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};

using TName = std::pair<QString, QString>; // case-folded section and key

bool IsDamaged(QStringView raw) {
    for (QChar c : raw)
        if (c != u'\t' && IsControl(c.unicode())) // never written by the store
            return true;
    return false;
}

} // namespace

// Where every section and key of a text stands, from one pass over it: a lookup is then one
// hash away however long the file is.
struct TIniIndex {
    QHash<TName, QList<qsizetype>> keyLines; // every line that holds the key; the last one counts
    QHash<QString, qsizetype> sectionEnd;    // the last line that belongs to the section

    TIniIndex() = default;
    explicit TIniIndex(const QStringList& lines) {
        QString section;
        bool inSection = false;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const TLine line = Classify(lines[i]);
            if (line.kind == TLine::Section) {
                section = Fold(line.name);
                inSection = true;
                sectionEnd[section] = i;
            } else if (inSection && line.kind == TLine::Value) {
                sectionEnd[section] = i;
                keyLines[{section, Fold(line.name)}].append(i);
            }
        }
    }

    // Lines were put in or taken out at the line at: every line from there on moved by.
    void Shift(qsizetype at, qsizetype by) {
        for (auto it = keyLines.begin(); it != keyLines.end(); ++it)
            for (qsizetype& line : *it)
                if (line >= at)
                    line += by;
        for (qsizetype& end : sectionEnd)
            if (end >= at)
                end += by;
    }

    const QList<qsizetype>* Lines(const TName& name) const {
        const auto found = keyLines.constFind(name);
        return found == keyLines.cend() || found->isEmpty() ? nullptr : &*found;
    }
};

namespace {

void SetLine(TIniText& text, TIniIndex& index, const QString& section, const QString& key,
             const QString& value) {
    const QString line = TIniStore::EscapeName(key) + u'=' + TIniStore::EscapeValue(value);
    const TName name{Fold(section), Fold(key)};
    if (const QList<qsizetype>* found = index.Lines(name)) {
        const QList<qsizetype> copies = *found;
        index.keyLines[name] = {copies.last()};
        text.lines[copies.last()] = line;
        for (qsizetype i = copies.size() - 2; i >= 0; --i) { // older copies of the key
            text.lines.removeAt(copies[i]);
            index.Shift(copies[i] + 1, -1);
        }
    } else if (index.sectionEnd.contains(name.first)) {
        const qsizetype at = index.sectionEnd.value(name.first) + 1;
        if (at < text.lines.size()) // no line moves when the section ends the file
            index.Shift(at, 1);
        text.lines.insert(at, line);
        index.keyLines[name] = {at};
        index.sectionEnd[name.first] = at;
    } else {
        if (!text.lines.isEmpty() && !TrimBlanks(text.lines.last()).isEmpty())
            text.lines.append(QString());
        text.lines.append(u'[' + TIniStore::EscapeName(section) + u']');
        index.keyLines[name] = {text.lines.size()};
        index.sectionEnd[name.first] = text.lines.size();
        text.lines.append(line);
    }
}

enum class TRead { Found, Missing, BadType };

// A value as stored in the loaded text.
TRead FindValue(const TIniText& text, const TIniIndex& index, const QString& section, const QString& key,
                QString& value) {
    const QList<qsizetype>* found = index.Lines({Fold(section), Fold(key)});
    if (!found)
        return TRead::Missing;
    const QStringView raw = Classify(text.lines[found->last()]).value;
    if (IsDamaged(raw))
        return TRead::BadType;
    value = TIniStore::Unescape(raw);
    return TRead::Found;
}

bool IsGameKeyFolded(const TName& name) {
    static const QSet<TName> keys = [] {
        QSet<TName> k;
        const QString common = QStringLiteral("common");
        for (const char* key : {"back", "tongue", "level", "sound", "music", "max", "mainform", "player"})
            k.insert({common, QString::fromLatin1(key)});
        // The highscore lists: levels a to d, 15 rows each.
        for (char level = 'a'; level <= 'd'; ++level)
            for (int row = 0; row < 15; ++row)
                k.insert({common, QStringLiteral("hs") + QLatin1Char(level) + QString::number(row)});
        for (const auto& [key, value] : StatisticsToKeys(Statistics{}))
            k.insert({Fold(StatisticsSection), Fold(QString::fromStdString(key))});
        return k;
    }();
    return keys.contains(name);
}

// The game's own keys whose values are damaged, as the file spells them, in file order.
QStringList DamagedGameKeys(const TIniText& text, const TIniIndex& index) {
    QList<qsizetype> lines;
    for (auto it = index.keyLines.cbegin(); it != index.keyLines.cend(); ++it)
        if (!it->isEmpty() && IsGameKeyFolded(it.key()) && IsDamaged(Classify(text.lines[it->last()]).value))
            lines.append(it->last());
    std::sort(lines.begin(), lines.end());
    QStringList names;
    for (qsizetype line : lines)
        names.append(Classify(text.lines[line]).name);
    return names;
}

QByteArray Serialize(const TIniText& text) {
    QByteArray bytes;
    for (const QString& line : text.lines)
        bytes += line.toUtf8() + '\n';
    return bytes;
}

// A file that would outgrow MaxFileSize: what is not the game's own gives way, the largest
// piece first, until it fits. Pieces are a section without any of the game's keys (with its
// heading), and in the game's sections someone else's key, an older copy of a key (only the
// last one is read) and any other line; keys the change wrote count as the game's own. False
// when the game's own lines alone are too large: then nothing changes.
bool GiveWay(TIniText& text, const QSet<TName>& written, QStringList& named, qsizetype& count) {
    struct TPiece {
        QList<qsizetype> lines;
        qint64 bytes = 0;
        QString name; // empty for a line nobody would miss by name
    };
    const TIniIndex index(text.lines);
    QSet<QString> ownSections{QStringLiteral("common"), Fold(StatisticsSection)};
    for (const TName& name : written)
        ownSections.insert(name.first);

    QList<TPiece> pieces;
    qint64 total = 0;
    bool inOwn = false, inForeign = false;
    QString section, sectionName;
    for (qsizetype i = 0; i < text.lines.size(); ++i) {
        const qint64 size = text.lines[i].toUtf8().size() + 1;
        total += size;
        const TLine line = Classify(text.lines[i]);
        if (line.kind == TLine::Section) {
            section = Fold(line.name);
            sectionName = line.name;
            inOwn = ownSections.contains(section);
            inForeign = !inOwn;
            if (inOwn)
                continue;
            pieces.append({{}, 0, u'[' + line.name + u']'});
        }
        if (inForeign) {
            pieces.last().lines.append(i);
            pieces.last().bytes += size;
            continue;
        }
        if (inOwn && line.kind == TLine::Value) {
            const TName name{section, Fold(line.name)};
            const bool own = IsGameKeyFolded(name) || written.contains(name);
            if (own && index.Lines(name)->last() == i)
                continue;
            const QString label = own ? QString() : u'[' + sectionName + QStringLiteral("] ") + line.name;
            pieces.append({{i}, size, label});
            continue;
        }
        pieces.append({{i}, size, QString()}); // a note, or a line before any section
    }
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const TPiece& a, const TPiece& b) { return a.bytes > b.bytes; });
    QSet<qsizetype> dropped;
    QStringList names;
    qsizetype n = 0;
    for (const TPiece& piece : std::as_const(pieces)) {
        if (total <= TIniStore::MaxFileSize)
            break;
        for (qsizetype line : piece.lines)
            dropped.insert(line);
        total -= piece.bytes;
        ++n;
        if (!piece.name.isEmpty())
            names.append(piece.name);
    }
    if (total > TIniStore::MaxFileSize)
        return false;
    QStringList kept;
    for (qsizetype i = 0; i < text.lines.size(); ++i)
        if (!dropped.contains(i))
            kept.append(text.lines[i]);
    text.lines = kept;
    names.removeDuplicates(); // the copies of one key
    named = names;
    count = n;
    return true;
}

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

// Temporary files of writes that were cut short: named as SaveAtomically names them, our own
// plain files (no link, nobody else's), and untouched for longer than any write takes, so no
// running copy is still writing them. Older versions of the game named them "<name>.XXXXXX",
// as people name their own copies ("V1.ini.backup", "V1.ini.old123"): those are never touched.
QStringList LeftoverTemps(const QString& target) {
    const QFileInfo info(target);
    const QRegularExpression pattern(QStringLiteral("^") + QRegularExpression::escape(info.fileName()) +
                                     QRegularExpression::escape(QLatin1String(TempInfix)) +
                                     QStringLiteral("[A-Za-z0-9]{6}$"));
    const std::time_t now = std::time(nullptr);
    QStringList found;
    const QStringList names =
        QDir(info.absolutePath()).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString& name : names) {
        if (!pattern.match(name).hasMatch())
            continue;
        const QString path = info.absolutePath() + u'/' + name;
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && now - st.st_mtime >= TIniStore::LeftoverAgeSeconds)
            found.append(path);
    }
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

bool IsGameKey(const QString& section, const QString& key) {
    return IsGameKeyFolded({Fold(section), Fold(key)});
}

// ---- TIniValues ----------------------------------------------------------------------

QString TIniValues::ReadText(const QString& section, const QString& key, const QString& def) const {
    return Text(section, key).value_or(def);
}

int TIniValues::ReadInt(const QString& section, const QString& key, int def) const {
    const std::optional<QString> value = Text(section, key);
    return value ? ParseDecimalInt(TrimBlanks(*value)).value_or(def) : def;
}

bool TIniValues::ReadFlag(const QString& section, const QString& key, bool def) const {
    return ReadInt(section, key, def ? 1 : 0) != 0;
}

// ---- TIniEdit ------------------------------------------------------------------------

TIniEdit::TIniEdit(TIniText& text) : m_text(text) {}

TIniEdit::~TIniEdit() = default;

TIniIndex& TIniEdit::Index() const {
    if (!m_index)
        m_index = std::make_unique<TIniIndex>(m_text.lines);
    return *m_index;
}

std::optional<QString> TIniEdit::Text(const QString& section, const QString& key) const {
    QString value;
    if (FindValue(m_text, Index(), section, key, value) == TRead::Found)
        return value;
    return std::nullopt;
}

void TIniEdit::WriteText(const QString& section, const QString& key, const QString& value) {
    SetLine(m_text, Index(), section, key, value);
    m_written.insert({Fold(section), Fold(key)});
}

// ---- TIniSnapshot ---------------------------------------------------------------------

struct TIniSnapshot::TData {
    TIniText text;
    TIniIndex index;
    TIniCause failure = TIniCause::None; // the file is there but could not be read
};

std::optional<QString> TIniSnapshot::Text(const QString& section, const QString& key) const {
    if (!m_data)
        return std::nullopt;
    if (m_data->failure != TIniCause::None) {
        if (m_store)
            m_store->ReadFailed(key, m_data->failure);
        return std::nullopt;
    }
    QString value;
    switch (FindValue(m_data->text, m_data->index, section, key, value)) {
    case TRead::Found:
        return value;
    case TRead::Missing:
        break;
    case TRead::BadType:
        if (m_store)
            m_store->ValueDamaged(*this, key);
        break;
    }
    return std::nullopt;
}


// ---- TIniStore -----------------------------------------------------------------------

std::function<int(TIniStep)> TIniStore::FaultHook;
std::function<void(const QString&)> TIniStore::MessageWindow;

TIniStore::TIniStore(const QString& path) : m_path(path) {
    OnError = [](const QString& message) {
        LogMessage(message);
        ShowMessage(message);
    };
}

void TIniStore::LogMessage(const QString& message) {
    qWarning().noquote() << "Zelvano settings:" << QString(message).replace(u'\n', u' ');
}

void TIniStore::ShowMessage(const QString& message) {
    if (MessageWindow)
        MessageWindow(message);
}

QString TIniStore::DefaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Moxelware/Zelvano/V1.ini");
}

QString TIniStore::Path() const { return m_path; }

TIniCause TIniStore::CauseOf(int err) {
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

void TIniStore::Report(const QString& legacy, TIniWhat what, TIniCause cause, TIniAccess access) const {
    const QString message = StoreFailureText(legacy, what, cause, access, m_path);
    // A settings write refused for a reason the player was told already is not told again,
    // nor is a par (it belongs to a game whose failed save was told a moment ago); a highscore
    // or the statistics not saved is told every time.
    const bool toldAlready =
        (what == TIniWhat::Settings || what == TIniWhat::Par) && m_reported.contains(int(cause));
    m_reported.insert(int(cause));
    if (toldAlready)
        LogMessage(message);
    else
        Tell(message);
}

void TIniStore::Tell(const QString& message) const {
    if (!OnError)
        return;
    // The message box waits for the player in an event loop of its own, where the next write
    // (the par of the game whose save just failed) may fail for the same reason: one failure,
    // one message, the rest goes to the log.
    if (m_telling) {
        LogMessage(message);
        return;
    }
    m_telling = true;
    OnError(message);
    m_telling = false;
}

void TIniStore::ReadFailed(const QString& key, TIniCause cause) const {
    // Such a file may hold the player's highscores: it is not written over in this run.
    m_blocked = cause;
    Report(StoreCannotReadLine(key), TIniWhat::Settings, cause, TIniAccess::Read);
}

void TIniStore::ValueDamaged(const TIniSnapshot& snapshot, const QString& key) const {
    if (m_damageTold)
        return;
    // Before the start check the player's language may not be known yet: it tells them.
    if (!m_startChecked) {
        if (!m_damagedBeforeStart.contains(key, Qt::CaseInsensitive))
            m_damagedBeforeStart.append(key);
        return;
    }
    QStringList names = DamagedGameKeys(snapshot.m_data->text, snapshot.m_data->index);
    if (!names.contains(key, Qt::CaseInsensitive))
        names.prepend(key);
    TellDamaged(names);
}

void TIniStore::TellDamaged(const QStringList& names) const {
    if (m_damageTold || names.isEmpty())
        return;
    m_damageTold = true;
    Tell(StoreDamagedText(m_path, names));
}

TIniSnapshot TIniStore::Snapshot() const {
    TIniSnapshot snapshot;
    snapshot.m_store = this;
    auto data = std::make_shared<TIniSnapshot::TData>();
    switch (Load(m_path, data->text, data->failure)) {
    case TLoad::Missing:
        return snapshot;
    case TLoad::Failed:
        m_blocked = data->failure; // told at the first value read from it
        break;
    case TLoad::Ok:
        data->index = TIniIndex(data->text.lines);
        break;
    }
    snapshot.m_data = std::move(data);
    return snapshot;
}

void TIniStore::CheckAtStart() {
    m_startChecked = true;
    const QString target = ResolveLinks(m_path);
    if (QFileInfo(m_path).absoluteDir().exists()) {
        // A copy that holds the lock may be halfway through a write: then the leftovers wait
        // for the next start rather than this one waiting for that copy.
        const TWriteLock lock(m_path + QStringLiteral(".lock"), 0);
        if (lock.Held())
            for (const QString& temp : LeftoverTemps(target))
                QFile::remove(temp);
    }
    const TIniSnapshot stored = Snapshot();
    if (stored.m_data && stored.m_data->failure != TIniCause::None) {
        ReadFailed(QFileInfo(m_path).fileName(), stored.m_data->failure);
        return;
    }
    QStringList damaged = m_damagedBeforeStart;
    if (stored.m_data)
        for (const QString& name : DamagedGameKeys(stored.m_data->text, stored.m_data->index))
            if (!damaged.contains(name, Qt::CaseInsensitive))
                damaged.append(name);
    TellDamaged(damaged);
    // Checked again at every write: the player may make it writable while the game runs.
    if (const TIniCause readOnly = ReadOnlyCause(target); readOnly == TIniCause::ReadOnlyFile)
        Report(QString(), TIniWhat::Settings, readOnly, TIniAccess::Start);
}

std::optional<QString> TIniStore::Text(const QString& section, const QString& key) const {
    return Snapshot().Text(section, key);
}

void TIniStore::WriteText(const QString& section, const QString& key, const QString& value) {
    WriteTexts(section, {{key, value}});
}

bool TIniStore::WriteTexts(const QString& section, const QList<std::pair<QString, QString>>& values,
                           TIniWhat what) {
    if (values.isEmpty())
        return true;
    return Update(what, [&](TIniEdit& edit) {
        for (const auto& [key, value] : values)
            edit.WriteText(section, key, value);
    });
}

bool TIniStore::Update(TIniWhat what, const std::function<void(TIniEdit&)>& change) {
    if (m_blocked != TIniCause::None) {
        Report(StoreCannotWriteLine(DryRun(change).key), what, m_blocked, TIniAccess::Write);
        return false;
    }
    const QString target = ResolveLinks(m_path);
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()) || !QDir().mkpath(QFileInfo(target).absolutePath())) {
        const int err = errno;
        Report(StoreCannotCreateLine(DryRun(change).section), what, err ? CauseOf(err) : TIniCause::Other, TIniAccess::Write);
        return false;
    }

    // The player hears of it only once the lock is let go: a message waits for the player,
    // and neither another copy nor this one's next write may wait for that.
    TIniCause failure = TIniCause::None;
    bool unreadable = false;
    QStringList dropped;
    qsizetype droppedCount = 0;
    {
        const TWriteLock lock(m_path + QStringLiteral(".lock"), LockWaitMs);
        TIniText text;
        if (const int err = Fault(TIniStep::Locked)) {
            failure = CauseOf(err);
        } else if (Load(m_path, text, failure) == TLoad::Failed) {
            unreadable = true; // never replace a file we could not read
        } else if ((failure = ReadOnlyCause(target)) == TIniCause::None) {
            TIniEdit edit(text);
            change(edit);
            QByteArray bytes = Serialize(text);
            if (bytes.size() > MaxFileSize) {
                // A larger file would be refused at every later start, and with it the
                // highscores: what is not the game's own gives way instead.
                if (GiveWay(text, edit.m_written, dropped, droppedCount))
                    bytes = Serialize(text);
                else
                    failure = TIniCause::WouldBeTooLarge;
            }
            if (failure == TIniCause::None)
                failure = CauseOf(SaveAtomically(target, bytes));
        }
    }
    if (failure != TIniCause::None) {
        if (unreadable)
            m_blocked = failure;
        Report(StoreCannotWriteLine(DryRun(change).key), what, failure, TIniAccess::Write);
        return false;
    }
    if (droppedCount > 0) {
        const QString message = StoreDroppedText(m_path, dropped, droppedCount);
        if (m_dropTold)
            LogMessage(message);
        else
            Tell(message);
        m_dropTold = true;
    }
    return true;
}

QString TIniStore::EscapeValue(const QString& value) {
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

QString TIniStore::EscapeName(const QString& name) {
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

QString TIniStore::Unescape(QStringView text) {
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
