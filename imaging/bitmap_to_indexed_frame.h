// Turns a bitmap of 1, 4, 8, 15, 16, 24 or 32 bits per pixel into an indexed frame.
// Palette bitmaps keep their own colour table and indices; deeper ones are reduced to at
// most 256 colours by the octree quantiser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "bitmap/dib_section.h"
#include "imaging/indexed_frame.h"

namespace tavrel {

// Fills frame and returns true, or returns false with frame untouched: for a null bitmap,
// an unsupported depth, a size of 0 or less, or pixels or colour table too small for the
// header. Throws std::bad_alloc when memory runs out; nothing leaks then.
bool BitmapToIndexedFrame(const DibSection& bitmap, IndexedFrame& frame);

// The same from a packed bitmap block of blockSize bytes (see imaging/packed_dib.h). Never
// reads outside the block.
bool PackedDibToIndexedFrame(const uint8_t* block, std::size_t blockSize, IndexedFrame& frame);

// The zero-filled packed block holding a copy of the bitmap, or nullopt when the bitmap is
// null or inconsistent.
std::optional<std::vector<uint8_t>> PackBitmap(const DibSection& bitmap);

// The fewest bits (at least 3) whose palette holds colourCount entries.
uint8_t BitsForColourCount(uint32_t colourCount);

}  // namespace tavrel
