#include "imaging/colour_histogram.h"

#include <algorithm>

namespace tavrel {
namespace {

// Low half first: two stable counting passes of 12 bits over 24-bit keys.
void RadixSort24(std::vector<uint32_t>& keys) {
    std::vector<uint32_t> scratch(keys.size());
    std::vector<uint32_t> start(4097);
    for (int shift = 0; shift < 24; shift += 12) {
        std::fill(start.begin(), start.end(), 0);
        for (const uint32_t key : keys) {
            ++start[((key >> shift) & 0xFFF) + 1];
        }
        for (std::size_t i = 1; i < start.size(); ++i) {
            start[i] += start[i - 1];
        }
        for (const uint32_t key : keys) {
            scratch[start[(key >> shift) & 0xFFF]++] = key;
        }
        keys.swap(scratch);
    }
}

// Rounded mean of an entry's pixels.
void SetMeanColour(WeightedColour& entry) {
    const uint32_t half = entry.count / 2;
    entry.colour = {static_cast<uint8_t>((entry.redSum + half) / entry.count),
                    static_cast<uint8_t>((entry.greenSum + half) / entry.count),
                    static_cast<uint8_t>((entry.blueSum + half) / entry.count)};
}

}  // namespace

std::vector<WeightedColour> ColourHistogram(const TrueColourView& picture) {
    std::vector<WeightedColour> histogram;
    if (picture.IsEmpty()) {
        return histogram;
    }
    std::vector<uint32_t> keys(static_cast<std::size_t>(picture.width) *
                               static_cast<std::size_t>(picture.height));
    uint32_t* key = keys.data();
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* p = picture.Row(y);
        for (int32_t x = 0; x < picture.width; ++x, p += 4) {
            *key++ = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
        }
    }
    RadixSort24(keys);
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        distinct += i == 0 || keys[i] != keys[i - 1] ? 1 : 0;
    }

    // Too many colours: bins of the top 6 bits per channel, in order of their first colour.
    constexpr int kBinBits = 6;
    std::vector<int32_t> binEntry;
    if (distinct > kMaxExactColours) {
        binEntry.assign(std::size_t{1} << (3 * kBinBits), -1);
    } else {
        histogram.reserve(distinct);
    }
    for (std::size_t i = 0; i < keys.size();) {
        std::size_t j = i;
        while (j < keys.size() && keys[j] == keys[i]) {
            ++j;
        }
        const auto count = static_cast<uint32_t>(j - i);
        const Rgb colour{static_cast<uint8_t>(keys[i] >> 16), static_cast<uint8_t>(keys[i] >> 8),
                         static_cast<uint8_t>(keys[i])};
        const WeightedColour entry{colour, count, colour.red * count, colour.green * count,
                                   colour.blue * count};
        i = j;
        if (binEntry.empty()) {
            histogram.push_back(entry);
            continue;
        }
        constexpr int kDrop = 8 - kBinBits;
        int32_t& slot = binEntry[std::size_t{colour.red} >> kDrop << (2 * kBinBits) |
                                 std::size_t{colour.green} >> kDrop << kBinBits |
                                 std::size_t{colour.blue} >> kDrop];
        if (slot < 0) {
            slot = static_cast<int32_t>(histogram.size());
            histogram.push_back({});
        }
        WeightedColour& bin = histogram[static_cast<std::size_t>(slot)];
        bin.count += entry.count;
        bin.redSum += entry.redSum;
        bin.greenSum += entry.greenSum;
        bin.blueSum += entry.blueSum;
    }
    if (!binEntry.empty()) {
        for (WeightedColour& bin : histogram) {
            SetMeanColour(bin);
        }
    }
    return histogram;
}

}  // namespace tavrel
