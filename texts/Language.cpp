#include "texts/Language.h"

int Language = 0;

#include <algorithm>
#include <array>

namespace {

constexpr std::array<TextPair, 11> MainTexts = {{
    {"Punkte:", "Score:"},
    {"Ich fang ein neues Spiel an.", "I start a new game."},
    {"Ich gebs auf.", "I give up."},
    {"Du willst ein Spiel aufgeben, bevor Du begonnen hast?",
     "You want to give up a game before you started it?"},
    {"Ich mach eine kurze Pause.", "I need a break."},
    // "make a break and didn't begun" and "a glimpse on" below are the game's own English,
    // kept word for word on purpose: do not correct them.
    {"Du willst eine Pause machen, bevor Du begonnen hast?",
     "You want to make a break and didn't begun yet?"},
    {"Wer gehört denn zu den Besten?", "Who are the best?"},
    {"Ich möchte etwas anderes einstellen.", "I want to change something."},
    {"Wer hat das Spiel erfunden?", "Who invented this game?"},
    {"Ich sehe mir zuerst die Regeln an.", "I take a glimpse on the rules."},
    {"Im Augenblick habe ich genug.", "For now I have enough."},
}};

constexpr std::array<TextPair, 4> Titles = {{
    {"Zelvano - Anfänger", "Zelvano - basic"},
    {"Zelvano - Fortgeschrittene", "Zelvano - advanced"},
    {"Zelvano - Meister", "Zelvano - master"},
    {"Zelvano - Champions", "Zelvano - champion"},
}};

constexpr std::array<TextPair, 26> DialogTexts = {{
    {"Zurück zum Spiel", "Back to game"},
    {"Einstellungen:", "Options:"},
    {"Sprache ändern", "Change language"},
    {"Ich spreche deutsch.", "I speak English."},
    // Without a full stop, unlike the music's line: kept as players have always seen it.
    {"Geräusche ein- und ausschalten.", "Sound on or off"},
    {"Geräusche sind an.", "Sound is on."},
    {"Geräusche sind aus.", "Sound is off."},
    {"Musik ein- und ausschalten.", "Music on or off."},
    {"Eigene Musik (*.mid) gehört in ", "Your own music (*.mid) goes in "},
    {"Musik: ", "Music: "},
    {"keine", "none"},
    {"Musik ist aus.", "Music is off."},
    {"Hintergrund ändern", "Change background"},
    {"Spielstärke ändern", "Change skill level"},
    {"Ein Legespiel mit Kartenmustern", "A card-pattern puzzle"},
    {"Gemacht von den Zelvano-Entwicklern", "Made by the Zelvano developers"},
    {"Spiel Nr. %1", "Deal %1"},
    {"Noch einmal von vorn", "Restart this deal"},
    {"Dieselben Karten, ein neues Spiel", "The same cards, a new game"},
    {"Tipp: der nächste Zug (H)", "Hint: the next move (H)"},
    {"Zeigt einen guten nächsten Zug. Ein Spiel mit Tipp kommt nicht in die Bestenliste.",
     "Shows a good next move. A game played with a hint stays out of the highscore list."},
    {"Sprache: Deutsch", "Language: English"},
    {"Geräusche: ", "Sound: "},
    {"Spielstärke: ", "Skill level: "},
    {"an", "on"},
    {"aus", "off"},
}};

constexpr std::array<TextPair, 5> BackgroundCaptions = {{
    {"Hintergrund: grau", "Background: grey"},
    {"Hintergrund: braun", "Background: brown"},
    {"Hintergrund: grün", "Background: green"},
    {"Hintergrund: blau", "Background: blue"},
    {"Hintergrund: rot", "Background: red"},
}};

// The options page names the top level "champions", the window title "champion".
constexpr std::array<TextPair, 4> LevelCaptions = {{
    {"Anfänger", "basic"},
    {"Fortgeschrittene", "advanced"},
    {"Meister", "master"},
    {"Champions", "champions"},
}};

template <size_t N> QString PickOrNull(const std::array<TextPair, N>& table, int index) {
    if (index < 0 || index >= int(N)) return QString();
    return Pick(table[size_t(index)]);
}

} // namespace

QString MainText(TMainText which) {
    return Pick(MainTexts[static_cast<size_t>(which)]);
}

QString MainTitle(int level) {
    return Pick(Titles[static_cast<size_t>(std::clamp(level, 1, 4) - 1)]);
}

QString DialogText(TDialogText which) {
    return Pick(DialogTexts[static_cast<size_t>(which)]);
}

QString BackgroundCaption(int index) {
    return PickOrNull(BackgroundCaptions, index);
}

QString LevelCaption(int level) {
    return PickOrNull(LevelCaptions, level - 1);
}

static_assert(DialogTexts.size() == static_cast<size_t>(TDialogText::SwitchedOff) + 1,
              "one text pair per TDialogText");

QString ParText(long long par, long long points, long long score) {
    if (points == 0 && score != 0)
        return IsGerman() ? QStringLiteral("Bestes gefundenes Ergebnis: %1; du: %2").arg(par).arg(score)
                          : QStringLiteral("best found for this deal: %1; you: %2").arg(par).arg(score);
    return IsGerman()
               ? QStringLiteral("Bestes gefundenes Ergebnis: %1 Punkte; du: %2 Punkte, %3 nach der Uhr")
                     .arg(par)
                     .arg(points)
                     .arg(score)
               : QStringLiteral("best found for this deal: %1 points; you: %2 points, %3 after the clock")
                     .arg(par)
                     .arg(points)
                     .arg(score);
}

QString BestPlayLinkText() {
    return Pick({"Beste Partie zeigen (B)", "Show the best play (B)"});
}

QString BestPlayHintText() {
    return Pick({"Zeigt die beste gefundene Partie dieses Spiels Zug für Zug auf dem Brett",
                 "Shows the best play found for this deal on the board, move by move"});
}
