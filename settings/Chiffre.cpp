#include "settings/Chiffre.h"

#include "settings/ChiffreSequence.h"

#include <cstdlib>

namespace {

constexpr int DefaultKey = 48213;
constexpr int MaxKey = 2147482863;

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
    m_start = ChiffreSequence::Start(m_key);
}

QString TChiffre::Transform(const QString& text, int k) const {
    if (text.isEmpty())
        return text;
    QString out = text;
    static_assert(sizeof(QChar) == sizeof(char16_t));
    ChiffreTransform(std::u16string_view(reinterpret_cast<const char16_t*>(m_alphabet.constData()),
                                         static_cast<std::size_t>(m_alphabet.size())),
                     reinterpret_cast<char16_t*>(out.data()), static_cast<std::size_t>(out.size()), k,
                     k == m_key || k == -m_key ? m_start : ChiffreSequence::Start(k));
    return out;
}
