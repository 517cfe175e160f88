#pragma once
// Makes the program's windows in their order: the main window, then the highscore dialog
// (which reads the main window's store while it is made), the notice, the question and the
// options dialog. The dialogs belong to the main window and go with it.

#include "app/CommandLine.h"

#include <QString>

class TMainform;

// start: how the first game begins (from the command line).
TMainform* CreateForms(const QString& settingsPath, const TStartOptions& start = {});
