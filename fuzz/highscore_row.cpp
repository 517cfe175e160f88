// A stored highscore row on its way in: unscrambled with the game's key, split at the first
// comma, the score read; and the way out, which must always read back as it was written.
//
// Input: the stored (scrambled) text as UTF-8. Its first four bytes also give a score and a
// scrambler key for the round trips. Split at line feeds, the text is also a stored list
// (up to fifteen rows) that a new entry is merged into, as two running copies do.

#include "fuzz/FuzzSupport.h"
#include "settings/Chiffre.h"
#include "settings/HighscoreStore.h"

#include <QStringList>

#include <algorithm>
#include <cstring>

namespace {

// Only alphabet characters move, each to another alphabet character; nothing else changes.
void CheckMoves(const QString& alphabet, const QString& from, const QString& to) {
    FUZZ_CHECK(from.size() == to.size());
    for (qsizetype i = 0; i < from.size(); ++i) {
        if (alphabet.contains(from[i]))
            FUZZ_CHECK(alphabet.contains(to[i]));
        else
            FUZZ_CHECK(to[i] == from[i]);
    }
}

void CheckCipher(const TChiffre& cipher, const QString& text) {
    const QString encoded = cipher.Encode(text);
    const QString decoded = cipher.Decode(text);
    CheckMoves(cipher.Alphabet(), text, encoded);
    CheckMoves(cipher.Alphabet(), text, decoded);
    FUZZ_CHECK(cipher.Decode(encoded) == text);
    FUZZ_CHECK(cipher.Encode(decoded) == text);
}

// Merging a new entry into a stored list: it goes below every score that is not lower, the
// rows below move down one, the last falls off; a score that reaches no row changes nothing.
void CheckMerge(const TChiffre& cipher, const QString& stored, int score) {
    const QStringList rows = stored.split(u'\n');
    THighscoreNames names;
    THighscoreScores scores{};
    DecodeHighscoreList([&](const QString& key) {
        for (int row = 0; row < HighscoreRows && row < rows.size(); ++row)
            if (key == HighscoreKey(2, row))
                return rows[row];
        return QString();
    }, cipher, 2, names, scores);
    const THighscoreNames oldNames = names;
    const THighscoreScores oldScores = scores;
    const int pos = InsertHighscore(names, scores, score, QStringLiteral("new"));
    if (pos < 0) {
        FUZZ_CHECK(names == oldNames && scores == oldScores);
        for (int s : oldScores)
            FUZZ_CHECK(s >= score);
        return;
    }
    FUZZ_CHECK(pos == HighscoreInsertPos(oldScores, score));
    FUZZ_CHECK(names[pos] == QStringLiteral("new") && scores[pos] == score);
    for (int row = 0; row < pos; ++row)
        FUZZ_CHECK(names[row] == oldNames[row] && scores[row] == oldScores[row] && scores[row] >= score);
    FUZZ_CHECK(oldScores[pos] < score);
    for (int row = pos + 1; row < HighscoreRows; ++row)
        FUZZ_CHECK(names[row] == oldNames[row - 1] && scores[row] == oldScores[row - 1]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString stored = InputText(data, size);
    std::int32_t number = 0;
    if (size > 0) std::memcpy(&number, data, std::min<std::size_t>(size, sizeof number));

    // The game's scrambler: default alphabet, key 0 (which means 48213).
    TChiffre cipher;
    cipher.Init(QString(), 0);
    FUZZ_CHECK(cipher.Key() == 48213);
    CheckCipher(cipher, stored);

    // Loading a row: the score is the decimal integer before the first comma, the name is
    // everything after it.
    const QString decoded = cipher.Decode(stored);
    const std::optional<std::pair<int, QString>> row = ParseHighscoreRow(decoded);
    const qsizetype comma = decoded.indexOf(u',');
    const std::optional<int> score =
        comma < 0 ? std::nullopt : ReferenceDecimalInt(QStringView(decoded).left(comma));
    FUZZ_CHECK(row.has_value() == score.has_value());
    if (row) {
        FUZZ_CHECK(row->first == *score);
        FUZZ_CHECK(row->second == decoded.mid(comma + 1));
        if (IsCanonicalInt(QStringView(decoded).left(comma)))
            FUZZ_CHECK(FormatHighscoreRow(row->first, row->second) == decoded);
    }

    // Storing a row and loading it again gives the same score and name, commas and all.
    const auto storedRow = cipher.Encode(FormatHighscoreRow(number, stored));
    const auto loaded = ParseHighscoreRow(cipher.Decode(storedRow));
    FUZZ_CHECK(loaded && loaded->first == number && loaded->second == stored);

    // Any key the scrambler can be given ends up in 1..2147482863 and still round-trips.
    TChiffre keyed;
    keyed.Init(QString(), number);
    FUZZ_CHECK(keyed.Key() >= 1 && keyed.Key() <= 2147482863);
    CheckCipher(keyed, stored);

    CheckMerge(cipher, stored, number);
    return 0;
}
