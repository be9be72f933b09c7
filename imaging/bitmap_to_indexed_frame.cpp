#include "imaging/bitmap_to_indexed_frame.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>

#include "imaging/bitmap_true_colour.h"
#include "imaging/octree_quantizer.h"
#include "imaging/packed_dib.h"
#include "imaging/pixel_colours.h"
#include "imaging/true_colour_frame.h"

namespace tavrel {
namespace {

constexpr uint32_t kMaxColours = 256;
constexpr int32_t kColourBits = 8;

// Indices straight from the rows of a 1, 4 or 8-bit picture, top row first.
void CopyPaletteIndices(const PackedDibView& dib, uint8_t* out) {
    for (int32_t y = dib.height - 1; y >= 0; --y) {
        const uint8_t* row = dib.Row(y);
        if (dib.bitCount == 8) {
            std::memcpy(out, row, static_cast<std::size_t>(dib.width));
            out += dib.width;
            continue;
        }
        for (int32_t x = 0; x < dib.width; ++x) {
            *out++ = PaletteIndexAt(row, x, dib.bitCount);
        }
    }
}

// Quantises the picture and maps every pixel, top row first. Returns the colours.
std::vector<RgbQuad> QuantiseIndices(const uint8_t* block, std::size_t blockSize,
                                     const PackedDibView& dib, uint8_t* out) {
    OctreeQuantizer quantizer(kMaxColours, kColourBits);
    quantizer.ProcessImage(block, blockSize);
    std::vector<RgbQuad> colours(quantizer.GetColourCount());
    quantizer.GetColourTable(colours.data());

    // Nearly every colour finds its index in the table; the few deeper ones walk the tree.
    auto shallow = std::make_unique<OctreeQuantizer::ShallowIndexTable>();
    quantizer.GetShallowIndexTable(*shallow);
    const auto map = [&](Rgb colour) {
        const int16_t known = (*shallow)[OctreeQuantizer::ShallowKey(colour)];
        int32_t index = known;
        if (known == OctreeQuantizer::kDeeperThanTable) {
            index = 0;
            quantizer.MapColour(colour.red, colour.green, colour.blue, index);
        }
        *out++ = static_cast<uint8_t>(index);
    };
    for (int32_t y = dib.height - 1; y >= 0; --y) {
        ForEachDirectColour(dib.Row(y), dib.width, dib.bitCount, map);
    }
    return colours;
}

}  // namespace

uint8_t BitsForColourCount(uint32_t colourCount) {
    uint8_t bits = 3;
    while (bits < 8 && (uint32_t{1} << bits) < colourCount) {
        ++bits;
    }
    return bits;
}

std::optional<std::vector<uint8_t>> PackBitmap(const DibSection& bitmap) {
    const auto layout = CheckedPackedLayout(bitmap);
    if (!layout) {
        return std::nullopt;
    }
    const BitmapInfo& info = bitmap.Info();
    const std::size_t pixelBytes = layout->blockSize - layout->pixelOffset;
    std::vector<uint8_t> block(layout->blockSize, 0);
    DibInfoHeader header;
    header.size = static_cast<uint32_t>(layout->pixelOffset);
    header.width = info.width;
    header.height = info.height;
    header.planes = info.planes;
    header.bitCount = info.bitsPerPixel;
    // Not read by anything here; kept as the bitmap header carries it.
    header.imageSize =
        static_cast<uint32_t>((static_cast<uint64_t>(info.width) + 7) / 8 * info.bitsPerPixel *
                              static_cast<uint64_t>(info.height));
    StoreDibInfoHeader(header, block.data());

    uint8_t* table = block.data() + kDibInfoHeaderSize;
    for (std::size_t i = 0; i < layout->colourEntries; ++i, table += kRgbQuadSize) {
        const RgbQuad& entry = bitmap.ColourTable()[i];
        table[0] = entry.blue;
        table[1] = entry.green;
        table[2] = entry.red;
        table[3] = entry.reserved;
    }
    std::memcpy(block.data() + layout->pixelOffset, bitmap.Pixels().data(), pixelBytes);
    return block;
}

bool PackedDibToIndexedFrame(const uint8_t* block, std::size_t blockSize, IndexedFrame& frame) {
    const PackedDibCheck check = ReadPackedDib(block, blockSize);
    if (check.status != PackedDibStatus::kValid) {
        return false;
    }
    const PackedDibView& dib = check.view;

    IndexedFrame result;
    result.nWidth = dib.width;
    result.nHeight = dib.height;
    // Cannot overflow: width x height is at most 8 x the block size.
    result.pIndices.resize(static_cast<std::size_t>(dib.width) *
                           static_cast<std::size_t>(dib.height));

    uint32_t colourCount = 0;
    std::vector<RgbQuad> colours;
    if (dib.colourTable != nullptr) {
        CopyPaletteIndices(dib, result.pIndices.data());
        colourCount = static_cast<uint32_t>(dib.colourEntries);
        colours.resize(colourCount);
        for (uint32_t i = 0; i < colourCount; ++i) {
            const uint8_t* entry = dib.colourTable + kRgbQuadSize * i;
            colours[i] = {entry[0], entry[1], entry[2], 0};
        }
    } else {
        colours = QuantiseIndices(block, blockSize, dib, result.pIndices.data());
        colourCount = static_cast<uint32_t>(colours.size());
    }

    result.nBitsPerPixel = BitsForColourCount(colourCount);
    result.pPalette.assign(3 * (std::size_t{1} << result.nBitsPerPixel), 0);
    for (uint32_t i = 0; i < colourCount; ++i) {
        result.pPalette[3 * i] = colours[i].red;
        result.pPalette[3 * i + 1] = colours[i].green;
        result.pPalette[3 * i + 2] = colours[i].blue;
    }
    frame = std::move(result);
    return true;
}

bool BitmapToIndexedFrame(const DibSection& bitmap, IndexedFrame& frame, FrameQuality quality) {
    if (quality != FrameQuality::kPlain) {
        const std::optional<TrueColourPicture> colours = BitmapTrueColour(bitmap);
        return colours && TrueColourToIndexedFrame(colours->View(), quality, frame);
    }
    const auto block = PackBitmap(bitmap);
    return block && PackedDibToIndexedFrame(block->data(), block->size(), frame);
}

}  // namespace tavrel
