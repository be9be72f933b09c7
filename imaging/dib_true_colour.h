// A bitmap's colours as true-colour rows, whatever its depth.
#pragma once

#include <cstdint>
#include <vector>

#include "bitmap/dib_section.h"

namespace tavrel {

// Rows of blue, green, red, 0 for every pixel of a bitmap of 1, 4, 8, 15, 16, 24 or 32 bits,
// top row first, packed with no gap; a palette index past the colour table reads as black.
// Empty for a null bitmap or another depth.
std::vector<uint8_t> TrueColourPixels(const DibSection& bitmap);

}  // namespace tavrel
