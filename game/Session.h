#pragma once
// One game from its deal to its end, apart from any window. The session holds the whole state
// of the game as a value and runs its flow: a press starts the clock, a lifted card is dropped
// or goes back, an offer is claimed, the clock ticks, and a game ends in exactly one way (won,
// lost, given up, dropped for a new deal or another level, or left open when the program
// closes). What the player must see, hear or answer goes through TSessionHost, which the main
// window implements and a test can implement without one.

#include "game/Game.h"
#include "game/Random.h"
#include "game/Statistics.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The questions a game asks. Both are answered yes or no.
enum class TQuestion {
    Leave,    // leave the program?
    DropGame, // end the running game (for a new deal, giving up, another level)?
};

// The messages a game shows, each answered by OK.
enum class TGameMessage {
    JokerRule, // the joker may not go where it was dropped
    Won,
    Lost,
    TakenBack, // the game's first move taken back: it no longer competes
};

enum class TSound { Up, Down, Wrong, Take, Collect, Done, Lost, Mix };

// What changed on the board, for the window to draw.
enum class TChange {
    Stack,   // one stack (index: the stack)
    RowCard, // one row position (index: the position)
    Pattern, // one pattern (index: its position, 1-based)
    Score,
    Table,   // the whole table: every pattern, row card and stack
    Toolbar, // what the buttons can do now
    Started, // a fresh deal's clock began: the toolbar and its hints change
    Paused,  // paused or resumed: the board is hidden or shown again
    Level,   // another level: the board's pattern panel changes width
};

class TSessionHost {
  public:
    virtual ~TSessionHost() = default;
    virtual bool Ask(TQuestion question) = 0; // true for yes
    virtual void Tell(TGameMessage message) = 0;
    virtual void Play(TSound sound) = 0;
    virtual void Show(TChange change, int index = 0) = 0;
    // The claim's points flash over the pattern before it is booked.
    virtual void ClaimFlash(int position, int points) = 0;
    // A pause in an animation, in milliseconds, with what was drawn on the screen.
    virtual void Wait(int ms) = 0;
    // A new deal lies on the table (for the par of its game).
    virtual void DealLaid() = 0;
    // The game is over with its final score, before it is recorded.
    virtual void GameOver(int score) = 0;
    virtual void Record(const FinishedGame& game) = 0;
    virtual void OfferHighscore(int score) = 0;
};

// A move of the game's line: a drop (Stack onto row position Target) or a claim (of Position).
struct TLineMove {
    bool Claim = false;
    int Stack = 0, Target = 0, Position = 0;
    bool operator==(const TLineMove&) const = default;
};

// Everything that makes one game: copied, compared, stored and restored as it is.
struct TSessionState {
    GameData Game;
    std::int32_t Deal = 0;       // the deal's number: the same number always deals the same table
    bool Assisted = false;       // a hint was shown or a move taken back: no highscore entry
    bool TookBack = false;       // a move was taken back
    std::vector<TLineMove> Line; // the moves from the deal to this position
    bool operator==(const TSessionState&) const = default;
};

// A running or paused game as stored for the next start: its deal, level, clock, flags and
// line of moves, as keys and texts. Nothing else is stored, so whatever a stored game says, it
// is played out again from its deal by the rules: a damaged or edited one cannot reach a
// position (or a score) no play reaches.
std::vector<std::pair<std::string, std::string>> StoredGameKeys(const TSessionState& state);
// The game the keys describe, paused, or nothing when they describe none that can be played:
// damaged, from another version, a move the rules refuse, a game already over.
std::optional<TSessionState>
GameFromKeys(const std::function<std::optional<std::string>(const std::string&)>& lookup);

class TGameSession {
  public:
    TGameSession(TSessionHost& host, RandomSource& random);

    const GameData& Game() const { return m_state.Game; }
    // For tests and tools that set up a position by hand.
    GameData& EditGame() { return m_state.Game; }
    TGameState State() const { return m_state.Game.GameState; }
    std::int32_t Deal() const { return m_state.Deal; }
    bool Assisted() const { return m_state.Assisted; }

    // The whole game as a value, and back: a restored game draws nothing and asks nothing.
    TSessionState Snapshot() const { return m_state; }
    void Restore(const TSessionState& state);

    // A press on the board: the clock of a fresh deal starts.
    void Touch();
    // The top card of a stack into the hand; false when nothing can be lifted now.
    bool Lift(int stack);
    // The stack of the card in hand, or -1.
    int Hand() const { return m_hand; }
    // The card in hand onto a row position (-1: beside the row, the card goes back with the
    // sound of a wrong drop).
    void Drop(int target);
    // The card in hand back on its stack without a sound (the window was minimised).
    void CancelLift();
    // Claims the offered pattern at a position (1-based); nothing when it is not offered.
    void Claim(int position);
    // One tick of the 100 ms timer; true when the clock took a point.
    bool Tick();
    void TogglePause();
    void GiveUp();
    // A new deal: number 0 draws one at random. A running game is dropped after asking;
    // nothing happens while paused.
    void NewDeal(std::int32_t number = 0);
    // Another level, after asking while a game runs; false when the player kept the game.
    bool ChangeLevel(int level);
    void SetLevel(int level);
    // The first deal of a session: no sound, no question.
    void FirstDeal(std::int32_t number = 0);
    // Lays a deal (0: one drawn at random) as a fresh game, without a sound or a question and
    // before its offers are evaluated; for setting up a game by hand.
    void LayDeal(std::int32_t number);
    // Tests the row against the open patterns and has the changed ones drawn.
    void Evaluate();
    // A hint was shown.
    void MarkAssisted() { m_state.Assisted = true; }
    // A stored game back on the table, paused; the window draws it whole.
    void Resume(const TSessionState& state);

    // Takes back the last drop or claim of the running game, as far back as the deal's start:
    // the covered card returns to the row, the dropped card to its stack, a claim's points and
    // pattern to the offers. The clock is not taken back. The game becomes assisted; the first
    // time, the player is told. False when there is nothing to take back now.
    bool Undo();
    // Plays a move taken back once more, until a new move is made.
    bool Redo();
    bool CanUndo() const;
    bool CanRedo() const;

    // The exit question, and the highscore of a running game on yes.
    bool AskToLeave();
    // The program is closing: no question may be answered yes from now on, and nothing is
    // offered any more.
    void Closing() { m_closing = true; }
    bool IsClosing() const { return m_closing; }
    // The game that is open as the program closes, counted as it stands (nothing when none).
    std::optional<FinishedGame> OpenAtClose() const;

    // Whether a hint can be given from the position.
    bool HintPossible() const;

  private:
    void CheckEnd();
    // Every game that has started ends here, whatever ends it.
    void End(GameEnd end);
    bool AskToDrop();
    FinishedGame Finished(GameEnd end) const;
    // Before a drop or a claim: the game as it was, for taking the move back.
    void Remember();
    // A remembered game back on the table, with the clock as it stands now.
    void Return(TSessionState state);

    TSessionHost& m_host;
    RandomSource& m_random;
    TSessionState m_state;
    int m_hand = -1;
    bool m_closing = false;
    std::vector<TSessionState> m_undo, m_redo;
};
