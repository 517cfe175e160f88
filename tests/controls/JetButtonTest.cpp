// The bitmap button under recorded mouse input, on a backdrop whose pixels are known.

#include "controls/jetButton.h"

#include <QDialog>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <utility>

namespace {

const QRgb UpFace = qRgb(200, 0, 0);
const QRgb OverFace = qRgb(0, 200, 0);
const QRgb DownFace = qRgb(0, 0, 200);
const QRgb DisabledFace = qRgb(90, 90, 90);

// A face colour with its 4 x 4 corners and the middle pixel in the key colour (the bottom-left
// pixel therefore names the key), like the game's rounded squares with a hole in the symbol.
QImage Picture(QSize size, QRgb face, QRgb key = qRgb(255, 255, 255)) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(face);
    QPainter p(&img);
    const int w = size.width(), h = size.height();
    for (QPoint corner : {QPoint(0, 0), QPoint(w - 4, 0), QPoint(0, h - 4), QPoint(w - 4, h - 4)})
        p.fillRect(QRect(corner, QSize(4, 4)), QColor(key));
    p.end();
    img.setPixel(w / 2, h / 2, key);
    return img;
}

// Paints a pattern that differs at every pixel near the button and notes the presses it gets.
class Backdrop : public QWidget {
public:
    static QRgb At(int x, int y) { return qRgb((x * 7) & 255, (y * 11) & 255, ((x + y) * 3) & 255); }
    QList<QPoint> presses;

protected:
    void paintEvent(QPaintEvent*) override {
        QImage img(size(), QImage::Format_RGB32);
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                img.setPixel(x, y, At(x, y));
        QPainter(this).drawImage(0, 0, img);
    }
    void mousePressEvent(QMouseEvent* e) override { presses << e->position().toPoint(); }
};

const QPoint ButtonPos(20, 20);
const QPoint Opaque(10, 10); // in button coordinates

} // namespace

class JetButtonTest : public QObject {
    Q_OBJECT

    Backdrop* host = nullptr;
    TJetButton* button = nullptr;

    QWindow* win() { return host->windowHandle(); }
    QPoint At(QPoint inButton) { return ButtonPos + inButton; }
    // The colour on screen at a point of the button.
    QRgb Shown(QPoint inButton = Opaque) { return host->grab().toImage().pixel(At(inButton)) | 0xFF000000; }
    // Qt drops a move to where the pointer already is (an earlier test may have left it there).
    void MoveTo(QPoint inButton) {
        QTest::mouseMove(win(), QPoint(host->width() - 1, host->height() - 1));
        QTest::mouseMove(win(), At(inButton));
    }

private slots:
    void init() {
        host = new Backdrop;
        host->resize(150, 150);
        button = new TJetButton(host);
        button->move(ButtonPos);
        QCursor::setPos(799, 799); // away from the button, whatever an earlier test left
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));
    }
    void cleanup() {
        delete host;
        host = nullptr;
    }

    void noPicturesIsHitEverywhereAndDrawsOnlyItsCaption() {
        for (QPoint p : {QPoint(0, 0), QPoint(49, 0), QPoint(0, 49), QPoint(49, 49), QPoint(25, 25)})
            QVERIFY(button->HitTest(p.x(), p.y()));
        const QImage bare = host->grab().toImage();
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x)
                QCOMPARE(bare.pixel(At({x, y})) | 0xFF000000, Backdrop::At(ButtonPos.x() + x, ButtonPos.y() + y));

        button->SetCaption("Go");
        const QImage captioned = host->grab().toImage();
        const QRect allowed = QFontMetrics(button->font())
                                  .boundingRect(QRect(0, 0, 50, 50), Qt::AlignCenter, "Go")
                                  .adjusted(-2, -2, 2, 2)
                                  .translated(ButtonPos);
        int changed = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x)
                if (captioned.pixel(At({x, y})) != bare.pixel(At({x, y}))) {
                    ++changed;
                    QVERIFY2(allowed.contains(At({x, y})), "caption ink outside the centred text box");
                }
        QVERIFY(changed > 0);

        QSignalSpy clicks(button, &TJetButton::OnClick);
        QTest::mouseClick(win(), Qt::LeftButton, {}, At({0, 0}));
        QCOMPARE(clicks.count(), 1);
    }

    // A transparent pixel is outside the button, and the press does not reach what lies
    // beneath it either: on the toolbar that would be the board, and a corner would start a game.
    void pressOnTransparentCornerDoesNothing_data() {
        QTest::addColumn<QPoint>("releaseAt");
        QTest::newRow("released on the corner") << QPoint(1, 1);
        QTest::newRow("released on the face") << Opaque;
    }
    void pressOnTransparentCornerDoesNothing() {
        QFETCH(QPoint, releaseAt);
        button->SetBitmapUp(Picture({50, 50}, UpFace));
        button->SetBitmapOver(Picture({50, 50}, OverFace));
        QSignalSpy clicks(button, &TJetButton::OnClick);
        QSignalSpy downs(button, &TJetButton::OnMouseDown);
        QSignalSpy ups(button, &TJetButton::OnMouseUp);
        QTest::mousePress(win(), Qt::LeftButton, {}, At({1, 1}));
        QCOMPARE(button->ButtonState(), TJetButton::StateUp);
        QTest::mouseMove(win(), At(releaseAt));
        QTest::mouseRelease(win(), Qt::LeftButton, {}, At(releaseAt));
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(downs.count(), 0);
        QCOMPARE(ups.count(), 0);
        QVERIFY(host->presses.isEmpty());
        QCOMPARE(Shown({1, 1}), Backdrop::At(At({1, 1}).x(), At({1, 1}).y()));
        QCOMPARE(Shown(), releaseAt == Opaque ? OverFace : UpFace);
        // The next press on the face works as ever.
        QTest::mouseClick(win(), Qt::LeftButton, {}, At(Opaque));
        QCOMPARE(clicks.count(), 1);
    }

    // The exit button asks its question on the press; the release then goes to the question.
    void modalLoopOnPressLeavesTheButtonUp() {
        button->SetBitmapUp(Picture({50, 50}, UpFace));
        button->SetBitmapOver(Picture({50, 50}, OverFace));
        QDialog question(host);
        question.setGeometry(host->geometry().translated(0, 200));
        bool ask = true;
        connect(button, &TJetButton::OnMouseDown, &question, [&] {
            if (!std::exchange(ask, false))
                return;
            QTimer::singleShot(0, &question, [&] {
                QTest::mouseRelease(question.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
                question.reject();
            });
            question.exec();
        });
        MoveTo(Opaque);
        QTest::mousePress(win(), Qt::LeftButton, {}, At(Opaque));
        QCOMPARE(button->ButtonState(), TJetButton::StateUp);
        MoveTo({60, 60});
        QCOMPARE(Shown(), UpFace);
        MoveTo(Opaque);
        QCOMPARE(Shown(), OverFace); // hover shows again, as on any button
        QSignalSpy clicks(button, &TJetButton::OnClick);
        QTest::mouseClick(win(), Qt::LeftButton, {}, At(Opaque));
        QCOMPARE(clicks.count(), 1);
    }

    // A dialog's buttons are hidden with it and come back showing what lies under the pointer
    // now, not what lay under it when the dialog closed.
    void hoverFollowsThePointerAcrossHideAndShow_data() {
        QTest::addColumn<bool>("pointerOnButton");
        QTest::newRow("pointer elsewhere") << false;
        QTest::newRow("pointer on the face") << true;
    }
    void hoverFollowsThePointerAcrossHideAndShow() {
        QFETCH(bool, pointerOnButton);
        button->SetBitmapUp(Picture({50, 50}, UpFace));
        button->SetBitmapOver(Picture({50, 50}, OverFace));
        MoveTo(Opaque);
        QVERIFY(button->Hovering());
        host->hide();
        QVERIFY(!button->Hovering());
        QCursor::setPos(pointerOnButton ? host->mapToGlobal(At(Opaque)) : host->mapToGlobal(QPoint(140, 140)));
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));
        QCOMPARE(button->Hovering(), pointerOnButton);
        QCOMPARE(Shown(), pointerOnButton ? OverFace : UpFace);
    }

    void pressMoveRelease_data() {
        QTest::addColumn<QList<QPoint>>("path"); // pointer positions after the press, in the button
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QRgb>("afterwards"); // picture at the end
        QTest::newRow("off and released outside") << QList<QPoint>{{60, 60}} << 0 << UpFace;
        QTest::newRow("off, on a corner, released there") << QList<QPoint>{{60, 60}, {1, 1}} << 0 << UpFace;
        QTest::newRow("off and back on") << QList<QPoint>{{60, 60}, Opaque} << 1 << OverFace;
    }
    void pressMoveRelease() {
        QFETCH(QList<QPoint>, path);
        QFETCH(int, clicks);
        QFETCH(QRgb, afterwards);
        button->SetBitmapUp(Picture({50, 50}, UpFace));
        button->SetBitmapOver(Picture({50, 50}, OverFace));
        button->SetBitmapDown(Picture({50, 50}, DownFace));
        QSignalSpy clicked(button, &TJetButton::OnClick);

        MoveTo(Opaque);
        QCOMPARE(Shown(), OverFace);
        QTest::mousePress(win(), Qt::LeftButton, {}, At(Opaque));
        QCOMPARE(button->ButtonState(), TJetButton::StateDown);
        for (QPoint p : path) {
            QTest::mouseMove(win(), At(p));
            QCOMPARE(Shown(), DownFace); // held down, the pressed picture stays
        }
        QTest::mouseRelease(win(), Qt::LeftButton, {}, At(path.last()));
        QCOMPARE(clicked.count(), clicks);
        QCOMPARE(button->ButtonState(), TJetButton::StateUp);
        QCOMPARE(Shown(), afterwards);
    }

    void anyMouseButtonClicks() {
        button->SetBitmapUp(Picture({50, 50}, UpFace));
        QSignalSpy clicked(button, &TJetButton::OnClick);
        QTest::mousePress(win(), Qt::RightButton, {}, At(Opaque));
        QCOMPARE(button->ButtonState(), TJetButton::StateUp); // only the left button presses it
        QTest::mouseRelease(win(), Qt::RightButton, {}, At(Opaque));
        QCOMPARE(clicked.count(), 1);
    }

    void disabledButton_data() {
        QTest::addColumn<bool>("hasDisabledPicture");
        QTest::addColumn<QRgb>("shown");
        QTest::newRow("own picture") << true << DisabledFace;
        QTest::newRow("falls back to up") << false << UpFace;
    }
    void disabledButton() {
        QFETCH(bool, hasDisabledPicture);
        QFETCH(QRgb, shown);
        button->SetBitmapUp(Picture({50, 50}, UpFace));
        button->SetBitmapOver(Picture({50, 50}, OverFace));
        if (hasDisabledPicture)
            button->SetBitmapDisabled(Picture({50, 50}, DisabledFace));
        button->SetEnabled(false);
        QSignalSpy clicked(button, &TJetButton::OnClick);
        QSignalSpy downs(button, &TJetButton::OnMouseDown);

        MoveTo(Opaque);
        QVERIFY(button->Hovering());
        QCOMPARE(Shown(), shown);
        QTest::mousePress(win(), Qt::LeftButton, {}, At(Opaque));
        QCOMPARE(button->ButtonState(), TJetButton::StateDisabled);
        QTest::mouseRelease(win(), Qt::LeftButton, {}, At(Opaque));
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(downs.count(), 1); // the ordinary mouse events still come through
        QCOMPARE(Shown(), shown);
    }

    void enablingUnderRestingPointerShowsHover() {
        button->SetBitmapUp(Picture({50, 50}, UpFace));
        button->SetBitmapOver(Picture({50, 50}, OverFace));
        button->SetEnabled(false);
        MoveTo(Opaque);
        button->SetEnabled(true);
        QCOMPARE(button->ButtonState(), TJetButton::StateUp);
        QCOMPARE(Shown(), OverFace);
    }

    void settingEnabledEndsPress() {
        button->SetBitmapUp(Picture({50, 50}, UpFace));
        QSignalSpy clicked(button, &TJetButton::OnClick);
        QTest::mousePress(win(), Qt::LeftButton, {}, At(Opaque));
        button->SetEnabled(false);
        QCOMPARE(button->ButtonState(), TJetButton::StateDisabled);
        QTest::mouseRelease(win(), Qt::LeftButton, {}, At(Opaque));
        QCOMPARE(clicked.count(), 0);
    }

    void takesTheSizeOfItsUpPicture() {
        QCOMPARE(button->size(), QSize(50, 50));
        button->SetBitmapUp(Picture({40, 30}, UpFace));
        QCOMPARE(button->geometry(), QRect(ButtonPos, QSize(40, 30)));
        button->SetBounds(5, 6, 50, 50); // a stored size does not win over the picture
        QCOMPARE(button->geometry(), QRect(5, 6, 40, 30));
        button->resize(60, 60);
        QCOMPARE(button->size(), QSize(40, 30));
        button->Loaded();
        QCOMPARE(button->size(), QSize(40, 30));
    }

    void hoverPictureAloneGivesSizeAndOutline() {
        button->SetBitmapOver(Picture({30, 20}, OverFace));
        QCOMPARE(button->size(), QSize(30, 20));
        QVERIFY(!button->HitTest(0, 0));
        QVERIFY(button->HitTest(5, 5));
    }

    void transparentColourComesFromBottomLeftPixel_data() {
        QTest::addColumn<QRgb>("key");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("white") << qRgb(255, 255, 255) << quint32(50331647);
        QTest::newRow("red 1, green 2, blue 3") << qRgb(1, 2, 3) << quint32(0x02030201);
    }
    void transparentColourComesFromBottomLeftPixel() {
        QFETCH(QRgb, key);
        QFETCH(quint32, expected);
        button->SetTransparentColor(0x123456);
        button->SetBitmapUp(Picture({50, 50}, UpFace, key));
        QCOMPARE(button->TransparentColor(), expected);
        QVERIFY(!button->HitTest(0, 49));
        QVERIFY(!button->HitTest(25, 25)); // a key pixel inside the symbol is outside too
        QVERIFY(button->HitTest(10, 10));
        QVERIFY(!button->HitTest(50, 10)); // beyond the mask
    }

    void createMaskMatchesRgbOnly() {
        QImage pic(3, 1, QImage::Format_ARGB32);
        pic.setPixel(0, 0, qRgba(255, 255, 255, 255));
        pic.setPixel(1, 0, qRgba(254, 255, 255, 255));
        pic.setPixel(2, 0, qRgba(255, 255, 255, 0));
        const QImage mask = CreateMask(pic, 0x02FFFFFF); // the flag byte does not take part
        QCOMPARE(mask.size(), pic.size());
        QCOMPARE(mask.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(mask.pixel(1, 0), qRgb(0, 0, 0));
        QCOMPARE(mask.pixel(2, 0), qRgb(255, 255, 255));
    }

    // Each state's picture is keyed by its own bottom-left colour; a picture smaller than the
    // button leaves the rest clear.
    void drawingEqualsRasterComposition_data() {
        QTest::addColumn<bool>("hover");
        QTest::newRow("up picture, white key") << false;
        QTest::newRow("smaller hover picture, magenta key") << true;
    }
    void drawingEqualsRasterComposition() {
        QFETCH(bool, hover);
        const QImage up = Picture({50, 50}, UpFace);
        QImage over = Picture({36, 30}, OverFace, qRgb(255, 0, 255));
        over.setPixel(20, 5, qRgb(255, 255, 255)); // white is opaque in this picture
        button->SetBitmapUp(up);
        button->SetBitmapOver(over);
        if (hover)
            MoveTo(Opaque);
        const QImage& picture = hover ? over : up;

        // The composition done literally with raster operations on the known background.
        QImage background(50, 50, QImage::Format_RGB32);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x)
                background.setPixel(x, y, Backdrop::At(ButtonPos.x() + x, ButtonPos.y() + y));
        const QRgb key = picture.pixel(0, picture.height() - 1);
        QImage image(50, 50, QImage::Format_RGB32);
        image.fill(key);
        QPainter(&image).drawImage(0, 0, picture);
        QImage mask(50, 50, QImage::Format_RGB32);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x)
                mask.setPixel(x, y, (image.pixel(x, y) & 0xFFFFFF) == (key & 0xFFFFFF) ? 0xFFFFFFFF : 0xFF000000);
        {
            QPainter p(&background);
            p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            p.drawImage(0, 0, mask);
        }
        {
            QPainter p(&image);
            p.setCompositionMode(QPainter::RasterOp_NotSourceAndDestination);
            p.drawImage(0, 0, mask);
        }
        {
            QPainter p(&background);
            p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
            p.drawImage(0, 0, image);
        }

        const QImage shown = host->grab().toImage();
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x)
                if ((shown.pixel(At({x, y})) | 0xFF000000) != (background.pixel(x, y) | 0xFF000000))
                    QFAIL(qPrintable(QString("pixel %1,%2 differs").arg(x).arg(y)));
    }

    // On a scaled screen a button draws its pictures at the screen's resolution, from the
    // sharper twin where it has one. The outline must stay hard (every pixel clear or opaque,
    // no whitish rim from the key colour) and the window mask must let every opaque pixel through.
    void devicePicturesKeepAHardOutline_data() {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<bool>("twin");
        QTest::newRow("1.25 from the twin") << 1.25 << true;
        QTest::newRow("1.5 from the twin") << 1.5 << true;
        QTest::newRow("1.5 without a twin") << 1.5 << false;
        QTest::newRow("2 from the twin") << 2.0 << true;
    }
    void devicePicturesKeepAHardOutline() {
        QFETCH(qreal, ratio);
        QFETCH(bool, twin);
        // A round face on white: the key colour all round it, as on the game's buttons.
        auto disc = [](int size) {
            QImage img(size, size, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(UpFace));
            p.drawEllipse(QRectF(size * 0.1, size * 0.1, size * 0.8, size * 0.8));
            return img;
        };
        auto keyed = [](const QImage& img) {
            QImage out(img.size(), QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    out.setPixel(x, y, (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF ? 0 : img.pixel(x, y));
            return out;
        };
        const QImage small = keyed(disc(50)), big = keyed(disc(100));
        const QImage device = DevicePicture(small, twin ? big : QImage(), ratio);
        QCOMPARE(device.size(), QSize(qRound(50 * ratio), qRound(50 * ratio)));
        QCOMPARE(device.devicePixelRatio(), ratio);
        int opaque = 0;
        for (int y = 0; y < device.height(); ++y)
            for (int x = 0; x < device.width(); ++x) {
                const QRgb p = device.pixel(x, y);
                QVERIFY2(qAlpha(p) == 0 || qAlpha(p) == 255, qPrintable(QString("half clear at %1,%2").arg(x).arg(y)));
                if (qAlpha(p) == 255) {
                    ++opaque;
                    // Only the face colour and what antialiasing mixed into it, never near-white.
                    QVERIFY2(qGreen(p) < 200, qPrintable(QString("white rim at %1,%2").arg(x).arg(y)));
                }
            }
        QCOMPARE(qAlpha(device.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(device.pixel(device.width() / 2, device.height() / 2)), 255);
        // About the disc's area: nothing lost, nothing grown.
        const double area = 3.14159 * 0.4 * 0.4 * device.width() * device.height();
        QVERIFY(qAbs(opaque - area) < 0.05 * area);

        const QRegion shown = ShownRegion(device, ratio);
        for (int y = 0; y < device.height(); ++y)
            for (int x = 0; x < device.width(); ++x)
                if (qAlpha(device.pixel(x, y)) == 255)
                    QVERIFY(shown.contains(QPoint(int(x / ratio), int(y / ratio))));
        QVERIFY(!shown.contains(QPoint(0, 0)));
    }

    void accelerator_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("clicks");
        QTest::newRow("enabled") << true << 1;
        QTest::newRow("disabled") << false << 0;
    }
    void accelerator() {
        QFETCH(bool, enabled);
        QFETCH(int, clicks);
        button->SetCaption("&Go");
        button->SetEnabled(enabled);
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host));
        QSignalSpy clicked(button, &TJetButton::OnClick);
        QTest::keyClick(host, Qt::Key_G, Qt::AltModifier);
        QTest::keyClick(host, Qt::Key_X, Qt::AltModifier);
        QCOMPARE(clicked.count(), clicks);
    }
};

QTEST_MAIN(JetButtonTest)
#include "JetButtonTest.moc"
