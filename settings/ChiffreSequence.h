#pragma once
// The arithmetic behind the highscore scrambler, without Qt, so that it builds and is checked
// on every machine the game is built for.
//
// The lists players already have were scrambled with a running value a: a := |k| / pi, then
// for each character its fractional part, the amount trunc(L * a), and a := 997 * a + pi.
// Every operation was rounded to a 64-bit significand (nearest, halves to even) and a was
// rounded again to a double whenever it was stored. That is x87 extended precision, which
// most processors do not have; here the same roundings are done on exact integers instead,
// so the amounts come out bit for bit the same everywhere.

#include <cstddef>
#include <cstdint>
#include <string_view>

class ChiffreSequence {
public:
    // The sequence for |k| (the sign does not matter) over an alphabet of alphabetLength characters.
    ChiffreSequence(int k, int alphabetLength) : ChiffreSequence(Start(k), alphabetLength, 0) {}
    // The same from Start(k), for a caller that keeps it: working it out is most of the cost of
    // scrambling a short text.
    static ChiffreSequence FromStart(std::uint64_t start, int alphabetLength) {
        return ChiffreSequence(start, alphabetLength, 0);
    }

    // The amount for the next character, 0 to alphabetLength - 1.
    int Next();

    // One step on its own, for checking the roundings. A fraction is the running value's
    // fractional part in units of 2^-54: every value a can take has that resolution.
    // trunc(L * a), the product rounded to 64 bits first.
    static int Amount(std::uint64_t fraction, int alphabetLength);
    // The fractional part of 997 * a + pi, rounded to 64 bits and then to a double.
    static std::uint64_t Advance(std::uint64_t fraction);
    // The fractional part of |k| / pi, rounded to 64 bits and then to a double.
    static std::uint64_t Start(int k);

    static constexpr int FractionBits = 54;

private:
    ChiffreSequence(std::uint64_t start, int alphabetLength, int) : m_fraction(start), m_length(alphabetLength) {}

    std::uint64_t m_fraction;
    int m_length;
};

// Moves each alphabet character of the UTF-16 text by the next amount, forward for a positive
// k and back for a negative one. A character outside the alphabet stays as it is but still
// uses up one amount; a surrogate pair is one character.
// start is ChiffreSequence::Start(k).
void ChiffreTransform(std::u16string_view alphabet, char16_t* text, std::size_t length, int k, std::uint64_t start);
inline void ChiffreTransform(std::u16string_view alphabet, char16_t* text, std::size_t length, int k) {
    if (length > 0)
        ChiffreTransform(alphabet, text, length, k, ChiffreSequence::Start(k));
}
