#include "game/Game.h"

void SetLevel(GameData& g, int level) {
    g.Level = ClampLevel(level);
    const LevelPatterns& lp = LevelTable[g.Level - 1];
    g.PatternCount = lp.Count;
    g.PatternIds.fill(0);
    for (int i = 1; i <= lp.Count; ++i) g.PatternIds[i] = lp.Ids[i - 1];
}

void StartDeal(GameData& g, const Table& dealt) {
    static_cast<Table&>(g) = dealt;
    for (int i = 1; i <= g.PatternCount; ++i) g.PatternState[i] = TPatternState::Open;
    g.Score = 0;
    g.ClockTicks = 0;
    g.GameState = gsNotStarted;
}

PositionSet EvaluatePatterns(GameData& g) {
    PositionSet evaluated;
    const RowFacts facts = AnalyseRow(g.Row);
    for (int i = 1; i <= g.PatternCount; ++i) {
        if (g.PatternState[i] == TPatternState::Claimed) continue;
        g.PatternState[i] = TestPattern(g.PatternIds[i], facts);
        evaluated.set(i);
    }
    return evaluated;
}

DropVerdict JudgeDrop(const GameData& g, int target) {
    if (target < 0 || target >= RowSize) return DropVerdict::Beside;
    // While the joker lies in the row, the next card must cover exactly the joker.
    if (g.JokerPos != -1 && target != g.JokerPos) return DropVerdict::JokerRule;
    return DropVerdict::Accepted;
}

void ApplyDrop(GameData& g, int stack, int target) {
    g.Row[target] = g.TopCard(stack);
    --g.StackCount[stack];
    g.JokerPos = FindJoker(g.Row);
}

int ClaimValue(const GameData& g, int position) {
    if (position < 1 || position > g.PatternCount) return -1;
    const TPatternState s = g.PatternState[position];
    if (!IsOffered(s)) return -1;
    int points = ClaimPoints(g.PatternIds[position], s == TPatternState::OfferedBonus);
    if (g.JokerPos != -1) points /= 2; // the joker halves a claim, dropping a half point
    return points;
}

void ApplyClaim(GameData& g, int position, int points) {
    g.Score += points;
    g.PatternState[position] = TPatternState::Claimed;
    // The row pays for one pattern only; new offers come with the next drop.
    for (int i = 1; i <= g.PatternCount; ++i)
        if (IsOffered(g.PatternState[i])) g.PatternState[i] = TPatternState::Open;
}

bool ClockStep(GameData& g) {
    if (g.GameState != gsRunning) return false;
    ++g.ClockTicks;
    if (g.ClockTicks % TicksPerPoint != 0) return false;
    --g.Score;
    return true;
}

EndVerdict JudgeEnd(const GameData& g) {
    int claimed = 0;
    for (int i = 1; i <= g.PatternCount; ++i)
        if (g.PatternState[i] == TPatternState::Claimed) ++claimed;
    if (claimed == g.PatternCount) return EndVerdict::Won; // tested before the empty stacks
    if (g.CardsInStacks() > 0) return EndVerdict::Playing;
    return EndVerdict::Lost;
}

int CollectNext(GameData& g) {
    for (int s = 0; s < StackTotal; ++s) {
        if (g.StackCount[s] > 0) {
            --g.StackCount[s];
            g.Score += PointsPerCollectedCard;
            return s;
        }
    }
    return -1;
}

ToolbarState ToolbarFor(TGameState state) {
    switch (state) {
    case gsNotStarted: return {true, false, false};
    case gsRunning: return {true, true, true};
    case gsPaused: return {false, false, true};
    case gsWon:
    case gsLost: return {true, false, false};
    }
    return {true, false, false};
}
