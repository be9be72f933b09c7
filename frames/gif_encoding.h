// The run's last stage: the animation's frames, in order, into GIF bytes on an output.
#pragma once

#include <cstdint>
#include <vector>

#include "frames/gif_budget.h"
#include "gif/output_file.h"
#include "imaging/bitmap_true_colour.h"
#include "imaging/indexed_frame.h"

namespace tavrel {

// One frame of the animation as the encoder receives it: the whole screen, or (after the
// first frame) a rectangle of it whose transparent pixels keep what is shown.
struct GifFrame {
    IndexedFrame image;  // empty when the encoder picks the colours
    uint16_t delay = 0;  // hundredths of a second it is shown
    uint16_t left = 0;   // where the image's top left pixel goes on the screen
    uint16_t top = 0;
    int32_t transparent = -1;   // the index that keeps the pixel below; -1: none
    TrueColourPicture colours;  // for an encoder that picks the colours, else empty
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

// Keeps every frame's true colours; once all are in, makes the best-looking GIF of them
// within a number of bytes (see EncodeWithinBudget). Nothing is written on the way.
class BudgetGifEncoder final : public GifFrameSink {
public:
    BudgetGifEncoder(uint64_t maxBytes, int threads) : maxBytes_(maxBytes), threads_(threads) {}
    void Add(GifFrame frame) override;
    void Finish() override {}
    int Frames() const { return static_cast<int>(frames_.size()); }
    // The whole file, or the smallest size reached when even that is above the limit.
    BudgetOutcome Encode() const;

private:
    uint64_t maxBytes_;
    int threads_;
    std::vector<BudgetFrame> frames_;
};

}  // namespace tavrel
