#pragma once
// A line of play shown again on the board: every position from the deal to the line's end,
// stepped through forwards and backwards. It is only shown, never played: nothing of it is
// counted, stored or offered to the highscore list.

#include "game/Game.h"
#include "game/Solver.h"

#include <vector>

struct TReplayStep {
    enum class Kind { Drop, Claim, Collect };
    Kind Type = Kind::Drop;
    SolverMove Move; // the drop or claim (nothing for the collection)
    int Points = 0;  // what a claim pays, or what the collected cards add
};

class TReplay {
  public:
    TReplay() = default;
    // start: the deal after its first evaluation. The line is played by the rules; it ends at
    // the first move they refuse. A won line ends with the cards left collected for their
    // bonus, as a step of its own. Every position shows as `shownAs` (a finished game's state),
    // so nothing on the board takes it for a game to play.
    TReplay(const GameData& start, const std::vector<SolverMove>& line, TGameState shownAs);

    int Length() const { return static_cast<int>(m_steps.size()); }
    // The steps shown so far, 0 at the deal.
    int At() const { return m_at; }
    const TReplayStep& Step(int i) const { return m_steps[static_cast<size_t>(i)]; }
    // The position after At() steps, and the one before step i.
    const GameData& Position() const { return m_positions[static_cast<size_t>(m_at)]; }
    const GameData& Before(int i) const { return m_positions[static_cast<size_t>(i)]; }
    bool Won() const { return m_won; }
    int Points() const { return m_positions.back().Score; }

    bool Forward();
    bool Back();
    void ToStart() { m_at = 0; }
    void ToEnd() { m_at = Length(); }

  private:
    std::vector<TReplayStep> m_steps;
    std::vector<GameData> m_positions{GameData{}}; // one more than the steps
    int m_at = 0;
    bool m_won = false;
};
