#pragma once
// The game's two small message windows share one look: a textured face in a black frame, a
// dark panel with two centred white lines, and picture buttons at the bottom right.
// TMessageDialog is that window; TOKDialog adds the OK button, TYesNoDialog (unit YesNoDlg)
// the yes and no buttons.

#include "controls/GameDialog.h"
#include "texts/Messages.h"

#include <utility>

class TBevelPanel;
class QLabel;
class TDecorLabel;
class TImageList;
class TJetButton;

// Pixel height of a font of the given size in points at 96 dpi, rounded.
int PointsToPixels(int points);

class TMessageDialog : public TGameDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 320;
    static constexpr int ClientHeight = 160;

    // Components, named as in the form.
    TBevelPanel* p6 = nullptr;
    TDecorLabel* m1 = nullptr;
    TDecorLabel* m2 = nullptr;
    TJetButton* YesBtn = nullptr;

    // Places the window over the main window.
    void FormActivate() override;

protected:
    TMessageDialog(QWidget* mainform, const TImageList& bitmaps);

    // Sets both lines, text, top and size each, so nothing of the last message survives.
    void SetLines(const TMessage& message);

};

class TOKDialog : public TMessageDialog {
    Q_OBJECT
public:
    TOKDialog(QWidget* mainform, const TImageList& bitmaps);

    // Shows notice kind (1 joker rule, 2 won, 3 lost, 4 a move taken back; any other kind two
    // empty lines) in the current language and waits until OK is pressed.
    int ShowModal(int kind);
    // A small note below the message, for the next message only (it may change while shown);
    // an empty note shows nothing.
    void SetNote(const QString& note);
    QLabel* Note = nullptr;
    // Below the note: the deal's best play offered, for the next message only.
    void OfferBestPlay(bool offered);
    QLabel* BestPlayLink = nullptr;
    static constexpr int BestPlayLinkHeight = 14;
    // Whether the message was closed to show the best play (asked once).
    bool TakeBestPlayRequest() { return std::exchange(m_bestPlayRequested, false); }
    bool LetterAnswer(int key) override;
    void okClick();
    void DefaultAnswer() override { okClick(); }
    void CancelAnswer() override { okClick(); }

    static const TMessage& MessageFor(int kind);

private:
    bool m_bestPlayRequested = false;
};
