#include "board/Jpeg.h"

#include "board/Pixels.h"

#include <QFile>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(err->jump, 1);
}

void OnJpegMessage(j_common_ptr) {} // warnings about slightly damaged files are not worth a line

// Decodes into rgb (3 bytes a pixel). Kept free of C++ objects with destructors between the
// setjmp and any longjmp back to it.
bool DecodeRgb(const unsigned char* data, unsigned long size, std::vector<unsigned char>& rgb, int& width,
               int& height) {
    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnJpegError;
    err.pub.output_message = OnJpegMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    // A texture larger than this is not ours; refuse rather than allocate gigabytes. The header
    // is enough to tell, and it must be told before jpeg_start_decompress: for a progressive
    // file that already allocates the coefficients of the whole image.
    constexpr long long MaxPixels = 64LL * 1024 * 1024;
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK ||
        static_cast<long long>(info.image_width) * info.image_height > MaxPixels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > MaxPixels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    rgb.resize(static_cast<size_t>(width) * height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &rgb[static_cast<size_t>(info.output_scanline) * width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

bool DecodeJpeg(const QByteArray& bytes, QImage& out) {
    if (bytes.isEmpty()) return false;
    std::vector<unsigned char> rgb;
    int w = 0, h = 0;
    if (!DecodeRgb(reinterpret_cast<const unsigned char*>(bytes.constData()),
                   static_cast<unsigned long>(bytes.size()), rgb, w, h))
        return false;
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        RgbToPixels(&rgb[static_cast<size_t>(y) * w * 3], w, reinterpret_cast<std::uint32_t*>(img.scanLine(y)));
    out = img;
    return true;
}

int LoadJpegResource(const QString& name, QImage& bitmap) {
    bitmap = QImage();
    QFile file(QStringLiteral(":/board/%1.jpg").arg(name.toLower()));
    if (!file.open(QIODevice::ReadOnly)) return 1;
    return DecodeJpeg(file.readAll(), bitmap) ? 0 : 1;
}
