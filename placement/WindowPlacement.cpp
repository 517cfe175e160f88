#include "placement/WindowPlacement.h"

#include "settings/ini.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QWindow>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

const QString Section = QStringLiteral("common");
const QString RecordKey = QStringLiteral("MainForm");
constexpr qint64 MaxWindowSide = 16777215; // QWIDGETSIZE_MAX

int ClampToInt(qint64 v) {
    return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Fits [lo, lo + size) into [from, to): shrinks it to the room there is (never below
// minSize), then moves it inside, the low edge winning where it cannot fit whole.
void FitAxis(qint64& lo, qint64& size, qint64 from, qint64 to, qint64 minSize) {
    size = std::max(std::min(size, to - from), minSize);
    if (lo + size > to)
        lo = to - size;
    if (lo < from)
        lo = from;
}

qint64 OverlapArea(const QRect& a, const QRect& b) {
    const qint64 w = std::min(qint64(a.left()) + a.width(), qint64(b.left()) + b.width()) -
                     std::max<qint64>(a.left(), b.left());
    const qint64 h = std::min(qint64(a.top()) + a.height(), qint64(b.top()) + b.height()) -
                     std::max<qint64>(a.top(), b.top());
    return w > 0 && h > 0 ? w * h : 0;
}

} // namespace

std::optional<TPlacementRecord> ParsePlacement(const QString& text) {
    const QStringList fields = text.split(u',');
    if (fields.size() != 7 || fields[0] != QString::number(PlacementMark))
        return std::nullopt;
    int v[7];
    for (int i = 1; i < 7; ++i) {
        const std::optional<int> n = ParseDecimalInt(fields[i]);
        if (!n)
            return std::nullopt;
        v[i] = *n;
    }
    TPlacementRecord r{v[1], v[2], v[3], v[4], v[5], v[6]};
    const qint64 width = qint64(r.right) - r.left, height = qint64(r.bottom) - r.top;
    if (width < 1 || width > MaxWindowSide || height < 1 || height > MaxWindowSide)
        return std::nullopt;
    return r;
}

QString FormatPlacement(const TPlacementRecord& r) {
    return QStringList{QString::number(PlacementMark), QString::number(r.flags), QString::number(r.showCmd),
                       QString::number(r.left),        QString::number(r.top),   QString::number(r.right),
                       QString::number(r.bottom)}
        .join(u',');
}

QRect FitOnScreen(const QRect& frame, const QRect& screen, QSize minFrame) {
    qint64 left = frame.left(), top = frame.top(), width = frame.width(), height = frame.height();
    FitAxis(left, width, screen.left(), qint64(screen.left()) + screen.width(), std::max(minFrame.width(), 1));
    FitAxis(top, height, screen.top(), qint64(screen.top()) + screen.height(), std::max(minFrame.height(), 1));
    return QRect(ClampToInt(left), ClampToInt(top), ClampToInt(width), ClampToInt(height));
}

QRect PlaceFrame(const std::optional<TPlacementRecord>& record, const QList<QRect>& screens, QSize minFrame,
                 QSize defaultFrame) {
    if (screens.isEmpty())
        return record ? record->NormalRect() : QRect();
    if (!record) {
        const QRect& primary = screens.first();
        return FitOnScreen(QRect(CentredOnScreen(defaultFrame, primary), defaultFrame), primary, minFrame);
    }
    // The record's rectangle is at most 16777215 wide and high (ParsePlacement), so it fits a QRect.
    const QRect frame = record->NormalRect();
    const QRect* best = &screens.first();
    qint64 bestArea = 0;
    for (const QRect& s : screens) {
        const qint64 area = OverlapArea(frame, s);
        if (area > bestArea) {
            best = &s;
            bestArea = area;
        }
    }
    return FitOnScreen(frame, *best, minFrame);
}

QPoint CentredOnScreen(QSize window, const QRect& screen) {
    return QPoint(screen.left() + (screen.width() - window.width()) / 2,
                  screen.top() + (screen.height() - window.height()) / 2);
}

QList<QRect> ExplodeRects(QPoint pointer, const QRect& window) {
    // std::nearbyint rounds halves to the even neighbour in the default rounding mode.
    QList<QRect> rects;
    for (int i = 1; i <= 40; ++i) {
        const int left = int(std::nearbyint(pointer.x() + i * double(window.left() - pointer.x()) / 40));
        const int top = int(std::nearbyint(pointer.y() + i * double(window.top() - pointer.y()) / 40));
        const int right = int(std::nearbyint(left + i * double(window.width()) / 40));
        const int bottom = int(std::nearbyint(top + i * double(window.height()) / 40));
        rects.append(QRect(left, top, right - left, bottom - top));
    }
    return rects;
}

namespace {

// A short-lived frameless window over the screen area of the effect. Its shape is cut to
// the outlines currently shown, so the desktop shows through everywhere else even without
// a compositor; the outlines are painted in alternating dark and light pixels.
class TOutlineOverlay : public QWidget {
public:
    explicit TOutlineOverlay(QList<QRect> rects)
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                               Qt::X11BypassWindowManagerHint),
          m_rects(std::move(rects)) {
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_ShowWithoutActivating);
        QRect area;
        for (const QRect& r : std::as_const(m_rects))
            area |= r;
        setGeometry(area);
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &TOutlineOverlay::Step);
    }

    void Start() {
        m_clock.start();
        m_timer.start();
        Step();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
    }

private:
    // The rectangles are drawn one after the other and then erased in the same order:
    // 80 steps spread over a quarter of a second by the clock, not by the processor.
    void Step() {
        constexpr qint64 DurationMs = 250;
        const qint64 step = m_clock.elapsed() * 80 / DurationMs;
        if (step >= 80) {
            m_timer.stop();
            close();
            return;
        }
        const qsizetype drawn = std::min<qint64>(step + 1, 40), erased = std::max<qint64>(step - 39, 0);
        QRegion shape;
        for (qsizetype i = erased; i < drawn; ++i) {
            const QRect r = m_rects[i].translated(-pos());
            if (r.width() <= 0 || r.height() <= 0)
                continue;
            shape += QRect(r.left(), r.top(), r.width(), 1);
            shape += QRect(r.left(), r.bottom(), r.width(), 1);
            shape += QRect(r.left(), r.top(), 1, r.height());
            shape += QRect(r.right(), r.top(), 1, r.height());
        }
        if (shape.isEmpty()) { // an empty mask would show the whole window
            hide();
            return;
        }
        setMask(shape);
        if (!isVisible())
            show();
    }

    QList<QRect> m_rects;
    QTimer m_timer;
    QElapsedTimer m_clock;
};

} // namespace

TWindowPlacement::TWindowPlacement(QWidget* form, TIniStore& ini)
    : QObject(form), m_form(form), m_ini(ini), m_defaultClient(form->size().expandedTo(form->minimumSize())) {
    form->installEventFilter(this);
    // Placed now, while the window does not exist on the screen yet: a position given before
    // it is mapped is the one the window manager puts the frame at.
    RestorePlacement();
    m_placedForShow = true;
}

bool TWindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_form) {
        switch (event->type()) {
        case QEvent::Show:
            // The program's own show() only: a window restored from the task bar keeps its place.
            if (event->spontaneous())
                break;
            if (!m_placedForShow)
                RestorePlacement();
            m_placedForShow = false;
            if (QWindow* window = m_form->windowHandle())
                window->installEventFilter(this); // for its exposure, below
            PlayShowEffect();
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
        case QEvent::WindowStateChange:
            SettleFrame();
            break;
        default:
            break;
        }
    } else if (event->type() == QEvent::Expose && watched == m_form->windowHandle()) {
        // The first exposure comes after the window manager has framed the window, even when
        // the window itself did not move.
        SettleFrame();
    }
    return false;
}

bool TWindowPlacement::CanPlaceWindows() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

QMargins TWindowPlacement::FrameMargins() const {
    const QRect frame = m_form->frameGeometry(), client = m_form->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

QRect TWindowPlacement::TargetFrame(QMargins margins) const {
    QList<QRect> screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        screens.append(primary->availableGeometry());
    for (const QScreen* s : QGuiApplication::screens())
        if (s != primary)
            screens.append(s->availableGeometry());
    return PlaceFrame(ParsePlacement(m_recordRead), screens, m_form->minimumSize().grownBy(margins),
                      m_defaultClient.grownBy(margins));
}

void TWindowPlacement::ApplyFrame(const QRect& frame, QMargins margins) {
    const QSize client = frame.size().shrunkBy(margins);
    if (m_form->testAttribute(Qt::WA_WState_Created) && !margins.isNull()) {
        m_form->setGeometry(QRect(frame.topLeft() + QPoint(margins.left(), margins.top()), client));
    } else {
        // Without a frame yet, move() is the one that means the frame's corner.
        m_form->resize(client);
        m_form->move(frame.topLeft());
    }
}

void TWindowPlacement::RestorePlacement() {
    m_recordRead = m_ini.ReadText(Section, RecordKey, QString());
    const std::optional<TPlacementRecord> record = ParsePlacement(m_recordRead);
    const Qt::WindowStates state = m_form->windowState();
    const bool maximize = state.testFlag(Qt::WindowMaximized) || (record && record->showCmd == scMaximized);
    if (!CanPlaceWindows()) {
        if (maximize)
            m_form->setWindowState(state | Qt::WindowMaximized);
        return;
    }

    // The normal rectangle is set while the window is not maximized, so that it is the one
    // the window returns to when the player restores it.
    constexpr Qt::WindowStates NotNormal = Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;
    if (state & NotNormal)
        m_form->setWindowState(state & ~NotNormal);
    const QMargins margins = FrameMargins(); // of an earlier showing; none before the first
    const QRect frame = TargetFrame(margins);
    if (frame.isValid()) {
        ApplyFrame(frame, margins);
        m_target = frame;
        m_targetClient = frame.size().shrunkBy(margins);
        m_settlePending = true;
    }
    if (maximize)
        m_form->setWindowState(m_form->windowState() | Qt::WindowMaximized);
}

void TWindowPlacement::SettleFrame() {
    if (!m_form->isVisible() || (m_form->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized |
                                                           Qt::WindowFullScreen)))
        return;
    const QMargins margins = FrameMargins();
    if (margins.isNull())
        return; // not framed (yet), or no window manager at all
    m_normalMargins = margins;
    if (!m_settlePending)
        return;
    m_settlePending = false;
    // Only a window still as it was placed, seen with its frame now; one that was moved or
    // resized meanwhile stays where it was put.
    const bool untouched = m_form->size() == m_targetClient && (m_form->pos() == m_target.topLeft() ||
                                                                m_form->geometry().topLeft() == m_target.topLeft());
    if (!untouched)
        return;
    const QRect frame = TargetFrame(margins);
    if (frame.isValid() && frame != m_form->frameGeometry())
        ApplyFrame(frame, margins);
}

TPlacementRecord TWindowPlacement::CurrentPlacement() const {
    TPlacementRecord r;
    const Qt::WindowStates state = m_form->windowState();
    r.showCmd = state.testFlag(Qt::WindowMaximized)   ? scMaximized
                : state.testFlag(Qt::WindowMinimized) ? scMinimized
                                                      : scNormal;
    QRect frame = m_form->frameGeometry();
    if (r.showCmd != scNormal && m_form->normalGeometry().isValid()) {
        // The frame around the normal window as last seen; a window that has not been seen
        // framed yet still has the rectangle it was placed at, which is its frame already.
        frame = m_form->normalGeometry().marginsAdded(m_normalMargins);
    }
    r.left = frame.left();
    r.top = frame.top();
    r.right = frame.left() + frame.width();
    r.bottom = frame.top() + frame.height();
    return r;
}

QString TWindowPlacement::RecordText() const { return CanPlaceWindows() ? FormatPlacement(CurrentPlacement()) : m_recordRead; }

void TWindowPlacement::SavePlacement() {
    const QString text = RecordText();
    if (!text.isEmpty())
        m_ini.WriteText(Section, RecordKey, text);
}

void TWindowPlacement::SavePlacement(TIniEdit& edit) const {
    const QString text = RecordText();
    if (!text.isEmpty())
        edit.WriteText(Section, RecordKey, text);
}

bool TWindowPlacement::CanPlayShowEffect() {
    const QString platform = QGuiApplication::platformName();
    return QGuiApplication::primaryScreen() &&
           (platform == QLatin1String("xcb") || platform == QLatin1String("windows") ||
            platform == QLatin1String("cocoa"));
}

void TWindowPlacement::PlayShowEffect() {
    if (!CanPlayShowEffect())
        return;
    QRect target = m_form->frameGeometry();
    if (m_form->windowState().testFlag(Qt::WindowMaximized) && m_form->screen())
        target = m_form->screen()->availableGeometry();
    auto* overlay = new TOutlineOverlay(ExplodeRects(QCursor::pos(), target));
    overlay->Start();
}
