#include "game/Statistics.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// One game after the other at the same level, each row with the figures it leaves behind.
TEST(Statistics, EveryWayAGameEndsCountsOnce) {
    struct Step {
        GameEnd end;
        int score, ticks;
        std::int64_t played, won, lost, streak, longest, best, total;
    };
    const Step steps[] = {
        {GameEnd::Won, 300, 50, 1, 1, 0, 1, 1, 300, 300},
        {GameEnd::Won, 120, 20, 2, 2, 0, 2, 2, 300, 420},
        {GameEnd::GivenUp, 350, 30, 3, 2, 1, 0, 2, 350, 770}, // the score it was given up with
        {GameEnd::Won, 10, 5, 4, 3, 1, 1, 2, 350, 780},
        {GameEnd::Mixed, -4, 12, 5, 3, 2, 0, 2, 350, 776},
        {GameEnd::LevelChanged, 0, 3, 6, 3, 3, 0, 2, 350, 776},
        {GameEnd::Closed, 60, 9, 7, 3, 4, 0, 2, 350, 836},
        {GameEnd::PausedClosed, -20, 60, 8, 3, 5, 0, 2, 350, 816},
        {GameEnd::Lost, 200, 1, 9, 3, 6, 0, 2, 350, 1016},
    };
    Statistics statistics;
    std::int64_t ticks = 0;
    std::int32_t deal = 100;
    for (const Step& s : steps) {
        SCOPED_TRACE(static_cast<int>(s.end));
        RecordGame(statistics, {2, s.end, s.score, s.ticks, ++deal});
        const LevelStatistics& l = statistics.Levels[1];
        ticks += s.ticks;
        EXPECT_EQ(l.Played, s.played);
        EXPECT_EQ(l.Won, s.won);
        EXPECT_EQ(l.Lost, s.lost);
        EXPECT_EQ(l.Streak, s.streak);
        EXPECT_EQ(l.Longest, s.longest);
        EXPECT_EQ(l.Best, s.best);
        EXPECT_EQ(l.Total, s.total);
        EXPECT_EQ(l.Last, s.score);
        EXPECT_EQ(l.Ticks, ticks);
        EXPECT_EQ(statistics.LastDeal, deal);
    }
    EXPECT_EQ(statistics.Levels[1].WinRate(), 33);  // 3 of 9
    EXPECT_EQ(statistics.Levels[1].Average(), 113); // 1016 / 9
    for (int other : {0, 2, 3}) EXPECT_EQ(statistics.Levels[other], LevelStatistics{});
}

// Only a game that has started and not yet ended counts when it is left.
TEST(Statistics, WhichStatesEndACountedGame) {
    EXPECT_FALSE(GameCounts(gsNotStarted));
    EXPECT_TRUE(GameCounts(gsRunning));
    EXPECT_TRUE(GameCounts(gsPaused));
    EXPECT_FALSE(GameCounts(gsWon));
    EXPECT_FALSE(GameCounts(gsLost));
}

TEST(Statistics, FirstGameSetsTheBestEvenBelowZeroAndNothingPlayedReadsAsZero) {
    Statistics statistics;
    EXPECT_EQ(statistics.Levels[0].WinRate(), 0);
    EXPECT_EQ(statistics.Levels[0].Average(), 0);
    RecordGame(statistics, {1, GameEnd::Lost, -30, 0, 7});
    EXPECT_EQ(statistics.Levels[0].Best, -30);
    RecordGame(statistics, {1, GameEnd::Lost, -45, 0, 8});
    EXPECT_EQ(statistics.Levels[0].Best, -30);
    EXPECT_EQ(statistics.Levels[0].Average(), -38); // -37.5, half away from zero
}

std::map<std::string, std::string> AsMap(const Statistics& statistics) {
    std::map<std::string, std::string> stored;
    for (const auto& [key, value] : StatisticsToKeys(statistics)) stored[key] = value;
    return stored;
}

Statistics FromMap(const std::map<std::string, std::string>& stored) {
    return StatisticsFromKeys([&](const std::string& key) -> std::optional<std::string> {
        const auto it = stored.find(key);
        if (it == stored.end()) return std::nullopt;
        return it->second;
    });
}

TEST(Statistics, StoredUnderTheirKeysAndReadBack) {
    Statistics statistics;
    RecordGame(statistics, {1, GameEnd::Won, 812, 900, 4242});
    RecordGame(statistics, {4, GameEnd::GivenUp, -12, 33, 2147483647});
    const auto stored = AsMap(statistics);
    EXPECT_EQ(stored.size(), 37u);
    EXPECT_EQ(stored.at("playeda"), "1");
    EXPECT_EQ(stored.at("wona"), "1");
    EXPECT_EQ(stored.at("besta"), "812");
    EXPECT_EQ(stored.at("totala"), "812");
    EXPECT_EQ(stored.at("lasta"), "812");
    EXPECT_EQ(stored.at("streaka"), "1");
    EXPECT_EQ(stored.at("longesta"), "1");
    EXPECT_EQ(stored.at("ticksa"), "900");
    EXPECT_EQ(stored.at("lostd"), "1");
    EXPECT_EQ(stored.at("bestd"), "-12");
    EXPECT_EQ(stored.at("playedb"), "0");
    EXPECT_EQ(stored.at("ticksc"), "0");
    EXPECT_EQ(stored.at("deal"), "2147483647");
    EXPECT_EQ(FromMap(stored), statistics);
    EXPECT_EQ(FromMap({}), Statistics{});
}

// Each damaged value reads as 0 on its own; its neighbours keep theirs.
TEST(Statistics, DamagedValuesReadAsZero) {
    Statistics good;
    for (int level = 1; level <= 4; ++level) {
        RecordGame(good, {level, GameEnd::Won, 100 * level, 10, 5});
        RecordGame(good, {level, GameEnd::Lost, -7, 10, 6});
    }
    const std::pair<const char*, const char*> damage[] = {
        {"playeda", "abc"},   {"wonb", ""},       {"lostc", "12x"},     {"streakd", "-3"},
        {"ticksa", "99999999999999999999"},        {"bestb", "1.5"},     {"totalc", "+40"},
        {"longestd", "0x10"}, {"lasta", "- 7"},   {"deal", "0"},
    };
    for (const auto& [key, text] : damage) {
        SCOPED_TRACE(key);
        auto stored = AsMap(good);
        stored[key] = text;
        const auto read = AsMap(FromMap(stored));
        for (const auto& [k, v] : AsMap(good)) EXPECT_EQ(read.at(k), k == key ? "0" : v) << k;
    }
    // A deal number beyond the range reads as none, too.
    auto stored = AsMap(good);
    stored["deal"] = "2147483648";
    EXPECT_EQ(FromMap(stored).LastDeal, 0);
}

} // namespace
