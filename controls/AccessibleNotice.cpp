#include "controls/AccessibleNotice.h"

#include <QAccessible>

TNotice::TNotice(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("notice"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    // Kept hidden: a widget shown with its window tells a screen reader so, which would read
    // out an empty notification each time the window opens.
    hide();
}

void TNotice::Say(const QString& text) {
    m_last = text;
    if (!QAccessible::isActive()) return; // nobody is listening
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
