#pragma once
// What a screen reader learns about the board: the board is a pane whose children are the
// score (a number named by its caption), the four row positions and the five stack tops (each
// named by its card, described by its place) and a status line that announces what happened;
// each pattern shape is a push button named by its pattern, described by its state and points.

#include "game/Cards.h"

#include <QString>

#include <array>

class TKeyboard;
class TMainform;

// Installs the factories of the game's accessible interfaces (once per process).
void InstallAccessibility();

// A card as a screen reader says it: "red 7", "violet 13", "joker" (in German when the game
// speaks German).
QString CardName(CardCode card);
// "row position 2" for position 1 (0-based in, 1-based out), "stack 4, 7 cards" for stack 3.
QString RowPlaceName(int position);
QString StackPlaceName(int stack, int cards);
// The state of the pattern at a position: "open", "offered, 12 points", ..., "claimed".
QString PatternStateText(const TMainform& form, int position);

// The toolbar buttons' names in the current language.
void ApplyAccessibleNames(const TKeyboard& keys);
// Tells a screen reader where the keyboard's mark now is.
void AnnounceKeyboardFocus(TMainform& form, const TKeyboard& keys);

// Compares the game with what it was at the last call and announces the differences that
// matter to a player: a drop, offers appearing, a claim and its points, a won or lost game,
// a new deal; the score's value changes as it goes.
class TAnnouncer {
public:
    void Changed(TMainform& form);
    // Says text at once on the status line: news that leaves the board as it is, such as a hint.
    void Tell(TMainform& form, const QString& text);
    // The last announcement, as the status line reads it.
    QString Last() const { return m_last; }

private:
    struct TSnapshot {
        bool valid = false;
        std::array<CardCode, RowSize> row{};
        std::array<int, StackTotal> stackCount{};
        std::array<int, 19> state{};
        std::array<int, 19> points{};
        int gameState = 0;
        int score = 0;
        int level = 0;
    };
    TSnapshot Take(const TMainform& form) const;

    TSnapshot m_was;
    QString m_last;
};
