#pragma once
// What the solver tells the player: the best result found for the deal once a game is over
// ("par"), and on request the next move from the board as it lies (a hint). Whoever shows the
// hint marks the game assisted: its score stays out of the highscore list.

#include "app/SolverRunner.h"
#include "game/Game.h"
#include "texts/Language.h" // ParText

#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QTimer;

// Both languages.
// Why a game gets no highscore entry: a hint was used, or a move taken back.
QString AssistedText(bool tookBack = false);
// The hinted move in words, as the board shows it and a screen reader says it: "Hint: drop the
// violet 6 from stack 3 on position 2", "Hint: claim “two pairs”". game: the position it is for.
QString HintText(const SolverMove& move, const GameData& game);
// The same move without the word "Hint": "drop the violet 6 from stack 3 on position 2".
QString MoveText(const SolverMove& move, const GameData& game);

// Where the hint points, marked on the board until the next move: the stack and the row
// position, or the pattern, each in a black and white frame with a white arrow mark at its
// corners (told apart from the keyboard's striped yellow mark by shape and contrast, not by
// colour), and the move in words in a box above the row. It lies over the board and lets every
// press through.
class THintMark : public QWidget {
    Q_OBJECT
  public:
    explicit THintMark(QWidget* parent);
    void ShowHint(const QList<QRect>& places, const QString& text);
    void Clear();
    bool Showing() const { return isVisible(); }
    QList<QRect> Places() const { return m_places; }
    QString Text() const { return m_text; }
    // The band the words are written in, across the board (set with each layout).
    void SetTextBand(const QRect& band);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QList<QRect> m_places;
    QString m_text;
    QRect m_band;
};

class TAdvice : public QObject {
    Q_OBJECT
  public:
    // game: the position hints start from; mark: where they are shown.
    TAdvice(const GameData& game, QWidget* parent);

    // A new deal lies on the board: it is kept for its par.
    void DealLaid(const Table& dealt, int level, std::int32_t number = 0);
    // The game is over with this score: the search for the deal's par starts.
    // points: the same without the clock, as the par counts.
    void GameEnded(int score, int points);
    // The solver's next move from the board, shown when it is found (if the board is still
    // the same then). Nothing in a game that is over or paused.
    void AskHint();
    // After every change the window draws: the mark goes once the game has moved on.
    void BoardChanged();
    // Words on the board, in the hint's place, until the game moves on.
    void ShowNote(const QString& text);

    // The par of the game that ended last, once found.
    std::optional<int> Par() const { return m_par; }
    // The best play of a numbered deal at a level, from its start: the line of the last par
    // when it is that deal's, else searched anew. done is called on the interface thread once
    // it is known (not at all when another request came first).
    void BestPlayOf(std::int32_t deal, int level,
                    std::function<void(const GameData& start, const SolverResult& found)> done);
    int EndScore() const { return m_endScore; }
    int EndPoints() const { return m_endPoints; }
    // The level and deal number of the game the par belongs to: by the time it is found, the
    // board may show another deal at another level.
    int ParLevel() const { return m_parLevel; }
    std::int32_t ParDeal() const { return m_parDeal; }

    // Where the hint's places lie on the screen, asked when it is shown.
    std::function<QList<QRect>(const SolverMove& move)> PlacesFor;
    // Called on the interface thread once the par is known, and when a hint is shown.
    std::function<void(int par, int score)> OnPar;
    std::function<void(const SolverMove& move)> OnHint;

    TSolverRunner& ParRunner() { return m_parRunner; }
    TSolverRunner& HintRunner() { return m_hintRunner; }
    TSolverRunner& LineRunner() { return m_lineRunner; }
    THintMark* Mark() const { return m_mark; }

  private:
    const GameData& m_game;
    THintMark* m_mark;
    TSolverRunner m_parRunner, m_hintRunner, m_lineRunner;
    SolverResult m_parFound; // the par's whole line
    GameData m_parStart;     // and the position it starts from
    Table m_dealt;
    int m_dealtLevel = 1;
    std::int32_t m_dealtNumber = 0;
    int m_parLevel = 1;
    std::int32_t m_parDeal = 0;
    std::optional<int> m_par;
    int m_endScore = 0;
    int m_endPoints = 0;
    int m_deal = 0;    // counts deals, so a late answer for an old deal is recognised
    GameData m_hinted; // the position the shown hint is for
};
