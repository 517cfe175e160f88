#pragma once
// The highscore lists: fifteen places per skill level, kept scrambled in the settings store,
// and the one window that shows a list and takes a new entry into it.
//
// Stored form (section "common"): "player" holds the name last entered, plain; "hs" + level
// letter ('a' for level 1 .. 'd' for level 4) + row 0..14 holds the scrambled text of
// "<score>,<name>". These names and the scrambling are a file format: players' lists depend
// on them.

#include "controls/GameDialog.h"
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <utility>

class QCheckBox;
class QLineEdit;
class TBevelPanel;
class TChiffre;
class TDecorLabel;
class TImageList;
class TJetButton;
class TIniStore;

inline constexpr int HighscoreRows = 15;
using THighscoreNames = std::array<QString, HighscoreRows>;
using THighscoreScores = std::array<int, HighscoreRows>;

// The name of every row the store does not hold.
QString DefaultPlayerName();
QString HighscoreKey(int level, int row);
// Score and name of a decoded row: the decimal integer before the first comma and everything
// after it. Nothing when there is no such integer (a damaged or hand-edited row).
std::optional<std::pair<int, QString>> ParseHighscoreRow(const QString& decoded);
QString FormatHighscoreRow(int score, const QString& name);
// The first row whose score is strictly lower, so a tie goes below the older entries;
// -1 when the score does not reach the list.
int HighscoreInsertPos(const THighscoreScores& scores, int score);
// Puts (name, score) into the list where HighscoreInsertPos says, the last row falling off.
// Returns the row, or -1 when the score does not reach the list (nothing changes then).
int InsertHighscore(THighscoreNames& names, THighscoreScores& scores, int score, const QString& name);
// The list of a level as stored, read through read(key); a missing or damaged row holds the
// default entry, so a broken row never hides the rest of the list.
void DecodeHighscoreList(const std::function<QString(const QString& key)>& read, const TChiffre& cipher, int level,
                         THighscoreNames& names, THighscoreScores& scores);

class THighscoreDlg : public TGameDialog {
    Q_OBJECT
public:
    // level is the main window's Level, read at every opening.
    THighscoreDlg(QWidget* mainform, TIniStore& ini, const TChiffre& cipher, const int& level,
                  const TImageList& bitmaps);

    // viewOnly: shows the list of the current level. Otherwise offers score to it: a score
    // that does not reach the list returns at once and shows nothing; else the window opens
    // with the new entry in place and the name edit over it. The result carries nothing.
    int ShowModal(int score, bool viewOnly);

    // Stores the list merged with what is stored now (another running copy may have added
    // entries since the list was opened) and closes. When the save fails the player is told
    // and the window stays open, so OK can be pressed again or the entry given up.
    void okClick();
    void CancelBtnClick();
    void FormActivate() override;
    // Enter takes the typed name as OK does; Escape cancels.
    void DefaultAnswer() override { okClick(); }
    void CancelAnswer() override { CancelBtnClick(); }

    // The list as loaded, plus a pending insertion.
    THighscoreNames entryNames;
    THighscoreScores entryScores{};
    // The row of the pending entry that takes its name from the edit, or -1.
    int insertPos = -1;
    // The name proposed for a new entry.
    QString playerName;

    QLineEdit* Edit1 = nullptr;
    QCheckBox* ClearBox = nullptr;
    TDecorLabel* delcheck = nullptr;
    TDecorLabel* title = nullptr;
    TJetButton* YesBtn = nullptr;
    TJetButton* CancelBtn = nullptr;
    // Opens the statistics over the list; the button shows only when this is set.
    TJetButton* StatsBtn = nullptr;
    std::function<void()> OnStatistics;
    TBevelPanel* EditBack = nullptr;

    // The label "num", "pla" or "sco" + row.
    TDecorLabel* RowLabel(const QString& kind, int row) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void LoadList();
    void FillLabels();
    TDecorLabel* MakeLabel(const QString& name, int left, int top, int width, Qt::Alignment align,
                           const QString& text);

    TIniStore& m_ini;
    const TChiffre& m_cipher;
    const int& m_level;
    int m_openLevel = 1; // the level whose list is open
};
