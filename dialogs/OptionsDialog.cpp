#include "dialogs/OptionsDialog.h"

#include "controls/AccessibleNotice.h"
#include "controls/Decor.h"
#include "controls/FocusFrame.h"
#include "controls/jetButton.h"
#include "dialogs/OptionsHost.h"
#include "texts/Language.h"
#include "settings/MusicFolder.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QScreen>

namespace {

// The options and language pages' pictures are 50 x 50 with a white margin; the control is a
// pixel smaller and leaves the margin's last row and column out.
TPictureControl* MakeImage(QWidget* parent, const TImageList& bitmaps, int index, QPoint at) {
    auto* image = new TPictureControl(parent, bitmaps.Bitmap(index), bitmaps.Sharp(index));
    image->setGeometry(at.x(), at.y(), 49, 49);
    return image;
}

// (x mod n) in 0 .. n-1, also for a negative x.
int Wrap(int x, int n) {
    return ((x % n) + n) % n;
}

} // namespace

TOptionsDialog::TOptionsDialog(QWidget* mainform, TOptionsHost& host, const TImageList& bitmaps)
    : TGameDialog(mainform, QSize(ClientWidth, ClientHeight)), m_host(host) {

    LMDFormFill1 = new TFormFill(this, bitmaps.Bitmap(TImageList::Face), bitmaps.Sharp(TImageList::Face));
    Shape1 = new TFrameShape(this, 3);

    LMDLImage1 = new TPictureControl(this, bitmaps.Bitmap(TImageList::Logo), bitmaps.Sharp(TImageList::Logo));
    LMDLImage1->setGeometry(4, 12, 105, 77);

    // The title and version stand in the left column on every page, reading upwards.
    ProgLabel = MakeLabel(this, QRect(8, 103, 53, 281), 37, true);
    VersionLabel = MakeLabel(this, QRect(52, 118, 21, 266), 16, true);
    for (TDecorLabel* label : {ProgLabel, VersionLabel}) {
        label->SetDirection(TDecorLabel::Direction::Upwards);
        label->SetRelief(TDecorLabel::Relief::Raised);
    }
    ProgLabel->SetText(QStringLiteral("Zelvano"));
    // Two blanks on purpose: the label has always read so.
    VersionLabel->SetText(QStringLiteral("Version  1.1"));

    OKBtn = new TJetButton(this);
    OKBtn->LoadPictures(QStringLiteral("yes"));
    OKBtn->SetBounds(348, 396, 50, 50);
    connect(OKBtn, &TJetButton::OnClick, this, &TOptionsDialog::exitClick);

    for (TBevelPanel** page : {&InfoPanel, &OptionsPanel, &LanguagePanel}) {
        *page = new TBevelPanel(this, bitmaps.Bitmap(TImageList::Stone), bitmaps.Sharp(TImageList::Stone));
        (*page)->setGeometry(108, 12, 289, 373);
    }
    CreateInfoPage(bitmaps);
    CreateOptionsPage(bitmaps);
    CreateLanguagePage(bitmaps);
    NameComponents();
    // The pictures that change something can be reached with Tab and pressed with Space.
    m_focusFrame = new TFocusFrame(OptionsPanel);
    for (TPictureControl* image : {TongueImg, SoundImg, MusicImg, BackImg, StrengthImg, LImg1, LImg2})
        m_focusFrame->Watch(image);
    // The language page's pictures carry no hint; a screen reader names them by their lines.
    LImg1->setAccessibleName(LLbl1->Text());
    LImg2->setAccessibleName(LLbl2->Text());
    // The pictures that only show something are named by what they show.
    LMDLImage1->setAccessibleName(QStringLiteral("Zelvano"));
    InfoImg->setAccessibleName(QStringLiteral("Zelvano"));
    m_notice = new TNotice(this);
    ApplyDialogTexts();
}

void TOptionsDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        if (auto* image = qobject_cast<TPictureControl*>(focusWidget()); image && image->isVisible()) {
            event->accept();
            emit image->Clicked();
            // The focus stays on the picture, whose name now tells the new value; a screen
            // reader does not read a name change out, so it is said.
            if (image->isVisible() && image->hasFocus()) m_notice->Say(image->accessibleName());
            return;
        }
    }
    TGameDialog::keyPressEvent(event);
}

// The components answer to their names, as code that looks them up by name expects.
void TOptionsDialog::NameComponents() {
    const std::pair<QWidget*, const char*> names[] = {
        {LMDFormFill1, "LMDFormFill1"},
        {Shape1, "Shape1"},
        {LMDLImage1, "LMDLImage1"},
        {ProgLabel, "ProgLabel"},
        {VersionLabel, "VersionLabel"},
        {OKBtn, "OKBtn"},
        {InfoPanel, "p6"},
        {OptionsPanel, "p7"},
        {LanguagePanel, "p10"},
        {OptLabel, "OptLabel"},
        {TongueImg, "TongueImg"},
        {TongueLabel, "TongueLabel"},
        {SoundImg, "SoundImg"},
        {SoundLabel, "SoundLabel"},
        {MusicImg, "MusicImg"},
        {MusicLabel, "MusicLabel"},
        {BackImg, "BackImg"},
        {BackLabel, "BackLabel"},
        {StrengthImg, "StrengthImg"},
        {Strengthlabel, "Strengthlabel"},
        {LImg1, "LImg1"},
        {LLbl1, "LLbl1"},
        {LImg2, "LImg2"},
        {LLbl2, "LLbl2"},
        {InfoImg, "InfoImg"},
        {InfoDeal, "InfoDeal"},
        {InfoRestart, "InfoRestart"},
        {InfoHint, "InfoHint"},
    };
    for (const auto& [widget, name] : names)
        widget->setObjectName(QLatin1String(name));
}

void TOptionsDialog::CreateInfoPage(const TImageList& bitmaps) {
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
    InfoTitle = MakeLabel(InfoPanel, QRect(12, 28, 265, 44), 37, true, centred);
    InfoTitle->SetRelief(TDecorLabel::Relief::Raised);
    InfoTitle->SetText(QStringLiteral("Zelvano"));
    InfoVersion = MakeLabel(InfoPanel, QRect(12, 78, 265, 22), 16, true, centred);
    InfoVersion->SetText(QStringLiteral("Version 1.1"));

    // The picture is small pixel art; doubled without smoothing it fills the page and stays crisp.
    // Its twin is drawn at twice the page picture's size, for scaled screens.
    const QImage& small = bitmaps.Bitmap(TImageList::Info);
    const QImage picture = small.scaled(small.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    InfoImg = new TPictureControl(InfoPanel, picture, bitmaps.Sharp(TImageList::Info));
    InfoImg->setGeometry((InfoPanel->width() - picture.width()) / 2, 118, picture.width(), picture.height());

    InfoSubtitle = MakeLabel(InfoPanel, QRect(12, 248, 265, 22), 16, false, centred);
    InfoMadeBy = MakeLabel(InfoPanel, QRect(12, 300, 265, 20), 14, false, centred);
    InfoYear = MakeLabel(InfoPanel, QRect(12, 322, 265, 20), 14, false, centred);
    InfoYear->SetText(QStringLiteral("2026"));

    // The deal on the board, and the way to play it again from the start.
    InfoDeal = MakeLabel(InfoPanel, QRect(12, 275, 265, 18), 14, true, centred);
    InfoRestart = MakeLabel(InfoPanel, QRect(12, 345, 265, 18), 14, true, centred);
    InfoRestart->SetColour(QColor(0xff, 0xd8, 0x6a));
    InfoRestart->setCursor(Qt::PointingHandCursor);
    connect(InfoRestart, &TDecorLabel::Clicked, this, &TOptionsDialog::RestartClick);

    // On the dialog's face below the page, where the panel leaves room beside the OK button.
    InfoHint = MakeLabel(this, QRect(108, 408, 232, 20), 14, true, centred);
    InfoHint->SetColour(QColor(0x5a, 0x3a, 0x12));
    InfoHint->setCursor(Qt::PointingHandCursor);
    connect(InfoHint, &TDecorLabel::Clicked, this, &TOptionsDialog::HintClick);
}

void TOptionsDialog::CreateOptionsPage(const TImageList& bitmaps) {
    OptLabel = MakeLabel(OptionsPanel, QRect(19, 12, 254, 29), 21, true);

    struct Row {
        TPictureControl** image;
        int picture;
        TDecorLabel** label;
        int labelWidth;
        void (TOptionsDialog::*click)();
    };
    const Row rows[] = {
        {&TongueImg, TImageList::Tongue, &TongueLabel, 190, &TOptionsDialog::TongueImgClick},
        {&SoundImg, TImageList::Sound, &SoundLabel, 190, &TOptionsDialog::SoundImgClick},
        {&MusicImg, TImageList::Music, &MusicLabel, 202, &TOptionsDialog::MusicImgClick},
        {&BackImg, TImageList::Background, &BackLabel, 202, &TOptionsDialog::BackImgClick},
        {&StrengthImg, TImageList::Strength, &Strengthlabel, 202, &TOptionsDialog::StrengthImgClick},
    };
    int top = 48; // rows are 56 pixels apart, the label 16 below its picture's top
    for (const Row& row : rows) {
        *row.image = MakeImage(OptionsPanel, bitmaps, row.picture, QPoint(16, top));
        connect(*row.image, &TPictureControl::Clicked, this, row.click);
        *row.label = MakeLabel(OptionsPanel, QRect(79, top + 16, row.labelWidth, 18), 16, false);
        top += 56;
    }
}

void TOptionsDialog::CreateLanguagePage(const TImageList& bitmaps) {
    LImg1 = MakeImage(LanguagePanel, bitmaps, TImageList::FlagsDe, QPoint(16, 16));
    LLbl1 = MakeLabel(LanguagePanel, QRect(79, 32, 190, 18), 16, false);
    LImg2 = MakeImage(LanguagePanel, bitmaps, TImageList::FlagsEn, QPoint(16, 72));
    LLbl2 = MakeLabel(LanguagePanel, QRect(79, 88, 190, 18), 16, false);
    // Each choice is written in its own language, whatever is chosen so far.
    LLbl1->SetText(QStringLiteral("Ich spreche deutsch."));
    LLbl2->SetText(QStringLiteral("I speak English."));
    connect(LImg1, &TPictureControl::Clicked, this, &TOptionsDialog::LImg1Click);
    connect(LLbl1, &TDecorLabel::Clicked, this, &TOptionsDialog::LImg1Click);
    connect(LImg2, &TPictureControl::Clicked, this, &TOptionsDialog::LImg2Click);
    connect(LLbl2, &TDecorLabel::Clicked, this, &TOptionsDialog::LImg2Click);
}

void TOptionsDialog::ShowPage(std::optional<TOptionsPage> page) {
    m_restartRequested = false;
    m_hintRequested = false;
    if (page) Page = *page;
    ApplyDialogTexts();
    exec();
}

void TOptionsDialog::ApplyDialogTexts() {
    InfoPanel->setVisible(Page == TOptionsPage::Info);
    OptionsPanel->setVisible(Page == TOptionsPage::Options);
    LanguagePanel->setVisible(Page == TOptionsPage::Language);
    InfoHint->setVisible(Page == TOptionsPage::Info && m_host.HintPossible());
    ProgLabel->SetText(QStringLiteral("Zelvano"));
    VersionLabel->SetText(QStringLiteral("Version  1.1"));
    OKBtn->SetHint(DialogText(TDialogText::BackToGameHint));
    if (Page == TOptionsPage::Info)
        ApplyInfoTexts();
    else if (Page == TOptionsPage::Options)
        ApplyOptionTexts();
}

void TOptionsDialog::ApplyInfoTexts() {
    InfoSubtitle->SetText(DialogText(TDialogText::InfoSubtitle));
    InfoMadeBy->SetText(DialogText(TDialogText::InfoMadeBy));
    const std::int32_t deal = m_host.DealOnBoard();
    InfoDeal->setVisible(deal > 0);
    InfoRestart->setVisible(deal > 0);
    InfoDeal->SetText(DialogText(TDialogText::InfoDeal).arg(deal));
    InfoRestart->SetText(DialogText(TDialogText::InfoRestart));
    InfoRestart->SetHint(DialogText(TDialogText::InfoRestartHint));
    InfoHint->SetText(DialogText(TDialogText::InfoHint));
    InfoHint->SetHint(DialogText(TDialogText::InfoHintHint));
}

void TOptionsDialog::ApplyOptionTexts() {
    OptLabel->SetText(DialogText(TDialogText::OptionsTitle));
    TongueImg->SetHint(DialogText(TDialogText::TongueHint));
    TongueLabel->SetText(DialogText(TDialogText::TongueCaption));
    SoundImg->SetHint(DialogText(TDialogText::SoundHint));
    SoundLabel->SetText(
        DialogText(m_host.SoundEnabled() ? TDialogText::SoundOnCaption : TDialogText::SoundOffCaption));
    MusicImg->SetHint(DialogText(TDialogText::MusicHint) + QLatin1Char('\n') +
                      DialogText(TDialogText::OwnMusicHint) + PlayerMusicFolderForDisplay());
    if (m_host.MusicEnabled()) {
        // A long file name is shortened with an ellipsis rather than cut off mid-letter at the
        // label's edge; the tooltip has it whole.
        const QString file = m_host.MusicFileName();
        const QString full = DialogText(TDialogText::MusicPrefix) +
                             (file.isEmpty() ? DialogText(TDialogText::MusicNoFile) : file);
        MusicLabel->SetText(
            QFontMetrics(MusicLabel->font()).elidedText(full, Qt::ElideRight, MusicLabel->width()));
        MusicLabel->SetHint(file);
    } else {
        MusicLabel->SetText(DialogText(TDialogText::MusicOffCaption));
        MusicLabel->SetHint(QString());
    }
    BackImg->SetHint(DialogText(TDialogText::BackgroundHint));
    // A colour or level without a name leaves the caption as it was.
    if (const QString caption = BackgroundCaption(m_host.Background()); !caption.isNull())
        BackLabel->SetText(caption);
    StrengthImg->SetHint(DialogText(TDialogText::StrengthHint));
    if (const QString caption = LevelCaption(DialogLevel); !caption.isNull()) Strengthlabel->SetText(caption);
    NamePictures();
}

// Each picture is named for a screen reader by what it sets and its value now ("Language:
// English"), and described by its hint, which says what a press does.
void TOptionsDialog::NamePictures() {
    const QString on = DialogText(TDialogText::SwitchedOn);
    const QString off = DialogText(TDialogText::SwitchedOff);
    const QString music = m_host.MusicEnabled()
                              ? (m_host.MusicFileName().isEmpty() ? DialogText(TDialogText::MusicNoFile)
                                                                  : m_host.MusicFileName())
                              : off;
    const std::pair<TPictureControl*, QString> names[] = {
        {TongueImg, DialogText(TDialogText::LanguageName)},
        {SoundImg, DialogText(TDialogText::SoundName) + (m_host.SoundEnabled() ? on : off)},
        {MusicImg, DialogText(TDialogText::MusicPrefix) + music},
        // The caption already reads "Background: green".
        {BackImg, BackLabel->Text()},
        {StrengthImg, DialogText(TDialogText::SkillName) + Strengthlabel->Text()},
    };
    for (const auto& [image, name] : names) {
        image->setAccessibleName(name);
        image->setAccessibleDescription(image->toolTip());
    }
}

void TOptionsDialog::TongueImgClick() {
    // Not chosen yet (-1) counts as "about to become English".
    Language = Wrap(Language + 1, 2);
    ApplyDialogTexts();
    m_host.ApplyMainTexts();
}

void TOptionsDialog::SoundImgClick() {
    m_host.SetSoundEnabled(!m_host.SoundEnabled());
    ApplyDialogTexts();
}

void TOptionsDialog::MusicImgClick() {
    m_host.SwitchMusic();
    ApplyDialogTexts();
}

void TOptionsDialog::BackImgClick() {
    // The host rebuilds and repaints the board behind the dialog and applies its own texts.
    m_host.SetBackground(Wrap(m_host.Background() + 1, BackgroundCount));
    ApplyDialogTexts();
}

void TOptionsDialog::StrengthImgClick() {
    // Only noted here; the main window applies it (and deals) after the dialog has closed.
    DialogLevel = Wrap(DialogLevel, 4) + 1;
    ApplyDialogTexts();
}

void TOptionsDialog::LImg1Click() {
    Language = 1;
    done(Accepted);
}

void TOptionsDialog::LImg2Click() {
    Language = 0;
    done(Accepted);
}

void TOptionsDialog::exitClick() {
    done(Accepted);
}

void TOptionsDialog::HintClick() {
    m_hintRequested = true;
    done(Accepted);
}

void TOptionsDialog::RestartClick() {
    m_restartRequested = true;
    done(Accepted);
}

void TOptionsDialog::FormActivate() {
    if (m_mainform && m_mainform->isVisible()) {
        // Centred over the main window's client area, which ends where its outer bounds end:
        // whatever the frame adds above it (the caption) is left out of the centring.
        const QRect main = m_mainform->frameGeometry();
        const int left = main.left() + (main.width() - width()) / 2;
        const int top = main.top() + main.height() - (m_mainform->height() + height()) / 2;
        move(left, top);
    } else if (const QScreen* s = screen()) {
        const QRect area = s->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
}
