#include "imaging/octree_node_pool.h"

namespace tavrel {

OctreeNode* OctreeNodePool::Allocate() {
    if (freeList_ != nullptr) {
        OctreeNode* node = freeList_;
        freeList_ = node->pNext;
        *node = OctreeNode{};
        return node;
    }
    if (usedInLastChunk_ == kChunkNodes) {
        chunks_.push_back(std::make_unique<OctreeNode[]>(kChunkNodes));
        usedInLastChunk_ = 0;
    }
    return &chunks_.back()[usedInLastChunk_++];
}

void OctreeNodePool::Release(OctreeNode* node) {
    node->pNext = freeList_;
    freeList_ = node;
}

}  // namespace tavrel
