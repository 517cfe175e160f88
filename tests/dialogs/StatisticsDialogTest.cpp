// The statistics window over a real settings file: the figures as stored (damaged ones as 0),
// both languages, and the reset behind its question.

#include "controls/Accessible.h"
#include "controls/Decor.h"
#include "controls/jetButton.h"
#include "dialogs/StatisticsDlg.h"
#include "dialogs/YesNoDlg.h"
#include "tests/support/ScopedValue.h"
#include "texts/Language.h"
#include "settings/StatisticsStore.h"
#include "settings/ini.h"

#include "tests/dialogs/ModalScript.h"
#include <QFontMetrics>

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class StatisticsDialogTest : public QObject {
    Q_OBJECT

    QWidget* main = nullptr;
    TImageList* bitmaps = nullptr;
    QTemporaryDir dir;
    TIniStore* ini = nullptr;
    TYesNoDialog* question = nullptr;
    TStatisticsDlg* view = nullptr;

    void WriteFile(const QByteArray& text) {
        QFile f(ini->Path());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QString Cell(TStatisticsDlg::Row row, int level) const { return view->figureLabels[row][level - 1]->Text(); }
    // Opens the view, runs script inside it, closes it with its OK button.
    void Open(std::function<void()> script) {
        WhileOpen(view, [&] {
            script();
            emit view->OKBtn->OnClick();
        }, [&] { view->ShowModal(); });
        QVERIFY(view->result() != WatchdogResult);
    }

private slots:
    void initTestCase() {
        QAccessible::installFactory(ControlsAccessibleFactory); // as the game installs it
        main = new QWidget;
        main->setGeometry(100, 80, 700, 500);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        bitmaps = new TImageList;
        ini = new TIniStore(dir.filePath(QStringLiteral("V1.ini")));
        ini->OnError = [](const QString& message) { QFAIL(qPrintable(message)); };
        question = new TYesNoDialog(main, *bitmaps);
        view = new TStatisticsDlg(main, *ini, *question, *bitmaps);
    }
    void cleanupTestCase() {
        delete main;
        delete bitmaps;
        delete ini;
    }

    void figuresAsStored() {
        WriteFile("[common]\ntongue=0\n[statistics]\n"
                  "playedb=12\nwonb=5\nlostb=7\nbestb=1234\ntotalb=4321\nlastb=-20\nstreakb=2\nlongestb=3\n"
                  "ticksb=123456\n"
                  "playeda=4\nwona=banana\nlosta=4\nbesta=-8\ntotala=-30\nlasta=-8\nticksa=-5\n"
                  "assistedb=3\nparb=5120\npardealb=4242\nparscoreb=2480\nparpointsb=2900\npara=999\npardeala=4242\n"
                  "deal=4242\nlevel=2\n");
        const TScopedValue keepLanguage(Language);
        Language = 0;
        Open([&] {
            const struct {
                TStatisticsDlg::Row row;
                const char *basic, *advanced, *master;
            } cells[] = {
                {TStatisticsDlg::Played, "4", "12", "0"},     {TStatisticsDlg::Won, "0", "5", "0"},
                {TStatisticsDlg::Lost, "4", "7", "0"},        {TStatisticsDlg::WinRate, "0 %", "42 %", "0 %"},
                {TStatisticsDlg::Best, "-8", "1234", "-"},    {TStatisticsDlg::Average, "-8", "360", "-"},
                {TStatisticsDlg::Last, "-8", "-20", "-"},     {TStatisticsDlg::Streak, "0", "2", "0"},
                {TStatisticsDlg::Longest, "0", "3", "0"},     {TStatisticsDlg::Time, "0:00:00", "3:25:45", "0:00:00"},
                {TStatisticsDlg::Assisted, "0", "3", "0"},
            };
            for (const auto& c : cells) {
                QCOMPARE(Cell(c.row, 1), QString::fromLatin1(c.basic));
                QCOMPARE(Cell(c.row, 2), QString::fromLatin1(c.advanced));
                QCOMPARE(Cell(c.row, 3), QString::fromLatin1(c.master));
            }
            QCOMPARE(view->levelLabels[3]->Text(), QStringLiteral("champions"));
            QCOMPARE(view->rowLabels[TStatisticsDlg::Time]->Text(), QStringLiteral("Time played"));
            QCOMPARE(view->dealLabel->Text(), QStringLiteral("Last game: deal 4242"));
            // The par of the last game's level, not of another level's game of the same deal.
            QVERIFY(view->parLabel->isVisible());
            QCOMPARE(view->parLabel->Text(), QStringLiteral("best found for this deal: 5120 points; you: 2900 points, 2480 after the clock"));
            QCOMPARE(view->rowLabels[TStatisticsDlg::Assisted]->Text(), QStringLiteral("Played with hints"));
            QVERIFY(view->dealLabel->geometry().bottom() < view->parLabel->geometry().top());
            QVERIFY(view->parLabel->geometry().bottom() < view->parLabel->parentWidget()->height());
        });
        Language = 1;
        Open([&] {
            QCOMPARE(view->title->Text(), QStringLiteral("Zelvano - Statistik"));
            QCOMPARE(view->levelLabels[1]->Text(), QStringLiteral("Fortgeschrittene"));
            QCOMPARE(view->rowLabels[TStatisticsDlg::Longest]->Text(), QStringLiteral("Längste Serie"));
            QCOMPARE(view->dealLabel->Text(), QStringLiteral("Letztes Spiel: Nr. 4242"));
            QCOMPARE(view->parLabel->Text(), QStringLiteral("Bestes gefundenes Ergebnis: 5120 Punkte; du: 2900 Punkte, 2480 nach der Uhr"));
            // The longer language's par is read to its end, and the reset stays clear of it.
            QFont font(QStringLiteral("Arial"));
            font.setPixelSize(13);
            font.setBold(true);
            QVERIFY(QFontMetrics(font).horizontalAdvance(view->parLabel->Text()) <= view->parLabel->width());
            QVERIFY(!view->parLabel->geometry().intersects(view->resetLabel->geometry()));
            QCOMPARE(view->rowLabels[TStatisticsDlg::Assisted]->Text(), QStringLiteral("Mit Tipps gespielt"));
            QCOMPARE(view->resetLabel->Text(), QStringLiteral("Statistik löschen"));
        });
    }

    void resetAsksFirst() {
        WriteFile("[common]\ntongue=0\n[statistics]\nplayedd=3\nlostd=3\ndeal=9\nlevel=4\npard=700\npardeald=9\n");
        const Statistics stored = ReadStatistics(*ini);
        for (const int answer : {mrNo, mrYes}) {
            int kind = 0;
            Open([&] {
                WhileOpen(question, [&] {
                    kind = question->isVisible() ? 3 : 0;
                    emit (answer == mrYes ? question->YesBtn : question->NoBtn)->OnClick();
                }, [&] { view->ResetClick(); });
                QCOMPARE(kind, 3);
                if (answer == mrNo) {
                    QCOMPARE(Cell(TStatisticsDlg::Played, 4), QStringLiteral("3"));
                    QVERIFY(view->parLabel->isVisible());
                    QCOMPARE(ReadStatistics(*ini), stored);
                } else {
                    QCOMPARE(Cell(TStatisticsDlg::Played, 4), QStringLiteral("0"));
                    QCOMPARE(view->dealLabel->Text(), QStringLiteral("No game counted yet"));
                    QVERIFY(!view->parLabel->isVisible());
                    QCOMPARE(ReadStatistics(*ini), Statistics{});
                }
            });
        }
        QVERIFY(ini->ReadText(QStringLiteral("common"), QStringLiteral("tongue"), QString()) == QStringLiteral("0"));
    }

    // By keys alone: Tab reaches the figures, the arrows walk them, Tab goes on to the reset,
    // which Space presses (behind its question, answered no here).
    void keyboardWalksTheFiguresAndReachesTheReset() {
        WriteFile("[common]\ntongue=0\n[statistics]\nplayedb=5\n");
        int asked = 0;
        Open([&] {
            QApplication::setActiveWindow(view);
            auto* grid = view->figureLabels[0][0]->parentWidget();
            grid->setFocus(Qt::TabFocusReason);
            QCOMPARE(QApplication::focusWidget(), view->figureLabels[0][0]);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            QCOMPARE(QApplication::focusWidget(), view->figureLabels[TStatisticsDlg::Won][1]);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), view->resetLabel);
            QTest::keyClick(view->resetLabel, Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), view->figureLabels[TStatisticsDlg::Won][1]);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            WhileOpen(question, [&] {
                asked = question->isVisible() ? 1 : 0;
                emit question->NoBtn->OnClick();
            }, [&] { QTest::keyClick(view->resetLabel, Qt::Key_Space); });
        });
        QCOMPARE(asked, 1);
        QCOMPARE(Cell(TStatisticsDlg::Played, 2), QStringLiteral("5"));
    }

    // A screen reader reads the figures as a table: by row and column, under their headings.
    void figuresAreATable() {
        Open([&] {
            QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(view->figureLabels[0][0]->parentWidget());
            QCOMPARE(grid->role(), QAccessible::Table);
            QAccessibleTableInterface* table = grid->tableInterface();
            QVERIFY(table);
            QCOMPARE(table->rowCount(), int(TStatisticsDlg::RowCount));
            QCOMPARE(table->columnCount(), 4);
            QAccessibleInterface* cell = table->cellAt(TStatisticsDlg::Lost, 2);
            QCOMPARE(cell, QAccessible::queryAccessibleInterface(view->figureLabels[TStatisticsDlg::Lost][2]));
            QCOMPARE(cell->role(), QAccessible::Cell);
            QAccessibleTableCellInterface* c = cell->tableCellInterface();
            QCOMPARE(c->rowIndex(), int(TStatisticsDlg::Lost));
            QCOMPARE(c->columnIndex(), 2);
            QCOMPARE(c->rowHeaderCells().value(0)->text(QAccessible::Name), QStringLiteral("Lost"));
            QCOMPARE(c->rowHeaderCells().value(0)->role(), QAccessible::RowHeader);
            QCOMPARE(c->columnHeaderCells().value(0)->text(QAccessible::Name), view->levelLabels[2]->Text());
            QCOMPARE(c->table(), grid);
            QCOMPARE(QAccessible::queryAccessibleInterface(view->resetLabel)->role(), QAccessible::Button);
        });
    }

    // Escape, Enter and the window system's close end it as OK does.
    void closesByKeyAndWindowClose() {
        for (const int how : {0, 1, 2}) {
            WhileOpen(view, [&] {
                if (how == 2) view->close();
                else QTest::keyClick(view, how == 0 ? Qt::Key_Escape : Qt::Key_Return);
            }, [&] { view->ShowModal(); });
            QCOMPARE(view->result(), int(QDialog::Accepted));
        }
    }
};

QTEST_MAIN(StatisticsDialogTest)
#include "StatisticsDialogTest.moc"
