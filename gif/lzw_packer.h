// Packs LZW codes into the bytes of GIF image data, cut into data sub-blocks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gif/output_file.h"

namespace tavrel {

// Bytes of the stream not yet written; byte k holds bits 8k to 8k + 7, filled from the
// least significant bit upward. 255 bytes make a sub-block, the 256th takes the spill-over.
using LzwPackingBuffer = std::array<uint8_t, 256>;

// Writes a frame's image data: a clear code, the codes (a new table after every
// 4095 - 2^bits of them, each new table preceded by a clear code), the end-of-information
// code, all least significant bit first at the growing code width, in sub-blocks of at most
// 255 bytes closed by a zero byte. Throws std::invalid_argument when bits is outside 2..8.
void WriteLzwCodeStream(OutputFile& file, const uint16_t* codes, std::size_t count, uint8_t bits);

}  // namespace tavrel
