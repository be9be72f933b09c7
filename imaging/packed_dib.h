// The packed bitmap block the conversion works on: a 40-byte header whose first field is
// the offset of the pixel rows, a colour table of RGBQUAD entries (1, 4 and 8 bits per
// pixel only, 2^bits entries) and the pixel rows, bottom-up, each padded to 4 bytes.
// All numbers are little-endian. Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "bitmap/bitmap_format.h"
#include "bitmap/dib_section.h"

namespace tavrel {

// The block starts with the 40-byte DibInfoHeader of bitmap/bitmap_format.h, its size field
// holding the offset of the pixel rows from the start of the block.

// The depths accepted and their colour tables are those of bitmap/bitmap_format.h.

// Where everything lies in a block for a picture of the given size and depth.
struct PackedDibLayout {
    std::size_t colourEntries = 0;
    std::size_t stride = 0;       // bytes per row, a multiple of 4
    std::size_t rowBytes = 0;     // bytes of a row that carry pixels; the rest is filler
    std::size_t pixelOffset = 0;  // 40 + 4 x colour entries
    std::size_t blockSize = 0;    // pixelOffset + stride x height
};

// nullopt for a size of 0 or less, an unsupported depth or sizes that overflow.
std::optional<PackedDibLayout> LayoutPackedDib(int32_t width, int32_t height, uint16_t bitCount);

// The layout of the bitmap's packed block, or nullopt when the bitmap is null, of an
// unsupported depth or size, or its pixels or colour table are too small for its header.
std::optional<PackedDibLayout> CheckedPackedLayout(const DibSection& bitmap);

enum class PackedDibStatus {
    kValid,
    kNoPixels,          // width or height of 0 or less
    kUnsupportedDepth,  // a bit count other than 1, 4, 8, 15, 16, 24 or 32
    kMalformed,         // a block too small for what its header claims
};

// A checked block: every pointer and size stays inside the block it was read from.
struct PackedDibView {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 0;
    const uint8_t* colourTable = nullptr;  // colourEntries RGBQUADs, or null
    std::size_t colourEntries = 0;
    const uint8_t* rows = nullptr;  // bottom row of the picture first
    std::size_t stride = 0;
    std::size_t rowBytes = 0;

    const uint8_t* Row(int32_t memoryRow) const {
        return rows + static_cast<std::size_t>(memoryRow) * stride;
    }
};

struct PackedDibCheck {
    PackedDibStatus status = PackedDibStatus::kMalformed;
    PackedDibView view;  // meaningful only for kValid
};

// Checks a block of blockSize bytes against its own header without reading past its end.
PackedDibCheck ReadPackedDib(const uint8_t* block, std::size_t blockSize);

}  // namespace tavrel
