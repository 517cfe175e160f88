#include "settings/ChiffreSequence.h"

#include <bit>
#include <cstdlib>

namespace {

// Just enough of a 128-bit unsigned integer for the products and sums below; written out so
// that it works the same on 32-bit machines, which have no 128-bit type.
struct U128 {
    std::uint64_t hi = 0;
    std::uint64_t lo = 0;
};

U128 Mul64(std::uint64_t x, std::uint64_t y) {
    const std::uint64_t xl = x & 0xFFFFFFFFu, xh = x >> 32;
    const std::uint64_t yl = y & 0xFFFFFFFFu, yh = y >> 32;
    const std::uint64_t ll = xl * yl, lh = xl * yh, hl = xh * yl, hh = xh * yh;
    const std::uint64_t mid = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    return {hh + (lh >> 32) + (hl >> 32) + (mid >> 32), (mid << 32) | (ll & 0xFFFFFFFFu)};
}

U128 Add(U128 x, U128 y) {
    const std::uint64_t lo = x.lo + y.lo;
    return {x.hi + y.hi + (lo < x.lo ? 1 : 0), lo};
}

U128 Sub(U128 x, U128 y) {
    return {x.hi - y.hi - (x.lo < y.lo ? 1 : 0), x.lo - y.lo};
}

bool Less(U128 x, U128 y) { return x.hi < y.hi || (x.hi == y.hi && x.lo < y.lo); }
bool Equal(U128 x, U128 y) { return x.hi == y.hi && x.lo == y.lo; }

U128 ShiftLeft(U128 x, int n) {
    if (n == 0)
        return x;
    if (n >= 64)
        return {x.lo << (n - 64), 0};
    return {(x.hi << n) | (x.lo >> (64 - n)), x.lo << n};
}

U128 ShiftRight(U128 x, int n) {
    if (n == 0)
        return x;
    if (n >= 64)
        return {0, x.hi >> (n - 64)};
    return {x.hi >> n, (x.lo >> n) | (x.hi << (64 - n))};
}

int BitLength(U128 x) { return x.hi ? 64 + std::bit_width(x.hi) : std::bit_width(x.lo); }

// x rounded to `bits` significant bits, to the nearest and halves to even: what the floating
// point unit does to an exact result whose significand does not fit. x is the value in units
// of some fixed power of two that lies far below its lowest bit, so no subnormals arise.
U128 RoundToBits(U128 x, int bits) {
    const int drop = BitLength(x) - bits;
    if (drop <= 0)
        return x;
    U128 kept = ShiftRight(x, drop);
    const U128 rest = Sub(x, ShiftLeft(kept, drop));
    const U128 half = ShiftLeft(U128{0, 1}, drop - 1);
    if (Less(half, rest) || (Equal(rest, half) && (kept.lo & 1)))
        kept = Add(kept, U128{0, 1});
    return ShiftLeft(kept, drop);
}

// Extended precision first, then the double that the running value was stored as. Rounding
// twice is not the same as rounding once to a double, and the stored lists depend on it.
U128 RoundAsStored(U128 x) { return RoundToBits(RoundToBits(x, 64), 53); }

// Pi as the floating point unit loads it: 64 significant bits, value Pi64 / 2^62.
constexpr std::uint64_t Pi64 = 0xC90FDAA22168C235u;
constexpr int PiShift = 62;
constexpr int F = ChiffreSequence::FractionBits;

} // namespace

int ChiffreSequence::Next() {
    const int d = Amount(m_fraction, m_length);
    m_fraction = Advance(m_fraction);
    return d;
}

int ChiffreSequence::Amount(std::uint64_t fraction, int alphabetLength) {
    if (alphabetLength <= 0)
        return 0;
    // L * a in units of 2^-54; the product of a fraction and an int has at most 85 bits, and
    // up to 64 of them (every alphabet shorter than 1024) it is exact.
    const U128 product = RoundToBits(Mul64(fraction, static_cast<std::uint64_t>(alphabetLength)), 64);
    return static_cast<int>(ShiftRight(product, F).lo);
}

std::uint64_t ChiffreSequence::Advance(std::uint64_t fraction) {
    // 997 * a is exact (at most 64 bits); the sum with pi, in units of 2^-62, has at most 73.
    const U128 scaled = ShiftLeft(U128{0, 997 * fraction}, PiShift - F);
    const U128 a = RoundAsStored(Add(scaled, U128{0, Pi64}));
    // a lies between pi and 1001, so its double has no bits below 2^-51: the fractional part
    // in units of 2^-54 is exact.
    const U128 whole = ShiftLeft(ShiftRight(a, PiShift), PiShift);
    return ShiftRight(Sub(a, whole), PiShift - F).lo;
}

std::uint64_t ChiffreSequence::Start(int k) {
    // |k| / pi = |k| * 2^62 / Pi64, by long division to 2^-68 (at least 67 significant bits
    // for every k > 0, three more than the rounding needs) with a sticky bit for the rest below.
    constexpr int QuotientBits = 68;
    const std::uint64_t n = static_cast<std::uint64_t>(std::llabs(static_cast<long long>(k)));
    std::uint64_t rest = 0;
    U128 q;
    for (int bit = 31; bit >= -(PiShift + QuotientBits); --bit) {
        const bool carry = rest >> 63;
        rest = (rest << 1) | (bit >= 0 ? (n >> bit) & 1 : 0);
        q = ShiftLeft(q, 1);
        // With the carry the true remainder is 2^64 + rest, more than Pi64; the difference
        // fits in 64 bits again, so the wrapped subtraction gives it exactly.
        if (carry || rest >= Pi64) {
            rest -= Pi64;
            q.lo |= 1;
        }
    }
    const U128 sticky = {0, rest != 0 ? 1u : 0u};
    // Value in units of 2^-69. Every k > 0 gives at least 1/pi > 1/4, whose double has no bits
    // below 2^-54, so the fractional part is exact again.
    const U128 a = RoundAsStored(Add(ShiftLeft(q, 1), sticky));
    const int shift = QuotientBits + 1;
    const U128 whole = ShiftLeft(ShiftRight(a, shift), shift);
    return ShiftRight(Sub(a, whole), shift - F).lo;
}

void ChiffreTransform(std::u16string_view alphabet, char16_t* text, std::size_t length, int k, std::uint64_t start) {
    const int L = static_cast<int>(alphabet.size());
    auto sequence = ChiffreSequence::FromStart(start, L);
    for (std::size_t i = 0; i < length; ++i) {
        int d = sequence.Next();
        if (k < 0)
            d = -d;
        const char16_t c = text[i];
        const bool high = c >= 0xD800 && c < 0xDC00;
        if (high && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            ++i; // one character in two code units, never in the alphabet
            continue;
        }
        const std::size_t j = alphabet.find(c);
        if (j != std::u16string_view::npos)
            text[i] = alphabet[(static_cast<long long>(j) + L + d) % L];
    }
}
