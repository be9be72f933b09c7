// How large a picture may be. The gate works on the size a file declares, before any pixel
// memory is taken, so a small file claiming a huge picture costs nothing.
#pragma once

#include <QSize>
#include <QtGlobal>

#include "platform/result.h"

namespace tavrel {

// 100 megapixels: a 12240 x 8160 camera picture, a 48-megapixel phone photo twice over.
inline constexpr qint64 kMaxPicturePixels = 100'000'000;

// The widest decoded form: 16 bits per channel with alpha (a 16-bit PNG) takes 8 bytes a pixel.
inline constexpr qint64 kMaxDecodedBytesPerPixel = 8;

// The largest picture file read: a picture at the limit, stored without compression in the
// widest form, plus room for metadata.
inline constexpr qint64 kMaxPictureFileBytes =
    kMaxPicturePixels * kMaxDecodedBytesPerPixel + 64 * 1024 * 1024;

// Lets Qt's decoders allocate a picture at the limit in its widest form; Qt's own default of
// 128 MiB refuses a 48-megapixel photo. Call once before decoding.
void AllowPicturesUpToTheLimit();

// Done when a picture of that declared size may be decoded, otherwise a failure naming the
// size and the limit. A negative side counts by its length; an unknown
// size (-1 x -1) passes, and Qt's allocation limit still stands behind it.
Result<Done> CheckDeclaredSize(QSize declared);

}  // namespace tavrel
