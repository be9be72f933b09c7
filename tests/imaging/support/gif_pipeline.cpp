#include "support/gif_pipeline.h"

#include "gif/gif_writer.h"
#include "imaging/bitmap_to_indexed_frame.h"

namespace tavrel::test {

std::vector<IndexedFrame> WriteGif(OutputFile& out, const std::vector<DibSection>& bitmaps,
                                   uint16_t delay) {
    std::vector<IndexedFrame> frames;
    for (const DibSection& bitmap : bitmaps) {
        IndexedFrame frame;
        if (!BitmapToIndexedFrame(bitmap, frame)) {
            return {};
        }
        const auto width = static_cast<uint16_t>(frame.nWidth);
        const auto height = static_cast<uint16_t>(frame.nHeight);
        if (frames.empty()) {
            WriteGifHeader(out, width, height, frame.nBitsPerPixel);
        }
        WriteGifFrame(out, frame.pIndices.data(), frame.pPalette.data(), width, height,
                      frame.nBitsPerPixel, delay, kNoTransparentColour);
        frames.push_back(std::move(frame));
    }
    WriteGifTrailer(out);
    return frames;
}

std::vector<IndexedFrame> WriteGifFile(const std::string& path,
                                       const std::vector<DibSection>& bitmaps, uint16_t delay) {
    StdioOutputFile file(path);
    auto frames = WriteGif(file, bitmaps, delay);
    file.Close();
    return frames;
}

}  // namespace tavrel::test
