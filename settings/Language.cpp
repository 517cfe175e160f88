#include "settings/Language.h"

int Language = 0;

#include <algorithm>
#include <array>

namespace {

struct TextPair {
    const char* German;
    const char* English;
};

QString Pick(const TextPair& p) { return QString::fromUtf8(IsGerman() ? p.German : p.English); }

constexpr std::array<TextPair, 11> MainTexts = {{
    {"Punkte:", "Score:"},
    {"Ich fang ein neues Spiel an.", "I start a new game."},
    {"Ich gebs auf.", "I give up."},
    {"Du willst ein Spiel aufgeben, bevor Du begonnen hast?", "You want to give up a game before you started it?"},
    {"Ich mach eine kurze Pause.", "I need a break."},
    {"Du willst eine Pause machen, bevor Du begonnen hast?", "You want to make a break and didn't begun yet?"},
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

} // namespace

QString MainText(TMainText which) { return Pick(MainTexts[static_cast<size_t>(which)]); }

QString MainTitle(int level) { return Pick(Titles[static_cast<size_t>(std::clamp(level, 1, 4) - 1)]); }
