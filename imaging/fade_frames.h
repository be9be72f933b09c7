// The frames of one crossfade, each made as a change to what the viewer already shows, so
// that nothing crawls where the picture barely changes and the file stays small:
//  - one palette for the whole fade, from the colours of both pictures and their midpoint;
//  - error diffusion of each blended frame in which a pixel keeps what is on screen while
//    that is about as near to the wanted colour as the best palette colour; only the pixels
//    that change are stored, the rest are transparent, inside the smallest rectangle.
// Integer arithmetic and a fixed order: the same pictures give the same frames everywhere.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/nearest_colour.h"
#include "imaging/placed_frame.h"
#include "imaging/shown_picture.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

class CrossfadeFrames {
public:
    // from and to: pictures of the same size, which must outlive this; steps: the number of
    // blended frames (at least 1). Throws std::bad_alloc when memory runs out.
    CrossfadeFrames(const TrueColourView& from, const TrueColourView& to, int32_t steps);

    // Blended frame step (1 to steps) as a change to shown, which must show the frame before
    // it (the from picture's own frame for step 1) and is updated to show this one. The
    // frame's delay is left 0.
    PlacedFrame Frame(int32_t step, ShownPicture& shown);

    const std::vector<Rgb>& Palette() const { return m_nearest.Palette(); }

private:
    TrueColourView m_from;
    TrueColourView m_to;
    int32_t m_steps;
    NearestColour m_nearest;
    std::vector<uint8_t> m_blend;  // the wanted frame, reused
};

// The palette shared by a fade's frames: at most 255 colours, leaving one index free for
// transparency.
std::vector<Rgb> CrossfadePalette(const TrueColourView& from, const TrueColourView& to);

}  // namespace tavrel
