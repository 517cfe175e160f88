#include "game/Deal.h"
#include "ScriptedRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

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

// Numbered deals are shared between players and kept in the statistics: these tables must
// never change, on any machine, in any build. Row, then stacks 0..4 bottom card first.
TEST(Deal, NumbersGiveTheirPinnedDeals) {
    struct Pinned {
        std::int32_t number;
        int jokerPos;
        const char* table;
    };
    const Pinned pinned[] = {
        {1, -1, "58 9 4 32 | 25 54 42 7 33 38 17 23 16 52 | 55 41 50 39 79 35 21 20 3 34 | 60 37 24 12 11 56 40 28 48 18 "
                "| 6 1 43 8 27 2 19 36 57 26 | 22 10 79 53 59 44 49 51 0 5"},
        {8, 2, "21 10 79 51 | 9 7 25 12 58 20 37 28 35 22 | 3 56 55 24 4 52 53 38 60 44 | 48 54 17 11 32 41 27 49 18 26 "
               "| 6 39 19 33 57 50 79 2 40 36 | 42 1 23 43 8 59 34 5 16 0"},
        {4242, -1, "24 41 54 39 | 18 25 32 49 23 52 21 26 12 58 | 48 51 10 42 17 8 28 27 22 19 | 79 2 79 44 16 60 57 56 37 34 "
                   "| 7 3 50 43 35 20 59 33 5 4 | 1 55 36 40 9 53 6 11 0 38"},
        {MaxDealNumber, -1, "43 58 38 28 | 11 20 39 33 10 26 79 49 25 56 | 7 60 27 54 24 32 50 12 59 9 "
                            "| 8 4 37 36 51 79 57 41 53 40 | 34 5 19 21 16 52 6 55 23 44 | 3 0 2 35 22 18 48 42 17 1"},
    };
    for (const Pinned& p : pinned) {
        SCOPED_TRACE(p.number);
        const Table t = DealByNumber(p.number);
        std::string text;
        for (CardCode c : t.Row) text += std::to_string(c) + ' ';
        for (int s = 0; s < StackTotal; ++s) {
            text += '|';
            for (CardCode c : t.Stacks[s]) text += ' ' + std::to_string(c);
            if (s + 1 < StackTotal) text += ' ';
        }
        EXPECT_EQ(text, p.table);
        EXPECT_EQ(t.JokerPos, p.jokerPos);
        for (int s = 0; s < StackTotal; ++s) EXPECT_EQ(t.StackCount[s], StackDepth);
    }
}

// The index mapping is exactly uniform: over a span n that does not divide 2^32 every index is
// reachable and the raw values that would bias it are skipped, not folded onto small indices.
TEST(Deal, NumberedDrawsStayInRangeAndReachEveryIndex) {
    DealNumberRandom random(77);
    std::array<int, DeckSize> seen{};
    for (int k = 0; k < 20000; ++k) {
        const int i = random.Random(DeckSize);
        ASSERT_GE(i, 0);
        ASSERT_LT(i, DeckSize);
        ++seen[i];
    }
    for (int count : seen) EXPECT_GT(count, 250);
    EXPECT_EQ(random.Random(1), 0);
    // The widest span the game asks for: a fresh deal number.
    for (int k = 0; k < 1000; ++k) ASSERT_LT(random.Random(MaxDealNumber), MaxDealNumber);
}
