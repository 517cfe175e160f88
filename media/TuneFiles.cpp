#include "media/TuneFiles.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

TTuneRefusal Judge(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) return TTuneRefusal::NotAFile;
    if (info.st_size > MaxTuneBytes) return TTuneRefusal::TooLarge;
    return TTuneRefusal::None;
}

// One line per file and reason for the whole run: the listing is made again each time the
// player has switched through every tune, and the same pipe need not be reported every time.
void Tell(const QString& path, TTuneRefusal refusal, int error) {
    static std::set<std::pair<QString, TTuneRefusal>> told;
    if (!told.insert({path, refusal}).second) return;
    QString shown = path;
    for (QChar& c : shown) // a line break in a file name must not make a second line
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char('?');
    QByteArray why;
    switch (refusal) {
    case TTuneRefusal::NotAFile:
        why = "it is not a regular file";
        break;
    case TTuneRefusal::TooLarge:
        why = "it is larger than " + QByteArray::number(MaxTuneBytes / (1024 * 1024)) + " MiB";
        break;
    case TTuneRefusal::Unreadable:
        why = QByteArray("it cannot be read (") + std::strerror(error) + ")";
        break;
    case TTuneRefusal::None:
        return;
    }
    std::fprintf(stderr, "Zelvano: the music file %s is not played: %s\n", shown.toLocal8Bit().constData(),
                 why.constData());
}

} // namespace

QStringList ListMusic(const QStringList& folders) {
    QStringList paths;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        // System takes in what is not a regular file, so that it is reported rather than
        // silently missing.
        for (const QString& name : dir.entryList({QStringLiteral("*.mid")},
                                                 QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted)) {
            const QString path = dir.filePath(name);
            struct stat info {};
            const bool found = ::stat(QFile::encodeName(path).constData(), &info) == 0;
            const int error = errno;
            const TTuneRefusal refusal = found ? Judge(info) : TTuneRefusal::Unreadable;
            if (refusal == TTuneRefusal::None)
                paths << path;
            else
                Tell(path, refusal, error);
        }
    }
    return paths;
}

TTuneBytes ReadTuneFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const auto refuse = [&path](TTuneRefusal refusal, int error = 0) {
        Tell(path, refusal, error);
        return TTuneBytes{{}, refusal};
    };
    // Looked at before it is opened: opening a device can do things of its own (a terminal,
    // a tape), and a pipe is better not touched at all.
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) return refuse(TTuneRefusal::Unreadable, errno);
    if (const TTuneRefusal refusal = Judge(info); refusal != TTuneRefusal::None) return refuse(refusal);
    // The name may have been given to a pipe since: without O_NONBLOCK, opening one waits for
    // a writer for ever. What counts is what was opened.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return refuse(TTuneRefusal::Unreadable, errno);
    TTuneBytes out;
    int error = 0;
    if (::fstat(fd, &info) != 0) {
        out.refusal = TTuneRefusal::Unreadable;
        error = errno;
    } else if (out.refusal = Judge(info); out.refusal == TTuneRefusal::None) {
        // As long as it was when it was opened: a file that grows meanwhile is not followed.
        out.bytes.resize(qsizetype(info.st_size));
        qsizetype got = 0;
        while (got < out.bytes.size()) {
            const ssize_t n = ::read(fd, out.bytes.data() + got, std::size_t(out.bytes.size() - got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                out.refusal = TTuneRefusal::Unreadable;
                error = errno;
                break;
            }
            if (n == 0) break; // shrunk meanwhile: what is there
            got += n;
        }
        out.bytes.truncate(got);
    }
    ::close(fd);
    if (out.refusal != TTuneRefusal::None) return refuse(out.refusal, error);
    return out;
}
