// Renders the board artwork the way the game does (SVG strips stretched over square cells,
// numerals ANDed onto faces, score digits through their mask, the texture tiled) and saves
// a few mock boards and close-up sheets as PNG files, so the art can be judged at real size,
// also as a protanope and a deuteranope see it.
//
//   boardpreview ASSET_DIR OUT_DIR
//   boardpreview --check ASSET_DIR   (the files' technical rules: opaque cells, clean glyph
//                                     borders, a consistent score mask, seamless tiles)
//   boardpreview --help-pictures ASSET_DIR HELP_DIR
//                                    (the help's pictures: patterns, toolbar, annotated board;
//                                     the buttons are read from ASSET_DIR/../buttons)

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

QString assetDir;

QImage renderStrip(const QString& name, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::magenta); // any pixel the picture leaves uncovered shows up at once
    QSvgRenderer r(assetDir + "/" + name);
    if (!r.isValid())
        std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
    QPainter p(&img);
    r.render(&p, QRectF(0, 0, w, h));
    return img;
}

struct Strips {
    int cs = 0, ps = 0;
    QImage faces, glyphs, patterns, score, back;
    void build(int cardSize, int patternSize)
    {
        cs = cardSize;
        ps = patternSize;
        faces = renderStrip("cards.svg", 5 * cs, cs);
        glyphs = renderStrip("glyphs.svg", cs, 13 * cs);
        patterns = renderStrip("patterns.svg", 21 * ps, ps);
        score = QImage(assetDir + "/scorefont.png").convertToFormat(QImage::Format_RGB32);
        back = QImage(assetDir + "/back.jpg").convertToFormat(QImage::Format_RGB32);
    }
};

void drawCard(QPainter& p, const Strips& s, int x, int y, int card)
{
    if (card < 64) {
        p.drawImage(x, y, s.faces, (card / 16) * s.cs, 0, s.cs, s.cs);
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(x, y, s.glyphs, 0, (card % 16) * s.cs, s.cs, s.cs);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    } else {
        p.drawImage(x, y, s.faces, 4 * s.cs, 0, s.cs, s.cs);
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(x, y, s.cs - 1, s.cs - 1);
}

void drawScore(QPainter& p, const Strips& s, int x, int y, const QString& text)
{
    for (int i = 0; i < text.size(); ++i) {
        int g = text[i] == '-' ? 0 : text[i].digitValue() + 1;
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(x + 20 * i, y, s.score, 20 * g, 27, 20, 27);
        p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        p.drawImage(x + 20 * i, y, s.score, 20 * g, 0, 20, 27);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QColor lightColour(QRandomGenerator& rnd)
{
    return QColor(128 + rnd.bounded(128), 128 + rnd.bounded(128), 128 + rnd.bounded(128));
}

void rect(QPainter& p, int x0, int y0, int x1, int y1, int width = 1)
{
    // Right and bottom edges exclusive, as the game's outlines are.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1));
    for (int k = 0; k < width; ++k) {
        int d = k - width / 2;
        p.drawRect(x0 + d, y0 + d, x1 - x0 - 1 - 2 * d, y1 - y0 - 1 - 2 * d);
    }
}

QImage mockBoard(int bw, int bh, int level, int backIndex, quint32 seed)
{
    static const int counts[] = {0, 12, 14, 16, 18};
    static const int ids[5][18] = {{},
        {1, 2, 3, 4, 5, 6, 7, 8, 13, 14, 15, 16},
        {1, 2, 3, 4, 5, 6, 7, 8, 10, 13, 12, 14, 15, 16},
        {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 13, 12, 14, 17, 15, 16},
        {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 9, 13, 12, 14, 17, 15, 16, 18}};
    const int n = counts[level];
    float ratio = float(bw - 10) / float(bh - 70);
    float unit = ratio > 1.5f ? float(bh - 70) * 1.5f : float(bw - 10);
    auto scaled = [&](float f) { return int(std::nearbyint(double(unit) * double(f))); };
    int left = (bw - int(std::nearbyint(unit))) / 2;
    int top = (bh - 60 - int(std::nearbyint(unit / 1.5f))) / 2 + 60;
    float start = 0.5f - (n * 0.048f + (n - 1) * 0.005f) / 2;
    std::vector<float> px(n);
    for (int i = 0; i < n; ++i)
        px[i] = start + i * 0.053f;

    Strips s;
    s.build(scaled(0.15f), scaled(0.048f));
    const int tw = s.back.width() / 2, th = s.back.height() / 5;

    QImage board(bw, bh, QImage::Format_RGB32);
    QPainter p(&board);
    for (int i = 0; i <= bw / tw; ++i)
        for (int j = 0; j <= bh / th; ++j)
            p.drawImage(i * tw, j * th, s.back, 0, backIndex * th, tw, th);
    QImage scratch(bw, bh / 2 + top, QImage::Format_RGB32);
    {
        QPainter q(&scratch);
        for (int i = 0; i <= bw / tw; ++i)
            for (int j = 0; j <= scratch.height() / th; ++j)
                q.drawImage(i * tw, j * th, s.back, tw, backIndex * th, tw, th);
    }
    p.drawImage(0, 0, scratch, 0, 0, bw, 58);
    rect(p, 0, 58, bw, bh);
    rect(p, 6, 64, bw - 6, bh - 6);
    rect(p, 3, 61, bw - 3, bh - 3, 3);
    {
        int x = scaled(px[0] - 0.012f) + left, y = scaled(0.017f) + top;
        int w = scaled(px[n - 1] - px[0] + 0.048f + 0.024f), h = scaled(0.072f);
        p.drawImage(x, y, scratch, x, y, w, h);
        rect(p, x, y, x + w, y + h);
        rect(p, x - 2, y - 2, x + w + 2, y + h + 2);
    }
    {
        int x = scaled(0.17f - 0.012f) + left, y = scaled(0.119f) + top;
        int w = scaled(0.68f - 0.17f + 0.15f + 0.024f), h = scaled(0.174f);
        p.drawImage(x, y, scratch, x, y, w, h);
        rect(p, x, y, x + w, y + h);
        rect(p, x - 6, y - 6, x + w + 6, y + h + 6);
        rect(p, x - 3, y - 3, x + w + 3, y + h + 3, 3);
    }

    QRandomGenerator rnd(seed);
    // Patterns: a couple claimed, a couple offered.
    const int ps = s.ps;
    for (int i = 0; i < n; ++i) {
        int x = scaled(px[i]) + left, y = scaled(0.029f) + top;
        int state = i == 2 || i == 6 ? 9 : (i == 4 || i == n - 3) ? 1 : 0;
        int c = state == 9 ? 0 : ids[level][i];
        p.drawImage(x, y, s.patterns, c * ps, 0, ps, ps);
        if (state == 1) {
            p.setPen(lightColour(rnd));
            p.drawRect(x, y, ps - 1, ps - 1);
            p.setPen(lightColour(rnd));
            p.drawRect(x - 1, y - 1, ps + 1, ps + 1);
        } else {
            rect(p, x, y, x + ps, y + ps);
        }
    }
    static const float rowX[] = {0.17f, 0.34f, 0.51f, 0.68f};
    static const float stackX[] = {0.085f, 0.255f, 0.425f, 0.595f, 0.765f};
    for (int j = 0; j < 4; ++j) {
        int card = j == 2 ? 79 : int(rnd.bounded(4)) * 16 + int(rnd.bounded(13));
        drawCard(p, s, scaled(rowX[j]) + left, scaled(0.131f) + top, card);
    }
    const int st = scaled(0.018f);
    for (int k = 0; k < 5; ++k) {
        int c = 10 - 2 * k + (k == 4 ? 1 : 0);
        int x = scaled(stackX[k]) + left, y0 = scaled(0.32f) + top;
        QImage one(s.cs, s.cs, QImage::Format_RGB32);
        for (int i = 0; i < c; ++i) {
            int card = int(rnd.bounded(4)) * 16 + int(rnd.bounded(13));
            if (i == c - 1) {
                drawCard(p, s, x, y0, card);
            } else {
                QPainter q(&one);
                drawCard(q, s, 0, 0, card);
                q.end();
                p.drawImage(x, y0 + s.cs + (c - 2 - i) * st, one, 0, s.cs - st, s.cs, st);
            }
        }
    }
    QString score = QString::number(level == 4 ? -372 : 4815);
    int x = (bw - 416 - 20 * int(score.size())) / 2 + 208;
    drawScore(p, s, x, 22, score);
    return board;
}

QImage sheet(int cs, int ps)
{
    Strips s;
    s.build(cs, ps);
    const int gap = 8;
    int w = 14 * (cs + gap) + gap;
    int h = 4 * (cs + gap) + gap + 2 * (ps + gap) + 40 + 60;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(90, 70, 50));
    QPainter p(&img);
    for (int c = 0; c < 4; ++c)
        for (int v = 0; v < 13; ++v)
            drawCard(p, s, gap + v * (cs + gap), gap + c * (cs + gap), c * 16 + v);
    drawCard(p, s, gap + 13 * (cs + gap), gap, 79);
    int y = gap + 4 * (cs + gap);
    for (int i = 0; i < 21; ++i) {
        int x = gap + i * (ps + 4);
        p.drawImage(x, y, s.patterns, i * ps, 0, ps, ps);
        rect(p, x, y, x + ps, y + ps);
    }
    y += ps + gap;
    // The score band: darker brown texture under every digit.
    const int tw = s.back.width() / 2, th = s.back.height() / 5;
    for (int r = 0; r < 5; ++r)
        p.drawImage(gap + r * 240, y, s.back, tw, r * th, 230, 40);
    for (int r = 0; r < 5; ++r)
        drawScore(p, s, gap + r * 240 + 2, y + 6, r == 0 ? "-0123" : r == 1 ? "45678" : r == 2 ? "99999" : r == 3 ? "-9999" : "10472");
    y += 50;
    p.drawImage(gap, y, s.score.scaled(s.score.width() * 2, s.score.height() * 2));
    return img;
}

// How a picture looks to an eye without working red (protanopia) or green (deuteranopia)
// cones, by the full-severity matrices of Machado, Oliveira and Fernandes (2009), applied in
// linear light. The cards must still tell their four colours apart by their shape marks.
enum class Vision { Protanopia, Deuteranopia };

QImage simulate(const QImage& source, Vision vision)
{
    static const double protan[9] = {0.152286, 1.052583, -0.204868, 0.114503, 0.786281,
                                     0.099216, -0.003882, -0.048116, 1.051998};
    static const double deutan[9] = {0.367322, 0.860646, -0.227968, 0.280085, 0.672501,
                                     0.047413, -0.011820, 0.042940, 0.968881};
    const double* m = vision == Vision::Protanopia ? protan : deutan;
    auto toLinear = [](int v) {
        const double c = v / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    auto toScreen = [](double c) {
        c = std::clamp(c, 0.0, 1.0);
        c = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
        return int(std::lround(c * 255));
    };
    QImage out = source.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const double r = toLinear(qRed(line[x])), g = toLinear(qGreen(line[x])),
                         b = toLinear(qBlue(line[x]));
            line[x] = qRgb(toScreen(m[0] * r + m[1] * g + m[2] * b),
                           toScreen(m[3] * r + m[4] * g + m[5] * b),
                           toScreen(m[6] * r + m[7] * g + m[8] * b));
        }
    }
    return out;
}

// The picture beside its two simulations.
QImage withSimulations(const QImage& source)
{
    QImage out(source.width(), 3 * source.height(), QImage::Format_RGB32);
    QPainter p(&out);
    p.drawImage(0, 0, source);
    p.drawImage(0, source.height(), simulate(source, Vision::Protanopia));
    p.drawImage(0, 2 * source.height(), simulate(source, Vision::Deuteranopia));
    return out;
}

QImage tiled(int backIndex, int column, int w, int h)
{
    QImage back = QImage(assetDir + "/back.jpg").convertToFormat(QImage::Format_RGB32);
    const int tw = back.width() / 2, th = back.height() / 5;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    for (int i = 0; i <= w / tw; ++i)
        for (int j = 0; j <= h / th; ++j)
            p.drawImage(i * tw, j * th, back, column * tw, backIndex * th, tw, th);
    return img;
}

// Counts pixels that change when the picture is drawn over a different ground: anything
// above zero means a transparent or half-transparent pixel somewhere in the strip.
int seeThrough(const QString& name, int w, int h)
{
    QSvgRenderer r(assetDir + "/" + name);
    QImage a(w, h, QImage::Format_RGB32), b(w, h, QImage::Format_RGB32);
    a.fill(Qt::magenta);
    b.fill(Qt::cyan);
    {
        QPainter p(&a);
        r.render(&p, QRectF(0, 0, w, h));
    }
    {
        QPainter p(&b);
        r.render(&p, QRectF(0, 0, w, h));
    }
    int n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

int check()
{
    int faults = 0;
    auto fail = [&](const QString& what) {
        std::fprintf(stderr, "FAULT: %s\n", qPrintable(what));
        ++faults;
    };
    for (int size : {31, 45, 60, 97, 142, 200}) {
        if (int n = seeThrough("cards.svg", 5 * size, size))
            fail(QString("cards.svg at %1: %2 see-through pixels").arg(size).arg(n));
        if (int n = seeThrough("glyphs.svg", size, 13 * size))
            fail(QString("glyphs.svg at %1: %2 see-through pixels").arg(size).arg(n));
        if (int n = seeThrough("patterns.svg", 21 * size, size))
            fail(QString("patterns.svg at %1: %2 see-through pixels").arg(size).arg(n));
        // The numerals must leave a clean white border in every cell, or the AND would
        // smudge the card's edge.
        QImage g = renderStrip("glyphs.svg", size, 13 * size);
        const int edge = std::max(2, size / 12);
        for (int v = 0; v < 13; ++v)
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    bool border = x < edge || y < edge || x >= size - edge || y >= size - edge;
                    if (border && g.pixel(x, v * size + y) != qRgb(255, 255, 255)) {
                        fail(QString("glyph %1 at %2 reaches its border").arg(v + 1).arg(size));
                        x = y = size;
                    }
                }
    }
    QImage font(assetDir + "/scorefont.png");
    if (font.size() != QSize(220, 54) || font.hasAlphaChannel())
        fail("scorefont.png must be 220 x 54 without alpha");
    font = font.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 220; ++x) {
            QRgb img = font.pixel(x, y) & 0xffffff, mask = font.pixel(x, y + 27) & 0xffffff;
            if (mask != 0 && mask != 0xffffff)
                fail(QString("scorefont mask not pure at %1,%2").arg(x).arg(y));
            if (mask == 0xffffff && img != 0)
                fail(QString("scorefont picture not black under white mask at %1,%2").arg(x).arg(y));
        }
    QImage back(assetDir + "/back.jpg");
    if (back.size() != QSize(320, 600))
        fail("back.jpg must be 320 x 600");
    back = back.convertToFormat(QImage::Format_RGB32);
    // A seam shows as a jump across the tile's wrap that is larger than the jumps between
    // neighbouring pixels inside the tile. Both samples lie on 8-pixel JPEG block edges, so
    // the compression's own block steps count the same on either side.
    auto diff = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
            + std::abs(qBlue(a) - qBlue(b));
    };
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 2; ++c) {
            const int x0 = 160 * c, y0 = 120 * r;
            double inner = 0, innerY = 0, wrapX = 0, wrapY = 0;
            for (int y = 0; y < 120; ++y) {
                wrapX += diff(back.pixel(x0 + 159, y0 + y), back.pixel(x0, y0 + y));
                inner += diff(back.pixel(x0 + 79, y0 + y), back.pixel(x0 + 80, y0 + y));
            }
            for (int x = 0; x < 160; ++x) {
                wrapY += diff(back.pixel(x0 + x, y0 + 119), back.pixel(x0 + x, y0));
                innerY += diff(back.pixel(x0 + x, y0 + 63), back.pixel(x0 + x, y0 + 64));
            }
            inner /= 120;
            wrapX /= 120;
            innerY /= 160;
            wrapY /= 160;
            std::printf("tile %d,%d: step across x %.1f (wrap %.1f), across y %.1f (wrap %.1f)\n",
                        r, c, inner, wrapX, innerY, wrapY);
            if (wrapX > 2 * inner + 4 || wrapY > 2 * innerY + 4)
                fail(QString("tile %1,%2 shows a seam").arg(r).arg(c));
        }
    std::printf("%s\n", faults ? "artwork check failed" : "artwork check passed");
    return faults ? 1 : 0;
}

// ---- pictures for the help file --------------------------------------------------------

// A numbered disc pointing at something: dark red with a white figure, readable on any part
// of the board.
void callout(QPainter& p, QPoint at, int number)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(150, 24, 16));
    p.drawEllipse(QPointF(at), 11, 11);
    QFont f("DejaVu Sans");
    f.setPixelSize(14);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(at.x() - 11, at.y() - 11, 22, 22), Qt::AlignCenter, QString::number(number));
    p.setRenderHint(QPainter::Antialiasing, false);
}

QImage button(const QString& name)
{
    QImage img(assetDir + "/../buttons/" + name + "-up.png");
    if (img.isNull())
        std::fprintf(stderr, "cannot read button %s\n", qPrintable(name));
    return img;
}

const char* const LeftButtons[] = {"mix", "giveup", "pause", "highscore"};
const char* const RightButtons[] = {"options", "info", "help", "exit"};

// The eight toolbar buttons in a row on the band's darker texture, numbered 1..8 below.
QImage helpToolbar()
{
    const int w = 8 * 58 + 6, h = 86;
    QImage img(w, h, QImage::Format_RGB32);
    QImage back = QImage(assetDir + "/back.jpg").convertToFormat(QImage::Format_RGB32);
    const int tw = back.width() / 2, th = back.height() / 5;
    QPainter p(&img);
    for (int i = 0; i <= w / tw; ++i)
        p.drawImage(i * tw, 0, back, tw, th, tw, h);
    for (int k = 0; k < 8; ++k) {
        const QImage b = button(k < 4 ? LeftButtons[k] : RightButtons[k - 4]);
        p.drawImage(6 + 58 * k, 4, b);
        callout(p, QPoint(6 + 58 * k + 25, 70), k + 1);
    }
    return img;
}

// The board as the player meets it, with the toolbar's buttons and numbered callouts on
// its parts: buttons, score, patterns (one of them offered, one claimed), row, stacks.
QImage helpBoard()
{
    const int bw = 700, bh = 500;
    QImage board = mockBoard(bw, bh, 1, 1, 3);
    QPainter p(&board);
    for (int k = 0; k < 4; ++k) {
        static const int left[] = {4, 56, 108, 160};
        static const int right[] = {208, 156, 104, 52};
        p.drawImage(left[k], 4, button(LeftButtons[k]));
        p.drawImage(bw - right[k], 4, button(RightButtons[k]));
    }
    // Where the mock board puts things at 700 x 500, basic level.
    callout(p, QPoint(118, 50), 1);  // the game's buttons
    callout(p, QPoint(462, 30), 2);  // the score
    callout(p, QPoint(590, 50), 3);  // options, info, help, exit
    callout(p, QPoint(96, 90), 4);   // the patterns
    callout(p, QPoint(128, 165), 5); // the row
    callout(p, QPoint(70, 330), 6);  // the stacks
    return board.scaled(bw * 9 / 10, bh * 9 / 10, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int writeHelpPictures(const QString& out)
{
    QDir().mkpath(out);
    int faults = 0;
    auto save = [&](const QImage& img, const QString& name) {
        if (!img.save(out + "/" + name)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            ++faults;
        }
    };
    // The pattern pictures at a size that reads easily beside the text, framed as on the board.
    const int ps = 40;
    const QImage strip = renderStrip("patterns.svg", 21 * ps, ps);
    for (int id = 0; id <= 18; ++id) {
        QImage cell = strip.copy(id * ps, 0, ps, ps);
        QPainter p(&cell);
        rect(p, 0, 0, ps, ps);
        p.end();
        save(cell, QString("zlvo1-pattern-%1.png").arg(id, 2, 10, QChar('0')));
    }
    save(helpToolbar(), "zlvo1-toolbar.png");
    save(helpBoard(), "zlvo1-board.png");
    return faults ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 3 && QString(argv[1]) == "--check") {
        assetDir = QString::fromLocal8Bit(argv[2]);
        return check();
    }
    if (argc == 4 && QString(argv[1]) == "--help-pictures") {
        assetDir = QString::fromLocal8Bit(argv[2]);
        return writeHelpPictures(QString::fromLocal8Bit(argv[3]));
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: boardpreview ASSET_DIR OUT_DIR | --check ASSET_DIR | "
                             "--help-pictures ASSET_DIR HELP_DIR\n");
        return 2;
    }
    assetDir = QString::fromLocal8Bit(argv[1]);
    QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    mockBoard(700, 500, 4, 1, 7).save(out + "/board-700x500-champions-brown.png");
    mockBoard(700, 500, 1, 1, 3).save(out + "/board-700x500-basic-brown.png");
    mockBoard(1024, 700, 1, 1, 11).save(out + "/board-1024x700-basic-brown.png");
    for (int b = 0; b < 5; ++b)
        mockBoard(700, 500, 3, b, 20 + b).save(out + QString("/board-700x500-master-%1.png").arg(b));
    mockBoard(1600, 1000, 2, 2, 5).save(out + "/board-1600x1000-advanced-green.png");
    sheet(97, 31).save(out + "/sheet-97-31.png");
    sheet(150, 60).save(out + "/sheet-150-60.png");
    // Normal sight, protanopia and deuteranopia, one above the other.
    withSimulations(mockBoard(700, 500, 4, 1, 7)).save(out + "/colourblind-board-700x500.png");
    withSimulations(sheet(97, 31)).save(out + "/colourblind-sheet-97-31.png");
    for (int b = 0; b < 5; ++b)
        for (int c = 0; c < 2; ++c)
            tiled(b, c, 640, 480).save(out + QString("/tiles-%1-%2.png").arg(b).arg(c));
    return 0;
}
