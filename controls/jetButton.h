#pragma once
// The bitmap button behind every command of the game: up to four pictures chosen by state and
// hover, a transparent outline that is outside the button for drawing and for the mouse, and a
// click when a mouse button is released over an opaque pixel.

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <QWidget>

class TJetButton : public QWidget {
    Q_OBJECT
public:
    enum TButtonState { StateUp, StateDisabled, StateDown };

    explicit TJetButton(QWidget* parent = nullptr);
    ~TJetButton() override;

    // Each picture is copied in. A picture with an alpha channel is flattened onto white first,
    // so fully transparent pixels take the game's transparent colour.
    void SetBitmapUp(const QImage& picture);
    void SetBitmapDown(const QImage& picture);
    void SetBitmapOver(const QImage& picture);
    void SetBitmapDisabled(const QImage& picture);
    const QImage& BitmapUp() const { return m_up; }
    const QImage& BitmapDown() const { return m_down; }
    const QImage& BitmapOver() const { return m_over; }
    const QImage& BitmapDisabled() const { return m_disabled; }

    // Sharper twins of the four pictures, drawn at twice their size, for screens that show
    // more than one pixel per pixel of the window. Setting a picture above drops its twin;
    // a picture without a twin is drawn from the picture itself.
    void SetSharpPictures(const QImage& up, const QImage& over, const QImage& down, const QImage& disabled);

    // 32-bit colour, red in the lowest byte, the top byte a flag ($02: palette-relative RGB).
    // Rebuilt from the hit picture's bottom-left pixel whenever the hit mask is rebuilt.
    quint32 TransparentColor() const { return m_transparentColor; }
    void SetTransparentColor(quint32 colour) { m_transparentColor = colour; }

    // Drawn over the picture; the character after '&' is the accelerator (Alt+key or the bare
    // key when the focused widget does not take it).
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

    // The button's own enabled flag. The widget itself stays enabled, so hover is tracked
    // while the button is switched off.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    // The tooltip text; shown only while ShowHint is on (the default).
    QString Hint() const { return m_hint; }
    void SetHint(const QString& hint);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool show);

    // Places the button; while AutoSizeToBitmap holds and there is an up picture, the size is
    // the up picture's whatever is asked for (plain resize()/setGeometry() are held to it too).
    void SetBounds(int left, int top, int width, int height);
    bool AutoSizeToBitmap() const { return m_autoSizeToBitmap; }

    TButtonState ButtonState() const { return m_state; }
    bool Hovering() const { return m_hovering; }
    // White where the hit picture is transparent; null when there is none (hit everywhere).
    const QImage& HitMask() const { return m_hitMask; }

    // In client coordinates: true when there is no hit mask or its pixel there is black.
    bool HitTest(int x, int y) const;

    // For code that builds a button from a stored description: sizes it to its up picture
    // (or, lacking one, its hover picture) and builds the hit mask.
    void Loaded();

    // Loads ":/buttons/<base>-up.png", "-over.png" and, if present, "-down.png" /
    // "-disabled.png", each with its "@2x" twin where there is one. A missing up or hover
    // picture gives a visible placeholder and a warning.
    void LoadPictures(const QString& base);

    // Draws the caption on a transparent background, single line, centred both ways in the
    // rectangle, one pixel right and down while pressed.
    static void DrawCaption(QPainter& painter, const QString& text, TButtonState state, const QRect& rect);

signals:
    void OnClick();
    void OnMouseDown(Qt::MouseButton button, QPoint pos); // every press over the control
    void OnMouseMove(QPoint pos);
    void OnMouseUp(Qt::MouseButton button, QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Takes one of the four pictures: its opaque and keyed-out forms, and drops its sharp twin.
    void TakePicture(const QImage& from, QImage& picture, QImage& keyed, QImage& twin);
    void UpChanged();
    void OverChanged();
    void RebuildHitMask(const QImage& picture);
    void Refresh();
    void SetHovering(bool over);
    void SyncHoverWithPointer();
    void Click();
    void UpdateShortcut();
    void UpdateToolTip();
    const QImage& PictureForState() const;
    // The pictures keyed out at the screen's resolution, made again when the ratio changes.
    void PrepareDevicePictures(qreal ratio);
    // Reads the twins LoadPictures left for later.
    void LoadTwins();

    QImage m_up, m_down, m_over, m_disabled;
    // The same pictures with their transparent colour keyed out, ready to draw.
    QImage m_upKeyed, m_downKeyed, m_overKeyed, m_disabledKeyed;
    QImage m_up2x, m_down2x, m_over2x, m_disabled2x; // keyed out like the ones above
    // Where the twins of the loaded pictures are still to be read from: most screens never
    // need them, and reading them all would hold up the start.
    QString m_twinStem;
    QImage m_upDev, m_downDev, m_overDev, m_disabledDev;
    qreal m_deviceRatio = 1.0;
    QImage m_hitMask;
    quint32 m_transparentColor = 0xFFFFFF;
    QString m_caption;
    QString m_hint;
    bool m_showHint = true;
    bool m_enabled = true;
    bool m_hovering = false;
    bool m_pressOutside = false; // the press being held began on a transparent pixel
    bool m_autoSizeToBitmap = true;
    TButtonState m_state = StateUp;
    int m_shortcutId = 0;
    int m_altShortcutId = 0;
};

// White where the picture's pixel has the colour's RGB (the flag byte is ignored), black
// elsewhere; Format_RGB32, the picture's size. A null picture gives a null mask.
QImage CreateMask(const QImage& picture, quint32 colour);

// A picture's transparent colour: its bottom-left pixel with the palette flag $02 on top.
quint32 PictureTransparentColor(const QImage& picture);

// A keyed-out picture (clear or opaque per pixel) at `ratio` times its size, made from its
// twice-as-large twin where there is one. The result is again clear or opaque per pixel, so
// a direct repaint over another picture of the same outline leaves no half-clear edge, and
// it carries the ratio, so it is drawn at the picture's own size on the window.
QImage DevicePicture(const QImage& keyed, const QImage& keyedTwin, qreal ratio);

// The window pixels that hold any opaque pixel of a picture made by DevicePicture.
QRegion ShownRegion(const QImage& devicePicture, qreal ratio);
