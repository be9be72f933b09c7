#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "gif/lzw_codes.h"
#include "gif/lzw_packer.h"
#include "gif_test_support.h"

namespace tavrel {
namespace {

using Bytes = std::vector<uint8_t>;
using Codes = std::vector<uint16_t>;

Codes Build(const Bytes& pixels, uint8_t bits) {
    const LzwCodeList list = BuildLzwCodes(pixels.data(), pixels.size(), bits);
    EXPECT_EQ(list.count, list.codes.size());
    return list.codes;
}

Bytes Pack(const Codes& codes, uint8_t bits) {
    MemoryOutputFile file;
    WriteLzwCodeStream(file, codes.data(), codes.size(), bits);
    return file.Bytes();
}

TEST(BuildLzwCodes, WorkedExamplesAndBitsOutsideTheGifRange) {
    EXPECT_EQ(Build({3}, 3), Codes({3}));
    EXPECT_EQ(Build({7, 2}, 8), Codes({7, 2}));
    EXPECT_EQ(Build(Bytes(20, 5), 3), Codes({5, 10, 11, 12, 13, 13}));
    EXPECT_EQ(Build(Bytes(6, 1), 8), Codes({1, 258, 259}));
    EXPECT_EQ(Build({0, 1, 0, 1, 0, 1, 0, 1}, 3), Codes({0, 1, 10, 12, 1}));
    EXPECT_EQ(Build({4, 4, 4}, 3), Codes({4, 10}));    // a match to the end makes no entry
    EXPECT_EQ(Build({4, 4, 6}, 3), Codes({4, 4, 6}));  // the last pixel alone is a root
    EXPECT_TRUE(Build({}, 8).empty());
    EXPECT_THROW(Build({0}, 1), std::invalid_argument);
    EXPECT_THROW(Build({0}, 9), std::invalid_argument);
}

// In a flat frame the k-th code of a table covers k + 1 pixels, so the first table (3839
// codes at bits 8) ends at a known pixel; the next starts with the root that ended it.
TEST(BuildLzwCodes, FullTableRestartsWithTheRootThatEndedTheMatch) {
    Codes expected(3839);
    std::iota(expected.begin(), expected.end(), 257);
    expected[0] = 200;
    expected.insert(expected.end(), {200, 258, 258});
    EXPECT_EQ(Build(Bytes(3839u * 1920u + 5, 200), 8), expected);
}

TEST(BuildLzwCodes, MatchesTheLinearScanOnManyFrames) {
    for (uint8_t bits = 2; bits <= 8; ++bits) {
        for (std::size_t size : {1, 2, 3, 17, 4096, 60000}) {
            SCOPED_TRACE(testing::Message() << "bits " << int{bits} << ", " << size << " pixels");
            const uint32_t seed = bits * 1000003u + static_cast<uint32_t>(size);
            Bytes photo = test::PhotoLikeIndices(251, 240, bits, seed);
            photo.resize(size);
            for (const Bytes& pixels : {test::RandomIndices(size, bits, seed), photo}) {
                const Codes codes = Build(pixels, bits);
                EXPECT_EQ(codes, test::LinearScanLzwCodes(pixels.data(), size, bits));
                if (size == 60000 && pixels != photo) {  // spans several table restarts
                    EXPECT_GT(codes.size(), 2 * (4095u - (1u << bits)));
                }
            }
        }
    }
}

// Indices of 2^bits or more break the caller's promise; the coder must still stay inside
// its tables (checked by the sanitizer build) and give 12-bit codes.
TEST(BuildLzwCodes, OutOfRangeIndicesStayInsideTheTables) {
    const Bytes pixels = test::RandomIndices(50000, 8, 7);
    for (uint8_t bits = 2; bits < 8; ++bits) {
        const Codes codes = Build(pixels, bits);
        EXPECT_LT(*std::max_element(codes.begin(), codes.end()), 4096);
    }
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

// The lengths of the data sub-blocks; the terminator must end the bytes.
std::vector<int> SubBlocks(const Bytes& bytes) {
    std::vector<int> lengths;
    std::size_t at = 0;
    for (; at < bytes.size() && bytes[at] != 0; at += bytes[at] + 1u) {
        lengths.push_back(bytes[at]);
    }
    EXPECT_EQ(at + 1, bytes.size()) << "terminator not last";
    return lengths;
}

// Where the data ends relative to the 255-byte sub-blocks (found by adding up the width
// schedule); the codes are roots, valid in any decoder state.
TEST(WriteLzwCodeStream, SubBlocksAtTheEndOfTheData) {
    const auto roots = [](std::size_t count, uint8_t bits) {
        Codes codes(count);
        for (std::size_t i = 0; i < count; ++i) {
            codes[i] = static_cast<uint16_t>((i * 5 + i / 7) % (1u << bits));
        }
        return Pack(codes, bits);
    };
    const auto blocks = [](int full, int last) {
        std::vector<int> lengths(full, 255);
        lengths.push_back(last);
        return lengths;
    };
    // At bits 7 the first 127 codes are 8 bits wide: a 9-bit end code would need byte 130.
    const Bytes bytes = roots(127, 7);
    EXPECT_EQ(SubBlocks(bytes), std::vector<int>({129}));
    EXPECT_EQ(bytes[129], 129);
    EXPECT_EQ(SubBlocks(roots(278, 2)), std::vector<int>({255}));       // ends at bit 2040
    EXPECT_EQ(SubBlocks(roots(502, 3)), std::vector<int>({255, 255}));  // ends at bit 4080
    EXPECT_EQ(SubBlocks(roots(4039, 7)), blocks(22, 1));  // an 8-bit end code straddles one
    EXPECT_EQ(SubBlocks(roots(4228, 8)), blocks(23, 1));  // the last 2-bit piece straddles one
    // Clear, 255 codes at 9 bits, 45 and the end code at 10: 2764 bits. None of the 0xFF of
    // the first sub-block may leak into the unused high bits of the last byte.
    const Bytes ones = Pack(Codes(300, 255), 8);
    EXPECT_EQ(SubBlocks(ones), blocks(1, 91));
    EXPECT_EQ(ones[ones.size() - 2], 0x04);
}

}  // namespace
}  // namespace tavrel
