// Bitmap files loaded into DibSection bitmaps, and bitmaps shown on picture buttons.
#pragma once

#include <QPixmap>
#include <QString>
#include <optional>

#include "platform/dib_section.h"

class QAbstractButton;

namespace tavrel {

// Loads a BMP file stretched to exactly width x height at the file's own depth (1, 4, 8,
// 16, 24 or 32 bits; for 8 bits or fewer with the full 2^bits colour table). Indexed
// bitmaps are stretched by nearest neighbour (indices kept), true-colour ones are
// resampled smoothly. A null DibSection when the file cannot be read.
DibSection LoadBitmapFromFile(const QString& path, int width, int height);
// The same for the bytes of a BMP file held in memory.
DibSection LoadBitmapFromBytes(QByteArray bytes, int width, int height);

// False when the bytes are a BMP file whose pixel data ends before its header says: plain
// rows cut short, a run-length stream that runs past the end of the file or stops before its
// end marker (or its last row). True for anything else, including what is no BMP at all.
bool BmpPixelDataComplete(const QByteArray& file);
// The picture size a BMP file's header declares (Qt's reader gives none for huge sizes).
std::optional<QSize> BmpDeclaredSize(const QByteArray& file);

// The bitmap as a displayable picture (top row first, colours through the colour table).
QImage DibToImage(const DibSection& bitmap);

// Shows the bitmap on a picture button, scaled to exactly the button; nullptr shows no
// picture. The button does not own the bitmap: the caller keeps it alive while shown.
void SetButtonBitmap(QAbstractButton* button, const DibSection* bitmap);
// The bitmap the button shows now, or nullptr.
const DibSection* ButtonBitmap(const QAbstractButton* button);

}  // namespace tavrel
