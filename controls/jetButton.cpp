#include "controls/jetButton.h"

#include <QBitmap>
#include <QCursor>
#include <QtMath>
#include <QEvent>
#include <QFile>
#include <QKeySequence>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QShortcutEvent>

#include <utility>

namespace {

constexpr quint32 PaletteRgbFlag = 0x02000000;
constexpr int MaxCaptionLength = 255;

QRgb RgbOf(quint32 colour) {
    return qRgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)) & 0xFFFFFF;
}

// The button works on opaque RGB pictures keyed by a colour. Art that arrives with an alpha
// channel is laid on white, the game's transparent colour, so its clear pixels stay clear.
QImage Opaque(const QImage& picture) {
    if (picture.isNull())
        return QImage();
    if (!picture.hasAlphaChannel())
        return picture.convertToFormat(QImage::Format_RGB32);
    QImage out(picture.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, picture);
    return out;
}

// The picture with every pixel of its own transparent colour made fully clear and every other
// pixel fully opaque. Drawn over the background this gives exactly
// (background AND mask) OR (picture AND NOT mask): the mask is all ones or all zeros per pixel.
QImage KeyedOut(const QImage& picture) {
    if (picture.isNull())
        return QImage();
    const QRgb key = RgbOf(PictureTransparentColor(picture));
    QImage out(picture.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb rgb = src[x] & 0xFFFFFF;
            dst[x] = rgb == key ? 0 : (0xFF000000 | rgb);
        }
    }
    return out;
}

// Something a player can see and press when a picture did not load.
QImage Placeholder(QColor face) {
    QImage img(50, 50, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(3, 3, 44, 44), 8, 8);
    p.drawLine(14, 14, 36, 36);
    p.drawLine(36, 14, 14, 36);
    return img;
}

} // namespace

QImage CreateMask(const QImage& picture, quint32 colour) {
    if (picture.isNull())
        return QImage();
    const QImage src = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = RgbOf(colour);
    QImage mask(src.size(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < src.width(); ++x)
            out[x] = (in[x] & 0xFFFFFF) == key ? 0xFFFFFFFF : 0xFF000000;
    }
    return mask;
}

quint32 PictureTransparentColor(const QImage& picture) {
    if (picture.isNull())
        return PaletteRgbFlag | 0xFFFFFF;
    const QRgb p = picture.pixel(0, picture.height() - 1);
    return PaletteRgbFlag | quint32(qRed(p)) | quint32(qGreen(p)) << 8 | quint32(qBlue(p)) << 16;
}

QImage DevicePicture(const QImage& keyed, const QImage& keyedTwin, qreal ratio) {
    if (keyed.isNull())
        return QImage();
    if (ratio == 1.0)
        return keyed;
    const QSize size(qRound(keyed.width() * ratio), qRound(keyed.height() * ratio));
    const QImage& source = keyedTwin.isNull() ? keyed : keyedTwin;
    QImage out = source.size() == size
                     ? source.copy()
                     : source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (source.size() != size) {
        // Scaling blurs the hard outline; cut it hard again where it is half covered.
        for (int y = 0; y < out.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x) {
                const int a = qAlpha(line[x]);
                if (a < 128)
                    line[x] = 0;
                else if (a < 255)
                    line[x] = qRgb(qMin(255, qRed(line[x]) * 255 / a), qMin(255, qGreen(line[x]) * 255 / a),
                                   qMin(255, qBlue(line[x]) * 255 / a));
            }
        }
    }
    out.setDevicePixelRatio(ratio);
    return out;
}

QRegion ShownRegion(const QImage& picture, qreal ratio) {
    if (picture.isNull())
        return QRegion();
    const int w = qCeil(picture.width() / ratio), h = qCeil(picture.height() / ratio);
    QImage shown(w, h, QImage::Format_ARGB32_Premultiplied);
    shown.fill(0);
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(line[x]) != 0)
                shown.setPixel(qMin(w - 1, int(x / ratio)), qMin(h - 1, int(y / ratio)), 0xFF000000);
    }
    return QRegion(QBitmap::fromImage(shown.createAlphaMask()));
}

TJetButton::TJetButton(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true); // hover is followed without a button held
    setGeometry(0, 0, 50, 50);
}

TJetButton::~TJetButton() = default;

void TJetButton::TakePicture(const QImage& from, QImage& picture, QImage& keyed, QImage& twin) {
    if (!m_twinStem.isEmpty()) LoadTwins(); // the other pictures keep theirs
    twin = QImage();
    m_deviceRatio = 0; // the screen's pictures are made again at the next paint
    picture = Opaque(from);
    keyed = KeyedOut(picture);
}

void TJetButton::SetBitmapUp(const QImage& picture) {
    TakePicture(picture, m_up, m_upKeyed, m_up2x);
    UpChanged();
}

void TJetButton::SetBitmapDown(const QImage& picture) {
    TakePicture(picture, m_down, m_downKeyed, m_down2x);
    update();
}

void TJetButton::SetBitmapOver(const QImage& picture) {
    TakePicture(picture, m_over, m_overKeyed, m_over2x);
    OverChanged();
}

void TJetButton::SetBitmapDisabled(const QImage& picture) {
    TakePicture(picture, m_disabled, m_disabledKeyed, m_disabled2x);
    update();
}

void TJetButton::SetSharpPictures(const QImage& up, const QImage& over, const QImage& down, const QImage& disabled) {
    m_twinStem.clear();
    m_up2x = KeyedOut(Opaque(up));
    m_over2x = KeyedOut(Opaque(over));
    m_down2x = KeyedOut(Opaque(down));
    m_disabled2x = KeyedOut(Opaque(disabled));
    m_deviceRatio = 0;
    update();
}

void TJetButton::PrepareDevicePictures(qreal ratio) {
    if (ratio != 1.0 && !m_twinStem.isEmpty())
        LoadTwins();
    if (ratio == m_deviceRatio)
        return;
    m_deviceRatio = ratio;
    m_upDev = DevicePicture(m_upKeyed, m_up2x, ratio);
    m_overDev = DevicePicture(m_overKeyed, m_over2x, ratio);
    m_downDev = DevicePicture(m_downKeyed, m_down2x, ratio);
    m_disabledDev = DevicePicture(m_disabledKeyed, m_disabled2x, ratio);
}

void TJetButton::SetCaption(const QString& caption) {
    m_caption = caption.left(MaxCaptionLength);
    UpdateShortcut();
    update();
}

void TJetButton::SetEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    m_state = enabled ? StateUp : StateDisabled;
    if (m_shortcutId)
        setShortcutEnabled(m_shortcutId, m_enabled);
    if (m_altShortcutId)
        setShortcutEnabled(m_altShortcutId, m_enabled);
    update();
}

void TJetButton::SetHint(const QString& hint) {
    m_hint = hint;
    UpdateToolTip();
}

void TJetButton::SetShowHint(bool show) {
    m_showHint = show;
    UpdateToolTip();
}

void TJetButton::UpdateToolTip() { setToolTip(m_showHint ? m_hint : QString()); }

void TJetButton::SetBounds(int left, int top, int width, int height) {
    if (m_autoSizeToBitmap && !m_up.isNull()) {
        width = m_up.width();
        height = m_up.height();
    }
    setGeometry(left, top, width, height);
}

bool TJetButton::HitTest(int x, int y) const {
    if (m_hitMask.isNull())
        return true;
    if (!m_hitMask.rect().contains(x, y))
        return false;
    return (m_hitMask.pixel(x, y) & 0xFFFFFF) == 0;
}

void TJetButton::Loaded() {
    if (!m_up.isNull())
        UpChanged();
    else if (!m_over.isNull())
        OverChanged();
}

void TJetButton::UpChanged() {
    if (m_up.isNull()) {
        // Without an up picture the hover picture decides the outline, and without either the
        // whole rectangle is the button (a cleared picture must not leave a button nobody can hit).
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        OverChanged();
        return;
    }
    // Held to the picture's size so that plain resize()/setGeometry() cannot undo it.
    setFixedSize(m_up.size());
    SetBounds(x(), y(), width(), height());
    RebuildHitMask(m_up);
    update();
}

void TJetButton::OverChanged() {
    if (m_up.isNull()) {
        if (!m_over.isNull()) {
            setGeometry(x(), y(), m_over.width(), m_over.height());
            RebuildHitMask(m_over);
        } else {
            m_hitMask = QImage();
        }
    }
    update();
}

void TJetButton::RebuildHitMask(const QImage& picture) {
    m_transparentColor = PictureTransparentColor(picture);
    m_hitMask = CreateMask(picture, m_transparentColor);
}

const QImage& TJetButton::PictureForState() const {
    // The pictures at the screen's resolution (the keyed ones themselves at scale 1).
    switch (m_state) {
    case StateDisabled:
        return m_disabled.isNull() ? m_upDev : m_disabledDev;
    case StateDown:
        return m_down.isNull() ? m_upDev : m_downDev;
    case StateUp:
        break;
    }
    if (m_hovering && !m_over.isNull())
        return m_overDev;
    return m_upDev;
}

void TJetButton::DrawCaption(QPainter& painter, const QString& text, TButtonState state, const QRect& rect) {
    const QRect r = state == StateDown ? rect.translated(1, 1) : rect;
    painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                     text.left(MaxCaptionLength));
}

void TJetButton::paintEvent(QPaintEvent*) {
    PrepareDevicePictures(devicePixelRatioF());
    QPainter p(this);
    const QImage& picture = PictureForState();
    if (!picture.isNull())
        p.drawImage(0, 0, picture);
    if (!m_caption.isEmpty()) {
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        DrawCaption(p, m_caption, m_state, rect());
    }
}

// After a change of hover or press: straight away, so a click handler that blocks does not
// leave a stale picture on screen.
void TJetButton::Refresh() {
    if (m_up.isNull() && m_enabled)
        update();
    else
        repaint();
}

void TJetButton::Click() { emit OnClick(); }

void TJetButton::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    // A transparent pixel is outside the button, but it is not the board underneath either
    // (a press into a toolbar button's corner must not start the clock): the press and its
    // release are taken here and do nothing.
    m_pressOutside = !HitTest(pos.x(), pos.y());
    if (m_pressOutside)
        return;
    const QPointer<TJetButton> alive(this);
    emit OnMouseDown(event->button(), pos);
    if (!alive)
        return;
    // A handler that ran a modal loop (the exit question) has had the release go elsewhere;
    // arming the button now would leave it pressed for the rest of the run.
    if (!(QGuiApplication::mouseButtons() & event->button())) {
        SyncHoverWithPointer();
        return;
    }
    if (event->button() == Qt::LeftButton && m_enabled) {
        m_state = StateDown;
        repaint();
    }
}

void TJetButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit OnMouseMove(pos);
    SetHovering(HitTest(pos.x(), pos.y()));
}

void TJetButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_pressOutside) {
        m_pressOutside = false;
        SetHovering(HitTest(pos.x(), pos.y()));
        return;
    }
    emit OnMouseUp(event->button(), pos);
    if (m_state == StateDown) {
        m_state = StateUp;
        repaint();
        Refresh();
    }
    if (m_enabled && HitTest(pos.x(), pos.y())) {
        if (!m_hovering) {
            m_hovering = true;
            update();
        }
        Click();
    }
}

void TJetButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    const QPoint pos = event->position().toPoint();
    SetHovering(HitTest(pos.x(), pos.y()));
}

void TJetButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    SetHovering(false);
}

// A hidden button has no pointer over it and nothing pressed: a dialog that is shown again
// must not come back with the picture its buttons had when it closed.
void TJetButton::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_hovering = false;
    m_pressOutside = false;
    if (m_state == StateDown)
        m_state = StateUp;
}

void TJetButton::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    SyncHoverWithPointer();
}

void TJetButton::SetHovering(bool over) {
    if (over == m_hovering)
        return;
    m_hovering = over;
    if (m_state != StateDown && isVisible())
        Refresh();
}

// Hover from where the pointer really is, for the moments no move event tells. Only while the
// toolkit sees the pointer inside: then a leave event will come to end the hover again (a
// button shown under the pointer gets its enter event just after being shown).
void TJetButton::SyncHoverWithPointer() {
    const QPoint pos = mapFromGlobal(QCursor::pos(screen()));
    SetHovering(underMouse() && rect().contains(pos) && HitTest(pos.x(), pos.y()));
}

void TJetButton::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::FontChange:
            update();
        break;
    case QEvent::PaletteChange:
        UpChanged();
        update();
        OverChanged();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

bool TJetButton::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        // Only grabbed while enabled, so a disabled button lets the key pass on.
        if (m_enabled)
            Click();
        return true;
    }
    return QWidget::event(event);
}

void TJetButton::UpdateShortcut() {
    if (m_shortcutId)
        releaseShortcut(m_shortcutId);
    if (m_altShortcutId)
        releaseShortcut(m_altShortcutId);
    m_shortcutId = m_altShortcutId = 0;
    const QKeySequence withAlt = QKeySequence::mnemonic(m_caption);
    if (withAlt.isEmpty())
        return;
    m_altShortcutId = grabShortcut(withAlt, Qt::WindowShortcut);
    // The bare key too: a focused edit box claims its typing first, so it only reaches the
    // button when nothing else wants it.
    m_shortcutId = grabShortcut(QKeySequence(withAlt[0].key()), Qt::WindowShortcut);
    setShortcutEnabled(m_shortcutId, m_enabled);
    setShortcutEnabled(m_altShortcutId, m_enabled);
}

void TJetButton::LoadPictures(const QString& base) {
    const QString stem = QStringLiteral(":/buttons/") + base;
    auto load = [&](const QString& suffix, bool required, QColor placeholderFace) {
        const QString path = stem + suffix;
        const bool exists = QFile::exists(path);
        QImage img = exists ? QImage(path) : QImage();
        if (img.isNull() && (exists || required)) {
            qWarning("TJetButton: cannot load button picture %s", qPrintable(path));
            if (required)
                img = Placeholder(placeholderFace);
        }
        return img;
    };
    m_twinStem.clear();
    SetBitmapUp(load(QStringLiteral("-up.png"), true, QColor(200, 60, 200)));
    SetBitmapOver(load(QStringLiteral("-over.png"), true, QColor(240, 120, 240)));
    SetBitmapDown(load(QStringLiteral("-down.png"), false, QColor()));
    SetBitmapDisabled(load(QStringLiteral("-disabled.png"), false, QColor()));
    // The twins are read when a scaled screen first needs them.
    m_twinStem = stem;
}

void TJetButton::LoadTwins() {
    const QString stem = std::exchange(m_twinStem, QString());
    // The twins are only used where they fit their picture: exactly twice its size.
    auto twin = [&](const QString& suffix, const QImage& picture) {
        const QString path = stem + suffix;
        QImage img = QFile::exists(path) ? QImage(path) : QImage();
        return KeyedOut(Opaque(!picture.isNull() && img.size() == 2 * picture.size() ? img : QImage()));
    };
    m_up2x = twin(QStringLiteral("-up@2x.png"), m_up);
    m_over2x = twin(QStringLiteral("-over@2x.png"), m_over);
    m_down2x = twin(QStringLiteral("-down@2x.png"), m_down);
    m_disabled2x = twin(QStringLiteral("-disabled@2x.png"), m_disabled);
    m_deviceRatio = 0; // the screen's pictures are made again
}
