#include "imaging/frame_fit.h"

#include <algorithm>

namespace tavrel {
namespace {

// round(value x numerator / denominator), at least 1 and at most limit.
int32_t ScaledSide(int64_t value, int64_t numerator, int64_t denominator, int32_t limit) {
    const int64_t rounded = (2 * value * numerator + denominator) / (2 * denominator);
    return static_cast<int32_t>(std::clamp<int64_t>(rounded, 1, limit));
}

}  // namespace

FramePlacement PlaceInFrame(int32_t sourceWidth, int32_t sourceHeight, int32_t frameWidth,
                            int32_t frameHeight, FitMode mode) {
    const PixelRect wholeSource{0, 0, sourceWidth, sourceHeight};
    const PixelRect wholeFrame{0, 0, frameWidth, frameHeight};
    // The picture is wider than the frame when sw / sh > fw / fh.
    const int64_t wideSide = int64_t{sourceWidth} * frameHeight;
    const int64_t tallSide = int64_t{sourceHeight} * frameWidth;

    switch (mode) {
        case FitMode::kStretch:
            break;
        case FitMode::kContain: {
            PixelRect inside = wholeFrame;
            if (wideSide > tallSide) {
                inside.height = ScaledSide(sourceHeight, frameWidth, sourceWidth, frameHeight);
                inside.y = (frameHeight - inside.height) / 2;
            } else if (wideSide < tallSide) {
                inside.width = ScaledSide(sourceWidth, frameHeight, sourceHeight, frameWidth);
                inside.x = (frameWidth - inside.width) / 2;
            }
            return {wholeSource, inside};
        }
        case FitMode::kCover: {
            PixelRect crop = wholeSource;
            if (wideSide > tallSide) {
                crop.width = ScaledSide(sourceHeight, frameWidth, frameHeight, sourceWidth);
                crop.x = (sourceWidth - crop.width) / 2;
            } else if (wideSide < tallSide) {
                crop.height = ScaledSide(sourceWidth, frameHeight, frameWidth, sourceHeight);
                crop.y = (sourceHeight - crop.height) / 2;
            }
            return {crop, wholeFrame};
        }
    }
    return {wholeSource, wholeFrame};
}

}  // namespace tavrel
