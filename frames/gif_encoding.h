// The run's last stage: the animation's frames, in order, into GIF bytes on an output.
#pragma once

#include <cstdint>

#include "gif/output_file.h"
#include "imaging/indexed_frame.h"

namespace tavrel {

// One frame of the animation as the encoder receives it: the whole screen, or (after the
// first frame) a rectangle of it whose transparent pixels keep what is shown.
struct GifFrame {
    IndexedFrame image;
    uint16_t delay = 0;  // hundredths of a second it is shown
    uint16_t left = 0;   // where the image's top left pixel goes on the screen
    uint16_t top = 0;
    int32_t transparent = -1;  // the index that keeps the pixel below; -1: none
};

// Where the frame sequence sends its frames. Add may raise FileWriteError and
// std::bad_alloc.
class GifFrameSink {
public:
    virtual ~GifFrameSink() = default;
    virtual void Add(GifFrame frame) = 0;
    // After the last frame.
    virtual void Finish() = 0;
};

// Writes each frame as it comes, the GIF header (from the first frame) before it and the
// trailer at the end, so nothing but the frame at hand is held.
class StreamingGifEncoder final : public GifFrameSink {
public:
    explicit StreamingGifEncoder(OutputFile& out) : out_(out) {}
    void Add(GifFrame frame) override;
    void Finish() override;
    int Frames() const { return frames_; }

private:
    OutputFile& out_;
    int frames_ = 0;
};

}  // namespace tavrel
