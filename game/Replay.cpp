#include "game/Replay.h"

TReplay::TReplay(const GameData& start, const std::vector<SolverMove>& line, TGameState shownAs) {
    GameData g = start;
    g.GameState = gsRunning; // the rules take moves only in a running game
    g.ClockTicks = 0;
    m_positions.assign(1, g);
    auto add = [&](const TReplayStep& step) {
        m_steps.push_back(step);
        m_positions.push_back(g);
    };
    for (const SolverMove& move : line) {
        if (JudgeEnd(g) != EndVerdict::Playing) break;
        if (move.Type == SolverMove::Kind::Drop) {
            if (move.Stack < 0 || move.Stack >= StackTotal || g.StackCount[move.Stack] == 0) break;
            if (JudgeDrop(g, move.Target) != DropVerdict::Accepted) break;
            ApplyDrop(g, move.Stack, move.Target);
            EvaluatePatterns(g);
            add({TReplayStep::Kind::Drop, move, 0});
        } else {
            const int points = ClaimValue(g, move.Position);
            if (points < 0 || g.PatternIds[move.Position] != move.PatternId) break;
            ApplyClaim(g, move.Position, points);
            add({TReplayStep::Kind::Claim, move, points});
        }
    }
    if (JudgeEnd(g) == EndVerdict::Won) {
        m_won = true;
        if (g.CardsInStacks() > 0) {
            const int before = g.Score;
            while (CollectNext(g) >= 0) {
            }
            add({TReplayStep::Kind::Collect, {}, g.Score - before});
        }
    }
    for (GameData& p : m_positions)
        p.GameState = shownAs;
}

bool TReplay::Forward() {
    if (m_at >= Length()) return false;
    ++m_at;
    return true;
}

bool TReplay::Back() {
    if (m_at <= 0) return false;
    --m_at;
    return true;
}
