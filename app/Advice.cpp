#include "app/Advice.h"

#include "texts/Language.h"

#include "game/Deal.h"

#include "app/Accessibility.h"

#include <QPainter>
#include <QTimer>
#include <QWidget>

QString AssistedText(bool tookBack) {
    if (tookBack)
        return IsGerman() ? QStringLiteral("Mit Zugrücknahme gespielt: kein Eintrag in die Bestenliste.")
                          : QStringLiteral("A move was taken back: no highscore entry.");
    return IsGerman() ? QStringLiteral("Mit Tipp gespielt: kein Eintrag in die Bestenliste.")
                      : QStringLiteral("A hint was used: no highscore entry.");
}

QString MoveText(const SolverMove& move, const GameData& game) {
    if (move.Type == SolverMove::Kind::Claim) {
        const QString name = QString::fromUtf8(PatternName(move.PatternId, Language));
        return IsGerman() ? QStringLiteral("nimm „%1“").arg(name) : QStringLiteral("claim “%1”").arg(name);
    }
    const bool known = move.Stack >= 0 && move.Stack < StackTotal && game.StackCount[move.Stack] > 0;
    const QString card = known ? CardName(game.TopCard(move.Stack)) : QString();
    return IsGerman() ? QStringLiteral("%1 von Stapel %2 auf Platz %3")
                            .arg(card)
                            .arg(move.Stack + 1)
                            .arg(move.Target + 1)
                      : QStringLiteral("drop the %1 from stack %2 on position %3")
                            .arg(card)
                            .arg(move.Stack + 1)
                            .arg(move.Target + 1);
}

QString HintText(const SolverMove& move, const GameData& game) {
    return (IsGerman() ? QStringLiteral("Tipp: ") : QStringLiteral("Hint: ")) + MoveText(move, game);
}

// ---- the mark ---------------------------------------------------------------------------

THintMark::THintMark(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void THintMark::ShowHint(const QList<QRect>& places, const QString& text) {
    m_places = places;
    m_text = text;
    setGeometry(parentWidget()->rect());
    raise();
    show();
    update();
}

void THintMark::Clear() {
    hide();
    m_places.clear();
    m_text.clear();
}

void THintMark::SetTextBand(const QRect& band) {
    m_band = band;
    // Over the whole board, whatever size it has now (also when set before it was first shown).
    setGeometry(parentWidget()->rect());
    update();
}

void THintMark::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The words first: where the gap between the patterns and the row is narrow, the marks
    // reach into the box's edge and must stay whole.
    if (!m_text.isEmpty() && !m_band.isEmpty()) {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(std::max(12, m_band.height() * 3 / 5));
        font.setBold(true);
        p.setFont(font);
        const int width = std::min(m_band.width(), p.fontMetrics().horizontalAdvance(m_text) + m_band.height());
        const QRect box(m_band.center().x() - width / 2, m_band.top(), width, m_band.height());
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(QColor(0, 0, 0, 215));
        p.drawRoundedRect(box, 6, 6);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, m_text);
        p.setBrush(Qt::NoBrush);
    }
    for (const QRect& r : m_places) {
        // A black rim around a white one: it reads on every board colour and every card, for
        // every kind of colour vision. Corner brackets stand out from the keyboard's ring.
        const QRect frame = r.adjusted(-4, -4, 4, 4);
        p.setPen(QPen(Qt::black, 7));
        p.drawRect(frame);
        p.setPen(QPen(Qt::white, 3));
        p.drawRect(frame);
        const int arm = std::max(8, r.width() / 4);
        p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::SquareCap));
        const QRect c = frame.adjusted(-5, -5, 5, 5);
        for (const QPoint corner : {c.topLeft(), c.topRight(), c.bottomLeft(), c.bottomRight()}) {
            const int dx = corner.x() == c.left() ? arm : -arm;
            const int dy = corner.y() == c.top() ? arm : -arm;
            p.drawLine(corner, corner + QPoint(dx, 0));
            p.drawLine(corner, corner + QPoint(0, dy));
        }
    }
}

// ---- par and hints -----------------------------------------------------------------------

namespace {
// A deal as its game begins, its first offers evaluated: where the par's search starts.
GameData Opening(const Table& dealt, int level) {
    GameData start;
    ::SetLevel(start, level);
    StartDeal(start, dealt);
    EvaluatePatterns(start);
    return start;
}
} // namespace

TAdvice::TAdvice(const GameData& game, QWidget* parent)
    : QObject(parent), m_game(game), m_mark(new THintMark(parent)) {}

void TAdvice::DealLaid(const Table& dealt, int level, std::int32_t number) {
    m_mark->Clear();
    m_dealt = dealt;
    m_dealtLevel = level;
    m_dealtNumber = number;
    ++m_deal;
    m_hintRunner.Cancel();
}

void TAdvice::GameEnded(int score, int points) {
    m_hintRunner.Cancel();
    m_par.reset();
    m_endScore = score;
    m_endPoints = points;
    const GameData start = Opening(m_dealt, m_dealtLevel);
    const int level = m_dealtLevel;
    const std::int32_t number = m_dealtNumber;
    m_parRunner.Start(start, [this, score, level, number, start](const SolverResult& found) {
        m_par = found.Points;
        m_parFound = found;
        m_parStart = start;
        m_parLevel = level;
        m_parDeal = number;
        if (OnPar) OnPar(found.Points, score);
    });
}

void TAdvice::BestPlayOf(std::int32_t deal, int level,
                         std::function<void(const GameData& start, const SolverResult& found)> done) {
    if (m_par && m_parDeal == deal && m_parLevel == level) {
        m_lineRunner.Cancel();
        done(m_parStart, m_parFound);
        return;
    }
    // The search is the par's own, so the line it finds is the one the par was found with.
    const GameData start = Opening(DealByNumber(deal), level);
    m_lineRunner.Start(start,
                       [start, done = std::move(done)](const SolverResult& found) { done(start, found); });
}

void TAdvice::AskHint() {
    const TGameState state = m_game.GameState;
    if (state != gsNotStarted && state != gsRunning) return;
    if (JudgeEnd(m_game) != EndVerdict::Playing) return;
    const GameData asked = m_game;
    const int deal = m_deal;
    m_hintRunner.Start(asked, [this, asked, deal](const SolverResult& found) {
        // The board moved on while the solver was thinking: the answer is for another position.
        if (deal != m_deal || m_game.Row != asked.Row || m_game.StackCount != asked.StackCount ||
            m_game.PatternState != asked.PatternState || found.Moves.empty())
            return;
        const TGameState now = m_game.GameState;
        if (now != gsNotStarted && now != gsRunning) return;
        const SolverMove& move = found.Moves.front();
        m_hinted = m_game;
        if (PlacesFor) m_mark->ShowHint(PlacesFor(move), HintText(move, m_game));
        if (OnHint) OnHint(move);
    }, HintSettings()); // a hint must come at once: the quick search, not the par's
}

void TAdvice::BoardChanged() {
    if (!m_mark->Showing()) return;
    // The next move, a new deal or the end of the game: the hint was for another position.
    if (m_game.Row != m_hinted.Row || m_game.StackCount != m_hinted.StackCount ||
        m_game.PatternState != m_hinted.PatternState || m_game.GameState != m_hinted.GameState ||
        m_game.Level != m_hinted.Level)
        m_mark->Clear();
}

void TAdvice::ShowNote(const QString& text) {
    m_hinted = m_game;
    m_mark->ShowHint({}, text);
}
