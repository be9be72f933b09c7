#include "imaging/selective_diffusion.h"

#include <algorithm>
#include <array>

#include "imaging/error_spread.h"
#include "imaging/exact_colours.h"

namespace tavrel {
namespace {

// Carried error is kept in 1/1024 of a level: strength (1/64) times the 1/16 weights.
constexpr int32_t kErrorShift = 10;

uint8_t Channel(int32_t value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

// An 8 x 8 Bayer matrix, values 0 to 63.
constexpr std::array<uint8_t, 64> kBayer = {
    0,  32, 8,  40, 2,  34, 10, 42, 48, 16, 56, 24, 50, 18, 58, 26, 12, 44, 4,  36, 14, 46,
    6,  38, 60, 28, 52, 20, 62, 30, 54, 22, 3,  35, 11, 43, 1,  33, 9,  41, 51, 19, 59, 27,
    49, 17, 57, 25, 15, 47, 7,  39, 13, 45, 5,  37, 63, 31, 55, 23, 61, 29, 53, 21};

std::vector<uint8_t> OrderedDither(const TrueColourView& picture, NearestColour& nearest,
                                   const SelectiveDiffusion& options) {
    const std::vector<Rgb>& palette = nearest.Palette();
    const ExactColours exact(palette);
    std::vector<uint8_t> indices(static_cast<std::size_t>(picture.width) *
                                 static_cast<std::size_t>(picture.height));
    uint8_t* out = indices.data();
    const uint8_t* strength = options.strength.data();
    uint8_t previous = 0;
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x, ++out, ++strength) {
            const Rgb source = picture.At(x, y);
            const int32_t known = exact.Find(source);
            if (known >= 0) {
                *out = previous = static_cast<uint8_t>(known);
                continue;
            }
            // The pattern spans about the gap between neighbouring palette colours.
            const int32_t threshold = 2 * kBayer[(y & 7) * 8 + (x & 7)] - 63;
            const int32_t shift =
                threshold * options.clampLevels * *strength / (2 * 64 * kFullStrength);
            const Rgb wanted{Channel(source.red + shift), Channel(source.green + shift),
                             Channel(source.blue + shift)};
            *out = previous = nearest.Find(wanted, previous);
        }
    }
    return indices;
}

}  // namespace

std::vector<uint8_t> DiffuseSelectively(const TrueColourView& picture, NearestColour& nearest,
                                        const SelectiveDiffusion& options) {
    if (options.ordered) {
        return OrderedDither(picture, nearest, options);
    }
    const int32_t width = picture.width;
    std::vector<uint8_t> indices(static_cast<std::size_t>(width) *
                                 static_cast<std::size_t>(picture.height));
    const std::vector<Rgb>& palette = nearest.Palette();
    const ExactColours exact(palette);
    const int32_t limit = options.clampLevels << kErrorShift;

    // Error waiting for this row and the next, per channel, with one spare pixel on each
    // side so the edges need no tests.
    const std::size_t rowSlots = 3 * (static_cast<std::size_t>(width) + 2);
    std::vector<int32_t> current(rowSlots, 0);
    std::vector<int32_t> next(rowSlots, 0);

    for (int32_t y = 0; y < picture.height; ++y) {
        const bool leftToRight = y % 2 == 0;
        const int32_t step = leftToRight ? 1 : -1;
        std::fill(next.begin(), next.end(), 0);
        const std::size_t rowStart = static_cast<std::size_t>(y) * width;
        uint8_t* out = indices.data() + rowStart;
        const uint8_t* strengthRow = options.strength.data() + rowStart;
        const uint8_t* textureRow =
            options.texture.empty() ? nullptr : options.texture.data() + rowStart;
        int32_t previous = -1;
        int32_t runLength = 0;
        Rgb lastSource{};
        int32_t lastExact = -1;
        for (int32_t i = 0; i < width; ++i) {
            const int32_t x = leftToRight ? i : width - 1 - i;
            const Rgb source = picture.At(x, y);
            if (i == 0 || !(source == lastSource)) {
                lastSource = source;
                lastExact = exact.Find(source);
            }
            if (lastExact >= 0 && !options.ditherExactColours) {
                out[x] = static_cast<uint8_t>(lastExact);
                previous = lastExact;
                continue;
            }
            int32_t* here = &current[3 * static_cast<std::size_t>(x + 1)];
            const auto take = [&](int channel, uint8_t value) {
                const int32_t error = std::clamp(here[channel], -limit, limit);
                return Channel(value + ((error + (1 << (kErrorShift - 1))) >> kErrorShift));
            };
            const Rgb wanted{take(0, source.red), take(1, source.green), take(2, source.blue)};
            auto index = static_cast<int32_t>(
                nearest.Find(wanted, static_cast<uint8_t>(std::max(previous, 0))));
            // Error piled up one way (the palette has nothing beyond the picture's colour
            // there) must not pick a far colour: a speckle the eye finds at once. A dithered
            // colour may be twice as far as the nearest (in distance), and some more. When
            // the wanted colour is near the pixel's own, no choice can be that far.
            if (8 * nearest.Distance(source, wanted) > options.speckleAllowance) {
                const auto plain =
                    static_cast<int32_t>(nearest.Find(source, static_cast<uint8_t>(index)));
                if (nearest.Distance(source, palette[index]) >
                    4 * nearest.Distance(source, palette[plain]) + options.speckleAllowance) {
                    index = plain;
                }
            }
            const int32_t strength = strengthRow[x];
            if (previous >= 0 && previous != index && textureRow != nullptr) {
                const int32_t farther = nearest.Distance(wanted, palette[previous]) -
                                        nearest.Distance(wanted, palette[index]);
                const bool mayLengthen =
                    textureRow[x] >= options.smoothTexture || runLength < options.smoothRunLength;
                if (mayLengthen && farther <= options.runTolerance +
                                                  options.runTolerancePerTexture * textureRow[x]) {
                    index = previous;
                }
            }
            out[x] = static_cast<uint8_t>(index);
            runLength = index == previous ? runLength + 1 : 1;
            previous = index;
            if (strength == 0) {
                continue;
            }
            const Rgb got = palette[index];
            const std::array<int32_t, 3> error{(wanted.red - got.red) * strength,
                                               (wanted.green - got.green) * strength,
                                               (wanted.blue - got.blue) * strength};
            SpreadError(here + 3 * step, &next[3 * static_cast<std::size_t>(x + 1)], step, error);
        }
        current.swap(next);
    }
    return indices;
}

}  // namespace tavrel
