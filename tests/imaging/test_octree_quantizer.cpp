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
    explicit Quantised(const Colours& row, uint32_t maxColours = 256)
        : Quantised(test::MakeBitmap(int32_t(row.size()), 1, 24, row), maxColours) {}
    Quantised(const DibSection& bitmap, uint32_t maxColours) : quantizer(maxColours, 8) {
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
}

TEST(OctreeQuantizer, ReducesAnUnbranchedNodeBeforeMergingAndTruncatesTheAverage) {
    const Quantised q({{10, 0, 0}, {11, 0, 0}, {200, 0, 0}}, 2);
    EXPECT_EQ(q.palette, (Colours{{10, 0, 0}, {200, 0, 0}}));
    EXPECT_EQ(q.IndexOf({11, 0, 0}), 0);
    EXPECT_EQ(q.IndexOf({200, 0, 0}), 1);
}

TEST(OctreeQuantizer, SumsDoNotOverflowOnPicturesOfOverEightMillionWhitePixels) {
    DibSection bitmap(2904, 2904, 24);  // 8,433,216 pixels: 255 x that exceeds 2^31
    std::fill(bitmap.Pixels().begin(), bitmap.Pixels().end(), 0xFF);
    EXPECT_EQ(Quantised(bitmap, 256).palette, Colours{(Rgb{255, 255, 255})});
}

}  // namespace
}  // namespace tavrel
