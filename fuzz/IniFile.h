#pragma once
// The settings store reads only files, so the INI targets hand it one: a file in a folder of
// their own under the temporary folder ($TMPDIR; scripts/fuzz points it at memory), removed
// when the run ends.

#include "fuzz/FuzzSupport.h"
#include "settings/ini.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdlib>

// The keys the game keeps in section "common".
inline const QStringList& GameKeys() {
    static const QStringList keys =
        QStringLiteral("back tongue level sound music max MainForm player hsa0 hsd14").split(u' ');
    return keys;
}

inline const QString& FuzzIniPath() {
    static const QString path = [] {
        QByteArray folder = QFile::encodeName(QDir::tempPath() + QStringLiteral("/zelvano-fuzz-XXXXXX"));
        if (!::mkdtemp(folder.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        static const QString dir = QFile::decodeName(folder);
        std::atexit([] { QDir(dir).removeRecursively(); });
        return dir + QStringLiteral("/V1.ini");
    }();
    return path;
}

inline void WriteFuzzIni(const QByteArray& bytes) {
    QFile file(FuzzIniPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::perror("writing the settings file");
        std::abort();
    }
}

inline QByteArray ReadFuzzIni() {
    QFile file(FuzzIniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whatever a read finds for key, or nothing when it gives the default: two reads with
// different defaults tell a stored value from a missing or refused one.
inline std::optional<QString> StoredText(const TIniStore& ini, const QString& section, const QString& key) {
    static const QString first = QStringLiteral("\x01 default one");
    static const QString second = QStringLiteral("\x02 default two");
    const QString a = ini.ReadText(section, key, first);
    const QString b = ini.ReadText(section, key, second);
    if (a == first && b == second)
        return std::nullopt;
    FUZZ_CHECK(a == b);
    return a;
}
