#include "frames/gif_encoding.h"

#include <algorithm>
#include <utility>

#include "gif/gif_writer.h"
#include "gif/lossy_lzw_codes.h"

namespace tavrel {

void StreamingGifEncoder::Add(GifFrame frame) {
    const IndexedFrame& image = frame.image;
    const auto width = static_cast<uint16_t>(image.nWidth);
    const auto height = static_cast<uint16_t>(image.nHeight);
    if (frames_ == 0) {
        WriteGifHeader(out_, width, height, image.nBitsPerPixel);
    }
    const uint16_t transparent =
        frame.transparent < 0 ? kNoTransparentColour : static_cast<uint16_t>(frame.transparent);
    if (frame.transparent < 0 || kChangeLossyTolerance <= 0) {
        WriteGifFrameAt(out_, image.pIndices.data(), image.pPalette.data(), frame.left, frame.top,
                        width, height, image.nBitsPerPixel, frame.delay, transparent);
    } else {
        // A change to the screen: its runs may stray a little from the colours stored.
        std::vector<uint8_t> wanted(3 * image.pIndices.size());
        for (std::size_t i = 0; i < image.pIndices.size(); ++i) {
            std::copy_n(image.pPalette.data() + 3 * std::size_t{image.pIndices[i]}, 3,
                        wanted.data() + 3 * i);
        }
        const LossyLzwFrame lossy{image.pIndices.data(), wanted.data(),       image.pPalette.data(),
                                  image.pIndices.size(), image.nBitsPerPixel, frame.transparent};
        WriteGifFrameCodes(out_, BuildLossyLzwCodes(lossy, kChangeLossyTolerance),
                           image.pPalette.data(), frame.left, frame.top, width, height,
                           image.nBitsPerPixel, frame.delay, transparent);
    }
    ++frames_;
}

void StreamingGifEncoder::Finish() {
    WriteGifTrailer(out_);
}

void BudgetGifEncoder::Add(GifFrame frame) {
    BudgetFrame kept;
    kept.picture = std::move(frame.colours);
    kept.delay = frame.delay;
    if (frame.transparent >= 0) {  // a change to the screen: kept as made
        kept.made = std::move(frame.image);
        kept.left = frame.left;
        kept.top = frame.top;
        kept.transparent = frame.transparent;
    }
    frames_.push_back(std::move(kept));
}

BudgetOutcome BudgetGifEncoder::Encode() const {
    return EncodeWithinBudget(frames_, maxBytes_, threads_);
}

}  // namespace tavrel
