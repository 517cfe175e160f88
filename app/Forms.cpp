#include "app/Forms.h"

#include "app/main.h"
#include "dialogs/StatisticsDlg.h"
#include "dialogs/YesNoDlg.h"
#include "dialogs/HighscoreDialog.h"
#include "dialogs/okDlg.h"
#include "dialogs/OptionsDialog.h"

namespace {

void MakeDialogs(TMainform* mainform) {
    auto* highscore = new THighscoreDlg(mainform, mainform->ini, mainform->HighscoreCipher,
                                        mainform->Session.Game().Level, mainform->Bitmaps);
    auto* ok = new TOKDialog(mainform, mainform->Bitmaps);
    auto* yesNo = new TYesNoDialog(mainform, mainform->Bitmaps);
    auto* multi = new TOptionsDialog(mainform, *mainform, mainform->Bitmaps);
    mainform->SetDialogs(highscore, ok, yesNo, multi);
    auto* statistics = new TStatisticsDlg(mainform, mainform->ini, *yesNo, mainform->Bitmaps);
    mainform->SetStatisticsDialog(statistics);
    highscore->OnStatistics = [statistics] { statistics->ShowModal(); };
}

} // namespace

TMainform* CreateForms(const QString& settingsPath, const TStartOptions& start) {
    auto* mainform = new TMainform(settingsPath, start);
    mainform->SetDialogMaker([mainform] { MakeDialogs(mainform); });
    return mainform;
}
