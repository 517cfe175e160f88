#pragma once
// The game speaks German or English. One value for the whole program: 1 German, 0 English,
// -1 not chosen yet. Every text is chosen by the single test "is it 1".

extern int Language;

inline bool IsGerman() {
    return Language == 1;
}

#include <QString>

// One text in both languages, and the one the game speaks now.
struct TextPair {
    const char* German;
    const char* English;
};
inline QString Pick(const TextPair& p) {
    return QString::fromUtf8(IsGerman() ? p.German : p.English);
}

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

// The options and info dialog's texts that follow the language.
enum class TDialogText {
    BackToGameHint, // the OK button, on every page
    OptionsTitle,
    TongueHint,
    TongueCaption,
    SoundHint,
    SoundOnCaption,
    SoundOffCaption,
    MusicHint,
    OwnMusicHint, // followed by the player's music folder
    MusicPrefix,  // followed by the music file's name
    MusicNoFile,  // stands after the prefix while music is on and no file was found
    MusicOffCaption,
    BackgroundHint,
    StrengthHint,
    InfoSubtitle,
    InfoMadeBy,
    InfoDeal, // "%1" stands for the deal number
    InfoRestart,
    InfoRestartHint,
    InfoHint,
    InfoHintHint,
    // What a screen reader calls the options pictures, each followed by the value it has now.
    LanguageName, // the whole name: the language it names is the current one
    SoundName,
    SkillName,
    SwitchedOn,
    SwitchedOff,
};

QString DialogText(TDialogText which);
// "Background: grey" ... for colour 0..4; a null string for any other index.
QString BackgroundCaption(int index);
// The options page's name of skill level 1..4; a null string for any other level.
QString LevelCaption(int level);

// What the solver found for the deal beside what the player made of it, on the same terms: the
// points the patterns and the end bonus brought, without the clock, and then the final score
// after the clock. points 0: not known (a par stored by an older version): the score alone.
// Below the end message and in the statistics.
QString ParText(long long par, long long points, long long score);

// Where the best play of the last deal is offered: below the end message and in the statistics.
QString BestPlayLinkText();
// What the offer does, as its tooltip says.
QString BestPlayHintText();
