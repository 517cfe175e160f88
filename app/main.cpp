#include "app/main.h"

#include "app/Accessibility.h"
#include "app/Advice.h"
#include "app/AfterFirstPaint.h"
#include "app/BestPlay.h"
#include "app/Keys.h"
#include "app/PatternShape.h"
#include "board/PaintBox.h"
#include "board/Raster.h"
#include "controls/jetButton.h"
#include "dialogs/HighscoreDialog.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/StatisticsDlg.h"
#include "dialogs/YesNoDlg.h"
#include "dialogs/okDlg.h"
#include "game/Deal.h"
#include "media/DataFolder.h"
#include "settings/MusicFolder.h"
#include "settings/StatisticsStore.h"
#include "texts/Language.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <thread>

namespace {

const QString Common = QStringLiteral("common");
// A game the desktop ended, for the next start: a section of its own, apart from every other.
const QString KeptSection = QStringLiteral("keptgame");

std::uint32_t ClockSeed() {
    return static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count() ^
                                      std::chrono::steady_clock::now().time_since_epoch().count());
}

} // namespace

TMainform::TMainform(const QString& settingsPath, const TStartOptions& start)
    : QWidget(nullptr), ini(settingsPath), Help(this), Random(ClockSeed()), Session(*this, Random),
      Board(Canvas, Session.Game(), Random) {
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
    CreateBestPlay();
    FormCreate();
    LMDForm1 = std::make_unique<TWindowPlacement>(this, ini);
    InstallAccessibility();
    News = std::make_unique<TAnnouncer>(static_cast<TPlayView&>(*this));
    Keys = std::make_unique<TKeyboard>(static_cast<TPlayView&>(*this));
    if (!m_startNote.isEmpty()) {
        // On the board until the game moves on, and said to a screen reader.
        Advice->ShowNote(m_startNote);
        News->Tell(m_startNote);
    }
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

void TMainform::SetDialogs(THighscoreDlg* highscore, TOKDialog* ok, TYesNoDialog* yesNo,
                           TOptionsDialog* multi) {
    HighscoreDlg = highscore;
    OKDialog = ok;
    YesNoDialog = yesNo;
    qxMultiDlg = multi;
}

void TMainform::CreateToolbar() {
    for (int k = 0; k < ToolCount; ++k) {
        const TTool tool = ToolAt(k);
        auto* b = new TJetButton(this);
        b->LoadPictures(QString::fromLatin1(ToolDef(tool).Pictures));
        if (ToolDef(tool).Left) b->SetBounds(ToolDef(tool).Offset, 4, 50, 50);
        if (tool == TTool::Exit)
            connect(b, &TJetButton::OnMouseDown, this,
                    [this] { close(); }); // leaving asks at once, on the press
        else
            connect(b, &TJetButton::OnClick, this, [this, tool] { ToolClicked(tool); });
        Tools[size_t(k)] = b;
    }
}

void TMainform::ToolClicked(TTool tool) {
    LeaveBestPlay(); // every button acts on the game, not on the best play shown
    switch (tool) {
    case TTool::Mix:
        Session.NewDeal();
        break;
    case TTool::GiveUp:
        Session.GiveUp();
        break;
    case TTool::Pause:
        PauseBtnClick();
        break;
    case TTool::HighScore:
        HighScoreBtnClick();
        break;
    case TTool::Options:
        OptionBtnClick();
        break;
    case TTool::Info:
        InfoBtnClick();
        break;
    case TTool::Help:
        HelpBtnClick();
        break;
    case TTool::Exit:
        close();
        break;
    }
}

void TMainform::PressTool(TTool tool) {
    TJetButton* button = ToolButton(tool);
    // The exit button asks on the press; every other one acts on its click, and only while
    // it is enabled.
    if (tool == TTool::Exit)
        close();
    else if (button->Enabled())
        emit button->OnClick();
}

void TMainform::CreateAdvice() {
    Advice = new TAdvice(Session.Game(), this);
    Advice->PlacesFor = [this](const SolverMove& move) {
        const BoardLayout& l = Board.Layout;
        if (move.Type == SolverMove::Kind::Claim) return QList<QRect>{l.PatternRect(move.Position)};
        return QList<QRect>{l.StackTopRect(move.Stack), l.RowRect(move.Target)};
    };
    Advice->OnPar = [this](int par, int score) {
        StorePar(ini, Advice->ParLevel(), Advice->ParDeal(), par, score, Advice->EndPoints());
        if (OKDialog && OKDialog->isVisible()) {
            OKDialog->SetNote(EndNote());
            OKDialog->OfferBestPlay(BestPlayOffered());
        }
    };
    // The flash is for the eyes; a screen reader says the same move.
    Advice->OnHint = [this](const SolverMove& move) {
        Session.MarkAssisted();
        if (News) News->Tell(HintText(move, Session.Game()));
    };
}

void TMainform::FormCreate() {
    ProgramDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    DataDir = DataFolder(ProgramDir);
    Help.SetHelpFile(DataDir + QStringLiteral("ZLVO1.html"));

    // One read of the file for every value the start needs: a large file costs its parse once.
    const TIniSnapshot stored = ini.Snapshot();
    // A colour the texture does not have would leave the board undrawn.
    Board.BackgroundIndex =
        std::clamp(stored.ReadInt(Common, QStringLiteral("back"), 1), 0, BackgroundCount - 1);
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
    if (stored.ReadFlag(Common, QStringLiteral("max"), false))
        setWindowState(windowState() | Qt::WindowMaximized);

    HighscoreCipher.Init(QString(), 0);
    // A deal or a level asked for on the command line comes before a kept game, which stays
    // kept for a later start.
    const std::optional<TSessionState> kept =
        m_start.Deal > 0 || m_start.Level > 0 ? std::nullopt : KeptGame(stored);
    Session.SetLevel(kept ? kept->Game.Level : level);
    // The first deal may be asked for by number; every later new game is random again.
    Session.FirstDeal(kept ? kept->Deal : m_start.Deal);
    if (kept) Session.Restore(*kept); // paused, as it was left
    CreatePatternShapes();
    // The texts are applied before the toolbar's states are first set, so a game that has not
    // begun shows what give-up and pause will do once it has.
    for (TTool t : {TTool::Mix, TTool::GiveUp, TTool::Pause})
        ToolButton(t)->SetEnabled(true);
    ApplyMainTexts();
    UpdateToolbar();
}

std::optional<TSessionState> TMainform::KeptGame(const TIniValues& stored) {
    const auto version = stored.Text(KeptSection, QStringLiteral("version"));
    m_gameWasStored = version.has_value();
    if (!version || version->isEmpty()) return std::nullopt;
    auto kept = GameFromKeys([&stored](const std::string& key) -> std::optional<std::string> {
        const auto text = stored.Text(KeptSection, QString::fromStdString(key));
        return text ? std::optional<std::string>(text->toStdString()) : std::nullopt;
    });
    if (!kept) {
        std::fprintf(stderr,
                     "zelvano: the game kept at the last close cannot be played on and was dropped\n");
        m_startNote =
            IsGerman() ? QStringLiteral("Das zuletzt gespeicherte Spiel war beschädigt und wurde verworfen.")
                       : QStringLiteral("The game kept at the last close was damaged and has been dropped.");
        return std::nullopt;
    }
    m_startNote = IsGerman() ? QStringLiteral("Dein letztes Spiel ist zurück, angehalten: P setzt es fort.")
                             : QStringLiteral("Your last game is back, paused: press P to go on.");
    return kept;
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
    const bool redoDrag = Dragging() && DragSprite && Board.DeviceCardSize() != oldDeviceCardSize;
    if (redoDrag) DragSprite.reset(); // its saved pixels belong to the old board
    boxPaint();
    if (redoDrag) RestartDragAfterLayout(oldCardSize);
}

void TMainform::closeEvent(QCloseEvent* event) {
    // Closing is asked again: the desktop may have ended the game during the question.
    if (Session.IsClosing() || !FormCloseQuery() || Session.IsClosing()) {
        event->ignore();
        return;
    }
    Session.Closing();
    FormClose();
    event->accept();
}

// Points must not drain away while nobody can see the board: minimising a running game
// pauses it as the pause button does, and it stays paused when the window comes back.
void TMainform::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized() || Session.State() != gsRunning) return;
    if (Dragging()) {
        // The card goes back to its stack; the release, whenever it comes, finds no drag.
        if (DragSprite) DragSprite->Hide();
        DragSprite.reset();
        DragImage = QImage();
        Session.CancelLift();
    }
    PauseBtnClick();
}

bool TMainform::FormCloseQuery() {
    LeaveBestPlay();
    return Session.AskToLeave();
}

void TMainform::FormClose() {
    Timer->stop();
    LeaveBestPlay(); // the game on the board is the window's own again before it is written
    // One replacement of the file for all of it, so a crash halfway through leaves the old
    // settings or the new ones, never a mix. A game left running or paused counts as played.
    ini.Update(TIniWhat::Settings, [this](TIniEdit& edit) {
        const auto open = Session.OpenAtClose();
        if (open && m_keepGame) {
            // Kept for the next start, and counted only when it ends there.
            for (const auto& [key, value] : StoredGameKeys(Session.Snapshot()))
                edit.WriteText(KeptSection, QString::fromStdString(key), QString::fromStdString(value));
        } else {
            if (open) AddFinishedGame(edit, *open);
            if (m_gameWasStored)
                edit.WriteText(KeptSection, QStringLiteral("version"), QString()); // no game kept
        }
        edit.WriteFlag(Common, QStringLiteral("max"), isMaximized());
        edit.WriteInt(Common, QStringLiteral("back"), Board.BackgroundIndex);
        edit.WriteInt(Common, QStringLiteral("tongue"), Language);
        edit.WriteInt(Common, QStringLiteral("level"), Session.Game().Level);
        edit.WriteFlag(Common, QStringLiteral("sound"), SoundOn);
        edit.WriteFlag(Common, QStringLiteral("music"), MusicOn);
        // The window comes back where the player left it.
        LMDForm1->SavePlacement(edit);
    });
    Help.Quit();
}

void TMainform::CloseWithoutQuestions() {
    if (Session.IsClosing()) return;
    Session.Closing();
    // No window may open now (the desktop is going away): failures go to the log.
    ini.OnError = &TIniStore::LogMessage;
    m_keepGame = true;
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
    for (int k = 0; k < ToolCount; ++k)
        if (!ToolDef(ToolAt(k)).Left) Tools[size_t(k)]->SetBounds(cw - ToolDef(ToolAt(k)).Offset, 4, 50, 50);
    const BoardLayout& l = Board.Layout;
    // The hint's words stand between the patterns and the row, where the player looks: in the
    // middle of the gap between their panels, clear of both panels' borders.
    const int gapTop = l.PatternPanel().bottom() + 1, gapBottom = l.RowPanel().top();
    const int band = std::max(22, l.CardSize / 4);
    Advice->Mark()->SetTextBand(QRect(0, (gapTop + gapBottom - band) / 2, cw, band));
    for (int i = 1; i <= MaxPatternCount; ++i) {
        // Shapes of patterns not in play wait just outside the client area.
        const int left = i > Session.Game().PatternCount ? cw : l.Scaled(l.PatternX[i]) + l.BoardLeft;
        PatternShapes[i]->setGeometry(left, l.Scaled(0.029f) + l.BoardTop, l.PatternSize, l.PatternSize);
    }
}

void TMainform::boxPaint() {
    Board.Paint();
    if (Dragging()) {
        // Keep the drag whole: the lifted stack without its top card, the card over it all.
        Board.DrawStack(Session.Hand(), false);
        if (DragSprite) DragSprite->Repainted();
    }
    if (Keys) Keys->Repainted();
}

// ---- the game ------------------------------------------------------------------------

void TMainform::UpdateToolbar() {
    const ToolbarState t = ToolbarFor(Session.State());
    ToolButton(TTool::Mix)->SetEnabled(t.Mix);
    ToolButton(TTool::GiveUp)->SetEnabled(t.GiveUp);
    ToolButton(TTool::Pause)->SetEnabled(t.Pause);
}

void TMainform::DrawTable() {
    for (int i = 1; i <= Session.Game().PatternCount; ++i)
        Board.DrawPattern(i);
    for (int j = 0; j < RowSize; ++j)
        Board.DrawRowCard(j);
    for (int s = 0; s < StackTotal; ++s)
        Board.DrawStack(s, true);
}

bool TMainform::Ask(TQuestion question) {
    NeedDialogs();
    // Without its dialogs (a tool's window) the program may always be left, and no game is
    // dropped.
    if (!YesNoDialog) return question == TQuestion::Leave;
    YesNoDialog->ShowModal(question == TQuestion::Leave ? 1 : 2);
    return YesNoDialog->ModalResult() == mrYes;
}

void TMainform::Tell(TGameMessage message) {
    NeedDialogs();
    if (!OKDialog) return;
    switch (message) {
    case TGameMessage::JokerRule:
        OKDialog->ShowModal(1);
        break;
    case TGameMessage::TakenBack:
        if (News) News->Settle(); // what changed is told as one move taken back, after the message
        OKDialog->ShowModal(4);
        break;
    case TGameMessage::Won:
    case TGameMessage::Lost:
        OKDialog->SetNote(EndNote());
        OKDialog->OfferBestPlay(BestPlayOffered());
        OKDialog->ShowModal(message == TGameMessage::Won ? 2 : 3);
        if (OKDialog->TakeBestPlayRequest()) ShowBestPlayWhenFree();
        break;
    }
}

void TMainform::Play(TSound sound) {
    static const char* const Names[] = {"UP", "DOWN", "FALSCH", "TAKE", "COLLECT", "DONE", "LOST", "MIX"};
    PlaySoundResource(Names[static_cast<int>(sound)]);
}

void TMainform::Show(TChange change, int index) {
    Advice->BoardChanged();
    switch (change) {
    case TChange::Stack:
        Board.DrawStack(index, true);
        break;
    case TChange::RowCard:
        Board.DrawRowCard(index);
        break;
    case TChange::Pattern:
        Board.DrawPattern(index);
        break;
    case TChange::Score:
        Board.DrawScore();
        break;
    case TChange::Table:
        DrawTable();
        break;
    case TChange::Toolbar:
        UpdateToolbar();
        break;
    case TChange::Started:
        UpdateToolbar();
        ApplyMainTexts(); // give-up and pause now carry the hints of their enabled state
        break;
    case TChange::Paused:
        boxPaint();
        break;
    case TChange::Level:
        LayoutBoard(); // the pattern panel's width follows the number of patterns
        Board.RestoreBelowBand();
        break;
    }
}

void TMainform::ClaimFlash(int position, int points) {
    Board.ClaimFlash(position, points, [this] { Delay(100); });
}

void TMainform::DealLaid() {
    // The par is for the deal as dealt, also when a kept game comes back halfway through.
    Advice->DealLaid(DealByNumber(Session.Deal()), Session.Game().Level, Session.Deal());
}

void TMainform::GameOver(int score) {
    // The par counts the patterns and the end bonus; the clock's points are given back to
    // compare on the same terms.
    Advice->GameEnded(score, score + Session.Game().ClockTicks / TicksPerPoint);
}

void TMainform::Record(const FinishedGame& game) {
    // A failed write has been told by the store; the figures are simply not claimed as saved.
    StoreFinishedGame(ini, game);
}

void TMainform::OfferHighscore(int score) {
    NeedDialogs();
    if (HighscoreDlg) HighscoreDlg->ShowModal(score, false);
}

// Below the end message: why there is no highscore entry, and the par once it is found.
QString TMainform::EndNote() const {
    QStringList lines;
    if (Session.Assisted()) lines << AssistedText(Session.Snapshot().TookBack);
    if (Advice->Par()) lines << ParText(*Advice->Par(), Advice->EndPoints(), Advice->EndScore());
    return lines.join(QLatin1Char('\n'));
}

void TMainform::TakeBack(bool redo) {
    if (Dragging() || !(redo ? Session.Redo() : Session.Undo())) return;
    // The board changed in many places at once: a screen reader hears what happened, not a
    // list of cards.
    if (News) {
        News->Settle();
        News->Tell(TakeBackText(redo, Session.Game()));
    }
}

void TMainform::HintRequest() {
    if (Dragging()) return;
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

// ---- the pointer and the keys ---------------------------------------------------------

namespace {
// A card lifted by a key is shown this much up from its stack, so the player sees it in hand.
int RaiseOf(int cardSize) {
    return std::max(2, cardSize / 8);
}
} // namespace

void TMainform::boxMouseDown(Qt::MouseButton, int X, int Y) {
    m_lastPointer = QPoint(X, Y);
    if (BestPlay->Active()) {
        BestPlay->Leave(); // a press on the board ends the showing
        return;
    }
    Session.Touch();
    if (Dragging() || !Session.Lift(Board.Layout.StackAt(X, Y))) return;
    BeginDrag(Session.Hand(), QPoint(X, Y));
}

void TMainform::BeginDrag(int s, QPoint grab) {
    // The card and its sprite live on the canvas, in device pixels.
    const int cs = Board.DeviceCardSize();
    const QRect top = Board.Layout.StackTopRect(s);
    DragSprite = std::make_unique<tSprite>(&Canvas, cs, cs);
    DragImage = NewBitmap(cs, cs);
    Board.DrawCard(DragImage, 0, 0, Session.Game().TopCard(s));
    DragSprite->SetImage(&DragImage, 0, 0);
    DragSprite->SetPosition(Board.Dev(top.x()), Board.Dev(top.y()));
    Board.DrawStack(s, false);
    DragSprite->Show(); // saves the lifted stack and paints the card where it lay
    DragSprite->Grab(Board.Dev(grab.x()), Board.Dev(grab.y()));
    m_dragGrab = grab - top.topLeft();
}

void TMainform::boxMouseMove(int X, int Y) {
    m_lastPointer = QPoint(X, Y);
    if (Dragging() && DragSprite) DragSprite->DragTo(Board.Dev(X), Board.Dev(Y));
}

void TMainform::boxMouseUp(Qt::MouseButton, int, int) {
    if (!Dragging()) return;
    const int half = Board.Layout.CardSize / 2;
    // The card's centre decides, not where the pointer was let go.
    EndDrag(Board.Layout.RowAt(qRound(DragSprite->GetX() / Board.Ratio()) + half,
                               qRound(DragSprite->GetY() / Board.Ratio()) + half));
}

void TMainform::EndDrag(int target) {
    if (DragSprite) DragSprite->Hide();
    DragSprite.reset();
    DragImage = QImage();
    Session.Drop(target);
}

bool TMainform::LiftCard(int stack) {
    if (Dragging() || !Board.Ready() || stack < 0 || stack >= StackTotal) return false;
    Session.Touch();
    if (!Session.Lift(stack)) return false;
    const QPoint c = Board.Layout.StackTopRect(stack).center();
    BeginDrag(stack, c);
    m_lastPointer = QPoint(c.x(), c.y() - RaiseOf(Board.Layout.CardSize));
    DragSprite->DragTo(Board.Dev(m_lastPointer.x()), Board.Dev(m_lastPointer.y()));
    return true;
}

void TMainform::DropCard(int target) {
    if (!Dragging()) return;
    EndDrag(target >= 0 && target < RowSize ? target : -1);
}

void TMainform::RestartDragAfterLayout(int oldCardSize) {
    // The card is rendered anew at the new size and keeps its hold under the pointer.
    const int cs = Board.Layout.CardSize, dcs = Board.DeviceCardSize();
    const QPoint pointer = m_lastPointer;
    const QPoint grab = m_dragGrab * cs / std::max(oldCardSize, 1);
    DragImage = NewBitmap(dcs, dcs);
    Board.DrawCard(DragImage, 0, 0, Session.Game().TopCard(Session.Hand()));
    DragSprite = std::make_unique<tSprite>(&Canvas, dcs, dcs);
    DragSprite->SetImage(&DragImage, 0, 0);
    DragSprite->SetPosition(Board.Dev(pointer.x() - grab.x()), Board.Dev(pointer.y() - grab.y()));
    DragSprite->Show();
    DragSprite->Grab(Board.Dev(pointer.x()), Board.Dev(pointer.y()));
}

void TMainform::PatShapeMouseDown(int position) {
    if (BestPlay->Active()) {
        BestPlay->Leave();
        return;
    }
    Session.Claim(position);
}

void TMainform::TimerTimer() {
    midi.KeepAlive(MusicOn);
    // A dragged card lies over whatever it passes: the glittering frames and the score are
    // drawn under it, so it neither gets painted over nor brings back old pixels later.
    const bool underCard = Dragging() && DragSprite && DragSprite->IsVisible();
    if (underCard) DragSprite->Hide();
    const TGameState state = Session.State();
    if (state == gsNotStarted || state == gsRunning || BestPlay->Active()) Board.FlashFrames();
    if (Session.Tick()) Board.DrawScore();
    if (underCard) DragSprite->Show();
    if (Keys) Keys->Tick();
    if (News) News->Changed();
}

// ---- the toolbar ---------------------------------------------------------------------

void TMainform::RestartDealClick() {
    Session.NewDeal(Session.Deal());
}

void TMainform::PauseBtnClick() {
    Session.TogglePause();
}

void TMainform::HighScoreBtnClick() {
    NeedDialogs();
    HighscoreDlg->ShowModal(Session.Game().Score, true);
}

void TMainform::OptionBtnClick() {
    NeedDialogs();
    qxMultiDlg->DialogLevel = Session.Game().Level;
    qxMultiDlg->ShowPage(TOptionsPage::Options);
    if (Session.ChangeLevel(qxMultiDlg->DialogLevel)) ApplyMainTexts();
}

void TMainform::StatisticsClick() {
    NeedDialogs();
    if (!StatisticsDlg) return;
    const TGameState state = Session.State();
    StatisticsDlg->BestPlayPossible = state != gsRunning && state != gsPaused;
    StatisticsDlg->ShowModal();
    if (StatisticsDlg->TakeBestPlayRequest())
        ShowBestPlayOf(StatisticsDlg->Shown.LastDeal, StatisticsDlg->Shown.LastLevel);
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

// ---- texts and options ---------------------------------------------------------------

void TMainform::ApplyMainTexts() {
    const GameData& g = Session.Game();
    for (int i = 1; i <= g.PatternCount; ++i)
        PatternShapes[i]->setToolTip(QString::fromUtf8(PatternName(g.PatternIds[i], Language)));
    ScoreLabel->setText(MainText(TMainText::ScoreCaption));
    ScoreLabel->adjustSize();
    for (int k = 0; k < ToolCount; ++k) {
        const TToolDef& d = ToolDef(ToolAt(k));
        Tools[size_t(k)]->SetHint(MainText(Tools[size_t(k)]->Enabled() ? d.Hint : d.DisabledHint));
    }
    setWindowTitle(MainTitle(g.Level));
    if (Keys) Keys->TextsApplied();
}

void TMainform::SwitchMusic() {
    midi.Switch(MusicOn);
}

QString TMainform::MusicFileName() const {
    return midi.FileName();
}

void TMainform::SetBackground(int index) {
    Board.BackgroundIndex = std::clamp(index, 0, BackgroundCount - 1);
    LayoutBoard();
    boxPaint();
    box->Flush(); // behind the open dialog, at once
    ApplyMainTexts();
}
