#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "gif/lzw_codes.h"
#include "gif/lzw_follower.h"
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

// Each example: the pixels, their codes, and the codes packed into sub-blocks.
TEST(Lzw, WorkedExamples) {
    EXPECT_EQ(Build(Bytes(6, 1), 8), Codes({1, 258, 259}));
    EXPECT_EQ(Pack({1, 258, 259}, 8), Bytes({0x06, 0x00, 0x03, 0x08, 0x1C, 0x18, 0x10, 0x00}));
    EXPECT_EQ(Build({0, 1, 0, 1, 0, 1, 0, 1}, 3), Codes({0, 1, 10, 12, 1}));
    EXPECT_EQ(Pack({0, 1, 10, 12, 1}, 3), Bytes({0x04, 0x08, 0xA1, 0x1C, 0x09, 0x00}));
    EXPECT_EQ(Build({4, 4, 4}, 3), Codes({4, 10}));     // a match to the end makes no entry
    EXPECT_EQ(Pack({}, 3), Bytes({0x01, 0x98, 0x00}));  // clear and end only
    EXPECT_THROW(Build({0}, 9), std::invalid_argument);
    // Clear, 255 codes at 9 bits, 45 and the end code at 10: 2764 bits in sub-blocks of 255
    // and 91 bytes. None of the 0xFF of the first may leak into the unused bits of the last.
    const Bytes ones = Pack(Codes(300, 255), 8);
    ASSERT_EQ(ones.size(), 256 + 92 + 1u);
    EXPECT_EQ(ones[256], 91);
    EXPECT_EQ(ones[ones.size() - 2], 0x04);
}

// In a flat frame the k-th code of a table covers k + 1 pixels, so the first table (3839
// codes at bits 8) ends at a known pixel; the next starts with the root that ended it.
TEST(Lzw, FullTableRestartsWithTheRootThatEndedTheMatch) {
    Codes expected(3839);
    std::iota(expected.begin(), expected.end(), 257);
    expected[0] = 200;
    expected.insert(expected.end(), {200, 258, 258});
    EXPECT_EQ(Build(Bytes(3839u * 1920u + 5, 200), 8), expected);
}

TEST(Lzw, CodesMatchTheLinearScanOnManyFrames) {
    for (uint8_t bits = 3; bits <= 8; ++bits) {
        for (std::size_t size : {1, 2, 17, 60000}) {
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

struct FollowerCase {
    const char* name;
    uint8_t bits;
    std::size_t pixels;
    std::function<uint8_t(std::size_t)> pixel;
};

// Choosers (the fade frames) count on the follower knowing the encoder's dictionary: if the two
// drift apart, the strings chosen to be cheap are not.
TEST(LzwFollower, CountsTheEncodersCodes) {
    const FollowerCase cases[] = {
        {"noise through several new tables", 8, 200000,
         [](std::size_t i) { return static_cast<uint8_t>(i * 2654435761U >> 13); }},
        {"long runs", 8, 50000, [](std::size_t i) { return static_cast<uint8_t>(i / 700); }},
        {"a short cycle in three bits", 3, 30000,
         [](std::size_t i) { return static_cast<uint8_t>(i % 5 + (i / 999) % 3); }},
        {"one pixel", 2, 1, [](std::size_t) { return uint8_t{1}; }},
    };
    for (const FollowerCase& c : cases) {
        std::vector<uint8_t> indices(c.pixels);
        LzwFollower follower(c.bits);
        for (std::size_t i = 0; i < c.pixels; ++i) {
            indices[i] = static_cast<uint8_t>(c.pixel(i) & ((1u << c.bits) - 1));
            follower.Add(indices[i]);
        }
        EXPECT_EQ(follower.CodeCount(), BuildLzwCodes(indices.data(), c.pixels, c.bits).count)
            << c.name;
    }
}

}  // namespace
}  // namespace tavrel
