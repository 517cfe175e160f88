#pragma once
// The two lines of the game's small message windows, in both languages: the notices of the
// OK window and the questions of the yes/no window.

// One line of a message: its text, its top within the panel and its size in points (the
// layout was drawn at 96 dpi, so a point is 4/3 pixel).
struct TMessageLine {
    const char* Text;
    int Top;
    int Points;
};

struct TMessage {
    TMessageLine First;
    TMessageLine Second;
};

// What a kind without a message of its own shows: two empty lines in the usual places.
inline constexpr TMessage NoMessage = {{"", 20, 12}, {"", 40, 12}};

// The notice of kind 1 (the next card goes on the joker), 2 (won), 3 (lost) or 4 (a move taken
// back) in the current language; any other kind gives NoMessage.
const TMessage& NoticeMessage(int kind);
// The question of kind 1 (exit), 2 (give up) or 3 (reset the statistics) in the current
// language; any other kind gives NoMessage.
const TMessage& QuestionMessage(int kind);
