#include "gif/gif_writer.h"

#include <cstddef>
#include <stdexcept>

#include "gif/lzw_codes.h"
#include "gif/lzw_packer.h"

namespace tavrel {
namespace {

void CheckBits(uint8_t bits) {
    if (bits < kMinGifBits || bits > kMaxGifBits) {
        throw std::invalid_argument("GIF bits per pixel must be 2 to 8");
    }
}

void PutLittleEndian16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value & 0xFF);
    out[1] = static_cast<uint8_t>(value >> 8);
}

void WriteByte(OutputFile& file, uint8_t value) {
    file.Write(&value, 1);
}

void WriteLittleEndian16(OutputFile& file, uint16_t value) {
    uint8_t bytes[2];
    PutLittleEndian16(bytes, value);
    file.Write(bytes, 2);
}

}  // namespace

void WriteGifHeader(OutputFile& file, uint16_t width, uint16_t height, uint8_t bits) {
    CheckBits(bits);
    uint8_t screen[13] = {'G', 'I', 'F', '8', '9', 'a'};
    PutLittleEndian16(screen + 6, width);
    PutLittleEndian16(screen + 8, height);
    // No global colour table; colour resolution bits - 1; background 0; aspect ratio 0.
    screen[10] = static_cast<uint8_t>((bits - 1) << 4);
    file.Write(screen, sizeof screen);

    static constexpr uint8_t kLoopForever[19] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A',
                                                 'P', 'E', '2', '.', '0', 0x03, 0x01, 0x00,
                                                 0x00,  // sub-block 1: loop count
                                                        // 0, repeat without end
                                                 0x00};
    file.Write(kLoopForever, sizeof kLoopForever);
}

void WriteGifFrame(OutputFile& file, const uint8_t* indices, const uint8_t* palette, uint16_t width,
                   uint16_t height, uint8_t bits, uint16_t delay, uint16_t transparent) {
    WriteGifFrameAt(file, indices, palette, 0, 0, width, height, bits, delay, transparent);
}

void WriteGifFrameAt(OutputFile& file, const uint8_t* indices, const uint8_t* palette,
                     uint16_t left, uint16_t top, uint16_t width, uint16_t height, uint8_t bits,
                     uint16_t delay, uint16_t transparent) {
    CheckBits(bits);
    const std::size_t pixelCount = std::size_t{width} * height;
    WriteGifFrameCodes(file, BuildLzwCodes(indices, pixelCount, bits), palette, left, top, width,
                       height, bits, delay, transparent);
}

void WriteGifFrameCodes(OutputFile& file, const LzwCodeList& codes, const uint8_t* palette,
                        uint16_t left, uint16_t top, uint16_t width, uint16_t height, uint8_t bits,
                        uint16_t delay, uint16_t transparent) {
    CheckBits(bits);
    const bool hasTransparent = transparent != kNoTransparentColour;

    // Graphic control extension: disposal method 1 (do not dispose), no user input.
    uint8_t control[8] = {0x21, 0xF9, 0x04};
    control[3] = hasTransparent ? 0x05 : 0x04;
    PutLittleEndian16(control + 4, delay);
    control[6] = hasTransparent ? static_cast<uint8_t>(transparent & 0xFF) : 0;
    control[7] = 0x00;
    file.Write(control, sizeof control);

    // Image descriptor with a local colour table of 2^bits entries, not interlaced.
    WriteByte(file, 0x2C);
    WriteLittleEndian16(file, left);
    WriteLittleEndian16(file, top);
    WriteLittleEndian16(file, width);
    WriteLittleEndian16(file, height);
    WriteByte(file, static_cast<uint8_t>(0x80 | (bits - 1)));

    file.Write(palette, std::size_t{3} << bits);
    WriteByte(file, bits);  // LZW minimum code size

    WriteLzwCodeStream(file, codes.codes.data(), codes.count, bits);
}

void WriteGifTrailer(OutputFile& file) {
    WriteByte(file, 0x3B);
}

}  // namespace tavrel
