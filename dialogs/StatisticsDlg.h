#pragma once
// The statistics window: the figures of all four skill levels side by side, the deal number of
// the last game with the solver's par for it once found, and a reset behind a yes/no question. It reads the store at every opening,
// so it always shows what is saved, also what another running copy has added.

#include "controls/GameDialog.h"
#include "game/Statistics.h"

#include <array>
#include <utility>

class TBevelPanel;
class TDecorLabel;
class TFocusFrame;
class TImageList;
class TJetButton;
class TIniStore;
class TYesNoDialog;

class TStatisticsDlg : public TGameDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 640;
    static constexpr int ClientHeight = 414; // room below for the par and the best play
    // The rows of figures, top to bottom.
    enum Row { Played, Won, Lost, WinRate, Best, Average, Last, Streak, Longest, Time, Assisted, RowCount };

    TStatisticsDlg(QWidget* mainform, TIniStore& ini, TYesNoDialog& question, const TImageList& bitmaps);

    // Reads the figures and shows them until the OK button closes the window.
    int ShowModal();

    void okClick();
    // Enter, Escape and the window system's close all close it, as its OK button does.
    void DefaultAnswer() override { okClick(); }
    void CancelAnswer() override { okClick(); }
    // Asks, and on yes sets every figure back to 0; shows what is stored afterwards.
    void ResetClick();
    void FormActivate() override;

    // The figures as last read, and how one of them reads on the screen.
    Statistics Shown;
    static QString FigureText(const LevelStatistics& level, Row row);

    TDecorLabel* title = nullptr;
    TDecorLabel* dealLabel = nullptr;
    TDecorLabel* parLabel = nullptr; // under the deal, while the last game's par is known
    TDecorLabel* resetLabel = nullptr;
    // Under the reset, with the par: the last deal's best play shown on the board. The main
    // window says before opening whether it can show it now (not while a game is under way).
    TDecorLabel* bestPlayLabel = nullptr;
    bool BestPlayPossible = false;
    // Whether the window was closed to show the best play (asked once).
    bool TakeBestPlayRequest() { return std::exchange(m_bestPlayRequested, false); }
    void BestPlayClick();
    bool LetterAnswer(int key) override;
    TJetButton* OKBtn = nullptr;
    std::array<TDecorLabel*, StatisticsLevels> levelLabels{};
    std::array<TDecorLabel*, RowCount> rowLabels{};
    // [row][level - 1]
    std::array<std::array<TDecorLabel*, StatisticsLevels>, RowCount> figureLabels{};

protected:
    void reject() override { okClick(); }
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Reload();
    void ApplyTexts();

    TFocusFrame* m_focusFrame = nullptr;
    TIniStore& m_ini;
    TYesNoDialog& m_question;
    bool m_bestPlayRequested = false;
};
