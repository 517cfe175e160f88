#include "controls/Decor.h"

#include "controls/jetButton.h"

#include <QEvent>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

void TileTexture(QPainter& painter, const QRect& rect, const QImage& texture, QPoint origin) {
    if (texture.isNull()) {
        painter.fillRect(rect, QColor(64, 64, 64));
        return;
    }
    const qreal ratio = texture.devicePixelRatio();
    if (ratio == 1.0) {
        painter.drawTiledPixmap(rect, QPixmap::fromImage(texture), rect.topLeft() - origin);
        return;
    }
    // Tiled in the screen's own pixels, one texture pixel on one screen pixel: nothing is
    // resampled on the way, and the tiles meet exactly. The rectangle is widened to whole
    // screen pixels, so a part painted again later continues the same tiling.
    QPixmap tile = QPixmap::fromImage(texture);
    tile.setDevicePixelRatio(1.0);
    const QRect device(QPoint(qFloor(rect.left() * ratio), qFloor(rect.top() * ratio)),
                       QPoint(qCeil((rect.right() + 1) * ratio) - 1, qCeil((rect.bottom() + 1) * ratio) - 1));
    painter.save();
    painter.scale(1 / ratio, 1 / ratio);
    painter.drawTiledPixmap(device, tile, device.topLeft() - QPointF(origin * ratio).toPoint());
    painter.restore();
}

QImage DeviceTexture(const QImage& texture, const QImage& twin, qreal ratio) {
    if (texture.isNull() || ratio == 1.0)
        return texture;
    const QSize size(qMax(1, qRound(texture.width() * ratio)), qMax(1, qRound(texture.height() * ratio)));
    const QImage& source = twin.isNull() ? texture : twin;
    QImage out = source.size() == size ? source.copy()
                                       : source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    out.setDevicePixelRatio(ratio);
    return out;
}

void TDeviceTexture::Set(const QImage& texture, const QImage& twin) {
    m_texture = texture;
    m_twin = twin;
    m_ratio = 0; // made again at the next paint
}

const QImage& TDeviceTexture::For(qreal ratio) {
    if (ratio != m_ratio) {
        m_ratio = ratio;
        m_device = DeviceTexture(m_texture, m_twin, ratio);
    }
    return m_device;
}

namespace {

// A widget that covers its whole parent and keeps doing so when the parent is resized.
void FollowParent(QWidget* self, QObject* filter) {
    if (QWidget* parent = self->parentWidget()) {
        self->setGeometry(parent->rect());
        parent->installEventFilter(filter);
    }
}

// Fills a band of the given width just inside r: light on the top and left, dark on the bottom
// and right, the corners split along the diagonal as a raised edge looks.
void Bevel(QPainter& p, QRect r, int width, QColor topLeft, QColor bottomRight) {
    for (int i = 0; i < width; ++i) {
        p.setPen(topLeft);
        p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
        p.setPen(bottomRight);
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        r.adjust(1, 1, -1, -1);
    }
}

const QColor BevelLight(255, 255, 255);
const QColor BevelDark(128, 128, 128);

} // namespace

// ---------------------------------------------------------------------------------------------

TBevelPanel::TBevelPanel(QWidget* parent, const QImage& texture, const QImage& twin) : QWidget(parent) {
    m_texture.Set(texture, twin);
}

void TBevelPanel::SetTexture(const QImage& texture, const QImage& twin) {
    m_texture.Set(texture, twin);
    update();
}

void TBevelPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    TileTexture(p, r, m_texture.For(devicePixelRatioF()));
    Bevel(p, r, OuterBevel, BevelLight, BevelDark);
    r.adjust(OuterBevel, OuterBevel, -OuterBevel, -OuterBevel);
    const int b = BorderWidth;
    p.fillRect(r.left(), r.top(), r.width(), b, Qt::black);
    p.fillRect(r.left(), r.bottom() - b + 1, r.width(), b, Qt::black);
    p.fillRect(r.left(), r.top(), b, r.height(), Qt::black);
    p.fillRect(r.right() - b + 1, r.top(), b, r.height(), Qt::black);
    r.adjust(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth);
    Bevel(p, r, InnerBevel, BevelDark, BevelLight);
}

// ---------------------------------------------------------------------------------------------

TFormFill::TFormFill(QWidget* parent, const QImage& texture, const QImage& twin) : QWidget(parent) {
    m_texture.Set(texture, twin);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    FollowParent(this, this);
    lower();
}

void TFormFill::SetTexture(const QImage& texture, const QImage& twin) {
    m_texture.Set(texture, twin);
    update();
}

void TFormFill::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    TileTexture(p, event->rect(), m_texture.For(devicePixelRatioF()));
}

bool TFormFill::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

// ---------------------------------------------------------------------------------------------

TFrameShape::TFrameShape(QWidget* parent, int width) : QWidget(parent), m_width(width) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    FollowParent(this, this);
}

void TFrameShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width(), h = height(), n = m_width;
    p.fillRect(0, 0, w, n, Qt::black);
    p.fillRect(0, h - n, w, n, Qt::black);
    p.fillRect(0, 0, n, h, Qt::black);
    p.fillRect(w - n, 0, n, h, Qt::black);
}

bool TFrameShape::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

// ---------------------------------------------------------------------------------------------

TDecorLabel::TDecorLabel(QWidget* parent, const QString& text) : QWidget(parent), m_text(text) {}

void TDecorLabel::SetText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    update();
}

void TDecorLabel::SetFontSpec(const QString& family, int pixelSize, bool bold) {
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    setFont(f);
}

void TDecorLabel::SetColour(const QColor& colour) {
    m_colour = colour;
    update();
}

void TDecorLabel::SetAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    update();
}

void TDecorLabel::SetRelief(Relief relief) {
    m_relief = relief;
    update();
}

void TDecorLabel::SetDirection(Direction direction) {
    m_direction = direction;
    update();
}

void TDecorLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    QRect box = rect();
    if (m_direction == Direction::Upwards) {
        // Turn the canvas so that "left" runs up the bottom of the label and "top" is its
        // left edge: the text starts at the bottom left and reads upwards.
        p.translate(0, height());
        p.rotate(-90);
        box = QRect(0, 0, height(), width());
    }
    Qt::Alignment align = m_alignment & Qt::AlignHorizontal_Mask;
    align |= (m_alignment & Qt::AlignVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    const int flags = int(align) | Qt::TextSingleLine;
    if (m_relief == Relief::Raised) {
        // A thin dark rim and a two-pixel drop shadow: the text stands out of a light face too.
        p.setPen(QColor(0, 0, 0));
        p.drawText(box.translated(2, 2), flags, m_text);
        p.drawText(box.translated(1, 1), flags, m_text);
        p.setPen(QColor(40, 30, 20, 190));
        for (QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) p.drawText(box.translated(d), flags, m_text);
    }
    p.setPen(m_colour);
    p.drawText(box, flags, m_text);
}

void TDecorLabel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
}

void TDecorLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit Clicked();
}

// ---------------------------------------------------------------------------------------------

namespace {

// Hard edges: a pixel is either the picture's or the background's.
QImage KeyedByCorner(const QImage& picture) {
    if (picture.isNull())
        return QImage();
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = src.pixel(0, src.height() - 1) & 0xFFFFFF;
    QImage keyed(src.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const bool clear = (in[x] & 0xFFFFFF) == key || qAlpha(in[x]) < 128;
            out[x] = clear ? 0 : (0xFF000000 | (in[x] & 0xFFFFFF));
        }
    }
    return keyed;
}

} // namespace

TPictureControl::TPictureControl(QWidget* parent, const QImage& picture, const QImage& twin) : QWidget(parent) {
    SetPicture(picture, twin);
}

void TPictureControl::SetPicture(const QImage& picture, const QImage& twin) {
    m_keyed = KeyedByCorner(picture);
    // Each picture keyed by its own corner: the twin's key is the same colour in its own art.
    m_keyedTwin = picture.isNull() ? QImage() : KeyedByCorner(twin);
    m_ratio = 0; // the screen's picture is made again at the next paint
    update();
}

void TPictureControl::paintEvent(QPaintEvent*) {
    if (m_keyed.isNull())
        return;
    const qreal ratio = devicePixelRatioF();
    if (ratio != m_ratio) {
        m_ratio = ratio;
        m_device = DevicePicture(m_keyed, m_keyedTwin, ratio);
    }
    QPainter p(this);
    p.drawImage(0, 0, m_device);
}

void TPictureControl::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
}

void TPictureControl::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit Clicked();
}

// ---------------------------------------------------------------------------------------------

namespace {

struct PictureEntry {
    const char* file;
    QSize size;
};

// The file of a picture's sharper twin: name@2x.png, and the info picture's name@4x.png.
QString SharpFile(const char* file, int factor) {
    QString name = QLatin1String(file);
    return name.insert(name.lastIndexOf(QLatin1Char('.')), QStringLiteral("@%1x").arg(factor));
}

// Sizes of the art; a placeholder takes the same size so layouts stay as drawn.
const PictureEntry PictureTable[TImageList::Count] = {
    {"face.png", QSize(160, 120)},  {"logo.png", QSize(100, 75)},     {"stone.png", QSize(160, 120)},
    {"info.png", QSize(100, 57)},   {"sound.png", QSize(50, 50)},     {"music.png", QSize(50, 50)},
    {"tongue.png", QSize(50, 50)},  {"background.png", QSize(50, 50)}, {"strength.png", QSize(50, 50)},
    {"flags-de.png", QSize(50, 50)}, {"flags-en.png", QSize(50, 50)},
};

QImage Placeholder(QSize size) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white); // a white margin, so keyed pictures key it out like the real art
    QPainter p(&img);
    const QRect inner = img.rect().adjusted(1, 1, -2, -2);
    p.fillRect(inner, QColor(255, 0, 255));
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(inner);
    p.drawLine(inner.topLeft(), inner.bottomRight());
    p.drawLine(inner.topRight(), inner.bottomLeft());
    return img;
}

} // namespace

QImage TImageList::LoadOrPlaceholder(const QString& path, QSize expected) {
    QImage img(path);
    if (img.isNull()) {
        qWarning("TImageList: cannot load %s, drawing a placeholder", qPrintable(path));
        return Placeholder(expected);
    }
    return img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

TImageList::~TImageList() {
    if (m_loading.valid()) m_loading.get();
}

void TImageList::StartLoading() {
    if (m_loaded || m_loading.valid()) return;
    m_loading = std::async(std::launch::async, [this] { Load(); });
}

void TImageList::WaitForPictures() const {
    if (m_loaded) return;
    if (m_loading.valid())
        m_loading.get();
    else
        const_cast<TImageList*>(this)->Load();
    m_loaded = true;
}

void TImageList::Load() {
    const QString folder = QStringLiteral(":/dialogs/");
    for (int i = 0; i < Count; ++i) {
        m_bitmaps[i] = LoadOrPlaceholder(folder + QLatin1String(PictureTable[i].file), PictureTable[i].size);
        // A twin that is missing or of the wrong size is left out: the picture itself is
        // scaled then, which is blurred but never misplaced.
        const int factor = SharpFactor(i);
        QImage twin(folder + SharpFile(PictureTable[i].file, factor));
        if (!twin.isNull() && twin.size() == m_bitmaps[i].size() * factor)
            m_sharp[i] = twin.convertToFormat(twin.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
}

int TImageList::SharpFactor(int index) { return index == Info ? 4 : 2; }

const QImage& TImageList::Sharp(int index) const {
    WaitForPictures();
    static const QImage none;
    return index >= 0 && index < Count ? m_sharp[index] : none;
}

const QImage& TImageList::Bitmap(int index) const {
    WaitForPictures();
    static const QImage none;
    if (index < 0 || index >= Count) {
        qWarning("TImageList: no picture %d", index);
        return none;
    }
    return m_bitmaps[index];
}

TDecorLabel* MakeLabel(QWidget* parent, const QRect& geometry, int pixelSize, bool bold, Qt::Alignment alignment) {
    auto* label = new TDecorLabel(parent);
    label->setGeometry(geometry);
    label->SetFontSpec(QStringLiteral("Arial"), pixelSize, bold);
    label->SetColour(Qt::white);
    label->SetAlignment(alignment);
    return label;
}
