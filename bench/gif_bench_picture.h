// A deterministic photo-like picture for the GIF benchmarks, reduced to 8-bit indices.
#pragma once

#include <cstdint>
#include <vector>

namespace tavrel::bench {

inline constexpr int kPictureSize = 530;

// Smooth colour gradients with noise, mapped to a 3-3-2 palette with noise dithering:
// many colours and no flat areas, like a quantised photograph. kPictureSize squared indices.
std::vector<uint8_t> PhotoLikeIndices();
// The 256-entry 3-3-2 palette of those indices, 768 bytes.
std::vector<uint8_t> ThreeThreeTwoPalette();

}  // namespace tavrel::bench
