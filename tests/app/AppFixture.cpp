#include "AppFixture.h"

#include "../game/RowText.h"
#include "app/Forms.h"
#include "controls/jetButton.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTest>
#include <QTimer>

void DialogAnswers::Expect(const char* className, std::function<void(QDialog*)> answer) {
    m_queue.push_back({QString::fromLatin1(className), std::move(answer)});
}

void DialogAnswers::Answer(QDialog* dialog) {
    const QString name = QString::fromLatin1(dialog->metaObject()->className());
    Seen << name;
    if (m_queue.empty()) {
        ADD_FAILURE() << "unexpected dialog " << name.toStdString();
        dialog->done(name == QLatin1String("TYesNoDialog") ? mrNo : 0);
        return;
    }
    Entry e = m_queue.front();
    m_queue.pop_front();
    EXPECT_EQ(name, e.className);
    e.answer(dialog);
}

void PressButton(QDialog* dialog, const char* name, int fallback) {
    if (auto* b = dialog->findChild<TJetButton*>(QString::fromLatin1(name))) {
        emit b->OnClick();
        if (!dialog->isVisible()) return;
    }
    dialog->done(fallback);
}

void AppFixture::SetUp() {
    dir = std::make_unique<QTemporaryDir>();
    iniPath = dir->path() + QStringLiteral("/V1.ini");
    qApp->installEventFilter(&dialogs);
}

void AppFixture::Start(bool storedLanguage, const QString& extraSettings) {
    QFile f(iniPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[common]\n");
    if (storedLanguage) f.write("tongue=0\n");
    f.write(extraSettings.toUtf8());
    f.close();
    form = CreateForms(iniPath);
    form->Timer->stop(); // tests drive the clock themselves
    form->OnSound = [this](const QString& n) { sounds << n; };
    form->OnDelay = [this](int ms) { delays << ms; };
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    QTest::qWait(20); // the first-show handler runs from the event loop
    form->resize(700, 500);
    QTest::qWait(10);
    ASSERT_EQ(form->box->size(), QSize(700, 500));
}

void AppFixture::TearDown() {
    qApp->removeEventFilter(&dialogs);
    EXPECT_FALSE(dialogs.Pending()) << "a dialog that was expected never opened";
    delete form;
}

void AppFixture::MouseDown(QPoint p, Qt::MouseButton button) {
    QTest::mousePress(form->windowHandle(), button, Qt::NoModifier, p);
}

void AppFixture::MouseMove(QPoint p) { QTest::mouseMove(form->windowHandle(), p); }

void AppFixture::MouseUp(QPoint p, Qt::MouseButton button) {
    QTest::mouseRelease(form->windowHandle(), button, Qt::NoModifier, p);
}

void AppFixture::DragToRow(int stack, int position, Qt::MouseButton button) {
    const QPoint from = form->Board.Layout.StackTopRect(stack).center();
    const QPoint to = form->Board.Layout.RowRect(position).center();
    MouseDown(from, button);
    MouseMove((from + to) / 2);
    MouseMove(to);
    MouseUp(to, button);
}

void AppFixture::ClickPattern(int position) {
    const QPoint p = form->Board.Layout.PatternRect(position).center();
    MouseDown(p);
    MouseUp(p);
}

void AppFixture::ClickButton(TJetButton* button) {
    const QPoint p = button->geometry().center();
    MouseDown(p);
    MouseUp(p);
}

void AppFixture::SetTable(const char* row, const std::vector<std::vector<const char*>>& stacks) {
    form->Game().Row = RowFromText(row);
    form->Game().JokerPos = FindJoker(form->Game().Row);
    for (int s = 0; s < StackTotal; ++s) {
        const auto& cards = s < static_cast<int>(stacks.size()) ? stacks[s] : std::vector<const char*>{};
        form->Game().StackCount[s] = static_cast<int>(cards.size());
        for (size_t k = 0; k < cards.size(); ++k)
            form->Game().Stacks[s][cards.size() - 1 - k] = CardFromText(cards[k]);
    }
    for (int i = 1; i <= form->Game().PatternCount; ++i) form->Game().PatternState[i] = TPatternState::Open;
    form->Session.Evaluate();
    form->boxPaint();
}

QString AppFixture::IniText() const {
    QFile f(iniPath);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}
