#include "game/Deal.h"

#include <algorithm>
#include <utility>

int FindJoker(const std::array<CardCode, RowSize>& row) {
    for (int q = 0; q < RowSize; ++q)
        if (IsJoker(row[q])) return q;
    return -1;
}

Deck OrderedDeck() {
    Deck deck{};
    for (int c = 0; c < ColourCount; ++c)
        for (int v = 1; v <= ValueCount; ++v) deck[ValueCount * c + (v - 1)] = MakeCard(c, v);
    deck[52] = JokerCard;
    deck[53] = JokerCard;
    return deck;
}

void ShuffleDeck(Deck& deck, RandomSource& random) {
    for (int n = 0; n < ShuffleSwaps; ++n) {
        const int i = random.Random(DeckSize);
        const int j = random.Random(DeckSize);
        std::swap(deck[i], deck[j]);
    }
}

static int JokersInRowEntries(const Deck& deck) {
    int jokers = 0;
    for (int e = 50; e < 54; ++e)
        if (IsJoker(deck[e])) ++jokers;
    return jokers;
}

Table DealTable(RandomSource& random) {
    Deck deck = OrderedDeck();
    // The row must never hold both jokers; the deck is shuffled again as it lies.
    do {
        ShuffleDeck(deck, random);
    } while (JokersInRowEntries(deck) > 1);

    Table t;
    t.JokerPos = -1;
    for (int q = 0; q < RowSize; ++q) {
        t.Row[q] = deck[50 + q];
        if (IsJoker(t.Row[q])) t.JokerPos = q;
    }
    for (int s = 0; s < StackTotal; ++s) {
        for (int k = 0; k < StackDepth; ++k) t.Stacks[s][k] = deck[10 * s + k];
        t.StackCount[s] = StackDepth;
    }
    return t;
}

// Players share and replay deals by number, and the statistics remember them, so this mapping
// is a stored format: changing a single step (the engine, its seeding, the rejection bound, the
// order of draws) would silently turn every known number into a different deal. Never change it.
int DealNumberRandom::Random(int n) {
    if (n <= 1) return 0;
    const std::uint64_t span = std::uint64_t{1} << 32;
    const auto range = static_cast<std::uint64_t>(n);
    // Raw values below span % range would map onto the low indices once more than the others.
    const std::uint64_t reject = span % range;
    std::uint64_t raw = 0;
    do {
        raw = static_cast<std::uint32_t>(m_engine());
    } while (raw < reject);
    return static_cast<int>(raw % range);
}

Table DealByNumber(std::int32_t number) {
    DealNumberRandom random(std::clamp(number, MinDealNumber, MaxDealNumber));
    return DealTable(random);
}
