#pragma once
// How the player is doing, per skill level: pure bookkeeping over finished games, and the
// stored form of the figures (one text per key, section [statistics]).
//
// Stored keys: figure name + level letter ('a' for level 1 .. 'd' for level 4), e.g.
// "playeda", "longestd"; "deal", the number of the last game counted, and "level", its level.
// Values are decimal integers. These names are a file format: players' figures depend on them.
//
// A game in which the player asked for a hint is assisted. It is counted apart ("assisted"),
// not in played, won or lost, nor in the scores: those figures are the player's own play, as
// the highscore list is. An assisted game still ends a winning streak (the run of wins made
// without help is over), and its time counts as time played.

#include "game/Game.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

inline constexpr int StatisticsLevels = 4;

struct LevelStatistics {
    std::int64_t Played = 0;
    std::int64_t Won = 0;
    std::int64_t Lost = 0;
    std::int64_t Best = 0;     // the highest final score; 0 while nothing has been played
    std::int64_t Total = 0;    // the sum of the final scores
    std::int64_t Last = 0;     // the final score of the last game
    std::int64_t Streak = 0;   // games won in a row, up to the last one
    std::int64_t Longest = 0;  // the longest such run
    std::int64_t Ticks = 0;    // clock ticks played (100 ms each)
    std::int64_t Assisted = 0; // games played with a hint, counted in none of the above but the time
    // The best result the solver found for the last game that ended at this level, with the
    // game's deal number and final score; ParDeal 0 while it is not known.
    std::int64_t Par = 0;
    std::int64_t ParDeal = 0;
    std::int64_t ParScore = 0;
    std::int64_t ParPoints = 0; // the game's points without the clock, as the par counts them

    // Won games in percent of the played ones, rounded; 0 before the first game.
    int WinRate() const;
    // The mean final score, rounded half away from zero; 0 before the first game.
    std::int64_t Average() const;

    bool operator==(const LevelStatistics&) const = default;
};

struct Statistics {
    std::array<LevelStatistics, StatisticsLevels> Levels{}; // index level - 1
    std::int32_t LastDeal = 0; // the deal number of the last game counted, 0 for none
    int LastLevel = 0;         // its level, 0 for none

    bool operator==(const Statistics&) const = default;
};

// Every way a game that has started can end.
enum class GameEnd {
    Won,
    Lost, // the stacks ran out
    GivenUp,
    Mixed,        // a new deal (or the same deal again) while it ran
    LevelChanged, // a level change while it ran or was paused
    Closed,       // the window closed while it ran
    PausedClosed, // the window closed while it was paused
};

struct FinishedGame {
    int Level = 1; // 1..4; others are clamped
    GameEnd End = GameEnd::Lost;
    int Score = 0; // the score when it ended, before a give-up sets it to 0
    int Ticks = 0; // ClockTicks
    std::int32_t Deal = 0;
    bool Assisted = false; // a hint was shown during the game
};

// A game counts once it has started: whatever ends it in these states ends a counted game.
// A fresh deal nobody touched, and a game already won or lost, count nothing (more).
constexpr bool GameCounts(TGameState state) {
    return state == gsRunning || state == gsPaused;
}

// Adds one finished game: played, won or lost (every end but a win is a loss), the scores,
// the streaks, the time and the deal; an assisted game only as assisted, its time and its deal.
// The level's par is forgotten: it belonged to an earlier game.
void RecordGame(Statistics& statistics, const FinishedGame& game);

// The solver's par for the game of deal at level that ended with score; it arrives after the
// game has been recorded.
void RecordPar(Statistics& statistics, int level, std::int32_t deal, std::int64_t par, std::int64_t score,
               std::int64_t points = 0);

struct ParOfGame {
    std::int64_t Par = 0;
    std::int64_t Score = 0;
    std::int64_t Points = 0; // 0 when stored by a version that did not keep them
};
// The par of the last game counted, if it has been found.
std::optional<ParOfGame> LastGamePar(const Statistics& statistics);

// The stored key of a figure at a level, e.g. ("played", 1) -> "playeda".
std::string StatisticsKey(const char* figure, int level);
inline constexpr const char* LastDealKey = "deal";
inline constexpr const char* LastLevelKey = "level";

// Every key with its value, in a fixed order.
std::vector<std::pair<std::string, std::string>> StatisticsToKeys(const Statistics& statistics);

// Reads every key through lookup (nothing when the key is missing). A missing or damaged value
// (not a decimal integer, out of range, or a negative count) reads as 0; the others keep their
// values.
Statistics
StatisticsFromKeys(const std::function<std::optional<std::string>(const std::string& key)>& lookup);
