// The statistics as the settings file holds them: any stored texts, then finished games and
// pars added to them. The figures never wrap round (a count that did would read back as
// damage), counts never go below zero, the mean and the win rate stay in range, and what is
// stored reads back as it was.
//
// Input: "key=value" lines for the stored figures, a NUL byte, then 16 bytes a game: level,
// end, a hint flag, a par flag (the solver's par follows the game), then score, clock ticks
// and deal (little-endian 32-bit each).

#include "game/Statistics.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace {

std::map<std::string, std::string> StoredKeys(const std::string& text) {
    std::map<std::string, std::string> keys;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(begin, end - begin);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
        begin = end + 1;
    }
    return keys;
}

std::int32_t Int32(const std::uint8_t* p) {
    std::uint32_t v = 0;
    std::memcpy(&v, p, sizeof v);
    return static_cast<std::int32_t>(v);
}

Statistics ReadBack(const Statistics& statistics) {
    std::map<std::string, std::string> stored;
    for (const auto& [key, value] : StatisticsToKeys(statistics))
        stored[key] = value;
    return StatisticsFromKeys([&](const std::string& key) -> std::optional<std::string> {
        const auto it = stored.find(key);
        if (it == stored.end()) return std::nullopt;
        return it->second;
    });
}

void CheckFigures(const Statistics& statistics) {
    for (const LevelStatistics& s : statistics.Levels) {
        for (std::int64_t count : {s.Played, s.Won, s.Lost, s.Streak, s.Longest, s.Ticks, s.Assisted})
            FUZZ_CHECK(count >= 0);
        const int rate = s.WinRate();
        FUZZ_CHECK(rate >= 0);
        if (s.Won <= s.Played) FUZZ_CHECK(rate <= 100);
        (void)s.Average(); // in range: UBSan watches the conversion
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::map<std::string, std::string> keys = StoredKeys(input.substr(0, nul));
    Statistics statistics = StatisticsFromKeys([&](const std::string& key) -> std::optional<std::string> {
        const auto it = keys.find(key);
        if (it == keys.end()) return std::nullopt;
        return it->second;
    });
    CheckFigures(statistics);
    FUZZ_CHECK(ReadBack(statistics) == statistics);
    if (nul == std::string::npos) return 0;

    constexpr std::size_t GameBytes = 16;
    for (std::size_t at = nul + 1; at + GameBytes <= size; at += GameBytes) {
        const std::uint8_t* p = data + at;
        FinishedGame game;
        game.Level = p[0] % 6; // 0 and 5 are clamped
        game.End = static_cast<GameEnd>(p[1] % 7);
        game.Assisted = p[2] & 1;
        game.Score = Int32(p + 4);
        game.Ticks = Int32(p + 8);
        game.Deal = std::max(1, Int32(p + 12) & 0x7FFFFFFF); // the game's deals are 1 and up
        const LevelStatistics before =
            statistics.Levels[static_cast<std::size_t>(std::clamp(game.Level, 1, 4) - 1)];
        RecordGame(statistics, game);
        const LevelStatistics& after =
            statistics.Levels[static_cast<std::size_t>(std::clamp(game.Level, 1, 4) - 1)];
        FUZZ_CHECK(after.Ticks >= before.Ticks);
        if (game.Assisted) {
            FUZZ_CHECK(after.Played == before.Played);
            FUZZ_CHECK(after.Assisted >= before.Assisted);
        } else {
            FUZZ_CHECK(after.Played >= before.Played && after.Played >= 1);
            FUZZ_CHECK(game.Score >= 0 ? after.Total >= before.Total : after.Total <= before.Total);
        }
        if (p[3] & 1) RecordPar(statistics, game.Level, game.Deal, std::max(game.Score, 0), game.Score);
        CheckFigures(statistics);
        FUZZ_CHECK(ReadBack(statistics) == statistics);
    }
    return 0;
}
