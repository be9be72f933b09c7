#include "imaging/kmeans_palette.h"

#include <cstdint>

#include "imaging/nearest_colour.h"

namespace tavrel {

std::vector<Rgb> RefinePalette(std::span<const WeightedColour> histogram, std::vector<Rgb> start,
                               int passes) {
    std::vector<Rgb> palette = std::move(start);
    std::vector<uint8_t> owner(histogram.size(), 0);
    struct Sums {
        uint64_t red = 0, green = 0, blue = 0, count = 0;
    };
    for (int pass = 0; pass < passes; ++pass) {
        NearestColour nearest(palette);
        std::vector<Sums> sums(palette.size());
        for (std::size_t i = 0; i < histogram.size(); ++i) {
            const WeightedColour& point = histogram[i];
            // The previous owner (in the first pass the owner of the previous colour, a
            // similar one) is usually still the nearest: a cheap exact start.
            owner[i] = nearest.FindFrom(point.colour, pass == 0 && i > 0 ? owner[i - 1] : owner[i]);
            Sums& s = sums[owner[i]];
            s.red += point.redSum;
            s.green += point.greenSum;
            s.blue += point.blueSum;
            s.count += point.count;
        }
        for (std::size_t k = 0; k < palette.size(); ++k) {
            const Sums& s = sums[k];
            if (s.count != 0) {
                const uint64_t half = s.count / 2;
                palette[k] = {static_cast<uint8_t>((s.red + half) / s.count),
                              static_cast<uint8_t>((s.green + half) / s.count),
                              static_cast<uint8_t>((s.blue + half) / s.count)};
            }
        }
    }
    return palette;
}

}  // namespace tavrel
