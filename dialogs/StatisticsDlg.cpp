#include "dialogs/StatisticsDlg.h"

#include "controls/Accessible.h"
#include "controls/Decor.h"
#include "controls/FocusFrame.h"
#include "controls/jetButton.h"
#include "dialogs/DialogPlacement.h"
#include "dialogs/YesNoDlg.h"
#include "settings/StatisticsStore.h"
#include "texts/Language.h"
#include "texts/WindowTexts.h"

#include <QKeyEvent>

namespace {

constexpr int RowHeight = 22;
constexpr int FirstRowTop = 34;
constexpr int NameLeft = 12, NameWidth = 130;
constexpr int ColumnWidth = 118;
constexpr int ColumnLeft = TStatisticsDlg::ClientWidth - 22 - 16 - 4 * ColumnWidth; // a margin as on the left

// The yes/no window's question for the reset.
constexpr int ResetQuestion = 3;

// Ticks of 100 ms as hours, minutes and seconds: "0:00:00".
QString PlayTime(std::int64_t ticks) {
    const std::int64_t seconds = ticks / 10;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

TStatisticsDlg::TStatisticsDlg(QWidget* mainform, TIniStore& ini, TYesNoDialog& question, const TImageList& bitmaps)
    : TGameDialog(mainform, QSize(ClientWidth, ClientHeight)), m_ini(ini), m_question(question) {
    setObjectName(QStringLiteral("StatisticsDlg"));
    const QImage& stone = bitmaps.Bitmap(TImageList::Stone);
    const QImage& sharpStone = bitmaps.Sharp(TImageList::Stone);
    new TFormFill(this, bitmaps.Bitmap(TImageList::Face), bitmaps.Sharp(TImageList::Face));

    auto* titlePanel = new TBevelPanel(this, stone, sharpStone);
    titlePanel->setGeometry(11, 12, ClientWidth - 22, 33);
    title = MakeLabel(titlePanel, QRect(12, 4, titlePanel->width() - 24, 21), 19, true, Qt::AlignHCenter);
    title->setObjectName(QStringLiteral("title"));

    auto* grid = new TBevelPanel(this, stone, sharpStone);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setGeometry(11, 48, ClientWidth - 22, FirstRowTop + RowHeight * RowCount + 10);
    for (int level = 1; level <= StatisticsLevels; ++level) {
        const QRect head(ColumnLeft + ColumnWidth * (level - 1), 8, ColumnWidth, 20);
        TDecorLabel* label = MakeLabel(grid, head, 13, true, Qt::AlignRight);
        label->SetColour(QColor(0xff, 0xd8, 0x6a));
        levelLabels[level - 1] = label;
    }
    for (int row = 0; row < RowCount; ++row) {
        const int top = FirstRowTop + RowHeight * row;
        rowLabels[row] = MakeLabel(grid, QRect(NameLeft, top, NameWidth, RowHeight), 13, true, Qt::AlignLeft);
        for (int level = 1; level <= StatisticsLevels; ++level) {
            const QRect cell(ColumnLeft + ColumnWidth * (level - 1), top, ColumnWidth, RowHeight);
            TDecorLabel* label = MakeLabel(grid, cell, 13, true, Qt::AlignRight);
            label->setObjectName(QStringLiteral("fig%1%2").arg(row).arg(QChar(u'a' + level - 1)));
            figureLabels[row][level - 1] = label;
        }
    }

    const int bottom = grid->geometry().bottom() + 4;
    auto* footer = new TBevelPanel(this, stone, sharpStone);
    footer->setGeometry(11, bottom, ClientWidth - 22 - 60, ClientHeight - bottom - 10);
    dealLabel = MakeLabel(footer, QRect(12, (footer->height() - 18) / 2, 300, 18), 13, true, Qt::AlignLeft);
    dealLabel->setObjectName(QStringLiteral("dealLabel"));
    // The par's line has the footer's whole width: in German it is some 500 pixels long.
    parLabel = MakeLabel(footer, QRect(12, 0, footer->width() - 24, 18), 13, true, Qt::AlignLeft);
    parLabel->setObjectName(QStringLiteral("parLabel"));
    parLabel->hide();
    resetLabel = MakeLabel(footer, QRect(footer->width() - 212, (footer->height() - 18) / 2, 200, 18), 13, true, Qt::AlignRight);
    resetLabel->setObjectName(QStringLiteral("resetLabel"));
    resetLabel->SetColour(QColor(0xff, 0xd8, 0x6a));
    resetLabel->setCursor(Qt::PointingHandCursor);
    connect(resetLabel, &TDecorLabel::Clicked, this, &TStatisticsDlg::ResetClick);
    bestPlayLabel = MakeLabel(footer, QRect(12, 0, 300, 18), 13, true, Qt::AlignLeft);
    bestPlayLabel->setObjectName(QStringLiteral("bestPlayLabel"));
    bestPlayLabel->SetColour(QColor(0xff, 0xd8, 0x6a));
    bestPlayLabel->setCursor(Qt::PointingHandCursor);
    bestPlayLabel->hide();
    connect(bestPlayLabel, &TDecorLabel::Clicked, this, &TStatisticsDlg::BestPlayClick);
    // The figures are a table to a screen reader, walked with the arrow keys; the reset is a
    // button for the keyboard too: Tab reaches it, Space or Enter presses it.
    m_focusFrame = new TFocusFrame(grid);
    TLabelTable table{grid, {levelLabels.begin(), levelLabels.end()}, {rowLabels.begin(), rowLabels.end()}, {}};
    for (const auto& row : figureLabels) table.Cells.emplace_back(row.begin(), row.end());
    DescribeTable(table);
    new TCellWalk(grid, m_focusFrame, table.Cells);
    m_focusFrame->Watch(resetLabel);
    m_focusFrame->Watch(bestPlayLabel);

    OKBtn = new TJetButton(this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->LoadPictures(QStringLiteral("yes"));
    OKBtn->SetBounds(ClientWidth - 11 - 50, bottom, 50, 50);
    connect(OKBtn, &TJetButton::OnClick, this, &TStatisticsDlg::okClick);

    new TFrameShape(this, 3);
}

QString TStatisticsDlg::FigureText(const LevelStatistics& level, Row row) {
    switch (row) {
    case Played: return QString::number(level.Played);
    case Won: return QString::number(level.Won);
    case Lost: return QString::number(level.Lost);
    case WinRate: return QStringLiteral("%1 %").arg(level.WinRate());
    // Scores mean nothing before the first game.
    case Best: return level.Played > 0 ? QString::number(level.Best) : QStringLiteral("-");
    case Average: return level.Played > 0 ? QString::number(level.Average()) : QStringLiteral("-");
    case Last: return level.Played > 0 ? QString::number(level.Last) : QStringLiteral("-");
    case Streak: return QString::number(level.Streak);
    case Longest: return QString::number(level.Longest);
    case Time: return PlayTime(level.Ticks);
    case Assisted: return QString::number(level.Assisted);
    case RowCount: break;
    }
    return QString();
}

int TStatisticsDlg::ShowModal() {
    m_bestPlayRequested = false;
    Reload();
    // Every opening starts on the figures, never on the reset a Tab reached last time: Enter
    // then closes the window, as it should on opening.
    figureLabels[0][0]->parentWidget()->setFocus(Qt::OtherFocusReason);
    return exec();
}

void TStatisticsDlg::Reload() {
    Shown = ReadStatistics(m_ini);
    for (int row = 0; row < RowCount; ++row)
        for (int level = 1; level <= StatisticsLevels; ++level)
            figureLabels[row][level - 1]->SetText(FigureText(Shown.Levels[level - 1], static_cast<Row>(row)));
    ApplyTexts();
}

void TStatisticsDlg::ApplyTexts() {
    title->SetText(StatisticsText(TStatisticsText::Title));
    setAccessibleName(title->Text()); // what a screen reader calls the window
    figureLabels[0][0]->parentWidget()->setAccessibleName(StatisticsText(TStatisticsText::Name));
    for (int level = 1; level <= StatisticsLevels; ++level) levelLabels[level - 1]->SetText(LevelCaption(level));
    for (int row = 0; row < RowCount; ++row)
        rowLabels[row]->SetText(StatisticsRowName(row));
    if (Shown.LastDeal > 0)
        dealLabel->SetText(StatisticsText(TStatisticsText::LastDeal).arg(Shown.LastDeal));
    else
        dealLabel->SetText(StatisticsText(TStatisticsText::NoGameYet));
    // The lines of the band, centred in it: the deal (with the reset beside it), the par once
    // it is known, and the offer of the best play when it can be shown now. The best play needs
    // the deal and its level, and a par says the search has run for it.
    const std::optional<ParOfGame> par = LastGamePar(Shown);
    const bool bestPlay = par && BestPlayPossible && Shown.LastDeal > 0 && Shown.LastLevel > 0;
    const int lines = 1 + (par ? 1 : 0) + (bestPlay ? 1 : 0);
    const int top = (dealLabel->parentWidget()->height() - 20 * lines + 2) / 2;
    dealLabel->move(dealLabel->x(), top);
    resetLabel->move(resetLabel->x(), top);
    parLabel->setVisible(par.has_value());
    if (par) parLabel->SetText(ParText(par->Par, par->Points, par->Score));
    parLabel->move(parLabel->x(), top + 20);
    bestPlayLabel->setVisible(bestPlay);
    bestPlayLabel->move(bestPlayLabel->x(), top + 40);
    bestPlayLabel->SetText(BestPlayLinkText());
    bestPlayLabel->SetHint(BestPlayHintText());
    resetLabel->SetText(StatisticsText(TStatisticsText::Reset));
    resetLabel->SetHint(StatisticsText(TStatisticsText::ResetHint));
    OKBtn->SetHint(StatisticsText(TStatisticsText::Back));
}

void TStatisticsDlg::okClick() { done(Accepted); }

void TStatisticsDlg::keyPressEvent(QKeyEvent* event) {
    const bool press = event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // Only a focus the player can see: the window may hand the reset its focus on opening,
    // and Enter must still close it then.
    if (press && focusWidget() == resetLabel && m_focusFrame->Framing(resetLabel)) {
        event->accept();
        if (!event->isAutoRepeat()) ResetClick();
        return;
    }
    if (press && focusWidget() == bestPlayLabel && m_focusFrame->Framing(bestPlayLabel)) {
        event->accept();
        if (!event->isAutoRepeat()) BestPlayClick();
        return;
    }
    TGameDialog::keyPressEvent(event);
}

void TStatisticsDlg::BestPlayClick() {
    if (!bestPlayLabel->isVisible()) return;
    m_bestPlayRequested = true;
    okClick();
}

bool TStatisticsDlg::LetterAnswer(int key) {
    if (key != Qt::Key_B || !bestPlayLabel->isVisible()) return false;
    BestPlayClick();
    return true;
}

void TStatisticsDlg::ResetClick() {
    m_question.ShowModal(ResetQuestion);
    if (m_question.ModalResult() != mrYes) return;
    ResetStatistics(m_ini);
    Reload(); // what the file holds now, whether the write went through or not
}

void TStatisticsDlg::FormActivate() {
    PlaceOverMainWindow(this, m_mainform);
    ApplyTexts();
}
