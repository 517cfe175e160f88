// The soundfont cut down to a tune's instruments: the tune sounds exactly as it does with the
// whole font, the synthesizer never has to substitute an instrument, and a damaged font is
// refused without reading past its end.
#include "media/MidiLength.h"
#include "media/SoundFont.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const GmFont = "/usr/share/sounds/sf2/default-GM.sf2";

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Tune(const char* name) { return ReadFile(QStringLiteral(ZELVANO_MUSIC_DIR) + QString::fromLatin1(name)); }

int warnings = 0;
void CountWarning(int, const char*, void*) { ++warnings; }

// The first `seconds` of a tune as FluidSynth plays it with the given font, in float samples
// (no dither, so two renders of the same notes are equal to the bit).
std::vector<float> Render(const QString& font, const QByteArray& midi, int seconds)
{
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", 44100);
    // As the game has it: each preset's samples are read when a channel selects it.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    fluid_synth_t* synth = new_fluid_synth(settings);
    std::vector<float> out;
    if (fluid_synth_sfload(synth, QFile::encodeName(font).constData(), 1) != FLUID_FAILED) {
        fluid_player_t* player = new_fluid_player(synth);
        fluid_player_add_mem(player, midi.constData(), std::size_t(midi.size()));
        fluid_player_play(player);
        const int block = 64;
        out.resize(std::size_t(44100 * seconds / block * block) * 2);
        for (std::size_t at = 0; at < out.size(); at += block * 2)
            fluid_synth_write_float(synth, block, out.data() + at, 0, 2, out.data() + at, 1, 2);
        fluid_player_stop(player);
        delete_fluid_player(player);
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return out;
}

class SoundFontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        font = ReadFile(QString::fromLatin1(GmFont));
        if (font.isEmpty())
            GTEST_SKIP() << "no General MIDI soundfont at " << GmFont;
    }
    QByteArray font;
};

TEST(MidiPresetsTest, TakesEveryProgramAndTheFallbacks)
{
    struct Case {
        const char* tune;
        std::set<TPresetId> programs; // besides the start-up presets (0, 0) and (128, 0)
    };
    for (const Case& c : {Case{"Blue Cards.mid", {{0, 11}, {0, 4}, {0, 49}, {0, 32}}},
                          Case{"Quiet Stacks.mid", {{0, 73}, {0, 24}, {0, 32}, {0, 48}}},
                          Case{"Evening Row.mid", {{0, 71}, {0, 89}, {0, 32}}}}) {
        std::set<TPresetId> expected = c.programs;
        expected.insert({0, 0});
        expected.insert({128, 0});
        EXPECT_EQ(MidiPresets(Tune(c.tune)), expected) << c.tune;
    }
    // Bank select on a melodic channel, a program on the drum channel: the chosen bank, and
    // bank 0 (or the drum bank) as the synthesizer's fallback.
    QByteArray track = QByteArray::fromHex("00B10005" "00C113" "00C918" "00FF2F00");
    QByteArray file = QByteArray::fromHex("4D546864000000060000000100604D54726B") +
                      QByteArray::fromHex("000000") + char(track.size()) + track;
    const std::set<TPresetId> presets = MidiPresets(file);
    for (const TPresetId id : {TPresetId{5, 19}, TPresetId{0, 19}, TPresetId{128, 24}, TPresetId{0, 24}})
        EXPECT_TRUE(presets.count(id)) << id.bank << ":" << id.program;
    EXPECT_TRUE(MidiPresets(QByteArray("MThd\0\0\0\6", 8)).empty());
    EXPECT_TRUE(MidiPresets(QByteArray()).empty());
}

// Every tune of the game plays the same samples, to the bit, from its small font, and the
// synthesizer finds every instrument it looks for there. (The drums once differed in the last
// bit: the font keeps fewer points after a sample than the format asks for, and those points
// reach the interpolation.)
TEST_F(SoundFontTest, TunesSoundExactlyAsWithTheWholeFont)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"Blue Cards.mid", "Quiet Stacks.mid", "Evening Row.mid"}) {
        const QByteArray midi = Tune(name);
        const QByteArray subset = SubsetSoundFont(font, MidiPresets(midi));
        ASSERT_FALSE(subset.isEmpty()) << name;
        EXPECT_LT(subset.size(), font.size() / 3) << name;
        const QString path = dir.filePath(QStringLiteral("tune.sf2"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(subset);
        file.close();

        const std::vector<float> whole = Render(QString::fromLatin1(GmFont), midi, 20);
        warnings = 0;
        fluid_set_log_function(FLUID_WARN, CountWarning, nullptr);
        const std::vector<float> cut = Render(path, midi, 20);
        fluid_set_log_function(FLUID_WARN, fluid_default_log_function, nullptr);
        EXPECT_EQ(warnings, 0) << name;
        ASSERT_EQ(cut.size(), whole.size()) << name;
        EXPECT_TRUE(cut == whole) << name;
        float loudest = 0;
        for (const float v : whole)
            loudest = std::max(loudest, v);
        EXPECT_GT(loudest, 0.01f) << name << ": nothing was heard";
    }
}

TEST_F(SoundFontTest, CuttingACutFontChangesNothing)
{
    const std::set<TPresetId> wanted = MidiPresets(Tune("Blue Cards.mid"));
    const QByteArray once = SubsetSoundFont(font, wanted);
    EXPECT_EQ(SubsetSoundFont(once, wanted), once);
    EXPECT_TRUE(SubsetSoundFont(font, {{77, 77}}).isEmpty()); // no such preset
}

// Shortened and scribbled-over fonts: refused or cut, never read past their end (the address
// sanitizer build is the one that sees that).
TEST_F(SoundFontTest, DamagedFontsAreRefusedSafely)
{
    const std::set<TPresetId> wanted = MidiPresets(Tune("Evening Row.mid"));
    const QByteArray small = SubsetSoundFont(font, wanted);
    ASSERT_FALSE(small.isEmpty());
    for (const qsizetype cut : {qsizetype(0), qsizetype(11), qsizetype(12), qsizetype(40), small.size() / 2,
                                small.size() - 47, small.size() - 1})
        EXPECT_TRUE(SubsetSoundFont(small.left(cut), wanted).isEmpty()) << "cut at " << cut;
    std::uint32_t seed = 12345;
    const qsizetype tables = small.lastIndexOf("pdta");
    ASSERT_GT(tables, 0);
    for (int round = 0; round < 2000; ++round) {
        QByteArray damaged = small;
        for (int flips = 0; flips < 4; ++flips) {
            seed = seed * 1664525u + 1013904223u;
            const qsizetype at = tables + qsizetype(seed >> 8) % (damaged.size() - tables);
            damaged[at] = char(seed & 0xFF);
        }
        SubsetSoundFont(damaged, wanted);
    }
}

} // namespace
