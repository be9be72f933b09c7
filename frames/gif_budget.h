// A whole animation made to fit in a number of bytes, looking as good as it can there. Each
// frame is quantised once; then one quality step, from the best frames down to the
// smallest ones, sets every lever at once (palette colours, dithering strength, lossy LZW
// tolerance) for all frames alike, and a binary search over the
// steps encodes the animation in memory until it has the best step that fits. Plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "imaging/bitmap_true_colour.h"
#include "imaging/indexed_frame.h"

namespace tavrel {

// How far a lossy LZW run may stray on a crossfade's frame with no limit: each is seen for a
// twentieth of a second, among frames that differ little, so a small error is not seen.
inline constexpr int32_t kChangeLossyTolerance = 0;

// One frame of the animation and how long it is shown. A frame made from its colours covers
// the whole logical screen (the first frame's size). A change to the screen (a crossfade's
// frame) comes made: its indices and palette stay, its rectangle and transparent index with
// them, and only lossy LZW, within its picture's colours, makes it smaller.
struct BudgetFrame {
    TrueColourPicture picture;
    uint16_t delay = 0;  // hundredths of a second
    std::optional<IndexedFrame> made;
    uint16_t left = 0;
    uint16_t top = 0;
    int32_t transparent = -1;  // the made frame's index that keeps the pixel below; -1: none
};

// How one quality step makes its frames.
struct BudgetLevers {
    int colours = 256;           // palette colours per frame at most
    int ditherPercent = 100;     // of the high quality frames' dithering
    int32_t lossyTolerance = 0;  // squared RGB distance a lossy LZW run may stray
    int32_t changeTolerance = kChangeLossyTolerance;  // the same for frames that come made
};

inline constexpr int kBudgetTopStep = 1000;  // the --quality high frames, bytes and all

// The levers of a step from 0 (the smallest file) to kBudgetTopStep.
BudgetLevers BudgetLeversAt(int step);

struct BudgetOutcome {
    std::optional<std::vector<uint8_t>> gif;  // the whole file; empty when it cannot fit
    uint64_t smallestBytes = 0;               // when it cannot fit: the smallest file made
};

// The best-looking looping GIF of the frames (at least one, all of one size) that has at
// most maxBytes bytes: the top step when that fits, else the highest step found to fit.
// threads frames are worked on at a time. Throws std::bad_alloc when memory runs out.
BudgetOutcome EncodeWithinBudget(std::span<const BudgetFrame> frames, uint64_t maxBytes,
                                 int threads);

// The GIF of the frames at one set of levers (for measuring the levers themselves).
std::vector<uint8_t> EncodeWithLevers(std::span<const BudgetFrame> frames,
                                      const BudgetLevers& levers, int threads);

}  // namespace tavrel
