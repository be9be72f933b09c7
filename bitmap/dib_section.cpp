#include "bitmap/dib_section.h"

#include <limits>
#include <stdexcept>

namespace tavrel {

DibSection::DibSection(int32_t width, int32_t height, uint16_t bitsPerPixel) {
    const auto stride = RowStride(width, bitsPerPixel);
    if (!stride || height <= 0) {
        throw std::invalid_argument("unsupported bitmap size or depth");
    }
    if (*stride > std::numeric_limits<std::size_t>::max() / static_cast<std::size_t>(height)) {
        throw std::bad_alloc();
    }
    info_ = {width, height, 1, bitsPerPixel};
    pixels_.assign(*stride * static_cast<std::size_t>(height), 0);
    if (bitsPerPixel <= 8) {
        colourTable_.resize(std::size_t{1} << bitsPerPixel);
    }
}

DibSection DibSection::FromParts(BitmapInfo info, std::vector<RgbQuad> colourTable,
                                 std::vector<uint8_t> pixels) {
    DibSection dib;
    dib.info_ = info;
    dib.colourTable_ = std::move(colourTable);
    dib.pixels_ = std::move(pixels);
    return dib;
}

}  // namespace tavrel
