#include "imaging/fade_frames.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <cstdlib>

#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/colour_histogram.h"
#include "imaging/fade_blend.h"
#include "imaging/error_diffusion.h"
#include "imaging/kmeans_palette.h"
#include "imaging/true_colour_frame.h"

namespace tavrel {
namespace {

constexpr std::size_t kMaxFadeColours = 255;
constexpr int kRefinePasses = 4;
// Squared distance by which keeping what is shown may be worse than the best palette colour:
// a change that small is not worth its bytes nor the flicker.
static int32_t kKeepTolerance = getenv("KT") ? atoi(getenv("KT")) : 48;
// Sixteenths of the error passed on, and the most any channel carries (in levels), so that
// error cannot build into blotches.
static int32_t kStrength = getenv("ST") ? atoi(getenv("ST")) : 14;
static int32_t kMaxCarried = getenv("MC") ? atoi(getenv("MC")) : 32;
static std::size_t kMaxFadeColours2 = getenv("NC") ? atoi(getenv("NC")) : 255;

// Drops the one of the two nearest colours that comes later, until at most count are left.
void ReduceTo(std::vector<Rgb>& palette, std::size_t count) {
    while (palette.size() > count) {
        int32_t best = INT32_MAX;
        std::size_t drop = palette.size() - 1;
        for (std::size_t i = 0; i < palette.size(); ++i) {
            for (std::size_t j = i + 1; j < palette.size(); ++j) {
                const int32_t d = ColourDistance(palette[i], palette[j]);
                if (d < best) {
                    best = d;
                    drop = j;
                }
            }
        }
        palette.erase(palette.begin() + static_cast<std::ptrdiff_t>(drop));
    }
}

static int32_t kSameTolerance = getenv("SA") ? atoi(getenv("SA")) : 0;
constexpr int32_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

uint8_t Level(int32_t value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

std::vector<Rgb> CrossfadePalette(const TrueColourView& from, const TrueColourView& to) {
    // The two pictures and their midpoint one above the other, as one picture.
    std::vector<uint8_t> middle;
    BlendPictures(from, to, 1, 1, middle);
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(from.width);
    std::vector<uint8_t> stacked(3 * rowBytes * static_cast<std::size_t>(from.height));
    uint8_t* out = stacked.data();
    for (const TrueColourView* part : {&from, &to}) {
        for (int32_t y = 0; y < part->height; ++y, out += rowBytes) {
            std::memcpy(out, part->Row(y), rowBytes);
        }
    }
    std::memcpy(out, middle.data(), middle.size());
    const TrueColourView all{stacked.data(), from.width, 3 * from.height,
                             static_cast<std::ptrdiff_t>(rowBytes)};
    std::vector<Rgb> palette = OctreePalette(all);
    ReduceTo(palette, kMaxFadeColours2);
    return RefinePalette(ColourHistogram(all), std::move(palette), kRefinePasses);
}

CrossfadeFrames::CrossfadeFrames(const TrueColourView& from, const TrueColourView& to,
                                 int32_t steps)
    : m_from(from), m_to(to), m_steps(steps), m_nearest(CrossfadePalette(from, to)) {}

PlacedFrame CrossfadeFrames::Frame(int32_t step, ShownPicture& shown) {
    static int32_t period = getenv("IL") ? atoi(getenv("IL")) : 1;
    const int32_t last = std::min(step + period - 1, m_steps);
    BlendPictures(m_from, m_to, step + last, 2 * m_steps + 1, m_blend);
    const int32_t width = m_from.width;
    const int32_t height = m_from.height;
    const TrueColourView wanted{m_blend.data(), width, height, 4 * static_cast<std::ptrdiff_t>(width)};
    static int mode = getenv("MODE") ? atoi(getenv("MODE")) : 0;
    static int sub = getenv("SUB") ? atoi(getenv("SUB")) : 4;
    static int passes = getenv("PASSES") ? atoi(getenv("PASSES")) : 2;
    if (mode == 2) {
        const TrueColourView sample{wanted.pixels, width, height / sub, wanted.stride * sub};
        if (step == 1) {
            std::vector<Rgb> start = OctreePalette(sample);
            ReduceTo(start, kMaxFadeColours2);
            m_nearest = NearestColour(start);
        }
        m_nearest = NearestColour(RefinePalette(ColourHistogram(sample), m_nearest.Palette(), passes));
    }
    const std::vector<Rgb>& palette = m_nearest.Palette();
    const auto transparent = static_cast<uint8_t>(palette.size());

    PlacedFrame placed;
    placed.transparent = transparent;
    IndexedFrame& frame = placed.frame;
    frame.nWidth = width;
    frame.nHeight = height;
    frame.pIndices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                          transparent);

    if (mode >= 1) {
        const std::vector<uint8_t> q = DiffuseError(wanted, m_nearest, DiffusionOptions{kStrength, 4});
        for (int32_t y = 0; y < height; ++y) {
            if ((y + step) % period != 0) continue;
            for (int32_t x = 0; x < width; ++x) {
                const std::size_t at = static_cast<std::size_t>(y) * width + x;
                Rgb& onScreen = shown.At(x, y);
                if (ColourDistance(palette[q[at]], onScreen) <= kSameTolerance) continue;
                frame.pIndices[at] = q[at];
                onScreen = palette[q[at]];
            }
        }
    }
    uint8_t hint = 0;
    for (int32_t y = 0; y < height && mode == 0; ++y) {
        uint8_t* out = frame.pIndices.data() + static_cast<std::size_t>(y) * width;
        if ((y + step) % period != 0) {
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            const Rgb target = wanted.At(x, y);
            Rgb& onScreen = shown.At(x, y);
            if (ColourDistance(target, onScreen) <= kKeepTolerance) {
                continue;
            }
            const int32_t offset = (kBayer[y & 7][x & 7] * 2 - 63) * kStrength / 128;
            const Rgb dithered{Level(target.red + offset), Level(target.green + offset),
                               Level(target.blue + offset)};
            const uint8_t index = m_nearest.Find(dithered, hint);
            hint = index;
            if (ColourDistance(palette[index], onScreen) <= kSameTolerance) {
                continue;
            }
            out[x] = index;
            onScreen = palette[index];
        }
    }

    // The palette with the transparent entry after the colours.
    std::vector<Rgb> entries = palette;
    entries.push_back(Rgb{});
    frame.nBitsPerPixel = BitsForColourCount(static_cast<uint32_t>(entries.size()));
    frame.pPalette.assign(3 * (std::size_t{1} << frame.nBitsPerPixel), 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        frame.pPalette[3 * i] = entries[i].red;
        frame.pPalette[3 * i + 1] = entries[i].green;
        frame.pPalette[3 * i + 2] = entries[i].blue;
    }
    CropToChangedPixels(placed);
    return placed;
}

}  // namespace tavrel
