// The highscore window: loading, inserting, confirming, wiping and cancelling, against a
// settings file of its own. Each modal opening is answered from a timer.

#include "controls/Accessible.h"
#include "controls/Decor.h"
#include "controls/jetButton.h"
#include "settings/Chiffre.h"
#include "dialogs/HighscoreDialog.h"
#include "tests/support/ScopedValue.h"
#include "texts/Language.h"
#include "settings/ini.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

class HighscoreDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TIniStore> m_ini;
    QStringList m_errors;
    TChiffre m_cipher;
    int m_level = 1;
    std::unique_ptr<TImageList> m_bitmaps;
    std::unique_ptr<QWidget> m_main;

    QString Path() const { return m_dir->path() + "/V1.ini"; }
    QByteArray FileBytes() const {
        QFile f(Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    std::unique_ptr<THighscoreDlg> MakeDialog() {
        return std::make_unique<THighscoreDlg>(m_main.get(), *m_ini, m_cipher, m_level, *m_bitmaps);
    }

    // Opens the dialog and runs answer once it shows; false when it never showed.
    bool Open(THighscoreDlg& dlg, int score, bool viewOnly, const std::function<void()>& answer) {
        bool shown = false;
        QTimer::singleShot(0, &dlg, [&] {
            if (!dlg.isVisible())
                return;
            shown = true;
            answer();
        });
        dlg.ShowModal(score, viewOnly);
        QCoreApplication::processEvents(); // lets the timer pass when nothing was shown
        return shown;
    }

    static void Click(TJetButton* button) { QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(25, 25)); }

    // The stored rows of a level, unscrambled.
    QStringList StoredRows(int level) const {
        QStringList rows;
        for (int row = 0; row < HighscoreRows; ++row)
            rows << m_cipher.Decode(m_ini->ReadText("common", HighscoreKey(level, row), "<none>"));
        return rows;
    }

    void StoreRows(int level, const QStringList& rows) {
        for (int row = 0; row < rows.size(); ++row)
            m_ini->WriteText("common", HighscoreKey(level, row), m_cipher.Encode(rows[row]));
    }

    static QStringList Repeat(const QString& row, int n) {
        QStringList l;
        for (int i = 0; i < n; ++i)
            l << row;
        return l;
    }

    // 1500 "p0", 1400 "p1", ... 100 "p14".
    static QStringList Falling() {
        QStringList l;
        for (int row = 0; row < HighscoreRows; ++row)
            l << QString("%1,p%2").arg(1500 - 100 * row).arg(row);
        return l;
    }

private slots:
    void initTestCase() {
        m_bitmaps = std::make_unique<TImageList>();
        QAccessible::installFactory(ControlsAccessibleFactory); // as the game installs it
    }

    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_ini = std::make_unique<TIniStore>(Path());
        m_errors.clear();
        m_ini->OnError = [this](const QString& m) { m_errors << m; };
        m_level = 1;
        Language = 0;
        m_main = std::make_unique<QWidget>();
        m_main->setGeometry(100, 100, 676, 437);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void cleanup() {
        QCOMPARE(m_errors, QStringList());
        m_main.reset();
    }

    void layout() {
        auto dlg = MakeDialog();
        QCOMPARE(dlg->size(), QSize(320, 476));
        QVERIFY(dlg->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(dlg->isModal());
        QCOMPARE(dlg->parentWidget(), m_main.get());
        QCOMPARE(dlg->EditBack->findChildren<TDecorLabel*>().size(), 45);
        QCOMPARE(dlg->RowLabel("num", 5)->geometry(), QRect(10, 115, 40, 21));
        QCOMPARE(dlg->RowLabel("pla", 5)->geometry(), QRect(50, 115, 140, 21));
        QCOMPARE(dlg->RowLabel("sco", 14)->geometry(), QRect(190, 304, 90, 21));
        QCOMPARE(dlg->RowLabel("num", 0)->Text(), QString("1.   "));
        QCOMPARE(dlg->RowLabel("num", 14)->Text(), QString("15.   "));
        QCOMPARE(dlg->YesBtn->geometry(), QRect(260, 416, 50, 50));
        QCOMPARE(dlg->CancelBtn->geometry(), QRect(204, 416, 50, 50));
        QCOMPARE(dlg->Edit1->maxLength(), 25);
        QCOMPARE(dlg->YesBtn->focusPolicy(), Qt::NoFocus);
        QCOMPARE(dlg->CancelBtn->focusPolicy(), Qt::NoFocus);
    }

    // By keys and for a screen reader: the box and the name edit are named and reached with Tab,
    // the rows are a list the arrow keys walk, Ctrl+T opens the statistics.
    void keyboardAndScreenReader() {
        auto dlg = MakeDialog();
        int statistics = 0;
        dlg->OnStatistics = [&] { ++statistics; };
        QVERIFY(Open(*dlg, 0, true, [&] {
            QApplication::setActiveWindow(dlg.get());
            QAccessibleInterface* box = QAccessible::queryAccessibleInterface(dlg->ClearBox);
            QCOMPARE(box->text(QAccessible::Name), QStringLiteral("remove all entries"));
            QVERIFY(box->state().focusable);
            QCOMPARE(QAccessible::queryAccessibleInterface(dlg->Edit1)->text(QAccessible::Name), QStringLiteral("Your name"));
            QCOMPARE(QAccessible::queryAccessibleInterface(dlg->EditBack)->role(), QAccessible::List);

            dlg->EditBack->setFocus(Qt::TabFocusReason);
            QCOMPARE(QApplication::focusWidget(), dlg->RowLabel("num", 0));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            QWidget* second = dlg->RowLabel("num", 1);
            QCOMPARE(QApplication::focusWidget(), second);
            QAccessibleInterface* row = QAccessible::queryAccessibleInterface(second);
            QCOMPARE(row->role(), QAccessible::ListItem);
            QVERIFY(row->state().focused);
            QCOMPARE(row->text(QAccessible::Name), "2. " + dlg->RowLabel("pla", 1)->Text() + ", " +
                                                       dlg->RowLabel("sco", 1)->Text());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), dlg->ClearBox);
            QTest::keyClick(dlg->ClearBox, Qt::Key_T, Qt::ControlModifier);
            QCOMPARE(statistics, 1);
            dlg->CancelBtnClick();
        }));
    }

    void freshListShowsDefaultsAndOkStoresThem() {
        auto dlg = MakeDialog();
        QStringList names, scores;
        bool editShown = true;
        QVERIFY(Open(*dlg, 999, true, [&] {
            for (int row = 0; row < HighscoreRows; ++row) {
                names << dlg->RowLabel("pla", row)->Text();
                scores << dlg->RowLabel("sco", row)->Text();
            }
            editShown = dlg->Edit1->isVisible();
            Click(dlg->YesBtn);
        }));
        QCOMPARE(names, Repeat("Mr. Brain", 15));
        QCOMPARE(scores, Repeat("0", 15));
        QVERIFY(!editShown);
        QCOMPARE(StoredRows(1), Repeat("0,Mr. Brain", 15));
        QCOMPARE(m_ini->ReadText("common", "player", ""), QString("Mr. Brain"));
    }

    void newEntryTakesTheTypedName() {
        auto dlg = MakeDialog();
        QRect editRect;
        QString proposed;
        QWidget* focus = nullptr;
        QVERIFY(Open(*dlg, 250, false, [&] {
            editRect = dlg->Edit1->geometry();
            proposed = dlg->Edit1->text();
            (void)QTest::qWaitFor([&] { return QApplication::focusWidget() == dlg->Edit1; }, 2000);
            focus = QApplication::focusWidget();
            dlg->Edit1->clear();
            QTest::keyClicks(dlg->Edit1, QString::fromUtf8("Ann, the Great Ö"));
            Click(dlg->YesBtn);
        }));
        QCOMPARE(editRect, QRect(50, 10, 140, 17));
        QCOMPARE(proposed, QString("Mr. Brain"));
        QCOMPARE(focus, dlg->Edit1);
        QCOMPARE(StoredRows(1), QStringList{QString::fromUtf8("250,Ann, the Great Ö")} + Repeat("0,Mr. Brain", 14));
        QCOMPARE(m_ini->ReadText("common", "player", ""), QString::fromUtf8("Ann, the Great Ö"));

        // A dialog made at the next start proposes that name and shows the list with the comma.
        auto next = MakeDialog();
        QCOMPARE(next->playerName, QString::fromUtf8("Ann, the Great Ö"));
        QString shownName, edit;
        QVERIFY(Open(*next, 100, false, [&] {
            shownName = next->RowLabel("pla", 0)->Text();
            edit = next->Edit1->text();
            Click(next->CancelBtn);
        }));
        QCOMPARE(shownName, QString::fromUtf8("Ann, the Great Ö"));
        QCOMPARE(edit, QString::fromUtf8("Ann, the Great Ö"));
        QCOMPARE(next->insertPos, 1);
    }

    void insertion_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<int>("score");
        QTest::addColumn<int>("insertPos");
        QTest::addColumn<QStringList>("after");
        QStringList hundreds = Repeat("100,old", 15);
        QTest::newRow("full of 100, 100") << hundreds << 100 << -1 << hundreds;
        QTest::newRow("full of 100, 101") << hundreds << 101 << 0 << QStringList{"101,new"} + Repeat("100,old", 14);
        QStringList tie = Falling();
        tie.insert(6, "1000,new");
        tie.removeLast();
        QTest::newRow("tie with row 5") << Falling() << 1000 << 6 << tie;
        QStringList last = Falling();
        last[14] = "150,new";
        QTest::newRow("above the last") << Falling() << 150 << 14 << last;
        QTest::newRow("equal to the last") << Falling() << 100 << -1 << Falling();
    }

    void insertion() {
        QFETCH(QStringList, stored);
        QFETCH(int, score);
        QFETCH(int, insertPos);
        QFETCH(QStringList, after);
        StoreRows(1, stored);
        const QByteArray before = FileBytes();
        auto dlg = MakeDialog();
        const bool shown = Open(*dlg, score, false, [&] {
            dlg->Edit1->setText("new");
            Click(dlg->YesBtn);
        });
        QCOMPARE(shown, insertPos >= 0);
        QCOMPARE(dlg->insertPos, insertPos);
        QCOMPARE(StoredRows(1), after);
        if (!shown)
            QCOMPARE(FileBytes(), before);
    }

    void viewAndOkChangesNothing() {
        StoreRows(1, Falling());
        m_ini->WriteText("common", "player", "p3");
        const QByteArray before = FileBytes();
        auto dlg = MakeDialog();
        QVERIFY(Open(*dlg, 5000, true, [&] { Click(dlg->YesBtn); }));
        QCOMPARE(FileBytes(), before);

        // Also after an insertion and a change of skill level.
        QVERIFY(Open(*dlg, 1450, false, [&] { Click(dlg->YesBtn); }));
        const QStringList level1 = StoredRows(1);
        m_level = 2;
        QVERIFY(Open(*dlg, 0, true, [&] { Click(dlg->YesBtn); }));
        QCOMPARE(StoredRows(1), level1);
        QCOMPARE(StoredRows(2), Repeat("0,Mr. Brain", 15));
        QCOMPARE(m_ini->ReadText("common", "player", ""), QString("p3"));
        m_level = 1;
        QVERIFY(Open(*dlg, 0, true, [&] { Click(dlg->YesBtn); }));
        QCOMPARE(StoredRows(1), level1);
    }

    void wipeAfterAnInsertion() {
        StoreRows(1, Falling());
        auto dlg = MakeDialog();
        QVERIFY(Open(*dlg, 3000, false, [&] {
            QTest::mouseClick(dlg->ClearBox, Qt::LeftButton);
            Click(dlg->YesBtn);
        }));
        QCOMPARE(StoredRows(1), Repeat("0,Mr. Brain", 15));
        QCOMPARE(m_ini->ReadText("common", "player", ""), QString("Mr. Brain"));
        QCOMPARE(dlg->playerName, QString("Mr. Brain"));
        QCOMPARE(dlg->Edit1->text(), QString("Mr. Brain"));
        QCOMPARE(dlg->insertPos, -1);
        QCOMPARE(dlg->RowLabel("sco", 0)->Text(), QString("0"));
    }

    void cancelStoresNothing() {
        StoreRows(1, Falling());
        const QByteArray before = FileBytes();
        auto dlg = MakeDialog();
        QVERIFY(Open(*dlg, 3000, false, [&] {
            dlg->Edit1->setText("Lost");
            QTest::mouseClick(dlg->ClearBox, Qt::LeftButton);
            Click(dlg->CancelBtn);
        }));
        QCOMPARE(FileBytes(), before);
        QString top;
        bool ticked = true;
        QVERIFY(Open(*dlg, 0, true, [&] {
            top = dlg->RowLabel("pla", 0)->Text();
            ticked = dlg->ClearBox->isChecked();
            Click(dlg->CancelBtn);
        }));
        QCOMPARE(top, QString("p0"));
        QVERIFY(!ticked);
        QCOMPARE(dlg->playerName, QString("Mr. Brain"));
    }

    void emptyNameIsKept() {
        auto dlg = MakeDialog();
        QVERIFY(Open(*dlg, 300, false, [&] {
            dlg->Edit1->clear();
            Click(dlg->YesBtn);
        }));
        QCOMPARE(StoredRows(1).first(), QString("300,"));
        QString shown = "x";
        QVERIFY(Open(*dlg, 0, true, [&] {
            shown = dlg->RowLabel("pla", 0)->Text();
            Click(dlg->CancelBtn);
        }));
        QCOMPARE(shown, QString());
    }

    void eachLevelHasItsOwnList() {
        auto dlg = MakeDialog();
        m_level = 3;
        QVERIFY(Open(*dlg, 500, false, [&] { Click(dlg->YesBtn); }));
        QCOMPARE(StoredRows(3).first(), QString("500,Mr. Brain"));
        QCOMPARE(m_ini->ReadText("common", "hsa0", "<none>"), QString("<none>"));
        m_level = 1;
        QString top;
        QVERIFY(Open(*dlg, 0, true, [&] {
            top = dlg->RowLabel("sco", 0)->Text();
            Click(dlg->CancelBtn);
        }));
        QCOMPARE(top, QString("0"));
    }

    void damagedRowsReadAsDefault() {
        QStringList rows = Falling();
        StoreRows(1, rows);
        m_ini->WriteText("common", "hsa3", m_cipher.Encode("abc,Bob"));
        m_ini->WriteText("common", "hsa4", "no comma at all");
        m_ini->WriteText("common", "hsa5", m_cipher.Encode("12x,Eve"));
        auto dlg = MakeDialog();
        QVERIFY(Open(*dlg, 0, true, [&] { Click(dlg->CancelBtn); }));
        for (int row = 0; row < HighscoreRows; ++row) {
            const bool damaged = row >= 3 && row <= 5;
            QCOMPARE(dlg->entryNames[row], damaged ? QString("Mr. Brain") : QString("p%1").arg(row));
            QCOMPARE(dlg->entryScores[row], damaged ? 0 : 1500 - 100 * row);
        }
    }

    // Opening the list reads the file once, not once a row: a large file must not freeze it.
    void listComesFromOneReadOfTheFile() {
        StoreRows(1, Falling());
        auto dlg = MakeDialog();
        int reads = 0;
        bool shown = false;
        {
            const TScopedValue countReads(TIniStore::FaultHook, [&reads](TIniStep step) {
                return step == TIniStep::Read ? ++reads, 0 : 0;
            });
            shown = Open(*dlg, 0, true, [&] { Click(dlg->CancelBtn); });
        }
        QVERIFY(shown);
        QCOMPARE(reads, 1);
        QCOMPARE(dlg->entryNames[14], QString("p14"));
        QCOMPARE(dlg->entryScores[0], 1500);
    }

    void twoCopiesKeepBothEntries() {
        StoreRows(1, Falling());
        auto dlg = MakeDialog();
        QVERIFY(Open(*dlg, 1250, false, [&] {
            // While the name is typed here, a second running copy stores an entry of its own.
            THighscoreNames names;
            THighscoreScores scores;
            TIniStore other(Path());
            DecodeHighscoreList([&](const QString& key) { return other.ReadText("common", key, ""); }, m_cipher, 1,
                                names, scores);
            QCOMPARE(InsertHighscore(names, scores, 1320, "other"), 2);
            for (int row = 0; row < HighscoreRows; ++row)
                other.WriteText("common", HighscoreKey(1, row),
                                m_cipher.Encode(FormatHighscoreRow(scores[row], names[row])));
            dlg->Edit1->setText("me");
            Click(dlg->YesBtn);
        }));
        QStringList expected = Falling().mid(0, 13);
        expected.insert(2, "1320,other");
        expected.insert(4, "1250,me");
        QCOMPARE(StoredRows(1), expected);
        QCOMPARE(m_ini->ReadText("common", "player", ""), QString("me"));
    }

    void failedSaveIsToldEveryTimeAndKeepsTheWindowOpen() {
        StoreRows(1, Falling());
        const QByteArray before = FileBytes();
        QFile::setPermissions(Path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        auto dlg = MakeDialog();
        bool openAfterFailures = false;
        QVERIFY(Open(*dlg, 1250, false, [&] {
            dlg->Edit1->setText("me");
            Click(dlg->YesBtn);
            Click(dlg->YesBtn);
            openAfterFailures = dlg->isVisible() && dlg->Edit1->isVisible();
            QCOMPARE(FileBytes(), before);
            // The player makes the file writable and presses OK once more.
            QFile::setPermissions(Path(), QFile::ReadOwner | QFile::WriteOwner);
            Click(dlg->YesBtn);
        }));
        QVERIFY(openAfterFailures);
        QCOMPARE(m_errors.size(), 2);
        for (const QString& e : std::as_const(m_errors)) {
            QVERIFY2(e.contains("Your highscore entry was not saved.") && e.contains("is read-only") &&
                         e.contains("Press OK to try again"),
                     qPrintable(e));
        }
        m_errors.clear();
        QCOMPARE(StoredRows(1)[3], QString("1250,me"));
        QVERIFY(!dlg->isVisible());
    }

    void keysPressNoButton() {
        StoreRows(1, Falling());
        const QByteArray before = FileBytes();
        auto dlg = MakeDialog();
        bool stillOpen = false;
        QVERIFY(Open(*dlg, 3000, false, [&] {
            // Keys that are no answer press no button; typing goes into the name.
            for (QWidget* target : {static_cast<QWidget*>(dlg->Edit1), static_cast<QWidget*>(dlg.get())})
                for (Qt::Key key : {Qt::Key_F5, Qt::Key_Y, Qt::Key_N})
                    QTest::keyClick(target, key);
            stillOpen = dlg->isVisible();
            dlg->close(); // the window system's close does nothing either
            stillOpen = stillOpen && dlg->isVisible();
            QTest::keyClick(dlg->Edit1, Qt::Key_Escape); // Escape is Cancel: nothing is stored
        }));
        QVERIFY(stillOpen);
        QCOMPARE(FileBytes(), before);
    }

    void wipeCaptionDoesNotTickTheBox() {
        auto dlg = MakeDialog();
        bool ticked = true;
        QVERIFY(Open(*dlg, 0, true, [&] {
            QTest::mouseClick(dlg->delcheck, Qt::LeftButton, {}, QPoint(20, 6));
            ticked = dlg->ClearBox->isChecked();
            Click(dlg->CancelBtn);
        }));
        QVERIFY(!ticked);
    }

    void textsFollowTheLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("texts");
        const QStringList english{"Zelvano - Highscore", "remove all entries", "put in list", "Cancel"};
        QTest::newRow("German") << 1
                                << QStringList{"Zelvano - Bestenliste", QString::fromUtf8("alle Einträge löschen"),
                                               "In Liste aufnehmen", "Abbrechen"};
        QTest::newRow("English") << 0 << english;
        QTest::newRow("not chosen") << -1 << english;
        QTest::newRow("unexpected") << 2 << english;
    }

    void textsFollowTheLanguage() {
        QFETCH(int, language);
        QFETCH(QStringList, texts);
        auto dlg = MakeDialog();
        Language = language;
        QStringList shown;
        QVERIFY(Open(*dlg, 0, true, [&] {
            shown << dlg->title->Text() << dlg->delcheck->Text() << dlg->YesBtn->Hint() << dlg->CancelBtn->Hint();
            Click(dlg->CancelBtn);
        }));
        QCOMPARE(shown, texts);
    }

    void opensOverTheMainWindow() {
        // The main window's frame (2 pixels here) counts; (441 - 476) / 2 truncates to -17.
        QCOMPARE(m_main->frameGeometry(), QRect(98, 98, 680, 441));
        auto dlg = MakeDialog();
        QPoint at;
        QVERIFY(Open(*dlg, 0, true, [&] {
            at = dlg->pos();
            Click(dlg->CancelBtn);
        }));
        QCOMPARE(at, QPoint(278, 79));
    }
};

QTEST_MAIN(HighscoreDialogTest)
#include "HighscoreDialogTest.moc"
