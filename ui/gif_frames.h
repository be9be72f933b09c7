// The frame step shared by the dialog's generation command and the command-line tool:
// one staged BMP copy becomes one GIF frame.
#pragma once

#include <QString>
#include <cstdint>

#include "gif/output_file.h"

namespace tavrel {

// Delay in hundredths of a second for a speed text: "慢" 120, "中" 80, anything else 40.
uint16_t GifDelayForSpeed(const QString& speed);
// Preview interval in milliseconds for a speed text: "慢" 1200, "中" 800, anything else 400.
int PreviewIntervalForSpeed(const QString& speed);

// Loads the BMP at bmpPath stretched to width x height, converts it to an indexed frame
// and appends it to out with the given delay and no transparent colour, writing the GIF
// header first when headerWritten is false (and then setting it). Returns false, having
// written nothing, when the BMP cannot be loaded or converted. A failing write raises
// FileWriteError; an exhausted allocator raises std::bad_alloc.
bool AppendBmpFrame(OutputFile& out, const QString& bmpPath, int width, int height, uint16_t delay,
                    bool& headerWritten);

}  // namespace tavrel
