#pragma once
// Keyboard play. A table maps each key to an action, and every action is a move of the play
// view in the player's terms (lift stack 3, drop on position 2, claim pattern 7, press the
// pause button), which the window does as the pointer would.
//
// A focus mark walks five groups: the stacks, the row positions, the patterns in play, the score
// and the toolbar buttons. It appears with the first key press and goes with the next mouse
// press, and it is not drawn over the hidden board while the game pauses.

#include "app/PlayView.h"

#include <QKeyCombination>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <array>

class QAccessibleInterface;
class TJetButton;

// In the order Tab walks them.
enum class TFocusGroup { Stacks, Row, Patterns, Score, Toolbar };
inline constexpr int FocusGroupCount = 5;

class TKeyboard;

// One row of the key map. Arg is handed to the action (a stack, a row position, ...).
struct TKeyBinding {
    QKeyCombination Key;
    void (*Act)(TKeyboard& keys, int arg);
    int Arg = 0;
    // While a card is in hand only the keys that move the mark or put the card somewhere act,
    // as the pointer can do nothing else while it holds a card.
    bool WhileLifted = false;
};

class TKeyboard : public QObject {
    Q_OBJECT
  public:
    explicit TKeyboard(TPlayView& view);
    ~TKeyboard() override;

    TPlayView& View() { return m_view; }

    // Runs the action bound to the key; false when the key is not in the map.
    bool KeyPress(QKeyCombination key);

    // The moves, as the key map calls them.
    void Lift(int stack);         // the top card of a stack into the hand
    void DropOnRow(int position); // the card in hand onto a row position
    void PutBack();               // the card in hand back onto its stack
    void Activate();              // Space or Enter on whatever the mark is on
    void PressTool(TTool tool);
    void NextGroup(int step); // Tab, Shift+Tab
    void Move(int step);      // the arrow keys
    // A card lifted by a key and still in hand.
    bool CardInHand() const;

    // Where the mark is, and whether it shows.
    TFocusGroup Group() const { return m_group; }
    int Index() const { return m_index[static_cast<int>(m_group)]; }
    int IndexIn(TFocusGroup g) const { return m_index[static_cast<int>(g)]; }
    bool MarkShown() const { return m_markShown; }
    // The element under the mark, in the board's pixels.
    QRect MarkedRect() const;
    TJetButton* ToolbarButton(int index) const { return m_view.ToolButton(ToolAt(index)); }

    // Hooks of the main window: after a full paint of the board, after every timer tick, and
    // after the texts have been applied.
    void Repainted();
    void Tick();
    void TextsApplied();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int GroupSize(TFocusGroup g) const;
    void SetFocus(TFocusGroup g, int index);
    void ShowMark();
    void HideMark();
    void DrawMark();
    void AfterAction();
    void AnnounceFocus();
    int FirstOfferedIndex() const;

    TPlayView& m_view;
    TFocusGroup m_group = TFocusGroup::Stacks;
    std::array<int, FocusGroupCount> m_index{};
    bool m_markShown = false;
    bool m_lifted = false; // the card in hand was lifted by a key
    bool m_watchingWindow = false;
};
