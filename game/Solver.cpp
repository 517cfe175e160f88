#include "game/Solver.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>

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
constexpr std::uint16_t HighValues = ValuesWhere([](int v) { return v >= 8; });
constexpr std::uint16_t LowValues = ValuesWhere([](int v) { return v <= 7; });

// The cards of one colour that can serve a colour bonus of pattern id, by value: a sequence
// counts the most within any four values in a row.
int GatheredFor(int id, std::uint16_t values) {
    switch (id) {
    case 9:
        return Size(values & HighValues);
    case 10:
        return Size(values & OddValues);
    case 11:
        return Size(values & LowValues);
    case 12:
        return Size(values & EvenValues);
    case 14:
        return Size(values & ThreesValues);
    case 13: {
        int most = 0;
        for (int m = 0; m < ValueCount; ++m)
            most = std::max(most, Size(values & (0xFu << m)));
        return most;
    }
    default:
        return 0;
    }
}

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

    int Most = 0;  // the most colours holding one value
    int Pairs = 0; // values held by two colours or more

    explicit Summary(const CardSet& set) : Set(set), Joker(set.Jokers > 0) {
        for (int c = 0; c < ColourCount; ++c) {
            Coloured += Size(set.Values[c]);
            for (unsigned m = set.Values[c]; m; m &= m - 1) ++Count[std::countr_zero(m) + 1];
        }
        for (int v = 1; v <= ValueCount; ++v) {
            Most = std::max(Most, Count[v]);
            Pairs += Count[v] >= 2 ? 1 : 0;
        }
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

// The most colours that can each take a value no other of them takes: by Hall's theorem, the
// colours less the worst shortfall of any group of them against the values they hold together.
int DistinctPairs(const std::array<std::uint16_t, ColourCount>& values) {
    int shortfall = 0;
    for (unsigned group = 1; group < (1u << ColourCount); ++group) {
        unsigned together = 0;
        for (int c = 0; c < ColourCount; ++c)
            if (group & (1u << c)) together |= values[c];
        shortfall = std::max(shortfall, Size(group) - Size(together));
    }
    return ColourCount - shortfall;
}

Kinds KindsFor(int id, const Summary& s) {
    const bool four = s.Coloured >= 4, jokerRow = s.Joker && s.Coloured >= 3;
    const int most = s.Most;
    switch (id) {
    case 1: case 2: case 3: case 4: {
        const int n = Size(s.Set.Values[id - 1]);
        return {n >= 4, false, s.Joker && n >= 3, false};
    }
    case 5: return {four && most >= 2, false, jokerRow, false};
    case 6: return {four && most >= 3, false, jokerRow && most >= 2, false};
    case 7:
        return {four && (s.Pairs >= 2 || most >= 4), false, jokerRow && most >= 2, false};
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

bool GameOver(const GameData& g) {
    return g.GameState == gsWon || g.GameState == gsLost || JudgeEnd(g) != EndVerdict::Playing;
}

// Greedy play: the best paying drop each time, every offer worth anything claimed.
SolverResult GreedyPlay(const GameData& from) {
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
        for (int i = 1; i <= t.PatternCount; ++i)
            best = std::max(best, ClaimValue(t, i));
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
    return result;
}

// One position of the search: the row as the cards lie (a drop names a row position), how many
// cards each stack still holds, the patterns claimed, and the step that led here.
struct Node {
    std::array<std::int8_t, RowSize> Row{};
    std::array<std::int8_t, StackTotal> Height{};
    std::int8_t Stack = -1, Target = -1; // the drop that led here
    std::int8_t ClaimPos = 0;            // the position claimed after it, 0 for none
    std::uint32_t Claimed = 0;           // bit i - 1: pattern position i
    std::int32_t Points = 0;             // claimed so far
    std::int32_t Parent = -1;            // index in the previous layer
};

struct Candidate {
    Node N;
    std::uint64_t Key = 0;
    std::int64_t Rank = 0;
    int Bound = 0;
};

bool Better(const Candidate& a, const Candidate& b) {
    if (a.Rank != b.Rank) return a.Rank > b.Rank;
    return a.Key < b.Key;
}

int CardIndex(CardCode card) { return IsJoker(card) ? 52 : ColourIndex(card) * ValueCount + ValueField(card); }

// The row's cards as indices 0..52, in increasing order (the row never holds both jokers, so
// they differ).
std::array<int, RowSize> SortedRow(const std::array<std::int8_t, RowSize>& row) {
    std::array<int, RowSize> r;
    for (int q = 0; q < RowSize; ++q)
        r[q] = CardIndex(row[q]);
    if (r[0] > r[1]) std::swap(r[0], r[1]);
    if (r[2] > r[3]) std::swap(r[2], r[3]);
    if (r[0] > r[2]) std::swap(r[0], r[2]);
    if (r[1] > r[3]) std::swap(r[1], r[3]);
    if (r[1] > r[2]) std::swap(r[1], r[2]);
    return r;
}

// Positions that differ only in where the row cards lie play alike: the key sorts the row.
std::uint64_t KeyOf(const Node& n, const std::array<int, RowSize>& sorted) {
    std::uint64_t key = n.Claimed;
    for (int q = 0; q < RowSize; ++q)
        key = (key << 6) | static_cast<std::uint64_t>(sorted[q]);
    for (int s = 0; s < StackTotal; ++s) key = (key << 4) | static_cast<std::uint64_t>(n.Height[s]);
    return key;
}

// What a row offers, worked out once per set of four cards: the search meets the same rows
// over and over. Indexed by the rank of the sorted card indices among all sets of four.
class RowOffers {
  public:
    explicit RowOffers(const std::array<int, MaxPatternCount + 1>& ids, int count)
        : m_ids(ids), m_count(count) {
        for (int n = 0; n <= 53; ++n) {
            m_choose[n][0] = 1;
            for (int k = 1; k <= RowSize; ++k)
                m_choose[n][k] = n == 0 ? 0 : m_choose[n - 1][k - 1] + m_choose[n - 1][k];
        }
    }
    // Bits 0..17: pattern position i + 1 offered; bits 32..49: offered with the colour bonus.
    std::uint64_t Of(const std::array<CardCode, RowSize>& row, const std::array<int, RowSize>& sorted) {
        if (m_table.empty()) m_table.assign(static_cast<std::size_t>(m_choose[53][RowSize]), 0);
        std::size_t at = 0;
        for (int k = 0; k < RowSize; ++k)
            at += static_cast<std::size_t>(m_choose[sorted[k]][k + 1]);
        std::uint64_t& entry = m_table[at];
        if (entry == 0) {
            entry = Known;
            const RowFacts facts = AnalyseRow(row);
            for (int i = 1; i <= m_count; ++i) {
                const TPatternState st = TestPattern(m_ids[i], facts);
                if (IsOffered(st)) entry |= std::uint64_t{1} << (i - 1);
                if (st == TPatternState::OfferedBonus) entry |= std::uint64_t{1} << (32 + i - 1);
            }
        }
        return entry;
    }

  private:
    static constexpr std::uint64_t Known = std::uint64_t{1} << 63;
    const std::array<int, MaxPatternCount + 1>& m_ids;
    int m_count;
    std::array<std::array<std::int64_t, RowSize + 1>, 54> m_choose{};
    std::vector<std::uint64_t> m_table;
};

// One entry per position met in a layer: the index of its candidate. Open addressing, cleared
// between layers without giving its memory back.
class PositionIndex {
  public:
    void Reset(std::size_t expected) {
        std::size_t size = 1024;
        while (size < 2 * expected)
            size *= 2;
        if (m_slots.size() < size) m_slots.resize(size);
        m_mask = size - 1;
        std::fill(m_slots.begin(), m_slots.begin() + static_cast<std::ptrdiff_t>(size), Slot{});
    }
    // The index stored for key, or stores fresh and answers -1.
    int FindOrAdd(std::uint64_t key, int fresh) {
        std::size_t at = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & m_mask;
        while (m_slots[at].Index >= 0) {
            if (m_slots[at].Key == key) return m_slots[at].Index;
            at = (at + 1) & m_mask;
        }
        m_slots[at] = {key, fresh};
        return -1;
    }

  private:
    struct Slot {
        std::uint64_t Key = 0;
        int Index = -1;
    };
    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
};

std::array<CardCode, RowSize> RowOf(const Node& n) {
    return {n.Row[0], n.Row[1], n.Row[2], n.Row[3]};
}

int Permille(double weight) {
    return static_cast<int>(weight * 1000.0 + (weight < 0 ? -0.5 : 0.5));
}

// How deep the search looks into the stacks to judge how soon a pattern can be met: the cards
// it takes to reach, counted in the rings of cards from the top. Each ring after the row adds
// cards; a pattern first met with the cards of a ring needs at least one drop more than the
// ring before it reached.
constexpr std::array<int, 3> Rings = {1, 3, 6};
constexpr std::array<int, Rings.size() + 2> RingDrops = {0, 1, 2, 4, 7};
// A pattern no card left can meet, as far away as the search counts.
constexpr int Unreachable = StackDepth + 1;

// The work of a search by level, in positions weighed: well within a second of one core each
// (a position costs more at the higher levels, with more patterns to weigh).
constexpr std::array<std::int64_t, LevelCount> DefaultWork = {1'500'000, 1'500'000, 1'350'000, 1'200'000};
// A hint's work: well within a quarter of a second at the highest level, from the first drop on.
constexpr std::int64_t HintWork = 120'000;
// Widening: the first pass, and how much wider each next one is. Four times wider each time
// spends about a quarter of the work on the narrow passes, which find the plays that let the
// widest leave most aside.
constexpr int FirstWidth = 16;
constexpr int Growth = 4;
// A lost game's last pass: half the work more, with the weights on the win and on the distance
// of far patterns three times as high.
constexpr int WinSeekingShare = 2;
constexpr double WinSeekingFactor = 3.0;
// Choosing a layer: no set of claimed patterns takes more than a tenth of the width while
// others wait, among the best four times the width.
constexpr int DiversityShare = 10;
constexpr std::size_t DiversityLook = 4;
// The widest pass, whatever the work allows: its layers and candidates stay within some 64 MiB.
constexpr int MaxWidth = 1 << 15;

class Search {
public:
  Search(const GameData& from, const SolverSettings& settings)
      : m_game(from), m_settings(settings), m_count(from.PatternCount) {
      for (int i = 1; i <= m_count; ++i)
          m_ids[i] = from.PatternIds[i];
      for (int s = 0; s < StackTotal; ++s)
          for (int h = 1; h <= StackDepth; ++h)
              for (std::size_t r = 0; r < TopDepths.size(); ++r) {
                  const int depth = TopDepths[r];
                  m_tops[s][h][r] = m_tops[s][h - 1][r];
                  if (depth < h) m_tops[s][h][r] -= CardKey(m_game.Stacks[s][h - 1 - depth]);
                  m_tops[s][h][r] += CardKey(m_game.Stacks[s][h - 1]);
              }
      m_all = (m_count >= 32) ? ~0u : ((1u << m_count) - 1);
      for (std::size_t k = 0; k < m_ring.size(); ++k)
          m_ring[k] = Permille(settings.RingWeights[k]);
      m_win = Permille(settings.WinWeight);
      m_distance = Permille(settings.DistanceWeight);
      m_gather = Permille(settings.GatherWeights[ClampLevel(from.Level) - 1]);
      for (int i = 1; i <= m_count; ++i)
          if (ColourBonusPossible(m_ids[i])) {
              m_bonusOpen |= 1u << (i - 1);
              m_plain[i] = ClaimPoints(m_ids[i], false);
          }
  }

    using Pays = std::array<int, MaxPatternCount + 1>; // by pattern position
    using SmallPays = std::array<std::uint16_t, MaxPatternCount + 1>;

    // How soon each unclaimed pattern can be met, and what it is worth to the ranking.
    struct Outlook {
        std::array<std::int8_t, MaxPatternCount + 1> Drops{};  // fewest drops before a row meets it
        std::array<std::int64_t, MaxPatternCount + 1> Worth{}; // in thousandths of a point
    };

    // From the row's own pays (what it offers now) and the pays of all cards left, through the
    // rings of cards near the top of the stacks: a pattern counts the best of its pays, each
    // weighted by how near its cards lie. A card k deep in a stack takes k + 1 drops to reach.
    Outlook OutlookOf(const std::array<CardCode, RowSize>& row,
                      const std::array<std::int8_t, StackTotal>& height, std::uint32_t claimed,
                      const Pays& now, const Pays& all) {
        RingKeys rings{};
        for (std::size_t r = 0; r < Rings.size(); ++r)
            rings[r] = TopKey(row, height, r);
        return OutlookOf(rings, claimed, now, all);
    }
    // The same from the sets of cards in the rings.
    using RingKeys = std::array<std::uint64_t, Rings.size()>;
    Outlook OutlookOf(const RingKeys& rings, std::uint32_t claimed, const Pays& now, const Pays& all) {
        Outlook o;
        // Only the open patterns are weighed, walked by their bits: late in a game most are
        // claimed.
        const std::uint32_t open = m_all & ~claimed;
        std::uint32_t pending = 0;
        for (std::uint32_t b = open; b; b &= b - 1) {
            const int i = std::countr_zero(b) + 1;
            o.Worth[i] = std::max(std::int64_t{m_ring[0]} * now[i], std::int64_t{m_ring.back()} * all[i]);
            if (now[i] > 0) continue;
            if (all[i] == 0)
                o.Drops[i] = Unreachable;
            else
                pending |= 1u << (i - 1);
        }
        // Every ring is weighed: a pattern met plainly near the top may pay its colour bonus
        // a little deeper.
        for (std::size_t r = 0; r < Rings.size(); ++r) {
            const SmallPays& at = CachedMostFrom(rings[r]);
            const std::int64_t weight = m_ring[r + 1];
            for (std::uint32_t b = open; b; b &= b - 1) {
                const int i = std::countr_zero(b) + 1;
                if (at[i] == 0) continue;
                o.Worth[i] = std::max(o.Worth[i], weight * at[i]);
                if (!(pending & (1u << (i - 1)))) continue;
                o.Drops[i] = static_cast<std::int8_t>(RingDrops[r + 1]);
                pending &= ~(1u << (i - 1));
            }
        }
        for (std::uint32_t b = pending; b; b &= b - 1)
            o.Drops[std::countr_zero(b) + 1] = static_cast<std::int8_t>(RingDrops.back());
        return o;
    }

    // The same through a cache: the sets near the top of the stacks recur from position to
    // position, and weighing a set is the bulk of the search's work.
    // Claimed patterns are weighed too: the caller skips them. The answer lives until the next
    // call.
    const SmallPays& CachedMostFrom(std::uint64_t key) {
        CacheEntry& e = m_cache[CacheSlot(key)];
        if (e.Key != key) {
            e.Key = key;
            const Pays most = MostFrom(SetOf(key), 0);
            for (int i = 1; i <= m_count; ++i)
                e.Most[i] = static_cast<std::uint16_t>(most[i]);
        }
        return e.Most;
    }
    // The same for a set of cards as the bound gathers them.
    Pays CachedMostFrom(const CardSet& cards) {
        std::uint64_t key = static_cast<std::uint64_t>(cards.Jokers) << JokerShift;
        for (int c = 0; c < ColourCount; ++c)
            key |= static_cast<std::uint64_t>(cards.Values[c]) << (16 * c);
        const SmallPays& small = CachedMostFrom(key);
        Pays most{};
        for (int i = 1; i <= m_count; ++i)
            most[i] = small[i];
        return most;
    }
    std::size_t CacheSlot(std::uint64_t key) const {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - CacheBits));
    }

    // A set of cards as one number: bit c for coloured card code c, the jokers counted from
    // bit JokerShift on. Unions of sets without common cards are sums.
    static constexpr int JokerShift = 61;
    static std::uint64_t CardKey(CardCode card) {
        return IsJoker(card) ? std::uint64_t{1} << JokerShift : std::uint64_t{1} << card;
    }
    static CardSet SetOf(std::uint64_t key) {
        CardSet set;
        for (int c = 0; c < ColourCount; ++c)
            set.Values[c] = static_cast<std::uint16_t>((key >> (16 * c)) & AllValues);
        set.Jokers = static_cast<int>(key >> JokerShift);
        return set;
    }
    template <class RowCards> static std::uint64_t RowKey(const RowCards& row) {
        std::uint64_t key = 0;
        for (CardCode c : row)
            key += CardKey(c);
        return key;
    }
    // The row and the top cards of every stack, ring r (the last: every card left).
    template <class RowCards>
    std::uint64_t TopKey(const RowCards& row, const std::array<std::int8_t, StackTotal>& height,
                         std::size_t r) const {
        std::uint64_t key = RowKey(row);
        for (int s = 0; s < StackTotal; ++s)
            key += m_tops[s][height[s]][r];
        return key;
    }

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
    int FutureBound(const Pays& most, std::uint32_t claimed, int left, bool claimNow,
                    const Outlook& outlook) const {
        std::array<int, MaxPatternCount> best{};
        int open = 0, farthest = 0;
        bool everyOne = true;
        for (int i = 1; i <= m_count; ++i) {
            if (claimed & (1u << (i - 1))) continue;
            // Every drop but the one that empties the stacks brings an evaluation: a pattern
            // whose cards lie deeper than that is lost.
            const int drops = outlook.Drops[i];
            best[open] = drops <= left - 1 || (drops == 0 && claimNow) ? most[i] : 0;
            everyOne = everyOne && best[open] > 0;
            farthest = std::max(farthest, drops);
            ++open;
        }
        const int chances = (claimNow ? 1 : 0) + std::max(0, left - 1);
        int sum = 0;
        if (open <= chances) {
            for (int k = 0; k < open; ++k) sum += best[k];
            // The last claim comes after a drop for every claim but a standing one, and after
            // the drops that reach the deepest card needed.
            const int drops = std::max(open - (claimNow ? 1 : 0), farthest);
            if (everyOne && open > 0) sum += PointsPerCollectedCard * (left - drops);
        } else {
            std::sort(best.begin(), best.begin() + open, std::greater<>());
            for (int k = 0; k < chances; ++k) sum += best[k];
        }
        return sum;
    }

    // The bound of a position as it stands, before any drop: the quick one the search prunes
    // with, or, when tight, also one that weighs a won and a lost end apart (some tens of
    // milliseconds from a fresh deal).
    int BoundOf(const std::array<CardCode, RowSize>& row, const std::array<std::int8_t, StackTotal>& height,
                std::uint32_t claimed, bool claimNow, bool tight = true) {
        int left = 0;
        for (int h : height)
            left += h;
        const Pays all = MostFrom(CardsLeft(row, height, StackDepth), claimed);
        const Pays now = MostFrom(CardsLeft(row, height, 0), claimed);
        const int coarse =
            FutureBound(all, claimed, left, claimNow, OutlookOf(row, height, claimed, now, all));
        if (!tight) return coarse;
        return std::min(coarse, std::max(LostBound(all, claimed, left, claimNow),
                                         WonBound(row, height, claimed, claimNow, all)));
    }

    // A play that ends lost claims some patterns, never all: each at most once, one claim an
    // evaluation, and none after the drop that empties the stacks.
    int LostBound(const Pays& most, std::uint32_t claimed, int left, bool claimNow) const {
        std::array<int, MaxPatternCount> best{};
        int open = 0;
        for (int i = 1; i <= m_count; ++i)
            if (!(claimed & (1u << (i - 1)))) best[open++] = most[i];
        std::sort(best.begin(), best.begin() + open, std::greater<>());
        const int chances = (claimNow ? 1 : 0) + std::max(0, left - 1);
        int sum = 0;
        for (int k = 0; k < std::min(chances, open - 1); ++k)
            sum += best[k];
        return sum;
    }

    // A play that ends won has claimed every open pattern from cards that had reached the row
    // by its last claim: the row's and those dug from the top of the stacks. Over every way of
    // digging D cards (how many from each stack), the patterns pay at most what the dug cards
    // allow, and 21 for each of the cards not dug. More digging can only pay more for the
    // patterns, so D stops growing once the pays of every card cannot make up for the cards no
    // longer collected.
    int WonBound(const std::array<CardCode, RowSize>& row, const std::array<std::int8_t, StackTotal>& height,
                 std::uint32_t claimed, bool claimNow, const Pays& all) {
        int left = 0, open = 0, payAll = 0;
        for (int h : height)
            left += h;
        for (int i = 1; i <= m_count; ++i)
            if (!(claimed & (1u << (i - 1)))) {
                ++open;
                payAll += all[i];
                if (all[i] == 0) return 0;
            }
        if (open == 0) return 0;
        int best = 0;
        CardSet base;
        for (CardCode c : row)
            base.Add(c);
        const int firstD = std::max(0, open - (claimNow ? 1 : 0));
        for (int d = firstD; d <= left - 1; ++d) {
            if (payAll + PointsPerCollectedCard * (left - d) <= best) break;
            int found = 0;
            Dig(0, d, height, base, claimed, found);
            if (found > 0) best = std::max(best, found + PointsPerCollectedCard * (left - d));
        }
        return best;
    }

    // The best sum of pays over every way to dig exactly `rest` more cards from stacks s and on.
    void Dig(int s, int rest, const std::array<std::int8_t, StackTotal>& height, const CardSet& cards,
             std::uint32_t claimed, int& found) {
        if (s == StackTotal - 1) {
            if (rest > height[s]) return;
            CardSet set = cards;
            for (int k = 0; k < rest; ++k)
                set.Add(m_game.Stacks[s][height[s] - 1 - k]);
            const Pays pays = CachedMostFrom(set); // a copy: the cache holds its pays smaller
            int sum = 0;
            for (int i = 1; i <= m_count; ++i) {
                if (claimed & (1u << (i - 1))) continue;
                if (pays[i] == 0) return;
                sum += pays[i];
            }
            found = std::max(found, sum);
            return;
        }
        int below = 0;
        for (int t = s + 1; t < StackTotal; ++t)
            below += height[t];
        CardSet set = cards;
        for (int k = 0; k <= std::min<int>(rest, height[s]); ++k) {
            if (k > 0) set.Add(m_game.Stacks[s][height[s] - k]);
            if (rest - k <= below) Dig(s + 1, rest - k, height, set, claimed, found);
        }
    }

    template <class RowCards>
    CardSet CardsLeft(const RowCards& row, const std::array<std::int8_t, StackTotal>& height,
                      int depth) const {
        CardSet set;
        for (CardCode c : row) set.Add(c);
        for (int s = 0; s < StackTotal; ++s)
            for (int k = std::max(0, height[s] - depth); k < height[s]; ++k) set.Add(m_game.Stacks[s][k]);
        return set;
    }

    SolverResult Run();

private:
  bool Pass(int width, std::int64_t budget);
  void Offer(const Node& parentOf, int points, bool won, const std::vector<SolverMove>& tail);
  std::vector<SolverMove> PathTo(int layer, int index) const;
  void Expand(const Node& n, int index, std::vector<Candidate>& out);
  void Keep(std::vector<Candidate>& unique, int width);
  bool Stopped() const { return m_settings.Stop && m_settings.Stop->load(std::memory_order_relaxed); }

  const GameData& m_game;
  SolverSettings m_settings;
  std::array<int, Rings.size() + 2> m_ring{}; // the weights in thousandths
  int m_win = 0, m_distance = 0, m_gather = 0;
  std::uint32_t m_bonusOpen = 0;                  // the patterns that can pay a colour bonus
  std::array<int, MaxPatternCount + 1> m_plain{}; // ... and what they pay without it
  int m_count = 0;
  std::array<int, MaxPatternCount + 1> m_ids{};
  std::uint32_t m_all = 0;
  std::vector<Node> m_roots; // the position itself and each standing offer claimed
  std::vector<std::vector<Node>> m_layers;
  int m_layer = 0; // the layer being expanded
  SolverResult m_best;
  int m_prunedBound = 0; // the best bound among positions this pass let go
  bool m_stopped = false;
  std::int64_t m_work = 0; // positions weighed, over every pass
  RowOffers m_offers{m_ids, m_count};
  // The cards near the top of every stack at every height, by ring and then every card.
  static constexpr std::array<int, Rings.size() + 1> TopDepths = {Rings[0], Rings[1], Rings[2], StackDepth};
  std::array<std::array<std::array<std::uint64_t, TopDepths.size()>, StackDepth + 1>, StackTotal> m_tops{};
  struct alignas(64) CacheEntry {
      std::uint64_t Key = ~std::uint64_t{0}; // no set of cards
      SmallPays Most{};
  };
  // 8 MiB: a quarter of that misses often enough at level 4 to cost some 4 % of the time.
  static constexpr int CacheBits = 17;
  std::vector<CacheEntry> m_cache = std::vector<CacheEntry>(std::size_t{1} << CacheBits);
  PositionIndex m_seen;
  std::vector<Candidate> m_kept, m_waiting;
  std::vector<int> m_perClaimed = std::vector<int>(std::size_t{1} << m_count);
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

// A finished play: the moves to the node's parent, then the tail.
void Search::Offer(const Node& n, int points, bool won, const std::vector<SolverMove>& tail) {
    if (points <= m_best.Points && !m_best.Moves.empty()) return;
    m_best.Moves = PathTo(m_layer, n.Parent);
    m_best.Moves.insert(m_best.Moves.end(), tail.begin(), tail.end());
    m_best.Points = points;
    m_best.Won = won;
}

void Search::Expand(const Node& parent, int index, std::vector<Candidate>& out) {
    int left = 0;
    for (int h : parent.Height) left += h;
    const auto row = RowOf(parent);
    const int joker = FindJoker(row);
    const std::uint64_t cards = TopKey(row, parent.Height, Rings.size());
    const int open = m_count - std::popcount(parent.Claimed);

    // The rings of every child, worked out from the parent's, and their weights fetched from
    // memory ahead of use: waiting for the cache costs more than weighing.
    RingKeys rings{};
    for (std::size_t r = 0; r < Rings.size(); ++r)
        rings[r] = TopKey(row, parent.Height, r);
    std::array<std::array<RingKeys, StackTotal>, RowSize> childRings{};
    for (int t = 0; t < RowSize; ++t) {
        if (joker != -1 && t != joker) continue;
        __builtin_prefetch(&m_cache[CacheSlot(cards - CardKey(row[t]))]);
        for (int s = 0; s < StackTotal; ++s) {
            const int h = parent.Height[s];
            if (h == 0) continue;
            const std::uint64_t change = CardKey(m_game.Stacks[s][h - 1]) - CardKey(row[t]);
            for (std::size_t r = 0; r < Rings.size(); ++r) {
                const std::uint64_t key = rings[r] + change - m_tops[s][h][r] + m_tops[s][h - 1][r];
                childRings[t][s][r] = key;
                __builtin_prefetch(&m_cache[CacheSlot(key)]);
            }
        }
    }

    for (int t = 0; t < RowSize; ++t) {
        if (joker != -1 && t != joker) continue;
        // What each pattern could still pay from the cards that stay: shared by every stack.
        const SmallPays& cached = CachedMostFrom(cards - CardKey(row[t]));
        Pays most{};
        for (int i = 1; i <= m_count; ++i)
            most[i] = cached[i];

        for (int s = 0; s < StackTotal; ++s) {
            if (parent.Height[s] == 0) continue;
            ++m_work;
            Node child = parent;
            child.Parent = index;
            child.Stack = static_cast<std::int8_t>(s);
            child.Target = static_cast<std::int8_t>(t);
            child.ClaimPos = 0;
            child.Row[t] = static_cast<std::int8_t>(m_game.Stacks[s][parent.Height[s] - 1]);
            --child.Height[s];
            const int nowLeft = left - 1;
            if (nowLeft == 0) { // the last card: the game is lost, nothing more to claim
                Offer(child, parent.Points, false, {SolverMove::Drop(s, t)});
                continue;
            }

            const auto childRow = RowOf(child);
            const auto sorted = SortedRow(child.Row);
            const std::uint64_t offers = m_offers.Of(childRow, sorted);
            const bool halved = sorted[RowSize - 1] == CardIndex(JokerCard);
            Pays now{};
            for (int i = 1; i <= m_count; ++i) {
                if (!(offers & (std::uint64_t{1} << (i - 1)))) continue;
                now[i] = ClaimPoints(m_ids[i], (offers >> (32 + i - 1)) & 1);
                if (halved) now[i] /= 2;
            }
            const Outlook outlook = OutlookOf(childRings[t][s], parent.Claimed, now, most);
            // What the ranking asks of the open patterns, once for every claim: how far they
            // lie, together and at most (and second most, for when the farthest is claimed),
            // and how many no card left can meet.
            const std::uint32_t openNow = m_all & ~parent.Claimed;
            std::int64_t potential = 0;
            int distanceAll = 0, farthest1 = 0, farthest2 = 0, hopeless = 0;
            for (std::uint32_t b = openNow; b; b &= b - 1) {
                const int p = std::countr_zero(b) + 1;
                potential += outlook.Worth[p];
                const int d = outlook.Drops[p];
                distanceAll += d;
                if (d > farthest1)
                    farthest2 = farthest1, farthest1 = d;
                else
                    farthest2 = std::max(farthest2, d);
                hopeless += most[p] > 0 ? 0 : 1;
            }
            // A colour bonus whose cards are gathering in the row: a line that saves them for
            // it ranks low until the last one comes, and would be crowded out before.
            std::array<std::int64_t, MaxPatternCount + 1> gathering{};
            if (m_gather != 0) {
                std::array<std::uint16_t, ColourCount> byColour{};
                for (CardCode c : childRow)
                    if (!IsJoker(c))
                        byColour[ColourIndex(c)] |= static_cast<std::uint16_t>(1u << ValueField(c));
                for (std::uint32_t b = openNow & m_bonusOpen; b; b &= b - 1) {
                    const int p = std::countr_zero(b) + 1;
                    const int extra = most[p] - m_plain[p];
                    if (extra <= 0 || now[p] > 0) continue;
                    int held = 0;
                    for (std::uint16_t v : byColour)
                        held = std::max(held, GatheredFor(m_ids[p], v));
                    if (held < 2) continue;
                    gathering[p] = std::int64_t{m_gather} * extra * (held - 1);
                    potential += gathering[p];
                }
            }

            // Without a claim, then with each offer.
            for (int i = 0; i <= m_count; ++i) {
                Node n = child;
                std::int64_t rank = potential;
                if (i > 0) {
                    if (parent.Claimed & (1u << (i - 1))) continue;
                    if (!(offers & (std::uint64_t{1} << (i - 1)))) continue;
                    n.Points += now[i];
                    n.Claimed |= 1u << (i - 1);
                    n.ClaimPos = static_cast<std::int8_t>(i);
                    rank -= outlook.Worth[i] + gathering[i];
                    if (n.Claimed == m_all) {
                        Offer(child, n.Points + PointsPerCollectedCard * nowLeft, true,
                              {SolverMove::Drop(s, t), SolverMove::Claim(m_ids[i], i)});
                        continue;
                    }
                }
                const int bound = n.Points + FutureBound(most, n.Claimed, nowLeft, false, outlook);
                if (bound <= m_best.Points) continue; // cannot do better than what is known
                // A game that can still be won counts a share of the cards it would collect,
                // after a drop for each claim and the drops that reach the deepest card needed;
                // the patterns far away cost the ranking by how far they are.
                const int stillOpen = open - (i > 0 ? 1 : 0);
                int farthest = farthest1, distance = distanceAll;
                bool winnable = hopeless == 0;
                if (i > 0) {
                    const int d = outlook.Drops[i];
                    distance -= d;
                    if (d == farthest1) farthest = farthest2;
                    winnable = hopeless - (most[i] > 0 ? 0 : 1) == 0;
                }
                const int drops = std::max(stillOpen, farthest);
                if (winnable && drops < nowLeft)
                    rank += std::int64_t{m_win} * PointsPerCollectedCard * (nowLeft - drops);
                rank -= std::int64_t{m_distance} * distance;
                out.push_back({n, KeyOf(n, sorted), std::int64_t{1000} * n.Points + rank, bound});
            }
        }
    }
}

// The width best-ranked candidates, no set of claimed patterns taking more than its share while
// others wait: a line that saves its cards for a big claim ranks low for a while, among many
// positions that claimed the same few patterns early, and would be crowded out. Only the best
// few times the width take part; every candidate let go counts towards the pass's bound.
void Search::Keep(std::vector<Candidate>& unique, int width) {
    const std::size_t look = std::min(unique.size(), static_cast<std::size_t>(width) * DiversityLook);
    if (look < unique.size()) std::nth_element(unique.begin(), unique.begin() + look, unique.end(), Better);
    std::sort(unique.begin(), unique.begin() + look, Better);
    for (std::size_t u = look; u < unique.size(); ++u)
        m_prunedBound = std::max(m_prunedBound, unique[u].Bound);
    const int share = std::max(1, width / DiversityShare);
    const std::size_t wanted = static_cast<std::size_t>(width);
    m_kept.clear();
    m_waiting.clear();
    for (std::size_t u = 0; u < look; ++u) {
        int& taken = m_perClaimed[unique[u].N.Claimed];
        if (m_kept.size() < wanted && taken < share) {
            ++taken;
            m_kept.push_back(unique[u]);
        } else {
            m_waiting.push_back(unique[u]);
        }
    }
    for (const Candidate& c : m_kept) m_perClaimed[c.N.Claimed] = 0;
    for (const Candidate& c : m_waiting) {
        if (m_kept.size() < wanted)
            m_kept.push_back(c);
        else
            m_prunedBound = std::max(m_prunedBound, c.Bound);
    }
    unique.swap(m_kept);
}

// One beam search from the roots, keeping the width best-ranked positions after every drop.
// False when the budget of work ran out, or the search was stopped, before the end.
bool Search::Pass(int width, std::int64_t budget) {
    const std::int64_t until = m_work + budget;
    m_layers.clear();
    m_layers.push_back(m_roots);
    m_prunedBound = 0;
    std::vector<Candidate> candidates;
    std::vector<Candidate> unique;
    for (m_layer = 0; !m_layers[m_layer].empty(); ++m_layer) {
        if (Stopped()) {
            m_stopped = true;
            return false;
        }
        if (m_work >= until) return false;
        candidates.clear();
        const auto& layer = m_layers[m_layer];
        for (int k = 0; k < static_cast<int>(layer.size()); ++k)
            Expand(layer[k], k, candidates);
        // One candidate per position: the one with the most points.
        m_seen.Reset(candidates.size());
        unique.clear();
        for (const Candidate& c : candidates) {
            if (c.Bound <= m_best.Points) continue;
            const int at = m_seen.FindOrAdd(c.Key, static_cast<int>(unique.size()));
            if (at < 0)
                unique.push_back(c);
            else if (c.N.Points > unique[at].N.Points)
                unique[at] = c;
        }
        if (static_cast<int>(unique.size()) > width) Keep(unique, width);
        std::sort(unique.begin(), unique.end(), Better);
        std::vector<Node> next;
        next.reserve(unique.size());
        for (const Candidate& c : unique)
            next.push_back(c.N);
        m_layers.push_back(std::move(next));
    }
    return true;
}

SolverResult Search::Run() {
    Node root;
    for (int q = 0; q < RowSize; ++q)
        root.Row[q] = static_cast<std::int8_t>(m_game.Row[q]);
    for (int s = 0; s < StackTotal; ++s) root.Height[s] = static_cast<std::int8_t>(m_game.StackCount[s]);
    for (int i = 1; i <= m_count; ++i)
        if (m_game.PatternState[i] == TPatternState::Claimed) root.Claimed |= 1u << (i - 1);

    const int left = m_game.CardsInStacks();
    bool claimNow = false;
    for (int i = 1; i <= m_count; ++i) claimNow = claimNow || IsOffered(m_game.PatternState[i]);
    const int rootBound = BoundOf(m_game.Row, root.Height, root.Claimed, claimNow, m_settings.TightBound);

    // The greedy play is the first known play: the search only follows what could beat it.
    m_best = GreedyPlay(m_game);

    m_roots.push_back(root);
    m_layer = 0;
    m_layers = {m_roots};
    for (int i = 1; i <= m_count; ++i) {
        const int pay = ClaimValue(m_game, i);
        if (pay < 0) continue;
        Node n = root;
        n.Points = pay;
        n.Claimed |= 1u << (i - 1);
        n.ClaimPos = static_cast<std::int8_t>(i);
        if (n.Claimed == m_all) {
            Offer(n, pay + PointsPerCollectedCard * left, true, {SolverMove::Claim(m_ids[i], i)});
            continue;
        }
        m_roots.push_back(n);
    }

    // Each pass that reaches the end proves that no play beats the best found or the bound of
    // something it let go; the tightest of those proofs counts.
    int passBound = rootBound;
    const auto passDone = [&] { passBound = std::min(passBound, std::max(m_prunedBound, m_best.Points)); };
    if (m_settings.BeamWidth > 0) {
        if (Pass(m_settings.BeamWidth, std::numeric_limits<std::int64_t>::max() / 2)) passDone();
    } else {
        // Widening: each pass wider than the one before while the work allows; the best play of
        // a narrow pass lets the wider ones leave more aside.
        const std::int64_t budget =
            m_settings.Work > 0 ? m_settings.Work : DefaultWork[ClampLevel(m_game.Level) - 1];
        int width = FirstWidth;
        bool last = false;
        int lastWidth = 0;
        std::int64_t lastCost = 1;
        while (!m_stopped) {
            const std::int64_t before = m_work;
            // The first pass always ends, so even a tiny budget gives a searched play.
            const std::int64_t allowed =
                width == FirstWidth ? std::numeric_limits<std::int64_t>::max() / 2 : budget - before;
            if (allowed <= 0 || !Pass(width, allowed)) break;
            passDone();
            lastWidth = width;
            lastCost = std::max<std::int64_t>(1, m_work - before);
            if (m_prunedBound == 0) break; // nothing let go: the best play is proven
            if (last) break;
            // The work grows about as the width: widen while the next pass still leaves room
            // for the one after it, else give the rest of the work to one last pass.
            const std::int64_t cost = std::max<std::int64_t>(1, m_work - before);
            const std::int64_t remaining = budget - m_work;
            if (cost * (Growth + Growth * Growth) > remaining) {
                const std::int64_t fits = static_cast<std::int64_t>(width) * remaining * 9 / (cost * 10);
                if (fits <= width) break;
                width = static_cast<int>(std::min<std::int64_t>(fits, MaxWidth));
                last = true;
            } else {
                width = std::min(width * Growth, MaxWidth);
            }
        }
        // A game the passes lost gets one more, narrower pass that ranks the win higher and
        // far patterns lower: a won play may outscore the lost one.
        if (!m_best.Won && !m_stopped && lastWidth > 0 && m_prunedBound != 0) {
            m_win = Permille(m_settings.WinWeight * WinSeekingFactor);
            m_distance = Permille(m_settings.DistanceWeight * WinSeekingFactor);
            const std::int64_t extra = budget / WinSeekingShare;
            const std::int64_t fits = static_cast<std::int64_t>(lastWidth) * extra * 9 / (lastCost * 10);
            if (fits >= FirstWidth &&
                Pass(static_cast<int>(std::min<std::int64_t>(fits, MaxWidth)), extra * 2))
                passDone();
        }
    }

    SolverResult result = m_best;
    result.Nodes = m_work;
    result.Bound = std::max(result.Points, std::min(rootBound, passBound));
    return result;
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
    return search.BoundOf(from.Row, height, claimed, claimNow);
}

SolverSettings HintSettings() {
    SolverSettings settings;
    settings.Work = HintWork;
    settings.TightBound = false;
    return settings;
}

SolverResult Solve(const GameData& from, const SolverSettings& settings) {
    if (GameOver(from)) return {};
    return Search(from, settings).Run();
}

SolverResult SolveGreedy(const GameData& from) {
    SolverResult result = GreedyPlay(from);
    if (!GameOver(from)) result.Bound = UpperBound(from);
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
