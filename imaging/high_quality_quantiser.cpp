#include "imaging/high_quality_quantiser.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/nearest_colour.h"
#include "imaging/selective_diffusion.h"
#include "imaging/texture_map.h"
#include "imaging/weighted_palette.h"

namespace tavrel {
namespace {

// Colour distance with green counting most and blue hardly at all, as the eye sees
// lightness mostly through green and red and resolves little detail in blue: palettes
// spend their colours on lightness steps, and the nearest colour keeps the lightness of the
// pixel before its hue. Measured by butteraugli and SSIMULACRA on photographs, against
// weights nearer to equal.
constexpr ChannelWeights kEyeMetric{4, 7, 1};
constexpr int32_t kEyeMetricSum = kEyeMetric.red + kEyeMetric.green + kEyeMetric.blue;
// A pixel's weight halves at this texture level: smooth areas claim the palette.
constexpr int32_t kHalfWeightTexture = 30;
constexpr int kRefinePasses = 8;

struct StrengthCurve {
    int32_t smooth;  // up to this texture level: full strength
    int32_t busy;    // from this level on: the floor
    int32_t floor;   // in 1/kFullStrength
    float scale;     // full strength as a part of Floyd-Steinberg's
};
// Measured on photographs by butteraugli and SSIMULACRA: against the refined palette a
// partial diffusion hides the banding without the grain of a full one; against the plain
// octree palette (wider gaps) the full one pays.
constexpr StrengthCurve kHighCurve{4, 40, 8, 0.5f};
constexpr StrengthCurve kPlainCurve{4, 40, 0, 0.6f};
constexpr int32_t kClampLevels = 16;
// Eight levels in every channel under the eye metric.
constexpr int32_t kSpeckleAllowance = 64 * kEyeMetricSum;
// A pixel repeats the index before it while that is less than about three levels in every
// channel farther than the nearest colour, more in texture: the carried error makes up the
// difference, and the runs cost fewer LZW codes. In smooth areas such runs stop after three
// pixels, as longer ones show as streaks in skies.
constexpr int32_t kRunTolerance = 8 * kEyeMetricSum;
constexpr int32_t kRunTolerancePerTexture = 2;
constexpr int32_t kSmoothTexture = 8;
constexpr int32_t kSmoothRunLength = 3;

// How much a pixel counts in the palette: smooth areas 255, texture less, never 0.
std::vector<uint8_t> Weights(const std::vector<uint8_t>& texture) {
    std::vector<uint8_t> weights(texture.size());
    for (std::size_t i = 0; i < texture.size(); ++i) {
        weights[i] = static_cast<uint8_t>(
            std::max(1, 255 * kHalfWeightTexture / (kHalfWeightTexture + texture[i])));
    }
    return weights;
}

std::vector<uint8_t> Strengths(const std::vector<uint8_t>& texture, const StrengthCurve& curve,
                               float overall) {
    const auto scale =
        static_cast<int32_t>(std::lround(std::clamp(overall, 0.0f, 1.0f) * curve.scale * 256.0f));
    std::vector<uint8_t> table(kMaxTexture + 1);
    for (int32_t t = 0; t <= kMaxTexture; ++t) {
        int32_t s = kFullStrength;
        if (t >= curve.busy) {
            s = curve.floor;
        } else if (t > curve.smooth) {
            s = kFullStrength -
                (kFullStrength - curve.floor) * (t - curve.smooth) / (curve.busy - curve.smooth);
        }
        table[static_cast<std::size_t>(t)] = static_cast<uint8_t>(s * scale / 256);
    }
    std::vector<uint8_t> strengths(texture.size());
    for (std::size_t i = 0; i < texture.size(); ++i) {
        strengths[i] = table[texture[i]];
    }
    return strengths;
}

// Drops the palette colours no index uses, renumbering the indices (order kept), and fills
// in the frame's palette and bits per pixel.
void StoreCompactPalette(const std::vector<Rgb>& palette, IndexedFrame& frame) {
    std::array<bool, 256> used{};
    for (const uint8_t index : frame.pIndices) {
        used[index] = true;
    }
    std::array<uint8_t, 256> renumbered{};
    std::vector<Rgb> kept;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        if (used[i]) {
            renumbered[i] = static_cast<uint8_t>(kept.size());
            kept.push_back(palette[i]);
        }
    }
    if (kept.size() != palette.size()) {
        for (uint8_t& index : frame.pIndices) {
            index = renumbered[index];
        }
    }
    frame.nBitsPerPixel = BitsForColourCount(static_cast<uint32_t>(kept.size()));
    frame.pPalette.assign(3 * (std::size_t{1} << frame.nBitsPerPixel), 0);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        frame.pPalette[3 * i] = kept[i].red;
        frame.pPalette[3 * i + 1] = kept[i].green;
        frame.pPalette[3 * i + 2] = kept[i].blue;
    }
}

IndexedFrame Remap(const TrueColourView& picture, const std::vector<Rgb>& palette,
                   const SelectiveDiffusion& diffusion) {
    NearestColour nearest(palette, kEyeMetric);
    IndexedFrame frame;
    frame.nWidth = picture.width;
    frame.nHeight = picture.height;
    frame.pIndices = DiffuseSelectively(picture, nearest, diffusion);
    StoreCompactPalette(palette, frame);
    return frame;
}

}  // namespace

QuantisedPicture QuantiseHighQuality(const TrueColourView& picture, int maxColours) {
    QuantisedPicture result;
    result.texture = TextureMap(picture);
    const std::vector<WeightedBin> colours = WeightedColours(picture, Weights(result.texture));
    result.palette = CutIntoBoxes(colours, std::clamp(maxColours, 1, 256), kEyeMetric);
    result.holdsEveryColour = colours.size() <= result.palette.size();
    if (!result.holdsEveryColour) {
        result.palette =
            RefineWeighted(colours, std::move(result.palette), kRefinePasses, kEyeMetric);
    }
    return result;
}

IndexedFrame RemapHighQuality(const TrueColourView& picture, const QuantisedPicture& quantised,
                              const HighQualityOptions& options) {
    const std::vector<uint8_t> strengths =
        Strengths(quantised.texture, kHighCurve, options.ditherStrength);
    SelectiveDiffusion diffusion;
    diffusion.strength = strengths;
    diffusion.texture = quantised.texture;
    diffusion.clampLevels = kClampLevels;
    diffusion.speckleAllowance = kSpeckleAllowance;
    diffusion.runTolerance = kRunTolerance;
    diffusion.runTolerancePerTexture = kRunTolerancePerTexture;
    diffusion.smoothTexture = kSmoothTexture;
    diffusion.smoothRunLength = kSmoothRunLength;
    // A picture of few colours (a grey photograph, say) would otherwise be stored exactly,
    // grain and all, at twice the bytes with no difference the eye sees.
    diffusion.ditherExactColours = quantised.holdsEveryColour;
    diffusion.ordered = options.stableDither;
    return Remap(picture, quantised.palette, diffusion);
}

IndexedFrame HighQualityFrame(const TrueColourView& picture, const HighQualityOptions& options) {
    return RemapHighQuality(picture, QuantiseHighQuality(picture, options.maxColours), options);
}

IndexedFrame RemapWithSelectiveDither(const TrueColourView& picture,
                                      const std::vector<Rgb>& palette) {
    const std::vector<uint8_t> strengths = Strengths(TextureMap(picture), kPlainCurve, 1.0f);
    SelectiveDiffusion diffusion;
    diffusion.strength = strengths;
    diffusion.clampLevels = kClampLevels;
    diffusion.speckleAllowance = kSpeckleAllowance;
    return Remap(picture, palette, diffusion);
}

}  // namespace tavrel
