#pragma once
#include "game/Random.h"

#include <cstddef>
#include <vector>

// Answers Random() from a list, then from a plain generator; counts the draws.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<int> script, unsigned seed = 1) : m_script(std::move(script)), m_rest(seed) {}
    int Random(int n) override {
        ++Draws;
        if (m_next < m_script.size()) return m_script[m_next++] % n;
        return m_rest.Random(n);
    }
    std::size_t Draws = 0;

private:
    std::vector<int> m_script;
    std::size_t m_next = 0;
    GameRandom m_rest;
};
