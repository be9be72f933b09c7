#include "imaging/octree_quantizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/packed_dib.h"
#include "support/test_bitmaps.h"

namespace tavrel {
namespace {

using Colours = std::vector<Rgb>;

// Quantises a packed bitmap (a row of 24-bit pixels, inserted left to right, by default).
struct Quantised {
    explicit Quantised(const Colours& row, uint32_t maxColours = 256, int32_t colourBits = 8)
        : Quantised(test::MakeBitmap(int32_t(row.size()), 1, 24, row), maxColours, colourBits) {}
    Quantised(const DibSection& bitmap, uint32_t maxColours, int32_t colourBits = 8)
        : quantizer(maxColours, colourBits) {
        const auto block = PackBitmap(bitmap).value();
        EXPECT_TRUE(quantizer.ProcessImage(block.data(), block.size()));
        std::vector<RgbQuad> table(quantizer.GetColourCount());
        quantizer.GetColourTable(table.data());
        for (const RgbQuad& q : table) {
            EXPECT_EQ(q.reserved, 0);
            palette.push_back({q.red, q.green, q.blue});
        }
    }
    int32_t IndexOf(Rgb c) const {
        int32_t index = -1;
        EXPECT_TRUE(quantizer.MapColour(c.red, c.green, c.blue, index)) << int{c.red};
        return index;
    }

    OctreeQuantizer quantizer;
    Colours palette;
};

TEST(OctreeQuantizer, MergesTheNewestOfTheLightestNodesOnTheDeepestLevel) {
    Colours colours;
    for (int r = 0; r < 256; ++r) {
        colours.push_back({static_cast<uint8_t>(r), 0, 0});
    }
    colours.push_back({0, 1, 0});
    const Quantised q(colours);
    ASSERT_EQ(q.palette.size(), 256u);
    EXPECT_EQ(Colours(q.palette.begin(), q.palette.begin() + 4),
              (Colours{{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {2, 0, 0}}));
    EXPECT_EQ(Colours(q.palette.end() - 3, q.palette.end()),
              (Colours{{252, 0, 0}, {253, 0, 0}, {254, 0, 0}}));
    EXPECT_EQ(q.IndexOf({255, 0, 0}), 255);
    EXPECT_EQ(q.IndexOf({254, 0, 0}), 255);
    int32_t untouched = 77;
    EXPECT_FALSE(q.quantizer.MapColour(0, 1, 1, untouched));
    EXPECT_FALSE(q.quantizer.MapColour(128, 128, 128, untouched));
    EXPECT_EQ(untouched, 77);
}

TEST(OctreeQuantizer, ReducesAnUnbranchedNodeBeforeMergingAndTruncatesTheAverage) {
    const Quantised q({{10, 0, 0}, {11, 0, 0}, {200, 0, 0}}, 2);
    EXPECT_EQ(q.palette, (Colours{{10, 0, 0}, {200, 0, 0}}));
    EXPECT_EQ(q.IndexOf({11, 0, 0}), 0);
    EXPECT_EQ(q.IndexOf({200, 0, 0}), 1);
}

TEST(OctreeQuantizer, ManyColoursStayWithinTheLimitEveryColourMapsAndOddColourBitsMeanEight) {
    const Colours colours = test::PhotoLikeColours(64, 64, 11);
    const DibSection bitmap = test::MakeBitmap(64, 64, 24, colours);
    for (uint32_t maxColours : {1u, 7u, 256u}) {
        const Quantised q(bitmap, maxColours);
        EXPECT_TRUE(!q.palette.empty() && q.palette.size() <= maxColours) << q.palette.size();
        for (const Rgb& c : colours) {
            ASSERT_LT(static_cast<std::size_t>(q.IndexOf(c)), q.palette.size());
        }
        for (int32_t bits : {9, -1}) {  // outside 0 to 7: the same as 8
            EXPECT_EQ(Quantised(bitmap, maxColours, bits).palette, q.palette) << bits;
        }
    }
}

TEST(OctreeQuantizer, SumsDoNotOverflowOnPicturesOfOverEightMillionWhitePixels) {
    DibSection bitmap(2904, 2904, 24);  // 8,433,216 pixels: 255 x that exceeds 2^31
    std::fill(bitmap.Pixels().begin(), bitmap.Pixels().end(), 0xFF);
    EXPECT_EQ(Quantised(bitmap, 256).palette, Colours{(Rgb{255, 255, 255})});
}

TEST(OctreeQuantizer, ReadsPaletteBitmapsThroughTheirColourTable) {
    DibSection bitmap(9, 2, 4);
    bitmap.ColourTable()[3] = {30, 20, 10, 99};
    bitmap.ColourTable()[12] = {3, 2, 1, 0};
    for (int32_t x = 0; x < 9; ++x) {
        test::SetIndex(bitmap, x, 0, 3);
        test::SetIndex(bitmap, x, 1, x == 8 ? 12 : 3);
    }
    EXPECT_EQ(Quantised(bitmap, 256).palette, (Colours{{1, 2, 3}, {10, 20, 30}}));
}

TEST(OctreeQuantizer, RefusesBrokenBlocksWithoutInsertingAndAcceptsEmptyOnes) {
    const auto block = PackBitmap(test::MakeBitmap(2, 1, 24, {{9, 9, 9}, {1, 1, 1}})).value();
    const auto withHeader = [&block](auto change) {
        auto copy = block;
        PackedDibHeader header = LoadPackedDibHeader(copy.data());
        change(header);
        StorePackedDibHeader(header, copy.data());
        return copy;
    };
    OctreeQuantizer quantizer(256, 8);
    for (const auto& broken : {withHeader([](PackedDibHeader& h) { h.bitCount = 2; }),
                               std::vector<uint8_t>(block.begin(), block.end() - 1)}) {
        EXPECT_FALSE(quantizer.ProcessImage(broken.data(), broken.size()));
    }
    const auto empty = withHeader([](PackedDibHeader& h) { h.width = -5; });
    EXPECT_TRUE(quantizer.ProcessImage(empty.data(), empty.size()));
    EXPECT_EQ(quantizer.GetColourCount(), 0u);
    int32_t index = 5;
    EXPECT_FALSE(quantizer.MapColour(9, 9, 9, index));
    EXPECT_EQ(index, 5);
}

}  // namespace
}  // namespace tavrel
