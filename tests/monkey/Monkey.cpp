#include "Monkey.h"

#include "app/PatternShape.h"
#include "board/PaintBox.h"
#include "board/Raster.h"
#include "controls/Decor.h"
#include "controls/jetButton.h"
#include "dialogs/YesNoDlg.h"
#include "dialogs/HighscoreDialog.h"
#include "dialogs/okDlg.h"
#include "dialogs/OptionsDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

const char* StateName(TGameState s) {
    switch (s) {
    case gsNotStarted:
        return "not started";
    case gsRunning:
        return "running";
    case gsPaused:
        return "paused";
    case gsWon:
        return "won";
    case gsLost:
        return "lost";
    }
    return "?";
}

const char* ButtonName(Qt::MouseButton b) {
    return b == Qt::LeftButton ? "left" : b == Qt::RightButton ? "right" : "middle";
}

const char* const ToolNames[] = {"MixBtn",    "GiveUpBtn", "PauseBtn", "HighScoreBtn",
                                 "OptionBtn", "InfoBtn",   "HelpBtn",  "ExitBtn"};

std::string Text(const QPoint& p) {
    return "(" + std::to_string(p.x()) + "," + std::to_string(p.y()) + ")";
}

// The edges-included square of a card or pattern, as the hit tests read it.
bool Inside(const QRect& r, QPoint p, int margin) {
    return p.x() >= r.x() + margin && p.x() <= r.x() + r.width() - margin && p.y() >= r.y() + margin &&
           p.y() <= r.y() + r.height() - margin;
}

// Which message of a dialog is showing: the second line tells every kind apart in both languages.
template <class Dialog> int MessageKind(const TMessageDialog* d, int kinds) {
    for (int k = 1; k <= kinds; ++k)
        if (d->m2->Text() == QString::fromUtf8(Dialog::MessageFor(k).Second.Text)) return k;
    return 0;
}

// Where the toolbar promises each of its three switchable buttons.
struct ToolbarRow {
    bool Mix, GiveUp, Pause;
};
ToolbarRow ExpectedToolbar(TGameState s) {
    switch (s) {
    case gsNotStarted:
        return {true, false, false};
    case gsRunning:
        return {true, true, true};
    case gsPaused:
        return {false, false, true};
    case gsWon:
    case gsLost:
        return {true, false, false};
    }
    return {false, false, false};
}

// The state changes a single event may make (a deal may pass through "lost" on the way).
bool AllowedEdge(TGameState from, TGameState to) {
    if (from == to) return true;
    switch (from) {
    // A first press that claims the last open pattern wins at once (reachable with a head start).
    case gsNotStarted:
        return to == gsRunning || to == gsWon;
    case gsRunning:
        return true;
    case gsPaused:
        return to == gsRunning || to == gsNotStarted;
    case gsWon:
    case gsLost:
        return to == gsNotStarted;
    }
    return false;
}

bool SameTable(const GameData& a, const GameData& b) {
    return a.Row == b.Row && a.JokerPos == b.JokerPos && a.Stacks == b.Stacks && a.StackCount == b.StackCount;
}

bool SameGame(const GameData& a, const GameData& b) {
    return SameTable(a, b) && a.GameState == b.GameState && a.Score == b.Score &&
           a.ClockTicks == b.ClockTicks && a.Level == b.Level && a.PatternCount == b.PatternCount &&
           a.PatternIds == b.PatternIds && a.PatternState == b.PatternState;
}

std::array<int, 80> FullDeck() {
    std::array<int, 80> deck{};
    for (int c = 0; c < ColourCount; ++c)
        for (int v = 1; v <= ValueCount; ++v)
            deck[MakeCard(c, v)] = 1;
    deck[JokerCard] = 2;
    return deck;
}

// Where the highscore list would take a score: the first entry strictly lower, or -1.
int InsertPos(const std::array<int, 15>& list, int score) {
    for (int k = 0; k < 15; ++k)
        if (score > list[k]) return k;
    return -1;
}

} // namespace

// ---- dialogs ---------------------------------------------------------------------------

bool MonkeyDialogs::Chance(double p) {
    return std::uniform_real_distribution<double>(0, 1)(m_rng) < p;
}

void MonkeyDialogs::Answer(QDialog* dialog) {
    SeenDialog seen;
    seen.Name = QString::fromLatin1(dialog->metaObject()->className());
    if (auto* yesNo = qobject_cast<TYesNoDialog*>(dialog)) {
        seen.Kind = SeenDialog::Type::YesNo;
        seen.Message = MessageKind<TYesNoDialog>(yesNo, 2);
        // Leaving is mostly refused, so the run goes on; giving a game up is a coin toss.
        const bool yes = Chance(seen.Message == 1 ? 0.05 : 0.3);
        seen.Yes = seen.Message == 1 ? ExitConfirmed || (yes && ExitMayBeConfirmed) : yes;
        Seen.push_back(seen);
        emit(seen.Yes ? yesNo->YesBtn : yesNo->NoBtn)->OnClick();
    } else if (auto* ok = qobject_cast<TOKDialog*>(dialog)) {
        seen.Kind = SeenDialog::Type::OK;
        seen.Message = MessageKind<TOKDialog>(ok, 3);
        Seen.push_back(seen);
        emit ok->YesBtn->OnClick();
    } else if (auto* list = qobject_cast<THighscoreDlg*>(dialog)) {
        seen.Kind = SeenDialog::Type::Highscore;
        if (list->insertPos >= 0) {
            seen.Offered = list->entryScores[list->insertPos];
            seen.OfferLevel = m_form->Game().Level;
            seen.Yes = Chance(0.6);
        }
        Seen.push_back(seen);
        emit(seen.Yes ? list->YesBtn : list->CancelBtn)->OnClick();
    } else if (auto* multi = qobject_cast<TOptionsDialog*>(dialog)) {
        seen.Kind = SeenDialog::Type::Options;
        if (multi->Page == TOptionsPage::Options) {
            // Now and then the player plays with the settings before closing.
            const int clicks = Chance(0.5) ? 0 : std::uniform_int_distribution<int>(1, 4)(m_rng);
            // The level twice: a new level is what changes the game.
            TPictureControl* const pictures[] = {multi->TongueImg, multi->SoundImg,    multi->MusicImg,
                                                 multi->BackImg,   multi->StrengthImg, multi->StrengthImg};
            for (int k = 0; k < clicks; ++k)
                emit pictures[std::uniform_int_distribution<int>(0, 5)(m_rng)]->Clicked();
        }
        seen.ChosenLevel = multi->DialogLevel;
        Seen.push_back(seen);
        emit multi->OKBtn->OnClick();
    } else {
        Seen.push_back(seen);
        dialog->done(0);
        return;
    }
    if (dialog->isVisible()) dialog->done(0); // a button that did not close it is a fault the checks will see
}

// ---- the monkey ------------------------------------------------------------------------

Monkey::Monkey(TMainform* form, const MonkeyOptions& options)
    : m_form(form), m_options(options), m_rng(options.Seed), m_dialogs(form, m_rng) {
    m_tools = {form->ToolButton(TTool::Mix),    form->ToolButton(TTool::GiveUp), form->ToolButton(TTool::Pause), form->ToolButton(TTool::HighScore),
               form->ToolButton(TTool::Options), form->ToolButton(TTool::Info),   form->ToolButton(TTool::Help),  form->ToolButton(TTool::Exit)};
    qApp->installEventFilter(&m_dialogs);
    form->Timer->stop(); // the monkey is the clock
    form->OnDelay = [this](int ms) { m_delays << ms; };
    form->OnSound = [this](const QString& n) { m_sounds << n; };
}

Monkey::~Monkey() {
    qApp->removeEventFilter(&m_dialogs);
    m_form->OnDelay = nullptr;
    m_form->OnSound = nullptr;
    // Buttons still held stay held for QTest: let go, so the next run starts clean.
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (m_held & b) {
            if (m_form->isVisible())
                QTest::mouseRelease(m_form->windowHandle(), b, Qt::NoModifier, m_pointer);
        }
    QTestPrivate::qtestMouseButtons = Qt::NoButton;
}

bool Monkey::Chance(double p) {
    return std::uniform_real_distribution<double>(0, 1)(m_rng) < p;
}

int Monkey::Uniform(int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(m_rng);
}

Monkey::Snapshot Monkey::Take() const {
    Snapshot s;
    s.Game = m_form->Game();
    s.Dragging = m_form->Dragging();
    s.DragStack = m_form->Session.Hand();
    if (m_form->DragSprite) {
        s.Sprite = QPoint(m_form->DragSprite->GetX(), m_form->DragSprite->GetY());
        s.SpriteShown = m_form->DragSprite->IsVisible();
        s.SpriteGrabbed = m_form->DragSprite->IsGrabbed();
    }
    s.Visible = m_form->isVisible();
    return s;
}

void Monkey::Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

bool Monkey::Begin() {
    // The window seeded its cards from the clock; the monkey's deal comes from its own seed.
    m_form->Random = GameRandom(m_options.Seed * 2654435761u + 1);
    const Snapshot before = Take();
    Event e;
    e.What = Kind::Click;
    e.Tool = 0;
    e.Text = "#0 click MixBtn (the monkey's deal)";
    m_dialogs.Seen.clear();
    m_delays.clear();
    Perform(e);
    const Snapshot after = Take();
    std::vector<std::string> problems;
    Check(e, before, after, problems);
    if (after.Game.GameState != gsNotStarted)
        problems.push_back("the first deal did not leave a game not started");
    if (!problems.empty()) {
        Fail(0, problems);
        return false;
    }
    return true;
}

QPoint Monkey::PressPoint() {
    const BoardLayout& l = m_form->Board.Layout;
    const auto within = [this](const QRect& r, int grow) {
        return QPoint(Uniform(r.left() - grow, r.right() + 1 + grow),
                      Uniform(r.top() - grow, r.bottom() + 1 + grow));
    };
    std::vector<int> offered;
    for (int i = 1; i <= m_form->Game().PatternCount; ++i)
        if (IsOffered(m_form->Game().PatternState[i])) offered.push_back(i);
    // An offer on the board is taken up often, as a player would.
    if (!offered.empty() && m_held == Qt::NoButton && !m_form->Dragging() && Chance(0.3))
        return within(l.PatternRect(Pick(offered)), 0);
    const int r = Uniform(0, 99);
    if (r < 40) return within(l.StackTopRect(Uniform(0, StackTotal - 1)), 2);
    if (r < 48) return within(l.RowRect(Uniform(0, RowSize - 1)), 2);
    if (r < 78) {
        const int i = !offered.empty() && Chance(0.7) ? Pick(offered) : Uniform(1, m_form->Game().PatternCount);
        return within(l.PatternRect(i), 2);
    }
    if (r < 85) return within(Pick(m_tools)->geometry(), 0);
    return {Uniform(0, m_form->width() - 1), Uniform(0, m_form->height() - 1)};
}

QPoint Monkey::MovePoint() {
    QPoint p;
    m_steered = false;
    if (m_form->Dragging() && m_form->DragSprite && Chance(0.8)) {
        m_steered = true;
        // Steer the card's centre to a row square (the joker's, mostly, when there is one),
        // sometimes a little beside it.
        const BoardLayout& l = m_form->Board.Layout;
        const int cs = l.CardSize;
        const int q = m_form->Game().JokerPos >= 0 && Chance(0.6) ? m_form->Game().JokerPos : Uniform(0, RowSize - 1);
        const int spread = Chance(0.7) ? cs * 4 / 10 : cs * 7 / 10;
        const QPoint centre =
            l.RowRect(q).center() + QPoint(Uniform(-spread, spread), Uniform(-spread, spread));
        const QPoint spriteCentre(m_form->DragSprite->GetX() + cs / 2, m_form->DragSprite->GetY() + cs / 2);
        p = m_pointer + (centre - spriteCentre);
    } else if (Chance(0.5)) {
        p = m_pointer + QPoint(Uniform(-40, 40), Uniform(-40, 40));
    } else {
        p = QPoint(Uniform(0, m_form->width() - 1), Uniform(0, m_form->height() - 1));
    }
    return {std::clamp(p.x(), 0, m_form->width() - 1), std::clamp(p.y(), 0, m_form->height() - 1)};
}

Monkey::Event Monkey::Choose() {
    Event e;
    const int r = Uniform(0, 999);
    std::vector<Qt::MouseButton> free, held;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        (m_held & b ? held : free).push_back(b);
    if (held.empty()) {
        if (r < 500)
            e.What = Kind::Press;
        else if (r < 600)
            e.What = Kind::Move;
        else if (r < 860)
            e.What = Kind::Tick;
        else if (r < 985)
            e.What = Kind::Click;
        else
            e.What = Kind::Resize;
    } else if (m_form->Dragging()) {
        // Carry the card a while, and let go mostly once it is over the row.
        const int release = m_steered ? 500 : 150;
        if (r < release)
            e.What = Kind::Release;
        else if (r < 850)
            e.What = Kind::Move;
        else if (r < 880 && !free.empty())
            e.What = Kind::Press;
        else if (r < 980)
            e.What = Kind::Tick;
        else
            e.What = Kind::Resize;
    } else {
        if (r < 500)
            e.What = Kind::Release;
        else if (r < 800)
            e.What = Kind::Move;
        else if (r < 830 && !free.empty())
            e.What = Kind::Press;
        else if (r < 980)
            e.What = Kind::Tick;
        else
            e.What = Kind::Resize;
    }
    switch (e.What) {
    case Kind::Press:
        e.Button = Chance(0.7) && (m_held & Qt::LeftButton) == 0 ? Qt::LeftButton : Pick(free);
        e.At = PressPoint();
        e.Text = std::string("press ") + ButtonName(e.Button) + " at " + Text(e.At);
        break;
    case Kind::Move:
        e.At = MovePoint();
        e.Text = "move to " + Text(e.At);
        break;
    case Kind::Release:
        e.Button = Pick(held);
        e.At = Chance(0.9) ? m_pointer : MovePoint();
        // After a resize the held pointer may lie outside: let go at the nearest point inside.
        e.At = QPoint(std::clamp(e.At.x(), 0, m_form->width() - 1),
                      std::clamp(e.At.y(), 0, m_form->height() - 1));
        e.Text = std::string("release ") + ButtonName(e.Button) + " at " + Text(e.At);
        break;
    case Kind::Tick:
        e.Text = "tick";
        break;
    case Kind::Click: {
        // A paused game is mostly resumed soon.
        static const int weights[] = {5, 4, 8, 5, 6, 4, 4, 5};
        if (m_form->Game().GameState == gsPaused && Chance(0.5)) {
            e.Tool = 2;
        } else if ((m_form->Game().GameState == gsWon || m_form->Game().GameState == gsLost) && Chance(0.5)) {
            e.Tool = 0; // and a finished one replaced by a new deal
        } else {
            int w = Uniform(0, 40);
            e.Tool = 0;
            while (w >= weights[e.Tool])
                w -= weights[e.Tool++];
        }
        e.Text = std::string("click ") + ToolNames[e.Tool];
        break;
    }
    case Kind::Resize:
        e.Size = QSize(Uniform(640, 1000), Uniform(460, 760));
        e.Text = "resize to " + std::to_string(e.Size.width()) + "x" + std::to_string(e.Size.height());
        break;
    }
    return e;
}

void Monkey::Perform(Event& e) {
    QWindow* w = m_form->windowHandle();
    e.HeldBefore = m_held;
    switch (e.What) {
    case Kind::Press:
        m_held |= e.Button;
        m_pointer = e.At;
        m_steered = false;
        QTest::mousePress(w, e.Button, Qt::NoModifier, e.At);
        ++tally.Presses;
        break;
    case Kind::Move:
        m_pointer = e.At;
        QTest::mouseMove(w, e.At);
        ++tally.Moves;
        break;
    case Kind::Release:
        m_held &= ~Qt::MouseButtons(e.Button);
        m_pointer = e.At;
        QTest::mouseRelease(w, e.Button, Qt::NoModifier, e.At);
        ++tally.Releases;
        break;
    case Kind::Tick:
        m_form->TimerTimer();
        ++tally.Ticks;
        break;
    case Kind::Click: {
        const QPoint p = m_tools[e.Tool]->geometry().center();
        m_pointer = p;
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, p);
        Settle();
        if (m_form->isVisible())
            QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, p);
        else
            QTestPrivate::qtestMouseButtons = Qt::NoButton;
        ++tally.Clicks;
        break;
    }
    case Kind::Resize:
        m_form->resize(e.Size);
        ++tally.Resizes;
        // The window system answers a resize (and the window's own correction to its minimum)
        // later; wait until the window and the widget agree.
        for (int k = 0; k < 20 && m_form->windowHandle()->size() != m_form->size(); ++k)
            Settle();
        break;
    }
    Settle();
}

bool Monkey::Step(Event e, int n) {
    e.Text = "#" + std::to_string(n) + " " + e.Text;
    const Snapshot before = Take();
    m_pointerBefore = m_pointer;
    m_dialogs.Seen.clear();
    m_delays.clear();
    m_sounds.clear();
    Perform(e);
    const Snapshot after = Take();
    std::vector<std::string> problems;
    Check(e, before, after, problems);
    ++tally.Events;
    if (!m_dialogs.Seen.empty()) {
        // The player answered with the mouse on the dialog: whatever was held is up
        // again, and the main window never saw it let go.
        m_held = Qt::NoButton;
        QTestPrivate::qtestMouseButtons = Qt::NoButton;
    }
    if (!problems.empty()) {
        Fail(n, problems);
        return false;
    }
    if (!after.Visible) tally.ExitConfirmed = true;
    return true;
}

bool Monkey::Run() {
    int n = 1;
    for (; n <= m_options.Events && m_form->isVisible(); ++n) {
        // Leaving may be confirmed only late in a run, so most runs go the whole way.
        m_dialogs.ExitMayBeConfirmed = n > m_options.Events * 3 / 4;
        if (!Step(Choose(), n)) return false;
    }
    // The end: let go of every button, then leave through the exit button, answered yes.
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (!(m_held & b) || !m_form->isVisible()) continue;
        Event e;
        e.What = Kind::Release;
        e.Button = b;
        e.At = m_pointer;
        e.Text = std::string("release ") + ButtonName(b) + " at " + Text(e.At);
        if (!Step(e, n++)) return false;
    }
    m_dialogs.ExitConfirmed = true;
    if (m_form->isVisible()) {
        Event e;
        e.What = Kind::Click;
        e.Tool = 7;
        e.Text = "click ExitBtn";
        if (!Step(e, n)) return false;
    }
    if (m_form->isVisible()) {
        Fail(n, {"the window did not close on a confirmed exit"});
        return false;
    }
    return true;
}

// ---- the checks ------------------------------------------------------------------------

void Monkey::Check(const Event& e, const Snapshot& before, const Snapshot& after,
                   std::vector<std::string>& problems) {
    const GameData& b = before.Game;
    const GameData& a = after.Game;
    const auto problem = [&](const std::string& text) { problems.push_back(text); };
    Outcome& o = m_out;
    o = Outcome();
    for (const SeenDialog& d : m_dialogs.Seen) {
        ++tally.Dialogs;
        switch (d.Kind) {
        case SeenDialog::Type::YesNo:
            if (d.Message == 0) problem("a yes/no dialog with an unknown question");
            if (d.Message == 2 && d.Yes) ++o.GiveUpYes;
            if (d.Message == 1 && d.Yes) ++o.ExitYes;
            break;
        case SeenDialog::Type::OK:
            if (d.Message == 0) problem("a notice with an unknown message");
            ++o.Notices[d.Message];
            break;
        case SeenDialog::Type::Highscore:
            if (d.Offered >= 0) {
                ++o.Offers;
                o.Offer = d;
            }
            break;
        case SeenDialog::Type::Options:
            ++o.Options;
            break;
        case SeenDialog::Type::Other:
            problem("an unknown dialog " + d.Name.toStdString());
            break;
        }
    }

    // The window closes only on a confirmed exit, and then nothing else is checked.
    if (!after.Visible) {
        if (o.ExitYes != 1) problem("the window closed without a confirmed exit");
        if (!SameGame(b, a)) problem("a confirmed exit changed the game");
        const bool offerDue =
            b.GameState == gsRunning && b.Score > 0 && InsertPos(m_lists[b.Level], b.Score) >= 0;
        if (o.Offers != (offerDue ? 1 : 0))
            problem("exit: " + std::to_string(o.Offers) + " highscore offers, expected " +
                    std::to_string(offerDue));
        if (o.Offers == 1 && o.Offer.Offered != b.Score)
            problem("exit offered " + std::to_string(o.Offer.Offered));
        return;
    }
    if (o.ExitYes) problem("a confirmed exit left the window open");

    o.Dealt = a.GameState == gsNotStarted &&
              (b.GameState != gsNotStarted || !SameTable(a, b) || a.Level != b.Level);
    o.Won = a.GameState == gsWon && b.GameState != gsWon;
    o.EndLost = b.GameState == gsRunning && a.GameState == gsLost && o.Notices[3] == 1;
    o.GivenUp = b.GameState == gsRunning && a.GameState == gsLost && o.Notices[3] == 0;

    CheckWindow(before, after, problems);
    CheckCards(before, after, problems);
    CheckPatterns(before, after, problems);
    CheckScore(e, before, after, problems);
    CheckSounds(before, after, problems);
    Predict(e, before, after, problems);
    CheckCanvas(after, problems);
    Record(e, before, after);
    if (o.Dealt && problems.empty() && Chance(m_options.HeadStart)) GiveHeadStart();
}

void Monkey::CheckWindow(const Snapshot& before, const Snapshot& after, std::vector<std::string>& problems) {
    const GameData& b = before.Game;
    const GameData& a = after.Game;
    const Outcome& o = m_out;
    const auto problem = [&](const std::string& text) { problems.push_back(text); };

    // States and their edges.
    if (!AllowedEdge(b.GameState, a.GameState))
        problem(std::string("state went from ") + StateName(b.GameState) + " to " + StateName(a.GameState));
    if (b.GameState == gsRunning && a.GameState == gsNotStarted && o.GiveUpYes != 1)
        problem("a running game was dealt anew without a confirmed question");
    if (o.Won && o.Notices[2] != 1) problem("won without the success message");
    if (o.Notices[2] && !o.Won) problem("success message without a win");
    if (o.Notices[3] && !o.EndLost) problem("failure message without a lost game");
    if (o.GivenUp && o.GiveUpYes != 1) problem("lost without the failure message or a confirmed give-up");

    // Toolbar.
    const ToolbarRow t = ExpectedToolbar(a.GameState);
    if (m_form->ToolButton(TTool::Mix)->Enabled() != t.Mix || m_form->ToolButton(TTool::GiveUp)->Enabled() != t.GiveUp ||
        m_form->ToolButton(TTool::Pause)->Enabled() != t.Pause)
        problem(std::string("toolbar does not match the state ") + StateName(a.GameState));
    for (TJetButton* always :
         {m_form->ToolButton(TTool::HighScore), m_form->ToolButton(TTool::Options), m_form->ToolButton(TTool::Info), m_form->ToolButton(TTool::Help), m_form->ToolButton(TTool::Exit)})
        if (!always->Enabled()) problem("an always usable toolbar button is disabled");

    // Level and its patterns.
    if (a.Level < 1 || a.Level > 4) {
        problem("level out of range");
    } else {
        const LevelPatterns& lp = LevelTable[a.Level - 1];
        bool ids = a.PatternCount == lp.Count;
        for (int i = 1; ids && i <= a.PatternCount; ++i)
            ids = a.PatternIds[i] == lp.Ids[i - 1];
        if (!ids) problem("the patterns in play are not those of the level");
    }
    if (a.Level != b.Level && (!o.Dealt || o.Options != 1))
        problem("the level changed without the options and a new deal");

    // The drag: a card in hand only in a running game, and no card left behind after it.
    if (after.Dragging) {
        if (a.GameState != gsRunning) problem("dragging in a game that is not running");
        if (!m_form->DragSprite) problem("dragging without a sprite");
        if (a.StackCount[after.DragStack] == 0) problem("dragging from an empty stack");
    } else if (m_form->DragSprite || !m_form->DragImage.isNull()) {
        problem("a sprite or drag image outlives the drag");
    }
    if (m_held == Qt::NoButton && after.Dragging) problem("dragging with no mouse button held");

    // The row and its joker.
    int jokers = 0, jokerAt = -1;
    for (int q = 0; q < RowSize; ++q)
        if (IsJoker(a.Row[q])) ++jokers, jokerAt = q;
    if (jokers > 1) problem("the row holds " + std::to_string(jokers) + " jokers");
    if (a.JokerPos != jokerAt)
        problem("JokerPos is " + std::to_string(a.JokerPos) + " but the joker lies at " +
                std::to_string(jokerAt));
}

void Monkey::CheckPatterns(const Snapshot& before, const Snapshot& after,
                           std::vector<std::string>& problems) {
    const GameData& b = before.Game;
    const GameData& a = after.Game;
    Outcome& o = m_out;
    const auto problem = [&](const std::string& text) { problems.push_back(text); };
    if (o.Dealt) {
        for (int i = 1; i <= a.PatternCount; ++i)
            if (a.PatternState[i] == TPatternState::Claimed) problem("a new deal has a claimed pattern");
    } else {
        int claims = 0;
        for (int i = 1; i <= a.PatternCount; ++i) {
            if (b.PatternState[i] == TPatternState::Claimed && a.PatternState[i] != TPatternState::Claimed)
                problem("pattern " + std::to_string(i) + " lost its claim");
            if (b.PatternState[i] != TPatternState::Claimed && a.PatternState[i] == TPatternState::Claimed) {
                ++claims;
                o.Claim = i;
                if (!IsOffered(b.PatternState[i]))
                    problem("pattern " + std::to_string(i) + " claimed without an offer");
            }
        }
        if (claims > 1) problem(std::to_string(claims) + " claims in one event");
        if (o.Claim > 0) {
            if (o.Drop >= 0) problem("a drop and a claim in one event");
            for (int i = 1; i <= a.PatternCount; ++i)
                if (IsOffered(a.PatternState[i])) problem("an offer survived a claim");
        }
        if (o.Claim < 0 && o.Drop < 0 && a.PatternState != b.PatternState)
            problem("offers changed without a drop or claim");
    }
    if (a.GameState == gsWon) {
        for (int i = 1; i <= a.PatternCount; ++i)
            if (a.PatternState[i] != TPatternState::Claimed) problem("won with a pattern unclaimed");
    }
    if (o.Won && o.Claim < 0) problem("won without a claim");
    if (o.EndLost) {
        if (o.Drop < 0) problem("lost at the end without a drop");
        if (a.CardsInStacks() != 0) problem("lost at the end with cards in the stacks");
        bool allClaimed = true;
        for (int i = 1; i <= a.PatternCount; ++i)
            allClaimed = allClaimed && a.PatternState[i] == TPatternState::Claimed;
        if (allClaimed) problem("lost with every pattern claimed");
    }
    if (b.GameState == gsRunning && a.GameState == gsRunning && a.CardsInStacks() == 0)
        problem("still running with the stacks empty");
}

void Monkey::CheckScore(const Event& e, const Snapshot& before, const Snapshot& after,
                        std::vector<std::string>& problems) {
    const GameData& b = before.Game;
    const GameData& a = after.Game;
    Outcome& o = m_out;
    const auto problem = [&](const std::string& text) { problems.push_back(text); };

    // The score is the sum of its changes, booked as they are seen: a claim pays what its
    // offer announced (half while the joker lies in the row).
    if (o.Claim > 0) {
        const TPatternState offered = b.PatternState[o.Claim];
        o.ClaimPoints = ClaimPoints(b.PatternIds[o.Claim], offered == TPatternState::OfferedBonus);
        if (b.JokerPos >= 0) o.ClaimPoints /= 2;
        if (ClaimValue(b, o.Claim) != o.ClaimPoints)
            problem("the offer announced another value than it paid");
    }
    std::int32_t expected = m_score + o.ClaimPoints + PointsPerCollectedCard * o.Collected;
    const std::int32_t beforeReset = expected;
    if (e.What == Kind::Tick && b.GameState == gsRunning) {
        if (a.ClockTicks != b.ClockTicks + 1)
            problem("a running tick did not count");
        else if (a.ClockTicks % TicksPerPoint == 0)
            --expected;
    } else if (!o.Dealt && a.ClockTicks != b.ClockTicks) {
        problem("the clock moved without a running tick");
    }
    if (o.Dealt) {
        expected = 0;
        if (a.ClockTicks != 0) problem("a new deal with the clock not at zero");
    }
    if (o.GivenUp) expected = 0;
    if (a.Score != expected)
        problem("score " + std::to_string(a.Score) + ", the sum of its changes is " +
                std::to_string(expected));
    m_score = expected;

    // Highscore offers: at a game's end, a confirmed give-up or a running game dropped, when
    // the score is above zero and reaches the list of the level played.
    const bool offerPoint =
        (b.GameState == gsRunning && (a.GameState == gsLost || a.GameState == gsNotStarted)) || o.Won;
    const bool offerDue = offerPoint && beforeReset > 0 && InsertPos(m_lists[b.Level], beforeReset) >= 0;
    if (o.Offers != (offerDue ? 1 : 0))
        problem(std::to_string(o.Offers) + " highscore offers, expected " + std::to_string(offerDue ? 1 : 0) +
                " (score " + std::to_string(beforeReset) + ")");
    if (o.Offers == 1) {
        if (o.Offer.Offered != beforeReset)
            problem("offered " + std::to_string(o.Offer.Offered) + " to the highscore list");
        if (o.Offer.OfferLevel != b.Level) problem("offered to the list of another level");
        if (o.Offer.Yes) {
            auto& list = m_lists[b.Level];
            const int k = InsertPos(list, o.Offer.Offered);
            if (k >= 0) {
                std::copy_backward(list.begin() + k, list.end() - 1, list.end());
                list[k] = o.Offer.Offered;
            }
        }
    }

    // The blocking waits: six flashes per claim, one pause per collected card.
    const int flashes = static_cast<int>(m_delays.count(100)), pauses = static_cast<int>(m_delays.count(120));
    if (flashes != (o.Claim > 0 ? 6 : 0) || pauses != o.Collected || m_delays.size() != flashes + pauses)
        problem("unexpected waits: " + std::to_string(m_delays.size()));
}

void Monkey::CheckSounds(const Snapshot& before, const Snapshot& after, std::vector<std::string>& problems) {
    const Outcome& o = m_out;
    // Only while sound effects are on and the options did not switch them.
    if (!m_form->SoundOn || o.Options != 0) return;
    const bool pickup = !before.Dragging && after.Dragging;
    const bool returned = before.Dragging && !after.Dragging && o.Drop < 0;
    const struct {
        const char* name;
        int count;
    } expected[] = {
        {"UP", pickup ? 1 : 0},
        {"DOWN", o.Drop >= 0 ? 1 : 0},
        {"FALSCH", returned ? 1 : 0},
        {"TAKE", o.Claim > 0 ? 1 : 0},
        {"COLLECT", o.Collected},
        {"DONE", o.Won ? 1 : 0},
        {"LOST", o.EndLost || o.GivenUp ? 1 : 0},
        {"MIX", o.Dealt ? 1 : 0},
    };
    int total = 0;
    for (const auto& s : expected) {
        total += s.count;
        const int played = static_cast<int>(m_sounds.count(QLatin1String(s.name)));
        if (played != s.count)
            problems.push_back(std::string("sound ") + s.name + " played " + std::to_string(played) +
                               " times, expected " + std::to_string(s.count));
    }
    if (m_sounds.size() != total)
        problems.push_back("unexpected sounds: " + m_sounds.join(QLatin1Char(' ')).toStdString());
}

void Monkey::Record(const Event& e, const Snapshot& before, const Snapshot& after) {
    const GameData& b = before.Game;
    const GameData& a = after.Game;
    const Outcome& o = m_out;
    if (o.Drop >= 0) ++tally.Drops;
    if (o.Claim > 0) ++tally.Claims;
    if (o.Dealt) ++tally.Deals;
    if (!before.Dragging && after.Dragging) ++tally.Pickups;
    if (before.Dragging && !after.Dragging && o.Drop < 0) ++tally.RejectedDrops;
    tally.JokerRejections += o.Notices[1];
    if (o.Won) ++tally.Won;
    if (o.EndLost) ++tally.Lost;
    if (o.GivenUp) ++tally.GiveUps;
    if (a.Level != b.Level) ++tally.LevelChanges;
    tally.Collected += o.Collected;
    tally.Offers += o.Offers;

    std::ostringstream line;
    line << e.Text << " -> " << StateName(a.GameState) << ", score " << a.Score;
    if (after.Dragging) line << ", dragging from " << after.DragStack;
    if (o.Drop >= 0) line << ", dropped " << o.DropStack << "->" << o.Drop;
    if (o.Claim > 0) line << ", claimed " << o.Claim << " for " << o.ClaimPoints;
    if (o.Collected) line << ", collected " << o.Collected;
    if (o.Dealt) line << ", dealt at level " << a.Level;
    for (const SeenDialog& d : m_dialogs.Seen) {
        line << ", " << d.Name.toStdString();
        if (d.Kind == SeenDialog::Type::YesNo) line << "(" << d.Message << (d.Yes ? ") yes" : ") no");
        if (d.Kind == SeenDialog::Type::OK) line << "(" << d.Message << ")";
        if (d.Offered >= 0) line << "(" << d.Offered << (d.Yes ? ") ok" : ") cancel");
        if (d.Kind == SeenDialog::Type::Options) line << "(level " << d.ChosenLevel << ")";
    }
    m_recent.push_back(line.str());
    if (m_recent.size() > 40) m_recent.pop_front();
    if (m_options.Trace) std::printf("%s\n", line.str().c_str());
}

void Monkey::CheckCards(const Snapshot& before, const Snapshot& after, std::vector<std::string>& problems) {
    const GameData& b = before.Game;
    const GameData& a = after.Game;
    const auto problem = [&](const std::string& text) { problems.push_back(text); };
    for (int s = 0; s < StackTotal; ++s)
        if (a.StackCount[s] < 0 || a.StackCount[s] > StackDepth) {
            problem("stack " + std::to_string(s) + " holds " + std::to_string(a.StackCount[s]) + " cards");
            return;
        }
    Outcome& o = m_out;
    if (o.Dealt) {
        m_left.fill(0);
        for (int s = 0; s < StackTotal; ++s)
            if (a.StackCount[s] != StackDepth)
                problem("a new deal with a stack of " + std::to_string(a.StackCount[s]));
    } else {
        std::vector<int> changed;
        for (int q = 0; q < RowSize; ++q)
            if (a.Row[q] != b.Row[q]) changed.push_back(q);
        int shorter = 0, lost = 0, stack = -1;
        for (int s = 0; s < StackTotal; ++s) {
            if (a.StackCount[s] > b.StackCount[s]) problem("stack " + std::to_string(s) + " grew");
            if (a.StackCount[s] < b.StackCount[s])
                ++shorter, stack = s, lost += b.StackCount[s] - a.StackCount[s];
            for (int k = 0; k < std::min(a.StackCount[s], b.StackCount[s]); ++k)
                if (a.Stacks[s][k] != b.Stacks[s][k])
                    problem("a card inside stack " + std::to_string(s) + " changed");
        }
        if (a.GameState == gsWon && b.GameState != gsWon) {
            // Everything left in the stacks is collected.
            if (!changed.empty()) problem("the row changed at a win");
            if (a.CardsInStacks() != 0) problem("cards left in the stacks after a win");
            for (int s = 0; s < StackTotal; ++s)
                for (int k = a.StackCount[s]; k < b.StackCount[s]; ++k)
                    ++m_left[b.Stacks[s][k]];
            o.Collected = b.CardsInStacks() - a.CardsInStacks();
        } else if (changed.size() == 1) {
            const int q = changed[0];
            if (shorter != 1 || lost != 1)
                problem("a row card changed without exactly one card leaving one stack");
            else if (a.Row[q] != b.Stacks[stack][b.StackCount[stack] - 1])
                problem("the row took another card than the top of stack " + std::to_string(stack));
            else if (!before.Dragging || before.DragStack != stack)
                problem("a card moved to the row without being dragged from its stack");
            else if (b.JokerPos >= 0 && b.JokerPos != q)
                problem("a card was dropped beside the joker");
            o.Drop = q;
            o.DropStack = stack;
            ++m_left[b.Row[q]];
        } else if (changed.empty() && shorter == 1 && lost == 1 && before.Dragging &&
                   before.DragStack == stack && IsJoker(b.Stacks[stack][b.StackCount[stack] - 1]) &&
                   b.JokerPos >= 0) {
            // A joker dropped onto the other one: the row looks the same, one joker has gone.
            o.Drop = b.JokerPos;
            o.DropStack = stack;
            ++m_left[JokerCard];
        } else if (!changed.empty() || shorter != 0) {
            problem(std::to_string(changed.size()) + " row cards and " + std::to_string(shorter) +
                    " stacks changed in one event");
        }
    }
    std::array<int, 80> count = m_left;
    int total = 0;
    for (CardCode c : a.Row)
        if (c >= 0 && c < 80)
            ++count[c];
        else
            problem("a card code out of range in the row");
    for (int s = 0; s < StackTotal; ++s)
        for (int k = 0; k < a.StackCount[s]; ++k)
            if (CardCode c = a.Stacks[s][k]; c >= 0 && c < 80)
                ++count[c];
            else
                problem("a card code out of range in a stack");
    for (int c : count)
        total += c;
    if (count != FullDeck()) {
        std::string which;
        const std::array<int, 80> deck = FullDeck();
        for (int c = 0; c < 80; ++c)
            if (count[c] != deck[c]) which += " " + std::to_string(c) + "x" + std::to_string(count[c]);
        problem("row + stacks + left = " + std::to_string(total) + " cards; wrong counts:" + which);
    }
}

void Monkey::Predict(const Event& e, const Snapshot& before, const Snapshot& after,
                     std::vector<std::string>& problems) {
    const Outcome& o = m_out;
    const bool dealt = o.Dealt;
    const GameData& b = before.Game;
    const GameData& a = after.Game;
    const auto problem = [&](const std::string& text) { problems.push_back(text); };
    const BoardLayout& l = m_form->Board.Layout;
    const auto dialogsOf = [&](SeenDialog::Type type) {
        int n = 0;
        for (const SeenDialog& d : m_dialogs.Seen)
            n += d.Kind == type;
        return n;
    };
    const auto question = [&]() -> const SeenDialog* {
        for (const SeenDialog& d : m_dialogs.Seen)
            if (d.Kind == SeenDialog::Type::YesNo) return &d;
        return nullptr;
    };
    const bool playable = b.GameState == gsNotStarted || b.GameState == gsRunning;

    switch (e.What) {
    case Kind::Tick:
    case Kind::Resize:
    case Kind::Move:
        if (!SameTable(a, b) || a.GameState != b.GameState || a.PatternState != b.PatternState)
            problem("a tick, move or resize changed the game");
        if (!m_dialogs.Seen.empty()) problem("a dialog opened at a tick, move or resize");
        if (after.Dragging != before.Dragging) problem("a tick, move or resize started or ended a drag");
        if (e.What == Kind::Resize &&
            (m_form->box->size() != m_form->size() || m_form->windowHandle()->size() != m_form->size()))
            problem("the board does not fill the window");
        if (e.What == Kind::Resize &&
            (m_form->width() < MinClientWidth || m_form->height() < MinClientHeight))
            problem("the window is smaller than its minimum");
        if (e.What == Kind::Move && before.Dragging && after.Dragging && before.SpriteGrabbed) {
            // The card keeps its hold under the pointer.
            const QPoint moved = after.Sprite - before.Sprite;
            if (moved != e.At - m_pointerBefore) problem("the dragged card did not follow the pointer");
        }
        break;
    case Kind::Press: {
        if (e.HeldBefore != Qt::NoButton) break; // a second button goes wherever the first one went
        QWidget* target = m_form->childAt(e.At);
        if (target == m_form->box) {
            if (!playable) {
                if (!SameGame(a, b) || after.Dragging)
                    problem("a press on a finished or paused board did something");
                break;
            }
            if (a.GameState != gsRunning) problem("a press on the board did not start the game");
            int inside = -1, near = -1;
            for (int s = 0; s < StackTotal; ++s) {
                if (Inside(l.StackTopRect(s), e.At, 1)) inside = s;
                if (Inside(l.StackTopRect(s), e.At, -1)) near = s;
            }
            if (inside >= 0) {
                const bool lift = b.StackCount[inside] > 0;
                if (after.Dragging != lift || (lift && after.DragStack != inside))
                    problem("a press on stack " + std::to_string(inside) + " did not " +
                            (lift ? "lift its card" : "leave it alone"));
            } else if (near < 0 && after.Dragging) {
                problem("a press beside every stack lifted a card");
            }
        } else if (auto* shape = qobject_cast<TPatternShape*>(target)) {
            const int i = shape->Position();
            if (!playable) {
                if (!SameGame(a, b))
                    problem("a press on a pattern of a finished or paused game did something");
                break;
            }
            if (i > b.PatternCount) {
                problem("a parked pattern shape lies on the board");
                break;
            }
            if (a.GameState == gsNotStarted) problem("a press on a pattern did not start the game");
            if (IsOffered(b.PatternState[i]) != (o.Claim == i))
                problem("a press on pattern " + std::to_string(i) +
                        (o.Claim == i ? " claimed it without an offer" : " did not claim its offer"));
        } else if (auto* button = qobject_cast<TJetButton*>(target)) {
            // A transparent pixel of a button is neither the button nor the board.
            const QPoint local = button->mapFrom(m_form, e.At);
            if (!button->HitTest(local.x(), local.y())) {
                if (!SameGame(a, b) || question()) problem("a press on a button's transparent pixel did something");
            } else if (button == m_form->ToolButton(TTool::Exit)) {
                const SeenDialog* q = question();
                if (!q || q->Message != 1) problem("a press on the exit button did not ask");
            }
        }
        break;
    }
    case Kind::Release:
        if (before.Dragging) {
            if (after.Dragging) {
                problem("a release did not end the drag");
                break;
            }
            if (e.At != m_pointerBefore || !before.SpriteShown) break; // the card moved with the release
            const int cs = l.CardSize;
            const QPoint centre(before.Sprite.x() + cs / 2, before.Sprite.y() + cs / 2);
            int inside = -1, near = -1;
            for (int q = 0; q < RowSize; ++q) {
                if (Inside(l.RowRect(q), centre, 1)) inside = q;
                if (Inside(l.RowRect(q), centre, -1)) near = q;
            }
            bool jokerRule = false;
            for (const SeenDialog& d : m_dialogs.Seen)
                jokerRule = jokerRule || (d.Kind == SeenDialog::Type::OK && d.Message == 1);
            if (inside >= 0) {
                const bool accepted = b.JokerPos < 0 || b.JokerPos == inside;
                if (accepted && o.Drop != inside)
                    problem("a drop onto row square " + std::to_string(inside) + " was not taken");
                if (!accepted && (o.Drop >= 0 || !jokerRule))
                    problem("a drop beside the joker was not refused with the joker message");
            } else if (near < 0) {
                if (o.Drop >= 0 || !m_dialogs.Seen.empty()) problem("a drop beside the row did something");
            }
        }
        break;
    case Kind::Click: {
        const SeenDialog* q = question();
        const bool yes = q && q->Yes;
        switch (e.Tool) {
        case 0: // new game
            if (b.GameState == gsPaused) {
                if (!SameGame(a, b) || !m_dialogs.Seen.empty())
                    problem("new game while paused did something");
            } else if (b.GameState == gsRunning) {
                if (!q || q->Message != 2)
                    problem("new game while running did not ask");
                else if (yes != dealt || (!yes && !SameGame(a, b)))
                    problem("new game did not follow the answer");
            } else if (!dealt || q) {
                problem("new game did not deal at once");
            }
            break;
        case 1: // give up
            if (b.GameState == gsRunning) {
                if (!q || q->Message != 2)
                    problem("give-up did not ask");
                else if (yes ? a.GameState != gsLost || a.Score != 0 : !SameGame(a, b))
                    problem("give-up did not follow the answer");
            } else if (!SameGame(a, b) || q) {
                problem("give-up in a game not running did something");
            }
            break;
        case 2: // pause
            if (!SameTable(a, b) || a.Score != b.Score || a.ClockTicks != b.ClockTicks ||
                !m_dialogs.Seen.empty())
                problem("pause changed the game");
            if (a.GameState != (b.GameState == gsRunning  ? gsPaused
                                : b.GameState == gsPaused ? gsRunning
                                                          : b.GameState))
                problem("pause did not switch between running and paused");
            break;
        case 3: // highscore list
            if (dialogsOf(SeenDialog::Type::Highscore) != 1 || m_dialogs.Seen.size() != 1)
                problem("the highscore button did not show the list");
            if (!SameGame(a, b)) problem("showing the highscore list changed the game");
            break;
        case 4: { // options
            if (dialogsOf(SeenDialog::Type::Options) != 1) {
                problem("the options button did not open the options");
                break;
            }
            const int chosen = m_dialogs.Seen.front().ChosenLevel;
            if (chosen == b.Level) {
                if (!SameGame(a, b) || q) problem("options closed with the same level changed the game");
            } else if (b.GameState == gsRunning) {
                if (!q || q->Message != 2)
                    problem("a level change while running did not ask");
                else if (yes ? !dealt || a.Level != chosen : !SameGame(a, b))
                    problem("a level change did not follow the answer");
            } else if (!dealt || a.Level != chosen || q) {
                problem("a level change did not deal at the new level at once");
            }
            break;
        }
        case 5: // info
        case 6: // help
            if (!SameGame(a, b)) problem("info or help changed the game");
            if (dialogsOf(SeenDialog::Type::Options) != (e.Tool == 5 ? 1 : 0) ||
                m_dialogs.Seen.size() != (e.Tool == 5 ? 1u : 0u))
                problem("info or help showed the wrong dialogs");
            break;
        case 7: // exit
            if (!q || q->Message != 1)
                problem("exit did not ask");
            else if (!yes && !SameGame(a, b))
                problem("exit answered no changed the game");
            break;
        }
        break;
    }
    }
}

void Monkey::CheckCanvas(const Snapshot& after, std::vector<std::string>& problems) {
    if (!after.Visible || !m_form->Board.Ready()) return;
    const BoardLayout& l = m_form->Board.Layout;
    if (m_form->Canvas.Image.size() != m_form->box->size()) {
        problems.push_back("the canvas is not the board's size");
        return;
    }
    const GameData& g = after.Game;
    // The glitter of an offer is drawn straight onto the board (under a dragged card), and the
    // last glitter stays until its pattern is drawn again, also once the game is over; those
    // pixels are left out of the comparison with a full repaint.
    const auto maskVolatile = [&](QImage& img) {
        QPainter p(&img);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::magenta);
        if (g.GameState != gsPaused) {
            for (int i = 1; i <= g.PatternCount; ++i) {
                if (!IsOffered(g.PatternState[i])) continue;
                const QRect ring = l.PatternRect(i).adjusted(-1, -1, 1, 1);
                p.drawRect(QRect(ring.x(), ring.y(), ring.width(), 2));
                p.drawRect(QRect(ring.x(), ring.bottom() - 1, ring.width(), 2));
                p.drawRect(QRect(ring.x(), ring.y(), 2, ring.height()));
                p.drawRect(QRect(ring.right() - 1, ring.y(), 2, ring.height()));
            }
        }
    };
    if (after.Dragging) {
        // The card in hand is shown whole where the sprite stands.
        const QRect card(after.Sprite, QSize(l.CardSize, l.CardSize));
        if (after.SpriteShown && m_form->Canvas.Image.rect().contains(card)) {
            QImage picture = NewBitmap(l.CardSize, l.CardSize);
            m_form->Board.DrawCard(picture, 0, 0, m_form->Game().TopCard(after.DragStack));
            const QImage shown = m_form->Canvas.Image.copy(card);
            if (shown != picture) {
                const QString base = QDir::temp().filePath(
                    QStringLiteral("zelvano-monkey-%1-%2").arg(m_options.Seed).arg(tally.Events + 1));
                shown.save(base + QStringLiteral("-shown.png"));
                picture.save(base + QStringLiteral("-card.png"));
                problems.push_back("the dragged card at " + Text(card.topLeft()) +
                                   " is not shown whole (pictures in " + base.toStdString() + "-*.png)");
            }
        }
        return;
    }
    // Without a drag the board shows exactly what a full repaint would, but for the glittering
    // frames of the offers.
    QImage shown = m_form->Canvas.Image;
    m_form->Board.Paint();
    QImage fresh = m_form->Canvas.Image;
    m_form->Canvas.Image = shown;
    shown = shown.copy();
    maskVolatile(shown);
    maskVolatile(fresh);
    if (shown == fresh) return;
    QRect diff;
    for (int y = 0; y < shown.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        const auto* f = reinterpret_cast<const QRgb*>(fresh.constScanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            if (s[x] != f[x]) diff |= QRect(x, y, 1, 1);
    }
    const QString base = QDir::temp().filePath(
        QStringLiteral("zelvano-monkey-%1-%2").arg(m_options.Seed).arg(tally.Events + 1));
    shown.save(base + QStringLiteral("-shown.png"));
    fresh.save(base + QStringLiteral("-repainted.png"));
    problems.push_back("the board differs from a full repaint in " + Text(diff.topLeft()) + " size " +
                       std::to_string(diff.width()) + "x" + std::to_string(diff.height()) + " (pictures in " +
                       base.toStdString() + "-*.png)");
}

void Monkey::GiveHeadStart() {
    // As if part of the game had been played already: most patterns claimed, or the stacks
    // played down (their cards count as gone from the game), or both; so that won games with
    // their collecting and games lost to empty stacks come up often.
    const int kind = Uniform(0, 2);
    std::string line = "   (head start:";
    if (kind != 1) {
        std::vector<int> positions, offered;
        for (int i = 1; i <= m_form->Game().PatternCount; ++i)
            positions.push_back(i);
        std::shuffle(positions.begin(), positions.end(), m_rng);
        // Now and then the pattern left open is one the dealt row already offers.
        for (int i : positions)
            if (IsOffered(m_form->Game().PatternState[i])) offered.push_back(i);
        if (!offered.empty() && Chance(0.7))
            std::swap(*std::find(positions.begin(), positions.end(), offered[0]), positions[0]);
        const int open = Chance(0.7) ? 1 : 2;
        for (size_t k = open; k < positions.size(); ++k)
            m_form->Game().PatternState[positions[k]] = TPatternState::Claimed;
        for (int i = 1; i <= m_form->Game().PatternCount; ++i)
            m_form->Board.DrawPattern(i);
        line += " all but " + std::to_string(open) + " patterns claimed";
    }
    if (kind != 0) {
        for (int s = 0; s < StackTotal; ++s) {
            const int keep = s == 0 ? Uniform(1, 2) : Uniform(0, 2);
            for (int k = keep; k < m_form->Game().StackCount[s]; ++k)
                ++m_left[m_form->Game().Stacks[s][k]];
            m_form->Game().StackCount[s] = keep;
        }
        line += " stacks played down to " + std::to_string(m_form->Game().CardsInStacks()) + " cards";
    }
    line += ")";
    m_form->boxPaint(); // the stacks lost many cards at once
    m_recent.push_back(line);
    if (m_options.Trace) std::printf("%s\n", line.c_str());
}

void Monkey::Fail(int eventNumber, const std::vector<std::string>& problems) {
    std::ostringstream out;
    out << "seed " << m_options.Seed << ", event " << eventNumber << ":\n";
    for (const std::string& p : problems)
        out << "  - " << p << "\n";
    out << "recent events (replay with ZELVANO_MONKEY_SEED=" << m_options.Seed
        << " ZELVANO_MONKEY_EVENTS=" << m_options.Events << " ZELVANO_MONKEY_TRACE=1):\n";
    for (const std::string& line : m_recent)
        out << "  " << line << "\n";
    failure = out.str();
}

std::string Monkey::Summary() const {
    std::ostringstream out;
    out << "seed " << m_options.Seed << ": " << tally.Events << " events (" << tally.Presses << " presses, "
        << tally.Moves << " moves, " << tally.Releases << " releases, " << tally.Ticks << " ticks, "
        << tally.Clicks << " toolbar clicks, " << tally.Resizes << " resizes); " << tally.Deals << " deals, "
        << tally.Pickups << " pick-ups, " << tally.Drops << " drops, " << tally.RejectedDrops << " returned ("
        << tally.JokerRejections << " by the joker rule), " << tally.Claims << " claims, " << tally.Won
        << " won, " << tally.Lost << " lost, " << tally.GiveUps << " given up, " << tally.Collected
        << " cards collected, " << tally.Offers << " highscore offers, " << tally.LevelChanges
        << " level changes, " << tally.Dialogs << " dialogs; "
        << (tally.ExitConfirmed ? "closed by a confirmed exit" : "still open");
    return out.str();
}
