#pragma once
// The main window: the whole game. It holds the game's state, asks the rules in game/ what
// each press, drop, claim and tick does, has the board repaint what changed, and opens the
// dialogs. Everything happens on the one user-interface thread.

#include "app/CommandLine.h"
#include "board/Board.h"
#include "board/Canvas.h"
#include "board/Sprites.h"
#include "controls/Decor.h"
#include "settings/Chiffre.h"
#include "game/Game.h"
#include "game/Statistics.h"
#include "media/Help.h"
#include "media/Media.h"
#include "dialogs/OptionsHost.h"
#include "placement/WindowPlacement.h"
#include "settings/ini.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QLabel;
class QTimer;
class TAdvice;
class TJetButton;
class TKeyboard;
class TPaintBox;
class TPatternShape;
class THighscoreDlg;
class TOKDialog;
class TYesNoDialog;
class TOptionsDialog;
class TStatisticsDlg;

class TMainform : public QWidget, public GameData, public TOptionsHost {
    Q_OBJECT
public:
    // settingsPath: the settings file (the player's own by default).
    // start: a deal number and a level for the first game instead of a random deal and the
    // stored level (0 for either: as usual).
    explicit TMainform(const QString& settingsPath = TIniStore::DefaultPath(), const TStartOptions& start = {});
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
    TJetButton *MixBtn = nullptr, *GiveUpBtn = nullptr, *PauseBtn = nullptr, *HighScoreBtn = nullptr;
    TJetButton *OptionBtn = nullptr, *InfoBtn = nullptr, *HelpBtn = nullptr, *ExitBtn = nullptr;
    QLabel* ScoreLabel = nullptr;
    QTimer* Timer = nullptr;
    TMusic midi;
    THelp Help;
    TChiffre HighscoreCipher;
    std::array<TPatternShape*, MaxPatternCount + 1> PatternShapes{}; // by position 1..18
    std::unique_ptr<TWindowPlacement> LMDForm1;
    // Keyboard play, the focus mark and what a screen reader is told (app/Keys).
    std::unique_ptr<TKeyboard> Keys;

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
    bool Dragging = false;
    int DragStack = 0;
    std::unique_ptr<tSprite> DragSprite;
    QImage DragImage;
    GameRandom Random;
    TBoard Board;
    // The number of the deal on the board; the same number always deals the same table.
    std::int32_t DealNumber = 0;
    TAdvice* Advice = nullptr; // par after each game, and hints

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
    void ResetBtnClick();
    void GiveUpBtnClick();
    void PauseBtnClick();
    void HighScoreBtnClick();
    void OptionBtnClick();
    void InfoBtnClick();
    void HelpBtnClick();
    void ExitBtnMouseDown();
    // Ctrl+R and the info page: the deal on the board from its start, as a new game. Asks
    // first while a game runs, as a new deal does.
    void RestartDealClick();
    void HintRequest(); // the H key and the info page's hint button
    // Ctrl+T: the statistics of every level.
    void StatisticsClick();

    // Game routines; each repaints what it changes.
    // A deal of a number drawn at random, or of the given number.
    void NewDeal();
    void NewDeal(std::int32_t number);
    void EvaluatePatterns();
    void CheckEndOfGame();
    void UpdateToolbar();
    void SetLevel(int level);
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
    std::int32_t DealOnBoard() const override { return DealNumber; }
    bool HintPossible() const override;
    void SetBackground(int index) override;

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
    void StartGame();
    void OfferHighscore();
    // Adds the game on the board, as it ends now, to the stored statistics of its level.
    void RecordGameEnd(GameEnd end);
    FinishedGame FinishedGameNow(GameEnd end) const;
    // Mix and restart: ends a running game (after asking) and deals the number, or a random one.
    void DealAfresh(std::int32_t number);
    // Asks before a running game is dropped (a new deal, giving up, another level): true on yes.
    bool AskToDropTheGame();
    void DrawTable();
    void RestartDragAfterLayout(int oldCardSize);
    void RelayoutAndPaint();
    void PlaceBoardControls();
    void CreateAdvice();
    void GameEnded(); // a started game is over, however it ended: its par is looked for
    QString EndNote() const;

    TStartOptions m_start;
    bool m_firstShow = true;
    int m_storedLanguage = -1; // as the start read it; -1 when none was ever chosen
    std::function<void()> m_dialogMaker;
    QTimer* m_boardSettled = nullptr;
    bool m_closing = false;
    QSize m_laidOut; // the paint box size of the last layout
    QPoint m_dragGrab;    // where the pointer took hold of the dragged card
    QPoint m_lastPointer; // on the board, as last seen
};
