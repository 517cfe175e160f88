// Sound effects and music: what reaches the audio device, the order in which the music
// files take turns, and that every failure stays silent.
#include "media/DataFolder.h"
#include "media/Media.h"
#include "media/TuneFiles.h"
#include "settings/MusicFolder.h"
#include "tests/media/SmfBytes.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <future>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// These tests never want a real sound card, whatever the shell running them has.
const bool DummyAudio = [] {
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    return true;
}();

QByteArray Smf(int noteTicks, int program = 0)
{
    const std::vector<std::uint8_t> file = SmfBytes(noteTicks, program);
    return QByteArray(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
}

QByteArray TinyMidi(int noteTicks) { return Smf(noteTicks); }

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The music files of a folder in the order the file system hands them out.
QStringList Listing(const QString& folder)
{
    return QDir(folder).entryList({"*.mid"}, QDir::Files, QDir::Unsorted);
}

// Switches SDL to its disk driver for one test: whatever the mixer plays lands as raw
// 16-bit samples in a file, in real time.
class DiskAudio {
public:
    DiskAudio() : m_path(m_dir.filePath("out.raw"))
    {
        CloseAudio();
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_path));
    }
    ~DiskAudio()
    {
        CloseAudio();
        qputenv("SDL_AUDIODRIVER", "dummy");
    }
    // Closes the device (which flushes the file) and returns the largest sample.
    int Peak()
    {
        CloseAudio();
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray raw = f.readAll();
        const auto* s = reinterpret_cast<const std::int16_t*>(raw.constData());
        int peak = 0;
        for (qsizetype i = 0; i < raw.size() / 2; ++i)
            peak = std::max(peak, std::abs(int(s[i])));
        return peak;
    }
    qint64 Bytes() const { return QFileInfo(m_path).size(); }
    QString Path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

TEST(Effects, EveryEffectIsBuiltInAsSmallPcm)
{
    ASSERT_TRUE(OpenAudio());
    for (const char* name : {"MIX", "UP", "DOWN", "FALSCH", "TAKE", "COLLECT", "DONE", "LOST"}) {
        SCOPED_TRACE(name);
        QFile f(QString(":/sounds/%1.wav").arg(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray wav = f.readAll();
        ASSERT_GT(wav.size(), 44);
        auto u16 = [&wav](int at) { return quint8(wav[at]) | quint8(wav[at + 1]) << 8; };
        EXPECT_EQ(wav.left(4), "RIFF");
        EXPECT_EQ(wav.mid(8, 4), "WAVE");
        EXPECT_EQ(u16(20), 1);                         // PCM
        EXPECT_EQ(u16(22), 1);                         // mono
        EXPECT_EQ(u16(24) | u16(26) << 16, 22050);    // samples per second
        EXPECT_EQ(u16(34), 8);                         // bits per sample
        EXPECT_EQ(quint8(wav[44]), 128) << "starts on silence";
        EXPECT_EQ(quint8(wav.back()), 128) << "ends on silence";
        Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(wav.constData(), int(wav.size())), 1);
        EXPECT_NE(chunk, nullptr) << Mix_GetError();
        Mix_FreeChunk(chunk);
    }
    CloseAudio();
}

TEST(Effects, ANewEffectCutsOffTheOldOne)
{
    ASSERT_TRUE(OpenAudio());
    PlayEffect("DONE");
    PlayEffect("TAKE");
    EXPECT_EQ(Mix_Playing(-1), 1);
    EXPECT_TRUE(Mix_Playing(0));
    CloseAudio();
}

struct HeardCase {
    const char* effect;
    bool heard;
};
class EffectOnDevice : public testing::TestWithParam<HeardCase> {};

TEST_P(EffectOnDevice, IsHeardOnlyWhenItExists)
{
    DiskAudio disk;
    PlayEffect(GetParam().effect);
    std::this_thread::sleep_for(400ms);
    ASSERT_GT(disk.Bytes(), 0) << "the disk driver wrote nothing at all";
    const int peak = disk.Peak();
    if (GetParam().heard)
        EXPECT_GT(peak, 1000);
    else
        EXPECT_EQ(peak, 0);
}

INSTANTIATE_TEST_SUITE_P(Media, EffectOnDevice,
                         testing::Values(HeardCase{"TAKE", true}, HeardCase{"NOSUCH", false}),
                         [](const testing::TestParamInfo<HeardCase>& info) {
                             return std::string(info.param.effect);
                         });

// A folder with three short tunes and a file that is not music.
class MusicFolder : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"a.mid", "b.mid", "c.mid"})
            WriteFile(dir.filePath(name), TinyMidi(96 * 8));
        WriteFile(dir.filePath("notes.txt"), "not music");
        folder = dir.path() + "/";
        order = Listing(folder);
        ASSERT_EQ(order.size(), 3);
    }
    void TearDown() override { CloseAudio(); }

    QTemporaryDir dir;
    QString folder;
    QStringList order;
};

TEST_F(MusicFolder, SwitchingWalksTheListingAndWraps)
{
    TMusic music;
    bool musicOn = true;
    music.Start(folder);
    EXPECT_EQ(music.FileName(), order[0]);
    EXPECT_FALSE(music.IsPlaying()) << "opening alone does not play";
    music.KeepAlive(musicOn);
    EXPECT_TRUE(music.IsPlaying());

    for (int next : {1, 2, 0, 1}) {
        music.Switch(musicOn);
        EXPECT_FALSE(musicOn);
        EXPECT_FALSE(music.IsPlaying());
        music.KeepAlive(musicOn);
        EXPECT_FALSE(music.IsPlaying()) << "music switched off stays off";
        music.Switch(musicOn);
        EXPECT_TRUE(musicOn);
        EXPECT_EQ(music.FileName(), order[next]);
        EXPECT_TRUE(music.IsPlaying());
    }
}

TEST_F(MusicFolder, StartedWithMusicOffTheFirstSwitchPlaysTheSecondFile)
{
    TMusic music;
    bool musicOn = false;
    music.Start(folder);
    EXPECT_TRUE(music.IsOpen());
    music.KeepAlive(musicOn);
    EXPECT_FALSE(music.IsPlaying());
    music.Switch(musicOn);
    EXPECT_TRUE(musicOn);
    EXPECT_EQ(music.FileName(), order[1]);
    EXPECT_TRUE(music.IsPlaying());
}

TEST_F(MusicFolder, ThePlayersOwnTunesFollowTheGames)
{
    QTemporaryDir own;
    WriteFile(own.filePath("mine.mid"), TinyMidi(96));
    TMusic music;
    bool musicOn = true;
    // A player who never made a music folder is the common case.
    music.Start(QStringList{folder, dir.filePath("no-such-folder"), own.path() + "/"});
    EXPECT_EQ(music.FileName(), order[0]);
    for (const QString& next : {order[1], order[2], QString("mine.mid"), order[0]}) {
        music.Switch(musicOn);
        music.Switch(musicOn);
        EXPECT_EQ(music.FileName(), next);
        EXPECT_TRUE(music.IsPlaying()) << next.toStdString();
    }
}

// The tune repeats by itself; should the mixer stop it all the same, the next tick starts it
// again from its beginning (only while the music is on).
TEST(Music, AStoppedTuneStartsAgainOnTheNextTick)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("short.mid"), TinyMidi(10));
    TMusic music;
    music.Start(dir.path() + "/");
    music.KeepAlive(true);
    ASSERT_TRUE(music.IsPlaying());
    std::this_thread::sleep_for(600ms);
    EXPECT_TRUE(music.IsPlaying()) << "a tune shorter than a tick goes round by itself";
    Mix_HaltMusic();
    ASSERT_FALSE(music.IsPlaying());
    music.KeepAlive(false);
    EXPECT_FALSE(music.IsPlaying());
    music.KeepAlive(true);
    EXPECT_TRUE(music.IsPlaying());
    CloseAudio();
}

TEST(Music, TheTunesBesideTheProgramAreAccepted)
{
    const QString folder = ZELVANO_MUSIC_DIR;
    const QStringList tunes = Listing(folder);
    ASSERT_GE(tunes.size(), 3);
    TMusic music;
    bool musicOn = true;
    music.Start(folder);
    for (int i = 0; i < tunes.size(); ++i) {
        SCOPED_TRACE(music.FileName().toStdString());
        EXPECT_TRUE(music.IsOpen());
        music.Switch(musicOn); // off
        music.Switch(musicOn); // on, next tune
    }
    CloseAudio();
}

// Also through a synthesizer that reads the soundfont's samples only when the tune asks for
// its instrument, from the font cut down to the tune's instruments: the notes must sound all
// the same.
TEST(Music, PlaysOnTheDevice)
{
    DiskAudio disk;
    QTemporaryDir dir;
    WriteFile(dir.filePath("tune.mid"), TinyMidi(192));
    TMusic music;
    const int onDemand = SynthsLoadingSamplesOnDemand();
    const int cutDown = TunesOnCutDownFonts();
    music.Start(dir.path() + "/");
    EXPECT_GT(SynthsLoadingSamplesOnDemand(), onDemand) << "the mixer's synthesizer skipped the program's settings";
    if (QFile::exists(QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"))) {
        EXPECT_GT(TunesOnCutDownFonts(), cutDown) << "the tune got the whole soundfont";
    }
    music.KeepAlive(true);
    std::this_thread::sleep_for(800ms);
    EXPECT_GT(disk.Peak(), 1000);
}

// What may lie in a player's music folder under a *.mid name, and what becomes of it.
struct FolderEntry {
    const char* name;
    TTuneRefusal refusal;
    qint64 bytesRead; // when accepted
    bool told;        // in a line on stderr when the folder is listed; a folder is no file to it
    std::function<bool(const QString& path, const QString& elsewhere)> make;
};

bool Sparse(const QString& path, qint64 size) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.resize(size);
}

bool Link(const QString& target, const QString& path) {
    return QFile::link(target, path);
}

const qint64 TinySize = TinyMidi(96).size();

const FolderEntry FolderEntries[] = {
    {"tune.mid", TTuneRefusal::None, TinySize, false,
     [](const QString& p, const QString&) {
         WriteFile(p, TinyMidi(96));
         return true;
     }},
    {"linked.mid", TTuneRefusal::None, TinySize, false,
     [](const QString& p, const QString& elsewhere) {
         WriteFile(elsewhere + "/real", TinyMidi(96));
         return Link(elsewhere + "/real", p);
     }},
    {"empty.mid", TTuneRefusal::None, 0, false,
     [](const QString& p, const QString&) { return Sparse(p, 0); }},
    {"as-large-as-may-be.mid", TTuneRefusal::None, MaxTuneBytes, false,
     [](const QString& p, const QString&) { return Sparse(p, MaxTuneBytes); }},
    {"a-byte-too-large.mid", TTuneRefusal::TooLarge, 0, true,
     [](const QString& p, const QString&) { return Sparse(p, MaxTuneBytes + 1); }},
    {"film.mid", TTuneRefusal::TooLarge, 0, true,
     [](const QString& p, const QString&) { return Sparse(p, 200 << 20); }},
    {"pipe.mid", TTuneRefusal::NotAFile, 0, true,
     [](const QString& p, const QString&) { return mkfifo(QFile::encodeName(p).constData(), 0600) == 0; }},
    {"zero.mid", TTuneRefusal::NotAFile, 0, true,
     [](const QString& p, const QString&) { return Link("/dev/zero", p); }},
    {"folder.mid", TTuneRefusal::NotAFile, 0, false,
     [](const QString& p, const QString& elsewhere) { return Link(elsewhere, p); }},
    {"dangling.mid", TTuneRefusal::Unreadable, 0, true,
     [](const QString& p, const QString& elsewhere) { return Link(elsewhere + "/gone", p); }},
};

// Each kind is read or refused on its own, whether the folder listing let it through or not
// (its name may have been given to a pipe since); only the readable ones are listed, and each
// refused one is told once on stderr, however often the folder is listed again.
TEST(TuneFiles, OnlyRegularFilesOfATunesSizeAreRead) {
    QTemporaryDir dir, elsewhere;
    QStringList expected;
    for (const FolderEntry& e : FolderEntries) {
        ASSERT_TRUE(e.make(dir.filePath(e.name), elsewhere.path())) << e.name;
        if (e.refusal == TTuneRefusal::None) expected << dir.filePath(e.name);
    }

    testing::internal::CaptureStderr();
    QStringList listed = ListMusic({dir.path() + "/"});
    ListMusic({dir.path() + "/"});
    const QString told = QString::fromLocal8Bit(testing::internal::GetCapturedStderr());
    listed.sort();
    expected.sort();
    EXPECT_EQ(listed, expected);
    for (const FolderEntry& e : FolderEntries) {
        SCOPED_TRACE(e.name);
        const QString line = QString("the music file %1 is not played").arg(dir.filePath(e.name));
        EXPECT_EQ(told.count(line), e.told ? 1 : 0) << told.toStdString();

        const TTuneBytes read = ReadTuneFile(dir.filePath(e.name));
        EXPECT_EQ(read.refusal, e.refusal);
        EXPECT_EQ(read.bytes.size(), e.bytesRead);
    }
    EXPECT_EQ(told.count('\n'), told.count("Zelvano: the music file ")) << "one line each";
}

// Opens the pipe for writing whenever somebody waits to read it, so that a reader stuck in
// open() gets an end of file and the test can fail instead of hanging.
bool ReleaseReaders(const QString& pipe) {
    const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0) return false; // nobody reading
    ::close(fd);
    return true;
}

// A pipe, a link to an endless device and a file too large for a tune among the tunes: the
// switch passes over them and never waits.
TEST(Music, FilesThatAreNoTunesArePassedOver) {
    QTemporaryDir dir;
    for (const char* name : {"a.mid", "b.mid"})
        WriteFile(dir.filePath(name), TinyMidi(96 * 8));
    const QString pipe = dir.filePath("pipe.mid");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("zero.mid")));
    ASSERT_TRUE(Sparse(dir.filePath("large.mid"), MaxTuneBytes + 1));

    auto played = std::async(std::launch::async, [&dir] {
        TMusic music;
        bool musicOn = true;
        QStringList names;
        music.Start(dir.path() + "/");
        names << music.FileName();
        for (int i = 0; i < 4; ++i) {
            music.Switch(musicOn); // off
            music.Switch(musicOn); // on, the next file
            EXPECT_TRUE(music.IsPlaying()) << music.FileName().toStdString();
            names << music.FileName();
        }
        CloseAudio();
        return names;
    });
    bool hung = false;
    for (auto waited = 0ms; played.wait_for(100ms) != std::future_status::ready; waited += 100ms)
        if (waited > 10s) hung = ReleaseReaders(pipe) || hung;
    EXPECT_FALSE(hung) << "the game waited on the pipe";
    for (const QString& name : played.get())
        EXPECT_TRUE(name == "a.mid" || name == "b.mid") << name.toStdString();
}

// The longest silence after the first sound (also one that lasts to the window's end) and
// the last sound, in milliseconds from the first sound and within a window, in 16-bit stereo at 44100 frames a second.
struct Silences {
    bool heard = false;
    double longestMs = 0;
    double lastSoundMs = 0;
};
Silences MeasureSilences(const QByteArray& raw, double windowMs)
{
    const auto* s = reinterpret_cast<const std::int16_t*>(raw.constData());
    const qsizetype frames = raw.size() / 4;
    const int threshold = 300;
    Silences out;
    qsizetype first = -1, quietSince = -1;
    for (qsizetype f = 0; f < frames; ++f) {
        const bool loud = std::abs(int(s[2 * f])) > threshold || std::abs(int(s[2 * f + 1])) > threshold;
        if (first < 0) {
            if (loud)
                first = f;
            continue;
        }
        if (f - first > windowMs * 44.1)
            break;
        if (!loud && quietSince < 0)
            quietSince = f;
        if (loud) {
            if (quietSince >= 0)
                out.longestMs = std::max(out.longestMs, (f - quietSince) / 44.1);
            quietSince = -1;
            out.lastSoundMs = (f - first) / 44.1;
        }
    }
    if (first >= 0 && quietSince >= 0) // silence to the end of the window counts as well
        out.longestMs = std::max(out.longestMs, (std::min<qsizetype>(frames, first + windowMs * 44.1) - quietSince) / 44.1);
    out.heard = first >= 0;
    return out;
}

// The tune starts again the moment its last event has passed, not seconds later when the
// player has let its last notes fade. Played on the disk driver.
TEST(Music, ATuneRepeatsWithoutAGap)
{
    DiskAudio disk;
    QTemporaryDir dir;
    // An organ note that sounds to the very end of a 0.4 s tune: any gap is silence between plays.
    WriteFile(dir.filePath("organ.mid"), Smf(77, 16));
    TMusic music;
    music.Start(dir.path() + "/");
    music.KeepAlive(true);
    std::this_thread::sleep_for(2200ms);
    CloseAudio();

    QFile f(disk.Path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const Silences gaps = MeasureSilences(f.readAll(), 1500);
    ASSERT_TRUE(gaps.heard);
    RecordProperty("longest_gap_ms", std::to_string(gaps.longestMs));
    std::printf("longest silence between plays: %.1f ms\n", gaps.longestMs);
    // A single 0.4 s note cannot sound 1.4 s after it began: the tune came round again.
    EXPECT_GE(gaps.lastSoundMs, 1400.0);
    EXPECT_LE(gaps.longestMs, 100.0);
}

// Nothing to play, nothing that plays it, or a file the mixer cannot play: the switch
// still flips the setting, the name stays what was found, and nothing breaks.
struct SilentCase {
    const char* label;
    const char* driver; // audio driver for the run
    const char* file;   // file to put into the folder, or null
    QByteArray contents;
};
class SilentMusic : public testing::TestWithParam<SilentCase> {};

TEST_P(SilentMusic, SwitchStillToggles)
{
    const SilentCase& c = GetParam();
    CloseAudio();
    qputenv("SDL_AUDIODRIVER", c.driver);
    QTemporaryDir dir;
    if (c.file)
        WriteFile(dir.filePath(c.file), c.contents);

    TMusic music;
    music.Start(dir.path() + "/");
    const QString name = music.FileName();
    EXPECT_EQ(name, QString(c.file ? c.file : ""));
    for (int tick = 0; tick < 3; ++tick) {
        music.KeepAlive(true);
        std::this_thread::sleep_for(150ms);
    }
    EXPECT_FALSE(music.IsPlaying());
    EXPECT_FALSE(music.IsOpen()) << "a file that cannot play is not retried on every tick";

    bool musicOn = true;
    for (int i = 0; i < 4; ++i) {
        music.Switch(musicOn);
        EXPECT_EQ(musicOn, i % 2 == 1);
        EXPECT_EQ(music.FileName(), name);
        music.KeepAlive(musicOn);
    }
    PlayEffect("TAKE");
    CloseAudio();
    qputenv("SDL_AUDIODRIVER", "dummy");
}

INSTANTIATE_TEST_SUITE_P(Media, SilentMusic, testing::Values(
    SilentCase{"EmptyFolder", "dummy", nullptr, {}},
    SilentCase{"NotMidi", "dummy", "broken.mid", "this is no tune"},
    SilentCase{"NoDevice", "no-such-driver", "tune.mid", TinyMidi(96)}),
    [](const testing::TestParamInfo<SilentCase>& info) { return std::string(info.param.label); });

TEST(Audio, NoDeviceIsRememberedAndStaysSilent)
{
    CloseAudio();
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    EXPECT_FALSE(OpenAudio());
    qputenv("SDL_AUDIODRIVER", "dummy");
    EXPECT_FALSE(OpenAudio()) << "a failed device is not tried again on every call";
    PlayEffect("UP");
    CloseAudio();
    EXPECT_TRUE(OpenAudio()) << "after closing, the next use tries afresh";
    CloseAudio();
}

// Where the help and the music are looked for: beside the program in a build tree, in the
// installed data folder (reached from the program's folder) once installed.
TEST(DataFolder, BesideTheProgramOrInstalled)
{
    struct Case {
        const char* label;
        bool helpBeside, dataFolder, helpInstalled;
        const char* expected; // relative to the prefix
    };
    const QString installed = QString("games/") + ZELVANO_DATA_FROM_PROGRAM;
    const Case cases[] = {
        {"build tree", true, false, false, "games"},
        {"both: the program's own copy wins", true, true, true, "games"},
        {"installed", false, true, true, nullptr},
        {"installed without help", false, true, false, nullptr},
        {"nothing anywhere", false, false, false, "games"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir prefix;
        const QString program = prefix.filePath("games") + "/";
        const QString data = QDir::cleanPath(prefix.filePath(installed)) + "/";
        ASSERT_TRUE(QDir().mkpath(program));
        if (c.dataFolder) {
            ASSERT_TRUE(QDir().mkpath(data));
        }
        if (c.helpBeside)
            WriteFile(program + "ZLVO1.html", "<html></html>");
        if (c.helpInstalled)
            WriteFile(data + "ZLVO1.html", "<html></html>");
        EXPECT_EQ(DataFolder(program), c.expected ? prefix.filePath(c.expected) + "/" : data);
    }
}

TEST(DataFolder, ThePlayersMusicFollowsXdgDataHome)
{
    const QByteArray home = qgetenv("HOME"), dataHome = qgetenv("XDG_DATA_HOME");
    QTemporaryDir scratch;
    qputenv("HOME", QFile::encodeName(scratch.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.filePath("data")));
    EXPECT_EQ(PlayerMusicFolder(), scratch.filePath("data/zelvano/music/"));
    EXPECT_EQ(PlayerMusicFolderForDisplay(), "~/data/zelvano/music");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(PlayerMusicFolder(), scratch.filePath(".local/share/zelvano/music/"));
    EXPECT_EQ(PlayerMusicFolderForDisplay(), "~/.local/share/zelvano/music");
    qputenv("XDG_DATA_HOME", "/srv/music-for-all");
    EXPECT_EQ(PlayerMusicFolderForDisplay(), "/srv/music-for-all/zelvano/music");
    qputenv("HOME", home);
    if (!dataHome.isNull())
        qputenv("XDG_DATA_HOME", dataHome);
}

} // namespace
