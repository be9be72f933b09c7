#include "imaging/palette_merge.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "imaging/kmeans_palette.h"
#include "imaging/nearest_colour.h"

namespace tavrel {
namespace {

constexpr int kRefinePasses = 2;

struct Cluster {
    double red = 0, green = 0, blue = 0;  // the mean colour
    double weight = 0;                    // pixels
    bool alive = true;
};

// The squared error merging a and b adds (Ward's criterion).
double MergeCost(const Cluster& a, const Cluster& b) {
    const double r = a.red - b.red;
    const double g = a.green - b.green;
    const double bl = a.blue - b.blue;
    return a.weight * b.weight / (a.weight + b.weight) * (r * r + g * g + bl * bl);
}

}  // namespace

std::vector<Rgb> MergePalette(std::span<const WeightedColour> histogram,
                              const std::vector<Rgb>& palette, std::size_t maxColours) {
    if (palette.size() <= maxColours || maxColours == 0) {
        return palette;
    }
    std::vector<Cluster> clusters(palette.size());
    for (std::size_t i = 0; i < palette.size(); ++i) {
        clusters[i].red = palette[i].red;
        clusters[i].green = palette[i].green;
        clusters[i].blue = palette[i].blue;
    }
    NearestColour nearest(palette);
    uint8_t hint = 0;
    for (const WeightedColour& entry : histogram) {
        hint = nearest.FindFrom(entry.colour, hint);
        clusters[hint].weight += entry.count;
    }
    // Colours no pixel is near still count a little, so they merge first.
    for (Cluster& c : clusters) {
        c.weight = std::max(c.weight, 0.5);
    }

    // Each cluster's cheapest partner, recomputed only for the clusters a merge touches.
    const std::size_t n = clusters.size();
    std::vector<std::size_t> partner(n, 0);
    std::vector<double> partnerCost(n, 0);
    const auto findPartner = [&](std::size_t i) {
        partnerCost[i] = std::numeric_limits<double>::max();
        for (std::size_t j = 0; j < n; ++j) {
            if (j != i && clusters[j].alive) {
                const double cost = MergeCost(clusters[i], clusters[j]);
                if (cost < partnerCost[i]) {
                    partnerCost[i] = cost;
                    partner[i] = j;
                }
            }
        }
    };
    for (std::size_t i = 0; i < n; ++i) {
        findPartner(i);
    }
    for (std::size_t alive = n; alive > maxColours; --alive) {
        std::size_t a = n;
        for (std::size_t i = 0; i < n; ++i) {
            if (clusters[i].alive && (a == n || partnerCost[i] < partnerCost[a])) {
                a = i;
            }
        }
        const std::size_t b = partner[a];
        Cluster& into = clusters[a];
        const Cluster& from = clusters[b];
        const double total = into.weight + from.weight;
        into.red = (into.red * into.weight + from.red * from.weight) / total;
        into.green = (into.green * into.weight + from.green * from.weight) / total;
        into.blue = (into.blue * into.weight + from.blue * from.weight) / total;
        into.weight = total;
        clusters[b].alive = false;
        for (std::size_t i = 0; i < n; ++i) {
            if (clusters[i].alive && (i == a || partner[i] == a || partner[i] == b)) {
                findPartner(i);
            } else if (clusters[i].alive && i != a) {
                // The merged cluster may now be the cheaper partner.
                const double cost = MergeCost(clusters[i], into);
                if (cost < partnerCost[i]) {
                    partnerCost[i] = cost;
                    partner[i] = a;
                }
            }
        }
    }

    std::vector<Rgb> merged;
    merged.reserve(maxColours);
    const auto level = [](double v) { return static_cast<uint8_t>(std::lround(v)); };
    for (const Cluster& c : clusters) {
        if (c.alive) {
            merged.push_back({level(c.red), level(c.green), level(c.blue)});
        }
    }
    return RefinePalette(histogram, std::move(merged), kRefinePasses);
}

}  // namespace tavrel
