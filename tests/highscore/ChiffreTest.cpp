// The highscore scrambler on QString, as the game calls it. The fixed vectors come from
// chiffre_vectors.py (ChiffreVectors.h).

#include "settings/Chiffre.h"
#include "tests/highscore/ChiffreVectors.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Chiffre, MatchesTheExactlyComputedSequence) {
    for (const ChiffreVector& v : ChiffreVectors) {
        TChiffre c;
        c.Init(QString(), v.key);
        EXPECT_EQ(c.Encode(QString::fromUtf8(v.plain)), QString::fromUtf8(v.scrambled)) << v.plain << " / " << v.key;
        EXPECT_EQ(c.Decode(QString::fromUtf8(v.scrambled)), QString::fromUtf8(v.plain)) << v.plain << " / " << v.key;
    }
}

TEST(Chiffre, DecodeUndoesEncodeAndMovesOnlyAlphabetCharacters) {
    const TChiffre c; // the game's own: default alphabet, key 48213
    const QString alphabet = TChiffre::DefaultAlphabet();
    const char* texts[] = {
        "", "a", "Mr. Brain", "0,", "100,Jo, the \"Boss\"", "  blanks  ", "!#$%&'()*+-./:;<=>?@[\\]^_`{|}~",
        "Jörg Müller, Åsa Ñúñez, Ærø", "Ελληνικά кириллица 漢字", "turtle \U0001F422 end", "\t\n",
        "0123456789012345678901234567890123456789012345678901234567890123456789",
    };
    for (const char* t : texts) {
        const QString text = QString::fromUtf8(t);
        const QString scrambled = c.Encode(text);
        EXPECT_EQ(c.Decode(scrambled), text) << t;
        ASSERT_EQ(scrambled.size(), text.size()) << t;
        for (qsizetype i = 0; i < text.size(); ++i)
            if (!alphabet.contains(text[i]))
                EXPECT_EQ(scrambled[i], text[i]) << t << " at " << i;
            else
                EXPECT_TRUE(alphabet.contains(scrambled[i])) << t << " at " << i;
    }
}

TEST(Chiffre, CharacterOutsideTheAlphabetStillUsesUpAStep) {
    const TChiffre c;
    // The same letter after one plain character and after one four-byte character.
    EXPECT_EQ(c.Encode("-a").at(1), c.Encode(QString::fromUtf8("\U0001F422a")).at(2));
    EXPECT_NE(c.Encode("a").at(0), c.Encode("-a").at(1));
}

TEST(Chiffre, KeyIsMadePositiveAndKeptInRange) {
    const std::pair<int, int> cases[] = {
        {0, 48213}, {48213, 48213}, {-5, 5}, {1, 1}, {2147482863, 2147482863},
        {2147482864, 2147482863}, {INT_MAX, 2147482863}, {INT_MIN, 2147482863},
    };
    for (auto [in, out] : cases) {
        TChiffre c;
        c.Init(QString(), in);
        EXPECT_EQ(c.Key(), out) << in;
    }
    TChiffre c;
    c.Init("xyz", 3);
    EXPECT_EQ(c.Alphabet(), "xyz");
    EXPECT_EQ(c.Decode(c.Encode("zyx-q")), "zyx-q");
    c.Init(QString(), 3);
    EXPECT_EQ(c.Alphabet(), TChiffre::DefaultAlphabet());
}

} // namespace
