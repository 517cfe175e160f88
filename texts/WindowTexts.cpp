#include "texts/WindowTexts.h"

#include "texts/Language.h"

#include <array>

namespace {

constexpr std::array<TextPair, 6> HighscoreTexts = {{
    {"Zelvano - Bestenliste", "Zelvano - Highscore"},
    {"alle Einträge löschen", "remove all entries"},
    {"Dein Name", "Your name"},
    {"In Liste aufnehmen", "put in list"},
    {"Abbrechen", "Cancel"},
    {"Statistik", "Statistics"},
}};

constexpr std::array<TextPair, 7> StatisticsTexts = {{
    {"Zelvano - Statistik", "Zelvano - Statistics"},
    {"Statistik", "Statistics"},
    {"Letztes Spiel: Nr. %1", "Last game: deal %1"},
    {"Noch kein Spiel gezählt", "No game counted yet"},
    {"Statistik löschen", "Reset statistics"},
    {"Alle Zahlen auf null setzen", "Set every figure to zero"},
    {"Zurück", "Back"},
}};

constexpr std::array<TextPair, 11> StatisticsRows = {{
    {"Gespielt", "Played"},
    {"Gewonnen", "Won"},
    {"Verloren", "Lost"},
    {"Gewinnquote", "Win rate"},
    {"Beste Punkte", "Best score"},
    {"Mittlere Punkte", "Average score"},
    {"Letzte Punkte", "Last score"},
    {"Siege in Folge", "Current streak"},
    {"Längste Serie", "Longest streak"},
    {"Gespielte Zeit", "Time played"},
    {"Mit Tipps gespielt", "Played with hints"},
}};

constexpr std::array<TextPair, 2> QuestionTexts = {{
    {"Ja", "Yes"},
    {"Nein", "No"},
}};

constexpr std::array<TextPair, 2> HelpTexts = {{
    {"Zelvano – Hilfe", "Zelvano – Help"},
    {"<h2>Zelvano – Hilfe</h2><p>Die Hilfedatei wurde nicht gefunden:</p>"
     "<p><tt>%1</tt></p><p>Sie gehört in den Datenordner des Spiels.</p>",
     "<h2>Zelvano – Help</h2><p>The help file could not be found:</p>"
     "<p><tt>%1</tt></p><p>It belongs in the game's data folder.</p>"},
}};

static_assert(HighscoreTexts.size() == size_t(THighscoreText::Statistics) + 1, "one pair per THighscoreText");
static_assert(StatisticsTexts.size() == size_t(TStatisticsText::Back) + 1, "one pair per TStatisticsText");
static_assert(QuestionTexts.size() == size_t(TQuestionText::No) + 1, "one pair per TQuestionText");
static_assert(HelpTexts.size() == size_t(THelpText::Missing) + 1, "one pair per THelpText");

} // namespace

QString HighscoreText(THighscoreText which) {
    return Pick(HighscoreTexts[size_t(which)]);
}

QString StatisticsText(TStatisticsText which) {
    return Pick(StatisticsTexts[size_t(which)]);
}

QString StatisticsRowName(int row) {
    if (row < 0 || row >= int(StatisticsRows.size())) return QString();
    return Pick(StatisticsRows[size_t(row)]);
}

QString QuestionText(TQuestionText which) {
    return Pick(QuestionTexts[size_t(which)]);
}

QString HelpText(THelpText which) {
    return Pick(HelpTexts[size_t(which)]);
}
