#pragma once
// What a screen reader learns about the game: the main window is a frame named by its title;
// the board is a pane whose children are the score ("Score: 2854"), the four row positions and
// the five stack tops (each named by its card, described by its place), the card in hand while
// one is lifted and a status line with the last news; each pattern shape is a push button named
// by its pattern, described by its state and points. A notice beside the board speaks the news.

#include "game/Game.h"

#include <QString>

#include <array>
#include <memory>

class TKeyboard;
class TNotice;
class TPlayView;

// Installs the factories of the game's accessible interfaces (once per process).
void InstallAccessibility();

// A card as a screen reader says it: "red 7", "violet 13", "joker" (in German when the game
// speaks German).
QString CardName(CardCode card);
// "row position 2" for position 1 (0-based in, 1-based out), "stack 4, 7 cards" for stack 3.
QString RowPlaceName(int position);
QString StackPlaceName(int stack, int cards);
// The state of the pattern at a position: "open", "offered, 12 points", ..., "claimed".
QString PatternStateText(const GameData& game, int position);

// Tells a screen reader where the keyboard's mark now is.
void AnnounceKeyboardFocus(TPlayView& view, const TKeyboard& keys);

// "Score: 2854", as the score is named and as news give the new score.
QString ScoreText(const GameData& game);
// "Move taken back. Score: 2854", or "Move played again. ...".
QString TakeBackText(bool redo, const GameData& game);

// Compares the game with what it was at the last call and says the differences that matter to
// a player, once each: a card lifted or put back, a drop (which card, where, what it covered),
// new offers with their points, a claim with its points and the new score, pause and resume,
// a won or lost game with its score, a new deal. The score running down with the clock is
// not news.
class TAnnouncer {
  public:
    explicit TAnnouncer(TPlayView& view);

    void Changed();
    // Says text at once: news that leaves the board as it is, such as a hint.
    void Tell(const QString& text);
    // Takes the game as it is now as known, without a word: for a change told otherwise.
    void Settle() { m_was = Take(); }
    // The last announcement, as the status line reads it.
    QString Last() const;

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
        bool dragging = false;
        int dragStack = 0;
        CardCode inHand = 0;
    };
    TSnapshot Take() const;
    void Moves(const TSnapshot& was, const TSnapshot& now, QStringList& said) const;
    void Offers(const TSnapshot& was, const TSnapshot& now, QStringList& said) const;

    TPlayView& m_view;
    TSnapshot m_was;
    TNotice* m_notice; // owned by the main window
};
