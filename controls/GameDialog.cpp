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
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
