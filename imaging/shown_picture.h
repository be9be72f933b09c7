// What a viewer shows while it plays an animation: frames are drawn over what is there
// (disposal "do not dispose"), transparent pixels leave the pixel below.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/pixel_colours.h"
#include "imaging/placed_frame.h"

namespace tavrel {

struct ShownPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Rgb> pixels;  // top row first

    Rgb& At(int32_t x, int32_t y) {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// Draws the frame over shown: its pixels that lie on the screen and are not transparent.
void DrawFrame(const PlacedFrame& placed, ShownPicture& shown);

// Shrinks a frame of the screen's full size to the smallest rectangle holding every pixel
// that is not transparent (one transparent pixel when none is left). A frame without a
// transparent index is left as it is.
void CropToChangedPixels(PlacedFrame& placed);

}  // namespace tavrel
