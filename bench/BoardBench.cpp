// How long the expensive moments take: a re-layout (pictures rendered anew, also from documents
// read again), a full paint, one pointer move of a dragged card, an evaluation, a deal, and the
// highscore scrambler.
#include "board/Board.h"
#include "board/Raster.h"
#include "board/Sprites.h"
#include "settings/Chiffre.h"
#include "game/Deal.h"
#include "game/Game.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

struct Size {
    int w, h;
};
constexpr Size Sizes[] = {{700, 500}, {1920, 1080}, {3840, 2160}};

// The screen's scale: 1, or 2 for the scaled variants (arg 1 of the benchmarks that take it).
qreal RatioOf(const benchmark::State& state) { return state.range(1) == 2 ? 2.0 : 1.0; }

std::string Label(Size s, qreal ratio, const char* more = "") {
    return std::to_string(s.w) + "x" + std::to_string(s.h) + (ratio != 1.0 ? " scale 2" : "") + more;
}

struct BoardRig {
    TCanvas canvas;
    GameData game;
    GameRandom random{1};
    TBoard board{canvas, game, random};
    explicit BoardRig(Size s, qreal ratio = 1.0) {
        canvas.Ratio = ratio;
        SetLevel(game, 4);
        StartDeal(game, DealTable(random));
        board.LoadArtwork();
        board.LayoutBoard(s.w, s.h);
        board.Paint();
    }
};

// A re-layout to a size with other card and pattern sizes: every picture is rendered anew.
void BM_LayoutBoardNewPictures(benchmark::State& state) {
    const Size s = Sizes[state.range(0)];
    const qreal ratio = RatioOf(state);
    BoardRig rig(s, ratio);
    int flip = 0;
    for (auto _ : state) rig.board.LayoutBoard(s.w, s.h - 20 * (flip ^= 1));
    state.SetLabel(Label(s, ratio));
}

// The first re-layout after the window stood still: the vector pictures' documents were let go
// of and are read again from their text before they render. (The game lets go of them only on
// a board of up to about full HD; the larger sizes show what it would cost there.)
void BM_LayoutBoardDocumentsAgain(benchmark::State& state) {
    const Size s = Sizes[state.range(0)];
    const qreal ratio = RatioOf(state);
    BoardRig rig(s, ratio);
    int flip = 0;
    for (auto _ : state) {
        rig.board.LetGoOfDocuments();
        rig.board.LayoutBoard(s.w, s.h - 20 * (flip ^= 1));
    }
    state.SetLabel(Label(s, ratio));
}

// Every step of a live resize, rendered exactly: the window's edge dragged a few pixels at a
// time, so the card and pattern sizes change at most steps; the re-layout and the full paint
// that shows it.
void BM_LiveResizeStep(benchmark::State& state) {
    const Size s = Sizes[state.range(0)];
    const qreal ratio = RatioOf(state);
    BoardRig rig(s, ratio);
    int step = 0;
    for (auto _ : state) {
        const int shrink = 6 * (step++ % 16);
        rig.board.LayoutBoard(s.w - shrink, s.h - shrink);
        rig.board.Paint();
    }
    state.SetLabel(Label(s, ratio));
}

// A re-layout that keeps the card size (the window only grew wider): the background only.
void BM_LayoutBoardSamePictures(benchmark::State& state) {
    const Size s = Sizes[state.range(0)];
    BoardRig rig(s);
    int flip = 0;
    for (auto _ : state) rig.board.LayoutBoard(s.w - (flip ^= 1), s.h);
    state.SetLabel(std::to_string(s.w) + "x" + std::to_string(s.h));
}

void BM_FullPaint(benchmark::State& state) {
    const Size s = Sizes[state.range(0)];
    const qreal ratio = RatioOf(state);
    BoardRig rig(s, ratio);
    for (auto _ : state) rig.board.Paint();
    state.SetLabel(Label(s, ratio));
}

// One pointer move of a dragged card: near (the union path) or far (restore, then paint).
void DragMove(benchmark::State& state, bool far) {
    const Size s = Sizes[state.range(0)];
    const qreal ratio = RatioOf(state);
    BoardRig rig(s, ratio);
    const int cs = rig.board.DeviceCardSize();
    QImage card = NewBitmap(cs, cs);
    rig.board.DrawCard(card, 0, 0, rig.game.Row[0]);
    tSprite sprite(&rig.canvas, cs, cs);
    sprite.SetImage(&card, 0, 0);
    sprite.SetPosition(s.w / 4, s.h / 2);
    sprite.Show();
    sprite.Grab(s.w / 4, s.h / 2);
    const int step = far ? cs + 10 : 7;
    int x = s.w / 4, dir = 1;
    for (auto _ : state) {
        x += dir * step;
        if (x > s.w * 3 / 4 || x < s.w / 4) dir = -dir;
        sprite.DragTo(x, s.h / 2 + (far ? dir * (cs + 10) : 3 * dir));
    }
    sprite.Hide();
    state.SetLabel(Label(s, ratio, far ? " far" : " near"));
}
void BM_DragMoveNear(benchmark::State& state) { DragMove(state, false); }
void BM_DragMoveFar(benchmark::State& state) { DragMove(state, true); }

void BM_EvaluatePatterns(benchmark::State& state) {
    GameData g;
    SetLevel(g, 4);
    GameRandom random(3);
    StartDeal(g, DealTable(random));
    for (auto _ : state) {
        g.Row[state.iterations() % 4] = static_cast<CardCode>(state.iterations() % 61);
        benchmark::DoNotOptimize(EvaluatePatterns(g));
    }
}

void BM_NewDeal(benchmark::State& state) {
    GameRandom random(9);
    for (auto _ : state) benchmark::DoNotOptimize(DealTable(random));
}

void BM_ChiffreEncode(benchmark::State& state) {
    TChiffre cipher;
    cipher.Init(QString(), 0);
    const QString row = QStringLiteral("12345,Mr. Brain the Magnificent");
    for (auto _ : state) benchmark::DoNotOptimize(cipher.Encode(row));
}

// Sizes 0..2 at scale 1, and the largest two at scale 2 as well. Wall time (real time) is what
// the player waits for. For the re-layouts, which render on every core, the CPU column counts
// all threads of the process: on an idle machine the wall time is about that divided by the
// cores, and on a busy one the CPU column still compares runs fairly. For the others it counts
// this thread only.
void SizesAndScales(benchmark::internal::Benchmark* b) {
    for (int size = 0; size <= 2; ++size) b->Args({size, 1});
    for (int size = 1; size <= 2; ++size) b->Args({size, 2});
}

BENCHMARK(BM_LayoutBoardNewPictures)->Apply(SizesAndScales)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_LayoutBoardDocumentsAgain)->Apply(SizesAndScales)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_LiveResizeStep)->Apply(SizesAndScales)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_LayoutBoardSamePictures)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullPaint)->Apply(SizesAndScales)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragMoveNear)->Apply(SizesAndScales)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragMoveFar)->Apply(SizesAndScales)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EvaluatePatterns)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_NewDeal)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChiffreEncode)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
