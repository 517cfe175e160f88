#pragma once
// The state of one game and the rules that move it on. The main window holds a GameData,
// asks these functions what a press, a drop, a claim or a tick does, and repaints.

#include "game/Cards.h"
#include "game/Patterns.h"
#include "game/Random.h"

#include <array>
#include <bitset>
#include <cstdint>

enum TGameState : std::uint8_t { gsNotStarted, gsRunning, gsPaused, gsWon, gsLost };

inline constexpr int PointsPerCollectedCard = 21; // base value 6 x 3.5
inline constexpr int TicksPerPoint = 3;           // the clock takes a point every 300 ms

struct GameData : Table {
    TGameState GameState = gsNotStarted;
    int Level = 1;
    std::int32_t Score = 0;
    int ClockTicks = 0;
    int PatternCount = 12;
    std::array<int, MaxPatternCount + 1> PatternIds{};              // by position 1..PatternCount
    std::array<TPatternState, MaxPatternCount + 1> PatternState{}; // by position 1..PatternCount
    bool operator==(const GameData&) const = default;
};

using PositionSet = std::bitset<MaxPatternCount + 1>;

// Clamps the level to 1..4 and loads its patterns; the states are left for the next deal.
void SetLevel(GameData& g, int level);

// Lays a freshly dealt table down and resets patterns, score and clock (a new game, not started).
void StartDeal(GameData& g, const Table& dealt);

// Tests the row against every unclaimed pattern; returns the positions it evaluated.
PositionSet EvaluatePatterns(GameData& g);

enum class DropVerdict { Beside, JokerRule, Accepted };

// What a drop onto row position target (or -1 for none) means.
DropVerdict JudgeDrop(const GameData& g, int target);

// The top card of the stack covers the row card at target; the covered card leaves the game.
void ApplyDrop(GameData& g, int stack, int target);

// Points a claim of the offered position would pay now (halved while the row holds the joker),
// or -1 when the position is not offered.
int ClaimValue(const GameData& g, int position);

// Books a claim: adds the points, marks the position claimed and withdraws every other offer.
void ApplyClaim(GameData& g, int position, int points);

// One timer tick while running; true when it took a point.
bool ClockStep(GameData& g);

enum class EndVerdict { Playing, Won, Lost };

EndVerdict JudgeEnd(const GameData& g);

// Takes the next card of a won game off the stacks (stack 0 first) for its bonus.
// Returns the stack it came from, or -1 when the stacks are empty.
int CollectNext(GameData& g);

struct ToolbarState {
    bool Mix, GiveUp, Pause;
};

ToolbarState ToolbarFor(TGameState state);
