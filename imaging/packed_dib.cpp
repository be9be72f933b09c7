#include "imaging/packed_dib.h"

namespace tavrel {

std::optional<PackedDibLayout> LayoutPackedDib(int32_t width, int32_t height, uint16_t bitCount) {
    const auto stride = RowStride(width, bitCount);
    if (!stride || height <= 0) {
        return std::nullopt;
    }
    PackedDibLayout layout;
    layout.colourEntries = ColourTableEntries(bitCount);
    layout.stride = *stride;
    const uint64_t storageBits = bitCount == 15 ? 16 : bitCount;
    layout.rowBytes =
        static_cast<std::size_t>((storageBits * static_cast<uint64_t>(width) + 7) / 8);
    layout.pixelOffset = kDibInfoHeaderSize + kRgbQuadSize * layout.colourEntries;
    const auto rows = static_cast<std::size_t>(height);
    if (layout.stride > (SIZE_MAX - layout.pixelOffset) / rows) {
        return std::nullopt;
    }
    layout.blockSize = layout.pixelOffset + layout.stride * rows;
    return layout;
}

PackedDibCheck ReadPackedDib(const uint8_t* block, std::size_t blockSize) {
    PackedDibCheck check;
    if (block == nullptr || blockSize < kDibInfoHeaderSize) {
        return check;
    }
    const DibInfoHeader header = LoadDibInfoHeader(block);
    const uint32_t pixelOffset = header.size;  // a packed block's size field
    if (!IsSupportedDepth(header.bitCount)) {
        check.status = PackedDibStatus::kUnsupportedDepth;
        return check;
    }
    if (header.width <= 0 || header.height <= 0) {
        check.status = PackedDibStatus::kNoPixels;
        return check;
    }
    const auto layout = LayoutPackedDib(header.width, header.height, header.bitCount);
    // The rows must lie behind the header and colour table and end inside the block.
    if (!layout || pixelOffset < layout->pixelOffset || pixelOffset > blockSize ||
        layout->stride > (blockSize - pixelOffset) / static_cast<std::size_t>(header.height)) {
        return check;
    }
    check.status = PackedDibStatus::kValid;
    PackedDibView& view = check.view;
    view.width = header.width;
    view.height = header.height;
    view.bitCount = header.bitCount;
    view.colourEntries = layout->colourEntries;
    view.colourTable = view.colourEntries > 0 ? block + kDibInfoHeaderSize : nullptr;
    view.rows = block + pixelOffset;
    view.stride = layout->stride;
    view.rowBytes = layout->rowBytes;
    return check;
}

std::optional<PackedDibLayout> CheckedPackedLayout(const DibSection& bitmap) {
    if (bitmap.IsNull()) {
        return std::nullopt;
    }
    const BitmapInfo& info = bitmap.Info();
    auto layout = LayoutPackedDib(info.width, info.height, info.bitsPerPixel);
    if (!layout || bitmap.Pixels().size() < layout->blockSize - layout->pixelOffset ||
        bitmap.ColourTable().size() < layout->colourEntries) {
        return std::nullopt;
    }
    return layout;
}

}  // namespace tavrel
