#include "dialogs/HighscoreDialog.h"

#include "controls/Accessible.h"
#include "controls/Decor.h"
#include "controls/FocusFrame.h"
#include "controls/jetButton.h"
#include "dialogs/DialogPlacement.h"
#include "settings/Chiffre.h"
#include "settings/ini.h"
#include "texts/WindowTexts.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

const QString Section = QStringLiteral("common");
const QString PlayerKey = QStringLiteral("player");
const QString Arial = QStringLiteral("Arial");
constexpr int RowHeight = 21;
constexpr int FirstRowTop = 10;
constexpr int MaxNameLength = 25;

} // namespace

THighscoreDlg::THighscoreDlg(QWidget* mainform, TIniStore& ini, const TChiffre& cipher, const int& level,
                             const TImageList& bitmaps)
    : TGameDialog(mainform, QSize(320, 476)), m_ini(ini), m_cipher(cipher), m_level(level) {
    setObjectName(QStringLiteral("HighscoreDlg"));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);

    const QImage& stone = bitmaps.Bitmap(TImageList::Stone);
    const QImage& sharpStone = bitmaps.Sharp(TImageList::Stone);
    new TFormFill(this, bitmaps.Bitmap(TImageList::Face), bitmaps.Sharp(TImageList::Face));

    auto* titlePanel = new TBevelPanel(this, stone, sharpStone);
    titlePanel->setGeometry(11, 12, 298, 33);
    title = new TDecorLabel(titlePanel);
    title->setObjectName(QStringLiteral("title"));
    title->setGeometry(12, 4, 273, 21);
    title->SetFontSpec(Arial, 19, true);
    title->SetColour(Qt::white);
    title->SetAlignment(Qt::AlignHCenter);

    EditBack = new TBevelPanel(this, stone, sharpStone);
    EditBack->setObjectName(QStringLiteral("EditBack"));
    EditBack->setGeometry(11, 48, 298, 329);

    auto* p6 = new TBevelPanel(this, stone, sharpStone);
    p6->setObjectName(QStringLiteral("p6"));
    p6->setGeometry(11, 380, 298, 29);
    ClearBox = new QCheckBox(p6);
    ClearBox->setObjectName(QStringLiteral("ClearBox"));
    ClearBox->setGeometry(23, 8, 13, 13);
    // A click must not take the focus from the name; Tab reaches it, Space ticks it.
    ClearBox->setFocusPolicy(Qt::TabFocus);
    // A label of its own: a click on the text does not tick the box.
    delcheck = new TDecorLabel(p6);
    delcheck->setObjectName(QStringLiteral("delcheck"));
    delcheck->setGeometry(44, 8, 109, 13);
    delcheck->SetFontSpec(Arial, 11, false);
    delcheck->SetColour(Qt::white);

    YesBtn = new TJetButton(this);
    YesBtn->setObjectName(QStringLiteral("YesBtn"));
    YesBtn->LoadPictures(QStringLiteral("yes"));
    YesBtn->SetBounds(260, 416, 50, 50);
    CancelBtn = new TJetButton(this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->LoadPictures(QStringLiteral("no"));
    CancelBtn->SetBounds(204, 416, 50, 50);
    connect(YesBtn, &TJetButton::OnClick, this, &THighscoreDlg::okClick);
    connect(CancelBtn, &TJetButton::OnClick, this, &THighscoreDlg::CancelBtnClick);
    // Bottom left, away from the two answers.
    StatsBtn = new TJetButton(this);
    StatsBtn->setObjectName(QStringLiteral("StatsBtn"));
    StatsBtn->LoadPictures(QStringLiteral("stats"));
    StatsBtn->SetBounds(11, 416, 50, 50);
    connect(StatsBtn, &TJetButton::OnClick, this, [this] {
        if (OnStatistics) OnStatistics();
    });

    new TFrameShape(this, 3);

    // Create: the proposed name, then the 45 list labels.
    playerName = m_ini.ReadText(Section, PlayerKey, DefaultPlayerName());
    for (int row = 0; row < HighscoreRows; ++row)
        MakeLabel(QStringLiteral("num%1").arg(row), 10, FirstRowTop + RowHeight * row, 40, Qt::AlignRight,
                  QString::number(row + 1) + QStringLiteral(".   "));
    for (int row = 0; row < HighscoreRows; ++row)
        MakeLabel(QStringLiteral("pla%1").arg(row), 50, FirstRowTop + RowHeight * row, 140, Qt::AlignLeft, QString());
    for (int row = 0; row < HighscoreRows; ++row)
        MakeLabel(QStringLiteral("sco%1").arg(row), 190, FirstRowTop + RowHeight * row, 90, Qt::AlignRight, QString());

    // Made after the labels so that it lies over the name it edits.
    Edit1 = new QLineEdit(EditBack);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFrame(false);
    Edit1->setMaxLength(MaxNameLength);
    Edit1->setFocusPolicy(Qt::StrongFocus); // Tab leads back to it from the box below
    QFont editFont(Arial);
    editFont.setPixelSize(13);
    editFont.setBold(true);
    Edit1->setFont(editFont);
    Edit1->setStyleSheet(QStringLiteral("QLineEdit { background: black; color: yellow; border: none; padding: 0; }"));
    Edit1->setText(playerName);
    Edit1->hide();

    // The rows are a list to a screen reader, each read whole by its number's label, and the
    // arrow keys walk them.
    std::vector<QWidget*> rows;
    std::vector<std::vector<QWidget*>> cells;
    for (int row = 0; row < HighscoreRows; ++row) {
        rows.push_back(RowLabel(QStringLiteral("num"), row));
        cells.push_back({rows.back()});
    }
    DescribeList(EditBack, rows);
    new TCellWalk(EditBack, new TFocusFrame(EditBack), cells);

    entryNames.fill(DefaultPlayerName());
    entryScores.fill(0);
}

TDecorLabel* THighscoreDlg::MakeLabel(const QString& name, int left, int top, int width, Qt::Alignment align,
                                      const QString& text) {
    auto* label = new TDecorLabel(EditBack, text);
    label->setObjectName(name);
    label->setGeometry(left, top, width, RowHeight);
    label->SetFontSpec(Arial, 13, true);
    label->SetColour(Qt::white);
    label->SetAlignment(align);
    return label;
}

TDecorLabel* THighscoreDlg::RowLabel(const QString& kind, int row) const {
    return EditBack->findChild<TDecorLabel*>(kind + QString::number(row), Qt::FindDirectChildrenOnly);
}

void THighscoreDlg::LoadList() {
    ClearBox->setChecked(false);
    m_openLevel = m_level;
    // The whole list from one read of the file.
    const TIniSnapshot stored = m_ini.Snapshot();
    DecodeHighscoreList([&stored](const QString& key) { return stored.ReadText(Section, key, QString()); },
                        m_cipher, m_openLevel, entryNames, entryScores);
}

void THighscoreDlg::FillLabels() {
    for (int row = 0; row < HighscoreRows; ++row) {
        RowLabel(QStringLiteral("pla"), row)->SetText(entryNames[row]);
        RowLabel(QStringLiteral("sco"), row)->SetText(QString::number(entryScores[row]));
    }
}

int THighscoreDlg::ShowModal(int score, bool viewOnly) {
    LoadList();
    if (viewOnly) {
        insertPos = -1;
        Edit1->hide();
        FillLabels();
        return exec();
    }
    insertPos = InsertHighscore(entryNames, entryScores, score, playerName);
    if (insertPos < 0)
        return 0;
    FillLabels();
    Edit1->setGeometry(50, FirstRowTop + RowHeight * insertPos, 140, 17);
    Edit1->setEnabled(true);
    Edit1->setText(playerName);
    Edit1->show();
    Edit1->raise();
    Edit1->setFocus();
    return exec();
}

void THighscoreDlg::okClick() {
    // Nothing changes here until the list is stored: a failed save leaves the window as it
    // was, so pressing OK again tries the same thing again.
    const bool wipe = ClearBox->isChecked(); // drops the pending entry too
    const bool pending = !wipe && insertPos >= 0;
    const QString name = wipe ? DefaultPlayerName() : pending ? Edit1->text() : playerName;
    const int score = pending ? entryScores[insertPos] : 0;
    THighscoreNames names;
    THighscoreScores scores{};
    int placed = -1;
    // Under the store's lock: the list as stored now, the new entry ranked into it, and the
    // name and the whole list written in one replacement, never half old, half new.
    const bool saved = m_ini.Update(TIniWhat::Highscore, [&](TIniEdit& edit) {
        names.fill(DefaultPlayerName());
        scores.fill(0);
        if (!wipe)
            DecodeHighscoreList([&edit](const QString& key) { return edit.ReadText(Section, key, QString()); },
                                m_cipher, m_openLevel, names, scores);
        placed = pending ? InsertHighscore(names, scores, score, name) : -1;
        edit.WriteText(Section, PlayerKey, name);
        for (int row = 0; row < HighscoreRows; ++row)
            edit.WriteText(Section, HighscoreKey(m_openLevel, row),
                           m_cipher.Encode(FormatHighscoreRow(scores[row], names[row])));
    });
    if (!saved)
        return;
    playerName = name;
    Edit1->setText(playerName);
    entryNames = names;
    entryScores = scores;
    insertPos = placed; // where the entry stands now, among the other copy's entries too
    FillLabels();
    Edit1->hide();
    done(QDialog::Accepted);
}

void THighscoreDlg::CancelBtnClick() { done(QDialog::Rejected); }

void THighscoreDlg::keyPressEvent(QKeyEvent* event) {
    // Ctrl+T opens the statistics here as on the board; the name edit leaves it alone.
    if (event->key() == Qt::Key_T && event->modifiers() == Qt::ControlModifier && StatsBtn->isVisible()) {
        event->accept();
        if (!event->isAutoRepeat() && OnStatistics) OnStatistics();
        return;
    }
    TGameDialog::keyPressEvent(event);
}

void THighscoreDlg::FormActivate() {
    PlaceOverMainWindow(this, m_mainform);
    title->SetText(HighscoreText(THighscoreText::Title));
    EditBack->setAccessibleName(title->Text());
    delcheck->SetText(HighscoreText(THighscoreText::RemoveAll));
    // The box and the edit have no text of their own: a screen reader names them by their lines.
    ClearBox->setAccessibleName(delcheck->Text());
    Edit1->setAccessibleName(HighscoreText(THighscoreText::YourName));
    YesBtn->SetHint(HighscoreText(THighscoreText::PutInList));
    CancelBtn->SetHint(HighscoreText(THighscoreText::Cancel));
    StatsBtn->SetHint(HighscoreText(THighscoreText::Statistics));
    StatsBtn->setVisible(static_cast<bool>(OnStatistics));
}

