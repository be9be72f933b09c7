// The choices of how the window makes its GIF, remembered between starts in the user's
// configuration folder ($XDG_CONFIG_HOME/tavrel/tavrel.conf, by default ~/.config).
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "frames/gif_run.h"

namespace tavrel {

struct WindowChoices {
    bool keepAspect = false;   // frames contained on the dialog's background, not stretched
    bool highQuality = false;  // the high frame quality
    uint64_t maxBytes = 0;     // the file's size limit; 0: none
    bool crossfade = false;    // half a second's fade from each picture into the next

    bool operator==(const WindowChoices&) const = default;
};

// The crossfade the choice stands for, in hundredths of a second.
inline constexpr int kCrossfadeCentiseconds = 50;

// The size limits offered, smallest last; 0 (no limit) first. Decimal units.
inline constexpr uint64_t kSizeLimits[] = {0,         500'000,    1'000'000, 2'000'000,
                                           5'000'000, 10'000'000, 15'000'000};
// The texts for kSizeLimits, in the window's language.
QStringList SizeLimitTexts();

// The remembered choices; the defaults when none are stored or a stored size is not offered.
WindowChoices LoadWindowChoices();
void SaveWindowChoices(const WindowChoices& choices);

// A size for the user: "830 kB", "1.2 MB" (decimal units, one decimal below 10 MB).
QString ShownFileSize(uint64_t bytes);

}  // namespace tavrel
