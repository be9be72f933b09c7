#include "imaging/dib_true_colour.h"

#include "imaging/pixel_colours.h"

namespace tavrel {

std::vector<uint8_t> TrueColourPixels(const DibSection& bitmap) {
    const int32_t width = bitmap.Width();
    const int32_t height = bitmap.Height();
    const uint16_t depth = bitmap.BitsPerPixel();
    const bool indexed = depth == 1 || depth == 4 || depth == 8;
    if (bitmap.IsNull() || width <= 0 || height <= 0 || bitmap.Stride() == 0 ||
        (!indexed && depth != 15 && depth != 16 && depth != 24 && depth != 32)) {
        return {};
    }
    std::vector<uint8_t> rows(4 * static_cast<std::size_t>(width) *
                              static_cast<std::size_t>(height));
    uint8_t* out = rows.data();
    const auto append = [&out](Rgb c) {
        out[0] = c.blue;
        out[1] = c.green;
        out[2] = c.red;
        out[3] = 0;
        out += 4;
    };
    const std::vector<RgbQuad>& table = bitmap.ColourTable();
    for (int32_t y = height - 1; y >= 0; --y) {  // memory rows run bottom-up
        const uint8_t* row = bitmap.Row(y);
        if (!indexed) {
            ForEachDirectColour(row, width, depth, append);
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            const std::size_t index = PaletteIndexAt(row, x, depth);
            append(index < table.size()
                       ? Rgb{table[index].red, table[index].green, table[index].blue}
                       : Rgb{});
        }
    }
    return rows;
}

}  // namespace tavrel
