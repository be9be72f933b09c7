// The window's staged BMP copy of a slot's picture, loaded at a given size as its frames,
// thumbnails and preview show it.
#pragma once

#include <QByteArray>
#include <QString>

#include "bitmap/dib_section.h"
#include "frames/frame_options.h"

namespace tavrel {

// The staged copy's bytes at frame.width x frame.height: stretched as the BMP loader
// stretches (true colour resampled smoothly, 1-, 4- and 8-bit bitmaps by nearest neighbour
// with their indices kept), or, for contain and cover, resampled into its place on
// frame.background. Null when the bytes are not a readable picture. Thread-safe.
DibSection FitStagedCopy(QByteArray bytes, const FrameOptions& frame);

// The same, read from the file at path.
DibSection LoadStagedCopy(const QString& path, const FrameOptions& frame);

}  // namespace tavrel
