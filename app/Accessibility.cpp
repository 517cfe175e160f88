#include "app/Accessibility.h"

#include "app/Keys.h"
#include "app/PatternShape.h"
#include "app/PlayView.h"
#include "board/Board.h"
#include "board/PaintBox.h"
#include "controls/Accessible.h"
#include "controls/AccessibleNotice.h"
#include "controls/jetButton.h"
#include "texts/Language.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPointer>
#include <QWindow>

#include <algorithm>

#include <vector>

namespace {

QString Say(const char* german, const char* english) {
    return QString::fromUtf8(IsGerman() ? german : english);
}

TPlayView* FormOf(QWidget* w) {
    return PlayViewOf(w);
}

// ---- the board's own children, which are drawn, not widgets ------------------------------

enum class TPart { Score, Row, Stack, Hand, Status };

// Whether the keyboard's mark stands on an element: it counts as focused only while the
// main window itself has the focus (not while a dialog over it does) and, on the board, not
// while the game pauses and the board is hidden.
bool MarkOn(TPlayView* f, TFocusGroup group, int index) {
    const TKeyboard* keys = f ? f->Keyboard() : nullptr;
    if (!keys || !keys->MarkShown() || !f->Window().isActiveWindow()) return false;
    if (group != TFocusGroup::Toolbar && f->Game().GameState == gsPaused) return false;
    return keys->Group() == group && keys->Index() == index;
}

class TBoardPartAccessible : public QAccessibleInterface {
  public:
    TBoardPartAccessible(TPaintBox* box, TPart part, int index) : m_box(box), m_part(part), m_index(index) {}

    bool isValid() const override { return m_box && FormOf(m_box); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_box ? m_box->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_box.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QAccessible::Role role() const override {
        switch (m_part) {
        case TPart::Score:
            return QAccessible::StaticText;
        case TPart::Status:
            return QAccessible::StatusBar;
        case TPart::Hand:
            return QAccessible::Graphic;
        default:
            return QAccessible::Graphic;
        }
    }

    QString text(QAccessible::Text t) const override {
        TPlayView* f = FormOf(m_box);
        if (!f) return QString();
        switch (m_part) {
        case TPart::Score:
            if (t == QAccessible::Name) return ScoreText(f->Game());
            break;
        case TPart::Row:
            if (t == QAccessible::Name) return CardName(f->Game().Row[m_index]);
            if (t == QAccessible::Description) return RowPlaceName(m_index);
            break;
        case TPart::Stack:
            if (t == QAccessible::Name)
                return f->Game().StackCount[m_index] > 0 ? CardName(f->Game().TopCard(m_index))
                                                         : Say("leer", "empty");
            if (t == QAccessible::Description) return StackPlaceName(m_index, f->Game().StackCount[m_index]);
            break;
        case TPart::Hand:
            if (t == QAccessible::Name && f->Hand() >= 0)
                return CardName(f->Game().TopCard(f->Hand())) + Say(" in der Hand", " in hand");
            if (t == QAccessible::Description && f->Hand() >= 0)
                return Say("von Stapel ", "from stack ") + QString::number(f->Hand() + 1);
            break;
        case TPart::Status:
            if (t == QAccessible::Name) return f->Announcer().Last();
            break;
        }
        return QString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        TPlayView* f = FormOf(m_box);
        if (!f) return QRect();
        QRect r;
        switch (m_part) {
        case TPart::Score:
            r = f->BoardView().Layout.ScoreField();
            break;
        case TPart::Row:
            r = f->BoardView().Layout.RowRect(m_index);
            break;
        case TPart::Stack:
            r = f->BoardView().Layout.StackArea(m_index);
            break;
        case TPart::Hand:
            r = f->BoardView().Layout.StackTopRect(std::max(f->Hand(), 0));
            break;
        case TPart::Status:
            r = QRect(0, 0, 1, 1);
            break;
        }
        return QRect(m_box->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        TPlayView* f = FormOf(m_box);
        if (!f) return s;
        // The board is hidden while the game pauses.
        if (f->Game().GameState == gsPaused && m_part != TPart::Status) s.invisible = true;
        if (m_part == TPart::Hand && f->Hand() < 0) s.invisible = true;
        if (m_part == TPart::Row || m_part == TPart::Stack || m_part == TPart::Score) {
            s.focusable = true;
            const TFocusGroup g = m_part == TPart::Row     ? TFocusGroup::Row
                                  : m_part == TPart::Stack ? TFocusGroup::Stacks
                                                           : TFocusGroup::Score;
            s.focused = MarkOn(f, g, m_part == TPart::Score ? 0 : m_index);
        }
        // The score only reads; it offers no value to step up or down.
        if (m_part == TPart::Status || m_part == TPart::Score) s.readOnly = true;
        return s;
    }

  private:
    QPointer<TPaintBox> m_box;
    TPart m_part;
    int m_index;
};

// Children in this order: the score, row positions 1..4, stacks 1..5, the card in hand, the
// status line.
constexpr int ScoreChild = 0;
constexpr int FirstRowChild = 1;
constexpr int FirstStackChild = FirstRowChild + RowSize;
constexpr int HandChild = FirstStackChild + StackTotal;
constexpr int StatusChild = HandChild + 1;
constexpr int PartCount = StatusChild + 1;

class TBoardAccessible : public QAccessibleWidget {
  public:
    explicit TBoardAccessible(TPaintBox* box) : QAccessibleWidget(box, QAccessible::Pane) {
        auto add = [&](TPart part, int index) {
            auto* iface = new TBoardPartAccessible(box, part, index);
            m_ids.push_back(QAccessible::registerAccessibleInterface(iface));
        };
        add(TPart::Score, 0);
        for (int j = 0; j < RowSize; ++j)
            add(TPart::Row, j);
        for (int s = 0; s < StackTotal; ++s)
            add(TPart::Stack, s);
        add(TPart::Hand, 0);
        add(TPart::Status, 0);
    }
    ~TBoardAccessible() override {
        for (QAccessible::Id id : m_ids)
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return Say("Spielfeld", "Board");
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return PartCount; }
    QAccessibleInterface* child(int index) const override {
        return index >= 0 && index < PartCount ? QAccessible::accessibleInterface(m_ids[size_t(index)])
                                               : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < PartCount; ++i)
            if (QAccessible::accessibleInterface(m_ids[size_t(i)]) == child) return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < PartCount; ++i) {
            QAccessibleInterface* c = child(i);
            if (c && c->rect().contains(x, y)) return c;
        }
        return nullptr;
    }

  private:
    std::vector<QAccessible::Id> m_ids;
};

// The main window is a frame named by its title, so a screen reader knows the game's window
// (and finds its status line); a plain top-level widget would read as a filler.
class TMainWindowAccessible : public QAccessibleWidget {
  public:
    explicit TMainWindowAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Window) {}
};

class TPatternAccessible : public QAccessibleWidget {
  public:
    explicit TPatternAccessible(TPatternShape* shape) : QAccessibleWidget(shape, QAccessible::Button) {}

    TPatternShape* Shape() const { return static_cast<TPatternShape*>(widget()); }
    bool InPlay(TPlayView* f) const { return f && Shape()->Position() <= f->Game().PatternCount; }

    QString text(QAccessible::Text t) const override {
        TPlayView* f = FormOf(widget());
        if (!InPlay(f)) return QAccessibleWidget::text(t);
        switch (t) {
        case QAccessible::Name:
            return QString::fromUtf8(PatternName(f->Game().PatternIds[Shape()->Position()], Language));
        case QAccessible::Description:
        case QAccessible::Value:
            return PatternStateText(f->Game(), Shape()->Position());
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        TPlayView* f = FormOf(widget());
        if (!InPlay(f) || f->Game().GameState == gsPaused) {
            s.invisible = true;
            return s;
        }
        const TPatternState st = f->Game().PatternState[Shape()->Position()];
        s.checkable = true;
        s.checked = st == TPatternState::Claimed;
        s.disabled = !IsOffered(st);
        s.focusable = true;
        s.focused = MarkOn(f, TFocusGroup::Patterns, Shape()->Position() - 1);
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        TPlayView* f = FormOf(widget());
        if (name == pressAction() && InPlay(f)) f->ClaimPattern(Shape()->Position());
    }
};

QAccessibleInterface* GameFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (widget->isWindow() && dynamic_cast<TPlayView*>(widget)) return new TMainWindowAccessible(widget);
    if (className == QLatin1String("TPaintBox")) return new TBoardAccessible(static_cast<TPaintBox*>(object));
    if (className == QLatin1String("TPatternShape"))
        return new TPatternAccessible(static_cast<TPatternShape*>(object));
    return ControlsAccessibleFactory(className, object);
}

void Emit(QAccessibleInterface* iface, QAccessible::Event type) {
    if (!iface || !QAccessible::isActive()) return; // nobody is listening
    QAccessibleEvent e(iface, type);
    QAccessible::updateAccessibility(&e);
}

QAccessibleInterface* BoardChild(TPlayView& view, int index) {
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(&view.BoardWidget());
    return board ? board->child(index) : nullptr;
}

// The toolbar's buttons never take Qt's focus: the keyboard's mark is their focus.
bool ToolbarButtonMarked(const QWidget* button) {
    TPlayView* f = FormOf(const_cast<QWidget*>(button));
    if (!f) return false;
    for (int i = 0; i < ToolCount; ++i)
        if (f->ToolButton(ToolAt(i)) == button) return MarkOn(f, TFocusGroup::Toolbar, i);
    return false;
}

} // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(GameFactory);
    SetKeyboardMarkQuery(ToolbarButtonMarked);
}

QString ScoreText(const GameData& game) {
    return MainText(TMainText::ScoreCaption) + QLatin1Char(' ') + QString::number(game.Score);
}

QString TakeBackText(bool redo, const GameData& game) {
    return (redo ? Say("Zug wiederholt. ", "Move played again. ")
                 : Say("Zug zurückgenommen. ", "Move taken back. ")) +
           ScoreText(game);
}

QString CardName(CardCode card) {
    if (IsJoker(card)) return Say("Joker", "joker");
    static const char* const German[ColourCount] = {"rot", "grün", "blau", "violett"};
    static const char* const English[ColourCount] = {"red", "green", "blue", "violet"};
    const int c = ColourIndex(card);
    if (c < 0 || c >= ColourCount) return QString();
    return QString::fromUtf8(IsGerman() ? German[c] : English[c]) + QLatin1Char(' ') +
           QString::number(ValueField(card) + 1);
}

QString RowPlaceName(int position) {
    return Say("Reihenplatz ", "row position ") + QString::number(position + 1);
}

QString StackPlaceName(int stack, int cards) {
    const QString place = Say("Stapel ", "stack ") + QString::number(stack + 1) + QStringLiteral(", ");
    if (cards == 1) return place + Say("1 Karte", "1 card");
    return place + QString::number(cards) + Say(" Karten", " cards");
}

QString PatternStateText(const GameData& game, int position) {
    const TPatternState st = game.PatternState[position];
    const QString points = QString::number(ClaimValue(game, position)) + Say(" Punkte", " points");
    switch (st) {
    case TPatternState::Offered:
        return Say("angeboten, ", "offered, ") + points;
    case TPatternState::OfferedBonus:
        return Say("mit Farbbonus angeboten, ", "offered with colour bonus, ") + points;
    case TPatternState::Claimed:
        return Say("genommen", "claimed");
    case TPatternState::Open:
        break;
    }
    return Say("offen", "open");
}

void AnnounceKeyboardFocus(TPlayView& form, const TKeyboard& keys) {
    const int i = keys.Index();
    switch (keys.Group()) {
    case TFocusGroup::Stacks:
        Emit(BoardChild(form, FirstStackChild + i), QAccessible::Focus);
        break;
    case TFocusGroup::Row:
        Emit(BoardChild(form, FirstRowChild + i), QAccessible::Focus);
        break;
    case TFocusGroup::Score:
        Emit(BoardChild(form, ScoreChild), QAccessible::Focus);
        break;
    case TFocusGroup::Patterns:
        Emit(QAccessible::queryAccessibleInterface(form.PatternShape(i + 1)), QAccessible::Focus);
        break;
    case TFocusGroup::Toolbar:
        Emit(QAccessible::queryAccessibleInterface(keys.ToolbarButton(i)), QAccessible::Focus);
        break;
    }
}

// ---- announcements ------------------------------------------------------------------------

TAnnouncer::TAnnouncer(TPlayView& view) : m_view(view), m_notice(new TNotice(&view.Window())) {}

QString TAnnouncer::Last() const {
    return m_notice->Last();
}

TAnnouncer::TSnapshot TAnnouncer::Take() const {
    const GameData& f = m_view.Game();
    TSnapshot s;
    s.valid = true;
    s.row = f.Row;
    s.stackCount = f.StackCount;
    for (int i = 1; i <= f.PatternCount; ++i) {
        s.state[size_t(i)] = static_cast<int>(f.PatternState[i]);
        s.points[size_t(i)] = IsOffered(f.PatternState[i]) ? ClaimValue(f, i) : 0;
    }
    s.gameState = f.GameState;
    s.score = f.Score;
    s.level = f.Level;
    s.dragging = m_view.Hand() >= 0;
    s.dragStack = std::max(m_view.Hand(), 0);
    if (s.dragging) s.inHand = f.TopCard(m_view.Hand());
    return s;
}

// A card lifted, dropped or put back.
void TAnnouncer::Moves(const TSnapshot& was, const TSnapshot& now, QStringList& said) const {
    bool dropped = false;
    for (int j = 0; j < RowSize; ++j) {
        if (now.row[size_t(j)] == was.row[size_t(j)]) continue;
        dropped = true;
        said << CardName(now.row[size_t(j)]) + Say(" auf ", " on ") + RowPlaceName(j) +
                    Say(", deckt ", ", covers ") + CardName(was.row[size_t(j)]);
        Emit(BoardChild(m_view, FirstRowChild + j), QAccessible::NameChanged);
    }
    if (now.dragging && (!was.dragging || now.dragStack != was.dragStack)) {
        said << CardName(now.inHand) + Say(" in der Hand, von Stapel ", " in hand, from stack ") +
                    QString::number(now.dragStack + 1);
        Emit(BoardChild(m_view, HandChild), QAccessible::ObjectShow);
    } else if (was.dragging && !now.dragging && !dropped) {
        said << CardName(was.inHand) + Say(" zurück auf Stapel ", " back on stack ") +
                    QString::number(was.dragStack + 1);
    }
}

// Patterns newly offered, with their points, and claims with the new score.
void TAnnouncer::Offers(const TSnapshot& was, const TSnapshot& now, QStringList& said) const {
    const GameData& game = m_view.Game();
    QStringList offered;
    for (int i = 1; i <= game.PatternCount; ++i) {
        const auto st = static_cast<TPatternState>(now.state[size_t(i)]);
        const auto before = static_cast<TPatternState>(was.state[size_t(i)]);
        const QString name = QString::fromUtf8(PatternName(game.PatternIds[i], Language));
        if (st == TPatternState::Claimed && before != st)
            said << Say("Genommen: ", "Claimed: ") + name + QStringLiteral(", ") +
                        QString::number(was.points[size_t(i)]) + Say(" Punkte. ", " points. ") +
                        ScoreText(m_view.Game());
        else if (IsOffered(st) && !IsOffered(before))
            offered << name +
                           (st == TPatternState::OfferedBonus ? Say(" mit Farbbonus", " with colour bonus")
                                                              : QString()) +
                           QStringLiteral(", ") + QString::number(now.points[size_t(i)]) +
                           Say(" Punkte", " points");
        if (st != before)
            Emit(QAccessible::queryAccessibleInterface(m_view.PatternShape(i)),
                 QAccessible::DescriptionChanged);
    }
    if (!offered.isEmpty()) said << Say("Angeboten: ", "Offered: ") + offered.join(QStringLiteral("; "));
}

void TAnnouncer::Changed() {
    const TSnapshot now = Take();
    const TSnapshot was = m_was;
    m_was = now;
    if (!was.valid) return;

    QStringList said;
    bool newDeal = now.level != was.level;
    for (int s = 0; s < StackTotal; ++s)
        if (now.stackCount[size_t(s)] > was.stackCount[size_t(s)]) newDeal = true;
    if (newDeal) {
        said << Say("Neues Spiel", "New game");
    } else {
        Moves(was, now, said);
        Offers(was, now, said);
    }
    for (int s = 0; s < StackTotal; ++s)
        if (now.stackCount[size_t(s)] != was.stackCount[size_t(s)]) {
            Emit(BoardChild(m_view, FirstStackChild + s), QAccessible::NameChanged);
            Emit(BoardChild(m_view, FirstStackChild + s), QAccessible::DescriptionChanged);
        }
    if (now.gameState != was.gameState) {
        if (now.gameState == gsWon) said << Say("Gewonnen. ", "Won. ") + ScoreText(m_view.Game());
        if (now.gameState == gsLost && was.gameState == gsRunning)
            said << Say("Verloren. ", "Lost. ") + ScoreText(m_view.Game());
        if (now.gameState == gsPaused) said << Say("Pause", "Paused");
        if (was.gameState == gsPaused && now.gameState == gsRunning) said << Say("Weiter", "Resumed");
    }
    if (said.isEmpty()) return;
    Tell(said.join(QStringLiteral(". ")));
}

void TAnnouncer::Tell(const QString& text) {
    m_notice->Say(text);
    Emit(BoardChild(m_view, StatusChild), QAccessible::NameChanged);
}

TPlayView* PlayViewOf(QWidget* widget) {
    for (QWidget* p = widget; p; p = p->parentWidget())
        if (auto* view = dynamic_cast<TPlayView*>(p)) return view;
    return nullptr;
}
