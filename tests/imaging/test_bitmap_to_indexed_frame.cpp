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
using test::SetColour;
using test::SetIndex;

IndexedFrame Convert(const DibSection& bitmap) {
    IndexedFrame frame;
    EXPECT_TRUE(BitmapToIndexedFrame(bitmap, frame));
    return frame;
}

Rgb PaletteEntry(const IndexedFrame& frame, std::size_t i) {
    return {frame.pPalette[3 * i], frame.pPalette[3 * i + 1], frame.pPalette[3 * i + 2]};
}

Rgb ColourAt(const IndexedFrame& frame, int32_t x, int32_t y) {
    return PaletteEntry(frame, frame.pIndices[static_cast<std::size_t>(y) * frame.nWidth + x]);
}

void ExpectSameFrame(const IndexedFrame& a, const IndexedFrame& b) {
    EXPECT_EQ(a.nWidth, b.nWidth);
    EXPECT_EQ(a.nHeight, b.nHeight);
    EXPECT_EQ(a.nBitsPerPixel, b.nBitsPerPixel);
    EXPECT_EQ(a.pIndices, b.pIndices);
    EXPECT_EQ(a.pPalette, b.pPalette);
}

// A frame filled in by hand, to see that failures leave it alone.
IndexedFrame Sentinel() {
    IndexedFrame frame;
    frame.nWidth = 3;
    frame.nHeight = 4;
    frame.nBitsPerPixel = 5;
    frame.pIndices = {1, 2, 3};
    frame.pPalette = {9};
    return frame;
}

TEST(PaletteBitmaps, OneBitKeepsItsTwoColoursAndReadsTheHighBitFirst) {
    DibSection bitmap(10, 2, 1);
    bitmap.ColourTable()[0] = {0, 0, 0, 0};
    bitmap.ColourTable()[1] = {255, 255, 255, 0};
    const std::vector<uint8_t> top = {1, 0, 0, 1, 1, 0, 1, 0, 0, 1};
    for (int32_t x = 0; x < 10; ++x) {
        SetIndex(bitmap, x, 0, top[x]);
        SetIndex(bitmap, x, 1, static_cast<uint8_t>(1 - top[x]));
    }
    test::FillFiller(bitmap, 0xFF);
    const IndexedFrame frame = Convert(bitmap);
    EXPECT_EQ(frame.nBitsPerPixel, 3);
    ASSERT_EQ(frame.pPalette.size(), 24u);
    EXPECT_EQ(PaletteEntry(frame, 1), (Rgb{255, 255, 255}));
    EXPECT_EQ(std::vector<uint8_t>(frame.pPalette.begin() + 6, frame.pPalette.end()),
              std::vector<uint8_t>(18, 0));
    EXPECT_EQ(std::vector<uint8_t>(frame.pIndices.begin(), frame.pIndices.begin() + 10), top);
    EXPECT_EQ(frame.pIndices[10], 0);
    EXPECT_EQ(frame.pIndices[12], 1);
}

TEST(PaletteBitmaps, FourBitKeepsSixteenColoursAndStartsWithTheHighNibble) {
    DibSection bitmap(5, 1, 4);
    for (int i = 0; i < 16; ++i) {
        bitmap.ColourTable()[i] = {static_cast<uint8_t>(i), 100, static_cast<uint8_t>(200 + i), 7};
    }
    bitmap.Row(0)[0] = 0xA3;
    bitmap.Row(0)[1] = 0x0F;
    bitmap.Row(0)[2] = 0x5E;  // the low nibble is the first filler
    const IndexedFrame frame = Convert(bitmap);
    EXPECT_EQ(frame.nBitsPerPixel, 4);
    EXPECT_EQ(frame.pIndices, (std::vector<uint8_t>{0xA, 0x3, 0x0, 0xF, 0x5}));
    EXPECT_EQ(PaletteEntry(frame, 15), (Rgb{215, 100, 15}));
}

TEST(PaletteBitmaps, EightBitKeepsAllEntriesUsedOrNot) {
    DibSection bitmap(3, 2, 8);
    for (int i = 0; i < 256; ++i) {
        bitmap.ColourTable()[i] = {static_cast<uint8_t>(255 - i), 1, static_cast<uint8_t>(i), 0};
    }
    SetIndex(bitmap, 0, 0, 200);
    SetIndex(bitmap, 2, 1, 7);
    const IndexedFrame frame = Convert(bitmap);
    EXPECT_EQ(frame.nBitsPerPixel, 8);
    EXPECT_EQ(frame.pPalette.size(), 768u);
    EXPECT_EQ(PaletteEntry(frame, 255), (Rgb{255, 1, 0}));
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

TEST(QuantisedBitmaps, BitsFollowTheColourCountWithAMinimumOfThree) {
    for (const auto& [count, bits] : std::vector<std::pair<int, int>>{
             {1, 3}, {8, 3}, {9, 4}, {16, 4}, {17, 5}, {64, 6}, {128, 7}, {129, 8}, {256, 8}}) {
        std::vector<Rgb> colours;
        for (int i = 0; i < count; ++i) {
            colours.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 3});
        }
        const IndexedFrame frame = Convert(MakeBitmap(count, 1, 24, colours));
        EXPECT_EQ(frame.nBitsPerPixel, bits) << count;
        std::set<uint8_t> used(frame.pIndices.begin(), frame.pIndices.end());
        EXPECT_EQ(used.size(), static_cast<std::size_t>(count));
        for (int x = 0; x < count; ++x) {
            EXPECT_EQ(ColourAt(frame, x, 0), colours[x]);
        }
    }
}

TEST(QuantisedBitmaps, IndicesRunFromTheTopRow) {
    std::vector<Rgb> colours(6 * 4, {0, 0, 255});
    for (int x = 0; x < 6; ++x) {
        colours[x] = {255, 0, 0};
    }
    for (uint16_t bits : {15, 16, 24, 32}) {
        const IndexedFrame frame = Convert(MakeBitmap(6, 4, bits, colours));
        const uint8_t full = bits <= 16 ? 248 : 255;  // 5-5-5 keeps the top five bits
        const Rgb red{full, 0, 0};
        const Rgb blue{0, 0, full};
        for (int32_t y = 0; y < 4; ++y) {
            for (int32_t x = 0; x < 6; ++x) {
                EXPECT_EQ(ColourAt(frame, x, y), y == 0 ? red : blue) << bits;
            }
        }
    }
}

TEST(QuantisedBitmaps, SixteenBitPixelsAreFiveFiveFiveWithTheTopBitIgnored) {
    for (uint16_t bits : {15, 16}) {
        DibSection bitmap(2, 1, bits);
        const uint8_t bytes[] = {0xFF, 0x7F, 0x00, 0x80};
        std::copy(std::begin(bytes), std::end(bytes), bitmap.Row(0));
        const IndexedFrame frame = Convert(bitmap);
        EXPECT_EQ(ColourAt(frame, 0, 0), (Rgb{248, 248, 248}));
        EXPECT_EQ(ColourAt(frame, 1, 0), (Rgb{0, 0, 0}));
    }
    DibSection bitmap(1, 1, 16);
    bitmap.Row(0)[0] = 0x1F;  // blue
    bitmap.Row(0)[1] = 0x7C;  // red
    EXPECT_EQ(ColourAt(Convert(bitmap), 0, 0), (Rgb{248, 0, 248}));
    bitmap.Row(0)[0] = 0xE0;  // green, low three bits
    bitmap.Row(0)[1] = 0x03;  // green, high two bits
    EXPECT_EQ(ColourAt(Convert(bitmap), 0, 0), (Rgb{0, 248, 0}));
}

TEST(QuantisedBitmaps, FifteenBitRowsAreLaidOutAsSixteenBit) {
    // At 15 x width the rows would be shorter than they are from a width of 17 on.
    const auto colours = test::PhotoLikeColours(23, 9, 4);
    DibSection fifteen = MakeBitmap(23, 9, 15, colours);
    const DibSection sixteen = MakeBitmap(23, 9, 16, colours);
    ASSERT_EQ(fifteen.Pixels(), sixteen.Pixels());
    ExpectSameFrame(Convert(fifteen), Convert(sixteen));
    EXPECT_EQ(ColourAt(Convert(fifteen), 22, 0).red, colours[22].red & 0xF8);
}

TEST(QuantisedBitmaps, TheFourthByteOfThirtyTwoBitPixelsIsIgnored) {
    const auto colours = test::PhotoLikeColours(31, 17, 8);
    DibSection plain = MakeBitmap(31, 17, 32, colours);
    DibSection marked = plain;
    for (std::size_t i = 3; i < marked.Pixels().size(); i += 4) {
        marked.Pixels()[i] = static_cast<uint8_t>(i * 37);
    }
    ExpectSameFrame(Convert(plain), Convert(marked));
}

TEST(AllDepths, FillerBytesAreNeverRead) {
    for (uint16_t bits : {1, 4, 8, 15, 16, 24, 32}) {
        for (int32_t width : {1, 3, 17, 33}) {
            DibSection bitmap(width, 5, bits);
            for (std::size_t i = 0; i < bitmap.ColourTable().size(); ++i) {
                bitmap.ColourTable()[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(3 * i),
                                           static_cast<uint8_t>(7 * i), 0};
            }
            const auto colours = test::PhotoLikeColours(width, 5, width);
            for (int32_t y = 0; y < 5; ++y) {
                for (int32_t x = 0; x < width; ++x) {
                    const Rgb& c = colours[static_cast<std::size_t>(y) * width + x];
                    SetColour(bitmap, x, y, c);
                    SetIndex(bitmap, x, y, static_cast<uint8_t>(c.red ^ c.blue));
                }
            }
            const IndexedFrame clean = Convert(bitmap);
            test::FillFiller(bitmap, 0xC3);
            ExpectSameFrame(Convert(bitmap), clean);
            if (bits == 24 && width == 1) {
                EXPECT_EQ(bitmap.Stride(), 4u);
            }
        }
    }
}

TEST(AllDepths, MatchesThePlainQuantiserOnBusyPictures) {
    for (uint16_t bits : {16, 24, 32}) {
        const int32_t width = 211;
        const int32_t height = 97;
        auto colours = test::PhotoLikeColours(width, height, bits);
        if (bits == 16) {
            for (Rgb& c : colours) {
                c = {static_cast<uint8_t>(c.red & 0xF8), static_cast<uint8_t>(c.green & 0xF8),
                     static_cast<uint8_t>(c.blue & 0xF8)};
            }
        }
        const IndexedFrame frame = Convert(MakeBitmap(width, height, bits, colours));
        const test::ReferenceResult expected = test::ReferenceQuantise(colours, width, height, 256);
        ASSERT_EQ(frame.pIndices, expected.indices) << bits;
        for (std::size_t i = 0; i < expected.palette.size(); ++i) {
            EXPECT_EQ(PaletteEntry(frame, i), expected.palette[i]);
        }
        EXPECT_EQ(frame.nBitsPerPixel, BitsForColourCount(expected.palette.size()));
        for (uint8_t index : frame.pIndices) {
            ASSERT_LT(index, expected.palette.size());
        }
    }
}

TEST(HostileBitmaps, InconsistentBitmapsAreRefusedAndLeaveTheFrameAlone) {
    const auto refuses = [](const DibSection& bitmap) {
        IndexedFrame frame = Sentinel();
        if (BitmapToIndexedFrame(bitmap, frame)) {
            return false;
        }
        EXPECT_EQ(frame.pIndices, Sentinel().pIndices);
        EXPECT_EQ(frame.nBitsPerPixel, 5);
        return true;
    };
    EXPECT_TRUE(refuses(DibSection()));
    EXPECT_TRUE(refuses(DibSection::FromParts({4, 4, 1, 2}, {}, std::vector<uint8_t>(64))));
    EXPECT_TRUE(refuses(DibSection::FromParts({0, 4, 1, 24}, {}, std::vector<uint8_t>(64))));
    EXPECT_TRUE(refuses(DibSection::FromParts({4, -4, 1, 24}, {}, std::vector<uint8_t>(64))));
    EXPECT_TRUE(refuses(DibSection::FromParts({4, 4, 1, 24}, {}, std::vector<uint8_t>(47))));
    EXPECT_TRUE(refuses(
        DibSection::FromParts({4, 4, 1, 8}, std::vector<RgbQuad>(255), std::vector<uint8_t>(16))));
    EXPECT_TRUE(refuses(
        DibSection::FromParts({INT32_MAX, INT32_MAX, 1, 32}, {}, std::vector<uint8_t>(64))));
    EXPECT_FALSE(refuses(DibSection::FromParts({4, 4, 1, 24}, {}, std::vector<uint8_t>(48))));
}

TEST(HostileBitmaps, BrokenBlocksAreRefused) {
    DibSection bitmap(5, 3, 8);
    auto block = PackBitmap(bitmap).value();
    const PackedDibHeader header = LoadPackedDibHeader(block.data());
    EXPECT_EQ(header.pixelOffset, 40u + 4 * 256);
    const auto refuses = [&](auto change, std::size_t trim = 0) {
        auto copy = block;
        PackedDibHeader h = header;
        change(h);
        StorePackedDibHeader(h, copy.data());
        IndexedFrame frame = Sentinel();
        if (PackedDibToIndexedFrame(copy.data(), copy.size() - trim, frame)) {
            return false;
        }
        EXPECT_EQ(frame.pIndices, Sentinel().pIndices);
        return true;
    };
    EXPECT_FALSE(refuses([](PackedDibHeader&) {}));
    EXPECT_TRUE(refuses([](PackedDibHeader&) {}, 1));
    EXPECT_TRUE(refuses([](PackedDibHeader& h) { h.pixelOffset = 0xFFFFFFF0; }));
    EXPECT_TRUE(refuses([](PackedDibHeader& h) { h.pixelOffset = 40; }));  // inside the table
    EXPECT_TRUE(refuses([](PackedDibHeader& h) { h.pixelOffset += 1; }));
    EXPECT_TRUE(refuses([](PackedDibHeader& h) { h.height = 4; }));
    EXPECT_TRUE(refuses([](PackedDibHeader& h) { h.width = INT32_MAX; }));
    EXPECT_TRUE(refuses([](PackedDibHeader& h) { h.height = INT32_MIN; }));
    EXPECT_TRUE(refuses([](PackedDibHeader& h) { h.bitCount = 24; }));  // rows too short
    EXPECT_TRUE(refuses([](PackedDibHeader& h) { h.bitCount = 0; }));
    EXPECT_TRUE(refuses([](PackedDibHeader& h) { h.bitCount = 2; }));
    EXPECT_TRUE(refuses([](PackedDibHeader& h) { h.width = 0; }));

    IndexedFrame frame;
    EXPECT_FALSE(PackedDibToIndexedFrame(nullptr, 0, frame));
    EXPECT_FALSE(PackedDibToIndexedFrame(block.data(), 39, frame));
}

}  // namespace
}  // namespace tavrel
