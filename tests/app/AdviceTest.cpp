// Par after a game and hints during one, through the real window.
#include "AppFixture.h"
#include "tests/support/Board.h"

#include "app/Accessibility.h"
#include "app/Advice.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/okDlg.h"
#include "game/Solver.h"
#include "settings/StatisticsStore.h"

#include <QLabel>
#include <QTest>

namespace {

using Advice = AppFixture;

// Lets the search finish and its queued answer arrive.
void Settle(TSolverRunner& runner) {
    runner.Wait();
    QTest::qWait(10);
}

void PressHint(TMainform* form) {
    form->activateWindow();
    QTest::keyClick(form, Qt::Key_H);
}

TEST_F(Advice, HintMarksTheNextMoveUntilItIsMadeAndKeepsTheGameOutOfTheHighscoreList) {
    Start();
    // One pattern left; "four equal values" lies one card away, under the red 2 on stack 1.
    SetTable("r7 g7 b7 v2", {{"r3", "g9"}, {"r2", "v7"}, {"b12"}});
    for (int i = 1; i <= form->Game().PatternCount; ++i)
        if (form->Game().PatternIds[i] != 8) form->Game().PatternState[i] = TPatternState::Claimed;
    form->Game().GameState = gsRunning;
    form->Game().Score = 300;
    const SolverMove best = Solve(form->Game()).Moves.front();

    PressHint(form);
    Settle(form->Advice->HintRunner());
    THintMark* mark = form->Advice->Mark();
    ASSERT_TRUE(mark->Showing());
    ASSERT_EQ(best.Type, SolverMove::Kind::Drop);
    EXPECT_EQ(mark->Places(), (QList<QRect>{form->Board.Layout.StackTopRect(best.Stack),
                                            form->Board.Layout.RowRect(best.Target)}));
    EXPECT_TRUE(form->Session.Assisted());
    EXPECT_EQ(mark->Text(), QStringLiteral("Hint: drop the %1 from stack %2 on position %3")
                                .arg(CardName(form->Game().TopCard(best.Stack)))
                                .arg(best.Stack + 1)
                                .arg(best.Target + 1));
    // The frame shows over the board, around the stack's top card, and stays.
    QTest::qWait(3000);
    const QRect top = form->Board.Layout.StackTopRect(best.Stack);
    const QImage shot = form->grab().toImage();
    EXPECT_EQ(shot.pixelColor(top.left() - 4, top.center().y()), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(top.left() - 7, top.center().y()), QColor(Qt::black));
    EXPECT_TRUE(mark->isVisible()) << "the mark stays until the next move";
    DragToRow(best.Stack, best.Target);
    EXPECT_FALSE(mark->isVisible()) << "the move made, the mark goes";

    // Lost with 300 points: the end message says why no highscore entry follows.
    dialogs.Expect("TOKDialog", [this](QDialog* d) {
        EXPECT_TRUE(form->OKDialog->Note->isVisible());
        EXPECT_TRUE(form->OKDialog->Note->text().contains(AssistedText()));
        PressButton(d, "YesBtn", 2);
    });
    for (int s : {0, 0, 1, 1, 2})
        DragToRow(s, 3);
    EXPECT_EQ(form->Game().GameState, gsLost);
    EXPECT_EQ(dialogs.Seen, QStringList{"TOKDialog"});

    // Counted apart in the statistics, not as a lost game of the player's own.
    const Statistics stored = ReadStatistics(form->ini);
    EXPECT_EQ(stored.Levels[form->Game().Level - 1].Assisted, 1);
    EXPECT_EQ(stored.Levels[form->Game().Level - 1].Played, 0);

    // A new deal is a fair game again.
    ClickButton(form->ToolButton(TTool::Mix));
    EXPECT_FALSE(form->Session.Assisted());
}

TEST_F(Advice, HintShowsTheClaimWhenTheRowPaysBestNow) {
    Start();
    SetTable("r1 g11 b1 v11", {{"r3", "g4"}, {"b6"}});
    const int ones = PositionOf(form->Game(), 16);
    for (int i = 1; i <= form->Game().PatternCount; ++i)
        if (i != ones) form->Game().PatternState[i] = TPatternState::Claimed;
    form->Session.Evaluate();
    PressHint(form);
    Settle(form->Advice->HintRunner());
    EXPECT_EQ(form->Advice->Mark()->Places(), QList<QRect>{form->Board.Layout.PatternRect(ones)});
}

TEST_F(Advice, NoHintWhenTheBoardMovedOnOrTheGameIsOver) {
    Start();
    form->Game().GameState = gsRunning;
    PressHint(form);
    DragToRow(0, form->Game().JokerPos >= 0 ? form->Game().JokerPos : 0); // before the answer is shown
    Settle(form->Advice->HintRunner());
    EXPECT_FALSE(form->Advice->Mark()->Showing());
    EXPECT_FALSE(form->Session.Assisted());

    form->Game().GameState = gsPaused;
    PressHint(form);
    Settle(form->Advice->HintRunner());
    EXPECT_FALSE(form->Advice->Mark()->Showing());
}

TEST_F(Advice, ParOfTheDealShowsAtTheEndAndIsStored) {
    Start();
    GameData dealt = form->Game();
    const int par = Solve(dealt).Points;
    // The game ends lost with a claim of 35 points, 10 of which went to the clock before; the
    // end message waits until the par is in.
    SetTable("r5 g5 b9 v2", {{"r3"}});
    form->Advice->DealLaid(dealt, dealt.Level, form->Session.Deal()); // the par is for the deal as dealt
    form->Timer->stop();
    form->Game().GameState = gsRunning;
    form->Game().ClockTicks = 30;
    form->Game().Score = -10;
    ClickPattern(PositionOf(form->Game(), 5));
    QString note;
    dialogs.Expect("TOKDialog", [this, &note](QDialog* d) {
        // Closed whatever happens: a message left open would hold the test for good.
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return form->OKDialog->Note->text().contains(QStringLiteral("best found")); },
            ParPatienceMs));
        note = form->OKDialog->Note->text();
        PressButton(d, "YesBtn", 2);
    });
    dialogs.Expect("THighscoreDlg", Press("CancelBtn", 0));
    DragToRow(0, 0);
    EXPECT_EQ(form->Game().GameState, gsLost);
    // Compared on the par's own terms: the points without the clock, then the final score.
    EXPECT_EQ(
        note,
        QStringLiteral("best found for this deal: %1 points; you: 35 points, 25 after the clock").arg(par));
    ASSERT_TRUE(form->Advice->Par());
    EXPECT_EQ(*form->Advice->Par(), par);
    EXPECT_TRUE(IniText().contains(QStringLiteral("para=%1").arg(par))) << IniText().toStdString();
    const std::optional<ParOfGame> stored = LastGamePar(ReadStatistics(form->ini));
    ASSERT_TRUE(stored) << "the statistics show it for the last game";
    EXPECT_EQ(stored->Par, par);
    EXPECT_EQ(stored->Score, 25);
    EXPECT_EQ(stored->Points, 35);
    EXPECT_FALSE(form->OKDialog->Note->isVisible()) << "the note belongs to that message only";
}

// The par arrives after the board may have moved to another deal at another level (the level
// change ends the game first): it is stored for the game it belongs to.
TEST_F(Advice, ParIsStoredForTheLevelAndDealOfItsGame) {
    Start();
    const GameData basic = form->Game();
    const int par = Solve(basic).Points;
    form->Advice->DealLaid(basic, 1, 4242);
    StoreFinishedGame(form->ini, {1, GameEnd::LevelChanged, 120, 10, 4242});
    form->Advice->GameEnded(120, 130);
    form->Session.SetLevel(3);
    form->Session.LayDeal(77);
    Settle(form->Advice->ParRunner());
    const Statistics stored = ReadStatistics(form->ini);
    EXPECT_EQ(stored.Levels[0].Par, par);
    EXPECT_EQ(stored.Levels[0].ParDeal, 4242);
    EXPECT_EQ(stored.Levels[2].ParDeal, 0);
    ASSERT_TRUE(LastGamePar(stored));
    EXPECT_EQ(LastGamePar(stored)->Score, 120);
}

} // namespace

namespace {

TEST_F(Advice, TheInfoPageAsksForAHintByMouse) {
    Start();
    dialogs.Expect("TOptionsDialog", [](QDialog* d) {
        auto* multi = static_cast<TOptionsDialog*>(d);
        EXPECT_TRUE(multi->InfoHint->isVisible());
        EXPECT_EQ(multi->InfoHint->Text(), QStringLiteral("Hint: the next move (H)"));
        emit multi->InfoHint->Clicked();
    });
    ClickButton(form->ToolButton(TTool::Info));
    Settle(form->Advice->HintRunner());
    EXPECT_TRUE(form->Advice->Mark()->Showing());
    EXPECT_TRUE(form->Session.Assisted());

    // Over: the page offers no hint.
    form->Game().GameState = gsLost;
    dialogs.Expect("TOptionsDialog", [](QDialog* d) {
        EXPECT_FALSE(static_cast<TOptionsDialog*>(d)->InfoHint->isVisible());
        PressButton(d, "OKBtn", 0);
    });
    ClickButton(form->ToolButton(TTool::Info));
}

} // namespace
