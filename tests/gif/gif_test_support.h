// Shared by the GIF tests: deterministic index pictures, the LZW coder written the slow,
// obvious way, and a giflib reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrel::test {

// Uniformly random indices below 2^bits: the worst case for LZW, many table restarts.
std::vector<uint8_t> RandomIndices(std::size_t count, uint8_t bits, uint32_t seed);
// A diagonal gradient with a little noise, like a quantised photograph.
std::vector<uint8_t> PhotoLikeIndices(int width, int height, uint8_t bits, uint32_t seed);

// Greedy longest-match LZW with every match found by a forward scan over the table.
std::vector<uint16_t> LinearScanLzwCodes(const uint8_t* px, std::size_t n, uint8_t bits);

struct DecodedFrame {
    int left = 0, top = 0, width = 0, height = 0, tableBits = 0;
    std::vector<uint8_t> palette;  // RGB triples of the local colour table
    std::vector<uint8_t> indices;
    int delay = -1, transparent = -2, disposal = -1;
};

struct DecodedGif {
    int error = 0;  // giflib's error code, 0 when the whole file was read
    int screenWidth = 0;
    std::vector<DecodedFrame> frames;
};

// Reads a whole GIF held in memory with giflib's DGifSlurp.
DecodedGif DecodeWithGiflib(const std::vector<uint8_t>& bytes);

// The screen as a viewer shows it after each frame, as RGB triples: every frame drawn over
// the last by the disposal and transparency it declares (starting from black).
std::vector<std::vector<uint8_t>> ComposeFrames(const DecodedGif& gif, int screenHeight);

}  // namespace tavrel::test
