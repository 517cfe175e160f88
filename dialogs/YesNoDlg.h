#pragma once
// The yes/no question window: the message window of okDlg with a yes and a no button.

#include "dialogs/okDlg.h"

class TYesNoDialog : public TMessageDialog {
    Q_OBJECT
public:
    TYesNoDialog(QWidget* mainform, const TImageList& bitmaps);

    TJetButton* NoBtn = nullptr;

    // Shows question kind (1 exit, 2 give up, 3 reset the statistics; any other kind two empty lines) in the current
    // language and waits for a button; the answer is ModalResult() afterwards.
    int ShowModal(int kind);
    // mrYes or mrNo; 0 before the first answer.
    int ModalResult() const { return m_result; }

    void YesBtnClick();
    void NoBtnClick();
    void DefaultAnswer() override { YesBtnClick(); }
    void CancelAnswer() override { NoBtnClick(); }
    // Y or N, in German J or N.
    bool LetterAnswer(int key) override;
    // Placement, and the button hints in the current language.
    void FormActivate() override;

    static const TMessage& MessageFor(int kind);

private:
    int m_result = 0;
};
