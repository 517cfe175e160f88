// The dialogs' decorative pieces and the hint balloon, checked by their pixels and events.

#include "controls/Decor.h"
#include "controls/HintBalloon.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A plain window of one colour to lay the pieces on.
QWidget* Plain(QSize size, QColor colour) {
    auto* w = new QWidget;
    w->resize(size);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    return w;
}

QRect InkBox(const QImage& img, QRgb background) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) | 0xFF000000) != (background | 0xFF000000))
                box |= QRect(x, y, 1, 1);
    return box;
}

int CountColour(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) | 0xFF000000) == (colour | 0xFF000000);
    return n;
}

bool BalloonShown() { return CurrentHintBalloon() && CurrentHintBalloon()->isVisible(); }

void AskForTip(QWidget* w, QPoint local) {
    QHelpEvent e(QEvent::ToolTip, local, w->mapToGlobal(local));
    QApplication::sendEvent(w, &e);
}

} // namespace

class DecorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallHintBalloons(*qApp); }

    void bevelPanelEdgeAndFace() {
        QImage texture(4, 4, QImage::Format_RGB32);
        texture.fill(qRgb(10, 20, 30));
        TBevelPanel panel(nullptr, texture);
        panel.resize(100, 60);
        const QImage img = panel.grab().toImage();
        auto at = [&](int x, int y) { return img.pixel(x, y) | 0xFF000000; };
        // From the left edge inwards: raised bevel, black border, sunken bevel, face.
        QCOMPARE(at(0, 30), qRgb(255, 255, 255));
        QCOMPARE(at(1, 30), qRgb(255, 255, 255));
        for (int x = 2; x < 5; ++x)
            QCOMPARE(at(x, 30), qRgb(0, 0, 0));
        QCOMPARE(at(5, 30), qRgb(128, 128, 128));
        QCOMPARE(at(6, 30), qRgb(128, 128, 128));
        QCOMPARE(at(7, 30), qRgb(10, 20, 30));
        // ... and from the right edge: the bevels' colours swap.
        QCOMPARE(at(99, 30), qRgb(128, 128, 128));
        QCOMPARE(at(95, 30), qRgb(0, 0, 0));
        QCOMPARE(at(93, 30), qRgb(255, 255, 255));
        QCOMPARE(at(92, 30), qRgb(10, 20, 30));
        QCOMPARE(at(50, 56), qRgb(0, 0, 0)); // border at the bottom too
    }

    void frameAndFillFollowTheParent() {
        QScopedPointer<QWidget> form(Plain({40, 40}, Qt::white));
        QImage texture(2, 2, QImage::Format_RGB32);
        texture.setPixel(0, 0, qRgb(1, 0, 0));
        texture.setPixel(1, 0, qRgb(2, 0, 0));
        texture.setPixel(0, 1, qRgb(3, 0, 0));
        texture.setPixel(1, 1, qRgb(4, 0, 0));
        auto* label = new QWidget(form.data()); // made before the fill, must stay on top of it
        label->setGeometry(10, 10, 5, 5);
        label->setAutoFillBackground(true);
        auto* frame = new TFrameShape(form.data(), 3);
        new TFormFill(form.data(), texture);
        form->resize(60, 50);
        QVERIFY(frame->testAttribute(Qt::WA_TransparentForMouseEvents));

        const QImage img = form->grab().toImage();
        auto at = [&](int x, int y) { return img.pixel(x, y) | 0xFF000000; };
        for (QPoint p : {QPoint(2, 20), QPoint(57, 20), QPoint(30, 47), QPoint(30, 0)})
            QCOMPARE(at(p.x(), p.y()), qRgb(0, 0, 0));
        QCOMPARE(at(3, 20), texture.pixel(1, 0));
        QCOMPARE(at(56, 21), texture.pixel(0, 1));
        QCOMPARE(at(40, 30), texture.pixel(0, 0));
        QCOMPARE(at(12, 12), label->palette().color(QPalette::Window).rgb());
    }

    // Turned text reads upwards from the bottom left: the same ink as the horizontal text
    // turned a quarter anticlockwise.
    void upwardLabelIsHorizontalTextTurned() {
        const QRgb ground = qRgb(0, 0, 0);
        QScopedPointer<QWidget> form(Plain({240, 240}, QColor(ground)));
        auto make = [&](QSize size, TDecorLabel::Direction direction) {
            auto* l = new TDecorLabel(form.data(), "Zelvano");
            l->SetFontSpec("Arial", 20, true);
            l->SetColour(Qt::white);
            l->SetDirection(direction);
            l->resize(size);
            return l;
        };
        TDecorLabel* across = make({200, 30}, TDecorLabel::Direction::Horizontal);
        TDecorLabel* up = make({30, 200}, TDecorLabel::Direction::Upwards);
        const QImage turned = across->grab().toImage().transformed(QTransform().rotate(-90));
        const QRect expected = InkBox(turned, ground);
        const QRect got = InkBox(up->grab().toImage(), ground);
        QVERIFY(got.height() > 3 * got.width());
        QVERIFY(got.bottom() > 150); // anchored at the bottom, not the top
        QVERIFY2(qAbs(got.left() - expected.left()) <= 2 && qAbs(got.right() - expected.right()) <= 2 &&
                     qAbs(got.top() - expected.top()) <= 2 && qAbs(got.bottom() - expected.bottom()) <= 2,
                 "turned the wrong way or placed elsewhere");
    }

    void raisedLabelAddsShadeAndClicks() {
        const QRgb ground = qRgb(128, 128, 128);
        QScopedPointer<QWidget> form(Plain({200, 40}, QColor(ground)));
        auto* label = new TDecorLabel(form.data(), "Options:");
        label->SetFontSpec("Arial", 21, true);
        label->SetColour(Qt::white);
        label->resize(200, 40);
        const int flatDark = CountColour(label->grab().toImage(), qRgb(0, 0, 0));
        label->SetRelief(TDecorLabel::Relief::Raised);
        const int raisedDark = CountColour(label->grab().toImage(), qRgb(0, 0, 0));
        QCOMPARE(flatDark, 0);
        QVERIFY(raisedDark > 10);

        QSignalSpy clicked(label, &TDecorLabel::Clicked);
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicked.count(), 1);
    }

    void pictureLeavesOutItsBottomLeftColour() {
        const QRgb ground = qRgb(50, 60, 70);
        QScopedPointer<QWidget> form(Plain({20, 20}, QColor(ground)));
        QImage pic(10, 10, QImage::Format_RGB32);
        pic.fill(qRgb(0, 0, 255)); // the key, like the blue of the German flags picture
        QPainter(&pic).fillRect(2, 2, 6, 6, QColor(255, 200, 0));
        auto* control = new TPictureControl(form.data(), pic);
        control->setGeometry(5, 5, 12, 12);
        const QImage img = form->grab().toImage();
        QCOMPARE(img.pixel(5, 5) | 0xFF000000, ground);
        QCOMPARE(img.pixel(10, 10) | 0xFF000000, qRgb(255, 200, 0));
        QCOMPARE(img.pixel(16, 16) | 0xFF000000, ground); // beyond the picture

        QSignalSpy clicked(control, &TPictureControl::Clicked);
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicked.count(), 1);
    }

    void imageListNeverLeavesAHole() {
        QTemporaryDir dir;
        const QString broken = dir.filePath("broken.png");
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\x89PNG not really");
        f.close();
        for (const QString& path : {dir.filePath("missing.png"), broken}) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot load"));
            const QImage img = TImageList::LoadOrPlaceholder(path, QSize(100, 75));
            QCOMPARE(img.size(), QSize(100, 75));
        }

        const TImageList list;
        for (int i = 0; i < TImageList::Count; ++i)
            QVERIFY(!list.Bitmap(i).isNull());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no picture 11"));
        QVERIFY(list.Bitmap(11).isNull());
    }

    void balloonPlacement_data() {
        QTest::addColumn<QPoint>("pointer"); // global
        QTest::addColumn<bool>("left");
        QTest::addColumn<bool>("below");
        QTest::newRow("room above right") << QPoint(300, 300) << false << false;
        QTest::newRow("at the top right of the screen") << QPoint(790, 4) << true << true;
    }
    void balloonPlacement() {
        QFETCH(QPoint, pointer);
        QFETCH(bool, left);
        QFETCH(bool, below);
        QScopedPointer<QWidget> form(Plain({800, 800}, Qt::white));
        form->setToolTip("I start a new game.");
        form->move(0, 0);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.data()));

        AskForTip(form.data(), form->mapFromGlobal(pointer));
        QVERIFY(BalloonShown());
        THintBalloon* b = CurrentHintBalloon();
        QCOMPARE(b->Text(), QString("I start a new game."));
        QCOMPARE(b->FlippedLeft(), left);
        QCOMPARE(b->FlippedBelow(), below);
        const QRect g = b->geometry();
        QVERIFY(QRect(0, 0, 800, 800).contains(g));
        QVERIFY(left ? g.right() <= pointer.x() : g.left() >= pointer.x());
        QVERIFY(below ? g.top() >= pointer.y() : g.bottom() <= pointer.y());
        // The nose reaches the corner nearest the pointer; the far corners are cut away.
        const QPoint tip = b->Tip() - g.topLeft();
        QVERIFY(b->mask().contains(tip));
        QCOMPARE(b->grab().toImage().pixel(tip) | 0xFF000000, qRgb(0, 0, 0));
        const QPoint farCorner(left ? 0 : g.width() - 1, below ? g.height() - 1 : 0);
        QVERIFY(!b->mask().contains(farCorner));

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(form.data(), &leave);
        QVERIFY(!BalloonShown());
    }

    void balloonFollowsAndHidesOnPress() {
        QScopedPointer<QWidget> form(Plain({300, 200}, Qt::white));
        form->setToolTip("Who are the best?");
        auto* quiet = new QWidget(form.data()); // no text of its own: its parent's shows
        quiet->setGeometry(10, 10, 50, 50);
        auto* other = new QWidget(form.data());
        other->setGeometry(100, 10, 50, 50);
        other->setToolTip("Zurück zum Spiel");
        form->move(100, 300); // room above right
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.data()));

        AskForTip(quiet, {20, 20});
        QVERIFY(BalloonShown());
        QCOMPARE(CurrentHintBalloon()->Text(), QString("Who are the best?"));
        AskForTip(other, {20, 20});
        QVERIFY(BalloonShown());
        QCOMPARE(CurrentHintBalloon()->Text(), QString("Zurück zum Spiel"));
        QVERIFY((CurrentHintBalloon()->Tip() - other->mapToGlobal(QPoint(20, 20))).manhattanLength() <= 4);

        QTest::mousePress(other, Qt::LeftButton, {}, {5, 5});
        QVERIFY(!BalloonShown());
    }
};

QTEST_MAIN(DecorTest)
#include "DecorTest.moc"
