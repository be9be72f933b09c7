#include "imaging/octree_quantizer.h"

#include <algorithm>
#include <bit>

#include "imaging/packed_dib.h"

namespace tavrel {
namespace {

// Child slot of a colour at a node of the given level: red, green and blue bit 7 - level.
int ChildIndex(uint8_t red, uint8_t green, uint8_t blue, int32_t level) {
    const int shift = 7 - level;
    return ((red >> shift) & 1) << 2 | ((green >> shift) & 1) << 1 | ((blue >> shift) & 1);
}

}  // namespace

OctreeQuantizer::OctreeQuantizer(uint32_t maxColours, int32_t colourBits)
    : m_nColourBits(static_cast<uint32_t>(colourBits) < 8 ? colourBits : 8),
      m_nMaxColours(maxColours) {}

OctreeQuantizer::~OctreeQuantizer() {
    DeleteTree(m_pTree);
}

OctreeNode* OctreeQuantizer::CreateNode(int32_t level) {
    OctreeNode* node = m_pool.Allocate();
    node->bIsLeaf = level == m_nColourBits ? 1 : 0;
    if (node->bIsLeaf != 0) {
        ++m_nLeafCount;
    } else {
        node->pNext = m_pReducibleNodes[level];
        m_pReducibleNodes[level] = node;
    }
    return node;
}

void OctreeQuantizer::AddColour(uint8_t red, uint8_t green, uint8_t blue) {
    // The node on level n depends only on the top n bits of each component, so the walk
    // starts on the deepest level that this colour shares with the last one.
    int32_t level = 0;
    if (m_nPathLength > 0) {
        const auto differ = static_cast<uint8_t>(
            (red ^ m_lastColour.red) | (green ^ m_lastColour.green) | (blue ^ m_lastColour.blue));
        level = std::min(std::countl_zero(differ), m_nPathLength - 1);
    } else {
        if (m_pTree == nullptr) {
            m_pTree = CreateNode(0);
        }
        m_path[0] = m_pTree;
    }
    OctreeNode* node = m_path[static_cast<std::size_t>(level)];
    while (node->bIsLeaf == 0) {
        OctreeNode*& child = node->pChild[ChildIndex(red, green, blue, level)];
        if (child == nullptr) {
            child = CreateNode(level + 1);
        }
        node = child;
        ++level;
        m_path[static_cast<std::size_t>(level)] = node;
    }
    m_nPathLength = level + 1;
    m_lastColour = Rgb{red, green, blue};
    ++node->nPixelCount;
    node->nRedSum += red;
    node->nGreenSum += green;
    node->nBlueSum += blue;
}

bool OctreeQuantizer::ReduceTree() {
    if (m_nColourBits == 0) {
        return false;  // the root is the only leaf
    }
    int32_t level = m_nColourBits - 1;
    while (level > 0 && m_pReducibleNodes[level] == nullptr) {
        --level;
    }
    if (m_pReducibleNodes[level] == nullptr) {
        return false;
    }

    // The node with the fewest pixels under it; on a tie the one nearest the head.
    const auto pixelsUnder = [](const OctreeNode* node) {
        int64_t total = 0;
        for (const OctreeNode* child : node->pChild) {
            if (child != nullptr) {
                total += child->nPixelCount;
            }
        }
        return total;
    };
    OctreeNode* chosen = m_pReducibleNodes[level];
    OctreeNode* previousOfChosen = nullptr;
    int64_t fewest = pixelsUnder(chosen);
    for (OctreeNode* previous = chosen; previous->pNext != nullptr; previous = previous->pNext) {
        const int64_t total = pixelsUnder(previous->pNext);
        if (total < fewest) {
            chosen = previous->pNext;
            previousOfChosen = previous;
            fewest = total;
        }
    }

    if (previousOfChosen == nullptr) {
        m_pReducibleNodes[level] = chosen->pNext;
    } else {
        previousOfChosen->pNext = chosen->pNext;
    }
    chosen->pNext = nullptr;

    // Every child is a leaf here: no deeper level holds a non-leaf node.
    uint32_t merged = 0;
    for (OctreeNode*& child : chosen->pChild) {
        if (child != nullptr) {
            chosen->nRedSum += child->nRedSum;
            chosen->nGreenSum += child->nGreenSum;
            chosen->nBlueSum += child->nBlueSum;
            chosen->nPixelCount += child->nPixelCount;
            DeleteTree(child);
            ++merged;
        }
    }
    chosen->bIsLeaf = 1;
    m_nLeafCount = m_nLeafCount + 1 - merged;
    m_nPathLength = 0;  // the last path may run through a released leaf
    return true;
}

void OctreeQuantizer::DeleteTree(OctreeNode*& node) {
    if (node == nullptr) {
        return;
    }
    for (OctreeNode*& child : node->pChild) {
        DeleteTree(child);
    }
    m_nPathLength = 0;
    m_pool.Release(node);
    node = nullptr;
}

uint8_t OctreeQuantizer::GetPixelIndex(int32_t x, int32_t y, uint16_t bitCount, std::size_t stride,
                                       const uint8_t* rows) {
    return PaletteIndexAt(rows + static_cast<std::size_t>(y) * stride, x, bitCount);
}

bool OctreeQuantizer::ProcessImage(const uint8_t* block, std::size_t blockSize) {
    const PackedDibCheck check = ReadPackedDib(block, blockSize);
    switch (check.status) {
        case PackedDibStatus::kNoPixels:
            return true;
        case PackedDibStatus::kUnsupportedDepth:
        case PackedDibStatus::kMalformed:
            return false;
        case PackedDibStatus::kValid:
            break;
    }
    const PackedDibView& dib = check.view;
    const auto add = [this](Rgb c) {
        AddColour(c.red, c.green, c.blue);
        while (m_nLeafCount > m_nMaxColours && ReduceTree()) {
        }
    };
    for (int32_t y = 0; y < dib.height; ++y) {
        if (dib.colourTable != nullptr) {
            for (int32_t x = 0; x < dib.width; ++x) {
                const uint8_t index = GetPixelIndex(x, y, dib.bitCount, dib.stride, dib.rows);
                add(BgrAt(dib.colourTable + kRgbQuadSize * index));
            }
        } else {
            ForEachDirectColour(dib.Row(y), dib.width, dib.bitCount, add);
        }
    }
    return true;
}

void OctreeQuantizer::GetColourTable(RgbQuad* table) {
    uint32_t next = 0;
    NumberLeaves(m_pTree, table, next);
}

void OctreeQuantizer::NumberLeaves(OctreeNode* node, RgbQuad* table, uint32_t& next) {
    if (node == nullptr) {
        return;
    }
    if (node->bIsLeaf != 0) {
        RgbQuad& entry = table[next];
        entry = RgbQuad{};
        if (node->nPixelCount > 0) {  // only a tree left half-built by bad_alloc has none
            entry.blue = static_cast<uint8_t>(node->nBlueSum / node->nPixelCount);
            entry.green = static_cast<uint8_t>(node->nGreenSum / node->nPixelCount);
            entry.red = static_cast<uint8_t>(node->nRedSum / node->nPixelCount);
        }
        node->nColourIndex = static_cast<int32_t>(next);
        ++next;
        return;
    }
    for (OctreeNode* child : node->pChild) {
        NumberLeaves(child, table, next);
    }
}

void OctreeQuantizer::GetShallowIndexTable(ShallowIndexTable& table) const {
    table.fill(kDeeperThanTable);
    FillShallowIndices(m_pTree, 0, 0, 0, 0, table);
}

void OctreeQuantizer::FillShallowIndices(const OctreeNode* node, int32_t level, uint32_t red,
                                         uint32_t green, uint32_t blue, ShallowIndexTable& table) {
    if (node == nullptr) {
        return;  // colours whose path leaves the tree stay marked for the walk
    }
    if (node->bIsLeaf != 0) {
        // Every table entry below this prefix leads to the leaf.
        const uint32_t span = 1u << (kShallowBits - level);
        for (uint32_t r = red * span; r < (red + 1) * span; ++r) {
            for (uint32_t g = green * span; g < (green + 1) * span; ++g) {
                for (uint32_t b = blue * span; b < (blue + 1) * span; ++b) {
                    table[r << (2 * kShallowBits) | g << kShallowBits | b] =
                        static_cast<int16_t>(node->nColourIndex);
                }
            }
        }
        return;
    }
    if (level == kShallowBits) {
        return;  // deeper than the table: left to the walk
    }
    for (uint32_t child = 0; child < 8; ++child) {
        FillShallowIndices(node->pChild[child], level + 1, red << 1 | (child >> 2),
                           green << 1 | ((child >> 1) & 1), blue << 1 | (child & 1), table);
    }
}

bool OctreeQuantizer::MapColour(uint8_t red, uint8_t green, uint8_t blue, int32_t& index) const {
    const OctreeNode* node = m_pTree;
    for (int32_t level = 0; node != nullptr; ++level) {
        if (node->bIsLeaf != 0) {
            index = node->nColourIndex;
            return true;
        }
        node = node->pChild[ChildIndex(red, green, blue, level)];
    }
    return false;
}

}  // namespace tavrel
