// CMYK JPEGs with a colour profile, decoded by libjpeg as CMYK and converted into sRGB by
// their profile (Qt's own decoder turns CMYK into RGB without one).
#pragma once

#include <QByteArray>
#include <QImage>

#include "platform/icc_transform.h"
#include "platform/result.h"

namespace tavrel {

// The picture as QImage::Format_RGB32, as stored (no EXIF orientation applied). Raises
// std::bad_alloc when memory runs out.
Result<QImage> DecodeCmykJpeg(const QByteArray& jpeg, const IccToSrgb& toSrgb);

}  // namespace tavrel
