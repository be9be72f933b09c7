#include "imaging/fade_frames.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>

#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/error_spread.h"
#include "imaging/fade_blend.h"
#include "imaging/nearest_colour.h"
#include "imaging/true_colour_frame.h"
#include "imaging/weighted_palette.h"

namespace tavrel {
namespace {

constexpr std::size_t kMaxFadeColours = 255;
// The palette is taken from every kSampleRows-th row: blends are smooth mixtures of two
// pictures, so a sample finds the same colours at a quarter of the cost.
constexpr int32_t kSampleRows = 4;
constexpr int kRefinePasses = 2;
// Squared distance by which keeping what is shown may be worse than the best palette colour:
// a change that small is not worth its bytes nor the flicker.
constexpr int32_t kKeepTolerance = 48;
// Squared distance by which repeating the colour just stored may be worse than the best:
// longer runs of one index cost fewer LZW codes, and the error is carried on.
constexpr int32_t kRunTolerance = 150;
// Sixteenths of the error passed on (weak: a blend is shown for a twentieth of a second,
// and dither noise costs bytes), and the most any channel carries (in levels), so that
// error cannot build into blotches.
constexpr int32_t kStrength = 6;
constexpr int32_t kMaxCarried = 32;

std::vector<Rgb> FramePalette(const TrueColourView& frame) {
    const TrueColourView sample{frame.pixels, frame.width, std::max(1, frame.height / kSampleRows),
                                frame.stride * kSampleRows};
    const std::vector<uint8_t> evenWeights(
        static_cast<std::size_t>(sample.width) * static_cast<std::size_t>(sample.height), 1);
    return RefineWeighted(WeightedColours(sample, evenWeights),
                          OctreePalette(sample, static_cast<int>(kMaxFadeColours)), kRefinePasses,
                          ChannelWeights{});
}

uint8_t Level(int32_t value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

// The palette with the transparent entry after the colours, as the frame stores it.
void StorePalette(const std::vector<Rgb>& palette, IndexedFrame& frame) {
    frame.nBitsPerPixel = BitsForColourCount(static_cast<uint32_t>(palette.size() + 1));
    frame.pPalette.assign(3 * (std::size_t{1} << frame.nBitsPerPixel), 0);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        frame.pPalette[3 * i] = palette[i].red;
        frame.pPalette[3 * i + 1] = palette[i].green;
        frame.pPalette[3 * i + 2] = palette[i].blue;
    }
}

}  // namespace

CrossfadeFrames::CrossfadeFrames(const TrueColourView& from, const TrueColourView& to,
                                 int32_t steps)
    : m_from(from), m_to(to), m_steps(steps) {}

PlacedFrame CrossfadeFrames::Frame(int32_t step, ShownPicture& shown) {
    BlendPictures(m_from, m_to, step, m_steps, m_blend);
    const int32_t width = m_from.width;
    const int32_t height = m_from.height;
    const TrueColourView wanted{m_blend.data(), width, height,
                                4 * static_cast<std::ptrdiff_t>(width)};
    NearestColour nearest(FramePalette(wanted));
    const std::vector<Rgb>& palette = nearest.Palette();
    const auto transparent = static_cast<uint8_t>(palette.size());

    PlacedFrame placed;
    placed.transparent = transparent;
    IndexedFrame& frame = placed.frame;
    frame.nWidth = width;
    frame.nHeight = height;
    frame.pIndices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                          transparent);
    StorePalette(palette, frame);

    // Error waiting for this row and the next, in 1/256 of a level, with a spare pixel on
    // each side; rows alternate direction.
    const std::size_t rowSlots = 3 * (static_cast<std::size_t>(width) + 2);
    std::vector<int32_t> current(rowSlots, 0);
    std::vector<int32_t> next(rowSlots, 0);
    uint8_t hint = 0;
    for (int32_t y = 0; y < height; ++y) {
        const bool leftToRight = y % 2 == 0;
        const int32_t stepX = leftToRight ? 1 : -1;
        std::fill(next.begin(), next.end(), 0);
        uint8_t* out = frame.pIndices.data() + static_cast<std::size_t>(y) * width;
        for (int32_t i = 0; i < width; ++i) {
            const int32_t x = leftToRight ? i : width - 1 - i;
            int32_t* here = &current[3 * static_cast<std::size_t>(x + 1)];
            const Rgb target = wanted.At(x, y);
            const auto carried = [&](int channel) {
                return std::clamp((here[channel] + 128) >> 8, -kMaxCarried, kMaxCarried);
            };
            const Rgb want{Level(target.red + carried(0)), Level(target.green + carried(1)),
                           Level(target.blue + carried(2))};
            Rgb& onScreen = shown.At(x, y);
            if (!(want == onScreen)) {
                uint8_t index = nearest.Find(want, hint);
                const uint8_t before = i > 0 ? out[x - stepX] : transparent;
                if (before != transparent && before != index &&
                    ColourDistance(want, palette[before]) <=
                        ColourDistance(want, palette[index]) + kRunTolerance) {
                    index = before;
                }
                hint = index;
                if (ColourDistance(want, onScreen) >
                    ColourDistance(want, palette[index]) + kKeepTolerance) {
                    out[x] = index;
                    onScreen = palette[index];
                }
            }
            const std::array<int32_t, 3> error{(want.red - onScreen.red) * kStrength,
                                               (want.green - onScreen.green) * kStrength,
                                               (want.blue - onScreen.blue) * kStrength};
            SpreadError(here + 3 * stepX, &next[3 * static_cast<std::size_t>(x + 1)], stepX, error);
        }
        current.swap(next);
    }
    CropToChangedPixels(placed);
    return placed;
}

}  // namespace tavrel
