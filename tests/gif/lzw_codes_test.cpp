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
}

TEST(BuildLzwCodes, EmptyFrameGivesNoCodes) {
    const LzwCodeList list = BuildLzwCodes(nullptr, 0, 8);
    EXPECT_EQ(list.count, 0u);
    EXPECT_TRUE(list.codes.empty());
}

TEST(BuildLzwCodes, RejectsBitsOutsideTheGifRange) {
    const uint8_t pixel = 0;
    EXPECT_THROW(BuildLzwCodes(&pixel, 1, 1), std::invalid_argument);
    EXPECT_THROW(BuildLzwCodes(&pixel, 1, 9), std::invalid_argument);
}

// A flat frame makes the k-th code of a table cover k + 1 pixels, so its size decides
// exactly where the first table fills up (3839 codes at bits 8), and the frame is well
// above a million pixels.
TEST(BuildLzwCodes, FullTableRestartsWithTheRootThatEndedTheMatch) {
    const std::size_t firstTablePixels = 3839u * 3840u / 2;
    const std::vector<uint8_t> pixels(firstTablePixels + 5, 200);
    const std::vector<uint16_t> codes = Codes(pixels, 8);
    ASSERT_EQ(codes.size(), 3839u + 3u);
    EXPECT_EQ(codes[0], 200);
    for (std::size_t i = 1; i < 3839; ++i) {
        ASSERT_EQ(codes[i], 257 + i) << "at " << i;
    }
    EXPECT_EQ(codes[3839], 200);  // a fresh table knows no string longer than one pixel
    EXPECT_EQ(codes[3840], 258);
    EXPECT_EQ(codes[3841], 258);
}

// The code at table position n is a root when n = 0 and at most F + n - 1 otherwise, and
// never a clear or end code; a decoder depends on it.
void ExpectDecodableList(const std::vector<uint16_t>& codes, uint8_t bits) {
    const uint32_t first = (1u << bits) + 2;
    const std::size_t tableLength = 4095 - (1u << bits);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const std::size_t n = i % tableLength;
        const uint32_t limit = n == 0 ? (1u << bits) - 1 : first + n - 1;
        ASSERT_LE(codes[i], limit) << "code " << i;
        ASSERT_TRUE(codes[i] < (1u << bits) || codes[i] >= first) << "code " << i;
    }
}

TEST(BuildLzwCodes, MatchesTheLinearScanOnManyFrames) {
    const std::size_t sizes[] = {1, 2, 3, 17, 4096, 60000};
    for (uint8_t bits = 2; bits <= 8; ++bits) {
        for (std::size_t size : sizes) {
            SCOPED_TRACE(testing::Message() << "bits " << int{bits} << ", " << size << " pixels");
            const uint32_t seed = bits * 1000003u + static_cast<uint32_t>(size);
            const std::vector<uint8_t> random = test::RandomIndices(size, bits, seed);
            const std::vector<uint16_t> randomCodes = Codes(random, bits);
            EXPECT_EQ(randomCodes, test::LinearScanLzwCodes(random.data(), size, bits));
            ExpectDecodableList(randomCodes, bits);
            if (size == 60000) {  // the comparison must cover table restarts
                EXPECT_GT(randomCodes.size(), 2 * (4095u - (1u << bits)));
            }

            const int width = 251;
            const int height = static_cast<int>((size + width - 1) / width);
            std::vector<uint8_t> photo = test::PhotoLikeIndices(width, height, bits, seed);
            photo.resize(size);
            const std::vector<uint16_t> photoCodes = Codes(photo, bits);
            EXPECT_EQ(photoCodes, test::LinearScanLzwCodes(photo.data(), size, bits));
            ExpectDecodableList(photoCodes, bits);
        }
    }
}

// Indices of 2^bits or more break the caller's promise; the coder must still stay inside
// its tables and give 12-bit codes.
TEST(BuildLzwCodes, OutOfRangeIndicesStayInsideTheTables) {
    const std::vector<uint8_t> pixels = test::RandomIndices(50000, 8, 7);
    for (uint8_t bits = 2; bits < 8; ++bits) {
        const std::vector<uint16_t> codes = Codes(pixels, bits);
        ASSERT_LE(codes.size(), pixels.size());
        for (uint16_t code : codes) {
            ASSERT_LT(code, 4096);
        }
    }
}

}  // namespace
}  // namespace tavrel
