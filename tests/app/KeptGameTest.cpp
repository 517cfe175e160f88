// A running game the desktop ends without the exit question comes back at the next start,
// paused, and is counted only when it ends; the exit question's yes still ends it.
#include "AppFixture.h"

#include "app/Advice.h"
#include "settings/StatisticsStore.h"

#include <QTest>

namespace {

class KeptGame : public AppFixture {
  protected:
    // The [keptgame] section of the settings as the close left them.
    QString KeptSection() const {
        const QString text = IniText();
        const int at = text.indexOf(QStringLiteral("[keptgame]"));
        if (at < 0) return QString();
        const int next = text.indexOf(QStringLiteral("\n["), at + 1);
        return text.mid(at, next < 0 ? -1 : next - at + 1);
    }
    void StartAgain(const QString& kept) {
        delete form;
        form = nullptr;
        Start(true, kept);
    }
};

TEST_F(KeptGame, ComesBackPausedAsItWasLeft) {
    Start();
    // The deal is drawn at random: while a joker lies in the row, only its place takes a card.
    const auto target = [this](int wanted) { return form->Game().JokerPos >= 0 ? form->Game().JokerPos : wanted; };
    DragToRow(0, target(1));
    DragToRow(3, target(2));
    ASSERT_EQ(form->Session.Snapshot().Line.size(), 2u);
    form->Game().ClockTicks = 40;
    form->Game().Score -= 13;
    TSessionState left = form->Session.Snapshot();
    form->CloseWithoutQuestions();
    const QString kept = KeptSection();
    ASSERT_FALSE(kept.isEmpty());
    EXPECT_EQ(ReadStatistics(form->ini).Levels[0].Played, 0) << "not counted while it is kept";

    StartAgain(kept);
    left.Game.GameState = gsPaused;
    EXPECT_EQ(form->Session.Snapshot(), left);
    EXPECT_TRUE(form->Advice->Mark()->Showing());
    EXPECT_TRUE(form->Advice->Mark()->Text().contains("paused"))
        << form->Advice->Mark()->Text().toStdString();
    EXPECT_TRUE(form->ToolButton(TTool::Pause)->Enabled());
    ClickButton(form->ToolButton(TTool::Pause));
    EXPECT_EQ(form->Game().GameState, gsRunning);
    EXPECT_FALSE(form->Advice->Mark()->Showing()) << "the note goes as the game goes on";

    // Left with the exit question's yes: it ends, is counted, and is kept no more.
    dialogs.Expect("TYesNoDialog", Press("YesBtn", mrYes));
    if (form->Game().Score > 0) dialogs.Expect("THighscoreDlg", Press("CancelBtn", 0));
    form->close();
    EXPECT_EQ(ReadStatistics(form->ini).Levels[0].Played, 1);
    StartAgain(KeptSection());
    EXPECT_EQ(form->Game().GameState, gsNotStarted);
}

TEST_F(KeptGame, ADamagedOneIsDroppedWithAWord) {
    Start(true, QStringLiteral("[keptgame]\nversion=1\ndeal=4242\nlevel=1\nticks=0\nassisted=0\ntookback=0\n"
                               "moves=c1 c1 c1\n"));
    EXPECT_EQ(form->Game().GameState, gsNotStarted);
    EXPECT_TRUE(form->Advice->Mark()->Text().contains("dropped"))
        << form->Advice->Mark()->Text().toStdString();
    form->CloseWithoutQuestions();
    EXPECT_TRUE(IniText().contains("[keptgame]\nversion=\n")) << IniText().toStdString();
}

} // namespace
