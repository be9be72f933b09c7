// One GIF frame's worth of picture: a palette index per pixel and the palette.
#pragma once

#include <cstdint>
#include <vector>

namespace tavrel {

struct IndexedFrame {
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    uint8_t nBitsPerPixel = 0;  // 3 to 8; the palette has 2^nBitsPerPixel entries
    // nWidth x nHeight indices, top row of the picture first, rows packed with no gap.
    // Every index is below the number of real colours in the palette.
    std::vector<uint8_t> pIndices;
    // 3 x 2^nBitsPerPixel bytes of red, green, blue; entries past the real colours are black.
    std::vector<uint8_t> pPalette;
};

}  // namespace tavrel
