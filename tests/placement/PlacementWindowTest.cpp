// The placement keeper on a real (off-screen, 800 x 800) window.

#include "placement/WindowPlacement.h"
#include "settings/ini.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class PlacementWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString Path() const { return m_dir.path() + "/V1.ini"; }

private slots:
    void init() { QFile::remove(Path()); }

    void restore_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("maximized");
        // The record holds the outer frame. The window is 400 x 300 before the record is
        // applied; centred means 200, 250.
        QTest::newRow("no record") << QString() << QRect(200, 250, 400, 300) << false;
        QTest::newRow("six fields") << "200,0,1,10,20,710" << QRect(200, 250, 400, 300) << false;
        QTest::newRow("mark 201") << "201,0,1,10,20,710,520" << QRect(200, 250, 400, 300) << false;
        QTest::newRow("garbage field") << "200,0,1,10,2O,710,520" << QRect(200, 250, 400, 300) << false;
        QTest::newRow("normal") << "200,0,1,10,20,710,520" << QRect(10, 20, 700, 500) << false;
        QTest::newRow("100..900 on 800") << "200,0,1,100,50,900,450" << QRect(0, 50, 800, 400) << false;
        QTest::newRow("minimized opens normal") << "200,0,2,10,20,710,520" << QRect(10, 20, 700, 500) << false;
        QTest::newRow("maximized") << "200,0,3,10,20,710,520" << QRect(10, 20, 700, 500) << true;
    }

    void restore() {
        QFETCH(QString, record);
        QFETCH(QRect, geometry);
        QFETCH(bool, maximized);
        TIniStore ini(Path());
        if (!record.isNull())
            ini.WriteText("common", "MainForm", record);
        QWidget window;
        window.resize(400, 300);
        TWindowPlacement form(&window, ini);
        form.RestorePlacement();
        QCOMPARE(window.windowState().testFlag(Qt::WindowMaximized), maximized);
        if (maximized)
            window.setWindowState(Qt::WindowNoState);
        QCOMPARE(window.frameGeometry(), geometry);
    }

    // What the window keeps at close comes back at the next showing, without drifting. The
    // off-screen platform draws a frame of 2 pixels all round.
    void saveThenShowAgain() {
        TIniStore ini(Path());
        {
            QWidget window;
            TWindowPlacement form(&window, ini);
            window.resize(500, 400);
            window.show();
            window.move(30, 40);
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            form.SavePlacement();
        }
        QCOMPARE(ini.ReadText("common", "MainForm", ""), QString("200,0,1,30,40,534,444"));

        QWidget again;
        again.resize(100, 100);
        new TWindowPlacement(&again, ini); // owned by the window, restores on show
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(QRect(again.pos(), again.size()), QRect(30, 40, 500, 400));
    }

    void maximizedKeepsItsNormalRectangle() {
        TIniStore ini(Path());
        QWidget window;
        TWindowPlacement form(&window, ini);
        window.resize(320, 240);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.move(60, 70);
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());
        form.SavePlacement();
        QCOMPARE(ini.ReadText("common", "MainForm", ""), QString("200,0,3,60,70,384,314"));
    }

    void noEffectWithoutAScreenToDrawOn() {
        QVERIFY(!TWindowPlacement::CanPlayShowEffect()); // off-screen platform
        TIniStore ini(Path());
        QWidget window;
        TWindowPlacement form(&window, ini);
        form.PlayShowEffect();
        QCOMPARE(QApplication::topLevelWidgets().size(), 1);
    }
};

QTEST_MAIN(PlacementWindowTest)
#include "PlacementWindowTest.moc"
