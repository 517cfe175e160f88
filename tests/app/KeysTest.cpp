// Keyboard play on the real main window: each key in each game state does what the matching
// mouse action does (same rules, sounds and dialogs), the focus mark comes with the first key
// and goes with the next mouse press, and the dialogs answer to their keys.
#include "AppFixture.h"

#include "app/Keys.h"
#include "dialogs/YesNoDlg.h"
#include "dialogs/HighscoreDialog.h"
#include "tests/support/ScopedValue.h"
#include "texts/Language.h"
#include "dialogs/OptionsDialog.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <QTextBrowser>

namespace {


void Key(TMainform* f, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(f, key, mods);
}

auto KeyAnswer(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    return [key, mods](QDialog* d) {
        QTest::keyClick(d, key, mods);
        if (d->isVisible()) {
            ADD_FAILURE() << "the key did not answer " << d->metaObject()->className();
            d->done(mrNo);
        }
    };
}

class Keys : public AppFixture {
protected:
    // The table most cases start from: no offers, each stack three cards deep.
    void KnownTable() {
        SetTable("r2 g4 b9 v13", {{"r3", "g6", "b6"}, {"r5", "g7", "b7"}, {"r7", "g8", "b8"}, {"r8", "g9", "b9"},
                                  {"r10", "g10", "b10"}});
    }
};

struct StateKeyCase {
    const char* name;
    TGameState state;
    std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
    const char* dialog; // the dialog that must open (answered No or closed), or nullptr
    TGameState after;
    QStringList sounds;
    bool dragging;
    int stack0; // cards left on stack 1
};

class KeyTable : public Keys, public ::testing::WithParamInterface<StateKeyCase> {};

TEST_P(KeyTable, EachKeyDoesWhatTheMouseDoes) {
    const StateKeyCase& c = GetParam();
    Start();
    KnownTable();
    form->Game().GameState = c.state;
    form->UpdateToolbar();
    if (c.dialog) {
        const QString cls = QString::fromLatin1(c.dialog);
        dialogs.Expect(c.dialog, [cls](QDialog* d) {
            if (cls == QLatin1String("TYesNoDialog")) PressButton(d, "NoBtn", mrNo);
            else if (cls == QLatin1String("TOptionsDialog")) PressButton(d, "OKBtn", 1);
            else PressButton(d, "YesBtn", 1);
        });
    }
    for (const auto& [key, mods] : c.keys) Key(form, key, mods);
    EXPECT_EQ(form->Game().GameState, c.after);
    EXPECT_EQ(sounds, c.sounds);
    EXPECT_EQ(form->Dragging(), c.dragging);
    EXPECT_EQ(form->Game().StackCount[0], c.stack0);
    EXPECT_EQ(dialogs.Seen.size(), c.dialog ? 1 : 0);
}

using KM = std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>;
constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;

INSTANTIATE_TEST_SUITE_P(
    States, KeyTable,
    ::testing::Values(
        StateKeyCase{"LiftStartsAFreshGame", gsNotStarted, KM{{Qt::Key_1, None}}, nullptr, gsRunning, {"UP"}, true, 3},
        StateKeyCase{"LiftFromAnEmptyStackOnlyStarts", gsNotStarted, KM{{Qt::Key_5, None}, {Qt::Key_5, None}},
                     nullptr, gsRunning, {"UP"}, true, 3},
        StateKeyCase{"LiftThenDrop", gsRunning, KM{{Qt::Key_1, None}, {Qt::Key_3, None}}, nullptr, gsRunning,
                     {"UP", "DOWN"}, false, 2},
        StateKeyCase{"FiveDropsNothing", gsRunning, KM{{Qt::Key_1, None}, {Qt::Key_5, None}}, nullptr, gsRunning,
                     {"UP"}, true, 3},
        StateKeyCase{"EscapePutsBack", gsRunning, KM{{Qt::Key_1, None}, {Qt::Key_Escape, None}}, nullptr,
                     gsRunning, {"UP", "FALSCH"}, false, 3},
        StateKeyCase{"SpaceOnAnotherStackMissesTheRow", gsRunning,
                     KM{{Qt::Key_1, None}, {Qt::Key_Tab, None}, {Qt::Key_Tab, None}, {Qt::Key_Tab, None},
                        {Qt::Key_Tab, None}, {Qt::Key_Space, None}},
                     nullptr, gsRunning, {"UP", "FALSCH"}, false, 3},
        StateKeyCase{"PausedTakesNoCard", gsPaused, KM{{Qt::Key_1, None}}, nullptr, gsPaused, {}, false, 3},
        StateKeyCase{"WonTakesNoCard", gsWon, KM{{Qt::Key_1, None}, {Qt::Key_2, None}}, nullptr, gsWon, {}, false, 3},
        StateKeyCase{"LostTakesNoCard", gsLost, KM{{Qt::Key_2, None}}, nullptr, gsLost, {}, false, 3},
        StateKeyCase{"PauseBeforeTheStartDoesNothing", gsNotStarted, KM{{Qt::Key_P, None}}, nullptr, gsNotStarted,
                     {}, false, 3},
        StateKeyCase{"PausePauses", gsRunning, KM{{Qt::Key_P, None}}, nullptr, gsPaused, {}, false, 3},
        StateKeyCase{"PauseKeyResumes", gsPaused, KM{{Qt::Key_Pause, None}}, nullptr, gsRunning, {}, false, 3},
        StateKeyCase{"NewGameWithoutAQuestion", gsNotStarted, KM{{Qt::Key_F2, None}}, nullptr, gsNotStarted,
                     {"MIX"}, false, 10},
        StateKeyCase{"NewGameWhileRunningAsks", gsRunning, KM{{Qt::Key_N, Ctrl}}, "TYesNoDialog", gsRunning, {},
                     false, 3},
        StateKeyCase{"NewGameWhilePausedIsOff", gsPaused, KM{{Qt::Key_F2, None}}, nullptr, gsPaused, {}, false, 3},
        StateKeyCase{"GiveUpAsks", gsRunning, KM{{Qt::Key_G, Ctrl}}, "TYesNoDialog", gsRunning, {}, false, 3},
        StateKeyCase{"GiveUpBeforeTheStartIsOff", gsNotStarted, KM{{Qt::Key_G, Ctrl}}, nullptr, gsNotStarted, {},
                     false, 3},
        StateKeyCase{"ExitAsks", gsRunning, KM{{Qt::Key_Q, Ctrl}}, "TYesNoDialog", gsRunning, {}, false, 3},
        StateKeyCase{"Highscores", gsPaused, KM{{Qt::Key_H, Ctrl}}, "THighscoreDlg", gsPaused, {}, false, 3},
        StateKeyCase{"Options", gsRunning, KM{{Qt::Key_O, Ctrl}}, "TOptionsDialog", gsRunning, {}, false, 3},
        StateKeyCase{"Info", gsWon, KM{{Qt::Key_I, Ctrl}}, "TOptionsDialog", gsWon, {}, false, 3},
        StateKeyCase{"AHandFullOfCardPressesNoButton", gsRunning, KM{{Qt::Key_1, None}, {Qt::Key_F2, None}},
                     nullptr, gsRunning, {"UP"}, true, 3},
        StateKeyCase{"TabToTheToolbarAndPress", gsNotStarted,
                     KM{{Qt::Key_Tab, None}, {Qt::Key_Backtab, Qt::ShiftModifier}, {Qt::Key_Space, None}},
                     nullptr, gsNotStarted, {"MIX"}, false, 10},
        StateKeyCase{"SpaceLiftsArrowsAndEnterDrop", gsRunning,
                     KM{{Qt::Key_Space, None}, {Qt::Key_Right, None}, {Qt::Key_Return, None}},
                     nullptr, gsRunning, {"UP", "DOWN"}, false, 2}),
    [](const ::testing::TestParamInfo<StateKeyCase>& i) { return std::string(i.param.name); });

TEST_F(Keys, TheDroppedCardLandsWhereTheDigitSays) {
    Start();
    KnownTable();
    Key(form, Qt::Key_2); // r5
    Key(form, Qt::Key_4);
    EXPECT_EQ(form->Game().Row[3], MakeCard(0, 5));
    EXPECT_EQ(form->Game().StackCount[1], 2);
    // The mark follows the card back to the stack it came from.
    EXPECT_EQ(form->Keys->Group(), TFocusGroup::Stacks);
    EXPECT_EQ(form->Keys->Index(), 1);
}

TEST_F(Keys, TheJokerRuleRefusesAKeyDropAsItRefusesTheMouse) {
    Start();
    SetTable("r2 J b9 v13", {{"r3", "g6"}, {"r5"}, {"r7"}, {"r8"}, {"r10"}});
    dialogs.Expect("TOKDialog", KeyAnswer(Qt::Key_Return));
    Key(form, Qt::Key_1);
    Key(form, Qt::Key_1);
    EXPECT_EQ(sounds, (QStringList{"UP", "FALSCH"}));
    EXPECT_EQ(form->Game().Row[0], MakeCard(0, 2));
    EXPECT_EQ(form->Game().StackCount[0], 2);
    EXPECT_FALSE(form->Dragging());
    // Onto the joker it goes.
    Key(form, Qt::Key_1);
    Key(form, Qt::Key_2);
    EXPECT_EQ(form->Game().Row[1], MakeCard(0, 3));
    EXPECT_EQ(form->Game().JokerPos, -1);
}

TEST_F(Keys, SpaceClaimsTheOfferTheMarkLandsOn) {
    Start();
    SetTable("r4 g4 b9 v13", {{"r3"}, {"r5"}, {"r7"}, {"r8"}, {"r10"}});
    int offered = -1;
    for (int i = 1; i <= form->Game().PatternCount; ++i)
        if (IsOffered(form->Game().PatternState[i])) offered = i;
    ASSERT_GT(offered, 0);
    Key(form, Qt::Key_Tab); // shows the mark on the stacks
    Key(form, Qt::Key_Tab); // the row
    Key(form, Qt::Key_Tab); // the patterns: straight to the offer
    EXPECT_EQ(form->Keys->Group(), TFocusGroup::Patterns);
    Key(form, Qt::Key_Space);
    EXPECT_EQ(form->Game().PatternState[offered], TPatternState::Claimed);
    EXPECT_EQ(form->Game().GameState, gsRunning);
    EXPECT_EQ(sounds, QStringList{"TAKE"});
    EXPECT_GT(form->Game().Score, 0);
}

TEST_F(Keys, TheMarkComesWithTheFirstKeyAndGoesWithTheNextMousePress) {
    Start();
    KnownTable();
    const QImage clean = form->Canvas.Image.copy();
    EXPECT_FALSE(form->Keys->MarkShown());
    Key(form, Qt::Key_Right); // the first key only shows the mark, where it is
    EXPECT_TRUE(form->Keys->MarkShown());
    EXPECT_EQ(form->Keys->Index(), 0);
    const QRect stack = form->Board.Layout.StackTopRect(0);
    const QPoint onMark(stack.center().x(), stack.top() - 3);
    EXPECT_NE(form->Canvas.Image.pixel(onMark), clean.pixel(onMark));
    EXPECT_EQ(form->Canvas.Image.pixel(stack.center()), clean.pixel(stack.center())); // the card stays clear

    // On the toolbar the mark is a bar above and below the button, on the board image.
    Key(form, Qt::Key_Backtab, Qt::ShiftModifier);
    const QRect mix = form->ToolButton(TTool::Mix)->geometry();
    EXPECT_NE(form->Canvas.Image.pixel(mix.center().x(), mix.bottom() + 3), clean.pixel(mix.center().x(), mix.bottom() + 3));
    EXPECT_EQ(form->Canvas.Image.pixel(onMark), clean.pixel(onMark));

    // A timer tick keeps it; a mouse press anywhere takes it away and leaves the board as it was.
    form->TimerTimer();
    EXPECT_NE(form->Canvas.Image.pixel(mix.center().x(), mix.bottom() + 3), clean.pixel(mix.center().x(), mix.bottom() + 3));
    const QPoint empty(form->width() / 2, form->height() - 5);
    MouseDown(empty);
    MouseUp(empty);
    EXPECT_FALSE(form->Keys->MarkShown());
    EXPECT_EQ(form->Canvas.Image, clean);
}

// The mark is striped yellow and dark along its length, so it never reads as the hint's solid
// yellow frame; while the game pauses it leaves the hidden board alone.
TEST_F(Keys, TheMarkIsStripedAndStaysOffThePausedBoard) {
    Start();
    KnownTable();
    form->Game().GameState = gsRunning;
    const QImage clean = form->Canvas.Image.copy();
    Key(form, Qt::Key_Right); // shows the mark on the first stack
    const QRect stack = form->Board.Layout.StackTopRect(0);
    const int y = stack.top() - 4; // the middle of the ring's top side
    QSet<QRgb> colours;
    for (int x = stack.left(); x < stack.right(); ++x) colours.insert(form->Canvas.Image.pixel(x, y) & 0xffffff);
    EXPECT_TRUE(colours.contains(0xffd600)) << "yellow";
    EXPECT_TRUE(colours.contains(0x141414)) << "dark";

    // Paused by the mouse, then the mark called up again: the paused board stays as it was.
    const QPoint empty(form->width() / 2, form->height() - 5);
    MouseDown(empty);
    MouseUp(empty);
    form->PauseBtnClick();
    ASSERT_EQ(form->Game().GameState, gsPaused);
    const QImage paused = form->Canvas.Image.copy();
    Key(form, Qt::Key_Right);
    EXPECT_TRUE(form->Keys->MarkShown());
    form->TimerTimer();
    EXPECT_EQ(form->Canvas.Image, paused);
    Key(form, Qt::Key_P); // the game goes on, and the mark with it
    EXPECT_EQ(form->Game().GameState, gsRunning);
    EXPECT_NE(form->Canvas.Image.pixel(stack.center().x(), y), clean.pixel(stack.center().x(), y));
}

TEST_F(Keys, TooltipsNameTheKeysAndTheHintsStay) {
    Start();
    EXPECT_EQ(form->ToolButton(TTool::Mix)->Hint(), "I start a new game.");
    EXPECT_EQ(form->ToolButton(TTool::Mix)->toolTip(), "I start a new game. (F2, Ctrl+N)");
    EXPECT_EQ(form->ToolButton(TTool::Exit)->toolTip(), "For now I have enough. (Ctrl+Q)");
    EXPECT_EQ(form->ToolButton(TTool::Pause)->toolTip(), "I need a break. (P)");
    const TScopedValue german(Language, 1);
    form->ApplyMainTexts();
    EXPECT_EQ(form->ToolButton(TTool::Mix)->toolTip(), "Ich fang ein neues Spiel an. (F2, Strg+N)");
}

// ---- dialogs -----------------------------------------------------------------------------

// No keyboard trap: every window the keys open, keys close again (or the window system's close,
// as a window manager's close button or Alt+F4 sends it).
struct CloseCase {
    const char* name;
    Qt::Key open;
    Qt::KeyboardModifiers openMods;
    const char* dialog;
    Qt::Key close; // Qt::Key_unknown: the window system's close
    Qt::KeyboardModifiers closeMods;
};

class CloseByKey : public AppFixture, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseByKey, EveryWindowCloses) {
    const CloseCase& c = GetParam();
    Start();
    dialogs.Expect(c.dialog, [&c](QDialog* d) {
        if (c.close == Qt::Key_unknown)
            d->close();
        else
            QTest::keyClick(d, c.close, c.closeMods);
        if (d->isVisible()) {
            ADD_FAILURE() << "still open: " << d->metaObject()->className();
            d->done(0);
        }
    });
    Key(form, c.open, c.openMods);
    EXPECT_EQ(dialogs.Seen, QStringList{c.dialog});
}

INSTANTIATE_TEST_SUITE_P(
    Windows, CloseByKey,
    ::testing::Values(CloseCase{"QuestionEscape", Qt::Key_Q, Ctrl, "TYesNoDialog", Qt::Key_Escape, None},
                      CloseCase{"HighscoresEscape", Qt::Key_H, Ctrl, "THighscoreDlg", Qt::Key_Escape, None},
                      CloseCase{"HighscoresEnter", Qt::Key_H, Ctrl, "THighscoreDlg", Qt::Key_Return, None},
                      CloseCase{"OptionsEscape", Qt::Key_O, Ctrl, "TOptionsDialog", Qt::Key_Escape, None},
                      CloseCase{"InfoEnter", Qt::Key_I, Ctrl, "TOptionsDialog", Qt::Key_Return, None},
                      CloseCase{"StatisticsEscape", Qt::Key_T, Ctrl, "TStatisticsDlg", Qt::Key_Escape, None},
                      CloseCase{"StatisticsEnter", Qt::Key_T, Ctrl, "TStatisticsDlg", Qt::Key_Return, None},
                      CloseCase{"StatisticsWindowClose", Qt::Key_T, Ctrl, "TStatisticsDlg", Qt::Key_unknown, None}),
    [](const ::testing::TestParamInfo<CloseCase>& i) { return std::string(i.param.name); });

// The help is a window of its own beside the game: Escape and Ctrl+W close it.
TEST_F(Keys, TheHelpClosesByKey) {
    Start();
    for (const Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(None), Qt::KeyboardModifiers(Ctrl)}) {
        Key(form, Qt::Key_F1);
        QTextBrowser* help = form->Help.Browser();
        ASSERT_TRUE(help);
        QApplication::setActiveWindow(help); // as the window manager does for a window it shows
        help->setFocus();
        QTest::keyClick(help->focusWidget() ? help->focusWidget() : help, mods == Ctrl ? Qt::Key_W : Qt::Key_Escape,
                        mods);
        EXPECT_FALSE(form->Help.IsOpen());
    }
}

struct DialogKeyCase {
    const char* name;
    int language;
    Qt::Key key;
    bool exits;
};

class ExitQuestionKeys : public AppFixture, public ::testing::WithParamInterface<DialogKeyCase> {};

TEST_P(ExitQuestionKeys, AnswerTheQuestion) {
    const DialogKeyCase& c = GetParam();
    Start();
    const TScopedValue language(Language, c.language);
    dialogs.Expect("TYesNoDialog", KeyAnswer(c.key));
    Key(form, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(form->isVisible(), !c.exits);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, ExitQuestionKeys,
                         ::testing::Values(DialogKeyCase{"EnterIsYes", 0, Qt::Key_Return, true},
                                           DialogKeyCase{"KeypadEnterIsYes", 0, Qt::Key_Enter, true},
                                           DialogKeyCase{"EscapeIsNo", 0, Qt::Key_Escape, false},
                                           DialogKeyCase{"YIsYes", 0, Qt::Key_Y, true},
                                           DialogKeyCase{"NIsNo", 0, Qt::Key_N, false},
                                           DialogKeyCase{"GermanJIsYes", 1, Qt::Key_J, true},
                                           DialogKeyCase{"GermanNIsNo", 1, Qt::Key_N, false}),
                         [](const ::testing::TestParamInfo<DialogKeyCase>& i) { return std::string(i.param.name); });

TEST_F(Keys, LettersThatAreNoAnswerLeaveTheQuestionOpen) {
    Start();
    const TScopedValue german(Language, 1);
    dialogs.Expect("TYesNoDialog", [](QDialog* d) {
        QTest::keyClick(d, Qt::Key_Y); // English yes, but the game speaks German
        QTest::keyClick(d, Qt::Key_Q);
        EXPECT_TRUE(d->isVisible());
        QTest::keyClick(d, Qt::Key_N);
    });
    Key(form, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(Keys, TheHighscoreNameIsTypedAndTakenWithEnter) {
    Start();
    form->Game().GameState = gsRunning;
    form->UpdateToolbar();
    form->Game().Score = 40;
    dialogs.Expect("TYesNoDialog", KeyAnswer(Qt::Key_Y));
    dialogs.Expect("THighscoreDlg", [](QDialog* d) {
        auto* h = static_cast<THighscoreDlg*>(d);
        EXPECT_EQ(h->focusWidget(), h->Edit1); // typing goes straight into the name
        h->Edit1->selectAll();
        QTest::keyClicks(h->Edit1, "Ada");
        QTest::keyClick(h->Edit1, Qt::Key_Return);
        EXPECT_FALSE(d->isVisible());
        if (d->isVisible()) d->done(0);
    });
    Key(form, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(form->Game().GameState, gsLost);
    EXPECT_TRUE(IniText().contains("player=Ada"));
    EXPECT_TRUE(IniText().contains("hsa0="));
}

TEST_F(Keys, EscapeInTheHighscoreEntryStoresNothing) {
    Start();
    form->Game().GameState = gsRunning;
    form->UpdateToolbar();
    form->Game().Score = 40;
    dialogs.Expect("TYesNoDialog", KeyAnswer(Qt::Key_Return));
    dialogs.Expect("THighscoreDlg", KeyAnswer(Qt::Key_Escape));
    Key(form, Qt::Key_G, Qt::ControlModifier);
    EXPECT_FALSE(IniText().contains("hsa0="));
}

TEST_F(Keys, TheOptionPicturesAreReachedWithTabAndToggledWithSpace) {
    Start();
    const bool soundWas = form->SoundOn;
    const int backWas = form->Board.BackgroundIndex;
    dialogs.Expect("TOptionsDialog", [](QDialog* d) {
        auto* m = static_cast<TOptionsDialog*>(d);
        QWidget* reached[5] = {};
        for (QWidget*& w : reached) {
            QTest::keyClick(d, Qt::Key_Tab);
            w = d->focusWidget();
        }
        EXPECT_EQ(reached[0], m->TongueImg);
        EXPECT_EQ(reached[1], m->SoundImg);
        EXPECT_EQ(reached[4], m->StrengthImg);
        QTest::keyClick(d, Qt::Key_Backtab, Qt::ShiftModifier); // back to the background
        QTest::keyClick(d, Qt::Key_Space);
        QTest::keyClick(d, Qt::Key_Backtab, Qt::ShiftModifier);
        QTest::keyClick(d, Qt::Key_Backtab, Qt::ShiftModifier); // the sound
        QTest::keyClick(d, Qt::Key_Space);
        QTest::keyClick(d, Qt::Key_Escape);
        EXPECT_FALSE(d->isVisible());
    });
    Key(form, Qt::Key_O, Qt::ControlModifier);
    EXPECT_NE(form->SoundOn, soundWas);
    EXPECT_EQ(form->Board.BackgroundIndex, (backWas + 1) % 5);
}

} // namespace
