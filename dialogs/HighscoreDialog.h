#pragma once
// The one window that shows a highscore list and takes a new entry into it.

#include "controls/GameDialog.h"
#include "settings/HighscoreStore.h"

#include <QString>

#include <functional>

class QCheckBox;
class QLineEdit;
class TBevelPanel;
class TChiffre;
class TDecorLabel;
class TImageList;
class TJetButton;
class TIniStore;

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
