// The yes/no and OK windows: their texts per kind and language, hints, placement over the main
// window, and that only a click on a button answers.

#include "controls/Decor.h"
#include "controls/jetButton.h"
#include "dialogs/YesNoDlg.h"
#include "dialogs/okDlg.h"
#include "texts/Language.h"
#include "tests/dialogs/ModalScript.h"

#include <QLabel>
#include <QTest>

namespace {

struct Line {
    QString text;
    int top;
    int pixels;
};

Line Shown(const TDecorLabel* label) { return {label->Text(), label->y(), label->font().pixelSize()}; }

} // namespace

Q_DECLARE_METATYPE(Line)

class MessageDialogTest : public QObject {
    Q_OBJECT

    QWidget* main = nullptr;
    TImageList* bitmaps = nullptr;
    TYesNoDialog* yesNo = nullptr;
    TOKDialog* ok = nullptr;

    // Shows kind in the window, answers with button and gives back the result.
    int Show(TMessageDialog* dialog, int kind, TJetButton* button, std::function<void()> whileOpen = {}) {
        int result = 0;
        WhileOpen(
            dialog,
            [&] {
                if (whileOpen)
                    whileOpen();
                ClickOn(button);
            },
            [&] {
                if (dialog == yesNo) {
                    yesNo->ShowModal(kind);
                    result = yesNo->ModalResult();
                } else {
                    result = ok->ShowModal(kind);
                }
            });
        return result;
    }

    void CompareLine(const TDecorLabel* label, const Line& expected) {
        const Line shown = Shown(label);
        QCOMPARE(shown.text, expected.text);
        QCOMPARE(shown.top, expected.top);
        QCOMPARE(shown.pixels, expected.pixels);
        QCOMPARE(label->x(), 12);
        QCOMPARE(label->size(), QSize(273, 23));
        QVERIFY(label->font().bold());
    }

private slots:
    void initTestCase() {
        main = new QWidget;
        main->setGeometry(100, 80, 600, 400);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        bitmaps = new TImageList;
        ok = new TOKDialog(main, *bitmaps);
        yesNo = new TYesNoDialog(main, *bitmaps);
    }
    void cleanupTestCase() {
        delete main;
        delete bitmaps;
    }
    void init() { Language = 0; }

    void texts_data() {
        QTest::addColumn<bool>("question");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("kind");
        QTest::addColumn<Line>("first");
        QTest::addColumn<Line>("second");
        const Line noneFirst{"", 20, 16}, noneSecond{"", 40, 16};
        // 12 pt is 16 px and 16 pt is 21 px at 96 dpi.
        QTest::newRow("exit de") << true << 1 << 1 << Line{"Willst Du das Spiel", 20, 16} << Line{"wirklich beenden?", 40, 16};
        QTest::newRow("exit en") << true << 0 << 1 << Line{"Do you really want to", 20, 16} << Line{"exit the game?", 40, 16};
        QTest::newRow("give up de") << true << 1 << 2 << Line{"Willst Du die Partie", 20, 16} << Line{"wirklich aufgeben?", 40, 16};
        QTest::newRow("give up en") << true << 0 << 2 << Line{"Do you really want to", 20, 16} << Line{"give up then game?", 40, 16};
        QTest::newRow("give up, not chosen") << true << -1 << 2 << Line{"Do you really want to", 20, 16} << Line{"give up then game?", 40, 16};
        QTest::newRow("exit, language 5") << true << 5 << 1 << Line{"Do you really want to", 20, 16} << Line{"exit the game?", 40, 16};
        QTest::newRow("question 0") << true << 1 << 0 << noneFirst << noneSecond;
        QTest::newRow("reset de") << true << 1 << 3 << Line{"Willst Du die Statistik", 20, 16} << Line{"wirklich löschen?", 40, 16};
        QTest::newRow("reset en") << true << 0 << 3 << Line{"Do you really want to", 20, 16} << Line{"reset the statistics?", 40, 16};
        QTest::newRow("question 4") << true << 0 << 4 << noneFirst << noneSecond;
        QTest::newRow("question -1") << true << 1 << -1 << noneFirst << noneSecond;
        QTest::newRow("joker de") << false << 1 << 1 << Line{"Du musst die nächste Karte", 20, 16} << Line{"auf den Joker legen!", 40, 16};
        QTest::newRow("joker en") << false << 0 << 1 << Line{"You must put the next", 20, 16} << Line{"card on the joker!", 40, 16};
        QTest::newRow("won de") << false << 1 << 2 << Line{"Hurra,", 18, 21} << Line{"du hast es geschafft!", 44, 16};
        QTest::newRow("won en") << false << 0 << 2 << Line{"Hurrah,", 18, 21} << Line{"you made it!", 44, 16};
        QTest::newRow("won, not chosen") << false << -1 << 2 << Line{"Hurrah,", 18, 21} << Line{"you made it!", 44, 16};
        QTest::newRow("lost de") << false << 1 << 3 << Line{"Das ist sich leider", 20, 16} << Line{"nicht ausgegangen.", 40, 16};
        QTest::newRow("lost en") << false << 0 << 3 << Line{"Sorry", 18, 21} << Line{"but this wasn't enough.", 44, 16};
        QTest::newRow("lost, language 5") << false << 5 << 3 << Line{"Sorry", 18, 21} << Line{"but this wasn't enough.", 44, 16};
        QTest::newRow("notice 0") << false << 1 << 0 << noneFirst << noneSecond;
        QTest::newRow("taken back de") << false << 1 << 4 << Line{"Zug zurückgenommen:", 20, 16} << Line{"kein Eintrag in die Bestenliste.", 40, 16};
        QTest::newRow("taken back en") << false << 0 << 4 << Line{"Move taken back:", 20, 16} << Line{"no highscore entry for this game.", 40, 16};
        QTest::newRow("notice 5") << false << 0 << 5 << noneFirst << noneSecond;
        QTest::newRow("notice -1") << false << 1 << -1 << noneFirst << noneSecond;
    }

    // Each row first shows a message with other texts, tops and sizes, so a line that is not
    // set again would show.
    void texts() {
        QFETCH(bool, question);
        QFETCH(int, language);
        QFETCH(int, kind);
        QFETCH(Line, first);
        QFETCH(Line, second);
        TMessageDialog* dialog = question ? static_cast<TMessageDialog*>(yesNo) : ok;
        Language = 1;
        Show(dialog, question ? 1 : 2, dialog->YesBtn);
        Language = language;
        bool shownWhileOpen = false;
        const int result = Show(dialog, kind, dialog->YesBtn, [&] {
            shownWhileOpen = dialog->isVisible() && dialog->m1->isVisible() && dialog->m2->isVisible();
        });
        QVERIFY(shownWhileOpen);
        QCOMPARE(result, question ? mrYes : mrCancel); // still waits for a button
        CompareLine(dialog->m1, first);
        CompareLine(dialog->m2, second);
    }

    void layout() {
        for (TMessageDialog* dialog : {static_cast<TMessageDialog*>(yesNo), static_cast<TMessageDialog*>(ok)}) {
            QCOMPARE(dialog->size(), QSize(320, 160));
            QVERIFY(dialog->windowFlags().testFlag(Qt::FramelessWindowHint));
            QCOMPARE(dialog->p6->geometry(), QRect(11, 12, 298, 77));
            QCOMPARE(dialog->YesBtn->geometry(), QRect(256, 98, 50, 50));
            QCOMPARE(dialog->findChild<TJetButton*>("YesBtn"), dialog->YesBtn);
        }
        QCOMPARE(yesNo->NoBtn->geometry(), QRect(200, 98, 50, 50));
        QCOMPARE(yesNo->findChild<TJetButton*>("NoBtn"), yesNo->NoBtn);
    }

    void hints_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("yes");
        QTest::addColumn<QString>("no");
        QTest::newRow("German") << 1 << "Ja" << "Nein";
        QTest::newRow("English") << 0 << "Yes" << "No";
        QTest::newRow("not chosen") << -1 << "Yes" << "No";
        QTest::newRow("unexpected") << 5 << "Yes" << "No";
    }

    // The hints follow the language at every showing; the OK button says "OK" in both.
    void hints() {
        QFETCH(int, language);
        QFETCH(QString, yes);
        QFETCH(QString, no);
        Language = language == 1 ? 0 : 1; // shown once in the other language first
        Show(yesNo, 1, yesNo->NoBtn);
        Language = language;
        QString shownYes, shownNo, shownOk;
        Show(yesNo, 1, yesNo->NoBtn, [&] {
            shownYes = yesNo->YesBtn->toolTip();
            shownNo = yesNo->NoBtn->toolTip();
        });
        Show(ok, 1, ok->YesBtn, [&] { shownOk = ok->YesBtn->toolTip(); });
        QCOMPARE(shownYes, yes);
        QCOMPARE(shownNo, no);
        QCOMPARE(shownOk, QStringLiteral("OK"));
    }

    void answers() {
        QCOMPARE(Show(yesNo, 2, yesNo->YesBtn), mrYes);
        QCOMPARE(yesNo->ModalResult(), 6);
        QCOMPARE(Show(yesNo, 2, yesNo->NoBtn), mrNo);
        QCOMPARE(yesNo->ModalResult(), 7);
        QCOMPARE(Show(ok, 3, ok->YesBtn), 2);
        QVERIFY(!yesNo->isVisible());
        QVERIFY(!ok->isVisible());
    }

    // The end message's offer of the best play: the longest note (German, a hint used, the par)
    // keeps every line, the window grows for the link, B takes it, and the next message is as
    // it always was.
    void bestPlayOffer() {
        Language = 1;
        bool noteWhole = false, linkInside = false;
        int result = 0;
        WhileOpen(
            ok,
            [&] {
                ok->SetNote(QStringLiteral("Mit Tipp gespielt: kein Eintrag in die Bestenliste.\n"
                                           "Bestes gefundenes Ergebnis: 3421 Punkte; du: 35 Punkte, 35 nach der Uhr"));
                ok->OfferBestPlay(true);
                QCoreApplication::processEvents();
                noteWhole = ok->Note->heightForWidth(ok->Note->width()) <= ok->Note->height();
                linkInside = ok->BestPlayLink->isVisible() && ok->rect().contains(ok->BestPlayLink->geometry()) &&
                             ok->BestPlayLink->y() >= ok->Note->geometry().bottom() &&
                             ok->BestPlayLink->text().contains(QStringLiteral("Beste Partie zeigen (B)"));
                QTest::keyClick(ok->windowHandle(), Qt::Key_B);
            },
            [&] { result = ok->ShowModal(2); });
        QVERIFY(noteWhole);
        QVERIFY(linkInside);
        QCOMPARE(result, mrCancel);
        QVERIFY(ok->TakeBestPlayRequest());
        QVERIFY2(!ok->TakeBestPlayRequest(), "asked once");
        // Without the offer B is no answer, and the window has its old size.
        QSize size;
        result = Show(ok, 3, ok->YesBtn, [&] {
            QTest::keyClick(ok->windowHandle(), Qt::Key_B);
            size = ok->size();
        });
        QCOMPARE(size, QSize(320, 160));
        QVERIFY(!ok->TakeBestPlayRequest());
    }

    // Keys that are no answer press nothing, and a close request from outside is refused: the
    // window is still up and waits for an answer.
    void onlyButtonsAnswer() {
        for (TMessageDialog* dialog : {static_cast<TMessageDialog*>(yesNo), static_cast<TMessageDialog*>(ok)}) {
            bool stillOpen = false;
            TJetButton* answer = dialog == yesNo ? yesNo->NoBtn : ok->YesBtn;
            const int result = Show(dialog, 1, answer, [&] {
                for (Qt::Key key : {Qt::Key_Space, Qt::Key_A, Qt::Key_F5})
                    QTest::keyClick(dialog->windowHandle(), key);
                dialog->close();
                QCoreApplication::processEvents();
                stillOpen = dialog->isVisible();
            });
            QVERIFY(stillOpen);
            QCOMPARE(result, dialog == yesNo ? mrNo : mrCancel);
        }
    }

    void placement_data() {
        QTest::addColumn<QRect>("mainBounds"); // outer, frame included
        QTest::addColumn<QPoint>("expected");
        // left + (width - 320) div 2, top + (height - 160) div 2 - 2
        QTest::newRow("on the screen") << QRect(100, 80, 600, 400) << QPoint(240, 198);
        QTest::newRow("odd sizes") << QRect(101, 81, 601, 401) << QPoint(241, 199);
        QTest::newRow("partly off the screen") << QRect(500, 700, 600, 400) << QPoint(640, 818);
        QTest::newRow("narrower than the dialog") << QRect(0, 0, 301, 151) << QPoint(-9, -6);
    }

    void placement() {
        QFETCH(QRect, mainBounds);
        QFETCH(QPoint, expected);
        PlaceMain(main, mainBounds);
        for (TMessageDialog* dialog : {static_cast<TMessageDialog*>(yesNo), static_cast<TMessageDialog*>(ok)}) {
            QPoint shownAt;
            Show(dialog, 1, dialog->YesBtn, [&] { shownAt = dialog->pos(); });
            QCOMPARE(shownAt, expected);
        }
        main->setGeometry(100, 80, 600, 400);
    }
};

QTEST_MAIN(MessageDialogTest)
#include "MessageDialogTest.moc"
