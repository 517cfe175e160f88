// The soundfont cut over plain bytes: exactly the records and sample points a tune's presets
// lead to, renumbered, and a damaged font refused without reading past its end. Built into the
// core, so these also run on other processors. (That the cut sounds the same as the whole font
// is heard through FluidSynth in SoundFontTest.cpp.)
#include "media/SoundFontCut.h"
#include "media/MidiFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const char* const GmFont = "/usr/share/sounds/sf2/default-GM.sf2";

Bytes Tune(const char* name) {
    return ReadFile(std::string(ZELVANO_MUSIC_DIR) + name);
}

// A small SoundFont 2 file written field by field (little-endian), to hold a cut against.
struct Preset {
    int bank, program;
    std::vector<int> instruments; // one zone each
};
struct Sample {
    std::uint32_t start, end, loopStart, loopEnd;
    std::uint16_t link, type;
};
void Put16(Bytes& b, std::uint32_t v) {
    b.insert(b.end(), {std::uint8_t(v & 0xFF), std::uint8_t(v >> 8 & 0xFF)});
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Zeros(Bytes& b, std::size_t count) {
    b.resize(b.size() + count);
}
Bytes Chunk(const std::string& id, const Bytes& body) {
    Bytes out(id.begin(), id.end());
    Put32(out, std::uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1) out.push_back(0);
    return out;
}
Bytes List(const std::string& type, const std::vector<Bytes>& chunks) {
    Bytes body(type.begin(), type.end());
    for (const Bytes& chunk : chunks)
        body.insert(body.end(), chunk.begin(), chunk.end());
    return Chunk("LIST", body);
}
// Presets name instruments, instruments (each a list of sample numbers, one zone each) name samples.
Bytes Font(const std::vector<Preset>& presets, const std::vector<std::vector<int>>& instruments,
           const std::vector<Sample>& samples, const std::vector<std::uint16_t>& points) {
    Bytes phdr, pbag, pgen, inst, ibag, igen, shdr, smpl, mods(10);
    std::uint32_t bag = 0;
    for (const Preset& p : presets) {
        Zeros(phdr, 20);
        Put16(phdr, p.program);
        Put16(phdr, p.bank);
        Put16(phdr, bag);
        Zeros(phdr, 12);
        for (const int i : p.instruments) {
            Put16(pbag, bag++);
            Put16(pbag, 0);
            Put16(pgen, 41);
            Put16(pgen, i);
        }
    }
    Zeros(phdr, 24);
    Put16(phdr, bag);
    Zeros(phdr, 12);
    Put16(pbag, bag);
    Put16(pbag, 0);
    Zeros(pgen, 4);
    bag = 0;
    for (const std::vector<int>& zones : instruments) {
        Zeros(inst, 20);
        Put16(inst, bag);
        for (const int s : zones) {
            Put16(ibag, bag++);
            Put16(ibag, 0);
            Put16(igen, 53);
            Put16(igen, s);
        }
    }
    Zeros(inst, 20);
    Put16(inst, bag);
    Put16(ibag, bag);
    Put16(ibag, 0);
    Zeros(igen, 4);
    for (const Sample& s : samples) {
        Zeros(shdr, 20);
        for (const std::uint32_t v : {s.start, s.end, s.loopStart, s.loopEnd, 22050u})
            Put32(shdr, v);
        shdr.insert(shdr.end(), {60, 0});
        Put16(shdr, s.link);
        Put16(shdr, s.type);
    }
    Zeros(shdr, 46);
    for (const std::uint16_t point : points)
        Put16(smpl, point);
    const Bytes version{2, 0, 1, 0};
    Bytes body{'s', 'f', 'b', 'k'};
    for (const Bytes& list : {List("INFO", {Chunk("ifil", version)}), List("sdta", {Chunk("smpl", smpl)}),
                              List("pdta", {Chunk("phdr", phdr), Chunk("pbag", pbag), Chunk("pmod", mods),
                                            Chunk("pgen", pgen), Chunk("inst", inst), Chunk("ibag", ibag),
                                            Chunk("imod", mods), Chunk("igen", igen), Chunk("shdr", shdr)})})
        body.insert(body.end(), list.begin(), list.end());
    return Chunk("RIFF", body);
}

// Points whose two bytes differ and carry their top bit, so a swapped or sign-extended byte shows.
std::vector<std::uint16_t> Points(std::uint32_t from, std::uint32_t to) {
    std::vector<std::uint16_t> out;
    for (std::uint32_t i = from; i < to; ++i)
        out.push_back(std::uint16_t(0x8000 | i << 4 | (i & 0xF)));
    return out;
}
std::vector<std::uint16_t> operator+(std::vector<std::uint16_t> a, const std::vector<std::uint16_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Two presets over three samples, the last two a stereo pair of which the instrument names
// only the right half; 150 points of data, fewer than the last sample's 46 points of padding.
const Bytes Whole =
    Font({{0, 5, {0}}, {0, 0, {1}}}, {{0}, {2}},
         {{0, 10, 2, 8, 0, 1}, {60, 70, 62, 68, 2, 4}, {120, 130, 122, 128, 1, 2}}, Points(0, 150));

struct CutCase {
    const char* label;
    TPresetId wanted;
    Bytes cut;
};
class SoundFontCut : public testing::TestWithParam<CutCase> {};

TEST_P(SoundFontCut, KeepsWhatThePresetLeadsTo) {
    EXPECT_EQ(SubsetSoundFont(Whole, {GetParam().wanted}), GetParam().cut);
}

INSTANTIATE_TEST_SUITE_P(
    Media, SoundFontCut,
    testing::Values(
        // A mono sample: its points and the 46 after them, at the start of the new data.
        CutCase{"MonoSample", {0, 5}, Font({{0, 5, {0}}}, {{0}}, {{0, 10, 2, 8, 0, 1}}, Points(0, 56))},
        // The pair comes whole and renumbered, each half naming the other's new number; the
        // data runs out before the second half's padding, which is filled with silence.
        CutCase{"StereoPair",
                {0, 0},
                Font({{0, 0, {0}}}, {{1}}, {{0, 10, 2, 8, 1, 4}, {56, 66, 58, 64, 0, 2}},
                     Points(60, 116) + Points(120, 150) + std::vector<std::uint16_t>(26, 0))},
        CutCase{"NoSuchPreset", {128, 0}, {}}),
    [](const testing::TestParamInfo<CutCase>& info) { return std::string(info.param.label); });

class GmSoundFont : public ::testing::Test {
  protected:
    void SetUp() override {
        font = ReadFile(GmFont);
        if (font.empty()) GTEST_SKIP() << "no General MIDI soundfont at " << GmFont;
    }
    Bytes font;
};

TEST_F(GmSoundFont, CuttingACutFontChangesNothing) {
    const std::set<TPresetId> wanted = MidiPresets(Tune("Blue Cards.mid"));
    const Bytes once = SubsetSoundFont(font, wanted);
    ASSERT_FALSE(once.empty());
    EXPECT_EQ(SubsetSoundFont(once, wanted), once);
    EXPECT_TRUE(SubsetSoundFont(font, {{77, 77}}).empty()); // no such preset
}

// Shortened and scribbled-over fonts: refused or cut, never read past their end (the address
// sanitizer build is the one that sees that).
TEST_F(GmSoundFont, DamagedFontsAreRefusedSafely) {
    const std::set<TPresetId> wanted = MidiPresets(Tune("Evening Row.mid"));
    const Bytes small = SubsetSoundFont(font, wanted);
    ASSERT_FALSE(small.empty());
    for (const std::size_t cut : {std::size_t(0), std::size_t(11), std::size_t(12), std::size_t(40),
                                  small.size() / 2, small.size() - 47, small.size() - 1})
        EXPECT_TRUE(SubsetSoundFont(std::span(small).first(cut), wanted).empty()) << "cut at " << cut;
    std::uint32_t seed = 12345;
    const std::string pdta = "pdta";
    const std::size_t tables =
        std::size_t(std::find_end(small.begin(), small.end(), pdta.begin(), pdta.end()) - small.begin());
    ASSERT_LT(tables, small.size());
    for (int round = 0; round < 2000; ++round) {
        Bytes damaged = small;
        for (int flips = 0; flips < 4; ++flips) {
            seed = seed * 1664525u + 1013904223u;
            const std::size_t at = tables + std::size_t(seed >> 8) % (damaged.size() - tables);
            damaged[at] = std::uint8_t(seed & 0xFF);
        }
        SubsetSoundFont(damaged, wanted);
    }
}

} // namespace
