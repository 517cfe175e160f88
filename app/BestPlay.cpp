#include "app/BestPlay.h"

#include "app/Advice.h" // MoveText
#include "texts/Language.h"

#include <QKeyEvent>
#include <QWidget>

namespace {
// About one move a second: slow enough to follow, quick enough to watch a whole game.
constexpr int StepMs = 1000;
// The collected cards go one by one, as at the end of a won game.
constexpr int CollectMs = 120;
} // namespace

QString ReplayText(const TReplay& replay, bool paused) {
    const int at = replay.At(), length = replay.Length();
    if (at == 0)
        return Pick({"Beste Partie: %1 Punkte. ← → Schritt, Leertaste Pause, Esc Ende",
                     "Best play: %1 points. ← → step, Space pauses, Esc leaves"})
            .arg(replay.Points());
    if (at == length && !paused)
        return (replay.Won()
                    ? Pick({"Beste Partie: %1 Punkte, gewonnen. Esc beendet",
                            "Best play: %1 points, won. Esc leaves"})
                    : Pick({"Beste Partie: %1 Punkte. Esc beendet", "Best play: %1 points. Esc leaves"}))
            .arg(replay.Points());
    const TReplayStep& step = replay.Step(at - 1);
    QString move;
    switch (step.Type) {
    case TReplayStep::Kind::Drop:
        move = MoveText(step.Move, replay.Before(at - 1));
        break;
    case TReplayStep::Kind::Claim:
        move = MoveText(step.Move, replay.Before(at - 1)) +
               Pick({": %1 Punkte", ": %1 points"}).arg(step.Points);
        break;
    case TReplayStep::Kind::Collect:
        move = Pick({"Restkarten eingesammelt: %1 Punkte", "the cards left collected: %1 points"})
                   .arg(step.Points);
        break;
    }
    const QString text =
        Pick({"Beste Partie %1/%2: %3", "Best play %1/%2: %3"}).arg(at).arg(length).arg(move);
    return paused ? text + Pick({" (angehalten)", " (paused)"}) : text;
}

QString BestPlaySearchText() {
    return Pick({"Die beste Partie wird gesucht …", "Searching for the best play …"});
}

TBestPlay::TBestPlay(QWidget& window) : QObject(&window), m_window(window) {
    m_timer.setInterval(StepMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (!Play()) m_timer.stop();
        Shown();
    });
}

TBestPlay::~TBestPlay() = default;

void TBestPlay::Start(const GameData& start, const std::vector<SolverMove>& line, TGameState shownAs) {
    if (m_active) Leave();
    m_replay = TReplay(start, line, shownAs);
    m_active = true;
    // Taken before the keyboard's own keys: installed last, asked first.
    m_window.installEventFilter(this);
    if (ShowPosition) ShowPosition(m_replay.Position());
    m_timer.start();
    Shown();
}

void TBestPlay::Leave() {
    if (!m_active) return;
    m_active = false;
    m_timer.stop();
    m_window.removeEventFilter(this);
    if (Left) Left();
}

bool TBestPlay::Play() {
    const int at = m_replay.At();
    if (at >= m_replay.Length()) return false;
    const TReplayStep& step = m_replay.Step(at);
    if (step.Type == TReplayStep::Kind::Claim && FlashClaim) {
        FlashClaim(step.Move.Position, step.Points);
    } else if (step.Type == TReplayStep::Kind::Collect && ShowPosition && Wait) {
        GameData g = m_replay.Before(at);
        while (CollectNext(g) >= 0) {
            ShowPosition(g);
            Wait(CollectMs);
        }
    }
    m_replay.Forward();
    if (ShowPosition) ShowPosition(m_replay.Position());
    return true;
}

void TBestPlay::Shown() {
    if (Say) Say(ReplayText(m_replay, Paused() && m_replay.At() < m_replay.Length()));
}

void TBestPlay::Forward() {
    m_timer.stop();
    // Stepping by hand shows the move at once, without the flash.
    if (m_replay.Forward() && ShowPosition) ShowPosition(m_replay.Position());
    Shown();
}

void TBestPlay::Back() {
    m_timer.stop();
    if (m_replay.Back() && ShowPosition) ShowPosition(m_replay.Position());
    Shown();
}

void TBestPlay::TogglePause() {
    if (m_timer.isActive()) {
        m_timer.stop();
    } else {
        if (m_replay.At() >= m_replay.Length()) {
            // Played to its end: Space starts it again from the deal.
            m_replay.ToStart();
            if (ShowPosition) ShowPosition(m_replay.Position());
        }
        m_timer.start();
    }
    Shown();
}

bool TBestPlay::Key(int key) {
    switch (key) {
    case Qt::Key_Right:
        Forward();
        return true;
    case Qt::Key_Left:
        Back();
        return true;
    case Qt::Key_Space:
        TogglePause();
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        m_timer.stop();
        if (key == Qt::Key_Home)
            m_replay.ToStart();
        else
            m_replay.ToEnd();
        if (ShowPosition) ShowPosition(m_replay.Position());
        Shown();
        return true;
    case Qt::Key_Escape:
        Leave();
        return true;
    default:
        Leave();
        return false;
    }
}

bool TBestPlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        // Modifier keys alone (the Ctrl of Ctrl+N on its way) change nothing yet.
        switch (k->key()) {
        case Qt::Key_Control:
        case Qt::Key_Shift:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
            return true;
        default:
            break;
        }
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
            Leave();
            return false;
        }
        return Key(k->key());
    }
    return QObject::eventFilter(watched, event);
}
