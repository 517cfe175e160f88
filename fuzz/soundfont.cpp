// A soundfont over arbitrary bytes, cut down to a few presets: refused, or cut into a font that
// cutting again leaves exactly as it is (every index in it leads where it should).

#include "fuzz/FuzzCheck.h"
#include "media/SoundFontCut.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::set<TPresetId> wanted{{0, 0}, {0, 1}, {128, 0}};
    const std::vector<std::uint8_t> cut = SubsetSoundFont(std::span(data, size), wanted);
    if (cut.empty()) return 0;
    FUZZ_CHECK(cut.size() >= 12 && std::memcmp(cut.data(), "RIFF", 4) == 0 &&
               std::memcmp(cut.data() + 8, "sfbk", 4) == 0);
    FUZZ_CHECK(SubsetSoundFont(cut, wanted) == cut);
    return 0;
}
