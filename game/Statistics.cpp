#include "game/Statistics.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

struct Figure {
    const char* name;
    std::int64_t LevelStatistics::*field;
    bool mayBeNegative; // the scores may; the counts and the time may not
};

constexpr Figure Figures[] = {
    {"played", &LevelStatistics::Played, false},    {"won", &LevelStatistics::Won, false},
    {"lost", &LevelStatistics::Lost, false},        {"best", &LevelStatistics::Best, true},
    {"total", &LevelStatistics::Total, true},       {"last", &LevelStatistics::Last, true},
    {"streak", &LevelStatistics::Streak, false},    {"longest", &LevelStatistics::Longest, false},
    {"ticks", &LevelStatistics::Ticks, false},      {"assisted", &LevelStatistics::Assisted, false},
    {"par", &LevelStatistics::Par, false},          {"pardeal", &LevelStatistics::ParDeal, false},
    {"parscore", &LevelStatistics::ParScore, true}, {"parpoints", &LevelStatistics::ParPoints, false},
};

std::optional<std::int64_t> ParseValue(const std::string& text) {
    std::int64_t value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) return std::nullopt;
    return value;
}

} // namespace

int LevelStatistics::WinRate() const {
    if (Played <= 0) return 0;
    // Far more wins than games (a hand-edited file) must not make a rate beyond any int.
    const double rate = 100.0 * static_cast<double>(Won) / static_cast<double>(Played);
    return static_cast<int>(std::llround(std::min(rate, 1e9)));
}

std::int64_t LevelStatistics::Average() const {
    if (Played <= 0) return 0;
    // A saturated total over one game is 2^63 as a double, one past the largest integer.
    const double mean = static_cast<double>(Total) / static_cast<double>(Played);
    if (mean >= 0x1p63) return std::numeric_limits<std::int64_t>::max();
    return std::llround(mean);
}

namespace {
LevelStatistics& AtLevel(Statistics& statistics, int level) {
    return statistics.Levels[static_cast<std::size_t>(std::clamp(level, 1, StatisticsLevels) - 1)];
}
// Adds as far as the figure goes and stops there: a count that wrapped round would read as a
// negative count, which is taken for damage and set to 0, and a total would change its sign.
void Add(std::int64_t& figure, std::int64_t amount) {
    using Limits = std::numeric_limits<std::int64_t>;
    if (__builtin_add_overflow(figure, amount, &figure)) figure = amount > 0 ? Limits::max() : Limits::min();
}
} // namespace

void RecordGame(Statistics& statistics, const FinishedGame& game) {
    LevelStatistics& s = AtLevel(statistics, game.Level);
    statistics.LastDeal = game.Deal;
    statistics.LastLevel = std::clamp(game.Level, 1, StatisticsLevels);
    s.ParDeal = 0;
    Add(s.Ticks, std::max(game.Ticks, 0));
    if (game.Assisted) {
        Add(s.Assisted, 1);
        s.Streak = 0;
        return;
    }
    // The first game sets the best score even when it is below zero; a best score that
    // outlived a damaged count of games is kept.
    const bool first = s.Played == 0 && s.Best == 0;
    s.Best = first ? game.Score : std::max<std::int64_t>(s.Best, game.Score);
    Add(s.Played, 1);
    if (game.End == GameEnd::Won) {
        Add(s.Won, 1);
        Add(s.Streak, 1);
        s.Longest = std::max(s.Longest, s.Streak);
    } else {
        Add(s.Lost, 1);
        s.Streak = 0;
    }
    Add(s.Total, game.Score);
    s.Last = game.Score;
}

void RecordPar(Statistics& statistics, int level, std::int32_t deal, std::int64_t par, std::int64_t score,
               std::int64_t points) {
    LevelStatistics& s = AtLevel(statistics, level);
    s.Par = par;
    s.ParDeal = deal;
    s.ParScore = score;
    s.ParPoints = points;
}

std::optional<ParOfGame> LastGamePar(const Statistics& statistics) {
    if (statistics.LastDeal <= 0 || statistics.LastLevel < 1 || statistics.LastLevel > StatisticsLevels)
        return std::nullopt;
    const LevelStatistics& s = statistics.Levels[static_cast<std::size_t>(statistics.LastLevel - 1)];
    if (s.ParDeal != statistics.LastDeal) return std::nullopt;
    return ParOfGame{s.Par, s.ParScore, s.ParPoints};
}

std::string StatisticsKey(const char* figure, int level) {
    return std::string(figure) + static_cast<char>('a' + std::clamp(level, 1, StatisticsLevels) - 1);
}

std::vector<std::pair<std::string, std::string>> StatisticsToKeys(const Statistics& statistics) {
    std::vector<std::pair<std::string, std::string>> keys;
    for (int level = 1; level <= StatisticsLevels; ++level)
        for (const Figure& f : Figures)
            keys.emplace_back(
                StatisticsKey(f.name, level),
                std::to_string(statistics.Levels[static_cast<std::size_t>(level - 1)].*f.field));
    keys.emplace_back(LastDealKey, std::to_string(statistics.LastDeal));
    keys.emplace_back(LastLevelKey, std::to_string(statistics.LastLevel));
    return keys;
}

Statistics
StatisticsFromKeys(const std::function<std::optional<std::string>(const std::string& key)>& lookup) {
    Statistics statistics;
    for (int level = 1; level <= StatisticsLevels; ++level) {
        for (const Figure& f : Figures) {
            const std::optional<std::string> text = lookup(StatisticsKey(f.name, level));
            const std::optional<std::int64_t> value = text ? ParseValue(*text) : std::nullopt;
            if (value && (f.mayBeNegative || *value >= 0))
                statistics.Levels[static_cast<std::size_t>(level - 1)].*f.field = *value;
        }
    }
    if (const std::optional<std::string> text = lookup(LastDealKey)) {
        const std::optional<std::int64_t> deal = ParseValue(*text);
        if (deal && *deal >= 1 && *deal <= 2147483647) statistics.LastDeal = static_cast<std::int32_t>(*deal);
    }
    if (const std::optional<std::string> text = lookup(LastLevelKey)) {
        const std::optional<std::int64_t> level = ParseValue(*text);
        if (level && *level >= 1 && *level <= StatisticsLevels)
            statistics.LastLevel = static_cast<int>(*level);
    }
    return statistics;
}
