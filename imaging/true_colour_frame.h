// Turns true-colour pixels into an indexed frame, at one of three qualities:
//  - plain: the octree palette, each pixel mapped to its leaf, exactly as a 32-bit bitmap
//    is converted (the default frames);
//  - dither: the octree palette with error diffusion where it helps (smooth areas);
//  - high: a palette chosen for the eye with a diffusion where it helps (see
//    imaging/high_quality_quantiser.h).
// Dithered frames list only the palette colours their pixels use.
#pragma once

#include <cstdint>
#include <vector>

#include "bitmap/dib_section.h"
#include "imaging/indexed_frame.h"
#include "imaging/pixel_colours.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

enum class FrameQuality { kPlain, kDither, kHigh };

// False, frame untouched, for an empty view. Throws std::bad_alloc when memory runs out.
bool TrueColourToIndexedFrame(const TrueColourView& picture, FrameQuality quality,
                              IndexedFrame& frame);

// A bitmap of any supported depth at the given quality: kPlain is BitmapToIndexedFrame
// exactly; the others read the bitmap's colours as true colour first. False, frame
// untouched, when BitmapToIndexedFrame would refuse the bitmap.
bool BitmapToIndexedFrame(const DibSection& bitmap, FrameQuality quality, IndexedFrame& frame);

// The octree palette of the picture (at most maxColours, 2 to 256), in the octree's order.
std::vector<Rgb> OctreePalette(const TrueColourView& picture, int maxColours);

// Drops the palette colours no index uses, renumbering the indices (order kept), and fills
// in the frame's palette and bits per pixel.
void StoreCompactPalette(const std::vector<Rgb>& palette, IndexedFrame& frame);

}  // namespace tavrel
