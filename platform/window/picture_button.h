// Bitmaps shown on picture buttons.
#pragma once

#include "bitmap/dib_section.h"

class QAbstractButton;

namespace tavrel {

// Shows the bitmap on a picture button, scaled to exactly the button; nullptr shows no
// picture. The button does not own the bitmap: the caller keeps it alive while shown.
void SetButtonBitmap(QAbstractButton* button, const DibSection* bitmap);
// The bitmap the button shows now, or nullptr.
const DibSection* ButtonBitmap(const QAbstractButton* button);

}  // namespace tavrel
