// How well and how fast the solver plays: deals 1 to 40 at every level, the search as --solve
// and the par run it, against the same search given ten times the work (the longer reference),
// and against greedy play. Per level: mean points, deals won, how far the bound lies above the
// points found, and the processor time per deal.
#include "game/Deal.h"
#include "game/Game.h"
#include "game/Solver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>
#include <utility>

namespace {

constexpr std::int32_t FirstDeal = 1, LastDeal = 40;
constexpr int DealCount = LastDeal - FirstDeal + 1;
constexpr std::int64_t ReferenceFactor = 10;

GameData Dealt(int level, std::int32_t number) {
    GameData g;
    SetLevel(g, level);
    StartDeal(g, DealByNumber(number));
    EvaluatePatterns(g);
    return g;
}

struct Tally {
    double Points = 0, Gap = 0, Won = 0, CpuMs = 0, Slowest = 0, Work = 0;

    void Add(const SolverResult& r, double ms) {
        Points += r.Points;
        Gap += r.Bound - r.Points;
        Won += r.Won ? 1 : 0;
        CpuMs += ms;
        Slowest = std::max(Slowest, ms);
        Work += static_cast<double>(r.Nodes);
    }
};

// Processor time: one deal is one core's work, however busy the machine is.
double CpuMs(std::clock_t since) {
    return 1000.0 * static_cast<double>(std::clock() - since) / CLOCKS_PER_SEC;
}

// One iteration solves every deal of the set twice: as --solve does, and as the reference with
// ten times the work that search did. The counters are per deal; ref_ the reference's.
void BM_Solver(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    Tally search, reference;
    double greedy = 0;
    for (auto _ : state) {
        search = reference = {};
        greedy = 0;
        for (std::int32_t number = FirstDeal; number <= LastDeal; ++number) {
            const GameData g = Dealt(level, number);
            std::clock_t start = std::clock();
            const SolverResult r = Solve(g);
            search.Add(r, CpuMs(start));
            SolverSettings longer;
            longer.Work = r.Nodes * ReferenceFactor;
            start = std::clock();
            // Solved before the clock is read: in one call's arguments the order is not fixed.
            const SolverResult longerResult = Solve(g, longer);
            reference.Add(longerResult, CpuMs(start));
            greedy += SolveGreedy(g).Points;
        }
    }
    for (const auto& [prefix, t] : {std::pair<std::string, const Tally&>{"", search}, {"ref_", reference}}) {
        state.counters[prefix + "points"] = t.Points / DealCount;
        state.counters[prefix + "won"] = t.Won;
        state.counters[prefix + "bound_gap"] = t.Gap / DealCount;
        state.counters[prefix + "cpu_ms_per_deal"] = t.CpuMs / DealCount;
        state.counters[prefix + "cpu_ms_slowest"] = t.Slowest;
    }
    state.counters["work_per_deal"] = search.Work / DealCount;
    state.counters["greedy"] = greedy / DealCount;
    state.SetLabel("level " + std::to_string(level) + ", deals " + std::to_string(FirstDeal) + ".." +
                   std::to_string(LastDeal));
}

BENCHMARK(BM_Solver)->DenseRange(1, 4)->Iterations(1)->Unit(benchmark::kMillisecond);

// A hint from a game under way: deals played greedily to 30 cards left, then searched with the
// hint's work.
void BM_Hint(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    double total = 0, slowest = 0;
    int count = 0;
    for (auto _ : state) {
        total = slowest = 0;
        count = 0;
        for (std::int32_t number = FirstDeal; number <= LastDeal; number += 4) {
            state.PauseTiming();
            GameData g = Dealt(level, number);
            const SolverResult line = SolveGreedy(g);
            for (const SolverMove& m : line.Moves) {
                if (g.CardsInStacks() <= 30 || JudgeEnd(g) != EndVerdict::Playing) break;
                if (m.Type == SolverMove::Kind::Drop) {
                    ApplyDrop(g, m.Stack, m.Target);
                    EvaluatePatterns(g);
                } else {
                    ApplyClaim(g, m.Position, ClaimValue(g, m.Position));
                }
            }
            state.ResumeTiming();
            const std::clock_t start = std::clock();
            benchmark::DoNotOptimize(Solve(g, HintSettings()));
            const double ms = CpuMs(start);
            total += ms;
            slowest = std::max(slowest, ms);
            ++count;
        }
    }
    state.counters["cpu_ms_per_hint"] = total / std::max(1, count);
    state.counters["cpu_ms_slowest"] = slowest;
    state.SetLabel("level " + std::to_string(level) + ", 30 cards left");
}

BENCHMARK(BM_Hint)->DenseRange(1, 4)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
