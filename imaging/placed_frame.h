// An indexed frame placed on the animation's logical screen. Frames after the first may
// cover only the part of the screen that changes and leave some pixels as they are: those
// hold the transparent index, which has a palette entry of its own that no pixel shows.
#pragma once

#include <cstdint>

#include "imaging/indexed_frame.h"

namespace tavrel {

inline constexpr int32_t kNoTransparentIndex = -1;

struct PlacedFrame {
    IndexedFrame frame;  // the covered rectangle's indices and palette
    int32_t left = 0;    // where the rectangle's top left pixel goes on the screen
    int32_t top = 0;
    int32_t transparent = kNoTransparentIndex;  // the index that keeps the pixel below
    uint16_t delay = 0;                         // hundredths of a second it is shown
};

}  // namespace tavrel
