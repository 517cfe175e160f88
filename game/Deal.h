#pragma once
// Shuffling and dealing a fresh table.

#include "game/Cards.h"
#include "game/Random.h"

#include <array>
#include <cstdint>
#include <random>

using Deck = std::array<CardCode, DeckSize>;

inline constexpr int ShuffleSwaps = 10001;

// Red 1..13, green 1..13, blue 1..13, violet 1..13, then the two jokers.
Deck OrderedDeck();

// One shuffle: ShuffleSwaps swaps of two entries, each drawn independently (i first, then j).
void ShuffleDeck(Deck& deck, RandomSource& random);

// Shuffles an ordered deck until at most one joker lies among the four row entries
// (entries 50..53), then lays the row and the five stacks out of it.
Table DealTable(RandomSource& random);

// Every deal has a number; the same number gives the same table everywhere, forever.
inline constexpr std::int32_t MinDealNumber = 1;
inline constexpr std::int32_t MaxDealNumber = 2147483647;

// Draws from a std::mt19937 seeded with the deal number. The engine's raw output is fixed by
// the C++ standard, and the step from raw output to an index is our own, so no library or
// platform can change a numbered deal.
class DealNumberRandom final : public RandomSource {
public:
    explicit DealNumberRandom(std::int32_t number) : m_engine(static_cast<std::uint32_t>(number)) {}
    // Uniform in 0..n-1 (n >= 1), by rejecting the few raw values that would favour low indices.
    int Random(int n) override;

private:
    std::mt19937 m_engine;
};

// The table of deal number (MinDealNumber..MaxDealNumber). A number outside that range is
// clamped into it.
Table DealByNumber(std::int32_t number);
