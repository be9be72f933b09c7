// A lean BMP encoder for 32-bit RGB pictures: the staging path writes a 1920 x 1080 photo in a
// few milliseconds, where the general image writer converts row by row.
#pragma once

#include <QByteArray>
#include <QImage>

namespace tavrel {

// The whole BMP file (24 bits per pixel, bottom-up, classic 40-byte header) of an RGB32 or
// ARGB32 picture (alpha ignored); an empty array for any other format.
QByteArray EncodeBmp24(const QImage& image);

}  // namespace tavrel
