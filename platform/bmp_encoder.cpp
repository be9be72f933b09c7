#include "platform/bmp_encoder.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "bitmap/bitmap_format.h"

namespace tavrel {

QByteArray EncodeBmp24(const QImage& image) {
    if (image.isNull() ||
        (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)) {
        return {};
    }
    const int32_t width = image.width();
    const int32_t height = image.height();
    const std::size_t stride = RowStride(width, 24).value_or(0);
    const std::size_t headers = kBmpFileHeaderSize + kDibInfoHeaderSize;
    std::array<uint8_t, kBmpFileHeaderSize + kDibInfoHeaderSize> header{};
    if (!WriteBmpFileHeader(width, height, 24, header.data())) {
        return {};
    }
    QByteArray file(static_cast<qsizetype>(LoadLe32(header.data() + 2)), '\0');
    auto* b = reinterpret_cast<uchar*>(file.data());
    std::memcpy(b, header.data(), headers);
    for (int32_t y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* dst = b + headers + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int32_t x = 0; x < width; ++x, dst += 3) {
            dst[0] = static_cast<uchar>(qBlue(src[x]));
            dst[1] = static_cast<uchar>(qGreen(src[x]));
            dst[2] = static_cast<uchar>(qRed(src[x]));
        }
    }
    return file;
}

}  // namespace tavrel
