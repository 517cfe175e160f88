#pragma once
// What the keyboard and the screen reader see of the main window, and the moves they can ask
// of it, in the player's terms: lift stack 3, drop on position 2, claim pattern 7, press the
// pause button. The window does each exactly as the pointer would, so the rules, the sounds,
// the dialogs and the start of the clock are the same whichever way the player plays.

#include "app/Toolbar.h"
#include "game/Session.h"

class QWidget;
class TAnnouncer;
class TBoard;
class TCanvas;
class TJetButton;
class TKeyboard;
class TPaintBox;
class TPatternShape;

class TPlayView {
  public:
    virtual ~TPlayView() = default;

    virtual const TGameSession& GameSession() const = 0;
    const GameData& Game() const { return GameSession().Game(); }
    // The stack of the card in hand, or -1.
    int Hand() const { return GameSession().Hand(); }

    virtual QWidget& Window() = 0;
    virtual TPaintBox& BoardWidget() = 0;
    virtual const TBoard& BoardView() const = 0;
    virtual TCanvas& BoardCanvas() = 0;
    // Draws the whole board again, the keyboard's mark last.
    virtual void RepaintBoard() = 0;
    virtual TJetButton* ToolButton(TTool tool) const = 0;
    virtual TPatternShape* PatternShape(int position) const = 0; // 1-based
    virtual TKeyboard* Keyboard() const = 0;
    virtual TAnnouncer& Announcer() = 0;

    // The top card of a stack into the hand, shown raised above its stack; false when it
    // cannot be lifted now.
    virtual bool LiftCard(int stack) = 0;
    // The card in hand onto a row position; -1 lets it go beside the row (it goes back).
    virtual void DropCard(int target) = 0;
    virtual void ClaimPattern(int position) = 0;
    // A press on the board that touches no card: a fresh deal's clock starts.
    virtual void TouchBoard() = 0;
    // A toolbar button pressed, as a click would (the exit button asks on the press).
    virtual void PressTool(TTool tool) = 0;
    virtual void RestartDeal() = 0;
    virtual void ShowStatistics() = 0;
    virtual void AskHint() = 0;
    // The last move taken back, or a move taken back played again.
    virtual void TakeBack(bool redo) = 0;
    // The best play of the deal just played, shown on the board.
    virtual void ShowBestPlay() = 0;
};

// The play view a widget belongs to (its window), or nullptr.
TPlayView* PlayViewOf(QWidget* widget);
