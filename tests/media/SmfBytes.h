#pragma once
// Small MIDI files for the tests, built byte by byte.

#include <cstdint>
#include <initializer_list>
#include <vector>

// A Standard MIDI File of one track: one note of the given length (96 ticks a quarter, so
// 96 ticks = half a second at the default tempo) on the given General MIDI instrument; extra
// events (tempo changes and the like) go before the note.
inline std::vector<std::uint8_t> SmfBytes(int noteTicks, int program = 0,
                                          const std::vector<std::uint8_t>& before = {}, int division = 96) {
    std::vector<std::uint8_t> track = before;
    const auto bytes = [&track](std::initializer_list<int> list) {
        for (const int b : list)
            track.push_back(std::uint8_t(b));
    };
    bytes({0x00, 0xC0, program});
    bytes({0x00, 0x90, 60, 100}); // middle C on
    bytes({0x80 | (noteTicks >> 7), noteTicks & 0x7F, 0x80, 60, 0});
    bytes({0x00, 0xFF, 0x2F, 0x00}); // end of track
    std::vector<std::uint8_t> file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
    file.push_back(std::uint8_t(division >> 8 & 0xFF));
    file.push_back(std::uint8_t(division & 0xFF));
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    for (const int shift : {24, 16, 8, 0})
        file.push_back(std::uint8_t(track.size() >> shift & 0xFF));
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

// Bytes written as hexadecimal digits ("00ff2f00").
inline std::vector<std::uint8_t> Hex(const char* digits) {
    const auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::vector<std::uint8_t> out;
    for (; digits[0] && digits[1]; digits += 2)
        out.push_back(std::uint8_t(nibble(digits[0]) << 4 | nibble(digits[1])));
    return out;
}
