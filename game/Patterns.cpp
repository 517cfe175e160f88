#include "game/Patterns.h"

#include <algorithm>

namespace {

struct Names {
    const char* German;
    const char* English;
};

constexpr std::array<Names, PatternIdCount + 1> NameTable = {{
    {nullptr, nullptr},
    {"nur rot", "only red"},
    {"nur grün", "only green"},
    {"nur blau", "only blue"},
    {"nur violett", "only violet"},
    {"zwei gleiche Werte", "two equal values"},
    {"drei gleiche Werte", "three equal values"},
    {"zwei mal zwei gleiche Werte", "two pairs with equal values"},
    {"vier gleiche Werte", "four equal values"},
    {"Summe größer als 44", "sum bigger than 44"},
    {"nur ungerade Werte", "only odd values"},
    // "smaller then" and "total different" below are the game's own English, kept word for
    // word on purpose: players know the patterns by these names.
    {"Summe kleiner als 14", "sum smaller then 14"},
    {"Vielfache von 2 (2 4 6 8 10 12)", "multiples of 2 (2 4 6 8 10 12)"},
    {"Sequenz (z.B. 5 6 7 8)", "sequence (e.g. 5 6 7 8)"},
    {"Vielfache von 3 (3 6 9 12)", "multiples of 3 (3 6 9 12)"},
    {"Werte und Farben verschieden", "values and colors total different"},
    {"Zahlen, die nur Einsen enthalten (1 oder 11)", "numbers consisting of digit 1 (1 or 11)"},
    {"Vielfache von 4 (4 8 12)", "multiples of 4 (4 8 12)"},
    {"4 mal die Ziffer 4", "4 times the number 4"},
}};

// The largest number of coloured cards sharing one value.
int LargestValueGroup(const RowFacts& f) {
    int best = 0;
    for (int i = 0; i < f.Coloured; ++i)
        best = std::max(best, static_cast<int>(std::count(f.Values.begin(), f.Values.begin() + f.Coloured,
                                                          f.Values[i])));
    return best;
}

int ValueSum(const RowFacts& f) {
    int sum = 0;
    for (int i = 0; i < f.Coloured; ++i) sum += f.Values[i];
    return sum;
}

template <class Pred> bool AllColoured(const RowFacts& f, Pred pred) {
    return std::all_of(f.Values.begin(), f.Values.begin() + f.Coloured, pred);
}

bool AllOfColour(const RowFacts& f, int colour) {
    return std::all_of(f.Colours.begin(), f.Colours.begin() + f.Coloured,
                       [colour](int c) { return c == colour; });
}

bool AllDifferent(const std::array<int, RowSize>& xs, int n) {
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (xs[i] == xs[j]) return false;
    return true;
}

// Two pairs of equal values among four coloured cards (four equal values count).
bool TwoPairs(const RowFacts& f) {
    if (f.Coloured != 4) return false;
    const auto& v = f.Values;
    return (v[0] == v[1] && v[2] == v[3]) || (v[0] == v[2] && v[1] == v[3]) || (v[0] == v[3] && v[1] == v[2]);
}

// From the smallest coloured value upwards, count the following values present;
// the joker, while available, fills the first gap it meets.
int SequenceLength(const RowFacts& f) {
    const int m = *std::min_element(f.Values.begin(), f.Values.begin() + f.Coloured);
    bool jokerAvailable = f.HasJoker;
    int length = 1;
    for (int k = 1; k <= 3; ++k) {
        const bool present = std::find(f.Values.begin(), f.Values.begin() + f.Coloured, m + k) !=
                             f.Values.begin() + f.Coloured;
        if (present) {
            ++length;
        } else if (jokerAvailable) {
            ++length;
            jokerAvailable = false;
        }
    }
    return length;
}

} // namespace

RowFacts AnalyseRow(const std::array<CardCode, RowSize>& row) {
    RowFacts f;
    for (CardCode card : row) {
        if (IsJoker(card)) {
            f.HasJoker = true;
            continue;
        }
        f.Values[f.Coloured] = ValueField(card) + 1;
        f.Colours[f.Coloured] = ColourIndex(card);
        ++f.Coloured;
    }
    f.SequenceLength = f.Coloured > 0 ? SequenceLength(f) : 0;
    return f;
}

bool PatternHolds(int id, const RowFacts& f) {
    const int group = LargestValueGroup(f);
    const bool j = f.HasJoker;
    switch (id) {
    case 1: case 2: case 3: case 4:
        return AllOfColour(f, id - 1);
    case 5:
        return group >= 2 || j;
    case 6:
        return group >= 3 || (group >= 2 && j);
    case 7:
        return TwoPairs(f) || (group >= 2 && j);
    case 8:
        return group == 4 || (group == 3 && j);
    case 9:
        return j ? ValueSum(f) > 31 : ValueSum(f) > 44;
    case 10:
        return AllColoured(f, [](int v) { return v % 2 == 1; });
    case 11:
        return ValueSum(f) < 14; // the joker adds nothing here
    case 12:
        return AllColoured(f, [](int v) { return v % 2 == 0; });
    case 13:
        return f.SequenceLength == 4;
    case 14:
        return AllColoured(f, [](int v) { return v % 3 == 0; });
    case 15:
        return AllDifferent(f.Values, f.Coloured) && AllDifferent(f.Colours, f.Coloured);
    case 16:
        return AllColoured(f, [](int v) { return v == 1 || v == 11; });
    case 17:
        return AllColoured(f, [](int v) { return v % 4 == 0; });
    case 18:
        return AllColoured(f, [](int v) { return v == 4; });
    default:
        return false;
    }
}

TPatternState TestPattern(int id, const RowFacts& f) {
    if (!PatternHolds(id, f)) return TPatternState::Open;
    if (ColourBonusPossible(id) && AllOfColour(f, f.Colours[0])) return TPatternState::OfferedBonus;
    return TPatternState::Offered;
}

int ClaimPoints(int id, bool colourBonus) {
    if (id < 0 || id > PatternIdCount) return 0;
    // base x 3.5 = base x 7 / 2 and base x 3.5 x 3 = base x 21 / 2: exact in integers.
    const int twice = BaseValues[id] * (colourBonus ? 21 : 7);
    const int half = twice / 2;
    if (twice % 2 == 0) return half;
    return half % 2 == 0 ? half : half + 1; // an exact half goes to the even neighbour
}

const char* PatternName(int id, int language) {
    if (id < 1 || id > PatternIdCount) return nullptr;
    return language == 1 ? NameTable[id].German : NameTable[id].English;
}
