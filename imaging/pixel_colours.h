// How the pixels of one row of a packed bitmap turn into colours. The quantiser feeds the
// tree and the conversion maps the pixels with the same reading, so every mapped colour
// was inserted before.
#pragma once

#include <cstdint>

#include "bitmap/bitmap_format.h"

namespace tavrel {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A 5-5-5 pixel stored low byte first; the top bit is ignored and each component keeps
// its five bits in the high end of the byte.
inline Rgb Rgb555At(const uint8_t* pixel) {
    const Rgb555 c = Unpack555(pixel);
    return {static_cast<uint8_t>(c.red << 3), static_cast<uint8_t>(c.green << 3),
            static_cast<uint8_t>(c.blue << 3)};
}

// Blue, green, red in that order, as in 24- and 32-bit pixels and RGBQUAD entries.
inline Rgb BgrAt(const uint8_t* pixel) {
    return {pixel[2], pixel[1], pixel[0]};
}

// Calls visit(Rgb) for pixels 0 to width - 1 of one row of 15, 16, 24 or 32 bits. The depth
// is dispatched once per row, not per pixel. Returns false for a depth it does not read.
template <typename Visit>
bool ForEachDirectColour(const uint8_t* row, int32_t width, uint16_t bitCount, Visit&& visit) {
    switch (bitCount) {
        case 15:
        case 16:
            for (int32_t x = 0; x < width; ++x, row += 2) {
                visit(Rgb555At(row));
            }
            return true;
        case 24:
            for (int32_t x = 0; x < width; ++x, row += 3) {
                visit(BgrAt(row));
            }
            return true;
        case 32:
            for (int32_t x = 0; x < width; ++x, row += 4) {
                visit(BgrAt(row));
            }
            return true;
        default:
            return false;
    }
}

}  // namespace tavrel
