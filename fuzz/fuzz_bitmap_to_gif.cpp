// Arbitrary bytes as a bitmap or a packed bitmap block, converted to an indexed frame and,
// when that succeeds, written as a GIF into memory. Any crash, sanitizer report or broken
// frame invariant is a finding.
//
// Input: byte 0 chooses the form.
//   0: a bitmap from parts: width and height (2 bytes each, signed), a depth selector, the
//      number of colour-table entries, those entries (4 bytes each), then the pixels.
//   1: a packed block from compact fields: width and height (2 bytes each, signed), a depth
//      selector, a signed adjustment of the pixel offset, then the rest of the block.
//   2 and up: the remaining bytes are the packed block as they stand.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bitmap/dib_section.h"
#include "gif/gif_writer.h"
#include "gif/output_file.h"
#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/packed_dib.h"

namespace {

class Reader {
public:
    Reader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int16_t Int16() { return static_cast<int16_t>(Byte() | Byte() << 8); }
    const uint8_t* Rest() const { return data_ + at_; }
    std::size_t RestSize() const { return size_ - at_; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Mostly supported depths, sometimes something else.
uint16_t Depth(uint8_t selector) {
    constexpr uint16_t kDepths[] = {1, 4, 8, 15, 16, 24, 32, 0, 2, 31};
    return kDepths[selector % (sizeof(kDepths) / sizeof(kDepths[0]))];
}

void CheckAndWrite(const tavrel::IndexedFrame& frame) {
    const std::size_t entries = std::size_t{1} << frame.nBitsPerPixel;
    if (frame.nBitsPerPixel < 3 || frame.nBitsPerPixel > 8 ||
        frame.pPalette.size() != 3 * entries ||
        frame.pIndices.size() != static_cast<std::size_t>(frame.nWidth) * frame.nHeight) {
        __builtin_trap();
    }
    for (uint8_t index : frame.pIndices) {
        if (index >= entries) {
            __builtin_trap();
        }
    }
    if (frame.nWidth > 0xFFFF || frame.nHeight > 0xFFFF) {
        return;  // a GIF cannot hold it
    }
    tavrel::MemoryOutputFile out;
    const auto width = static_cast<uint16_t>(frame.nWidth);
    const auto height = static_cast<uint16_t>(frame.nHeight);
    tavrel::WriteGifHeader(out, width, height, frame.nBitsPerPixel);
    tavrel::WriteGifFrame(out, frame.pIndices.data(), frame.pPalette.data(), width, height,
                          frame.nBitsPerPixel, 40, tavrel::kNoTransparentColour);
    tavrel::WriteGifTrailer(out);
}

bool FromParts(Reader& in, tavrel::IndexedFrame& frame) {
    tavrel::BitmapInfo info;
    info.width = in.Int16();
    info.height = in.Int16();
    info.planes = 1;
    info.bitsPerPixel = Depth(in.Byte());
    std::vector<tavrel::RgbQuad> table(in.Byte() + 1u);
    for (tavrel::RgbQuad& entry : table) {
        entry = {in.Byte(), in.Byte(), in.Byte(), in.Byte()};
    }
    std::vector<uint8_t> pixels(in.Rest(), in.Rest() + in.RestSize());
    const auto bitmap = tavrel::DibSection::FromParts(info, std::move(table), std::move(pixels));
    return tavrel::BitmapToIndexedFrame(bitmap, frame);
}

bool FromCompactBlock(Reader& in, tavrel::IndexedFrame& frame) {
    tavrel::PackedDibHeader header;
    header.width = in.Int16();
    header.height = in.Int16();
    header.bitCount = Depth(in.Byte());
    const int adjustment = (in.Byte() ^ 0x80) - 128;  // the byte as two's complement
    std::vector<uint8_t> block(tavrel::kPackedDibHeaderSize + in.RestSize());
    std::copy(in.Rest(), in.Rest() + in.RestSize(), block.begin() + tavrel::kPackedDibHeaderSize);
    const std::size_t table = tavrel::ColourTableEntries(header.bitCount) * tavrel::kRgbQuadSize;
    header.pixelOffset = static_cast<uint32_t>(tavrel::kPackedDibHeaderSize + table + adjustment);
    tavrel::StorePackedDibHeader(header, block.data());
    return tavrel::PackedDibToIndexedFrame(block.data(), block.size(), frame);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Reader in(data, size);
    tavrel::IndexedFrame frame;
    bool converted = false;
    switch (in.Byte()) {
        case 0:
            converted = FromParts(in, frame);
            break;
        case 1:
            converted = FromCompactBlock(in, frame);
            break;
        default: {
            // A copy of exactly the remaining bytes, so that reading past them is caught.
            const std::vector<uint8_t> block(in.Rest(), in.Rest() + in.RestSize());
            converted = tavrel::PackedDibToIndexedFrame(block.data(), block.size(), frame);
            break;
        }
    }
    if (converted) {
        CheckAndWrite(frame);
    }
    return 0;
}
