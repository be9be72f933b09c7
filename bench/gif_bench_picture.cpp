#include "gif_bench_picture.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace tavrel::bench {
namespace {

// Quantises a 0..255 channel to levels steps, with a random dither offset.
int Reduce(double value, int levels, double dither) {
    const double scaled = value / 256.0 * levels + dither;
    return std::clamp(static_cast<int>(scaled), 0, levels - 1);
}

}  // namespace

std::vector<uint8_t> PhotoLikeIndices() {
    std::mt19937 random(530);
    std::normal_distribution<double> noise(0.0, 6.0);
    std::uniform_real_distribution<double> dither(-0.5, 0.5);
    std::vector<uint8_t> indices(static_cast<std::size_t>(kPictureSize) * kPictureSize);
    for (int y = 0; y < kPictureSize; ++y) {
        for (int x = 0; x < kPictureSize; ++x) {
            const double fx = x / double{kPictureSize};
            const double fy = y / double{kPictureSize};
            const double red = 128 + 110 * std::sin(3.1 * fx + 1.7 * fy) + noise(random);
            const double green = 40 + 190 * fy * (1 - 0.5 * fx) + noise(random);
            const double blue = 128 + 100 * std::cos(5.3 * fx * fy + 0.4) + noise(random);
            const int r = Reduce(std::clamp(red, 0.0, 255.0), 8, dither(random));
            const int g = Reduce(std::clamp(green, 0.0, 255.0), 8, dither(random));
            const int b = Reduce(std::clamp(blue, 0.0, 255.0), 4, dither(random));
            indices[static_cast<std::size_t>(y) * kPictureSize + x] =
                static_cast<uint8_t>(r << 5 | g << 2 | b);
        }
    }
    return indices;
}

std::vector<uint8_t> ThreeThreeTwoPalette() {
    std::vector<uint8_t> palette;
    palette.reserve(768);
    for (int i = 0; i < 256; ++i) {
        palette.push_back(static_cast<uint8_t>((i >> 5) * 255 / 7));
        palette.push_back(static_cast<uint8_t>((i >> 2 & 7) * 255 / 7));
        palette.push_back(static_cast<uint8_t>((i & 3) * 255 / 3));
    }
    return palette;
}

}  // namespace tavrel::bench
