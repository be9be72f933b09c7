#include "bitmap/bitmap_format.h"

#include <limits>

namespace tavrel {

bool IsSupportedDepth(uint32_t bitsPerPixel) {
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

std::size_t ColourTableEntries(uint16_t bitsPerPixel) {
    return bitsPerPixel <= 8 && IsSupportedDepth(bitsPerPixel) ? std::size_t{1} << bitsPerPixel : 0;
}

std::optional<std::size_t> RowStride(int32_t width, uint16_t bitsPerPixel) {
    if (!IsSupportedDepth(bitsPerPixel) || width <= 0) {
        return std::nullopt;
    }
    const uint64_t bits = bitsPerPixel == 15 ? 16 : bitsPerPixel;
    const uint64_t stride = (bits * static_cast<uint64_t>(width) + 31) / 32 * 4;
    if (stride > std::numeric_limits<std::size_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(stride);
}

uint16_t LoadLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t LoadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void StoreLe16(uint16_t value, uint8_t* p) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

void StoreLe32(uint32_t value, uint8_t* p) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

DibInfoHeader LoadDibInfoHeader(const uint8_t* header) {
    DibInfoHeader h;
    h.size = LoadLe32(header);
    h.width = static_cast<int32_t>(LoadLe32(header + 4));
    h.height = static_cast<int32_t>(LoadLe32(header + 8));
    h.planes = LoadLe16(header + 12);
    h.bitCount = LoadLe16(header + 14);
    h.compression = LoadLe32(header + 16);
    h.imageSize = LoadLe32(header + 20);
    return h;
}

void StoreDibInfoHeader(const DibInfoHeader& header, uint8_t* out) {
    StoreLe32(header.size, out);
    StoreLe32(static_cast<uint32_t>(header.width), out + 4);
    StoreLe32(static_cast<uint32_t>(header.height), out + 8);
    StoreLe16(header.planes, out + 12);
    StoreLe16(header.bitCount, out + 14);
    StoreLe32(header.compression, out + 16);
    StoreLe32(header.imageSize, out + 20);
}

std::optional<BmpFileHeader> ReadBmpFileHeader(const uint8_t* file, std::size_t size) {
    if (size < kBmpFileHeaderSize + kDibCoreHeaderSize || file[0] != 'B' || file[1] != 'M') {
        return std::nullopt;
    }
    BmpFileHeader h;
    h.pixelOffset = LoadLe32(file + 10);
    const uint8_t* info = file + kBmpFileHeaderSize;
    const uint32_t infoSize = LoadLe32(info);
    const bool core = infoSize == kDibCoreHeaderSize;
    if (!core &&
        (infoSize < kDibInfoHeaderSize || size < kBmpFileHeaderSize + kDibInfoHeaderSize)) {
        return std::nullopt;
    }
    int64_t height = 0;
    uint32_t coloursUsed = 0;
    if (core) {
        h.width = LoadLe16(info + 4);
        height = LoadLe16(info + 6);
        h.bitCount = LoadLe16(info + 10);
    } else {
        const DibInfoHeader header = LoadDibInfoHeader(info);
        h.width = header.width;
        height = header.height;
        h.bitCount = header.bitCount;
        h.compression = header.compression;
        coloursUsed = LoadLe32(info + 32);
    }
    h.topDown = height < 0;
    if (height < 0) {
        height = -height;
    }
    if (h.width <= 0 || height <= 0 || height > INT32_MAX) {
        return std::nullopt;
    }
    h.height = static_cast<int32_t>(height);
    if (h.bitCount == 15 || !IsSupportedDepth(h.bitCount)) {
        return std::nullopt;  // 15 is a depth of bitmaps in memory, not of BMP files
    }
    if (h.bitCount <= 8) {
        const uint32_t full = 1u << h.bitCount;
        const uint32_t stored = coloursUsed == 0 || coloursUsed > full ? full : coloursUsed;
        std::size_t at = kBmpFileHeaderSize + infoSize;
        if (h.compression == kBiBitFields && infoSize == kDibInfoHeaderSize) {
            at += 12;  // three masks after the classic header
        }
        const std::size_t entrySize = core ? 3 : 4;
        h.colourTable.assign(full, RgbQuad{});
        for (uint32_t i = 0; i < stored && at + entrySize <= size; ++i, at += entrySize) {
            h.colourTable[i] = {file[at], file[at + 1], file[at + 2], 0};
        }
    }
    return h;
}

bool WriteBmpFileHeader(int32_t width, int32_t height, uint16_t bitsPerPixel, uint8_t* out) {
    const auto stride = RowStride(width, bitsPerPixel);
    constexpr uint64_t kHeaders = kBmpFileHeaderSize + kDibInfoHeaderSize;
    if (!stride || height <= 0) {
        return false;
    }
    const uint64_t imageSize = static_cast<uint64_t>(*stride) * static_cast<uint64_t>(height);
    if (kHeaders + imageSize > UINT32_MAX) {
        return false;
    }
    for (std::size_t i = 0; i < kHeaders; ++i) {
        out[i] = 0;
    }
    out[0] = 'B';
    out[1] = 'M';
    StoreLe32(static_cast<uint32_t>(kHeaders + imageSize), out + 2);
    StoreLe32(kHeaders, out + 10);
    DibInfoHeader info;
    info.size = kDibInfoHeaderSize;
    info.width = width;
    info.height = height;
    info.bitCount = bitsPerPixel;
    info.imageSize = static_cast<uint32_t>(imageSize);
    StoreDibInfoHeader(info, out + kBmpFileHeaderSize);
    StoreLe32(2835, out + kBmpFileHeaderSize + 24);  // 72 dpi
    StoreLe32(2835, out + kBmpFileHeaderSize + 28);
    return true;
}

bool BmpPixelDataComplete(const BmpFileHeader& h, const uint8_t* file, std::size_t size) {
    if (h.compression != kBiRle8 && h.compression != kBiRle4) {
        const auto stride = RowStride(h.width, h.bitCount);
        return stride && h.pixelOffset <= size &&
               *stride * static_cast<std::size_t>(h.height) <= size - h.pixelOffset;
    }
    const uint8_t* b = file;
    std::size_t at = h.pixelOffset;
    int rowsEnded = 0;
    while (at + 2 <= size) {
        const uint8_t count = b[at], value = b[at + 1];
        at += 2;
        if (count != 0) {
            continue;  // a run of count pixels
        }
        if (value == 0) {
            if (++rowsEnded >= h.height) {
                return true;
            }
        } else if (value == 1) {
            return true;  // end of bitmap
        } else if (value == 2) {
            at += 2;  // delta
        } else {
            const std::size_t bytes = h.compression == kBiRle8 ? value : (value + 1u) / 2;
            at += (bytes + 1) & ~std::size_t{1};  // literal pixels, padded to a word
        }
    }
    return false;
}

}  // namespace tavrel
