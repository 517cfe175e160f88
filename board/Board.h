#pragma once
// Paints the board: the textured background with its frames and panels, the pattern
// pictures, the row, the stacks and the score. Pictures are rendered once per layout into
// strips of square cells and only copied afterwards.

#include "board/Canvas.h"
#include "board/Geometry.h"
#include "board/PixelStore.h"
#include "board/StripPicture.h"
#include "game/Game.h"

#include <QImage>
#include <QRegion>

#include <functional>
#include <future>
#include <utility>

inline constexpr int BackgroundCount = 5; // grey, brown, green, blue, red
inline constexpr int ScoreGlyphWidth = 20;
inline constexpr int ScoreGlyphHeight = 27;
inline constexpr int ScoreFieldTop = 22;

class TBoard {
public:
    TBoard(TCanvas& canvas, const GameData& game, RandomSource& random);

    // Once at start-up: the vector pictures, the score digits and the background texture.
    // The vector pictures are still being read on other threads when this returns.
    void LoadArtwork();
    ~TBoard() { WaitForArtwork(); }

    int BackgroundIndex = 1;
    BoardLayout Layout;

    // The layout (Layout, and every position the game and the pointer use) is in the paint
    // box's own pixels. Everything below is in device pixels, the canvas's ratio times as
    // many, so a scaled screen shows every picture at its full resolution.
    QImage BackTexture;      // 2 x 5 tiles: a texture and its darker twin per background colour
    QImage BackTexture2x;    // the same at twice the resolution, for scaled screens (may be null)
    QImage CardFaces;        // 5 cells: red, green, blue, violet, joker
    QImage ValueGlyphs;      // 13 cells in a column: black numerals 1..13 on white
    QImage PatternPictures;  // 21 cells: the claimed mark, the 18 patterns, two spare
    QImage BoardBackground;  // the static board, the canvas's size
    QImage ScoreFont;        // 11 glyphs (minus, 0..9) over their masks, 20 x 27 each
    QImage ScoreFont2x;      // the same at twice the resolution (may be null)

    // Lays the board out for a paint box of bw x bh at the canvas's ratio and rebuilds every
    // off-screen bitmap. Returns false (changing nothing) for a paint box 100 pixels high or less.
    bool LayoutBoard(int bw, int bh);
    // Lets go of the vector pictures' read documents until the next layout reads them again.
    void LetGoOfDocuments();
    bool HoldsDocuments() const;

    // Layout pixels to device pixels: a position, or a rectangle covering exactly the device
    // pixels of its layout pixels.
    int Dev(int v) const { return m_ratio == 1.0 ? v : qRound(v * m_ratio); }
    QRect Dev(const QRect& r) const;
    qreal Ratio() const { return m_ratio; }
    int DeviceCardSize() const { return Dev(Layout.CardSize); }
    int DevicePatternSize() const { return Dev(Layout.PatternSize); }

    // One card as a DeviceCardSize square at (x, y) in the target's pixels; nothing at all
    // for a code that is no card.
    void DrawCard(QImage& target, int x, int y, CardCode card) const;
    // The same on the canvas, at a place of the layout.
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
    void WaitForArtwork();
    // Renders the pictures for the current sizes, running meanwhile on this thread in the time.
    void RenderStrips(const std::function<void()>& meanwhile);
    void PrepareDeviceBitmaps();
    void BuildBackground(QSize device);
    void Restore(const QRect& deviceRect);
    // A GDI-style outline given in layout pixels; each one-pixel ring becomes a ring of device
    // pixels as thick as one layout pixel.
    // The bottom `rows` rows of a card drawn at (x, y): the visible strip of a lower stack card.
    // The device pixels a full paint draws over whole, whatever was there.
    QRegion CoveredByElements() const;
    void DrawCardStrip(QImage& target, int x, int y, int rows, CardCode card) const;
    void Frame(QImage& dst, int left, int top, int right, int bottom, QColor colour, int penWidth = 1) const;
    QRgb FallbackColour(bool darker) const;
    QRect DeviceSquare(const QRect& layoutSquare, int side) const {
        return QRect(Dev(layoutSquare.x()), Dev(layoutSquare.y()), side, side);
    }

    TCanvas& m_canvas;
    const GameData& m_game;
    RandomSource& m_random;
    TStripPicture m_cards{5, Qt::Horizontal};
    TStripPicture m_glyphs{13, Qt::Vertical};
    TStripPicture m_patterns{21, Qt::Horizontal};
    std::future<void> m_artwork[2]; // the vector pictures being read
    QSize m_stripsFor; // device card and pattern size the strips were rendered at
    qreal m_ratio = 1.0; // of the last layout
    bool m_canvasUnknown = true; // the canvas may hold anything: a full paint copies the whole background
    qreal m_deviceBitmapsFor = 0; // ratio the texture and digits below were made for
    std::pair<qint64, qint64> m_deviceSources; // and the pictures they were made from
    QImage m_texture; // BackTexture at device resolution
    QImage m_scoreFont; // ScoreFont at device resolution
    TPixelStore m_canvasStore, m_backgroundStore;
    int m_glyphW = ScoreGlyphWidth, m_glyphH = ScoreGlyphHeight; // its cell size
};

// The score as the field shows it: clamped to -9999..99999.
int DisplayedScore(std::int32_t score);
