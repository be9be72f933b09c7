// Bitmaps of every depth through the whole road to a GIF file, read back with giflib.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "gif/gif_writer.h"
#include "gif_test_support.h"
#include "imaging/bitmap_to_indexed_frame.h"
#include "support/test_bitmaps.h"

namespace tavrel {
namespace {

TEST(GifPipeline, FramesOfEveryDepthDecodeToTheirPaletteAndIndices) {
    std::vector<IndexedFrame> frames;
    const std::string path = std::filesystem::temp_directory_path() /
                             ("tavrel_imaging_" + std::to_string(getpid()) + ".gif");
    StdioOutputFile file(path);
    for (uint16_t bits : {24, 1, 4, 8, 15, 16, 32}) {
        DibSection bitmap =
            test::MakeBitmap(530, 530, bits, test::PhotoLikeColours(530, 530, bits));
        for (std::size_t i = 0; i < bitmap.ColourTable().size(); ++i) {
            bitmap.ColourTable()[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i * 5), 9, 0};
        }
        for (std::size_t i = 0; bits <= 8 && i < bitmap.Pixels().size(); ++i) {
            bitmap.Pixels()[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
        }
        IndexedFrame& frame = frames.emplace_back();
        ASSERT_TRUE(BitmapToIndexedFrame(bitmap, frame));
        if (frames.size() == 1) {
            WriteGifHeader(file, 530, 530, frame.nBitsPerPixel);
        }
        WriteGifFrame(file, frame.pIndices.data(), frame.pPalette.data(), 530, 530,
                      frame.nBitsPerPixel, 80, kNoTransparentColour);
    }
    WriteGifTrailer(file);
    file.Close();

    std::ifstream in(path, std::ios::binary);
    const test::DecodedGif gif =
        test::DecodeWithGiflib(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}));
    std::filesystem::remove(path);
    ASSERT_EQ(gif.error, 0);
    EXPECT_EQ(gif.screenWidth, 530);
    EXPECT_FALSE(gif.globalTable);
    ASSERT_EQ(gif.frames.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        EXPECT_EQ(gif.frames[i].height, 530);
        EXPECT_EQ(gif.frames[i].palette, frames[i].pPalette);
        EXPECT_TRUE(gif.frames[i].indices == frames[i].pIndices) << "indices differ";
        EXPECT_EQ(gif.frames[i].delay, 80);
        EXPECT_EQ(gif.frames[i].transparent, NO_TRANSPARENT_COLOR);
    }
}

}  // namespace
}  // namespace tavrel
