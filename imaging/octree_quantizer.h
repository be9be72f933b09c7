// Octree colour quantiser: reduces the colours of one packed bitmap to at most a given
// number of representative colours. Every pixel's colour is inserted into an octree of
// colour-bit prefixes; whenever the tree holds more leaves than allowed, the children of
// one node on the deepest level that still has mergeable nodes are merged into it, the node
// whose children hold the fewest pixels winning (the most recently created on a tie). Each
// leaf becomes one palette colour, the truncated average of the pixels under it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "bitmap/dib_section.h"
#include "imaging/octree_node_pool.h"
#include "imaging/pixel_colours.h"

namespace tavrel {

class OctreeQuantizer {
public:
    // colourBits below 8 (taken as unsigned) is the depth of the leaves; anything else,
    // 9 or -1 say, means 8. maxColours must be at least 1.
    OctreeQuantizer(uint32_t maxColours, int32_t colourBits);
    ~OctreeQuantizer();
    OctreeQuantizer(const OctreeQuantizer&) = delete;
    OctreeQuantizer& operator=(const OctreeQuantizer&) = delete;

    // Inserts every pixel of a packed bitmap of blockSize bytes, bottom row first. Returns
    // false, having inserted nothing, for an unsupported bit count or a block too small for
    // its header; a picture of width or height 0 or less inserts nothing and returns true.
    bool ProcessImage(const uint8_t* block, std::size_t blockSize);

    uint32_t GetColourCount() const { return m_nLeafCount; }

    // Writes GetColourCount() entries (blue, green, red, 0) in the tree's depth-first order
    // and numbers the leaves accordingly.
    void GetColourTable(RgbQuad* table);

    // Stores the palette index of the leaf the colour leads to and returns true; returns
    // false and leaves index alone when the colour's path leaves the tree.
    bool MapColour(uint8_t red, uint8_t green, uint8_t blue, int32_t& index) const;

    // MapColour's answers by the top five bits of each component (entry red << 10 |
    // green << 5 | blue), for the colours whose leaf lies within five levels: with at most
    // a few hundred leaves that is nearly every colour. The rest hold kDeeperThanTable and
    // need MapColour. Valid after GetColourTable.
    static constexpr int32_t kShallowBits = 5;
    static constexpr int16_t kDeeperThanTable = -1;
    using ShallowIndexTable = std::array<int16_t, std::size_t{1} << (3 * kShallowBits)>;
    void GetShallowIndexTable(ShallowIndexTable& table) const;
    static std::size_t ShallowKey(Rgb colour) {
        return static_cast<std::size_t>(colour.red >> 3) << 10 |
               static_cast<std::size_t>(colour.green >> 3) << 5 | (colour.blue >> 3);
    }

private:
    static constexpr int kMaxLevels = 9;  // levels 0 to 8

    OctreeNode* CreateNode(int32_t level);
    void AddColour(uint8_t red, uint8_t green, uint8_t blue);
    // Merges one node into a leaf; false when nothing is left to merge.
    bool ReduceTree();
    void DeleteTree(OctreeNode*& node);
    void NumberLeaves(OctreeNode* node, RgbQuad* table, uint32_t& next);
    static void FillShallowIndices(const OctreeNode* node, int32_t level, uint32_t red,
                                   uint32_t green, uint32_t blue, ShallowIndexTable& table);
    static uint8_t GetPixelIndex(int32_t x, int32_t y, uint16_t bitCount, std::size_t stride,
                                 const uint8_t* rows);

    OctreeNodePool m_pool;  // declared first: released after the tree
    int32_t m_nColourBits = 8;
    uint32_t m_nLeafCount = 0;
    uint32_t m_nMaxColours = 0;
    OctreeNode* m_pTree = nullptr;
    std::array<OctreeNode*, kMaxLevels> m_pReducibleNodes = {};

    // The nodes the last inserted colour passed, root to leaf: the next colour's walk starts
    // where the two colours part. Emptied whenever a merge may have released one of them.
    std::array<OctreeNode*, kMaxLevels> m_path = {};
    int32_t m_nPathLength = 0;
    Rgb m_lastColour;
};

}  // namespace tavrel
