#include "platform/dib_section.h"

#include <limits>
#include <stdexcept>

namespace tavrel {

bool DibSection::IsSupportedDepth(uint32_t bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
        case 4:
        case 8:
        case 15:
        case 16:
        case 24:
        case 32:
            return true;
        default:
            return false;
    }
}

std::optional<std::size_t> DibSection::StrideFor(int32_t width, uint16_t bitsPerPixel) {
    if (!IsSupportedDepth(bitsPerPixel)) {
        return std::nullopt;
    }
    if (width <= 0) {
        return std::nullopt;
    }
    const uint64_t bits = bitsPerPixel == 15 ? 16 : bitsPerPixel;
    const uint64_t stride = (bits * static_cast<uint64_t>(width) + 31) / 32 * 4;
    if (stride > std::numeric_limits<std::size_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(stride);
}

DibSection::DibSection(int32_t width, int32_t height, uint16_t bitsPerPixel) {
    const auto stride = StrideFor(width, bitsPerPixel);
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
