// Small bitmaps for the imaging tests, built pixel by pixel in picture coordinates
// (y = 0 is the top row) so that the bottom-up storage is exercised, not assumed.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "bitmap/dib_section.h"
#include "imaging/pixel_colours.h"

namespace tavrel::test {

// Writes a colour into pixel (x, y) of a 15, 16, 24 or 32-bit bitmap (others are left
// alone); 15 and 16-bit pixels get the 5-5-5 value of the colour's top five bits.
inline void SetColour(DibSection& bitmap, int32_t x, int32_t y, Rgb c) {
    const int bits = bitmap.BitsPerPixel();
    uint8_t* p = bitmap.Row(bitmap.Height() - 1 - y) + x * (bits <= 16 ? 2 : bits / 8);
    if (bits == 15 || bits == 16) {
        const unsigned value = (c.red >> 3) << 10 | (c.green >> 3) << 5 | c.blue >> 3;
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
    } else if (bits >= 24) {
        p[0] = c.blue, p[1] = c.green, p[2] = c.red;
    }
}

// A bitmap whose pixels are colours[y * width + x].
inline DibSection MakeBitmap(int32_t width, int32_t height, uint16_t bitsPerPixel,
                             const std::vector<Rgb>& colours) {
    DibSection bitmap(width, height, bitsPerPixel);
    for (int32_t i = 0; i < width * height; ++i) {
        SetColour(bitmap, i % width, i / width, colours[i]);
    }
    return bitmap;
}

// Sets every filler byte (past the pixels of each row) to value.
inline void FillFiller(DibSection& bitmap, uint8_t value) {
    const unsigned bits = bitmap.BitsPerPixel() == 15 ? 16 : bitmap.BitsPerPixel();
    const std::size_t used = (bits * static_cast<std::size_t>(bitmap.Width()) + 7) / 8;
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        std::fill(bitmap.Row(y) + used, bitmap.Row(y) + bitmap.Stride(), value);
    }
}

// A deterministic picture of smooth gradients with noise and a flat band every 37 rows
// (runs of equal pixels): many colours.
inline std::vector<Rgb> PhotoLikeColours(int32_t width, int32_t height, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-12, 12);
    const auto channel = [&](double v) {
        return uint8_t(std::clamp(v + noise(random), 0.0, 255.0));
    };
    std::vector<Rgb> colours;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const double fx = double(x) / width, fy = double(y) / height;
            colours.push_back(y % 37 < 3 ? Rgb{40, 90, 160}
                                         : Rgb{channel(255 * fx),
                                               channel(128 + 100 * std::sin(6.0 * fy + 3.0 * fx)),
                                               channel(255 * (1 - fy) * fx)});
        }
    }
    return colours;
}

}  // namespace tavrel::test
