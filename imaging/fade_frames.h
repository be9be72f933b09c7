// The frames of one crossfade, each made as a change to what the viewer already shows and
// chosen with the GIF encoder's LZW dictionary in view, so that the file stays small:
//  - each blended frame gets its own palette (texture-weighted boxes of every fourth row,
//    refined by k-means, under the eye's channel weights), one entry short of 256 to leave
//    an index for transparency;
//  - no dither: on blends shown for a twentieth of a second, dither grain costs bytes and
//    shows as noise more than the banding it hides, and without it a pixel whose blend
//    stays the same keeps its index, so nothing crawls;
//  - a pixel may take any colour, or keep what is on screen, that is nearly as near to the
//    blend as the nearest palette colour (less so in smooth areas, where every error shows,
//    more in texture): of those, the choice that extends the longest string the encoder
//    already knows, found by a search of its dictionary, costs the fewest codes;
//  - only the pixels that change are stored, the rest are transparent, inside the smallest
//    rectangle holding the changes.
// Integer arithmetic and a fixed order: the same pictures give the same frames everywhere.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/pixel_colours.h"
#include "imaging/placed_frame.h"
#include "imaging/shown_picture.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

// What a blended frame needs whatever the screen shows: per pixel (top row first) the blend,
// its nearest palette colour with that colour's weighted squared distance, and the farthest a
// colour chosen there may be.
struct FadeFramePlan {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Rgb> palette;  // at most 255 colours
    std::vector<Rgb> wanted;
    std::vector<uint8_t> nearestIndex;
    std::vector<int32_t> nearest;
    std::vector<int32_t> limit;
};

class CrossfadeFrames {
public:
    // from and to: pictures of the same size, which must outlive this; steps: the number of
    // blended frames (at least 1).
    CrossfadeFrames(const TrueColourView& from, const TrueColourView& to, int32_t steps);

    // The plan of blended frame step (1 to steps): it does not depend on the screen, so the
    // next frame's may be made on another thread while this one is chosen. Throws
    // std::bad_alloc when memory runs out.
    FadeFramePlan Plan(int32_t step) const;

    // The planned frame as a change to shown, which must show the frame before it (the from
    // picture's own frame for step 1) and is updated to show this one. The frame's delay is
    // left 0. Throws std::bad_alloc when memory runs out.
    static PlacedFrame Frame(const FadeFramePlan& plan, ShownPicture& shown);

private:
    TrueColourView m_from;
    TrueColourView m_to;
    int32_t m_steps;
};

}  // namespace tavrel
