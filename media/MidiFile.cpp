// The mixer loops a tune without a gap, but spins for ever on a looped file that has nothing
// in it; so only what reads as a tune of some length is looped. The length is the last end
// of track, in ticks, turned into time through the tempo changes.
#include "media/MidiFile.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace {

class Reader {
public:
    Reader(std::span<const std::uint8_t> bytes, std::size_t from, std::size_t to)
        : m_bytes(bytes), m_at(from), m_end(to) {}

    bool AtEnd() const { return m_at >= m_end; }
    std::optional<std::uint32_t> Byte() {
        if (m_at >= m_end)
            return std::nullopt;
        return m_bytes[m_at++];
    }
    std::optional<std::uint32_t> Fixed(int count) {
        std::uint32_t v = 0;
        for (int i = 0; i < count; ++i) {
            const auto b = Byte();
            if (!b)
                return std::nullopt;
            v = v << 8 | *b;
        }
        return v;
    }
    // A variable-length quantity: at most four bytes of seven bits each.
    std::optional<std::uint32_t> Variable() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const auto b = Byte();
            if (!b)
                return std::nullopt;
            v = v << 7 | (*b & 0x7F);
            if (!(*b & 0x80))
                return v;
        }
        return std::nullopt;
    }
    bool Skip(std::uint32_t count) {
        if (count > m_end - m_at)
            return false;
        m_at += count;
        return true;
    }
    std::size_t Position() const { return m_at; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at;
    std::size_t m_end;
};

// Data bytes that follow a channel status byte (note off .. pitch bend).
int ChannelDataBytes(std::uint32_t status) {
    const std::uint32_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// A channel message: its status byte and its one or two data bytes (the second 0 for one).
using ChannelEvent = std::function<void(std::uint32_t status, std::uint32_t first, std::uint32_t second)>;

// Reads one track; notes its tempo changes, hands every channel message to onChannel and
// returns the tick of its end, or nothing.
std::optional<std::uint64_t> ReadTrack(Reader& in, std::map<std::uint64_t, std::uint32_t>& tempos,
                                       const ChannelEvent& onChannel) {
    std::uint64_t tick = 0;
    std::uint32_t running = 0;
    while (!in.AtEnd()) {
        const auto delta = in.Variable();
        if (!delta)
            return std::nullopt;
        tick += *delta;
        auto status = in.Byte();
        if (!status)
            return std::nullopt;
        if (*status < 0x80) { // running status: this byte is already data
            if (running == 0)
                return std::nullopt;
            const auto second = ChannelDataBytes(running) == 2 ? in.Byte() : std::optional<std::uint32_t>(0);
            if (!second)
                return std::nullopt;
            onChannel(running, *status, *second);
            continue;
        }
        if (*status == 0xFF) {
            const auto type = in.Byte();
            const auto length = type ? in.Variable() : std::nullopt;
            if (!length)
                return std::nullopt;
            if (*type == 0x2F)
                return tick;
            if (*type == 0x51 && *length == 3) {
                const auto tempo = in.Fixed(3);
                if (!tempo)
                    return std::nullopt;
                tempos[tick] = *tempo;
            } else if (!in.Skip(*length)) {
                return std::nullopt;
            }
            continue;
        }
        if (*status == 0xF0 || *status == 0xF7) {
            const auto length = in.Variable();
            if (!length || !in.Skip(*length))
                return std::nullopt;
            continue;
        }
        if (*status >= 0xF0)
            return std::nullopt; // no other system message belongs in a file
        running = *status;
        const auto first = in.Byte();
        const auto second = ChannelDataBytes(running) == 2 ? in.Byte() : std::optional<std::uint32_t>(0);
        if (!first || !second)
            return std::nullopt;
        onChannel(running, *first, *second);
    }
    return tick; // a track without its end-of-track event ends with its last event
}

// The whole file: its division, its tempo map and the last tick of its longest track, with
// every channel message handed to onChannel on the way; nothing when it cannot be read.
struct Song {
    std::uint32_t division = 0;
    std::map<std::uint64_t, std::uint32_t> tempos; // tick -> microseconds per quarter note
    std::uint64_t lastTick = 0;
};

std::optional<Song> ReadSong(std::span<const std::uint8_t> file, const ChannelEvent& onChannel) {
    Reader header(file, 0, file.size());
    if (header.Fixed(4) != 0x4D546864) // "MThd"
        return std::nullopt;
    const auto headerLength = header.Fixed(4);
    if (!headerLength || *headerLength < 6)
        return std::nullopt;
    const std::uint64_t headerEnd = header.Position() + std::uint64_t(*headerLength);
    header.Skip(2); // format
    const auto trackCount = header.Fixed(2);
    const auto division = header.Fixed(2);
    if (!trackCount || !division || *division == 0 || headerEnd > file.size())
        return std::nullopt;

    Song song;
    song.division = *division;
    std::size_t at = std::size_t(headerEnd);
    std::uint32_t tracks = 0;
    while (tracks < *trackCount) {
        Reader chunk(file, at, file.size());
        const auto id = chunk.Fixed(4);
        const auto length = chunk.Fixed(4);
        if (!id || !length || *length > file.size() - chunk.Position())
            return std::nullopt;
        const std::size_t begin = chunk.Position();
        at = begin + *length;
        if (*id != 0x4D54726B) // not "MTrk": a chunk nobody needs, skipped as the format allows
            continue;
        Reader track(file, begin, at);
        const auto end = ReadTrack(track, song.tempos, onChannel);
        if (!end)
            return std::nullopt;
        song.lastTick = std::max(song.lastTick, *end);
        ++tracks;
    }
    return song;
}

} // namespace

int MidiLengthMs(std::span<const std::uint8_t> file) {
    const auto song = ReadSong(file, [](std::uint32_t, std::uint32_t, std::uint32_t) {});
    if (!song)
        return -1;
    const auto& division = song->division;
    const auto& tempos = song->tempos;
    const auto& lastTick = song->lastTick;

    double ms = 0;
    if (division & 0x8000) {
        // Time code: frames per second (as a negative byte) times ticks per frame.
        const int fps = 256 - int(division >> 8);
        const int perFrame = int(division & 0xFF);
        if (fps <= 0 || perFrame == 0)
            return -1;
        ms = double(lastTick) * 1000.0 / (fps * perFrame);
    } else {
        std::uint64_t tick = 0;
        std::uint32_t tempo = 500000; // 120 beats a minute until the file says otherwise
        for (const auto& [at, next] : tempos) {
            if (at >= lastTick)
                break;
            ms += double(at - tick) * tempo / (1000.0 * division);
            tick = at;
            tempo = next;
        }
        ms += double(lastTick - tick) * tempo / (1000.0 * division);
    }
    return ms > 24 * 3600 * 1000.0 ? -1 : int(ms + 0.5);
}

std::set<TPresetId> MidiPresets(std::span<const std::uint8_t> file) {
    // Which track sets a channel's bank and which its program is free, and the tracks are read
    // one after the other; so every bank a channel ever selects counts with every program it
    // ever selects. That may take in a preset the tune never plays, never miss one it does.
    constexpr int channels = 16;
    constexpr int drumChannel = 9;
    constexpr int drumBank = 128;
    std::set<int> banks[channels];
    std::set<int> programs[channels];
    const auto song = ReadSong(file, [&](std::uint32_t status, std::uint32_t first, std::uint32_t second) {
        // A damaged file may have a byte of 128 or more where a number belongs; the synthesizer
        // selects nothing by it, and neither does this.
        const int channel = int(status & 0x0F);
        if ((status & 0xF0) == 0xC0 && first < 0x80)
            programs[channel].insert(int(first));
        else if ((status & 0xF0) == 0xB0 && first == 0 && second < 0x80) // bank select
            banks[channel].insert(int(second));
    });
    if (!song)
        return {};
    // What every channel starts with, and what the synthesizer falls back to for a preset the
    // font lacks: the same program in bank 0, else the first piano; the first kit for drums.
    std::set<TPresetId> presets{{0, 0}, {drumBank, 0}};
    for (int channel = 0; channel < channels; ++channel) {
        banks[channel].insert(channel == drumChannel ? drumBank : 0);
        programs[channel].insert(0);
        for (const int program : programs[channel]) {
            presets.insert({0, program});
            if (channel == drumChannel)
                presets.insert({drumBank, program});
            for (const int bank : banks[channel])
                presets.insert({bank, program});
        }
    }
    return presets;
}
