#include "dialogs/okDlg.h"

#include "controls/Decor.h"
#include "controls/jetButton.h"
#include "dialogs/DialogPlacement.h"
#include "texts/Language.h"

#include <QLabel>

#include <array>

int PointsToPixels(int points) { return (points * 96 + 36) / 72; }

TMessageDialog::TMessageDialog(QWidget* mainform, const TImageList& bitmaps)
    : TGameDialog(mainform, QSize(ClientWidth, ClientHeight)) {

    new TFormFill(this, bitmaps.Bitmap(TImageList::Face), bitmaps.Sharp(TImageList::Face));
    (new TFrameShape(this, 3))->setObjectName(QStringLiteral("Shape1"));

    p6 = new TBevelPanel(this, bitmaps.Bitmap(TImageList::Stone), bitmaps.Sharp(TImageList::Stone));
    p6->setObjectName(QStringLiteral("p6"));
    p6->setGeometry(11, 12, 298, 77);
    for (TDecorLabel** line : {&m1, &m2}) {
        auto* label = new TDecorLabel(p6);
        label->SetColour(Qt::white);
        label->SetAlignment(Qt::AlignHCenter | Qt::AlignTop);
        *line = label;
    }
    m1->setObjectName(QStringLiteral("m1"));
    m2->setObjectName(QStringLiteral("m2"));
    SetLines(NoMessage);

    YesBtn = new TJetButton(this);
    YesBtn->setObjectName(QStringLiteral("YesBtn"));
    YesBtn->LoadPictures(QStringLiteral("yes"));
    YesBtn->SetBounds(256, 98, 50, 50);
}

void TMessageDialog::SetLines(const TMessage& message) {
    const std::array<std::pair<TDecorLabel*, const TMessageLine*>, 2> lines = {
        {{m1, &message.First}, {m2, &message.Second}}};
    for (const auto& [label, line] : lines) {
        label->SetText(QString::fromUtf8(line->Text));
        label->setGeometry(12, line->Top, 273, 23);
        label->SetFontSpec(QStringLiteral("Arial"), PointsToPixels(line->Points), true);
    }
    // A screen reader says the whole message when the window comes up.
    setAccessibleDescription((m1->Text() + QLatin1Char(' ') + m2->Text()).trimmed());
}

void TMessageDialog::FormActivate() { PlaceOverMainWindow(this, m_mainform); }

// ---------------------------------------------------------------------------------------------

TOKDialog::TOKDialog(QWidget* mainform, const TImageList& bitmaps) : TMessageDialog(mainform, bitmaps) {
    YesBtn->SetHint(QStringLiteral("OK")); // the same word in both languages
    connect(YesBtn, &TJetButton::OnClick, this, &TOKDialog::okClick);

    Note = new QLabel(this);
    Note->setObjectName(QStringLiteral("Note"));
    Note->setGeometry(14, 94, 236, 56);
    Note->setWordWrap(true);
    Note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setBold(true);
    Note->setFont(font);
    Note->setStyleSheet(QStringLiteral("color: #202020; background: transparent;"));
    Note->hide();

    BestPlayLink = new QLabel(this);
    BestPlayLink->setObjectName(QStringLiteral("BestPlayLink"));
    BestPlayLink->setGeometry(14, ClientHeight - 7, 236, 16);
    BestPlayLink->setFont(font);
    BestPlayLink->setTextFormat(Qt::RichText);
    BestPlayLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    BestPlayLink->setStyleSheet(QStringLiteral("background: transparent;"));
    connect(BestPlayLink, &QLabel::linkActivated, this, [this] {
        m_bestPlayRequested = true;
        okClick();
    });
    BestPlayLink->hide();
}

void TOKDialog::OfferBestPlay(bool offered) {
    const QString text = BestPlayLinkText();
    BestPlayLink->setText(
        QStringLiteral("<a href=\"best\" style=\"color: #0b2f7a;\">%1</a>").arg(text.toHtmlEscaped()));
    BestPlayLink->setAccessibleName(text);
    BestPlayLink->setVisible(offered);
    // The note may fill its four lines (a German hint note and par take them all): the window
    // grows by a line for the link, below everything it showed before.
    setFixedSize(ClientWidth, ClientHeight + (offered ? BestPlayLinkHeight : 0));
}

bool TOKDialog::LetterAnswer(int key) {
    if (key != Qt::Key_B || !BestPlayLink->isVisible()) return false;
    m_bestPlayRequested = true;
    okClick();
    return true;
}

void TOKDialog::SetNote(const QString& note) {
    Note->setText(note);
    Note->setVisible(!note.isEmpty());
}

const TMessage& TOKDialog::MessageFor(int kind) { return NoticeMessage(kind); }

int TOKDialog::ShowModal(int kind) {
    SetLines(MessageFor(kind));
    m_bestPlayRequested = false;
    const int result = exec();
    SetNote(QString());
    OfferBestPlay(false);
    return result;
}

void TOKDialog::okClick() { done(mrCancel); }
