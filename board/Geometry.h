#pragma once
// The board scales with the window: every position is a fraction of one length, BoardUnit,
// the width of a 3:2 board area centred below the 58-pixel toolbar band.

#include <QRect>

#include <array>

inline constexpr int ToolbarBand = 58;
inline constexpr int MinClientWidth = 700;
inline constexpr int MinClientHeight = 500;

// Halves go to the even neighbour.
int RoundHalfEven(double value);

struct BoardLayout {
    float BoardUnit = 0; // pixels
    int BoardLeft = 0;
    int BoardTop = 0;
    int PatternSize = 0;
    int CardSize = 0;
    int PatternCount = 0;
    int Width = 0;  // paint box size the layout was made for
    int Height = 0;
    std::array<float, 19> PatternX{}; // positions 1..PatternCount

    // BoardUnit x fraction, the product taken exactly, rounded half to even.
    int Scaled(float fraction) const;
    int StripStep() const;

    QRect PatternRect(int position) const;
    QRect PatternPanel() const;
    QRect RowRect(int position) const;
    QRect RowPanel() const;
    QRect StackTopRect(int stack) const;
    QRect StackArea(int stack) const;
    // Top-left of card k of a stack holding count cards.
    QPoint StackCardPos(int stack, int count, int k) const;
    QRect ScoreField() const;

    // Press on the board: the first stack whose top-card square holds the point, edges included; -1.
    int StackAt(int x, int y) const;
    // Drop: the first row position whose square holds the point, edges included; -1.
    int RowAt(int x, int y) const;
};

// Recomputes the layout for a paint box of bw x bh with n patterns. A paint box 100 pixels
// high or less keeps the previous layout (returns false).
bool ComputeLayout(BoardLayout& layout, int bw, int bh, int patternCount);

// Where the eight toolbar buttons stand: the left group fixed, the right group kept at the
// client's right edge.
inline constexpr std::array<int, 4> LeftButtonX = {4, 56, 108, 160};
inline constexpr std::array<int, 4> RightButtonOffset = {208, 156, 104, 52};
