#include "app/Advice.h"

#include "texts/Language.h"

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

QString HintText(const SolverMove& move) {
    if (move.Type == SolverMove::Kind::Claim) {
        const QString name = QString::fromUtf8(PatternName(move.PatternId, Language));
        return IsGerman() ? QStringLiteral("Tipp: nimm „%1“").arg(name)
                          : QStringLiteral("Hint: claim “%1”").arg(name);
    }
    return IsGerman()
               ? QStringLiteral("Tipp: Stapel %1 auf Platz %2").arg(move.Stack + 1).arg(move.Target + 1)
               : QStringLiteral("Hint: stack %1 onto row position %2")
                     .arg(move.Stack + 1)
                     .arg(move.Target + 1);
}

// ---- the blinking frame ------------------------------------------------------------------

namespace {
// Four blinks in a second, each lit three times as long as it is dark.
constexpr int BlinkMs = 62;
constexpr int BlinkSteps = 16;
} // namespace

THintMark::THintMark(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    m_blink = new QTimer(this);
    m_blink->setInterval(BlinkMs);
    connect(m_blink, &QTimer::timeout, this, [this] {
        if (--m_steps <= 0) {
            m_blink->stop();
            hide();
            return;
        }
        setVisible(m_steps % 4 != 0);
    });
}

void THintMark::Flash(const QList<QRect>& places) {
    m_places = places;
    setGeometry(parentWidget()->rect());
    raise();
    m_steps = BlinkSteps;
    show();
    update();
    m_blink->start();
}

bool THintMark::Flashing() const {
    return m_blink->isActive();
}

void THintMark::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (const QRect& r : m_places) {
        // A dark rim under a light one: it reads on every background colour and every card.
        p.setPen(QPen(QColor(20, 20, 20), 6));
        p.drawRect(r.adjusted(-3, -3, 3, 3));
        p.setPen(QPen(QColor(255, 236, 64), 3));
        p.drawRect(r.adjusted(-3, -3, 3, 3));
    }
}

// ---- par and hints -----------------------------------------------------------------------

TAdvice::TAdvice(const GameData& game, QWidget* parent)
    : QObject(parent), m_game(game), m_mark(new THintMark(parent)) {}

void TAdvice::DealLaid(const Table& dealt, int level, std::int32_t number) {
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
    GameData start;
    ::SetLevel(start, m_dealtLevel);
    StartDeal(start, m_dealt);
    EvaluatePatterns(start);
    const int level = m_dealtLevel;
    const std::int32_t number = m_dealtNumber;
    m_parRunner.Start(start, [this, score, level, number](const SolverResult& found) {
        m_par = found.Points;
        m_parLevel = level;
        m_parDeal = number;
        if (OnPar) OnPar(found.Points, score);
    });
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
        if (PlacesFor) m_mark->Flash(PlacesFor(move));
        if (OnHint) OnHint(move);
    });
}
