// Two steps of a picture's road to a GIF frame: the decoded picture fitted to the frame
// size, and that bitmap made into an indexed frame. The GIF run (gif_run.h) goes the whole
// road; each step is usable on its own, so other ways of fitting or quantising can take the
// place of one step.
#pragma once

#include <QImage>
#include <QString>

#include "bitmap/dib_section.h"
#include "frames/frame_options.h"
#include "imaging/indexed_frame.h"
#include "platform/result.h"

namespace tavrel {

// The decoded picture stretched to the frame size exactly as the dialog's staged BMP copy
// would be loaded: true-colour pictures as 24-bit rows resampled smoothly, Mono and
// Indexed8 pictures as Qt's 1-, 4- or 8-bit BMP stretched by nearest neighbour with their
// indices kept. Contain and cover resample every picture smoothly into its place (see
// FitTrueColourPicture). Thread-safe.
Result<DibSection> StretchPicture(const QImage& picture, const FrameOptions& options);

// A stretched bitmap as an indexed frame at the given quality (plain: its own palette, or
// the octree quantiser's).
Result<IndexedFrame> IndexBitmap(const DibSection& bitmap,
                                 FrameQuality quality = FrameQuality::kPlain);

}  // namespace tavrel
