#include "game/Deal.h"
#include "ScriptedRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

TEST(Deal, CardCodesAndFields) {
    EXPECT_EQ(MakeCard(0, 1), 0);
    EXPECT_EQ(MakeCard(1, 13), 28);
    EXPECT_EQ(MakeCard(3, 13), 60);
    EXPECT_EQ(ColourIndex(JokerCard), 4);
    EXPECT_EQ(ValueField(JokerCard), 15);
    const Deck d = OrderedDeck();
    EXPECT_EQ(d[13 * 2 + 4], MakeCard(2, 5));
    EXPECT_EQ(d[52], JokerCard);
    EXPECT_EQ(d[53], JokerCard);
}

// Over many seeds: every card exactly once, at most one joker in the row, JokerPos names it,
// ten cards a stack laid from entry 10s upwards.
TEST(Deal, InvariantsOverManySeeds) {
    int rowsWithJoker = 0, jokerOnTop = 0;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        GameRandom random(seed);
        const Table t = DealTable(random);
        std::multiset<int> cards(t.Row.begin(), t.Row.end());
        for (int s = 0; s < StackTotal; ++s) {
            ASSERT_EQ(t.StackCount[s], 10);
            cards.insert(t.Stacks[s].begin(), t.Stacks[s].end());
            if (IsJoker(t.TopCard(s))) ++jokerOnTop;
        }
        ASSERT_EQ(cards.size(), 54u);
        ASSERT_EQ(cards.count(JokerCard), 2u);
        for (int c = 0; c < 4; ++c)
            for (int v = 1; v <= 13; ++v) ASSERT_EQ(cards.count(MakeCard(c, v)), 1u);
        const int jokersInRow = static_cast<int>(std::count(t.Row.begin(), t.Row.end(), JokerCard));
        ASSERT_LE(jokersInRow, 1);
        ASSERT_EQ(t.JokerPos, FindJoker(t.Row));
        rowsWithJoker += jokersInRow;
    }
    EXPECT_GT(rowsWithJoker, 0); // both cases occur
    EXPECT_GT(jokerOnTop, 0);
}

// The ordered deck has both jokers in the row entries, so a first shuffle that leaves them
// there must be followed by a second shuffle of the same deck (not a fresh one).
TEST(Deal, ReshufflesTheSameDeckWhileBothJokersLieInTheRow) {
    std::vector<int> script;
    script.push_back(1); // first pass: swap entries 1 and 2, then only no-op swaps
    script.push_back(2);
    script.resize(2 * ShuffleSwaps, 0);
    script.push_back(52); // second pass: move one joker to entry 0
    script.push_back(0);
    script.resize(4 * ShuffleSwaps, 0);
    ScriptedRandom random(script);
    const Table t = DealTable(random);

    EXPECT_EQ(random.Draws, 4u * ShuffleSwaps);
    EXPECT_EQ(t.Row[0], MakeCard(3, 12));
    EXPECT_EQ(t.Row[1], MakeCard(3, 13));
    EXPECT_EQ(t.Row[2], MakeCard(0, 1));
    EXPECT_EQ(t.Row[3], JokerCard);
    EXPECT_EQ(t.JokerPos, 3);
    // Stack s holds entries 10s..10s+9, the first swap of the first pass still in place.
    EXPECT_EQ(t.Stacks[0][0], JokerCard);
    EXPECT_EQ(t.Stacks[0][1], MakeCard(0, 3));
    EXPECT_EQ(t.Stacks[0][2], MakeCard(0, 2));
    EXPECT_EQ(t.Stacks[1][9], MakeCard(1, 7)); // entry 19
    EXPECT_EQ(t.TopCard(4), MakeCard(3, 11));  // entry 49
}
