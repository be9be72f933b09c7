#include "gif/lzw_packer.h"

#include <stdexcept>

#include "gif/lzw_codes.h"

namespace tavrel {
namespace {

constexpr int kSubBlockBytes = 255;
constexpr int kSubBlockBits = kSubBlockBytes * 8;
constexpr int kMaxCodeWidth = 12;

void WriteSubBlock(OutputFile& file, const uint8_t* data, uint8_t length) {
    file.Write(&length, 1);
    file.Write(data, length);
}

// Appends the low nbits (1 to 8) bits of value to the stream held in buffer, bitPosition
// being the number of bits held. Once 2040 bits (255 bytes) are complete, they are first
// written to file as one full sub-block (length byte 255, then the 255 bytes).
void PutCodeBits(OutputFile& file, LzwPackingBuffer& buffer, int& bitPosition, uint8_t value,
                 uint8_t nbits) {
    if (bitPosition >= kSubBlockBits) {
        WriteSubBlock(file, buffer.data(), kSubBlockBytes);
        buffer[0] = buffer[kSubBlockBytes];  // the partly filled byte, if any
        bitPosition -= kSubBlockBits;
    }
    const int index = bitPosition / 8;
    const int offset = bitPosition % 8;
    // Keep stray high bits out of the neighbouring byte.
    value = static_cast<uint8_t>(value & ((1u << nbits) - 1));
    // A byte's first bits replace it, so bytes left over from an earlier sub-block never
    // reach the output and the unused high bits of the last byte are zero.
    if (offset == 0) {
        buffer[index] = value;
    } else {
        buffer[index] = static_cast<uint8_t>(buffer[index] | (value << offset));
        if (nbits > 8 - offset) {
            buffer[index + 1] = static_cast<uint8_t>(value >> (8 - offset));
        }
    }
    bitPosition += nbits;
}

// A code wider than 8 bits goes in two pieces, low byte first.
void PutCode(OutputFile& file, LzwPackingBuffer& buffer, int& bitPosition, uint16_t code,
             int width) {
    if (width <= 8) {
        PutCodeBits(file, buffer, bitPosition, static_cast<uint8_t>(code),
                    static_cast<uint8_t>(width));
        return;
    }
    PutCodeBits(file, buffer, bitPosition, static_cast<uint8_t>(code & 0xFF), 8);
    PutCodeBits(file, buffer, bitPosition, static_cast<uint8_t>(code >> 8),
                static_cast<uint8_t>(width - 8));
}

}  // namespace

void WriteLzwCodeStream(OutputFile& file, const uint16_t* codes, std::size_t count, uint8_t bits) {
    if (bits < kMinGifBits || bits > kMaxGifBits) {
        throw std::invalid_argument("LZW code size must be 2 to 8 bits");
    }
    const uint16_t clearCode = static_cast<uint16_t>(1u << bits);
    const uint16_t endCode = static_cast<uint16_t>(clearCode + 1);
    const int firstWidth = bits + 1;

    LzwPackingBuffer buffer{};
    int bitPosition = 0;
    int width = firstWidth;
    PutCode(file, buffer, bitPosition, clearCode, width);

    // 2^bits + 1 + the position of the current code in its table; a decoder's next free
    // code is one above it, so the width grows when it reaches 2^width.
    uint32_t tableCounter = endCode;
    for (std::size_t i = 0; i < count; ++i) {
        if (tableCounter >= (1u << width)) {
            if (width < kMaxCodeWidth) {
                ++width;
            } else {
                // The coder started a new table here: the decoder's table is full too.
                PutCode(file, buffer, bitPosition, clearCode, width);
                width = firstWidth;
                tableCounter = endCode;
            }
        }
        PutCode(file, buffer, bitPosition, codes[i], width);
        ++tableCounter;
    }
    // Written at the width of the last code, as no entry follows it.
    PutCode(file, buffer, bitPosition, endCode, width);

    int pending = (bitPosition + 7) / 8;
    const uint8_t* data = buffer.data();
    while (pending > 0) {
        const int length = pending < kSubBlockBytes ? pending : kSubBlockBytes;
        WriteSubBlock(file, data, static_cast<uint8_t>(length));
        data += length;
        pending -= length;
    }
    const uint8_t terminator = 0;
    file.Write(&terminator, 1);
}

}  // namespace tavrel
