#include "board/Board.h"

#include "board/Jpeg.h"
#include "board/Raster.h"

#include <QDebug>
#include <QPainter>

#include <algorithm>
#include <cstring>

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
    if (target.isEmpty() || tw < 1 || th < 1) return;
    // The first band of tiles row by row; every row below repeats the one a tile's height up.
    uchar* const bits = dst.bits();
    const qsizetype bpl = dst.bytesPerLine();
    const size_t rowBytes = size_t(target.width()) * 4;
    for (int y = target.top(); y <= target.bottom(); ++y) {
        auto* d = reinterpret_cast<quint32*>(bits + y * bpl) + target.left();
        if (y - th >= target.top()) {
            std::memcpy(d, reinterpret_cast<const quint32*>(bits + (y - th) * bpl) + target.left(), rowBytes);
            continue;
        }
        const auto* s = reinterpret_cast<const quint32*>(texture.constScanLine(tile.y() + y % th)) + tile.x();
        for (int x = target.left(); x <= target.right();) {
            const int from = x % tw, n = std::min(tw - from, target.right() + 1 - x);
            std::memcpy(d + (x - target.left()), s + from, size_t(n) * 4);
            x += n;
        }
    }
}

} // namespace

int DisplayedScore(std::int32_t score) { return std::clamp<std::int32_t>(score, -9999, 99999); }

TBoard::TBoard(TCanvas& canvas, const GameData& game, RandomSource& random)
    : m_canvas(canvas), m_game(game), m_random(random) {}

void TBoard::LoadArtwork() {
    WaitForArtwork();
    // The vector pictures are read and prepared on two other threads while the window is being
    // made; the first layout waits for them.
    m_artwork[0] = std::async(std::launch::async, [this] {
        LoadPicture(m_patterns, QStringLiteral(":/board/patterns.svg"));
        LoadPicture(m_glyphs, QStringLiteral(":/board/glyphs.svg"));
    });
    m_artwork[1] = std::async(std::launch::async, [this] { LoadPicture(m_cards, QStringLiteral(":/board/cards.svg")); });
    m_stripsFor = QSize();
    m_deviceBitmapsFor = 0;
    ScoreFont = QImage(QStringLiteral(":/board/scorefont.png")).convertToFormat(QImage::Format_RGB32);
    if (ScoreFont.width() < 11 * ScoreGlyphWidth || ScoreFont.height() < 2 * ScoreGlyphHeight) {
        qWarning("Zelvano: the score digits are missing or broken; digits from a font are drawn");
        ScoreFont = MakeScoreFont();
    }
    // The sharper twins are only read when a scaled screen asks for them.
    ScoreFont2x = QImage();
    BackTexture2x = QImage();
    if (LoadJpegResource(QStringLiteral("BACK"), BackTexture) != 0)
        qWarning("Zelvano: the background texture cannot be decoded; plain colours are drawn");
}

QRect TBoard::Dev(const QRect& r) const {
    if (m_ratio == 1.0) return r;
    return QRect(QPoint(Dev(r.x()), Dev(r.y())), QPoint(Dev(r.x() + r.width()) - 1, Dev(r.y() + r.height()) - 1));
}

void TBoard::WaitForArtwork() {
    for (auto& loading : m_artwork)
        if (loading.valid()) loading.get();
}

void TBoard::LetGoOfDocuments() {
    WaitForArtwork();
    for (TStripPicture* picture : {&m_cards, &m_glyphs, &m_patterns}) picture->LetGoOfDocuments();
}

bool TBoard::HoldsDocuments() const {
    return m_cards.HoldsDocuments() || m_glyphs.HoldsDocuments() || m_patterns.HoldsDocuments();
}

bool TBoard::LayoutBoard(int bw, int bh) {
    if (!ComputeLayout(Layout, bw, bh, m_game.PatternCount)) return false;
    WaitForArtwork();
    m_ratio = m_canvas.Ratio > 0 ? m_canvas.Ratio : 1.0;
    const QSize device(Dev(bw), Dev(bh));
    PrepareDeviceBitmaps();
    // The background is built, and the canvas set to it, while the other cores render the
    // pictures: neither needs the other. The canvas starts as the new background, so nothing it
    // held before can show, and the next full paint only adds the pieces.
    RenderStrips([this, device] {
        BuildBackground(device);
        if (m_canvas.Image.size() != device) {
            m_canvas.Image = QImage();
            m_canvas.Image = m_canvasStore.Make(device.width(), device.height());
        }
        BitBlt(m_canvas.Image, 0, 0, device.width(), device.height(), BoardBackground, 0, 0);
    });
    m_canvas.Drawn = QRegion();
    m_canvasUnknown = false;
    return true;
}

// Half-resolution halves of a two-row picture scaled apart, so the picture row never bleeds
// into the mask row.
static QImage ScaleRows(const QImage& twoRows, int width, int rowHeight) {
    const int h = twoRows.height() / 2;
    QImage out = NewBitmap(width, 2 * rowHeight);
    for (int row = 0; row < 2; ++row) {
        const QImage part = twoRows.copy(0, row * h, twoRows.width(), h)
                                .scaled(width, rowHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(QImage::Format_RGB32);
        BitBlt(out, 0, row * rowHeight, width, rowHeight, part, 0, 0);
    }
    return out;
}

void TBoard::PrepareDeviceBitmaps() {
    const auto sources = std::make_pair(BackTexture.cacheKey(), ScoreFont.cacheKey());
    if (m_deviceBitmapsFor == m_ratio && m_deviceSources == sources) return;
    m_deviceBitmapsFor = m_ratio;
    m_deviceSources = sources;
    m_glyphW = Dev(ScoreGlyphWidth);
    m_glyphH = Dev(ScoreGlyphHeight);
    if (m_ratio == 1.0) {
        m_texture = BackTexture;
        m_scoreFont = ScoreFont;
        return;
    }
    if (ScoreFont2x.isNull()) {
        ScoreFont2x = QImage(QStringLiteral(":/board/scorefont@2x.png")).convertToFormat(QImage::Format_RGB32);
        if (ScoreFont2x.size() != 2 * ScoreFont.size()) ScoreFont2x = QImage();
    }
    if (BackTexture2x.isNull() && !BackTexture.isNull()) {
        LoadJpegResource(QStringLiteral("BACK@2x"), BackTexture2x);
        if (BackTexture2x.size() != 2 * BackTexture.size()) BackTexture2x = QImage();
    }
    // The twice-as-large pictures serve every scale above one; scaled down they stay sharp.
    const QImage& digits = ScoreFont2x.isNull() ? ScoreFont : ScoreFont2x;
    m_scoreFont = digits.size() == QSize(11 * m_glyphW, 2 * m_glyphH) ? digits : ScaleRows(digits, 11 * m_glyphW, m_glyphH);
    const QImage& texture = BackTexture2x.isNull() ? BackTexture : BackTexture2x;
    const int tw = BackTexture.width() / 2, th = BackTexture.height() / BackgroundCount;
    if (tw < 1 || th < 1) {
        m_texture = QImage();
        return;
    }
    const QSize deviceTile(Dev(tw), Dev(th));
    if (texture.size() == QSize(2 * deviceTile.width(), BackgroundCount * deviceTile.height())) {
        m_texture = texture;
        return;
    }
    // Each tile scaled on its own, wrapped around its edges first: the board repeats a tile
    // side by side, so its edge must blend with its own opposite edge, never with the next
    // tile of the picture.
    const int stw = texture.width() / 2, sth = texture.height() / BackgroundCount, pad = 4;
    m_texture = NewBitmap(2 * deviceTile.width(), BackgroundCount * deviceTile.height());
    const qreal scale = qreal(deviceTile.width()) / stw;
    for (int row = 0; row < BackgroundCount; ++row)
        for (int col = 0; col < 2; ++col) {
            QImage shifted = NewBitmap(stw + 2 * pad, sth + 2 * pad);
            for (int y = 0; y < shifted.height(); ++y)
                for (int x = 0; x < shifted.width(); ++x)
                    shifted.setPixel(x, y, texture.pixel(col * stw + (x - pad + stw) % stw, row * sth + (y - pad + sth) % sth));
            const QImage big = shifted.scaled(qRound(shifted.width() * scale), qRound(shifted.height() * scale),
                                              Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                   .convertToFormat(QImage::Format_RGB32);
            BitBlt(m_texture, col * deviceTile.width(), row * deviceTile.height(), deviceTile.width(),
                   deviceTile.height(), big, qRound(pad * scale), qRound(pad * scale));
        }
}

void TBoard::RenderStrips(const std::function<void()>& meanwhile) {
    const int cs = DeviceCardSize(), ps = DevicePatternSize();
    // The pictures depend only on these two sizes; a resize that keeps them keeps the pictures.
    if (m_stripsFor == QSize(cs, ps)) {
        meanwhile();
        return;
    }
    m_stripsFor = QSize(cs, ps);
    // All three at once: their cells are shared out among the cores together.
    const TStripPicture::Job jobs[] = {{&m_cards, cs, Cream, &CardFaces},
                                       {&m_glyphs, cs, qRgb(255, 255, 255), &ValueGlyphs},
                                       {&m_patterns, ps, qRgb(170, 170, 170), &PatternPictures}};
    TStripPicture::RenderAll(jobs, meanwhile);
    if (!m_cards.IsValid()) {
        for (int c = 0; c < 4; ++c) FillRect(CardFaces, QRect(c * cs + cs / 8, cs / 8, cs * 3 / 4, cs * 3 / 4), FaceColours[c]);
        DrawTextCentred(CardFaces, QRect(4 * cs, 0, cs, cs), QStringLiteral("J"), ArialPixels(cs / 2, true),
                        QColor(255, 192, 0));
    }

    if (!m_glyphs.IsValid()) {
        for (int v = 0; v < 13; ++v)
            DrawTextCentred(ValueGlyphs, QRect(0, v * cs, cs, cs), QString::number(v + 1),
                            ArialPixels(cs * 2 / 5, true), Qt::black);
    }

    if (!m_patterns.IsValid()) {
        for (int id = 0; id < PatternCells; ++id)
            DrawTextCentred(PatternPictures, QRect(id * ps, 0, ps, ps), id == 0 ? QStringLiteral("X") : QString::number(id),
                            ArialPixels(ps / 2, true), id == 0 ? Qt::red : Qt::black);
    }
}

QRgb TBoard::FallbackColour(bool darker) const {
    return PlainBackgrounds[std::clamp(BackgroundIndex, 0, BackgroundCount - 1)][darker ? 1 : 0];
}

void TBoard::BuildBackground(QSize device) {
    const int bw = Layout.Width, bh = Layout.Height;
    const int r = std::clamp(BackgroundIndex, 0, BackgroundCount - 1);
    const int tw = m_texture.width() / 2, th = m_texture.height() / BackgroundCount;
    const bool textured = tw >= 1 && th >= 1;

    // Every pixel is written below, so the bitmap need not be cleared first.
    BoardBackground = QImage();
    BoardBackground = m_backgroundStore.Make(device.width(), device.height());
    // The darker texture lies in the toolbar band and in the two panels; both textures are
    // tiled from the board's top-left corner, so a panel shows the darker twin of exactly
    // what lies around it.
    const QRect pp = Layout.PatternPanel(), rp = Layout.RowPanel();
    const QRect darkAreas[] = {Dev(QRect(0, 0, bw, ToolbarBand)), Dev(pp), Dev(rp)};
    if (textured) {
        TileInto(BoardBackground, BoardBackground.rect(), m_texture, QRect(0, r * th, tw, th));
        for (const QRect& dark : darkAreas) TileInto(BoardBackground, dark, m_texture, QRect(tw, r * th, tw, th));
    } else {
        BoardBackground.fill(FallbackColour(false));
        for (const QRect& dark : darkAreas) FillRect(BoardBackground, dark, FallbackColour(true));
    }

    Frame(BoardBackground, 0, ToolbarBand, bw, bh, Qt::black);
    Frame(BoardBackground, 6, ToolbarBand + 6, bw - 6, bh - 6, Qt::black);
    Frame(BoardBackground, 3, ToolbarBand + 3, bw - 3, bh - 3, Qt::black, 3);

    Frame(BoardBackground, pp.x(), pp.y(), pp.x() + pp.width(), pp.y() + pp.height(), Qt::black);
    Frame(BoardBackground, pp.x() - 2, pp.y() - 2, pp.x() + pp.width() + 2, pp.y() + pp.height() + 2, Qt::black);

    Frame(BoardBackground, rp.x(), rp.y(), rp.x() + rp.width(), rp.y() + rp.height(), Qt::black);
    Frame(BoardBackground, rp.x() - 6, rp.y() - 6, rp.x() + rp.width() + 6, rp.y() + rp.height() + 6, Qt::black);
    Frame(BoardBackground, rp.x() - 3, rp.y() - 3, rp.x() + rp.width() + 3, rp.y() + rp.height() + 3, Qt::black, 3);
}

void TBoard::Frame(QImage& dst, int left, int top, int right, int bottom, QColor colour, int penWidth) const {
    if (m_ratio == 1.0) {
        FrameRect(dst, left, top, right, bottom, colour, penWidth);
        return;
    }
    if (penWidth < 1) penWidth = 1;
    QPainter p(&dst);
    const int lo = -(penWidth - 1) / 2, hi = penWidth / 2;
    for (int d = lo; d <= hi; ++d) {
        const int l = left - d, t = top - d, r = right - 1 + d, b = bottom - 1 + d;
        if (r < l || b < t) continue;
        // Every side equally thick, so a frame does not look heavier on one side than the other.
        const int w1 = Dev(1), L = Dev(l), T = Dev(t), R = Dev(r + 1), B = Dev(b + 1);
        p.fillRect(QRect(L, T, R - L, w1), colour);
        p.fillRect(QRect(L, B - w1, R - L, w1), colour);
        p.fillRect(QRect(L, T, w1, B - T), colour);
        p.fillRect(QRect(R - w1, T, w1, B - T), colour);
    }
}

void TBoard::Restore(const QRect& r) {
    BitBlt(m_canvas.Image, r.x(), r.y(), r.width(), r.height(), BoardBackground, r.x(), r.y());
}

void TBoard::DrawCard(QImage& target, int x, int y, CardCode card) const {
    const int cs = DeviceCardSize();
    if (static_cast<unsigned>(card) < 64) {
        // The black numeral darkens the face; its white ground leaves the face alone.
        BitBltAnd(target, x, y, cs, cs, CardFaces, ColourIndex(card) * cs, 0, ValueGlyphs, 0, ValueField(card) * cs);
    } else if (card == JokerCard) {
        BitBlt(target, x, y, cs, cs, CardFaces, 4 * cs, 0);
    } else {
        return;
    }
    FrameInside(target, QRect(x, y, cs, cs), Qt::black, Dev(1));
}

void TBoard::DrawCardOnBox(int x, int y, CardCode card) {
    if (!Ready()) return;
    const QRect r = DeviceSquare(QRect(x, y, 0, 0), DeviceCardSize());
    DrawCard(m_canvas.Image, r.x(), r.y(), card);
    m_canvas.Changed(r);
}

void TBoard::DrawRowCard(int j) {
    const QRect r = Layout.RowRect(j);
    DrawCardOnBox(r.x(), r.y(), m_game.Row[j]);
}

void TBoard::DrawPattern(int i) {
    if (!Ready()) return;
    const int ps = DevicePatternSize(), w1 = Dev(1);
    const QRect sq = DeviceSquare(Layout.PatternRect(i), ps);
    // One pixel all round: that also wipes the glittering frame of an offer.
    const QRect ring = sq.adjusted(-w1, -w1, w1, w1);
    Restore(ring);
    const TPatternState state = m_game.PatternState[i];
    const int cell = state == TPatternState::Claimed ? 0 : m_game.PatternIds[i];
    BitBlt(m_canvas.Image, sq.x(), sq.y(), ps, ps, PatternPictures, cell * ps, 0);
    if (!IsOffered(state)) FrameInside(m_canvas.Image, sq, Qt::black, w1);
    m_canvas.Changed(ring);
}

void TBoard::FlashFrames() {
    if (!Ready()) return;
    const int ps = DevicePatternSize(), w1 = Dev(1);
    for (int i = 1; i <= m_game.PatternCount; ++i) {
        if (!IsOffered(m_game.PatternState[i])) continue;
        const QRect sq = DeviceSquare(Layout.PatternRect(i), ps);
        const QRect ring = sq.adjusted(-w1, -w1, w1, w1);
        const LightColour inner = RandomLightColour(m_random);
        FrameInside(m_canvas.Image, sq, QColor(inner.Red, inner.Green, inner.Blue), w1);
        const LightColour outer = RandomLightColour(m_random);
        FrameInside(m_canvas.Image, ring, QColor(outer.Red, outer.Green, outer.Blue), w1);
        m_canvas.Changed(ring);
    }
}

void TBoard::DrawStack(int s, bool full) {
    if (!Ready()) return;
    const int c = m_game.StackCount[s];
    const int cs = DeviceCardSize(), st = Dev(Layout.StripStep());
    const QRect area = DeviceSquare(Layout.StackTopRect(s), cs).adjusted(0, 0, 0, 10 * st);
    const int x = area.x(), y0 = area.y();
    QImage& canvas = m_canvas.Image;

    if (c == 0 || (c == 1 && !full)) {
        Restore(area);
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
        // Only the bottom strip of a lower card shows: draw just that part of it, as a whole
        // card drawn and cut would give, without drawing the rest.
        for (int k = 0; k <= lowestWhole; ++k) DrawCardStrip(canvas, x, y0 + cs + (c - 2 - k) * st, st, m_game.Stacks[s][k]);
    }
    m_canvas.Changed(area);
}

void TBoard::DrawCardStrip(QImage& target, int x, int y, int rows, CardCode card) const {
    const int cs = DeviceCardSize(), from = cs - rows;
    if (static_cast<unsigned>(card) < 64) {
        BitBltAnd(target, x, y, cs, rows, CardFaces, ColourIndex(card) * cs, from, ValueGlyphs, 0,
                  ValueField(card) * cs + from);
    } else if (card == JokerCard) {
        BitBlt(target, x, y, cs, rows, CardFaces, 4 * cs, from);
    } else {
        return; // nothing at all for a code that is no card
    }
    // The part of the card's frame that lies in the strip.
    const int w1 = Dev(1);
    const QRect whole(x, y - from, cs, cs);
    const QRect strip(x, y, cs, rows);
    for (const QRect& side : {QRect(whole.x(), whole.y(), cs, w1), QRect(whole.x(), whole.bottom() + 1 - w1, cs, w1),
                              QRect(whole.x(), whole.y(), w1, cs), QRect(whole.right() + 1 - w1, whole.y(), w1, cs)})
        FillRect(target, side & strip, Qt::black);
}

void TBoard::DrawScore() {
    if (!Ready()) return;
    const int bw = Layout.Width;
    const QString text = QString::number(DisplayedScore(m_game.Score));
    const QRect field = Dev(Layout.ScoreField());
    Restore(field);
    const int x = (bw - 416 - ScoreGlyphWidth * static_cast<int>(text.size())) / 2 + 208;
    if (OnScoreLabelMoved) OnScoreLabelMoved(x + 5);
    const int gw = m_glyphW, gh = m_glyphH, top = Dev(ScoreFieldTop);
    for (int p = 0; p < text.size(); ++p) {
        const int g = text[p] == QLatin1Char('-') ? 0 : text[p].digitValue() + 1;
        const int gx = Dev(x + ScoreGlyphWidth * p);
        BitBlt(m_canvas.Image, gx, top, gw, gh, m_scoreFont, gw * g, gh, TRop::And);
        BitBlt(m_canvas.Image, gx, top, gw, gh, m_scoreFont, gw * g, 0, TRop::Or);
    }
    const int left = Dev(x), right = Dev(x + ScoreGlyphWidth * static_cast<int>(text.size() - 1)) + gw;
    m_canvas.Changed(field.united(QRect(left, top, right - left, gh)));
}

void TBoard::Paint() {
    if (!Ready()) return;
    QImage& canvas = m_canvas.Image;
    const bool paused = m_game.GameState == gsPaused;
    if (m_canvasUnknown || m_canvas.Drawn.boundingRect().contains(canvas.rect())) {
        BitBlt(canvas, 0, 0, canvas.width(), canvas.height(), BoardBackground, 0, 0);
        m_canvasUnknown = false;
    } else {
        // Everywhere else the canvas already shows the background. What the elements drawn
        // below cover whole need not be put back first.
        QRegion restore = m_canvas.Drawn;
        if (!paused) restore -= CoveredByElements();
        for (const QRect& r : restore) Restore(r);
    }
    m_canvas.Drawn = QRegion();
    if (!paused) {
        for (int i = 1; i <= m_game.PatternCount; ++i) DrawPattern(i);
        for (int j = 0; j < RowSize; ++j) {
            const QRect r = DeviceSquare(Layout.RowRect(j), DeviceCardSize());
            DrawCard(m_canvas.Image, r.x(), r.y(), m_game.Row[j]);
            m_canvas.Drawn += r; // shown with everything else below
        }
        for (int s = 0; s < StackTotal; ++s) DrawStack(s, true);
        DrawScore();
    }
    m_canvas.ShowAll();
}

QRegion TBoard::CoveredByElements() const {
    QRegion covered;
    const int cs = DeviceCardSize(), ps = DevicePatternSize(), st = Dev(Layout.StripStep()), w1 = Dev(1);
    // Each pattern square with its ring: DrawPattern puts the ring back itself.
    for (int i = 1; i <= m_game.PatternCount; ++i) covered += DeviceSquare(Layout.PatternRect(i), ps).adjusted(-w1, -w1, w1, w1);
    for (int j = 0; j < RowSize; ++j)
        if (static_cast<unsigned>(m_game.Row[j]) < 64 || m_game.Row[j] == JokerCard)
            covered += DeviceSquare(Layout.RowRect(j), cs);
    // A full stack draws its cards and puts back a stretch as long again below the lowest
    // strip (nine strips below a single card, all of the area for none).
    for (int s = 0; s < StackTotal; ++s) {
        const QRect area = DeviceSquare(Layout.StackTopRect(s), cs).adjusted(0, 0, 0, 10 * st);
        const int c = m_game.StackCount[s];
        bool allCards = true;
        for (int k = 0; k < c; ++k)
            allCards = allCards && (static_cast<unsigned>(m_game.Stacks[s][k]) < 64 || m_game.Stacks[s][k] == JokerCard);
        if (!allCards) continue;
        const int down = c == 0 ? area.height() : c == 1 ? cs + 9 * st : cs + 2 * (c - 1) * st;
        covered += QRect(area.x(), area.y(), cs, down) & area;
    }
    covered += Dev(Layout.ScoreField());
    return covered;
}

void TBoard::RestoreBelowBand() {
    if (!Ready()) return;
    const QRect below = Dev(QRect(0, ToolbarBand, Layout.Width, Layout.Height - ToolbarBand));
    Restore(below);
    m_canvas.Changed(below);
}

void TBoard::ClaimFlash(int i, int points, const std::function<void()>& afterEachPass) {
    if (!Ready()) return;
    const int ps = DevicePatternSize(), w1 = Dev(1);
    const QRect sq = DeviceSquare(Layout.PatternRect(i), ps);
    const QRect ring = sq.adjusted(-w1, -w1, w1, w1);
    Restore(ring);
    m_canvas.Changed(ring);
    const QString text = QString::number(points);
    // A size in points on a 96-dpi screen, as the rest of the board's text.
    const int pointSize = Layout.PatternSize / 3;
    const QFont font = ArialPixels(Dev((pointSize * 96 + 36) / 72));
    const int tx = sq.x() + (ps - TextWidth(font, text)) / 2;
    const int ty = sq.y() + (ps - TextHeight(font, text)) / 2;
    for (int pass = 0; pass < 6; ++pass) {
        const LightColour c = RandomLightColour(m_random);
        TextOut(m_canvas.Image, tx, ty, text, font, QColor(c.Red, c.Green, c.Blue));
        m_canvas.Changed(ring.united(QRect(tx, ty, TextWidth(font, text), TextHeight(font, text))));
        if (afterEachPass) afterEachPass();
    }
}
