// How long the expensive moments take: a re-layout (pictures rendered anew), a full paint,
// one pointer move of a dragged card, an evaluation, a deal, and the highscore scrambler.
#include "board/Board.h"
#include "board/Raster.h"
#include "board/Sprites.h"
#include "dialogs/Chiffre.h"
#include "game/Deal.h"
#include "game/Game.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

struct Size {
    int w, h;
};
constexpr Size Sizes[] = {{700, 500}, {1920, 1080}, {3840, 2160}};

struct BoardRig {
    TCanvas canvas;
    GameData game;
    GameRandom random{1};
    TBoard board{canvas, game, random};
    explicit BoardRig(Size s) {
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
    BoardRig rig(s);
    int flip = 0;
    for (auto _ : state) rig.board.LayoutBoard(s.w, s.h - 20 * (flip ^= 1));
    state.SetLabel(std::to_string(s.w) + "x" + std::to_string(s.h));
}

// One step of a live resize: the pictures scaled from the previous step, the background anew.
void BM_LayoutBoardWhileResizing(benchmark::State& state) {
    const Size s = Sizes[state.range(0)];
    BoardRig rig(s);
    int flip = 0;
    for (auto _ : state) rig.board.LayoutBoard(s.w, s.h - 20 * (flip ^= 1), TBoard::TPictures::Interim);
    state.SetLabel(std::to_string(s.w) + "x" + std::to_string(s.h));
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
    BoardRig rig(s);
    for (auto _ : state) rig.board.Paint();
    state.SetLabel(std::to_string(s.w) + "x" + std::to_string(s.h));
}

// One pointer move of a dragged card: near (the union path) or far (restore, then paint).
void DragMove(benchmark::State& state, bool far) {
    const Size s = Sizes[state.range(0)];
    BoardRig rig(s);
    const int cs = rig.board.Layout.CardSize;
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
    state.SetLabel(std::to_string(s.w) + "x" + std::to_string(s.h) + (far ? " far" : " near"));
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

BENCHMARK(BM_LayoutBoardNewPictures)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LayoutBoardWhileResizing)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutBoardSamePictures)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullPaint)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragMoveNear)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragMoveFar)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
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
