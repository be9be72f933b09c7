// Where a picture goes inside a frame of a chosen size: stretched over the whole frame,
// contained (whole picture, proportions kept, centred on a background) or covering the
// frame (proportions kept, the centre cropped). Pure arithmetic.
#pragma once

#include <cstdint>

namespace tavrel {

enum class FitMode { kStretch, kContain, kCover };

inline constexpr int32_t kMinFrameSide = 1;
inline constexpr int32_t kMaxFrameSide = 4096;

struct PixelRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct FramePlacement {
    PixelRect source;       // the part of the picture that is shown
    PixelRect destination;  // where it is scaled to inside the frame; background elsewhere
    bool CoversFrame(int32_t frameWidth, int32_t frameHeight) const {
        return destination == PixelRect{0, 0, frameWidth, frameHeight};
    }
};

// Both sizes must be at least 1. Contain rounds the scaled side to the nearest pixel (at
// least 1) and centres it; cover crops the same amount from both sides (the odd pixel, if
// any, from the right or bottom).
FramePlacement PlaceInFrame(int32_t sourceWidth, int32_t sourceHeight, int32_t frameWidth,
                            int32_t frameHeight, FitMode mode);

}  // namespace tavrel
