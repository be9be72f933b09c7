#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>

#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/packed_dib.h"
#include "support/reference_octree.h"
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

Rgb ColourAt(const IndexedFrame& frame, int32_t x, int32_t y) {
    return Entry(frame, frame.pIndices[static_cast<std::size_t>(y) * frame.nWidth + x]);
}

void ExpectSameFrame(const IndexedFrame& a, const IndexedFrame& b) {
    EXPECT_EQ(a.nWidth, b.nWidth);
    EXPECT_EQ(a.nHeight, b.nHeight);
    EXPECT_EQ(a.nBitsPerPixel, b.nBitsPerPixel);
    EXPECT_EQ(a.pIndices, b.pIndices);
    EXPECT_EQ(a.pPalette, b.pPalette);
}

TEST(PaletteBitmaps, OneBitKeepsItsTwoColoursAndReadsTheHighBitFirst) {
    DibSection bitmap(10, 2, 1);
    bitmap.ColourTable()[1] = {255, 255, 255, 0};
    const std::vector<uint8_t> top = {1, 0, 0, 1, 1, 0, 1, 0, 0, 1};
    for (int32_t x = 0; x < 10; ++x) {
        test::SetIndex(bitmap, x, 0, top[x]);
    }
    test::FillFiller(bitmap, 0xFF);
    const IndexedFrame frame = Convert(bitmap);
    EXPECT_EQ(frame.nBitsPerPixel, 3);
    std::vector<uint8_t> palette(24, 0);
    palette[3] = palette[4] = palette[5] = 255;
    EXPECT_EQ(frame.pPalette, palette);
    EXPECT_EQ(std::vector<uint8_t>(frame.pIndices.begin(), frame.pIndices.begin() + 10), top);
    EXPECT_EQ(std::vector<uint8_t>(frame.pIndices.begin() + 10, frame.pIndices.end()),
              std::vector<uint8_t>(10, 0));
}

TEST(PaletteBitmaps, FourAndEightBitKeepTheirWholeTable) {
    DibSection four(5, 1, 4);
    for (int i = 0; i < 16; ++i) {
        four.ColourTable()[i] = {static_cast<uint8_t>(i), 100, static_cast<uint8_t>(200 + i), 7};
    }
    four.Row(0)[0] = 0xA3;
    four.Row(0)[1] = 0x0F;
    four.Row(0)[2] = 0x5E;  // the low nibble is filler
    IndexedFrame frame = Convert(four);
    EXPECT_EQ(frame.nBitsPerPixel, 4);
    EXPECT_EQ(frame.pIndices, (std::vector<uint8_t>{0xA, 0x3, 0x0, 0xF, 0x5}));
    EXPECT_EQ(Entry(frame, 15), (Rgb{215, 100, 15}));

    DibSection eight(3, 2, 8);
    eight.ColourTable()[255] = {1, 2, 3, 0};
    test::SetIndex(eight, 0, 0, 200);
    test::SetIndex(eight, 2, 1, 7);
    frame = Convert(eight);
    EXPECT_EQ(frame.nBitsPerPixel, 8);
    EXPECT_EQ(frame.pPalette.size(), 768u);
    EXPECT_EQ(Entry(frame, 255), (Rgb{3, 2, 1}));
    EXPECT_EQ(frame.pIndices, (std::vector<uint8_t>{200, 0, 0, 0, 0, 7}));
}

TEST(QuantisedBitmaps, OneColourGivesOneEntryAndThreeBits) {
    const IndexedFrame frame = Convert(MakeBitmap(7, 5, 24, std::vector<Rgb>(35, {12, 34, 56})));
    EXPECT_EQ(frame.nWidth, 7);
    EXPECT_EQ(frame.nHeight, 5);
    EXPECT_EQ(frame.nBitsPerPixel, 3);
    std::vector<uint8_t> palette(24, 0);
    palette[0] = 12, palette[1] = 34, palette[2] = 56;
    EXPECT_EQ(frame.pPalette, palette);
    EXPECT_EQ(frame.pIndices, std::vector<uint8_t>(35, 0));
}

TEST(QuantisedBitmaps, UpTo256ColoursStayExactAndSetTheBitsWithAMinimumOfThree) {
    for (const auto& [count, bits] : std::vector<std::pair<int, int>>{
             {8, 3}, {9, 4}, {16, 4}, {17, 5}, {64, 6}, {128, 7}, {129, 8}, {256, 8}}) {
        std::vector<Rgb> colours;
        for (int i = 0; i < count; ++i) {
            colours.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 3});
        }
        const IndexedFrame frame = Convert(MakeBitmap(count, 1, 24, colours));
        EXPECT_EQ(frame.nBitsPerPixel, bits) << count;
        EXPECT_EQ(std::set<uint8_t>(frame.pIndices.begin(), frame.pIndices.end()).size(),
                  static_cast<std::size_t>(count));
        for (int x = 0; x < count; ++x) {
            EXPECT_EQ(ColourAt(frame, x, 0), colours[x]);
        }
    }
}

TEST(QuantisedBitmaps, IndicesRunFromTheTopRow) {
    std::vector<Rgb> colours(6 * 4, {0, 0, 255});
    std::fill(colours.begin(), colours.begin() + 6, Rgb{255, 0, 0});
    for (uint16_t bits : {15, 16, 24, 32}) {
        const IndexedFrame frame = Convert(MakeBitmap(6, 4, bits, colours));
        const uint8_t full = bits <= 16 ? 248 : 255;  // 5-5-5 keeps the top five bits
        for (int32_t y = 0; y < 4; ++y) {
            for (int32_t x = 0; x < 6; ++x) {
                EXPECT_EQ(ColourAt(frame, x, y), (y == 0 ? Rgb{full, 0, 0} : Rgb{0, 0, full}));
            }
        }
    }
}

TEST(QuantisedBitmaps, SixteenBitPixelsAreFiveFiveFiveWithTheTopBitIgnored) {
    for (uint16_t bits : {15, 16}) {
        DibSection bitmap(4, 1, bits);
        const uint8_t bytes[] = {0xFF, 0x7F, 0x00, 0x80, 0x1F, 0x7C, 0xE0, 0x03};
        std::copy(std::begin(bytes), std::end(bytes), bitmap.Row(0));
        const IndexedFrame frame = Convert(bitmap);
        EXPECT_EQ(ColourAt(frame, 0, 0), (Rgb{248, 248, 248}));
        EXPECT_EQ(ColourAt(frame, 1, 0), (Rgb{0, 0, 0}));
        EXPECT_EQ(ColourAt(frame, 2, 0), (Rgb{248, 0, 248}));
        EXPECT_EQ(ColourAt(frame, 3, 0), (Rgb{0, 248, 0}));
    }
}

TEST(QuantisedBitmaps, FifteenBitRowsAreLaidOutAsSixteenBit) {
    // Rows of 15 x width bits would be too short from a width of 17 on.
    const auto colours = test::PhotoLikeColours(23, 9, 4);
    const DibSection fifteen = MakeBitmap(23, 9, 15, colours);
    ExpectSameFrame(Convert(fifteen), Convert(MakeBitmap(23, 9, 16, colours)));
    EXPECT_EQ(ColourAt(Convert(fifteen), 22, 0).red, colours[22].red & 0xF8);
}

TEST(QuantisedBitmaps, TheFourthByteOfThirtyTwoBitPixelsIsIgnored) {
    const DibSection plain = MakeBitmap(31, 17, 32, test::PhotoLikeColours(31, 17, 8));
    DibSection marked = plain;
    for (std::size_t i = 3; i < marked.Pixels().size(); i += 4) {
        marked.Pixels()[i] = static_cast<uint8_t>(i * 37);
    }
    ExpectSameFrame(Convert(plain), Convert(marked));
}

TEST(AllDepths, FillerBytesAreNeverRead) {
    for (uint16_t bits : {1, 4, 8, 15, 16, 24, 32}) {
        for (int32_t width : {1, 3, 17, 33}) {  // width 1 at 24 bits: rows of 4 bytes
            DibSection bitmap(width, 5, bits);
            for (std::size_t i = 0; i < bitmap.ColourTable().size(); ++i) {
                bitmap.ColourTable()[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(3 * i),
                                           static_cast<uint8_t>(7 * i), 0};
            }
            const auto colours = test::PhotoLikeColours(width, 5, width);
            for (int32_t y = 0; y < 5; ++y) {
                for (int32_t x = 0; x < width; ++x) {
                    const Rgb& c = colours[static_cast<std::size_t>(y) * width + x];
                    test::SetColour(bitmap, x, y, c);
                    test::SetIndex(bitmap, x, y, static_cast<uint8_t>(c.red ^ c.blue));
                }
            }
            const IndexedFrame clean = Convert(bitmap);
            test::FillFiller(bitmap, 0xC3);
            ExpectSameFrame(Convert(bitmap), clean);
        }
    }
}

TEST(AllDepths, MatchesThePlainQuantiserOnBusyPictures) {
    for (uint16_t bits : {16, 24, 32}) {
        auto colours = test::PhotoLikeColours(211, 97, bits);
        for (Rgb& c : colours) {
            const uint8_t keep = bits == 16 ? 0xF8 : 0xFF;
            c = {uint8_t(c.red & keep), uint8_t(c.green & keep), uint8_t(c.blue & keep)};
        }
        const IndexedFrame frame = Convert(MakeBitmap(211, 97, bits, colours));
        const test::ReferenceResult expected = test::ReferenceQuantise(colours, 211, 97, 256);
        EXPECT_EQ(frame.pIndices, expected.indices) << bits;
        ASSERT_EQ(frame.nBitsPerPixel, BitsForColourCount(expected.palette.size()));
        for (std::size_t i = 0; i < expected.palette.size(); ++i) {
            EXPECT_EQ(Entry(frame, i), expected.palette[i]);
        }
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
        IndexedFrame frame;
        frame.nBitsPerPixel = 5;
        frame.pIndices = {1, 2, 3};
        EXPECT_FALSE(BitmapToIndexedFrame(bitmap, frame));
        EXPECT_EQ(frame.nBitsPerPixel, 5);
        EXPECT_EQ(frame.pIndices, (std::vector<uint8_t>{1, 2, 3}));
    }
    Convert(parts(4, 4, 24, 0, 48));
}

TEST(HostileBitmaps, BrokenBlocksAreRefused) {
    const auto block = PackBitmap(DibSection(5, 3, 8)).value();
    ASSERT_EQ(LoadPackedDibHeader(block.data()).pixelOffset, 40u + 4 * 256);
    const auto converts = [&block](auto change, std::size_t trim = 0) {
        auto copy = block;
        PackedDibHeader header = LoadPackedDibHeader(copy.data());
        change(header);
        StorePackedDibHeader(header, copy.data());
        IndexedFrame frame;
        return PackedDibToIndexedFrame(copy.data(), copy.size() - trim, frame);
    };
    EXPECT_TRUE(converts([](PackedDibHeader&) {}));
    EXPECT_FALSE(converts([](PackedDibHeader&) {}, 1));
    EXPECT_FALSE(converts([](PackedDibHeader& h) { h.pixelOffset = 0xFFFFFFF0; }));
    EXPECT_FALSE(converts([](PackedDibHeader& h) { h.pixelOffset = 40; }));  // in the table
    EXPECT_FALSE(converts([](PackedDibHeader& h) { h.pixelOffset += 1; }));
    EXPECT_FALSE(converts([](PackedDibHeader& h) { h.height = 4; }));
    EXPECT_FALSE(converts([](PackedDibHeader& h) { h.width = INT32_MAX; }));
    EXPECT_FALSE(converts([](PackedDibHeader& h) { h.height = INT32_MIN; }));
    EXPECT_FALSE(converts([](PackedDibHeader& h) { h.bitCount = 24; }));  // rows too short
    EXPECT_FALSE(converts([](PackedDibHeader& h) { h.bitCount = 2; }));
    EXPECT_FALSE(converts([](PackedDibHeader& h) { h.width = 0; }));
    IndexedFrame frame;
    EXPECT_FALSE(PackedDibToIndexedFrame(nullptr, 0, frame));
    EXPECT_FALSE(PackedDibToIndexedFrame(block.data(), 39, frame));
}

}  // namespace
}  // namespace tavrel
