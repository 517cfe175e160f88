#pragma once
// Card codes and the table the game is played on.

#include <array>

// A card is colour index * 16 + (value - 1); the joker is the one code outside that grid.
// Every rule reads only the two fields below, so the joker (colour 4, value field 15)
// never accidentally shares a colour or a value with a coloured card.
using CardCode = int;

inline constexpr CardCode JokerCard = 79;
inline constexpr int ColourCount = 4; // red 0, green 1, blue 2, violet 3
inline constexpr int ValueCount = 13;
inline constexpr int DeckSize = ColourCount * ValueCount + 2;
inline constexpr int RowSize = 4;
inline constexpr int StackTotal = 5;
inline constexpr int StackDepth = 10;

constexpr int ColourIndex(CardCode card) { return card / 16; }
constexpr int ValueField(CardCode card) { return card % 16; }
constexpr bool IsJoker(CardCode card) { return card == JokerCard; }
// value is 1..13
constexpr CardCode MakeCard(int colour, int value) { return colour * 16 + (value - 1); }

struct Table {
    std::array<CardCode, RowSize> Row{};
    int JokerPos = -1; // row position of the joker, -1 when the row holds none
    // Card 0 lies at the bottom, card StackCount[s] - 1 on top.
    std::array<std::array<CardCode, StackDepth>, StackTotal> Stacks{};
    std::array<int, StackTotal> StackCount{};

    CardCode TopCard(int stack) const { return Stacks[stack][StackCount[stack] - 1]; }
    int CardsInStacks() const {
        int sum = 0;
        for (int c : StackCount) sum += c;
        return sum;
    }
    bool operator==(const Table&) const = default;
};

// The row position holding the joker, or -1.
int FindJoker(const std::array<CardCode, RowSize>& row);
