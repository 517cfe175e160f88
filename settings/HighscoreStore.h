#pragma once
// The highscore lists: fifteen places per skill level, kept scrambled in the settings store.
//
// Stored form (section "common"): "player" holds the name last entered, plain; "hs" + level
// letter ('a' for level 1 .. 'd' for level 4) + row 0..14 holds the scrambled text of
// "<score>,<name>". These names and the scrambling are a file format: players' lists depend
// on them.

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <utility>

class TChiffre;

inline constexpr int HighscoreRows = 15;
using THighscoreNames = std::array<QString, HighscoreRows>;
using THighscoreScores = std::array<int, HighscoreRows>;

// The name of every row the store does not hold.
QString DefaultPlayerName();
QString HighscoreKey(int level, int row);
// Score and name of a decoded row: the decimal integer before the first comma and everything
// after it. Nothing when there is no such integer (a damaged or hand-edited row).
std::optional<std::pair<int, QString>> ParseHighscoreRow(const QString& decoded);
QString FormatHighscoreRow(int score, const QString& name);
// The first row whose score is strictly lower, so a tie goes below the older entries;
// -1 when the score does not reach the list.
int HighscoreInsertPos(const THighscoreScores& scores, int score);
// Puts (name, score) into the list where HighscoreInsertPos says, the last row falling off.
// Returns the row, or -1 when the score does not reach the list (nothing changes then).
int InsertHighscore(THighscoreNames& names, THighscoreScores& scores, int score, const QString& name);
// The list of a level as stored, read through read(key); a missing or damaged row holds the
// default entry, so a broken row never hides the rest of the list.
void DecodeHighscoreList(const std::function<QString(const QString& key)>& read, const TChiffre& cipher,
                         int level, THighscoreNames& names, THighscoreScores& scores);
