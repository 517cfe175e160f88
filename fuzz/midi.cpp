// A player's own MIDI file over arbitrary bytes: its length and the instruments it may ask for
// are read by one parser, which reads a file whole or not at all.

#include "fuzz/FuzzCheck.h"
#include "media/MidiFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const int ms = MidiLengthMs(bytes);
    FUZZ_CHECK(ms >= -1 && ms <= 24 * 3600 * 1000);
    const std::set<TPresetId> presets = MidiPresets(bytes);
    // A file whose length could be read could also be read for its instruments.
    FUZZ_CHECK(ms < 0 || !presets.empty());
    if (presets.empty()) return 0;
    // Every channel's start-up presets are always among them, and nothing outside MIDI's range.
    FUZZ_CHECK(presets.count({0, 0}) && presets.count({128, 0}));
    for (const TPresetId& id : presets) {
        FUZZ_CHECK(id.bank >= 0 && id.bank <= 128);
        FUZZ_CHECK(id.program >= 0 && id.program <= 127);
    }
    return 0;
}
