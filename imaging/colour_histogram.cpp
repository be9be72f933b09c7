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

// Gathers colours that agree in their top 6 bits per channel into one entry each.
std::vector<WeightedColour> Bin(const std::vector<WeightedColour>& colours) {
    constexpr int kBinBits = 6;
    constexpr int kDrop = 8 - kBinBits;
    std::vector<WeightedColour> bins(std::size_t{1} << (3 * kBinBits));
    for (const WeightedColour& c : colours) {
        WeightedColour& bin = bins[std::size_t{c.colour.red} >> kDrop << (2 * kBinBits) |
                                   std::size_t{c.colour.green} >> kDrop << kBinBits |
                                   std::size_t{c.colour.blue} >> kDrop];
        bin.count += c.count;
        bin.redSum += c.redSum;
        bin.greenSum += c.greenSum;
        bin.blueSum += c.blueSum;
    }
    std::vector<WeightedColour> occupied;
    for (WeightedColour& bin : bins) {
        if (bin.count != 0) {
            const uint32_t half = bin.count / 2;
            bin.colour = {static_cast<uint8_t>((bin.redSum + half) / bin.count),
                          static_cast<uint8_t>((bin.greenSum + half) / bin.count),
                          static_cast<uint8_t>((bin.blueSum + half) / bin.count)};
            occupied.push_back(bin);
        }
    }
    return occupied;
}

}  // namespace

std::vector<WeightedColour> ColourHistogram(const TrueColourView& picture) {
    std::vector<WeightedColour> histogram;
    if (picture.IsEmpty()) {
        return histogram;
    }
    std::vector<uint32_t> keys;
    keys.reserve(static_cast<std::size_t>(picture.width) *
                 static_cast<std::size_t>(picture.height));
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
    return histogram.size() > kMaxExactColours ? Bin(histogram) : histogram;
}

}  // namespace tavrel
