// A soundfont over arbitrary bytes, cut down to a few presets: refused, or cut into a font that
// cutting again leaves exactly as it is (every index in it leads where it should).

#include "fuzz/FuzzSupport.h"
#include "media/SoundFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::set<TPresetId> wanted{{0, 0}, {0, 1}, {128, 0}};
    const QByteArray cut = SubsetSoundFont(bytes, wanted);
    if (cut.isEmpty()) return 0;
    FUZZ_CHECK(cut.startsWith("RIFF") && cut.mid(8, 4) == "sfbk");
    FUZZ_CHECK(SubsetSoundFont(cut, wanted) == cut);
    return 0;
}
