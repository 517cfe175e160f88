// Whole games through real mouse events: dragging cards, claiming offers, winning and losing.
#include "AppFixture.h"
#include "tests/support/Board.h"

#include "dialogs/HighscoreDialog.h"

#include <QDialog>

namespace {

using Play = AppFixture;

// A basic game that can be won in 23 drops: each drop is followed by the claim of the
// pattern named beside it (0: nothing to claim yet).
struct Step {
    int stack, position, claim;
};

TEST_F(Play, AWholeGameWonFromDealToTheHighscoreList) {
    Start();
    // Stack 0 and 1 feed the game in order; the rest only waits to be collected.
    SetTable("r1 g1 b1 v1",
             {{"r11", "r5", "g5", "g2", "v3", "r4", "r3", "r6", "r9", "r12"},
              {"g3", "g7", "g8", "g9", "g10", "b7", "b8", "b10", "b11", "v7"},
              {"v8", "v10", "v11", "r2", "r7", "r8", "r10", "r13", "g4", "g6"},
              {"g11", "g12", "g13", "b2", "b3", "b4", "b5", "b6", "b9", "b12"},
              {"b13", "v2", "v4", "v5", "v6", "v9", "v12", "v13", "J", "J"}});
    const Step plan[] = {
        {-1, -1, 8},                                                    // r1 g1 b1 v1: four equal values
        {0, 0, 16}, {0, 0, 6}, {0, 1, 7}, {0, 1, 5}, {0, 3, 15}, {0, 0, 13},
        {0, 0, 0},  {0, 1, 0}, {0, 2, 0}, {0, 3, 1},                    // r3 r6 r9 r12: only red
        {1, 0, 14},                                                     // g3 r6 r9 r12: multiples of 3
        {1, 0, 0},  {1, 1, 0}, {1, 2, 0}, {1, 3, 2},                    // g7 g8 g9 g10
        {1, 0, 0},  {1, 1, 0}, {1, 2, 0}, {1, 3, 3},                    // b7 b8 b10 b11
        {1, 0, 0},  {2, 1, 0}, {2, 2, 0}, {2, 3, 4},                    // v7 v8 v10 v11
    };
    dialogs.Expect("TOKDialog", Press("YesBtn", 2));
    dialogs.Expect("THighscoreDlg", [](QDialog* d) {
        EXPECT_EQ(static_cast<THighscoreDlg*>(d)->entryScores[0], 2447 + 27 * 21);
        PressButton(d, "YesBtn", 1);
    });
    int claims = 0;
    for (const Step& s : plan) {
        if (s.stack >= 0) DragToRow(s.stack, s.position);
        if (s.claim == 0) continue;
        const int position = PositionOf(form->Game(), s.claim);
        ASSERT_TRUE(IsOffered(form->Game().PatternState[position])) << "pattern " << s.claim;
        ClickPattern(position);
        ASSERT_EQ(form->Game().PatternState[position], TPatternState::Claimed) << "pattern " << s.claim;
        ++claims;
    }
    EXPECT_EQ(claims, 12);
    EXPECT_EQ(form->Game().GameState, gsWon);
    EXPECT_EQ(form->Game().CardsInStacks(), 0);
    EXPECT_EQ(form->Game().Score, 2447 + 27 * 21);
    EXPECT_EQ(dialogs.Seen, (QStringList{"TOKDialog", "THighscoreDlg"}));
    // The end: 27 cards collected one by one, then the fanfare.
    EXPECT_EQ(sounds.count("COLLECT"), 27);
    EXPECT_EQ(sounds.back(), "DONE");
    EXPECT_EQ(sounds.count("TAKE"), 12);
    EXPECT_EQ(delays.count(120), 27);
    EXPECT_EQ(delays.count(100), 12 * 6);
    EXPECT_TRUE(IniText().contains("hsa0="));
    // A finished game ignores the board.
    DragToRow(4, 0);
    EXPECT_EQ(form->Game().CardsInStacks(), 0);
    EXPECT_FALSE(form->Dragging());
}

TEST_F(Play, AWholeGameLostWhenTheStacksRunOut) {
    Start();
    dialogs.Expect("TOKDialog", Press("YesBtn", 2));
    // Every card onto the row, never a claim: the joker rule decides where it may go.
    while (form->Game().GameState != gsLost) {
        int s = 0;
        while (form->Game().StackCount[s] == 0) ++s;
        DragToRow(s, form->Game().JokerPos >= 0 ? form->Game().JokerPos : 0);
    }
    EXPECT_EQ(form->Game().CardsInStacks(), 0);
    EXPECT_EQ(sounds.back(), "LOST");
    EXPECT_EQ(sounds.count("DOWN"), 50);
    EXPECT_EQ(form->Game().Score, 0); // no clock in this test, nothing to offer
    EXPECT_FALSE(form->ToolButton(TTool::GiveUp)->Enabled());
}

TEST_F(Play, ClaimWithTheJokerPaysHalfAndWithdrawsTheOtherOffers) {
    Start();
    SetTable("r5 g5 b9 J", {{"r3"}, {"r5"}, {"r7"}, {"r8"}, {"r10"}});
    const int two = PositionOf(form->Game(), 5), three = PositionOf(form->Game(), 6);
    ASSERT_TRUE(IsOffered(form->Game().PatternState[three]));
    ClickPattern(two);
    EXPECT_EQ(form->Game().Score, 17);
    EXPECT_EQ(sounds, QStringList{"TAKE"});
    EXPECT_EQ(delays, (QList<int>{100, 100, 100, 100, 100, 100}));
    EXPECT_EQ(form->Game().PatternState[three], TPatternState::Open);
    // The pattern shows the claimed mark again after the flash.
    const QRect sq = form->Board.Layout.PatternRect(two);
    const int ps = form->Board.Layout.PatternSize;
    EXPECT_EQ(CanvasRegion(sq.adjusted(1, 1, -1, -1)), form->Board.PatternPictures.copy(1, 1, ps - 2, ps - 2));
    ClickPattern(three); // withdrawn: nothing to claim until the next drop
    EXPECT_EQ(form->Game().Score, 17);
}

TEST_F(Play, WonWithSevenCardsLeftCollectsThemInStackOrder) {
    Start();
    SetTable("r4 g4 b4 J", {{"r3", "r5"}, {}, {"r7", "r8", "r9"}, {}, {"r10", "r12"}});
    form->Game().GameState = gsRunning;
    const int last = PositionOf(form->Game(), 8);
    for (int i = 1; i <= form->Game().PatternCount; ++i)
        if (i != last) form->Game().PatternState[i] = TPatternState::Claimed;
    form->Game().Score = -200;
    dialogs.Expect("TOKDialog", Press("YesBtn", 2));
    dialogs.Expect("THighscoreDlg", Press("CancelBtn", 0));
    QList<int> counts; // stacks 0, 2 and 4 as each COLLECT sounds
    form->OnSound = [&](const QString& n) {
        sounds << n;
        if (n == "COLLECT") counts << form->Game().StackCount[0] * 100 + form->Game().StackCount[2] * 10 + form->Game().StackCount[4];
    };
    ClickPattern(last); // three 4s and the joker: 822 halved
    EXPECT_EQ(form->Game().Score, -200 + 411 + 147);
    EXPECT_EQ(counts, (QList<int>{232, 132, 32, 22, 12, 2, 1}));
    EXPECT_EQ(delays.count(120), 7);
    EXPECT_EQ(form->Game().GameState, gsWon);
    EXPECT_EQ(sounds.back(), "DONE");
}

TEST_F(Play, WonWithAScoreAtOrBelowZeroOffersNothing) {
    Start();
    SetTable("r4 g4 b4 J", {{"r3"}});
    form->Game().GameState = gsRunning;
    const int last = PositionOf(form->Game(), 8);
    for (int i = 1; i <= form->Game().PatternCount; ++i)
        if (i != last) form->Game().PatternState[i] = TPatternState::Claimed;
    form->Game().Score = -432;
    dialogs.Expect("TOKDialog", Press("YesBtn", 2));
    ClickPattern(last);
    EXPECT_EQ(form->Game().Score, 0);
    EXPECT_EQ(dialogs.Seen, QStringList{"TOKDialog"});
}

TEST_F(Play, SoundOffPlaysNothingAndChangesNothingElse) {
    Start(true, "sound=0\n");
    SetTable("r5 g5 b9 J", {{"r3"}, {"r5"}, {"r7"}, {"r8"}, {"r10"}});
    DragToRow(0, 3);
    ClickPattern(PositionOf(form->Game(), 5));
    EXPECT_TRUE(sounds.isEmpty());
    EXPECT_EQ(form->Game().Score, 35);
    EXPECT_EQ(delays.size(), 6);
}

} // namespace
