#pragma once
// What a Standard MIDI File holds that the player needs to know before playing it: how long
// it plays and which instruments it may ask for. Read from plain bytes, field by field in the
// file's own (big-endian) order, so the answers are the same on every processor.

#include <compare>
#include <cstdint>
#include <set>
#include <span>

// Milliseconds from the start to the last end of track of the longest track, with every
// tempo change taken into account; -1 when the bytes are no MIDI file this can read
// (a damaged header, a track running past the end, an unknown event).
int MidiLengthMs(std::span<const std::uint8_t> file);

// An instrument of a General MIDI soundfont: its bank (128 for drum kits) and program.
struct TPresetId {
    int bank = 0;
    int program = 0;
    auto operator<=>(const TPresetId&) const = default;
};

// The presets a tune may select: every program its channels change to, in every bank each
// channel selects, each channel's start-up preset, and the presets the synthesizer falls back
// to when one is missing (the same program in bank 0, the first piano, the first drum kit).
// Empty when the bytes are no MIDI file this can read.
std::set<TPresetId> MidiPresets(std::span<const std::uint8_t> file);
