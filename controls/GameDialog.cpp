#include "controls/GameDialog.h"

#include <QKeyEvent>

TGameDialog::TGameDialog(QWidget* mainform, QSize clientSize)
    : QDialog(mainform, Qt::Dialog | Qt::FramelessWindowHint), m_mainform(mainform) {
    setModal(true);
    setFixedSize(clientSize);
    setWindowTitle(QStringLiteral("Zelvano"));
    setFocusPolicy(Qt::NoFocus);
}

void TGameDialog::showEvent(QShowEvent* event) {
    FormActivate(); // before the first frame, so the window never flashes up elsewhere
    QDialog::showEvent(event);
}

bool TGameDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QDialog::event(event);
}

void TGameDialog::keyPressEvent(QKeyEvent* event) {
    // A key still held from the main window (the Enter that pressed the exit button) must not
    // answer the question it opened.
    const bool fresh = !event->isAutoRepeat();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (fresh) DefaultAnswer();
        return;
    case Qt::Key_Escape:
        event->accept();
        if (fresh) CancelAnswer();
        return;
    default:
        if (event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z &&
            !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            if (fresh && LetterAnswer(event->key())) {
                event->accept();
                return;
            }
        }
        QDialog::keyPressEvent(event);
    }
}
