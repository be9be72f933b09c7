#include "imaging/true_colour_frame.h"

#include <array>
#include <cstring>

#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/bitmap_true_colour.h"
#include "imaging/high_quality_quantiser.h"
#include "imaging/octree_quantizer.h"
#include "imaging/packed_dib.h"
#include "imaging/pixel_colours.h"

namespace tavrel {
namespace {

// The picture as a 32-bit packed bitmap block (rows bottom-up), as the octree reads it.
std::vector<uint8_t> PackTrueColour(const TrueColourView& picture) {
    const auto layout = LayoutPackedDib(picture.width, picture.height, 32);
    std::vector<uint8_t> block(layout->blockSize, 0);
    PackedDibHeader header;
    header.pixelOffset = static_cast<uint32_t>(layout->pixelOffset);
    header.width = picture.width;
    header.height = picture.height;
    header.bitCount = 32;
    StorePackedDibHeader(header, block.data());
    for (int32_t y = 0; y < picture.height; ++y) {
        std::memcpy(block.data() + layout->pixelOffset +
                        static_cast<std::size_t>(picture.height - 1 - y) * layout->stride,
                    picture.Row(y), layout->rowBytes);
    }
    return block;
}

std::vector<Rgb> OctreePaletteOfBlock(const std::vector<uint8_t>& block, int maxColours);
// A dithered or high-quality frame; octreePalette() gives the octree palette the dithered
// frames use (the high quality ones choose their own).
template <typename OctreePaletteOf>
bool ReducedFrame(const TrueColourView& picture, OctreePaletteOf octreePalette,
                  FrameQuality quality, IndexedFrame& frame) {
    if (quality == FrameQuality::kHigh) {
        frame = HighQualityFrame(picture, HighQualityOptions{});
    } else {
        frame = RemapWithSelectiveDither(picture, octreePalette());
    }
    return true;
}

}  // namespace

bool BitmapToIndexedFrame(const DibSection& bitmap, FrameQuality quality, IndexedFrame& frame) {
    if (quality == FrameQuality::kPlain) {
        return BitmapToIndexedFrame(bitmap, frame);
    }
    const auto block = PackBitmap(bitmap);
    if (!block) {
        return false;
    }
    const PackedDibCheck check = ReadPackedDib(block->data(), block->size());
    if (check.status != PackedDibStatus::kValid) {
        return false;
    }
    const std::vector<uint8_t> rows = TrueColourRows(check.view);
    const TrueColourView view{rows.data(), check.view.width, check.view.height,
                              4 * static_cast<std::ptrdiff_t>(check.view.width)};
    // The octree reads the packed bitmap itself: the same colours in the same order.
    return ReducedFrame(
        view, [&block] { return OctreePaletteOfBlock(*block, 256); }, quality, frame);
}

std::vector<Rgb> OctreePalette(const TrueColourView& picture, int maxColours) {
    const std::vector<uint8_t> block = PackTrueColour(picture);
    return OctreePaletteOfBlock(block, maxColours);
}

void StoreCompactPalette(const std::vector<Rgb>& palette, IndexedFrame& frame) {
    std::array<bool, 256> used{};
    for (const uint8_t index : frame.pIndices) {
        used[index] = true;
    }
    std::array<uint8_t, 256> renumbered{};
    std::vector<Rgb> kept;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        if (used[i]) {
            renumbered[i] = static_cast<uint8_t>(kept.size());
            kept.push_back(palette[i]);
        }
    }
    if (kept.size() != palette.size()) {
        for (uint8_t& index : frame.pIndices) {
            index = renumbered[index];
        }
    }
    frame.nBitsPerPixel = BitsForColourCount(static_cast<uint32_t>(kept.size()));
    frame.pPalette.assign(3 * (std::size_t{1} << frame.nBitsPerPixel), 0);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        frame.pPalette[3 * i] = kept[i].red;
        frame.pPalette[3 * i + 1] = kept[i].green;
        frame.pPalette[3 * i + 2] = kept[i].blue;
    }
}

bool TrueColourToIndexedFrame(const TrueColourView& picture, FrameQuality quality,
                              IndexedFrame& frame) {
    if (picture.IsEmpty()) {
        return false;
    }
    if (quality == FrameQuality::kPlain) {
        const std::vector<uint8_t> block = PackTrueColour(picture);
        return PackedDibToIndexedFrame(block.data(), block.size(), frame);
    }

    return ReducedFrame(
        picture, [&picture] { return OctreePalette(picture, 256); }, quality, frame);
}

namespace {

std::vector<Rgb> OctreePaletteOfBlock(const std::vector<uint8_t>& block, int maxColours) {
    OctreeQuantizer quantizer(static_cast<uint32_t>(maxColours), 8);
    quantizer.ProcessImage(block.data(), block.size());
    std::vector<RgbQuad> table(quantizer.GetColourCount());
    quantizer.GetColourTable(table.data());
    std::vector<Rgb> palette;
    palette.reserve(table.size());
    for (const RgbQuad& entry : table) {
        palette.push_back({entry.red, entry.green, entry.blue});
    }
    return palette;
}

}  // namespace
}  // namespace tavrel
