// Zelvano: the program entry. Makes the windows in their order and runs until the main
// window closes, or until the desktop ends the game.

#include "app/CommandLine.h"
#include "app/DesktopEnd.h"
#include "app/DisplayPlatform.h"
#include "app/Forms.h"
#include "app/StartReport.h"
#include "app/main.h"
#include "board/PaintBox.h"
#include "controls/HintBalloon.h"
#include "dialogs/StoreMessageBox.h"
#include "media/Media.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    // Read before anything needs a display: --help, --version and mistakes answer on the
    // terminal alone.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const TCommandLine line = ParseCommandLine(arguments, TIniStore::DefaultPath());
    if (line.Action != TCommandLine::TAction::Play) return ReportCommandLine(line);

    SelectDisplayPlatform();
    BeginDisplayCheck();
    QApplication app(argc, argv);
    EndDisplayCheck();
    QApplication::setApplicationName(QStringLiteral("Zelvano"));
    QApplication::setOrganizationName(QStringLiteral("Moxelware"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/zelvano.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zelvano.Zelvano"));
    InstallHintBalloons(app);
    InstallStoreMessageBox();

    // Installed before the windows are made: a message about the settings file may already
    // wait for an answer while they are.
    TMainform* mainform = nullptr;
    bool ended = false;
    const auto endGame = [&mainform, &ended] {
        ended = true;
        if (mainform)
            mainform->CloseWithoutQuestions();
        QCoreApplication::exit(0); // also ends the loop of any dialog that is open
    };
    InstallDesktopEndHandlers(app, endGame);
    mainform = CreateForms(TIniStore::DefaultPath(), line.Start);
    int result = 0;
    if (!ended) { // ended while the windows were made: nothing changed yet, nothing to write
        ReportFirstPaint(mainform->box);
        EndWhenWindowDestroyed(*mainform, endGame);
        mainform->show();
        result = app.exec();
    }
    delete mainform;
    CloseAudio();
    return result;
}
