// Decoded pictures brought into sRGB, the colour space the frames and the GIF are in, before
// anything else is done with them. A picture without a colour profile, or with an sRGB one,
// is left exactly as it was decoded.
#pragma once

#include <QByteArray>
#include <QColorSpace>
#include <QImage>
#include <QImageIOHandler>
#include <optional>

#include "platform/result.h"

namespace tavrel {

// True for sRGB and for what counts as it: sRGB primaries with a plain gamma of 2.2 (the
// gamma chunk PNG encoders write beside the sRGB one).
bool CountsAsSrgb(const QColorSpace& space);

// The picture in sRGB: through Qt's colour space when Qt read the file's profile, else
// through the embedded RGB profile of a JPEG that only littleCMS reads.
QImage InSrgb(QImage picture, const QByteArray& fileBytes);

// A CMYK JPEG with a CMYK profile, decoded into sRGB and turned upright by orientation;
// nullopt for any other file (Qt's decoder reads those).
std::optional<Result<QImage>> DecodeProfiledCmykJpeg(const QByteArray& fileBytes,
                                                     QImageIOHandler::Transformations orientation);

}  // namespace tavrel
