// The best play of a deal shown on the real window: offered below the end message and in the
// statistics, stepped with the keys, silent, and gone without a trace when it is left.
#include "AppFixture.h"
#include "tests/support/Board.h"

#include "app/Advice.h"
#include "app/BestPlay.h"
#include "dialogs/StatisticsDlg.h"
#include "dialogs/okDlg.h"
#include "game/Solver.h"

#include <QLabel>
#include <QTest>

namespace {

class BestPlayTest : public AppFixture {
  protected:
    // A game lost with one claim, on a deal whose par the end message waits for; B in the
    // message asks for the best play. Returns the deal as dealt; finished is the game as it
    // ended (taken while the highscore entry waits, before the best play can begin).
    GameData LoseAGame(bool askForBestPlay, TSessionState* finished = nullptr) {
        Start();
        const GameData dealt = form->Game();
        SetTable("r5 g5 b9 v2", {{"r3"}});
        form->Advice->DealLaid(dealt, dealt.Level, form->Session.Deal());
        form->Timer->stop();
        form->Game().GameState = gsRunning;
        ClickPattern(PositionOf(form->Game(), 5));
        dialogs.Expect("TOKDialog", [this, askForBestPlay](QDialog* d) {
            // Answered whatever happens: a message left open would hold the test for good.
            EXPECT_TRUE(
                QTest::qWaitFor([this] { return form->OKDialog->BestPlayLink->isVisible(); }, ParPatienceMs));
            EXPECT_EQ(form->OKDialog->BestPlayLink->accessibleName(),
                      QStringLiteral("Show the best play (B)"));
            if (askForBestPlay && form->OKDialog->BestPlayLink->isVisible())
                QTest::keyClick(d, Qt::Key_B);
            else
                PressButton(d, "YesBtn", 2);
        });
        dialogs.Expect("THighscoreDlg", [this, finished](QDialog* d) {
            if (finished) *finished = form->Session.Snapshot();
            PressButton(d, "CancelBtn", 0);
        });
        DragToRow(0, 0);
        EXPECT_EQ(form->Game().GameState, gsLost);
        return dealt;
    }
};

TEST_F(BestPlayTest, StepsThroughTheParsLineSilentlyAndLeavesTheFinishedBoardAsItWas) {
    TSessionState finished;
    const GameData dealt = LoseAGame(true, &finished);
    const QString stored = IniText();
    // It begins once the highscore entry is through, with the deal as dealt.
    QTRY_VERIFY(form->BestPlay->Active());
    EXPECT_EQ(dialogs.Seen, (QStringList{"TOKDialog", "THighscoreDlg"}));
    const TReplay& replay = form->BestPlay->Replay();
    EXPECT_EQ(form->Game().Row, dealt.Row);
    EXPECT_EQ(form->Game().StackCount, dealt.StackCount);
    EXPECT_EQ(replay.Points(), *form->Advice->Par());
    EXPECT_TRUE(
        form->Advice->Mark()->Text().startsWith(QStringLiteral("Best play: %1 points").arg(replay.Points())));
    sounds.clear();

    // Played on by the clock, then stepped by hand; the board shows each position.
    QTRY_COMPARE_WITH_TIMEOUT(replay.At(), 2, 5000);
    QTest::keyClick(form, Qt::Key_Right);
    EXPECT_EQ(replay.At(), 3);
    EXPECT_TRUE(form->BestPlay->Paused());
    QTest::qWait(1500);
    EXPECT_EQ(replay.At(), 3) << "a step by hand pauses the showing";
    QTest::keyClick(form, Qt::Key_Left);
    EXPECT_EQ(replay.At(), 2);
    EXPECT_EQ(form->Game().Row, replay.Position().Row);
    // The move that led here, in words (a claim adds its points).
    const QString text = form->Advice->Mark()->Text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Best play 2/%1: %2")
                                    .arg(replay.Length())
                                    .arg(MoveText(replay.Step(1).Move, replay.Before(1)))))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(" (paused)"))) << text.toStdString();
    QTest::keyClick(form, Qt::Key_End);
    EXPECT_EQ(form->Game().Score, replay.Points());
    // A timer tick neither drains nor glitters anything into a game.
    form->TimerTimer();
    EXPECT_EQ(form->Game().Score, replay.Points());
    EXPECT_TRUE(sounds.isEmpty()) << sounds.join(' ').toStdString();

    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_FALSE(form->BestPlay->Active());
    EXPECT_EQ(form->Session.Snapshot(), finished);
    EXPECT_FALSE(form->Advice->Mark()->Showing());
    EXPECT_EQ(IniText(), stored) << "nothing of it is counted or stored";
    // B on the finished board shows it again, at once: the line is known.
    QTest::keyClick(form, Qt::Key_B);
    EXPECT_TRUE(form->BestPlay->Active());
    // Any other key leaves it and does its own work: F2 deals anew.
    QTest::keyClick(form, Qt::Key_F2);
    EXPECT_FALSE(form->BestPlay->Active());
    EXPECT_EQ(form->Game().GameState, gsNotStarted);
    EXPECT_NE(form->Game().Row, finished.Game.Row);
}

TEST_F(BestPlayTest, FromTheStatisticsOnlyBetweenGamesAndSeenBeforePlayingTheDealMeansAssisted) {
    LoseAGame(false);
    const std::int32_t deal = form->Session.Deal();

    // While a game runs, neither B nor the statistics show it.
    QTest::keyClick(form, Qt::Key_R, Qt::ControlModifier); // the same deal, not yet begun
    ASSERT_EQ(form->Session.Deal(), deal);
    form->Game().GameState = gsRunning;
    QTest::keyClick(form, Qt::Key_B);
    dialogs.Expect("TStatisticsDlg", [this](QDialog* d) {
        EXPECT_FALSE(form->StatisticsDlg->bestPlayLabel->isVisible());
        QTest::keyClick(d, Qt::Key_B);
        EXPECT_TRUE(d->isVisible()) << "B is no answer without the link";
        PressButton(d, "OKBtn", 1);
    });
    QTest::keyClick(form, Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(form->BestPlay->Active());

    // Before the first move of the same deal it is offered, and watching it makes the game
    // to come an assisted one.
    form->Game().GameState = gsNotStarted;
    const TSessionState fresh = form->Session.Snapshot();
    dialogs.Expect("TStatisticsDlg", [this](QDialog*) {
        ASSERT_TRUE(form->StatisticsDlg->bestPlayLabel->isVisible());
        EXPECT_EQ(form->StatisticsDlg->bestPlayLabel->Text(), QStringLiteral("Show the best play (B)"));
        form->StatisticsDlg->BestPlayClick();
    });
    QTest::keyClick(form, Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(form->BestPlay->Active());
    // A press on the board ends it; the fresh deal is back, untouched.
    MouseDown(form->Board.Layout.StackTopRect(0).center());
    MouseUp(form->Board.Layout.StackTopRect(0).center());
    EXPECT_FALSE(form->BestPlay->Active());
    EXPECT_EQ(form->Game(), fresh.Game);
    EXPECT_TRUE(form->Session.Assisted());
}

} // namespace
