#include "dialogs/YesNoDlg.h"

#include "controls/jetButton.h"
#include "texts/Language.h"
#include "texts/WindowTexts.h"

TYesNoDialog::TYesNoDialog(QWidget* mainform, const TImageList& bitmaps) : TMessageDialog(mainform, bitmaps) {
    NoBtn = new TJetButton(this);
    NoBtn->setObjectName(QStringLiteral("NoBtn"));
    NoBtn->LoadPictures(QStringLiteral("no"));
    NoBtn->SetBounds(200, 98, 50, 50);
    connect(YesBtn, &TJetButton::OnClick, this, &TYesNoDialog::YesBtnClick);
    connect(NoBtn, &TJetButton::OnClick, this, &TYesNoDialog::NoBtnClick);
}

const TMessage& TYesNoDialog::MessageFor(int kind) { return QuestionMessage(kind); }

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
    YesBtn->SetHint(QuestionText(TQuestionText::Yes));
    NoBtn->SetHint(QuestionText(TQuestionText::No));
}
