#include "imaging/packed_dib.h"

#include "platform/dib_section.h"

namespace tavrel {
namespace {

uint32_t Load32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Load16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void Store32(uint32_t value, uint8_t* p) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void Store16(uint16_t value, uint8_t* p) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

PackedDibHeader LoadPackedDibHeader(const uint8_t* block) {
    PackedDibHeader header;
    header.pixelOffset = Load32(block);
    header.width = static_cast<int32_t>(Load32(block + 4));
    header.height = static_cast<int32_t>(Load32(block + 8));
    header.planes = Load16(block + 12);
    header.bitCount = Load16(block + 14);
    header.compression = Load32(block + 16);
    header.imageSize = Load32(block + 20);
    return header;
}

void StorePackedDibHeader(const PackedDibHeader& header, uint8_t* block) {
    Store32(header.pixelOffset, block);
    Store32(static_cast<uint32_t>(header.width), block + 4);
    Store32(static_cast<uint32_t>(header.height), block + 8);
    Store16(header.planes, block + 12);
    Store16(header.bitCount, block + 14);
    Store32(header.compression, block + 16);
    Store32(header.imageSize, block + 20);
}

bool IsSupportedBitCount(uint32_t bitCount) {
    return DibSection::IsSupportedDepth(bitCount);
}

std::size_t ColourTableEntries(uint16_t bitCount) {
    return bitCount <= 8 && IsSupportedBitCount(bitCount) ? std::size_t{1} << bitCount : 0;
}

std::optional<PackedDibLayout> LayoutPackedDib(int32_t width, int32_t height, uint16_t bitCount) {
    const auto stride = DibSection::StrideFor(width, bitCount);
    if (!stride || height <= 0) {
        return std::nullopt;
    }
    PackedDibLayout layout;
    layout.colourEntries = ColourTableEntries(bitCount);
    layout.stride = *stride;
    const uint64_t storageBits = bitCount == 15 ? 16 : bitCount;
    layout.rowBytes =
        static_cast<std::size_t>((storageBits * static_cast<uint64_t>(width) + 7) / 8);
    layout.pixelOffset = kPackedDibHeaderSize + kRgbQuadSize * layout.colourEntries;
    const auto rows = static_cast<std::size_t>(height);
    if (layout.stride > (SIZE_MAX - layout.pixelOffset) / rows) {
        return std::nullopt;
    }
    layout.blockSize = layout.pixelOffset + layout.stride * rows;
    return layout;
}

PackedDibCheck ReadPackedDib(const uint8_t* block, std::size_t blockSize) {
    PackedDibCheck check;
    if (block == nullptr || blockSize < kPackedDibHeaderSize) {
        return check;
    }
    const PackedDibHeader header = LoadPackedDibHeader(block);
    if (!IsSupportedBitCount(header.bitCount)) {
        check.status = PackedDibStatus::kUnsupportedDepth;
        return check;
    }
    if (header.width <= 0 || header.height <= 0) {
        check.status = PackedDibStatus::kNoPixels;
        return check;
    }
    const auto layout = LayoutPackedDib(header.width, header.height, header.bitCount);
    // The rows must lie behind the header and colour table and end inside the block.
    if (!layout || header.pixelOffset < layout->pixelOffset || header.pixelOffset > blockSize ||
        layout->stride >
            (blockSize - header.pixelOffset) / static_cast<std::size_t>(header.height)) {
        return check;
    }
    check.status = PackedDibStatus::kValid;
    PackedDibView& view = check.view;
    view.width = header.width;
    view.height = header.height;
    view.bitCount = header.bitCount;
    view.colourEntries = layout->colourEntries;
    view.colourTable = view.colourEntries > 0 ? block + kPackedDibHeaderSize : nullptr;
    view.rows = block + header.pixelOffset;
    view.stride = layout->stride;
    view.rowBytes = layout->rowBytes;
    return check;
}

}  // namespace tavrel
