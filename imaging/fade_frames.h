// The frames of one crossfade, each made as a change to what the viewer already shows, so
// that nothing crawls where the picture barely changes and the file stays small:
//  - each blended frame gets its own palette (the octree's colours of every fourth row,
//    refined by k-means), one entry short of 256 to leave an index for transparency;
//  - a light error diffusion in which a pixel keeps what is on screen while that is about as
//    near to the wanted colour (blend plus carried error) as the best palette colour, and
//    repeats the colour stored just before it while that is nearly as near; the error of
//    what is shown is carried on like any other, so the frame as shown, old and new pixels
//    together, is a faithful dither of the blend;
//  - only the pixels that change are stored, the rest are transparent, inside the smallest
//    rectangle holding the changes.
// Integer arithmetic and a fixed order: the same pictures give the same frames everywhere.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/placed_frame.h"
#include "imaging/shown_picture.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

class CrossfadeFrames {
public:
    // from and to: pictures of the same size, which must outlive this; steps: the number of
    // blended frames (at least 1).
    CrossfadeFrames(const TrueColourView& from, const TrueColourView& to, int32_t steps);

    // Blended frame step (1 to steps) as a change to shown, which must show the frame before
    // it (the from picture's own frame for step 1) and is updated to show this one. The
    // frame's delay is left 0. Throws std::bad_alloc when memory runs out.
    PlacedFrame Frame(int32_t step, ShownPicture& shown);

private:
    TrueColourView m_from;
    TrueColourView m_to;
    int32_t m_steps;
    std::vector<uint8_t> m_blend;  // the wanted frame, reused
};

}  // namespace tavrel
