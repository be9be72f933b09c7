// Fewer colours from a palette already fitted to a picture: the two palette colours whose
// merging adds the least squared error over the picture's pixels are merged, again and
// again, and the result is refined by a few k-means passes. Much cheaper than quantising
// the picture afresh, and the colours the picture has many pixels of are kept apart.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "imaging/colour_histogram.h"
#include "imaging/pixel_colours.h"

namespace tavrel {

// At most maxColours (1 or more) colours; the palette itself when it is no longer.
std::vector<Rgb> MergePalette(std::span<const WeightedColour> histogram,
                              const std::vector<Rgb>& palette, std::size_t maxColours);

}  // namespace tavrel
