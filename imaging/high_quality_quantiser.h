// The high quality frames: a palette chosen where the eye looks, and a dither that works
// only where it helps. Quantise once, then remap as often as needed (with fewer colours or a
// weaker dither when a frame has to shrink, say).
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/indexed_frame.h"
#include "imaging/pixel_colours.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

struct HighQualityOptions {
    int maxColours = 256;         // the most palette colours, 2 to 256 (when quantising)
    float ditherStrength = 1.0f;  // 0 (none) to 1 (full in smooth areas)
    // An ordered dither that depends on each pixel's own colour and place only: against the
    // same palette, pixels that stay the same from one frame to the next keep their index
    // (for fades), at the price of a regular grain.
    bool stableDither = false;
};

// A picture's palette and how busy each pixel's neighbourhood is.
struct QuantisedPicture {
    std::vector<Rgb> palette;
    std::vector<uint8_t> texture;   // see imaging/texture_map.h
    bool holdsEveryColour = false;  // the palette is every colour of the picture
};

QuantisedPicture QuantiseHighQuality(const TrueColourView& picture, int maxColours);

// The picture mapped to the quantised palette; the frame lists only the colours used.
// picture must be the one quantised.
IndexedFrame RemapHighQuality(const TrueColourView& picture, const QuantisedPicture& quantised,
                              const HighQualityOptions& options);

// Quantises and remaps in one go: the frames of --quality high with the default options.
IndexedFrame HighQualityFrame(const TrueColourView& picture, const HighQualityOptions& options);

// The dither of plain error diffusion against a given palette (the octree's): full in
// smooth areas, little in texture, where the grain would show.
IndexedFrame RemapWithSelectiveDither(const TrueColourView& picture,
                                      const std::vector<Rgb>& palette);

}  // namespace tavrel
