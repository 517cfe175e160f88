#include "dialogs/YesNoDlg.h"

#include "controls/jetButton.h"
#include "texts/Language.h"

#include <array>

namespace {

constexpr std::array<TMessagePair, 3> Questions = {{
    {{{"Willst Du das Spiel", 20, 12}, {"wirklich beenden?", 40, 12}},
     {{"Do you really want to", 20, 12}, {"exit the game?", 40, 12}}},
    {{{"Willst Du die Partie", 20, 12}, {"wirklich aufgeben?", 40, 12}},
     {{"Do you really want to", 20, 12}, {"give up then game?", 40, 12}}},
    {{{"Willst Du die Statistik", 20, 12}, {"wirklich löschen?", 40, 12}},
     {{"Do you really want to", 20, 12}, {"reset the statistics?", 40, 12}}},
}};

} // namespace

TYesNoDialog::TYesNoDialog(QWidget* mainform, const TImageList& bitmaps) : TMessageDialog(mainform, bitmaps) {
    NoBtn = new TJetButton(this);
    NoBtn->setObjectName(QStringLiteral("NoBtn"));
    NoBtn->LoadPictures(QStringLiteral("no"));
    NoBtn->SetBounds(200, 98, 50, 50);
    connect(YesBtn, &TJetButton::OnClick, this, &TYesNoDialog::YesBtnClick);
    connect(NoBtn, &TJetButton::OnClick, this, &TYesNoDialog::NoBtnClick);
}

const TMessage& TYesNoDialog::MessageFor(int kind) {
    if (kind < 1 || kind > int(Questions.size()))
        return NoMessage;
    const TMessagePair& pair = Questions[size_t(kind - 1)];
    return IsGerman() ? pair.German : pair.English;
}

int TYesNoDialog::ShowModal(int kind) {
    SetLines(MessageFor(kind));
    m_result = exec();
    return m_result;
}

void TYesNoDialog::YesBtnClick() { done(mrYes); }

void TYesNoDialog::NoBtnClick() { done(mrNo); }

bool TYesNoDialog::LetterAnswer(int key) {
    if (key == (IsGerman() ? Qt::Key_J : Qt::Key_Y)) {
        YesBtnClick();
        return true;
    }
    if (key == Qt::Key_N) {
        NoBtnClick();
        return true;
    }
    return false;
}

void TYesNoDialog::FormActivate() {
    TMessageDialog::FormActivate();
    YesBtn->SetHint(IsGerman() ? QStringLiteral("Ja") : QStringLiteral("Yes"));
    NoBtn->SetHint(IsGerman() ? QStringLiteral("Nein") : QStringLiteral("No"));
}
