// The window adds each game to the stored statistics at the moment it ends, however it ends,
// and counts nothing for a deal that was never started or a question answered no.
#include "AppFixture.h"
#include "tests/support/Board.h"

#include "dialogs/OptionsDialog.h"
#include "dialogs/StatisticsDlg.h"
#include "game/Statistics.h"
#include "settings/StatisticsStore.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

namespace {

using StatisticsRecording = AppFixture;

const QPoint EmptyBoard(20, 470);

void ChooseNextLevel(QDialog* d) {
    static_cast<TOptionsDialog*>(d)->StrengthImgClick();
    PressButton(d, "OKBtn", 0);
}

TEST_F(StatisticsRecording, EveryEndingInTheWindowIsStoredAtOnce) {
    Start();
    struct Ending {
        const char* name;
        std::function<void()> play; // from a fresh deal at level 1, ends the game
        bool won;
        int score; // the score the game ended with
    };
    const Ending endings[] = {
        {"won",
         [&] {
             SetTable("r4 g4 b4 J", {{"r3"}});
             form->Game().GameState = gsRunning;
             const int last = PositionOf(form->Game(), 8);
             for (int i = 1; i <= form->Game().PatternCount; ++i)
                 if (i != last) form->Game().PatternState[i] = TPatternState::Claimed;
             form->Game().Score = -432;
             dialogs.Expect("TOKDialog", Press("YesBtn", 2));
             ClickPattern(last); // 411 for the claim, 21 for the card left
         },
         true, 0},
        {"lost",
         [&] {
             SetTable("r1 g2 b3 v5", {{"r7"}});
             MouseDown(EmptyBoard);
             form->Game().Score = -9;
             dialogs.Expect("TOKDialog", Press("YesBtn", 3));
             DragToRow(0, 0);
         },
         false, -9},
        {"given up",
         [&] {
             MouseDown(EmptyBoard);
             form->Game().Score = -3;
             form->Game().ClockTicks = 40;
             dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
             ClickButton(form->ToolButton(TTool::GiveUp));
         },
         false, -3},
        {"mixed while running",
         [&] {
             MouseDown(EmptyBoard);
             form->Game().Score = -1;
             dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
             ClickButton(form->ToolButton(TTool::Mix));
         },
         false, -1},
        {"level change while running",
         [&] {
             MouseDown(EmptyBoard);
             form->Game().Score = -2;
             dialogs.Expect("TOptionsDialog", ChooseNextLevel);
             dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
             ClickButton(form->ToolButton(TTool::Options));
         },
         false, -2},
        {"level change while paused",
         [&] {
             MouseDown(EmptyBoard);
             form->Game().Score = -4;
             ClickButton(form->ToolButton(TTool::Pause));
             dialogs.Expect("TOptionsDialog", ChooseNextLevel);
             ClickButton(form->ToolButton(TTool::Options));
         },
         false, -4},
    };
    int played = 0;
    for (const Ending& e : endings) {
        SCOPED_TRACE(e.name);
        if (form->Game().Level != 1) {
            form->Session.SetLevel(1);
            form->LayoutBoard();
        }
        ClickButton(form->ToolButton(TTool::Mix));
        const std::int32_t deal = form->Session.Deal();
        e.play();
        const Statistics stored = ReadStatistics(form->ini);
        const LevelStatistics& basic = stored.Levels[0];
        ++played;
        EXPECT_EQ(basic.Played, played);
        EXPECT_EQ(basic.Won, 1);
        EXPECT_EQ(basic.Lost, played - 1);
        EXPECT_EQ(basic.Last, e.score);
        EXPECT_EQ(basic.Streak, e.won ? 1 : 0);
        EXPECT_EQ(stored.LastDeal, deal);
        for (int other = 1; other < 4; ++other)
            EXPECT_EQ(stored.Levels[other].Played, 0);
    }
    EXPECT_EQ(ReadStatistics(form->ini).Levels[0].Ticks, 40);

    // Nothing counts for an untouched deal, for a finished game dealt anew, or after a no.
    const Statistics before = ReadStatistics(form->ini);
    form->Session.SetLevel(1);
    ClickButton(form->ToolButton(TTool::Mix));
    MouseDown(EmptyBoard);
    dialogs.Expect("TYesNoDialog", Press("NoBtn", mrNo));
    ClickButton(form->ToolButton(TTool::GiveUp));
    dialogs.Expect("TYesNoDialog", Press("NoBtn", mrNo));
    ClickButton(form->ToolButton(TTool::Mix));
    EXPECT_EQ(ReadStatistics(form->ini), before);
}

TEST_F(StatisticsRecording, ClosingCountsARunningOrPausedGameOnly) {
    for (TGameState state : {gsNotStarted, gsRunning, gsPaused, gsLost}) {
        SCOPED_TRACE(int(state));
        Start();
        if (state != gsNotStarted) MouseDown(EmptyBoard);
        if (state == gsPaused) ClickButton(form->ToolButton(TTool::Pause));
        if (state == gsLost) {
            dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
            ClickButton(form->ToolButton(TTool::GiveUp)); // counted here, not again at the close
        }
        form->Game().ClockTicks = 7;
        dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
        ClickButton(form->ToolButton(TTool::Exit));
        ASSERT_FALSE(form->isVisible());
        const LevelStatistics basic = ReadStatistics(form->ini).Levels[0];
        EXPECT_EQ(basic.Played, state == gsNotStarted ? 0 : 1);
        EXPECT_EQ(basic.Lost, basic.Played);
        EXPECT_EQ(basic.Ticks, state == gsNotStarted || state == gsLost ? 0 : 7);
        delete form;
        form = nullptr;
    }
}

// The desktop ends the game (a signal, the session's end) while the question before dropping
// a running game waits: the close keeps the game for the next start, and the question, ended
// without an answer, must not count it as ended.
TEST_F(StatisticsRecording, TheDesktopEndingTheGameDuringAQuestionKeepsItUncounted) {
    struct Question {
        const char* name;
        const char* firstDialog; // answered as the player does, before the question
        TTool button;
    };
    const Question questions[] = {
        {"give up", nullptr, TTool::GiveUp},
        {"new deal", nullptr, TTool::Mix},
        {"another level", "TOptionsDialog", TTool::Options},
    };
    for (const Question& q : questions) {
        SCOPED_TRACE(q.name);
        Start();
        MouseDown(EmptyBoard);
        form->Game().Score = 25;
        if (q.firstDialog) dialogs.Expect(q.firstDialog, ChooseNextLevel);
        // What the program does on the desktop's end: the close, then every loop ends, the
        // question's own too.
        dialogs.Expect("TYesNoDialog", [this](QDialog*) {
            form->CloseWithoutQuestions();
            QCoreApplication::exit(0);
        });
        // Pressed from within the program's own loop, as a player presses.
        QTimer::singleShot(0, form, [this, &q] { ClickButton(form->ToolButton(q.button)); });
        QCoreApplication::exec();
        EXPECT_FALSE(dialogs.Pending());
        const LevelStatistics basic = ReadStatistics(form->ini).Levels[0];
        EXPECT_EQ(basic.Played, 0);
        EXPECT_EQ(basic.Lost, 0);
        EXPECT_TRUE(IniText().contains("[keptgame]")) << "kept for the next start";
        EXPECT_EQ(dialogs.Seen.count("THighscoreDlg"), 0) << "no score is offered as the game ends";
        EXPECT_FALSE(form->isVisible());
        delete form;
        form = nullptr;
    }
}

// One click from the highscore list, and Ctrl+T from the board; both show what is stored.
TEST_F(StatisticsRecording, TheViewOpensFromTheHighscoreListAndWithItsKey) {
    Start(true, "[statistics]\nplayedc=3\nwonc=2\ndeal=77\n");
    dialogs.Expect("THighscoreDlg", Press("StatsBtn", 0)); // back in the list after the view
    dialogs.Expect("TStatisticsDlg", [](QDialog* d) {
        auto* view = static_cast<TStatisticsDlg*>(d);
        EXPECT_EQ(view->figureLabels[TStatisticsDlg::Played][2]->Text(), "3");
        EXPECT_EQ(view->figureLabels[TStatisticsDlg::WinRate][2]->Text(), "67 %");
        EXPECT_EQ(view->dealLabel->Text(), "Last game: deal 77");
        PressButton(d, "OKBtn", 0);
    });
    ClickButton(form->ToolButton(TTool::HighScore));
    EXPECT_EQ(dialogs.Seen, (QStringList{"THighscoreDlg", "TStatisticsDlg"}));

    dialogs.Expect("TStatisticsDlg", Press("OKBtn", 0));
    form->activateWindow(); // the shortcut belongs to the main window, active again
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTest::keyClick(form->windowHandle(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(dialogs.Seen.size(), 3);
}

} // namespace
