// Exact nearest palette colour (squared RGB distance, each channel's square times its
// weight; the lowest index on a tie), fast for
// the millions of similar queries that dithering and k-means make.
//  - Find: the colour cube is cut into cells of 4 x 4 x 4 levels; the first query in a cell
//    lists the few palette colours that can be nearest to any point of it, and every query
//    compares only those.
//  - FindFrom: starts from a guess g (a previous answer) and walks the palette colours by
//    distance from g, up to 2 |x - g|: no colour farther from g can be nearer to x
//    (triangle inequality). A nearer colour found becomes the new g.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/pixel_colours.h"

namespace tavrel {

// How much a difference in each channel counts: all 1 for plain RGB distance. The weights
// add up to at most 256, so that every distance fits 24 bits.
struct ChannelWeights {
    int32_t red = 1, green = 1, blue = 1;
};

inline int32_t ColourDistance(Rgb a, Rgb b, ChannelWeights w = {}) {
    const int32_t r = int32_t{a.red} - b.red;
    const int32_t g = int32_t{a.green} - b.green;
    const int32_t bl = int32_t{a.blue} - b.blue;
    return w.red * r * r + w.green * g * g + w.blue * bl * bl;
}

class NearestColour {
public:
    // palette must hold 1 to 256 colours.
    explicit NearestColour(std::span<const Rgb> palette, ChannelWeights weights = {});

    // hint: a colour likely near x (the answer for a neighbouring pixel, say).
    uint8_t Find(Rgb colour, uint8_t hint = 0);
    uint8_t FindFrom(Rgb colour, uint8_t guess) const;

    const std::vector<Rgb>& Palette() const { return m_palette; }
    int32_t Distance(Rgb a, Rgb b) const { return ColourDistance(a, b, m_weights); }

private:
    static constexpr int kCellBits = 5;
    static constexpr std::size_t kSortedNeighbours = 32;
    struct Cell {
        uint32_t first = 0;  // into m_candidates
        uint32_t count = 0;  // 0 until the cell's first query
    };

    const Cell& CellOf(Rgb colour, uint8_t hint);

    std::vector<Rgb> m_palette;
    ChannelWeights m_weights;
    // For each palette colour, every palette colour, the nearest m_sorted by ascending
    // distance from it, then the rest: the squared distance in the high bits, the index in
    // the low 8.
    std::vector<uint32_t> m_neighbours;
    std::size_t m_sorted;
    // Per palette colour, the squared distance to its nearest other colour.
    std::vector<int32_t> m_gap;
    std::vector<Cell> m_cells;  // allocated by the first Find
    std::vector<uint8_t> m_candidates;
};

}  // namespace tavrel
