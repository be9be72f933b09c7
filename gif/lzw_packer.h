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

// Appends the low nbits (1 to 8) bits of value to the stream held in buffer, bitPosition
// being the number of bits held. Once 2040 bits (255 bytes) are complete, they are first
// written to file as one full sub-block (length byte 255, then the 255 bytes).
void PutCodeBits(OutputFile& file, LzwPackingBuffer& buffer, int& bitPosition, uint8_t value,
                 uint8_t nbits);

// Writes a frame's image data: a clear code, the codes (a new table after every
// 4095 - 2^bits of them, each new table preceded by a clear code), the end-of-information
// code, all least significant bit first at the growing code width, in sub-blocks of at most
// 255 bytes closed by a zero byte. Throws std::invalid_argument when bits is outside 2..8.
void WriteLzwCodeStream(OutputFile& file, const uint16_t* codes, std::size_t count, uint8_t bits);

}  // namespace tavrel
