#include "gif/lzw_packer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace tavrel {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pack(const std::vector<uint16_t>& codes, uint8_t bits) {
    MemoryOutputFile file;
    WriteLzwCodeStream(file, codes.data(), codes.size(), bits);
    return file.Bytes();
}

// count root codes: valid in any decoder state, so any count can be packed.
std::vector<uint16_t> Roots(std::size_t count, uint8_t bits) {
    std::vector<uint16_t> codes(count);
    for (std::size_t i = 0; i < count; ++i) {
        codes[i] = static_cast<uint16_t>((i * 5 + i / 7) % (1u << bits));
    }
    return codes;
}

// The lengths of the data sub-blocks; the terminator must end the bytes.
std::vector<int> SubBlockLengths(const Bytes& bytes) {
    std::vector<int> lengths;
    std::size_t at = 0;
    for (; at < bytes.size() && bytes[at] != 0; at += bytes[at] + 1u) {
        lengths.push_back(bytes[at]);
    }
    EXPECT_EQ(at + 1, bytes.size()) << "terminator not last";
    return lengths;
}

TEST(WriteLzwCodeStream, WorkedExamples) {
    EXPECT_EQ(Pack({0}, 8), Bytes({0x04, 0x00, 0x01, 0x04, 0x04, 0x00}));
    EXPECT_EQ(Pack({0}, 3), Bytes({0x02, 0x08, 0x09, 0x00}));
    EXPECT_EQ(Pack({1, 258, 259}, 8), Bytes({0x06, 0x00, 0x03, 0x08, 0x1C, 0x18, 0x10, 0x00}));
    EXPECT_EQ(Pack({0, 1, 10, 12, 1}, 3), Bytes({0x04, 0x08, 0xA1, 0x1C, 0x09, 0x00}));
    EXPECT_EQ(Pack({}, 3), Bytes({0x01, 0x98, 0x00}));  // clear and end only

    MemoryOutputFile file;
    EXPECT_THROW(WriteLzwCodeStream(file, nullptr, 0, 9), std::invalid_argument);
    EXPECT_TRUE(file.Bytes().empty());
}

// At bits 7 the codes at table positions 0 to 126 are 8 bits wide, so 127 of them with the
// clear and end codes fill exactly 129 bytes; a 9-bit end code would need a 130th.
TEST(WriteLzwCodeStream, EndCodeKeepsTheWidthOfTheLastCode) {
    const Bytes bytes = Pack(Roots(127, 7), 7);
    EXPECT_EQ(SubBlockLengths(bytes), std::vector<int>({129}));
    EXPECT_EQ(bytes[129], 129);  // the end code fills the last byte
}

// Where the stream ends relative to the 255-byte sub-blocks (found by adding up the width
// schedule): bits 2 with 278 codes ends exactly at bit 2040, bits 3 with 502 at bit 4080;
// bits 7 with 4039 codes leaves 256 bytes pending (an 8-bit end code straddling the
// boundary), bits 8 with 4228 has its last 2-bit piece straddling it.
TEST(WriteLzwCodeStream, SubBlocksAtTheEndOfTheData) {
    EXPECT_EQ(SubBlockLengths(Pack(Roots(278, 2), 2)), std::vector<int>({255}));
    EXPECT_EQ(SubBlockLengths(Pack(Roots(502, 3), 3)), std::vector<int>({255, 255}));
    std::vector<int> lengths(22, 255);
    lengths.push_back(1);
    EXPECT_EQ(SubBlockLengths(Pack(Roots(4039, 7), 7)), lengths);
    lengths.insert(lengths.begin(), 255);
    EXPECT_EQ(SubBlockLengths(Pack(Roots(4228, 8), 8)), lengths);
}

// All-ones codes fill the first sub-block's buffer with 0xFF; none of it may leak into the
// unused high bits of the last byte.
TEST(WriteLzwCodeStream, UnusedBitsOfTheLastByteAreZero) {
    // Clear and 255 codes at 9 bits, 45 codes and the end code at 10: 2764 bits.
    const Bytes bytes = Pack(std::vector<uint16_t>(300, 255), 8);
    EXPECT_EQ(SubBlockLengths(bytes), std::vector<int>({255, 91}));
    EXPECT_EQ(bytes[bytes.size() - 2], 0x04);  // the end code's top bits, then zeros
}

}  // namespace
}  // namespace tavrel
