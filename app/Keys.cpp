#include "app/Keys.h"

#include "app/Accessibility.h"
#include "board/Board.h"
#include "board/FocusMark.h"
#include "controls/jetButton.h"
#include "texts/Language.h"

#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QWindow>

#include <algorithm>

namespace {

void Nothing(TKeyboard&, int) {}

void Press(TKeyboard& k, int toolbarIndex) {
    k.PressTool(ToolAt(toolbarIndex));
}

// The digits: with a card in hand 1 to 4 put it on the row, without one 1 to 5 lift a card.
void Digit(TKeyboard& k, int digit) {
    if (k.CardInHand()) {
        if (digit <= 4) k.DropOnRow(digit - 1);
    } else {
        k.Lift(digit - 1);
    }
}

constexpr QKeyCombination K(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    return QKeyCombination(mods, key);
}

enum : int {
    Mix = ToolIndex(TTool::Mix),
    GiveUp = ToolIndex(TTool::GiveUp),
    Pause = ToolIndex(TTool::Pause),
    HighScore = ToolIndex(TTool::HighScore),
    Option = ToolIndex(TTool::Options),
    Info = ToolIndex(TTool::Info),
    Help = ToolIndex(TTool::Help),
    Exit = ToolIndex(TTool::Exit),
};

// The key map. Others add their keys here.
const TKeyBinding KeyMap[] = {
    {K(Qt::Key_1), Digit, 1, true},
    {K(Qt::Key_2), Digit, 2, true},
    {K(Qt::Key_3), Digit, 3, true},
    {K(Qt::Key_4), Digit, 4, true},
    {K(Qt::Key_5), Digit, 5, true},
    {K(Qt::Key_Escape), [](TKeyboard& k, int) { k.PutBack(); }, 0, true},
    {K(Qt::Key_Tab), [](TKeyboard& k, int) { k.NextGroup(1); }, 0, true},
    {K(Qt::Key_Backtab, Qt::ShiftModifier), [](TKeyboard& k, int) { k.NextGroup(-1); }, 0, true},
    {K(Qt::Key_Backtab), [](TKeyboard& k, int) { k.NextGroup(-1); }, 0, true},
    {K(Qt::Key_Left), [](TKeyboard& k, int) { k.Move(-1); }, 0, true},
    {K(Qt::Key_Up), [](TKeyboard& k, int) { k.Move(-1); }, 0, true},
    {K(Qt::Key_Right), [](TKeyboard& k, int) { k.Move(1); }, 0, true},
    {K(Qt::Key_Down), [](TKeyboard& k, int) { k.Move(1); }, 0, true},
    {K(Qt::Key_Space), [](TKeyboard& k, int) { k.Activate(); }, 0, true},
    {K(Qt::Key_Return), [](TKeyboard& k, int) { k.Activate(); }, 0, true},
    {K(Qt::Key_Enter), [](TKeyboard& k, int) { k.Activate(); }, 0, true},
    {K(Qt::Key_F2), Press, Mix},
    {K(Qt::Key_N, Qt::ControlModifier), Press, Mix},
    {K(Qt::Key_G, Qt::ControlModifier), Press, GiveUp},
    {K(Qt::Key_P), Press, Pause},
    {K(Qt::Key_Pause), Press, Pause},
    {K(Qt::Key_H, Qt::ControlModifier), Press, HighScore},
    {K(Qt::Key_O, Qt::ControlModifier), Press, Option},
    {K(Qt::Key_I, Qt::ControlModifier), Press, Info},
    {K(Qt::Key_F1), Press, Help},
    {K(Qt::Key_Q, Qt::ControlModifier), Press, Exit},
    // The deal on the board once more, as the info page's button does.
    {K(Qt::Key_R, Qt::ControlModifier), [](TKeyboard& k, int) { k.View().RestartDeal(); }},
    // The statistics window.
    {K(Qt::Key_T, Qt::ControlModifier), [](TKeyboard& k, int) { k.View().ShowStatistics(); }},
    // The last move taken back, and played again.
    {K(Qt::Key_Z, Qt::ControlModifier), [](TKeyboard& k, int) { k.View().TakeBack(false); }},
    {K(Qt::Key_Backspace), [](TKeyboard& k, int) { k.View().TakeBack(false); }},
    {K(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier),
     [](TKeyboard& k, int) { k.View().TakeBack(true); }},
    {K(Qt::Key_Y, Qt::ControlModifier), [](TKeyboard& k, int) { k.View().TakeBack(true); }},
    // A hint: the next move the solver would make.
    {K(Qt::Key_H), [](TKeyboard& k, int) { k.View().AskHint(); }},
    // After a game: the best play of its deal, shown on the board.
    {K(Qt::Key_B), [](TKeyboard& k, int) { k.View().ShowBestPlay(); }},
    // Keys the window must not pass on to Qt's own handling (Tab would look for a child).
    {K(Qt::Key_Tab, Qt::ControlModifier), Nothing, 0, true},
};

bool SameKey(QKeyCombination a, QKeyCombination b) {
    // The keypad's digits and Enter count as the main keys.
    const Qt::KeyboardModifiers relevant =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    return a.key() == b.key() && (a.keyboardModifiers() & relevant) == (b.keyboardModifiers() & relevant);
}

} // namespace

TKeyboard::TKeyboard(TPlayView& view) : m_view(view) {
    m_view.Window().installEventFilter(this);
    TextsApplied();
}

TKeyboard::~TKeyboard() = default;

bool TKeyboard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_view.Window() && event->type() == QEvent::ChildPolished) {
        // The dialogs are the window's children: each is watched for its opening (polished
        // before it is first shown, and whole by then).
        if (auto* dialog = qobject_cast<QDialog*>(static_cast<QChildEvent*>(event)->child()))
            dialog->installEventFilter(this);
    } else if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched)) {
        // What led to a dialog (the drop that lost the game) is said before the dialog itself.
        m_view.Announcer().Changed();
    } else if (watched == &m_view.Window() && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (KeyPress(k->keyCombination())) return true;
    } else if (watched == m_view.Window().windowHandle() && m_markShown &&
               (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        HideMark(); // the mouse takes over; the press itself goes on as always
    }
    return QObject::eventFilter(watched, event);
}

bool TKeyboard::KeyPress(QKeyCombination key) {
    for (const TKeyBinding& b : KeyMap) {
        if (!SameKey(key, b.Key)) continue;
        if (!m_watchingWindow && m_view.Window().windowHandle()) {
            // Only now is there a window to watch for the mouse press that hides the mark.
            m_view.Window().windowHandle()->installEventFilter(this);
            m_watchingWindow = true;
        }
        const bool firstKey = !m_markShown;
        m_markShown = true;
        if (m_view.Hand() >= 0 && !b.WhileLifted) return true; // the hand is full
        const bool navigation = b.Key.key() == Qt::Key_Tab || b.Key.key() == Qt::Key_Backtab ||
                                b.Key.key() == Qt::Key_Left || b.Key.key() == Qt::Key_Right ||
                                b.Key.key() == Qt::Key_Up || b.Key.key() == Qt::Key_Down;
        // The first press of a key that moves the mark only shows where it is.
        if (!(firstKey && navigation)) b.Act(*this, b.Arg);
        AfterAction();
        return true;
    }
    return false;
}

bool TKeyboard::CardInHand() const {
    return m_lifted && m_view.Hand() >= 0;
}

void TKeyboard::Lift(int stack) {
    if (stack < 0 || stack >= StackTotal) return;
    m_index[static_cast<int>(TFocusGroup::Stacks)] = stack;
    if (!m_view.LiftCard(stack)) return; // nothing to lift, or the game takes no moves now
    m_lifted = true;
    SetFocus(TFocusGroup::Row, IndexIn(TFocusGroup::Row));
}

void TKeyboard::DropOnRow(int position) {
    if (!CardInHand() || position < 0 || position >= RowSize) return;
    m_lifted = false;
    m_index[static_cast<int>(TFocusGroup::Row)] = position;
    const int from = m_view.Hand();
    m_view.DropCard(position);
    SetFocus(TFocusGroup::Stacks, from);
}

void TKeyboard::PutBack() {
    if (!CardInHand()) return;
    // Let go beside the row: it goes back as a pointer's drop there would.
    m_lifted = false;
    const int from = m_view.Hand();
    m_view.DropCard(-1);
    SetFocus(TFocusGroup::Stacks, from);
}

void TKeyboard::Activate() {
    const int i = Index();
    switch (m_group) {
    case TFocusGroup::Stacks:
        // Over a stack is beside the row; over its own stack that is putting it back.
        if (!CardInHand())
            Lift(i);
        else
            PutBack();
        break;
    case TFocusGroup::Row:
        if (CardInHand())
            DropOnRow(i);
        else if (m_view.Hand() < 0)
            m_view.TouchBoard(); // a press on the board beside the stacks starts a fresh game's clock
        break;
    case TFocusGroup::Patterns:
        if (m_view.Hand() < 0) m_view.ClaimPattern(i + 1);
        break;
    case TFocusGroup::Score:
        break; // it only reads
    case TFocusGroup::Toolbar:
        if (m_view.Hand() < 0) PressTool(ToolAt(i));
        break;
    }
}

void TKeyboard::PressTool(TTool tool) {
    m_view.PressTool(tool);
}

int TKeyboard::GroupSize(TFocusGroup g) const {
    switch (g) {
    case TFocusGroup::Stacks:
        return StackTotal;
    case TFocusGroup::Row:
        return RowSize;
    case TFocusGroup::Patterns:
        return m_view.Game().PatternCount;
    case TFocusGroup::Score:
        return 1;
    case TFocusGroup::Toolbar:
        return ToolCount;
    }
    return 1;
}

int TKeyboard::FirstOfferedIndex() const {
    for (int i = 1; i <= m_view.Game().PatternCount; ++i)
        if (IsOffered(m_view.Game().PatternState[i])) return i - 1;
    return -1;
}

void TKeyboard::NextGroup(int step) {
    const int g = (static_cast<int>(m_group) + step + FocusGroupCount) % FocusGroupCount;
    const auto next = static_cast<TFocusGroup>(g);
    int index = IndexIn(next);
    // Entering the patterns, the mark goes to an offer if there is one.
    if (next == TFocusGroup::Patterns && FirstOfferedIndex() >= 0 &&
        !IsOffered(m_view.Game().PatternState[std::min(index, m_view.Game().PatternCount - 1) + 1]))
        index = FirstOfferedIndex();
    SetFocus(next, index);
}

void TKeyboard::Move(int step) {
    const int n = GroupSize(m_group);
    SetFocus(m_group, (Index() + step + n) % n);
}

void TKeyboard::SetFocus(TFocusGroup g, int index) {
    m_group = g;
    m_index[static_cast<int>(g)] = std::clamp(index, 0, GroupSize(g) - 1);
    if (m_markShown) AnnounceFocus();
}

QRect TKeyboard::MarkedRect() const {
    const BoardLayout& l = m_view.BoardView().Layout;
    const int i = std::clamp(Index(), 0, GroupSize(m_group) - 1);
    switch (m_group) {
    case TFocusGroup::Stacks:
        return l.StackTopRect(i);
    case TFocusGroup::Row:
        return l.RowRect(i);
    case TFocusGroup::Patterns:
        return l.PatternRect(i + 1);
    case TFocusGroup::Score:
        return l.ScoreField();
    case TFocusGroup::Toolbar:
        return ToolbarButton(i)->geometry();
    }
    return QRect();
}

void TKeyboard::DrawMark() {
    if (!m_markShown || !m_view.BoardView().Ready()) return;
    // The pause hides the board, and a ring would tell where a card lies; the toolbar's bars
    // stay, as the pause button that resumes is there.
    if (m_view.Game().GameState == gsPaused && m_group != TFocusGroup::Toolbar) return;
    // The level may have changed under the mark: fewer patterns.
    m_index[static_cast<int>(TFocusGroup::Patterns)] =
        std::clamp(IndexIn(TFocusGroup::Patterns), 0, std::max(0, m_view.Game().PatternCount - 1));
    DrawFocusMark(m_view.BoardCanvas(), MarkedRect(),
                  m_group == TFocusGroup::Toolbar ? TFocusMarkShape::Bars : TFocusMarkShape::Ring);
}

void TKeyboard::ShowMark() {
    m_markShown = true;
    m_view.RepaintBoard();
}

void TKeyboard::HideMark() {
    m_markShown = false;
    m_view.RepaintBoard(); // the full paint leaves the mark out
}

void TKeyboard::AfterAction() {
    if (m_view.Hand() < 0) m_lifted = false;
    if (m_markShown && m_view.Window().isVisible()) ShowMark();
    m_view.Announcer().Changed();
}

void TKeyboard::AnnounceFocus() {
    AnnounceKeyboardFocus(m_view, *this);
}

void TKeyboard::Repainted() {
    DrawMark();
}

void TKeyboard::Tick() {
    DrawMark(); // the offers' glittering frames may have touched it
}

void TKeyboard::TextsApplied() {
    for (int i = 0; i < ToolCount; ++i) {
        TJetButton* b = ToolbarButton(i);
        // The tooltip names the keys; the hint itself stays as it is.
        b->setToolTip(b->ShowHint()
                          ? b->Hint() + QStringLiteral(" (") + ToolKeys(ToolAt(i)) + QLatin1Char(')')
                          : QString());
        b->setAccessibleName(ToolName(ToolAt(i)));
    }
}
