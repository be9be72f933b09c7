#include "imaging/bitmap_true_colour.h"

#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/pixel_colours.h"

namespace tavrel {

std::vector<uint8_t> TrueColourRows(const PackedDibView& dib) {
    std::vector<uint8_t> rows(4 * static_cast<std::size_t>(dib.width) *
                              static_cast<std::size_t>(dib.height));
    uint8_t* out = rows.data();
    const auto append = [&out](Rgb c) {
        out[0] = c.blue;
        out[1] = c.green;
        out[2] = c.red;
        out += 4;
    };
    for (int32_t y = dib.height - 1; y >= 0; --y) {
        const uint8_t* row = dib.Row(y);
        if (dib.colourTable == nullptr) {
            ForEachDirectColour(row, dib.width, dib.bitCount, append);
            continue;
        }
        for (int32_t x = 0; x < dib.width; ++x) {
            const std::size_t index = PaletteIndexAt(row, x, dib.bitCount);
            append(BgrAt(dib.colourTable + kRgbQuadSize * index));
        }
    }
    return rows;
}

std::optional<TrueColourPicture> BitmapTrueColour(const DibSection& bitmap) {
    const auto block = PackBitmap(bitmap);
    if (!block) {
        return std::nullopt;
    }
    const PackedDibCheck check = ReadPackedDib(block->data(), block->size());
    if (check.status != PackedDibStatus::kValid) {
        return std::nullopt;
    }
    return TrueColourPicture{TrueColourRows(check.view), check.view.width, check.view.height};
}

}  // namespace tavrel
