// What a screen reader reads from the running main window, through Qt's own QAccessible API:
// names, roles, states and values of the toolbar, the board's cards and score, the patterns,
// the dialogs' texts, and the events that announce what happened.
#include "AppFixture.h"

#include "app/Accessibility.h"
#include "app/Advice.h"
#include "app/Keys.h"
#include "game/Solver.h"
#include "dialogs/HighscoreDialog.h"
#include "tests/support/ScopedValue.h"
#include "texts/Language.h"

#include <QAccessible>
#include <QApplication>
#include <QAccessibleValueInterface>
#include <QDialog>
#include <QTest>

#include <functional>

namespace {

using Access = AppFixture;

QAccessibleInterface* Of(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

// Every interface below root, depth first, as a screen reader walks the tree.
void Walk(QAccessibleInterface* root, const std::function<void(QAccessibleInterface*)>& visit) {
    if (!root) return;
    visit(root);
    for (int i = 0; i < root->childCount(); ++i) Walk(root->child(i), visit);
}

QAccessibleInterface* FindByName(QAccessibleInterface* root, const QString& name, QAccessible::Role role) {
    QAccessibleInterface* found = nullptr;
    Walk(root, [&](QAccessibleInterface* i) {
        if (!found && i->role() == role && i->text(QAccessible::Name) == name) found = i;
    });
    return found;
}

// The status line, the board's last child, which says what happened, and the notice in the
// window that speaks it.
QString Announced(TMainform* f) {
    QAccessibleInterface* board = Of(f->box);
    QAccessibleInterface* status = board->child(board->childCount() - 1);
    EXPECT_EQ(status->role(), QAccessible::StatusBar);
    QAccessibleInterface* notice = nullptr;
    Walk(Of(f), [&](QAccessibleInterface* i) {
        if (i->role() == QAccessible::Notification) notice = i;
    });
    if (!notice) {
        ADD_FAILURE() << "no notification in the window";
        return QString();
    }
    EXPECT_EQ(notice->text(QAccessible::Name), status->text(QAccessible::Name));
    return status->text(QAccessible::Name);
}

TEST_F(Access, TheToolbarIsEightNamedPushButtonsWithTheirTrueStates) {
    Start();
    QAccessibleInterface* window = Of(form);
    const char* names[] = {"New game", "Give up", "Pause", "Highscores", "Options", "Info", "Help", "Exit"};
    for (const char* name : names) {
        QAccessibleInterface* b = FindByName(window, QString::fromLatin1(name), QAccessible::Button);
        ASSERT_TRUE(b) << name;
        EXPECT_FALSE(b->state().invisible) << name;
        EXPECT_FALSE(b->text(QAccessible::Description).isEmpty()) << name;
    }
    QAccessibleInterface* giveUp = Of(form->ToolButton(TTool::GiveUp));
    EXPECT_EQ(giveUp->text(QAccessible::Description), form->ToolButton(TTool::GiveUp)->Hint());
    // Before the game starts give-up and pause cannot be pressed, and say so.
    EXPECT_TRUE(giveUp->state().disabled);
    EXPECT_TRUE(Of(form->ToolButton(TTool::Pause))->state().disabled);
    EXPECT_FALSE(Of(form->ToolButton(TTool::Mix))->state().disabled);
    QTest::keyClick(form, Qt::Key_P); // nothing: not started
    QTest::keyClick(form, Qt::Key_1);
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_FALSE(giveUp->state().disabled);
    EXPECT_FALSE(Of(form->ToolButton(TTool::Pause))->state().disabled);

    // The press action is the button's click.
    Of(form->ToolButton(TTool::Pause))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(form->Game().GameState, gsPaused);
    EXPECT_TRUE(Of(form->ToolButton(TTool::Mix))->state().disabled);

    const TScopedValue german(Language, 1);
    form->ApplyMainTexts();
    EXPECT_TRUE(FindByName(window, "Aufgeben", QAccessible::Button));
    EXPECT_TRUE(FindByName(window, "Beenden", QAccessible::Button));
}

// The window is a frame a screen reader finds by its title; the keyboard's mark is the focus a
// screen reader follows, on the board, on the score and on the toolbar, and only while the
// window has the focus; a lifted card shows in the tree while it is in hand.
TEST_F(Access, TheWindowIsANamedFrameAndTheMarkIsItsFocus) {
    Start();
    QAccessibleInterface* window = Of(form);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), form->windowTitle());
    QApplication::setActiveWindow(form);
    QTRY_VERIFY(form->isActiveWindow());
    SetTable("r2 g4 b9 v13", {{"r3", "g6"}, {"r5"}, {"r7"}, {"r8"}, {"r10"}});

    QAccessibleInterface* board = Of(form->box);
    QAccessibleInterface* score = board->child(0);
    QAccessibleInterface* stack1 = FindByName(window, "red 3", QAccessible::Graphic);
    ASSERT_TRUE(stack1);
    EXPECT_TRUE(stack1->state().focusable);
    EXPECT_FALSE(stack1->state().focused); // no mark before the first key
    QTest::keyClick(form, Qt::Key_Tab);    // shows the mark on the stacks
    EXPECT_TRUE(stack1->state().focused);
    for (int i = 0; i < 3; ++i) QTest::keyClick(form, Qt::Key_Tab); // row, patterns, score
    EXPECT_EQ(form->Keys->Group(), TFocusGroup::Score);
    EXPECT_TRUE(score->state().focused);
    EXPECT_FALSE(stack1->state().focused);
    EXPECT_EQ(score->text(QAccessible::Name), "Score: " + QString::number(form->Game().Score));
    QTest::keyClick(form, Qt::Key_Tab); // the toolbar
    EXPECT_TRUE(Of(form->ToolButton(TTool::Mix))->state().focused);
    EXPECT_FALSE(Of(form->ToolButton(TTool::GiveUp))->state().focused);
    EXPECT_FALSE(score->state().focused);

    // While a dialog has the focus, nothing on the main window claims it.
    dialogs.Expect("TYesNoDialog", [&](QDialog* d) {
        QApplication::setActiveWindow(d);
        EXPECT_FALSE(Of(form->ToolButton(TTool::Mix))->state().focused);
        PressButton(d, "NoBtn", mrNo);
    });
    QTest::keyClick(form, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.Seen.contains("TYesNoDialog"));

    // The card in hand is in the tree while it is held, and only then.
    QApplication::setActiveWindow(form);
    QTRY_VERIFY(form->isActiveWindow());
    QTest::keyClick(form, Qt::Key_1);
    QAccessibleInterface* hand = FindByName(window, "red 3 in hand", QAccessible::Graphic);
    ASSERT_TRUE(hand);
    EXPECT_FALSE(hand->state().invisible);
    EXPECT_EQ(hand->text(QAccessible::Description), "from stack 1");
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_TRUE(hand->state().invisible);
}

struct CardNameCase {
    int language;
    const char* red3, *row1, *stack1, *joker, *violet13, *score;
};

class CardNames : public AppFixture, public ::testing::WithParamInterface<CardNameCase> {};

TEST_P(CardNames, RowAndStacksAreNamedByTheirCards) {
    const CardNameCase& c = GetParam();
    Start();
    const TScopedValue language(Language, c.language);
    form->ApplyMainTexts();
    SetTable("r2 J b9 v13", {{"r3", "g6"}, {"v13"}, {}, {"r8"}, {"r10"}});
    QAccessibleInterface* window = Of(form);
    EXPECT_TRUE(FindByName(window, QString::fromUtf8(c.joker), QAccessible::Graphic));
    QAccessibleInterface* violet = FindByName(window, QString::fromUtf8(c.violet13), QAccessible::Graphic);
    ASSERT_TRUE(violet);

    QTest::keyClick(form, Qt::Key_1);
    QTest::keyClick(form, Qt::Key_2); // onto the joker
    QAccessibleInterface* dropped = FindByName(window, QString::fromUtf8(c.red3), QAccessible::Graphic);
    ASSERT_TRUE(dropped);
    EXPECT_EQ(dropped->text(QAccessible::Description), QString::fromUtf8(c.row1));
    // The stack under it now shows its next card.
    QAccessibleInterface* board = Of(form->box);
    QAccessibleInterface* stack = nullptr;
    for (int i = 0; i < board->childCount(); ++i)
        if (board->child(i)->text(QAccessible::Description) == QString::fromUtf8(c.stack1)) stack = board->child(i);
    ASSERT_TRUE(stack);
    EXPECT_EQ(stack->role(), QAccessible::Graphic);

    form->Game().Score = 123;
    QAccessibleInterface* score = FindByName(window, QString::fromUtf8(c.score) + " 123", QAccessible::StaticText);
    ASSERT_TRUE(score);
    // It only reads: no value a screen reader would offer to step up or down.
    EXPECT_FALSE(score->valueInterface());
    EXPECT_TRUE(score->state().readOnly);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, CardNames,
    ::testing::Values(CardNameCase{0, "red 3", "row position 2", "stack 1, 1 card", "joker", "violet 13", "Score:"},
                      CardNameCase{1, "rot 3", "Reihenplatz 2", "Stapel 1, 1 Karte", "Joker", "violett 13",
                                   "Punkte:"}),
    [](const ::testing::TestParamInfo<CardNameCase>& i) { return i.param.language == 1 ? "German" : "English"; });

TEST_F(Access, PatternsSayTheirStateAndPoints) {
    Start();
    SetTable("r4 g4 b9 v13", {{"r3"}, {"r5"}, {"r7"}, {"r8"}, {"r10"}});
    int offered = -1;
    for (int i = 1; i <= form->Game().PatternCount; ++i)
        if (IsOffered(form->Game().PatternState[i])) offered = i;
    ASSERT_GT(offered, 0);
    QAccessibleInterface* p = Of(form->PatternShapes[size_t(offered)]);
    EXPECT_EQ(p->role(), QAccessible::Button);
    EXPECT_EQ(p->text(QAccessible::Name), QString::fromUtf8(PatternName(form->Game().PatternIds[offered], 0)));
    const QString points = QString::number(ClaimValue(form->Game(), offered)) + " points";
    EXPECT_EQ(p->text(QAccessible::Description), "offered, " + points);
    EXPECT_FALSE(p->state().disabled);
    // A pattern not in play at this level is not there for a screen reader.
    EXPECT_TRUE(Of(form->PatternShapes[18])->state().invisible);

    form->TimerTimer(); // the announcer's first look only learns the board
    p->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(p->text(QAccessible::Description), "claimed");
    EXPECT_TRUE(p->state().checked);
    form->TimerTimer();
    EXPECT_EQ(Announced(form), "Claimed: " + p->text(QAccessible::Name) + ", " + points + ". Score: " +
                                   QString::number(form->Game().Score));
}

TEST_F(Access, DropsOffersAndTheEndAreAnnounced) {
    Start();
    SetTable("r2 g4 b9 v13", {{"r4"}, {}, {}, {}, {}});
    form->TimerTimer(); // the first look only learns the board
    QTest::keyClick(form, Qt::Key_1);
    dialogs.Expect("TOKDialog", Press("YesBtn", 2));
    QTest::keyClick(form, Qt::Key_1); // r4 g4 b9 v13 offers a pair, and the stacks are empty: lost
    EXPECT_EQ(form->Game().GameState, gsLost);
    const QString said = Announced(form);
    EXPECT_TRUE(said.startsWith("red 4 on row position 1, covers red 2. Offered: ")) << said.toStdString();
    EXPECT_TRUE(said.endsWith(". Lost. Score: " + QString::number(form->Game().Score))) << said.toStdString();
}

// What each move says, once, in the player's language.
struct NewsCase {
    const char* name;
    int language;
    std::vector<Qt::Key> keys;
    const char* said;
};

class News : public AppFixture, public ::testing::WithParamInterface<NewsCase> {};

TEST_P(News, EachMoveIsSaidOnce) {
    const NewsCase& c = GetParam();
    Start();
    const TScopedValue language(Language, c.language);
    form->ApplyMainTexts();
    SetTable("r2 g4 b9 v13", {{"r3", "g6"}, {"r5"}, {"r7"}, {"r8"}, {"r10"}});
    form->TimerTimer(); // the first look only learns the board
    for (Qt::Key k : c.keys) QTest::keyClick(form, k);
    EXPECT_EQ(Announced(form), QString::fromUtf8(c.said));
    // Nothing new: nothing more is said, however often the clock ticks.
    form->News->Tell("-");
    form->TimerTimer();
    form->TimerTimer();
    EXPECT_EQ(Announced(form), "-");
}

INSTANTIATE_TEST_SUITE_P(
    Moves, News,
    ::testing::Values(NewsCase{"Lift", 0, {Qt::Key_1}, "red 3 in hand, from stack 1"},
                      NewsCase{"PutBack", 0, {Qt::Key_1, Qt::Key_Escape}, "red 3 back on stack 1"},
                      NewsCase{"Drop", 0, {Qt::Key_2, Qt::Key_3}, "red 5 on row position 3, covers blue 9"},
                      NewsCase{"Pause", 0, {Qt::Key_1, Qt::Key_Escape, Qt::Key_P}, "Paused"},
                      NewsCase{"Resume", 0, {Qt::Key_1, Qt::Key_Escape, Qt::Key_P, Qt::Key_P}, "Resumed"},
                      NewsCase{"GermanLift", 1, {Qt::Key_1}, "rot 3 in der Hand, von Stapel 1"},
                      NewsCase{"GermanDrop", 1, {Qt::Key_2, Qt::Key_3}, "rot 5 auf Reihenplatz 3, deckt blau 9"},
                      NewsCase{"GermanPause", 1, {Qt::Key_1, Qt::Key_Escape, Qt::Key_P}, "Pause"}),
    [](const ::testing::TestParamInfo<NewsCase>& i) { return std::string(i.param.name); });

// A hint changes nothing on the board: the status line says it in words as the frame flashes,
// and keeps saying it until something happens.
TEST_F(Access, AHintIsSaidOnTheStatusLine) {
    Start();
    SetTable("r7 g7 b7 v2", {{"r3", "g9"}, {"r2", "v7"}, {"b12"}});
    form->TimerTimer(); // the first look only learns the board
    const SolverMove best = Solve(form->Game()).Moves.front();
    const TScopedValue keepLanguage(Language);
    for (const int language : {0, 1}) {
        Language = language;
        form->ApplyMainTexts();
        QTest::keyClick(form, Qt::Key_H);
        form->Advice->HintRunner().Wait();
        QTRY_COMPARE(Announced(form), HintText(best, form->Game()));
        EXPECT_TRUE(Announced(form).startsWith(language ? "Tipp: " : "Hint: ")) << Announced(form).toStdString();
        form->TimerTimer();
        EXPECT_EQ(Announced(form), HintText(best, form->Game()));
    }
}

TEST_F(Access, DialogsExposeTheirTextsAndTheHighscoreRows) {
    Start();
    dialogs.Expect("TYesNoDialog", [](QDialog* d) {
        QAccessibleInterface* i = Of(d);
        EXPECT_EQ(i->text(QAccessible::Description), "Do you really want to exit the game?");
        EXPECT_TRUE(FindByName(i, "exit the game?", QAccessible::StaticText));
        EXPECT_TRUE(FindByName(i, "Yes", QAccessible::Button));
        EXPECT_TRUE(FindByName(i, "No", QAccessible::Button));
        PressButton(d, "NoBtn", mrNo);
    });
    QTest::keyClick(form, Qt::Key_Q, Qt::ControlModifier);
    dialogs.Expect("THighscoreDlg", [](QDialog* d) {
        QAccessibleInterface* i = Of(d);
        QStringList rows;
        Walk(i, [&](QAccessibleInterface* c) {
            if (c->role() == QAccessible::ListItem) rows << c->text(QAccessible::Name);
        });
        EXPECT_EQ(rows.size(), 15);
        EXPECT_EQ(rows.value(0), "1. Mr. Brain, 0");
        PressButton(d, "CancelBtn", 1);
    });
    QTest::keyClick(form, Qt::Key_H, Qt::ControlModifier);
}

} // namespace
