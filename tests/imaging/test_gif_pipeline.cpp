// Bitmaps through the whole road to a GIF file, read back with giflib.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/gif_pipeline.h"
#include "support/test_bitmaps.h"

namespace tavrel {
namespace {

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

class GifPipeline : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove(path_); }

    // Writes the bitmaps to a file, decodes it and checks it against the frames written.
    void WriteAndCheck(const std::vector<DibSection>& bitmaps, uint16_t delay) {
        const auto frames = test::WriteGifFile(path_, bitmaps, delay);
        ASSERT_EQ(frames.size(), bitmaps.size());

        int error = 0;
        GifHandle gif(DGifOpenFileName(path_.c_str(), &error));
        ASSERT_TRUE(gif) << GifErrorString(error);
        ASSERT_EQ(DGifSlurp(gif.get()), GIF_OK) << GifErrorString(gif->Error);
        ASSERT_EQ(gif->ImageCount, static_cast<int>(frames.size()));
        EXPECT_EQ(gif->SWidth, frames[0].nWidth);
        EXPECT_EQ(gif->SHeight, frames[0].nHeight);
        EXPECT_EQ(gif->SColorMap, nullptr);

        for (int i = 0; i < gif->ImageCount; ++i) {
            SCOPED_TRACE("frame " + std::to_string(i));
            const SavedImage& image = gif->SavedImages[i];
            const IndexedFrame& frame = frames[i];
            ASSERT_EQ(image.ImageDesc.Width, frame.nWidth);
            ASSERT_EQ(image.ImageDesc.Height, frame.nHeight);
            ASSERT_NE(image.ImageDesc.ColorMap, nullptr);
            EXPECT_EQ(image.ImageDesc.ColorMap->ColorCount, 1 << frame.nBitsPerPixel);
            GraphicsControlBlock control;
            ASSERT_EQ(DGifSavedExtensionToGCB(gif.get(), i, &control), GIF_OK);
            EXPECT_EQ(control.DelayTime, delay);
            EXPECT_EQ(control.TransparentColor, NO_TRANSPARENT_COLOR);

            const GifColorType* colours = image.ImageDesc.ColorMap->Colors;
            std::size_t wrong = 0;
            for (std::size_t p = 0; p < frame.pIndices.size(); ++p) {
                const GifColorType& decoded = colours[image.RasterBits[p]];
                const uint8_t* expected = &frame.pPalette[3 * frame.pIndices[p]];
                wrong += image.RasterBits[p] != frame.pIndices[p] || decoded.Red != expected[0] ||
                         decoded.Green != expected[1] || decoded.Blue != expected[2];
            }
            EXPECT_EQ(wrong, 0u);
        }
    }

    std::string path_ = (std::filesystem::temp_directory_path() /
                         ("tavrel_imaging_" + std::to_string(getpid()) + ".gif"))
                            .string();
};

TEST_F(GifPipeline, FramesOfEveryDepthDecodeToTheirPaletteColours) {
    std::vector<DibSection> bitmaps;
    bitmaps.push_back(test::MakeBitmap(530, 530, 24, test::PhotoLikeColours(530, 530, 1)));
    for (uint16_t bits : {1, 4, 8, 15, 16, 32}) {
        DibSection bitmap =
            test::MakeBitmap(530, 530, bits, test::PhotoLikeColours(530, 530, bits));
        for (std::size_t i = 0; i < bitmap.ColourTable().size(); ++i) {
            bitmap.ColourTable()[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i * 5), 9, 0};
        }
        for (std::size_t i = 0; bits <= 8 && i < bitmap.Pixels().size(); ++i) {
            bitmap.Pixels()[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
        }
        bitmaps.push_back(std::move(bitmap));
    }
    WriteAndCheck(bitmaps, 80);
}

TEST_F(GifPipeline, AnUnconvertibleBitmapStopsTheRun) {
    std::vector<DibSection> bitmaps;
    bitmaps.push_back(test::MakeBitmap(4, 4, 24, std::vector<Rgb>(16, {1, 2, 3})));
    bitmaps.push_back(DibSection());
    MemoryOutputFile out;
    EXPECT_TRUE(test::WriteGif(out, bitmaps, 40).empty());
    EXPECT_NE(out.Bytes().back(), 0x3B);
}

}  // namespace
}  // namespace tavrel
