#pragma once
// The options and info dialog: one frameless window with three pages on the same surface, the
// info page, the options page (language, sound, music, background, skill level) and the
// language page of the very first start. Every change but the skill level reaches the main
// window at once, through TOptionsHost; the skill level is only carried in DialogLevel, for the
// main window to apply after the dialog has closed (it deals a new game).

#include "controls/GameDialog.h"

#include <optional>
#include <utility>

class TBevelPanel;
class TDecorLabel;
class TFormFill;
class TFrameShape;
class TImageList;
class TJetButton;
class TOptionsHost;
class TPictureControl;
class TFocusFrame;
class TNotice;

// The dialog's three pages.
enum class TOptionsPage { Info, Options, Language };

class TOptionsDialog : public TGameDialog {
    Q_OBJECT
  public:
    static constexpr int ClientWidth = 410;
    static constexpr int ClientHeight = 460;
    static constexpr int BackgroundCount = 5;

    TOptionsDialog(QWidget* mainform, TOptionsHost& host, const TImageList& bitmaps);

    // Shows the page asked for (without one, the page shown last), then the texts, then
    // modal until the dialog closes.
    void ShowPage(std::optional<TOptionsPage> page = std::nullopt);
    // Shows the current page alone and sets its texts from the language and the host's state.
    void ApplyDialogTexts();
    // Over the main window's client area while the main window is visible, else the screen's
    // centre; runs on every activation.
    void FormActivate() override;
    // Enter and Escape close the dialog as its OK button does.
    void DefaultAnswer() override { exitClick(); }
    void CancelAnswer() override { exitClick(); }

    TOptionsPage Page = TOptionsPage::Options; // kept between openings
    int DialogLevel = 1;                       // the skill level shown on the options page

    // Click handlers.
    void TongueImgClick();
    void SoundImgClick();
    void MusicImgClick();
    void BackImgClick();
    void StrengthImgClick();
    void LImg1Click();
    void LImg2Click();
    void exitClick();
    // "Restart this deal" on the info page: closes the dialog and leaves the restart to the
    // main window, which may have to ask first.
    void RestartClick();
    // Whether the last opening ended with a restart request; clears it.
    bool TakeRestartRequest() { return std::exchange(m_restartRequested, false); }
    // The hint below the info page: closes the dialog, and the main window shows the hint.
    void HintClick();
    bool TakeHintRequest() { return std::exchange(m_hintRequested, false); }

    // Components, named as in the form.
    TFormFill* LMDFormFill1 = nullptr;
    TFrameShape* Shape1 = nullptr;
    TPictureControl* LMDLImage1 = nullptr;
    TDecorLabel* ProgLabel = nullptr;
    TDecorLabel* VersionLabel = nullptr;
    TJetButton* OKBtn = nullptr;
    TBevelPanel* InfoPanel = nullptr;
    TBevelPanel* OptionsPanel = nullptr;
    TBevelPanel* LanguagePanel = nullptr;
    // Info page.
    TDecorLabel* InfoTitle = nullptr;
    TDecorLabel* InfoVersion = nullptr;
    TDecorLabel* InfoSubtitle = nullptr;
    TPictureControl* InfoImg = nullptr;
    TDecorLabel* InfoMadeBy = nullptr;
    TDecorLabel* InfoYear = nullptr;
    TDecorLabel* InfoDeal = nullptr;
    TDecorLabel* InfoRestart = nullptr;
    TDecorLabel* InfoHint = nullptr;
    // Options page.
    TDecorLabel* OptLabel = nullptr;
    TPictureControl* TongueImg = nullptr;
    TDecorLabel* TongueLabel = nullptr;
    TPictureControl* SoundImg = nullptr;
    TDecorLabel* SoundLabel = nullptr;
    TPictureControl* MusicImg = nullptr;
    TDecorLabel* MusicLabel = nullptr;
    TPictureControl* BackImg = nullptr;
    TDecorLabel* BackLabel = nullptr;
    TPictureControl* StrengthImg = nullptr;
    TDecorLabel* Strengthlabel = nullptr;
    // Language page.
    TPictureControl* LImg1 = nullptr;
    TDecorLabel* LLbl1 = nullptr;
    TPictureControl* LImg2 = nullptr;
    TDecorLabel* LLbl2 = nullptr;

  protected:
    // Space on a picture reached with Tab presses it.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void CreateInfoPage(const TImageList& bitmaps);
    void CreateOptionsPage(const TImageList& bitmaps);
    void CreateLanguagePage(const TImageList& bitmaps);
    void NameComponents();
    void ApplyInfoTexts();
    void ApplyOptionTexts();
    void NamePictures();

    TOptionsHost& m_host;
    bool m_restartRequested = false;
    bool m_hintRequested = false;
    TFocusFrame* m_focusFrame = nullptr;
    TNotice* m_notice = nullptr; // says a picture's new value after Space
};
