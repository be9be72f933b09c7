// A picture placed in a frame of a chosen size: stretched over it, or with its proportions
// kept (contained on a background, or covering the frame with the centre cropped).
#pragma once

#include <QImage>
#include <QRgb>

#include "bitmap/dib_section.h"
#include "imaging/frame_fit.h"

namespace tavrel {

// A 24-bit bitmap of width x height. Stretch is exactly StretchTrueColourPicture(picture,
// 24, width, height); contain and cover resample the shown part of the picture the same way
// into its rectangle and fill the rest with background. Null for a null picture or a size
// of 0 or less.
DibSection FitTrueColourPicture(const QImage& picture, int width, int height, FitMode fit,
                                QRgb background);

}  // namespace tavrel
