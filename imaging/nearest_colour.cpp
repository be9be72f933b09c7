#include "imaging/nearest_colour.h"

#include <algorithm>
#include <cmath>

namespace tavrel {

NearestColour::NearestColour(std::span<const Rgb> palette)
    : m_palette(palette.begin(), palette.end()),
      m_lastAnswer(std::size_t{1} << (3 * kCellBits), 0) {
    const std::size_t count = m_palette.size();
    m_neighbours.resize(count * count);
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t* list = &m_neighbours[i * count];
        for (std::size_t j = 0; j < count; ++j) {
            list[j] = static_cast<uint32_t>(ColourDistance(m_palette[i], m_palette[j])) << 8 |
                      static_cast<uint32_t>(j);
        }
        std::sort(list, list + count);
    }
}

uint8_t NearestColour::FindFrom(Rgb colour, uint8_t guess) const {
    const std::size_t count = m_palette.size();
    const int32_t guessDistance = ColourDistance(colour, m_palette[guess]);
    const double guessReach = std::sqrt(static_cast<double>(guessDistance));
    uint8_t best = guess;
    int32_t bestDistance = guessDistance;
    // Squared limit on |c - g|; the small margin keeps ties and rounding on the safe side.
    const auto limitFor = [&](int32_t distance) {
        const double reach = guessReach + std::sqrt(static_cast<double>(distance)) + 1e-3;
        return reach * reach;
    };
    double limit = limitFor(bestDistance);
    for (const uint32_t* n = &m_neighbours[guess * count], *end = n + count; n != end; ++n) {
        if (static_cast<double>(*n >> 8) > limit) {
            break;
        }
        const auto index = static_cast<uint8_t>(*n & 0xFF);
        const int32_t d = ColourDistance(colour, m_palette[index]);
        if (d < bestDistance || (d == bestDistance && index < best)) {
            if (d < bestDistance) {
                limit = limitFor(d);
            }
            best = index;
            bestDistance = d;
        }
    }
    return best;
}

uint8_t& NearestColour::LastAnswer(Rgb colour) {
    constexpr int kDrop = 8 - kCellBits;
    return m_lastAnswer[(std::size_t{colour.red} >> kDrop) << (2 * kCellBits) |
                        (std::size_t{colour.green} >> kDrop) << kCellBits |
                        (std::size_t{colour.blue} >> kDrop)];
}

uint8_t NearestColour::Find(Rgb colour) {
    uint8_t& last = LastAnswer(colour);
    last = FindFrom(colour, last);
    return last;
}

uint8_t NearestColour::Find(Rgb colour, uint8_t hint) {
    uint8_t& last = LastAnswer(colour);
    const bool hintNearer = ColourDistance(colour, m_palette[hint]) <
                            ColourDistance(colour, m_palette[last]);
    last = FindFrom(colour, hintNearer ? hint : last);
    return last;
}

}  // namespace tavrel
