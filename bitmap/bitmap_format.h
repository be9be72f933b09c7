// The one place that knows the bitmap formats: the BMP file layout (reading its headers,
// writing them), the device-independent bitmap layout shared by bitmaps in memory and the
// packed block (info header, colour table, padded bottom-up rows), the supported depths and
// the 5-5-5 pixel. Plain C++, no Qt. All numbers in the formats are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavrel {

struct RgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
};

inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kDibInfoHeaderSize = 40;
inline constexpr std::size_t kDibCoreHeaderSize = 12;
inline constexpr std::size_t kRgbQuadSize = 4;

enum DibCompression : uint32_t { kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitFields = 3 };

// 1, 4, 8, 15, 16, 24 and 32 bits per pixel. A 15-bit bitmap is 5-5-5 in 16-bit pixels.
bool IsSupportedDepth(uint32_t bitsPerPixel);
// Colour-table entries that come with a depth: 2^bits for 1, 4 and 8, else 0.
std::size_t ColourTableEntries(uint16_t bitsPerPixel);
// Bytes per row: ((bits x width + 31) / 32) x 4, 15 bits counted as 16. nullopt for an
// unsupported depth, a width of 0 or less, or an overflow.
std::optional<std::size_t> RowStride(int32_t width, uint16_t bitsPerPixel);

uint16_t LoadLe16(const uint8_t* p);
uint32_t LoadLe32(const uint8_t* p);
void StoreLe16(uint16_t value, uint8_t* p);
void StoreLe32(uint32_t value, uint8_t* p);

// Pixel x of a row of 1, 4 or 8 bits: a byte, the high nibble for even x, or bit
// 7 - (x mod 8) so that the most significant bit is the leftmost pixel. Other depths give 0.
inline uint8_t PaletteIndexAt(const uint8_t* row, int32_t x, uint16_t bitCount) {
    const auto ux = static_cast<uint32_t>(x);
    switch (bitCount) {
        case 8:
            return row[ux];
        case 4:
            return (ux & 1) == 0 ? row[ux / 2] >> 4 : row[ux / 2] & 0x0F;
        case 1:
            return (row[ux / 8] >> (7 - ux % 8)) & 1;
        default:
            return 0;
    }
}

// A 5-5-5 pixel, low byte first, top bit ignored: its three 5-bit components.
struct Rgb555 {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};
inline Rgb555 Unpack555(const uint8_t* pixel) {
    const unsigned p = pixel[0] | static_cast<unsigned>(pixel[1]) << 8;
    return {static_cast<uint8_t>((p >> 10) & 31), static_cast<uint8_t>((p >> 5) & 31),
            static_cast<uint8_t>(p & 31)};
}
// Stores 8-bit components as a 5-5-5 pixel (their top five bits).
inline void Pack555(unsigned red, unsigned green, unsigned blue, uint8_t* pixel) {
    const unsigned p = (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3;
    pixel[0] = static_cast<uint8_t>(p);
    pixel[1] = static_cast<uint8_t>(p >> 8);
}
// A 5-bit component spread over 8 bits for display (the top bits repeated below).
inline int Expand5(unsigned v) {
    return static_cast<int>((v << 3) | (v >> 2));
}

// The fields of the 40-byte info header that are written and read; the rest stay zero.
// In a packed block the first field holds the offset of the pixel rows instead.
struct DibInfoHeader {
    uint32_t size = 0;
    int32_t width = 0;
    int32_t height = 0;  // positive: rows stored bottom-up
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = kBiRgb;
    uint32_t imageSize = 0;
};
DibInfoHeader LoadDibInfoHeader(const uint8_t* header);
void StoreDibInfoHeader(const DibInfoHeader& header, uint8_t* out);

// What the headers of a BMP file say.
struct BmpFileHeader {
    int32_t width = 0;
    int32_t height = 0;  // always positive; topDown tells the row order
    bool topDown = false;
    uint16_t bitCount = 0;
    uint32_t compression = kBiRgb;
    uint32_t pixelOffset = 0;
    std::vector<RgbQuad> colourTable;  // 2^bits entries for 8 bits or fewer, padded with zeros
};
// Reads the file and info (or core) headers and the colour table of a BMP file of size
// bytes; nullopt when it is no BMP, its size is 0 or less or its depth is not 1, 4, 8, 16,
// 24 or 32.
std::optional<BmpFileHeader> ReadBmpFileHeader(const uint8_t* file, std::size_t size);

// True when a BMP file of size bytes holds all the rows its header promises: plain rows in
// full, run-length data up to its end marker (or the end of its last row). Decoders tend to
// turn a cut-off file into a picture with a blank end.
bool BmpPixelDataComplete(const BmpFileHeader& header, const uint8_t* file, std::size_t size);

// Writes the 54 bytes of the file and info headers of an uncompressed BMP with no colour
// table and bottom-up rows of the given depth. False when the file would exceed 4 GB.
bool WriteBmpFileHeader(int32_t width, int32_t height, uint16_t bitsPerPixel, uint8_t* out);

}  // namespace tavrel
