#include "board/Geometry.h"

#include <cmath>

namespace {
constexpr std::array<float, 4> RowX = {0.17f, 0.34f, 0.51f, 0.68f};
constexpr std::array<float, 5> StackX = {0.085f, 0.255f, 0.425f, 0.595f, 0.765f};

bool Inside(const QRect& square, int x, int y) {
    // Both bounds inclusive: a point on the right or bottom edge still counts.
    return x >= square.x() && x <= square.x() + square.width() && y >= square.y() &&
           y <= square.y() + square.height();
}
} // namespace

int RoundHalfEven(double value) {
    const double low = std::floor(value);
    const double diff = value - low;
    if (diff > 0.5) return static_cast<int>(low) + 1;
    if (diff < 0.5) return static_cast<int>(low);
    const int l = static_cast<int>(low);
    return l % 2 == 0 ? l : l + 1;
}

int BoardLayout::Scaled(float fraction) const {
    // Two 32-bit floats multiply exactly in double precision.
    return RoundHalfEven(static_cast<double>(BoardUnit) * static_cast<double>(fraction));
}

int BoardLayout::StripStep() const { return Scaled(0.018f); }

QRect BoardLayout::PatternRect(int i) const {
    return {Scaled(PatternX[i]) + BoardLeft, Scaled(0.029f) + BoardTop, PatternSize, PatternSize};
}

QRect BoardLayout::PatternPanel() const {
    const int n = PatternCount;
    // Each argument is rounded to a 32-bit float first, differences included.
    const float left = static_cast<float>(static_cast<double>(PatternX[1]) - 0.012);
    const float width = static_cast<float>(static_cast<double>(PatternX[n]) - PatternX[1] + 0.048 + 0.024);
    return {Scaled(left) + BoardLeft, Scaled(0.017f) + BoardTop, Scaled(width), Scaled(0.072f)};
}

QRect BoardLayout::RowRect(int j) const {
    return {Scaled(RowX[j]) + BoardLeft, Scaled(0.131f) + BoardTop, CardSize, CardSize};
}

QRect BoardLayout::RowPanel() const {
    const float left = static_cast<float>(0.17 - 0.012);
    const float width = static_cast<float>(0.68 - 0.17 + 0.15 + 0.024);
    return {Scaled(left) + BoardLeft, Scaled(0.119f) + BoardTop, Scaled(width), Scaled(0.174f)};
}

QRect BoardLayout::StackTopRect(int s) const {
    return {Scaled(StackX[s]) + BoardLeft, Scaled(0.32f) + BoardTop, CardSize, CardSize};
}

QRect BoardLayout::StackArea(int s) const {
    const QRect top = StackTopRect(s);
    return {top.x(), top.y(), CardSize, CardSize + 10 * StripStep()};
}

QPoint BoardLayout::StackCardPos(int s, int count, int k) const {
    const QRect top = StackTopRect(s);
    return {top.x(), top.y() + (count - 1 - k) * StripStep()};
}

QRect BoardLayout::ScoreField() const { return {(Width - 516) / 2 + 208, 22, 100, 27}; }

int BoardLayout::StackAt(int x, int y) const {
    for (int s = 0; s < 5; ++s)
        if (Inside(StackTopRect(s), x, y)) return s;
    return -1;
}

int BoardLayout::RowAt(int x, int y) const {
    for (int j = 0; j < 4; ++j)
        if (Inside(RowRect(j), x, y)) return j;
    return -1;
}

bool ComputeLayout(BoardLayout& l, int bw, int bh, int n) {
    if (bh <= 100) return false;
    const float ratio = static_cast<float>(static_cast<double>(bw - 10) / (bh - 70));
    l.BoardUnit = ratio > 1.5f ? static_cast<float>((bh - 70) * 1.5) : static_cast<float>(bw - 10);
    l.BoardLeft = (bw - RoundHalfEven(l.BoardUnit)) / 2;
    l.BoardTop = (bh - 60 - RoundHalfEven(l.BoardUnit / 1.5)) / 2 + 60;
    const double start = 0.5 - (n * 0.048 + (n - 1) * 0.005) / 2;
    for (int i = 1; i <= n; ++i) l.PatternX[i] = static_cast<float>(start + (i - 1) * 0.053);
    l.PatternCount = n;
    l.CardSize = l.Scaled(0.15f);
    l.PatternSize = l.Scaled(0.048f);
    l.Width = bw;
    l.Height = bh;
    return true;
}
