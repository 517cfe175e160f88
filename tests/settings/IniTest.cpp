// The settings store: encodings, defaults, hand-edited files, and writes that never leave a
// broken file behind.

#include "texts/Language.h"
#include "settings/ini.h"
#include "tests/support/Files.h"
#include "tests/support/Printers.h"
#include "tests/support/ScopedValue.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <climits>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class IniTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.path() + "/Moxelware/Zelvano/V1.ini";
        ini = std::make_unique<TIniStore>(path);
        ini->OnError = [this](const QString& m) { errors << m; };
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<TIniStore> ini;
    QStringList errors;
};

// ---- numbers ----

struct IntCase {
    const char* text;
    std::optional<int> value;
};

TEST(ParseDecimalInt, AcceptsOnlyPlainSigned32BitDecimals) {
    const IntCase cases[] = {
        {"0", 0},           {"-5", -5},          {"+7", 7},          {"007", 7},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"2147483648", {}}, {"-2147483649", {}},
        {"99999999999999999999", {}}, {"", {}},  {"-", {}},          {" 5", {}},
        {"5 ", {}},         {"1e3", {}},         {"0x10", {}},       {"--1", {}},
        {"3.0", {}},        {"abc", {}},
    };
    for (const IntCase& c : cases)
        EXPECT_EQ(ParseDecimalInt(QString::fromUtf8(c.text)), c.value) << c.text;
    EXPECT_EQ(ParseDecimalInt(QString::fromUtf8("\u0665")), std::nullopt) << "digits of other scripts";
}

// ---- reading ----

struct ReadCase {
    const char* name;
    QByteArray file; // nullptr: no file at all
    const char* key;
    int def;
    int expected;
};

TEST_F(IniTest, IntegerAndFlagReadsFallBackToTheDefault) {
    const ReadCase cases[] = {
        {"missing file", QByteArray(), "level", 1, 1},
        {"missing section", "[other]\nlevel=3\n", "level", 1, 1},
        {"missing key", "[common]\nback=2\n", "level", 1, 1},
        {"plain", "[common]\nlevel=3\n", "level", 1, 3},
        {"negative", "[common]\ntongue=-1\n", "tongue", 0, -1},
        {"minus five", "[common]\nback=-5\n", "back", 1, -5},
        {"not a number", "[common]\nlevel=abc\n", "level", 1, 1},
        {"empty value", "[common]\nlevel=\n", "level", 2, 2},
        {"too big", "[common]\nlevel=2147483648\n", "level", 1, 1},
        {"blanks by hand", "[common]\n  level  =  4  \n", "level", 1, 4},
        {"case of names", "[Common]\nLEVEL=4\n", "level", 1, 4},
        {"last copy wins", "[common]\nlevel=2\nlevel=3\n", "level", 1, 3},
        {"section twice", "[common]\nlevel=2\n[x]\n[common]\nback=4\n", "back", 1, 4},
        {"windows file", "\xEF\xBB\xBF; saved by hand\r\n[common]\r\n# note\r\nback=3\r\n", "back", 1, 3},
        {"key before any section", "level=3\n[common]\n", "level", 1, 1},
        {"line without =", "[common]\nlevel\nback=0\n", "level", 1, 1},
    };
    for (const ReadCase& c : cases) {
        QFile::remove(path);
        if (!c.file.isNull())
            WriteAll(path, c.file);
        EXPECT_EQ(ini->ReadInt("common", c.key, c.def), c.expected) << c.name;
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(IniTest, FlagIsAnIntegerReadWhereAnyNonZeroIsOn) {
    WriteAll(path, "[common]\nsound=2\nmusic=abc\nmax=0\nneg=-1\n");
    EXPECT_TRUE(ini->ReadFlag("common", "sound", false));
    EXPECT_TRUE(ini->ReadFlag("common", "music", true));
    EXPECT_FALSE(ini->ReadFlag("common", "music", false));
    EXPECT_FALSE(ini->ReadFlag("common", "max", true));
    EXPECT_TRUE(ini->ReadFlag("common", "neg", false));
    EXPECT_TRUE(ini->ReadFlag("common", "missing", true));
}

TEST_F(IniTest, HandEditedTextsReadSensibly) {
    WriteAll(path, "[common]\nplayer =  Jo Doe \nquoted=\"a,b\"\nwin=C:\\Games\\zelvano\n"
                   "sum=1,2,3=6\n");
    EXPECT_EQ(ini->ReadText("common", "player", "x"), "Jo Doe");
    EXPECT_EQ(ini->ReadText("common", "quoted", "x"), "\"a,b\"");
    EXPECT_EQ(ini->ReadText("common", "win", "x"), "C:\\Games\\zelvano");
    EXPECT_EQ(ini->ReadText("common", "sum", "x"), "1,2,3=6");
    EXPECT_EQ(ini->ReadText("common", "none", "Mr. Brain"), "Mr. Brain");

    WriteAll(path, "[common]\nplayer=J\xF6rg\n"); // an 8-bit file from an old editor
    EXPECT_EQ(ini->ReadText("common", "player", "x"), QString::fromUtf8("Jörg"));
}

// ---- writing ----

TEST_F(IniTest, EveryTextSurvivesARoundTrip) {
    const QString values[] = {
        "",
        " ",
        "  two leading",
        "two trailing  ",
        "a,b,c",
        "\"quoted\"",
        "x=y==z",
        QString::fromUtf8("Jörg Müller ÄÖÜß é ñ"),
        "back\\slash\\",
        "C:\\new\\table",
        "line1\nline2",
        "cr\r\nlf",
        "\ttab\t",
        "\\s \\x41 \\n",
        ";semicolon",
        "#hash",
        "[bracket]",
        QString::fromUtf8("turtle \U0001F422"),
        QString::fromUtf8("nbsp\u00A0"),
        QString(QChar(0)) + "nul\x7f",
    };
    int i = 0;
    for (const QString& v : values)
        ini->WriteText("common", QString("k%1").arg(i++), v);
    // A second store on the same file, as a second running copy of the game would be.
    TIniStore other(path);
    i = 0;
    for (const QString& v : values) {
        const QString key = QString("k%1").arg(i++);
        EXPECT_EQ(other.ReadText("common", key, "default"), v) << key.toStdString();
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(IniTest, NamesWithSpecialCharactersStayApart) {
    ini->WriteText("common", "a=b", "1");
    ini->WriteText("common", "a", "2");
    ini->WriteText("[x]", " k ", "3");
    ini->WriteText("common", "#c", "4");
    EXPECT_EQ(ini->ReadText("common", "a=b", ""), "1");
    EXPECT_EQ(ini->ReadText("common", "a", ""), "2");
    EXPECT_EQ(ini->ReadText("[x]", " k ", ""), "3");
    EXPECT_EQ(ini->ReadText("[x]", "k", ""), "");
    EXPECT_EQ(ini->ReadText("common", "#c", ""), "4");
}

TEST_F(IniTest, WritesKeepEveryOtherLineOfTheFile) {
    WriteAll(path, "; my settings\r\n"
                   "[other]\r\n"
                   "level=9\r\n"
                   "\r\n"
                   "[common]\r\n"
                   "level = 2   ; old\r\n"
                   "junk line\r\n"
                   "level=3\r\n"
                   "back=0\r\n"
                   "\r\n"
                   "# end\r\n");
    ini->WriteInt("common", "level", -5);
    ini->WriteFlag("common", "sound", true);
    ini->WriteFlag("new", "max", false);
    ini->WriteText("common", "player", " Jörg, \"der\" =\\ ");
    EXPECT_EQ(ReadAll(path), QByteArray("; my settings\n"
                                        "[other]\n"
                                        "level=9\n"
                                        "\n"
                                        "[common]\n"
                                        "junk line\n"
                                        "level=-5\n"
                                        "back=0\n"
                                        "sound=1\n"
                                        "player=\\sJörg, \"der\" =\\\\\\s\n"
                                        "\n"
                                        "# end\n"
                                        "\n"
                                        "[new]\n"
                                        "max=0\n"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(IniTest, FirstWriteCreatesFolderAndFile) {
    ASSERT_FALSE(QFileInfo::exists(path));
    ini->WriteInt("common", "back", 1);
    EXPECT_EQ(ReadAll(path), QByteArray("[common]\nback=1\n"));
    EXPECT_EQ(ini->ReadInt("common", "back", 4), 1);
}

TEST_F(IniTest, LinkedSettingsFileStaysLinked) {
    const QString real = dir.path() + "/elsewhere.ini";
    WriteAll(real, "[common]\nback=2\n");
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(QFile::link(real, path));
    ini->WriteInt("common", "level", 3);
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(ReadAll(real), QByteArray("[common]\nback=2\nlevel=3\n"));
}

// ---- failures ----

TEST_F(IniTest, FailedWriteReportsAndLeavesTheOldFileWhole) {
    // A file size limit stands in for a full disk; it holds for root too.
    ini->WriteText("common", "hsa0", QString(200, 'x'));
    const QByteArray before = ReadAll(path);
    ASSERT_FALSE(before.isEmpty());

    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ini->WriteText("common", "hsa1", "enough to go past the limit");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QString::fromUtf8("Konnte Daten für 'hsa1' nicht setzen\n\n")));
    EXPECT_TRUE(errors[0].contains("The disk is full.")) << errors[0].toStdString();
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), (QStringList{"V1.ini", "V1.ini.lock"}))
        << "no temporary file is left behind";
    EXPECT_EQ(ini->ReadText("common", "hsa1", "lost"), "lost");
}

TEST_F(IniTest, WriteIntoReadOnlyFolderFails) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    ini->WriteInt("common", "level", 2);
    const QByteArray before = ReadAll(path);
    const QString folder = QFileInfo(path).absolutePath();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    ini->WriteInt("common", "level", 3);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QString::fromUtf8("Konnte Daten für 'level' nicht setzen\n\n")));
    EXPECT_TRUE(errors[0].contains("no permission to write")) << errors[0].toStdString();
    EXPECT_EQ(ReadAll(path), before);
}

TEST_F(IniTest, FolderThatCannotBeMadeReportsTheSection) {
    WriteAll(dir.path() + "/Moxelware", "a file where the folder should be");
    ini->WriteInt("common", "level", 2);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QString::fromUtf8("Erzeugung von Schlüssel common misslungen\n\n")));
    EXPECT_EQ(ini->ReadInt("common", "level", 1), 1);
    EXPECT_EQ(errors.size(), 1) << "a missing file is no error";
}

TEST_F(IniTest, UnreadableStoreGivesDefaultsAndIsNeverOverwritten) {
    QDir().mkpath(path); // a folder where the file should be
    EXPECT_EQ(ini->ReadText("common", "player", "Mr. Brain"), "Mr. Brain");
    ini->WriteText("common", "player", "x");
    // Told once: the write is refused for the reason the read gave already.
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QString::fromUtf8("Konnte Daten für 'player' nicht holen\n\n")));
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// Control characters the store never writes: each damaged value reads as its default, and the
// player hears of it once per start, in the player's own language, however many there are.
TEST_F(IniTest, DamagedValuesAreToldOnceInThePlayersLanguage) {
    const struct {
        int language;
        const char* says;
    } cases[] = {{0, "Some values in the settings file"}, {1, "In der Einstellungsdatei"}};
    QByteArray damaged("[common]\nplayer=ab\x01" "c\nlevel=3");
    damaged.append('\0').append("\nback=2\nother=\x02\n[statistics]\n");
    for (const char* figure : {"played", "won", "lost", "best", "total", "last", "streak", "longest", "ticks",
                               "assisted", "par", "pardeal", "parscore"})
        for (const char level : {'a', 'b', 'c', 'd'})
            damaged.append(figure).append(level).append("=1\x1b[0m\n");
    const TScopedValue keepLanguage(Language);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        WriteAll(path, damaged);
        errors.clear();
        ini = std::make_unique<TIniStore>(path);
        ini->OnError = [this](const QString& m) { errors << m; };
        Language = 0;
        // As the game starts: a few values before it knows the language, then the check.
        EXPECT_EQ(ini->ReadInt("common", "back", 1), 2);
        EXPECT_EQ(ini->ReadInt("common", "level", 1), 1);
        Language = c.language;
        ini->CheckAtStart();
        EXPECT_EQ(ini->ReadText("common", "player", "Mr. Brain"), "Mr. Brain");
        EXPECT_EQ(ini->Snapshot().ReadInt("statistics", "playeda", -1), -1);
        EXPECT_EQ(ini->ReadText("common", "other", "none"), "none");
        ASSERT_EQ(errors.size(), 1) << errors.join('\n').toStdString();
        EXPECT_TRUE(errors[0].startsWith(QString::fromUtf8(c.says))) << errors[0].toStdString();
        for (const char* key : {"player", "level", "playeda"})
            EXPECT_TRUE(errors[0].contains(key)) << errors[0].toStdString();
        EXPECT_FALSE(errors[0].contains("other")) << "not the game's key: nothing to tell";
        ini->WriteText("common", "player", "Jo");
        EXPECT_EQ(ini->ReadText("common", "player", ""), "Jo");
        EXPECT_EQ(errors.size(), 1);
    }
}

TEST(IniPath, FollowsXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/cfg");
    EXPECT_EQ(TIniStore::DefaultPath(), "/tmp/cfg/Moxelware/Zelvano/V1.ini");
    qputenv("XDG_CONFIG_HOME", "relative/is/ignored");
    EXPECT_EQ(TIniStore::DefaultPath(), QDir::homePath() + "/.config/Moxelware/Zelvano/V1.ini");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(TIniStore::DefaultPath(), QDir::homePath() + "/.config/Moxelware/Zelvano/V1.ini");
    qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_EQ(TIniStore().Path(), TIniStore::DefaultPath());
}

} // namespace
