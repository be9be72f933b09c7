// The colours of a true-colour picture with the number of pixels of each. A picture with
// very many colours (noise, grain) has them gathered into bins of 4 x 4 x 4 levels
// instead, each bin giving the mean of its pixels: palette refinement then costs a bounded
// amount of work, and such pictures lose nothing visible by it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/pixel_colours.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

struct WeightedColour {
    Rgb colour;  // the colour, or the rounded mean of a bin
    uint32_t count = 0;
    uint32_t redSum = 0, greenSum = 0, blueSum = 0;  // exact, for means of several entries
};

inline constexpr std::size_t kMaxExactColours = 32768;

// In an order fixed by the colours alone (not by the order of the pixels).
std::vector<WeightedColour> ColourHistogram(const TrueColourView& picture);

}  // namespace tavrel
