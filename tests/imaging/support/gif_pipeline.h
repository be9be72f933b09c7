// The generation road without the dialog: bitmaps become indexed frames, and the frames a
// looping GIF (header from the first frame, one frame each, trailer).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gif/output_file.h"
#include "imaging/indexed_frame.h"
#include "platform/dib_section.h"

namespace tavrel::test {

// Writes every bitmap as one frame with the given delay and returns the frames written.
// Stops and returns nothing once a bitmap cannot be converted (after whatever frames came
// before it, and without the trailer).
std::vector<IndexedFrame> WriteGif(OutputFile& out, const std::vector<DibSection>& bitmaps,
                                   uint16_t delay);

// The same into a new file at path.
std::vector<IndexedFrame> WriteGifFile(const std::string& path,
                                       const std::vector<DibSection>& bitmaps, uint16_t delay);

}  // namespace tavrel::test
