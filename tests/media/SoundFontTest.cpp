// The soundfont cut down to a tune's instruments: the tune sounds exactly as it does with the
// whole font, and the synthesizer never has to substitute an instrument. (What the cut keeps,
// byte by byte, and how it refuses a damaged font: SoundFontCutTest.cpp.)
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

} // namespace
