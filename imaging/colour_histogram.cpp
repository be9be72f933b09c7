#include "imaging/colour_histogram.h"

#include <algorithm>
#include <array>

namespace tavrel {
namespace {

// Least significant byte first: three stable counting passes over 24-bit keys.
void RadixSort24(std::vector<uint32_t>& keys) {
    std::vector<uint32_t> scratch(keys.size());
    for (int shift = 0; shift < 24; shift += 8) {
        std::array<std::size_t, 257> start{};
        for (const uint32_t key : keys) {
            ++start[((key >> shift) & 0xFF) + 1];
        }
        for (std::size_t i = 1; i < start.size(); ++i) {
            start[i] += start[i - 1];
        }
        for (const uint32_t key : keys) {
            scratch[start[(key >> shift) & 0xFF]++] = key;
        }
        keys.swap(scratch);
    }
}

// Entries whose keys agree above the lowest dropBits bits of each channel become one.
// Input and output are ordered by key.
std::vector<WeightedColour> Merge(const std::vector<WeightedColour>& entries, int dropBits) {
    const uint32_t keep = (0xFFU << dropBits) & 0xFFU;
    const auto key = [keep](Rgb c) {
        return uint32_t{c.red & keep} << 16 | uint32_t{c.green & keep} << 8 | (c.blue & keep);
    };
    std::vector<WeightedColour> merged;
    std::vector<uint32_t> order;
    for (const WeightedColour& entry : entries) {
        order.push_back(key(entry.colour));
    }
    // Entries sorted by full colour are not sorted by the coarse key (green and blue
    // interleave), so gather by coarse key through a sort of (key, position).
    std::vector<uint64_t> byKey(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        byKey[i] = uint64_t{order[i]} << 32 | i;
    }
    std::sort(byKey.begin(), byKey.end());
    for (std::size_t i = 0; i < byKey.size();) {
        WeightedColour bin;
        std::size_t j = i;
        for (; j < byKey.size() && byKey[j] >> 32 == byKey[i] >> 32; ++j) {
            const WeightedColour& e = entries[byKey[j] & 0xFFFFFFFF];
            bin.count += e.count;
            bin.redSum += e.redSum;
            bin.greenSum += e.greenSum;
            bin.blueSum += e.blueSum;
        }
        const uint32_t half = bin.count / 2;
        bin.colour = {static_cast<uint8_t>((bin.redSum + half) / bin.count),
                      static_cast<uint8_t>((bin.greenSum + half) / bin.count),
                      static_cast<uint8_t>((bin.blueSum + half) / bin.count)};
        merged.push_back(bin);
        i = j;
    }
    return merged;
}

}  // namespace

std::vector<WeightedColour> ColourHistogram(const TrueColourView& picture) {
    std::vector<WeightedColour> histogram;
    if (picture.IsEmpty()) {
        return histogram;
    }
    std::vector<uint32_t> keys;
    keys.reserve(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* p = picture.Row(y);
        for (int32_t x = 0; x < picture.width; ++x, p += 4) {
            keys.push_back(uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
        }
    }
    RadixSort24(keys);
    for (std::size_t i = 0; i < keys.size();) {
        std::size_t j = i;
        while (j < keys.size() && keys[j] == keys[i]) {
            ++j;
        }
        const auto count = static_cast<uint32_t>(j - i);
        const Rgb colour{static_cast<uint8_t>(keys[i] >> 16), static_cast<uint8_t>(keys[i] >> 8),
                         static_cast<uint8_t>(keys[i])};
        histogram.push_back(
            {colour, count, colour.red * count, colour.green * count, colour.blue * count});
        i = j;
    }
    return histogram.size() > kMaxExactColours ? Merge(histogram, 2) : histogram;
}

}  // namespace tavrel
