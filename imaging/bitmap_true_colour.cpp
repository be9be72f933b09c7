#include "imaging/bitmap_true_colour.h"

#include "imaging/packed_dib.h"
#include "imaging/pixel_colours.h"

namespace tavrel {
namespace {

// The colours of a checked bitmap as blue, green, red, 0 rows, top row first.
std::vector<uint8_t> TrueColourRows(const DibSection& bitmap) {
    const int32_t width = bitmap.Width();
    const uint16_t bitCount = bitmap.BitsPerPixel();
    std::vector<uint8_t> rows(4 * static_cast<std::size_t>(width) *
                              static_cast<std::size_t>(bitmap.Height()));
    uint8_t* out = rows.data();
    const auto append = [&out](Rgb c) {
        out[0] = c.blue;
        out[1] = c.green;
        out[2] = c.red;
        out += 4;
    };
    for (int32_t y = bitmap.Height() - 1; y >= 0; --y) {
        const uint8_t* row = bitmap.Row(y);
        if (ColourTableEntries(bitCount) == 0) {
            ForEachDirectColour(row, width, bitCount, append);
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            const RgbQuad& entry = bitmap.ColourTable()[PaletteIndexAt(row, x, bitCount)];
            append({entry.red, entry.green, entry.blue});
        }
    }
    return rows;
}

}  // namespace

std::optional<TrueColourPicture> BitmapTrueColour(const DibSection& bitmap) {
    if (!CheckedPackedLayout(bitmap)) {
        return std::nullopt;
    }
    return TrueColourPicture{TrueColourRows(bitmap), bitmap.Width(), bitmap.Height()};
}

}  // namespace tavrel
