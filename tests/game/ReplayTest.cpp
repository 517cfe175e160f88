#include "game/Replay.h"
#include "game/Deal.h"
#include "game/Solver.h"

#include <gtest/gtest.h>

namespace {

GameData Dealt(std::int32_t deal, int level) {
    GameData g;
    SetLevel(g, level);
    StartDeal(g, DealByNumber(deal));
    EvaluatePatterns(g);
    return g;
}

} // namespace

// The line shown ends where the solver said it would: the same points, the same outcome, and
// stepping back and forth lands on the same positions every time.
TEST(Replay, ShowsTheSolversLineToItsEnd) {
    for (const auto& [deal, level] : {std::pair{17, 1}, std::pair{8, 4}, std::pair{4242, 2}}) {
        SCOPED_TRACE(testing::Message() << "deal " << deal << " level " << level);
        const GameData start = Dealt(deal, level);
        const SolverResult found = Solve(start, HintSettings());
        TReplay replay(start, found.Moves, gsLost);

        EXPECT_EQ(replay.Won(), found.Won);
        EXPECT_EQ(replay.Points(), found.Points);
        // A won line adds the collection of the cards left as its last step.
        const int moves = static_cast<int>(found.Moves.size());
        const bool collects =
            found.Won && replay.Before(replay.Length()).CardsInStacks() == 0 && replay.Length() == moves + 1;
        EXPECT_TRUE(replay.Length() == moves || collects);

        EXPECT_EQ(replay.Position().Row, start.Row);
        EXPECT_EQ(replay.Position().GameState, gsLost);
        EXPECT_EQ(replay.Position().Score, 0);
        replay.ToEnd();
        const GameData end = replay.Position();
        EXPECT_FALSE(replay.Forward());
        while (replay.Back()) {
        }
        EXPECT_EQ(replay.At(), 0);
        while (replay.Forward()) {
        }
        EXPECT_EQ(replay.Position(), end);
    }
}

// A line that goes against the rules (an edited or outdated one) stops at the refused move.
TEST(Replay, StopsAtAMoveTheRulesRefuse) {
    const GameData start = Dealt(4242, 1);
    const SolverResult found = Solve(start, HintSettings());
    ASSERT_GE(found.Moves.size(), 3u);
    const std::vector<SolverMove> cases[] = {
        {found.Moves[0], SolverMove::Drop(0, 9)},   // beside the row
        {found.Moves[0], SolverMove::Claim(5, 40)}, // a pattern that is not there
        {found.Moves[0], SolverMove::Drop(7, 0)},   // no such stack
    };
    for (const auto& line : cases) {
        TReplay replay(start, line, gsWon);
        EXPECT_EQ(replay.Length(), 1);
        EXPECT_FALSE(replay.Won());
    }
}
