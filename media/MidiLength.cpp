// The mixer loops a tune without a gap, but spins for ever on a looped file that has nothing
// in it; so only what reads as a tune of some length is looped. The length is the last end
// of track, in ticks, turned into time through the tempo changes.
#include "media/MidiLength.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

namespace {

class Reader {
public:
    Reader(const QByteArray& bytes, qsizetype from, qsizetype to) : m_bytes(bytes), m_at(from), m_end(to) {}

    bool AtEnd() const { return m_at >= m_end; }
    std::optional<std::uint32_t> Byte() {
        if (m_at >= m_end)
            return std::nullopt;
        return std::uint8_t(m_bytes[m_at++]);
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
        if (count > std::uint64_t(m_end - m_at))
            return false;
        m_at += count;
        return true;
    }
    qsizetype Position() const { return m_at; }

private:
    const QByteArray& m_bytes;
    qsizetype m_at;
    qsizetype m_end;
};

// Data bytes that follow a channel status byte (note off .. pitch bend).
int ChannelDataBytes(std::uint32_t status) {
    const std::uint32_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Reads one track; notes its tempo changes and returns the tick of its end, or nothing.
std::optional<std::uint64_t> ReadTrack(Reader& in, std::map<std::uint64_t, std::uint32_t>& tempos) {
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
            if (!in.Skip(ChannelDataBytes(running) - 1))
                return std::nullopt;
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
        if (!in.Skip(ChannelDataBytes(running)))
            return std::nullopt;
    }
    return tick; // a track without its end-of-track event ends with its last event
}

} // namespace

int MidiLengthMs(const QByteArray& file) {
    Reader header(file, 0, file.size());
    if (file.left(4) != "MThd" || !header.Skip(4))
        return -1;
    const auto headerLength = header.Fixed(4);
    if (!headerLength || *headerLength < 6)
        return -1;
    const qsizetype headerEnd = header.Position() + *headerLength;
    header.Skip(2); // format
    const auto trackCount = header.Fixed(2);
    const auto division = header.Fixed(2);
    if (!trackCount || !division || *division == 0 || headerEnd > file.size())
        return -1;

    std::map<std::uint64_t, std::uint32_t> tempos; // tick -> microseconds per quarter note
    std::uint64_t lastTick = 0;
    qsizetype at = headerEnd;
    std::uint32_t tracks = 0;
    while (tracks < *trackCount) {
        Reader chunk(file, at, file.size());
        const auto id = chunk.Fixed(4);
        const auto length = chunk.Fixed(4);
        if (!id || !length || *length > std::uint64_t(file.size() - chunk.Position()))
            return -1;
        const qsizetype begin = chunk.Position();
        at = begin + *length;
        if (*id != 0x4D54726B) // not "MTrk": a chunk nobody needs, skipped as the format allows
            continue;
        Reader track(file, begin, at);
        const auto end = ReadTrack(track, tempos);
        if (!end)
            return -1;
        lastTick = std::max(lastTick, *end);
        ++tracks;
    }

    double ms = 0;
    if (*division & 0x8000) {
        // Time code: frames per second (as a negative byte) times ticks per frame.
        const int fps = 256 - int(*division >> 8);
        const int perFrame = int(*division & 0xFF);
        if (fps <= 0 || perFrame == 0)
            return -1;
        ms = double(lastTick) * 1000.0 / (fps * perFrame);
    } else {
        std::uint64_t tick = 0;
        std::uint32_t tempo = 500000; // 120 beats a minute until the file says otherwise
        for (const auto& [at, next] : tempos) {
            if (at >= lastTick)
                break;
            ms += double(at - tick) * tempo / (1000.0 * *division);
            tick = at;
            tempo = next;
        }
        ms += double(lastTick - tick) * tempo / (1000.0 * *division);
    }
    return ms > 24 * 3600 * 1000.0 ? -1 : int(ms + 0.5);
}
