// The command-line tool's GIF run: each picture decoded and made into a frame in memory,
// two at a time, the frames written in order.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "frames/frame_options.h"

namespace tavrel {

struct MakeGifResult {
    bool ok = false;
    // On failure: the file at fault (a picture or the output) and why.
    QString path;
    QString reason;
};

// Writes a looping GIF at outputPath with one frame per picture, in order, each shown for
// delay hundredths of a second and made as frame says (by default exactly as the dialog
// makes it). Nothing is staged on disk. The output appears only when complete; on any
// failure an earlier file at outputPath is left as it was. onFrame(n) is called before
// frame n (1-based) is written; when it returns false the run stops there (interrupted, no
// path, no file). threads frames are made at a time. The codec layer must be started.
// With maxBytes above 0 every frame is made first and the best-looking GIF of at most
// maxBytes bytes is written; when even the smallest is larger, nothing is written.
MakeGifResult MakeGifFromPictures(const QStringList& picturePaths, const QString& outputPath,
                                  uint16_t delay, const FrameOptions& frame = {},
                                  const std::function<bool(int)>& onFrame = {}, int threads = 2,
                                  uint64_t maxBytes = 0);

}  // namespace tavrel
