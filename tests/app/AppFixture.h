#pragma once
// The real main window with its real dialogs, offscreen, fed real mouse events. Modal
// dialogs are answered from a queue as they appear.

#include "app/PatternShape.h"
#include "app/main.h"
#include "board/PaintBox.h"
#include "controls/GameDialog.h"
#include "controls/jetButton.h"
#include "tests/support/DialogWatcher.h"

#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

class QDialog;

class DialogAnswers : public TDialogWatcher {
public:
    // Each dialog that opens takes the next answer; the class name is recorded.
    void Expect(const char* className, std::function<void(QDialog*)> answer);
    QStringList Seen;
    bool Pending() const { return !m_queue.empty(); }

private:
    void Answer(QDialog* dialog) override;
    struct Entry {
        QString className;
        std::function<void(QDialog*)> answer;
    };
    std::deque<Entry> m_queue;
};

// How long a test waits for the par, searched in the background. It takes about a second in a
// normal build, but a sanitizer build on a busy machine needs minutes; the wait ends as soon as
// the par is in.
inline constexpr int ParPatienceMs = 300'000;

// Presses the named bitmap button of a dialog (or ends it with fallback when it has none).
void PressButton(QDialog* dialog, const char* name, int fallback);
inline auto Press(const char* name, int fallback) {
    return [name, fallback](QDialog* d) { PressButton(d, name, fallback); };
}

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the window; with storedLanguage false the first start asks for the language.
    void Start(bool storedLanguage = true, const QString& extraSettings = QString());

    // Real mouse events through the window, so they reach whatever lies under the point.
    void MouseDown(QPoint p, Qt::MouseButton button = Qt::LeftButton);
    void MouseMove(QPoint p);
    void MouseUp(QPoint p, Qt::MouseButton button = Qt::LeftButton);
    // Presses the top card of a stack at its centre, moves to the centre of a row position, lets go.
    void DragToRow(int stack, int position, Qt::MouseButton button = Qt::LeftButton);
    void ClickPattern(int position);
    void ClickButton(TJetButton* button);

    // Lays a known table on the board: row as text ("r5 g5 b9 J"), each stack top card first.
    void SetTable(const char* row, const std::vector<std::vector<const char*>>& stacksTopFirst);

    QImage CanvasRegion(const QRect& r) const { return form->Canvas.Image.copy(r); }
    QString IniText() const;

    std::unique_ptr<QTemporaryDir> dir;
    QString iniPath;
    TMainform* form = nullptr;
    DialogAnswers dialogs;
    QStringList sounds;
    QList<int> delays;
};
