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
#include "imaging/high_quality_quantiser.h"
#include "imaging/indexed_frame.h"

namespace tavrel {
namespace {

// The levers at a few steps; the steps between are interpolated (colours geometrically).
struct LeverAnchor {
    int step;
    BudgetLevers levers;
    double typicalShare;  // of the top step's bytes, on photographs: where a search starts
};
// Measured on photographs: dither grain and lossy runs cost the eye more than they save, so
// the steps below the best frames first weaken the dithering, then let LZW runs stray a
// little, and only then take colours as well.
// A crossfade's frames, seen for a twentieth of a second each, stray further than the
// pictures' own frames.
constexpr int32_t ChangeTolerance(int32_t atLeast) {
    return std::max(atLeast, kChangeLossyTolerance);
}
constexpr LeverAnchor kAnchors[] = {
    {0, {8, 0, 1000, ChangeTolerance(3000)}, 0.14},
    {100, {32, 0, 600, ChangeTolerance(2000)}, 0.28},
    {250, {64, 0, 400, ChangeTolerance(1500)}, 0.38},
    {400, {128, 0, 300, ChangeTolerance(1000)}, 0.48},
    {550, {256, 0, 200, ChangeTolerance(600)}, 0.64},
    {700, {256, 0, 0, ChangeTolerance(300)}, 0.84},
    {850, {256, 50, 0, ChangeTolerance(0)}, 0.92},
    {kBudgetTopStep, {256, 100, 0, ChangeTolerance(0)}, 1.0},
};

// Below step 0, for pictures too busy for its file to fit: fewer colours and longer lossy runs
// still, tried in turn before a budget is refused.
constexpr BudgetLevers kLastResorts[] = {
    {6, 0, 1500, ChangeTolerance(3500)},
    {4, 0, 2000, ChangeTolerance(4000)},
    {2, 0, 4000, ChangeTolerance(6000)},
};

// After this many guesses the search only halves the gap; after kMaxProbes it takes the best
// step found to fit (where the colour count changes, the size jumps and no step may come
// nearer the budget).
constexpr int kGuessedProbes = 4;
constexpr int kMaxProbes = 6;
constexpr int kColourJumpSteps = 16;

constexpr int kMaxColours = 256;

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

// A frame's quantisations (by colour count, each made once) and its true colours.
struct QuantisedFrame {
    std::map<int, QuantisedPicture> byColours;
    std::vector<uint8_t> wanted;  // red, green, blue per pixel
};

QuantisedFrame Quantise(const BudgetFrame& frame) {
    QuantisedFrame q;
    const TrueColourView view = frame.picture.View();
    if (!frame.made) {
        q.byColours.emplace(kMaxColours, QuantiseHighQuality(view, kMaxColours));
    }
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

// A frame's bytes in the GIF (control extension to the last sub-block) and its bits per
// pixel. At the top step they are the --quality high frame's.
struct EncodedFrame {
    std::vector<uint8_t> bytes;
    uint8_t bits = 8;
};

EncodedFrame EncodeMadeFrame(const BudgetFrame& source, const QuantisedFrame& q,
                             const BudgetLevers& levers) {
    const IndexedFrame& frame = *source.made;
    const LossyLzwFrame lossy{frame.pIndices.data(), q.wanted.data(),     frame.pPalette.data(),
                              frame.pIndices.size(), frame.nBitsPerPixel, source.transparent};
    MemoryOutputFile out;
    WriteGifFrameCodes(
        out, BuildLossyLzwCodes(lossy, levers.changeTolerance), frame.pPalette.data(), source.left,
        source.top, static_cast<uint16_t>(frame.nWidth), static_cast<uint16_t>(frame.nHeight),
        frame.nBitsPerPixel, source.delay,
        source.transparent < 0 ? kNoTransparentColour : static_cast<uint16_t>(source.transparent));
    return {out.Bytes(), frame.nBitsPerPixel};
}

EncodedFrame EncodeFrame(const BudgetFrame& source, QuantisedFrame& q, const BudgetLevers& levers) {
    if (source.made) {
        return EncodeMadeFrame(source, q, levers);
    }
    const TrueColourView view = source.picture.View();
    const int colours = std::clamp(levers.colours, 2, kMaxColours);
    auto found = q.byColours.find(colours);
    if (found == q.byColours.end()) {
        found = q.byColours.emplace(colours, QuantiseHighQuality(view, colours)).first;
    }
    HighQualityOptions options;
    options.maxColours = colours;
    options.ditherStrength = static_cast<float>(levers.ditherPercent) / 100.0f;
    const IndexedFrame frame = RemapHighQuality(view, found->second, options);
    const LossyLzwFrame lossy{frame.pIndices.data(), q.wanted.data(), frame.pPalette.data(),
                              frame.pIndices.size(), frame.nBitsPerPixel};
    MemoryOutputFile out;
    WriteGifFrameCodes(out, BuildLossyLzwCodes(lossy, levers.lossyTolerance), frame.pPalette.data(),
                       0, 0, static_cast<uint16_t>(view.width), static_cast<uint16_t>(view.height),
                       frame.nBitsPerPixel, source.delay, kNoTransparentColour);
    return {out.Bytes(), frame.nBitsPerPixel};
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
        std::vector<EncodedFrame> parts(frames_.size());
        ForEachFrame(frames_.size(), threads_, [&](std::size_t i) {
            parts[i] = EncodeFrame(frames_[i], quantised_[i], levers);
        });
        MemoryOutputFile out;
        WriteGifHeader(out, static_cast<uint16_t>(frames_[0].picture.width),
                       static_cast<uint16_t>(frames_[0].picture.height), parts[0].bits);
        for (const EncodedFrame& part : parts) {
            out.Write(part.bytes.data(), part.bytes.size());
        }
        WriteGifTrailer(out);
        return out.Bytes();
    }

private:
    std::span<const BudgetFrame> frames_;
    int threads_;
    std::vector<QuantisedFrame> quantised_;
};

// The first anchor past which a value lies (by step or by typical share, both rising along
// the anchors), but never the first: the value is read between it and the one before.
template <typename Key>
std::size_t UpperAnchor(Key key) {
    std::size_t upper = 1;
    while (upper + 1 < std::size(kAnchors) && key(kAnchors[upper])) {
        ++upper;
    }
    return upper;
}

// The typical share of the top step's bytes at a step, and the step of a typical share.
double TypicalShareAt(int step) {
    const std::size_t upper = UpperAnchor([step](const LeverAnchor& a) { return a.step < step; });
    const LeverAnchor& a = kAnchors[upper - 1];
    const LeverAnchor& b = kAnchors[upper];
    const double t = static_cast<double>(step - a.step) / (b.step - a.step);
    return a.typicalShare * std::pow(b.typicalShare / a.typicalShare, t);
}

int TypicalStepFor(double share) {
    const std::size_t upper =
        UpperAnchor([share](const LeverAnchor& a) { return a.typicalShare < share; });
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
    // Colour counts in half octaves (8, 12, 16, 24, ...): nearby steps share one quantisation,
    // so a search that closes in on a budget quantises each frame only once or twice.
    const double colours =
        a.levers.colours * std::pow(static_cast<double>(b.levers.colours) / a.levers.colours, t);
    const double halfOctaves = std::round(2 * std::log2(colours));
    levers.colours = std::min(
        kMaxColours, static_cast<int>(std::lround(std::exp2(std::floor(halfOctaves / 2)) *
                                                  (static_cast<int>(halfOctaves) % 2 ? 1.5 : 1))));
    levers.ditherPercent = Interpolate(a.levers.ditherPercent, b.levers.ditherPercent, t);
    levers.lossyTolerance = Interpolate(a.levers.lossyTolerance, b.levers.lossyTolerance, t);
    levers.changeTolerance = Interpolate(a.levers.changeTolerance, b.levers.changeTolerance, t);
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
            for (const BudgetLevers& levers : kLastResorts) {
                candidate = animation.Encode(levers);
                if (candidate.size() <= maxBytes) {
                    outcome.gif = std::move(candidate);
                    return outcome;
                }
            }
            outcome.smallestBytes = candidate.size();
            return outcome;
        } else {
            high = step;
        }
        if (high - low <= 1 || (low >= 0 && probes >= kMaxProbes)) {
            break;
        }
        // Close to a change of colour count the size jumps: a step in between only costs
        // another quantisation or remap and comes no nearer the budget.
        if (low >= 0 && high - low <= kColourJumpSteps &&
            BudgetLeversAt(low).colours != BudgetLeversAt(high).colours) {
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
