// The settings store on a large file (other programs' sections, tens of thousands of lines, just
// under the size limit): opening the statistics, opening a highscore list, and adding a game.
#include "settings/StatisticsStore.h"
#include "settings/ini.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

class LargeFile {
  public:
    explicit LargeFile(int lines) {
        QByteArray text = "[common]\nlevel=2\nhsa0=1500,p0\n[statistics]\nplayeda=3\n[other]\n";
        for (int i = 0; i < lines; ++i)
            text += "key" + QByteArray::number(i) + "=value\n";
        QFile f(Path());
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
    QString Path() const { return m_dir.filePath(QStringLiteral("V1.ini")); }

  private:
    QTemporaryDir m_dir;
};

void BM_ReadStatistics(benchmark::State& state) {
    const LargeFile file(static_cast<int>(state.range(0)));
    const TIniStore ini(file.Path());
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadStatistics(ini));
}
BENCHMARK(BM_ReadStatistics)->Arg(1000)->Arg(60000)->Unit(benchmark::kMillisecond);

void BM_ReadHighscoreList(benchmark::State& state) {
    const LargeFile file(static_cast<int>(state.range(0)));
    const TIniStore ini(file.Path());
    for (auto _ : state) {
        const TIniSnapshot stored = ini.Snapshot();
        for (int row = 0; row < 15; ++row)
            benchmark::DoNotOptimize(
                stored.ReadText(QStringLiteral("common"), QStringLiteral("hsa%1").arg(row), {}));
    }
}
BENCHMARK(BM_ReadHighscoreList)->Arg(1000)->Arg(60000)->Unit(benchmark::kMillisecond);

void BM_StoreFinishedGame(benchmark::State& state) {
    const LargeFile file(static_cast<int>(state.range(0)));
    TIniStore ini(file.Path());
    for (auto _ : state)
        StoreFinishedGame(ini, {1, GameEnd::Won, 100, 10, 7});
}
BENCHMARK(BM_StoreFinishedGame)->Arg(1000)->Arg(60000)->Unit(benchmark::kMillisecond);

} // namespace
