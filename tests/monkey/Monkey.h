#pragma once
// A monkey for the real main window: random presses, moves and releases with any button,
// toolbar clicks, clock ticks and resizes, every dialog answered at random, and after each
// event a check of everything the game promises whatever the player does: no card lost or
// doubled, one joker at most in the row, a score that is the sum of its changes, only the
// allowed state changes, the toolbar matching the state, and a board that shows what the
// game holds. The events and the game's course are a function of the seed, so a failure can
// be replayed (only when the sharp pictures replace the quick ones after a resize follows the
// wall clock, and every check holds either way).

#include "app/main.h"
#include "tests/support/DialogWatcher.h"

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

class QDialog;

struct MonkeyOptions {
    std::uint32_t Seed = 1;
    int Events = 4000;
    // Chance that a fresh deal is given a head start (all patterns but one or two marked as
    // claimed, or the stacks played down to a few cards), so that won games with their
    // collecting and games lost to empty stacks come up too.
    double HeadStart = 0.5;
    bool Trace = false; // print every event
};

// What one dialog was and how it was answered.
struct SeenDialog {
    enum class Type { YesNo, OK, Highscore, Options, Other } Kind = Type::Other;
    int Message = 0;     // kind of the question or notice, 0 when unknown
    bool Yes = false;    // the yes/no answer
    int Offered = -1;    // the score offered to the highscore list; -1 when only shown
    int OfferLevel = 0;  // the level whose list was offered
    int ChosenLevel = 0; // the level the options dialog was closed with
    QString Name;
};

// Answers every modal dialog of the game at random as soon as it shows.
class MonkeyDialogs : public TDialogWatcher {
  public:
    MonkeyDialogs(TMainform* form, std::mt19937& rng) : m_form(form), m_rng(rng) {}
    std::vector<SeenDialog> Seen; // in this event
    bool ExitMayBeConfirmed = false;
    bool ExitConfirmed = false; // the next exit question is answered yes

  private:
    void Answer(QDialog* dialog) override;
    bool Chance(double p);
    TMainform* m_form;
    std::mt19937& m_rng;
};

class Monkey {
  public:
    Monkey(TMainform* form, const MonkeyOptions& options);
    ~Monkey();

    // Deals the first game from the monkey's seed and checks it.
    bool Begin();
    // Runs the events; false with a failure recorded when an invariant broke.
    bool Run();

    // What the run went through, for the report.
    struct Tally {
        int Events = 0, Presses = 0, Releases = 0, Moves = 0, Ticks = 0, Clicks = 0, Resizes = 0;
        int Pickups = 0, Drops = 0, RejectedDrops = 0, JokerRejections = 0, Claims = 0, Deals = 0;
        int Won = 0, Lost = 0, GiveUps = 0, Collected = 0, Offers = 0, LevelChanges = 0, Dialogs = 0;
        bool ExitConfirmed = false;
    } tally;
    std::string Summary() const;
    std::string failure; // empty while all is well

  private:
    struct Snapshot {
        GameData Game;
        bool Dragging = false;
        int DragStack = 0;
        QPoint Sprite;
        bool SpriteShown = false;
        bool SpriteGrabbed = false;
        bool Visible = true;
    };
    enum class Kind { Press, Move, Release, Tick, Click, Resize };
    struct Event {
        Kind What = Kind::Tick;
        Qt::MouseButton Button = Qt::NoButton;
        QPoint At;
        int Tool = -1; // toolbar button 0..7
        QSize Size;
        Qt::MouseButtons HeldBefore;
        std::string Text;
    };

    Snapshot Take() const;
    // Performs and checks one event; false with a failure recorded.
    bool Step(Event e, int n);
    Event Choose();
    QPoint PressPoint();
    QPoint MovePoint();
    void Perform(Event& e);
    void Settle();
    // Every check; appends to problems.
    void Check(const Event& e, const Snapshot& before, const Snapshot& after,
               std::vector<std::string>& problems);
    void CheckWindow(const Snapshot& before, const Snapshot& after, std::vector<std::string>& problems);
    void CheckCards(const Snapshot& before, const Snapshot& after, std::vector<std::string>& problems);
    void CheckPatterns(const Snapshot& before, const Snapshot& after, std::vector<std::string>& problems);
    void CheckScore(const Event& e, const Snapshot& before, const Snapshot& after,
                    std::vector<std::string>& problems);
    void CheckSounds(const Snapshot& before, const Snapshot& after, std::vector<std::string>& problems);
    void CheckCanvas(const Snapshot& after, std::vector<std::string>& problems);
    // What the event should have done, from where it went and what the game held before.
    void Predict(const Event& e, const Snapshot& before, const Snapshot& after,
                 std::vector<std::string>& problems);
    void Record(const Event& e, const Snapshot& before, const Snapshot& after);
    void GiveHeadStart();
    void Fail(int eventNumber, const std::vector<std::string>& problems);

    bool Chance(double p);
    int Uniform(int lo, int hi); // inclusive
    template <class T> const T& Pick(const std::vector<T>& v) {
        return v[Uniform(0, static_cast<int>(v.size()) - 1)];
    }

    TMainform* m_form;
    MonkeyOptions m_options;
    std::mt19937 m_rng;
    MonkeyDialogs m_dialogs;
    std::vector<TJetButton*> m_tools;
    Qt::MouseButtons m_held;
    QPoint m_pointer;
    bool m_steered = false; // the last move carried the dragged card over the row
    QPoint m_pointerBefore; // where the pointer was when the current event began
    // Cards that have left the current game, by code.
    std::array<int, 80> m_left{};
    std::int32_t m_score = 0; // the sum of the score's changes in this game
    // The highscore lists as the game should have stored them, per level.
    std::array<std::array<int, 15>, 5> m_lists{};
    QList<int> m_delays;
    QStringList m_sounds;
    std::deque<std::string> m_recent;
    // What one event did, as read from its dialogs and the game before and after it.
    struct Outcome {
        int GiveUpYes = 0, ExitYes = 0, Offers = 0, Options = 0;
        std::array<int, 4> Notices{}; // OK dialogs by message kind
        SeenDialog Offer;
        bool Dealt = false, Won = false, EndLost = false, GivenUp = false;
        int Drop = -1, DropStack = -1; // row position and stack of an accepted drop
        int Claim = -1, ClaimPoints = 0;
        int Collected = 0;
    } m_out;
};
