// The dialogs' textures and pictures on a scaled screen (run with QT_SCALE_FACTOR 2 and 1.5):
// drawn in the screen's own pixels from their sharper twins, tiles meeting exactly, keyed
// outlines hard.

#include "controls/Decor.h"
#include "controls/HintBalloon.h"

#include <QPainter>
#include <QSet>
#include <QTest>
#include <QtMath>

namespace {

// Every pixel its own colour, so any scaling, shift or seam shows.
QImage Numbered(int w, int h, int seed) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(seed + 7 * x, 40 + 11 * y, 100 + 3 * (x + y)));
    return img;
}

// A solid disc on the white key colour.
QImage Disc(int size, QColor colour) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(size * 0.1, size * 0.1, size * 0.8, size * 0.8));
    return img;
}

} // namespace

class DecorHiDpiTest : public QObject {
    Q_OBJECT

    qreal ratio = 1;
    QImage Shown(QWidget& w) {
        const QPixmap pm = w.grab();
        return pm.toImage().convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void initTestCase() {
        QWidget probe;
        ratio = probe.devicePixelRatioF();
        QVERIFY2(ratio > 1, "run with QT_SCALE_FACTOR above 1");
    }

    // Every dialog picture comes with its twin, of the size the controls expect.
    void everyPictureHasItsTwin() {
        TImageList list;
        for (int i = 0; i < TImageList::Count; ++i)
            QCOMPARE(list.Sharp(i).size(), list.Bitmap(i).size() * TImageList::SharpFactor(i));
        QVERIFY(list.Sharp(-1).isNull());
        QVERIFY(list.Sharp(TImageList::Count).isNull());
    }

    // The fill and the panel tile the texture at the screen's resolution: at 2 the twin itself,
    // pixel for pixel; at any ratio a tile of whole screen pixels repeating without a seam.
    void texturesTileInScreenPixels() {
        const QImage texture = Numbered(8, 6, 0), twin = Numbered(16, 12, 30);
        QWidget form;
        form.resize(60, 40);
        new TFormFill(&form, texture, twin);
        TBevelPanel panel(nullptr, texture, twin);
        panel.resize(60, 40);
        const int tw = qRound(8 * ratio), th = qRound(6 * ratio);
        for (QWidget* w : {&form, static_cast<QWidget*>(&panel)}) {
            const QImage shown = Shown(*w);
            QCOMPARE(shown.size(), QSize(qRound(60 * ratio), qRound(40 * ratio)));
            // Inside the panel's bevels and border (7 window pixels), the face only.
            const int from = qCeil(8 * ratio), toX = shown.width() - from - tw, toY = shown.height() - from - th;
            for (int y = from; y < toY; ++y)
                for (int x = from; x < toX; ++x) {
                    QCOMPARE(shown.pixel(x + tw, y), shown.pixel(x, y));
                    QCOMPARE(shown.pixel(x, y + th), shown.pixel(x, y));
                    if (ratio == 2)
                        QCOMPARE(shown.pixel(x, y), twin.pixel(x % 16, y % 12));
                }
            // More detail than the small texture has: the twin, not the texture blown up.
            QSet<QRgb> colours;
            for (int y = from; y < from + th; ++y)
                for (int x = from; x < from + tw; ++x)
                    colours.insert(shown.pixel(x, y));
            QVERIFY(colours.size() > texture.width() * texture.height());
        }
    }

    // A keyed picture: the twin's pixels where it is opaque, the background elsewhere, and
    // at a fractional ratio no pixel half the picture and half the background. (The twin is
    // blue and the picture red, so it shows which of them is drawn.)
    void keyedPictureHasAHardOutline() {
        QWidget form;
        form.resize(60, 60);
        QPalette pal = form.palette();
        pal.setColor(QPalette::Window, QColor(0, 90, 0));
        form.setPalette(pal);
        form.setAutoFillBackground(true);
        const QImage twin = Disc(100, QColor(40, 40, 200));
        auto* picture = new TPictureControl(&form, Disc(50, QColor(200, 40, 40)), twin);
        picture->setGeometry(0, 0, 50, 50);
        const QImage shown = Shown(form);
        int face = 0;
        for (int y = 0; y < qRound(50 * ratio); ++y)
            for (int x = 0; x < qRound(50 * ratio); ++x) {
                const QRgb p = shown.pixel(x, y);
                if (ratio == 2)
                    QCOMPARE(p, (twin.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF ? qRgb(0, 90, 0) : twin.pixel(x, y));
                const bool ground = p == qRgb(0, 90, 0);
                const bool blue = qAbs(qRed(p) - 40) <= 2 && qAbs(qGreen(p) - 40) <= 2 && qAbs(qBlue(p) - 200) <= 2;
                QVERIFY2(ground || blue, qPrintable(QString("pixel at %1,%2 is neither ground nor twin").arg(x).arg(y)));
                face += blue;
            }
        const double area = 3.14159 * 0.4 * 0.4 * 50 * 50 * ratio * ratio;
        QVERIFY(qAbs(face - area) < 0.05 * area);
    }

    // The hint balloon writes its text in the screen's pixels: at 2, blocks of 2 x 2 screen
    // pixels that are not all one colour (a balloon drawn at 1 and blown up has none). Its
    // outline stays in window pixels, where the window's shape is cut.
    void balloonTextInScreenPixels() {
        THintBalloon balloon;
        balloon.ShowFor(nullptr, QStringLiteral("Sound on or off"), QPoint(100, 300));
        const QImage shown = Shown(balloon);
        QCOMPARE(shown.size(), balloon.size() * ratio);
        const QRegion mask = balloon.mask();
        int mixed = 0, dark = 0;
        for (int y = 0; y < balloon.height(); ++y)
            for (int x = 0; x < balloon.width(); ++x) {
                if (!mask.contains(QPoint(x, y)))
                    continue;
                const QPoint d(int(x * ratio), int(y * ratio));
                const QRgb p = shown.pixel(d);
                dark += qGray(p) < 128;
                if (ratio == 2)
                    mixed += p != shown.pixel(d + QPoint(1, 0)) || p != shown.pixel(d + QPoint(0, 1)) ||
                             p != shown.pixel(d + QPoint(1, 1));
            }
        QVERIFY(dark > 0);
        if (ratio == 2)
            QVERIFY2(mixed > 20, qPrintable(QString("only %1 blocks of mixed pixels").arg(mixed)));
    }
};

QTEST_MAIN(DecorHiDpiTest)
#include "DecorHiDpiTest.moc"
