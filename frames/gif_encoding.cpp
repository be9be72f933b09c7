#include "frames/gif_encoding.h"

#include "gif/gif_writer.h"

namespace tavrel {

void StreamingGifEncoder::Add(GifFrame frame) {
    const IndexedFrame& image = frame.image;
    const auto width = static_cast<uint16_t>(image.nWidth);
    const auto height = static_cast<uint16_t>(image.nHeight);
    if (frames_ == 0) {
        WriteGifHeader(out_, width, height, image.nBitsPerPixel);
    }
    WriteGifFrameAt(
        out_, image.pIndices.data(), image.pPalette.data(), frame.left, frame.top, width, height,
        image.nBitsPerPixel, frame.delay,
        frame.transparent < 0 ? kNoTransparentColour : static_cast<uint16_t>(frame.transparent));
    ++frames_;
}

void StreamingGifEncoder::Finish() {
    WriteGifTrailer(out_);
}

}  // namespace tavrel
