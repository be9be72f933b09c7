// The frames of a crossfade: frame i of k shows, per channel, round((1 - w) a + w b) with
// w = i / (k + 1), so neither end picture is repeated and the steps are even.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/true_colour_view.h"

namespace tavrel {

// One channel of frame step of steps (1 <= step <= steps), rounded half up in integers.
inline uint8_t BlendChannel(uint8_t a, uint8_t b, int32_t step, int32_t steps) {
    const int32_t n = steps + 1;
    return static_cast<uint8_t>((2 * (a * (n - step) + b * step) + n) / (2 * n));
}

// Frame step of steps between two pictures of the same size, as rows of blue, green, red, 0
// packed with no gap (stride 4 x width); out is resized to hold them.
void BlendPictures(const TrueColourView& from, const TrueColourView& to, int32_t step,
                   int32_t steps, std::vector<uint8_t>& out);

}  // namespace tavrel
