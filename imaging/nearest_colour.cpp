#include "imaging/nearest_colour.h"

#include <algorithm>
#include <cstdint>

namespace tavrel {
namespace {

// Squared distance from a palette colour to the nearest or the farthest point of the box
// [low, low + size - 1] on each channel.
int32_t BoxDistance(Rgb c, Rgb low, int32_t size, bool farthest, ChannelWeights w) {
    const auto axis = [&](int32_t v, int32_t lo) {
        const int32_t hi = lo + size - 1;
        const int32_t d =
            farthest ? std::max(v - lo, hi - v) : std::max(std::max(lo - v, v - hi), 0);
        return d * d;
    };
    return w.red * axis(c.red, low.red) + w.green * axis(c.green, low.green) +
           w.blue * axis(c.blue, low.blue);
}

}  // namespace

NearestColour::NearestColour(std::span<const Rgb> palette, ChannelWeights weights)
    : m_palette(palette.begin(), palette.end()),
      m_weights(weights),
      m_sorted(std::min(m_palette.size(), kSortedNeighbours)) {
    const std::size_t count = m_palette.size();
    m_neighbours.resize(count * count);
    m_gap.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t* list = &m_neighbours[i * count];
        for (std::size_t j = 0; j < count; ++j) {
            list[j] = static_cast<uint32_t>(Distance(m_palette[i], m_palette[j])) << 8 |
                      static_cast<uint32_t>(j);
        }
        // Walks seldom go past a colour's nearest few: only those are put in order, the
        // rest follow in any order and are scanned whole when a walk reaches them.
        if (m_sorted < count) {
            std::nth_element(list, list + m_sorted, list + count);
        }
        std::sort(list, list + m_sorted);
        // Entry 0 is the colour itself, or a twin of lower index at distance 0.
        m_gap[i] = count > 1 ? static_cast<int32_t>(list[1] >> 8) : INT32_MAX;
    }
}

uint8_t NearestColour::FindFrom(Rgb colour, uint8_t guess) const {
    const std::size_t count = m_palette.size();
    uint8_t best = guess;
    int32_t bestDistance = Distance(colour, m_palette[best]);
    for (bool restart = true; restart;) {
        restart = false;
        const int64_t reach = int64_t{4} * bestDistance;
        const uint32_t* list = &m_neighbours[best * count];
        const uint32_t* const sortedEnd = list + m_sorted;
        const uint32_t* n = list;
        // Returns true when a nearer colour was found and the walk starts again from it.
        const auto look = [&](uint32_t entry) {
            const auto index = static_cast<uint8_t>(entry & 0xFF);
            const int32_t d = Distance(colour, m_palette[index]);
            if (d < bestDistance) {
                best = index;
                bestDistance = d;
                return true;
            }
            if (d == bestDistance && index < best) {
                best = index;  // same reach: the list being walked still covers every tie
            }
            return false;
        };
        for (; n != sortedEnd && (*n >> 8) <= reach; ++n) {
            if (look(*n)) {
                restart = true;
                break;
            }
        }
        if (!restart && n == sortedEnd) {
            for (const uint32_t* end = list + count; n != end; ++n) {
                if ((*n >> 8) <= reach && look(*n)) {
                    restart = true;
                    break;
                }
            }
        }
    }
    return best;
}

const NearestColour::Cell& NearestColour::CellOf(Rgb colour, uint8_t hint) {
    constexpr int kDrop = 8 - kCellBits;
    constexpr int32_t kSize = 1 << kDrop;
    if (m_cells.empty()) {
        m_cells.resize(std::size_t{1} << (3 * kCellBits));
    }
    Cell& cell = m_cells[std::size_t{colour.red} >> kDrop << (2 * kCellBits) |
                         std::size_t{colour.green} >> kDrop << kCellBits |
                         std::size_t{colour.blue} >> kDrop];
    if (cell.count != 0) {
        return cell;
    }
    // g, nearest to a point of the cell, is at most m away from every point of it; a
    // colour nearest to some point x is then within m of x and so within 2m of g. Of those,
    // only the ones nearer than g to some point of the cell are kept: for colour j,
    // |x - j|^2 - |x - g|^2 is linear in x, so its least value on the cell is at a corner.
    const Rgb low{static_cast<uint8_t>(colour.red & ~(kSize - 1)),
                  static_cast<uint8_t>(colour.green & ~(kSize - 1)),
                  static_cast<uint8_t>(colour.blue & ~(kSize - 1))};
    const Rgb middle{static_cast<uint8_t>(low.red + kSize / 2),
                     static_cast<uint8_t>(low.green + kSize / 2),
                     static_cast<uint8_t>(low.blue + kSize / 2)};
    const uint8_t g = FindFrom(middle, hint);
    const Rgb gc = m_palette[g];
    const int64_t reach = int64_t{4} * BoxDistance(gc, low, kSize, true, m_weights);
    const auto lowest = [&](Rgb j) {
        const auto axis = [&](int32_t jv, int32_t gv, int32_t lo) {
            const int32_t x = jv > gv ? lo + kSize - 1 : lo;
            return (x - jv) * (x - jv) - (x - gv) * (x - gv);
        };
        return m_weights.red * axis(j.red, gc.red, low.red) +
               m_weights.green * axis(j.green, gc.green, low.green) +
               m_weights.blue * axis(j.blue, gc.blue, low.blue);
    };
    const std::size_t count = m_palette.size();
    cell.first = static_cast<uint32_t>(m_candidates.size());
    const uint32_t* list = &m_neighbours[g * count];
    const uint32_t* n = list;
    const auto take = [&](uint32_t entry) {
        const auto index = static_cast<uint8_t>(entry & 0xFF);
        if (lowest(m_palette[index]) <= 0) {
            m_candidates.push_back(index);
        }
    };
    for (const uint32_t* sortedEnd = list + m_sorted; n != sortedEnd && (*n >> 8) <= reach; ++n) {
        take(*n);
    }
    if (n == list + m_sorted) {
        for (const uint32_t* end = list + count; n != end; ++n) {
            if ((*n >> 8) <= reach) {
                take(*n);
            }
        }
    }
    cell.count = static_cast<uint32_t>(m_candidates.size()) - cell.first;
    return cell;
}

uint8_t NearestColour::Find(Rgb colour, uint8_t hint) {
    const Cell& cell = CellOf(colour, hint);
    const uint8_t* candidate = &m_candidates[cell.first];
    uint8_t best = *candidate;
    int32_t bestDistance = Distance(colour, m_palette[best]);
    // The first candidate is the colour nearest to the cell's middle. Within half the gap
    // to its own nearest neighbour it is strictly the nearest: no other needs a look.
    if (int64_t{4} * bestDistance < m_gap[best]) {
        return best;
    }
    for (const uint8_t* end = candidate + cell.count; ++candidate != end;) {
        const int32_t d = Distance(colour, m_palette[*candidate]);
        if (d < bestDistance || (d == bestDistance && *candidate < best)) {
            best = *candidate;
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace tavrel
