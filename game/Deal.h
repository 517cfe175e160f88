#pragma once
// Shuffling and dealing a fresh table.

#include "game/Cards.h"
#include "game/Random.h"

#include <array>

using Deck = std::array<CardCode, DeckSize>;

inline constexpr int ShuffleSwaps = 10001;

// Red 1..13, green 1..13, blue 1..13, violet 1..13, then the two jokers.
Deck OrderedDeck();

// One shuffle: ShuffleSwaps swaps of two entries, each drawn independently (i first, then j).
void ShuffleDeck(Deck& deck, RandomSource& random);

// Shuffles an ordered deck until at most one joker lies among the four row entries
// (entries 50..53), then lays the row and the five stacks out of it.
Table DealTable(RandomSource& random);
