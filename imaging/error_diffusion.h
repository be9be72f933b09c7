// Floyd-Steinberg error diffusion against a fixed palette, serpentine (rows alternate
// direction so the error does not drift one way). All sums are integers: the result is the
// same on every machine.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/nearest_colour.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

struct DiffusionOptions {
    // Sixteenths of each pixel's error passed on to its neighbours: 16 is classic
    // Floyd-Steinberg; less trades some smoothness for fewer isolated pixels.
    int32_t strength = 16;
    // Keep the previous pixel's colour while it is at most this much (squared distance)
    // farther than the nearest, per level of local contrast (the summed channel differences
    // to the left and upper neighbours): longer runs of one index, fewer LZW codes. In
    // texture the coarser grain is masked; smooth areas (contrast 0) keep the plain choice.
    int32_t runTolerancePerContrast = 0;
};

// One palette index per pixel, top row first. A pixel whose own colour is in the palette
// takes it and passes nothing on, so flat areas the palette holds exactly stay flat.
std::vector<uint8_t> DiffuseError(const TrueColourView& picture, NearestColour& nearest,
                                  const DiffusionOptions& options);

}  // namespace tavrel
