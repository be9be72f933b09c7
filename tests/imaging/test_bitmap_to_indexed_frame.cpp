#include "imaging/bitmap_to_indexed_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <vector>

#include "imaging/packed_dib.h"
#include "support/test_bitmaps.h"

namespace tavrel {
namespace {

using test::MakeBitmap;

IndexedFrame Convert(const DibSection& bitmap) {
    IndexedFrame frame;
    EXPECT_TRUE(BitmapToIndexedFrame(bitmap, frame));
    return frame;
}

Rgb Entry(const IndexedFrame& frame, std::size_t i) {
    return {frame.pPalette[3 * i], frame.pPalette[3 * i + 1], frame.pPalette[3 * i + 2]};
}

// Each palette entry must be the truncated mean of the pixels mapped to it, and the octree
// cells of the entries (the leading bits all their pixels share) must not overlap: every
// pixel went into the leaf of its entry. Pixels counted into the wrong leaf break the mean.
void ExpectPaletteMatchesPixels(const IndexedFrame& frame, const std::vector<Rgb>& colours) {
    struct Members {
        int64_t count = 0, sum[3] = {};
        int depth = 8;
        Rgb first;
    };
    const auto sharedBits = [](Rgb a, Rgb b) {
        return std::countl_zero(uint8_t((a.red ^ b.red) | (a.green ^ b.green) | (a.blue ^ b.blue)));
    };
    std::vector<Members> entries(std::size_t{1} << frame.nBitsPerPixel);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        Members& m = entries.at(frame.pIndices[i]);
        const Rgb c = colours[i];
        m.first = m.count++ == 0 ? c : m.first;
        m.depth = std::min(m.depth, sharedBits(c, m.first));
        m.sum[0] += c.red, m.sum[1] += c.green, m.sum[2] += c.blue;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Members& m = entries[i];
        if (m.count == 0) {
            continue;
        }
        const auto mean = [&m](int k) { return uint8_t(m.sum[k] / m.count); };
        EXPECT_EQ(Entry(frame, i), (Rgb{mean(0), mean(1), mean(2)})) << "entry " << i;
        for (std::size_t j = 0; j < i; ++j) {
            if (entries[j].count != 0) {
                EXPECT_LT(sharedBits(m.first, entries[j].first),
                          std::min(m.depth, entries[j].depth))
                    << "the cells of entries " << j << " and " << i << " overlap";
            }
        }
    }
}

TEST(PaletteBitmaps, KeepTheirTableAndReadTheLeftmostPixelFromTheHighBits) {
    struct Case {
        uint16_t bits;
        int32_t width;
        std::vector<uint8_t> topRow;  // filler bits set
        std::vector<uint8_t> indices;
    };
    for (const Case& c : std::vector<Case>{
             {1, 10, {0x9A, 0x7F}, {1, 0, 0, 1, 1, 0, 1, 0, 0, 1}},
             {4, 5, {0xA3, 0x0F, 0x5F}, {0xA, 0x3, 0x0, 0xF, 0x5}},
             {8, 3, {200, 0, 7, 0xFF}, {200, 0, 7}},
         }) {
        DibSection bitmap(c.width, 2, c.bits);
        std::vector<uint8_t> palette(3 * std::max<std::size_t>(8, bitmap.ColourTable().size()));
        for (std::size_t i = 0; i < bitmap.ColourTable().size(); ++i) {
            bitmap.ColourTable()[i] = {uint8_t(i), 100, uint8_t(200 + i), 7};
            palette[3 * i] = uint8_t(200 + i), palette[3 * i + 1] = 100,
                        palette[3 * i + 2] = uint8_t(i);
        }
        test::FillFiller(bitmap, 0xFF);
        std::copy(c.topRow.begin(), c.topRow.end(), bitmap.Row(1));
        const IndexedFrame frame = Convert(bitmap);
        EXPECT_EQ(frame.nBitsPerPixel, std::max(3, int{c.bits})) << c.bits;
        EXPECT_EQ(frame.pPalette, palette) << c.bits;
        std::vector<uint8_t> indices = c.indices;
        indices.resize(2 * c.width, 0);  // the bottom row is all 0
        EXPECT_EQ(frame.pIndices, indices) << c.bits;
    }
}

TEST(QuantisedBitmaps, UpTo256ColoursStayExactAndSetTheBitsWithAMinimumOfThree) {
    for (const auto& [count, bits] :
         std::vector<std::pair<int, int>>{{1, 3}, {9, 4}, {129, 8}, {256, 8}}) {
        std::vector<Rgb> colours;
        for (int i = 0; i < count; ++i) {
            colours.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 3});
        }
        const IndexedFrame frame = Convert(MakeBitmap(count, 1, 24, colours));
        EXPECT_EQ(frame.nBitsPerPixel, bits) << count;
        for (int x = 0; x < count; ++x) {
            EXPECT_EQ(Entry(frame, frame.pIndices[x]), colours[x]);
        }
        EXPECT_EQ(frame.pPalette.size(), 3u << bits);
    }
}

// Neither the row filler, nor the 4th byte of 32-bit pixels, nor the top bit of 16-bit ones.
TEST(AllDepths, BitsOutsideTheColoursAreNeverRead) {
    for (uint16_t bits : {1, 4, 8, 15, 16, 24, 32}) {
        for (int32_t width : {1, 3, 17}) {  // width 1 at 24 bits: rows of 4 bytes
            DibSection bitmap(width, 5, bits);
            for (std::size_t i = 0; i < bitmap.Pixels().size(); ++i) {
                bitmap.Pixels()[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
            }
            test::FillFiller(bitmap, 0);
            const IndexedFrame clean = Convert(bitmap);
            test::FillFiller(bitmap, 0xC3);
            const std::size_t step = bits == 32 ? 4 : bits == 15 || bits == 16 ? 2 : 0;
            for (std::size_t i = step - 1; step != 0 && i < bitmap.Pixels().size(); i += step) {
                bitmap.Pixels()[i] ^= bits == 32 ? 0x5A : 0x80;
            }
            const IndexedFrame dirty = Convert(bitmap);
            EXPECT_EQ(dirty.pIndices, clean.pIndices) << bits << " bits, width " << width;
            EXPECT_EQ(dirty.pPalette, clean.pPalette) << bits << " bits, width " << width;
        }
    }
}

// 15-bit rows are laid out as 16-bit ones: 15 x width bits would be too short from 17 on.
TEST(AllDepths, BusyPicturesGetAPaletteTrueToTheirPixels) {
    for (uint16_t bits : {15, 16, 24, 32}) {
        auto colours = test::PhotoLikeColours(211, 97, bits);
        for (Rgb& c : colours) {
            const uint8_t keep = bits <= 16 ? 0xF8 : 0xFF;
            c = {uint8_t(c.red & keep), uint8_t(c.green & keep), uint8_t(c.blue & keep)};
        }
        SCOPED_TRACE(testing::Message() << bits << " bits");
        ExpectPaletteMatchesPixels(Convert(MakeBitmap(211, 97, bits, colours)), colours);
    }
}

TEST(HostileBitmaps, InconsistentBitmapsAreRefusedAndLeaveTheFrameAlone) {
    const auto parts = [](int32_t width, int32_t height, uint16_t bits, std::size_t entries,
                          std::size_t bytes) {
        return DibSection::FromParts({width, height, 1, bits}, std::vector<RgbQuad>(entries),
                                     std::vector<uint8_t>(bytes));
    };
    for (const DibSection& bitmap :
         {DibSection(), parts(4, 4, 2, 0, 64), parts(0, 4, 24, 0, 64), parts(4, -4, 24, 0, 64),
          parts(4, 4, 24, 0, 47), parts(4, 4, 8, 255, 16),
          parts(INT32_MAX, INT32_MAX, 32, 0, 64)}) {
        for (const FrameQuality quality :
             {FrameQuality::kPlain, FrameQuality::kDither, FrameQuality::kHigh}) {
            IndexedFrame frame;
            frame.nBitsPerPixel = 5;
            frame.pIndices = {1, 2, 3};
            EXPECT_FALSE(BitmapToIndexedFrame(bitmap, frame, quality));
            EXPECT_EQ(frame.nBitsPerPixel, 5);
            EXPECT_EQ(frame.pIndices, (std::vector<uint8_t>{1, 2, 3}));
        }
    }
    Convert(parts(4, 4, 24, 0, 48));
}

TEST(HostileBitmaps, BrokenBlocksAreRefused) {
    const auto block = PackBitmap(DibSection(5, 3, 8)).value();
    const auto converts = [&block](auto change, std::size_t trim = 0) {
        auto copy = block;
        DibInfoHeader header = LoadDibInfoHeader(copy.data());
        change(header);
        StoreDibInfoHeader(header, copy.data());
        IndexedFrame frame;
        return PackedDibToIndexedFrame(copy.data(), copy.size() - trim, frame);
    };
    EXPECT_TRUE(converts([](DibInfoHeader&) {}));
    EXPECT_FALSE(converts([](DibInfoHeader&) {}, 1));
    EXPECT_FALSE(converts([](DibInfoHeader& h) { h.size = 0xFFFFFFF0; }));
    EXPECT_FALSE(converts([](DibInfoHeader& h) { h.size = 40; }));  // in the table
    EXPECT_FALSE(converts([](DibInfoHeader& h) { h.height = 4; }));
    EXPECT_FALSE(converts([](DibInfoHeader& h) { h.width = INT32_MAX; }));
    EXPECT_FALSE(converts([](DibInfoHeader& h) { h.bitCount = 24; }));  // rows too short
}

}  // namespace
}  // namespace tavrel
