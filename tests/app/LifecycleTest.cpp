// The game's states, the toolbar that follows them, and every way a game ends or starts over.
#include "AppFixture.h"

#include "controls/jetButton.h"
#include "dialogs/HighscoreDialog.h"
#include "tests/support/ScopedValue.h"
#include "texts/Language.h"
#include "dialogs/OptionsDialog.h"

#include <QDialog>
#include <QWindow>

#include <cerrno>
#include <optional>
#include <string>
#include <QTest>
#include <QTimer>

namespace {

using Lifecycle = AppFixture;

// Any press on the board outside the stacks: the game starts, nothing is lifted.
const QPoint EmptyBoard(20, 470);

void ExpectToolbar(TMainform* f, bool mix, bool giveUp, bool pause) {
    EXPECT_EQ(f->ToolButton(TTool::Mix)->Enabled(), mix);
    EXPECT_EQ(f->ToolButton(TTool::GiveUp)->Enabled(), giveUp);
    EXPECT_EQ(f->ToolButton(TTool::Pause)->Enabled(), pause);
    for (TJetButton* b : {f->ToolButton(TTool::HighScore), f->ToolButton(TTool::Options), f->ToolButton(TTool::Info), f->ToolButton(TTool::Help), f->ToolButton(TTool::Exit)}) EXPECT_TRUE(b->Enabled());
}

TEST_F(Lifecycle, ToolbarFollowsTheState) {
    Start();
    EXPECT_EQ(form->Game().GameState, gsNotStarted);
    ExpectToolbar(form, true, false, false);
    MouseDown(EmptyBoard);
    MouseUp(EmptyBoard);
    EXPECT_EQ(form->Game().GameState, gsRunning);
    ExpectToolbar(form, true, true, true);
    ClickButton(form->ToolButton(TTool::Pause));
    EXPECT_EQ(form->Game().GameState, gsPaused);
    ExpectToolbar(form, false, false, true);
    // The disabled buttons do nothing while paused.
    ClickButton(form->ToolButton(TTool::Mix));
    ClickButton(form->ToolButton(TTool::GiveUp));
    EXPECT_EQ(form->Game().GameState, gsPaused);
    ClickButton(form->ToolButton(TTool::Pause));
    EXPECT_EQ(form->Game().GameState, gsRunning);
    dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
    ClickButton(form->ToolButton(TTool::GiveUp));
    EXPECT_EQ(form->Game().GameState, gsLost);
    ExpectToolbar(form, true, false, false);
    EXPECT_EQ(sounds.back(), "LOST");
}

TEST_F(Lifecycle, NewGameWithoutAQuestionUnlessRunning) {
    Start();
    for (TGameState state : {gsNotStarted, gsWon, gsLost}) {
        form->Game().GameState = state;
        form->Game().Score = 500;
        sounds.clear();
        const auto before = form->Game().Stacks;
        ClickButton(form->ToolButton(TTool::Mix));
        EXPECT_EQ(form->Game().GameState, gsNotStarted) << int(state);
        EXPECT_EQ(form->Game().Score, 0);
        EXPECT_EQ(sounds, QStringList{"MIX"});
        EXPECT_NE(form->Game().Stacks, before); // a fresh deal
    }
    EXPECT_TRUE(dialogs.Seen.isEmpty());
}

TEST_F(Lifecycle, NewGameWhileRunning) {
    Start();
    form->Game().GameState = gsRunning;
    form->Game().Score = 120;
    const auto table = form->Game().Stacks;
    dialogs.Expect("TYesNoDialog", Press("NoBtn", mrNo));
    ClickButton(form->ToolButton(TTool::Mix));
    EXPECT_EQ(form->Game().GameState, gsRunning);
    EXPECT_EQ(form->Game().Stacks, table);
    EXPECT_EQ(form->Game().Score, 120);
    EXPECT_TRUE(sounds.isEmpty());
    EXPECT_EQ(dialogs.Seen, QStringList{"TYesNoDialog"});
}

// A running game ended with Yes: a score above zero is offered to the list (it ranks on a fresh
// one), a score at or below zero is not; then the game ends its own way.
struct EndCase {
    const char* name;
    TTool tool;
    int score;
    std::optional<TGameState> after; // none: the window is closed
    const char* sound;               // the last sound played, or nullptr
};

class RunningGameEnds : public AppFixture, public ::testing::WithParamInterface<EndCase> {};

TEST_P(RunningGameEnds, OffersOnlyAPositiveScore) {
    const EndCase& c = GetParam();
    Start();
    MouseDown(EmptyBoard);
    MouseUp(EmptyBoard);
    ASSERT_EQ(form->Game().GameState, gsRunning);
    form->Game().Score = c.score;
    const bool offered = c.score > 0;
    dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
    if (offered)
        dialogs.Expect("THighscoreDlg", [&c](QDialog* d) {
            EXPECT_EQ(static_cast<THighscoreDlg*>(d)->entryScores[0], c.score);
            PressButton(d, "YesBtn", 1);
        });
    ClickButton(form->ToolButton(c.tool));
    QStringList seen{"TYesNoDialog"};
    if (offered) seen << "THighscoreDlg";
    EXPECT_EQ(dialogs.Seen, seen);
    EXPECT_EQ(IniText().contains("hsa0="), offered);
    if (!c.after) {
        EXPECT_FALSE(form->isVisible());
        return;
    }
    EXPECT_EQ(form->Game().GameState, *c.after);
    EXPECT_EQ(form->Game().Score, 0) << "the board shows no score of the game that ended";
    if (c.sound) {
        EXPECT_EQ(sounds.back(), c.sound);
    }
}

INSTANTIATE_TEST_SUITE_P(Lifecycle, RunningGameEnds,
                         ::testing::Values(EndCase{"NewGame", TTool::Mix, 120, gsNotStarted, "MIX"},
                                           EndCase{"NewGameAtZero", TTool::Mix, 0, gsNotStarted, "MIX"},
                                           EndCase{"GiveUp", TTool::GiveUp, 350, gsLost, "LOST"},
                                           EndCase{"GiveUpBelowZero", TTool::GiveUp, -40, gsLost, nullptr},
                                           EndCase{"Exit", TTool::Exit, 12, std::nullopt, nullptr}),
                         [](const ::testing::TestParamInfo<EndCase>& i) {
                             return std::string(i.param.name);
                         });

TEST_F(Lifecycle, PauseHidesTheBoardAndKeepsTheClock) {
    Start();
    MouseDown(EmptyBoard);
    for (int t = 0; t < 9; ++t) form->TimerTimer();
    EXPECT_EQ(form->Game().Score, -3);
    ClickButton(form->ToolButton(TTool::Pause));
    EXPECT_EQ(form->Canvas.Image, form->Board.BoardBackground);
    for (int t = 0; t < 30; ++t) form->TimerTimer();
    EXPECT_EQ(form->Game().Score, -3);
    EXPECT_EQ(form->Game().ClockTicks, 9);
    ClickButton(form->ToolButton(TTool::Pause));
    EXPECT_NE(form->Canvas.Image, form->Board.BoardBackground);
    for (int t = 0; t < 3; ++t) form->TimerTimer();
    EXPECT_EQ(form->Game().Score, -4);
}

// Out of sight the clock must not eat points: minimising pauses a running game as the pause
// button does, and the board stays hidden after restoring until the player resumes.
TEST_F(Lifecycle, MinimisingPausesARunningGame) {
    Start();
    // The window system reports the new state through the event loop.
    const auto minimise = [this] { form->showMinimized(); QTest::qWait(20); };
    const auto restore = [this] { form->showNormal(); QTest::qWait(20); };
    minimise();
    restore();
    EXPECT_EQ(form->Game().GameState, gsNotStarted) << "a game that has not begun is left alone";

    MouseDown(EmptyBoard);
    MouseUp(EmptyBoard);
    const QPoint card = form->Board.Layout.StackTopRect(2).center();
    MouseDown(card); // a card in hand when the window goes
    MouseMove(card + QPoint(30, 0));
    ASSERT_TRUE(form->Dragging());
    const int cards = form->Game().StackCount[2];
    for (int t = 0; t < 6; ++t) form->TimerTimer();
    minimise();
    EXPECT_EQ(form->Game().GameState, gsPaused);
    EXPECT_FALSE(form->Dragging());
    EXPECT_EQ(form->Game().StackCount[2], cards);
    for (int t = 0; t < 30; ++t) form->TimerTimer();
    restore();
    MouseUp(card + QPoint(30, 0));
    EXPECT_EQ(form->Game().GameState, gsPaused);
    EXPECT_EQ(form->Game().Score, -2);
    EXPECT_TRUE(form->ToolButton(TTool::Pause)->Enabled());
    EXPECT_FALSE(form->ToolButton(TTool::Mix)->Enabled());
    form->boxPaint();
    EXPECT_EQ(form->Canvas.Image, form->Board.BoardBackground);
    ClickButton(form->ToolButton(TTool::Pause));
    EXPECT_EQ(form->Game().GameState, gsRunning);
    EXPECT_EQ(form->Game().StackCount[2], cards);
    EXPECT_NE(form->Canvas.Image, form->Board.BoardBackground);
}

// With the real 100 ms timer: a question waiting in a running game does not stop the clock.
TEST_F(Lifecycle, ClockRunsWhileAQuestionWaits) {
    Start();
    MouseDown(EmptyBoard);
    MouseUp(EmptyBoard);
    ASSERT_EQ(form->Game().ClockTicks, 0);
    form->Timer->start();
    dialogs.Expect("TYesNoDialog", [](QDialog* d) {
        QTimer::singleShot(1000, d, [d] { PressButton(d, "NoBtn", mrNo); });
    });
    ClickButton(form->ToolButton(TTool::GiveUp));
    form->Timer->stop();
    EXPECT_EQ(form->Game().GameState, gsRunning);
    // About ten ticks; a busy machine may drop a few, never all of them.
    EXPECT_GE(form->Game().ClockTicks, 5);
    EXPECT_LE(form->Game().ClockTicks, 12);
    EXPECT_EQ(form->Game().Score, -(form->Game().ClockTicks / 3));
}

// A transparent pixel of a toolbar button is not the board: it starts no game.
TEST_F(Lifecycle, PressIntoAButtonCornerStartsNothing) {
    Start();
    for (TJetButton* b : {form->ToolButton(TTool::Mix), form->ToolButton(TTool::HighScore), form->ToolButton(TTool::Exit)}) {
        const QPoint corner = b->geometry().topLeft() + QPoint(1, 1);
        ASSERT_FALSE(b->HitTest(1, 1));
        MouseDown(corner);
        MouseUp(corner);
    }
    EXPECT_EQ(form->Game().GameState, gsNotStarted);
    EXPECT_TRUE(dialogs.Seen.isEmpty());
}

// The dialogs are made the first time one is needed, all at once, and only then.
TEST_F(Lifecycle, DialogsAreMadeWhenFirstNeeded) {
    Start();
    EXPECT_TRUE(form->findChildren<QDialog*>().isEmpty());
    for (int round = 0; round < 2; ++round) {
        dialogs.Expect("THighscoreDlg", Press("CancelBtn", 0));
        emit form->ToolButton(TTool::HighScore)->OnClick();
        EXPECT_EQ(form->findChildren<QDialog*>().size(), 5) << "round " << round;
    }
    EXPECT_EQ(dialogs.Seen, (QStringList{"THighscoreDlg", "THighscoreDlg"}));
}

// The start reads the settings file once for its values, once for the window's placement and
// once for the store's own check: a large file is parsed three times, not once a value.
TEST_F(Lifecycle, TheStartReadsTheFileOncePerJob) {
    int reads = 0;
    {
        const TScopedValue countReads(TIniStore::FaultHook, [&reads](TIniStep step) {
            return step == TIniStep::Read ? ++reads, 0 : 0;
        });
        Start();
    }
    EXPECT_EQ(reads, 3);
}

// Every dialog is a transient child of the board's window. On Wayland that is the only say a
// program has in where a window opens: the compositor places such a child over its parent.
TEST_F(Lifecycle, DialogsAreTransientChildrenOfTheBoard) {
    Start();
    form->NeedDialogs();
    const QList<QDialog*> all = form->findChildren<QDialog*>();
    ASSERT_EQ(all.size(), 5);
    for (QDialog* d : all) {
        d->show();
        ASSERT_NE(d->windowHandle(), nullptr) << d->metaObject()->className();
        EXPECT_EQ(d->windowHandle()->transientParent(), form->windowHandle()) << d->metaObject()->className();
        d->hide();
    }
}

// Once the window has kept its size, a board up to about full HD lets go of its vector
// documents (read again at the next layout, which still draws the board whole); a larger one
// keeps them, so the first step of a resize keeps its frame.
TEST_F(Lifecycle, SettledBoardLetsGoOfDocumentsUpToFullHd) {
    Start();
    ASSERT_TRUE(form->Board.HoldsDocuments());
    form->BoardSettled();
    EXPECT_FALSE(form->Board.HoldsDocuments());
    form->resize(800, 560);
    QTest::qWait(10);
    form->LayoutBoard();
    EXPECT_TRUE(form->Board.HoldsDocuments()) << "the new size read them again";
    EXPECT_GT(form->Board.DeviceCardSize(), 0);

    form->resize(2200, 1300);
    QTest::qWait(10);
    form->LayoutBoard();
    ASSERT_GT(qint64(form->Canvas.Image.width()) * form->Canvas.Image.height(), 1920 * 1200);
    form->BoardSettled();
    EXPECT_TRUE(form->Board.HoldsDocuments());
}

// The exit question comes on the press; the release happens while it is open. After No the
// exit button is not left pressed: it shows its hover picture like any other button.
TEST_F(Lifecycle, ExitAsksOnThePressAndAfterNoReactsAsEver) {
    Start();
    TJetButton* exit = form->ToolButton(TTool::Exit);
    const QPoint p = exit->geometry().center();
    const auto shown = [this, exit] {
        return form->grab(exit->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    };
    MouseMove(EmptyBoard);
    const QImage upLook = shown();
    dialogs.Expect("TYesNoDialog", [this, p](QDialog* d) {
        MouseUp(p); // reaches the main window, which the question blocks
        PressButton(d, "NoBtn", mrNo);
    });
    MouseMove(p);
    MouseDown(p);
    EXPECT_EQ(dialogs.Seen, QStringList{"TYesNoDialog"});
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(exit->ButtonState(), TJetButton::StateUp);

    MouseMove(EmptyBoard);
    EXPECT_FALSE(exit->Hovering());
    EXPECT_EQ(shown(), upLook);
    MouseMove(p);
    EXPECT_TRUE(exit->Hovering());
    EXPECT_NE(shown(), upLook);
}

// The options dialog stands in for the player: it picks a level and closes.
auto ChooseLevel(int level) {
    return [level](QDialog* d) {
        static_cast<TOptionsDialog*>(d)->DialogLevel = level;
        PressButton(d, "OKBtn", 1);
    };
}

TEST_F(Lifecycle, LevelChanges) {
    Start();
    // The same level back: nothing happens at all.
    form->Game().GameState = gsRunning;
    form->Game().Score = 70;
    dialogs.Expect("TOptionsDialog", ChooseLevel(1));
    ClickButton(form->ToolButton(TTool::Options));
    EXPECT_EQ(form->Game().GameState, gsRunning);
    EXPECT_EQ(form->Game().Score, 70);

    // Running, answered No: level, score and table stay.
    const auto table = form->Game().Stacks;
    dialogs.Expect("TOptionsDialog", ChooseLevel(3));
    dialogs.Expect("TYesNoDialog", Press("NoBtn", mrNo));
    ClickButton(form->ToolButton(TTool::Options));
    EXPECT_EQ(form->Game().Level, 1);
    EXPECT_EQ(form->Game().Score, 70);
    EXPECT_EQ(form->Game().Stacks, table);
    EXPECT_EQ(form->windowTitle(), "Zelvano - basic");

    // Paused: the paused game is dropped without a question or an offer; the new game is not paused.
    form->Game().GameState = gsPaused;
    dialogs.Expect("TOptionsDialog", ChooseLevel(4));
    ClickButton(form->ToolButton(TTool::Options));
    EXPECT_EQ(form->Game().Level, 4);
    EXPECT_EQ(form->Game().PatternCount, 18);
    EXPECT_EQ(form->Game().GameState, gsNotStarted);
    EXPECT_EQ(form->Game().Score, 0);
    EXPECT_EQ(sounds.back(), "MIX");
    EXPECT_EQ(form->windowTitle(), "Zelvano - champion");
    // The last pattern shape now lies on the board; at basic it was parked outside.
    EXPECT_EQ(form->PatternShapes[18]->geometry(), form->Board.Layout.PatternRect(18));
    // After the new deal the switched-off buttons carry the hints of their disabled state.
    EXPECT_EQ(form->ToolButton(TTool::GiveUp)->Hint(), "You want to give up a game before you started it?");

    // Running, answered Yes: offered to the old level's list, then dealt at the new level.
    form->Game().GameState = gsRunning;
    form->Game().Score = 90;
    dialogs.Expect("TOptionsDialog", ChooseLevel(2));
    dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
    dialogs.Expect("THighscoreDlg", [this](QDialog* d) {
        EXPECT_EQ(form->Game().Level, 4);
        PressButton(d, "YesBtn", 1);
    });
    ClickButton(form->ToolButton(TTool::Options));
    EXPECT_EQ(form->Game().Level, 2);
    EXPECT_EQ(form->PatternShapes[18]->x(), form->width());
    EXPECT_TRUE(IniText().contains("hsd0="));
}

TEST_F(Lifecycle, HintsBeforeTheFirstGameAreTheEnabledOnes) {
    Start();
    EXPECT_EQ(form->ToolButton(TTool::GiveUp)->Hint(), "I give up.");
    EXPECT_EQ(form->ToolButton(TTool::Pause)->Hint(), "I need a break.");
    EXPECT_EQ(form->PatternShapes[9]->toolTip(), "sequence (e.g. 5 6 7 8)");
}

TEST_F(Lifecycle, PressOnAPatternNotOfferedStartsTheGameAndClaimsNothing) {
    Start();
    SetTable("r2 g4 b9 v13", {{"r3"}, {"r5"}, {"r7"}, {"r8"}, {"r10"}});
    ASSERT_FALSE(IsOffered(form->Game().PatternState[1]));
    ClickPattern(1);
    EXPECT_EQ(form->Game().GameState, gsRunning);
    EXPECT_EQ(form->Game().Score, 0);
    EXPECT_EQ(form->Game().PatternState[1], TPatternState::Open);
    EXPECT_EQ(form->ToolButton(TTool::GiveUp)->Hint(), "I give up.");
}

TEST_F(Lifecycle, ExitAnsweredNoStaysYesStoresTheSettings) {
    Start(true, "level=7\nsound=2\nback=9\n");
    EXPECT_EQ(form->Game().Level, 4);
    EXPECT_TRUE(form->SoundOn);
    EXPECT_EQ(form->Board.BackgroundIndex, 4);
    dialogs.Expect("TYesNoDialog", Press("NoBtn", mrNo));
    ClickButton(form->ToolButton(TTool::Exit));
    EXPECT_TRUE(form->isVisible());

    // Running with a score at or below zero: closes without a highscore dialog.
    form->Game().GameState = gsRunning;
    form->Game().Score = -5;
    dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
    int replacements = 0;
    {
        const TScopedValue countReplacements(TIniStore::FaultHook, [&](TIniStep step) {
            return step == TIniStep::Renamed ? ++replacements, 0 : 0;
        });
        ClickButton(form->ToolButton(TTool::Exit));
    }
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(replacements, 1) << "a crash halfway through the close must not leave a mix";
    const QString ini = IniText();
    for (const char* line : {"level=4", "sound=1", "back=4", "tongue=0", "music=1", "max=0", "MainForm=200,"})
        EXPECT_TRUE(ini.contains(QLatin1String(line))) << line << "\n" << ini.toStdString();
}

TEST_F(Lifecycle, DesktopEndClosesWithoutQuestionsAndKeepsWhatACloseKeeps) {
    Start(true, "level=1\nhsa0=kept\n");
    form->Session.SetLevel(3);
    form->SetBackground(2);
    form->Game().GameState = gsRunning;
    form->Game().Score = 12;
    form->CloseWithoutQuestions();
    form->CloseWithoutQuestions(); // a second signal changes nothing
    EXPECT_TRUE(dialogs.Seen.isEmpty()) << dialogs.Seen.join(' ').toStdString();
    EXPECT_FALSE(form->isVisible());
    const QString ini = IniText();
    for (const char* line : {"level=3", "back=2", "tongue=0", "sound=1", "music=1", "max=0", "MainForm=200,", "hsa0=kept"})
        EXPECT_TRUE(ini.contains(QLatin1String(line))) << line << "\n" << ini.toStdString();
    EXPECT_EQ(ini.count("hsa0="), 1) << "the running game's score is not offered";
}

TEST_F(Lifecycle, SettingsThatCannotBeReadAreNeverWrittenOver) {
    // As the system answers a player who may not read the file (mode 000).
    const TScopedValue unreadable(TIniStore::FaultHook,
                                  [](TIniStep step) { return step == TIniStep::Read ? EACCES : 0; });
    dialogs.Expect("TOptionsDialog", Press("OKBtn", 1)); // the stored language cannot be read either
    Start(true, "level=3\nhsa0=kept\n");
    EXPECT_EQ(form->Game().Level, 1) << "the game plays on with defaults";
    EXPECT_EQ(form->ini.Blocked(), TIniCause::Unreadable);
    dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
    ClickButton(form->ToolButton(TTool::Exit));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(IniText(), "[common]\ntongue=0\nlevel=3\nhsa0=kept\n");
}

TEST_F(Lifecycle, FirstStartAsksForTheLanguage) {
    const TScopedValue keepLanguage(Language);
    dialogs.Expect("TOptionsDialog", [](QDialog* d) {
        EXPECT_EQ(static_cast<TOptionsDialog*>(d)->Page, TOptionsPage::Language);
        Language = 1; // the player picks German
        PressButton(d, "OKBtn", 1);
    });
    Start(false);
    QTest::qWait(50);
    EXPECT_EQ(form->windowTitle(), "Zelvano - Anfänger");
    EXPECT_EQ(form->ToolButton(TTool::GiveUp)->Hint(), "Du willst ein Spiel aufgeben, bevor Du begonnen hast?");
}

TEST_F(Lifecycle, TimerFlashesOffersOnlyBeforeTheEnd) {
    Start();
    SetTable("r4 g4 b9 v13", {{"r3"}, {"r5"}, {"r7"}, {"r8"}, {"r10"}});
    ASSERT_TRUE(IsOffered(form->Game().PatternState[5]));
    const QRect ring = form->Board.Layout.PatternRect(5).adjusted(-1, -1, 1, 1);
    const QImage before = CanvasRegion(ring);
    form->TimerTimer();
    EXPECT_NE(CanvasRegion(ring), before);
    form->Board.DrawPattern(5);
    form->Game().GameState = gsLost;
    form->TimerTimer();
    EXPECT_EQ(CanvasRegion(ring), before);
    EXPECT_EQ(form->Game().ClockTicks, 0);
}

TEST_F(Lifecycle, EveryResizeStepRendersThePicturesExactlyAtOnce) {
    Start();
    form->resize(1100, 760);
    QTest::qWait(5);
    EXPECT_EQ(form->Board.Layout.Width, 1100);
    // The same pictures a board laid out at that size from the start has, with no pause
    // needed: nothing scaled from the previous size is ever shown.
    TCanvas canvas;
    GameData game = form->Game();
    TBoard fresh(canvas, game, form->Random);
    fresh.LoadArtwork();
    ASSERT_TRUE(fresh.LayoutBoard(1100, 760));
    EXPECT_EQ(form->Board.CardFaces, fresh.CardFaces);
    EXPECT_EQ(form->Board.PatternPictures, fresh.PatternPictures);
    const int cs = fresh.Layout.CardSize;
    QImage card(cs, cs, QImage::Format_RGB32);
    fresh.DrawCard(card, 0, 0, form->Game().Row[0]);
    EXPECT_EQ(form->Canvas.Image.copy(form->Board.Layout.RowRect(0)), card); // and the board was repainted
}

} // namespace
