#include "support/test_bitmaps.h"

#include <cmath>
#include <random>

namespace tavrel::test {
namespace {

uint8_t* PixelAt(DibSection& bitmap, int32_t x, int32_t y, int bytesPerPixel) {
    return bitmap.Row(bitmap.Height() - 1 - y) + static_cast<std::size_t>(x) * bytesPerPixel;
}

}  // namespace

void SetColour(DibSection& bitmap, int32_t x, int32_t y, Rgb colour) {
    switch (bitmap.BitsPerPixel()) {
        case 15:
        case 16: {
            const unsigned value =
                (colour.red >> 3) << 10 | (colour.green >> 3) << 5 | colour.blue >> 3;
            uint8_t* p = PixelAt(bitmap, x, y, 2);
            p[0] = static_cast<uint8_t>(value);
            p[1] = static_cast<uint8_t>(value >> 8);
            break;
        }
        case 24:
        case 32: {
            uint8_t* p = PixelAt(bitmap, x, y, bitmap.BitsPerPixel() / 8);
            p[0] = colour.blue;
            p[1] = colour.green;
            p[2] = colour.red;
            break;
        }
        default:
            break;
    }
}

void SetIndex(DibSection& bitmap, int32_t x, int32_t y, uint8_t index) {
    uint8_t* row = bitmap.Row(bitmap.Height() - 1 - y);
    switch (bitmap.BitsPerPixel()) {
        case 8:
            row[x] = index;
            break;
        case 4: {
            uint8_t& byte = row[x / 2];
            byte = x % 2 == 0 ? static_cast<uint8_t>((byte & 0x0F) | index << 4)
                              : static_cast<uint8_t>((byte & 0xF0) | (index & 0x0F));
            break;
        }
        case 1: {
            const auto mask = static_cast<uint8_t>(0x80 >> (x % 8));
            row[x / 8] = index != 0 ? (row[x / 8] | mask) : (row[x / 8] & ~mask);
            break;
        }
        default:
            break;
    }
}

DibSection MakeBitmap(int32_t width, int32_t height, uint16_t bitsPerPixel,
                      const std::vector<Rgb>& colours) {
    DibSection bitmap(width, height, bitsPerPixel);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            SetColour(bitmap, x, y, colours[static_cast<std::size_t>(y) * width + x]);
        }
    }
    return bitmap;
}

void FillFiller(DibSection& bitmap, uint8_t value) {
    const unsigned bits = bitmap.BitsPerPixel() == 15 ? 16 : bitmap.BitsPerPixel();
    const std::size_t used = (bits * static_cast<std::size_t>(bitmap.Width()) + 7) / 8;
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        for (std::size_t i = used; i < bitmap.Stride(); ++i) {
            bitmap.Row(y)[i] = value;
        }
    }
}

std::vector<Rgb> PhotoLikeColours(int32_t width, int32_t height, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-12, 12);
    std::vector<Rgb> colours;
    colours.reserve(static_cast<std::size_t>(width) * height);
    const auto clamp = [](double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            // A flat band every so often gives runs of equal pixels.
            if (y % 37 < 3) {
                colours.push_back({40, 90, 160});
                continue;
            }
            const double fx = static_cast<double>(x) / width;
            const double fy = static_cast<double>(y) / height;
            colours.push_back({clamp(255 * fx + noise(random)),
                               clamp(128 + 100 * std::sin(6.0 * fy + 3.0 * fx) + noise(random)),
                               clamp(255 * (1 - fy) * fx + noise(random))});
        }
    }
    return colours;
}

}  // namespace tavrel::test
