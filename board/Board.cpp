#include "board/Board.h"

#include "board/Jpeg.h"
#include "board/Raster.h"

#include <QDebug>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int PatternCells = 21;
constexpr QRgb Cream = qRgb(255, 254, 230);

// What the board falls back to when the texture cannot be decoded: a plain colour per background.
constexpr QRgb PlainBackgrounds[BackgroundCount][2] = {
    {qRgb(128, 128, 128), qRgb(88, 88, 88)}, {qRgb(150, 105, 62), qRgb(104, 70, 40)},
    {qRgb(70, 130, 70), qRgb(45, 90, 45)},   {qRgb(70, 100, 160), qRgb(45, 68, 115)},
    {qRgb(160, 70, 65), qRgb(112, 45, 42)}};

constexpr QRgb FaceColours[4] = {qRgb(255, 117, 120), qRgb(128, 255, 128), qRgb(33, 209, 255),
                                 qRgb(192, 128, 255)};

void LoadPicture(TStripPicture& picture, const QString& path) {
    if (!picture.Load(path))
        qWarning("Zelvano: the picture %s is missing or broken; a plain stand-in is drawn", qPrintable(path));
}

QFont ArialPixels(int pixels, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(std::max(pixels, 1));
    f.setBold(bold);
    return f;
}

// Digits drawn with a font, for a program whose digit picture is missing.
QImage MakeScoreFont() {
    QImage img = NewBitmap(11 * ScoreGlyphWidth, 2 * ScoreGlyphHeight);
    FillRect(img, QRect(0, ScoreGlyphHeight, img.width(), ScoreGlyphHeight), Qt::white);
    const QString glyphs = QStringLiteral("-0123456789");
    for (int g = 0; g < glyphs.size(); ++g) {
        const QRect cell(g * ScoreGlyphWidth, 0, ScoreGlyphWidth, ScoreGlyphHeight);
        DrawTextCentred(img, cell, glyphs.mid(g, 1), ArialPixels(24, true), QColor(255, 230, 0));
    }
    // The mask is black wherever the glyph has any colour, so AND then OR shows it cleanly.
    for (int y = 0; y < ScoreGlyphHeight; ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFFu) != 0) img.setPixel(x, y + ScoreGlyphHeight, qRgb(0, 0, 0));
    return img;
}

// Covers area of dst with copies of the tile, the tile grid anchored at dst's top-left corner.
void TileInto(QImage& dst, const QRect& area, const QImage& texture, const QRect& tile) {
    const int tw = tile.width(), th = tile.height();
    const QRect target = area & dst.rect();
    for (int y = target.top() / th * th; y <= target.bottom(); y += th)
        for (int x = target.left() / tw * tw; x <= target.right(); x += tw) {
            const QRect part = QRect(x, y, tw, th) & target;
            BitBlt(dst, part.x(), part.y(), part.width(), part.height(), texture, tile.x() + part.x() - x,
                   tile.y() + part.y() - y);
        }
}

} // namespace

int DisplayedScore(std::int32_t score) { return std::clamp<std::int32_t>(score, -9999, 99999); }

TBoard::TBoard(TCanvas& canvas, const GameData& game, RandomSource& random)
    : m_canvas(canvas), m_game(game), m_random(random) {}

void TBoard::LoadArtwork() {
    LoadPicture(m_cards, QStringLiteral(":/board/cards.svg"));
    LoadPicture(m_glyphs, QStringLiteral(":/board/glyphs.svg"));
    LoadPicture(m_patterns, QStringLiteral(":/board/patterns.svg"));
    m_stripsFor = QSize();
    ScoreFont = QImage(QStringLiteral(":/board/scorefont.png")).convertToFormat(QImage::Format_RGB32);
    if (ScoreFont.width() < 11 * ScoreGlyphWidth || ScoreFont.height() < 2 * ScoreGlyphHeight) {
        qWarning("Zelvano: the score digits are missing or broken; digits from a font are drawn");
        ScoreFont = MakeScoreFont();
    }
    if (LoadJpegResource(QStringLiteral("BACK"), BackTexture) != 0)
        qWarning("Zelvano: the background texture cannot be decoded; plain colours are drawn");
}

bool TBoard::LayoutBoard(int bw, int bh, TPictures pictures) {
    if (!ComputeLayout(Layout, bw, bh, m_game.PatternCount)) return false;
    if (m_canvas.Image.size() != QSize(bw, bh)) m_canvas.Image = NewBitmap(bw, bh);
    RenderStrips(pictures);
    BuildBackground();
    return true;
}

void TBoard::RenderStrips(TPictures pictures) {
    const int cs = Layout.CardSize, ps = Layout.PatternSize;
    // The pictures depend only on these two sizes; a resize that keeps them keeps the pictures.
    if (PicturesExact()) return;
    if (pictures == TPictures::Interim && !CardFaces.isNull()) {
        CardFaces = CardFaces.scaled(5 * cs, cs);
        ValueGlyphs = ValueGlyphs.scaled(cs, 13 * cs);
        PatternPictures = PatternPictures.scaled(PatternCells * ps, ps);
        m_stripsFor = QSize(); // still to be rendered properly
        return;
    }
    m_stripsFor = QSize(cs, ps);

    CardFaces = m_cards.Render(cs, Cream);
    if (!m_cards.IsValid()) {
        for (int c = 0; c < 4; ++c) FillRect(CardFaces, QRect(c * cs + cs / 8, cs / 8, cs * 3 / 4, cs * 3 / 4), FaceColours[c]);
        DrawTextCentred(CardFaces, QRect(4 * cs, 0, cs, cs), QStringLiteral("J"), ArialPixels(cs / 2, true),
                        QColor(255, 192, 0));
    }

    ValueGlyphs = m_glyphs.Render(cs, qRgb(255, 255, 255));
    if (!m_glyphs.IsValid()) {
        for (int v = 0; v < 13; ++v)
            DrawTextCentred(ValueGlyphs, QRect(0, v * cs, cs, cs), QString::number(v + 1),
                            ArialPixels(cs * 2 / 5, true), Qt::black);
    }

    PatternPictures = m_patterns.Render(ps, qRgb(170, 170, 170));
    if (!m_patterns.IsValid()) {
        for (int id = 0; id < PatternCells; ++id)
            DrawTextCentred(PatternPictures, QRect(id * ps, 0, ps, ps), id == 0 ? QStringLiteral("X") : QString::number(id),
                            ArialPixels(ps / 2, true), id == 0 ? Qt::red : Qt::black);
    }
}

QRgb TBoard::FallbackColour(bool darker) const {
    return PlainBackgrounds[std::clamp(BackgroundIndex, 0, BackgroundCount - 1)][darker ? 1 : 0];
}

void TBoard::BuildBackground() {
    const int bw = Layout.Width, bh = Layout.Height;
    const int r = std::clamp(BackgroundIndex, 0, BackgroundCount - 1);
    const int tw = BackTexture.width() / 2, th = BackTexture.height() / BackgroundCount;
    const bool textured = tw >= 1 && th >= 1;

    // Every pixel is written below, so the bitmap need not be cleared first.
    BoardBackground = QImage(bw, bh, QImage::Format_RGB32);
    // The darker texture lies in the toolbar band and in the two panels; both textures are
    // tiled from the board's top-left corner, so a panel shows the darker twin of exactly
    // what lies around it.
    const QRect band(0, 0, bw, ToolbarBand), pp = Layout.PatternPanel(), rp = Layout.RowPanel();
    if (textured) {
        TileInto(BoardBackground, BoardBackground.rect(), BackTexture, QRect(0, r * th, tw, th));
        for (const QRect& dark : {band, pp, rp}) TileInto(BoardBackground, dark, BackTexture, QRect(tw, r * th, tw, th));
    } else {
        BoardBackground.fill(FallbackColour(false));
        for (const QRect& dark : {band, pp, rp}) FillRect(BoardBackground, dark, FallbackColour(true));
    }

    FrameRect(BoardBackground, 0, ToolbarBand, bw, bh, Qt::black);
    FrameRect(BoardBackground, 6, ToolbarBand + 6, bw - 6, bh - 6, Qt::black);
    FrameRect(BoardBackground, 3, ToolbarBand + 3, bw - 3, bh - 3, Qt::black, 3);

    FrameRect(BoardBackground, pp.x(), pp.y(), pp.x() + pp.width(), pp.y() + pp.height(), Qt::black);
    FrameRect(BoardBackground, pp.x() - 2, pp.y() - 2, pp.x() + pp.width() + 2, pp.y() + pp.height() + 2, Qt::black);

    FrameRect(BoardBackground, rp.x(), rp.y(), rp.x() + rp.width(), rp.y() + rp.height(), Qt::black);
    FrameRect(BoardBackground, rp.x() - 6, rp.y() - 6, rp.x() + rp.width() + 6, rp.y() + rp.height() + 6, Qt::black);
    FrameRect(BoardBackground, rp.x() - 3, rp.y() - 3, rp.x() + rp.width() + 3, rp.y() + rp.height() + 3, Qt::black, 3);
}

void TBoard::Restore(const QRect& r) {
    BitBlt(m_canvas.Image, r.x(), r.y(), r.width(), r.height(), BoardBackground, r.x(), r.y());
}

void TBoard::DrawCard(QImage& target, int x, int y, CardCode card) const {
    const int cs = Layout.CardSize;
    if (static_cast<unsigned>(card) < 64) {
        BitBlt(target, x, y, cs, cs, CardFaces, ColourIndex(card) * cs, 0);
        // The black numeral darkens the face; its white ground leaves the face alone.
        BitBlt(target, x, y, cs, cs, ValueGlyphs, 0, ValueField(card) * cs, TRop::And);
    } else if (card == JokerCard) {
        BitBlt(target, x, y, cs, cs, CardFaces, 4 * cs, 0);
    } else {
        return;
    }
    FrameRect(target, x, y, x + cs, y + cs, Qt::black);
}

void TBoard::DrawCardOnBox(int x, int y, CardCode card) {
    if (!Ready()) return;
    DrawCard(m_canvas.Image, x, y, card);
    m_canvas.Changed(QRect(x, y, Layout.CardSize, Layout.CardSize));
}

void TBoard::DrawRowCard(int j) {
    const QRect r = Layout.RowRect(j);
    DrawCardOnBox(r.x(), r.y(), m_game.Row[j]);
}

void TBoard::DrawPattern(int i) {
    if (!Ready()) return;
    const QRect sq = Layout.PatternRect(i);
    const int ps = Layout.PatternSize;
    // One pixel all round: that also wipes the glittering frame of an offer.
    const QRect ring = sq.adjusted(-1, -1, 1, 1);
    Restore(ring);
    const TPatternState state = m_game.PatternState[i];
    const int cell = state == TPatternState::Claimed ? 0 : m_game.PatternIds[i];
    BitBlt(m_canvas.Image, sq.x(), sq.y(), ps, ps, PatternPictures, cell * ps, 0);
    if (!IsOffered(state)) FrameRect(m_canvas.Image, sq.x(), sq.y(), sq.x() + ps, sq.y() + ps, Qt::black);
    m_canvas.Changed(ring);
}

void TBoard::FlashFrames() {
    if (!Ready()) return;
    const int ps = Layout.PatternSize;
    for (int i = 1; i <= m_game.PatternCount; ++i) {
        if (!IsOffered(m_game.PatternState[i])) continue;
        const QRect sq = Layout.PatternRect(i);
        const LightColour inner = RandomLightColour(m_random);
        FrameRect(m_canvas.Image, sq.x(), sq.y(), sq.x() + ps, sq.y() + ps, QColor(inner.Red, inner.Green, inner.Blue));
        const LightColour outer = RandomLightColour(m_random);
        FrameRect(m_canvas.Image, sq.x() - 1, sq.y() - 1, sq.x() + ps + 1, sq.y() + ps + 1,
                  QColor(outer.Red, outer.Green, outer.Blue));
        m_canvas.Changed(sq.adjusted(-1, -1, 1, 1));
    }
}

void TBoard::DrawStack(int s, bool full) {
    if (!Ready()) return;
    const int c = m_game.StackCount[s];
    const QRect top = Layout.StackTopRect(s);
    const int x = top.x(), y0 = top.y(), cs = Layout.CardSize, st = Layout.StripStep();
    QImage& canvas = m_canvas.Image;

    if (c == 0 || (c == 1 && !full)) {
        Restore(Layout.StackArea(s));
    } else if (c == 1) {
        Restore(QRect(x, y0 + cs, cs, 9 * st));
        DrawCard(canvas, x, y0, m_game.Stacks[s][0]);
    } else {
        // Below the lowest strip: this also clears the strip a card just left behind.
        Restore(QRect(x, y0 + cs + (c - 1) * st, cs, (c - 1) * st));
        int lowestWhole; // the card now seen whole at the top
        if (full) {
            lowestWhole = c - 2;
            DrawCard(canvas, x, y0, m_game.Stacks[s][c - 1]);
        } else {
            lowestWhole = c - 3;
            Restore(QRect(x, y0, cs, st)); // where the lifted card's top strip was
            DrawCard(canvas, x, y0 + st, m_game.Stacks[s][c - 2]);
        }
        if (m_strip.size() != QSize(cs, cs)) m_strip = NewBitmap(cs, cs);
        for (int k = 0; k <= lowestWhole; ++k) {
            DrawCard(m_strip, 0, 0, m_game.Stacks[s][k]);
            BitBlt(canvas, x, y0 + cs + (c - 2 - k) * st, cs, st, m_strip, 0, cs - st);
        }
    }
    m_canvas.Changed(Layout.StackArea(s));
}

void TBoard::DrawScore() {
    if (!Ready()) return;
    const int bw = Layout.Width;
    const QString text = QString::number(DisplayedScore(m_game.Score));
    Restore(Layout.ScoreField());
    const int x = (bw - 416 - ScoreGlyphWidth * static_cast<int>(text.size())) / 2 + 208;
    if (OnScoreLabelMoved) OnScoreLabelMoved(x + 5);
    for (int p = 0; p < text.size(); ++p) {
        const int g = text[p] == QLatin1Char('-') ? 0 : text[p].digitValue() + 1;
        const int gx = x + ScoreGlyphWidth * p;
        BitBlt(m_canvas.Image, gx, ScoreFieldTop, ScoreGlyphWidth, ScoreGlyphHeight, ScoreFont, ScoreGlyphWidth * g,
               ScoreGlyphHeight, TRop::And);
        BitBlt(m_canvas.Image, gx, ScoreFieldTop, ScoreGlyphWidth, ScoreGlyphHeight, ScoreFont, ScoreGlyphWidth * g, 0,
               TRop::Or);
    }
    m_canvas.Changed(Layout.ScoreField().united(QRect(x, ScoreFieldTop, ScoreGlyphWidth * text.size(), ScoreGlyphHeight)));
}

void TBoard::Paint() {
    if (!Ready()) return;
    BitBlt(m_canvas.Image, 0, 0, Layout.Width, Layout.Height, BoardBackground, 0, 0);
    if (m_game.GameState != gsPaused) {
        for (int i = 1; i <= m_game.PatternCount; ++i) DrawPattern(i);
        for (int j = 0; j < RowSize; ++j) {
            const QRect r = Layout.RowRect(j);
            DrawCard(m_canvas.Image, r.x(), r.y(), m_game.Row[j]);
        }
        for (int s = 0; s < StackTotal; ++s) DrawStack(s, true);
        DrawScore();
    }
    m_canvas.ChangedAll();
}

void TBoard::RestoreBelowBand() {
    if (!Ready()) return;
    const QRect below(0, ToolbarBand, Layout.Width, Layout.Height - ToolbarBand);
    Restore(below);
    m_canvas.Changed(below);
}

void TBoard::ClaimFlash(int i, int points, const std::function<void()>& afterEachPass) {
    if (!Ready()) return;
    const QRect sq = Layout.PatternRect(i);
    const int ps = Layout.PatternSize;
    const QRect ring = sq.adjusted(-1, -1, 1, 1);
    Restore(ring);
    m_canvas.Changed(ring);
    const QString text = QString::number(points);
    // A size in points on a 96-dpi screen, as the rest of the board's text.
    const int pointSize = ps / 3;
    const QFont font = ArialPixels((pointSize * 96 + 36) / 72);
    const int tx = sq.x() + (ps - TextWidth(font, text)) / 2;
    const int ty = sq.y() + (ps - TextHeight(font, text)) / 2;
    for (int pass = 0; pass < 6; ++pass) {
        const LightColour c = RandomLightColour(m_random);
        TextOut(m_canvas.Image, tx, ty, text, font, QColor(c.Red, c.Green, c.Blue));
        m_canvas.Changed(ring.united(QRect(tx, ty, TextWidth(font, text), TextHeight(font, text))));
        if (afterEachPass) afterEachPass();
    }
}
