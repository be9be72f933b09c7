// The three playback speeds: how long a GIF frame is shown and how fast the preview steps.
#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>

namespace tavrel {

enum class Speed { kSlow, kMedium, kFast };

// "slow", "medium" or "fast" (exact, lower case); nullopt for anything else.
std::optional<Speed> SpeedFromName(QStringView name);

// Frame delay in hundredths of a second: 120, 80 or 40.
uint16_t GifDelayFor(Speed speed);
// Preview step in milliseconds: the same time as the GIF frame.
int PreviewIntervalMsFor(Speed speed);

}  // namespace tavrel
