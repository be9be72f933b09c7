// What the preview surface shows while no show runs: an empty film frame with a play symbol,
// so that it does not look like a sixth picture slot.
#pragma once

#include "bitmap/dib_section.h"

namespace tavrel {

DibSection MakePreviewPlaceholder(int width, int height);

}  // namespace tavrel
