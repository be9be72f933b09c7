// Storage for the nodes of one octree: nodes come from chunks owned by the pool and go
// back to a free list, so a tree that grows and shrinks with every pixel does not call the
// allocator per node, and everything is released with the pool on every way out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tavrel {

struct OctreeNode {
    int32_t bIsLeaf = 0;
    // Counts and sums are 64-bit so that pictures of any size cannot overflow them.
    int64_t nPixelCount = 0;
    int64_t nRedSum = 0;
    int64_t nGreenSum = 0;
    int64_t nBlueSum = 0;
    int32_t nColourIndex = 0;
    OctreeNode* pChild[8] = {};
    OctreeNode* pNext = nullptr;  // next node on the same level's reducible list
};

class OctreeNodePool {
public:
    OctreeNodePool() = default;
    OctreeNodePool(const OctreeNodePool&) = delete;
    OctreeNodePool& operator=(const OctreeNodePool&) = delete;

    // A zero-filled node. Throws std::bad_alloc when no memory is left.
    OctreeNode* Allocate();
    // Hands a node back for reuse; it must come from this pool.
    void Release(OctreeNode* node);

private:
    static constexpr std::size_t kChunkNodes = 256;

    std::vector<std::unique_ptr<OctreeNode[]>> chunks_;
    std::size_t usedInLastChunk_ = kChunkNodes;
    OctreeNode* freeList_ = nullptr;  // linked through pNext
};

}  // namespace tavrel
