#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/octree_quantizer.h"
#include "imaging/packed_dib.h"
#include "support/test_bitmaps.h"

namespace tavrel {
namespace {

using test::MakeBitmap;

// One row of 24-bit pixels: ProcessImage inserts them left to right.
std::vector<uint8_t> RowBlock(const std::vector<Rgb>& colours) {
    return PackBitmap(MakeBitmap(static_cast<int32_t>(colours.size()), 1, 24, colours)).value();
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
    EXPECT_EQ(palette[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(palette[1], (Rgb{0, 1, 0}));
    EXPECT_EQ(palette[2], (Rgb{1, 0, 0}));
    EXPECT_EQ(palette[3], (Rgb{2, 0, 0}));
    EXPECT_EQ(palette[253], (Rgb{252, 0, 0}));
    EXPECT_EQ(palette[254], (Rgb{253, 0, 0}));
    EXPECT_EQ(palette[255], (Rgb{254, 0, 0}));

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
    ASSERT_EQ(quantizer.GetColourCount(), 2u);
    EXPECT_EQ(Palette(quantizer), (std::vector<Rgb>{{10, 0, 0}, {200, 0, 0}}));
    EXPECT_EQ(IndexOf(quantizer, {11, 0, 0}), 0);
    EXPECT_EQ(IndexOf(quantizer, {200, 0, 0}), 1);
}

TEST(OctreeQuantizer, KeepsUpTo256ColoursExactlyInInterleavedBitOrder) {
    std::vector<Rgb> colours;
    std::mt19937 random(5);
    std::set<std::tuple<int, int, int>> seen;
    while (colours.size() < 256) {
        const Rgb c{static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                    static_cast<uint8_t>(random())};
        if (seen.insert({c.red, c.green, c.blue}).second) {
            colours.push_back(c);
        }
    }
    const auto block = RowBlock(colours);
    OctreeQuantizer quantizer(256, 8);
    ASSERT_TRUE(quantizer.ProcessImage(block.data(), block.size()));
    ASSERT_EQ(quantizer.GetColourCount(), 256u);
    const auto palette = Palette(quantizer);

    const auto interleaved = [](Rgb c) {
        uint32_t key = 0;
        for (int bit = 7; bit >= 0; --bit) {
            key = key << 3 | ((c.red >> bit) & 1) << 2 | ((c.green >> bit) & 1) << 1 |
                  ((c.blue >> bit) & 1);
        }
        return key;
    };
    for (std::size_t i = 0; i < palette.size(); ++i) {
        EXPECT_EQ(IndexOf(quantizer, palette[i]), static_cast<int32_t>(i));
        if (i > 0) {
            EXPECT_LT(interleaved(palette[i - 1]), interleaved(palette[i]));
        }
    }
    for (const Rgb& c : colours) {
        EXPECT_EQ(palette[IndexOf(quantizer, c)], c);
    }
}

TEST(OctreeQuantizer, ManyColoursStayWithinTheLimitAndEveryInsertedColourMaps) {
    const auto colours = test::PhotoLikeColours(64, 64, 11);
    const auto block = PackBitmap(MakeBitmap(64, 64, 24, colours)).value();
    for (uint32_t maxColours : {1u, 7u, 256u}) {
        OctreeQuantizer quantizer(maxColours, 8);
        ASSERT_TRUE(quantizer.ProcessImage(block.data(), block.size()));
        EXPECT_LE(quantizer.GetColourCount(), maxColours);
        EXPECT_GE(quantizer.GetColourCount(), 1u);
        Palette(quantizer);
        for (const Rgb& c : colours) {
            const int32_t index = IndexOf(quantizer, c);
            EXPECT_GE(index, 0);
            EXPECT_LT(static_cast<uint32_t>(index), quantizer.GetColourCount());
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
    const auto colours = test::PhotoLikeColours(40, 30, 3);
    const auto block = PackBitmap(MakeBitmap(40, 30, 24, colours)).value();
    OctreeQuantizer eight(16, 8);
    ASSERT_TRUE(eight.ProcessImage(block.data(), block.size()));
    const auto expected = Palette(eight);
    for (int32_t bits : {9, 100, -1}) {
        OctreeQuantizer quantizer(16, bits);
        ASSERT_TRUE(quantizer.ProcessImage(block.data(), block.size()));
        EXPECT_EQ(Palette(quantizer), expected) << bits;
    }
}

TEST(OctreeQuantizer, ShallowTreesStopAtTheirLeaves) {
    const auto block = RowBlock({{0, 0, 0}, {255, 255, 255}, {130, 10, 10}});
    OctreeQuantizer rootOnly(1, 0);
    ASSERT_TRUE(rootOnly.ProcessImage(block.data(), block.size()));
    EXPECT_EQ(Palette(rootOnly), std::vector<Rgb>{(Rgb{128, 88, 88})});

    OctreeQuantizer oneBit(256, 1);
    ASSERT_TRUE(oneBit.ProcessImage(block.data(), block.size()));
    EXPECT_EQ(Palette(oneBit), (std::vector<Rgb>{{0, 0, 0}, {130, 10, 10}, {255, 255, 255}}));
}

TEST(OctreeQuantizer, RejectsUnsupportedOrBrokenBlocksWithoutInserting) {
    auto block = RowBlock({{9, 9, 9}, {1, 1, 1}});
    PackedDibHeader header = LoadPackedDibHeader(block.data());
    OctreeQuantizer quantizer(256, 8);

    auto withHeader = [&](auto change) {
        auto copy = block;
        PackedDibHeader h = header;
        change(h);
        StorePackedDibHeader(h, copy.data());
        return copy;
    };
    const auto twoBits = withHeader([](PackedDibHeader& h) { h.bitCount = 2; });
    EXPECT_FALSE(quantizer.ProcessImage(twoBits.data(), twoBits.size()));
    const auto farOffset = withHeader([](PackedDibHeader& h) { h.pixelOffset = 1u << 31; });
    EXPECT_FALSE(quantizer.ProcessImage(farOffset.data(), farOffset.size()));
    const auto tall = withHeader([](PackedDibHeader& h) { h.height = 2; });
    EXPECT_FALSE(quantizer.ProcessImage(tall.data(), tall.size()));
    EXPECT_FALSE(quantizer.ProcessImage(block.data(), block.size() - 1));
    EXPECT_FALSE(quantizer.ProcessImage(block.data(), 39));
    EXPECT_EQ(quantizer.GetColourCount(), 0u);

    const auto noRows = withHeader([](PackedDibHeader& h) { h.height = 0; });
    EXPECT_TRUE(quantizer.ProcessImage(noRows.data(), noRows.size()));
    const auto negativeWidth = withHeader([](PackedDibHeader& h) { h.width = -5; });
    EXPECT_TRUE(quantizer.ProcessImage(negativeWidth.data(), negativeWidth.size()));
    EXPECT_EQ(quantizer.GetColourCount(), 0u);
    int32_t index = 5;
    EXPECT_FALSE(quantizer.MapColour(9, 9, 9, index));
    EXPECT_EQ(index, 5);
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

}  // namespace
}  // namespace tavrel
