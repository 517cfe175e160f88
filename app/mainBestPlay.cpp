// The main window's side of the best play: it lends the board to the replay and puts its own
// game back afterwards.

#include "app/main.h"

#include "app/Accessibility.h"
#include "app/Advice.h"
#include "app/BestPlay.h"
#include "app/Keys.h"
#include "dialogs/StatisticsDlg.h"
#include "dialogs/okDlg.h"

#include <QApplication>
#include <QTimer>

void TMainform::CreateBestPlay() {
    BestPlay = new TBestPlay(*this);
    BestPlay->ShowPosition = [this](const GameData& position) {
        TSessionState shown = Session.Snapshot();
        const int level = shown.Game.Level;
        shown.Game = position;
        Session.Restore(shown);
        if (position.Level != level) {
            Show(TChange::Level);
            ApplyMainTexts(); // the title and the patterns' names are the level's
        }
        UpdateToolbar();
        Board.Paint();
        if (Keys) Keys->Repainted();
        // Each step is told as a move, not as the cards that changed.
        if (News) News->Settle();
    };
    BestPlay->FlashClaim = [this](int position, int points) { ClaimFlash(position, points); };
    BestPlay->Wait = [this](int ms) { Delay(ms); };
    BestPlay->Say = [this](const QString& text) {
        Advice->Mark()->ShowHint({}, text);
        if (News) News->Tell(text);
    };
    BestPlay->Left = [this] {
        const int level = Session.Game().Level;
        Session.Restore(m_beforeReplay);
        Advice->Mark()->Clear();
        if (Session.Game().Level != level) Show(TChange::Level);
        UpdateToolbar();
        ApplyMainTexts();
        Board.Paint();
        if (Keys) Keys->Repainted();
        if (News) News->Settle();
    };
}

bool TMainform::BestPlayOffered() const {
    return Advice->Par() && Advice->ParDeal() == Session.Deal() && Advice->ParLevel() == Session.Game().Level;
}

void TMainform::ShowBestPlayOf(std::int32_t deal, int level) {
    if (!BestPlay || BestPlay->Active() || Dragging()) return;
    const TGameState state = Session.State();
    // A game under way is not shown its own solution, nor put aside for another deal's.
    if (state == gsRunning || state == gsPaused) return;
    if (deal <= 0) {
        if (state == gsNotStarted) return; // B on a fresh deal: there is no game played yet
        deal = Session.Deal();
        level = Session.Game().Level;
    }
    if (Advice->Par() && Advice->ParDeal() == deal && Advice->ParLevel() == level) {
        // Known at once: no words about a search.
    } else {
        Advice->ShowNote(BestPlaySearchText());
    }
    Advice->BestPlayOf(deal, level, [this, deal, level](const GameData& start, const SolverResult& found) {
        const TGameState now = Session.State();
        // The player went on meanwhile: a new game began, or another replay is shown.
        if (BestPlay->Active() || now == gsRunning || now == gsPaused || Dragging()) return;
        m_beforeReplay = Session.Snapshot();
        // Seeing the best play of the deal about to be played is a hint of the whole game.
        if (now == gsNotStarted && Session.Deal() == deal && Session.Game().Level == level)
            Session.MarkAssisted();
        m_beforeReplay.Assisted = Session.Assisted();
        TSessionState shown = m_beforeReplay;
        shown.Deal = deal;
        shown.Line.clear();
        Session.Restore(shown);
        BestPlay->Start(start, found.Moves, now == gsWon ? gsWon : gsLost);
    });
}

void TMainform::ShowBestPlayWhenFree() {
    // The end message closes before the game's end is through (the highscore entry may still
    // ask for a name): the replay waits until no window waits for an answer.
    QTimer::singleShot(50, this, [this] {
        if (QApplication::activeModalWidget())
            ShowBestPlayWhenFree();
        else
            ShowBestPlay();
    });
}

void TMainform::LeaveBestPlay() {
    if (BestPlay) BestPlay->Leave();
}
