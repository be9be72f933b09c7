#include "platform/bmp_encoder.h"

#include <QtEndian>
#include <cstdint>

namespace tavrel {

QByteArray EncodeBmp24(const QImage& image) {
    if (image.isNull() ||
        (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)) {
        return {};
    }
    constexpr qsizetype kHeaders = 14 + 40;
    const qsizetype width = image.width();
    const qsizetype height = image.height();
    const qsizetype stride = (24 * width + 31) / 32 * 4;
    const qint64 total = kHeaders + static_cast<qint64>(stride) * height;
    if (total > UINT32_MAX) {
        return {};
    }
    QByteArray file(static_cast<qsizetype>(total), '\0');
    auto* b = reinterpret_cast<uchar*>(file.data());
    b[0] = 'B';
    b[1] = 'M';
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(total), b + 2);
    qToLittleEndian<uint32_t>(kHeaders, b + 10);
    qToLittleEndian<uint32_t>(40, b + 14);
    qToLittleEndian<int32_t>(static_cast<int32_t>(width), b + 18);
    qToLittleEndian<int32_t>(static_cast<int32_t>(height), b + 22);
    qToLittleEndian<uint16_t>(1, b + 26);
    qToLittleEndian<uint16_t>(24, b + 28);
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(stride * height), b + 34);
    qToLittleEndian<int32_t>(2835, b + 38);  // 72 dpi
    qToLittleEndian<int32_t>(2835, b + 42);
    for (qsizetype y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(y)));
        uchar* dst = b + kHeaders + (height - 1 - y) * stride;
        for (qsizetype x = 0; x < width; ++x, dst += 3) {
            dst[0] = static_cast<uchar>(qBlue(src[x]));
            dst[1] = static_cast<uchar>(qGreen(src[x]));
            dst[2] = static_cast<uchar>(qRed(src[x]));
        }
    }
    return file;
}

}  // namespace tavrel
