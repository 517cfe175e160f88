#pragma once
// A soundfont cut down to the instruments one tune plays.
//
// FluidSynth parses every preset of a soundfont into small objects when it loads one: for the
// General MIDI font that is about 10 MB of memory for a tune that plays five instruments. A
// copy of the font with only the presets the tune asks for (their instruments, samples and
// sample data unchanged) sounds the same and costs a fraction of that.

#include "media/MidiFile.h"

#include <cstdint>
#include <set>
#include <span>
#include <vector>

// The soundfont `font` (SoundFont 2 bytes) with only the presets in `wanted`, as SoundFont 2
// bytes; the presets keep every zone, generator and modulator, and their samples their data
// and loops. Empty when the font cannot be read or none of the wanted presets is in it.
std::vector<std::uint8_t> SubsetSoundFont(std::span<const std::uint8_t> font, const std::set<TPresetId>& wanted);
