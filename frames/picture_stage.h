// The run's first stage: the pictures of a GIF, made on several threads and handed on in
// order, each fitted to the frame size and made into its indexed frame. Memory stays
// bounded by the pictures in flight (one per thread, the one handed on included), whatever
// the number of pictures, and only one huge picture is decoded at a time.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "bitmap/dib_section.h"
#include "frames/frame_options.h"
#include "frames/gif_run.h"
#include "imaging/bitmap_true_colour.h"
#include "imaging/indexed_frame.h"
#include "platform/result.h"

namespace tavrel {

// What the later stages need of each picture.
struct PictureNeeds {
    bool fitted = false;   // the picture at the frame size, before indexing
    bool indexed = true;   // its indexed frame
    bool colours = false;  // its true colours at the frame size, for an encoder that picks
                           // its own palettes (a size limit)
};

// One picture ready for the frame sequence.
struct MadePicture {
    // At the frame size: 24-bit, or for a 1-, 4- or 8-bit picture stretched over the frame,
    // at its own depth with its colour table. Null unless PictureNeeds::fitted.
    DibSection fitted;
    IndexedFrame frame;         // empty unless PictureNeeds::indexed
    TrueColourPicture colours;  // empty unless PictureNeeds::colours
};

class PictureStage {
public:
    // Starts max(1, threads) workers on sources (which must outlive the stage).
    PictureStage(const std::vector<PictureSource>& sources, const FrameOptions& frame,
                 PictureNeeds needs, int threads);
    // Stops the workers and waits for them.
    ~PictureStage();
    PictureStage(const PictureStage&) = delete;
    PictureStage& operator=(const PictureStage&) = delete;

    // Picture i, waiting for it; takes i in order 0, 1, 2, ..., and by taking i gives up
    // every picture before it. Rethrows what a worker raised making it (std::bad_alloc).
    Result<MadePicture> Take(std::size_t i);

private:
    struct Slot {
        std::optional<Result<MadePicture>> made;
        std::exception_ptr error;
    };

    void Work();
    Result<MadePicture> Make(const PictureSource& source);

    const std::vector<PictureSource>& sources_;
    const FrameOptions frame_;
    const PictureNeeds needs_;
    const std::size_t window_;
    std::mutex mutex_;  // guards the fields below it
    std::condition_variable changed_;
    std::vector<Slot> slots_;
    std::size_t next_ = 0;   // the next picture a worker starts
    std::size_t taken_ = 0;  // pictures before this one are handed on and gone
    bool stop_ = false;
    std::mutex hugeDecode_;
    std::vector<std::thread> workers_;
};

}  // namespace tavrel
