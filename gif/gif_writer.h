// The GIF89a stream: header with the looping extension, frames, trailer.
#pragma once

#include <cstdint>

#include "gif/output_file.h"

namespace tavrel {

// Passed as the transparent value when a frame has no transparent colour.
inline constexpr uint16_t kNoTransparentColour = 0xFFFF;

// Writes the signature "GIF89a", a logical screen of width x height with colour resolution
// bits and no global colour table (one Write of 13 bytes), and the NETSCAPE2.0 extension
// that loops the animation without end (one Write of 19 bytes). Call once, with the first
// frame's values. Throws std::invalid_argument when bits is outside 2..8.
void WriteGifHeader(OutputFile& file, uint16_t width, uint16_t height, uint8_t bits);

// Writes one frame: a graphic control extension (do not dispose, delay in hundredths of a
// second, transparent colour unless transparent is kNoTransparentColour), an image
// descriptor at 0,0 with a local colour table of 2^bits RGB entries taken from palette
// (3 x 2^bits bytes), the minimum code size and the LZW-coded indices (width x height of
// them, each below 2^bits) in data sub-blocks. Throws std::invalid_argument, having written
// nothing, when bits is outside 2..8.
void WriteGifFrame(OutputFile& file, const uint8_t* indices, const uint8_t* palette, uint16_t width,
                   uint16_t height, uint8_t bits, uint16_t delay, uint16_t transparent);

// The same for a frame covering width x height pixels of the screen from left, top: the
// pixels outside it, and those holding the transparent colour, keep what is shown.
void WriteGifFrameAt(OutputFile& file, const uint8_t* indices, const uint8_t* palette,
                     uint16_t left, uint16_t top, uint16_t width, uint16_t height, uint8_t bits,
                     uint16_t delay, uint16_t transparent);

// The same with the frame's LZW codes already made (by BuildLzwCodes or BuildLossyLzwCodes
// for the same bits).
struct LzwCodeList;
void WriteGifFrameCodes(OutputFile& file, const LzwCodeList& codes, const uint8_t* palette,
                        uint16_t left, uint16_t top, uint16_t width, uint16_t height, uint8_t bits,
                        uint16_t delay, uint16_t transparent);

// Writes the trailer byte 0x3B that ends the stream, after the last frame.
void WriteGifTrailer(OutputFile& file);

}  // namespace tavrel
