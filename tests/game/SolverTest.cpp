#include "game/Deal.h"
#include "game/Game.h"
#include "game/Solver.h"
#include "RowText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Plays the moves through the game's own rules, the way the window applies a player's moves,
// and returns the points they score (claims, then the cards collected at a win).
struct Replay {
    int Points = 0;
    bool Legal = true;
    EndVerdict End = EndVerdict::Playing;
    std::string Fault;
};

Replay ReplayMoves(GameData g, const std::vector<SolverMove>& moves) {
    Replay r;
    const int start = g.Score;
    for (std::size_t k = 0; k < moves.size(); ++k) {
        const SolverMove& m = moves[k];
        const auto fail = [&](const char* why) {
            r.Legal = false;
            r.Fault = "move " + std::to_string(k) + ": " + why;
        };
        if (JudgeEnd(g) != EndVerdict::Playing) {
            fail("after the end of the game");
            break;
        }
        if (m.Type == SolverMove::Kind::Drop) {
            if (m.Stack < 0 || m.Stack >= StackTotal || g.StackCount[m.Stack] == 0) {
                fail("drop from an empty stack");
                break;
            }
            if (JudgeDrop(g, m.Target) != DropVerdict::Accepted) {
                fail("drop refused");
                break;
            }
            ApplyDrop(g, m.Stack, m.Target);
            EvaluatePatterns(g);
        } else {
            const int pay = ClaimValue(g, m.Position);
            if (pay < 0 || g.PatternIds[m.Position] != m.PatternId) {
                fail("claim of a pattern not offered");
                break;
            }
            ApplyClaim(g, m.Position, pay);
        }
    }
    r.End = JudgeEnd(g);
    if (r.End == EndVerdict::Won)
        while (CollectNext(g) >= 0) {
        }
    r.Points = g.Score - start;
    return r;
}

// Every play, tried: the most points any sequence of moves scores from the position.
int Exhaustive(const GameData& g, std::map<std::string, int>& memo) {
    const EndVerdict end = JudgeEnd(g);
    if (end == EndVerdict::Won) return PointsPerCollectedCard * g.CardsInStacks();
    if (end == EndVerdict::Lost) return 0;
    std::string key(reinterpret_cast<const char*>(g.Row.data()), sizeof(g.Row));
    key.append(reinterpret_cast<const char*>(g.StackCount.data()), sizeof(g.StackCount));
    key.append(reinterpret_cast<const char*>(g.PatternState.data()), sizeof(g.PatternState));
    if (auto it = memo.find(key); it != memo.end()) return it->second;
    int best = 0;
    for (int i = 1; i <= g.PatternCount; ++i) {
        const int pay = ClaimValue(g, i);
        if (pay < 0) continue;
        GameData next = g;
        ApplyClaim(next, i, pay);
        best = std::max(best, pay + Exhaustive(next, memo));
    }
    for (int s = 0; s < StackTotal; ++s) {
        if (g.StackCount[s] == 0) continue;
        for (int t = 0; t < RowSize; ++t) {
            if (JudgeDrop(g, t) != DropVerdict::Accepted) continue;
            GameData next = g;
            ApplyDrop(next, s, t);
            EvaluatePatterns(next);
            best = std::max(best, Exhaustive(next, memo));
        }
    }
    memo[key] = best;
    return best;
}

int Exhaustive(const GameData& g) {
    std::map<std::string, int> memo;
    return Exhaustive(g, memo);
}

GameData DealtGame(int level, std::int32_t number) {
    GameData g;
    SetLevel(g, level);
    StartDeal(g, DealByNumber(number));
    EvaluatePatterns(g);
    return g;
}

// An endgame by hand: the row, the stacks bottom to top ("" for an empty one), and the
// pattern ids still open; the row is evaluated as after a drop.
GameData Endgame(int level, const char* row, std::vector<std::string> stacks, std::vector<int> open) {
    GameData g;
    SetLevel(g, level);
    Table t;
    t.Row = RowFromText(row);
    t.JokerPos = FindJoker(t.Row);
    for (int s = 0; s < StackTotal; ++s) {
        std::istringstream in(s < static_cast<int>(stacks.size()) ? stacks[s] : "");
        std::string card;
        while (in >> card) t.Stacks[s][t.StackCount[s]++] = CardFromText(card);
    }
    StartDeal(g, t);
    for (int i = 1; i <= g.PatternCount; ++i)
        if (std::find(open.begin(), open.end(), g.PatternIds[i]) == open.end()) g.PatternState[i] = TPatternState::Claimed;
    EvaluatePatterns(g);
    g.GameState = gsRunning;
    return g;
}

// Plays a deal on with random legal moves until only a few cards are left: small positions
// taken from real deals, with whatever the random play left claimed.
GameData RandomEndgame(int level, unsigned seed, int cardsLeft) {
    GameData g = DealtGame(level, static_cast<std::int32_t>(seed));
    std::mt19937 pick(seed);
    while (g.CardsInStacks() > cardsLeft) {
        if (pick() % 3 == 0) {
            for (int i = 1; i <= g.PatternCount; ++i) {
                const int pay = ClaimValue(g, i);
                if (pay >= 0) {
                    ApplyClaim(g, i, pay);
                    break;
                }
            }
        }
        if (JudgeEnd(g) != EndVerdict::Playing) break;
        int s;
        do s = static_cast<int>(pick() % StackTotal);
        while (g.StackCount[s] == 0);
        const int t = g.JokerPos != -1 ? g.JokerPos : static_cast<int>(pick() % RowSize);
        ApplyDrop(g, s, t);
        EvaluatePatterns(g);
    }
    g.Score = 0;
    return g;
}

// The most a pattern can pay from a set of cards, found by trying every row of four.
int BestClaimByTrying(int id, const std::vector<CardCode>& cards) {
    int best = 0;
    const int n = static_cast<int>(cards.size());
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
            for (int c = b + 1; c < n; ++c)
                for (int d = c + 1; d < n; ++d) {
                    const std::array<CardCode, RowSize> row = {cards[a], cards[b], cards[c], cards[d]};
                    if (std::count(row.begin(), row.end(), JokerCard) > 1) continue; // never in a row
                    const TPatternState st = TestPattern(id, AnalyseRow(row));
                    if (!IsOffered(st)) continue;
                    int pay = ClaimPoints(id, st == TPatternState::OfferedBonus);
                    if (FindJoker(row) != -1) pay /= 2;
                    best = std::max(best, pay);
                }
    return best;
}

TEST(Solver, BestClaimFromAgreesWithTryingEveryRow) {
    std::mt19937 pick(16);
    Deck deck = OrderedDeck();
    for (int round = 0; round < 3000; ++round) {
        std::shuffle(deck.begin(), deck.end(), pick);
        // Small sets show the edges; sets skewed to few values or one colour make the rare
        // patterns (four equal values, one colour, sequences) common enough to be tested.
        const int size = 4 + static_cast<int>(pick() % 6);
        std::vector<CardCode> cards;
        CardSet set;
        const int style = round % 3;
        for (CardCode c : deck) {
            if (static_cast<int>(cards.size()) == size) break;
            if (style == 1 && !IsJoker(c) && ValueField(c) % 4 != 3 && ValueField(c) > 3) continue;
            if (style == 2 && !IsJoker(c) && ColourIndex(c) != 0) continue;
            cards.push_back(c);
            set.Add(c);
        }
        for (int id = 1; id <= PatternIdCount; ++id)
            ASSERT_EQ(BestClaimFrom(id, set), BestClaimByTrying(id, cards)) << "pattern " << id << " round " << round;
    }
}

// Deals at every level, with a small budget of work: the play replays legally through the
// game's rules to the points reported, beats or equals the greedy play, and stays under the
// bound. The widening passes, the merging of positions and the pruning all take part.
TEST(Solver, PlaysReplayToTheirPointsAtEveryLevel) {
    SolverSettings quick;
    quick.Work = 40'000;
    for (int level = 1; level <= LevelCount; ++level)
        for (std::int32_t number : {4242 + level, 17, 8}) {
            const GameData g = DealtGame(level, number);
            const SolverResult found = Solve(g, quick);
            const std::string what = "deal " + std::to_string(number) + " level " + std::to_string(level);
            const Replay r = ReplayMoves(g, found.Moves);
            ASSERT_TRUE(r.Legal) << what << ": " << r.Fault;
            EXPECT_NE(r.End, EndVerdict::Playing) << what << ": the play runs to the end of the game";
            EXPECT_EQ(r.End == EndVerdict::Won, found.Won) << what;
            EXPECT_EQ(r.Points, found.Points) << what;
            EXPECT_GE(found.Bound, found.Points) << what;
            EXPECT_LE(found.Bound, UpperBound(g)) << what;

            const SolverResult greedy = SolveGreedy(g);
            const Replay rg = ReplayMoves(g, greedy.Moves);
            ASSERT_TRUE(rg.Legal) << what << ": " << rg.Fault;
            EXPECT_EQ(rg.Points, greedy.Points) << what;
            EXPECT_GE(found.Points, greedy.Points) << what;
        }
}

// Deals that a shorter-sighted search lost although they can be won.
TEST(Solver, WinsDealsThatCanBeWon) {
    struct Case {
        int level;
        std::int32_t number;
    };
    for (const Case c : {Case{1, 17}, Case{4, 27}}) {
        const GameData g = DealtGame(c.level, c.number);
        const SolverResult found = Solve(g);
        EXPECT_TRUE(found.Won) << "deal " << c.number << " level " << c.level;
        EXPECT_EQ(ReplayMoves(g, found.Moves).Points, found.Points) << "deal " << c.number;
    }
}

// A hint from a game under way: a legal first move, found with a fifth of the work.
TEST(Solver, HintFromAGameUnderWay) {
    for (int level : {1, LevelCount}) {
        const GameData g = RandomEndgame(level, 500 + level, 36);
        if (JudgeEnd(g) != EndVerdict::Playing) continue;
        const SolverSettings hint = HintSettings();
        const SolverResult found = Solve(g, hint);
        ASSERT_FALSE(found.Moves.empty()) << "level " << level;
        const Replay r = ReplayMoves(g, found.Moves);
        ASSERT_TRUE(r.Legal) << "level " << level << ": " << r.Fault;
        EXPECT_EQ(r.Points, found.Points);
        EXPECT_GE(found.Bound, found.Points);
        EXPECT_GE(found.Points, SolveGreedy(g).Points);
    }
}

TEST(Solver, SameDealSameAnswerAlsoFromAGameUnderWay) {
    SolverSettings narrow;
    narrow.BeamWidth = 30;
    GameData g = RandomEndgame(4, 77, 30);
    const SolverResult a = Solve(g, narrow), b = Solve(g, narrow);
    EXPECT_EQ(a.Moves, b.Moves);
    EXPECT_EQ(a.Points, b.Points);
    EXPECT_EQ(a.Bound, b.Bound);
    const Replay r = ReplayMoves(g, a.Moves);
    ASSERT_TRUE(r.Legal) << r.Fault;
    EXPECT_EQ(r.Points, a.Points);
}

TEST(Solver, AgreesWithEveryPlayTriedOnSmallEndgames) {
    struct Case {
        const char* what;
        GameData game;
    };
    const std::vector<Case> cases = {
        // Dig the fourth 7 out: three drops leave two cards to collect.
        {"four equal values under two cards",
         Endgame(1, "r7 g7 b7 r2", {"v7 g3 b5", "r9 b12"}, {8})},
        // The joker halves a claim and must be covered next; covering it with the right card
        // pays more than claiming at once.
        {"joker to be covered", Endgame(1, "r5 g5 J b9", {"b5 v12", "v5"}, {6, 5})},
        // The only card left completes the pattern, but its drop ends the game first.
        {"last drop loses", Endgame(1, "r2 g3 b5 v9", {"", "", "r9"}, {5})},
        // A standing offer claimed at once wins and collects every card.
        {"claim before any drop", Endgame(1, "r1 g11 b1 v11", {"r3 g4", "b6"}, {16})},
        {"two patterns, one row", Endgame(3, "r4 g8 b12 v4", {"r8 g12", "v8 b4"}, {17, 7, 5})},
    };
    for (const Case& c : cases) {
        const int best = Exhaustive(c.game);
        const SolverResult found = Solve(c.game);
        const Replay r = ReplayMoves(c.game, found.Moves);
        ASSERT_TRUE(r.Legal) << c.what << ": " << r.Fault;
        EXPECT_EQ(r.Points, found.Points) << c.what;
        EXPECT_EQ(found.Points, best) << c.what;
        EXPECT_EQ(found.Bound, best) << c.what << ": nothing let go, so the bound is the answer";
        EXPECT_GE(UpperBound(c.game), best) << c.what;
    }
    for (int level = 1; level <= LevelCount; ++level)
        for (unsigned seed = 1; seed <= 6; ++seed) {
            const GameData g = RandomEndgame(level, seed * 31 + level, 5);
            if (JudgeEnd(g) != EndVerdict::Playing) continue;
            const int best = Exhaustive(g);
            const SolverResult found = Solve(g);
            EXPECT_EQ(found.Points, best) << "level " << level << " seed " << seed;
            EXPECT_GE(found.Bound, best);
            EXPECT_GE(UpperBound(g), best);
            EXPECT_EQ(ReplayMoves(g, found.Moves).Points, found.Points);
        }
}

// A win collects only the cards it did not have to dig through: the bound of a position
// counts the drops that reach the cards every open pattern needs, and is exact here.
TEST(Solver, BoundCountsTheCardsAWinMustDig) {
    struct Case {
        const char* what;
        GameData game;
        int best;
    };
    const std::vector<Case> cases = {
        // The fourth 7 lies under five cards: six drops, then three cards to collect.
        {"one deep card", Endgame(1, "r7 g7 b7 r2", {"v7 g3 b5 r9 g4 b6", "r8 b12 g13"}, {8}), 822 + 3 * 21},
        // Blue needs a card from under two in each of two stacks; two equal values come on
        // the way. Two cards are left to collect.
        {"two stacks dug", Endgame(1, "b2 b9 r5 g6", {"b4 r1 g1", "b7 g3 r3", "v2 v8"}, {3, 5}),
         80 + 35 + 2 * 21},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Exhaustive(c.game), c.best) << c.what;
        EXPECT_EQ(UpperBound(c.game), c.best) << c.what;
    }
    // Never below the best play, from endgames of real deals with more cards left.
    for (int level = 1; level <= LevelCount; ++level)
        for (unsigned seed = 1; seed <= 8; ++seed) {
            const GameData g = RandomEndgame(level, seed * 97 + level, 7);
            if (JudgeEnd(g) != EndVerdict::Playing) continue;
            EXPECT_GE(UpperBound(g), Exhaustive(g)) << "level " << level << " seed " << seed;
        }
}

TEST(Solver, AnEndedGameHasNothingLeft) {
    GameData won = Endgame(1, "r2 g3 b5 v9", {"r4"}, {});
    GameData lost = Endgame(1, "r2 g3 b5 v9", {}, {5});
    for (const GameData* g : {&won, &lost}) {
        const SolverResult r = Solve(*g);
        EXPECT_TRUE(r.Moves.empty());
        EXPECT_EQ(r.Points, 0);
        EXPECT_EQ(r.Bound, 0);
    }
}

} // namespace
