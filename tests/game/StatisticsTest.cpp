#include "game/Statistics.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

namespace {

// One game after the other at the same level, each row with the figures it leaves behind. An
// assisted game counts apart: only as assisted, in the time, and as the end of a streak.
TEST(Statistics, EveryWayAGameEndsCountsOnce) {
    struct Step {
        GameEnd end;
        bool assisted;
        int score, ticks;
        std::int64_t played, won, lost, streak, longest, best, total, last, helped;
    };
    const Step steps[] = {
        {GameEnd::Won, false, 300, 50, 1, 1, 0, 1, 1, 300, 300, 300, 0},
        {GameEnd::Won, false, 120, 20, 2, 2, 0, 2, 2, 300, 420, 120, 0},
        {GameEnd::Won, true, 900, 40, 2, 2, 0, 0, 2, 300, 420, 120, 1}, // a win with help ends the run
        {GameEnd::GivenUp, false, 350, 30, 3, 2, 1, 0, 2, 350, 770, 350, 1}, // the score it was given up with
        {GameEnd::Won, false, 10, 5, 4, 3, 1, 1, 2, 350, 780, 10, 1},
        {GameEnd::Lost, true, -50, 7, 4, 3, 1, 0, 2, 350, 780, 10, 2},
        {GameEnd::Mixed, false, -4, 12, 5, 3, 2, 0, 2, 350, 776, -4, 2},
        {GameEnd::LevelChanged, false, 0, 3, 6, 3, 3, 0, 2, 350, 776, 0, 2},
        {GameEnd::Closed, true, 60, 9, 6, 3, 3, 0, 2, 350, 776, 0, 3},
        {GameEnd::Closed, false, 60, 9, 7, 3, 4, 0, 2, 350, 836, 60, 3},
        {GameEnd::PausedClosed, false, -20, 60, 8, 3, 5, 0, 2, 350, 816, -20, 3},
        {GameEnd::Lost, false, 200, 1, 9, 3, 6, 0, 2, 350, 1016, 200, 3},
    };
    Statistics statistics;
    std::int64_t ticks = 0;
    std::int32_t deal = 100;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(s.end) << (s.assisted ? " assisted" : ""));
        RecordGame(statistics, {2, s.end, s.score, s.ticks, ++deal, s.assisted});
        const LevelStatistics& l = statistics.Levels[1];
        ticks += s.ticks;
        EXPECT_EQ(l.Played, s.played);
        EXPECT_EQ(l.Won, s.won);
        EXPECT_EQ(l.Lost, s.lost);
        EXPECT_EQ(l.Streak, s.streak);
        EXPECT_EQ(l.Longest, s.longest);
        EXPECT_EQ(l.Best, s.best);
        EXPECT_EQ(l.Total, s.total);
        EXPECT_EQ(l.Last, s.last);
        EXPECT_EQ(l.Assisted, s.helped);
        EXPECT_EQ(l.Ticks, ticks);
        EXPECT_EQ(statistics.LastDeal, deal);
        EXPECT_EQ(statistics.LastLevel, 2);
    }
    EXPECT_EQ(statistics.Levels[1].WinRate(), 33);  // 3 of 9
    EXPECT_EQ(statistics.Levels[1].Average(), 113); // 1016 / 9
    for (int other : {0, 2, 3}) EXPECT_EQ(statistics.Levels[other], LevelStatistics{});
}

// An assisted first game sets no best score: the first game of the player's own does.
TEST(Statistics, AnAssistedFirstGameLeavesTheBestToTheNextOwnGame) {
    Statistics statistics;
    RecordGame(statistics, {3, GameEnd::Won, 2000, 10, 1, true});
    RecordGame(statistics, {3, GameEnd::Lost, -40, 10, 2});
    EXPECT_EQ(statistics.Levels[2].Best, -40);
    EXPECT_EQ(statistics.Levels[2].Played, 1);
}

// The par shown is the one of the last game counted: a later game, at any level, or a late
// answer for an earlier deal shows none.
TEST(Statistics, ParBelongsToTheLastGameOnly) {
    Statistics statistics;
    EXPECT_FALSE(LastGamePar(statistics));
    RecordGame(statistics, {2, GameEnd::Lost, 300, 10, 5});
    EXPECT_FALSE(LastGamePar(statistics)) << "not found yet";
    RecordPar(statistics, 2, 5, 4100, 300);
    ASSERT_TRUE(LastGamePar(statistics));
    EXPECT_EQ(LastGamePar(statistics)->Par, 4100);
    EXPECT_EQ(LastGamePar(statistics)->Score, 300);

    RecordGame(statistics, {2, GameEnd::GivenUp, 80, 10, 6});
    EXPECT_FALSE(LastGamePar(statistics)) << "the par of deal 5 is not the par of deal 6";
    RecordPar(statistics, 2, 5, 4100, 300);
    EXPECT_FALSE(LastGamePar(statistics)) << "a late par for deal 5";
    RecordPar(statistics, 2, 6, 3900, 80);
    EXPECT_EQ(LastGamePar(statistics)->Par, 3900);

    RecordGame(statistics, {3, GameEnd::Won, 500, 10, 6}); // the same deal at another level
    EXPECT_FALSE(LastGamePar(statistics));
    EXPECT_EQ(statistics.Levels[1].Par, 3900) << "kept at its own level";
    RecordPar(statistics, 3, 6, 5200, 500);
    EXPECT_EQ(LastGamePar(statistics)->Par, 5200);
    // The same deal again at the same level: a par for it is a par for this game too, but only
    // once this game's score is in.
    RecordGame(statistics, {3, GameEnd::Lost, 120, 10, 6, true});
    EXPECT_FALSE(LastGamePar(statistics));
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
    RecordGame(statistics, {3, GameEnd::Won, 5000, 10, 17, true});
    RecordPar(statistics, 3, 17, 6100, 5000, 5004);
    RecordGame(statistics, {4, GameEnd::GivenUp, -12, 33, 2147483647});
    RecordPar(statistics, 4, 2147483647, 3003, -12);
    const auto stored = AsMap(statistics);
    EXPECT_EQ(stored.size(), 58u);
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
    EXPECT_EQ(stored.at("assistedc"), "1");
    EXPECT_EQ(stored.at("playedc"), "0");
    EXPECT_EQ(stored.at("ticksc"), "10");
    EXPECT_EQ(stored.at("parc"), "6100");
    EXPECT_EQ(stored.at("pardealc"), "17");
    EXPECT_EQ(stored.at("parscorec"), "5000");
    EXPECT_EQ(stored.at("parpointsc"), "5004");
    EXPECT_EQ(stored.at("pard"), "3003");
    EXPECT_EQ(stored.at("parscored"), "-12");
    EXPECT_EQ(stored.at("assisteda"), "0");
    EXPECT_EQ(stored.at("deal"), "2147483647");
    EXPECT_EQ(stored.at("level"), "4");
    EXPECT_EQ(FromMap(stored), statistics);
    EXPECT_EQ(LastGamePar(FromMap(stored))->Par, 3003);
    EXPECT_EQ(FromMap({}), Statistics{});
}

// Each damaged value reads as 0 on its own; its neighbours keep theirs.
TEST(Statistics, DamagedValuesReadAsZero) {
    Statistics good;
    for (int level = 1; level <= 4; ++level) {
        RecordGame(good, {level, GameEnd::Won, 100 * level, 10, 5});
        RecordGame(good, {level, GameEnd::Lost, -7, 10, 6});
        RecordGame(good, {level, GameEnd::Lost, 40, 10, 6, true});
        RecordPar(good, level, 6, 1000 * level, 40);
    }
    const std::pair<const char*, const char*> damage[] = {
        {"playeda", "abc"},   {"wonb", ""},       {"lostc", "12x"},     {"streakd", "-3"},
        {"ticksa", "99999999999999999999"},        {"bestb", "1.5"},     {"totalc", "+40"},
        {"longestd", "0x10"}, {"lasta", "- 7"},   {"deal", "0"},
        {"assistedb", "-1"},  {"parc", "1e3"},    {"pardeald", " 6"},   {"parscorea", "40 "},
        {"level", "5"},
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

namespace {

// Figures at the end of their range stay there: a count that wrapped round would be read
// back as damage and set to 0, and a total would change its sign.
TEST(Statistics, FiguresAtTheEndOfTheirRangeStayThere) {
    constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
    const FinishedGame won{1, GameEnd::Won, 10, 5, 1};
    const FinishedGame lost{1, GameEnd::Lost, -10, 5, 1};
    const FinishedGame hinted{1, GameEnd::Won, 10, 5, 1, true};
    using L = LevelStatistics;
    const struct {
        const char* name;
        LevelStatistics before;
        FinishedGame game;
        std::int64_t LevelStatistics::*figure;
        std::int64_t expected;
    } cases[] = {
        {"played", {.Played = Max}, won, &L::Played, Max},
        {"won", {.Played = 1, .Won = Max}, won, &L::Won, Max},
        {"lost", {.Played = 1, .Lost = Max}, lost, &L::Lost, Max},
        {"streak", {.Played = 1, .Streak = Max, .Longest = Max}, won, &L::Streak, Max},
        {"longest", {.Played = 1, .Streak = Max, .Longest = Max}, won, &L::Longest, Max},
        {"total up", {.Played = 1, .Total = Max - 5}, won, &L::Total, Max},
        {"total down", {.Played = 1, .Total = Min + 5}, lost, &L::Total, Min},
        {"time", {.Played = 1, .Ticks = Max - 1}, won, &L::Ticks, Max},
        {"time of a hinted game", {.Ticks = Max}, hinted, &L::Ticks, Max},
        {"hinted games", {.Assisted = Max}, hinted, &L::Assisted, Max},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Statistics statistics;
        statistics.Levels[0] = c.before;
        RecordGame(statistics, c.game);
        EXPECT_EQ(statistics.Levels[0].*c.figure, c.expected);
        // And so they read back from the file.
        EXPECT_EQ(FromMap(AsMap(statistics)).Levels[0].*c.figure, c.expected);
    }
    LevelStatistics full{.Played = 1, .Won = Max, .Total = Max};
    EXPECT_EQ(full.Average(), Max);
    EXPECT_GT(full.WinRate(), 100);
}

} // namespace
