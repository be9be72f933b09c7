// Refines a palette by k-means (Lloyd's passes) over a picture's colour histogram: each
// pass gives every distinct colour to its nearest palette colour and moves each palette
// colour to the rounded mean of the pixels it was given. Integer sums and a fixed number of
// passes: the same input gives the same palette everywhere.
#pragma once

#include <span>
#include <vector>

#include "imaging/colour_histogram.h"
#include "imaging/pixel_colours.h"

namespace tavrel {

// start holds 1 to 256 colours; a colour that is given no pixels stays where it is.
std::vector<Rgb> RefinePalette(std::span<const WeightedColour> histogram, std::vector<Rgb> start,
                               int passes);

}  // namespace tavrel
