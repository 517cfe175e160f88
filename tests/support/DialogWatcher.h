#pragma once
// Answers the program's modal dialogs in tests: Answer runs for every dialog window as soon as
// it is shown, from inside its own modal loop. Install it with qApp->installEventFilter.

#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>

class TDialogWatcher : public QObject {
protected:
    virtual void Answer(QDialog* dialog) = 0;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* d = qobject_cast<QDialog*>(watched); d && d->isWindow()) {
                QPointer<QDialog> guard(d);
                QTimer::singleShot(0, this, [this, guard] {
                    if (guard && guard->isVisible()) Answer(guard);
                });
            }
        }
        return false;
    }
};
