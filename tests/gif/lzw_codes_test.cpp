#include "gif/lzw_codes.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "gif_test_support.h"
#include "linear_scan_lzw.h"

namespace tavrel {
namespace {

std::vector<uint16_t> Codes(const std::vector<uint8_t>& pixels, uint8_t bits) {
    const LzwCodeList list = BuildLzwCodes(pixels.data(), pixels.size(), bits);
    EXPECT_EQ(list.count, list.codes.size());
    return list.codes;
}

TEST(BuildLzwCodes, WorkedExamples) {
    using V = std::vector<uint16_t>;
    EXPECT_EQ(Codes({3}, 3), V({3}));
    EXPECT_EQ(Codes({7, 2}, 8), V({7, 2}));
    EXPECT_EQ(Codes(std::vector<uint8_t>(20, 5), 3), V({5, 10, 11, 12, 13, 13}));
    EXPECT_EQ(Codes(std::vector<uint8_t>(6, 1), 8), V({1, 258, 259}));
    EXPECT_EQ(Codes({0, 1, 0, 1, 0, 1, 0, 1}, 3), V({0, 1, 10, 12, 1}));
    // The match runs to the last pixel: it ends the list and makes no entry.
    EXPECT_EQ(Codes({4, 4, 4}, 3), V({4, 10}));
    // The string before it ends at the second-to-last pixel: the last one is a root.
    EXPECT_EQ(Codes({4, 4, 6}, 3), V({4, 4, 6}));
    EXPECT_TRUE(Codes({}, 8).empty());
}

TEST(BuildLzwCodes, RejectsBitsOutsideTheGifRange) {
    const uint8_t pixel = 0;
    EXPECT_THROW(BuildLzwCodes(&pixel, 1, 1), std::invalid_argument);
    EXPECT_THROW(BuildLzwCodes(&pixel, 1, 9), std::invalid_argument);
}

// In a flat frame the k-th code of a table covers k + 1 pixels, which puts the end of the
// first table (3839 codes at bits 8) at a known pixel; the frame has over a million pixels.
TEST(BuildLzwCodes, FullTableRestartsWithTheRootThatEndedTheMatch) {
    const std::vector<uint16_t> codes = Codes(std::vector<uint8_t>(3839u * 1920u + 5, 200), 8);
    ASSERT_EQ(codes.size(), 3839u + 3u);
    for (std::size_t i = 1; i < 3839; ++i) {
        ASSERT_EQ(codes[i], 257 + i) << "at " << i;
    }
    EXPECT_EQ(std::vector<uint16_t>(codes.begin() + 3839, codes.end()),
              std::vector<uint16_t>({200, 258, 258}));
}

TEST(BuildLzwCodes, MatchesTheLinearScanOnManyFrames) {
    for (uint8_t bits = 2; bits <= 8; ++bits) {
        for (std::size_t size : {1, 2, 3, 17, 4096, 60000}) {
            SCOPED_TRACE(testing::Message() << "bits " << int{bits} << ", " << size << " pixels");
            const uint32_t seed = bits * 1000003u + static_cast<uint32_t>(size);
            const std::vector<uint8_t> random = test::RandomIndices(size, bits, seed);
            const std::vector<uint16_t> codes = Codes(random, bits);
            EXPECT_EQ(codes, test::LinearScanLzwCodes(random.data(), size, bits));
            if (size == 60000) {  // the comparison must span table restarts
                EXPECT_GT(codes.size(), 2 * (4095u - (1u << bits)));
            }
            std::vector<uint8_t> photo = test::PhotoLikeIndices(251, 240, bits, seed);
            photo.resize(size);
            EXPECT_EQ(Codes(photo, bits), test::LinearScanLzwCodes(photo.data(), size, bits));
        }
    }
}

// Indices of 2^bits or more break the caller's promise; the coder must still stay inside
// its tables (checked by the sanitizer build) and give 12-bit codes.
TEST(BuildLzwCodes, OutOfRangeIndicesStayInsideTheTables) {
    const std::vector<uint8_t> pixels = test::RandomIndices(50000, 8, 7);
    for (uint8_t bits = 2; bits < 8; ++bits) {
        for (uint16_t code : Codes(pixels, bits)) {
            ASSERT_LT(code, 4096);
        }
    }
}

}  // namespace
}  // namespace tavrel
