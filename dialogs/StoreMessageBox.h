#pragma once
// The settings store's messages for the player, in a message box.

#include <QString>

// Shows the message over the active window and waits for OK; does nothing without a widget
// application or on the "offscreen" platform, where no one could answer it.
void ShowStoreMessage(const QString& message);

// Makes every settings store of the program show its messages so.
void InstallStoreMessageBox();
