#include <gtest/gtest.h>

#include <vector>

#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/octree_quantizer.h"
#include "imaging/packed_dib.h"
#include "support/test_bitmaps.h"

namespace tavrel {
namespace {

// A block of 24-bit pixels in one row: ProcessImage inserts them left to right.
std::vector<uint8_t> RowBlock(const std::vector<Rgb>& colours) {
    const auto width = static_cast<int32_t>(colours.size());
    return PackBitmap(test::MakeBitmap(width, 1, 24, colours)).value();
}

std::vector<Rgb> Palette(OctreeQuantizer& quantizer) {
    std::vector<RgbQuad> table(quantizer.GetColourCount());
    quantizer.GetColourTable(table.data());
    std::vector<Rgb> palette;
    for (const RgbQuad& q : table) {
        EXPECT_EQ(q.reserved, 0);
        palette.push_back({q.red, q.green, q.blue});
    }
    return palette;
}

int32_t IndexOf(const OctreeQuantizer& quantizer, Rgb c) {
    int32_t index = -1;
    EXPECT_TRUE(quantizer.MapColour(c.red, c.green, c.blue, index));
    return index;
}

TEST(OctreeQuantizer, MergesTheNewestOfTheLightestNodesOnTheDeepestLevel) {
    std::vector<Rgb> colours;
    for (int r = 0; r < 256; ++r) {
        colours.push_back({static_cast<uint8_t>(r), 0, 0});
    }
    colours.push_back({0, 1, 0});
    const auto block = RowBlock(colours);
    OctreeQuantizer quantizer(256, 8);
    ASSERT_TRUE(quantizer.ProcessImage(block.data(), block.size()));
    ASSERT_EQ(quantizer.GetColourCount(), 256u);
    const auto palette = Palette(quantizer);
    EXPECT_EQ(std::vector<Rgb>(palette.begin(), palette.begin() + 4),
              (std::vector<Rgb>{{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {2, 0, 0}}));
    EXPECT_EQ(std::vector<Rgb>(palette.end() - 3, palette.end()),
              (std::vector<Rgb>{{252, 0, 0}, {253, 0, 0}, {254, 0, 0}}));
    EXPECT_EQ(IndexOf(quantizer, {255, 0, 0}), 255);
    EXPECT_EQ(IndexOf(quantizer, {254, 0, 0}), 255);
    int32_t untouched = 77;
    EXPECT_FALSE(quantizer.MapColour(0, 1, 1, untouched));
    EXPECT_FALSE(quantizer.MapColour(128, 128, 128, untouched));
    EXPECT_EQ(untouched, 77);
}

TEST(OctreeQuantizer, ReducesAnUnbranchedNodeBeforeMergingAndTruncatesTheAverage) {
    const auto block = RowBlock({{10, 0, 0}, {11, 0, 0}, {200, 0, 0}});
    OctreeQuantizer quantizer(2, 8);
    ASSERT_TRUE(quantizer.ProcessImage(block.data(), block.size()));
    EXPECT_EQ(Palette(quantizer), (std::vector<Rgb>{{10, 0, 0}, {200, 0, 0}}));
    EXPECT_EQ(IndexOf(quantizer, {11, 0, 0}), 0);
    EXPECT_EQ(IndexOf(quantizer, {200, 0, 0}), 1);
}

TEST(OctreeQuantizer, ManyColoursStayWithinTheLimitAndEveryInsertedColourMaps) {
    const auto colours = test::PhotoLikeColours(64, 64, 11);
    const auto block = PackBitmap(test::MakeBitmap(64, 64, 24, colours)).value();
    for (uint32_t maxColours : {1u, 7u, 256u}) {
        OctreeQuantizer quantizer(maxColours, 8);
        ASSERT_TRUE(quantizer.ProcessImage(block.data(), block.size()));
        const uint32_t count = quantizer.GetColourCount();
        EXPECT_TRUE(count >= 1 && count <= maxColours) << count;
        Palette(quantizer);
        for (const Rgb& c : colours) {
            ASSERT_LT(static_cast<uint32_t>(IndexOf(quantizer, c)), count);
        }
    }
}

TEST(OctreeQuantizer, OneColourRepeatedIsOneEntryAndIndicesWaitForTheTable) {
    const auto block = RowBlock(std::vector<Rgb>(1000, Rgb{1, 2, 3}));
    OctreeQuantizer quantizer(256, 8);
    ASSERT_TRUE(quantizer.ProcessImage(block.data(), block.size()));
    EXPECT_EQ(IndexOf(quantizer, {1, 2, 3}), 0);
    EXPECT_EQ(Palette(quantizer), std::vector<Rgb>{(Rgb{1, 2, 3})});
}

TEST(OctreeQuantizer, SumsDoNotOverflowOnPicturesOfOverEightMillionWhitePixels) {
    DibSection bitmap(2904, 2904, 8);  // 8,433,216 pixels: 255 x that exceeds 2^31
    bitmap.ColourTable()[0] = {255, 255, 255, 0};
    const auto block = PackBitmap(bitmap).value();
    OctreeQuantizer quantizer(256, 8);
    ASSERT_TRUE(quantizer.ProcessImage(block.data(), block.size()));
    EXPECT_EQ(Palette(quantizer), std::vector<Rgb>{(Rgb{255, 255, 255})});
}

TEST(OctreeQuantizer, ColourBitsOutsideZeroToSevenMeanEight) {
    const auto block = PackBitmap(test::MakeBitmap(40, 30, 24, test::PhotoLikeColours(40, 30, 3)));
    OctreeQuantizer eight(16, 8);
    ASSERT_TRUE(eight.ProcessImage(block->data(), block->size()));
    for (int32_t bits : {9, 100, -1}) {
        OctreeQuantizer quantizer(16, bits);
        ASSERT_TRUE(quantizer.ProcessImage(block->data(), block->size()));
        EXPECT_EQ(Palette(quantizer), Palette(eight)) << bits;
    }
}

TEST(OctreeQuantizer, ReadsPaletteBitmapsThroughTheirColourTable) {
    DibSection bitmap(9, 2, 4);
    bitmap.ColourTable()[3] = {30, 20, 10, 99};
    bitmap.ColourTable()[12] = {3, 2, 1, 0};
    for (int32_t x = 0; x < 9; ++x) {
        test::SetIndex(bitmap, x, 0, 3);
        test::SetIndex(bitmap, x, 1, x == 8 ? 12 : 3);
    }
    const auto block = PackBitmap(bitmap).value();
    OctreeQuantizer quantizer(256, 8);
    ASSERT_TRUE(quantizer.ProcessImage(block.data(), block.size()));
    EXPECT_EQ(Palette(quantizer), (std::vector<Rgb>{{1, 2, 3}, {10, 20, 30}}));
}

TEST(OctreeQuantizer, RejectsUnsupportedOrBrokenBlocksWithoutInserting) {
    const auto block = RowBlock({{9, 9, 9}, {1, 1, 1}});
    const auto withHeader = [&block](auto change) {
        auto copy = block;
        PackedDibHeader header = LoadPackedDibHeader(copy.data());
        change(header);
        StorePackedDibHeader(header, copy.data());
        return copy;
    };
    OctreeQuantizer quantizer(256, 8);
    for (const auto& broken : {withHeader([](PackedDibHeader& h) { h.bitCount = 2; }),
                               withHeader([](PackedDibHeader& h) { h.pixelOffset = 1u << 31; }),
                               withHeader([](PackedDibHeader& h) { h.height = 2; }),
                               std::vector<uint8_t>(block.begin(), block.end() - 1)}) {
        EXPECT_FALSE(quantizer.ProcessImage(broken.data(), broken.size()));
    }
    for (const auto& empty : {withHeader([](PackedDibHeader& h) { h.height = 0; }),
                              withHeader([](PackedDibHeader& h) { h.width = -5; })}) {
        EXPECT_TRUE(quantizer.ProcessImage(empty.data(), empty.size()));
    }
    EXPECT_EQ(quantizer.GetColourCount(), 0u);
    int32_t index = 5;
    EXPECT_FALSE(quantizer.MapColour(9, 9, 9, index));
    EXPECT_EQ(index, 5);
}

}  // namespace
}  // namespace tavrel
