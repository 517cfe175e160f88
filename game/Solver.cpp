#include "game/Solver.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <unordered_map>

namespace {

constexpr std::uint16_t AllValues = (1u << ValueCount) - 1;
constexpr int MaskCount = 1 << ValueCount;

// Facts about every set of values of one colour, worked out once: the search asks them
// millions of times.
struct MaskFacts {
    std::array<std::uint8_t, MaskCount> Size{};
    // Sums of the 3 or 4 highest and lowest values, -1 where the set holds fewer.
    std::array<std::int8_t, MaskCount> High3{}, High4{}, Low3{}, Low4{};
};

int ExtremeSum(unsigned mask, int n, bool highest) {
    int sum = 0;
    for (int i = 0; i < ValueCount && n > 0; ++i) {
        const int v = highest ? ValueCount - i : i + 1;
        if (mask & (1u << (v - 1))) {
            sum += v;
            --n;
        }
    }
    return n == 0 ? sum : -1;
}

const MaskFacts& Facts() {
    static const MaskFacts facts = [] {
        MaskFacts f;
        for (unsigned m = 0; m < MaskCount; ++m) {
            f.Size[m] = static_cast<std::uint8_t>(std::popcount(m));
            f.High3[m] = static_cast<std::int8_t>(ExtremeSum(m, 3, true));
            f.High4[m] = static_cast<std::int8_t>(ExtremeSum(m, 4, true));
            f.Low3[m] = static_cast<std::int8_t>(ExtremeSum(m, 3, false));
            f.Low4[m] = static_cast<std::int8_t>(ExtremeSum(m, 4, false));
        }
        return f;
    }();
    return facts;
}

int Size(unsigned mask) { return Facts().Size[mask & AllValues]; }

constexpr std::uint16_t ValuesWhere(bool (*pred)(int)) {
    std::uint16_t mask = 0;
    for (int v = 1; v <= ValueCount; ++v)
        if (pred(v)) mask |= static_cast<std::uint16_t>(1u << (v - 1));
    return mask;
}

constexpr std::uint16_t OddValues = ValuesWhere([](int v) { return v % 2 == 1; });
constexpr std::uint16_t EvenValues = ValuesWhere([](int v) { return v % 2 == 0; });
constexpr std::uint16_t ThreesValues = ValuesWhere([](int v) { return v % 3 == 0; });
constexpr std::uint16_t OnesValues = ValuesWhere([](int v) { return v == 1 || v == 11; });
constexpr std::uint16_t FoursValues = ValuesWhere([](int v) { return v % 4 == 0; });
constexpr std::uint16_t FourValue = ValuesWhere([](int v) { return v == 4; });

// Which rows are possible, by kind: four coloured cards, or three and the joker, each with or
// without one colour throughout. The best of the possible kinds pays.
struct Kinds {
    bool Plain = false, Bonus = false, PlainJoker = false, BonusJoker = false;
};

int PayFor(int id, Kinds k) {
    static const auto pays = [] {
        std::array<std::array<int, 2>, PatternIdCount + 1> p{};
        for (int i = 1; i <= PatternIdCount; ++i)
            p[i] = {ClaimPoints(i, false), ColourBonusPossible(i) ? ClaimPoints(i, true) : 0};
        return p;
    }();
    const auto& p = pays[id];
    int best = 0;
    if (k.Plain) best = std::max(best, p[0]);
    if (k.PlainJoker) best = std::max(best, p[0] / 2);
    if (k.Bonus) best = std::max(best, p[1]);
    if (k.BonusJoker) best = std::max(best, p[1] / 2);
    return best;
}

struct Summary {
    const CardSet& Set;
    bool Joker;
    int Coloured = 0;
    std::array<int, ValueCount + 1> Count{}; // colours holding value v, v = 1..13

    explicit Summary(const CardSet& set) : Set(set), Joker(set.Jokers > 0) {
        for (int c = 0; c < ColourCount; ++c) {
            Coloured += Size(set.Values[c]);
            for (unsigned m = set.Values[c]; m; m &= m - 1) ++Count[std::countr_zero(m) + 1];
        }
    }
    int MostOfOneValue() const { return *std::max_element(Count.begin() + 1, Count.end()); }
    int ValuesWithAtLeast(int n) const {
        return static_cast<int>(std::count_if(Count.begin() + 1, Count.end(), [n](int c) { return c >= n; }));
    }
};

// Every coloured card of the row drawn from the values in mask.
Kinds AllFrom(const Summary& s, std::uint16_t mask) {
    int total = 0, oneColour = 0;
    for (int c = 0; c < ColourCount; ++c) {
        const int n = Size(s.Set.Values[c] & mask);
        total += n;
        oneColour = std::max(oneColour, n);
    }
    return {total >= 4, oneColour >= 4, s.Joker && total >= 3, s.Joker && oneColour >= 3};
}

// The same over every colour, values counted as often as colours hold them.
int ExtremeSumAll(const Summary& s, int n, bool highest) {
    int sum = 0;
    for (int i = 0; i < ValueCount && n > 0; ++i) {
        const int v = highest ? ValueCount - i : i + 1;
        const int take = std::min(n, s.Count[v]);
        sum += take * v;
        n -= take;
    }
    return n == 0 ? sum : -1;
}

Kinds SumKinds(const Summary& s, bool bigger) {
    // Without the joker four values count; with it the three coloured ones, against a lower
    // limit for "bigger" (the joker counts as 13) and the same limit for "smaller".
    const auto ok = [bigger](int sum, bool joker) {
        if (sum < 0) return false;
        return bigger ? sum > (joker ? 31 : 44) : sum < 14;
    };
    Kinds k;
    k.Plain = ok(ExtremeSumAll(s, 4, bigger), false);
    k.PlainJoker = s.Joker && ok(ExtremeSumAll(s, 3, bigger), true);
    for (int c = 0; c < ColourCount; ++c) {
        const unsigned m = s.Set.Values[c];
        const MaskFacts& f = Facts();
        k.Bonus = k.Bonus || ok(bigger ? f.High4[m] : f.Low4[m], false);
        k.BonusJoker = k.BonusJoker || (s.Joker && ok(bigger ? f.High3[m] : f.Low3[m], true));
    }
    return k;
}

Kinds SequenceKinds(const Summary& s) {
    Kinds k;
    std::uint16_t any = 0;
    for (std::uint16_t m : s.Set.Values) any |= m;
    for (int m = 1; m <= ValueCount; ++m) {
        const std::uint16_t run = static_cast<std::uint16_t>((0xFu << (m - 1)) & AllValues);
        const std::uint16_t low = static_cast<std::uint16_t>(1u << (m - 1));
        // Four in a row from m; or m and two of the next three, the joker filling the third
        // (also above 13).
        const auto four = [&](std::uint16_t have) { return m <= 10 && (have & run) == run; };
        const auto three = [&](std::uint16_t have) {
            return (have & low) && Size(have & run & ~low) >= 2;
        };
        k.Plain = k.Plain || four(any);
        k.PlainJoker = k.PlainJoker || (s.Joker && three(any));
        for (std::uint16_t have : s.Set.Values) {
            k.Bonus = k.Bonus || four(have);
            k.BonusJoker = k.BonusJoker || (s.Joker && three(have));
        }
    }
    return k;
}

// The most colours that can each take a value no other of them takes.
int DistinctPairs(const std::array<std::uint16_t, ColourCount>& values) {
    std::array<int, ValueCount> owner;
    owner.fill(-1);
    std::function<bool(int, std::uint16_t&)> augment = [&](int c, std::uint16_t& seen) {
        for (int v = 0; v < ValueCount; ++v) {
            const std::uint16_t bit = static_cast<std::uint16_t>(1u << v);
            if (!(values[c] & bit) || (seen & bit)) continue;
            seen |= bit;
            if (owner[v] < 0 || augment(owner[v], seen)) {
                owner[v] = c;
                return true;
            }
        }
        return false;
    };
    int size = 0;
    for (int c = 0; c < ColourCount; ++c) {
        std::uint16_t seen = 0;
        if (augment(c, seen)) ++size;
    }
    return size;
}

Kinds KindsFor(int id, const Summary& s) {
    const bool four = s.Coloured >= 4, jokerRow = s.Joker && s.Coloured >= 3;
    const int most = s.MostOfOneValue();
    switch (id) {
    case 1: case 2: case 3: case 4: {
        const int n = Size(s.Set.Values[id - 1]);
        return {n >= 4, false, s.Joker && n >= 3, false};
    }
    case 5: return {four && most >= 2, false, jokerRow, false};
    case 6: return {four && most >= 3, false, jokerRow && most >= 2, false};
    case 7: return {four && (s.ValuesWithAtLeast(2) >= 2 || most >= 4), false, jokerRow && most >= 2, false};
    case 8: return {most >= 4, false, s.Joker && most >= 3, false};
    case 9: return SumKinds(s, true);
    case 10: return AllFrom(s, OddValues);
    case 11: return SumKinds(s, false);
    case 12: return AllFrom(s, EvenValues);
    case 13: return SequenceKinds(s);
    case 14: return AllFrom(s, ThreesValues);
    case 15: {
        const int pairs = DistinctPairs(s.Set.Values);
        return {pairs >= 4, false, s.Joker && pairs >= 3, false};
    }
    case 16: return AllFrom(s, OnesValues);
    case 17: return AllFrom(s, FoursValues);
    case 18: return AllFrom(s, FourValue);
    default: return {};
    }
}

// ---- the search ----

struct Node {
    std::array<CardCode, RowSize> Row{}; // as the cards lie
    std::array<std::int8_t, StackTotal> Height{};
    std::uint32_t Claimed = 0; // bit i - 1: pattern position i
    std::int32_t Points = 0;   // claimed so far
    std::int32_t Parent = -1;  // index in the previous layer
    std::int8_t Stack = -1, Target = -1; // the drop that led here
    std::int8_t ClaimPos = 0;            // the position claimed after it, 0 for none
};

struct Candidate {
    Node N;
    std::uint64_t Key = 0;
    double Rank = 0;
    int Bound = 0;
};

int CardIndex(CardCode card) { return IsJoker(card) ? 52 : ColourIndex(card) * ValueCount + ValueField(card); }

// Positions that differ only in where the row cards lie play alike: the key sorts the row.
std::uint64_t KeyOf(const Node& n) {
    std::array<int, RowSize> r;
    for (int q = 0; q < RowSize; ++q) r[q] = CardIndex(n.Row[q]);
    std::sort(r.begin(), r.end());
    std::uint64_t key = n.Claimed;
    for (int q = 0; q < RowSize; ++q) key = (key << 6) | static_cast<std::uint64_t>(r[q]);
    for (int s = 0; s < StackTotal; ++s) key = (key << 4) | static_cast<std::uint64_t>(n.Height[s]);
    return key;
}

class Search {
public:
    Search(const GameData& from, const SolverSettings& settings) : m_game(from), m_settings(settings) {
        m_count = from.PatternCount;
        for (int i = 1; i <= m_count; ++i) m_ids[i] = from.PatternIds[i];
        m_all = (m_count >= 32) ? ~0u : ((1u << m_count) - 1);
    }

    using Pays = std::array<int, MaxPatternCount + 1>; // by pattern position

    // What each unclaimed pattern could still pay from the cards.
    Pays MostFrom(const CardSet& cards, std::uint32_t claimed) const {
        Pays most{};
        const Summary s(cards);
        for (int i = 1; i <= m_count; ++i)
            if (!(claimed & (1u << (i - 1)))) most[i] = PayFor(m_ids[i], KindsFor(m_ids[i], s));
        return most;
    }

    // The bound on what is still to come: each unclaimed pattern at most once, at most one
    // claim per evaluation still to come, and the collecting bonus only when every pattern can
    // still be claimed before the stacks run out.
    int FutureBound(const Pays& most, std::uint32_t claimed, int left, bool claimNow) const {
        std::array<int, MaxPatternCount> best{};
        int open = 0;
        bool everyOne = true;
        for (int i = 1; i <= m_count; ++i) {
            if (claimed & (1u << (i - 1))) continue;
            best[open] = most[i];
            everyOne = everyOne && most[i] > 0;
            ++open;
        }
        // Every drop but the one that empties the stacks brings an evaluation.
        const int chances = (claimNow ? 1 : 0) + std::max(0, left - 1);
        int sum = 0;
        if (open <= chances) {
            for (int k = 0; k < open; ++k) sum += best[k];
            if (everyOne && open > 0) sum += PointsPerCollectedCard * (left - (open - (claimNow ? 1 : 0)));
        } else {
            std::sort(best.begin(), best.begin() + open, std::greater<>());
            for (int k = 0; k < chances; ++k) sum += best[k];
        }
        return sum;
    }

    CardSet CardsLeft(const std::array<CardCode, RowSize>& row, const std::array<std::int8_t, StackTotal>& height,
                      int depth) const {
        CardSet set;
        for (CardCode c : row) set.Add(c);
        for (int s = 0; s < StackTotal; ++s)
            for (int k = std::max(0, height[s] - depth); k < height[s]; ++k) set.Add(m_game.Stacks[s][k]);
        return set;
    }

    SolverResult Run();

private:
    void Offer(const Node& n, int points, bool won, int left, const std::vector<SolverMove>& tail);
    std::vector<SolverMove> PathTo(int layer, int index) const;
    void Expand(const Node& n, int index, std::vector<Candidate>& out);

    const GameData& m_game;
    SolverSettings m_settings;
    int m_count = 0;
    std::array<int, MaxPatternCount + 1> m_ids{};
    std::uint32_t m_all = 0;
    std::vector<std::vector<Node>> m_layers;
    int m_layer = 0; // the layer being expanded
    SolverResult m_best;
    int m_prunedBound = 0; // the best bound among positions the beam let go
    std::int64_t m_nodes = 0;
};

std::vector<SolverMove> Search::PathTo(int layer, int index) const {
    std::vector<SolverMove> moves;
    for (int l = layer; l >= 0 && index >= 0; --l) {
        const Node& n = m_layers[l][index];
        if (n.ClaimPos) moves.push_back(SolverMove::Claim(m_ids[n.ClaimPos], n.ClaimPos));
        if (n.Stack >= 0) moves.push_back(SolverMove::Drop(n.Stack, n.Target));
        index = n.Parent;
    }
    std::reverse(moves.begin(), moves.end());
    return moves;
}

// A finished play: the moves to the parent, then its own.
void Search::Offer(const Node& n, int points, bool won, int /*left*/, const std::vector<SolverMove>& tail) {
    if (points <= m_best.Points && !m_best.Moves.empty()) return;
    m_best.Moves = PathTo(m_layer, n.Parent);
    m_best.Moves.insert(m_best.Moves.end(), tail.begin(), tail.end());
    m_best.Points = points;
    m_best.Won = won;
}

void Search::Expand(const Node& parent, int index, std::vector<Candidate>& out) {
    int left = 0;
    for (int h : parent.Height) left += h;
    const int joker = FindJoker(parent.Row);
    const CardSet cards = CardsLeft(parent.Row, parent.Height, StackDepth);
    const int open = m_count - std::popcount(parent.Claimed);

    for (int t = 0; t < RowSize; ++t) {
        if (joker != -1 && t != joker) continue;
        CardSet after = cards;
        after.Remove(parent.Row[t]);
        // What each pattern could still pay from the cards that stay: shared by every stack.
        const Pays most = MostFrom(after, parent.Claimed);

        for (int s = 0; s < StackTotal; ++s) {
            if (parent.Height[s] == 0) continue;
            ++m_nodes;
            Node child = parent;
            child.Parent = index;
            child.Stack = static_cast<std::int8_t>(s);
            child.Target = static_cast<std::int8_t>(t);
            child.ClaimPos = 0;
            child.Row[t] = m_game.Stacks[s][parent.Height[s] - 1];
            --child.Height[s];
            const int nowLeft = left - 1;
            const std::vector<SolverMove> drop = {SolverMove::Drop(s, t)};
            if (nowLeft == 0) { // the last card: the game is lost, nothing more to claim
                Offer(child, parent.Points, false, 0, drop);
                continue;
            }

            const RowFacts facts = AnalyseRow(child.Row);
            const bool halved = FindJoker(child.Row) != -1;
            const Pays near = MostFrom(CardsLeft(child.Row, child.Height, m_settings.NearDepth), parent.Claimed);
            double potential = 0;
            for (int i = 1; i <= m_count; ++i)
                potential += m_settings.ReachableWeight * most[i] + m_settings.NearWeight * near[i];

            // Without a claim, then with each offer.
            for (int i = 0; i <= m_count; ++i) {
                Node n = child;
                double rank = potential;
                if (i > 0) {
                    if (parent.Claimed & (1u << (i - 1))) continue;
                    const TPatternState st = TestPattern(m_ids[i], facts);
                    if (!IsOffered(st)) continue;
                    int pay = ClaimPoints(m_ids[i], st == TPatternState::OfferedBonus);
                    if (halved) pay /= 2;
                    n.Points += pay;
                    n.Claimed |= 1u << (i - 1);
                    n.ClaimPos = static_cast<std::int8_t>(i);
                    rank -= m_settings.ReachableWeight * most[i] + m_settings.NearWeight * near[i];
                    if (n.Claimed == m_all) {
                        std::vector<SolverMove> tail = drop;
                        tail.push_back(SolverMove::Claim(m_ids[i], i));
                        Offer(child, n.Points + PointsPerCollectedCard * nowLeft, true, nowLeft, tail);
                        continue;
                    }
                }
                const int bound = n.Points + FutureBound(most, n.Claimed, nowLeft, false);
                if (bound <= m_best.Points) continue; // cannot do better than what is known
                const int stillOpen = open - (i > 0 ? 1 : 0);
                bool winnable = stillOpen < nowLeft;
                for (int p = 1; p <= m_count && winnable; ++p)
                    if (!(n.Claimed & (1u << (p - 1))) && most[p] == 0) winnable = false;
                if (winnable) rank += m_settings.WinWeight * PointsPerCollectedCard * (nowLeft - stillOpen);
                out.push_back({n, KeyOf(n), n.Points + rank, bound});
            }
        }
    }
}

SolverResult Search::Run() {
    Node root;
    root.Row = m_game.Row;
    for (int s = 0; s < StackTotal; ++s) root.Height[s] = static_cast<std::int8_t>(m_game.StackCount[s]);
    for (int i = 1; i <= m_count; ++i)
        if (m_game.PatternState[i] == TPatternState::Claimed) root.Claimed |= 1u << (i - 1);

    int left = m_game.CardsInStacks();
    bool claimNow = false;
    for (int i = 1; i <= m_count; ++i) claimNow = claimNow || IsOffered(m_game.PatternState[i]);
    const int rootBound =
        FutureBound(MostFrom(CardsLeft(root.Row, root.Height, StackDepth), root.Claimed), root.Claimed, left, claimNow);

    // The greedy play is the first known play: the search only follows what could beat it.
    m_best = SolveGreedy(m_game);

    // The first layer: the position itself, and each standing offer claimed.
    m_layers.push_back({root});
    for (int i = 1; i <= m_count; ++i) {
        const int pay = ClaimValue(m_game, i);
        if (pay < 0) continue;
        Node n = root;
        n.Points = pay;
        n.Claimed |= 1u << (i - 1);
        n.ClaimPos = static_cast<std::int8_t>(i);
        if (n.Claimed == m_all) {
            Offer(n, pay + PointsPerCollectedCard * left, true, left, {SolverMove::Claim(m_ids[i], i)});
            continue;
        }
        m_layers[0].push_back(n);
    }

    // Wider at the lower levels, where fewer patterns make each position cheaper to weigh: about
    // half a second of one core at every level.
    constexpr std::array<int, LevelCount> LevelWidths = {1200, 1000, 900, 800};
    int width = m_settings.BeamWidth;
    if (width <= 0) width = LevelWidths[ClampLevel(m_game.Level) - 1];

    std::vector<Candidate> candidates;
    std::unordered_map<std::uint64_t, int> seen;
    bool stopped = false;
    for (m_layer = 0; !m_layers[m_layer].empty(); ++m_layer) {
        if (m_settings.Stop && m_settings.Stop->load(std::memory_order_relaxed)) {
            stopped = true;
            break;
        }
        candidates.clear();
        const auto& layer = m_layers[m_layer];
        for (int k = 0; k < static_cast<int>(layer.size()); ++k) {
            // Each node is its own parent index while the path is read back.
            Expand(layer[k], k, candidates);
        }
        // One candidate per position: the one with the most points.
        seen.clear();
        seen.reserve(candidates.size() * 2);
        std::vector<Candidate> unique;
        unique.reserve(candidates.size());
        for (const Candidate& c : candidates) {
            if (c.Bound <= m_best.Points) continue;
            auto [it, fresh] = seen.try_emplace(c.Key, static_cast<int>(unique.size()));
            if (fresh) unique.push_back(c);
            else if (c.N.Points > unique[it->second].N.Points) unique[it->second] = c;
        }
        const auto better = [](const Candidate& a, const Candidate& b) {
            if (a.Rank != b.Rank) return a.Rank > b.Rank;
            return a.Key < b.Key;
        };
        if (static_cast<int>(unique.size()) > width) {
            std::nth_element(unique.begin(), unique.begin() + width, unique.end(), better);
            for (auto it = unique.begin() + width; it != unique.end(); ++it)
                m_prunedBound = std::max(m_prunedBound, it->Bound);
            unique.resize(width);
        }
        std::sort(unique.begin(), unique.end(), better);
        std::vector<Node> next;
        next.reserve(unique.size());
        for (const Candidate& c : unique) next.push_back(c.N);
        m_layers.push_back(std::move(next));
    }

    SolverResult result = m_best;
    result.Nodes = m_nodes;
    // Every play the beam let go could at most reach its bound; with none let go, the play
    // found is the best there is.
    result.Bound = stopped ? std::max(result.Points, rootBound)
                           : std::max(result.Points, std::min(rootBound, m_prunedBound));
    return result;
}

bool GameOver(const GameData& g) {
    return g.GameState == gsWon || g.GameState == gsLost || JudgeEnd(g) != EndVerdict::Playing;
}

} // namespace

int BestClaimFrom(int id, const CardSet& cards) {
    return PayFor(id, KindsFor(id, Summary(cards)));
}

int UpperBound(const GameData& from) {
    if (GameOver(from)) return 0;
    Search search(from, {});
    std::array<std::int8_t, StackTotal> height{};
    std::uint32_t claimed = 0;
    bool claimNow = false;
    for (int s = 0; s < StackTotal; ++s) height[s] = static_cast<std::int8_t>(from.StackCount[s]);
    for (int i = 1; i <= from.PatternCount; ++i) {
        if (from.PatternState[i] == TPatternState::Claimed) claimed |= 1u << (i - 1);
        claimNow = claimNow || IsOffered(from.PatternState[i]);
    }
    const CardSet cards = search.CardsLeft(from.Row, height, StackDepth);
    return search.FutureBound(search.MostFrom(cards, claimed), claimed, from.CardsInStacks(), claimNow);
}

SolverResult Solve(const GameData& from, const SolverSettings& settings) {
    if (GameOver(from)) return {};
    return Search(from, settings).Run();
}

SolverResult SolveGreedy(const GameData& from) {
    SolverResult result;
    if (GameOver(from)) return result;
    GameData g = from;
    const auto claimBest = [&]() {
        int best = 0, at = 0;
        for (int i = 1; i <= g.PatternCount; ++i)
            if (ClaimValue(g, i) > best) best = ClaimValue(g, i), at = i;
        if (at == 0) return;
        result.Moves.push_back(SolverMove::Claim(g.PatternIds[at], at));
        result.Points += best;
        ApplyClaim(g, at, best);
    };
    const auto bestOffer = [](GameData& t) {
        EvaluatePatterns(t);
        int best = 0;
        for (int i = 1; i <= t.PatternCount; ++i) best = std::max(best, ClaimValue(t, i));
        return best;
    };
    claimBest();
    while (JudgeEnd(g) == EndVerdict::Playing) {
        int bestPay = -1, bestStack = -1, bestTarget = -1;
        for (int s = 0; s < StackTotal; ++s) {
            if (g.StackCount[s] == 0) continue;
            for (int t = 0; t < RowSize; ++t) {
                if (JudgeDrop(g, t) != DropVerdict::Accepted) continue;
                GameData trial = g;
                ApplyDrop(trial, s, t);
                const int pay = bestOffer(trial);
                if (pay > bestPay) bestPay = pay, bestStack = s, bestTarget = t;
            }
        }
        ApplyDrop(g, bestStack, bestTarget);
        EvaluatePatterns(g);
        result.Moves.push_back(SolverMove::Drop(bestStack, bestTarget));
        ++result.Nodes;
        if (JudgeEnd(g) != EndVerdict::Playing) break;
        claimBest();
    }
    if (JudgeEnd(g) == EndVerdict::Won) {
        result.Won = true;
        result.Points += PointsPerCollectedCard * g.CardsInStacks();
    }
    result.Bound = UpperBound(from);
    return result;
}

std::string CardText(CardCode card) {
    if (IsJoker(card)) return "J";
    static constexpr char Letters[ColourCount] = {'R', 'G', 'B', 'V'};
    return Letters[ColourIndex(card)] + std::to_string(ValueField(card) + 1);
}

std::string SolutionText(std::int32_t deal, const GameData& dealt, const SolverResult& result) {
    std::string text = "deal " + std::to_string(deal) + " level " + std::to_string(dealt.Level) + "\nrow";
    for (CardCode card : dealt.Row) text += " " + CardText(card);
    text += "\n";
    for (int s = 0; s < StackTotal; ++s) {
        text += "stack " + std::to_string(s + 1);
        for (int k = 0; k < dealt.StackCount[s]; ++k) text += " " + CardText(dealt.Stacks[s][k]);
        text += "\n";
    }
    for (const SolverMove& m : result.Moves) {
        if (m.Type == SolverMove::Kind::Drop)
            text += "drop " + std::to_string(m.Stack + 1) + " " + std::to_string(m.Target + 1) + "\n";
        else
            text += "claim " + std::to_string(m.PatternId) + "\n";
    }
    text += "points " + std::to_string(result.Points) + "\nbound " + std::to_string(result.Bound) + "\n";
    return text;
}
