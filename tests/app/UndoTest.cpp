// Taking moves back on the real main window: the board returns pixel for pixel, the keys do it,
// the player is told once, and a game with a move taken back does not compete.
#include "AppFixture.h"

#include "app/Advice.h"
#include "dialogs/okDlg.h"

#include <QDialog>
#include <QTest>
#include <QTimer>

namespace {

class Undo : public AppFixture {
  protected:
    void StartStill() {
        Start();
        // No offer glitters and no point drains away: the board only changes by the moves.
        SetTable("r2 g4 b9 v13", {{"r3", "g6", "b6"},
                                  {"r5", "g7", "b7"},
                                  {"r7", "g8", "b8"},
                                  {"r8", "g9", "b9"},
                                  {"r10", "g10", "b10"}});
        form->Timer->stop();
    }
};

TEST_F(Undo, TheBoardReturnsPixelForPixelAndRedoPlaysTheMoveAgain) {
    StartStill();
    DragToRow(0, 1);
    form->Timer->stop();
    const QImage afterFirst = form->Canvas.Image.copy();
    const TSessionState first = form->Session.Snapshot();
    DragToRow(2, 3);
    ASSERT_EQ(form->Game().StackCount[2], 2);
    dialogs.Expect("TOKDialog", Press("YesBtn", 1));
    form->TakeBack(false); // as Ctrl+Z does, without the keyboard's mark on the board
    EXPECT_EQ(dialogs.Seen, QStringList{"TOKDialog"});
    EXPECT_EQ(form->Game().Row, first.Game.Row);
    EXPECT_EQ(form->Game().StackCount, first.Game.StackCount);
    EXPECT_TRUE(form->Canvas.Image == afterFirst) << "the board is the board before the move";
    // Once told is enough; the keys go on taking back and playing again.
    QTest::keyClick(form, Qt::Key_Backspace);
    EXPECT_EQ(form->Game().StackCount[0], 3);
    QTest::keyClick(form, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Game().StackCount[0], 3);
    QTest::keyClick(form, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->Game().StackCount[2], 2);
    EXPECT_EQ(dialogs.Seen.size(), 1);
    EXPECT_FALSE(dialogs.Pending());
}

TEST_F(Undo, AGameWithAMoveTakenBackGetsNoHighscoreEntry) {
    StartStill();
    DragToRow(0, 1);
    dialogs.Expect("TOKDialog", Press("YesBtn", 1));
    QTest::keyClick(form, Qt::Key_Backspace);
    ASSERT_TRUE(form->Session.Assisted());
    // Given up with points: no highscore dialog follows the question.
    form->Game().Score = 120;
    dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
    ClickButton(form->ToolButton(TTool::GiveUp));
    EXPECT_EQ(dialogs.Seen, (QStringList{"TOKDialog", "TYesNoDialog"}));
    EXPECT_TRUE(IniText().contains("assisteda=1")) << IniText().toStdString();
}

} // namespace
