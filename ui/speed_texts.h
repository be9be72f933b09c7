// The speed box's texts mapped onto the speed table.
#pragma once

#include <QString>

#include "frames/speed.h"

namespace tavrel {

// "慢" slow, "中" medium, any other text (the third entry "快") fast; exact match.
Speed SpeedForText(const QString& text);

}  // namespace tavrel
