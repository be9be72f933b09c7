#include "imaging/weighted_palette.h"

#include <algorithm>
#include <array>

#include "imaging/nearest_colour.h"

namespace tavrel {
namespace {

constexpr std::size_t kMaxExact = 32768;

// Two stable counting passes of 16 bits.
void RadixSort32(std::vector<uint32_t>& keys) {
    std::vector<uint32_t> scratch(keys.size());
    std::vector<uint32_t> start(65537);
    for (int shift = 0; shift < 32; shift += 16) {
        std::fill(start.begin(), start.end(), 0);
        for (const uint32_t key : keys) {
            ++start[((key >> shift) & 0xFFFF) + 1];
        }
        for (std::size_t i = 1; i < start.size(); ++i) {
            start[i] += start[i - 1];
        }
        for (const uint32_t key : keys) {
            scratch[start[(key >> shift) & 0xFFFF]++] = key;
        }
        keys.swap(scratch);
    }
}

// The rounded mean; 0 for no weight at all.
uint8_t Mean(uint64_t sum, uint64_t weight) {
    return weight == 0 ? 0 : static_cast<uint8_t>((sum + weight / 2) / weight);
}

void Add(WeightedBin& bin, Rgb colour, uint64_t weight) {
    bin.weight += weight;
    bin.redSum += colour.red * weight;
    bin.greenSum += colour.green * weight;
    bin.blueSum += colour.blue * weight;
}

int32_t Channel(Rgb c, int channel) {
    return channel == 0 ? c.red : channel == 1 ? c.green : c.blue;
}

// A run of colours, with the channel and place of its best cut and what that cut saves.
struct Box {
    std::size_t begin = 0, end = 0;
    int channel = 0;
    std::size_t cut = 0;  // the first colour of the upper half; begin when it cannot be cut
    double gain = 0;      // weighted squared error removed by the cut
};

// Sorts the box's colours along its widest (weighted) channel and finds the cut that leaves
// the least squared error along it.
void PlanCut(std::span<WeightedBin> colours, Box& box, ChannelWeights metric) {
    box.cut = box.begin;
    box.gain = 0;
    if (box.end - box.begin < 2) {
        return;
    }
    const std::array<int32_t, 3> weight{metric.red, metric.green, metric.blue};
    std::array<double, 3> spread{};
    for (int c = 0; c < 3; ++c) {
        double sum = 0, squares = 0, total = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            const double v = Channel(colours[i].colour, c);
            const auto w = static_cast<double>(colours[i].weight);
            sum += w * v;
            squares += w * v * v;
            total += w;
        }
        spread[c] = weight[c] * (squares - sum * sum / total);
    }
    box.channel = static_cast<int>(std::max_element(spread.begin(), spread.end()) - spread.begin());
    const int channel = box.channel;
    std::stable_sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
                     colours.begin() + static_cast<std::ptrdiff_t>(box.end),
                     [channel](const WeightedBin& a, const WeightedBin& b) {
                         return Channel(a.colour, channel) < Channel(b.colour, channel);
                     });
    double totalWeight = 0, totalSum = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        totalWeight += static_cast<double>(colours[i].weight);
        totalSum += static_cast<double>(colours[i].weight) * Channel(colours[i].colour, channel);
    }
    // Squared error = squares - sum^2 / weight; the squares part is the same for any cut.
    const double whole = totalSum * totalSum / totalWeight;
    double lowWeight = 0, lowSum = 0;
    for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
        lowWeight += static_cast<double>(colours[i].weight);
        lowSum += static_cast<double>(colours[i].weight) * Channel(colours[i].colour, channel);
        if (Channel(colours[i].colour, channel) == Channel(colours[i + 1].colour, channel)) {
            continue;
        }
        const double highWeight = totalWeight - lowWeight, highSum = totalSum - lowSum;
        const double gain = weight[channel] *
                            (lowSum * lowSum / lowWeight + highSum * highSum / highWeight - whole);
        if (gain > box.gain) {
            box.gain = gain;
            box.cut = i + 1;
        }
    }
}

Rgb WeightedMean(std::span<const WeightedBin> colours) {
    WeightedBin sum;
    for (const WeightedBin& c : colours) {
        sum.weight += c.weight;
        sum.redSum += c.redSum;
        sum.greenSum += c.greenSum;
        sum.blueSum += c.blueSum;
    }
    return {Mean(sum.redSum, sum.weight), Mean(sum.greenSum, sum.weight),
            Mean(sum.blueSum, sum.weight)};
}

}  // namespace

std::vector<Rgb> CutIntoBoxes(std::span<const WeightedBin> input, int maxColours,
                              ChannelWeights metric) {
    std::vector<WeightedBin> colours(input.begin(), input.end());
    std::vector<Box> boxes;
    if (colours.empty()) {
        return {};
    }
    boxes.push_back({0, colours.size()});
    PlanCut(colours, boxes.back(), metric);
    while (boxes.size() < static_cast<std::size_t>(maxColours)) {
        // The first of equal gains: the same choice everywhere.
        const auto best = std::max_element(
            boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.gain < b.gain; });
        if (best->cut == best->begin) {
            break;
        }
        Box upper{best->cut, best->end};
        best->end = best->cut;
        PlanCut(colours, *best, metric);
        PlanCut(colours, upper, metric);
        boxes.push_back(upper);
    }
    std::vector<Rgb> palette;
    palette.reserve(boxes.size());
    for (const Box& box : boxes) {
        palette.push_back(WeightedMean(std::span(colours).subspan(box.begin, box.end - box.begin)));
    }
    return palette;
}

std::vector<WeightedBin> WeightedColours(const TrueColourView& picture,
                                         std::span<const uint8_t> weights) {
    // Colour in the top 24 bits, the pixel's weight in the low 8: sorting gathers equal
    // colours.
    std::vector<uint32_t> keys;
    keys.reserve(weights.size());
    const uint8_t* weight = weights.data();
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* p = picture.Row(y);
        for (int32_t x = 0; x < picture.width; ++x, p += 4) {
            keys.push_back(uint32_t{p[2]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[0]} << 8 |
                           *weight++);
        }
    }
    RadixSort32(keys);
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        distinct += i == 0 || keys[i] >> 8 != keys[i - 1] >> 8 ? 1 : 0;
    }
    constexpr int kBinBits = 6;
    std::vector<int32_t> binOf;
    if (distinct > kMaxExact) {
        binOf.assign(std::size_t{1} << (3 * kBinBits), -1);
    }
    std::vector<WeightedBin> bins;
    for (std::size_t i = 0; i < keys.size();) {
        const uint32_t colourKey = keys[i] >> 8;
        uint64_t sum = 0;
        for (; i < keys.size() && keys[i] >> 8 == colourKey; ++i) {
            sum += keys[i] & 0xFF;
        }
        const Rgb colour{static_cast<uint8_t>(colourKey >> 16),
                         static_cast<uint8_t>(colourKey >> 8), static_cast<uint8_t>(colourKey)};
        std::size_t slot = bins.size();
        if (!binOf.empty()) {
            constexpr int kDrop = 8 - kBinBits;
            int32_t& entry = binOf[std::size_t{colour.red} >> kDrop << (2 * kBinBits) |
                                   std::size_t{colour.green} >> kDrop << kBinBits |
                                   std::size_t{colour.blue} >> kDrop];
            if (entry < 0) {
                entry = static_cast<int32_t>(bins.size());
            }
            slot = static_cast<std::size_t>(entry);
        }
        if (slot == bins.size()) {
            bins.emplace_back();
        }
        Add(bins[slot], colour, std::max<uint64_t>(sum, 1));
    }
    for (WeightedBin& bin : bins) {
        bin.colour = {Mean(bin.redSum, bin.weight), Mean(bin.greenSum, bin.weight),
                      Mean(bin.blueSum, bin.weight)};
    }
    return bins;
}

std::vector<Rgb> RefineWeighted(std::span<const WeightedBin> colours, std::vector<Rgb> start,
                                int passes, ChannelWeights metric) {
    std::vector<Rgb> palette = std::move(start);
    std::vector<uint8_t> owner(colours.size(), 0);
    std::vector<WeightedBin> sums;
    for (int pass = 0; pass < passes; ++pass) {
        const NearestColour nearest(palette, metric);
        sums.assign(palette.size(), WeightedBin{});
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const WeightedBin& point = colours[i];
            // The previous owner (in the first pass that of the previous, similar colour) is
            // usually still the nearest: a cheap exact start.
            owner[i] = nearest.FindFrom(point.colour, pass == 0 && i > 0 ? owner[i - 1] : owner[i]);
            WeightedBin& s = sums[owner[i]];
            s.weight += point.weight;
            s.redSum += point.redSum;
            s.greenSum += point.greenSum;
            s.blueSum += point.blueSum;
        }
        for (std::size_t k = 0; k < palette.size(); ++k) {
            const WeightedBin& s = sums[k];
            if (s.weight != 0) {
                palette[k] = {Mean(s.redSum, s.weight), Mean(s.greenSum, s.weight),
                              Mean(s.blueSum, s.weight)};
            }
        }
    }
    return palette;
}

}  // namespace tavrel
