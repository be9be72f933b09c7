// Turns true-colour pixels into an indexed frame, at one of three qualities:
//  - plain: the octree palette, each pixel mapped to its leaf, exactly as a 32-bit bitmap
//    is converted (the default frames);
//  - dither: the octree palette with error diffusion where it helps (smooth areas);
//  - high: a palette chosen for the eye with a diffusion where it helps (see
//    imaging/high_quality_quantiser.h).
// Dithered frames list only the palette colours their pixels use.
#pragma once

#include <vector>

#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/indexed_frame.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

// False, frame untouched, for an empty view. Throws std::bad_alloc when memory runs out.
bool TrueColourToIndexedFrame(const TrueColourView& picture, FrameQuality quality,
                              IndexedFrame& frame);

// The octree palette of the picture (at most maxColours, 2 to 256), in the octree's order.
std::vector<Rgb> OctreePalette(const TrueColourView& picture, int maxColours);

}  // namespace tavrel
