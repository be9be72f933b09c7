// Runs the conversion with the allocator failing at every possible point in turn: each
// failure must come out as std::bad_alloc, leave the frame alone and leak nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "imaging/bitmap_to_indexed_frame.h"
#include "support/test_bitmaps.h"

// GCC takes the free() in the replaced operator delete, once inlined, for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

long g_allocationsBeforeFailure = -1;  // -1: never fail
long g_liveAllocations = 0;

}  // namespace

// The replaceable global allocator, counting what is live and failing on request.
void* operator new(std::size_t size) {
    if (g_allocationsBeforeFailure == 0) {
        throw std::bad_alloc();
    }
    if (g_allocationsBeforeFailure > 0) {
        --g_allocationsBeforeFailure;
    }
    void* memory = std::malloc(size == 0 ? 1 : size);  // NOLINT(cppcoreguidelines-no-malloc)
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    ++g_liveAllocations;
    return memory;
}

void operator delete(void* memory) noexcept {
    if (memory != nullptr) {
        --g_liveAllocations;
        std::free(memory);  // NOLINT(cppcoreguidelines-no-malloc)
    }
}

void operator delete(void* memory, std::size_t) noexcept {
    operator delete(memory);
}

namespace tavrel {
namespace {

// Fails the first allocation, then the second, and so on until a run gets through.
TEST(AllocationFailure, QuantisedAndPaletteBitmapsReleaseEverything) {
    for (const DibSection& bitmap :
         {test::MakeBitmap(96, 80, 24, test::PhotoLikeColours(96, 80, 2)), DibSection(33, 7, 8)}) {
        for (long allowed = 0;; ++allowed) {
            SCOPED_TRACE(testing::Message() << bitmap.BitsPerPixel() << " bits, " << allowed
                                            << " allocations allowed");
            IndexedFrame frame;
            frame.nWidth = 9;
            frame.pIndices = {1, 2, 3};
            const long liveBefore = g_liveAllocations;
            g_allocationsBeforeFailure = allowed;
            try {
                EXPECT_TRUE(BitmapToIndexedFrame(bitmap, frame));
                g_allocationsBeforeFailure = -1;
                EXPECT_GT(allowed, 2);  // the block, the indices and the palette at least
                break;
            } catch (const std::bad_alloc&) {
                g_allocationsBeforeFailure = -1;
            }
            EXPECT_EQ(g_liveAllocations, liveBefore);
            EXPECT_EQ(frame.nWidth, 9);
            EXPECT_EQ(frame.pIndices, (std::vector<uint8_t>{1, 2, 3}));
            ASSERT_LT(allowed, 10000);
        }
    }
}

}  // namespace
}  // namespace tavrel
