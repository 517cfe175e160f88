#include "app/Toolbar.h"

#include "board/Geometry.h"

namespace {

using enum TTool;
using M = TMainText;

const TToolDef Tools[ToolCount] = {
    {Mix, "mix", "F2, Ctrl+N", "Neues Spiel", "New game", M::MixHint, M::MixHint, true, LeftButtonX[0]},
    {GiveUp, "giveup", "Ctrl+G", "Aufgeben", "Give up", M::GiveUpHintEnabled, M::GiveUpHintDisabled, true,
     LeftButtonX[1]},
    {Pause, "pause", "P", "Pause", "Pause", M::PauseHintEnabled, M::PauseHintDisabled, true, LeftButtonX[2]},
    {HighScore, "highscore", "Ctrl+H", "Bestenliste", "Highscores", M::HighScoreHint, M::HighScoreHint, true,
     LeftButtonX[3]},
    {Options, "options", "Ctrl+O", "Einstellungen", "Options", M::OptionHint, M::OptionHint, false,
     RightButtonOffset[0]},
    {Info, "info", "Ctrl+I", "Info", "Info", M::InfoHint, M::InfoHint, false, RightButtonOffset[1]},
    {Help, "help", "F1", "Hilfe", "Help", M::HelpHint, M::HelpHint, false, RightButtonOffset[2]},
    {Exit, "exit", "Ctrl+Q", "Beenden", "Exit", M::ExitHint, M::ExitHint, false, RightButtonOffset[3]},
};

} // namespace

const TToolDef& ToolDef(TTool tool) {
    return Tools[ToolIndex(tool)];
}

QString ToolKeys(TTool tool) {
    QString text = QString::fromLatin1(ToolDef(tool).Keys);
    if (IsGerman()) text.replace(QLatin1String("Ctrl+"), QLatin1String("Strg+"));
    return text;
}

QString ToolName(TTool tool) {
    const TToolDef& d = ToolDef(tool);
    return QString::fromUtf8(IsGerman() ? d.GermanName : d.EnglishName);
}
