#pragma once
// Paints the board: the textured background with its frames and panels, the pattern
// pictures, the row, the stacks and the score. Pictures are rendered once per layout into
// strips of square cells and only copied afterwards.

#include "board/Canvas.h"
#include "board/Geometry.h"
#include "board/StripPicture.h"
#include "game/Game.h"

#include <QImage>

#include <functional>

inline constexpr int BackgroundCount = 5; // grey, brown, green, blue, red
inline constexpr int ScoreGlyphWidth = 20;
inline constexpr int ScoreGlyphHeight = 27;
inline constexpr int ScoreFieldTop = 22;

class TBoard {
public:
    TBoard(TCanvas& canvas, const GameData& game, RandomSource& random);

    // Once at start-up: the vector pictures, the score digits and the background texture.
    void LoadArtwork();

    int BackgroundIndex = 1;
    BoardLayout Layout;

    QImage BackTexture;      // 2 x 5 tiles: a texture and its darker twin per background colour
    QImage CardFaces;        // 5 cells: red, green, blue, violet, joker
    QImage ValueGlyphs;      // 13 cells in a column: black numerals 1..13 on white
    QImage PatternPictures;  // 21 cells: the claimed mark, the 18 patterns, two spare
    QImage BoardBackground;  // the static board, the paint box's size
    QImage ScoreFont;        // 11 glyphs (minus, 0..9) over their masks

    // Interim pictures are the previous ones scaled to the new size: quick enough for every
    // step of a window being resized; RenderExactPictures replaces them once it stops.
    enum class TPictures { Exact, Interim };

    // Lays the board out for a paint box of bw x bh and rebuilds every off-screen bitmap.
    // Returns false (changing nothing) for a paint box 100 pixels high or less.
    bool LayoutBoard(int bw, int bh, TPictures pictures = TPictures::Exact);
    bool PicturesExact() const { return m_stripsFor == QSize(Layout.CardSize, Layout.PatternSize); }
    void RenderExactPictures() { RenderStrips(TPictures::Exact); }

    // One card as a CardSize square on any image; nothing at all for a code that is no card.
    void DrawCard(QImage& target, int x, int y, CardCode card) const;
    void DrawCardOnBox(int x, int y, CardCode card);
    void DrawRowCard(int position);
    void DrawPattern(int position);
    void DrawStack(int stack, bool full);
    void DrawScore();
    // The glittering two-pixel frames of every offered pattern (each timer tick).
    void FlashFrames();
    // The full paint: background, then (unless paused) patterns, row, stacks and score.
    void Paint();
    // Copies the background below the toolbar band onto the canvas.
    void RestoreBelowBand();
    // Writes the claimed points over the emptied pattern square six times in light colours;
    // afterEachPass runs after every writing (the window shows it and waits there).
    void ClaimFlash(int position, int points, const std::function<void()>& afterEachPass);

    // Nothing is drawn before the first layout has sized the canvas.
    bool Ready() const { return !m_canvas.Image.isNull() && Layout.CardSize > 0; }

    // Where DrawScore wants the score caption's left edge (its top stays put).
    std::function<void(int left)> OnScoreLabelMoved;

private:
    void RenderStrips(TPictures pictures);
    void BuildBackground();
    void Restore(const QRect& r);
    QRgb FallbackColour(bool darker) const;

    TCanvas& m_canvas;
    const GameData& m_game;
    RandomSource& m_random;
    TStripPicture m_cards{5, Qt::Horizontal};
    TStripPicture m_glyphs{13, Qt::Vertical};
    TStripPicture m_patterns{21, Qt::Horizontal};
    QSize m_stripsFor; // card and pattern size the strips were rendered at
    QImage m_strip; // scratch for the lower cards of a stack
};

// The score as the field shows it: clamped to -9999..99999.
int DisplayedScore(std::int32_t score);
