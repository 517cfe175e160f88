// The deal on the board has a number: a new deal draws one, a restart plays the same one again
// (asking first while a game runs), and the info page shows it and offers the restart.
#include "AppFixture.h"

#include "controls/Decor.h"
#include "game/Deal.h"
#include "tests/support/ScopedValue.h"
#include "texts/Language.h"
#include "dialogs/OptionsDialog.h"

#include <QDialog>
#include <QTest>

namespace {

using DealNumbers = AppFixture;

const QPoint EmptyBoard(20, 470);

// A random deal may have laid the joker in the row: then only its position takes the card.
int Allowed(const TMainform* f, int position) { return f->Game().JokerPos >= 0 ? f->Game().JokerPos : position; }

void ExpectDealOf(const TMainform* f, std::int32_t number) {
    const Table t = DealByNumber(number);
    EXPECT_EQ(f->Session.Deal(), number);
    EXPECT_EQ(f->Game().Row, t.Row);
    EXPECT_EQ(f->Game().Stacks, t.Stacks);
    EXPECT_EQ(f->Game().StackCount, t.StackCount);
    EXPECT_EQ(f->Game().JokerPos, t.JokerPos);
}

TEST_F(DealNumbers, NewDealsDrawANumberAndRestartKeepsIt) {
    Start();
    const std::int32_t first = form->Session.Deal();
    ASSERT_GE(first, 1);
    ExpectDealOf(form, first);
    ClickButton(form->ToolButton(TTool::Mix));
    EXPECT_NE(form->Session.Deal(), first);
    ExpectDealOf(form, form->Session.Deal());

    // Played a little, then restarted without a question once the game is over. (Deal 4242
    // has no joker in its row, so any drop is taken.)
    form->Session.LayDeal(4242);
    const std::int32_t number = form->Session.Deal();
    MouseDown(EmptyBoard);
    DragToRow(0, Allowed(form, 0));
    form->Game().GameState = gsLost;
    sounds.clear();
    QTest::keyClick(form, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(form->Game().GameState, gsNotStarted);
    EXPECT_EQ(form->Game().Score, 0);
    EXPECT_EQ(sounds, QStringList{"MIX"});
    ExpectDealOf(form, number);
    EXPECT_TRUE(dialogs.Seen.isEmpty());
}

TEST_F(DealNumbers, RestartAsksWhileRunningAndIsIgnoredWhilePaused) {
    Start();
    form->Session.LayDeal(4242);
    const std::int32_t number = form->Session.Deal();
    MouseDown(EmptyBoard);
    MouseUp(EmptyBoard);
    DragToRow(1, Allowed(form, 2));
    const auto row = form->Game().Row;

    dialogs.Expect("TYesNoDialog", Press("NoBtn", mrNo));
    form->RestartDealClick();
    EXPECT_EQ(form->Game().GameState, gsRunning);
    EXPECT_EQ(form->Game().Row, row);

    ClickButton(form->ToolButton(TTool::Pause));
    form->RestartDealClick(); // as Mix: nothing while the board is hidden
    EXPECT_EQ(form->Game().GameState, gsPaused);
    ClickButton(form->ToolButton(TTool::Pause));

    dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
    form->RestartDealClick();
    EXPECT_EQ(form->Game().GameState, gsNotStarted);
    ExpectDealOf(form, number);
    EXPECT_EQ(dialogs.Seen, (QStringList{"TYesNoDialog", "TYesNoDialog"}));
}

TEST_F(DealNumbers, InfoPageShowsTheNumberAndRestartsTheDeal) {
    Start();
    const TScopedValue english(Language, 0);
    form->Session.LayDeal(4242);
    const std::int32_t number = form->Session.Deal();
    MouseDown(EmptyBoard);
    MouseUp(EmptyBoard);
    DragToRow(2, Allowed(form, 1));

    // Closed with its OK button: nothing happens to the game.
    dialogs.Expect("TOptionsDialog", [&](QDialog* d) {
        auto* multi = static_cast<TOptionsDialog*>(d);
        EXPECT_EQ(multi->InfoDeal->Text(), QStringLiteral("Deal %1").arg(number));
        EXPECT_EQ(multi->InfoRestart->Text(), QStringLiteral("Restart this deal"));
        PressButton(d, "OKBtn", 0);
    });
    ClickButton(form->ToolButton(TTool::Info));
    EXPECT_EQ(form->Game().GameState, gsRunning);

    // The restart closes the page first, then asks over the board.
    dialogs.Expect("TOptionsDialog", [](QDialog* d) { emit static_cast<TOptionsDialog*>(d)->InfoRestart->Clicked(); });
    dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
    ClickButton(form->ToolButton(TTool::Info));
    EXPECT_EQ(form->Game().GameState, gsNotStarted);
    ExpectDealOf(form, number);

    // German, and a later opening with OK does not restart again.
    Language = 1;
    dialogs.Expect("TOptionsDialog", [&](QDialog* d) {
        EXPECT_EQ(static_cast<TOptionsDialog*>(d)->InfoDeal->Text(), QStringLiteral("Spiel Nr. %1").arg(number));
        PressButton(d, "OKBtn", 0);
    });
    MouseDown(EmptyBoard);
    ClickButton(form->ToolButton(TTool::Info));
    EXPECT_EQ(form->Game().GameState, gsRunning);
}

} // namespace
