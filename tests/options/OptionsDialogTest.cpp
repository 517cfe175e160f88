// The options and info dialog against a stand-in main window: its pages, its texts in both
// languages, and what each click changes in the main window and in the dialog.

#include "controls/Accessible.h"
#include "controls/Decor.h"
#include "controls/jetButton.h"
#include "texts/Language.h"
#include "settings/MusicFolder.h"
#include "dialogs/OptionsHost.h"
#include "dialogs/OptionsDialog.h"
#include "tests/dialogs/ModalScript.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QTest>

namespace {

// The main window's side, with a note of every call that changes something.
class FakeHost : public TOptionsHost {
public:
    bool sound = true;
    bool music = true;
    QString file = QStringLiteral("tune.mid");
    int background = 0;
    int mainTexts = 0;
    int musicSwitches = 0;
    QList<int> backgroundsSet;

    bool SoundEnabled() const override { return sound; }
    void SetSoundEnabled(bool on) override { sound = on; }
    bool MusicEnabled() const override { return music; }
    void SwitchMusic() override {
        music = !music;
        ++musicSwitches;
    }
    QString MusicFileName() const override { return file; }
    int Background() const override { return background; }
    void SetBackground(int index) override {
        background = index;
        backgroundsSet << index;
        ++mainTexts; // the real window applies its texts with the new background
    }
    void ApplyMainTexts() override { ++mainTexts; }
};

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

    QWidget* main = nullptr;
    TImageList* bitmaps = nullptr;
    FakeHost* host = nullptr;
    TOptionsDialog* dialog = nullptr;

    // Opens the dialog on request, runs script while it is open and tells whether it closed by
    // itself (the watchdog did not have to end it).
    bool Open(std::optional<TOptionsPage> request, std::function<void()> script) {
        bool closedByDialog = true;
        WhileOpen(dialog, script, [&] {
            dialog->ShowPage(request);
            closedByDialog = dialog->result() != WatchdogResult;
        });
        return closedByDialog;
    }
    // Shows the options page without a modal loop, for clicks that do not close the dialog.
    void ShowOptions() {
        dialog->Page = TOptionsPage::Options;
        dialog->ApplyDialogTexts();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
    }

private slots:
    void initTestCase() {
        QAccessible::installFactory(ControlsAccessibleFactory); // as the game installs it
        main = new QWidget;
        main->setGeometry(100, 80, 600, 400);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        bitmaps = new TImageList;
    }
    void cleanupTestCase() {
        delete main;
        delete bitmaps;
    }
    void init() {
        Language = 0;
        host = new FakeHost;
        dialog = new TOptionsDialog(main, *host, *bitmaps);
        dialog->DialogLevel = 1;
    }
    void cleanup() {
        delete dialog;
        delete host;
    }

    void layout() {
        QCOMPARE(dialog->size(), QSize(410, 460));
        QVERIFY(dialog->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(dialog->LMDLImage1->pos(), QPoint(4, 12));
        QCOMPARE(dialog->ProgLabel->geometry(), QRect(8, 103, 53, 281));
        QCOMPARE(dialog->VersionLabel->geometry(), QRect(52, 118, 21, 266));
        QCOMPARE(dialog->OKBtn->geometry(), QRect(348, 396, 50, 50));
        for (QWidget* page : {(QWidget*)dialog->InfoPanel, (QWidget*)dialog->OptionsPanel, (QWidget*)dialog->LanguagePanel})
            QCOMPARE(page->geometry(), QRect(108, 12, 289, 373));
        QCOMPARE(dialog->OptLabel->geometry(), QRect(19, 12, 254, 29));
        const QList<QPair<QWidget*, QRect>> controls = {
            {dialog->TongueImg, {16, 48, 49, 49}},    {dialog->TongueLabel, {79, 64, 190, 18}},
            {dialog->SoundImg, {16, 104, 49, 49}},    {dialog->SoundLabel, {79, 120, 190, 18}},
            {dialog->MusicImg, {16, 160, 49, 49}},    {dialog->MusicLabel, {79, 176, 202, 18}},
            {dialog->BackImg, {16, 216, 49, 49}},     {dialog->BackLabel, {79, 232, 202, 18}},
            {dialog->StrengthImg, {16, 272, 49, 49}}, {dialog->Strengthlabel, {79, 288, 202, 18}},
            {dialog->LImg1, {16, 16, 49, 49}},        {dialog->LLbl1, {79, 32, 190, 18}},
            {dialog->LImg2, {16, 72, 49, 49}},        {dialog->LLbl2, {79, 88, 190, 18}},
        };
        for (const auto& [control, geometry] : controls)
            QCOMPARE(control->geometry(), geometry);
        QCOMPARE(dialog->ProgLabel->Text(), QStringLiteral("Zelvano"));
        QCOMPARE(dialog->VersionLabel->Text(), QStringLiteral("Version  1.1"));
        QCOMPARE(dialog->LLbl1->Text(), QStringLiteral("Ich spreche deutsch."));
        QCOMPARE(dialog->LLbl2->Text(), QStringLiteral("I speak English."));
        QVERIFY(dialog->LImg1->toolTip().isEmpty());
        QVERIFY(dialog->LImg2->toolTip().isEmpty());
    }

    void fixedTexts_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("texts"); // OK hint, title, tongue caption, then the hints
        // The music hint also tells where the player's own tunes go.
        const QString folder = PlayerMusicFolderForDisplay();
        const QStringList german = {"Zurück zum Spiel", "Einstellungen:", "Ich spreche deutsch.",
                                    "Sprache ändern", "Geräusche ein- und ausschalten.",
                                    "Musik ein- und ausschalten.\nEigene Musik (*.mid) gehört in " + folder,
                                    "Hintergrund ändern", "Spielstärke ändern"};
        const QStringList english = {"Back to game", "Options:", "I speak English.", "Change language",
                                     "Sound on or off", "Music on or off.\nYour own music (*.mid) goes in " + folder,
                                     "Change background", "Change skill level"};
        QTest::newRow("German") << 1 << german;
        QTest::newRow("English") << 0 << english;
        QTest::newRow("not chosen") << -1 << english;
        QTest::newRow("unexpected") << 2 << english;
    }

    void fixedTexts() {
        QFETCH(int, language);
        QFETCH(QStringList, texts);
        Language = language;
        dialog->Page = TOptionsPage::Options;
        dialog->ApplyDialogTexts();
        const QStringList shown = {dialog->OKBtn->toolTip(),    dialog->OptLabel->Text(),
                                   dialog->TongueLabel->Text(), dialog->TongueImg->toolTip(),
                                   dialog->SoundImg->toolTip(), dialog->MusicImg->toolTip(),
                                   dialog->BackImg->toolTip(),  dialog->StrengthImg->toolTip()};
        QCOMPARE(shown, texts);
    }

    void infoTexts() {
        for (auto [language, subtitle] : {std::pair{1, "Ein Legespiel mit Kartenmustern"}, std::pair{0, "A card-pattern puzzle"}}) {
            Language = language;
            QVERIFY(Open(TOptionsPage::Info, [&] { ClickOn(dialog->OKBtn); }));
            QCOMPARE(dialog->InfoSubtitle->Text(), QString::fromUtf8(subtitle));
        }
        QCOMPARE(dialog->InfoMadeBy->Text(), QStringLiteral("Made by the Zelvano developers"));
        QCOMPARE(dialog->InfoYear->Text(), QStringLiteral("2026"));
    }

    void stateTexts_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<bool>("music");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("background");
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("captions"); // sound, music, background, level
        QTest::newRow("de 0 1") << 1 << true << true << "a.mid" << 0 << 1
                                << QStringList{"Geräusche sind an.", "Musik: a.mid", "Hintergrund: grau", "Anfänger"};
        QTest::newRow("de 1 2") << 1 << false << false << "a.mid" << 1 << 2
                                << QStringList{"Geräusche sind aus.", "Musik ist aus.", "Hintergrund: braun", "Fortgeschrittene"};
        QTest::newRow("de 2 3") << 1 << true << true << "" << 2 << 3
                                << QStringList{"Geräusche sind an.", "Musik: keine", "Hintergrund: grün", "Meister"};
        QTest::newRow("de 3 4") << 1 << true << true << "b.mid" << 3 << 4
                                << QStringList{"Geräusche sind an.", "Musik: b.mid", "Hintergrund: blau", "Champions"};
        QTest::newRow("de 4") << 1 << true << true << "b.mid" << 4 << 1
                              << QStringList{"Geräusche sind an.", "Musik: b.mid", "Hintergrund: rot", "Anfänger"};
        QTest::newRow("en 0 1") << 0 << true << true << "a.mid" << 0 << 1
                                << QStringList{"Sound is on.", "Music: a.mid", "Background: grey", "basic"};
        QTest::newRow("en 1 2") << 0 << false << false << "a.mid" << 1 << 2
                                << QStringList{"Sound is off.", "Music is off.", "Background: brown", "advanced"};
        QTest::newRow("en 2 3") << 0 << true << true << "" << 2 << 3
                                << QStringList{"Sound is on.", "Music: none", "Background: green", "master"};
        QTest::newRow("en 3 4") << 0 << true << true << "b.mid" << 3 << 4
                                << QStringList{"Sound is on.", "Music: b.mid", "Background: blue", "champions"};
        QTest::newRow("not chosen 4") << -1 << false << true << "c d.mid" << 4 << 2
                                      << QStringList{"Sound is off.", "Music: c d.mid", "Background: red", "advanced"};
    }

    void stateTexts() {
        QFETCH(int, language);
        QFETCH(bool, sound);
        QFETCH(bool, music);
        QFETCH(QString, file);
        QFETCH(int, background);
        QFETCH(int, level);
        QFETCH(QStringList, captions);
        Language = language;
        host->sound = sound;
        host->music = music;
        host->file = file;
        host->background = background;
        dialog->DialogLevel = level;
        dialog->Page = TOptionsPage::Options;
        dialog->ApplyDialogTexts();
        const QStringList shown = {dialog->SoundLabel->Text(), dialog->MusicLabel->Text(),
                                   dialog->BackLabel->Text(), dialog->Strengthlabel->Text()};
        QCOMPARE(shown, captions);
    }

    // A name longer than the label ends in an ellipsis that fits, never cut mid-letter; the
    // tooltip holds it whole. A short one is shown as it is.
    void longMusicNameIsElided() {
        Language = 0;
        host->music = true;
        dialog->Page = TOptionsPage::Options;
        const QString longName = QStringLiteral("An Evening Over the Quiet Stacks of Blue Cards (long version).mid");
        for (const QString& file : {longName, QStringLiteral("a.mid")}) {
            host->file = file;
            dialog->ApplyDialogTexts();
            const QString shown = dialog->MusicLabel->Text();
            const QFontMetrics metrics(dialog->MusicLabel->font());
            QVERIFY(metrics.horizontalAdvance(shown) <= dialog->MusicLabel->width());
            QCOMPARE(dialog->MusicLabel->toolTip(), file);
            if (file == longName) {
                QVERIFY(shown.endsWith(QChar(0x2026)));
                QVERIFY(shown.startsWith("Music: An Evening"));
            } else {
                QCOMPARE(shown, QStringLiteral("Music: a.mid"));
            }
        }
        host->music = false;
        dialog->ApplyDialogTexts();
        QCOMPARE(dialog->MusicLabel->toolTip(), QString());
    }

    // A colour or level without a name leaves the caption as it was.
    void unknownStateKeepsCaption() {
        host->background = 3;
        dialog->DialogLevel = 2;
        ShowOptions();
        for (auto [background, level] : {std::pair{5, 0}, std::pair{-1, 5}}) {
            host->background = background;
            dialog->DialogLevel = level;
            dialog->ApplyDialogTexts();
            QCOMPARE(dialog->BackLabel->Text(), QStringLiteral("Background: blue"));
            QCOMPARE(dialog->Strengthlabel->Text(), QStringLiteral("advanced"));
        }
    }

    // Away from the options page only the page's visibility and the OK hint follow.
    void optionTextsOnlyOnOptionsPage() {
        Language = 0;
        dialog->Page = TOptionsPage::Options;
        dialog->ApplyDialogTexts();
        dialog->Page = TOptionsPage::Info;
        Language = 1;
        host->sound = false;
        dialog->ApplyDialogTexts();
        QCOMPARE(dialog->OKBtn->toolTip(), QStringLiteral("Zurück zum Spiel"));
        QCOMPARE(dialog->OptLabel->Text(), QStringLiteral("Options:"));
        QCOMPARE(dialog->SoundLabel->Text(), QStringLiteral("Sound is on."));
        QCOMPARE(dialog->TongueImg->toolTip(), QStringLiteral("Change language"));
    }

    void showPage_data() {
        using Requests = QList<std::optional<TOptionsPage>>;
        constexpr auto Info = TOptionsPage::Info, Options = TOptionsPage::Options, Language = TOptionsPage::Language;
        QTest::addColumn<Requests>("requests");
        QTest::addColumn<TOptionsPage>("page");
        QTest::newRow("info") << Requests{Options, Info} << Info;
        QTest::newRow("options") << Requests{Info, Options} << Options;
        QTest::newRow("language") << Requests{Options, Language} << Language;
        QTest::newRow("none keeps info") << Requests{Info, std::nullopt} << Info;
        QTest::newRow("none keeps language") << Requests{Language, std::nullopt} << Language;
        QTest::newRow("none keeps options") << Requests{Options, std::nullopt} << Options;
    }

    // The page of the last request is the only one shown, and the dialog waits for OK.
    void showPage() {
        QFETCH(QList<std::optional<TOptionsPage>>, requests);
        QFETCH(TOptionsPage, page);
        QList<bool> shown;
        for (std::optional<TOptionsPage> request : requests) {
            shown.clear();
            QVERIFY(Open(request, [&] {
                shown = {dialog->InfoPanel->isVisible(), dialog->OptionsPanel->isVisible(), dialog->LanguagePanel->isVisible()};
                ClickOn(dialog->OKBtn);
            }));
        }
        QCOMPARE(dialog->Page, page);
        QCOMPARE(shown, (QList<bool>{page == TOptionsPage::Info, page == TOptionsPage::Options, page == TOptionsPage::Language}));
    }

    // Keys that are no answer (Space with no picture reached, a letter) press nothing, and a
    // close request from outside is refused; Enter and Escape close it as OK does.
    void onlyButtonsClose() {
        bool stillOpen = false;
        QVERIFY(Open(TOptionsPage::Options, [&] {
            for (Qt::Key key : {Qt::Key_Space, Qt::Key_A, Qt::Key_F5})
                QTest::keyClick(dialog->windowHandle(), key);
            dialog->close();
            QCoreApplication::processEvents();
            stillOpen = dialog->isVisible();
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
        }));
        QVERIFY(stillOpen);
        QVERIFY(Open(TOptionsPage::Options, [&] { QTest::keyClick(dialog->windowHandle(), Qt::Key_Return); }));
    }

    // Not chosen yet (-1) becomes English first, then German, then English again; the main
    // window's texts follow each press.
    void languageToggle() {
        Language = -1;
        ShowOptions();
        QList<int> languages;
        QStringList captions;
        for (int press = 0; press < 3; ++press) {
            ClickOn(dialog->TongueImg);
            languages << Language;
            captions << dialog->TongueLabel->Text();
        }
        QCOMPARE(languages, (QList<int>{0, 1, 0}));
        QCOMPARE(captions, (QStringList{"I speak English.", "Ich spreche deutsch.", "I speak English."}));
        QCOMPARE(host->mainTexts, 3);
        QVERIFY(dialog->isVisible());
    }

    void soundToggle() {
        ShowOptions();
        ClickOn(dialog->SoundImg);
        QCOMPARE(host->sound, false);
        QCOMPARE(dialog->SoundLabel->Text(), QStringLiteral("Sound is off."));
        ClickOn(dialog->SoundImg);
        QCOMPARE(host->sound, true);
        QCOMPARE(dialog->SoundLabel->Text(), QStringLiteral("Sound is on."));
    }

    // Each picture is named by what it sets and its value; Space on it says the new value.
    void picturesAreNamedByTheirValue() {
        ShowOptions();
        auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
        QCOMPARE(name(dialog->TongueImg), QStringLiteral("Language: English"));
        QCOMPARE(name(dialog->SoundImg), QStringLiteral("Sound: on"));
        QCOMPARE(name(dialog->BackImg), dialog->BackLabel->Text());
        QVERIFY(name(dialog->BackImg).startsWith("Background: "));
        QCOMPARE(name(dialog->StrengthImg), "Skill level: " + dialog->Strengthlabel->Text());
        QCOMPARE(QAccessible::queryAccessibleInterface(dialog->SoundImg)->text(QAccessible::Description),
                 dialog->SoundImg->toolTip());
        QCOMPARE(QAccessible::queryAccessibleInterface(dialog->LMDLImage1)->role(), QAccessible::Graphic);
        QVERIFY(!name(dialog->LMDLImage1).isEmpty());

        QApplication::setActiveWindow(dialog);
        dialog->SoundImg->setFocus(Qt::TabFocusReason);
        QTest::keyClick(dialog->SoundImg, Qt::Key_Space);
        QCOMPARE(host->sound, false);
        QCOMPARE(name(dialog->SoundImg), QStringLiteral("Sound: off"));
        QAccessibleInterface* notice = nullptr;
        for (QWidget* w : dialog->findChildren<QWidget*>())
            if (QAccessible::queryAccessibleInterface(w)->role() == QAccessible::Notification)
                notice = QAccessible::queryAccessibleInterface(w);
        QVERIFY(notice);
        QCOMPARE(notice->text(QAccessible::Name), QStringLiteral("Sound: off"));
        QTest::keyClick(dialog->SoundImg, Qt::Key_Space);
        QCOMPARE(notice->text(QAccessible::Name), QStringLiteral("Sound: on"));
    }

    void musicSwitch() {
        Language = 1;
        ShowOptions();
        QCOMPARE(dialog->MusicLabel->Text(), QStringLiteral("Musik: tune.mid"));
        ClickOn(dialog->MusicImg);
        QCOMPARE(dialog->MusicLabel->Text(), QStringLiteral("Musik ist aus."));
        host->file = QStringLiteral("next.mid"); // the host moves on to the next file
        ClickOn(dialog->MusicImg);
        QCOMPARE(dialog->MusicLabel->Text(), QStringLiteral("Musik: next.mid"));
        QCOMPARE(host->musicSwitches, 2);
    }

    // Five presses go round the five colours back to the start, each one handed to the main
    // window (which rebuilds, repaints and applies its texts).
    void backgroundRound() {
        host->background = 3;
        ShowOptions();
        QStringList captions;
        for (int press = 0; press < 5; ++press) {
            ClickOn(dialog->BackImg);
            captions << dialog->BackLabel->Text();
        }
        QCOMPARE(host->backgroundsSet, (QList<int>{4, 0, 1, 2, 3}));
        QCOMPARE(host->background, 3);
        QCOMPARE(captions, (QStringList{"Background: red", "Background: grey", "Background: brown",
                                        "Background: green", "Background: blue"}));
    }

    // The level only moves in the dialog; nothing of the main window is touched.
    void levelCycle() {
        dialog->DialogLevel = 1;
        ShowOptions();
        QList<int> levels;
        for (int press = 0; press < 4; ++press) {
            ClickOn(dialog->StrengthImg);
            levels << dialog->DialogLevel;
        }
        QCOMPARE(levels, (QList<int>{2, 3, 4, 1}));
        QCOMPARE(dialog->Strengthlabel->Text(), QStringLiteral("basic"));
        QCOMPARE(host->mainTexts, 0);
        QVERIFY(host->backgroundsSet.isEmpty());
        QCOMPARE(host->musicSwitches, 0);
        QCOMPARE(host->sound, true);
        QCOMPARE(Language, 0);
        QVERIFY(dialog->isVisible());
    }

    void labelsDoNotClick() {
        ShowOptions();
        for (TDecorLabel* label : {dialog->TongueLabel, dialog->SoundLabel, dialog->MusicLabel, dialog->BackLabel,
                                   dialog->Strengthlabel})
            ClickOn(label);
        QCOMPARE(Language, 0);
        QCOMPARE(host->sound, true);
        QCOMPARE(host->musicSwitches, 0);
        QVERIFY(host->backgroundsSet.isEmpty());
        QCOMPARE(dialog->DialogLevel, 1);
    }

    void languageChoice_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("language");
        QTest::newRow("German flags") << "LImg1" << 1;
        QTest::newRow("German words") << "LLbl1" << 1;
        QTest::newRow("English flags") << "LImg2" << 0;
        QTest::newRow("English words") << "LLbl2" << 0;
        QTest::newRow("OK chooses nothing") << "OKBtn" << -1;
    }

    void languageChoice() {
        QFETCH(QString, control);
        QFETCH(int, language);
        QWidget* target = dialog->findChild<QWidget*>(control); // looked up by name, as the form's own
        QVERIFY(target);
        Language = -1;
        QVERIFY(Open(TOptionsPage::Language, [&] { ClickOn(target); }));
        QCOMPARE(Language, language);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(host->mainTexts, 0); // the main window applies its texts after the page closes
    }

    void placement_data() {
        QTest::addColumn<bool>("mainShown");
        QTest::addColumn<QRect>("mainBounds"); // outer, frame included
        QTest::addColumn<QPoint>("expected");
        // Off screen the frame is 2 pixels all round, so the client is 4 pixels smaller:
        // left + (width - 410) div 2, top + height - (height - 4 + 460) div 2.
        QTest::newRow("over the main window") << true << QRect(100, 80, 600, 400) << QPoint(195, 52);
        QTest::newRow("odd sizes") << true << QRect(101, 81, 601, 401) << QPoint(196, 54);
        QTest::newRow("partly off the screen") << true << QRect(500, 600, 600, 400) << QPoint(595, 572);
        // 800 x 800 screen
        QTest::newRow("main window hidden") << false << QRect(100, 80, 600, 400) << QPoint(195, 170);
    }

    void placement() {
        QFETCH(bool, mainShown);
        QFETCH(QRect, mainBounds);
        QFETCH(QPoint, expected);
        PlaceMain(main, mainBounds);
        main->setVisible(mainShown);
        QPoint shownAt;
        QVERIFY(Open(TOptionsPage::Info, [&] {
            shownAt = dialog->pos();
            ClickOn(dialog->OKBtn);
        }));
        main->show();
        main->setGeometry(100, 80, 600, 400);
        QCOMPARE(shownAt, expected);
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
