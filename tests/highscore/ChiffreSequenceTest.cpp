// The scrambler's arithmetic without Qt: the same results on every processor. These tests also
// run cross-built under emulation (make test-arm64).

#include "settings/ChiffreSequence.h"
#include "tests/highscore/ChiffreVectors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace {

const std::u16string Alphabet = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::u16string Utf16(const char* utf8) {
    std::u16string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p;) {
        char32_t c = *p++;
        int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
        for (; more > 0; --more)
            c = (c << 6) | (*p++ & 0x3F);
        if (c >= 0x10000) {
            out += char16_t(0xD800 + ((c - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

std::u16string Transform(std::u16string text, int k) {
    ChiffreTransform(Alphabet, text.data(), text.size(), k);
    return text;
}

TEST(ChiffreSequence, MatchesTheExactlyComputedTexts) {
    for (const ChiffreVector& v : ChiffreVectors) {
        EXPECT_TRUE(Transform(Utf16(v.plain), v.key) == Utf16(v.scrambled)) << v.plain << " / " << v.key;
        EXPECT_TRUE(Transform(Utf16(v.scrambled), -v.key) == Utf16(v.plain)) << v.plain << " / " << v.key;
    }
}

TEST(ChiffreSequence, StepsOnTheRoundingsEdges) {
    for (const ChiffreAmountCorner& c : ChiffreAmountCorners)
        EXPECT_EQ(ChiffreSequence::Amount(c.fraction, c.length), c.amount) << std::hex << c.fraction;
    for (const ChiffreAdvanceCorner& c : ChiffreAdvanceCorners)
        EXPECT_EQ(ChiffreSequence::Advance(c.fraction), c.next) << std::hex << c.fraction;
}

TEST(ChiffreSequence, AmountsStayInsideTheAlphabet) {
    // The largest fraction below one: L * a must not round up to L itself.
    const std::uint64_t justBelowOne = (std::uint64_t(1) << ChiffreSequence::FractionBits) - 1;
    for (int length : {1, 62, 1000, 1999999999, std::numeric_limits<int>::max()})
        EXPECT_EQ(ChiffreSequence::Amount(justBelowOne, length), length - 1) << length;
    for (int k : {1, 2, 3, 48213, 2147482863, std::numeric_limits<int>::min()}) {
        ChiffreSequence s(k, 62);
        for (int i = 0; i < 1000; ++i) {
            const int d = s.Next();
            ASSERT_TRUE(d >= 0 && d < 62) << k << " step " << i << ": " << d;
        }
    }
}

// Where the compiler's long double is the x87 80-bit format, the hardware itself is the
// reference: the integer steps must agree with it everywhere, not only on the fixed vectors.
// Each assignment to a double rounds the extended result, as storing the running value did.
namespace Hardware {
constexpr long double Pi = 3.14159265358979323846264338327950288L;
constexpr double Unit = 0x1p-54;
double Start(int k) { return static_cast<double>(std::fabs(static_cast<long double>(k) / Pi)); }
int Amount(double a, int length) { return static_cast<int>(std::trunc(static_cast<long double>(length) * a)); }
double Advance(double a) { return static_cast<double>(997.0L * a + Pi); }
std::uint64_t Fraction(double a) { return static_cast<std::uint64_t>((a - std::trunc(a)) / Unit); }
} // namespace Hardware

TEST(ChiffreSequence, AgreesWithExtendedPrecisionHardware) {
    if constexpr (std::numeric_limits<long double>::digits != 64) {
        GTEST_SKIP() << "no 80-bit long double here";
    } else {
        namespace H = Hardware;
        std::mt19937_64 random(20261210);
        for (int k : {0, 1, 2, 3, 6145, 14563, 48213, 2147482863, -7})
            EXPECT_EQ(ChiffreSequence::Start(k), H::Fraction(H::Start(k))) << k;
        for (int i = 0; i < 200000; ++i) {
            const int k = static_cast<int>(random() % 2147482863u) + 1;
            ASSERT_EQ(ChiffreSequence::Start(k), H::Fraction(H::Start(k))) << k;
        }
        const int lengths[] = {1, 62, 2047, 65536, 1999999999, std::numeric_limits<int>::max()};
        for (int i = 0; i < 1000000; ++i) {
            // Any fraction a double can hold: from one half on its last bit is 2^-53.
            std::uint64_t m = random() >> (64 - ChiffreSequence::FractionBits);
            if (m >> (ChiffreSequence::FractionBits - 1))
                m &= ~std::uint64_t(1);
            const double a = static_cast<double>(m) * H::Unit;
            ASSERT_EQ(ChiffreSequence::Advance(m), H::Fraction(H::Advance(a))) << std::hex << m;
            const int length = lengths[i % std::size(lengths)];
            ASSERT_EQ(ChiffreSequence::Amount(m, length), H::Amount(a, length)) << std::hex << m << " " << length;
        }
        for (const ChiffreAmountCorner& c : ChiffreAmountCorners)
            EXPECT_EQ(H::Amount(static_cast<double>(c.fraction) * H::Unit, c.length), c.amount);
    }
}

} // namespace
