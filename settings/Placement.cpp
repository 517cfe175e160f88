#include "settings/Placement.h"

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

// Moves [lo, hi) back inside [from, to) along one axis as the record rule says.
void FitAxis(int& lo, int& hi, int from, int to) {
    const qint64 size = std::llabs(qint64(hi) - lo);
    if (hi > to) {
        lo = ClampToInt(qint64(to) - size);
        hi = to;
    } else if (hi <= from) {
        lo = from;
        hi = ClampToInt(qint64(from) + size);
    }
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

TPlacementRecord FitOnScreen(TPlacementRecord r, const QRect& screen) {
    FitAxis(r.left, r.right, screen.left(), screen.left() + screen.width());
    FitAxis(r.top, r.bottom, screen.top(), screen.top() + screen.height());
    return r;
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

TLMDForm::TLMDForm(QWidget* form, TLMDIniCtrl& ini) : QObject(form), m_form(form), m_ini(ini) {
    form->installEventFilter(this);
}

bool TLMDForm::eventFilter(QObject* watched, QEvent* event) {
    // The program's own show() only: a window restored from the task bar keeps its place.
    if (watched == m_form && event->type() == QEvent::Show && !event->spontaneous()) {
        RestorePlacement();
        PlayShowEffect();
    }
    return false;
}

void TLMDForm::RestorePlacement() {
    const std::optional<TPlacementRecord> record = ParsePlacement(m_ini.ReadText(Section, RecordKey, QString()));
    QScreen* screen = record ? QGuiApplication::screenAt(record->NormalRect().center()) : nullptr;
    if (!screen)
        screen = m_form->screen();
    if (!screen)
        return;

    // The normal rectangle is set while the window is not maximized, so that it is the one
    // the window returns to when the player restores it.
    const Qt::WindowStates state = m_form->windowState();
    bool maximize = state.testFlag(Qt::WindowMaximized);
    if (state & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
        m_form->setWindowState(state & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    if (record) {
        const TPlacementRecord fitted = FitOnScreen(*record, screen->geometry());
        m_form->move(fitted.left, fitted.top);
        m_form->resize(fitted.right - fitted.left, fitted.bottom - fitted.top);
        maximize = maximize || record->showCmd == scMaximized;
    } else {
        m_form->move(CentredOnScreen(m_form->frameGeometry().size(), screen->geometry()));
    }
    if (maximize)
        m_form->setWindowState(m_form->windowState() | Qt::WindowMaximized);
}

TPlacementRecord TLMDForm::CurrentPlacement() const {
    // The rectangle is kept as the frame's top-left corner and the client size. The window
    // manager's frame is not known before the window is shown, so a record of the outer
    // size would make the window grow by its frame at every start.
    TPlacementRecord r;
    const Qt::WindowStates state = m_form->windowState();
    r.showCmd = state.testFlag(Qt::WindowMaximized)   ? scMaximized
                : state.testFlag(Qt::WindowMinimized) ? scMinimized
                                                      : scNormal;
    QRect normal(m_form->pos(), m_form->size());
    if (r.showCmd != scNormal && m_form->normalGeometry().isValid()) {
        const QPoint frameOffset = m_form->geometry().topLeft() - m_form->pos();
        normal = QRect(m_form->normalGeometry().topLeft() - frameOffset, m_form->normalGeometry().size());
    }
    r.left = normal.left();
    r.top = normal.top();
    r.right = normal.left() + normal.width();
    r.bottom = normal.top() + normal.height();
    return r;
}

void TLMDForm::SavePlacement() { m_ini.WriteText(Section, RecordKey, FormatPlacement(CurrentPlacement())); }

void TLMDForm::SavePlacement(TIniEdit& edit) const {
    edit.WriteText(Section, RecordKey, FormatPlacement(CurrentPlacement()));
}

bool TLMDForm::CanPlayShowEffect() {
    const QString platform = QGuiApplication::platformName();
    return QGuiApplication::primaryScreen() &&
           (platform == QLatin1String("xcb") || platform == QLatin1String("windows") ||
            platform == QLatin1String("cocoa"));
}

void TLMDForm::PlayShowEffect() {
    if (!CanPlayShowEffect())
        return;
    QRect target = m_form->frameGeometry();
    if (m_form->windowState().testFlag(Qt::WindowMaximized) && m_form->screen())
        target = m_form->screen()->availableGeometry();
    auto* overlay = new TOutlineOverlay(ExplodeRects(QCursor::pos(), target));
    overlay->Start();
}
