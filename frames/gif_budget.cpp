#include "frames/gif_budget.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include "gif/gif_writer.h"
#include "gif/lossy_lzw_codes.h"
#include "gif/output_file.h"
#include "imaging/colour_histogram.h"
#include "imaging/error_diffusion.h"
#include "imaging/indexed_frame.h"
#include "imaging/nearest_colour.h"
#include "imaging/palette_merge.h"
#include "imaging/true_colour_frame.h"

namespace tavrel {
namespace {

// The levers at a few steps; the steps between are interpolated (colours geometrically).
struct LeverAnchor {
    int step;
    BudgetLevers levers;
    double typicalShare;  // of the top step's bytes, on photographs: where a search starts
};
// Measured on photographs: dither noise and lossy runs cost the eye more than they save, so
// the steps below the best frames first drop the dithering, then keep runs through texture
// (where the coarser grain is masked), and only then take colours and let LZW runs stray.
constexpr LeverAnchor kAnchors[] = {
    {0, {8, 0, 24, 1000}, 0.093},  {150, {40, 0, 16, 250}, 0.22},
    {300, {96, 0, 16, 100}, 0.30}, {450, {256, 0, 16, 0}, 0.40},
    {600, {256, 0, 10, 0}, 0.47},  {800, {256, 0, 0, 0}, 0.74},
    {900, {256, 6, 2, 0}, 0.83},   {kBudgetTopStep, {256, 14, 4, 0}, 1.0},
};

// After this many guesses the search only halves the gap, so it always ends soon.
constexpr int kGuessedProbes = 4;

// A search stops once the file has at least this share of the budget.
constexpr double kGoodEnoughShare = 0.97;

// Runs work(i) for i from 0 to count - 1 on up to threads threads; the first exception
// thrown is raised again once every thread has ended.
template <typename Work>
void ForEachFrame(std::size_t count, int threads, Work&& work) {
    std::atomic<std::size_t> next{0};
    std::exception_ptr error;
    std::mutex errorMutex;
    const auto run = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard lock(errorMutex);
                if (!error) {
                    error = std::current_exception();
                }
                next = count;
            }
        }
    };
    const std::size_t extra =
        std::min(count, static_cast<std::size_t>(std::max(threads, 1))) - (count > 0 ? 1 : 0);
    std::vector<std::thread> helpers;
    helpers.reserve(extra);
    for (std::size_t t = 0; t < extra; ++t) {
        try {
            helpers.emplace_back(run);
        } catch (const std::system_error&) {
            break;  // no thread to be had: the calling thread does the rest
        }
    }
    run();
    for (std::thread& helper : helpers) {
        helper.join();
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

// A frame quantised once: its best frame and what the cheaper steps start from.
struct QuantisedFrame {
    IndexedFrame best;
    std::vector<Rgb> palette;  // the best frame's colours
    std::vector<WeightedColour> histogram;
    std::vector<uint8_t> wanted;              // the true colours, red, green, blue
    std::map<int, std::vector<Rgb>> reduced;  // palettes by colour count
};

QuantisedFrame Quantise(const BudgetFrame& frame) {
    QuantisedFrame q;
    const TrueColourView view = frame.picture.View();
    TrueColourToIndexedFrame(view, FrameQuality::kHigh, q.best);
    const std::size_t colours = q.best.pPalette.size() / 3;
    for (std::size_t i = 0; i < colours; ++i) {
        q.palette.push_back(
            {q.best.pPalette[3 * i], q.best.pPalette[3 * i + 1], q.best.pPalette[3 * i + 2]});
    }
    // Entries past the real colours are black padding; drop them.
    std::vector<bool> used(colours, false);
    for (const uint8_t index : q.best.pIndices) {
        used[index] = true;
    }
    while (!q.palette.empty() && !used[q.palette.size() - 1]) {
        q.palette.pop_back();
    }
    // Every other row is enough to weigh and refine the smaller palettes, at half the cost.
    TrueColourView rows = view;
    if (rows.height > 1) {
        rows.stride *= 2;
        rows.height = (rows.height + 1) / 2;
    }
    q.histogram = ColourHistogram(rows);
    q.wanted.resize(3 * static_cast<std::size_t>(view.width) *
                    static_cast<std::size_t>(view.height));
    uint8_t* out = q.wanted.data();
    for (int32_t y = 0; y < view.height; ++y) {
        for (int32_t x = 0; x < view.width; ++x, out += 3) {
            const Rgb c = view.At(x, y);
            out[0] = c.red;
            out[1] = c.green;
            out[2] = c.blue;
        }
    }
    return q;
}

bool IsTop(const BudgetLevers& levers) {
    const BudgetLevers top = BudgetLeversAt(kBudgetTopStep);
    return levers.colours >= top.colours && levers.ditherStrength == top.ditherStrength &&
           levers.runTolerancePerContrast == top.runTolerancePerContrast &&
           levers.lossyTolerance <= 0;
}

// The frame's bytes in the GIF (control extension to the last sub-block).
std::vector<uint8_t> EncodeFrame(const BudgetFrame& source, QuantisedFrame& q,
                                 const BudgetLevers& levers) {
    MemoryOutputFile out;
    const TrueColourView view = source.picture.View();
    const auto width = static_cast<uint16_t>(view.width);
    const auto height = static_cast<uint16_t>(view.height);
    if (IsTop(levers)) {
        WriteGifFrame(out, q.best.pIndices.data(), q.best.pPalette.data(), width, height,
                      q.best.nBitsPerPixel, source.delay, kNoTransparentColour);
        return out.Bytes();
    }
    auto found = q.reduced.find(levers.colours);
    if (found == q.reduced.end()) {
        found = q.reduced
                    .emplace(levers.colours,
                             MergePalette(q.histogram, q.palette,
                                          static_cast<std::size_t>(std::max(levers.colours, 2))))
                    .first;
    }
    const std::vector<Rgb>& palette = found->second;
    NearestColour nearest(palette);
    IndexedFrame frame;
    frame.nWidth = view.width;
    frame.nHeight = view.height;
    frame.pIndices =
        DiffuseError(view, nearest, {levers.ditherStrength, levers.runTolerancePerContrast});
    StoreCompactPalette(palette, frame);
    const LossyLzwFrame lossy{frame.pIndices.data(), q.wanted.data(), frame.pPalette.data(),
                              frame.pIndices.size(), frame.nBitsPerPixel};
    WriteGifFrameCodes(out, BuildLossyLzwCodes(lossy, levers.lossyTolerance), frame.pPalette.data(),
                       width, height, frame.nBitsPerPixel, source.delay, kNoTransparentColour);
    return out.Bytes();
}

class Animation {
public:
    Animation(std::span<const BudgetFrame> frames, int threads)
        : frames_(frames), threads_(threads), quantised_(frames.size()) {
        ForEachFrame(frames.size(), threads,
                     [&](std::size_t i) { quantised_[i] = Quantise(frames[i]); });
    }

    // The whole file at the levers.
    std::vector<uint8_t> Encode(const BudgetLevers& levers) {
        std::vector<std::vector<uint8_t>> parts(frames_.size());
        ForEachFrame(frames_.size(), threads_, [&](std::size_t i) {
            parts[i] = EncodeFrame(frames_[i], quantised_[i], levers);
        });
        MemoryOutputFile out;
        WriteGifHeader(out, static_cast<uint16_t>(frames_[0].picture.width),
                       static_cast<uint16_t>(frames_[0].picture.height),
                       quantised_[0].best.nBitsPerPixel);
        for (const std::vector<uint8_t>& part : parts) {
            out.Write(part.data(), part.size());
        }
        WriteGifTrailer(out);
        return out.Bytes();
    }

private:
    std::span<const BudgetFrame> frames_;
    int threads_;
    std::vector<QuantisedFrame> quantised_;
};

// The typical share of the top step's bytes at a step, and the step of a typical share.
double TypicalShareAt(int step) {
    std::size_t upper = 1;
    while (upper + 1 < std::size(kAnchors) && kAnchors[upper].step < step) {
        ++upper;
    }
    const LeverAnchor& a = kAnchors[upper - 1];
    const LeverAnchor& b = kAnchors[upper];
    const double t = static_cast<double>(step - a.step) / (b.step - a.step);
    return a.typicalShare * std::pow(b.typicalShare / a.typicalShare, t);
}

int TypicalStepFor(double share) {
    std::size_t upper = 1;
    while (upper + 1 < std::size(kAnchors) && kAnchors[upper].typicalShare < share) {
        ++upper;
    }
    const LeverAnchor& a = kAnchors[upper - 1];
    const LeverAnchor& b = kAnchors[upper];
    const double t = std::log(share / a.typicalShare) / std::log(b.typicalShare / a.typicalShare);
    return std::clamp(a.step + static_cast<int>(std::lround(t * (b.step - a.step))), 0,
                      kBudgetTopStep - 1);
}

int Interpolate(int from, int to, double t) {
    return static_cast<int>(std::lround(from + (to - from) * t));
}

}  // namespace

BudgetLevers BudgetLeversAt(int step) {
    step = std::clamp(step, 0, kBudgetTopStep);
    std::size_t upper = 1;
    while (kAnchors[upper].step < step) {
        ++upper;
    }
    const LeverAnchor& a = kAnchors[upper - 1];
    const LeverAnchor& b = kAnchors[upper];
    const double t = static_cast<double>(step - a.step) / (b.step - a.step);
    BudgetLevers levers;
    levers.colours = static_cast<int>(std::lround(
        a.levers.colours * std::pow(static_cast<double>(b.levers.colours) / a.levers.colours, t)));
    levers.ditherStrength = Interpolate(a.levers.ditherStrength, b.levers.ditherStrength, t);
    levers.runTolerancePerContrast =
        Interpolate(a.levers.runTolerancePerContrast, b.levers.runTolerancePerContrast, t);
    levers.lossyTolerance = Interpolate(a.levers.lossyTolerance, b.levers.lossyTolerance, t);
    return levers;
}

std::vector<uint8_t> EncodeWithLevers(std::span<const BudgetFrame> frames,
                                      const BudgetLevers& levers, int threads) {
    Animation animation(frames, threads);
    return animation.Encode(levers);
}

BudgetOutcome EncodeWithinBudget(std::span<const BudgetFrame> frames, uint64_t maxBytes,
                                 int threads) {
    BudgetOutcome outcome;
    if (frames.empty()) {
        MemoryOutputFile out;  // as a streaming encoder ends a GIF without frames
        WriteGifTrailer(out);
        outcome.gif = out.Bytes();
        return outcome;
    }
    Animation animation(frames, threads);
    std::vector<uint8_t> top = animation.Encode(BudgetLeversAt(kBudgetTopStep));
    if (top.size() <= maxBytes) {
        outcome.gif = std::move(top);
        return outcome;
    }
    // Steps are tried where the size is expected to meet the budget: the typical shares give
    // the shape of size against step, scaled to the size last measured; a few such guesses,
    // then the gap is halved. Step 0 is tried only when no guess fits.
    const double target = static_cast<double>(maxBytes) * (1 + kGoodEnoughShare) / 2;
    std::optional<std::vector<uint8_t>> fitting;
    int low = -1;  // the highest step known to fit, -1 before one is
    int high = kBudgetTopStep;
    int step = TypicalStepFor(target / static_cast<double>(top.size()));
    for (int probes = 1;; ++probes) {
        std::vector<uint8_t> candidate = animation.Encode(BudgetLeversAt(step));
        const double size = static_cast<double>(candidate.size());
        if (candidate.size() <= maxBytes) {
            low = step;
            fitting = std::move(candidate);
            if (size >= kGoodEnoughShare * static_cast<double>(maxBytes)) {
                break;
            }
        } else if (step == 0) {
            outcome.smallestBytes = candidate.size();
            return outcome;
        } else {
            high = step;
        }
        if (high - low <= 1) {
            break;
        }
        if (probes < kGuessedProbes) {
            step = std::clamp(TypicalStepFor(TypicalShareAt(step) * target / size),
                              std::max(low + 1, 0), high - 1);
        } else {
            step = low < 0 ? 0 : low + (high - low) / 2;
        }
    }
    outcome.gif = std::move(fitting);
    return outcome;
}

}  // namespace tavrel
