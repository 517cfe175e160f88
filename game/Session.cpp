#include "game/Session.h"

#include "game/Deal.h"

#include <algorithm>
#include <charconv>
#include <sstream>

TGameSession::TGameSession(TSessionHost& host, RandomSource& random) : m_host(host), m_random(random) {}

void TGameSession::Restore(const TSessionState& state) {
    m_state = state;
    m_hand = -1;
    m_undo.clear();
    m_redo.clear();
}

void TGameSession::SetLevel(int level) {
    ::SetLevel(m_state.Game, level);
}

void TGameSession::LayDeal(std::int32_t number) {
    // Every fresh deal is a numbered one, so it can be played again.
    if (number <= 0) number = static_cast<std::int32_t>(MinDealNumber + m_random.Random(MaxDealNumber));
    m_state.Deal = std::clamp(number, MinDealNumber, MaxDealNumber);
    StartDeal(m_state.Game, DealByNumber(m_state.Deal));
    m_state.Assisted = false;
    m_state.TookBack = false;
    m_state.Line.clear();
    m_hand = -1;
    m_undo.clear();
    m_redo.clear();
    m_host.DealLaid();
    m_host.Show(TChange::Score);
    m_host.Show(TChange::Toolbar);
}

void TGameSession::FirstDeal(std::int32_t number) {
    LayDeal(number);
    Evaluate();
}

void TGameSession::Evaluate() {
    const PositionSet evaluated = EvaluatePatterns(m_state.Game);
    for (int i = 1; i <= m_state.Game.PatternCount; ++i)
        if (evaluated.test(i)) m_host.Show(TChange::Pattern, i);
}

void TGameSession::Touch() {
    if (State() != gsNotStarted) return;
    m_state.Game.GameState = gsRunning;
    m_host.Show(TChange::Started);
}

bool TGameSession::Lift(int stack) {
    Touch();
    if (State() != gsRunning || m_hand >= 0) return false;
    if (stack < 0 || stack >= StackTotal || m_state.Game.StackCount[stack] == 0) return false;
    m_host.Play(TSound::Up);
    m_hand = stack;
    return true;
}

void TGameSession::CancelLift() {
    if (m_hand < 0) return;
    const int stack = m_hand;
    m_hand = -1;
    m_host.Show(TChange::Stack, stack);
}

void TGameSession::Drop(int target) {
    if (m_hand < 0) return;
    const int stack = m_hand;
    m_hand = -1;
    switch (JudgeDrop(m_state.Game, target)) {
    case DropVerdict::Beside:
        m_host.Play(TSound::Wrong);
        m_host.Show(TChange::Stack, stack);
        return;
    case DropVerdict::JokerRule:
        m_host.Show(TChange::Stack, stack);
        m_host.Play(TSound::Wrong);
        m_host.Tell(TGameMessage::JokerRule);
        return;
    case DropVerdict::Accepted:
        break;
    }
    m_host.Play(TSound::Down);
    Remember();
    ApplyDrop(m_state.Game, stack, target);
    m_state.Line.push_back({false, stack, target, 0});
    m_host.Show(TChange::RowCard, target);
    m_host.Show(TChange::Stack, stack);
    Evaluate();
    CheckEnd();
}

void TGameSession::Claim(int position) {
    Touch();
    if (State() != gsRunning || m_hand >= 0) return;
    const int points = ClaimValue(m_state.Game, position); // halved while the joker lies in the row
    if (points < 0) return;
    m_host.Play(TSound::Take);
    m_host.ClaimFlash(position, points);
    Remember();
    ApplyClaim(m_state.Game, position, points);
    m_state.Line.push_back({true, 0, 0, position});
    m_host.Show(TChange::Score);
    for (int i = 1; i <= m_state.Game.PatternCount; ++i)
        m_host.Show(TChange::Pattern, i);
    CheckEnd();
}

bool TGameSession::Tick() {
    return ClockStep(m_state.Game);
}

void TGameSession::TogglePause() {
    if (State() == gsRunning) {
        m_state.Game.GameState = gsPaused;
        m_host.Show(TChange::Paused);
    } else if (State() == gsPaused) {
        m_state.Game.GameState = gsRunning;
        m_host.Show(TChange::Paused);
    }
    m_host.Show(TChange::Toolbar);
}

void TGameSession::CheckEnd() {
    const EndVerdict verdict = JudgeEnd(m_state.Game);
    if (verdict == EndVerdict::Won) {
        // The cards left in the stacks are collected one by one for their bonus.
        while (m_state.Game.CardsInStacks() > 0) {
            m_host.Play(TSound::Collect);
            const int s = CollectNext(m_state.Game);
            m_host.Show(TChange::Stack, s);
            m_host.Show(TChange::Score);
            m_host.Wait(120);
        }
        End(GameEnd::Won);
    } else if (verdict == EndVerdict::Lost) {
        End(GameEnd::Lost);
    } else {
        m_host.Show(TChange::Toolbar);
    }
}

FinishedGame TGameSession::Finished(GameEnd end) const {
    const GameData& g = m_state.Game;
    return {g.Level, end, g.Score, g.ClockTicks, m_state.Deal, m_state.Assisted};
}

void TGameSession::End(GameEnd end) {
    GameData& g = m_state.Game;
    if (g.GameState == gsPaused) {
        // A paused game dropped for another level is counted, without a word: nobody was
        // playing it.
        m_host.Record(Finished(end));
        return;
    }
    g.GameState = end == GameEnd::Won ? gsWon : gsLost;
    m_host.GameOver(g.Score);
    // A failed write has been told by the store; the figures are simply not claimed as saved.
    m_host.Record(Finished(end));
    if (end == GameEnd::Won) m_host.Play(TSound::Done);
    if (end == GameEnd::Lost || end == GameEnd::GivenUp) m_host.Play(TSound::Lost);
    if (end == GameEnd::Won) m_host.Tell(TGameMessage::Won);
    if (end == GameEnd::Lost) m_host.Tell(TGameMessage::Lost);
    // A game played with hints does not compete, and nothing is offered once the desktop
    // ended the program while a message was up.
    if (g.Score > 0 && !m_state.Assisted && !m_closing) m_host.OfferHighscore(g.Score);
    if (end == GameEnd::GivenUp || end == GameEnd::LevelChanged) {
        g.Score = 0;
        m_host.Show(TChange::Score);
    }
    if (end != GameEnd::Mixed) m_host.Show(TChange::Toolbar);
}

bool TGameSession::AskToDrop() {
    // Only the player's yes drops the game. When the desktop ends the program while the
    // question waits, the question ends without an answer and the close has counted the game.
    return m_host.Ask(TQuestion::DropGame) && !m_closing;
}

void TGameSession::GiveUp() {
    if (State() != gsRunning || !AskToDrop()) return;
    End(GameEnd::GivenUp);
}

void TGameSession::NewDeal(std::int32_t number) {
    if (State() == gsPaused) return;
    if (State() == gsRunning) {
        if (!AskToDrop()) return;
        End(GameEnd::Mixed);
    }
    m_host.Play(TSound::Mix);
    LayDeal(number);
    m_host.Show(TChange::Table);
    Evaluate();
}

bool TGameSession::ChangeLevel(int level) {
    if (level == m_state.Game.Level || m_closing) return false;
    if (State() == gsRunning) {
        if (!AskToDrop()) return false; // the game goes on at its level
        End(GameEnd::LevelChanged);
    } else if (State() == gsPaused) {
        End(GameEnd::LevelChanged);
    }
    SetLevel(level);
    m_host.Show(TChange::Level);
    m_host.Play(TSound::Mix);
    LayDeal(0);
    m_host.Show(TChange::Table);
    Evaluate();
    return true;
}

bool TGameSession::AskToLeave() {
    if (!m_host.Ask(TQuestion::Leave)) return false;
    if (State() == gsRunning && m_state.Game.Score > 0 && !m_state.Assisted && !m_closing)
        m_host.OfferHighscore(m_state.Game.Score);
    return true;
}

std::optional<FinishedGame> TGameSession::OpenAtClose() const {
    if (!GameCounts(State())) return std::nullopt;
    return Finished(State() == gsPaused ? GameEnd::PausedClosed : GameEnd::Closed);
}

bool TGameSession::HintPossible() const {
    return (State() == gsNotStarted || State() == gsRunning) && JudgeEnd(m_state.Game) == EndVerdict::Playing;
}

// ---- taking moves back -------------------------------------------------------------------

void TGameSession::Remember() {
    m_undo.push_back(m_state);
    m_redo.clear();
}

bool TGameSession::CanUndo() const {
    return State() == gsRunning && m_hand < 0 && !m_undo.empty();
}

bool TGameSession::CanRedo() const {
    return State() == gsRunning && m_hand < 0 && !m_redo.empty();
}

void TGameSession::Return(TSessionState state) {
    // The time played stays played: the points the clock took since stay taken.
    const int ticks = m_state.Game.ClockTicks;
    state.Game.Score -= ticks / TicksPerPoint - state.Game.ClockTicks / TicksPerPoint;
    state.Game.ClockTicks = ticks;
    state.Game.GameState = gsRunning;
    const bool told = m_state.TookBack;
    state.Assisted = true;
    state.TookBack = true;
    m_state = state;
    m_host.Show(TChange::Table);
    m_host.Show(TChange::Score);
    m_host.Show(TChange::Toolbar);
    if (!told) m_host.Tell(TGameMessage::TakenBack);
}

bool TGameSession::Undo() {
    if (!CanUndo()) return false;
    m_redo.push_back(m_state);
    TSessionState before = m_undo.back();
    m_undo.pop_back();
    Return(before);
    return true;
}

bool TGameSession::Redo() {
    if (!CanRedo()) return false;
    m_undo.push_back(m_state);
    TSessionState after = m_redo.back();
    m_redo.pop_back();
    Return(after);
    return true;
}

// ---- a game kept over a close ----------------------------------------------------------------

void TGameSession::Resume(const TSessionState& state) {
    Restore(state);
    m_state.Game.GameState = gsPaused;
    m_host.DealLaid();
    m_host.Show(TChange::Level);
    m_host.Show(TChange::Table);
    m_host.Show(TChange::Score);
    m_host.Show(TChange::Toolbar);
}

namespace {

constexpr const char* StoredVersion = "1";

std::optional<long long> Number(const std::string& text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

} // namespace

std::vector<std::pair<std::string, std::string>> StoredGameKeys(const TSessionState& state) {
    std::string line;
    for (const TLineMove& m : state.Line) {
        if (!line.empty()) line += ' ';
        line += m.Claim ? "c" + std::to_string(m.Position)
                        : "d" + std::to_string(m.Stack + 1) + "." + std::to_string(m.Target + 1);
    }
    const GameData& g = state.Game;
    return {{"version", StoredVersion},
            {"deal", std::to_string(state.Deal)},
            {"level", std::to_string(g.Level)},
            {"ticks", std::to_string(g.ClockTicks)},
            {"assisted", state.Assisted ? "1" : "0"},
            {"tookback", state.TookBack ? "1" : "0"},
            {"moves", line}};
}

std::optional<TSessionState>
GameFromKeys(const std::function<std::optional<std::string>(const std::string&)>& lookup) {
    auto number = [&](const char* key) -> std::optional<long long> {
        const auto text = lookup(key);
        return text ? Number(*text) : std::nullopt;
    };
    const auto version = lookup("version");
    const auto deal = number("deal"), level = number("level"), ticks = number("ticks");
    const auto assisted = number("assisted"), tookBack = number("tookback");
    const auto moves = lookup("moves");
    if (!version || *version != StoredVersion || !deal || !level || !ticks || !assisted || !tookBack ||
        !moves)
        return std::nullopt;
    if (*deal < MinDealNumber || *deal > MaxDealNumber || *level < 1 || *level > 4 || *ticks < 0 ||
        *ticks > 100'000'000 || (*assisted != 0 && *assisted != 1) || (*tookBack != 0 && *tookBack != 1))
        return std::nullopt;
    TSessionState s;
    s.Deal = static_cast<std::int32_t>(*deal);
    s.Assisted = *assisted == 1 || *tookBack == 1;
    s.TookBack = *tookBack == 1;
    GameData& g = s.Game;
    ::SetLevel(g, static_cast<int>(*level));
    StartDeal(g, DealByNumber(s.Deal));
    EvaluatePatterns(g);
    g.GameState = gsRunning;
    // The line is played again by the rules; any move they refuse, or a game that ends on the
    // way, and nothing is resumed.
    std::istringstream in(*moves);
    std::string word;
    while (in >> word) {
        if (JudgeEnd(g) != EndVerdict::Playing) return std::nullopt;
        TLineMove m;
        if (word[0] == 'c') {
            const auto p = Number(word.substr(1));
            if (!p || *p < 1 || *p > g.PatternCount) return std::nullopt;
            m = {true, 0, 0, static_cast<int>(*p)};
            const int points = ClaimValue(g, m.Position);
            if (points < 0) return std::nullopt;
            ApplyClaim(g, m.Position, points);
        } else if (word[0] == 'd' && word.find('.') != std::string::npos) {
            const auto dot = word.find('.');
            const auto stack = Number(word.substr(1, dot - 1)), target = Number(word.substr(dot + 1));
            if (!stack || !target || *stack < 1 || *stack > StackTotal || *target < 1 || *target > RowSize)
                return std::nullopt;
            m = {false, static_cast<int>(*stack - 1), static_cast<int>(*target - 1), 0};
            if (g.StackCount[m.Stack] == 0 || JudgeDrop(g, m.Target) != DropVerdict::Accepted)
                return std::nullopt;
            ApplyDrop(g, m.Stack, m.Target);
            EvaluatePatterns(g);
        } else {
            return std::nullopt;
        }
        s.Line.push_back(m);
    }
    if (JudgeEnd(g) != EndVerdict::Playing) return std::nullopt;
    // The clock's points, as they were taken while it ran.
    g.ClockTicks = static_cast<int>(*ticks);
    g.Score -= g.ClockTicks / TicksPerPoint;
    g.GameState = gsPaused;
    return s;
}
