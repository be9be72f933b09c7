#include "gif/gif_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace tavrel {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(WriteGif, SmallestCompleteFile) {
    const uint8_t index = 0;
    const Bytes palette(24, 0);
    MemoryOutputFile file;
    WriteGifHeader(file, 1, 1, 3);
    WriteGifFrame(file, &index, palette.data(), 1, 1, 3, 40, kNoTransparentColour);
    WriteGifTrailer(file);

    Bytes expected = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x20,
        0,    0,    0x21, 0xFF, 0x0B, 0x4E, 0x45, 0x54, 0x53, 0x43, 0x41,
        0x50, 0x45, 0x32, 0x2E, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00,  // looping extension
        0x21, 0xF9, 0x04, 0x04, 0x28, 0x00, 0x00, 0x00,              // control extension
        0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x82};
    expected.insert(expected.end(), 24, 0);
    expected.insert(expected.end(), {0x03, 0x02, 0x08, 0x09, 0x00});
    expected.push_back(0x3B);
    EXPECT_EQ(file.Bytes(), expected);

    MemoryOutputFile bad;
    EXPECT_THROW(WriteGifFrame(bad, &index, palette.data(), 1, 1, 9, 40, kNoTransparentColour),
                 std::invalid_argument);
    EXPECT_TRUE(bad.Bytes().empty());
}

}  // namespace
}  // namespace tavrel
