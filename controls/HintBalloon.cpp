#include "controls/HintBalloon.h"

#include <QApplication>
#include <QBitmap>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QtMath>
#include <QToolTip>

namespace {

constexpr int PadX = 6, PadY = 3;   // text to border
constexpr int NoseHeight = 10;      // below (or above) the body
constexpr int NoseBaseLeft = 10, NoseBaseWidth = 10;
constexpr int CornerRadius = 6;
constexpr int MaxTextWidth = 320;   // longer hints wrap
constexpr int PointerHeight = 16;   // a balloon flipped below starts under the arrow, not on it
// The nose stops just short of the pointer: a window appearing under the pointer would take it
// from the widget and end the hint at once where input transparency is not honoured.
constexpr int PointerGap = 2;

QPointer<THintBalloon> g_balloon;

void HideBalloon() {
    if (!g_balloon)
        return;
    g_balloon->hide();
    g_balloon->deleteLater();
    g_balloon = nullptr;
}

QFont BalloonFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    return f;
}

bool IsModifier(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

class THintFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::ToolTip: {
            if (!watched->isWidgetType())
                return false;
            auto* w = static_cast<QWidget*>(watched);
            // A widget without a text of its own lets the request go on to its parent.
            if (w->toolTip().isEmpty())
                return false;
            if (!g_balloon)
                g_balloon = new THintBalloon;
            g_balloon->ShowFor(w, w->toolTip(), static_cast<QHelpEvent*>(event)->globalPos());
            event->accept();
            return true;
        }
        case QEvent::Show:
            // Hints in every window of the game, also before the first click has made one
            // active (there is nobody to activate it on a bare X server).
            if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow() &&
                watched != g_balloon)
                static_cast<QWidget*>(watched)->setAttribute(Qt::WA_AlwaysShowToolTips);
            break;
        case QEvent::Leave:
        case QEvent::Hide:
        case QEvent::WindowDeactivate:
            if (g_balloon && g_balloon->Owner() &&
                (watched == g_balloon->Owner() || watched == g_balloon->Owner()->window()))
                HideBalloon();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            HideBalloon();
            break;
        case QEvent::KeyPress:
            if (!IsModifier(static_cast<QKeyEvent*>(event)->key()))
                HideBalloon();
            break;
        default:
            break;
        }
        return false;
    }
};

} // namespace

THintBalloon::THintBalloon()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                           Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_NoSystemBackground);
    setFont(BalloonFont());
    m_sleep.setSingleShot(true);
    connect(&m_sleep, &QTimer::timeout, this, [] { HideBalloon(); });
}

void THintBalloon::ShowFor(QWidget* owner, const QString& text, QPoint pointer) {
    if (m_owner)
        disconnect(m_owner, &QObject::destroyed, this, nullptr);
    m_owner = owner;
    if (owner)
        connect(owner, &QObject::destroyed, this, [] { HideBalloon(); });
    m_text = text;
    Render(); // sized in the above-right shape; only the flips below depend on where it lands

    QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->geometry() : QRect(0, 0, 1 << 20, 1 << 20);
    const int w = m_picture.width(), h = m_picture.height();
    m_flipLeft = pointer.x() + PointerGap + w > avail.right() + 1;
    m_flipBelow = pointer.y() - PointerGap - h + 1 < avail.top();
    const QPoint tip =
        pointer + QPoint(m_flipLeft ? -PointerGap : PointerGap, m_flipBelow ? PointerHeight : -PointerGap);
    m_tip = tip;
    Render();

    const int left = m_flipLeft ? tip.x() - w + 1 : tip.x();
    const int top = m_flipBelow ? tip.y() : tip.y() - h + 1;
    setGeometry(left, top, w, h);
    // No compositor to rely on: the window itself is cut to the balloon's outline.
    setMask(QBitmap::fromImage(m_picture.createAlphaMask()));
    m_sleep.start(10000 + 40 * int(text.size()));
    show(); // a tooltip window is mapped above the others
    update();
}

// The balloon is drawn once per text into an image with clear pixels outside its outline; the
// same image gives the window its shape, so border and mask always agree. Aliased drawing keeps
// the edge hard, as there is nothing to blend it with.
void THintBalloon::Render() {
    const QFontMetrics fm(font());
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    const QRect textBox = fm.boundingRect(QRect(0, 0, MaxTextWidth, 1 << 16), flags, m_text);
    const int bodyW = std::max(textBox.width() + 2 * PadX + 1, NoseBaseLeft + NoseBaseWidth + CornerRadius + 2);
    const int bodyH = textBox.height() + 2 * PadY + 1;
    const int w = bodyW, h = bodyH + NoseHeight;

    // Outline in the above-right shape (nose at the bottom left, pointing down-left), on pixel
    // centres; then mirrored as the flips ask.
    QPainterPath body;
    body.addRoundedRect(QRectF(0.5, 0.5, bodyW - 1, bodyH - 1), CornerRadius, CornerRadius);
    QPainterPath nose;
    nose.moveTo(NoseBaseLeft + 0.5, bodyH - 2.5);
    nose.lineTo(NoseBaseLeft + NoseBaseWidth + 0.5, bodyH - 2.5);
    nose.lineTo(0.5, h - 0.5);
    nose.closeSubpath();
    QPainterPath outline = body.united(nose);
    QTransform flip;
    flip.translate(m_flipLeft ? w : 0, m_flipBelow ? h : 0);
    flip.scale(m_flipLeft ? -1 : 1, m_flipBelow ? -1 : 1);
    outline = flip.map(outline);

    m_shape = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    m_shape.fill(Qt::transparent);
    {
        QPainter p(&m_shape);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QToolTip::palette().color(QPalette::ToolTipBase));
        p.drawPath(outline);
    }
    m_textBox = QRect(PadX + 1, (m_flipBelow ? NoseHeight : 0) + PadY + 1, textBox.width(), textBox.height());
    m_picture = m_shape.copy();
    QPainter p(&m_picture);
    DrawText(p);
    m_device = QImage();
}

void THintBalloon::DrawText(QPainter& p) const {
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(font());
    p.setPen(QToolTip::palette().color(QPalette::ToolTipText));
    p.drawText(m_textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_text);
}

// On a scaled screen the window's shape is still cut in window pixels, so the outline stays as
// it is, each of its pixels a block of screen pixels; the text is written in the screen's own.
void THintBalloon::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    QPainter p(this);
    if (ratio == 1.0 || m_shape.isNull()) {
        p.drawImage(0, 0, m_picture);
        return;
    }
    if (m_device.isNull() || m_device.devicePixelRatio() != ratio) {
        const QSize size(qCeil(m_shape.width() * ratio), qCeil(m_shape.height() * ratio));
        m_device = m_shape.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        m_device.setDevicePixelRatio(ratio);
        QPainter q(&m_device);
        DrawText(q);
    }
    p.drawImage(0, 0, m_device);
}

void InstallHintBalloons(QApplication& app) {
    static QPointer<THintFilter> filter;
    if (filter)
        return;
    filter = new THintFilter(&app);
    app.installEventFilter(filter);
}

THintBalloon* CurrentHintBalloon() { return g_balloon; }
