#include "imaging/true_colour_frame.h"

#include <cstring>

#include "imaging/bitmap_to_indexed_frame.h"
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
    DibInfoHeader header;
    header.size = static_cast<uint32_t>(layout->pixelOffset);
    header.width = picture.width;
    header.height = picture.height;
    header.bitCount = 32;
    StoreDibInfoHeader(header, block.data());
    for (int32_t y = 0; y < picture.height; ++y) {
        std::memcpy(block.data() + layout->pixelOffset +
                        static_cast<std::size_t>(picture.height - 1 - y) * layout->stride,
                    picture.Row(y), layout->rowBytes);
    }
    return block;
}

}  // namespace

std::vector<Rgb> OctreePalette(const TrueColourView& picture, int maxColours) {
    const std::vector<uint8_t> block = PackTrueColour(picture);
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

bool TrueColourToIndexedFrame(const TrueColourView& picture, FrameQuality quality,
                              IndexedFrame& frame) {
    if (picture.IsEmpty()) {
        return false;
    }
    switch (quality) {
        case FrameQuality::kPlain: {
            const std::vector<uint8_t> block = PackTrueColour(picture);
            return PackedDibToIndexedFrame(block.data(), block.size(), frame);
        }
        case FrameQuality::kDither:
            frame = RemapWithSelectiveDither(picture, OctreePalette(picture, 256));
            return true;
        case FrameQuality::kHigh:
            frame = HighQualityFrame(picture, HighQualityOptions{});
            return true;
    }
    return false;
}

}  // namespace tavrel
