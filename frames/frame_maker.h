// One picture's road to a GIF frame: picture file -> decoded picture -> stretched bitmap ->
// indexed frame -> frame record in the GIF. Each step is usable on its own, so other ways of
// stretching or quantising can take the place of one step.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

#include "frames/frame_options.h"
#include "gif/output_file.h"
#include "imaging/bitmap_true_colour.h"
#include "imaging/indexed_frame.h"
#include "platform/dib_section.h"
#include "platform/result.h"

namespace tavrel {

// Reads a picture file as the dialog stages it (see LoadPicture). Thread-safe.
Result<QImage> DecodePicture(const QString& path);

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

// The three steps above in one, from a picture file or its bytes (see ReadPicture).
// Thread-safe.
Result<IndexedFrame> MakeFrameFromPicture(const QString& path, const FrameOptions& options);
Result<IndexedFrame> MakeFrameFromPictureBytes(const QByteArray& bytes,
                                               const FrameOptions& options);
// The dialog's road: a staged BMP copy loaded at the frame size (placed by the fit) and
// indexed.
Result<IndexedFrame> MakeFrameFromStagedBmp(const QString& bmpPath, const FrameOptions& options);

// The frame's true colours, for steps that choose their own palette (a size limit): the
// picture file decoded and fitted as MakeFrameFromPicture would, not reduced. Thread-safe.
Result<TrueColourPicture> MakeTrueColourFrameFromPicture(const QString& path,
                                                         const FrameOptions& options);

// Appends the frame with the given delay and no transparent colour, writing the GIF header
// from this frame first when headerWritten is false (and then setting it). A failing write
// raises FileWriteError.
void WriteFrame(OutputFile& out, const IndexedFrame& frame, uint16_t delay, bool& headerWritten);

}  // namespace tavrel
