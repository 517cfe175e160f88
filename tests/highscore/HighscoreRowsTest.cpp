// The stored form of a highscore row and where a new score goes.

#include "settings/HighscoreStore.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

namespace {

TEST(HighscoreKey, LevelLetterAndRowNumber) {
    EXPECT_EQ(HighscoreKey(1, 0), "hsa0");
    EXPECT_EQ(HighscoreKey(2, 7), "hsb7");
    EXPECT_EQ(HighscoreKey(4, 14), "hsd14");
}

TEST(ParseHighscoreRow, OnlyTheFirstCommaSeparates) {
    using Row = std::optional<std::pair<int, QString>>;
    const std::pair<const char*, Row> cases[] = {
        {"0,Mr. Brain", Row{{0, "Mr. Brain"}}},
        {"250,Ann, the Great", Row{{250, "Ann, the Great"}}},
        {"300,", Row{{300, ""}}},
        {"-5,x", Row{{-5, "x"}}},
        {"7,,", Row{{7, ","}}},
        {"", Row{}},
        {"no comma", Row{}},
        {"abc,Bob", Row{}},
        {",Bob", Row{}},
        {" 5,Bob", Row{}},
        {"12x,Eve", Row{}},
        {"99999999999,Max", Row{}},
    };
    for (const auto& [text, row] : cases)
        EXPECT_EQ(ParseHighscoreRow(QString::fromUtf8(text)), row) << text;
    EXPECT_EQ(ParseHighscoreRow(FormatHighscoreRow(42, "a,b")), (Row{{42, "a,b"}}));
}

TEST(HighscoreInsertPos, StrictlyLowerRowTakesTheNewScore) {
    THighscoreScores zeros{}, hundreds, falling;
    hundreds.fill(100);
    for (int row = 0; row < HighscoreRows; ++row)
        falling[row] = 1500 - 100 * row; // 1500 .. 100
    struct Case {
        const char* name;
        const THighscoreScores& scores;
        int score, pos;
    };
    const Case cases[] = {
        {"fresh list", zeros, 5, 0},        {"fresh list, zero", zeros, 0, -1},
        {"full of 100, 100", hundreds, 100, -1}, {"full of 100, 101", hundreds, 101, 0},
        {"tie with row 5", falling, 1000, 6}, {"just above the last", falling, 101, 14},
        {"equal to the last", falling, 100, -1}, {"best of all", falling, 2000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HighscoreInsertPos(c.scores, c.score), c.pos) << c.name;
}

} // namespace
