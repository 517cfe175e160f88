#include "settings/StatisticsStore.h"

#include "settings/ini.h"

namespace {

// The figures as the file holds them, read through whatever gives a key's text.
template <class Source> Statistics ReadFrom(const Source& source) {
    return StatisticsFromKeys([&](const std::string& key) -> std::optional<std::string> {
        const std::optional<QString> text = source(QString::fromStdString(key));
        if (!text) return std::nullopt;
        return text->toStdString();
    });
}

void WriteInto(TIniEdit& edit, const Statistics& statistics) {
    for (const auto& [key, value] : StatisticsToKeys(statistics))
        edit.WriteText(StatisticsSection, QString::fromStdString(key), QString::fromStdString(value));
}

} // namespace

Statistics ReadStatistics(const TIniStore& ini) {
    // Every figure from one read of the file: a large file is read once, not once a figure.
    const TIniSnapshot stored = ini.Snapshot();
    return ReadFrom([&stored](const QString& key) { return stored.Text(StatisticsSection, key); });
}

void AddFinishedGame(TIniEdit& edit, const FinishedGame& game) {
    Statistics statistics =
        ReadFrom([&edit](const QString& key) { return edit.Text(StatisticsSection, key); });
    RecordGame(statistics, game);
    WriteInto(edit, statistics);
}

bool StoreFinishedGame(TIniStore& ini, const FinishedGame& game) {
    // Read, add and write under the store's lock: a second running copy that ends a game at
    // the same moment adds its own to ours instead of writing over it.
    return ini.Update(TIniWhat::Statistics, [&game](TIniEdit& edit) { AddFinishedGame(edit, game); });
}

bool StorePar(TIniStore& ini, int level, std::int32_t deal, std::int64_t par, std::int64_t score,
              std::int64_t points) {
    return ini.Update(TIniWhat::Par, [&](TIniEdit& edit) {
        Statistics statistics =
            ReadFrom([&edit](const QString& key) { return edit.Text(StatisticsSection, key); });
        RecordPar(statistics, level, deal, par, score, points);
        WriteInto(edit, statistics);
    });
}

bool ResetStatistics(TIniStore& ini) {
    return ini.Update(TIniWhat::Statistics, [](TIniEdit& edit) { WriteInto(edit, Statistics{}); });
}
