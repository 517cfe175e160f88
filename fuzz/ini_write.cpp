// Writing one value into any settings file: the value reads back as written, every other
// value of the game stays as it was, and writing it again changes nothing.
//
// Input: the settings file as it lies on disk, a NUL byte, then one byte choosing the key and
// the kind of write (text, integer, flag), then the value as UTF-8 (for an integer or a
// flag its bytes are folded into a number). Without a NUL the input is both file and value.
// Then a read-merge-write adds one to a counter of section "statistics", keeping the rest, and
// for some inputs a write into the same file filled up to just under the size limit.

#include "fuzz/FuzzSupport.h"
#include "fuzz/IniFile.h"

#include <QMap>

#include <limits>

namespace {

const QString Section = QStringLiteral("common");

int Fold(const QByteArray& bytes) {
    quint32 h = 2166136261u; // FNV-1a
    for (char c : bytes)
        h = (h ^ quint8(c)) * 16777619u;
    return int(h);
}

QMap<QString, std::optional<QString>> StoredValues(const TIniStore& ini) {
    QMap<QString, std::optional<QString>> values;
    for (const QString& key : GameKeys())
        values[key] = StoredText(ini, Section, key);
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype nul = input.indexOf('\0');
    const QByteArray file = nul < 0 ? input : input.left(nul);
    const quint8 choice = nul >= 0 && nul + 1 < input.size() ? quint8(input[nul + 1]) : 0;
    const QByteArray valueBytes = nul < 0 ? input : input.mid(nul + 2);
    const QString& key = GameKeys()[choice % GameKeys().size()];
    const int kind = choice / GameKeys().size() % 3;

    WriteFuzzIni(file);
    TIniStore ini(FuzzIniPath());
    int errors = 0;
    ini.OnError = [&errors](const QString&) { ++errors; };
    QMap<QString, std::optional<QString>> expected = StoredValues(ini);
    errors = 0; // refused values of the old file are not the write's business

    QString written;
    if (kind == 0) {
        written = QString::fromUtf8(valueBytes);
        ini.WriteText(Section, key, written);
    } else if (kind == 1) {
        const int number = Fold(valueBytes);
        written = QString::number(number);
        ini.WriteInt(Section, key, number);
        FUZZ_CHECK(ini.ReadInt(Section, key, number == 5 ? 6 : 5) == number);
    } else {
        const bool flag = Fold(valueBytes) & 1;
        written = flag ? QStringLiteral("1") : QStringLiteral("0");
        ini.WriteFlag(Section, key, flag);
        FUZZ_CHECK(ini.ReadFlag(Section, key, !flag) == flag);
    }
    FUZZ_CHECK(errors == 0);
    FUZZ_CHECK(StoredText(ini, Section, key) == written);
    FUZZ_CHECK(errors == 0); // the store wrote nothing it refuses to read

    expected[key] = written;
    FUZZ_CHECK(StoredValues(ini) == expected);

    // The file is UTF-8 now, and the same write again leaves it byte for byte as it is.
    const QByteArray after = ReadFuzzIni();
    FUZZ_CHECK(QString::fromUtf8(after).toUtf8() == after);
    errors = 0;
    ini.WriteText(Section, key, written);
    FUZZ_CHECK(ReadFuzzIni() == after);
    FUZZ_CHECK(errors == 0);

    // The read-merge-write, as the highscores and the statistics use it: inside the update the
    // change sees what is stored, and what it adds lands with every other value kept.
    const QString counted = QStringLiteral("statistics");
    const QString countKey = QStringLiteral("played");
    const int count = ini.ReadInt(counted, countKey, 0);
    const int next = count == std::numeric_limits<int>::max() ? 0 : count + 1;
    errors = 0;
    bool seen = false;
    FUZZ_CHECK(ini.Update(TIniWhat::Statistics, [&](TIniEdit& edit) {
        seen = edit.Text(Section, key) == written && edit.ReadInt(counted, countKey, 0) == count;
        edit.WriteInt(counted, countKey, next);
    }));
    FUZZ_CHECK(seen);
    FUZZ_CHECK(errors == 0);
    FUZZ_CHECK(ini.ReadInt(counted, countKey, next == 5 ? 6 : 5) == next);
    FUZZ_CHECK(StoredValues(ini) == expected);

    // For one input in four: the same file filled up by another program's section to just
    // under the limit. A write that would take it past the limit drops that section (and says
    // so once), never one of the game's values, and leaves a file the store still reads.
    if (Fold(file) % 4 == 0) {
        QByteArray padded = ReadFuzzIni() + "\n[zelvano-fuzz-padding]\n";
        const QByteArray line = "; " + QByteArray(1000, 'p') + "\n";
        while (padded.size() + line.size() <= TIniStore::MaxFileSize)
            padded += line;
        WriteFuzzIni(padded);
        TIniStore full(FuzzIniPath());
        int told = 0;
        full.OnError = [&told](const QString&) { ++told; };
        const QString longer = written + QString(1500, u'w');
        full.WriteText(Section, key, longer);
        FUZZ_CHECK(told == 1);
        FUZZ_CHECK(ReadFuzzIni().size() <= TIniStore::MaxFileSize);
        expected[key] = longer;
        FUZZ_CHECK(StoredValues(full) == expected);
        FUZZ_CHECK(full.ReadInt(counted, countKey, next == 5 ? 6 : 5) == next);
        FUZZ_CHECK(told == 1);
    }
    return 0;
}
