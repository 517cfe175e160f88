#pragma once
// The game speaks German or English. One value for the whole program: 1 German, 0 English,
// -1 not chosen yet. Every text is chosen by the single test "is it 1".

extern int Language;

inline bool IsGerman() { return Language == 1; }

#include <QString>

// The main window's own texts.
enum class TMainText {
    ScoreCaption,
    MixHint,
    GiveUpHintEnabled,
    GiveUpHintDisabled,
    PauseHintEnabled,
    PauseHintDisabled,
    HighScoreHint,
    OptionHint,
    InfoHint,
    HelpHint,
    ExitHint,
};

QString MainText(TMainText which);
// The window title for skill level 1..4 (clamped).
QString MainTitle(int level);
