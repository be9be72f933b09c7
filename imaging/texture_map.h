// How busy the picture is around each pixel: the summed second differences of the three
// channels (a Laplacian), averaged over a 5 x 5 window. Noise and texture score high and
// mask quantisation errors; flat areas and smooth gradients score near 0, and there every
// error shows. Integer arithmetic: the same picture gives the same map everywhere.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/true_colour_view.h"

namespace tavrel {

// One level per pixel, top row first, 0 (smooth) to kMaxTexture (busy).
inline constexpr int32_t kMaxTexture = 255;
std::vector<uint8_t> TextureMap(const TrueColourView& picture);

}  // namespace tavrel
