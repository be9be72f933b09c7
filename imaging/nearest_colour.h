// Exact nearest palette colour (squared RGB distance, the lowest index on a tie), fast for
// the long runs of similar queries that dithering and k-means make. Every query starts from
// a guess (the last answer given for the same coarse colour cell, or the caller's) and
// walks the palette colours by distance from the guess g, stopping once they are too far
// to beat the best b found so far: a colour c is no nearer to x than b when
// |c - g| > |x - g| + |x - b| (triangle inequality).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/pixel_colours.h"

namespace tavrel {

class NearestColour {
public:
    // palette must hold 1 to 256 colours.
    explicit NearestColour(std::span<const Rgb> palette);

    uint8_t Find(Rgb colour);
    // As Find, also trying hint (a previous answer, a neighbour's) as a start.
    uint8_t Find(Rgb colour, uint8_t hint);
    // As Find, starting from guess alone.
    uint8_t FindFrom(Rgb colour, uint8_t guess) const;

    const std::vector<Rgb>& Palette() const { return m_palette; }

private:
    static constexpr int kCellBits = 5;

    std::vector<Rgb> m_palette;
    // For each palette colour, every palette colour by ascending distance from it: the
    // squared distance in the high bits, the index in the low 8.
    std::vector<uint32_t> m_neighbours;
    uint8_t& LastAnswer(Rgb colour);
    std::vector<uint8_t> m_lastAnswer;  // one per coarse cell of kCellBits per channel
};

inline int32_t ColourDistance(Rgb a, Rgb b) {
    const int32_t r = int32_t{a.red} - b.red;
    const int32_t g = int32_t{a.green} - b.green;
    const int32_t bl = int32_t{a.blue} - b.blue;
    return r * r + g * g + bl * bl;
}

}  // namespace tavrel
