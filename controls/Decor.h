#pragma once
// The small decorative pieces the dialogs are built from: textured panels and faces, the black
// frame, labels with raised or turned text, keyed pictures, and the main window's picture list.

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <future>

// Tiles the texture over the rectangle, the first tile at origin. A texture that carries a
// device pixel ratio tiles at its own size on the window, its pixels the screen's.
void TileTexture(QPainter& painter, const QRect& rect, const QImage& texture, QPoint origin = QPoint());

// A tiling texture at `ratio` times its size, carrying that ratio: the texture itself at 1, its
// twice-as-large twin at 2, otherwise the twin (or, lacking one, the texture) scaled smoothly.
// The size is rounded to whole pixels, so the tiles meet without a gap.
QImage DeviceTexture(const QImage& texture, const QImage& twin, qreal ratio);

// A texture with its sharper twin, made again for the screen's ratio when that changes.
class TDeviceTexture {
public:
    void Set(const QImage& texture, const QImage& twin);
    const QImage& For(qreal ratio);

private:
    QImage m_texture, m_twin, m_device;
    qreal m_ratio = 0;
};

// A panel with a textured face and a bevelled edge; children lie on it.
class TBevelPanel : public QWidget {
    Q_OBJECT
public:
    // From the outside in: a raised bevel, a black border, a sunken bevel.
    static constexpr int OuterBevel = 2;
    static constexpr int BorderWidth = 3;
    static constexpr int InnerBevel = 2;

    // The twin, where there is one, is the texture at twice the size for scaled screens.
    TBevelPanel(QWidget* parent, const QImage& texture, const QImage& twin = QImage());
    void SetTexture(const QImage& texture, const QImage& twin = QImage());

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TDeviceTexture m_texture;
};

// Tiles a texture over its whole parent, under everything else, and follows the parent's size.
class TFormFill : public QWidget {
    Q_OBJECT
public:
    TFormFill(QWidget* parent, const QImage& texture, const QImage& twin = QImage());
    void SetTexture(const QImage& texture, const QImage& twin = QImage());

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TDeviceTexture m_texture;
};

// A black frame of the given width along the edges of its parent, no fill; the mouse passes
// through it.
class TFrameShape : public QWidget {
    Q_OBJECT
public:
    explicit TFrameShape(QWidget* parent, int width = 3);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_width;
};

// A text on a transparent background, optionally raised and optionally turned to read upwards.
class TDecorLabel : public QWidget {
    Q_OBJECT
public:
    enum class Relief { Flat, Raised };
    // Upwards: turned by 90 degrees, read from bottom to top, starting at the bottom left.
    enum class Direction { Horizontal, Upwards };

    explicit TDecorLabel(QWidget* parent, const QString& text = QString());

    QString Text() const { return m_text; }
    void SetText(const QString& text);
    // Family, height in pixels, bold.
    void SetFontSpec(const QString& family, int pixelSize, bool bold);
    QColor Colour() const { return m_colour; }
    void SetColour(const QColor& colour);
    // Horizontal part: left, centre or right; vertical part: top (the default) or centre.
    void SetAlignment(Qt::Alignment alignment);
    void SetRelief(Relief relief);
    void SetDirection(Direction direction);
    void SetHint(const QString& hint) { setToolTip(hint); }

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_text;
    QColor m_colour = Qt::black;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    Relief m_relief = Relief::Flat;
    Direction m_direction = Direction::Horizontal;
    bool m_pressed = false;
};

// The dialogs' usual label: white text in Arial of pixelSize pixels, at geometry in parent.
TDecorLabel* MakeLabel(QWidget* parent, const QRect& geometry, int pixelSize, bool bold,
                       Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);

// A picture drawn unscaled at the top left, with the colour of its bottom-left pixel left out
// (hard edges); the rest of the rectangle is transparent. On a scaled screen it is drawn at the
// screen's resolution from its twin (the picture at twice the size, keyed by its own
// bottom-left pixel), the outline still hard.
class TPictureControl : public QWidget {
    Q_OBJECT
public:
    TPictureControl(QWidget* parent, const QImage& picture, const QImage& twin = QImage());
    void SetPicture(const QImage& picture, const QImage& twin = QImage());
    void SetHint(const QString& hint) { setToolTip(hint); }

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_keyed, m_keyedTwin, m_device;
    qreal m_ratio = 0;
    bool m_pressed = false;
};

// The main window's picture list, loaded once from the dialog artwork.
class TImageList {
public:
    enum { Face, Logo, Stone, Info, Sound, Music, Tongue, Background, Strength, FlagsDe, FlagsEn, Count };

    TImageList() = default;
    ~TImageList();
    // Starts reading the pictures on another thread: the window has other things to do first,
    // and the first picture asked for waits for them. Without it, the first picture asked for
    // reads them all there and then.
    void StartLoading();
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;
    // Index 0..10; anything else gives a null image (and a warning).
    const QImage& Bitmap(int index) const;
    // The same picture drawn finer, for screens that show more than one pixel per pixel of the
    // window: twice its size, the info picture four times (its page shows it doubled). Null
    // for a bad index or where the art has no twin of the right size; then the picture itself
    // is scaled.
    const QImage& Sharp(int index) const;
    // How much larger the twin of a picture is than the picture.
    static int SharpFactor(int index);

    // The picture at path, or a visible placeholder of the expected size when it cannot be read.
    static QImage LoadOrPlaceholder(const QString& path, QSize expected);

private:
    void Load();
    void WaitForPictures() const;

    std::array<QImage, Count> m_bitmaps;
    std::array<QImage, Count> m_sharp;
    mutable std::future<void> m_loading;
    mutable bool m_loaded = false;
};
