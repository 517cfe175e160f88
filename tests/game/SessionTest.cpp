#include "game/Session.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// Writes down what the game asks, tells, plays, records and offers; what it draws is left out.
class TRecordingHost : public TSessionHost {
  public:
    std::vector<std::string> Log;
    bool Yes = true;
    std::function<void()> WhileAsking;

    bool Ask(TQuestion q) override {
        Log.push_back(q == TQuestion::Leave ? "ask leave" : "ask drop");
        if (WhileAsking) WhileAsking();
        return Yes;
    }
    void Tell(TGameMessage m) override {
        const char* names[] = {"joker rule", "won", "lost", "taken back"};
        Log.push_back(std::string("tell ") + names[static_cast<int>(m)]);
    }
    void Play(TSound s) override {
        const char* names[] = {"up", "down", "wrong", "take", "collect", "done", "lost", "mix"};
        Log.push_back(std::string("play ") + names[static_cast<int>(s)]);
    }
    void Show(TChange, int) override {}
    void ClaimFlash(int, int) override {}
    void Wait(int) override {}
    void DealLaid() override { Log.push_back("dealt"); }
    void GameOver(int score) override { Log.push_back("over " + std::to_string(score)); }
    void Record(const FinishedGame& g) override {
        const char* ends[] = {"won", "lost", "given up", "mixed", "level", "closed", "paused closed"};
        Log.push_back(std::string("record ") + ends[static_cast<int>(g.End)] + " " + std::to_string(g.Score) +
                      (g.Assisted ? " assisted" : ""));
    }
    void OfferHighscore(int score) override { Log.push_back("offer " + std::to_string(score)); }
};

struct SessionFixture {
    TRecordingHost host;
    GameRandom random{7};
    TGameSession session{host, random};

    SessionFixture() {
        session.SetLevel(1);
        session.FirstDeal(4242);
        host.Log.clear();
    }
    GameData& g() { return session.EditGame(); }
    // Every pattern claimed but the first, which is offered: claiming it wins.
    void OneClaimFromWinning() {
        for (int i = 2; i <= g().PatternCount; ++i)
            g().PatternState[i] = TPatternState::Claimed;
        g().PatternState[1] = TPatternState::Offered;
    }
    // One card left, in stack 0, and a pattern open: dropping it loses.
    void OneDropFromLosing() {
        for (int s = 1; s < StackTotal; ++s)
            g().StackCount[s] = 0;
        g().StackCount[0] = 1;
        g().Stacks[0][0] = MakeCard(0, 2);
        g().JokerPos = -1;
        for (int i = 1; i <= g().PatternCount; ++i)
            g().PatternState[i] = TPatternState::Claimed;
        g().PatternState[1] = TPatternState::Open;
    }
};

using Steps = std::vector<std::string>;

TEST(Session, EveryWayAGameEnds) {
    struct Case {
        const char* name;
        std::function<void(SessionFixture&)> setUp;
        std::function<void(TGameSession&)> act;
        bool yes;
        Steps log;
        TGameState state;
        int score;
    };
    const auto running = [](int score) {
        return [score](SessionFixture& f) {
            f.session.Touch();
            f.g().Score = score;
        };
    };
    const Case cases[] = {
        {"won by the last claim, the cards left collected",
         [](SessionFixture& f) {
             f.session.Touch();
             f.g().Score = 100;
             f.OneClaimFromWinning();
             for (int s = 0; s < StackTotal; ++s)
                 f.g().StackCount[s] = s < 2 ? 1 : 0;
         },
         [](TGameSession& s) { s.Claim(1); },
         true,
         {"play take", "play collect", "play collect", "over P", "record won P", "play done", "tell won",
          "offer P"},
         gsWon,
         -1},
        {"lost by the last drop",
         [](SessionFixture& f) {
             f.session.Touch();
             f.g().Score = 40;
             f.OneDropFromLosing();
         },
         [](TGameSession& s) {
             s.Lift(0);
             s.Drop(2);
         },
         true,
         {"play up", "play down", "over 40", "record lost 40", "play lost", "tell lost", "offer 40"},
         gsLost,
         40},
        {"given up",
         running(55),
         [](TGameSession& s) { s.GiveUp(); },
         true,
         {"ask drop", "over 55", "record given up 55", "play lost", "offer 55"},
         gsLost,
         0},
        {"give-up declined",
         running(55),
         [](TGameSession& s) { s.GiveUp(); },
         false,
         {"ask drop"},
         gsRunning,
         55},
        {"dropped for a new deal",
         running(30),
         [](TGameSession& s) { s.NewDeal(); },
         true,
         {"ask drop", "over 30", "record mixed 30", "offer 30", "play mix", "dealt"},
         gsNotStarted,
         0},
        {"new deal declined",
         running(30),
         [](TGameSession& s) { s.NewDeal(); },
         false,
         {"ask drop"},
         gsRunning,
         30},
        {"dropped for another level",
         running(20),
         [](TGameSession& s) { s.ChangeLevel(3); },
         true,
         {"ask drop", "over 20", "record level 20", "offer 20", "play mix", "dealt"},
         gsNotStarted,
         0},
        {"paused, then another level: counted without a question",
         [](SessionFixture& f) {
             f.session.Touch();
             f.g().Score = 20;
             f.session.TogglePause();
         },
         [](TGameSession& s) { s.ChangeLevel(2); },
         true,
         {"record level 20", "play mix", "dealt"},
         gsNotStarted,
         0},
        {"a new deal while paused does nothing",
         [](SessionFixture& f) {
             f.session.Touch();
             f.session.TogglePause();
         },
         [](TGameSession& s) { s.NewDeal(); },
         true,
         {},
         gsPaused,
         0},
        {"no score, nothing offered",
         running(-5),
         [](TGameSession& s) { s.GiveUp(); },
         true,
         {"ask drop", "over -5", "record given up -5", "play lost"},
         gsLost,
         0},
        {"an assisted game is not offered",
         [](SessionFixture& f) {
             f.session.Touch();
             f.g().Score = 70;
             f.session.MarkAssisted();
         },
         [](TGameSession& s) { s.GiveUp(); },
         true,
         {"ask drop", "over 70", "record given up 70 assisted", "play lost"},
         gsLost,
         0},
        {"a fresh deal nobody touched cannot be given up",
         [](SessionFixture&) {},
         [](TGameSession& s) { s.GiveUp(); },
         true,
         {},
         gsNotStarted,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SessionFixture f;
        c.setUp(f);
        f.host.Log.clear();
        f.host.Yes = c.yes;
        c.act(f.session);
        Steps want = c.log;
        // "P": the won game's score, which the collected cards decide.
        for (std::string& step : want)
            if (const auto p = step.find('P'); p != std::string::npos && step.rfind("play", 0) != 0)
                step.replace(p, 1, std::to_string(f.session.Game().Score));
        EXPECT_EQ(f.host.Log, want);
        EXPECT_EQ(f.session.State(), c.state);
        if (c.score >= 0) {
            EXPECT_EQ(f.session.Game().Score, c.score);
        }
    }
}

TEST(Session, TheDesktopEndingTheProgramDuringAQuestionEndsNothing) {
    // The close that follows counts the game once; the question must not count it again.
    for (auto act : std::vector<std::function<void(TGameSession&)>>{
             [](TGameSession& s) { s.GiveUp(); }, [](TGameSession& s) { s.NewDeal(); },
             [](TGameSession& s) { s.ChangeLevel(4); }}) {
        SessionFixture f;
        f.session.Touch();
        f.g().Score = 80;
        f.host.WhileAsking = [&] { f.session.Closing(); };
        act(f.session);
        EXPECT_EQ(f.host.Log, Steps{"ask drop"});
        EXPECT_EQ(f.session.State(), gsRunning);
        ASSERT_TRUE(f.session.OpenAtClose().has_value());
        EXPECT_EQ(f.session.OpenAtClose()->End, GameEnd::Closed);
    }
}

TEST(Session, LeavingAndClosing) {
    SessionFixture f;
    EXPECT_FALSE(f.session.OpenAtClose()) << "a deal nobody touched is not a game";
    f.session.Touch();
    f.g().Score = 12;
    f.host.Yes = false;
    EXPECT_FALSE(f.session.AskToLeave());
    f.host.Yes = true;
    EXPECT_TRUE(f.session.AskToLeave());
    EXPECT_EQ(f.host.Log, (Steps{"ask leave", "ask leave", "offer 12"}));
    EXPECT_EQ(f.session.OpenAtClose()->End, GameEnd::Closed);
    f.session.TogglePause();
    EXPECT_EQ(f.session.OpenAtClose()->End, GameEnd::PausedClosed);
    EXPECT_EQ(f.session.OpenAtClose()->Deal, 4242);
}

TEST(Session, DropsTheCardInHandWhereTheRulesAllow) {
    SessionFixture f;
    EXPECT_TRUE(f.session.Lift(3)) << "lifting starts a fresh game";
    EXPECT_EQ(f.session.State(), gsRunning);
    EXPECT_FALSE(f.session.Lift(1)) << "one card in hand at a time";
    const CardCode card = f.session.Game().TopCard(3);
    const int before = f.session.Game().StackCount[3];
    f.session.Drop(-1);
    EXPECT_EQ(f.session.Game().StackCount[3], before) << "beside the row it goes back";
    EXPECT_EQ(f.session.Hand(), -1);
    f.session.Lift(3);
    f.session.Drop(2);
    EXPECT_EQ(f.session.Game().Row[2], card);
    EXPECT_EQ(f.session.Game().StackCount[3], before - 1);
    EXPECT_EQ(f.host.Log, (Steps{"play up", "play wrong", "play up", "play down"}));
    f.session.Drop(1);
    EXPECT_EQ(f.host.Log.size(), 4u) << "nothing in hand, nothing dropped";
}

TEST(Session, ASnapshotRestoresTheGameExactly) {
    SessionFixture f;
    // A few moves in: drops on every position, a claim when one is offered.
    for (int k = 0; k < 8; ++k) {
        f.session.Lift(k % StackTotal);
        f.session.Drop(k % RowSize);
        for (int i = 1; i <= f.session.Game().PatternCount; ++i)
            if (IsOffered(f.session.Game().PatternState[i])) {
                f.session.Claim(i);
                break;
            }
        for (int t = 0; t < 7; ++t)
            f.session.Tick();
    }
    const TSessionState saved = f.session.Snapshot();
    ASSERT_EQ(saved.Game.GameState, gsRunning);
    auto playOn = [&] {
        for (int k = 0; k < 5; ++k) {
            f.session.Lift((k + 2) % StackTotal);
            f.session.Drop((k + 1) % RowSize);
            f.session.Tick();
        }
        return f.session.Snapshot();
    };
    const TSessionState first = playOn();
    EXPECT_NE(first, saved);
    f.session.Restore(saved);
    EXPECT_EQ(f.session.Snapshot(), saved);
    EXPECT_EQ(playOn(), first) << "the same moves from the restored game lead to the same game";
}

// Plays moves until the session has made a drop and a claim after it, and returns the states
// before each move.
struct PlayedMoves {
    std::vector<TSessionState> before; // before move k
    TSessionState end;
};

PlayedMoves PlayADropAndAClaim(SessionFixture& f) {
    PlayedMoves played;
    bool claimed = false;
    for (int k = 0; k < 60 && !claimed && f.session.State() != gsLost; ++k) {
        for (int i = 1; i <= f.session.Game().PatternCount && !claimed && !played.before.empty(); ++i)
            if (IsOffered(f.session.Game().PatternState[i])) {
                played.before.push_back(f.session.Snapshot());
                f.session.Claim(i);
                claimed = true;
            }
        if (claimed) break;
        played.before.push_back(f.session.Snapshot());
        if (!f.session.Lift(k % StackTotal)) {
            played.before.pop_back();
            continue;
        }
        f.session.Drop(k % RowSize);
        if (f.session.Snapshot().Game == played.before.back().Game)
            played.before.pop_back(); // the joker rule
    }
    played.end = f.session.Snapshot();
    return played;
}

TEST(Session, UndoTakesBackDropsAndClaimsButNotTheClock) {
    SessionFixture f;
    EXPECT_FALSE(f.session.Undo()) << "nothing to take back before the first move";
    const PlayedMoves played = PlayADropAndAClaim(f);
    ASSERT_GE(played.before.size(), 2u);
    ASSERT_EQ(f.session.State(), gsRunning);
    f.host.Log.clear();
    for (int t = 0; t < 9; ++t)
        f.session.Tick(); // three points go to the clock
    // Back through the claim and every drop, to the deal as it was first touched.
    for (size_t k = played.before.size(); k-- > 0;) {
        SCOPED_TRACE(k);
        ASSERT_TRUE(f.session.Undo());
        TSessionState want = played.before[k];
        const GameData& now = f.session.Game();
        EXPECT_EQ(now.Row, want.Game.Row);
        EXPECT_EQ(now.StackCount, want.Game.StackCount);
        EXPECT_EQ(now.PatternState, want.Game.PatternState);
        EXPECT_EQ(now.JokerPos, want.Game.JokerPos);
        EXPECT_EQ(now.ClockTicks, played.end.Game.ClockTicks + 9) << "the clock is not taken back";
        EXPECT_EQ(now.Score, want.Game.Score - (now.ClockTicks / 3 - want.Game.ClockTicks / 3));
        EXPECT_TRUE(f.session.Assisted());
    }
    EXPECT_FALSE(f.session.Undo()) << "not past the deal's start";
    EXPECT_EQ(f.host.Log, Steps{"tell taken back"}) << "the player is told once";
    // Redo plays the moves again, up to the claim.
    while (f.session.Redo()) {
    }
    EXPECT_EQ(f.session.Game().PatternState, played.end.Game.PatternState);
    EXPECT_EQ(f.session.Game().Row, played.end.Game.Row);
    // A new move ends what can be redone.
    f.session.Undo();
    ASSERT_TRUE(f.session.CanRedo());
    for (int s = 0; s < StackTotal && f.session.CanRedo(); ++s)
        if (f.session.Lift(s)) f.session.Drop(0);
    EXPECT_FALSE(f.session.CanRedo());
}

TEST(Session, UndoOnlyWhileTheGameRunsWithNothingInHand) {
    SessionFixture f;
    PlayADropAndAClaim(f);
    ASSERT_TRUE(f.session.CanUndo());
    ASSERT_TRUE(f.session.Lift(0) || f.session.Lift(1));
    EXPECT_FALSE(f.session.Undo()) << "a card in hand";
    f.session.Drop(-1);
    f.session.TogglePause();
    EXPECT_FALSE(f.session.Undo()) << "paused";
    f.session.TogglePause();
    f.host.Yes = true;
    f.session.GiveUp();
    EXPECT_FALSE(f.session.Undo()) << "over";
    f.session.NewDeal();
    EXPECT_FALSE(f.session.CanUndo()) << "a new deal starts a new history";
    EXPECT_FALSE(f.session.Assisted());
}

TEST(Session, AGameWithAMoveTakenBackIsNotOffered) {
    SessionFixture f;
    PlayADropAndAClaim(f);
    f.session.Undo();
    f.session.EditGame().Score = 90;
    f.host.Log.clear();
    f.session.GiveUp();
    EXPECT_EQ(f.host.Log, (Steps{"ask drop", "over 90", "record given up 90 assisted", "play lost"}));
}

std::optional<TSessionState> FromMap(const std::map<std::string, std::string>& keys) {
    return GameFromKeys([&keys](const std::string& key) -> std::optional<std::string> {
        const auto it = keys.find(key);
        return it == keys.end() ? std::nullopt : std::optional<std::string>(it->second);
    });
}

std::map<std::string, std::string> KeysOf(const TSessionState& state) {
    std::map<std::string, std::string> keys;
    for (const auto& [key, value] : StoredGameKeys(state))
        keys[key] = value;
    return keys;
}

TEST(Session, AKeptGameComesBackPausedExactlyAsItWas) {
    SessionFixture f;
    PlayADropAndAClaim(f);
    for (int t = 0; t < 44; ++t)
        f.session.Tick();
    f.session.Undo();
    f.session.Redo();
    const TSessionState was = f.session.Snapshot();
    const auto back = FromMap(KeysOf(was));
    ASSERT_TRUE(back);
    TSessionState want = was;
    want.Game.GameState = gsPaused;
    EXPECT_EQ(*back, want);
    EXPECT_TRUE(back->Assisted) << "a move was taken back";
}

TEST(Session, AKeptGameThatNoPlayReachesIsDropped) {
    SessionFixture f;
    PlayADropAndAClaim(f);
    const auto good = KeysOf(f.session.Snapshot());
    ASSERT_TRUE(FromMap(good));
    const std::string line = good.at("moves");
    struct Case {
        const char* name;
        const char* key;
        std::string value;
    } cases[] = {
        {"another version", "version", "2"},
        {"no version", "version", ""},
        {"a level that does not exist", "level", "5"},
        {"a deal number out of range", "deal", "0"},
        {"a clock running backwards", "ticks", "-3"},
        {"not a number", "ticks", "12abc"},
        {"a flag neither set nor clear", "assisted", "2"},
        {"a claim of nothing offered", "moves", line + " c1 c1"},
        {"a stack that does not exist", "moves", "d6.1"},
        {"a row position that does not exist", "moves", "d1.5"},
        {"garbage in the line", "moves", line + " x"},
        {"a pattern out of range", "moves", "c99"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto keys = good;
        keys[c.key] = c.value;
        EXPECT_FALSE(FromMap(keys));
    }
    auto missing = good;
    missing.erase("moves");
    EXPECT_FALSE(FromMap(missing));
    // An edited flag cannot make a game with help compete again.
    auto helped = good;
    helped["tookback"] = "1";
    helped["assisted"] = "0";
    EXPECT_TRUE(FromMap(helped)->Assisted);
}

} // namespace
