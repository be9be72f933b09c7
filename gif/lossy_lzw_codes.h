// Lossy LZW: fewer codes for a frame by letting a code's string run on over pixels whose
// own index differs from the string's, as long as the string's colour there stays close to
// the colour the pixel should have. The codes are ordinary LZW codes: every decoder reads
// them, and what it shows is the strings the coder chose.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gif/lzw_codes.h"

namespace tavrel {

struct LossyLzwFrame {
    const uint8_t* indices = nullptr;  // pixelCount palette indices, each below 2^bits
    const uint8_t* wanted = nullptr;   // pixelCount colours (red, green, blue) to stay near
    const uint8_t* palette = nullptr;  // 2^bits colours (red, green, blue)
    std::size_t pixelCount = 0;
    uint8_t bits = 8;
    int32_t transparent = -1;  // an index shown nowhere else and replaced by none; -1: none
};

// Greedy LZW in which a string may go on with an entry whose last index is not the pixel's
// own when that entry's colour is at most tolerance (squared RGB distance) from the pixel's
// wanted colour; among such entries the one nearest to the wanted colour plus the error
// carried along the run wins, so a long run does not drift one way. Every pixel decodes to
// its own index or to a colour within tolerance of its wanted colour; a run goes over a
// pixel of the transparent index only with that index, and never puts it on another pixel,
// so what is transparent stays so and nothing else becomes transparent. A tolerance of 0 or
// less gives BuildLzwCodes exactly. Throws std::invalid_argument when bits is outside 2..8.
LzwCodeList BuildLossyLzwCodes(const LossyLzwFrame& frame, int32_t tolerance);

}  // namespace tavrel
