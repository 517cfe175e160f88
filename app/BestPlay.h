#pragma once
// The best play of a deal shown on the board: the solver's line, one move about every second,
// with the offers glittering and the claims flashing as in play, and no sound. The arrows
// step back and forth, Space pauses and plays on, Home and End go to the deal and to the end,
// and Escape (or a press on the board) leaves it; any other key leaves it and then does what
// it always does. The window lends its board: it shows each position it is handed and puts its
// own game back when the replay ends.

#include "game/Replay.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;

// Both languages.
// The words on the board for the replay as it stands now.
QString ReplayText(const TReplay& replay, bool paused);
// While the line is searched.
QString BestPlaySearchText();

class TBestPlay : public QObject {
    Q_OBJECT
  public:
    // window: where the keys are taken while the replay runs.
    explicit TBestPlay(QWidget& window);
    ~TBestPlay() override;

    // Shows the line from the position start, from its first move. shownAs: the state the
    // positions show (the game on the board is over, or a fresh deal has not begun).
    void Start(const GameData& start, const std::vector<SolverMove>& line, TGameState shownAs);
    // Back to the window's own game.
    void Leave();
    bool Active() const { return m_active; }
    bool Paused() const { return !m_timer.isActive(); }
    const TReplay& Replay() const { return m_replay; }

    // The replay's keys; false for a key it does not take (the replay has been left then).
    bool Key(int key);
    // One step, as the keys take them.
    void Forward();
    void Back();
    void TogglePause();

    // The window's side.
    std::function<void(const GameData& position)> ShowPosition;
    std::function<void(int position, int points)> FlashClaim; // over the position before it
    std::function<void(int ms)> Wait;                         // with what was drawn shown
    std::function<void(const QString& text)> Say;             // on the board and to a screen reader
    std::function<void()> Left;                               // the window's game goes back

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Plays the next step as in play; false at the end.
    bool Play();
    void Shown();

    QWidget& m_window;
    QTimer m_timer;
    TReplay m_replay;
    bool m_active = false;
};
