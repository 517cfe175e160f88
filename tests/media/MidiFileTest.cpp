// The MIDI file reader over plain bytes: a tune's length through its tempo map, and the
// instruments it may ask for. Built into the core, so these also run on other processors.
#include "media/MidiFile.h"
#include "tests/media/SmfBytes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Tune(const char* name) {
    std::ifstream in(std::string(ZELVANO_MUSIC_DIR) + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> Left(std::vector<std::uint8_t> bytes, std::size_t count) {
    bytes.resize(std::min(bytes.size(), count));
    return bytes;
}

std::vector<std::uint8_t> Text(const char* text) {
    return {text, text + std::char_traits<char>::length(text)};
}

struct LengthCase {
    const char* label;
    std::vector<std::uint8_t> file;
    int ms;
};
class TuneLength : public testing::TestWithParam<LengthCase> {};

TEST_P(TuneLength, ComesFromTheTempoMap) {
    EXPECT_EQ(MidiLengthMs(GetParam().file), GetParam().ms);
}

// Tempo 250000 us a quarter after one quarter at the default 500000.
const std::vector<std::uint8_t> TempoLater = Hex("00903c40"
                                                 "60803c00"
                                                 "00ff510303d090");

INSTANTIATE_TEST_SUITE_P(
    Media, TuneLength,
    testing::Values(LengthCase{"DefaultTempo", SmfBytes(96), 500},
                    LengthCase{"RunningStatusAndSysex",
                               SmfBytes(192, 0,
                                        Hex("00f00341424300903c40"
                                            "30"
                                            "3c00")),
                               1250},
                    LengthCase{"TempoChangeHalfway", SmfBytes(96, 0, TempoLater), 500 + 250},
                    LengthCase{"TimeCode25x40", SmfBytes(1000, 0, {}, 0xE728), 1000},
                    LengthCase{"NotMidi", Text("this is no tune"), -1},
                    LengthCase{"TrackCutShort", Left(SmfBytes(96), 30), -1},
                    LengthCase{"BadStatus", SmfBytes(96, 0, Hex("00f400")), -1}),
    [](const testing::TestParamInfo<LengthCase>& info) { return std::string(info.param.label); });

TEST(MidiPresetsTest, TakesEveryProgramAndTheFallbacks) {
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
    const std::vector<std::uint8_t> track = Hex("00B10005"
                                                "00C113"
                                                "00C918"
                                                "00FF2F00");
    std::vector<std::uint8_t> file = Hex("4D546864000000060000000100604D54726B000000");
    file.push_back(std::uint8_t(track.size()));
    file.insert(file.end(), track.begin(), track.end());
    const std::set<TPresetId> presets = MidiPresets(file);
    for (const TPresetId id : {TPresetId{5, 19}, TPresetId{0, 19}, TPresetId{128, 24}, TPresetId{0, 24}})
        EXPECT_TRUE(presets.count(id)) << id.bank << ":" << id.program;
    EXPECT_TRUE(MidiPresets(Hex("4D54686400000006")).empty());
    EXPECT_TRUE(MidiPresets({}).empty());
}

} // namespace
