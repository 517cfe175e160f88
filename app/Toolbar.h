#pragma once
// The eight toolbar buttons, in the order Tab walks them, and all that is said of each in one
// table: its pictures, its keys, its name for a screen reader and its hints.

#include "texts/Language.h"

#include <QString>

enum class TTool { Mix, GiveUp, Pause, HighScore, Options, Info, Help, Exit };
inline constexpr int ToolCount = 8;

struct TToolDef {
    TTool Tool;
    const char* Pictures; // the name its pictures go by in the resources
    const char* Keys;     // as the tooltip and the help write them, e.g. "F2, Ctrl+N"
    const char* GermanName;
    const char* EnglishName;
    TMainText Hint;
    TMainText DisabledHint; // the hint while it cannot be pressed
    // Its place: the left four from the window's left edge, the others from its right edge.
    bool Left;
    int Offset;
};

const TToolDef& ToolDef(TTool tool);
constexpr TTool ToolAt(int index) {
    return static_cast<TTool>(index);
}
constexpr int ToolIndex(TTool tool) {
    return static_cast<int>(tool);
}

// The keys in the player's language: German keyboards label the control key "Strg".
QString ToolKeys(TTool tool);
QString ToolName(TTool tool);
