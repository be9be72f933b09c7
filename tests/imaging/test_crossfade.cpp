// Crossfades: the blend rule, and whole fades written as GIF, read back by giflib and composed
// as a viewer composes them (disposal, transparency, rectangles), against the rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "gif/gif_writer.h"
#include "gif/output_file.h"
#include "gif_test_support.h"
#include "imaging/crossfade_sequence.h"
#include "imaging/fade_blend.h"
#include "imaging/true_colour_frame.h"

namespace tavrel {
namespace {

struct BlendCase {
    uint8_t a, b;
    int32_t step, steps;
    uint8_t expected;
};

TEST(Crossfade, BlendRoundsEachChannelToTheNearestLevel) {
    const BlendCase cases[] = {
        {0, 255, 1, 1, 128},     // 127.5 rounds up
        {0, 255, 1, 10, 23},     // 255 / 11 = 23.2
        {0, 255, 10, 10, 232},   // 231.8
        {100, 200, 5, 10, 145},  // 145.5 - 0.05
        {255, 0, 3, 4, 102},     // 255 x 2 / 5
        {7, 7, 3, 10, 7},
    };
    for (const BlendCase& c : cases) {
        EXPECT_EQ(BlendChannel(c.a, c.b, c.step, c.steps), c.expected)
            << int{c.a} << " to " << int{c.b} << " step " << c.step << " of " << c.steps;
    }
}

constexpr int32_t kWidth = 64;
constexpr int32_t kHeight = 48;
using Pattern = std::function<Rgb(int32_t x, int32_t y)>;

// Blue, green, red, 0 rows of a pattern.
std::vector<uint8_t> Paint(const Pattern& pattern) {
    std::vector<uint8_t> bytes;
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const Rgb c = pattern(x, y);
            bytes.insert(bytes.end(), {c.blue, c.green, c.red, 0});
        }
    }
    return bytes;
}

uint8_t Level(int32_t v) {
    return static_cast<uint8_t>(v & 0xFF);
}

const Pattern kSky = [](int32_t x, int32_t y) {
    return Rgb{Level(30 + x * 2), Level(60 + y * 3), Level(220 - x - y)};
};
const Pattern kTexture = [](int32_t x, int32_t y) {  // grain over a warm ramp
    const int32_t grain = static_cast<int32_t>((x * 7919U + y * 104729U) * 2654435761U >> 28);
    return Rgb{Level(200 - y * 2 + grain), Level(90 + x + grain), Level(40 + grain * 2)};
};
const Pattern kGrey = [](int32_t, int32_t) { return Rgb{128, 128, 128}; };
const Pattern kGreyWithSquare = [](int32_t x, int32_t y) {
    return x >= 10 && x < 20 && y >= 5 && y < 12 ? Rgb{250, 30, 30} : Rgb{128, 128, 128};
};

struct FadeCase {
    const char* name;
    Pattern from, to;
    int32_t steps;
    int32_t fadeDelay;
    // Bounds of the fade frames' rectangles (left, top, right, bottom, exclusive); none: any.
    std::vector<int32_t> within;
};

// Two pictures, each shown for 80 and faded into the other, as one GIF in memory.
std::vector<uint8_t> FadeGif(const FadeCase& c) {
    MemoryOutputFile file;
    bool first = true;
    CrossfadeSequence sequence(c.steps, 5, c.fadeDelay, 80, [&](PlacedFrame&& placed) {
        const IndexedFrame& f = placed.frame;
        if (first) {
            WriteGifHeader(file, kWidth, kHeight, f.nBitsPerPixel);
            first = false;
        }
        WriteGifFrameAt(file, f.pIndices.data(), f.pPalette.data(),
                        static_cast<uint16_t>(placed.left), static_cast<uint16_t>(placed.top),
                        static_cast<uint16_t>(f.nWidth), static_cast<uint16_t>(f.nHeight),
                        f.nBitsPerPixel, placed.delay,
                        placed.transparent < 0 ? kNoTransparentColour
                                               : static_cast<uint16_t>(placed.transparent));
    });
    for (const Pattern* pattern : {&c.from, &c.to}) {
        const std::vector<uint8_t> pixels = Paint(*pattern);
        const TrueColourView view{pixels.data(), kWidth, kHeight, 4 * kWidth};
        IndexedFrame own;
        EXPECT_TRUE(TrueColourToIndexedFrame(view, FrameQuality::kHigh, own));
        sequence.AddPicture(view, std::move(own));
    }
    sequence.Finish();
    WriteGifTrailer(file);
    return file.Bytes();
}

// The largest difference of one channel's mean over any 4 x 4 block: dithering moves single
// pixels, but a wrong blend weight or a misplaced pixel moves the blocks. Blue counts half:
// the eye sees it least, so colours chosen for fewer bytes may stray twice as far in blue.
int32_t WorstBlockError(const std::vector<uint8_t>& shown, const std::vector<uint8_t>& wanted) {
    int32_t worst = 0;
    for (int32_t by = 0; by < kHeight; by += 4) {
        for (int32_t bx = 0; bx < kWidth; bx += 4) {
            for (int channel = 0; channel < 3; ++channel) {
                int32_t sum = 0;
                for (int32_t y = by; y < by + 4; ++y) {
                    for (int32_t x = bx; x < bx + 4; ++x) {
                        const std::size_t at = 3 * static_cast<std::size_t>(y * kWidth + x);
                        sum += shown[at + channel] - wanted[at + channel];
                    }
                }
                worst = std::max(worst, std::abs(sum) / (channel == 2 ? 32 : 16));
            }
        }
    }
    return worst;
}

std::vector<uint8_t> Blended(const Pattern& from, const Pattern& to, int32_t step, int32_t steps) {
    std::vector<uint8_t> rgb;
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const Rgb a = from(x, y);
            const Rgb b = to(x, y);
            rgb.insert(rgb.end(), {BlendChannel(a.red, b.red, step, steps),
                                   BlendChannel(a.green, b.green, step, steps),
                                   BlendChannel(a.blue, b.blue, step, steps)});
        }
    }
    return rgb;
}

TEST(Crossfade, ViewersComposeTheBlendedFramesAtTheirTimes) {
    const FadeCase cases[] = {
        {"sky into texture", kSky, kTexture, 4, 20, {}},
        {"texture into grey, one frame", kTexture, kGrey, 1, 5, {}},
        {"the last step takes the rest", kSky, kGrey, 3, 17, {}},
        {"a grey into itself changes nothing", kGrey, kGrey, 2, 10, {0, 0, 1, 1}},
        {"only the square changes", kGrey, kGreyWithSquare, 3, 15, {10, 5, 20, 12}},
    };
    constexpr int32_t kBlockTolerance = 6;  // levels; the grain's steps are 16
    for (const FadeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const test::DecodedGif gif = test::DecodeWithGiflib(FadeGif(c));
        ASSERT_EQ(gif.error, 0);
        ASSERT_EQ(gif.frames.size(), 2 * (1 + static_cast<std::size_t>(c.steps)));
        const std::vector<std::vector<uint8_t>> shown = test::ComposeFrames(gif, kHeight);
        int32_t loop = 0;
        for (std::size_t i = 0; i < gif.frames.size(); ++i) {
            const test::DecodedFrame& frame = gif.frames[i];
            loop += frame.delay;
            EXPECT_EQ(frame.disposal, 1) << "frame " << i;  // do not dispose
            const auto step = static_cast<int32_t>(i % (1 + c.steps));
            const bool fromFirst = i <= static_cast<std::size_t>(c.steps);
            const Pattern& from = fromFirst ? c.from : c.to;
            const Pattern& to = fromFirst ? c.to : c.from;
            if (step == 0) {  // a picture's own frame, whole
                EXPECT_EQ(frame.width * frame.height, kWidth * kHeight);
                EXPECT_LE(WorstBlockError(shown[i], Blended(from, from, 1, 1)), kBlockTolerance);
                continue;
            }
            EXPECT_GE(frame.transparent, 0) << "frame " << i;
            EXPECT_LE(WorstBlockError(shown[i], Blended(from, to, step, c.steps)), kBlockTolerance)
                << "frame " << i;
            if (!c.within.empty()) {
                EXPECT_GE(frame.left, c.within[0]);
                EXPECT_GE(frame.top, c.within[1]);
                EXPECT_LE(frame.left + frame.width, c.within[2]);
                EXPECT_LE(frame.top + frame.height, c.within[3]);
            }
        }
        EXPECT_EQ(loop, 2 * (80 + c.fadeDelay));
    }
}

}  // namespace
}  // namespace tavrel
