// Small bitmaps for the imaging tests, built pixel by pixel in picture coordinates
// (y = 0 is the top row) so that the bottom-up storage is exercised, not assumed.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/pixel_colours.h"
#include "platform/dib_section.h"

namespace tavrel::test {

// Writes a colour into pixel (x, y) of a 15, 16, 24 or 32-bit bitmap; 16-bit pixels get
// the 5-5-5 value of the colour's top five bits.
void SetColour(DibSection& bitmap, int32_t x, int32_t y, Rgb colour);

// Writes a palette index into pixel (x, y) of a 1, 4 or 8-bit bitmap.
void SetIndex(DibSection& bitmap, int32_t x, int32_t y, uint8_t index);

// A bitmap whose pixels are colours[y * width + x].
DibSection MakeBitmap(int32_t width, int32_t height, uint16_t bitsPerPixel,
                      const std::vector<Rgb>& colours);

// Sets every filler byte (past the pixels of each row) to value.
void FillFiller(DibSection& bitmap, uint8_t value);

// A deterministic picture of smooth gradients with noise and flat runs: many colours.
std::vector<Rgb> PhotoLikeColours(int32_t width, int32_t height, uint32_t seed);

}  // namespace tavrel::test
