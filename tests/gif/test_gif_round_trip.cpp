// Whole files from the writer, read back by giflib.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "gif/gif_writer.h"
#include "gif/lossy_lzw_codes.h"
#include "gif_test_support.h"

namespace tavrel {
namespace {

struct Frame {
    uint16_t width, height;
    uint8_t bits;
    std::vector<uint8_t> indices;
    uint16_t delay = 80;

    std::vector<uint8_t> Palette() const {
        std::vector<uint8_t> palette(std::size_t{3} << bits);
        for (std::size_t i = 0; i < palette.size(); ++i) {
            palette[i] = static_cast<uint8_t>(i * 7 + bits);
        }
        return palette;
    }
};

Frame Random(uint16_t width, uint16_t height, uint8_t bits) {
    return {width, height, bits, test::RandomIndices(std::size_t{width} * height, bits, width)};
}

std::vector<uint8_t> WriteFile(const std::vector<Frame>& frames) {
    MemoryOutputFile file;
    WriteGifHeader(file, frames[0].width, frames[0].height, frames[0].bits);
    for (const Frame& f : frames) {
        WriteGifFrame(file, f.indices.data(), f.Palette().data(), f.width, f.height, f.bits,
                      f.delay, kNoTransparentColour);
    }
    WriteGifTrailer(file);
    return file.Bytes();
}

// A one-row frame whose image data fills its last sub-block exactly.
Frame EndingOnASubBlockBoundary() {
    for (uint16_t width = 200;; ++width) {
        const Frame frame = Random(width, 1, 8);
        const std::vector<uint8_t> bytes = WriteFile({frame});
        std::size_t at = 32 + 18 + 768 + 1, lastLength = 0;
        for (; bytes[at] != 0; at += bytes[at] + 1u) {
            lastLength = bytes[at];
        }
        if (lastLength == 255) {
            return frame;
        }
    }
}

// Frames of every bits value (300 x 300 random pixels restart the table several times),
// photo-like and tiny ones, other delays, data ending on a sub-block boundary.
TEST(GifRoundTrip, EveryKindOfFrameReadsBackUnchanged) {
    std::vector<Frame> frames;
    for (uint8_t bits = 8; bits >= 2; --bits) {
        frames.push_back({530, 530, bits, test::PhotoLikeIndices(530, 530, bits, bits)});
        frames.push_back(Random(300, 300, bits));
    }
    frames.insert(frames.end(), {Random(1, 1, 4), Random(2, 1, 6), EndingOnASubBlockBoundary()});
    frames[1].delay = 120;

    const std::vector<uint8_t> bytes = WriteFile(frames);
    const test::DecodedGif gif = test::DecodeWithGiflib(bytes);
    ASSERT_EQ(gif.error, 0);
    EXPECT_EQ(gif.screenWidth, 530);
    ASSERT_EQ(gif.frames.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i << ", bits " << int{frames[i].bits});
        const test::DecodedFrame& read = gif.frames[i];
        EXPECT_EQ(read.width, frames[i].width);
        EXPECT_EQ(read.height, frames[i].height);
        EXPECT_EQ(read.tableBits, frames[i].bits);
        EXPECT_EQ(read.palette, frames[i].Palette());
        EXPECT_TRUE(read.indices == frames[i].indices) << "indices differ";
        EXPECT_EQ(read.delay, frames[i].delay);
        EXPECT_EQ(read.transparent, NO_TRANSPARENT_COLOR);
    }
}

// Lossy codes are plain LZW to giflib, and every pixel shows its own index or a colour within
// the tolerance of the colour it wanted; a tolerance does take codes away, and none keeps the
// exact coder's codes. A transparent index stays exactly where it was, and nowhere else.
TEST(GifRoundTrip, LossyCodesDecodeWithinTheirTolerance) {
    struct Case {
        uint8_t bits;
        bool random;  // random indices restart the table many times
        int32_t tolerance;
        int32_t transparent = -1;
    };
    const Case cases[] = {{8, false, 0},       {8, false, 12},        {8, false, 300},
                          {8, true, 3000},     {4, false, 2000},      {3, true, 5000},
                          {2, false, 1 << 20}, {8, false, 3000, 100}, {2, true, 1 << 20, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bits " << int{c.bits} << ", tolerance " << c.tolerance
                                        << ", transparent " << c.transparent);
        const uint16_t side = 300;
        const std::size_t count = std::size_t{side} * side;
        const std::vector<uint8_t> indices = c.random
                                                 ? test::RandomIndices(count, c.bits, c.bits)
                                                 : test::PhotoLikeIndices(side, side, c.bits, 7);
        // A grey ramp; each pixel wants its own grey give or take a little.
        const int levels = 1 << c.bits;
        std::vector<uint8_t> palette(3 * static_cast<std::size_t>(levels));
        for (std::size_t i = 0; i < palette.size(); ++i) {
            palette[i] = static_cast<uint8_t>(i / 3 * 255 / (levels - 1));
        }
        std::mt19937 noise(5);
        std::vector<uint8_t> wanted(3 * count);
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            const int grey = palette[3 * std::size_t{indices[i / 3]}];
            wanted[i] =
                static_cast<uint8_t>(std::clamp(grey + static_cast<int>(noise() % 5) - 2, 0, 255));
        }
        const LzwCodeList codes = BuildLossyLzwCodes(
            {indices.data(), wanted.data(), palette.data(), count, c.bits, c.transparent},
            c.tolerance);
        const LzwCodeList exact = BuildLzwCodes(indices.data(), count, c.bits);
        if (c.tolerance == 0) {
            EXPECT_EQ(codes.codes, exact.codes);
        } else {
            EXPECT_LT(codes.count, exact.count);
        }

        MemoryOutputFile file;
        WriteGifHeader(file, side, side, c.bits);
        WriteGifFrameCodes(file, codes, palette.data(), 0, 0, side, side, c.bits, 10,
                           kNoTransparentColour);
        WriteGifTrailer(file);
        const test::DecodedGif gif = test::DecodeWithGiflib(file.Bytes());
        ASSERT_EQ(gif.error, 0);
        ASSERT_EQ(gif.frames.size(), 1u);
        const std::vector<uint8_t>& shown = gif.frames[0].indices;
        ASSERT_EQ(shown.size(), count);
        std::size_t strayed = 0;
        std::size_t seeThrough = 0;
        for (std::size_t i = 0; i < count; ++i) {
            int32_t distance = 0;
            for (std::size_t k = 0; k < 3; ++k) {
                const int32_t d = palette[3 * std::size_t{shown[i]} + k] - wanted[3 * i + k];
                distance += d * d;
            }
            strayed += shown[i] != indices[i] && distance > c.tolerance;
            seeThrough += (shown[i] == c.transparent) != (indices[i] == c.transparent);
        }
        EXPECT_EQ(strayed, 0u);
        EXPECT_EQ(seeThrough, 0u);
    }
}

}  // namespace
}  // namespace tavrel
