// Zelvano: the program entry. Makes the windows in their order and runs until the main
// window closes.

#include "app/main.h"
#include "controls/HintBalloon.h"
#include "dialogs/YesNoDlg.h"
#include "dialogs/highscor.h"
#include "dialogs/okDlg.h"
#include "settings/Media.h"
#include "settings/qxmulti.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelvano"));
    QApplication::setOrganizationName(QStringLiteral("Moxelware"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/zelvano.svg")));
    InstallHintBalloons(app);

    // The main window first: the highscore dialog reads the main window's store while it is made.
    auto* mainform = new TMainform();
    auto* highscore = new THighscoreDlg(mainform, mainform->ini, mainform->HighscoreCipher, mainform->Level,
                                        mainform->Bitmaps);
    auto* ok = new TOKDialog(mainform, mainform->Bitmaps);
    auto* yesNo = new TYesNoDialog(mainform, mainform->Bitmaps);
    auto* multi = new TqxMultiDlg(mainform, *mainform, mainform->Bitmaps);
    mainform->SetDialogs(highscore, ok, yesNo, multi);

    mainform->show();
    const int result = app.exec();
    delete mainform; // the dialogs go with it
    CloseAudio();
    return result;
}
