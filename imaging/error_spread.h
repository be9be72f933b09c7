// Floyd-Steinberg's spread of one pixel's colour error, shared by every diffusion here.
#pragma once

#include <array>
#include <cstdint>

namespace tavrel {

// Adds 7/16 of error to the next pixel on the row (ahead) and 3/16, 5/16 and 1/16 to the three
// pixels below (below points at the one straight below); step is +1 on rows scanned left to
// right and -1 on rows scanned right to left. The caller divides by 16 when it reads them.
inline void SpreadError(int32_t* ahead, int32_t* below, int step,
                        const std::array<int32_t, 3>& error) {
    for (int c = 0; c < 3; ++c) {
        ahead[c] += 7 * error[c];
        below[c - 3 * step] += 3 * error[c];
        below[c] += 5 * error[c];
        below[c + 3 * step] += error[c];
    }
}

}  // namespace tavrel
