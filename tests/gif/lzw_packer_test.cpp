#include "gif/lzw_packer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "gif/gif_writer.h"
#include "gif_test_support.h"

namespace tavrel {
namespace {

std::vector<uint8_t> Pack(const std::vector<uint16_t>& codes, uint8_t bits) {
    MemoryOutputFile file;
    WriteLzwCodeStream(file, codes.data(), codes.size(), bits);
    return file.Bytes();
}

// count root codes 0, 1, 2, ... (modulo 2^bits): valid for any decoder state.
std::vector<uint16_t> Roots(std::size_t count, uint8_t bits) {
    std::vector<uint16_t> codes(count);
    for (std::size_t i = 0; i < count; ++i) {
        codes[i] = static_cast<uint16_t>((i * 5 + i / 7) % (1u << bits));
    }
    return codes;
}

// The lengths of the data sub-blocks, checking that the terminator ends the bytes.
std::vector<int> SubBlockLengths(const std::vector<uint8_t>& bytes) {
    std::vector<int> lengths;
    std::size_t at = 0;
    while (at < bytes.size() && bytes[at] != 0) {
        lengths.push_back(bytes[at]);
        at += bytes[at] + 1u;
    }
    EXPECT_EQ(at + 1, bytes.size()) << "terminator not last";
    return lengths;
}

// Wraps image data in a one-frame GIF so that giflib can decode the codes as pixels.
std::vector<uint8_t> DecodeImageData(const std::vector<uint8_t>& data, uint8_t bits,
                                     std::size_t pixelCount) {
    MemoryOutputFile file;
    WriteGifHeader(file, static_cast<uint16_t>(pixelCount), 1, bits);
    const uint8_t descriptor[10] = {0x2C,
                                    0,
                                    0,
                                    0,
                                    0,
                                    static_cast<uint8_t>(pixelCount & 0xFF),
                                    static_cast<uint8_t>(pixelCount >> 8),
                                    1,
                                    0,
                                    static_cast<uint8_t>(0x80 | (bits - 1))};
    file.Write(descriptor, sizeof descriptor);
    const std::vector<uint8_t> palette = test::TestPalette(bits, 0);
    file.Write(palette.data(), palette.size());
    file.Write(&bits, 1);
    file.Write(data.data(), data.size());
    WriteGifTrailer(file);
    const test::DecodedGif gif = test::DecodeWithGiflib(file.Bytes());
    EXPECT_EQ(gif.error, 0);
    if (gif.frames.size() != 1) {
        ADD_FAILURE() << "giflib found " << gif.frames.size() << " frames";
        return {};
    }
    return gif.frames[0].indices;
}

TEST(WriteLzwCodeStream, WorkedExamples) {
    using B = std::vector<uint8_t>;
    EXPECT_EQ(Pack({0}, 8), B({0x04, 0x00, 0x01, 0x04, 0x04, 0x00}));
    EXPECT_EQ(Pack({0}, 3), B({0x02, 0x08, 0x09, 0x00}));
    EXPECT_EQ(Pack({1, 258, 259}, 8), B({0x06, 0x00, 0x03, 0x08, 0x1C, 0x18, 0x10, 0x00}));
    EXPECT_EQ(Pack({0, 1, 10, 12, 1}, 3), B({0x04, 0x08, 0xA1, 0x1C, 0x09, 0x00}));
    // No codes at all: clear and end only.
    EXPECT_EQ(Pack({}, 3), B({0x01, 0x98, 0x00}));
}

TEST(WriteLzwCodeStream, RejectsBitsOutsideTheGifRange) {
    MemoryOutputFile file;
    const uint16_t code = 0;
    EXPECT_THROW(WriteLzwCodeStream(file, &code, 1, 1), std::invalid_argument);
    EXPECT_THROW(WriteLzwCodeStream(file, &code, 1, 9), std::invalid_argument);
    EXPECT_TRUE(file.Bytes().empty());
}

// At bits 7 the codes at table positions 0 to 126 are 8 bits wide, so 127 of them, the
// clear code and the end code fill exactly 129 bytes; an end code widened to 9 bits would
// need a 130th.
TEST(WriteLzwCodeStream, EndCodeKeepsTheWidthOfTheLastCode) {
    const std::vector<uint8_t> bytes = Pack(Roots(127, 7), 7);
    EXPECT_EQ(SubBlockLengths(bytes), std::vector<int>({129}));
    EXPECT_EQ(bytes[129], 129);  // the end code, alone in the last byte
}

// Clear codes go where the coder restarts its table and the width schedule follows a
// decoder's: giflib must read back every code as the pixel it stands for.
TEST(WriteLzwCodeStream, GiflibDecodesListsAcrossTableRestarts) {
    for (uint8_t bits = 2; bits <= 8; ++bits) {
        SCOPED_TRACE(testing::Message() << "bits " << int{bits});
        const std::size_t count = 3 * (4095 - (1u << bits)) + 100;
        const std::vector<uint16_t> codes = Roots(count, bits);
        const std::vector<uint8_t> pixels = DecodeImageData(Pack(codes, bits), bits, count);
        ASSERT_EQ(pixels.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            ASSERT_EQ(pixels[i], codes[i]) << "pixel " << i;
        }
    }
}

TEST(WriteLzwCodeStream, FirstCodeOfASecondTableFollowsAClearCodeAtNineBits) {
    // Bits 8: 255 codes at 9 bits, 512 at 10, 1024 at 11, 2048 at 12, then the clear code
    // at 12 bits and the 3840th code (5) at 9 bits; the end code follows at 9 bits.
    std::vector<uint16_t> codes = Roots(3839, 8);
    codes.push_back(5);
    const std::vector<uint8_t> bytes = Pack(codes, 8);
    std::vector<uint8_t> data;
    for (std::size_t at = 0; bytes[at] != 0; at += bytes[at] + 1u) {
        data.insert(data.end(), bytes.begin() + at + 1, bytes.begin() + at + 1 + bytes[at]);
    }
    const std::size_t clearAt = 9 + 255 * 9 + 512 * 10 + 1024 * 11 + 2048 * 12;
    auto readBits = [&](std::size_t start, int width) {
        uint32_t value = 0;
        for (int i = 0; i < width; ++i) {
            const std::size_t bit = start + i;
            value |= static_cast<uint32_t>(data[bit / 8] >> (bit % 8) & 1) << i;
        }
        return value;
    };
    EXPECT_EQ(readBits(clearAt, 12), 256u);
    EXPECT_EQ(readBits(clearAt + 12, 9), 5u);
    EXPECT_EQ(readBits(clearAt + 21, 9), 257u);
    EXPECT_EQ(data.size(), (clearAt + 30 + 7) / 8);
}

// Bits 2 and 278 codes end the end code exactly at bit 2040; bits 3 and 502 codes at bit
// 4080. The sub-blocks are then all full, with no empty one before the terminator.
TEST(WriteLzwCodeStream, DataEndingOnASubBlockBoundaryNeedsNoExtraBlock) {
    EXPECT_EQ(SubBlockLengths(Pack(Roots(278, 2), 2)), std::vector<int>({255}));
    EXPECT_EQ(SubBlockLengths(Pack(Roots(502, 3), 3)), std::vector<int>({255, 255}));
    EXPECT_EQ(DecodeImageData(Pack(Roots(278, 2), 2), 2, 278).size(), 278u);
}

// Bits 7 and 4039 codes: the end code's single 8-bit piece starts 4 bits before a
// sub-block boundary, so 256 bytes are pending at the end. Bits 8 and 4228 codes: the last
// 2-bit piece straddles the boundary.
TEST(WriteLzwCodeStream, TwoHundredFiftySixPendingBytesMakeTwoSubBlocks) {
    struct Case {
        uint8_t bits;
        std::size_t count;
        std::size_t fullBlocks;
    };
    for (const Case& c : {Case{7, 4039, 22}, Case{8, 4228, 23}}) {
        const std::vector<uint16_t> codes = Roots(c.count, c.bits);
        const std::vector<uint8_t> bytes = Pack(codes, c.bits);
        std::vector<int> expected(c.fullBlocks, 255);
        expected.push_back(1);
        EXPECT_EQ(SubBlockLengths(bytes), expected) << "bits " << int{c.bits};
        const std::vector<uint8_t> pixels = DecodeImageData(bytes, c.bits, c.count);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), codes.begin(), codes.end()));
    }
}

// Bytes left in the packing buffer by the first sub-block must not leak into later ones:
// all-ones codes fill it with 0xFF, and the last byte's unused high bits must still be 0.
TEST(WriteLzwCodeStream, UnusedBitsOfTheLastByteAreZero) {
    // 1 + 255 codes at 9 bits, 45 at 10 and the 10-bit end code: 2764 bits.
    const std::vector<uint8_t> bytes = Pack(std::vector<uint16_t>(300, 255), 8);
    EXPECT_EQ(SubBlockLengths(bytes), std::vector<int>({255, 91}));
    EXPECT_EQ(bytes[bytes.size() - 2], 0x04);  // end code 257: its top bit, then zeros
}

}  // namespace
}  // namespace tavrel
