#include "controls/Decor.h"

#include <QEvent>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>

void TileTexture(QPainter& painter, const QRect& rect, const QImage& texture, QPoint origin) {
    if (texture.isNull()) {
        painter.fillRect(rect, QColor(64, 64, 64));
        return;
    }
    painter.drawTiledPixmap(rect, QPixmap::fromImage(texture), rect.topLeft() - origin);
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

TBevelPanel::TBevelPanel(QWidget* parent, const QImage& texture) : QWidget(parent), m_texture(texture) {}

void TBevelPanel::SetTexture(const QImage& texture) {
    m_texture = texture;
    update();
}

void TBevelPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    TileTexture(p, r, m_texture);
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

TFormFill::TFormFill(QWidget* parent, const QImage& texture) : QWidget(parent), m_texture(texture) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    FollowParent(this, this);
    lower();
}

void TFormFill::SetTexture(const QImage& texture) {
    m_texture = texture;
    update();
}

void TFormFill::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    TileTexture(p, event->rect(), m_texture);
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

TPictureControl::TPictureControl(QWidget* parent, const QImage& picture) : QWidget(parent) {
    SetPicture(picture);
}

void TPictureControl::SetPicture(const QImage& picture) {
    if (picture.isNull()) {
        m_keyed = QImage();
    } else {
        const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = src.pixel(0, src.height() - 1) & 0xFFFFFF;
        m_keyed = QImage(src.size(), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < src.height(); ++y) {
            const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
            QRgb* out = reinterpret_cast<QRgb*>(m_keyed.scanLine(y));
            for (int x = 0; x < src.width(); ++x) {
                // Hard edges: a pixel is either the picture's or the background's.
                const bool clear = (in[x] & 0xFFFFFF) == key || qAlpha(in[x]) < 128;
                out[x] = clear ? 0 : (0xFF000000 | (in[x] & 0xFFFFFF));
            }
        }
    }
    update();
}

void TPictureControl::paintEvent(QPaintEvent*) {
    if (m_keyed.isNull())
        return;
    QPainter p(this);
    p.drawImage(0, 0, m_keyed);
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

TImageList::TImageList() {
    for (int i = 0; i < Count; ++i)
        m_bitmaps[i] = LoadOrPlaceholder(QStringLiteral(":/dialogs/") + QLatin1String(PictureTable[i].file),
                                         PictureTable[i].size);
}

const QImage& TImageList::Bitmap(int index) const {
    static const QImage none;
    if (index < 0 || index >= Count) {
        qWarning("TImageList: no picture %d", index);
        return none;
    }
    return m_bitmaps[index];
}
