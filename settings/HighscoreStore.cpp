#include "settings/HighscoreStore.h"

#include "settings/Chiffre.h"
#include "settings/ini.h"

QString DefaultPlayerName() {
    return QStringLiteral("Mr. Brain");
}

QString HighscoreKey(int level, int row) {
    return QStringLiteral("hs") + QChar(char16_t(u'a' + level - 1)) + QString::number(row);
}

std::optional<std::pair<int, QString>> ParseHighscoreRow(const QString& decoded) {
    const qsizetype comma = decoded.indexOf(u',');
    if (comma < 0) return std::nullopt;
    const std::optional<int> score = ParseDecimalInt(QStringView(decoded).left(comma));
    if (!score) return std::nullopt;
    return std::pair{*score, decoded.mid(comma + 1)};
}

QString FormatHighscoreRow(int score, const QString& name) {
    return QString::number(score) + u',' + name;
}

int HighscoreInsertPos(const THighscoreScores& scores, int score) {
    for (int row = 0; row < HighscoreRows; ++row)
        if (scores[row] < score) return row;
    return -1;
}

int InsertHighscore(THighscoreNames& names, THighscoreScores& scores, int score, const QString& name) {
    const int pos = HighscoreInsertPos(scores, score);
    if (pos < 0) return -1;
    for (int row = HighscoreRows - 1; row > pos; --row) {
        names[row] = names[row - 1];
        scores[row] = scores[row - 1];
    }
    names[pos] = name;
    scores[pos] = score;
    return pos;
}

void DecodeHighscoreList(const std::function<QString(const QString& key)>& read, const TChiffre& cipher,
                         int level, THighscoreNames& names, THighscoreScores& scores) {
    for (int row = 0; row < HighscoreRows; ++row) {
        const auto entry = ParseHighscoreRow(cipher.Decode(read(HighscoreKey(level, row))));
        names[row] = entry ? entry->second : DefaultPlayerName();
        scores[row] = entry ? entry->first : 0;
    }
}
