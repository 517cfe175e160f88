#pragma once
// Makes the program's windows: the main window now, and the dialogs the first time the main
// window needs one of them, all together in their order: the highscore dialog (which reads the
// main window's store while it is made), the notice, the question, the options dialog and the
// statistics. Most starts open no dialog for a long while, and making them with their pictures
// cost the first frame several milliseconds and the game some megabytes it did not use. The
// dialogs belong to the main window and go with it.

#include "app/CommandLine.h"

#include <QString>

class TMainform;

// start: how the first game begins (from the command line).
TMainform* CreateForms(const QString& settingsPath, const TStartOptions& start = {});
