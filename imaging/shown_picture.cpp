#include "imaging/shown_picture.h"

#include <algorithm>
#include <cstddef>

namespace tavrel {

void DrawFrame(const PlacedFrame& placed, ShownPicture& shown) {
    const IndexedFrame& frame = placed.frame;
    const int32_t right = std::min(placed.left + frame.nWidth, shown.width);
    const int32_t bottom = std::min(placed.top + frame.nHeight, shown.height);
    for (int32_t y = std::max(placed.top, 0); y < bottom; ++y) {
        const uint8_t* row =
            frame.pIndices.data() + static_cast<std::size_t>(y - placed.top) * frame.nWidth;
        for (int32_t x = std::max(placed.left, 0); x < right; ++x) {
            const uint8_t index = row[x - placed.left];
            if (index == placed.transparent) {
                continue;
            }
            const uint8_t* entry = frame.pPalette.data() + 3 * static_cast<std::size_t>(index);
            shown.At(x, y) = Rgb{entry[0], entry[1], entry[2]};
        }
    }
}

void CropToChangedPixels(PlacedFrame& placed) {
    if (placed.transparent == kNoTransparentIndex) {
        return;
    }
    IndexedFrame& frame = placed.frame;
    const auto transparent = static_cast<uint8_t>(placed.transparent);
    int32_t left = frame.nWidth;
    int32_t right = -1;
    int32_t top = frame.nHeight;
    int32_t bottom = -1;
    for (int32_t y = 0; y < frame.nHeight; ++y) {
        const uint8_t* row = frame.pIndices.data() + static_cast<std::size_t>(y) * frame.nWidth;
        const uint8_t* first = std::find_if(row, row + frame.nWidth,
                                            [&](uint8_t index) { return index != transparent; });
        if (first == row + frame.nWidth) {
            continue;
        }
        const auto last = std::find_if(std::make_reverse_iterator(row + frame.nWidth),
                                       std::make_reverse_iterator(row),
                                       [&](uint8_t index) { return index != transparent; });
        left = std::min(left, static_cast<int32_t>(first - row));
        right = std::max(right, static_cast<int32_t>(last.base() - row) - 1);
        top = std::min(top, y);
        bottom = y;
    }
    if (bottom < 0) {  // nothing changes: one transparent pixel
        left = right = top = bottom = 0;
    }
    const int32_t width = right - left + 1;
    const int32_t height = bottom - top + 1;
    std::vector<uint8_t> cropped(static_cast<std::size_t>(width) *
                                 static_cast<std::size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        std::copy_n(frame.pIndices.data() + static_cast<std::size_t>(top + y) * frame.nWidth + left,
                    width, cropped.data() + static_cast<std::size_t>(y) * width);
    }
    frame.pIndices = std::move(cropped);
    frame.nWidth = width;
    frame.nHeight = height;
    placed.left += left;
    placed.top += top;
}

}  // namespace tavrel
