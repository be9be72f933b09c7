// Arbitrary bytes as a BMP file read by our own code: the checks a picture file passes before
// decoding (the header, the declared size, the completeness of plain rows and run-length
// streams), then the loader's stretch to a frame. Any crash, sanitizer report or bitmap of
// the wrong shape is a finding.
//
// The size asked for varies with the input's length: the file's own declared size (the
// rows are then copied as they stand), the frame size, or a small odd size.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "platform/bitmap_loader.h"
#include "platform/picture_checks.h"

namespace {

uint32_t U32(const uint8_t* data, std::size_t at) {
    return data[at] | data[at + 1] << 8 | data[at + 2] << 16 |
           static_cast<uint32_t>(data[at + 3]) << 24;
}

void RequestedSize(const uint8_t* data, std::size_t size, int* width, int* height) {
    *width = 530;
    *height = 530;
    switch (size % 3) {
        case 0:
            if (size >= 26) {
                const auto w = static_cast<int32_t>(U32(data, 18));
                auto h = static_cast<int64_t>(static_cast<int32_t>(U32(data, 22)));
                h = h < 0 ? -h : h;
                if (w > 0 && w <= 2048 && h > 0 && h <= 2048) {
                    *width = w;
                    *height = static_cast<int>(h);
                }
            }
            break;
        case 1:
            *width = 17;
            *height = 13;
            break;
        default:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    int width = 0;
    int height = 0;
    RequestedSize(data, size, &width, &height);
    // A copy of exactly the input, so that reading past it is caught.
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    static_cast<void>(tavrel::CheckBeforeDecoding(bytes, QSize()));
    const tavrel::DibSection bitmap = tavrel::LoadBitmapFromBytes(bytes, width, height);
    if (!bitmap.IsNull()) {
        if (bitmap.Width() != width || bitmap.Height() != height ||
            bitmap.Pixels().size() < bitmap.Stride() * static_cast<std::size_t>(height)) {
            __builtin_trap();
        }
        static_cast<void>(tavrel::DibToImage(bitmap));
    }
    return 0;
}
