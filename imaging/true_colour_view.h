// A read-only view of true-colour pixels: top-down rows of 32-bit pixels stored as the bytes
// blue, green, red and one ignored byte (the layout of a 32-bit bitmap row and of Qt's
// Format_RGB32 on little-endian machines).
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/pixel_colours.h"

namespace tavrel {

struct TrueColourView {
    const uint8_t* pixels = nullptr;  // the top row
    int32_t width = 0;
    int32_t height = 0;
    std::ptrdiff_t stride = 0;  // bytes from one row to the next, at least 4 x width

    const uint8_t* Row(int32_t y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
    Rgb At(int32_t x, int32_t y) const {
        return BgrAt(Row(y) + 4 * static_cast<std::ptrdiff_t>(x));
    }
    bool IsEmpty() const { return pixels == nullptr || width <= 0 || height <= 0; }
};

}  // namespace tavrel
