// A device-independent bitmap with its own pixel memory: the in-memory picture that the
// loader produces and the frame conversion reads. Plain C++, no Qt.
//
// Rows are stored bottom-up (row 0 in memory is the bottom row of the picture), each row
// padded to a multiple of 4 bytes. Bitmaps of 1, 4 and 8 bits per pixel carry a colour
// table of 2^bits entries. A 15-bit bitmap is a 5-5-5 bitmap stored in 16-bit pixels.
//
// The forms a picture takes in memory, in the order a picture passes through them:
// - the file's bytes (QByteArray): read once, so the size its header declares can be checked
//   before anything is decoded;
// - the decoded picture (QImage): what Qt's codecs give, upright, 32-bit or indexed;
// - the bitmap (DibSection, here): the picture at the frame's size, the form the BMP loader
//   gives and the plain C++ layers read, so they never need Qt;
// - the packed block (imaging/packed_dib.h): header, colour table and rows in one buffer,
//   checked field by field before the conversion trusts it;
// - the true-colour view (imaging/true_colour_view.h): 32-bit rows looked at without a copy;
// - the indexed frame (imaging/indexed_frame.h): a palette index per pixel and the palette,
//   what a GIF frame holds; with its delay it becomes the run's GifFrame
//   (frames/gif_encoding.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "bitmap/bitmap_format.h"

namespace tavrel {

// Size and depth of a bitmap, as the platform reports them for a bitmap handle.
struct BitmapInfo {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitsPerPixel = 0;
};

class DibSection {
public:
    // An empty bitmap: the null handle of a failed load.
    DibSection() = default;

    // A zero-filled bitmap. Throws std::invalid_argument for a size of 0 or less or a depth
    // other than 1, 4, 8, 15, 16, 24 or 32, and std::bad_alloc when the pixels do not fit.
    DibSection(int32_t width, int32_t height, uint16_t bitsPerPixel);

    // A bitmap taken as it comes, with no checks: for pictures that arrive from outside,
    // such as a fuzzer's bytes. Consumers must validate it.
    static DibSection FromParts(BitmapInfo info, std::vector<RgbQuad> colourTable,
                                std::vector<uint8_t> pixels);

    bool IsNull() const { return info_.width == 0 && info_.height == 0 && pixels_.empty(); }
    explicit operator bool() const { return !IsNull(); }

    const BitmapInfo& Info() const { return info_; }
    int32_t Width() const { return info_.width; }
    int32_t Height() const { return info_.height; }
    uint16_t BitsPerPixel() const { return info_.bitsPerPixel; }

    // Bytes per row (see RowStride), 0 for a null or inconsistent bitmap.
    std::size_t Stride() const { return RowStride(info_.width, info_.bitsPerPixel).value_or(0); }

    // Rows in memory order: Row(0) is the bottom row of the picture.
    uint8_t* Row(int32_t memoryRow) { return pixels_.data() + memoryRow * Stride(); }
    const uint8_t* Row(int32_t memoryRow) const { return pixels_.data() + memoryRow * Stride(); }

    std::vector<uint8_t>& Pixels() { return pixels_; }
    const std::vector<uint8_t>& Pixels() const { return pixels_; }
    std::vector<RgbQuad>& ColourTable() { return colourTable_; }
    const std::vector<RgbQuad>& ColourTable() const { return colourTable_; }

private:
    BitmapInfo info_;
    std::vector<RgbQuad> colourTable_;
    std::vector<uint8_t> pixels_;
};

}  // namespace tavrel
