#include "imaging/bitmap_to_indexed_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <set>
#include <string>
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

// A deliberately plain octree quantiser: every node is kept under the string of child slots
// that leads to it, so that map order is depth-first order, and every merge searches the
// whole tree. Gives the palette and the indices (top row first) the fast one must give.
std::pair<std::vector<Rgb>, std::vector<uint8_t>> ReferenceQuantise(const std::vector<Rgb>& colours,
                                                                    std::size_t width) {
    struct Node {
        bool leaf;
        int64_t created, count = 0, sum[3] = {};
        std::size_t index = 0;
    };
    using Tree = std::map<std::string, Node>;
    Tree tree;
    const auto child = [](const std::string& path, Rgb c) {
        const int shift = 7 - static_cast<int>(path.size());
        return path + char('0' + ((c.red >> shift) & 1) * 4 + ((c.green >> shift) & 1) * 2 +
                           ((c.blue >> shift) & 1));
    };
    const auto add = [](Node& to, const Node& from) {
        to.count += from.count;
        for (int k = 0; k < 3; ++k) {
            to.sum[k] += from.sum[k];
        }
    };
    const auto descendants = [&tree](Tree::iterator node) {
        auto end = std::next(node);
        while (end != tree.end() && end->first.starts_with(node->first)) {
            ++end;
        }
        return std::pair(std::next(node), end);
    };
    int64_t created = 0;
    uint32_t leaves = 0;
    for (std::size_t y = colours.size() / width; y-- > 0;) {  // bottom row first
        for (std::size_t i = y * width; i < (y + 1) * width; ++i) {
            const Rgb c = colours[i];
            for (std::string path;; path = child(path, c)) {
                const auto [node, isNew] =
                    tree.try_emplace(path, Node{path.size() == 8, created++});
                if (node->second.leaf) {
                    leaves += isNew;
                    add(node->second, Node{true, 0, 1, {c.red, c.green, c.blue}});
                    break;
                }
            }
            while (leaves > 256) {  // merge the children of the deepest, lightest, newest node
                std::size_t deepest = 0;
                for (const auto& [path, node] : tree) {
                    deepest = node.leaf ? deepest : std::max(deepest, path.size());
                }
                auto chosen = tree.end();
                int64_t fewest = 0;
                for (auto it = tree.begin(); it != tree.end(); ++it) {
                    if (it->second.leaf || it->first.size() != deepest) {
                        continue;
                    }
                    Node under{false, 0};
                    for (auto [k, end] = descendants(it); k != end; ++k) {
                        add(under, k->second);
                    }
                    if (chosen == tree.end() || under.count < fewest ||
                        (under.count == fewest && it->second.created > chosen->second.created)) {
                        chosen = it;
                        fewest = under.count;
                    }
                }
                const auto [first, end] = descendants(chosen);
                for (auto k = first; k != end; ++k, --leaves) {
                    add(chosen->second, k->second);
                }
                tree.erase(first, end);
                chosen->second.leaf = true;
                ++leaves;
            }
        }
    }
    std::vector<Rgb> palette;
    for (auto& [path, node] : tree) {
        if (node.leaf) {
            node.index = palette.size();
            const auto mean = [&node](int k) { return uint8_t(node.sum[k] / node.count); };
            palette.push_back({mean(0), mean(1), mean(2)});
        }
    }
    std::vector<uint8_t> indices;
    for (const Rgb& c : colours) {
        std::string path;
        while (!tree.at(path).leaf) {
            path = child(path, c);
        }
        indices.push_back(static_cast<uint8_t>(tree.at(path).index));
    }
    return {palette, indices};
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
            const IndexedFrame dirty = Convert(bitmap);
            EXPECT_EQ(dirty.pIndices, clean.pIndices) << bits << " bits, width " << width;
            EXPECT_EQ(dirty.pPalette, clean.pPalette) << bits << " bits, width " << width;
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
