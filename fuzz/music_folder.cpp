// A player's music folder with anything in it under a *.mid name: tunes, pipes, links to
// endless devices, to folders, to nothing and to each other, files a little over the size a
// tune may have. The listing must take in only what can be read, reading must never wait
// (libFuzzer's time limit catches a hang) nor take more than a tune's size, and a regular
// file must come back as it was written.
//
// Input: entries one after the other, each a kind byte and a length byte followed by that
// many bytes (a tune's contents, or the choice of a link's target or of a size).

#include "fuzz/FuzzSupport.h"
#include "media/MidiLength.h"
#include "media/TuneFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <map>
#include <sys/stat.h>

namespace {

const QString& FuzzFolder() {
    static const QString path = [] {
        QByteArray folder = QFile::encodeName(QDir::tempPath() + QStringLiteral("/zelvano-music-XXXXXX"));
        if (!::mkdtemp(folder.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        static const QString dir = QFile::decodeName(folder);
        std::atexit([] { QDir(dir).removeRecursively(); });
        return dir;
    }();
    return path;
}

enum Kind { Tune, Pipe, Zero, NearTheLimit, LinkToEarlier, Dangling, Folder, KindCount };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QDir base(FuzzFolder());
    base.removeRecursively();
    FUZZ_CHECK(base.mkpath(QStringLiteral("music")) && base.mkpath(QStringLiteral("elsewhere")));
    const QString music = base.filePath(QStringLiteral("music")) + QLatin1Char('/');
    const QString elsewhere = base.filePath(QStringLiteral("elsewhere"));

    std::map<QString, QByteArray> written; // what a read of each readable name must give
    QStringList names;
    std::size_t at = 0;
    for (int i = 0; at + 2 <= size && i < 16; ++i) {
        const int kind = (data[at] & 0x7F) % KindCount;
        // Upper and lower case: the folder is searched for *.mid regardless of case.
        const QString name =
            QString::number(i) + (data[at] & 0x80 ? QStringLiteral(".MID") : QStringLiteral(".mid"));
        const std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
        const QByteArray bytes(reinterpret_cast<const char*>(data + at + 2), qsizetype(length));
        at += 2 + length;
        const QString path = music + name;
        const int choice = bytes.isEmpty() ? 0 : std::uint8_t(bytes[0]);
        switch (kind) {
        case Tune: {
            QFile f(path);
            FUZZ_CHECK(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
            written[path] = bytes;
            break;
        }
        case Pipe:
            FUZZ_CHECK(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
            break;
        case Zero:
            FUZZ_CHECK(QFile::link(QStringLiteral("/dev/zero"), path));
            break;
        case NearTheLimit: { // sparse: costs no memory until read
            QFile f(path);
            const qint64 fileSize = MaxTuneBytes - 2 + choice % 4;
            FUZZ_CHECK(f.open(QIODevice::WriteOnly) && f.resize(fileSize));
            if (fileSize <= MaxTuneBytes) written[path] = QByteArray(qsizetype(fileSize), '\0');
            break;
        }
        case LinkToEarlier:
            if (names.isEmpty()) {
                FUZZ_CHECK(QFile::link(elsewhere, path));
            } else {
                const QString target = music + names.at(choice % names.size());
                FUZZ_CHECK(QFile::link(target, path));
                if (written.count(target)) written[path] = written[target];
            }
            break;
        case Dangling:
            FUZZ_CHECK(QFile::link(elsewhere + QStringLiteral("/gone"), path));
            break;
        case Folder:
            FUZZ_CHECK(QDir(music).mkdir(name));
            break;
        }
        names << name;
    }

    const QStringList listed = ListMusic({music});
    FUZZ_CHECK(QSet<QString>(listed.begin(), listed.end()).size() == listed.size());
    for (const QString& path : listed)
        FUZZ_CHECK(written.count(path));
    for (const QString& name : names) {
        const QString path = music + name;
        const TTuneBytes read = ReadTuneFile(path);
        FUZZ_CHECK(read.bytes.size() <= MaxTuneBytes);
        const auto expected = written.find(path);
        if (expected == written.end()) {
            FUZZ_CHECK(read.refusal != TTuneRefusal::None && read.bytes.isEmpty());
            continue;
        }
        FUZZ_CHECK(read.refusal == TTuneRefusal::None && read.bytes == expected->second);
        FUZZ_CHECK(listed.contains(path));
        // What was read goes on to the tune's parser, as in the game.
        FUZZ_CHECK(MidiLengthMs(read.bytes) >= -1);
    }
    return 0;
}
