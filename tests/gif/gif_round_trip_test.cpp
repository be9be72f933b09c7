// Whole files from the writer, read back by giflib.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <vector>

#include "gif/gif_writer.h"
#include "gif_test_support.h"

namespace tavrel {
namespace {

struct Frame {
    uint16_t width;
    uint16_t height;
    uint8_t bits;
    std::vector<uint8_t> indices;
    std::vector<uint8_t> palette;
    uint16_t delay = 80;
    uint16_t transparent = kNoTransparentColour;
};

Frame RandomFrame(uint16_t width, uint16_t height, uint8_t bits, uint32_t seed) {
    return {width, height, bits, test::RandomIndices(std::size_t{width} * height, bits, seed),
            test::TestPalette(bits, seed)};
}

Frame PhotoFrame(uint16_t width, uint16_t height, uint8_t bits, uint32_t seed) {
    return {width, height, bits, test::PhotoLikeIndices(width, height, bits, seed),
            test::TestPalette(bits, seed)};
}

std::vector<uint8_t> WriteFile(const std::vector<Frame>& frames) {
    MemoryOutputFile file;
    WriteGifHeader(file, frames[0].width, frames[0].height, frames[0].bits);
    for (const Frame& f : frames) {
        WriteGifFrame(file, f.indices.data(), f.palette.data(), f.width, f.height, f.bits, f.delay,
                      f.transparent);
    }
    WriteGifTrailer(file);
    return file.Bytes();
}

void ExpectReadBack(const std::vector<Frame>& frames) {
    const test::DecodedGif gif = test::DecodeWithGiflib(WriteFile(frames));
    ASSERT_EQ(gif.error, 0);
    EXPECT_EQ(gif.screenWidth, frames[0].width);
    EXPECT_EQ(gif.screenHeight, frames[0].height);
    EXPECT_EQ(gif.colourResolution, frames[0].bits);
    EXPECT_FALSE(gif.hasGlobalColourTable);
    EXPECT_EQ(gif.loopCount, 0);
    ASSERT_EQ(gif.frames.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const Frame& written = frames[i];
        const test::DecodedFrame& read = gif.frames[i];
        EXPECT_EQ(read.width, written.width);
        EXPECT_EQ(read.height, written.height);
        EXPECT_EQ(read.colourTableBits, written.bits);
        EXPECT_EQ(read.palette, written.palette);
        EXPECT_TRUE(read.indices == written.indices) << "indices differ";
        EXPECT_EQ(read.delay, written.delay);
        EXPECT_EQ(read.disposal, DISPOSE_DO_NOT);
        const int transparent = written.transparent == kNoTransparentColour ? NO_TRANSPARENT_COLOR
                                                                            : written.transparent;
        EXPECT_EQ(read.transparent, transparent);
    }
}

TEST(GifRoundTrip, EveryBitsValue) {
    for (uint8_t bits = 2; bits <= 8; ++bits) {
        SCOPED_TRACE(testing::Message() << "bits " << int{bits});
        // 300 x 300 random pixels restart the table several times at every bits value.
        ExpectReadBack({RandomFrame(300, 300, bits, bits)});
        ExpectReadBack({PhotoFrame(530, 530, bits, bits + 100u)});
    }
}

TEST(GifRoundTrip, TinyFrames) {
    ExpectReadBack({RandomFrame(1, 1, 3, 1)});
    ExpectReadBack({RandomFrame(2, 1, 8, 2)});
    ExpectReadBack({RandomFrame(1, 2, 5, 3)});
}

TEST(GifRoundTrip, FramesOfDifferentSizesAndBitsInOneFile) {
    std::vector<Frame> frames = {PhotoFrame(530, 530, 8, 1), RandomFrame(200, 90, 5, 2),
                                 PhotoFrame(64, 300, 3, 3), RandomFrame(530, 530, 7, 4),
                                 RandomFrame(1, 1, 4, 5)};
    frames[1].delay = 120;
    frames[2].delay = 40;
    frames[3].transparent = 7;
    ExpectReadBack(frames);
}

// Searches for a frame whose image data fills its last sub-block exactly.
TEST(GifRoundTrip, ImageDataEndingOnASubBlockBoundary) {
    for (uint16_t width = 200; width < 2000; ++width) {
        Frame frame = RandomFrame(width, 1, 8, width);
        MemoryOutputFile file;
        WriteGifFrame(file, frame.indices.data(), frame.palette.data(), width, 1, 8, 80,
                      kNoTransparentColour);
        const std::vector<uint8_t>& bytes = file.Bytes();
        std::size_t at = 18 + 768 + 1;
        std::size_t lastLength = 0;
        while (bytes[at] != 0) {
            lastLength = bytes[at];
            at += bytes[at] + 1u;
        }
        if (lastLength == 255) {
            ExpectReadBack({frame});
            return;
        }
    }
    FAIL() << "no frame width gave data ending on a sub-block boundary";
}

}  // namespace
}  // namespace tavrel
