// Frames of many pictures made on several threads and written in picture order. The output
// does not depend on the number of threads, and memory stays bounded by the frames in
// flight (one per thread plus the one being written), whatever the number of pictures.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "frames/frame_maker.h"
#include "gif/output_file.h"
#include "platform/result.h"

namespace tavrel {

struct ParallelOptions {
    int threads = 2;
    // Called on the calling thread before frame n (1-based) is written; returning false
    // stops the run there.
    std::function<bool(int)> onFrame;
};

struct FramesFailure {
    qsizetype picture = -1;  // the picture at fault, or -1 when the run was stopped
    QString reason;
};

// Appends one frame per picture to out, the GIF header first (no trailer). On failure
// returns the first picture in order that could not be made into a frame. A failing write
// raises FileWriteError and exhausted memory std::bad_alloc, after every thread has ended.
std::optional<FramesFailure> AppendFramesFromPictures(const QStringList& pictures, OutputFile& out,
                                                      uint16_t delay, const FrameOptions& frame,
                                                      const ParallelOptions& parallel = {});

}  // namespace tavrel
