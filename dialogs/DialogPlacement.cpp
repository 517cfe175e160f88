#include "dialogs/DialogPlacement.h"

#include <QWidget>

void PlaceOverMainWindow(QWidget* dialog, const QWidget* mainform) {
    if (!dialog || !mainform)
        return;
    const QRect main = mainform->frameGeometry();
    // C++ division truncates toward zero, also for a dialog wider than the main window.
    const int left = main.left() + (main.width() - dialog->width()) / 2;
    const int top = main.top() + (main.height() - dialog->height()) / 2 - 2;
    dialog->move(left, top);
}
