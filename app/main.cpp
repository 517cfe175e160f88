#include "app/main.h"

#include "app/Advice.h"
#include "app/AfterFirstPaint.h"
#include "app/Keys.h"
#include "app/PatternShape.h"
#include "board/PaintBox.h"
#include "board/Raster.h"
#include "controls/jetButton.h"
#include "dialogs/StatisticsDlg.h"
#include "dialogs/YesNoDlg.h"
#include "dialogs/HighscoreDialog.h"
#include "dialogs/okDlg.h"
#include "game/Deal.h"
#include "media/DataFolder.h"
#include "texts/Language.h"
#include "settings/MusicFolder.h"
#include "settings/StatisticsStore.h"
#include "dialogs/OptionsDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <malloc.h>
#include <thread>

namespace {

const QString Common = QStringLiteral("common");

std::uint32_t ClockSeed() {
    return static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count() ^
                                      std::chrono::steady_clock::now().time_since_epoch().count());
}

} // namespace

TMainform::TMainform(const QString& settingsPath, const TStartOptions& start)
    : QWidget(nullptr), ini(settingsPath), Help(this), Random(ClockSeed()), Board(Canvas, *this, Random) {
    m_start = start; // read by FormCreate
    // The vector pictures are read on two other threads while the window is made.
    Board.LoadArtwork();
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMinimumSize(MinClientWidth, MinClientHeight);
    resize(676, 437); // the design size; the minimum above takes over at once

    box = new TPaintBox(Canvas, this);
    box->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { boxMouseDown(b, x, y); };
    box->OnMouseMove = [this](int x, int y) { boxMouseMove(x, y); };
    box->OnMouseUp = [this](Qt::MouseButton b, int x, int y) { boxMouseUp(b, x, y); };
    box->OnRatioChanged = [this] {
        if (isVisible()) RelayoutAndPaint();
    };
    Board.OnScoreLabelMoved = [this](int left) {
        if (ScoreLabel) ScoreLabel->move(left, 4);
    };
    CreateToolbar();

    ScoreLabel = new QLabel(this);
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setPixelSize(13);
    labelFont.setBold(true);
    ScoreLabel->setFont(labelFont);
    ScoreLabel->setStyleSheet(QStringLiteral("color: #fff3c4; background: transparent;"));
    ScoreLabel->move(300, 4);

    Timer = new QTimer(this);
    Timer->setTimerType(Qt::PreciseTimer);
    Timer->setInterval(100);
    connect(Timer, &QTimer::timeout, this, &TMainform::TimerTimer);
    m_boardSettled = new QTimer(this);
    m_boardSettled->setSingleShot(true);
    m_boardSettled->setInterval(1500);
    connect(m_boardSettled, &QTimer::timeout, this, &TMainform::BoardSettled);

    CreateAdvice();
    FormCreate();
    LMDForm1 = std::make_unique<TWindowPlacement>(this, ini);
    Keys = std::make_unique<TKeyboard>(*this);
    Timer->start();
}

TMainform::~TMainform() {
    Timer->stop();
    Help.Quit();
}

void TMainform::NeedDialogs() {
    if (!m_dialogMaker) return;
    const auto maker = std::move(m_dialogMaker);
    m_dialogMaker = nullptr;
    maker();
}

void TMainform::SetDialogs(THighscoreDlg* highscore, TOKDialog* ok, TYesNoDialog* yesNo, TOptionsDialog* multi) {
    HighscoreDlg = highscore;
    OKDialog = ok;
    YesNoDialog = yesNo;
    qxMultiDlg = multi;
}

void TMainform::CreateToolbar() {
    struct ButtonDef {
        TJetButton** button;
        const char* pictures;
    };
    const ButtonDef defs[] = {{&MixBtn, "mix"},         {&GiveUpBtn, "giveup"}, {&PauseBtn, "pause"},
                              {&HighScoreBtn, "highscore"}, {&OptionBtn, "options"}, {&InfoBtn, "info"},
                              {&HelpBtn, "help"},       {&ExitBtn, "exit"}};
    for (const ButtonDef& d : defs) {
        auto* b = new TJetButton(this);
        b->LoadPictures(QString::fromLatin1(d.pictures));
        *d.button = b;
    }
    for (int k = 0; k < 4; ++k) {
        TJetButton* left[] = {MixBtn, GiveUpBtn, PauseBtn, HighScoreBtn};
        left[k]->SetBounds(LeftButtonX[k], 4, 50, 50);
    }
    connect(MixBtn, &TJetButton::OnClick, this, &TMainform::ResetBtnClick);
    connect(GiveUpBtn, &TJetButton::OnClick, this, &TMainform::GiveUpBtnClick);
    connect(PauseBtn, &TJetButton::OnClick, this, &TMainform::PauseBtnClick);
    connect(HighScoreBtn, &TJetButton::OnClick, this, &TMainform::HighScoreBtnClick);
    connect(OptionBtn, &TJetButton::OnClick, this, &TMainform::OptionBtnClick);
    connect(InfoBtn, &TJetButton::OnClick, this, &TMainform::InfoBtnClick);
    connect(HelpBtn, &TJetButton::OnClick, this, &TMainform::HelpBtnClick);
    // Leaving asks at once, on the press.
    connect(ExitBtn, &TJetButton::OnMouseDown, this, [this] { ExitBtnMouseDown(); });
}

void TMainform::CreateAdvice() {
    Advice = new TAdvice(*this, this);
    Advice->PlacesFor = [this](const SolverMove& move) {
        const BoardLayout& l = Board.Layout;
        if (move.Type == SolverMove::Kind::Claim) return QList<QRect>{l.PatternRect(move.Position)};
        return QList<QRect>{l.StackTopRect(move.Stack), l.RowRect(move.Target)};
    };
    Advice->OnPar = [this](int par, int score) {
        StorePar(ini, Advice->ParLevel(), Advice->ParDeal(), par, score);
        if (OKDialog && OKDialog->isVisible()) OKDialog->SetNote(EndNote());
    };
    // The flash is for the eyes; a screen reader says the same move.
    Advice->OnHint = [this](const SolverMove& move) {
        if (Keys) Keys->Announcer.Tell(*this, HintText(move));
    };
}

void TMainform::FormCreate() {
    ProgramDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    DataDir = DataFolder(ProgramDir);
    Help.SetHelpFile(DataDir + QStringLiteral("ZLVO1.html"));

    // One read of the file for every value the start needs: a large file costs its parse once.
    const TIniSnapshot stored = ini.Snapshot();
    // A colour the texture does not have would leave the board undrawn.
    Board.BackgroundIndex = std::clamp(stored.ReadInt(Common, QStringLiteral("back"), 1), 0, BackgroundCount - 1);
    // -1 until a language is chosen: the first showing then asks for one.
    m_storedLanguage = stored.ReadInt(Common, QStringLiteral("tongue"), -1);
    Language = m_storedLanguage == -1 ? 0 : m_storedLanguage;
    // A level from the command line counts as chosen: it is the one stored at the close.
    const int level = m_start.Level > 0 ? m_start.Level : stored.ReadInt(Common, QStringLiteral("level"), 1);
    SoundOn = stored.ReadFlag(Common, QStringLiteral("sound"), true);
    MusicOn = stored.ReadFlag(Common, QStringLiteral("music"), true);
    ini.CheckAtStart(); // after "tongue", so that what it has to say comes in the player's language

    // Audio (SDL, the device, the synthesizer with its soundfont) takes longer to set up than
    // the board takes to lay out and paint, and part of it waits on the desktop's session bus:
    // the music begins right after the board is on the screen, and opening it sets up the rest.
    AfterFirstPaint(box, [this] { midi.Start(QStringList{DataDir, PlayerMusicFolder()}); });
    if (stored.ReadFlag(Common, QStringLiteral("max"), false)) setWindowState(windowState() | Qt::WindowMaximized);

    HighscoreCipher.Init(QString(), 0);
    SetLevel(level);
    // The first deal may be asked for by number; every later new game is random again.
    if (m_start.Deal > 0)
        NewDeal(m_start.Deal);
    else
        NewDeal();
    EvaluatePatterns();
    Dragging = false;
    CreatePatternShapes();
    // The texts are applied before the toolbar's states are first set, so a game that has not
    // begun shows what give-up and pause will do once it has.
    for (TJetButton* b : {MixBtn, GiveUpBtn, PauseBtn}) b->SetEnabled(true);
    ApplyMainTexts();
    UpdateToolbar();
}

void TMainform::CreatePatternShapes() {
    for (int i = 1; i <= MaxPatternCount; ++i) {
        auto* shape = new TPatternShape(i, this);
        shape->OnMouseDown = [this](int position) { PatShapeMouseDown(position); };
        shape->setGeometry(width(), 0, 1, 1); // parked until the first layout
        PatternShapes[i] = shape;
    }
}

// ---- window events -------------------------------------------------------------------

void TMainform::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_laidOut != box->size() || m_laidOut.isEmpty()) FormResize();
    if (m_firstShow) {
        m_firstShow = false;
        // After the window is on the screen, so the language page opens over it.
        QTimer::singleShot(0, this, &TMainform::FormShow);
    }
}

void TMainform::FormShow() {
    Language = m_storedLanguage;
    if (Language == -1) NeedDialogs();
    if (Language == -1 && qxMultiDlg) {
        qxMultiDlg->ShowPage(TOptionsPage::Language);
        ApplyMainTexts();
    }
}

void TMainform::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TMainform::FormResize() {
    if (width() < MinClientWidth || height() < MinClientHeight) {
        resize(std::max(width(), MinClientWidth), std::max(height(), MinClientHeight));
        return; // the resize comes back here at the corrected size
    }
    box->setGeometry(rect());
    if (!isVisible()) return;
    RelayoutAndPaint();
}

void TMainform::RelayoutAndPaint() {
    // Every step of a live resize is rendered exactly: the pictures at the new size, never
    // the old ones scaled.
    const int oldCardSize = Board.Layout.CardSize, oldDeviceCardSize = Board.DeviceCardSize();
    Canvas.Ratio = box->devicePixelRatioF();
    if (!Board.LayoutBoard(box->width(), box->height())) return;
    PlaceBoardControls();
    const bool redoDrag = Dragging && DragSprite && Board.DeviceCardSize() != oldDeviceCardSize;
    if (redoDrag) DragSprite.reset(); // its saved pixels belong to the old board
    boxPaint();
    if (redoDrag) RestartDragAfterLayout(oldCardSize);
}

void TMainform::closeEvent(QCloseEvent* event) {
    // m_closing is asked again: the desktop may have ended the game during the question.
    if (m_closing || !FormCloseQuery() || m_closing) {
        event->ignore();
        return;
    }
    m_closing = true;
    FormClose();
    event->accept();
}

// Points must not drain away while nobody can see the board: minimising a running game
// pauses it as the pause button does, and it stays paused when the window comes back.
void TMainform::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized() || GameState != gsRunning) return;
    if (Dragging) {
        // The card goes back to its stack; the release, whenever it comes, finds no drag.
        if (DragSprite) DragSprite->Hide();
        DragSprite.reset();
        DragImage = QImage();
        Dragging = false;
        Board.DrawStack(DragStack, true);
    }
    PauseBtnClick();
}

bool TMainform::FormCloseQuery() {
    NeedDialogs();
    if (!YesNoDialog) return true;
    YesNoDialog->ShowModal(1);
    if (YesNoDialog->ModalResult() != mrYes) return false;
    if (GameState == gsRunning && Score > 0) OfferHighscore();
    return true;
}

void TMainform::FormClose() {
    Timer->stop();
    // One replacement of the file for all of it, so a crash halfway through leaves the old
    // settings or the new ones, never a mix. A game left running or paused counts as played.
    ini.Update(TIniWhat::Settings, [this](TIniEdit& edit) {
        if (GameCounts(GameState))
            AddFinishedGame(edit, FinishedGameNow(GameState == gsPaused ? GameEnd::PausedClosed : GameEnd::Closed));
        edit.WriteFlag(Common, QStringLiteral("max"), isMaximized());
        edit.WriteInt(Common, QStringLiteral("back"), Board.BackgroundIndex);
        edit.WriteInt(Common, QStringLiteral("tongue"), Language);
        edit.WriteInt(Common, QStringLiteral("level"), Level);
        edit.WriteFlag(Common, QStringLiteral("sound"), SoundOn);
        edit.WriteFlag(Common, QStringLiteral("music"), MusicOn);
        // The window comes back where the player left it.
        LMDForm1->SavePlacement(edit);
    });
    Help.Quit();
}

void TMainform::CloseWithoutQuestions() {
    if (m_closing) return;
    m_closing = true;
    // No window may open now (the desktop is going away): failures go to the log.
    ini.OnError = &TIniStore::LogMessage;
    FormClose();
    hide();
}

void TMainform::LayoutBoard() {
    Canvas.Ratio = box->devicePixelRatioF();
    if (!Board.LayoutBoard(box->width(), box->height())) return;
    PlaceBoardControls();
}

void TMainform::BoardSettled() {
    // Up to about a full-HD board the documents are a large part of the game's memory, and
    // reading them again costs the next resize a few milliseconds it has to spare. Above it the
    // board's own bitmaps dwarf them, and the first step of a resize would miss its frame.
    const qint64 keepAbove = 1920 * 1200;
    if (qint64(Canvas.Image.width()) * Canvas.Image.height() <= keepAbove) Board.LetGoOfDocuments();
    // With them goes what the start's decoding and rendering freed: back to the system, not
    // left in the allocator's free lists for a use that may never come.
    malloc_trim(0);
}

// Follows every layout of the board.
void TMainform::PlaceBoardControls() {
    m_laidOut = box->size();
    // The vector pictures' documents are kept while the window keeps changing size, and may be
    // let go of once it has stood still for a moment: most games never resize the window again.
    m_boardSettled->start();
    const int cw = width();
    TJetButton* right[] = {OptionBtn, InfoBtn, HelpBtn, ExitBtn};
    for (int k = 0; k < 4; ++k) right[k]->SetBounds(cw - RightButtonOffset[k], 4, 50, 50);
    const BoardLayout& l = Board.Layout;
    for (int i = 1; i <= MaxPatternCount; ++i) {
        // Shapes of patterns not in play wait just outside the client area.
        const int left = i > PatternCount ? cw : l.Scaled(l.PatternX[i]) + l.BoardLeft;
        PatternShapes[i]->setGeometry(left, l.Scaled(0.029f) + l.BoardTop, l.PatternSize, l.PatternSize);
    }
}

void TMainform::boxPaint() {
    Board.Paint();
    if (Dragging) {
        // Keep the drag whole: the lifted stack without its top card, the card over it all.
        Board.DrawStack(DragStack, false);
        if (DragSprite) DragSprite->Repainted();
    }
    if (Keys) Keys->Repainted();
}

// ---- the game ------------------------------------------------------------------------

void TMainform::SetLevel(int level) { ::SetLevel(*this, level); }

void TMainform::NewDeal() {
    // Every fresh deal is a numbered one, so it can be played again.
    NewDeal(static_cast<std::int32_t>(MinDealNumber + Random.Random(MaxDealNumber)));
}

void TMainform::NewDeal(std::int32_t number) {
    DealNumber = std::clamp(number, MinDealNumber, MaxDealNumber);
    StartDeal(*this, DealByNumber(DealNumber));
    Advice->DealLaid(*this, Level, DealNumber);
    Board.DrawScore();
    UpdateToolbar();
}

void TMainform::EvaluatePatterns() {
    const PositionSet evaluated = ::EvaluatePatterns(*this);
    for (int i = 1; i <= PatternCount; ++i)
        if (evaluated.test(i)) Board.DrawPattern(i);
}

void TMainform::UpdateToolbar() {
    const ToolbarState t = ToolbarFor(GameState);
    MixBtn->SetEnabled(t.Mix);
    GiveUpBtn->SetEnabled(t.GiveUp);
    PauseBtn->SetEnabled(t.Pause);
}

void TMainform::StartGame() {
    GameState = gsRunning;
    UpdateToolbar();
    ApplyMainTexts(); // give-up and pause now carry the hints of their enabled state
}

void TMainform::DrawTable() {
    for (int i = 1; i <= PatternCount; ++i) Board.DrawPattern(i);
    for (int j = 0; j < RowSize; ++j) Board.DrawRowCard(j);
    for (int s = 0; s < StackTotal; ++s) Board.DrawStack(s, true);
}

void TMainform::CheckEndOfGame() {
    const EndVerdict verdict = JudgeEnd(*this);
    if (verdict == EndVerdict::Playing) {
        UpdateToolbar();
        return;
    }
    if (verdict == EndVerdict::Won) {
        while (CardsInStacks() > 0) {
            PlaySoundResource("COLLECT");
            const int s = CollectNext(*this);
            Board.DrawStack(s, true);
            Board.DrawScore();
            Delay(120);
        }
        GameState = gsWon;
        GameEnded();
        RecordGameEnd(GameEnd::Won);
        PlaySoundResource("DONE");
        NeedDialogs();
        if (OKDialog) {
            OKDialog->SetNote(EndNote());
            OKDialog->ShowModal(2);
        }
    } else {
        GameState = gsLost;
        GameEnded();
        RecordGameEnd(GameEnd::Lost);
        PlaySoundResource("LOST");
        NeedDialogs();
        if (OKDialog) {
            OKDialog->SetNote(EndNote());
            OKDialog->ShowModal(3);
        }
    }
    if (Score > 0) OfferHighscore();
    UpdateToolbar();
}

FinishedGame TMainform::FinishedGameNow(GameEnd end) const {
    return {Level, end, Score, ClockTicks, DealNumber, Advice->Assisted()};
}

void TMainform::RecordGameEnd(GameEnd end) {
    // A failed write has been told by the store; the figures are simply not claimed as saved.
    StoreFinishedGame(ini, FinishedGameNow(end));
}

void TMainform::OfferHighscore() {
    if (Advice->Assisted()) return; // a game played with hints does not compete
    if (m_closing) return;           // the desktop ended the game while a message was up
    NeedDialogs();
    if (HighscoreDlg) HighscoreDlg->ShowModal(Score, false);
}

void TMainform::GameEnded() { Advice->GameEnded(Score); }

// Below the end message: why there is no highscore entry, and the par once it is found.
QString TMainform::EndNote() const {
    QStringList lines;
    if (Advice->Assisted()) lines << AssistedText();
    if (Advice->Par()) lines << ParText(*Advice->Par(), Advice->EndScore());
    return lines.join(QLatin1Char('\n'));
}

bool TMainform::HintPossible() const {
    return (GameState == gsNotStarted || GameState == gsRunning) && JudgeEnd(*this) == EndVerdict::Playing;
}

void TMainform::HintRequest() {
    if (Dragging) return;
    Advice->AskHint();
}

void TMainform::Delay(int ms) {
    box->Flush();
    if (OnDelay) {
        OnDelay(ms);
        return;
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_until(until); // no events are handled meanwhile
}

void TMainform::PlaySoundResource(const char* name) {
    if (!SoundOn) return;
    const QString n = QString::fromLatin1(name);
    if (OnSound) OnSound(n);
    PlayEffect(n);
}

// ---- the pointer ---------------------------------------------------------------------

void TMainform::boxMouseDown(Qt::MouseButton, int X, int Y) {
    m_lastPointer = QPoint(X, Y);
    if (GameState == gsNotStarted) StartGame();
    if (GameState != gsRunning || Dragging) return;
    const int s = Board.Layout.StackAt(X, Y);
    if (s < 0 || StackCount[s] == 0) return;
    PlaySoundResource("UP");
    // The card and its sprite live on the canvas, in device pixels.
    const int cs = Board.DeviceCardSize();
    const QRect top = Board.Layout.StackTopRect(s);
    DragSprite = std::make_unique<tSprite>(&Canvas, cs, cs);
    DragImage = NewBitmap(cs, cs);
    Board.DrawCard(DragImage, 0, 0, TopCard(s));
    DragSprite->SetImage(&DragImage, 0, 0);
    DragSprite->SetPosition(Board.Dev(top.x()), Board.Dev(top.y()));
    Board.DrawStack(s, false);
    DragSprite->Show(); // saves the lifted stack and paints the card where it lay
    DragSprite->Grab(Board.Dev(X), Board.Dev(Y));
    m_dragGrab = QPoint(X - top.x(), Y - top.y());
    DragStack = s;
    Dragging = true;
}

void TMainform::boxMouseMove(int X, int Y) {
    m_lastPointer = QPoint(X, Y);
    if (Dragging && DragSprite) DragSprite->DragTo(Board.Dev(X), Board.Dev(Y));
}

void TMainform::boxMouseUp(Qt::MouseButton, int, int) {
    if (!Dragging) return;
    const int half = Board.Layout.CardSize / 2;
    // The card's centre decides, not where the pointer was let go.
    const int target = Board.Layout.RowAt(qRound(DragSprite->GetX() / Board.Ratio()) + half,
                                          qRound(DragSprite->GetY() / Board.Ratio()) + half);
    DragSprite->Hide();
    Dragging = false;
    DragSprite.reset();
    DragImage = QImage();

    switch (JudgeDrop(*this, target)) {
    case DropVerdict::Beside:
        PlaySoundResource("FALSCH");
        Board.DrawStack(DragStack, true);
        return;
    case DropVerdict::JokerRule:
        Board.DrawStack(DragStack, true);
        PlaySoundResource("FALSCH");
        NeedDialogs();
        if (OKDialog) OKDialog->ShowModal(1);
        return;
    case DropVerdict::Accepted:
        break;
    }
    PlaySoundResource("DOWN");
    ApplyDrop(*this, DragStack, target);
    Board.DrawRowCard(target);
    Board.DrawStack(DragStack, true);
    EvaluatePatterns();
    CheckEndOfGame();
}

void TMainform::RestartDragAfterLayout(int oldCardSize) {
    // The card is rendered anew at the new size and keeps its hold under the pointer.
    const int cs = Board.Layout.CardSize, dcs = Board.DeviceCardSize();
    const QPoint pointer = m_lastPointer;
    const QPoint grab = m_dragGrab * cs / std::max(oldCardSize, 1);
    DragImage = NewBitmap(dcs, dcs);
    Board.DrawCard(DragImage, 0, 0, TopCard(DragStack));
    DragSprite = std::make_unique<tSprite>(&Canvas, dcs, dcs);
    DragSprite->SetImage(&DragImage, 0, 0);
    DragSprite->SetPosition(Board.Dev(pointer.x() - grab.x()), Board.Dev(pointer.y() - grab.y()));
    DragSprite->Show();
    DragSprite->Grab(Board.Dev(pointer.x()), Board.Dev(pointer.y()));
}

void TMainform::PatShapeMouseDown(int position) {
    if (GameState == gsNotStarted) StartGame();
    if (GameState != gsRunning || Dragging) return;
    const int points = ClaimValue(*this, position); // halved while the joker lies in the row
    if (points < 0) return;
    PlaySoundResource("TAKE");
    Board.ClaimFlash(position, points, [this] { Delay(100); });
    ApplyClaim(*this, position, points);
    Board.DrawScore();
    for (int i = 1; i <= PatternCount; ++i) Board.DrawPattern(i);
    CheckEndOfGame();
}

void TMainform::TimerTimer() {
    midi.KeepAlive(MusicOn);
    // A dragged card lies over whatever it passes: the glittering frames and the score are
    // drawn under it, so it neither gets painted over nor brings back old pixels later.
    const bool underCard = Dragging && DragSprite && DragSprite->IsVisible();
    if (underCard) DragSprite->Hide();
    if (GameState == gsNotStarted || GameState == gsRunning) Board.FlashFrames();
    if (ClockStep(*this)) Board.DrawScore();
    if (underCard) DragSprite->Show();
    if (Keys) Keys->Tick();
}

// ---- the toolbar ---------------------------------------------------------------------

void TMainform::ResetBtnClick() { DealAfresh(0); }

void TMainform::RestartDealClick() { DealAfresh(DealNumber); }

void TMainform::DealAfresh(std::int32_t number) {
    if (GameState == gsPaused) return;
    if (GameState == gsRunning) {
        if (!AskToDropTheGame()) return;
        GameState = gsLost;
        GameEnded();
        RecordGameEnd(GameEnd::Mixed);
        if (Score > 0) OfferHighscore();
    }
    PlaySoundResource("MIX");
    if (number > 0)
        NewDeal(number);
    else
        NewDeal();
    DrawTable();
    EvaluatePatterns();
}

bool TMainform::AskToDropTheGame() {
    NeedDialogs();
    YesNoDialog->ShowModal(2);
    // Only the player's yes drops the game. When the desktop ends the game while the question
    // waits, the question ends without an answer and the close has already counted the game.
    return YesNoDialog->ModalResult() == mrYes && !m_closing;
}

void TMainform::GiveUpBtnClick() {
    if (GameState != gsRunning) return;
    if (!AskToDropTheGame()) return;
    GameState = gsLost;
    GameEnded();
    RecordGameEnd(GameEnd::GivenUp);
    PlaySoundResource("LOST");
    if (Score > 0) OfferHighscore();
    Score = 0;
    Board.DrawScore();
    UpdateToolbar();
}

void TMainform::PauseBtnClick() {
    if (GameState == gsRunning) {
        GameState = gsPaused;
        boxPaint();
    } else if (GameState == gsPaused) {
        GameState = gsRunning;
        boxPaint();
    }
    UpdateToolbar();
}

void TMainform::HighScoreBtnClick() {
    NeedDialogs();
    HighscoreDlg->ShowModal(Score, true);
}

void TMainform::OptionBtnClick() {
    NeedDialogs();
    qxMultiDlg->DialogLevel = Level;
    qxMultiDlg->ShowPage(TOptionsPage::Options);
    const int chosen = qxMultiDlg->DialogLevel;
    if (chosen == Level || m_closing) return;
    if (GameState == gsRunning) {
        if (!AskToDropTheGame()) return; // the game goes on at its level
        GameState = gsLost;
        GameEnded();
        RecordGameEnd(GameEnd::LevelChanged);
        if (Score > 0) OfferHighscore();
        Score = 0;
        Board.DrawScore();
        UpdateToolbar();
    } else if (GameState == gsPaused) {
        RecordGameEnd(GameEnd::LevelChanged); // dropped without a question, but it was played
    }
    SetLevel(chosen);
    LayoutBoard(); // the pattern panel's width follows the number of patterns
    PlaySoundResource("MIX");
    NewDeal();
    Board.RestoreBelowBand();
    DrawTable();
    EvaluatePatterns();
    ApplyMainTexts();
}

void TMainform::StatisticsClick() {
    NeedDialogs();
    if (StatisticsDlg) StatisticsDlg->ShowModal();
}

void TMainform::InfoBtnClick() {
    NeedDialogs();
    qxMultiDlg->ShowPage(TOptionsPage::Info);
    // The info page closes before the deal restarts, so the question stands over the board.
    if (qxMultiDlg->TakeRestartRequest()) RestartDealClick();
    if (qxMultiDlg->TakeHintRequest()) HintRequest();
}

void TMainform::HelpBtnClick() {
    Help.Quit();
    Help.SetHelpFile(DataDir + QStringLiteral("ZLVO1.html"));
    Help.ShowTopic(Language == 1 ? QStringLiteral("Das_Spiel") : QStringLiteral("The_game"));
}

void TMainform::ExitBtnMouseDown() { close(); }

// ---- texts and options ---------------------------------------------------------------

void TMainform::ApplyMainTexts() {
    for (int i = 1; i <= PatternCount; ++i)
        PatternShapes[i]->setToolTip(QString::fromUtf8(PatternName(PatternIds[i], Language)));
    ScoreLabel->setText(MainText(TMainText::ScoreCaption));
    ScoreLabel->adjustSize();
    MixBtn->SetHint(MainText(TMainText::MixHint));
    GiveUpBtn->SetHint(MainText(GiveUpBtn->Enabled() ? TMainText::GiveUpHintEnabled : TMainText::GiveUpHintDisabled));
    PauseBtn->SetHint(MainText(PauseBtn->Enabled() ? TMainText::PauseHintEnabled : TMainText::PauseHintDisabled));
    HighScoreBtn->SetHint(MainText(TMainText::HighScoreHint));
    OptionBtn->SetHint(MainText(TMainText::OptionHint));
    InfoBtn->SetHint(MainText(TMainText::InfoHint));
    HelpBtn->SetHint(MainText(TMainText::HelpHint));
    ExitBtn->SetHint(MainText(TMainText::ExitHint));
    setWindowTitle(MainTitle(Level));
    if (Keys) Keys->TextsApplied();
}

void TMainform::SwitchMusic() { midi.Switch(MusicOn); }

QString TMainform::MusicFileName() const { return midi.FileName(); }

void TMainform::SetBackground(int index) {
    Board.BackgroundIndex = std::clamp(index, 0, BackgroundCount - 1);
    LayoutBoard();
    boxPaint();
    box->Flush(); // behind the open dialog, at once
    ApplyMainTexts();
}
