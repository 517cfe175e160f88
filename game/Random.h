#pragma once
// The one source of chance in the game: the deal and the glittering offer frames draw
// from it. Tests hand in their own source to script a deal.

#include <cstdint>
#include <random>

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniform integer in 0..n-1 (n >= 1).
    virtual int Random(int n) = 0;
};

class GameRandom final : public RandomSource {
public:
    explicit GameRandom(std::uint32_t seed) : m_engine(seed) {}
    int Random(int n) override { return std::uniform_int_distribution<int>(0, n - 1)(m_engine); }

private:
    std::mt19937 m_engine;
};

struct LightColour {
    int Red, Green, Blue; // each 128..255
};

// Each channel drawn independently, red first.
inline LightColour RandomLightColour(RandomSource& random) {
    LightColour c{};
    c.Red = 128 + random.Random(128);
    c.Green = 128 + random.Random(128);
    c.Blue = 128 + random.Random(128);
    return c;
}
