// A palette chosen by weighted k-means: each pixel counts by how visible an error would be
// there (a weight from 1 to 255 per pixel), so smooth areas, where banding shows, get more
// palette colours than noise, where the grain hides them. Integer sums and a fixed number
// of passes: the same input gives the same palette everywhere.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imaging/nearest_colour.h"
#include "imaging/pixel_colours.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

struct WeightedBin {
    Rgb colour;  // the weighted mean of the pixels gathered here
    uint64_t weight = 0;
    uint64_t redSum = 0, greenSum = 0, blueSum = 0;  // colour times weight, summed
};

// The picture's colours with their summed weights (weights: one per pixel, top row first).
// More than 32768 distinct colours are gathered into bins of 4 x 4 x 4 levels. The order
// depends on the colours alone.
std::vector<WeightedBin> WeightedColours(const TrueColourView& picture,
                                         std::span<const uint8_t> weights);

// A first palette of at most maxColours: the colours are cut into boxes, each time the box
// with the largest weighted squared error along its widest channel, where the two halves'
// errors add up least; each box gives its weighted mean.
std::vector<Rgb> CutIntoBoxes(std::span<const WeightedBin> colours, int maxColours,
                              ChannelWeights metric);

// Lloyd's passes from start (1 to 256 colours). A colour given no weight stays where it is.
std::vector<Rgb> RefineWeighted(std::span<const WeightedBin> colours, std::vector<Rgb> start,
                                int passes, ChannelWeights metric);

}  // namespace tavrel
