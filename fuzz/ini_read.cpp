// Reading the settings file: any file text, the game's keys looked up in it as texts,
// integers and flags, singly and from one snapshot, with damaged values told once at most;
// and the escaping of values and names on arbitrary text.
//
// Input: the whole settings file, bytes as they lie on disk.

#include "fuzz/FuzzSupport.h"
#include "fuzz/IniFile.h"
#include "settings/StatisticsStore.h"

namespace {

bool IsControl(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }

// Escaping any text and unescaping it again gives the text back, and the escaped form is a
// single line whose ends no trimming can touch.
void CheckEscaping(const QString& text) {
    const QString value = TIniStore::EscapeValue(text);
    FUZZ_CHECK(TIniStore::Unescape(value) == text);
    for (QChar c : value)
        FUZZ_CHECK(!IsControl(c));
    FUZZ_CHECK(TrimBlanks(value).size() == value.size());

    const QString name = TIniStore::EscapeName(text);
    FUZZ_CHECK(TIniStore::Unescape(name) == text);
    for (QChar c : name)
        FUZZ_CHECK(!IsControl(c) && c != u'=' && c != u'[' && c != u']' && c != u';' && c != u'#');
    FUZZ_CHECK(TrimBlanks(name).size() == name.size());
}

void CheckKey(const TIniStore& ini, const QString& key) {
    const QString section = QStringLiteral("common");
    const std::optional<QString> text = StoredText(ini, section, key);
    // Section and key are matched without regard to case.
    FUZZ_CHECK(StoredText(ini, section.toUpper(), key.toUpper()) == text);

    // An integer is the stored text as a decimal integer, blanks around it aside; anything
    // else gives the default.
    const std::optional<int> number = text ? ReferenceDecimalInt(TrimBlanks(*text)) : std::nullopt;
    const bool isNumber = number.has_value();
    const int value = number.value_or(0);
    for (const int def : {-7, 2147483647})
        FUZZ_CHECK(ini.ReadInt(section, key, def) == (isNumber ? value : def));
    // A flag is an integer read, non-zero meaning true.
    for (const bool def : {false, true})
        FUZZ_CHECK(ini.ReadFlag(section, key, def) == (isNumber ? value != 0 : def));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    WriteFuzzIni(bytes);

    TIniStore ini(FuzzIniPath());
    ini.OnError = [](const QString&) {}; // a refused value is reported and read as the default
    // A few of the game's keys: every lookup reads the whole file again.
    for (const QString& key : {QStringLiteral("level"), QStringLiteral("sound"), QStringLiteral("player"),
                               QStringLiteral("hsd14")})
        CheckKey(ini, key);

    // One snapshot of the file gives every value as a read of its own does.
    const TIniSnapshot stored = ini.Snapshot();
    for (const QString& key : GameKeys())
        FUZZ_CHECK(stored.Text(QStringLiteral("common"), key) ==
                   StoredText(ini, QStringLiteral("common"), key));

    // However many values are damaged, the player hears of it once at most in a run.
    TIniStore started(FuzzIniPath());
    int told = 0;
    started.OnError = [&told](const QString&) { ++told; };
    started.CheckAtStart();
    for (int round = 0; round < 2; ++round) {
        const TIniSnapshot again = started.Snapshot();
        for (const QString& key : GameKeys())
            (void)again.ReadText(QStringLiteral("common"), key, QString());
        (void)ReadStatistics(started);
    }
    FUZZ_CHECK(told <= 1);

    // A read never changes the file.
    FUZZ_CHECK(ReadFuzzIni() == bytes);

    CheckEscaping(InputText(data, size));
    return 0;
}
