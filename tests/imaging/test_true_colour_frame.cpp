// True-colour pixels to indexed frames: the nearest-colour search, dithering and the high
// quality mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/high_quality_quantiser.h"
#include "imaging/nearest_colour.h"
#include "imaging/true_colour_frame.h"
#include "support/test_bitmaps.h"

namespace tavrel {
namespace {

// Pixels in the B, G, R, X layout, top row first.
struct Picture {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> bytes;

    Picture(int32_t w, int32_t h, const std::vector<Rgb>& colours) : width(w), height(h) {
        for (const Rgb& c : colours) {
            bytes.insert(bytes.end(), {c.blue, c.green, c.red, 0x5A});
        }
    }
    TrueColourView View() const { return {bytes.data(), width, height, 4 * width}; }
};

IndexedFrame Convert(const Picture& picture, FrameQuality quality) {
    IndexedFrame frame;
    EXPECT_TRUE(TrueColourToIndexedFrame(picture.View(), quality, frame));
    return frame;
}

Rgb ColourAt(const IndexedFrame& frame, std::size_t i) {
    const uint8_t* p = &frame.pPalette[3 * frame.pIndices[i]];
    return {p[0], p[1], p[2]};
}

// A gentle sky: each row spans a few palette colours, so that plain frames band.
std::vector<Rgb> Gradient(int32_t width, int32_t height) {
    std::vector<Rgb> colours;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            colours.push_back({static_cast<uint8_t>(20 + x * 50 / (width - 1)),
                               static_cast<uint8_t>(40 + y * 200 / (height - 1)),
                               static_cast<uint8_t>(230 - (x + y) * 60 / (width + height))});
        }
    }
    return colours;
}

TEST(NearestColour, AgreesWithAFullSearchOnRandomPalettes) {
    std::mt19937 random(5);
    for (const int size : {1, 2, 17, 256}) {
        std::vector<Rgb> palette;
        for (int i = 0; i < size; ++i) {
            // A few duplicates and a tight cluster exercise ties and dense neighbourhoods.
            const auto v = static_cast<uint8_t>(random());
            palette.push_back(i % 7 == 3   ? palette[i / 2]
                              : i % 3 == 0 ? Rgb{v, static_cast<uint8_t>(v + 1), 100}
                                           : Rgb{v, static_cast<uint8_t>(random()),
                                                 static_cast<uint8_t>(random())});
        }
        NearestColour nearest(palette);
        for (int q = 0; q < 20000; ++q) {
            const Rgb x{static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                        static_cast<uint8_t>(q % 2 == 0 ? 100 : random())};
            uint8_t expected = 0;
            for (int i = 1; i < size; ++i) {
                if (ColourDistance(x, palette[i]) < ColourDistance(x, palette[expected])) {
                    expected = static_cast<uint8_t>(i);
                }
            }
            ASSERT_EQ(nearest.Find(x), expected) << "palette of " << size << ", query " << q;
            ASSERT_EQ(nearest.FindFrom(x, static_cast<uint8_t>(q % size)), expected);
        }
    }
}

// The largest mean difference, in levels of one channel, between the frame and the picture
// over any 16 pixels of a row from firstRow on: a band shows as such an offset, a fine
// dither does not.
double WorstBand(const Picture& picture, const IndexedFrame& frame, int32_t firstRow) {
    constexpr int32_t kSpan = 16;
    double worst = 0;
    for (int32_t y = firstRow; y < picture.height; ++y) {
        for (int32_t x = 0; x + kSpan <= picture.width; ++x) {
            int32_t diff[3] = {0, 0, 0};
            for (int32_t i = 0; i < kSpan; ++i) {
                const auto at = static_cast<std::size_t>(y) * picture.width + x + i;
                const Rgb got = ColourAt(frame, at);
                const Rgb want = BgrAt(&picture.bytes[4 * at]);
                diff[0] += got.red - want.red;
                diff[1] += got.green - want.green;
                diff[2] += got.blue - want.blue;
            }
            for (const int32_t d : diff) {
                worst = std::max(worst, std::abs(d) / double{kSpan});
            }
        }
    }
    return worst;
}

// Noise above takes what it can of the palette; the slow ramp below must not band (nor
// catch speckles of far colours when error piles up one way).
TEST(Dithering, SmoothRampShowsNoBands) {
    constexpr int32_t kWidth = 768, kHeight = 64;
    std::mt19937 random(11);
    std::vector<Rgb> colours;
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            colours.push_back(
                y < kHeight / 2
                    ? Rgb{static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                          static_cast<uint8_t>(random())}
                    : Rgb{static_cast<uint8_t>(20 + x / 3), static_cast<uint8_t>(30 + x / 4),
                          static_cast<uint8_t>(250 - x / 5)});
        }
    }
    const Picture picture(kWidth, kHeight, colours);
    // The ramp's first rows take the noise's error and texture; the band test starts below.
    const int32_t ramp = kHeight / 2 + 4;
    EXPECT_GT(WorstBand(picture, Convert(picture, FrameQuality::kPlain), ramp), 8.0);
    EXPECT_LE(WorstBand(picture, Convert(picture, FrameQuality::kHigh), ramp), 3.0);
}

// A flat area whose colour the palette holds stays one index, with a busy gradient beside
// it pushing error across; pictures of few colours keep every pixel's own colour.
TEST(Dithering, FlatAreasThePaletteHoldsStayFlat) {
    std::vector<Rgb> flatBeside = Gradient(256, 64);
    for (std::size_t i = 0; i < flatBeside.size(); ++i) {
        if (i % 256 >= 128) {
            flatBeside[i] = {40, 90, 160};
        }
    }
    std::vector<Rgb> few;
    for (int i = 0; i < 64 * 64; ++i) {
        few.push_back({static_cast<uint8_t>(i / 64 % 4 * 60),
                       static_cast<uint8_t>(i % 64 < 20 ? 0 : 200), 7});
    }
    // The pixels that must keep their own colour: the flat half, or all of them.
    for (const auto& [colours, width, firstKept] :
         {std::tuple{flatBeside, 256, 128}, std::tuple{few, 64, 0}}) {
        const Picture picture(width, int32_t(colours.size()) / width, colours);
        for (const FrameQuality quality : {FrameQuality::kDither, FrameQuality::kHigh}) {
            const IndexedFrame frame = Convert(picture, quality);
            for (std::size_t i = 0; i < colours.size(); ++i) {
                if (int(i) % width >= firstKept) {
                    ASSERT_EQ(ColourAt(frame, i), colours[i]) << width << ": pixel " << i;
                }
            }
        }
    }
}

// Plain is the 32-bit bitmap conversion byte for byte; bitmaps of any depth reach the
// other qualities as the same true colours.
TEST(TrueColourFrame, BitmapsOfEveryDepthMatchTheirTrueColours) {
    const std::vector<Rgb> colours = test::PhotoLikeColours(97, 61, 3);
    const Picture picture(97, 61, colours);
    IndexedFrame expected;
    ASSERT_TRUE(BitmapToIndexedFrame(test::MakeBitmap(97, 61, 32, colours), expected));
    const IndexedFrame plain = Convert(picture, FrameQuality::kPlain);
    EXPECT_EQ(plain.pIndices, expected.pIndices);
    EXPECT_EQ(plain.pPalette, expected.pPalette);
    EXPECT_EQ(plain.nBitsPerPixel, expected.nBitsPerPixel);

    const IndexedFrame high = Convert(picture, FrameQuality::kHigh);
    for (const uint16_t bits : {24, 32}) {
        IndexedFrame frame;
        ASSERT_TRUE(BitmapToIndexedFrame(test::MakeBitmap(97, 61, bits, colours), frame,
                                         FrameQuality::kHigh));
        EXPECT_EQ(frame.pIndices, high.pIndices);
        EXPECT_EQ(frame.pPalette, high.pPalette);
    }
    DibSection grey(9, 5, 8);
    for (std::size_t i = 0; i < grey.ColourTable().size(); ++i) {
        const auto v = static_cast<uint8_t>(i);
        grey.ColourTable()[i] = {v, v, v, 0};
    }
    for (int32_t y = 0; y < 5; ++y) {
        std::fill(grey.Row(y), grey.Row(y) + 9, static_cast<uint8_t>(40 * y));
    }
    IndexedFrame frame;
    ASSERT_TRUE(BitmapToIndexedFrame(grey, frame, FrameQuality::kDither));
    EXPECT_EQ(ColourAt(frame, 0), (Rgb{160, 160, 160}));  // the top row is the last in memory
}

// Quantised once, remapped with fewer colours, weaker or stable dithering: every palette
// entry is used, no more than asked, and the same every time.
TEST(HighQuality, RemapsAtAnyColourCountAndDitherStrength) {
    const Picture picture(173, 131, test::PhotoLikeColours(173, 131, 4));
    struct Case {
        int maxColours;
        float ditherStrength;
        bool stableDither;
    };
    for (const Case& c : std::vector<Case>{{256, 1.0f, false},
                                           {64, 0.5f, false},
                                           {16, 0.0f, false},
                                           {2, 1.0f, false},
                                           {256, 1.0f, true},
                                           {32, 0.3f, true}}) {
        SCOPED_TRACE(testing::Message() << c.maxColours << " colours, strength " << c.ditherStrength
                                        << ", stable " << c.stableDither);
        const QuantisedPicture quantised = QuantiseHighQuality(picture.View(), c.maxColours);
        ASSERT_LE(quantised.palette.size(), static_cast<std::size_t>(c.maxColours));
        const HighQualityOptions options{c.maxColours, c.ditherStrength, c.stableDither};
        const IndexedFrame frame = RemapHighQuality(picture.View(), quantised, options);
        std::set<uint8_t> used(frame.pIndices.begin(), frame.pIndices.end());
        EXPECT_EQ(*used.rbegin() + 1U, used.size());
        EXPECT_LE(used.size(), static_cast<std::size_t>(c.maxColours));
        EXPECT_EQ(BitsForColourCount(static_cast<uint32_t>(used.size())), frame.nBitsPerPixel);
        const IndexedFrame again = RemapHighQuality(
            picture.View(), QuantiseHighQuality(picture.View(), c.maxColours), options);
        EXPECT_EQ(again.pIndices, frame.pIndices);
        EXPECT_EQ(again.pPalette, frame.pPalette);
    }
}

// With the stable dither a pixel's index depends on its own colour and place only: where two
// frames agree, so do their indices, however the rest differs.
TEST(HighQuality, StableDitherKeepsTheIndicesOfUnchangedPixels) {
    std::vector<Rgb> colours = test::PhotoLikeColours(120, 90, 8);
    const Picture before(120, 90, colours);
    std::mt19937 random(3);
    for (std::size_t i = colours.size() / 2; i < colours.size(); ++i) {
        colours[i].red = static_cast<uint8_t>(random());
    }
    const Picture after(120, 90, colours);
    const QuantisedPicture quantised = QuantiseHighQuality(before.View(), 256);
    HighQualityOptions options;
    options.stableDither = true;
    QuantisedPicture shared = QuantiseHighQuality(after.View(), 256);
    shared.palette = quantised.palette;
    const IndexedFrame first = RemapHighQuality(before.View(), quantised, options);
    const IndexedFrame second = RemapHighQuality(after.View(), shared, options);
    for (std::size_t i = 0; i < colours.size() / 2; ++i) {
        ASSERT_EQ(ColourAt(first, i), ColourAt(second, i)) << "pixel " << i;
    }
}

}  // namespace
}  // namespace tavrel
