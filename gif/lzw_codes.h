// LZW dictionary coding of one GIF frame's palette indices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrel {

// Smallest and largest LZW minimum code size (bits per pixel) the writer handles.
inline constexpr uint8_t kMinGifBits = 2;
inline constexpr uint8_t kMaxGifBits = 8;
// Codes are at most 12 bits wide, so a table holds the codes below 4096.
inline constexpr uint16_t kLzwCodeLimit = 4096;

// The LZW codes of one frame, without clear and end-of-information codes. A new table is
// started after every (4095 - 2^bits) codes; the packer puts its clear codes there.
struct LzwCodeList {
    std::vector<uint16_t> codes;
    std::size_t count = 0;  // equals codes.size()
};

// Codes the pixelCount indices (each below 2^bits) by greedy longest-match LZW, starting a
// new table as soon as code 4095 has been given out. Throws std::invalid_argument when
// bits is outside 2..8. Indices of 2^bits or more give a meaningless but memory-safe list.
LzwCodeList BuildLzwCodes(const uint8_t* indices, std::size_t pixelCount, uint8_t bits);

}  // namespace tavrel
