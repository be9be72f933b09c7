// The speed box's texts mapped onto the speed table.
#pragma once

#include <QString>

#include "frames/speed.h"

namespace tavrel {

// "Slow" ("慢"), "Medium" ("中") in the window's language; any other text (the third entry,
// "Fast", "快") fast; exact match.
Speed SpeedForText(const QString& text);

}  // namespace tavrel
