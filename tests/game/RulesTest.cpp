#include "game/Deal.h"
#include "game/Game.h"
#include "RowText.h"
#include "tests/support/Board.h"

#include <gtest/gtest.h>

namespace {

// A game at the given level on a known row, with stacks of known cards (all red 2s: they
// match nothing on their own), running.
GameData GameWithRow(const char* row, int level = 1) {
    GameData g;
    SetLevel(g, level);
    Table t;
    t.Row = RowFromText(row);
    t.JokerPos = FindJoker(t.Row);
    for (int s = 0; s < StackTotal; ++s) {
        t.Stacks[s].fill(MakeCard(0, 2));
        t.StackCount[s] = StackDepth;
    }
    StartDeal(g, t);
    g.GameState = gsRunning;
    return g;
}

void ClaimAllBut(GameData& g, int keepOpen) {
    for (int i = 1; i <= g.PatternCount; ++i)
        if (i != keepOpen) g.PatternState[i] = TPatternState::Claimed;
}

TEST(Rules, SetLevelClampsAndLoadsThePatternRow) {
    struct { int asked, level, count, last; } cases[] = {{0, 1, 12, 16}, {-3, 1, 12, 16}, {2, 2, 14, 16},
                                                         {3, 3, 16, 16}, {4, 4, 18, 18}, {7, 4, 18, 18}};
    for (auto c : cases) {
        GameData g;
        SetLevel(g, c.asked);
        EXPECT_EQ(g.Level, c.level);
        EXPECT_EQ(g.PatternCount, c.count);
        EXPECT_EQ(g.PatternIds[g.PatternCount], c.last);
    }
}

TEST(Rules, EvaluationSkipsClaimedAndPatternsNotInPlay) {
    GameData g = GameWithRow("r13 g13 b13 v6"); // matches 9, which basic does not play
    const int five = PositionOf(g, 5);
    g.PatternState[five] = TPatternState::Claimed;
    const PositionSet evaluated = EvaluatePatterns(g);
    EXPECT_FALSE(evaluated.test(five));
    EXPECT_EQ(g.PatternState[five], TPatternState::Claimed);
    EXPECT_EQ(evaluated.count(), 11u);
    EXPECT_EQ(g.PatternState[PositionOf(g, 6)], TPatternState::Offered);
    EXPECT_EQ(PositionOf(g, 9), -1);
}

TEST(Rules, DropsAndTheJokerRule) {
    GameData g = GameWithRow("r5 g5 J b9");
    EXPECT_EQ(JudgeDrop(g, -1), DropVerdict::Beside);
    EXPECT_EQ(JudgeDrop(g, 0), DropVerdict::JokerRule);
    EXPECT_EQ(JudgeDrop(g, 2), DropVerdict::Accepted);

    g.Stacks[1][9] = JokerCard; // dropping the other joker onto the row's joker replaces it
    ApplyDrop(g, 1, 2);
    EXPECT_EQ(g.Row[2], JokerCard);
    EXPECT_EQ(g.JokerPos, 2);
    EXPECT_EQ(g.StackCount[1], 9);

    ApplyDrop(g, 0, 2); // a coloured card covers the joker: any position is free again
    EXPECT_EQ(g.Row[2], MakeCard(0, 2));
    EXPECT_EQ(g.JokerPos, -1);
    EXPECT_EQ(JudgeDrop(g, 0), DropVerdict::Accepted);

    g.Stacks[3][9] = JokerCard; // a joker may go anywhere when the row holds none
    ApplyDrop(g, 3, 0);
    EXPECT_EQ(g.JokerPos, 0);
    EXPECT_EQ(JudgeDrop(g, 1), DropVerdict::JokerRule);
}

TEST(Rules, ClaimWithJokerPaysHalfAndWithdrawsEveryOtherOffer) {
    GameData g = GameWithRow("r5 g5 b9 J");
    EvaluatePatterns(g);
    const int two = PositionOf(g, 5), three = PositionOf(g, 6), pairs = PositionOf(g, 7);
    ASSERT_TRUE(IsOffered(g.PatternState[three]));
    EXPECT_EQ(ClaimValue(g, two), 17);
    EXPECT_EQ(ClaimValue(g, three), 122);
    EXPECT_EQ(ClaimValue(g, PositionOf(g, 8)), -1); // open: nothing to claim
    ApplyClaim(g, two, ClaimValue(g, two));
    EXPECT_EQ(g.Score, 17);
    EXPECT_EQ(g.PatternState[two], TPatternState::Claimed);
    EXPECT_EQ(g.PatternState[three], TPatternState::Open); // the row still matches, but pays once
    EXPECT_EQ(g.PatternState[pairs], TPatternState::Open);
    EXPECT_EQ(ClaimValue(g, two), -1);
}

TEST(Rules, ClockTakesAPointEveryThirdTickOnlyWhileRunning) {
    GameData g = GameWithRow("r2 g3 b5 v9");
    for (int t = 0; t < 30; ++t) ClockStep(g);
    EXPECT_EQ(g.Score, -10);
    g.GameState = gsPaused;
    for (int t = 0; t < 30; ++t) EXPECT_FALSE(ClockStep(g));
    EXPECT_EQ(g.Score, -10);
    EXPECT_EQ(g.ClockTicks, 30);
    g.GameState = gsRunning;
    for (int t = 0; t < 600; ++t) ClockStep(g);
    EXPECT_EQ(g.Score, -210);
    for (TGameState s : {gsNotStarted, gsWon, gsLost}) {
        g.GameState = s;
        EXPECT_FALSE(ClockStep(g));
    }
    EXPECT_EQ(g.ClockTicks, 630);
}

TEST(Rules, EndOfGame) {
    GameData g = GameWithRow("r2 g3 b5 v9");
    EXPECT_EQ(JudgeEnd(g), EndVerdict::Playing);

    // The last drop empties the stacks while one pattern is still open: lost, even though the
    // new row matches that very pattern.
    const int five = PositionOf(g, 5);
    ClaimAllBut(g, five);
    g.StackCount = {0, 0, 0, 0, 1};
    ApplyDrop(g, 4, 1); // red 2 onto green 3: r2 r2 b5 v9 offers "two equal values"
    EvaluatePatterns(g);
    EXPECT_TRUE(IsOffered(g.PatternState[five]));
    EXPECT_EQ(JudgeEnd(g), EndVerdict::Lost);

    // Claiming the last pattern wins, also with empty stacks (then nothing is collected).
    g.PatternState[five] = TPatternState::Claimed;
    EXPECT_EQ(JudgeEnd(g), EndVerdict::Won);
    EXPECT_EQ(CollectNext(g), -1);
}

TEST(Rules, WonGameCollectsLeftCardsInStackOrder) {
    GameData g = GameWithRow("r2 g3 b5 v9");
    ClaimAllBut(g, -1);
    g.StackCount = {2, 0, 1, 0, 4};
    g.Score = 100;
    int order[7];
    for (int& s : order) s = CollectNext(g);
    EXPECT_EQ(CollectNext(g), -1);
    const int want[7] = {0, 0, 2, 4, 4, 4, 4};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(order[k], want[k]);
    EXPECT_EQ(g.Score, 100 + 147);
}

TEST(Rules, ToolbarTable) {
    struct { TGameState state; bool mix, giveUp, pause; } rows[] = {
        {gsNotStarted, true, false, false}, {gsRunning, true, true, true}, {gsPaused, false, false, true},
        {gsWon, true, false, false},        {gsLost, true, false, false}};
    for (auto r : rows) {
        const ToolbarState t = ToolbarFor(r.state);
        EXPECT_EQ(t.Mix, r.mix) << int(r.state);
        EXPECT_EQ(t.GiveUp, r.giveUp) << int(r.state);
        EXPECT_EQ(t.Pause, r.pause) << int(r.state);
    }
}

TEST(Rules, ADealResetsTheGame) {
    GameData g = GameWithRow("r2 g3 b5 v9", 3);
    g.Score = 512;
    g.ClockTicks = 44;
    g.PatternState[3] = TPatternState::Claimed;
    GameRandom random(7);
    StartDeal(g, DealTable(random));
    EXPECT_EQ(g.GameState, gsNotStarted);
    EXPECT_EQ(g.Score, 0);
    EXPECT_EQ(g.ClockTicks, 0);
    EXPECT_EQ(g.Level, 3);
    for (int i = 1; i <= g.PatternCount; ++i) EXPECT_EQ(g.PatternState[i], TPatternState::Open);
}

} // namespace
