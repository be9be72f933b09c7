// Where a picture lands in a frame for each fit mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "imaging/frame_fit.h"

namespace tavrel {
namespace {

TEST(FrameFit, KnownPlacements) {
    struct Case {
        int32_t sw, sh, fw, fh;
        FitMode mode;
        PixelRect source, destination;
    };
    const Case cases[] = {
        {1920, 1080, 530, 530, FitMode::kStretch, {0, 0, 1920, 1080}, {0, 0, 530, 530}},
        {1920, 1080, 530, 530, FitMode::kContain, {0, 0, 1920, 1080}, {0, 116, 530, 298}},
        {1080, 1920, 530, 530, FitMode::kContain, {0, 0, 1080, 1920}, {116, 0, 298, 530}},
        {1920, 1080, 530, 530, FitMode::kCover, {420, 0, 1080, 1080}, {0, 0, 530, 530}},
        {1080, 1920, 530, 530, FitMode::kCover, {0, 420, 1080, 1080}, {0, 0, 530, 530}},
        {640, 480, 640, 480, FitMode::kContain, {0, 0, 640, 480}, {0, 0, 640, 480}},
        {1, 4000, 530, 530, FitMode::kContain, {0, 0, 1, 4000}, {264, 0, 1, 530}},
        {1, 4000, 530, 530, FitMode::kCover, {0, 1999, 1, 1}, {0, 0, 530, 530}},
        {1920, 1080, 1, 1, FitMode::kContain, {0, 0, 1920, 1080}, {0, 0, 1, 1}},
        {1920, 1080, 1, 1, FitMode::kCover, {420, 0, 1080, 1080}, {0, 0, 1, 1}},
        {4, 3, 7, 3, FitMode::kContain, {0, 0, 4, 3}, {1, 0, 4, 3}},
        {4, 3, 7, 3, FitMode::kCover, {0, 0, 4, 2}, {0, 0, 7, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << " in " << c.fw << "x" << c.fh
                                        << " mode " << static_cast<int>(c.mode));
        const FramePlacement place = PlaceInFrame(c.sw, c.sh, c.fw, c.fh, c.mode);
        EXPECT_EQ(place.source, c.source);
        EXPECT_EQ(place.destination, c.destination);
    }
}

// Random sizes from 1 to 4096: contain keeps the proportions within one pixel and centres
// the picture; cover fills the frame and crops the same from both sides.
TEST(FrameFit, ProportionsAndCentringHoldForAnySize) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int32_t> side(1, 4096);
    for (int i = 0; i < 20000; ++i) {
        const int32_t sw = side(random), sh = side(random), fw = side(random), fh = side(random);
        SCOPED_TRACE(testing::Message() << sw << "x" << sh << " in " << fw << "x" << fh);

        const PixelRect d = PlaceInFrame(sw, sh, fw, fh, FitMode::kContain).destination;
        ASSERT_TRUE(d.x >= 0 && d.y >= 0 && d.width >= 1 && d.height >= 1);
        ASSERT_TRUE(d.x + d.width <= fw && d.y + d.height <= fh);
        ASSERT_TRUE(d.width == fw || d.height == fh);
        ASSERT_LE(std::abs((fw - d.x - d.width) - d.x), 1);
        ASSERT_LE(std::abs((fh - d.y - d.height) - d.y), 1);
        // Proportions: the scaled side is the exact one rounded (or 1), so off by at most a
        // pixel of the frame, that is one source side's length in this cross product.
        ASSERT_LE(std::abs(int64_t{d.width} * sh - int64_t{d.height} * sw),
                  d.width == fw ? sw : sh);

        const PixelRect s = PlaceInFrame(sw, sh, fw, fh, FitMode::kCover).source;
        ASSERT_TRUE(s.x >= 0 && s.y >= 0 && s.width >= 1 && s.height >= 1);
        ASSERT_TRUE(s.x + s.width <= sw && s.y + s.height <= sh);
        ASSERT_TRUE(s.width == sw || s.height == sh);
        ASSERT_LE(std::abs((sw - s.x - s.width) - s.x), 1);
        ASSERT_LE(std::abs((sh - s.y - s.height) - s.y), 1);
        ASSERT_LE(std::abs(int64_t{s.width} * fh - int64_t{s.height} * fw),
                  (s.width == sw ? fw : fh));
    }
}

}  // namespace
}  // namespace tavrel
