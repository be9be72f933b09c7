#include "imaging/bitmap_to_indexed_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <set>
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

// A deliberately plain octree quantiser (a node per colour prefix, a full walk for every
// pixel, no caches) giving the palette and top-down indices the fast one must give.
struct ReferenceNode {
    bool leaf;
    int64_t count = 0, sum[3] = {};
    ReferenceNode* child[8] = {};
    int index = 0;
};

int Slot(Rgb c, int level) {
    const int shift = 7 - level;
    return ((c.red >> shift) & 1) * 4 + ((c.green >> shift) & 1) * 2 + ((c.blue >> shift) & 1);
}

void NumberLeaves(ReferenceNode* node, std::vector<Rgb>& palette) {
    if (node != nullptr && !node->leaf) {
        for (ReferenceNode* child : node->child) {
            NumberLeaves(child, palette);
        }
    } else if (node != nullptr) {
        node->index = static_cast<int>(palette.size());
        const auto mean = [node](int i) {
            return static_cast<uint8_t>(node->sum[i] / node->count);
        };
        palette.push_back({mean(0), mean(1), mean(2)});
    }
}

// Inserts colours[y * width + x] bottom row first, as the bitmap stores them.
std::pair<std::vector<Rgb>, std::vector<uint8_t>> ReferenceQuantise(const std::vector<Rgb>& colours,
                                                                    std::size_t width) {
    std::deque<ReferenceNode> nodes;
    std::vector<ReferenceNode*> reducible[8];  // oldest first
    ReferenceNode* root = nullptr;
    uint32_t leaves = 0;
    for (std::size_t y = colours.size() / width; y-- > 0;) {
        for (std::size_t i = y * width; i < (y + 1) * width; ++i) {
            const Rgb c = colours[i];
            ReferenceNode** slot = &root;
            for (int level = 0;; ++level) {
                if (*slot == nullptr) {
                    *slot = &nodes.emplace_back(ReferenceNode{level == 8});
                    level == 8 ? void(++leaves) : reducible[level].push_back(*slot);
                }
                if ((*slot)->leaf) {
                    break;
                }
                slot = &(*slot)->child[Slot(c, level)];
            }
            (*slot)->count += 1;
            (*slot)->sum[0] += c.red, (*slot)->sum[1] += c.green, (*slot)->sum[2] += c.blue;
            while (leaves > 256) {  // merge the node of fewest pixels on the deepest level
                int level = 7;
                while (level > 0 && reducible[level].empty()) {
                    --level;
                }
                const auto pixels = [](ReferenceNode* node) {
                    int64_t total = 0;
                    for (ReferenceNode* child : node->child) {
                        total += child != nullptr ? child->count : 0;
                    }
                    return total;
                };
                auto& list = reducible[level];
                ReferenceNode* node = list.back();  // the newest wins a tie
                for (auto it = list.rbegin(); it != list.rend(); ++it) {
                    node = pixels(*it) < pixels(node) ? *it : node;
                }
                list.erase(std::find(list.begin(), list.end(), node));
                for (ReferenceNode*& child : node->child) {
                    if (child != nullptr) {
                        node->count += child->count;
                        for (int k = 0; k < 3; ++k) {
                            node->sum[k] += child->sum[k];
                        }
                        child = nullptr;
                        --leaves;
                    }
                }
                node->leaf = true;
                ++leaves;
            }
        }
    }
    std::vector<Rgb> palette;
    NumberLeaves(root, palette);
    std::vector<uint8_t> indices;
    for (const Rgb& c : colours) {
        const ReferenceNode* node = root;
        for (int level = 0; !node->leaf; ++level) {
            node = node->child[Slot(c, level)];
        }
        indices.push_back(static_cast<uint8_t>(node->index));
    }
    return {palette, indices};
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
    std::vector<uint8_t> indices = top;
    indices.resize(20, 0);
    EXPECT_EQ(frame.pIndices, indices);
}

TEST(PaletteBitmaps, FourAndEightBitKeepTheirWholeTable) {
    DibSection four(5, 1, 4);
    for (int i = 0; i < 16; ++i) {
        four.ColourTable()[i] = {static_cast<uint8_t>(i), 100, static_cast<uint8_t>(200 + i), 7};
    }
    const uint8_t row[] = {0xA3, 0x0F, 0x5E};  // the low nibble of the last byte is filler
    std::copy(std::begin(row), std::end(row), four.Row(0));
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
    EXPECT_EQ(Entry(frame, 255), (Rgb{3, 2, 1}));
    EXPECT_EQ(frame.pIndices, (std::vector<uint8_t>{200, 0, 0, 0, 0, 7}));
}

TEST(QuantisedBitmaps, UpTo256ColoursStayExactAndSetTheBitsWithAMinimumOfThree) {
    for (const auto& [count, bits] : std::vector<std::pair<int, int>>{
             {1, 3}, {8, 3}, {9, 4}, {16, 4}, {17, 5}, {64, 6}, {128, 7}, {129, 8}, {256, 8}}) {
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
        ASSERT_EQ(frame.pPalette.size(), 3u << bits);
        EXPECT_TRUE(std::all_of(frame.pPalette.begin() + 3 * count, frame.pPalette.end(),
                                [](uint8_t v) { return v == 0; }));  // black after the colours
    }
}

TEST(QuantisedBitmaps, SixteenBitPixelsAreFiveFiveFiveWithTheTopBitIgnored) {
    for (uint16_t bits : {15, 16}) {
        DibSection bitmap(4, 1, bits);
        const uint8_t bytes[] = {0xFF, 0x7F, 0x00, 0x80, 0x1F, 0x7C, 0xE0, 0x03};
        std::copy(std::begin(bytes), std::end(bytes), bitmap.Row(0));
        const IndexedFrame frame = Convert(bitmap);
        const std::vector<Rgb> expected = {{248, 248, 248}, {0, 0, 0}, {248, 0, 248}, {0, 248, 0}};
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(ColourAt(frame, x, 0), expected[x]) << bits << " bits, pixel " << x;
        }
    }
}

TEST(AllDepths, FillerAndTheFourthByteOfThirtyTwoBitPixelsAreNeverRead) {
    for (uint16_t bits : {1, 4, 8, 15, 16, 24, 32}) {
        for (int32_t width : {1, 3, 17, 33}) {  // width 1 at 24 bits: rows of 4 bytes
            DibSection bitmap(width, 5, bits);
            for (std::size_t i = 0; i < bitmap.ColourTable().size(); ++i) {
                bitmap.ColourTable()[i] = {uint8_t(i), uint8_t(3 * i), uint8_t(7 * i), 0};
            }
            const auto colours = test::PhotoLikeColours(width, 5, width);
            for (int32_t i = 0; i < width * 5; ++i) {
                test::SetColour(bitmap, i % width, i / width, colours[i]);
                test::SetIndex(bitmap, i % width, i / width, colours[i].red ^ colours[i].blue);
            }
            const IndexedFrame clean = Convert(bitmap);
            test::FillFiller(bitmap, 0xC3);
            for (std::size_t i = 3; bits == 32 && i < bitmap.Pixels().size(); i += 4) {
                bitmap.Pixels()[i] = static_cast<uint8_t>(i * 37);
            }
            ExpectSameFrame(Convert(bitmap), clean);
        }
    }
}

// 15-bit rows are laid out as 16-bit ones: 15 x width bits would be too short from 17 on.
TEST(AllDepths, MatchesThePlainQuantiserOnBusyPictures) {
    for (uint16_t bits : {15, 16, 24, 32}) {
        auto colours = test::PhotoLikeColours(211, 97, bits);
        for (Rgb& c : colours) {
            const uint8_t keep = bits <= 16 ? 0xF8 : 0xFF;
            c = {uint8_t(c.red & keep), uint8_t(c.green & keep), uint8_t(c.blue & keep)};
        }
        const IndexedFrame frame = Convert(MakeBitmap(211, 97, bits, colours));
        const auto [palette, indices] = ReferenceQuantise(colours, 211);
        EXPECT_EQ(frame.pIndices, indices) << bits;
        ASSERT_EQ(frame.nBitsPerPixel, BitsForColourCount(palette.size()));
        for (std::size_t i = 0; i < palette.size(); ++i) {
            EXPECT_EQ(Entry(frame, i), palette[i]);
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
