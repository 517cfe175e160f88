#pragma once
// What every modal window of the game shares: no frame of the window system; a close request
// from outside is refused, so only the window's own answers end it: its picture buttons, and
// the keys each window gives the same meaning (Enter the default answer, Escape the cautious
// one, letters where a window has them); and FormActivate runs before it appears and whenever
// it becomes active again, so it is always placed over the main window and speaks the
// current language.

#include <QDialog>

// What a game window's modal loop ends with (QDialog::done, QDialog::result): the values the
// windows have always answered with.
enum TModalResult {
    mrCancel = 2, // the message window's OK: closing it is its only answer
    mrYes = 6,
    mrNo = 7,
};

class TGameDialog : public QDialog {
    Q_OBJECT
public:
    TGameDialog(QWidget* mainform, QSize clientSize);

    virtual void FormActivate() = 0;

    // Enter and Return: the default answer (yes, or OK). Nothing unless a window says so.
    virtual void DefaultAnswer() {}
    // Escape: no, or the only answer there is.
    virtual void CancelAnswer() {}
    // A bare letter key (Qt::Key_A .. Qt::Key_Z); true when the window took it as an answer.
    virtual bool LetterAnswer(int) { return false; }

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override {}

    QWidget* m_mainform;
};
