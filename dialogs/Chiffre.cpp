#include "dialogs/Chiffre.h"

#include <cmath>
#include <cstdlib>
#include <limits>

// The sequence must come out bit for bit as the x87 unit computes it: each operation rounded
// to a 64-bit significand, the running value then rounded to a double. On x86 g++ gives
// long double exactly that format; elsewhere this needs a software version of it.
static_assert(std::numeric_limits<long double>::radix == 2 && std::numeric_limits<long double>::digits == 64,
              "TChiffre needs the 80-bit extended long double (x86); port the sequence to a software version");

namespace {

constexpr int DefaultKey = 48213;
constexpr int MaxKey = 2147482863;
// Pi rounded to 64 significant bits, the value the x87 unit loads as its constant.
constexpr long double Pi = 3.14159265358979323846264338327950288L;

} // namespace

QString TChiffre::DefaultAlphabet() {
    return QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
}

void TChiffre::Init(const QString& alphabet, int key) {
    m_alphabet = alphabet.isEmpty() ? DefaultAlphabet() : alphabet;
    long long k = std::llabs(static_cast<long long>(key));
    if (k == 0)
        k = DefaultKey;
    if (k > MaxKey)
        k = MaxKey;
    m_key = static_cast<int>(k);
}

QString TChiffre::Transform(const QString& text, int k) const {
    if (text.isEmpty())
        return text;
    const int L = static_cast<int>(m_alphabet.size());
    // Each assignment to a rounds the extended result to a double, as storing it did.
    double a = static_cast<double>(std::fabs(static_cast<long double>(k) / Pi));
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        a = static_cast<double>(static_cast<long double>(a) - std::trunc(static_cast<long double>(a)));
        int d = static_cast<int>(std::trunc(static_cast<long double>(L) * a));
        if (k < 0)
            d = -d;
        a = static_cast<double>(997.0L * a + Pi);

        const QChar c = out[i];
        if (c.isHighSurrogate() && i + 1 < out.size() && out[i + 1].isLowSurrogate()) {
            ++i; // one character in two code units, never in the alphabet
            continue;
        }
        const qsizetype j = m_alphabet.indexOf(c);
        if (j >= 0)
            out[i] = m_alphabet[(j + L + d) % L];
    }
    return out;
}
