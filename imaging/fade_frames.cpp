#include "imaging/fade_frames.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

#include "gif/lzw_follower.h"
#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/fade_blend.h"
#include "imaging/nearest_colour.h"
#include "imaging/texture_map.h"
#include "imaging/true_colour_frame.h"
#include "imaging/weighted_palette.h"

namespace tavrel {
namespace {

// Green counts most and blue least, as the eye sees lightness mostly through green.
constexpr ChannelWeights kEyeMetric{4, 6, 1};
constexpr std::size_t kMaxFadeColours = 255;
// The palette is taken from every kSampleRows-th row: blends are smooth mixtures of two
// pictures, so a sample finds the same colours at a quarter of the cost.
constexpr int32_t kSampleRows = 4;
// One pass: more move the colours little and cost time.
constexpr int kRefinePasses = 1;
// A pixel's weight in the palette halves at this texture level: smooth areas, where every
// error shows, claim the colours.
constexpr int32_t kHalfWeightTexture = 30;
// How much farther (weighted squared distance) than the nearest palette colour a pixel's
// colour may be, so that it extends a string the encoder knows: about three levels of green
// (eight of blue) in smooth areas, more where texture hides the error. Measured by butteraugli and
// SSIMULACRA against the bytes on photographs.
constexpr int32_t kTolerance = 70;
constexpr int32_t kTolerancePerTexture = 10;
// The most strings one search looks at: a bound on the time for pathological pictures
// (photographs need far fewer).
constexpr int32_t kMaxVisits = 200;

std::vector<Rgb> FramePalette(const TrueColourView& frame, const std::vector<uint8_t>& texture) {
    const TrueColourView sample{frame.pixels, frame.width, std::max(1, frame.height / kSampleRows),
                                frame.stride * kSampleRows};
    std::vector<uint8_t> weights;
    weights.reserve(static_cast<std::size_t>(sample.width) *
                    static_cast<std::size_t>(sample.height));
    for (int32_t y = 0; y < sample.height; ++y) {
        const uint8_t* row =
            texture.data() + static_cast<std::size_t>(y) * kSampleRows * sample.width;
        for (int32_t x = 0; x < sample.width; ++x) {
            weights.push_back(static_cast<uint8_t>(
                std::max(1, 255 * kHalfWeightTexture / (kHalfWeightTexture + row[x]))));
        }
    }
    const std::vector<WeightedBin> colours = WeightedColours(sample, weights);
    return RefineWeighted(colours,
                          CutIntoBoxes(colours, static_cast<int>(kMaxFadeColours), kEyeMetric),
                          kRefinePasses, kEyeMetric);
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

// One row of a plan, with the screen's row.
struct RowChoices {
    const Rgb* wanted = nullptr;
    const int32_t* nearest = nullptr;
    const int32_t* limit = nullptr;
    Rgb* shown = nullptr;
    int32_t width = 0;
};

// The longest run of pixels from a given place that extends a dictionary string with a
// colour within each pixel's limit; of equally long runs, the one nearest to the blend.
class StringSearch {
public:
    StringSearch(const RowChoices& row, const std::vector<Rgb>& palette, const LzwFollower& lzw,
                 uint8_t transparent)
        : m_row(row), m_palette(palette), m_lzw(lzw), m_transparent(transparent) {}

    Rgb Colour(uint8_t index, int32_t x) const {
        return index == m_transparent ? m_row.shown[x] : m_palette[index];
    }
    // How much farther than the nearest the index's colour is at x (may be below 0 for the
    // colour on screen).
    int32_t Cost(uint8_t index, int32_t x) const {
        return ColourDistance(m_row.wanted[x], Colour(index, x), kEyeMetric) - m_row.nearest[x];
    }
    bool Allowed(uint8_t index, int32_t x) const {
        return ColourDistance(m_row.wanted[x], Colour(index, x), kEyeMetric) <= m_row.limit[x];
    }

    void Reset() {
        m_best.clear();
        m_bestCost = 0;
    }
    // Runs that continue the string code with pixel x on; start: the pixels chosen before
    // x that belong to the run (the string's own pixels before them are not counted).
    void Search(uint16_t code, int32_t x, std::span<const uint8_t> start, int64_t cost) {
        m_visits = 0;
        m_path.assign(start.begin(), start.end());
        Explore(code, x, cost);
    }
    const std::vector<uint8_t>& Best() const { return m_best; }

private:
    // Only a run that no child extends can be the longest: the others are recorded there.
    void Explore(uint16_t code, int32_t x, int64_t cost) {
        bool extended = false;
        if (x < m_row.width) {
            const Rgb wanted = m_row.wanted[x];
            const int32_t limit = m_row.limit[x];
            for (uint16_t child = m_lzw.FirstChild(code);
                 child != LzwFollower::kNoCode && m_visits < kMaxVisits;
                 child = m_lzw.NextSibling(child)) {
                const uint8_t index = m_lzw.LastPixel(child);
                const int32_t distance = ColourDistance(wanted, Colour(index, x), kEyeMetric);
                if (distance > limit) {
                    continue;
                }
                ++m_visits;
                extended = true;
                m_path.push_back(index);
                Explore(child, x + 1, cost + distance - m_row.nearest[x]);
                m_path.pop_back();
            }
        }
        if (!extended && (m_path.size() > m_best.size() ||
                          (m_path.size() == m_best.size() && cost < m_bestCost))) {
            m_best = m_path;
            m_bestCost = cost;
        }
    }

    const RowChoices& m_row;
    const std::vector<Rgb>& m_palette;
    const LzwFollower& m_lzw;
    uint8_t m_transparent;
    int32_t m_visits = 0;
    std::vector<uint8_t> m_path;
    std::vector<uint8_t> m_best;
    int64_t m_bestCost = 0;
};

}  // namespace

CrossfadeFrames::CrossfadeFrames(const TrueColourView& from, const TrueColourView& to,
                                 int32_t steps)
    : m_from(from), m_to(to), m_steps(steps) {}

FadeFramePlan CrossfadeFrames::Plan(int32_t step) const {
    FadeFramePlan plan;
    std::vector<uint8_t> blend;
    BlendPictures(m_from, m_to, step, m_steps, blend);
    const int32_t width = m_from.width;
    const int32_t height = m_from.height;
    const TrueColourView wanted{blend.data(), width, height,
                                4 * static_cast<std::ptrdiff_t>(width)};
    const std::vector<uint8_t> texture = TextureMap(wanted);
    NearestColour nearest(FramePalette(wanted, texture), kEyeMetric);
    const std::size_t size = texture.size();
    plan.width = width;
    plan.height = height;
    plan.wanted.resize(size);
    plan.nearestIndex.resize(size);
    plan.nearest.resize(size);
    plan.limit.resize(size);
    for (int32_t y = 0; y < height; ++y) {
        const std::size_t start = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int32_t x = 0; x < width; ++x) {
            const std::size_t at = start + static_cast<std::size_t>(x);
            const Rgb colour = wanted.At(x, y);
            const uint8_t index = nearest.Find(colour, x > 0 ? plan.nearestIndex[at - 1] : 0);
            plan.wanted[at] = colour;
            plan.nearestIndex[at] = index;
            plan.nearest[at] = nearest.Distance(colour, nearest.Palette()[index]);
            plan.limit[at] = plan.nearest[at] + kTolerance + kTolerancePerTexture * texture[at];
        }
    }
    plan.palette = nearest.Palette();
    return plan;
}

PlacedFrame CrossfadeFrames::Frame(const FadeFramePlan& plan, ShownPicture& shown) {
    const int32_t width = plan.width;
    const int32_t height = plan.height;
    const std::vector<Rgb>& palette = plan.palette;
    const auto transparent = static_cast<uint8_t>(palette.size());

    PlacedFrame placed;
    placed.transparent = transparent;
    IndexedFrame& frame = placed.frame;
    frame.nWidth = width;
    frame.nHeight = height;
    frame.pIndices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                          transparent);
    StorePalette(palette, frame);

    LzwFollower lzw(frame.nBitsPerPixel);
    RowChoices row;
    row.width = width;
    StringSearch search(row, palette, lzw, transparent);
    for (int32_t y = 0; y < height; ++y) {
        const std::size_t start = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        uint8_t* out = frame.pIndices.data() + start;
        const uint8_t* nearestIndex = plan.nearestIndex.data() + start;
        row.wanted = plan.wanted.data() + start;
        row.nearest = plan.nearest.data() + start;
        row.limit = plan.limit.data() + start;
        row.shown = &shown.At(0, y);
        const auto take = [&](std::span<const uint8_t> run, int32_t& x) {
            for (const uint8_t index : run) {
                out[x] = index;
                if (index != transparent) {
                    row.shown[x] = palette[index];
                }
                lzw.Add(index);
                ++x;
            }
        };
        for (int32_t x = 0; x < width;) {
            // Best of all: a run that continues the string being matched.
            search.Reset();
            if (lzw.Started()) {
                search.Search(lzw.Current(), x, {}, 0);
                if (!search.Best().empty()) {
                    take(search.Best(), x);
                    continue;
                }
            }
            // Else a new string: its first pixel is what is on screen where that is at least
            // as near as the nearest colour, or the nearest, or one of the neighbours' choices
            // (or the screen) within the limit that starts a longer known run.
            const uint8_t own = search.Cost(transparent, x) <= 0 ? transparent : nearestIndex[x];
            const std::array<uint8_t, 7> firsts{own,
                                                x > 0 ? out[x - 1] : own,
                                                y > 0 ? out[x - width] : own,
                                                transparent,
                                                y > 0 && x + 1 < width ? out[x - width + 1] : own,
                                                y > 0 && x > 0 ? out[x - width - 1] : own,
                                                x > 1 ? out[x - 2] : own};
            for (std::size_t i = 0; i < firsts.size() && x + 1 < width; ++i) {
                const uint8_t first = firsts[i];
                if (std::find(firsts.begin(), firsts.begin() + static_cast<std::ptrdiff_t>(i),
                              first) != firsts.begin() + static_cast<std::ptrdiff_t>(i) ||
                    (i > 0 && !search.Allowed(first, x))) {
                    continue;
                }
                const std::array<uint8_t, 1> start{first};
                search.Search(first, x + 1, start, search.Cost(first, x));
            }
            if (search.Best().size() > 1) {
                take(search.Best(), x);
            } else {
                const std::array<uint8_t, 1> single{own};
                take(single, x);
            }
        }
    }
    CropToChangedPixels(placed);
    return placed;
}

}  // namespace tavrel
