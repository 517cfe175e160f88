// Lifting, dragging and dropping a card with the mouse.
#include "AppFixture.h"

#include "board/Raster.h"

#include <QDialog>
#include <QTest>

namespace {

class Drag : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        Start();
        SetTable("r2 g4 b9 v13", {{"r3", "r5", "g7"}, {"b5", "v8"}, {"r6", "J"}, {"g10"}, {"b12", "v1"}});
        l = &form->Board.Layout;
        cs = l->CardSize;
    }
    QImage CardPicture(CardCode card) const {
        QImage img = NewBitmap(cs, cs);
        form->Board.DrawCard(img, 0, 0, card);
        return img;
    }
    const BoardLayout* l = nullptr;
    int cs = 0;
};

TEST_F(Drag, PressAndReleaseInPlacePutsTheCardBack) {
    const QRect area = l->StackArea(0);
    const QImage before = CanvasRegion(area);
    const QPoint p = l->StackTopRect(0).center();
    MouseDown(p);
    EXPECT_TRUE(form->Dragging());
    EXPECT_EQ(CanvasRegion(area), before); // the card is shown where it lay: nothing changes at the press
    MouseUp(p);
    EXPECT_FALSE(form->Dragging());
    EXPECT_EQ(sounds, (QStringList{"UP", "FALSCH"}));
    EXPECT_EQ(form->Game().StackCount[0], 3);
    EXPECT_EQ(CanvasRegion(area), before);
    EXPECT_EQ(form->Game().GameState, gsRunning); // the first press started the game
}

TEST_F(Drag, TheCardFollowsThePointerAtItsHold) {
    const QRect top = l->StackTopRect(1);
    const QPoint hold = top.topLeft() + QPoint(10, 20);
    MouseDown(hold);
    MouseMove(hold + QPoint(5, -3));
    MouseMove(QPoint(300, 200));
    EXPECT_EQ(form->DragSprite->GetX(), 300 - 10);
    EXPECT_EQ(form->DragSprite->GetY(), 200 - 20);
    EXPECT_EQ(CanvasRegion(QRect(290, 180, cs, cs)), CardPicture(form->Game().TopCard(1)));
    MouseUp(QPoint(300, 200));
}

TEST_F(Drag, ADropCoversTheRowCardAndShortensTheStack) {
    const CardCode card = form->Game().TopCard(0);
    DragToRow(0, 1);
    EXPECT_EQ(form->Game().Row[1], card);
    EXPECT_EQ(form->Game().StackCount[0], 2);
    EXPECT_EQ(sounds, (QStringList{"UP", "DOWN"}));
    const QRect row = l->RowRect(1);
    EXPECT_EQ(CanvasRegion(row), CardPicture(card));
    // The stack is drawn with one card fewer, and its freed strip is background again.
    const QRect area = l->StackArea(0);
    const int st = l->StripStep();
    EXPECT_EQ(CanvasRegion(QRect(area.x(), area.y(), cs, cs)).copy(1, 1, cs - 2, cs - 2),
              CardPicture(form->Game().TopCard(0)).copy(1, 1, cs - 2, cs - 2));
    const QRect freed(area.x(), area.y() + cs + st, cs, st);
    EXPECT_EQ(CanvasRegion(freed), form->Board.BoardBackground.copy(freed));
}

TEST_F(Drag, ADropCentredExactlyOnARowSquaresEdgeCounts) {
    const QRect top = l->StackTopRect(3), row = l->RowRect(2);
    MouseDown(top.topLeft()); // held at its corner: the card's top-left follows the pointer
    // Card centre lands on the row square's right edge (x + CardSize).
    const QPoint to(row.x() + cs - cs / 2, row.y() + 5);
    MouseMove(to);
    MouseUp(to);
    EXPECT_EQ(form->Game().Row[2], MakeCard(1, 10));
    EXPECT_EQ(form->Game().StackCount[3], 0);
}

TEST_F(Drag, BesideTheRowOrOnItsOwnStackTheCardGoesBack) {
    const QRect area = l->StackArea(4);
    const QImage before = CanvasRegion(area);
    MouseDown(l->StackTopRect(4).center());
    MouseMove(QPoint(650, 470));
    MouseUp(QPoint(650, 470));
    EXPECT_EQ(sounds.back(), "FALSCH");
    EXPECT_EQ(CanvasRegion(area), before);
    EXPECT_EQ(CanvasRegion(QRect(650 - cs / 2, 470 - cs / 2, cs, cs)),
              form->Board.BoardBackground.copy(QRect(650 - cs / 2, 470 - cs / 2, cs, cs)));
}

TEST_F(Drag, TheJokerRuleBothWays) {
    DragToRow(2, 3); // r6 off stack 2: the joker below is now on top
    DragToRow(2, 1); // the joker into the row at position 1
    ASSERT_EQ(form->Game().JokerPos, 1);
    const auto row = form->Game().Row;
    sounds.clear();
    dialogs.Expect("TOKDialog", Press("YesBtn", 2));
    DragToRow(0, 0);
    EXPECT_EQ(form->Game().Row, row);
    EXPECT_EQ(form->Game().StackCount[0], 3);
    EXPECT_EQ(sounds, (QStringList{"UP", "FALSCH"}));
    EXPECT_EQ(dialogs.Seen, QStringList{"TOKDialog"});
    DragToRow(0, 1);
    EXPECT_EQ(form->Game().JokerPos, -1);
    EXPECT_EQ(form->Game().Row[1], MakeCard(0, 3));
}

TEST_F(Drag, APressJustBesideTheTopCardLiftsItButDoesNotHoldIt) {
    const QRect top = l->StackTopRect(1);
    for (QPoint p : {QPoint(top.x() + cs, top.y() + 10), QPoint(top.x() + 10, top.y() + cs)}) {
        sounds.clear();
        MouseDown(p);
        ASSERT_TRUE(form->Dragging());
        EXPECT_FALSE(form->DragSprite->IsGrabbed());
        MouseMove(l->RowRect(0).center());
        EXPECT_EQ(form->DragSprite->GetX(), top.x()); // it does not follow
        MouseUp(l->RowRect(0).center());
        EXPECT_EQ(sounds, (QStringList{"UP", "FALSCH"}));
        EXPECT_EQ(form->Game().StackCount[1], 2);
    }
}

TEST_F(Drag, AnyMouseButtonDrags) {
    DragToRow(1, 0, Qt::RightButton);
    EXPECT_EQ(form->Game().Row[0], MakeCard(2, 5));
    DragToRow(1, 0, Qt::MiddleButton);
    EXPECT_EQ(form->Game().Row[0], MakeCard(3, 8));
}

TEST_F(Drag, PatternPressesDuringADragClaimNothing) {
    SetTable("r4 g4 b9 v13", {{"r3", "r5"}});
    const int two = 5;
    ASSERT_TRUE(IsOffered(form->Game().PatternState[two]));
    MouseDown(l->StackTopRect(0).center());
    form->PatShapeMouseDown(two);
    MouseDown(l->PatternRect(two).center(), Qt::RightButton); // a second button while the first is held
    EXPECT_EQ(form->Game().Score, 0);
    EXPECT_TRUE(IsOffered(form->Game().PatternState[two]));
    EXPECT_TRUE(form->Dragging());
    MouseUp(l->PatternRect(two).center(), Qt::RightButton); // any button's release drops the card
    EXPECT_FALSE(form->Dragging());
    EXPECT_EQ(form->Game().StackCount[0], 2);
}

TEST_F(Drag, AFullRepaintDuringADragKeepsTheLiftedStackAndTheCard) {
    const QRect area = l->StackArea(0);
    MouseDown(l->StackTopRect(0).center());
    MouseMove(QPoint(330, 450));
    const QImage lifted = CanvasRegion(area);
    const QRect card(form->DragSprite->GetX(), form->DragSprite->GetY(), cs, cs);
    const QImage picture = CanvasRegion(card);
    form->boxPaint(); // as when another window uncovers the board
    EXPECT_EQ(CanvasRegion(area), lifted);
    EXPECT_EQ(CanvasRegion(card), picture);
    MouseMove(QPoint(100, 450));
    MouseUp(QPoint(100, 450));
    // Nothing of the card is left behind where it was when the board was repainted.
    EXPECT_EQ(CanvasRegion(card), form->Board.BoardBackground.copy(card));
    EXPECT_EQ(form->Game().StackCount[0], 3);
}

TEST_F(Drag, AResizeDuringADragRendersTheCardAtTheNewSize) {
    MouseDown(l->StackTopRect(0).center());
    form->resize(1200, 800);
    QTest::qWait(10);
    ASSERT_TRUE(form->Dragging());
    const int big = form->Board.Layout.CardSize;
    EXPECT_GT(big, cs);
    const QRect card(form->DragSprite->GetX(), form->DragSprite->GetY(), big, big);
    QImage want = NewBitmap(big, big);
    form->Board.DrawCard(want, 0, 0, form->Game().TopCard(0));
    EXPECT_EQ(form->Canvas.Image.copy(card), want);
    MouseUp(QPoint(5, 700));
    EXPECT_EQ(form->Game().StackCount[0], 3);
}

TEST_F(Drag, TheClockAndTheOffersAreDrawnUnderTheDraggedCard) {
    SetTable("r4 g4 b9 v13", {{"r3", "r5"}});
    ASSERT_TRUE(IsOffered(form->Game().PatternState[5]));
    const QRect field = l->ScoreField();
    const QRect offer = l->PatternRect(5);
    MouseDown(l->StackTopRect(0).center());
    // Over the score and the offered pattern at once: the card covers both.
    const QPoint over(field.x() + 20, offer.y() + 5);
    MouseMove(over);
    const QRect card(form->DragSprite->GetX(), form->DragSprite->GetY(), cs, cs);
    ASSERT_TRUE(card.intersects(field) && card.intersects(offer));
    const QImage picture = CanvasRegion(card);
    for (int t = 0; t < 3; ++t) form->TimerTimer(); // one point off, three glitters
    EXPECT_EQ(CanvasRegion(card), picture);
    // Away from there, the score underneath is the new one and the frame is current.
    MouseMove(QPoint(650, 470));
    const QImage shown = CanvasRegion(field);
    form->Board.DrawScore();
    EXPECT_EQ(CanvasRegion(field), shown);
    const QRgb frame = form->Canvas.Image.pixel(offer.topLeft());
    EXPECT_GE(qRed(frame), 128);
    EXPECT_GE(qGreen(frame), 128);
    MouseUp(QPoint(650, 470));
}

} // namespace
