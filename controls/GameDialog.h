#pragma once
// What every modal window of the game shares: no frame of the window system; only its own
// picture buttons answer it (Enter, Return and Escape press nothing, and a close request from
// outside is refused); and FormActivate runs before it appears and whenever it becomes active
// again, so it is always placed over the main window and speaks the current language.

#include <QDialog>

class TGameDialog : public QDialog {
    Q_OBJECT
public:
    TGameDialog(QWidget* mainform, QSize clientSize);

    virtual void FormActivate() = 0;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override {}

    QWidget* m_mainform;
};
