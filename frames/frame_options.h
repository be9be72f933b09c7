// How pictures are made into frames: size, fit, background and quality.
#pragma once

#include <QRgb>

#include "imaging/frame_fit.h"
#include "imaging/true_colour_frame.h"

namespace tavrel {

inline constexpr int kFrameSize = 530;

// How frames are made. The defaults stretch every picture to 530 x 530, aspect ratio not
// kept, and reduce it by the octree without dithering.
struct FrameOptions {
    int width = kFrameSize;
    int height = kFrameSize;
    FitMode fit = FitMode::kStretch;
    QRgb background = qRgb(0, 0, 0);  // around a contained picture
    FrameQuality quality = FrameQuality::kPlain;
};

}  // namespace tavrel
