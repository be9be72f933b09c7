// BMP files loaded into DibSection bitmaps at a given size, and the loader's true-colour
// stretch, open to callers that hold a decoded picture in memory already.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "bitmap/dib_section.h"

namespace tavrel {

// Loads a BMP file stretched to exactly width x height at the file's own depth (1, 4, 8,
// 16, 24 or 32 bits; for 8 bits or fewer with the full 2^bits colour table). Indexed
// bitmaps are stretched by nearest neighbour (indices kept), true-colour ones are
// resampled smoothly. A null DibSection when the file cannot be read.
DibSection LoadBitmapFromFile(const QString& path, int width, int height);
// The same from the bytes of a BMP file held in memory.
DibSection LoadBitmapFromBytes(QByteArray bytes, int width, int height);

// A picture resampled smoothly (area averaging when shrinking) into a bitmap of bitCount
// (16, 24 or 32) bits; it is first brought to 32-bit RGB. Null for a null picture.
DibSection StretchTrueColourPicture(const QImage& image, uint16_t bitCount, int width, int height);

// The bitmap as a displayable picture (top row first, colours through the colour table).
QImage DibToImage(const DibSection& bitmap);

}  // namespace tavrel
