#pragma once
// Looks a pattern up on the board the way a player does: by what it is, not where it lies.

#include "game/Game.h"

// The position (1..PatternCount) of the pattern with this id; -1 when it is not dealt.
inline int PositionOf(const GameData& g, int id) {
    for (int i = 1; i <= g.PatternCount; ++i)
        if (g.PatternIds[i] == id) return i;
    return -1;
}
