#include "texts/Messages.h"

#include "texts/Language.h"

#include <array>

namespace {

// A message in both languages.
struct TMessagePair {
    TMessage German;
    TMessage English;
};

constexpr std::array<TMessagePair, 4> Notices = {{
    {{{"Du musst die nächste Karte", 20, 12}, {"auf den Joker legen!", 40, 12}},
     {{"You must put the next", 20, 12}, {"card on the joker!", 40, 12}}},
    // A one-word exclamation stands larger and higher, its line below moved down.
    {{{"Hurra,", 18, 16}, {"du hast es geschafft!", 44, 12}},
     {{"Hurrah,", 18, 16}, {"you made it!", 44, 12}}},
    // "Das ist sich leider nicht ausgegangen" is Austrian German, and "Sorry" comes without its
    // comma: both deliberate, players see them so.
    {{{"Das ist sich leider", 20, 12}, {"nicht ausgegangen.", 40, 12}},
     {{"Sorry", 18, 16}, {"but this wasn't enough.", 44, 12}}},
    {{{"Zug zurückgenommen:", 20, 12}, {"kein Eintrag in die Bestenliste.", 40, 12}},
     {{"Move taken back:", 20, 12}, {"no highscore entry for this game.", 40, 12}}},
}};

constexpr std::array<TMessagePair, 3> Questions = {{
    {{{"Willst Du das Spiel", 20, 12}, {"wirklich beenden?", 40, 12}},
     {{"Do you really want to", 20, 12}, {"exit the game?", 40, 12}}},
    {{{"Willst Du die Partie", 20, 12}, {"wirklich aufgeben?", 40, 12}},
     // "then game" is the game's own wording, not a typo to fix: players see it so.
     {{"Do you really want to", 20, 12}, {"give up then game?", 40, 12}}},
    {{{"Willst Du die Statistik", 20, 12}, {"wirklich löschen?", 40, 12}},
     {{"Do you really want to", 20, 12}, {"reset the statistics?", 40, 12}}},
}};

template <size_t N> const TMessage& PickMessage(const std::array<TMessagePair, N>& table, int kind) {
    if (kind < 1 || kind > int(N)) return NoMessage;
    const TMessagePair& pair = table[size_t(kind - 1)];
    return IsGerman() ? pair.German : pair.English;
}

} // namespace

const TMessage& NoticeMessage(int kind) {
    return PickMessage(Notices, kind);
}

const TMessage& QuestionMessage(int kind) {
    return PickMessage(Questions, kind);
}
