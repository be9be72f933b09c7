#include "frames/fitted_picture.h"

#include <cstring>

#include "platform/bitmap_loader.h"

namespace tavrel {

DibSection FitTrueColourPicture(const QImage& picture, int width, int height, FitMode fit,
                                QRgb background) {
    if (fit == FitMode::kStretch || picture.isNull() || width <= 0 || height <= 0) {
        return StretchTrueColourPicture(picture, 24, width, height);
    }
    const FramePlacement place =
        PlaceInFrame(picture.width(), picture.height(), width, height, fit);
    const PixelRect& from = place.source;
    const PixelRect& to = place.destination;
    const QImage shown = from == PixelRect{0, 0, picture.width(), picture.height()}
                             ? picture
                             : picture.copy(from.x, from.y, from.width, from.height);
    DibSection scaled = StretchTrueColourPicture(shown, 24, to.width, to.height);
    if (scaled.IsNull() || place.CoversFrame(width, height)) {
        return scaled;
    }

    DibSection frame(width, height, 24);
    const uint8_t fill[3] = {static_cast<uint8_t>(qBlue(background)),
                             static_cast<uint8_t>(qGreen(background)),
                             static_cast<uint8_t>(qRed(background))};
    for (int32_t row = 0; row < height; ++row) {
        uint8_t* pixel = frame.Row(row);
        for (int32_t x = 0; x < width; ++x, pixel += 3) {
            std::memcpy(pixel, fill, 3);
        }
    }
    // Rows are stored bottom-up in both bitmaps.
    for (int32_t y = 0; y < to.height; ++y) {
        std::memcpy(frame.Row(height - 1 - (to.y + y)) + 3 * static_cast<std::size_t>(to.x),
                    scaled.Row(to.height - 1 - y), 3 * static_cast<std::size_t>(to.width));
    }
    return frame;
}

}  // namespace tavrel
