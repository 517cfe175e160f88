#pragma once
// The main window. It draws the game session's state, turns the pointer's presses into the
// session's moves, shows the questions and messages the session asks for, and opens the
// dialogs. Everything happens on the one user-interface thread.

#include "app/CommandLine.h"
#include "app/PlayView.h"
#include "board/Board.h"
#include "board/Canvas.h"
#include "board/Sprites.h"
#include "controls/Decor.h"
#include "dialogs/OptionsHost.h"
#include "game/Session.h"
#include "game/Statistics.h"
#include "media/Help.h"
#include "media/Media.h"
#include "placement/WindowPlacement.h"
#include "settings/Chiffre.h"
#include "settings/ini.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QLabel;
class QTimer;
class TAdvice;
class TBestPlay;
class TAnnouncer;
class TJetButton;
class TKeyboard;
class TPaintBox;
class TPatternShape;
class THighscoreDlg;
class TOKDialog;
class TYesNoDialog;
class TOptionsDialog;
class TStatisticsDlg;

class TMainform : public QWidget, public TOptionsHost, public TSessionHost, public TPlayView {
    Q_OBJECT
  public:
    // settingsPath: the settings file (the player's own by default).
    // start: a deal number and a level for the first game instead of a random deal and the
    // stored level (0 for either: as usual).
    explicit TMainform(const QString& settingsPath = TIniStore::DefaultPath(),
                       const TStartOptions& start = {});
    ~TMainform() override;

    // The dialogs are made after the main window (the highscore dialog reads its store while
    // it is made) and handed in before the window is first shown.
    void SetDialogs(THighscoreDlg* highscore, TOKDialog* ok, TYesNoDialog* yesNo, TOptionsDialog* multi);
    void SetStatisticsDialog(TStatisticsDlg* statistics) { StatisticsDlg = statistics; }
    // Makes the dialogs (through SetDialogs) the first time one is needed.
    void SetDialogMaker(std::function<void()> maker) { m_dialogMaker = std::move(maker); }
    // The dialogs, made now if they were not yet; without a maker they stay missing.
    void NeedDialogs();

    // Components.
    TIniStore ini;
    TImageList Bitmaps;
    TCanvas Canvas;
    TPaintBox* box = nullptr;
    std::array<TJetButton*, ToolCount> Tools{};
    QLabel* ScoreLabel = nullptr;
    QTimer* Timer = nullptr;
    TMusic midi;
    THelp Help;
    TChiffre HighscoreCipher;
    std::array<TPatternShape*, MaxPatternCount + 1> PatternShapes{}; // by position 1..18
    std::unique_ptr<TWindowPlacement> LMDForm1;

    THighscoreDlg* HighscoreDlg = nullptr;
    TOKDialog* OKDialog = nullptr;
    TYesNoDialog* YesNoDialog = nullptr;
    TOptionsDialog* qxMultiDlg = nullptr;
    TStatisticsDlg* StatisticsDlg = nullptr;

    // State besides the game's own.
    QString ProgramDir; // with a trailing separator
    QString DataDir;    // the music and the help, with a trailing separator
    bool SoundOn = true;
    bool MusicOn = true;
    std::unique_ptr<tSprite> DragSprite;
    QImage DragImage;
    GameRandom Random;
    // The game on the board.
    TGameSession Session;
    TBoard Board;
    TAdvice* Advice = nullptr; // par after each game, and hints
    TBestPlay* BestPlay = nullptr; // the best play of the last deal, shown on the board
    // What a screen reader is told of the game's changes.
    std::unique_ptr<TAnnouncer> News;
    // Keyboard play and its focus mark (app/Keys).
    std::unique_ptr<TKeyboard> Keys;

    // The game as it stands; tests and tools may set up a position by hand.
    using TPlayView::Game;
    GameData& Game() { return Session.EditGame(); }
    bool Dragging() const { return Session.Hand() >= 0; }

    // Event handlers.
    void FormShow();
    void FormResize();
    bool FormCloseQuery();
    void FormClose();
    // The desktop ends the game (a signal, the end of the session): written as a close
    // writes, without a question or any other window; a running game's score is not offered.
    // The caller then ends the event loop.
    void CloseWithoutQuestions();
    void boxPaint();
    void boxMouseDown(Qt::MouseButton button, int X, int Y);
    void boxMouseMove(int X, int Y);
    void boxMouseUp(Qt::MouseButton button, int X, int Y);
    void PatShapeMouseDown(int position);
    void TimerTimer();
    void PauseBtnClick();
    void HighScoreBtnClick();
    void OptionBtnClick();
    void InfoBtnClick();
    void HelpBtnClick();
    // Ctrl+R and the info page: the deal on the board from its start, as a new game. Asks
    // first while a game runs, as a new deal does.
    void RestartDealClick();
    void HintRequest(); // the H key and the info page's hint button
    // Ctrl+T: the statistics of every level.
    void StatisticsClick();

    void UpdateToolbar();
    void LayoutBoard();
    void BoardSettled(); // the window has kept its size for a while
    void ApplyMainTexts() override;
    void PlaySoundResource(const char* name);
    // Waits ms milliseconds without handling events, after showing what was drawn.
    void Delay(int ms);

    // The options dialog's side.
    bool SoundEnabled() const override { return SoundOn; }
    void SetSoundEnabled(bool on) override { SoundOn = on; }
    bool MusicEnabled() const override { return MusicOn; }
    void SwitchMusic() override;
    QString MusicFileName() const override;
    int Background() const override { return Board.BackgroundIndex; }
    std::int32_t DealOnBoard() const override { return Session.Deal(); }
    bool HintPossible() const override { return Session.HintPossible(); }
    void SetBackground(int index) override;

    // The game session's side: its questions, messages, sounds and what it changed.
    bool Ask(TQuestion question) override;
    void Tell(TGameMessage message) override;
    void Play(TSound sound) override;
    void Show(TChange change, int index = 0) override;
    void ClaimFlash(int position, int points) override;
    void Wait(int ms) override { Delay(ms); }
    void DealLaid() override;
    void GameOver(int score) override;
    void Record(const FinishedGame& game) override;
    void OfferHighscore(int score) override;

    // The keyboard's and the screen reader's side.
    const TGameSession& GameSession() const override { return Session; }
    QWidget& Window() override { return *this; }
    TPaintBox& BoardWidget() override { return *box; }
    const TBoard& BoardView() const override { return Board; }
    TCanvas& BoardCanvas() override { return Canvas; }
    void RepaintBoard() override { boxPaint(); }
    TJetButton* ToolButton(TTool tool) const override { return Tools[size_t(ToolIndex(tool))]; }
    TPatternShape* PatternShape(int position) const override { return PatternShapes[size_t(position)]; }
    TKeyboard* Keyboard() const override { return Keys.get(); }
    TAnnouncer& Announcer() override { return *News; }
    bool LiftCard(int stack) override;
    void DropCard(int target) override;
    void ClaimPattern(int position) override { PatShapeMouseDown(position); }
    void TouchBoard() override { Session.Touch(); }
    void PressTool(TTool tool) override;
    void RestartDeal() override { RestartDealClick(); }
    void ShowStatistics() override { StatisticsClick(); }
    void AskHint() override { HintRequest(); }
    void TakeBack(bool redo) override;
    // B, the link below the end message and the statistics: the best play of a deal shown on
    // the board (deal 0: the game on the board, once it is over).
    void ShowBestPlay() override { ShowBestPlayOf(0, 0); }
    void ShowBestPlayOf(std::int32_t deal, int level);

    // For tests and tools: every effect played (while sound is on), and a stand-in for the
    // blocking waits.
    std::function<void(const QString& name)> OnSound;
    std::function<void(int ms)> OnDelay;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void FormCreate();
    void CreateToolbar();
    void CreatePatternShapes();
    void ToolClicked(TTool tool);
    // The card on top of a stack follows the pointer from here on, held at grab.
    void BeginDrag(int stack, QPoint grab);
    void EndDrag(int target);
    void DrawTable();
    void RestartDragAfterLayout(int oldCardSize);
    void RelayoutAndPaint();
    void PlaceBoardControls();
    void CreateAdvice();
    QString EndNote() const;
    void CreateBestPlay();
    // Shows the best play once no window waits for an answer (the end message's link).
    void ShowBestPlayWhenFree();
    // Leaves the best play if it is shown: the window's own game is back.
    void LeaveBestPlay();
    // The end message's link: the par of the game on the board is known.
    bool BestPlayOffered() const;
    // The game kept at the last close, if it can be played on.
    std::optional<TSessionState> KeptGame(const TIniValues& stored);

    TStartOptions m_start;
    bool m_firstShow = true;
    int m_storedLanguage = -1; // as the start read it; -1 when none was ever chosen
    // A game the desktop ended without the exit question is kept for the next start.
    bool m_keepGame = false;
    bool m_gameWasStored = false; // the settings held a kept game (or its remains) at the start
    QString m_startNote;          // what the start tells of a kept game, on the board
    std::function<void()> m_dialogMaker;
    QTimer* m_boardSettled = nullptr;
    QSize m_laidOut;      // the paint box size of the last layout
    QPoint m_dragGrab;    // where the pointer took hold of the dragged card
    QPoint m_lastPointer; // on the board, as last seen
    TSessionState m_beforeReplay; // the window's own game while the best play is shown
};
