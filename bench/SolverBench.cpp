// How well and how fast the solver plays: the same numbered deals at every level, the points
// it finds against greedy play and against the proven bound, and the time per deal.
#include "game/Deal.h"
#include "game/Game.h"
#include "game/Solver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstdint>

namespace {

constexpr std::int32_t BenchDeals[] = {1, 42, 777, 4242, 31337, 100000, 123456789, 2147483647};
constexpr int DealCount = static_cast<int>(std::size(BenchDeals));

GameData Dealt(int level, std::int32_t number) {
    GameData g;
    SetLevel(g, level);
    StartDeal(g, DealByNumber(number));
    EvaluatePatterns(g);
    return g;
}

// One iteration solves every deal of the set; the counters are averages per deal.
void BM_SolveDeals(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    double points = 0, greedy = 0, bound = 0, wins = 0, slowest = 0, total = 0;
    for (auto _ : state) {
        points = greedy = bound = wins = slowest = total = 0;
        for (std::int32_t number : BenchDeals) {
            const GameData g = Dealt(level, number);
            // Processor time: one deal is one core's work, however busy the machine is.
            const std::clock_t start = std::clock();
            const SolverResult r = Solve(g);
            const double ms = 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
            slowest = std::max(slowest, ms);
            total += ms;
            points += r.Points;
            bound += r.Bound;
            wins += r.Won ? 1 : 0;
            state.PauseTiming();
            greedy += SolveGreedy(g).Points;
            state.ResumeTiming();
        }
    }
    state.counters["points"] = points / DealCount;
    state.counters["greedy"] = greedy / DealCount;
    state.counters["bound"] = bound / DealCount;
    state.counters["won"] = wins;
    state.counters["cpu_ms_slowest"] = slowest;
    state.counters["cpu_ms_per_deal"] = total / DealCount;
    state.SetLabel("level " + std::to_string(level) + ", " + std::to_string(DealCount) + " deals");
}

BENCHMARK(BM_SolveDeals)->DenseRange(1, 4)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
