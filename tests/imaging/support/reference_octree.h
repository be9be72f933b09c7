// A deliberately plain octree quantiser (owning child pointers, vectors as reducible lists,
// a full walk for every pixel) to check the fast one against: same inputs, same palette,
// same indices.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/pixel_colours.h"

namespace tavrel::test {

struct ReferenceResult {
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices;  // top row first
};

// Quantises a picture given as colours[y * width + x] (y = 0 the top row) to at most
// maxColours colours with 8 colour bits, inserting the bottom row first as the bitmap
// stores it.
ReferenceResult ReferenceQuantise(const std::vector<Rgb>& colours, int32_t width, int32_t height,
                                  uint32_t maxColours);

}  // namespace tavrel::test
