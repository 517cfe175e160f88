#pragma once
// What a screen reader learns about the game's own controls: the bitmap buttons are push
// buttons named by what they do (their accessible name, or else their hint), described by
// their hint and disabled when switched off; the decorative labels are static text; the
// options page's pictures are push buttons named by their hints.

#include <QString>

class QAccessibleInterface;
class QObject;

// The factory for QAccessible::installFactory; nullptr for classes it does not know.
QAccessibleInterface* ControlsAccessibleFactory(const QString& className, QObject* object);
