#include "game/Game.h"
#include "game/Patterns.h"
#include "RowText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>

namespace {

// "5 6 13*" -> offered ids, '*' marking the colour bonus.
std::map<int, TPatternState> OffersFromText(const std::string& text) {
    std::map<int, TPatternState> offers;
    std::istringstream in(text);
    std::string t;
    while (in >> t) {
        const bool bonus = t.back() == '*';
        offers[std::stoi(t)] = bonus ? TPatternState::OfferedBonus : TPatternState::Offered;
    }
    return offers;
}

struct RowCase {
    const char* row;
    const char* offers; // every pattern id not listed must stay open
};

class PatternRows : public ::testing::TestWithParam<RowCase> {};

TEST_P(PatternRows, OffersExactlyTheseAmongAllEighteen) {
    const RowFacts facts = AnalyseRow(RowFromText(GetParam().row));
    const auto expected = OffersFromText(GetParam().offers);
    for (int id = 1; id <= PatternIdCount; ++id) {
        const auto it = expected.find(id);
        const TPatternState want = it == expected.end() ? TPatternState::Open : it->second;
        EXPECT_EQ(static_cast<int>(TestPattern(id, facts)), static_cast<int>(want))
            << "pattern " << id << " on " << GetParam().row;
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, PatternRows, ::testing::Values(
    RowCase{"r5 g5 b9 J", "5 6 7 10"},             // a pair and the joker: not four equal values
    RowCase{"r12 r13 r11 J", "1 5 9* 13*"},        // joker fills the top of the sequence; 36 > 31
    RowCase{"r1 g2 b10 J", "5 11 15"},             // 1 + 2 + 10 = 13 < 14, the joker adds nothing
    RowCase{"r1 g2 b11 J", "5 15"},                // 14 is not smaller than 14
    RowCase{"r13 g13 b13 v6", "5 6 9"},            // 45 > 44
    RowCase{"r13 g13 b12 v6", "5"},                // 44 is not
    RowCase{"v2 v4 v6 v8", "4 12*"},               // gaps: no sequence
    RowCase{"r4 g4 b4 v4", "5 6 7 8 12 17 18"},    // equal values never differ
    RowCase{"r11 g12 b13 J", "5 9 13 15"},         // 11 12 13 J holds
    RowCase{"r5 g6 b8 J", "5 13 15"},              // the joker fills the inner gap
    RowCase{"r5 g7 b9 J", "5 10 15"},              // two gaps, one joker
    RowCase{"r5 g5 b6 v7", "5"},                   // a repeated value breaks the sequence
    RowCase{"r12 g13 b1 v2", "15"},                // no wrap from 13 to 1
    RowCase{"g5 g6 g7 g8", "2 13*"},
    RowCase{"b1 b3 b5 J", "3 5 10* 11*"},          // bonus with three of a colour and the joker
    RowCase{"r1 r11 g1 J", "5 6 7 10 11 16"},
    RowCase{"r3 g6 b9 v12", "14 15"},
    RowCase{"r2 r3 r2 r3", "1 5 7 11*"}),
    // Each case is named after its row ("r5_g5_b9_J"), the same in every run.
    [](const ::testing::TestParamInfo<RowCase>& info) {
        std::string name = info.param.row;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

// What the game pays for claiming pattern id with the joker in the row.
int ClaimWithJoker(int id, bool colourBonus) {
    GameData g;
    g.PatternCount = 1;
    g.PatternIds[1] = id;
    g.PatternState[1] = colourBonus ? TPatternState::OfferedBonus : TPatternState::Offered;
    g.JokerPos = 0;
    return ClaimValue(g, 1);
}

// The whole points table: plain, with colour bonus, and both halved by a joker in the row.
TEST(ClaimPoints, WholeTable) {
    struct Row { int id, plain, bonus, plainJoker, bonusJoker; };
    const Row table[] = {
        {1, 80, 0, 40, 0},     {2, 80, 0, 40, 0},       {3, 80, 0, 40, 0},       {4, 80, 0, 40, 0},
        {5, 35, 0, 17, 0},     {6, 245, 0, 122, 0},     {7, 130, 0, 65, 0},      {8, 822, 0, 411, 0},
        {9, 312, 934, 156, 467}, {10, 46, 136, 23, 68}, {11, 231, 693, 115, 346}, {12, 42, 126, 21, 63},
        {13, 189, 567, 94, 283}, {14, 150, 452, 75, 226}, {15, 98, 0, 49, 0},    {16, 458, 0, 229, 0},
        {17, 290, 0, 145, 0},  {18, 2292, 0, 1146, 0},
    };
    for (const Row& r : table) {
        EXPECT_EQ(ClaimPoints(r.id, false), r.plain) << r.id;
        EXPECT_EQ(ClaimWithJoker(r.id, false), r.plainJoker) << r.id;
        if (ColourBonusPossible(r.id)) {
            EXPECT_EQ(ClaimPoints(r.id, true), r.bonus) << r.id;
            EXPECT_EQ(ClaimWithJoker(r.id, true), r.bonusJoker) << r.id;
        }
    }
    // Exact halves go to the even neighbour, also where no pattern ever gets the bonus.
    EXPECT_EQ(ClaimPoints(1, true), 242);  // 241.5
    EXPECT_EQ(ClaimPoints(0, false), 21);  // a collected card
}

TEST(PatternName, LanguagesAndRange) {
    EXPECT_STREQ(PatternName(9, 1), "Summe größer als 44");
    EXPECT_STREQ(PatternName(11, 0), "sum smaller then 14");
    EXPECT_STREQ(PatternName(2, -1), "only green"); // anything but 1 is English
    EXPECT_STREQ(PatternName(16, 7), "numbers consisting of digit 1 (1 or 11)");
    EXPECT_EQ(PatternName(0, 1), nullptr);
    EXPECT_EQ(PatternName(19, 0), nullptr);
}

} // namespace
