#include "frames/gif_encoding.h"

#include <utility>

#include "gif/gif_writer.h"

namespace tavrel {

void StreamingGifEncoder::Add(GifFrame frame) {
    const IndexedFrame& image = frame.image;
    const auto width = static_cast<uint16_t>(image.nWidth);
    const auto height = static_cast<uint16_t>(image.nHeight);
    if (frames_ == 0) {
        WriteGifHeader(out_, width, height, image.nBitsPerPixel);
    }
    WriteGifFrame(out_, image.pIndices.data(), image.pPalette.data(), width, height,
                  image.nBitsPerPixel, frame.delay, kNoTransparentColour);
    ++frames_;
}

void StreamingGifEncoder::Finish() {
    WriteGifTrailer(out_);
}

void BudgetGifEncoder::Add(GifFrame frame) {
    frames_.push_back({std::move(frame.colours), frame.delay});
}

BudgetOutcome BudgetGifEncoder::Encode() const {
    return EncodeWithinBudget(frames_, maxBytes_, threads_);
}

}  // namespace tavrel
