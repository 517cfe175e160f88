#pragma once
// Searching a deal for its best play: the most points a sequence of drops and claims can
// score from a position, ignoring the clock, and a bound that no play can beat.
//
// The points of a play are its claims (colour bonus and joker halving included) plus 21 for
// every card still in the stacks when the last pattern is claimed. The result depends only on
// the position and the settings, never on time or on the machine: the search has no chance in
// it and is cut by the work it has done, counted in positions weighed.
//
// The search is a beam search over positions (the row as a set of cards, the height of each
// stack, the patterns claimed): after every drop it keeps the best-ranked positions, one of each
// (the one with most points), and drops any that cannot beat the best play known. It runs in
// passes, each four times wider than the one before, until the work is spent. A position ranks
// by its points and by how much, and how soon, the cards near the top of the stacks can still
// pay.

#include "game/Game.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct SolverMove {
    enum class Kind : std::uint8_t { Drop, Claim };
    Kind Type = Kind::Drop;
    int Stack = -1;     // a drop: stack 0..4 ...
    int Target = -1;    // ... onto row position 0..3
    int PatternId = 0;  // a claim: pattern id 1..18 ...
    int Position = 0;   // ... at pattern position 1..PatternCount of the level

    static SolverMove Drop(int stack, int target) { return {Kind::Drop, stack, target, 0, 0}; }
    static SolverMove Claim(int id, int position) { return {Kind::Claim, -1, -1, id, position}; }
    friend bool operator==(const SolverMove&, const SolverMove&) = default;
};

struct SolverResult {
    std::vector<SolverMove> Moves; // in play order, up to the end of the game
    int Points = 0;                // what the moves score from the position
    int Bound = 0;                 // no play from the position scores more
    bool Won = false;              // the moves claim every pattern
    std::int64_t Nodes = 0;        // positions looked at, for the benchmark
};

struct SolverSettings {
    // Positions kept per drop in a single pass; 0 widens pass after pass within Work instead.
    int BeamWidth = 0;
    // The work the search may do, in positions weighed (0: the default, about a second of one
    // core). Counting work rather than time keeps the answer the same on every machine.
    std::int64_t Work = 0;
    // How much a pattern that is still possible is worth to the ranking, as a share of the most
    // it could pay: from the row as it lies, from the row and the top 1, 3 or 6 cards of each
    // stack, and from every card left. The nearer its cards, the surer the pay.
    std::array<double, 5> RingWeights = {0.95, 0.8, 0.6, 0.45, 0.4};
    double WinWeight = 0.6;        // share of the collecting bonus a still winnable game counts
    // Points the ranking takes off for every drop an open pattern's cards lie away from the row.
    double DistanceWeight = 30;
    // Share of a colour bonus still possible that the ranking counts for every card of one
    // colour the row already holds towards it, beyond the first, by level (at level 1 it
    // cost more plays than it found).
    std::array<double, LevelCount> GatherWeights = {0, 0.04, 0.04, 0.04};
    // Whether the bound of the answer weighs a won and a lost end apart, which is tighter and
    // costs some tens of milliseconds more; a hint needs only its move.
    bool TightBound = true;
    // When set (from another thread), the search stops at the next drop and answers with the
    // best play found so far; its bound is then the bound of the position, or of a pass that
    // had already ended.
    const std::atomic<bool>* Stop = nullptr;
};

// The most a claim could pay now or later: the cards that can still meet in the row, a set of
// coloured cards (by colour, bit v - 1 for value v) and jokers.
struct CardSet {
    std::array<std::uint16_t, ColourCount> Values{};
    int Jokers = 0;

    void Add(CardCode card) {
        if (IsJoker(card)) ++Jokers;
        else Values[ColourIndex(card)] |= static_cast<std::uint16_t>(1u << ValueField(card));
    }
    void Remove(CardCode card) {
        if (IsJoker(card)) --Jokers;
        else Values[ColourIndex(card)] &= static_cast<std::uint16_t>(~(1u << ValueField(card)));
    }
};

// The highest points a claim of pattern id can pay on any row of four cards from the set (at
// most one joker among them), or 0 when no such row matches the pattern.
int BestClaimFrom(int id, const CardSet& cards);

// The same search with a small fixed work: a hint from any position of a game under way,
// found within a quarter of a second.
SolverSettings HintSettings();

// The best play the search finds from the position (a deal after its first evaluation, or a
// game under way; offers that stand may be claimed first). A game that has ended gives nothing.
SolverResult Solve(const GameData& from, const SolverSettings& settings = {});

// Greedy play: every drop is the one whose row pays the most at once, every offer worth
// anything is claimed. A baseline for the search and its first lower bound.
SolverResult SolveGreedy(const GameData& from);

// A bound on the points of any play from the position, from the cards that can still meet.
int UpperBound(const GameData& from);

// A card as the solver's text writes it: colour letter (R, G, B, V) and value, or J.
std::string CardText(CardCode card);

// The whole answer for a numbered deal, one item a line: the deal and level, the row, the
// stacks from the left (each from bottom to top), the moves in play order ("drop S P" with
// stack and row position counted from 1, "claim ID"), the points and the bound.
std::string SolutionText(std::int32_t deal, const GameData& dealt, const SolverResult& result);
