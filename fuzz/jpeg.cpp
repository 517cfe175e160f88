// DecodeJpeg over arbitrary bytes: it decodes or refuses, and never touches the picture it
// refuses to fill.

#include "board/Jpeg.h"
#include "fuzz/FuzzSupport.h"

#include <QColor>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(12, 34, 56, 78));
    const QImage before = image;
    if (!DecodeJpeg(bytes, image)) {
        FUZZ_CHECK(image == before);
        return 0;
    }
    FUZZ_CHECK(!image.isNull());
    FUZZ_CHECK(image.format() == QImage::Format_RGB32);
    FUZZ_CHECK(qint64(image.width()) * image.height() <= 64LL * 1024 * 1024);
    // Every pixel is opaque, as the board expects of its texture.
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            FUZZ_CHECK(qAlpha(line[x]) == 255);
    }
    return 0;
}
