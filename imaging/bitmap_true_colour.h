// The colours of a bitmap of any supported depth as true-colour rows, for the steps that
// work on colours rather than on the bitmap's own encoding (dithered and high quality frames,
// crossfades, the size limit's search).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "bitmap/dib_section.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

// Owned true-colour pixels: blue, green, red, 0 per pixel, top row first, rows packed.
struct TrueColourPicture {
    std::vector<uint8_t> pixels;
    int32_t width = 0;
    int32_t height = 0;

    TrueColourView View() const {
        return {pixels.data(), width, height, 4 * static_cast<std::ptrdiff_t>(width)};
    }
};

// nullopt when the bitmap is null, of an unsupported depth or size, or its pixels or colour
// table are too small for its header (as BitmapToIndexedFrame refuses it).
std::optional<TrueColourPicture> BitmapTrueColour(const DibSection& bitmap);

}  // namespace tavrel
