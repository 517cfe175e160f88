#pragma once
// The pattern catalogue: conditions on the four row cards, their points, and which
// patterns each skill level puts on the board.

#include "game/Cards.h"

#include <array>
#include <cstdint>

inline constexpr int PatternIdCount = 18; // ids 1..18
inline constexpr int MaxPatternCount = 18;
inline constexpr int LevelCount = 4;

// The numbers are the ones the board drawing switches on (claimed shows picture 0).
enum class TPatternState : std::uint8_t { Open = 0, Offered = 1, OfferedBonus = 2, Claimed = 9 };

constexpr bool IsOffered(TPatternState s) {
    return s == TPatternState::Offered || s == TPatternState::OfferedBonus;
}

// Base value by pattern id; entry 0 is what a card collected at a won game is worth.
inline constexpr std::array<int, PatternIdCount + 1> BaseValues = {
    6, 23, 23, 23, 23, 10, 70, 37, 235, 89, 13, 66, 12, 54, 43, 28, 131, 83, 655};

// Patterns 9..14 pay triple when every coloured card of the row has one colour.
constexpr bool ColourBonusPossible(int id) { return id >= 9 && id <= 14; }

struct LevelPatterns {
    int Count;
    std::array<int, MaxPatternCount> Ids; // ids at positions 1..Count, left to right
};

// Index 0 is level 1 (basic) .. index 3 is level 4 (champions).
inline constexpr std::array<LevelPatterns, LevelCount> LevelTable = {{
    {12, {1, 2, 3, 4, 5, 6, 7, 8, 13, 14, 15, 16}},
    {14, {1, 2, 3, 4, 5, 6, 7, 8, 10, 13, 12, 14, 15, 16}},
    {16, {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 13, 12, 14, 17, 15, 16}},
    {18, {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 9, 13, 12, 14, 17, 15, 16, 18}},
}};

constexpr int ClampLevel(int level) { return level < 1 ? 1 : (level > 4 ? 4 : level); }

// Everything the conditions need, worked out once per evaluation.
struct RowFacts {
    bool HasJoker = false;
    int Coloured = 0;                 // number of coloured cards (3 or 4)
    std::array<int, RowSize> Values{}; // values 1..13 of the coloured cards, first Coloured entries
    std::array<int, RowSize> Colours{};
    int SequenceLength = 0;
};

RowFacts AnalyseRow(const std::array<CardCode, RowSize>& row);

// Whether pattern id (1..18) holds for the row; false for any other id.
bool PatternHolds(int id, const RowFacts& facts);

// Open, Offered or OfferedBonus for pattern id on this row.
TPatternState TestPattern(int id, const RowFacts& facts);

// Points of a claim before the joker halving: base x 3.5, or x 10.5 with the colour bonus,
// rounded to the nearest integer with halves to the even neighbour.
int ClaimPoints(int id, bool colourBonus);

// UTF-8 name of the pattern; German when language is 1, English otherwise.
// nullptr for ids outside 1..18.
const char* PatternName(int id, int language);
